#pragma once

#include "app/DirectPaint.h"
#include "base/Hemisphere.h"
#include "base/MouseButtons.h"
#include "face/Watch.h"

#include <QCursor>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <array>

class QTimer;

namespace vx {

class Program;
class Platform;

// The clock window: a round, borderless disc showing the dial layer with the hands over it.
class FrmMain final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrmMain)

public:
    explicit FrmMain(Program& program);
    ~FrmMain() override;

    // Brings the whole program up: settings, menu ticks, tray, size, shape, place, and shows the window.
    void Form_Load();
    // Saves the position and states and unloads the menu form.
    void Form_Unload();

    // Draws the hands over the dial layer and re-arms the tick timer.
    void DrawWatch();

    // Builds the dial layer (Mojiban: the dial): the dial picture (a user's own when there is one
    // of the right width), the moon shaded to the present phase, and the marks.
    void DrawMojiban();

    // Repaints the window now; the repaint draws the hands afresh, as every repaint does.
    void Refresh();

    // The right button opens the popup menu at the mouse; the left and middle buttons move the window.
    void Form_MouseDown(int button);
    // Switches between the year face and the clock face through the settings file.
    void Form_DblClick();

    // Window position in twips, as the settings keep it.
    double Top() const;
    double Left() const;
    void SetTopLeft(double topTwips, double leftTwips);

    // Non-zero while the load sets the window's size; the resize handler then draws nothing.
    int Sizing = 0;

    QTimer* Timer1 = nullptr;

    // The dial layer: the persistent image the hands are drawn over. It is drawn in device pixels:
    // at a device-pixel ratio above 1 it has more pixels than the window's logical side.
    const QImage& DialLayer() const { return dialLayer_; }
    // The device-pixel ratio the dial layer was built for.
    double LayerRatio() const { return layerRatio_; }
    // A dial picture of the window's logical size as the dial layer takes it, in device pixels:
    // a built-in dial drawn for the screen's ratio, a user's picture scaled up to it.
    QImage AtDeviceResolution(const QImage& picture);
    // Makes the dial layer the given picture alone, as a window's background picture does.
    void SetPicture(const QImage& picture);

    // On while drawing goes into the dial layer; the hands never do, they go to the screen only.
    bool AutoRedraw = false;
    // The dial layer, for drawing into while AutoRedraw is on. A drawing says what it changed with
    // LayerChanged: the next drawing of the hands shows that part of the layer afresh.
    QImage& PersistentImage();
    void LayerChanged(const QRect& area);

    // The plain dial pictures for the sides 60, 120 and 240, as 32-bit RGB images. An accepted
    // picture of the user's replaces its element for the rest of the run, in every later window too.
    std::array<QImage, 3> picBack;
    // Holds a user's picture while it is measured; empty otherwise.
    QImage picLoad;
    // The plain dial picture of the current size, picBack[NowSize + 1].
    const QImage& CurrentDial() const;

    // Where the moon on the dial is seen from.
    Hemisphere SkyHemisphere() const;

    bool IsTopmost() const { return topmost_; }
    void SetTopmost(bool on);

    // What the last drawing showed.
    Face LastFace() const { return watch_.face; }
    const std::array<HandStroke, kHandStrokeCount>& LastStrokes() const { return watch_.strokes; }

    // The whole face as it is on the screen: dial layer and hands.
    QImage Grab() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Form_Paint();
    void Form_Resize();
    void Timer1_Timer();
    // Computes the hands for the present moment and re-arms the timer; where the hands moved.
    QRegion NewWatch();
    // Shows the face within the region on the screen at once, without a paint event; false
    // where that route is not open, and then nothing was done.
    bool ShowDirectly(const QRegion& region);
    // Moves the window to a saved place, or nearer, so that it stays within reach.
    void MoveWithinReach(double topTwips, double leftTwips);
    // Takes a user's picture for dial index n into picBack, telling the user about one that is
    // not taken; whether picBack changed.
    bool LookForUserPicture(int n, int side);
    int DialIndex() const;
    // The window's side in device pixels on its present screen.
    int LayerSide() const;
    // The round shape again, and the dial layer when the screen's ratio is no longer the one it
    // was drawn for: the window moved to another screen, or the screen's scale changed.
    void ScreenChanged();
    // Logical pixels to the layer's device pixels (covering every pixel touched) and back.
    QRect ToLayer(const QRect& logical) const;
    QRect FromLayer(const QRect& layer) const;

    Program& program_;
    Platform& platform_;
    QImage dialLayer_;
    double layerRatio_ = 1.0;
    // The last picture brought to device resolution, and what it was made from, so that each
    // frame of the lunation does not scale it anew.
    struct DeviceDial {
        qint64 sourceKey = 0;
        double ratio = 1.0;
        QImage picture;
    } deviceDial_;
    // A rebuild for a new ratio is on its way.
    bool ratioRebuildPending_ = false;
    // The face as last painted: the dial layer with the hands over it.
    QImage shown_;
    bool topmost_ = false;
    // The round shape comes from transparency outside the disc rather than from the window system.
    bool roundByAlpha_ = false;
    // The window system places the window where asked and reports where the user moved it.
    bool placeKnown_ = true;
    // The place the load read from the settings, in twips.
    struct Place {
        double top = 0;
        double left = 0;
    } loadedPlace_;
    // What the last drawing of the hands showed.
    Watch watch_;
    // Between a drawing of the hands and the paint that shows it.
    struct PaintState {
        bool handsDrawn = false; // the hands have been drawn at least once
        bool ownPending = false; // a repaint this window asked for is on its way: it shows the hands as drawn
        // Set while a tick draws: its repaint happens at once, not through a posted update that
        // would take the event loop round a second time each second.
        bool atOnce = false;
        // The part of the dial layer replaced or drawn into since the hands were last drawn: the
        // next drawing shows it afresh besides where the hands moved.
        QRect layerChanged;
        QRegion changed; // what the last drawing of the hands asked to repaint
    } paint_;
    DirectPaint direct_{*this};

    // A press of the left or middle button becomes a move once the mouse travels; a press and
    // release in place stays a click, so double-clicks still reach the window.
    enum class Drag { None, Pending, Following };
    Drag drag_ = Drag::None;
    QPoint pressGlobal_ = QCursor::pos();
    QPoint pressWindowPos_;
};

// The design's ShadeMoon: shades the moon of the dial picture (the plain dial picture of the current
// size) to the lunation fraction into the window's dial layer, leaving the rest of the layer as it
// was. perPixel nonzero sets each pixel as a point on the layer; otherwise the layer's buffer is
// written at once. Both give the same pixels. Ends with AutoRedraw off and a Refresh, which brings
// the hands back.
void ShadeMoon(const QImage& picture, FrmMain& form, double phase, int perPixel);

} // namespace vx
