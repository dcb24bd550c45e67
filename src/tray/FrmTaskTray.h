#pragma once

#include "tray/TrayLogic.h"

#include <QIcon>
#include <QWidget>

#include <array>

class QAction;
class QMenu;
class QTimer;

namespace vx {

class Program;
class Platform;

// The hidden form that owns the notification-area icon: the icon shows the present moon, and its
// clicks and menu bring the clock window back or end the program.
class FrmTaskTray final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrmTaskTray)

public:
    explicit FrmTaskTray(Program& program);
    ~FrmTaskTray() override;

    // Puts the present moon into the notification area.
    void Form_Load();
    // Takes the icon out of the notification area.
    void Form_Unload();

    // Shows moon picture Number (0 to 16) as the icon, as seen from the program's hemisphere.
    void SetTray(int Number);
    // Shows the present moon at once: after the hemisphere changed.
    void ShowMoonNow();

    // What a mouse message on the icon does (the numbers of tray/TrayLogic.h).
    void Form_MouseMove(int message);

    void mnuShowfrmMain_Click();
    void mnuEnd_Click();

    // Re-arms itself for 10 ms after the next whole minute and changes the icon when the moon has
    // moved on to another picture.
    void Timer1_Timer();

    // The moon pictures, element n the moon n/16 of the way through a lunation, as seen from the
    // northern hemisphere; and the same turned half a turn, as seen from the southern.
    std::array<QIcon, kMoonIconCount> Image1;
    std::array<QIcon, kMoonIconCount> Image1South;

    // The picture the timer last found current; 0 when the form loads.
    int LastIconIndex = 0;

    QTimer* Timer1 = nullptr;

    // The icon's menu.
    QMenu* mnuHide = nullptr;
    QAction* mnuShowfrmMain = nullptr;
    QAction* mnuD = nullptr;
    QAction* mnuEnd = nullptr;

protected:
    bool event(QEvent* event) override;

private:
    void createMenu();
    int MoonIndexNow();
    const QIcon& MoonPicture(int Number) const;

    Program& program_;
    Platform& platform_;
};

} // namespace vx
