#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace vx {

// The side in pixels of the window, its dial picture and its dial layer for a size index NowSize
// (-1 half, 0 standard, 1 double): 60, 120 or 240.
constexpr int SideForSize(int nowSize)
{
    return 60 << (nowSize + 1);
}

// The bounding box of the clock window's elliptic region, in window pixels. The platform's region
// leaves out the right and bottom edges of its box, hence the extra pixel on each.
struct RegionBox {
    int left;
    int top;
    int right;
    int bottom;
};

inline RegionBox EllipticRegionBox(double scaleWidth, double scaleHeight)
{
    return {0, 0, static_cast<int>(std::nearbyint(scaleWidth + 1)), static_cast<int>(std::nearbyint(scaleHeight + 1))};
}

// One row of pixels inside the disc: columns first..last inclusive.
struct DiscSpan {
    int y;
    int first;
    int last;
};

// The pixels of the disc inscribed in a width x height box, row by row: a pixel belongs to the disc
// when its centre does, which keeps the disc symmetric in both directions.
inline std::vector<DiscSpan> DiscSpans(int width, int height)
{
    std::vector<DiscSpan> spans;
    const double rx = width / 2.0;
    const double ry = height / 2.0;
    for (int y = 0; y < height; ++y) {
        const double dy = (y + 0.5 - ry) / ry;
        const double h = 1.0 - dy * dy;
        if (h <= 0)
            continue;
        const double half = rx * std::sqrt(h);
        const int first = static_cast<int>(std::ceil(rx - half - 0.5));
        const int last = static_cast<int>(std::floor(rx + half - 0.5));
        if (first <= last)
            spans.push_back({y, first, last});
    }
    return spans;
}

// A rectangle of screen pixels, its edges inclusive.
struct PixelArea {
    int left;
    int top;
    int right;
    int bottom;
};

// How many pixels of the disc of a side x side window whose top-left corner is at (x, y) lie
// within the area. A window can reach into the screen with the empty corner of its square alone.
inline long long DiscPixelsWithin(int x, int y, int side, PixelArea area)
{
    long long count = 0;
    for (const DiscSpan& s : DiscSpans(side, side)) {
        const long long row = static_cast<long long>(y) + s.y;
        if (row < area.top || row > area.bottom)
            continue;
        const long long first = std::max<long long>(static_cast<long long>(x) + s.first, area.left);
        const long long last = std::min<long long>(static_cast<long long>(x) + s.last, area.right);
        if (first <= last)
            count += last - first + 1;
    }
    return count;
}

} // namespace vx
