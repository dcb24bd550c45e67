#include "app/FrmMain.h"
#include "app/Program.h"
#include "settings/IniFile.h"
#include "support/DialPictures.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

namespace vx {
namespace {

struct RenderRun {
    int exitCode;
    QString errors;
};

RenderRun Render(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(VX_RENDER_EXE), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

std::set<std::string> Names(const test::TempDir& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    return names;
}

// A program folder as a user keeps it: settings of the standard size and the year face, a moon
// table, a dial picture of their own for the double size.
class RenderToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.write("velmorax.ini", "[frmMain]\r\nNowSize=0\r\nUseLineMojiban=True\r\n[Setting]\r\nYearOrClock=Year\r\n");
        folder.write("moondata.dat", "2026/11/30 03\n2026/12/30 03\n");
        ASSERT_TRUE(test::SolidPicture(240, 240, QColor(120, 40, 160))
                        .save(QString::fromStdString(folder.file("useimage2.bmp")), "BMP"));
    }

    test::TempDir folder;
    test::TempDir elsewhere;
};

TEST_F(RenderToolTest, FaceIsTheWindowsOwnDrawingRoundAndTheFolderIsLeftAsItWas)
{
    const std::string iniBefore = folder.read("velmorax.ini");
    const std::set<std::string> namesBefore = Names(folder);
    const QString out = QString::fromStdString(elsewhere.file("face.png"));
    const RenderRun run = Render({"--dir", QString::fromStdString(folder.str()), "--at", "2026-12-08T21:00", "--size",
                            "240", "--face", "clock", "--out", out});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
    EXPECT_EQ(folder.read("velmorax.ini"), iniBefore);
    EXPECT_EQ(Names(folder), namesBefore);

    const QImage png(out);
    ASSERT_EQ(png.size(), QSize(240, 240));
    ASSERT_TRUE(png.hasAlphaChannel());

    // The window itself, on the same folder, at the same moment, size and face.
    test::TempDir copy;
    std::filesystem::copy(folder.path(), copy.path(), std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    IniSet(copy.file("velmorax.ini"), "frmMain", "NowSize", "1");
    IniSet(copy.file("velmorax.ini"), "Setting", "YearOrClock", "Clock");
    test::FakePlatform platform;
    platform.programDir = copy.str();
    platform.now = MakeDateValue(2026, 12, 8, 21, 0, 0);
    Program program(platform);
    program.SetOnEnd([] {});
    program.Start();
    FrmMain& main = *program.frmMain;
    EXPECT_EQ(main.LastFace(), Face::Clock);
    const QImage window = main.Grab();
    const QRegion shape = main.mask();

    int inside = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (shape.contains(QPoint(x, y))) {
                ++inside;
                ASSERT_EQ(png.pixel(x, y), window.pixel(x, y)) << x << "," << y;
            } else {
                ASSERT_EQ(qAlpha(png.pixel(x, y)), 0) << x << "," << y;
            }
        }
    }
    EXPECT_GT(inside, 44000); // about pi * 120^2
    // The user's picture at the double size, the tick at 12 and the moon's unlit left side
    // (a waxing moon at 0.29 of its lunation: 14.8 % there).
    EXPECT_EQ(png.pixelColor(63, 177), QColor(120, 40, 160));
    EXPECT_EQ(png.pixelColor(119, 15), QColor(0, 255, 0));
    EXPECT_EQ(png.pixelColor(70, 100), QColor(18, 6, 24));
}

TEST_F(RenderToolTest, DefaultsComeFromTheFolderAndAMessageGoesToTheErrorStream)
{
    folder.write("useimage1.jpg", "");
    const QString out = QString::fromStdString(elsewhere.file("face.png"));
    const RenderRun run = Render({"--dir", QString::fromStdString(folder.str()), "--at", "2026-12-08T21:00:30", "--out", out});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors.toStdString(),
              "velmorax-render: useimage1.jpg を画像として読み込めませんでした。BMP、JPEG、GIF のいずれかの画像にしてください。\n");
    EXPECT_EQ(QImage(out).size(), QSize(120, 120));
}

TEST_F(RenderToolTest, SouthernHemisphereTurnsOnlyTheMoonAndTheFoldersSettingIsTheDefault)
{
    const QString dir = QString::fromStdString(folder.str());
    const auto render = [&](const QString& name, const QStringList& more) {
        const QString out = QString::fromStdString(elsewhere.file(name.toStdString()));
        const RenderRun run = Render(QStringList{"--dir", dir, "--at", "2026-12-08T21:00", "--out", out} + more);
        EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
        return QImage(out);
    };
    const QImage north = render("north.png", {"--hemisphere", "north"});
    const QImage south = render("south.png", {"--hemisphere", "south"});
    ASSERT_EQ(north.size(), QSize(120, 120));
    ASSERT_EQ(south.size(), north.size());
    // Outside the moon (radius 30 about the centre) the dial, its marks and the hands are the same.
    int moonDiffers = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 120; ++x) {
            const int dx = 2 * x + 1 - 120;
            const int dy = 2 * y + 1 - 120;
            if (dx * dx + dy * dy > 62 * 62)
                ASSERT_EQ(south.pixel(x, y), north.pixel(x, y)) << x << "," << y;
            else
                moonDiffers += south.pixel(x, y) != north.pixel(x, y);
        }
    }
    EXPECT_GT(moonDiffers, 1000);
    // A waxing moon: lit on the right from the north, on the left from the south.
    EXPECT_LT(qGray(north.pixel(40, 70)), qGray(north.pixel(80, 70)) - 40);
    EXPECT_GT(qGray(south.pixel(40, 70)), qGray(south.pixel(80, 70)) + 40);

    // Without the option the folder's own setting counts; the folder is only read.
    IniSet(folder.file("velmorax.ini"), "frmMain", "Hemisphere", "South");
    const std::string iniBefore = folder.read("velmorax.ini");
    EXPECT_EQ(render("folder.png", {}), south);
    EXPECT_EQ(folder.read("velmorax.ini"), iniBefore);
}

TEST_F(RenderToolTest, BadArgumentsGiveOneLineAndAFailingExit)
{
    const QString dir = QString::fromStdString(folder.str());
    const QString out = QString::fromStdString(elsewhere.file("face.png"));
    const QStringList cases[] = {
        {"--dir", dir},                                   // no --out
        {"--out", out, "--size", "100"},
        {"--out", out, "--size"},
        {"--out", out, "--face", "Clock"},
        {"--out", out, "--hemisphere", "South"},
        {"--out", out, "--hemisphere"},
        {"--out", out, "--at", "2026-13-01T00:00"},
        {"--out", out, "--at", "2026-02-29T10:00"},
        {"--out", out, "--at", "tomorrow"},
        {"--out", out, "--dir", dir + "/missing"},
        {"--out", out, "--colour", "red"},
        {"--out", out, "face.png"},
        {"--out", QString::fromStdString(elsewhere.file("no/such/folder/face.png")), "--dir", dir},
    };
    for (const QStringList& arguments : cases) {
        const RenderRun run = Render(arguments);
        const std::string what = arguments.join(' ').toStdString();
        EXPECT_NE(run.exitCode, 0) << what;
        EXPECT_TRUE(run.errors.startsWith("velmorax-render: ")) << what << ": " << run.errors.toStdString();
        EXPECT_EQ(run.errors.count('\n'), 1) << what << ": " << run.errors.toStdString();
        EXPECT_FALSE(elsewhere.exists("face.png")) << what;
    }
}

} // namespace
} // namespace vx
