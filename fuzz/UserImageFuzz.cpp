// A user's dial picture on any bytes, through the dial's own steps: the picture is read only when
// its header gives the width of the window's size, made opaque over the window's colour, and its
// moon shaded into a dial layer of that size.

#include "face/DialLayer.h"
#include "face/UserPicture.h"
#include "ScratchFile.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>

namespace {

constexpr int kSides[] = {60, 120, 240};

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

void Exercise(const QString& path)
{
    for (const int side : kSides) {
        QImage loaded;
        const vx::PictureLoad outcome = vx::LoadPictureOfWidth(path, side, loaded);
        if (outcome != vx::PictureLoad::Loaded)
            continue;
        Check(loaded.width() == side);
        const QImage picture = vx::Opaque(loaded, QColor(240, 240, 240));
        Check(picture.format() == QImage::Format_RGB32 && picture.size() == loaded.size());

        // The first build starts from the picture; the others shade the moon over it again.
        QImage layer;
        for (const double phase : {0.0, 0.3, 0.5, 0.8})
            vx::BuildDialLayer(layer, side, picture, QColor(240, 240, 240),
                               {phase == 0.0, phase, vx::ShadePath::Bulk, false});
        Check(layer.size() == QSize(side, side));
    }
}

const vx::fuzz::ScratchFile& File(int extension)
{
    // The dial looks for these three names; what decides the format is the content.
    static const vx::fuzz::ScratchFile bmp("useimage1.bmp");
    static const vx::fuzz::ScratchFile jpg("useimage1.jpg");
    static const vx::fuzz::ScratchFile gif("useimage1.gif");
    return extension == 0 ? bmp : extension == 1 ? jpg : gif;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The readers' complaints about broken files, one per input, would bury the fuzzer's own output.
    qputenv("QT_LOGGING_RULES", "qt.gui.imageio.*=false");
    static QGuiApplication app(*argc, *argv);
    // Qt loads its picture readers at their first use and keeps them: use each now, so that the
    // leak checker does not take them for a leak of the first input.
    QImage probe(120, 120, QImage::Format_RGB32);
    probe.fill(Qt::gray);
    for (const char* format : {"BMP", "JPG", "PNG"}) {
        Check(probe.save(QString::fromStdString(File(0).path()), format));
        Exercise(QString::fromStdString(File(0).path()));
    }
    const char gif[] = "GIF89a\x78\x00\x78\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff,\x00\x00\x00\x00\x78\x00\x78\x00\x00\x02\x02\x44\x01\x00;";
    File(2).Write(reinterpret_cast<const std::uint8_t*>(gif), sizeof gif - 1);
    Exercise(QString::fromStdString(File(2).path()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const vx::fuzz::ScratchFile& file = File(static_cast<int>(size % 3));
    file.Write(data, size);
    Exercise(QString::fromStdString(file.path()));
    return 0;
}
