#pragma once

#include "app/FormRef.h"
#include "base/FileLocations.h"
#include "base/Hemisphere.h"

#include <QImage>
#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

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
    // Where the moon is seen from: the dial, the tray icon and the about box turn it for the
    // southern sky. Read by each load of the clock window; the menu's item switches it.
    Hemisphere SkyHemisphere = Hemisphere::North;
    // Where the settings, the user's dial pictures, the moon table and the help page are: beside
    // the program, or the user's own folders when it runs from an install. Set by each load.
    FileLocations Files;

    // The user's dial pictures accepted so far, by size index + 1 (null where none was): each
    // stays the dial of its size until the program ends, whatever becomes of its file.
    std::array<QImage, 3> UserDials;

    // The pause after each frame of the moon's run through a lunation.
    int LunationFrameMilliseconds = 50;

    FormRef<FrmMain> frmMain;
    FormRef<FrmMenu> frmMenu;
    FormRef<FrmTaskTray> frmTaskTray;
    FormRef<FrmVersion> frmVersion;

    // Starts the program: loads the clock window, whose load brings everything else up.
    void Start();

    // Runs the application's event loop until the program ends. Unloaded forms are destroyed in
    // this loop only, never in one nested inside it. After RequestEnd it unloads what is left.
    int Exec();

    int LoadedFormCount() const { return loadedForms_; }

    // Unloads every form the normal way (each saves its state), the about box too, which ends the
    // program. For the end of the session; the menus' end commands unload their own list of forms.
    void UnloadAll();

    // Ends the program for a termination signal, which may come at any moment: while a message box
    // waits (one shown during start-up, before Exec, too), a lunation pauses or a menu is open.
    // Every event loop running now is left, and none started later waits; the forms unload in
    // Exec, once the handlers that were running have returned, so none of them finds its form gone
    // or loads it again.
    void RequestEnd();
    bool EndRequested() const { return endRequested_; }

    // What happens when the last form unloads; the application quits unless a test says otherwise.
    void SetOnEnd(std::function<void()> onEnd) { onEnd_ = std::move(onEnd); }

private:
    template <class F> friend class FormRef;
    void FormLoaded();
    void FormUnloaded();
    // Takes an unloaded form, hidden, until no call into it can be on the stack any more.
    void Retire(std::unique_ptr<QWidget> form);
    void DestroyRetiredForms();

    Platform& platform_;
    int loadedForms_ = 0;
    bool endRequested_ = false;
    std::function<void()> onEnd_;
    std::vector<std::unique_ptr<QWidget>> retired_;
    // The event loop in which no handler can be running: the application's own once Exec runs it;
    // before (and in tests, which drive the events themselves) the level the program was made at.
    int outerLoopLevel_ = 0;
    QMetaObject::Connection whenIdle_;
};

} // namespace vx
