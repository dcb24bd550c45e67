#pragma once

#include "settings/Settings.h"

#include <QWidget>

#include <array>

class QAction;
class QMenu;

namespace vx {

class Program;

// The hidden form that owns the clock's popup menu and its commands. Its items carry the ticks
// that mirror the settings. Some names are romanised Japanese, as the design spells them: Mitikake
// is the moon's waxing and waning, Mojiban the dial, Settei the settings.
class FrmMenu final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrmMenu)

public:
    explicit FrmMenu(Program& program);
    ~FrmMenu() override;

    void Form_Load() {}
    void Form_Unload();

    // Raised as the popup opens: sets the ticks that the menu takes from the settings each time.
    void mnuHide_Click();
    void mnuSize_Click(int Index);
    void mnuMinimize_Click();
    void mnuUnload_Click();
    void mnuEnd_Click();
    void AlwaysOnTop_Click();
    void mnuTaskTray_Click();
    void mnuNT_Click();
    void mnuBeClock_Click();
    void mnuUseLineMojiban_Click();
    void mnuSetMitikake_Click();
    // Switches the moon between the northern and the southern view, and redraws it everywhere.
    void mnuSouth_Click();
    // Writes the desktop's autostart entry for this program, or removes it.
    void mnuAutostart_Click();
    // Opens the help file beside the program with the desktop's opener.
    void mnuHelp_Click();
    // Opens the about box, or brings the open one to the front where it is.
    void mnuVersion_Click();

    // The moon commands: the present moon on the dial, a run through one lunation (Mitikake), and
    // the report on the moon.
    void mnuNowMoon_Click();
    void mnuMitikake_Click();
    void mnuExpMoonDat_Click();

    // The popup itself.
    QMenu* mnuHide = nullptr;

    QMenu* mnuSizeM = nullptr;
    std::array<QAction*, 3> mnuSize{};
    QAction* mnuMinimize = nullptr;
    QAction* mnuUnload = nullptr;
    QAction* mnuDummy = nullptr;
    QMenu* mnuMMitikake = nullptr; // 満ち欠け: waxing and waning
    QAction* mnuNowMoon = nullptr;
    QAction* mnuMitikake = nullptr;
    QAction* mnuExpMoonDat = nullptr;
    QMenu* mnuSettei = nullptr; // 設定: settings
    QAction* AlwaysOnTop = nullptr;
    QAction* mnuTaskTray = nullptr;
    QAction* mnuUseLineMojiban = nullptr; // the dial (Mojiban) drawn with line marks
    QAction* mnuSetMitikake = nullptr;    // the moon waxes and wanes on the dial
    QAction* mnuNT = nullptr;
    QAction* mnuDlkj = nullptr;
    QAction* mnuBeClock = nullptr;
    // Beyond the design's settings, behind a separator of their own (Tuika: addition).
    QAction* mnuTuika = nullptr;
    QAction* mnuSouth = nullptr;     // the moon as seen from the southern hemisphere
    QAction* mnuAutostart = nullptr; // starts with the desktop session
    QMenu* mnuMHelp = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* mnuVersion = nullptr;
    QAction* mnuEnd = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void createMenu();
    // Switches a dial setting between "True" and "False"; switched off, the plain dial comes back first.
    void SwitchDialSetting(settings::DialSwitch which, QAction* item);
    void Form_Resize();

    Program& program_;
};

} // namespace vx
