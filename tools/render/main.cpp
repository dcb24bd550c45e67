// velmorax-render: draws the clock's face into a PNG, for a program folder, a moment, a size and a
// face, without a display. The clock window itself draws it: a real program is started on a copy
// of the folder's settings, moon table and dial pictures, with its clock stopped at the moment,
// and the window's face is saved, transparent outside the round window.
//
//   velmorax-render --dir build --at 2026-12-08T21:00 --size 240 --face clock --out face.png

#include "RenderPlatform.h"

#include "app/FrmMain.h"
#include "app/Program.h"
#include "app/QtPlatform.h"
#include "base/DateValue.h"
#include "settings/IniFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: velmorax-render [--dir FOLDER] [--at YYYY-MM-DDTHH:MM[:SS]] [--size 60|120|240] "
    "[--face year|clock] --out FILE.png";

// Exit codes: bad arguments, and a face that could not be drawn or saved.
constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

struct Options {
    QString dir;                    // empty: the renderer's own folder
    std::optional<vx::DateValue> at; // nothing: now
    std::optional<int> nowSize;     // nothing: the folder's setting
    std::optional<QString> face;    // "Year" or "Clock"; nothing: the folder's setting
    QString out;
};

// A local date and time "2026-12-08T21:00", seconds optional; nothing when it is not one.
std::optional<vx::DateValue> ParseLocalDateTime(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2})(?::(\\d{2}(?:\\.\\d{1,3})?))?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int year = m.captured(1).toInt();
    const int month = m.captured(2).toInt();
    const int day = m.captured(3).toInt();
    const int hour = m.captured(4).toInt();
    const int minute = m.captured(5).toInt();
    const double second = m.captured(6).isEmpty() ? 0.0 : m.captured(6).toDouble();
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > vx::DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second >= 60.0)
        return std::nullopt;
    return vx::MakeDateValue(year, month, day, hour, minute, second);
}

// The options, or the one line that says what is wrong with them.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        QString name = QString::fromLocal8Bit(argv[i]);
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = name.indexOf(QLatin1Char('=')); name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        const bool known = name == QLatin1String("--dir") || name == QLatin1String("--at") ||
                           name == QLatin1String("--size") || name == QLatin1String("--face") ||
                           name == QLatin1String("--out");
        if (!known)
            return "unknown argument '" + name.toStdString() + "'";
        if (!hasValue) {
            if (i + 1 >= argc)
                return name.toStdString() + " needs a value";
            value = QString::fromLocal8Bit(argv[++i]);
        }

        if (name == QLatin1String("--dir")) {
            options.dir = value;
        } else if (name == QLatin1String("--at")) {
            options.at = ParseLocalDateTime(value);
            if (!options.at)
                return "--at '" + value.toStdString() + "' is not a local date and time like 2026-12-08T21:00";
        } else if (name == QLatin1String("--size")) {
            if (value == QLatin1String("60"))
                options.nowSize = -1;
            else if (value == QLatin1String("120"))
                options.nowSize = 0;
            else if (value == QLatin1String("240"))
                options.nowSize = 1;
            else
                return "--size '" + value.toStdString() + "' is not 60, 120 or 240";
        } else if (name == QLatin1String("--face")) {
            if (value == QLatin1String("year"))
                options.face = QStringLiteral("Year");
            else if (value == QLatin1String("clock"))
                options.face = QStringLiteral("Clock");
            else
                return "--face '" + value.toStdString() + "' is not year or clock";
        } else {
            if (value.isEmpty())
                return "--out needs a file name";
            options.out = value;
        }
    }
    if (options.out.isEmpty())
        return "--out FILE.png is required";
    if (!options.dir.isEmpty() && !QFileInfo(options.dir).isDir())
        return "--dir '" + options.dir.toStdString() + "' is not a folder";
    return std::nullopt;
}

// Copies the file of the program folder into the rendering's folder, when it is there. (A link
// would do on Linux, but on Windows QFile::link makes a shortcut, which is no copy of the file.)
bool Mirror(const QDir& from, const QDir& to, const QString& name)
{
    const QFileInfo source(from.filePath(name));
    return !source.isFile() || QFile::copy(source.absoluteFilePath(), to.filePath(name));
}

// The rendering's own folder: the program folder's settings with the chosen size and face, its moon
// table and its dial pictures. The program folder itself is only read.
std::optional<std::string> PrepareFolder(const QDir& programDir, const QDir& work, const Options& options)
{
    const QString iniName = QStringLiteral("velmorax.ini");
    if (QFileInfo(programDir.filePath(iniName)).isFile() &&
        !QFile::copy(programDir.filePath(iniName), work.filePath(iniName)))
        return "cannot read " + programDir.filePath(iniName).toStdString();
    const std::string ini = work.filePath(iniName).toStdString();
    bool written = true;
    if (options.nowSize)
        written &= vx::IniSet(ini, "frmMain", "NowSize", std::to_string(*options.nowSize));
    if (options.face)
        written &= vx::IniSet(ini, "Setting", "YearOrClock", options.face->toStdString());
    // The notification-area icon has no part in the face.
    written &= vx::IniSet(ini, "TaskTray", "Setting", "0");
    if (!written)
        return "cannot write the settings of the rendering in " + work.path().toStdString();

    QStringList names{QStringLiteral("moondata.dat")};
    for (int n = 0; n < 3; ++n)
        for (const char* extension : {".bmp", ".jpg", ".gif"})
            names << QStringLiteral("useimage%1%2").arg(n).arg(QLatin1String(extension));
    for (const QString& name : names)
        if (!Mirror(programDir, work, name))
            return "cannot read " + programDir.filePath(name).toStdString();
    return std::nullopt;
}

// The face as the window shows it, transparent outside the window's round shape.
QImage RoundFace(const vx::FrmMain& window)
{
    const QImage face = window.Grab();
    QImage round(face.size(), QImage::Format_ARGB32);
    round.fill(Qt::transparent);
    QPainter painter(&round);
    const QRegion shape = window.mask();
    if (!shape.isEmpty())
        painter.setClipRegion(shape);
    painter.drawImage(0, 0, face);
    return round;
}

int Fail(int code, const std::string& message)
{
    std::fprintf(stderr, "velmorax-render: %s\n", message.c_str());
    return code;
}

// The offscreen platform's notes (no window masks, no raising) say nothing about the face.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "velmorax-render: %s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    Options options;
    if (const std::optional<std::string> error = ParseOptions(argc, argv, options))
        return Fail(kBadArguments, *error + "; see --help");

    // No display is needed, whatever the environment offers; and Qt gets none of our arguments.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    const QDir programDir(options.dir.isEmpty() ? QCoreApplication::applicationDirPath() : options.dir);
    QTemporaryDir work;
    if (!work.isValid())
        return Fail(kFailed, "cannot make a temporary folder: " + work.errorString().toStdString());
    if (const std::optional<std::string> error = PrepareFolder(programDir, QDir(work.path()), options))
        return Fail(kFailed, *error);

    const vx::DateValue at = options.at ? *options.at : vx::QtPlatform().Now();
    vx::RenderPlatform platform(at, work.path().toStdString());
    QImage face;
    {
        vx::Program program(platform);
        program.SetOnEnd([] {});
        program.Start();
        QCoreApplication::processEvents();
        face = RoundFace(*program.frmMain.loaded());
    }

    QImageWriter writer(options.out, "png");
    if (!writer.write(face))
        return Fail(kFailed, "cannot write " + options.out.toStdString() + ": " + writer.errorString().toStdString());
    return 0;
}
