#include "app/Program.h"

#include "about/FrmVersion.h"
#include "app/FrmMain.h"
#include "menu/FrmMenu.h"
#include "tray/FrmTaskTray.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace vx {

template <class F> F& FormRef<F>::get()
{
    if (!form_) {
        // The form counts as loaded while its own Form_Load runs, so references from inside it
        // do not load it a second time.
        form_ = new F(program_);
        program_.FormLoaded();
        form_->Form_Load();
    }
    return *form_;
}

template <class F> void FormRef<F>::Unload()
{
    if (!form_ || unloading_)
        return;
    unloading_ = true;
    F* form = form_;
    form->Form_Unload();
    form_ = nullptr;
    unloading_ = false;
    form->hide();
    // The unload may come from one of the form's own handlers, or from a command chosen in an
    // event loop nested inside one (a lunation run, a message box, a menu): Qt is still inside
    // the form or its menu below it. The program destroys the form once all that has returned.
    program_.Retire(std::unique_ptr<QWidget>(form));
    program_.FormUnloaded();
}

template class FormRef<FrmMain>;
template class FormRef<FrmMenu>;
template class FormRef<FrmTaskTray>;
template class FormRef<FrmVersion>;

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
    outerLoopLevel_ = QThread::currentThread()->loopLevel() + 1;
    const int code = QCoreApplication::exec();
    outerLoopLevel_ = QThread::currentThread()->loopLevel();
    return code;
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
