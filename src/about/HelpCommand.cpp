#include "about/HelpCommand.h"

#include "about/HelpText.h"
#include "app/Program.h"
#include "base/Platform.h"

#include <QFileInfo>

namespace vx {

namespace {

bool IsFile(const std::string& path)
{
    return QFileInfo(QString::fromStdString(path)).isFile();
}

// The page, or the message when it cannot be opened. The opener may answer after the program
// object is gone, so only the platform (which outlives it) and copies are kept.
void OpenHelpPage(Platform& platform, const std::string& page)
{
    if (!IsFile(page)) {
        platform.MsgBox(HelpNotOpenedMessage(page, false));
        return;
    }
    platform.OpenDocument(page, [&platform, page] { platform.MsgBox(HelpNotOpenedMessage(page, true)); });
}

} // namespace

void OpenHelp(Program& program)
{
    Platform& platform = program.platform();
    const std::string helpFile = program.AppDir + kHelpFileName;
    const std::string page = program.Files.helpPage;
    if (IsFile(helpFile))
        platform.OpenDocument(helpFile, [&platform, page] { OpenHelpPage(platform, page); });
    else
        OpenHelpPage(platform, page);
}

} // namespace vx
