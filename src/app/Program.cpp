#include "app/Program.h"

#include "about/FrmVersion.h"
#include "app/FrmMain.h"
#include "menu/FrmMenu.h"
#include "tray/FrmTaskTray.h"

#include <QCoreApplication>
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
    // The unload may come from one of the form's own handlers, which is still running:
    // destroy the object once control is back in the event loop.
    form->deleteLater();
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
    // Forms unloaded from their own handlers wait for the event loop; it has stopped.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Program::Start()
{
    frmMain.Load();
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
