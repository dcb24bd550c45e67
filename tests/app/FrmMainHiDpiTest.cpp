// The clock on a screen with more device pixels than the window has logical ones. CTest runs this
// program once for each ratio (QT_SCALE_FACTOR 1, 1.25, 1.5, 2 and 3); every case holds at each.

#include "about/FrmVersion.h"
#include "app/FrmMain.h"
#include "base/WindowRegion.h"
#include "base/WindowShape.h"
#include "face/DeviceScale.h"
#include "face/DialLayer.h"
#include "face/FacePainter.h"
#include "menu/FrmMenu.h"
#include "moon/ShadeMoon.h"
#include "support/DialPictures.h"
#include "support/ProgramFixture.h"
#include "support/Sharpness.h"
#include "tray/FrmTaskTray.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

namespace vx {
namespace {

using test::SolidPicture;

// New moons around the test clock's 2026-12-08 21:00: the moon is new, its disc dimmed to 40 %.
constexpr const char* kNewMoon = "2026/12/08 21\n2027/01/07 21\n";
const QColor kBlue(0, 0, 255);

class HiDpiTest : public test::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        dir.write("moondata.dat", kNewMoon);
    }
    FrmMain& Start(int nowSize = 0)
    {
        SetIni("frmMain", "NowSize", std::to_string(nowSize));
        return ProgramFixture::Start();
    }
    static double Ratio() { return qGuiApp->devicePixelRatio(); }
    // The built-in dial of index n as the layer should show it: the set drawn nearest the ratio,
    // smooth-scaled when it was drawn for another.
    static QImage ExpectedDial(int n)
    {
        const int side = DeviceSide(SideForSize(n - 1), Ratio());
        const QImage& drawn = BuiltInDials(NearestDialSet(Ratio()))[n];
        if (drawn.width() == side)
            return drawn;
        return drawn.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    }
};

// How much ink of one channel a picture holds, in whole pixels of that channel's full value:
// over a blue ground with black borders, the green of the marks and the red of the hands (their
// colour's red is 192) are theirs alone, and antialiased edges count by how far they are covered.
double InkOf(const QImage& image, int (*channel)(QRgb), int full)
{
    double ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += channel(image.pixel(x, y));
    return ink / full;
}

TEST_F(HiDpiTest, TheWindowKeepsItsLogicalSizeAndShapeWhileItsLayerHasTheScreensPixels)
{
    for (int nowSize : {-1, 0, 1}) {
        FrmMain& main = Start(nowSize);
        const int side = SideForSize(nowSize);
        EXPECT_EQ(main.size(), QSize(side, side)) << nowSize;
        EXPECT_EQ(main.mask(), WindowDisc(side, side)) << nowSize;
        EXPECT_EQ(main.devicePixelRatioF(), Ratio());
        EXPECT_EQ(main.DialLayer().size(), QSize(DeviceSide(side, Ratio()), DeviceSide(side, Ratio()))) << nowSize;
        EXPECT_EQ(main.Grab().size(), main.DialLayer().size()) << nowSize;
        program.reset();
    }
}

TEST_F(HiDpiTest, ThePlainDialComesFromTheSetDrawnNearestTheRatio)
{
    SetIni("frmMain", "Mitikake", "False");
    for (int nowSize : {-1, 0, 1}) {
        FrmMain& main = Start(nowSize);
        EXPECT_EQ(main.DialLayer(), ExpectedDial(nowSize + 1)) << nowSize << " at " << Ratio();
        // What the window keeps as its dial picture stays the logical one.
        EXPECT_EQ(main.picBack[nowSize + 1].width(), SideForSize(nowSize));
        program.reset();
    }
}

TEST_F(HiDpiTest, TheMoonIsShadedInDevicePixelsByBothPaths)
{
    for (const char* nt : {"False", "True"}) {
        SetIni("frmMain", "NT", nt);
        FrmMain& main = Start(0);
        // The same formula over the device picture: its centre and radius in device pixels.
        const QImage dial = ExpectedDial(1);
        QImage expected = dial.copy();
        ShadeMoonOnLayer(dial, expected, 0.0, ShadePath::Bulk);
        EXPECT_EQ(main.DialLayer(), expected) << nt;
        const int c = dial.width() / 2;
        EXPECT_EQ(main.DialLayer().pixelColor(c, c).red(), qRound(dial.pixelColor(c, c).red() * 0.4)) << nt;
        // Outside the disc the dial is untouched.
        EXPECT_EQ(main.DialLayer().pixel(c, 3), dial.pixel(c, 3)) << nt;
        program.reset();
    }
}

TEST_F(HiDpiTest, TheNumeralRingIsSharperThanTheOneToOneDialBroughtUp)
{
    if (NearestDialSet(Ratio()) == 1)
        GTEST_SKIP() << "the one-to-one dials are the nearest at " << Ratio();
    SetIni("frmMain", "Mitikake", "False");
    for (int nowSize : {-1, 0, 1}) {
        FrmMain& main = Start(nowSize);
        const int side = main.DialLayer().width();
        const QImage broughtUp =
            BuiltInDials()[nowSize + 1].scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double drawn = test::NumeralRingSharpness(main.DialLayer());
        const double scaled = test::NumeralRingSharpness(broughtUp);
        EXPECT_GT(drawn, 2 * scaled) << nowSize << " at " << Ratio();
        program.reset();
    }
}

TEST_F(HiDpiTest, MarksAndHandsAreDrawnWithPensWidenedByTheRatio)
{
    // Over a plain blue picture the marks' green and the hands' colour are easy to count. The
    // window's own pixels are ratio squared times as many: so are the pixels each pen covers.
    ASSERT_TRUE(SolidPicture(120, 120, kBlue).save(QString::fromStdString(dir.file("useimage1.bmp")), "BMP"));
    SetIni("frmMain", "Mitikake", "False");
    SetIni("frmMain", "UseLineMojiban", "True");
    FrmMain& main = Start(0);
    ASSERT_TRUE(platform.messages.empty());

    DialLayerParts parts;
    parts.marks = true;
    QImage oneToOne;
    BuildDialLayer(oneToOne, 120, SolidPicture(120, 120, kBlue), kBlue, parts);
    const double area = Ratio() * Ratio();
    const double green = InkOf(main.DialLayer(), qGreen, 255);
    const double greenOneToOne = InkOf(oneToOne, qGreen, 255);
    EXPECT_NEAR(green / greenOneToOne, area, 0.1 * area) << Ratio();

    const QImage face = main.Grab();
    QImage faceOneToOne(oneToOne.size(), QImage::Format_RGB32);
    ComposeFace(oneToOne, &main.LastStrokes(), faceOneToOne.rect(), faceOneToOne);
    const double hands = InkOf(face, qRed, 192);
    const double handsOneToOne = InkOf(faceOneToOne, qRed, 192);
    EXPECT_NEAR(hands / handsOneToOne, area, 0.1 * area) << Ratio();
}

TEST_F(HiDpiTest, AUsersPictureIsCheckedInLogicalPixelsAndShownAsItIs)
{
    SetIni("frmMain", "Mitikake", "False");
    const QImage picture = SolidPicture(120, 120, kBlue);
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.file("useimage1.bmp")), "BMP"));
    ASSERT_TRUE(SolidPicture(240, 240, kBlue).save(QString::fromStdString(dir.file("useimage2.bmp")), "BMP"));
    FrmMain& main = Start(0);
    EXPECT_TRUE(platform.messages.empty());
    const int side = DeviceSide(120, Ratio());
    EXPECT_EQ(main.DialLayer(), picture.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    program.reset();

    // A picture as wide as the double size's device pixels is not the 120-pixel picture.
    ASSERT_TRUE(SolidPicture(DeviceSide(120, 2), 240, kBlue).save(QString::fromStdString(dir.file("useimage1.bmp")), "BMP"));
    Start(0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "useimage1 の大きさは 120 ドット（ピクセル）四方にしてください。");
}

TEST_F(HiDpiTest, AnotherScreenGivesTheWindowItsShapeAgain)
{
    FrmMain& main = Start(0);
    const QImage layer = main.DialLayer().copy();
    main.clearMask();
    QEvent moved(QEvent::ScreenChangeInternal);
    QCoreApplication::sendEvent(&main, &moved);
    EXPECT_EQ(main.mask(), WindowDisc(120, 120));
    // The same ratio: the dial stays as it was drawn.
    EXPECT_EQ(main.DialLayer(), layer);
}

TEST_F(HiDpiTest, TheAboutBoxAndTheTrayIconTakeTheirPicturesForTheRatio)
{
    FrmMain& main = Start(0);
    program->frmMenu->mnuVersion_Click();
    const QPixmap dial = program->frmVersion->imgIcon->pixmap();
    EXPECT_EQ(dial.devicePixelRatio(), Ratio());
    EXPECT_EQ(dial.toImage().convertToFormat(QImage::Format_RGB32), ExpectedDial(1));
    // The label keeps the picture's logical size.
    EXPECT_EQ(program->frmVersion->imgIcon->width(), 120);
    EXPECT_EQ(main.width(), 120);

    // The tray's 16-pixel moon comes from the set with as many pixels as the screen has for it.
    FrmTaskTray& tray = *program->frmTaskTray;
    const QImage moon = tray.Image1[8].pixmap(QSize(16, 16), Ratio()).toImage();
    const int side = DeviceSide(16, Ratio());
    EXPECT_EQ(moon.width(), side);
    if (side == 16 || side == 32 || side == 64) {
        const QImage file(QStringLiteral(":/moon/%1/moon08.png").arg(side));
        EXPECT_EQ(moon.convertToFormat(QImage::Format_ARGB32), file.convertToFormat(QImage::Format_ARGB32));
    }
}

} // namespace
} // namespace vx
