#include "face/DialLayer.h"

#include "support/DialPictures.h"

#include <QColor>
#include <QRect>

#include <gtest/gtest.h>

#include <optional>

namespace vx {
namespace {

const QColor kBackground(240, 240, 240);

TEST(DialLayer, TheChangedPartHoldsEveryPixelTheBuildChanged)
{
    const QImage picture = test::Gradient(120);
    struct Case {
        const char* name;
        DialLayerParts parts;
    };
    const Case cases[] = {
        {"picture alone", {true, std::nullopt, ShadePath::Bulk, false}},
        {"moon over the layer as it is", {false, 0.3, ShadePath::Bulk, false}},
        {"moon point by point", {false, 0.8, ShadePath::PointByPoint, false}},
        {"marks over the layer as it is", {false, std::nullopt, ShadePath::Bulk, true}},
        {"everything afresh", {true, 0.0, ShadePath::Bulk, true}},
    };
    for (const Case& c : cases) {
        QImage layer = test::SolidPicture(120, 120, Qt::black);
        const QImage before = layer.copy();
        const QRect changed = BuildDialLayer(layer, 120, picture, kBackground, c.parts);
        ASSERT_EQ(layer.size(), QSize(120, 120)) << c.name;
        int outside = 0;
        int inside = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x)
                if (layer.pixel(x, y) != before.pixel(x, y))
                    ++(changed.contains(x, y) ? inside : outside);
        EXPECT_EQ(outside, 0) << c.name;
        EXPECT_GT(inside, 0) << c.name;
    }
}

TEST(DialLayer, ShadingTheMoonAgainKeepsTheMarksAndMatchesAFreshBuild)
{
    const QImage picture = test::Gradient(240);
    const DialLayerParts all{true, 0.25, ShadePath::Bulk, true};
    QImage fresh;
    BuildDialLayer(fresh, 240, picture, kBackground, all);
    // Shading alone, over the marked layer, touches only the moon, inside the marks' ring.
    QImage again = fresh.copy();
    const QRect changed = BuildDialLayer(again, 240, picture, kBackground, {false, 0.25, ShadePath::PointByPoint, false});
    EXPECT_EQ(again, fresh);
    EXPECT_EQ(changed, QRect(59, 60, 123, 120));
}

TEST(DialLayer, APictureSmallerThanTheLayerShowsTheBackgroundBelowIt)
{
    const QImage layer = PlainLayer(120, test::SolidPicture(120, 90, Qt::blue), kBackground);
    EXPECT_EQ(layer.format(), QImage::Format_RGB32);
    EXPECT_EQ(layer.pixelColor(60, 89), QColor(Qt::blue));
    EXPECT_EQ(layer.pixelColor(60, 90), kBackground);
    for (const QImage& dial : BuiltInDials())
        EXPECT_EQ(dial.format(), QImage::Format_RGB32);
    EXPECT_EQ(BuiltInDials()[2].size(), QSize(240, 240));
}

} // namespace
} // namespace vx
