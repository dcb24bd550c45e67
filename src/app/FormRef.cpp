#include "app/FormRef.h"

#include "about/FrmVersion.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "menu/FrmMenu.h"
#include "tray/FrmTaskTray.h"

#include <memory>

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

} // namespace vx
