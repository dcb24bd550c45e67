#pragma once

#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <vector>

class QImage;
class QRegion;
class QWidget;

namespace vx {

// The once-a-second repaint without the widget machinery. A repaint through QWidget costs several
// times what the clock's own drawing does: update bookkeeping, a paint event, a painter set up on
// the window's clip, and a flush that uploads to a server-side copy and copies from there. Here
// the changed part is drawn straight into the window's backing store and those pixels alone are
// sent to the X server onto the window, in one request per rectangle, with no reply to wait for.
// The backing store stays what Qt's own repaint would have left, so an expose shows it rightly.
// Where this route is not open (another window system, a device-pixel ratio other than 1, a
// window not shown, pixels the server does not take as they are), Begin says so and the caller
// repaints the usual way.
class DirectPaint final {
    Q_DISABLE_COPY_MOVE(DirectPaint)

public:
    explicit DirectPaint(QWidget& window);
    ~DirectPaint();

    // Sends the window's one question to the X server now, without waiting: its answer arrives
    // while the program is awake anyway (a paint), and the first tick then need not wait for
    // the server, which would wake both the program's threads once more.
    void AskAhead();

    // The backing store's picture to draw the region into, as window pixels; null when this route
    // is not open now, and then nothing has begun.
    QImage* Begin(const QRegion& region);
    // Ends what Begin began and puts the region's pixels on the window.
    void End(const QRegion& region);

private:
    // Whether the X server takes the window's pixels as the backing store holds them: 32-bit
    // words 0x??RRGGBB in this machine's byte order, 24 bits deep. Asked once per native window.
    bool ServerTakesPixels(std::uintptr_t window);

    QWidget& window_;
    struct Connection;
    std::unique_ptr<Connection> x_;
    // The rows of one rectangle, gathered for its request; kept so a tick allocates nothing.
    std::vector<std::uint32_t> rows_;
};

} // namespace vx
