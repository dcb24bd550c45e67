#include "RenderPlatform.h"

#include <cstdio>

namespace vx {

void RenderPlatform::MsgBox(const std::string& text, const std::string&)
{
    // What the window would show in a message box, the renderer says on its error stream.
    std::fprintf(stderr, "velmorax-render: %s\n", text.c_str());
}

} // namespace vx
