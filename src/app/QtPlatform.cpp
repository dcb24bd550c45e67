#include "app/QtPlatform.h"

#include "settings/Launcher.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>

namespace vx {

namespace {
QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string ConfigDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
}

double TwipsPerPixel(qreal dotsPerInch)
{
    return dotsPerInch > 0 ? 1440.0 / dotsPerInch : 15.0;
}
} // namespace

DateValue QtPlatform::Now()
{
    static const QDate kDayZero(1899, 12, 30);
    const QDateTime now = QDateTime::currentDateTime();
    return static_cast<double>(kDayZero.daysTo(now.date())) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

std::string QtPlatform::ProgramDir()
{
    return QCoreApplication::applicationDirPath().toStdString();
}

std::string QtPlatform::ProgramBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void QtPlatform::MsgBox(const std::string& text, const std::string& title)
{
    // Texts break their lines with CR LF; a label wants a plain line feed.
    QString body = Q(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, title.empty() ? QString::fromLatin1(kTitle) : Q(title), body,
                    QMessageBox::Ok);
    // Ctrl+C copies the message, so a report can be kept or passed on.
    const QShortcut copy(QKeySequence::Copy, &box, [body] { QGuiApplication::clipboard()->setText(body); });
    box.exec();
}

void QtPlatform::OpenUrl(const std::string& url)
{
    QDesktopServices::openUrl(QUrl(Q(url)));
}

void QtPlatform::OpenFile(const std::string& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

std::string QtPlatform::GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                   const std::string& defaultValue)
{
    return UserStoreGet(ConfigDir(), app, section, key, defaultValue);
}

void QtPlatform::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& value)
{
    UserStoreSave(ConfigDir(), app, section, key, value);
}

double QtPlatform::TwipsPerPixelX()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipsPerPixel(screen ? screen->logicalDotsPerInchX() : 96.0);
}

double QtPlatform::TwipsPerPixelY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipsPerPixel(screen ? screen->logicalDotsPerInchY() : 96.0);
}

bool QtPlatform::HasNotificationArea()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace vx
