#include "PaletteQuantizer.h"

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>
#include <vector>

namespace vx::assetgen {

namespace {

// Errors in green show most and errors in blue least; the weights follow the eye.
constexpr std::array<int, 3> kAxisWeight{3, 4, 2};

struct ColourCount {
    std::array<int, 3> c;
    long n;
};

long distance2(const std::array<int, 3>& a, const std::array<int, 3>& b)
{
    long d = 0;
    for (int k = 0; k < 3; ++k)
        d += long(kAxisWeight[k]) * (a[k] - b[k]) * (a[k] - b[k]);
    return d;
}

std::array<int, 3> channels(QRgb p)
{
    return {qRed(p), qGreen(p), qBlue(p)};
}

struct Box {
    int begin, end; // range in the colour list
    double error;   // weighted sum of squared distances to the box mean
    int axis;       // the axis with the largest spread
    std::array<int, 3> mean;
};

Box measure(const std::vector<ColourCount>& colours, int begin, int end)
{
    Box box{begin, end, 0.0, 0, {0, 0, 0}};
    double n = 0;
    std::array<double, 3> sum{0, 0, 0}, sum2{0, 0, 0};
    for (int i = begin; i < end; ++i) {
        const auto& cc = colours[size_t(i)];
        n += double(cc.n);
        for (int k = 0; k < 3; ++k) {
            sum[size_t(k)] += double(cc.n) * cc.c[size_t(k)];
            sum2[size_t(k)] += double(cc.n) * cc.c[size_t(k)] * cc.c[size_t(k)];
        }
    }
    double best = -1;
    for (int k = 0; k < 3; ++k) {
        const double spread = kAxisWeight[size_t(k)] * (sum2[size_t(k)] - sum[size_t(k)] * sum[size_t(k)] / n);
        box.error += spread;
        if (spread > best) {
            best = spread;
            box.axis = k;
        }
        box.mean[size_t(k)] = int(sum[size_t(k)] / n + 0.5);
    }
    return box;
}

// Median cut: keep splitting the box with the largest error at the weighted median of its
// widest axis until there are `count` boxes or no box can be split.
std::vector<std::array<int, 3>> medianCut(std::vector<ColourCount>& colours, int count)
{
    std::vector<Box> boxes{measure(colours, 0, int(colours.size()))};
    while (int(boxes.size()) < count) {
        int pick = -1;
        for (int i = 0; i < int(boxes.size()); ++i) {
            const Box& b = boxes[size_t(i)];
            if (b.end - b.begin > 1 && (pick < 0 || b.error > boxes[size_t(pick)].error))
                pick = i;
        }
        if (pick < 0)
            break;
        const Box box = boxes[size_t(pick)];
        const int axis = box.axis;
        std::sort(colours.begin() + box.begin, colours.begin() + box.end,
                  [axis](const ColourCount& a, const ColourCount& b) {
                      if (a.c[size_t(axis)] != b.c[size_t(axis)])
                          return a.c[size_t(axis)] < b.c[size_t(axis)];
                      return a.c < b.c;
                  });
        long total = 0;
        for (int i = box.begin; i < box.end; ++i)
            total += colours[size_t(i)].n;
        long running = 0;
        int split = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            running += colours[size_t(i)].n;
            split = i + 1;
            if (2 * running >= total)
                break;
        }
        boxes[size_t(pick)] = measure(colours, box.begin, split);
        boxes.push_back(measure(colours, split, box.end));
    }
    std::vector<std::array<int, 3>> palette;
    for (const Box& b : boxes)
        palette.push_back(b.mean);
    return palette;
}

// The nearest entry from `first` on; the fixed entries before it only take their own colour.
int nearestIndex(const std::vector<std::array<int, 3>>& palette, const std::array<int, 3>& c, int first)
{
    if (first >= int(palette.size()))
        first = 0; // nothing but fixed colours: take the closest of them
    int best = first;
    long bestD = -1;
    for (int i = first; i < int(palette.size()); ++i) {
        const long d = distance2(palette[size_t(i)], c);
        if (bestD < 0 || d < bestD) {
            best = i;
            bestD = d;
        }
    }
    return best;
}

// Moves every free entry to the mean of the colours nearest to it; fixed entries stay.
void refine(std::vector<std::array<int, 3>>& palette, int fixedCount, const std::vector<ColourCount>& colours,
            int iterations)
{
    for (int it = 0; it < iterations; ++it) {
        std::vector<std::array<double, 4>> acc(palette.size(), {0, 0, 0, 0});
        for (const auto& cc : colours) {
            const int i = nearestIndex(palette, cc.c, fixedCount);
            for (int k = 0; k < 3; ++k)
                acc[size_t(i)][size_t(k)] += double(cc.n) * cc.c[size_t(k)];
            acc[size_t(i)][3] += double(cc.n);
        }
        bool moved = false;
        for (size_t i = size_t(fixedCount); i < palette.size(); ++i) {
            if (acc[i][3] == 0)
                continue;
            for (int k = 0; k < 3; ++k) {
                const int v = int(acc[i][size_t(k)] / acc[i][3] + 0.5);
                moved = moved || v != palette[i][size_t(k)];
                palette[i][size_t(k)] = v;
            }
        }
        if (!moved)
            break;
    }
}

// Builds the palette for the given pixels (fixed colours first, then the found ones in order
// of brightness, so the table reads well and is the same on every run).
std::vector<std::array<int, 3>> buildPalette(const std::vector<QRgb>& pixels, int maxColours,
                                             const QList<QRgb>& fixed)
{
    std::map<QRgb, long> histogram;
    for (QRgb p : pixels)
        ++histogram[p | 0xFF000000u];
    std::vector<std::array<int, 3>> palette;
    for (QRgb f : fixed) {
        palette.push_back(channels(f));
        histogram.erase(f | 0xFF000000u);
    }
    const int free = maxColours - int(fixed.size());
    if (free < 0)
        throw std::invalid_argument("more fixed colours than the palette holds");

    std::vector<ColourCount> colours;
    for (const auto& [rgb, n] : histogram)
        colours.push_back({channels(rgb), n});

    std::vector<std::array<int, 3>> found;
    if (int(colours.size()) <= free) {
        for (const auto& cc : colours)
            found.push_back(cc.c);
    } else {
        found = medianCut(colours, free);
        std::vector<std::array<int, 3>> all = palette;
        all.insert(all.end(), found.begin(), found.end());
        refine(all, int(palette.size()), colours, 12);
        found.assign(all.begin() + long(palette.size()), all.end());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const int la = 3 * a[0] + 6 * a[1] + a[2];
        const int lb = 3 * b[0] + 6 * b[1] + b[2];
        return la != lb ? la < lb : a < b;
    });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    palette.insert(palette.end(), found.begin(), found.end());
    return palette;
}

QImage indexedImage(const QImage& src, const std::vector<std::array<int, 3>>& palette, int fixedCount, bool masked)
{
    QImage out(src.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    if (masked)
        table.push_back(qRgba(0, 0, 0, 0));
    for (const auto& c : palette)
        table.push_back(qRgb(c[0], c[1], c[2]));
    out.setColorTable(table);
    const int offset = masked ? 1 : 0;
    std::map<QRgb, int> cache;
    for (int y = 0; y < src.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < src.width(); ++x) {
            const QRgb p = row[x];
            if (masked && qAlpha(p) < 128) {
                dst[x] = 0;
                continue;
            }
            const QRgb key = p | 0xFF000000u;
            auto it = cache.find(key);
            if (it == cache.end()) {
                int index = -1;
                for (int i = 0; i < fixedCount; ++i)
                    if (palette[size_t(i)] == channels(key))
                        index = i;
                if (index < 0)
                    index = nearestIndex(palette, channels(key), fixedCount);
                it = cache.emplace(key, index).first;
            }
            dst[x] = uchar(it->second + offset);
        }
    }
    return out;
}

} // namespace

QImage quantizeOpaque(const QImage& picture, int maxColours, const QList<QRgb>& fixed)
{
    const QImage src = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> pixels;
    pixels.reserve(size_t(src.width()) * size_t(src.height()));
    for (int y = 0; y < src.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        pixels.insert(pixels.end(), row, row + src.width());
    }
    return indexedImage(src, buildPalette(pixels, maxColours, fixed), int(fixed.size()), false);
}

QImage quantizeMasked(const QImage& picture, int maxColours)
{
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    std::vector<QRgb> pixels;
    for (int y = 0; y < src.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x)
            if (qAlpha(row[x]) >= 128)
                pixels.push_back(row[x]);
    }
    return indexedImage(src, buildPalette(pixels, maxColours - 1, {}), 0, true);
}

} // namespace vx::assetgen
