#include "app/FrmMain.h"
#include "base/WindowShape.h"
#include "menu/FrmMenu.h"
#include "settings/IniFile.h"
#include "support/DialPictures.h"
#include "support/ProgramFixture.h"
#include "tray/FrmTaskTray.h"

#include <QAction>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace vx {
namespace {

using test::SolidPicture;

// New moons around the test clock's 2026-12-08 21:00, giving the lunation fraction at that moment.
constexpr const char* kNewMoon = "2026/12/08 21\n2027/01/07 21\n";       // 0
constexpr const char* kFirstQuarter = "2026/11/30 03\n2026/12/30 03\n";  // 0.2625
constexpr const char* kFullMoon = "2026/11/23 21\n2026/12/23 21\n";      // 0.5
constexpr const char* kLastQuarter = "2026/11/16 15\n2026/12/16 15\n";   // 0.7583

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// A program started from a temporary program folder at a size, with its clock and moon table set by
// hand.
class DialTest : public test::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        dir.write("moondata.dat", kNewMoon);
    }

    std::string IniFile() const { return dir.file("velmorax.ini"); }
    FrmMain& Start(int nowSize = 0)
    {
        SetIni("frmMain", "NowSize", std::to_string(nowSize));
        return ProgramFixture::Start();
    }
    void Save(const std::string& name, const QImage& picture, const char* format)
    {
        ASSERT_TRUE(picture.save(QString::fromStdString(dir.file(name)), format));
    }
    void Remove(const std::string& name) { std::filesystem::remove(dir.file(name)); }

    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : platform.messages)
            texts.push_back(m.text);
        return texts;
    }
};

bool Near(const QColor& a, const QColor& b, int tolerance = 8)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Each channel of the picture's pixel scaled by f, to the nearest.
QColor Scaled(const QImage& picture, int x, int y, double f)
{
    const QColor c = picture.pixelColor(x, y);
    return QColor(static_cast<int>(std::nearbyint(c.red() * f)), static_cast<int>(std::nearbyint(c.green() * f)),
                  static_cast<int>(std::nearbyint(c.blue() * f)));
}

TEST_F(DialTest, ShowingTheWindowPutsThePlainDialWithThePresentMoonOnIt)
{
    for (int nowSize : {-1, 0, 1}) {
        const FrmMain& main = Start(nowSize);
        const int s = SideForSize(nowSize);
        const QImage& dial = main.picBack[nowSize + 1];
        const QImage& layer = main.DialLayer();
        ASSERT_EQ(dial.size(), QSize(s, s));
        ASSERT_EQ(layer.size(), QSize(s, s));
        // The built-in layout: grey corners, the moon of radius S/4 in the middle.
        EXPECT_EQ(dial.pixelColor(0, 0), QColor(198, 198, 198));
        EXPECT_EQ(dial.pixelColor(s - 1, s - 1), QColor(198, 198, 198));
        // At new moon the middle of the disc is at 40 %; the ring around it is the plain picture.
        EXPECT_EQ(layer.pixelColor(s / 2, s / 2), Scaled(dial, s / 2, s / 2, 0.4)) << s;
        EXPECT_EQ(layer.pixelColor(s / 2 - s / 8, s / 2 + s / 8), Scaled(dial, s / 2 - s / 8, s / 2 + s / 8, 0.4));
        for (const QPoint p : {QPoint(s / 2, s / 8), QPoint(s / 10, s / 2), QPoint(s - 3, s / 2), QPoint(0, 0)})
            EXPECT_EQ(layer.pixel(p), dial.pixel(p)) << s << " " << p.x() << "," << p.y();
        EXPECT_FALSE(main.AutoRedraw);
        EXPECT_TRUE(platform.messages.empty());
        program.reset();
    }
}

TEST_F(DialTest, MoonIsShadedOnlyWhenTheSettingIsExactlyTrue)
{
    const std::pair<const char*, bool> cases[] = {{"True", true}, {"true", false}, {"False", false}, {"1", false}};
    for (auto [value, shaded] : cases) {
        SetIni("frmMain", "Mitikake", value);
        FrmMain& main = Start();
        main.DrawMojiban();
        const QImage& dial = main.picBack[1];
        if (shaded)
            EXPECT_EQ(main.DialLayer().pixelColor(60, 60), Scaled(dial, 60, 60, 0.4)) << value;
        else
            EXPECT_EQ(main.DialLayer(), dial) << value;
        program.reset();
    }
}

TEST_F(DialTest, UserPictureExtensionsAreTriedBmpFirstThenJpgThenGif)
{
    struct Case {
        std::vector<std::string> files; // each a solid picture of the standard size
        QColor expected;                // the dial's colour away from the moon
    };
    const QColor builtIn = [this] {
        FrmMain& main = Start();
        const QColor c = main.picBack[1].pixelColor(60, 8);
        program.reset();
        return c;
    }();
    const Case cases[] = {
        {{"useimage1.bmp", "useimage1.jpg", "useimage1.gif"}, kRed},
        {{"useimage1.jpg", "useimage1.gif"}, QColor(0, 160, 0)},
        {{"useimage1.gif"}, kBlue},
        {{"useimage1.png"}, builtIn},
        {{"useimage0.bmp", "useimage2.bmp"}, builtIn}, // other sizes' pictures
    };
    for (const Case& c : cases) {
        for (const std::string& name : c.files) {
            if (name.ends_with(".bmp"))
                Save(name, SolidPicture(name == "useimage1.bmp" ? 120 : 60, 120, kRed), "BMP");
            else if (name.ends_with(".jpg"))
                Save(name, SolidPicture(120, 120, QColor(0, 160, 0)), "JPG");
            else if (name.ends_with(".png"))
                Save(name, SolidPicture(120, 120, kRed), "PNG");
            else
                dir.write(name, test::SolidGif(120, 120, kBlue));
        }
        // A wrong-sized picture beside the one taken would bring a message if it were opened.
        if (c.files.size() > 1 && c.files[1] == "useimage1.jpg")
            Save("useimage1.jpg", SolidPicture(100, 100, kBlue), "JPG");
        SetIni("frmMain", "Mitikake", "False");
        FrmMain& main = Start();
        EXPECT_TRUE(Near(main.DialLayer().pixelColor(60, 8), c.expected)) << c.files[0];
        EXPECT_TRUE(platform.messages.empty()) << c.files[0];
        program.reset();
        for (const std::string& name : c.files)
            Remove(name);
        platform.messages.clear();
    }
}

TEST_F(DialTest, OnlyTheWidthOfAUserPictureIsExamined)
{
    dir.write("useimage1.gif", test::SolidGif(120, 90, kBlue));
    FrmMain& main = Start();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(main.picBack[1].size(), QSize(120, 90));
    EXPECT_TRUE(main.picLoad.isNull());
    const QImage& layer = main.DialLayer();
    EXPECT_EQ(layer.size(), QSize(120, 120));
    EXPECT_EQ(layer.pixelColor(60, 8), kBlue);
    // Below the picture the window's own colour shows.
    EXPECT_EQ(layer.pixelColor(60, 100), main.palette().color(QPalette::Window));
    // The moon follows the lower picture: centred on its middle row with radius 15, at 40 % (new moon).
    EXPECT_EQ(layer.pixelColor(60, 45), QColor(0, 0, 102));
    EXPECT_EQ(layer.pixelColor(60, 31), QColor(0, 0, 102));
    EXPECT_EQ(layer.pixelColor(60, 28), kBlue);
    EXPECT_EQ(layer.pixelColor(60, 62), kBlue);
}

TEST_F(DialTest, PictureOfAnotherWidthBringsTheSizeMessageAtEachSizeAndLeavesTheDial)
{
    struct Case {
        int nowSize;
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        {-1, "useimage0.jpg", "useimage0 の大きさは 60 ドット（ピクセル）四方にしてください。"},
        {0, "useimage1.jpg", "useimage1 の大きさは 120 ドット（ピクセル）四方にしてください。"},
        {1, "useimage2.jpg", "useimage2 の大きさは 240 ドット（ピクセル）四方にしてください。"},
    };
    for (const Case& c : cases) {
        Save(c.file, SolidPicture(100, 100, kRed), "JPG");
        SetIni("frmMain", "Mitikake", "False");
        FrmMain& main = Start(c.nowSize);
        ASSERT_EQ(MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(platform.messages[0].title, "");
        EXPECT_EQ(main.DialLayer(), main.picBack[c.nowSize + 1]);
        EXPECT_EQ(main.DialLayer().pixelColor(0, 0), QColor(198, 198, 198));
        EXPECT_TRUE(main.picLoad.isNull());
        // Shown again on every rebuild while the file stays.
        main.DrawMojiban();
        EXPECT_EQ(platform.messages.size(), 2u);
        program.reset();
        Remove(c.file);
        platform.messages.clear();
    }
}

TEST_F(DialTest, HugeDeclaredPictureIsRefusedWithoutBeingDecoded)
{
    // Each would take a gigabyte or more; decoding one would fail for want of memory and bring the
    // message for an unreadable file instead. The header alone settles it.
    const std::pair<const char*, std::string> cases[] = {
        {"useimage1.bmp", test::BmpHeaderOnly(20000, 20000)},
        {"useimage1.bmp", test::BmpHeaderOnly(16000, 16000)},
        {"useimage1.gif", test::GifHeader(20000, 20000, kRed)},
    };
    for (const auto& [name, bytes] : cases) {
        dir.write(name, bytes);
        FrmMain& main = Start();
        EXPECT_EQ(MessageTexts(),
                  std::vector<std::string>{"useimage1 の大きさは 120 ドット（ピクセル）四方にしてください。"})
            << name;
        EXPECT_EQ(main.picBack[1].size(), QSize(120, 120));
        EXPECT_TRUE(main.picLoad.isNull());
        program.reset();
        Remove(name);
        platform.messages.clear();
    }
}

TEST_F(DialTest, FileThatIsNoPictureLeavesTheDialAndSaysSo)
{
    struct Case {
        const char* file;
        std::string bytes;
    };
    const Case cases[] = {
        {"useimage1.bmp", "this is not a picture"},
        {"useimage1.jpg", ""},
        {"useimage1.gif", "GIF89a\x78\x00"},
        // The right width, but the pixels are missing.
        {"useimage1.bmp", test::BmpHeaderOnly(120, 120)},
        // Sound pictures of the right width, in formats a dial picture is not.
        {"useimage1.bmp", test::Encoded(SolidPicture(120, 120, kRed), "PNG")},
        {"useimage1.jpg", test::Encoded(SolidPicture(120, 120, kRed), "PPM")},
    };
    for (const Case& c : cases) {
        dir.write(c.file, c.bytes);
        SetIni("frmMain", "Mitikake", "True");
        FrmMain& main = Start();
        const std::string expected = std::string(c.file) +
                                     " を画像として読み込めませんでした。BMP、JPEG、GIF のいずれかの画像にしてください。";
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{expected}) << c.file;
        // The built-in dial, with its moon shaded.
        EXPECT_EQ(main.DialLayer().pixel(60, 8), main.picBack[1].pixel(60, 8));
        EXPECT_EQ(main.picBack[1].pixelColor(0, 0), QColor(198, 198, 198));
        EXPECT_EQ(main.DialLayer().pixelColor(60, 60), Scaled(main.picBack[1], 60, 60, 0.4));
        program.reset();
        Remove(c.file);
        platform.messages.clear();
    }
}

TEST_F(DialTest, PictureCutShortShowsWhatItHoldsAndBlackForTheRestNeverLeftoverMemory)
{
    FrmMain& main = Start();
    // A BMP of 120 x 120 red pixels cut after its lower half (the rows are stored from the bottom up).
    Save("useimage1.bmp", SolidPicture(120, 120, kRed), "BMP");
    const std::string whole = dir.read("useimage1.bmp");
    const std::size_t pixelsAt = static_cast<unsigned char>(whole[10]) | static_cast<unsigned char>(whole[11]) << 8;
    const std::size_t rowBytes = (whole.size() - pixelsAt) / 120;
    dir.write("useimage1.bmp", whole.substr(0, pixelsAt + 60 * rowBytes));
    // Memory of the picture's size, just freed and full of a pattern, is where a new picture lands.
    for (int i = 0; i < 4; ++i) {
        std::vector<std::uint32_t> leftover(120 * 120, 0x005A5A5Au);
        volatile std::uint32_t keep = leftover[i];
        (void)keep;
    }
    main.DrawMojiban();
    const QImage& picture = main.picBack[1];
    ASSERT_EQ(picture.size(), QSize(120, 120));
    EXPECT_TRUE(platform.messages.empty());
    int wrong = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            wrong += picture.pixelColor(x, y) != (y >= 60 ? kRed : QColor(Qt::black));
    EXPECT_EQ(wrong, 0);
}

TEST_F(DialTest, AcceptedPictureShowsWholeAndStaysForTheRestOfTheRun)
{
    Save("useimage1.bmp", SolidPicture(120, 120, kRed), "BMP");
    FrmMain& main = Start();
    // Taken at the first drawing: the whole dial is the user's, not only its moon.
    EXPECT_EQ(main.DialLayer().pixelColor(60, 8), kRed);
    EXPECT_EQ(main.DialLayer().pixelColor(2, 2), kRed);
    EXPECT_EQ(main.DialLayer().pixelColor(60, 60), QColor(102, 0, 0));

    Remove("useimage1.bmp");
    main.SetPicture(main.picBack[1]);
    main.DrawMojiban();
    EXPECT_EQ(main.DialLayer().pixelColor(60, 8), kRed);

    // A wrong-sized file added later brings the message and changes nothing.
    Save("useimage1.gif", SolidPicture(1, 1, kBlue), "BMP");
    main.DrawMojiban();
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(main.DialLayer().pixelColor(60, 8), kRed);

    // A file of the right size replaces the picture at the next rebuild.
    Remove("useimage1.gif");
    dir.write("useimage1.gif", test::SolidGif(120, 120, kBlue));
    main.DrawMojiban();
    EXPECT_EQ(main.DialLayer().pixelColor(60, 8), kBlue);
}

TEST_F(DialTest, AcceptedPictureStaysTheDialOfItsSizeThroughSizeChangesAndRestores)
{
    Save("useimage1.bmp", SolidPicture(120, 120, kRed), "BMP");
    Save("useimage2.bmp", SolidPicture(240, 240, kBlue), "BMP");
    SetIni("TaskTray", "Setting", "1");
    Start();
    program->frmMenu->mnuSize_Click(2);
    Remove("useimage1.bmp");
    Remove("useimage2.bmp");
    const auto dialTop = [this] { return program->frmMain->DialLayer().pixelColor(program->frmMain->width() / 2, 8); };
    program->frmMenu->mnuSize_Click(1);
    EXPECT_EQ(dialTop(), kRed) << "after a size change";
    program->frmMenu->mnuSize_Click(2);
    EXPECT_EQ(dialTop(), kBlue) << "after a size change";
    // Closed with the icon on, then brought back from the notification area.
    program->frmMenu->mnuUnload_Click();
    program->frmTaskTray->mnuShowfrmMain_Click();
    EXPECT_EQ(dialTop(), kBlue) << "after a restore";
    EXPECT_EQ(program->frmMain->picBack[1].pixelColor(60, 8), kRed);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(DialTest, NothingAtAllHappensWhileTheWindowIsBeingSized)
{
    FrmMain& main = Start();
    const QImage before = main.DialLayer().copy();
    Save("useimage1.jpg", SolidPicture(100, 100, kRed), "JPG");
    dir.write("velmorax.ini", "[frmMain]\nNowSize=0\n");
    main.Sizing = 1;
    main.DrawMojiban();
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(main.DialLayer(), before);
    // Not even the settings were read (a read writes the default back).
    EXPECT_EQ(IniGet(IniFile(), "frmMain", "Mitikake"), std::nullopt);
    EXPECT_EQ(IniGet(IniFile(), "frmMain", "UseLineMojiban"), std::nullopt);
    main.Sizing = 0;
}

TEST_F(DialTest, MarksLieBetweenFiveThousandAndFiveThousandFiveHundredFaceUnitsAtEachSize)
{
    // The point-by-point shading leaves the same layer (next test), marks included.
    const std::pair<const char*, bool> settings[] = {{"True", true}, {"false", true}, {"False", false}};
    for (int nowSize : {-1, 0, 1}) {
        const int s = SideForSize(nowSize);
        SetIni("frmMain", "UseLineMojiban", "False");
        const QImage plain = Start(nowSize).DialLayer().copy();
        program.reset();
        for (auto [value, drawn] : settings) {
            SetIni("frmMain", "UseLineMojiban", value);
            FrmMain& main = Start(nowSize);
            const QImage& layer = main.DialLayer();
            EXPECT_FALSE(main.AutoRedraw);
            int marked = 0;
            for (int y = 0; y < s; ++y) {
                for (int x = 0; x < s; ++x) {
                    if (layer.pixel(x, y) == plain.pixel(x, y))
                        continue;
                    ++marked;
                    // Within the annulus, give or take half the widest pen and its smoothed edge.
                    const double r = std::hypot(x + 0.5 - s / 2.0, y + 0.5 - s / 2.0) * 12000.0 / s;
                    EXPECT_GE(r, 5000.0 - 4.0 * 12000.0 / s) << s << ": " << x << "," << y;
                    EXPECT_LE(r, 5500.0 + 4.0 * 12000.0 / s) << s << ": " << x << "," << y;
                }
            }
            EXPECT_EQ(marked > 0, drawn) << s << " " << value;
            if (drawn) {
                // Green in the middle of the ticks at 12, 3, 6 and 9, in the dial layer itself.
                const int mid = static_cast<int>(std::floor(s / 2.0 - 5250.0 * s / 12000.0));
                EXPECT_EQ(layer.pixelColor(s / 2 - 1, mid), QColor(0, 255, 0)) << s;
                EXPECT_EQ(layer.pixelColor(s / 2, mid), QColor(0, 255, 0)) << s;
                EXPECT_EQ(layer.pixelColor(s - 1 - mid, s / 2), QColor(0, 255, 0)) << s;
                EXPECT_EQ(layer.pixelColor(s / 2, s - 1 - mid), QColor(0, 255, 0)) << s;
                EXPECT_EQ(layer.pixelColor(mid, s / 2 - 1), QColor(0, 255, 0)) << s;
            }
            program.reset();
        }
    }
}

TEST_F(DialTest, PointByPointShadingGivesTheSameDialAsTheBulkWrite)
{
    SetIni("frmMain", "UseLineMojiban", "True");
    for (const char* table : {kNewMoon, kFirstQuarter, kFullMoon, kLastQuarter}) {
        dir.write("moondata.dat", table);
        for (int nowSize : {-1, 0, 1}) {
            SetIni("frmMain", "NT", "False");
            const QImage bulk = Start(nowSize).DialLayer().copy();
            program.reset();
            SetIni("frmMain", "NT", "True");
            FrmMain& main = Start(nowSize);
            ASSERT_TRUE(program->frmMenu->mnuNT->isChecked());
            EXPECT_EQ(main.DialLayer(), bulk) << table << " " << nowSize;
            program.reset();
        }
    }
}

TEST_F(DialTest, ShadeMoonChangesOnlyTheDiscAndRedrawsTheHands)
{
    FrmMain& main = Start();
    main.SetPicture(SolidPicture(120, 120, kBlue));
    // The clock moves on before the shading's repaint, which draws the hands for the new time.
    platform.now = MakeDateValue(2026, 12, 8, 3, 25, 45.5);
    ShadeMoon(main.picBack[1], main, 0.25, 0);
    EXPECT_FALSE(main.AutoRedraw);
    EXPECT_EQ(main.Timer1->interval(), 14510);
    const QImage& layer = main.DialLayer();
    EXPECT_EQ(layer.pixelColor(60, 28), kBlue);  // just above the disc's first row
    EXPECT_EQ(layer.pixelColor(29, 60), kBlue);  // just left of its widest row
    EXPECT_EQ(layer.pixelColor(60, 90), kBlue);
    EXPECT_EQ(layer.pixelColor(89, 60), main.picBack[1].pixelColor(89, 60)); // the lit edge
    EXPECT_EQ(layer.pixelColor(31, 60), Scaled(main.picBack[1], 31, 60, 0.2));
}

} // namespace
} // namespace vx
