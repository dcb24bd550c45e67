#include "app/DirectPaint.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QSysInfo>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

#if VX_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace vx {

#if VX_HAVE_XCB

struct DirectPaint::Connection {
    xcb_connection_t* c = nullptr;
    xcb_window_t window = 0; // the native window last asked about
    bool takes = false;      // whether the server takes its pixels as they are
    // A question about a window sent ahead, whose answer no tick has taken yet.
    xcb_window_t asked = 0;
    xcb_get_window_attributes_cookie_t question{};
    xcb_gcontext_t gc = 0;
    std::uint8_t depth = 0;
};

DirectPaint::DirectPaint(QWidget& window) : window_(window)
{
    // Only Qt's own X platform: others (the offscreen one among them) may answer for X too.
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QStringLiteral("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || xcb_connection_has_error(x11->connection()) != 0)
        return;
    x_ = std::make_unique<Connection>();
    x_->c = x11->connection();
}

DirectPaint::~DirectPaint()
{
    if (!x_)
        return;
    if (x_->asked != 0)
        xcb_discard_reply(x_->c, x_->question.sequence);
    if (x_->gc != 0) {
        xcb_free_gc(x_->c, x_->gc);
        xcb_flush(x_->c);
    }
}

void DirectPaint::AskAhead()
{
    if (!x_)
        return;
    const QWindow* handle = window_.windowHandle();
    if (handle == nullptr || handle->handle() == nullptr)
        return;
    const auto window = static_cast<xcb_window_t>(handle->winId());
    Connection& x = *x_;
    if (window == x.window || window == x.asked)
        return;
    if (x.asked != 0)
        xcb_discard_reply(x.c, x.question.sequence);
    x.asked = window;
    x.question = xcb_get_window_attributes(x.c, window);
    xcb_flush(x.c);
}

namespace {

// The visual with this id among the server's screens, and its depth; null when there is none.
const xcb_visualtype_t* FindVisual(const xcb_setup_t* setup, xcb_visualid_t id, std::uint8_t& depth)
{
    for (auto screen = xcb_setup_roots_iterator(setup); screen.rem; xcb_screen_next(&screen))
        for (auto d = xcb_screen_allowed_depths_iterator(screen.data); d.rem; xcb_depth_next(&d))
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                if (v.data->visual_id == id) {
                    depth = d.data->depth;
                    return v.data;
                }
    return nullptr;
}

} // namespace

bool DirectPaint::ServerTakesPixels(std::uintptr_t id)
{
    Connection& x = *x_;
    const auto window = static_cast<xcb_window_t>(id);
    if (x.window == window)
        return x.takes;
    x.window = window;
    x.takes = false;
    if (x.gc != 0) {
        xcb_free_gc(x.c, x.gc);
        x.gc = 0;
    }
    const xcb_setup_t* setup = xcb_get_setup(x.c);
    const auto ours = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? XCB_IMAGE_ORDER_LSB_FIRST
                                                                    : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup == nullptr || setup->image_byte_order != ours)
        return false;
    // Its visual says how the server reads a pixel. Asked ahead, the answer is already here;
    // otherwise one round trip, once per window.
    const xcb_get_window_attributes_cookie_t question
        = x.asked == window ? x.question : xcb_get_window_attributes(x.c, window);
    if (x.asked == window)
        x.asked = 0;
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(x.c, question, nullptr);
    if (attributes == nullptr)
        return false;
    const xcb_visualid_t visualId = attributes->visual;
    std::free(attributes);
    std::uint8_t depth = 0;
    const xcb_visualtype_t* visual = FindVisual(setup, visualId, depth);
    if (visual == nullptr || depth != 24 || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR
        || visual->red_mask != 0xFF0000u || visual->green_mask != 0xFF00u || visual->blue_mask != 0xFFu)
        return false;
    bool wordPerPixel = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == depth)
            wordPerPixel = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    if (!wordPerPixel)
        return false;
    const std::uint32_t noExposures = 0;
    x.gc = xcb_generate_id(x.c);
    xcb_create_gc(x.c, x.gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    x.depth = depth;
    x.takes = true;
    return true;
}

QImage* DirectPaint::Begin(const QRegion& region)
{
    if (!x_ || region.isEmpty() || !window_.isVisible() || window_.devicePixelRatioF() != 1.0)
        return nullptr;
    QWindow* window = window_.windowHandle();
    QBackingStore* store = window_.backingStore();
    if (window == nullptr || store == nullptr || !window->isExposed() || !ServerTakesPixels(window->winId()))
        return nullptr;
    store->beginPaint(region);
    auto* image = dynamic_cast<QImage*>(store->paintDevice());
    const bool fits = image != nullptr && image->size() == window_.size() && image->devicePixelRatio() == 1.0
                      && (image->format() == QImage::Format_RGB32
                          || image->format() == QImage::Format_ARGB32_Premultiplied);
    if (!fits) {
        store->endPaint();
        return nullptr;
    }
    return image;
}

void DirectPaint::End(const QRegion& region)
{
    QBackingStore* store = window_.backingStore();
    const QImage& image = *static_cast<QImage*>(store->paintDevice());
    store->endPaint();
    Connection& x = *x_;
    const std::size_t maxBytes = std::size_t{xcb_get_maximum_request_length(x.c)} * 4 - sizeof(xcb_put_image_request_t);
    for (const QRect& area : region) {
        const QRect r = area & image.rect();
        if (r.isEmpty())
            continue;
        const std::size_t rowWords = static_cast<std::size_t>(r.width());
        const int rowsPerRequest = std::max(1, static_cast<int>(maxBytes / (rowWords * 4)));
        for (int top = r.top(); top <= r.bottom(); top += rowsPerRequest) {
            const int rows = std::min(rowsPerRequest, r.bottom() + 1 - top);
            const std::size_t words = rowWords * static_cast<std::size_t>(rows);
            const std::uint32_t* data;
            if (r.width() == image.width() && image.bytesPerLine() == image.width() * 4) {
                data = reinterpret_cast<const std::uint32_t*>(image.constScanLine(top));
            } else {
                // Grown only, never shrunk: no zero-filling on most ticks.
                if (rows_.size() < words)
                    rows_.resize(words);
                for (int y = 0; y < rows; ++y) {
                    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(top + y));
                    std::copy_n(line + r.left(), rowWords, rows_.data() + static_cast<std::size_t>(y) * rowWords);
                }
                data = rows_.data();
            }
            xcb_put_image(x.c, XCB_IMAGE_FORMAT_Z_PIXMAP, x.window, x.gc, static_cast<std::uint16_t>(r.width()),
                          static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(r.left()),
                          static_cast<std::int16_t>(top), 0, x.depth, static_cast<std::uint32_t>(words * 4),
                          reinterpret_cast<const std::uint8_t*>(data));
        }
    }
    xcb_flush(x.c);
}

#else

struct DirectPaint::Connection {};

DirectPaint::DirectPaint(QWidget& window) : window_(window) {}
DirectPaint::~DirectPaint() = default;

void DirectPaint::AskAhead() {}

bool DirectPaint::ServerTakesPixels(std::uintptr_t)
{
    return false;
}

QImage* DirectPaint::Begin(const QRegion&)
{
    return nullptr;
}

void DirectPaint::End(const QRegion&) {}

#endif

} // namespace vx
