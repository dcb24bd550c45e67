#include "face/FacePainter.h"

#include "base/ImagePixels.h"
#include "face/DeviceScale.h"
#include "face/HandRaster.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vx {

namespace {
QColor ToQColor(Colour c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// A point of the face in the window's pixels. The marks are mapped here rather than through a
// painter transform: under a scaling transform Qt strokes each cosmetic pen by switching the
// painter to device space and back, which doubles the cost of every stroke. In pixels the painter
// draws the same strokes directly, and a pen's width is its width in pixels.
QPointF At(const FaceToPixels& px, FacePoint p)
{
    const PixelPoint q = px(p);
    return {q.x, q.y};
}

QPen PixelPen(Colour colour, double width)
{
    return QPen(ToQColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

void ComposeFace(const QImage& dialLayer, const std::array<HandStroke, kHandStrokeCount>* hands, const QRect& area,
                 QImage& face, double penScale)
{
    const QRect box = area & dialLayer.rect() & face.rect();
    if (box.isEmpty())
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(box.width()) * sizeof(std::uint32_t);
    for (int y = box.top(); y <= box.bottom(); ++y)
        std::memcpy(face.scanLine(y) + box.left() * sizeof(std::uint32_t),
                    dialLayer.constScanLine(y) + box.left() * sizeof(std::uint32_t), rowBytes);
    if (hands == nullptr)
        return;
    DrawHandStrokes(PixelsOf(face), {box.left(), box.top(), box.right() + 1, box.bottom() + 1}, face.width(), *hands,
                    penScale);
}

namespace {

// The change is gathered in bands of rows: a hand at a slant leaves most of its bounding box
// untouched, and per band only the columns it crosses need drawing and sending. A band is a
// fifteenth of the face, at least 8 rows, so that a tick has about as many rectangles at every
// size: a window repainted through a clip of many rectangles pays for each.
int ChangeBandRows(int side)
{
    return std::max(8, side / 15);
}
// Spans of one band closer than this are sent as one: a request costs more than a few pixels.
constexpr int kChangeJoinColumns = 4;

struct BandSpan {
    int band;
    double left;
    double right;
};

// The columns of rows top to bottom within reach of the segment a-b: every point of the segment
// near enough lies in the part whose height is within reach of the rows, and reaches no further
// sideways than reach.
bool LineColumns(PixelPoint a, PixelPoint b, double reach, double top, double bottom, double& left, double& right)
{
    double from = 0;
    double to = 1;
    const double dy = b.y - a.y;
    if (dy == 0) {
        if (a.y < top - reach || a.y > bottom + reach)
            return false;
    } else {
        double t0 = (top - reach - a.y) / dy;
        double t1 = (bottom + reach - a.y) / dy;
        if (t0 > t1)
            std::swap(t0, t1);
        from = std::max(from, t0);
        to = std::min(to, t1);
        if (from > to)
            return false;
    }
    const double x0 = a.x + from * (b.x - a.x);
    const double x1 = a.x + to * (b.x - a.x);
    left = std::min(x0, x1) - reach;
    right = std::max(x0, x1) + reach;
    return true;
}

// The columns of rows top to bottom within reach of the disc of the given radius around c.
bool DiscColumns(PixelPoint c, double reach, double top, double bottom, double& left, double& right)
{
    const double dy = c.y < top ? top - c.y : c.y > bottom ? c.y - bottom : 0.0;
    if (dy > reach)
        return false;
    const double half = std::sqrt(reach * reach - dy * dy);
    left = c.x - half;
    right = c.x + half;
    return true;
}

void AddStrokeSpans(const HandStroke& s, const FaceToPixels& px, int side, int rows, std::vector<BandSpan>& spans)
{
    // Half the pen beyond the geometry (round caps reach that far past a line's ends), half a
    // pixel of antialiased edge beyond that, and half a pixel more for rounding.
    const double margin = s.penWidth / 2.0 + 1.0;
    const PixelPoint a = px(s.from);
    const PixelPoint b = px(s.to);
    const double radius = s.kind == HandStroke::Kind::Line ? 0.0 : px.Length(s.radius);
    const double low = s.kind == HandStroke::Kind::Line ? std::min(a.y, b.y) : a.y - radius;
    const double high = s.kind == HandStroke::Kind::Line ? std::max(a.y, b.y) : a.y + radius;
    const int first = std::max(0, static_cast<int>(std::floor((low - margin) / rows)));
    const int last = std::min((side - 1) / rows, static_cast<int>(std::floor((high + margin) / rows)));
    for (int band = first; band <= last; ++band) {
        const double top = band * rows;
        const double bottom = std::min(top + rows, static_cast<double>(side));
        double left = 0;
        double right = 0;
        const bool near = s.kind == HandStroke::Kind::Line ? LineColumns(a, b, margin, top, bottom, left, right)
                                                           : DiscColumns(a, radius + margin, top, bottom, left, right);
        if (near)
            spans.push_back({band, left, right});
    }
}

} // namespace

QRegion HandsChangeRegion(const std::array<HandStroke, kHandStrokeCount>& before,
                          const std::array<HandStroke, kHandStrokeCount>& after, int side)
{
    // Every stroke that changed, where it was and where it is, as spans of columns per band of
    // rows; the spans of a band are joined where they meet or nearly do.
    const FaceToPixels px(side);
    const int rows = ChangeBandRows(side);
    // Kept from tick to tick: no allocation once it has grown.
    static thread_local std::vector<BandSpan> spans;
    spans.clear();
    for (std::size_t i = 0; i < kHandStrokeCount; ++i) {
        if (before[i] == after[i])
            continue;
        AddStrokeSpans(before[i], px, side, rows, spans);
        AddStrokeSpans(after[i], px, side, rows, spans);
    }
    std::sort(spans.begin(), spans.end(), [](const BandSpan& p, const BandSpan& q) {
        return p.band != q.band ? p.band < q.band : p.left < q.left;
    });
    static thread_local std::vector<QRect> rects;
    rects.clear();
    auto add = [&](int band, int left, int right) {
        const int top = band * rows;
        const int bottom = std::min(top + rows, side);
        left = std::max(left, 0);
        right = std::min(right, side);
        if (left < right)
            rects.emplace_back(left, top, right - left, bottom - top);
    };
    int band = -1;
    int left = 0;
    int right = 0;
    for (const BandSpan& span : spans) {
        // Every pixel whose square meets the span.
        const int from = static_cast<int>(std::floor(span.left));
        const int to = static_cast<int>(std::ceil(span.right));
        if (span.band == band && from <= right + kChangeJoinColumns) {
            right = std::max(right, to);
            continue;
        }
        if (band >= 0)
            add(band, left, right);
        band = span.band;
        left = from;
        right = to;
    }
    if (band >= 0)
        add(band, left, right);
    // Sorted by band and then column, of one height per band, apart from each other: the form a
    // region keeps, so it takes them as they are.
    QRegion changed;
    changed.setRects(rects.data(), static_cast<int>(rects.size()));
    return changed;
}

void PaintDialMarks(QPainter& painter, int side, const std::array<DialStroke, kDialStrokeCount>& strokes,
                    double penScale)
{
    const FaceToPixels px(side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const DialStroke& s : strokes) {
        // Round ends: a wide point is a round dot centred on its place.
        painter.setPen(PixelPen(s.colour, DevicePen(s.penWidth, penScale)));
        if (s.kind == DialStroke::Kind::Dot)
            painter.drawPoint(At(px, s.from));
        else
            painter.drawLine(At(px, s.from), At(px, s.to));
    }
    painter.restore();
}

} // namespace vx
