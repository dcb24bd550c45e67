// On a real X server: the clock's tick puts the face on the window without a paint event, and the
// window's backing store keeps up, so that a window uncovered later shows the face as it is.

#include "base/WindowRegion.h"
#include "support/ProgramFixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

namespace vx::test {
namespace {

class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Lets the server and the event loop catch up for a while.
void Pump(int ms = 150)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// The pixels inside the window's disc that the screen shows otherwise than the window's own face.
int PixelsOffFace(FrmMain& main)
{
    const QImage face = main.Grab();
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(main.winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
    if (screen.size() != face.size())
        return face.width() * face.height();
    const QRegion disc = WindowDisc(face.width(), face.height());
    int off = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            if (disc.contains(QPoint(x, y)) && face.pixel(x, y) != screen.pixel(x, y))
                ++off;
    return off;
}

class DirectPaintTest : public ProgramFixture {};

TEST_F(DirectPaintTest, TicksShowTheFaceWithoutAPaintEventAndAnUncoveredWindowShowsItToo)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X server";
    SetIni("Setting", "YearOrClock", "Clock");
    platform.now = MakeDateValue(2026, 3, 1, 10, 8, 15);
    FrmMain& main = Start();
    Pump(400);
    ASSERT_TRUE(main.windowHandle()->isExposed());
    ASSERT_EQ(PixelsOffFace(main), 0);

    PaintCounter counter;
    main.installEventFilter(&counter);
    // Seconds, a minute turning over, and an hour: each moves other hands.
    for (const double second : {16.0, 17.0, 59.0, 60.0, 61.0, 3600.0 + 62.0}) {
        platform.now = MakeDateValue(2026, 3, 1, 10, 8, 0) + second / kSecondsPerDay;
        ASSERT_TRUE(QMetaObject::invokeMethod(main.Timer1, "timeout", Qt::DirectConnection));
        Pump(60);
        EXPECT_EQ(PixelsOffFace(main), 0) << "after second " << second;
    }
    EXPECT_EQ(counter.paints, 0);

    // A window over the clock and gone again: the server asks for the uncovered part, which Qt
    // shows from the backing store without a paint event.
    QWidget cover;
    cover.setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint);
    cover.setGeometry(QRect(main.geometry().topLeft(), main.size()));
    cover.setStyleSheet(QStringLiteral("background: rgb(255, 0, 0)"));
    cover.show();
    Pump(300);
    cover.hide();
    Pump(300);
    EXPECT_EQ(PixelsOffFace(main), 0);
    main.removeEventFilter(&counter);
}

} // namespace
} // namespace vx::test
