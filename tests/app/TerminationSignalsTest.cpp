#include "app/TerminationSignals.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <cstdlib>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

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
