#include "app/QtPlatform.h"

#include "app/MessageBox.h"
#include "base/LocalClock.h"
#include "settings/Launcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
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

QtPlatform::QtPlatform() : openers_(std::make_unique<QObject>()) {}

QtPlatform::~QtPlatform()
{
    // An opener still running when the program ends (one that waits for the viewer it started)
    // is let go without a word: the viewer stays open.
    for (QProcess* opener : openers_->findChildren<QProcess*>()) {
        opener->disconnect();
        opener->kill();
        opener->waitForFinished(1000);
    }
}

DateValue QtPlatform::Now()
{
    // The C library's clock and zone directly: the same value as QDateTime's, without building one
    // on every tick.
    return LocalDateValueNow();
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
    const auto box = MakeMessageBox(Q(text), title.empty() ? QString::fromLatin1(kTitle) : Q(title));
    box->exec();
}

std::string QtPlatform::ProgramPath()
{
    return QCoreApplication::applicationFilePath().toStdString();
}

void QtPlatform::OpenUrl(const std::string& url)
{
    QDesktopServices::openUrl(QUrl(Q(url)));
}

void QtPlatform::OpenFile(const std::string& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

void QtPlatform::OpenDocument(const std::string& path, std::function<void()> failed)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The desktop's opener tells by its exit status whether anything took the file; Qt's own
    // opening only tells whether the opener started.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        auto* process = new QProcess(openers_.get());
        process->setStandardInputFile(QProcess::nullDevice());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(process, &QProcess::finished, process,
                         [process, failed](int exitCode, QProcess::ExitStatus status) {
                             process->deleteLater();
                             if (status != QProcess::NormalExit || exitCode != 0)
                                 failed();
                         });
        QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            process->deleteLater();
            failed();
        });
        process->start(opener, {Q(path)});
        return;
    }
#endif
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path))))
        failed();
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

UserFolders QtPlatform::PerUserFolders()
{
    return {ConfigDir(), QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString()};
}

std::string QtPlatform::TimeZoneName()
{
    return SystemZoneName();
}

} // namespace vx
