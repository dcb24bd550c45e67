#include "face/FacePainter.h"

#include "base/DateValue.h"
#include "face/Hands.h"
#include "support/DialPictures.h"

#include <QImage>
#include <QRegion>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace vx {
namespace {

using Strokes = std::array<HandStroke, kHandStrokeCount>;

Strokes ClockAt(int hour, int minute, int second, Colour colour = 16752640)
{
    const DateValue now = MakeDateValue(2026, 12, 9, hour, minute, second);
    return HandStrokes(ClockFaceFractions(now, SecondsOfDay(now)), colour);
}

QImage Face(const QImage& dial, const Strokes& strokes, double ratio)
{
    QImage face(dial.size(), QImage::Format_RGB32);
    ComposeFace(dial, &strokes, dial.rect(), face, ratio);
    return face;
}

// Pixels of the face (in the layer's pixels, ratio times the window's) that differ between the
// two drawings and lie outside the region the window repaints for the change.
int ChangesOutside(const Strokes& before, const Strokes& after, int side, double ratio)
{
    const QImage dial = test::Gradient(static_cast<int>(std::lround(side * ratio)));
    const QImage was = Face(dial, before, ratio);
    const QImage is = Face(dial, after, ratio);
    const QRegion region = HandsChangeRegion(before, after, side);
    int outside = 0;
    for (int y = 0; y < was.height(); ++y)
        for (int x = 0; x < was.width(); ++x)
            if (was.pixel(x, y) != is.pixel(x, y) && !region.contains(QPoint(int(x / ratio), int(y / ratio))))
                ++outside;
    return outside;
}

TEST(HandsChangeRegion, HoldsEveryPixelThatChanges)
{
    struct Change {
        std::string name;
        Strokes before;
        Strokes after;
    };
    std::vector<Change> changes;
    // Every second of a minute whose hands lie at slants, with the minute hand's jump at its end.
    for (int s = 0; s < 60; ++s)
        changes.push_back({"10:08:" + std::to_string(s), ClockAt(10, 8, s), ClockAt(10, 8, s + 1)});
    // The hands along the axes, where a hand's box is thinnest.
    changes.push_back({"12:00 to 12:00:01", ClockAt(11, 59, 59), ClockAt(12, 0, 0)});
    changes.push_back({"3:15:15", ClockAt(3, 15, 14), ClockAt(3, 15, 15)});
    changes.push_back({"6:30:30", ClockAt(6, 30, 29), ClockAt(6, 30, 30)});
    changes.push_back({"9:45:45", ClockAt(9, 45, 44), ClockAt(9, 45, 45)});
    // A colour change: every stroke, the centre cap too.
    changes.push_back({"colour", ClockAt(4, 20, 0), ClockAt(4, 20, 0, 255)});
    // A jump of the clock, as after a sleep.
    changes.push_back({"jump", ClockAt(1, 5, 10), ClockAt(7, 40, 50)});
    for (const int side : {60, 120, 240})
        for (const double ratio : {1.0, 2.0})
            for (const Change& c : changes)
                EXPECT_EQ(ChangesOutside(c.before, c.after, side, ratio), 0)
                    << c.name << " at " << side << " px, ratio " << ratio;
}

} // namespace
} // namespace vx
