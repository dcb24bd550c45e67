#include "app/Program.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace vx {

Program::Program(Platform& platform)
    : frmMain(*this), frmMenu(*this), frmTaskTray(*this), frmVersion(*this), platform_(platform),
      onEnd_([] { QCoreApplication::quit(); })
{
}

Program::~Program()
{
    // Whatever is still loaded unloads the normal way, saving its state; the program is ending anyway.
    onEnd_ = nullptr;
    UnloadAll();
    // The event loop has stopped: nothing of the forms can be running any more.
    QObject::disconnect(whenIdle_);
    retired_.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Program::Start()
{
    frmMain.Load();
}

int Program::Exec()
{
    int code = 0;
    // Asked to end before the loop could start (during start-up's message box): it never starts.
    if (!endRequested_) {
        outerLoopLevel_ = QThread::currentThread()->loopLevel() + 1;
        code = QCoreApplication::exec();
        outerLoopLevel_ = QThread::currentThread()->loopLevel();
    }
    if (endRequested_)
        UnloadAll();
    return code;
}

void Program::RequestEnd()
{
    endRequested_ = true;
    // QCoreApplication::quit does nothing before exec has started; leaving the loops of this
    // thread works at any time, and marks the thread so that a loop entered afterwards (a message
    // box, a lunation's pause) returns at once.
    QThread::currentThread()->exit(0);
}

void Program::Retire(std::unique_ptr<QWidget> form)
{
    retired_.push_back(std::move(form));
    // Tried at once from the event loop; when that loop is a nested one, again each time the
    // outer loop is about to wait for events, until it succeeds.
    QMetaObject::invokeMethod(this, &Program::DestroyRetiredForms, Qt::QueuedConnection);
    if (!whenIdle_)
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
            whenIdle_ = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
                if (QThread::currentThread()->loopLevel() <= outerLoopLevel_)
                    QMetaObject::invokeMethod(this, &Program::DestroyRetiredForms, Qt::QueuedConnection);
            });
}

void Program::DestroyRetiredForms()
{
    // Inside a nested loop: the connection stays, and the outer loop tries again before it waits.
    if (QThread::currentThread()->loopLevel() > outerLoopLevel_)
        return;
    QObject::disconnect(whenIdle_);
    whenIdle_ = {};
    std::vector<std::unique_ptr<QWidget>> dying;
    dying.swap(retired_);
}

void Program::FormLoaded()
{
    ++loadedForms_;
}

void Program::UnloadAll()
{
    frmMain.Unload();
    frmTaskTray.Unload();
    frmMenu.Unload();
    frmVersion.Unload();
}

void Program::FormUnloaded()
{
    // A handler that unloads the last form may load another before it returns (a size change
    // does): the program ends only if none is loaded once control is back in the event loop.
    if (--loadedForms_ == 0)
        QTimer::singleShot(0, this, [this] {
            if (loadedForms_ == 0 && onEnd_)
                onEnd_();
        });
}

} // namespace vx
