#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace vx {

#ifndef _WIN32
namespace {
int g_signalSocket[2] = {-1, -1};

// Only async-signal-safe work here: one byte down the socket wakes the event loop.
void OnTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalSocket[0], &byte, 1);
}
} // namespace
#endif

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal))
{
#ifndef _WIN32
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket) != 0)
        return;
    notifier_ = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        [[maybe_unused]] const ssize_t n = ::read(g_signalSocket[1], buffer, sizeof buffer);
        if (onSignal_)
            onSignal_();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
#endif
}

TerminationSignals::~TerminationSignals()
{
#ifndef _WIN32
    // Gone with the event loop, so the program is ending already: a late request to end (the
    // session closing just as the user chose to end) has nothing left to do, and must not cut
    // short the rest of the exit with a death by signal.
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    delete notifier_;
    for (int& fd : g_signalSocket) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
#endif
}

} // namespace vx
