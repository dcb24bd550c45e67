#include "app/Program.h"
#include "app/QtPlatform.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Two of the forms are never shown; the program ends when its last form unloads.
    QApplication::setQuitOnLastWindowClosed(false);
    vx::QtPlatform platform;
    vx::Program program(platform);
    program.Start();
    return QApplication::exec();
}
