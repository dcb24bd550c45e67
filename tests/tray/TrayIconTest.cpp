#include "tray/TrayIcon.h"

#include "tray/TrayLogic.h"

#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace vx {
namespace {

// A form that records the icon's callbacks.
class Form final : public QWidget {
public:
    std::vector<int> messages;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != TrayCallbackEvent::eventType())
            return QWidget::event(e);
        messages.push_back(static_cast<TrayCallbackEvent*>(e)->message());
        return true;
    }
};

void SetPlainIcon(QWidget& form, Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    form.setWindowIcon(QIcon(pixmap));
}

TEST(TrayIcon, OneIconPerFormWhosePictureAModifyReplacesInPlace)
{
    Form form;
    SetPlainIcon(form, Qt::black);
    AddTrayIcon(QString(), form);
    QSystemTrayIcon* icon = TrayIconOf(form);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon->isVisible());
    EXPECT_TRUE(icon->toolTip().isEmpty());

    SetPlainIcon(form, Qt::white);
    ModifyTrayIcon(QString(), form);
    EXPECT_EQ(TrayIconOf(form), icon);
    EXPECT_EQ(icon->icon().cacheKey(), form.windowIcon().cacheKey());

    // An add finds the icon there: no second icon, no change.
    const qint64 white = icon->icon().cacheKey();
    SetPlainIcon(form, Qt::gray);
    AddTrayIcon(QString(), form);
    EXPECT_EQ(form.findChildren<QSystemTrayIcon*>().size(), 1);
    EXPECT_EQ(icon->icon().cacheKey(), white);

    DeleteTrayIcon(form);
    EXPECT_EQ(TrayIconOf(form), nullptr);
    // Without an icon, a modify or a delete does nothing; a new add makes a new icon.
    ModifyTrayIcon(QString(), form);
    DeleteTrayIcon(form);
    EXPECT_EQ(TrayIconOf(form), nullptr);
    AddTrayIcon(QString(), form);
    EXPECT_NE(TrayIconOf(form), nullptr);
}

TEST(TrayIcon, ClicksReachTheFormAsMouseMessagesUntilTheDelete)
{
    Form form;
    AddTrayIcon(QString(), form);
    QSystemTrayIcon* icon = TrayIconOf(form);
    ASSERT_NE(icon, nullptr);
    emit icon->activated(QSystemTrayIcon::Trigger);
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    emit icon->activated(QSystemTrayIcon::Context);
    emit icon->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(form.messages, (std::vector<int>{traymsg::kLeftUp, traymsg::kLeftDoubleClick, traymsg::kRightDown,
                                               traymsg::kMiddleUp}));
    DeleteTrayIcon(form);
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(form.messages.size(), 4u);
}

TEST(TrayIcon, ASingleClickIsASelectionOnlyOnAnIconTheAreaDrawsItself)
{
    struct Case {
        QSystemTrayIcon::ActivationReason reason;
        int embedded;
        int drawnByArea;
    };
    const Case cases[] = {
        {QSystemTrayIcon::Trigger, traymsg::kLeftUp, traymsg::kSelect},
        {QSystemTrayIcon::DoubleClick, traymsg::kLeftDoubleClick, traymsg::kLeftDoubleClick},
        {QSystemTrayIcon::Context, traymsg::kRightDown, traymsg::kRightDown},
        {QSystemTrayIcon::MiddleClick, traymsg::kMiddleUp, traymsg::kMiddleUp},
        {QSystemTrayIcon::Unknown, traymsg::kMouseMove, traymsg::kMouseMove},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrayMessageFor(c.reason, TrayKind::Embedded), c.embedded) << c.reason;
        EXPECT_EQ(TrayMessageFor(c.reason, TrayKind::DrawnByArea), c.drawnByArea) << c.reason;
    }
}

TEST(TrayIcon, WithoutAnAreaWatchingForDrawnIconsAnIconCountsAsEmbedded)
{
    // The tests' session bus leads nowhere: no area on it draws icons.
    Form form;
    AddTrayIcon(QString(), form);
    ASSERT_NE(TrayIconOf(form), nullptr);
    EXPECT_EQ(TrayKindOf(*TrayIconOf(form)), TrayKind::Embedded);
}

} // namespace
} // namespace vx
