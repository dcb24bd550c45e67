// velmorax-render: draws the clock's face into a PNG, for a program folder, a moment, a size and a
// face, seen from either hemisphere, without a display. The clock window's own drawing code draws it: the dial layer built from
// the folder's dial pictures, moon table and settings (the settings read from a copy, with the
// size and face asked for), the hands of that moment over it, and the round window's shape;
// transparent outside it.
//
//   velmorax-render --dir build --at 2026-12-08T21:00 --size 240 --face clock --hemisphere south --out face.png

#include "app/QtPlatform.h"
#include "base/DateValue.h"
#include "base/ProgramPaths.h"
#include "base/WindowRegion.h"
#include "base/WindowShape.h"
#include "face/DialLayer.h"
#include "face/FacePainter.h"
#include "face/UserPicture.h"
#include "face/Watch.h"
#include "moon/MoonTable.h"
#include "settings/Ini.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPalette>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: velmorax-render [--dir FOLDER] [--at YYYY-MM-DDTHH:MM[:SS]] [--size 60|120|240] "
    "[--face year|clock] [--hemisphere north|south] --out FILE.png";

// Exit codes: bad arguments, and a face that could not be drawn or saved.
constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

struct Options {
    QString dir;                    // empty: the renderer's own folder
    std::optional<vx::DateValue> at; // nothing: now
    std::optional<int> nowSize;     // nothing: the folder's setting
    std::optional<vx::Face> face;   // nothing: the folder's setting
    std::optional<vx::Hemisphere> hemisphere; // nothing: the folder's setting, else the zone's
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
                           name == QLatin1String("--hemisphere") || name == QLatin1String("--out");
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
                options.face = vx::Face::Year;
            else if (value == QLatin1String("clock"))
                options.face = vx::Face::Clock;
            else
                return "--face '" + value.toStdString() + "' is not year or clock";
        } else if (name == QLatin1String("--hemisphere")) {
            if (value == QLatin1String("north"))
                options.hemisphere = vx::Hemisphere::North;
            else if (value == QLatin1String("south"))
                options.hemisphere = vx::Hemisphere::South;
            else
                return "--hemisphere '" + value.toStdString() + "' is not north or south";
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

// The rendering's settings: a copy of the program folder's, so that the defaults a read writes back
// and the size and face asked for never reach the folder itself, which is only read.
std::optional<std::string> PrepareSettings(const QDir& programDir, const QDir& work, const Options& options)
{
    const QString iniName = QStringLiteral("velmorax.ini");
    if (QFileInfo(programDir.filePath(iniName)).isFile() &&
        !QFile::copy(programDir.filePath(iniName), work.filePath(iniName)))
        return "cannot read " + programDir.filePath(iniName).toStdString();
    vx::ini::SetIniPath(work.path().toStdString(), "velmorax");
    bool written = true;
    if (options.nowSize)
        written &= vx::settings::WriteNowSize(*options.nowSize);
    if (options.face)
        written &= vx::settings::WriteFace(*options.face);
    if (options.hemisphere)
        written &= vx::settings::WriteHemisphere(*options.hemisphere);
    if (!written)
        return "cannot write the settings of the rendering in " + work.path().toStdString();
    return std::nullopt;
}

// The face as the clock window shows it at the moment, transparent outside the window's round
// shape: the steps of the window's DrawMojiban and DrawWatch, with what they tell the user said on
// the error stream.
QImage RenderFace(const std::string& appDir, vx::DateValue at, vx::Hemisphere zoneHemisphere)
{
    vx::LoadMoonData(appDir);
    const int nowSize = vx::settings::ReadNowSize();
    const int n = nowSize + 1;
    const int side = vx::SideForSize(nowSize);
    const QColor background = QApplication::palette().color(QPalette::Window);

    QImage picLoad;
    vx::UserPicture user = vx::FindUserPicture(appDir, n, side, background, picLoad);
    if (!user.message.empty())
        std::fprintf(stderr, "velmorax-render: %s\n", user.message.c_str());
    const QImage& picture = user.picture.isNull() ? vx::BuiltInDials()[n] : user.picture;
    const double phase = vx::GetMoonPhase(at);
    vx::DialLayerParts parts;
    if (vx::settings::ShadesMoon() && phase >= 0) {
        parts.moonPhase = phase;
        parts.shadePath = vx::settings::ReadNT() ? vx::ShadePath::PointByPoint : vx::ShadePath::Bulk;
    }
    parts.marks = vx::settings::DrawsMarks();
    parts.hemisphere = vx::settings::ReadHemisphere(zoneHemisphere);
    QImage layer;
    vx::BuildDialLayer(layer, side, picture, background, parts);

    const vx::Watch watch = vx::ComputeWatch(at);
    QImage face(layer.size(), QImage::Format_RGB32);
    vx::ComposeFace(layer, &watch.strokes, face.rect(), face);

    QImage round(face.size(), QImage::Format_ARGB32);
    round.fill(Qt::transparent);
    QPainter painter(&round);
    painter.setClipRegion(vx::WindowDisc(side, side));
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
    if (const std::optional<std::string> error = PrepareSettings(programDir, QDir(work.path()), options))
        return Fail(kFailed, *error);

    vx::QtPlatform platform;
    const vx::DateValue at = options.at ? *options.at : platform.Now();
    const QImage face =
        RenderFace(vx::WithTrailingSeparator(programDir.path().toStdString()), at, platform.ZoneHemisphere());

    QImageWriter writer(options.out, "png");
    if (!writer.write(face))
        return Fail(kFailed, "cannot write " + options.out.toStdString() + ": " + writer.errorString().toStdString());
    return 0;
}
