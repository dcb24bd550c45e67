#include "menu/FrmMenu.h"

#include "app/Program.h"
#include "settings/Convert.h"
#include "settings/Ini.h"

#include <QAction>
#include <QMenu>

namespace vx {

FrmMenu::FrmMenu(Program& program) : program_(program)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Form1"));
    createMenu();
}

FrmMenu::~FrmMenu()
{
    // The popup has no parent widget (it must open anywhere on the screen), so it goes with the form.
    delete mnuHide;
}

void FrmMenu::createMenu()
{
    auto item = [](QMenu* menu, const char* name, const QString& caption, bool checkable = false) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* action = menu->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto submenu = [](QMenu* menu, const char* name, const QString& caption) {
        QMenu* sub = menu->addMenu(caption);
        sub->setObjectName(QString::fromLatin1(name));
        sub->menuAction()->setObjectName(QString::fromLatin1(name));
        return sub;
    };

    mnuHide = new QMenu(QStringLiteral("HIDE"));
    mnuHide->setObjectName(QStringLiteral("mnuHide"));

    mnuSizeM = submenu(mnuHide, "mnuSizeM", QStringLiteral("サイズ"));
    const QString sizeCaptions[3] = {QStringLiteral("半分"), QStringLiteral("標準"), QStringLiteral("２倍")};
    for (int i = 0; i < 3; ++i) {
        mnuSize[i] = item(mnuSizeM, "mnuSize", sizeCaptions[i], true);
        mnuSize[i]->setProperty("Index", i);
    }
    mnuMinimize = item(mnuHide, "mnuMinimize", QStringLiteral("最小化"));
    mnuMinimize->setVisible(false);
    mnuUnload = item(mnuHide, "mnuUnload", QStringLiteral("ウィンドウを消す"));
    mnuDummy = separator(mnuHide, "mnuDummy");

    mnuMMitikake = submenu(mnuHide, "mnuMMitikake", QStringLiteral("満ち欠け"));
    mnuNowMoon = item(mnuMMitikake, "mnuNowMoon", QStringLiteral("現在の月を反映"));
    mnuMitikake = item(mnuMMitikake, "mnuMitikake", QStringLiteral("一周する"));
    mnuExpMoonDat = item(mnuHide, "mnuExpMoonDat", QStringLiteral("月の情報を表示"));

    mnuSettei = submenu(mnuHide, "mnuSettei", QStringLiteral("設定"));
    AlwaysOnTop = item(mnuSettei, "AlwaysOnTop", QStringLiteral("常に前面に表示"), true);
    mnuTaskTray = item(mnuSettei, "mnuTaskTray", QStringLiteral("タスクトレイに入れる"), true);
    mnuUseLineMojiban = item(mnuSettei, "mnuUseLineMojiban", QStringLiteral("文字盤を線で描く"), true);
    mnuSetMitikake = item(mnuSettei, "mnuSetMitikake", QStringLiteral("月を満ち欠けさせる"), true);
    mnuNT = item(mnuSettei, "mnuNT", QStringLiteral("NT"), true);
    mnuDlkj = separator(mnuSettei, "mnuDlkj");
    mnuBeClock = item(mnuSettei, "mnuBeClock", QStringLiteral("時計にする  (Wクリック)"), true);

    mnuMHelp = submenu(mnuHide, "mnuMHelp", QStringLiteral("ヘルプ"));
    mnuHelp = item(mnuMHelp, "mnuHelp", QStringLiteral("ヘルプファイルを見る"));
    mnuVersion = item(mnuMHelp, "mnuVersion", QStringLiteral("バージョン情報"));

    mnuEnd = item(mnuHide, "mnuEnd", QStringLiteral("終了"));
}

void FrmMenu::Form_Unload()
{
    ini::WriteIni("TaskTray", "Setting", IntText(program_.UseTaskTray));
}

} // namespace vx
