#include "face/HandRaster.h"

#include "face/DeviceScale.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// The colour word 0x00RRGGBB of a settings colour 0x00BBGGRR.
std::uint32_t Word(Colour c)
{
    return static_cast<std::uint32_t>(RedOf(c)) << 16 | static_cast<std::uint32_t>(GreenOf(c)) << 8
           | static_cast<std::uint32_t>(BlueOf(c));
}

// The word moved towards colour by the share cover (0 to 1) of the pixel, each channel rounded.
inline void Blend(std::uint32_t& word, std::uint32_t colour, double cover)
{
    if (cover <= 0)
        return;
    if (cover >= 1) {
        word = (word & 0xFF000000u) | colour;
        return;
    }
    const std::uint32_t a = static_cast<std::uint32_t>(cover * 256 + 0.5);
    const std::uint32_t keep = word & 0xFF000000u;
    const std::uint32_t rb = ((colour & 0xFF00FFu) * a + (word & 0xFF00FFu) * (256 - a) + 0x800080u) >> 8 & 0xFF00FFu;
    const std::uint32_t g = ((colour & 0xFF00u) * a + (word & 0xFF00u) * (256 - a) + 0x8000u) >> 8 & 0xFF00u;
    word = keep | rb | g;
}

// The share of a pixel whose centre lies at squared distance d2 from the middle of a band
// reach - 0.5 wide on each side: whole inside, none beyond, a linear step one pixel wide across
// the edge. The square root is taken only on the edge.
inline double Cover(double reach, double d2)
{
    if (d2 >= reach * reach)
        return 0;
    const double inner = reach - 1;
    if (inner > 0 && d2 <= inner * inner)
        return 1;
    return std::min(reach - std::sqrt(d2), 1.0);
}

class Canvas {
public:
    Canvas(const Pixels& target, const PixelBox& clip)
        : target_(target),
          left_(std::max(clip.left, 0)),
          top_(std::max(clip.top, 0)),
          right_(std::min(clip.right, target.width)),
          bottom_(std::min(clip.bottom, target.height))
    {
    }

    // A band of half-width halfWidth around the segment a-b, with round ends.
    void Line(PixelPoint a, PixelPoint b, double halfWidth, std::uint32_t colour)
    {
        const double reach = halfWidth + 0.5;
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double length2 = dx * dx + dy * dy;
        const double length = std::sqrt(length2);
        const double inverseLength2 = length2 > 0 ? 1 / length2 : 0.0;
        const int y0 = std::max(top_, static_cast<int>(std::floor(std::min(a.y, b.y) - reach)));
        const int y1 = std::min(bottom_ - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + reach)));
        for (int y = y0; y <= y1; ++y) {
            const double cy = y + 0.5;
            double xl = 0;
            double xr = 0;
            if (!RowSpan(a, b, length, reach, cy, xl, xr))
                continue;
            const int x0 = std::max(left_, static_cast<int>(std::floor(xl - 0.5)));
            const int x1 = std::min(right_ - 1, static_cast<int>(std::ceil(xr - 0.5)));
            std::uint32_t* row = target_.data + y * target_.stride;
            const double py = cy - a.y;
            for (int x = x0; x <= x1; ++x) {
                // The nearest point of the segment to the pixel's centre, and the distance to it.
                const double px = x + 0.5 - a.x;
                const double t = std::clamp((px * dx + py * dy) * inverseLength2, 0.0, 1.0);
                const double ex = px - t * dx;
                const double ey = py - t * dy;
                Blend(row[x], colour, Cover(reach, ex * ex + ey * ey));
            }
        }
    }

    // A ring of half-width halfWidth around the circle of the given radius.
    void Ring(PixelPoint c, double radius, double halfWidth, std::uint32_t colour)
    {
        const double reach = halfWidth + 0.5;
        Disc(c, radius + reach, [&](double d2) {
            const double off = std::sqrt(d2) - radius;
            return Cover(reach, off * off);
        }, colour);
    }

    // The inside of the circle of the given radius.
    void Fill(PixelPoint c, double radius, std::uint32_t colour)
    {
        Disc(c, radius + 0.5, [&](double d2) { return Cover(radius + 0.5, d2); }, colour);
    }

private:
    // Every pixel whose centre lies within outer of c, covered as cover(squared distance) says.
    template <class CoverAt> void Disc(PixelPoint c, double outer, CoverAt cover, std::uint32_t colour)
    {
        const int y0 = std::max(top_, static_cast<int>(std::floor(c.y - outer)));
        const int y1 = std::min(bottom_ - 1, static_cast<int>(std::ceil(c.y + outer)));
        for (int y = y0; y <= y1; ++y) {
            const double dy = y + 0.5 - c.y;
            if (std::fabs(dy) >= outer)
                continue;
            const double half = std::sqrt(outer * outer - dy * dy);
            const int x0 = std::max(left_, static_cast<int>(std::floor(c.x - half - 0.5)));
            const int x1 = std::min(right_ - 1, static_cast<int>(std::ceil(c.x + half - 0.5)));
            std::uint32_t* row = target_.data + y * target_.stride;
            for (int x = x0; x <= x1; ++x) {
                const double dx = x + 0.5 - c.x;
                Blend(row[x], colour, cover(dx * dx + dy * dy));
            }
        }
    }

    // The columns of row centre cy within reach of the segment a-b: inside the rectangle around
    // the segment, widened by reach at both ends, which holds the band with its round ends.
    static bool RowSpan(PixelPoint a, PixelPoint b, double length, double reach, double cy, double& xl, double& xr)
    {
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        xl = -1e300;
        xr = 1e300;
        // Across the segment: |(p - a) . n| < reach; along it: -reach < (p - a) . u < length + reach.
        const double ux = length > 0 ? dx / length : 1.0;
        const double uy = length > 0 ? dy / length : 0.0;
        auto slab = [&](double kx, double ky, double lo, double hi) {
            // lo < kx (x - a.x) + ky (cy - a.y) < hi
            const double rest = ky * (cy - a.y);
            if (std::fabs(kx) < 1e-12)
                return rest > lo && rest < hi;
            double from = (lo - rest) / kx + a.x;
            double to = (hi - rest) / kx + a.x;
            if (from > to)
                std::swap(from, to);
            xl = std::max(xl, from);
            xr = std::min(xr, to);
            return xl < xr;
        };
        return slab(-uy, ux, -reach, reach) && slab(ux, uy, -reach, length + reach);
    }

    Pixels target_;
    int left_;
    int top_;
    int right_;
    int bottom_;
};

} // namespace

void DrawHandStrokes(const Pixels& target, const PixelBox& clip, int side,
                     const std::array<HandStroke, kHandStrokeCount>& strokes, double penScale)
{
    if (target.data == nullptr)
        return;
    Canvas canvas(target, clip);
    const FaceToPixels px(side);
    for (const HandStroke& s : strokes) {
        const double halfWidth = DevicePen(s.penWidth, penScale) / 2.0;
        if (s.kind == HandStroke::Kind::Line) {
            canvas.Line(px(s.from), px(s.to), halfWidth, Word(s.colour));
        } else {
            if (s.filled)
                canvas.Fill(px(s.from), px.Length(s.radius), Word(s.fillColour));
            canvas.Ring(px(s.from), px.Length(s.radius), halfWidth, Word(s.colour));
        }
    }
}

} // namespace vx
