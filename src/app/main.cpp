#include "app/Program.h"
#include "app/QtPlatform.h"
#include "app/SessionPlatform.h"
#include "app/TerminationSignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // A window this small gains nothing from a shared-memory backing store under X, and sharing
    // costs a round trip to the server before every paint: two more wakeups each second.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // Read when the application connects to the window system, and only then: the programs the
    // clock opens (the help viewer, a browser) make their own choice.
    const std::string windowSystem = vx::PlatformForSession(vx::SessionFromEnvironment(argc, argv));
    if (!windowSystem.empty())
        qputenv("QT_QPA_PLATFORM", windowSystem.c_str());
    QApplication app(argc, argv);
    if (!windowSystem.empty())
        qunsetenv("QT_QPA_PLATFORM");
    // Two of the forms are never shown; the program ends when its last form unloads.
    QApplication::setQuitOnLastWindowClosed(false);
    vx::QtPlatform platform;
    vx::Program program(platform);
    // Stopped by a signal or by the end of the desktop session: unload the normal way, so the
    // place and states are saved as when the user closes the window.
    vx::TerminationSignals termination([&program] { program.RequestEnd(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &program, [&program] { program.UnloadAll(); });
    program.Start();
    return program.Exec();
}
