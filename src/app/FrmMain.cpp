#include "app/FrmMain.h"

#include "app/Program.h"
#include "app/ProgramFiles.h"
#include "base/Platform.h"
#include "base/ProgramPaths.h"
#include "base/WindowRegion.h"
#include "base/WindowShape.h"
#include "face/DeviceScale.h"
#include "face/DialLayer.h"
#include "face/FacePainter.h"
#include "face/UserPicture.h"
#include "menu/FrmMenu.h"
#include "moon/MoonTable.h"
#include "moon/ShadeMoon.h"
#include "settings/Ini.h"
#include "settings/Launcher.h"
#include "settings/Settings.h"
#include "tray/FrmTaskTray.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace vx {

namespace {
// A few pixels tell a drag from a click's jitter.
constexpr int kDragThreshold = 4;

// Saved places are within a billion twips (settings), so the pixel count fits an int.
int PixelsFromTwips(double twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}
} // namespace

FrmMain::FrmMain(Program& program) : program_(program), platform_(program.platform())
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A Wayland compositor cuts no window to a shape: there the disc stands on a transparent
    // square, and the mask only lets clicks outside it through to what lies beneath.
    // Nor does it let a client place itself or tell it where it is.
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    roundByAlpha_ = wayland;
    placeKnown_ = !wayland;
    if (roundByAlpha_)
        setAttribute(Qt::WA_TranslucentBackground);

    // The timer's design interval; every drawing of the hands sets the next one.
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
    Timer1->start(60000);

    picBack = BuiltInDials();
    for (std::size_t n = 0; n < picBack.size(); ++n)
        if (!program_.UserDials[n].isNull())
            picBack[n] = program_.UserDials[n];

    // Where a new window appears before any saved place is known: near the top-right corner.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - 120 - 48, area.top() + 48);
    }
}

FrmMain::~FrmMain() = default;

// ---- Load and unload ----

void FrmMain::Form_Load()
{
    Program& p = program_;

    p.AppDir = WithTrailingSeparator(platform_.ProgramDir());
    RegisterWithLauncher(platform_);
    // Beside the program, or in the user's own folders when it runs from an install.
    p.Files = LocateProgramFiles(platform_);
    ini::SetIniPath(p.Files.settingsDir, platform_.ProgramBaseName());
    // Read on every load, so a changed table takes effect when the window is next loaded.
    LoadMoonData(p.Files.moonDir);

    Sizing = 0;

    // Before the tray's icon is made: it shows the moon as seen from here.
    p.SkyHemisphere = settings::ReadHemisphere(platform_.ZoneHemisphere());
    p.frmMenu->mnuSouth->setChecked(p.SkyHemisphere == Hemisphere::South);

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

    const double top = settings::ReadTop(Top());
    const double left = settings::ReadLeft(Left());
    loadedPlace_ = {top, left};
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
    setMask(WindowDisc(width(), height()));
    Sizing = 0;
    MoveWithinReach(top, left);

    p.MainShown = 1;
    show();
}

void FrmMain::Form_Unload()
{
    Program& p = program_;
    // Where the window system never says where the window is, the place it reports is no place
    // at all: the saved one stays, for the next session that can use it.
    settings::WriteTop(placeKnown_ ? Top() : loadedPlace_.top);
    settings::WriteLeft(placeKnown_ ? Left() : loadedPlace_.left);
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

// ---- Place ----

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
    move(PixelsFromTwips(leftTwips, platform_.TwipsPerPixelX()), PixelsFromTwips(topTwips, platform_.TwipsPerPixelY()));
}

void FrmMain::MoveWithinReach(double top, double left)
{
    if (left < -width() * platform_.TwipsPerPixelX())
        left = 0;
    if (top < -height() * platform_.TwipsPerPixelY())
        top = 0;
    // A window saved wholly beyond the right or bottom edge of the desktop (a screen since
    // unplugged) would be out of reach: bring it back on that axis too.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->virtualGeometry();
        if (left >= (desktop.right() + 1) * platform_.TwipsPerPixelX())
            left = 0;
        if (top >= (desktop.bottom() + 1) * platform_.TwipsPerPixelY())
            top = 0;
        // Near a corner the square can reach into the desktop with its empty corner alone, the disc
        // staying wholly outside: it comes back on each axis on which it reaches out.
        const int x = PixelsFromTwips(left, platform_.TwipsPerPixelX());
        const int y = PixelsFromTwips(top, platform_.TwipsPerPixelY());
        const PixelArea area{desktop.left(), desktop.top(), desktop.right(), desktop.bottom()};
        if (DiscPixelsWithin(x, y, width(), area) == 0) {
            if (x < area.left || x + width() - 1 > area.right)
                left = 0;
            if (y < area.top || y + height() - 1 > area.bottom)
                top = 0;
        }
    }
    SetTopLeft(top, left);
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

// ---- A tick, from the timer to the pixels ----

void FrmMain::Timer1_Timer()
{
    paint_.atOnce = true;
    DrawWatch();
    paint_.atOnce = false;
}

void FrmMain::DrawWatch()
{
    // Cls: the dial layer comes back and the hands are drawn anew over it. Only where a hand was
    // or now is, and where the layer changed, can the face change: only that part is repainted.
    const bool firstDrawing = !paint_.handsDrawn;
    const QRegion moved = NewWatch();
    paint_.changed = firstDrawing ? QRegion(rect()) : moved;
    paint_.changed += FromLayer(paint_.layerChanged);
    paint_.layerChanged = QRect();
    if (paint_.changed.isEmpty())
        return;
    if (paint_.atOnce && ShowDirectly(paint_.changed))
        return;
    paint_.ownPending = true;
    if (paint_.atOnce)
        repaint(paint_.changed);
    else
        update(paint_.changed);
}

bool FrmMain::ShowDirectly(const QRegion& region)
{
    // Window pixels are layer pixels only at a ratio of 1; a layer drawn for another ratio than
    // the window's now is rebuilt by the paint path first. A disc rounded by alpha needs the clip.
    if (layerRatio_ != 1.0 || devicePixelRatioF() != 1.0 || roundByAlpha_ || dialLayer_.size() != size())
        return false;
    QImage* screen = direct_.Begin(region);
    if (screen == nullptr)
        return false;
    // Each rectangle alone: a tick's region is a few boxes around the hands, whose bounding box
    // can be most of the face.
    for (const QRect& area : region)
        ComposeFace(dialLayer_, &watch_.strokes, area, *screen);
    direct_.End(region);
    return true;
}

QRegion FrmMain::NewWatch()
{
    const Watch watch = ComputeWatch(platform_.Now());
    Timer1->start(watch.interval);
    const QRegion moved = HandsChangeRegion(watch_.strokes, watch.strokes, width());
    watch_ = watch;
    paint_.handsDrawn = true;
    return moved;
}

void FrmMain::paintEvent(QPaintEvent* event)
{
    // A repaint the platform asks for (an expose) draws the hands afresh, as the clock's own ticks
    // do; where they moved outside the exposed part, that is repainted next.
    QRegion movedElsewhere;
    if (!paint_.ownPending) {
        const bool drawnBefore = paint_.handsDrawn;
        const QRegion moved = NewWatch();
        if (drawnBefore)
            movedElsewhere = moved - event->region();
    }
    paint_.ownPending = !movedElsewhere.isEmpty();
    if (paint_.ownPending)
        update(movedElsewhere);
    if (dialLayer_.isNull())
        return;
    // A screen whose ratio changed without telling the window: the layer follows once this paint
    // is done.
    if (devicePixelRatioF() != layerRatio_ && !ratioRebuildPending_) {
        ratioRebuildPending_ = true;
        QTimer::singleShot(0, this, [this] {
            ratioRebuildPending_ = false;
            ScreenChanged();
        });
    }
    // The face is put together in an image kept from paint to paint, where the window changes.
    if (shown_.size() != dialLayer_.size())
        shown_ = QImage(dialLayer_.size(), QImage::Format_RGB32);
    const QRect dirty = ToLayer(event->rect()) & dialLayer_.rect();
    ComposeFace(dialLayer_, paint_.handsDrawn ? &watch_.strokes : nullptr, dirty, shown_, layerRatio_);
    // Under the round window's clip Qt's raster engine hands a picture of more than about 96 rows
    // to its thread pool and waits for it; for a dial this small that hand-over costs more than
    // the copy and wakes two threads every second. Bands of 64 rows stay on this thread.
    constexpr int kBandRows = 64;
    QPainter painter(this);
    if (roundByAlpha_)
        painter.setClipRegion(mask());
    // The face is in device pixels: painted one to one onto the screen's pixels, never resampled.
    if (layerRatio_ != 1.0)
        painter.scale(1 / layerRatio_, 1 / layerRatio_);
    for (int top = dirty.top() / kBandRows * kBandRows; top <= dirty.bottom(); top += kBandRows)
        painter.drawImage(QPoint(0, top), shown_, QRect(0, top, shown_.width(), kBandRows));
    // The window is drawn: the ticks' own route asks its question about it now.
    direct_.AskAhead();
}

void FrmMain::Form_Paint()
{
    DrawWatch();
}

void FrmMain::Refresh()
{
    // The hands are drawn afresh, then the screen shows them at once rather than when the events run.
    Form_Paint();
    repaint(paint_.changed);
}

QImage FrmMain::Grab() const
{
    QImage face(dialLayer_.size(), QImage::Format_RGB32);
    ComposeFace(dialLayer_, paint_.handsDrawn ? &watch_.strokes : nullptr, face.rect(), face, layerRatio_);
    return face;
}

// ---- The dial layer ----

void FrmMain::Form_Resize()
{
    if (Sizing != 0)
        return;
    if (isMinimized())
        return;
    SetPicture(CurrentDial());
    DrawMojiban();
}

void FrmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FrmMain::DrawMojiban()
{
    if (Sizing != 0)
        return;
    const int n = DialIndex();
    const bool newPicture = LookForUserPicture(n, SideForSize(n - 1));
    const double phase = GetMoonPhase(platform_.Now());
    const bool shaded = settings::ShadesMoon() && phase >= 0;

    DialLayerParts parts;
    // The shading replaces only the moon's disc. A picture accepted just now would show its moon
    // inside the old dial, so the layer takes the new picture first.
    parts.freshPicture = !shaded || newPicture;
    if (shaded) {
        parts.moonPhase = phase;
        parts.shadePath = program_.frmMenu->mnuNT->isChecked() ? ShadePath::PointByPoint : ShadePath::Bulk;
    }
    parts.marks = settings::DrawsMarks();
    parts.penScale = devicePixelRatioF();
    // A layer drawn for another ratio cannot take the moon's disc alone.
    const int side = LayerSide();
    if (dialLayer_.size() != QSize(side, side) || layerRatio_ != parts.penScale)
        parts.freshPicture = true;
    layerRatio_ = parts.penScale;
    parts.hemisphere = program_.SkyHemisphere;
    AutoRedraw = true;
    LayerChanged(BuildDialLayer(dialLayer_, side, AtDeviceResolution(picBack[n]), palette().color(QPalette::Window),
                                parts));
    AutoRedraw = false;
    // The shaded moon shows at once, as ShadeMoon's Refresh shows it; a plain picture shows with
    // the next drawing of the hands.
    if (shaded)
        Refresh();
    else
        Form_Paint();
}

bool FrmMain::LookForUserPicture(int n, int side)
{
    UserPicture user = FindUserPicture(program_.Files.settingsDir, n, side, palette().color(QPalette::Window), picLoad);
    if (!user.message.empty())
        platform_.MsgBox(user.message);
    if (user.picture.isNull())
        return false;
    // Accepted: it stays for the rest of the run, and a new window (a size change, a restore from
    // the notification area) starts from it too.
    const bool changed = user.picture != picBack[n];
    picBack[n] = user.picture;
    program_.UserDials[n] = std::move(user.picture);
    return changed;
}

Hemisphere FrmMain::SkyHemisphere() const
{
    return program_.SkyHemisphere;
}

int FrmMain::DialIndex() const
{
    // Only the three sizes have a dial picture; the load keeps NowSize among them.
    return std::clamp(program_.NowSize, -1, 1) + 1;
}

const QImage& FrmMain::CurrentDial() const
{
    return picBack[DialIndex()];
}

void FrmMain::SetPicture(const QImage& picture)
{
    layerRatio_ = devicePixelRatioF();
    dialLayer_ = PlainLayer(LayerSide(), AtDeviceResolution(picture), palette().color(QPalette::Window));
    paint_.layerChanged = dialLayer_.rect();
}

QImage FrmMain::AtDeviceResolution(const QImage& picture)
{
    const double ratio = devicePixelRatioF();
    if (ratio == 1.0)
        return picture;
    if (deviceDial_.picture.isNull() || deviceDial_.sourceKey != picture.cacheKey() || deviceDial_.ratio != ratio)
        deviceDial_ = {picture.cacheKey(), ratio, DialAtRatio(picture, ratio)};
    return deviceDial_.picture;
}

int FrmMain::LayerSide() const
{
    return DeviceSide(width(), devicePixelRatioF());
}

QRect FrmMain::ToLayer(const QRect& logical) const
{
    if (layerRatio_ == 1.0)
        return logical;
    const QRectF device(QPointF(logical.topLeft()) * layerRatio_, QSizeF(logical.size()) * layerRatio_);
    return device.toAlignedRect();
}

QRect FrmMain::FromLayer(const QRect& layer) const
{
    if (layerRatio_ == 1.0 || layer.isNull())
        return layer;
    const QRectF logical(QPointF(layer.topLeft()) / layerRatio_, QSizeF(layer.size()) / layerRatio_);
    return logical.toAlignedRect();
}

void FrmMain::ScreenChanged()
{
    if (Sizing != 0 || !isVisible())
        return;
    // The shape is kept in logical pixels; the window system gets it again at the new scale.
    setMask(WindowDisc(width(), height()));
    if (devicePixelRatioF() != layerRatio_)
        Form_Resize();
}

bool FrmMain::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ScreenChangeInternal)
        ScreenChanged();
    return handled;
}

QImage& FrmMain::PersistentImage()
{
    Q_ASSERT(AutoRedraw);
    return dialLayer_;
}

void FrmMain::LayerChanged(const QRect& area)
{
    paint_.layerChanged |= area & dialLayer_.rect();
}

void ShadeMoon(const QImage& picture, FrmMain& form, double phase, int perPixel)
{
    form.AutoRedraw = true;
    const ShadePath path = perPixel != 0 ? ShadePath::PointByPoint : ShadePath::Bulk;
    // Shaded in device pixels, as the layer is: centre and radius come from the layer's side.
    form.LayerChanged(ShadeMoonOnLayer(form.AtDeviceResolution(picture), form.PersistentImage(), phase, path,
                                       form.SkyHemisphere()));
    form.AutoRedraw = false;
    form.Refresh();
}

// ---- The mouse ----

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
        // The move lags the mouse by no more than the threshold.
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

} // namespace vx
