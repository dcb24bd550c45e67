#pragma once

#include <QEvent>
#include <QString>
#include <QSystemTrayIcon>

class QWidget;

namespace vx {

// The program's icon in the notification area. It belongs to a form: each form has at most one,
// with identifier 1, showing the form's window icon at the time of the last add or modify. Clicks
// on it come back to that form as TrayCallbackEvents. A request the area cannot carry out (an add
// for an icon already there, a modify or delete of one that is not) changes nothing and is not
// reported.
void AddTrayIcon(const QString& tip, QWidget& form);
// Shows the form's present window icon in place of the old picture, under the same identifier.
void ModifyTrayIcon(const QString& tip, QWidget& form);
void DeleteTrayIcon(QWidget& form);

// The form's icon while it is in the notification area, or null.
QSystemTrayIcon* TrayIconOf(const QWidget& form);

constexpr int kTrayIconId = 1;

// How the notification area shows an icon: as a small window of the program's, embedded in its
// panel (XEmbed), or drawn by the area itself from what the program publishes over D-Bus
// (StatusNotifierItem), which reports a click as a selection of the icon and never a double-click.
enum class TrayKind { Embedded, DrawnByArea };

// How the area shows this icon. An embedded icon has a place on the screen; an icon without one
// is drawn by the area when the session has an area that watches for such icons.
TrayKind TrayKindOf(const QSystemTrayIcon& icon);

// The form's mouse message (tray/TrayLogic.h) for what Qt reports on an icon of that kind.
int TrayMessageFor(QSystemTrayIcon::ActivationReason reason, TrayKind kind);

// A mouse message that happened on a form's icon (see tray/TrayLogic.h for the numbers).
class TrayCallbackEvent final : public QEvent {
public:
    explicit TrayCallbackEvent(int message) : QEvent(eventType()), message_(message) {}
    int message() const { return message_; }
    static QEvent::Type eventType();

private:
    int message_;
};

} // namespace vx
