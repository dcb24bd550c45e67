#include "tray/TrayIcon.h"

#include "tray/TrayLogic.h"

#include <QCoreApplication>
#include <QSystemTrayIcon>
#include <QWidget>

#ifdef VELMORAX_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#endif

namespace vx {

namespace {

const char* const kIdProperty = "uID";

} // namespace

TrayKind TrayKindOf(const QSystemTrayIcon& icon)
{
    // A click on an embedded icon comes through its own window, which has a place on the screen.
    if (!icon.geometry().isEmpty())
        return TrayKind::Embedded;
#ifdef VELMORAX_DBUS
    // The service every such area registers with, and the one Qt looks for before it publishes
    // its icons over D-Bus rather than embedding them.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr) {
        if (daemon->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value())
            return TrayKind::DrawnByArea;
    }
#endif
    return TrayKind::Embedded;
}

int TrayMessageFor(QSystemTrayIcon::ActivationReason reason, TrayKind kind)
{
    // Qt reports what happened on the icon as an activation reason; the form's table is in mouse
    // messages. On an embedded icon Qt's single left click stands for the left release, its
    // context request for the right press. An area that draws the icon reports its click (its
    // activation of the item) as Qt's single click: that is a selection.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return kind == TrayKind::DrawnByArea ? traymsg::kSelect : traymsg::kLeftUp;
    case QSystemTrayIcon::DoubleClick: return traymsg::kLeftDoubleClick;
    case QSystemTrayIcon::Context: return traymsg::kRightDown;
    case QSystemTrayIcon::MiddleClick: return traymsg::kMiddleUp;
    case QSystemTrayIcon::Unknown: break;
    }
    return traymsg::kMouseMove;
}

QEvent::Type TrayCallbackEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QSystemTrayIcon* TrayIconOf(const QWidget& form)
{
    for (QSystemTrayIcon* icon : form.findChildren<QSystemTrayIcon*>(Qt::FindDirectChildrenOnly)) {
        if (icon->property(kIdProperty).toInt() == kTrayIconId)
            return icon;
    }
    return nullptr;
}

void AddTrayIcon(const QString& tip, QWidget& form)
{
    if (TrayIconOf(form))
        return;
    auto* icon = new QSystemTrayIcon(form.windowIcon(), &form);
    icon->setProperty(kIdProperty, kTrayIconId);
    icon->setToolTip(tip);
    QWidget* target = &form;
    QObject::connect(icon, &QSystemTrayIcon::activated, &form, [target, icon](QSystemTrayIcon::ActivationReason reason) {
        // Asked at the click, and only for the single click: the one report whose meaning depends on it.
        const TrayKind kind = reason == QSystemTrayIcon::Trigger ? TrayKindOf(*icon) : TrayKind::Embedded;
        TrayCallbackEvent event(TrayMessageFor(reason, kind));
        QCoreApplication::sendEvent(target, &event);
    });
    icon->show();
}

void ModifyTrayIcon(const QString& tip, QWidget& form)
{
    QSystemTrayIcon* icon = TrayIconOf(form);
    if (!icon)
        return;
    icon->setIcon(form.windowIcon());
    icon->setToolTip(tip);
}

void DeleteTrayIcon(QWidget& form)
{
    QSystemTrayIcon* icon = TrayIconOf(form);
    if (!icon)
        return;
    icon->hide();
    // The delete may come from a handler that one of the icon's own signals started, still on
    // the stack: the object stays with the form, which is destroyed only once all of that has
    // returned. It stops answering at once, and a later add makes a new icon.
    icon->disconnect();
    icon->setProperty(kIdProperty, 0);
}

} // namespace vx
