// Zoom, restore and the view centre of the image viewer, in twips.
#include "measure/viewport.h"

#include <gtest/gtest.h>

using namespace saed::measure;

namespace {

// An 800 x 640 pixel picture in a 1180 x 800 pixel window: centre (7400, 5150) twips.
Viewport openedPicture(TwipPoint centre) {
    Viewport v;
    v.setNaturalSize(800 * 15.0f, 640 * 15.0f);
    v.showNatural(centre);
    return v;
}

}  // namespace

TEST(ViewportTest, centreFollowsTheWindowSize) {
    const TwipPoint c = viewCentre(1180 * 15.0, 800 * 15.0);
    EXPECT_DOUBLE_EQ(c.x, 7400.0);
    EXPECT_DOUBLE_EQ(c.y, 5150.0);
    // The design size of the original window: near the middle of its image panel.
    const TwipPoint design = viewCentre(14220.0, 9225.0);
    EXPECT_DOUBLE_EQ(design.x, 5660.0);
    EXPECT_DOUBLE_EQ(design.y, 3762.5);

    // After a resize the next restore centres on the new point.
    Viewport v = openedPicture(c);
    EXPECT_FLOAT_EQ(v.rect().left, 1400.0f);
    EXPECT_FLOAT_EQ(v.rect().top, 350.0f);
    v.showNatural(viewCentre(1400 * 15.0, 900 * 15.0));
    EXPECT_FLOAT_EQ(v.rect().left, (21000.0f - 2900.0f) / 2.0f - 6000.0f);
    EXPECT_FLOAT_EQ(v.rect().top, (13500.0f - 1700.0f) / 2.0f - 4800.0f);
}

TEST(ViewportTest, zoomKeepsThePointUnderTheCentre) {
    const TwipPoint c{7400.0, 5150.0};
    Viewport v = openedPicture(c);
    v.moveBy(-900.0, 300.0);  // the centre no longer on the middle of the picture
    const double fx = (c.x - v.rect().left) / v.rect().width;
    const double fy = (c.y - v.rect().top) / v.rect().height;
    ASSERT_TRUE(v.zoomIn(c));
    EXPECT_TRUE(v.stretched());
    EXPECT_FLOAT_EQ(v.rect().width, 15000.0f);
    EXPECT_FLOAT_EQ(v.rect().height, 12000.0f);
    EXPECT_NEAR((c.x - v.rect().left) / v.rect().width, fx, 1e-6);
    EXPECT_NEAR((c.y - v.rect().top) / v.rect().height, fy, 1e-6);
}

TEST(ViewportTest, zoomOutMovesByAQuarterAndDoesNotReturnExactly) {
    const TwipPoint c{7400.0, 5150.0};
    Viewport v = openedPicture(c);
    v.zoomIn(c);
    EXPECT_FLOAT_EQ(v.rect().left, -100.0f);   // 1400 - 6000 / 4
    EXPECT_FLOAT_EQ(v.rect().top, -850.0f);    // 350 - 4800 / 4
    v.zoomOut(c);
    EXPECT_FLOAT_EQ(v.rect().width, 12000.0f);
    EXPECT_FLOAT_EQ(v.rect().height, 9600.0f);
    EXPECT_FLOAT_EQ(v.rect().left, 1775.0f);   // -100 + 7500 / 4, not back at 1400
    EXPECT_FLOAT_EQ(v.rect().top, 650.0f);     // -850 + 6000 / 4
}

TEST(ViewportTest, zoomInStopsAtTheLimitAndZoomOutNever) {
    const TwipPoint c{0.0, 0.0};
    Viewport atLimit;
    atLimit.setNaturalSize(196590.0f, 15.0f);
    atLimit.showNatural(c);
    EXPECT_FALSE(atLimit.zoomIn(c));
    EXPECT_FALSE(atLimit.stretched());
    EXPECT_FLOAT_EQ(atLimit.rect().width, 196590.0f);

    Viewport tall;
    tall.setNaturalSize(15.0f, 196590.0f);
    tall.showNatural(c);
    EXPECT_FALSE(tall.zoomIn(c));

    Viewport below;
    below.setNaturalSize(196575.0f, 196575.0f);
    below.showNatural(c);
    EXPECT_TRUE(below.zoomIn(c));
    EXPECT_FLOAT_EQ(below.rect().width, 196575.0f * 1.25f);
    EXPECT_FALSE(below.zoomIn(c));

    Viewport small;
    small.setNaturalSize(150.0f, 150.0f);
    small.showNatural(c);
    for (int i = 0; i < 40; ++i) small.zoomOut(c);
    EXPECT_GT(small.rect().width, 0.0f);
    EXPECT_LT(small.rect().width, 1.0f);
}

TEST(ViewportTest, restoreEqualsAFreshOpen) {
    const TwipPoint c{7400.0, 5150.0};
    Viewport v = openedPicture(c);
    v.zoomIn(c);
    v.zoomIn(c);
    v.moveBy(333.0, -71.5);
    v.zoomOut(c);
    v.showNatural(c);
    const Viewport fresh = openedPicture(c);
    EXPECT_FALSE(v.stretched());
    EXPECT_EQ(v.rect().left, fresh.rect().left);
    EXPECT_EQ(v.rect().top, fresh.rect().top);
    EXPECT_EQ(v.rect().width, fresh.rect().width);
    EXPECT_EQ(v.rect().height, fresh.rect().height);
}
