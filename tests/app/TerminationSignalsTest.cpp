#include "app/TerminationSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <cstdlib>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

TEST(TerminationSignals, EachSignalBecomesOneCallOnTheEventLoop)
{
    for (int sig : kSignals) {
        int calls = 0;
        vx::TerminationSignals handler([&calls] { ++calls; });
        ::raise(sig);
        EXPECT_EQ(calls, 0) << "signal " << sig << ": the call waits for the event loop";
        QElapsedTimer waited;
        waited.start();
        while (calls == 0 && waited.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(calls, 1) << "signal " << sig;
    }
}

// The program is ending once the loop is gone; a late signal must not turn a clean exit into a
// death by signal.
TEST(TerminationSignals, ASignalAfterTheLoopIsGoneLeavesTheExitClean)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int sig : kSignals) {
        EXPECT_EXIT(
            {
                { vx::TerminationSignals handler([] {}); }
                ::raise(sig);
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(0), "")
            << "signal " << sig;
    }
}

} // namespace
#endif
