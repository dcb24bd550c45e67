#include "tray/FrmTaskTray.h"

#include "app/Program.h"

namespace vx {

FrmTaskTray::FrmTaskTray(Program& program) : program_(program) {}

FrmTaskTray::~FrmTaskTray() = default;

void FrmTaskTray::Form_Load() {}

void FrmTaskTray::Form_Unload() {}

} // namespace vx
