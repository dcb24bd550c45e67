#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vx {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop's thread, so the program can
// unload its forms the normal way (saving its place and states) instead of dying mid-run.
class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vx
