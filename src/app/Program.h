#pragma once

#include "app/FormRef.h"

#include <QObject>

#include <functional>
#include <string>

namespace vx {

class Platform;
class FrmMain;
class FrmMenu;
class FrmTaskTray;
class FrmVersion;

// The program object: the program-wide values, the forms, and the end of the program.
// A form is loaded while its object exists; the program ends when no form remains loaded.
class Program final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Program)

public:
    explicit Program(Platform& platform);
    ~Program() override;

    Platform& platform() const { return platform_; }

    // Program-wide values.
    std::string AppDir;  // the program's folder, with a trailing separator
    int NowSize = 0;     // size index: -1 half, 0 standard, 1 double
    int UseTaskTray = 0; // 1 while the notification-area icon is on
    int MainShown = 0;   // 1 from the end of the clock window's load until its unload

    // The pause after each frame of the moon's run through a lunation.
    int LunationFrameMilliseconds = 50;

    FormRef<FrmMain> frmMain;
    FormRef<FrmMenu> frmMenu;
    FormRef<FrmTaskTray> frmTaskTray;
    FormRef<FrmVersion> frmVersion;

    // Starts the program: loads the clock window, whose load brings everything else up.
    void Start();

    int LoadedFormCount() const { return loadedForms_; }

    // Unloads every form the normal way (each saves its state), the about box too, which ends the
    // program. For the end of the session and termination signals; the menus' end commands unload
    // their own list of forms.
    void UnloadAll();

    // What happens when the last form unloads; the application quits unless a test says otherwise.
    void SetOnEnd(std::function<void()> onEnd) { onEnd_ = std::move(onEnd); }

private:
    template <class F> friend class FormRef;
    void FormLoaded();
    void FormUnloaded();

    Platform& platform_;
    int loadedForms_ = 0;
    std::function<void()> onEnd_;
};

} // namespace vx
