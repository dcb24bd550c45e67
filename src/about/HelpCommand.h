#pragma once

namespace vx {

class Program;

// The help command: the old help file beside the program when it is there and the desktop opens
// it; otherwise the HTML help page with the desktop's opener; otherwise a message box that
// names the page. Never silent.
void OpenHelp(Program& program);

} // namespace vx
