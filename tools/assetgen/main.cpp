// Draws every built-in picture of the clock into the assets folder: the three dials, the
// seventeen moon-phase icons at three sizes, the program's icon (with the icon theme's sizes for
// the desktop's menu), and a contact sheet of all of them for a person to look at. Same inputs,
// same bytes.
//
//   velmorax_assetgen --moon-map tools/assetgen/moon_albedo.jpg --out assets

#include "ContactSheet.h"
#include "DialArt.h"
#include "IcoWriter.h"
#include "MoonIcons.h"
#include "MoonMap.h"
#include "ProgramIcon.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <exception>
#include <utility>
#include <stdexcept>

using namespace vx::assetgen;

namespace {

// Writes files under the output folder, each replaced whole or not at all.
class AssetWriter {
public:
    explicit AssetWriter(QString dir) : dir_(std::move(dir)) {}

    void bytes(const QString& relative, const QByteArray& bytes) const;
    void image(const QString& relative, const QImage& image, const char* format) const;

private:
    QString dir_;
};

void AssetWriter::bytes(const QString& relative, const QByteArray& bytes) const
{
    const QString path = dir_ + "/" + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
    std::printf("  %s\n", qPrintable(relative));
}

void AssetWriter::image(const QString& relative, const QImage& image, const char* format) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        throw std::runtime_error("cannot encode " + relative.toStdString());
    this->bytes(relative, bytes);
}

QString argValue(const QStringList& args, const QString& name)
{
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mapPath = argValue(args, "--moon-map");
    const QString outDir = argValue(args, "--out");
    if (mapPath.isEmpty() || outDir.isEmpty()) {
        std::fprintf(stderr, "usage: velmorax_assetgen --moon-map FILE --out DIR\n");
        return 2;
    }
    try {
        const MoonMap moon(mapPath);
        const AssetWriter out(outDir);
        std::printf("Writing into %s:\n", qPrintable(QDir(outDir).absolutePath()));

        QList<QImage> dials;
        for (int side : {60, 120, 240}) {
            dials.push_back(dialPicture(moon, side));
            out.image(QString("dial/dial%1.bmp").arg(side), dials.back(), "BMP");
        }
        // The same dials for screens of two and three pixels to each of the window's, where the
        // clock picks the nearest set. Compressed, as these are larger.
        for (int scale : {2, 3})
            for (int side : {60, 120, 240})
                out.image(QString("dial/dial%1@%2x.png").arg(side).arg(scale), dialPicture(moon, side, scale), "PNG");

        QList<SheetRow> iconRows;
        for (int size : {16, 32, 64}) {
            SheetRow row{{}, 64 / size};
            for (int n = 0; n < kMoonIconCount; ++n) {
                row.pictures.push_back(moonIcon(moon, n, size));
                out.image(QString("moon/%1/moon%2.png").arg(size).arg(n, 2, 10, QChar('0')), row.pictures.back(), "PNG");
            }
            iconRows.push_back(row);
        }

        const QImage icon16 = programIcon16Colours(moon, 16);
        const QImage icon32 = programIcon16Colours(moon, 32);
        const QImage icon256 = drawProgramIcon(moon, 256);
        out.image("icon/velmorax16.png", icon16, "PNG");
        out.image("icon/velmorax32.png", icon32, "PNG");
        // The 32-pixel icon of the about box on a screen of two pixels to each of the window's.
        out.image("icon/velmorax64.png", programIcon16Colours(moon, 64), "PNG");
        out.image("icon/velmorax256.png", icon256, "PNG");
        out.bytes("icon/velmorax.ico", icoFile({icon16, icon32}));
        // The desktop's menu icons, full colour at every size of the icon theme; installed, not
        // compiled in.
        QList<QImage> themeIcons;
        for (int size : kThemeIconSizes) {
            themeIcons.push_back(drawProgramIcon(moon, size));
            out.image(QString("icon/hicolor/velmorax%1.png").arg(size), themeIcons.back(), "PNG");
        }

        // Dials at 4, 4 and 2 times, the icons at 64 pixels a cell, the program icons last.
        QList<SheetRow> rows{{{dials[0].scaled(240, 240), dials[1].scaled(480, 480), dials[2].scaled(480, 480)}, 1}};
        rows.append(iconRows);
        rows.push_back({{icon16.scaled(64, 64), icon32.scaled(128, 128), icon256}, 1});
        rows.push_back({themeIcons, 1});
        out.image("contact/sheet.png", contactSheet(rows), "PNG");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmorax_assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
