#include "tray/TrayIcon.h"

#include "tray/TrayLogic.h"

#include <QCoreApplication>
#include <QSystemTrayIcon>
#include <QWidget>

namespace vx {

namespace {

const char* const kIdProperty = "uID";

// Qt reports what happened on the icon as an activation reason; the form's table is in mouse
// messages. Qt's single left click stands for the left release, its context request for the
// right press.
int MessageFor(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: return traymsg::kLeftUp;
    case QSystemTrayIcon::DoubleClick: return traymsg::kLeftDoubleClick;
    case QSystemTrayIcon::Context: return traymsg::kRightDown;
    case QSystemTrayIcon::MiddleClick: return traymsg::kMiddleUp;
    case QSystemTrayIcon::Unknown: break;
    }
    return traymsg::kMouseMove;
}

} // namespace

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
    QObject::connect(icon, &QSystemTrayIcon::activated, &form, [target](QSystemTrayIcon::ActivationReason reason) {
        TrayCallbackEvent event(MessageFor(reason));
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
