#include "app/FrmMain.h"

#include "app/Program.h"
#include "base/Platform.h"
#include "base/ProgramPaths.h"
#include "base/TickInterval.h"
#include "base/WindowShape.h"
#include "face/FacePainter.h"
#include "menu/FrmMenu.h"
#include "moon/MoonTable.h"
#include "moon/ShadeMoon.h"
#include "settings/Ini.h"
#include "settings/Launcher.h"
#include "settings/Settings.h"
#include "tray/FrmTaskTray.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace vx {

FrmMain::FrmMain(Program& program) : program_(program), platform_(program.platform())
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_OpaquePaintEvent);

    // The timer's design interval; every drawing of the hands sets the next one.
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(60000);
    connect(Timer1, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
    Timer1->start();

    LoadDialPictures();

    // Where a new window appears before any saved place is known: near the top-right corner.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - 120 - 48, area.top() + 48);
    }
}

FrmMain::~FrmMain() = default;

double FrmMain::Top() const
{
    return y() * platform_.TwipsPerPixelY();
}

double FrmMain::Left() const
{
    return x() * platform_.TwipsPerPixelX();
}

void FrmMain::SetTopLeft(double topTwips, double leftTwips)
{
    move(static_cast<int>(std::lround(leftTwips / platform_.TwipsPerPixelX())),
         static_cast<int>(std::lround(topTwips / platform_.TwipsPerPixelY())));
}

void FrmMain::SetTopmost(bool on)
{
    topmost_ = on;
    // Changing the hint through the native window keeps a shown window where it is, without
    // the hide and show that QWidget::setWindowFlags would cause.
    if (QWindow* window = windowHandle(); window && isVisible())
        window->setFlag(Qt::WindowStaysOnTopHint, on);
    else
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
}

void FrmMain::Form_Load()
{
    Program& p = program_;

    p.AppDir = WithTrailingSeparator(platform_.ProgramDir());
    RegisterWithLauncher(platform_);
    ini::SetIniPath(platform_.ProgramDir(), platform_.ProgramBaseName());
    // Read on every load, so a changed table takes effect when the window is next loaded.
    LoadMoonData(p.AppDir);

    Sizing = 0;

    p.UseTaskTray = settings::ReadTaskTray();
    if (p.UseTaskTray == 1) {
        p.frmTaskTray.Load();
        p.frmMenu->mnuTaskTray->setChecked(true);
    } else {
        p.frmMenu->mnuTaskTray->setChecked(false);
    }
    if (settings::TickedAtLoad(settings::DialSwitch::UseLineMojiban))
        p.frmMenu->mnuUseLineMojiban->setChecked(true);
    if (settings::TickedAtLoad(settings::DialSwitch::Mitikake))
        p.frmMenu->mnuSetMitikake->setChecked(true);

    double top = settings::ReadTop(Top());
    double left = settings::ReadLeft(Left());
    p.NowSize = settings::ReadNowSize();

    if (settings::ReadAlwaysOnTop()) {
        SetTopmost(true);
        p.frmMenu->AlwaysOnTop->setChecked(true);
    } else {
        p.frmMenu->AlwaysOnTop->setChecked(false);
    }
    p.frmMenu->mnuNT->setChecked(settings::ReadNT());

    AutoRedraw = true;
    Sizing = 1;
    const int side = SideForSize(p.NowSize);
    setFixedSize(side, side);
    // The elliptic region's box leaves out its right and bottom edges: the disc inscribed in the window.
    const RegionBox box = EllipticRegionBox(width(), height());
    QRegion disc;
    for (const DiscSpan& span : DiscSpans(box.right - box.left - 1, box.bottom - box.top - 1))
        disc += QRect(box.left + span.first, box.top + span.y, span.last - span.first + 1, 1);
    setMask(disc);
    Sizing = 0;

    const double widthTwips = side * platform_.TwipsPerPixelX();
    const double heightTwips = side * platform_.TwipsPerPixelY();
    if (left < -widthTwips)
        left = 0;
    if (top < -heightTwips)
        top = 0;
    // A window saved wholly beyond the right or bottom edge of the desktop (a screen since
    // unplugged) would be out of reach: bring it back on that axis too.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->virtualGeometry();
        if (left >= (desktop.right() + 1) * platform_.TwipsPerPixelX())
            left = 0;
        if (top >= (desktop.bottom() + 1) * platform_.TwipsPerPixelY())
            top = 0;
    }
    SetTopLeft(top, left);

    p.MainShown = 1;
    show();
}

void FrmMain::Form_Unload()
{
    Program& p = program_;
    settings::WriteTop(Top());
    settings::WriteLeft(Left());
    FrmMenu* menu = p.frmMenu.loaded();
    settings::WriteAlwaysOnTop(menu && menu->AlwaysOnTop->isChecked());
    settings::WriteNT(menu && menu->mnuNT->isChecked());
    p.MainShown = 0;
    Timer1->stop();
    p.frmMenu.Unload();
    // Without a notification area the icon could never bring the window back: the program ends
    // as it does with the icon off. The setting stays, for a desktop that has one.
    if (!platform_.HasNotificationArea())
        p.frmTaskTray.Unload();
}

void FrmMain::ComputeWatch()
{
    const DateValue now = platform_.Now();
    const double t = SecondsOfDay(now);

    face_ = settings::ReadFace();
    const Colour colour = settings::ReadHandColour(face_);
    HandFractions fractions{};
    int interval = kClockTickInterval;
    if (face_ == Face::Year) {
        fractions = YearFaceFractions(now);
        interval = YearTickInterval(t);
    } else {
        fractions = ClockFaceFractions(now, t);
    }
    Timer1->stop();
    Timer1->setInterval(interval);
    Timer1->start();

    strokes_ = HandStrokes(fractions, colour);
    handsDrawn_ = true;
}

void FrmMain::DrawWatch()
{
    const std::array<HandStroke, kHandStrokeCount> shown = strokes_;
    const bool firstDrawing = !handsDrawn_;
    ComputeWatch();
    // Cls: the dial layer comes back and the hands are drawn anew over it. Only where a hand was
    // or now is, and where the layer changed, can the face change: only that part is repainted.
    changedByDrawing_ = firstDrawing ? QRegion(rect()) : HandsChangeRegion(shown, strokes_, width());
    changedByDrawing_ += layerChanged_;
    layerChanged_ = QRect();
    if (changedByDrawing_.isEmpty())
        return;
    ownPaintPending_ = true;
    if (paintAtOnce_)
        repaint(changedByDrawing_);
    else
        update(changedByDrawing_);
}

void FrmMain::Form_Paint()
{
    DrawWatch();
}

void FrmMain::Refresh()
{
    // The hands are drawn afresh, then the screen shows them at once rather than when the events run.
    Form_Paint();
    repaint(changedByDrawing_);
}

void FrmMain::Timer1_Timer()
{
    paintAtOnce_ = true;
    DrawWatch();
    paintAtOnce_ = false;
}

void FrmMain::Form_MouseDown(int button)
{
    if (button == kRightButton) {
        // Opening the popup sets its ticks first. The popup runs on its own: a command chosen from
        // it may unload this window, which must not happen while this handler is still running.
        FrmMenu& menu = *program_.frmMenu;
        menu.mnuHide_Click();
        menu.mnuHide->popup(pressGlobal_);
        return;
    }
    drag_ = Drag::Pending;
    pressWindowPos_ = pos();
}

void FrmMain::Form_DblClick()
{
    settings::SwitchFace();
    DrawWatch();
}

namespace {
constexpr int kDragThreshold = 4;
} // namespace

void FrmMain::mousePressEvent(QMouseEvent* event)
{
    const int button = ButtonNumber(event->button());
    if (button == 0)
        return;
    // Where the button went down, not where the pointer is by the time the event is handled.
    pressGlobal_ = event->globalPosition().toPoint();
    Form_MouseDown(button);
}

void FrmMain::mouseMoveEvent(QMouseEvent* event)
{
    if (drag_ == Drag::None)
        return;
    const QPoint global = event->globalPosition().toPoint();
    if (drag_ == Drag::Pending) {
        // A few pixels tell a drag from a click's jitter; the move lags the mouse by no more.
        if ((global - pressGlobal_).manhattanLength() < kDragThreshold)
            return;
        // The window system's own move where it offers one; otherwise the window follows the mouse.
        if (windowHandle() && windowHandle()->startSystemMove()) {
            drag_ = Drag::None;
            return;
        }
        drag_ = Drag::Following;
    }
    move(pressWindowPos_ + (global - pressGlobal_));
}

void FrmMain::mouseReleaseEvent(QMouseEvent*)
{
    drag_ = Drag::None;
}

void FrmMain::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a quick pair arrives only as a double-click: with the left button it
    // switches the face; with another button it is a press like any other.
    if (event->button() == Qt::LeftButton)
        Form_DblClick();
    else
        mousePressEvent(event);
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    // Closed by the window system (a close key, the task switcher): unload the normal way.
    event->ignore();
    program_.frmMain.Unload();
}

void FrmMain::SetPicture(const QImage& picture)
{
    const int side = width();
    QImage layer(side, side, QImage::Format_RGB32);
    layer.fill(palette().color(QPalette::Window));
    QPainter painter(&layer);
    painter.drawImage(0, 0, picture);
    painter.end();
    dialLayer_ = std::move(layer);
    layerChanged_ = dialLayer_.rect();
}

QImage& FrmMain::PersistentImage()
{
    Q_ASSERT(AutoRedraw);
    return dialLayer_;
}

void FrmMain::LayerChanged(const QRect& area)
{
    layerChanged_ |= area & dialLayer_.rect();
}

void FrmMain::Form_Resize()
{
    if (Sizing != 0)
        return;
    if (isMinimized())
        return;
    SetPicture(picBack[program_.NowSize + 1]);
    DrawMojiban();
}

void FrmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmMain::paintEvent(QPaintEvent* event)
{
    // A repaint the platform asks for (an expose) draws the hands afresh, as the clock's own ticks
    // do; where they moved outside the exposed part, that is repainted next.
    QRegion movedElsewhere;
    if (!ownPaintPending_) {
        const std::array<HandStroke, kHandStrokeCount> shown = strokes_;
        const bool drawnBefore = handsDrawn_;
        ComputeWatch();
        if (drawnBefore)
            movedElsewhere = HandsChangeRegion(shown, strokes_, width()) - event->region();
    }
    ownPaintPending_ = !movedElsewhere.isEmpty();
    if (ownPaintPending_)
        update(movedElsewhere);
    if (dialLayer_.isNull())
        return;
    // The face is put together in an image kept from paint to paint, where the window changes.
    if (shown_.size() != dialLayer_.size())
        shown_ = QImage(dialLayer_.size(), QImage::Format_RGB32);
    const QRect dirty = event->rect() & dialLayer_.rect();
    ComposeFace(dialLayer_, handsDrawn_ ? &strokes_ : nullptr, dirty, shown_);
    // Under the round window's clip Qt's raster engine hands a picture of more than about 96 rows
    // to its thread pool and waits for it; for a dial this small that hand-over costs more than
    // the copy and wakes two threads every second. Bands of 64 rows stay on this thread.
    constexpr int kBandRows = 64;
    QPainter painter(this);
    for (int top = dirty.top() / kBandRows * kBandRows; top <= dirty.bottom(); top += kBandRows)
        painter.drawImage(QPoint(0, top), shown_, QRect(0, top, shown_.width(), kBandRows));
}

QImage FrmMain::Grab() const
{
    QImage face(dialLayer_.size(), QImage::Format_RGB32);
    ComposeFace(dialLayer_, handsDrawn_ ? &strokes_ : nullptr, face.rect(), face);
    return face;
}

void ShadeMoon(const QImage& picture, FrmMain& form, double phase, int perPixel)
{
    form.AutoRedraw = true;
    const ShadePath path = perPixel != 0 ? ShadePath::PointByPoint : ShadePath::Bulk;
    form.LayerChanged(ShadeMoonOnLayer(picture, form.PersistentImage(), phase, path));
    form.AutoRedraw = false;
    form.Refresh();
}

} // namespace vx
