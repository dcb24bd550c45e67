#pragma once

#include <string>

namespace vx {

// Writes text to path through a temporary file beside it, flushed and then renamed over the
// target, so an interrupted write leaves the old file or the new one, never half of one.
// False, with a one-line reason in error, when the file could not be written.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);

} // namespace vx
