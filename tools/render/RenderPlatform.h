#pragma once

#include "base/FixedClockPlatform.h"

namespace vx {

// The renderer's outside world: the moment asked for, the temporary program folder, and what the
// window would show in a message box said on the error stream.
class RenderPlatform final : public FixedClockPlatform {
public:
    using FixedClockPlatform::FixedClockPlatform;
    void MsgBox(const std::string& text, const std::string& title) override;
};

} // namespace vx
