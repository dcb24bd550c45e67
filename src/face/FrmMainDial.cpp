// The clock window's dial layer: the dial pictures, a user's own picture, the shaded moon and the
// marks. These members of FrmMain live with the rest of the face.

#include "app/FrmMain.h"
#include "app/Program.h"
#include "base/Platform.h"
#include "base/WindowShape.h"
#include "face/DialMarks.h"
#include "face/FacePainter.h"
#include "face/UserPicture.h"
#include "menu/FrmMenu.h"
#include "moon/MoonTable.h"
#include "settings/Settings.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>

namespace vx {

namespace {

// A user's picture for size N is "useimage" N with the first of these that exists.
constexpr const char* kUserPictureExtensions[] = {".bmp", ".jpg", ".gif"};

// The grey of the corners outside the round window.
const QColor kCornerGrey(198, 198, 198);

// A dial of the built-in layout, drawn here: grey corners, the face, a mark at each hour and
// the full moon of radius S/4 in the middle inside a thin dark and light rim.
QImage StandInDial(int side)
{
    QImage dial(side, side, QImage::Format_RGB32);
    dial.fill(kCornerGrey);
    QPainter p(&dial);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const double s = side;
    const QPointF centre(s / 2, s / 2);

    QRadialGradient face(centre, s / 2);
    face.setColorAt(0.0, QColor(44, 58, 104));
    face.setColorAt(1.0, QColor(14, 20, 46));
    p.setBrush(face);
    p.drawEllipse(centre, s / 2, s / 2);

    p.setBrush(QColor(236, 226, 190));
    for (int hour = 1; hour <= 12; ++hour) {
        const double a = hour * std::numbers::pi / 6;
        p.drawEllipse(centre + QPointF(0.39 * s * std::sin(a), -0.39 * s * std::cos(a)), s / 60 + 0.5, s / 60 + 0.5);
    }

    const double r = s / 4;
    p.setBrush(QColor(235, 235, 235));
    p.drawEllipse(centre, r + 2, r + 2);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(centre, r + 1, r + 1);
    QRadialGradient moon(centre - QPointF(r / 4, r / 4), r * 1.3);
    moon.setColorAt(0.0, QColor(250, 247, 232));
    moon.setColorAt(1.0, QColor(196, 190, 170));
    p.setBrush(moon);
    p.drawEllipse(centre, r, r);
    // A few darker seas, so that the shading shows on something.
    p.setBrush(QColor(150, 146, 132, 150));
    p.drawEllipse(centre + QPointF(-0.30 * r, -0.25 * r), 0.32 * r, 0.24 * r);
    p.drawEllipse(centre + QPointF(0.25 * r, -0.10 * r), 0.22 * r, 0.30 * r);
    p.drawEllipse(centre + QPointF(-0.05 * r, 0.40 * r), 0.28 * r, 0.18 * r);
    return dial;
}

// The built-in dial of each size. A resource that is missing or of another size gives way to the
// stand-in, so the moon always lies where the shading looks for it.
const std::array<QImage, 3>& BuiltInDials()
{
    static const std::array<QImage, 3> dials = [] {
        constexpr const char* kResources[] = {":/dial/dial60.bmp", ":/dial/dial120.bmp", ":/dial/dial240.bmp"};
        std::array<QImage, 3> built;
        for (int i = 0; i < 3; ++i) {
            const int side = SideForSize(i - 1);
            const QImage picture(QString::fromLatin1(kResources[i]));
            built[i] = picture.size() == QSize(side, side) ? picture.convertToFormat(QImage::Format_RGB32)
                                                           : StandInDial(side);
        }
        return built;
    }();
    return dials;
}

// The width a BMP file's header declares. Qt's reader refuses to say for pictures of more than
// 16384 x 16384 pixels, yet such a picture is still of the wrong size rather than no picture.
std::optional<int> BmpDeclaredWidth(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(26);
    if (head.size() < 26 || !head.startsWith("BM"))
        return std::nullopt;
    auto byte = [&head](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(head[i])); };
    const std::uint32_t headerSize = byte(14) | byte(15) << 8 | byte(16) << 16 | byte(17) << 24;
    // The old 12-byte header keeps the width in 16 bits, the later ones in 32.
    std::int32_t width = 0;
    if (headerSize == 12)
        width = static_cast<std::int32_t>(byte(18) | byte(19) << 8);
    else if (headerSize >= 40)
        width = static_cast<std::int32_t>(byte(18) | byte(19) << 8 | byte(20) << 16 | byte(21) << 24);
    // A width that no picture has marks a broken file, not a picture of the wrong size.
    return width > 0 ? std::optional<int>(width) : std::nullopt;
}

// A black picture for the reader to decode into. Qt's BMP reader leaves the rows a file cut short
// does not hold as it finds the memory, which in a running program shows whatever lay there
// before; a picture it is handed of the right size and format it fills in place. Within the
// reader's own limit on what a picture may take, as it keeps that limit only for pictures of its
// own making.
QImage BlankPictureFor(QImageReader& reader, const QSize& size)
{
    const QImage::Format format = reader.imageFormat();
    if (format == QImage::Format_Invalid)
        return {};
    const qint64 bytes = qint64(size.width()) * size.height() * QImage::toPixelFormat(format).bitsPerPixel() / 8;
    const qint64 limit = qint64(QImageReader::allocationLimit()) << 20;
    if (limit > 0 && bytes > limit)
        return {};
    QImage blank(size, format);
    if (!blank.isNull())
        blank.fill(0);
    return blank;
}

} // namespace

PictureLoad LoadPictureOfWidth(const QString& path, int width, QImage& picture)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QSize declared = reader.size();
    if (!declared.isValid()) {
        const std::optional<int> bmpWidth = BmpDeclaredWidth(path);
        return bmpWidth && *bmpWidth != width ? PictureLoad::WrongWidth : PictureLoad::Unreadable;
    }
    if (declared.width() != width)
        return PictureLoad::WrongWidth;
    picture = BlankPictureFor(reader, declared);
    if (!reader.read(&picture) || picture.isNull()) {
        picture = QImage();
        return PictureLoad::Unreadable;
    }
    return picture.width() == width ? PictureLoad::Loaded : PictureLoad::WrongWidth;
}

QImage Opaque(const QImage& picture, const QColor& background)
{
    if (picture.format() == QImage::Format_RGB32)
        return picture;
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB32);
    QImage opaque(picture.size(), QImage::Format_RGB32);
    opaque.fill(background);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, picture);
    return opaque;
}

void FrmMain::LoadDialPictures()
{
    picBack = BuiltInDials();
}

bool FrmMain::LookForUserPicture(int n, int side)
{
    const std::string stem = "useimage" + std::to_string(n);
    std::string name;
    for (const char* extension : kUserPictureExtensions) {
        // A folder of that name is no picture file.
        if (QFileInfo(QString::fromStdString(program_.AppDir + stem + extension)).isFile()) {
            name = stem + extension;
            break;
        }
    }
    if (name.empty())
        return false;

    bool changed = false;
    switch (LoadPictureOfWidth(QString::fromStdString(program_.AppDir + name), side, picLoad)) {
    case PictureLoad::Loaded: {
        QImage accepted = Opaque(picLoad, palette().color(QPalette::Window));
        changed = accepted != picBack[n];
        picBack[n] = std::move(accepted);
        break;
    }
    case PictureLoad::WrongWidth:
        platform_.MsgBox(stem + " の大きさは " + std::to_string(side) + " ドット（ピクセル）四方にしてください。");
        break;
    case PictureLoad::Unreadable:
        platform_.MsgBox(name + " を画像として読み込めませんでした。BMP、JPEG、GIF のいずれかの画像にしてください。");
        break;
    }
    picLoad = QImage();
    return changed;
}

void FrmMain::DrawMojiban()
{
    // Face units belong to each drawing below: the marks set them in their own painter, so the
    // pixel scale the moon's point drawing works in never reaches them.
    if (Sizing != 0)
        return;
    Program& p = program_;
    // Only the three sizes have a dial picture; the load keeps NowSize among them.
    const int n = std::clamp(p.NowSize, -1, 1) + 1;
    const int side = SideForSize(n - 1);
    const bool newPicture = LookForUserPicture(n, side);

    const double phase = GetMoonPhase(platform_.Now());
    const bool mitikake = settings::ShadesMoon();
    if (phase >= 0 && mitikake) {
        // The shading replaces only the moon's disc. A picture accepted just now would show its
        // moon inside the old dial, so the layer takes the new picture first.
        if (newPicture)
            SetPicture(picBack[n]);
        ShadeMoon(picBack[n], *this, phase, p.frmMenu->mnuNT->isChecked() ? 1 : 0);
    } else {
        SetPicture(picBack[n]);
        Form_Paint();
    }

    if (!settings::DrawsMarks())
        return;
    AutoRedraw = true;
    if (!dialLayer_.isNull()) {
        QPainter painter(&PersistentImage());
        PaintDialMarks(painter, dialLayer_.width(), DialMarks());
        LayerChanged(dialLayer_.rect());
    }
    AutoRedraw = false;
    ShowDialLayer();
}

void FrmMain::ShowDialLayer()
{
    // The changed layer comes to the screen under the hands as they are; no new drawing of them.
    ownPaintPending_ = true;
    layerChanged_ = QRect();
    update();
}

} // namespace vx
