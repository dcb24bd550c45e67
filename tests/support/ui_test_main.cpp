#include <QApplication>
#include <gtest/gtest.h>

// gtest_discover_tests runs this binary at build time, outside CTest's environment,
// so the platform plugin is chosen here before the application exists.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The desktop's own session bus, and the notification area on it, stay out of the tests.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/velmorax-tests/bus");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
