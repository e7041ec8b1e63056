// SPDX-License-Identifier: BSD-3-Clause
// Zoom, restore and the view centre of the image viewer, in twips.
#include "measure/viewport.h"

#include <gtest/gtest.h>

using namespace saed::measure;

namespace {

Viewport opened(float widthTwips, float heightTwips, TwipPoint centre) {
    Viewport v;
    v.setNaturalSize(widthTwips, heightTwips);
    v.showNatural(centre);
    return v;
}

void expectRect(const Viewport& v, float left, float top, float width, float height) {
    EXPECT_FLOAT_EQ(v.rect().left, left);
    EXPECT_FLOAT_EQ(v.rect().top, top);
    EXPECT_FLOAT_EQ(v.rect().width, width);
    EXPECT_FLOAT_EQ(v.rect().height, height);
}

// An 800 x 640 pixel picture in a 1180 x 800 pixel window: centre (7400, 5150) twips.
const TwipPoint kCentre{7400.0, 5150.0};
Viewport openedPicture() { return opened(12000.0f, 9600.0f, kCentre); }

}  // namespace

TEST(ViewportTest, centreFollowsTheWindowSize) {
    const TwipPoint c = viewCentre(1180 * 15.0, 800 * 15.0);
    EXPECT_DOUBLE_EQ(c.x, kCentre.x);
    EXPECT_DOUBLE_EQ(c.y, kCentre.y);
    Viewport v = openedPicture();
    expectRect(v, 1400.0f, 350.0f, 12000.0f, 9600.0f);
    // After a resize the next restore centres on the new point.
    v.showNatural(viewCentre(1400 * 15.0, 900 * 15.0));
    expectRect(v, 3050.0f, 1100.0f, 12000.0f, 9600.0f);
}

TEST(ViewportTest, zoomAboutTheCentreAndRestore) {
    Viewport v = openedPicture();
    ASSERT_TRUE(v.zoomIn(kCentre));
    EXPECT_TRUE(v.stretched());
    expectRect(v, -100.0f, -850.0f, 15000.0f, 12000.0f);  // a quarter of 6000 and 4800
    v.zoomOut(kCentre);
    expectRect(v, 1775.0f, 650.0f, 12000.0f, 9600.0f);  // a quarter of 7500 and 6000: not back at 1400

    // Off the middle of the picture the point under the centre still stays put.
    v.moveBy(-900.0, 300.0);
    const double fx = (kCentre.x - v.rect().left) / v.rect().width;
    const double fy = (kCentre.y - v.rect().top) / v.rect().height;
    ASSERT_TRUE(v.zoomIn(kCentre));
    EXPECT_NEAR((kCentre.x - v.rect().left) / v.rect().width, fx, 1e-6);
    EXPECT_NEAR((kCentre.y - v.rect().top) / v.rect().height, fy, 1e-6);

    // Restore equals a fresh open.
    v.moveBy(333.0, -71.5);
    v.showNatural(kCentre);
    EXPECT_FALSE(v.stretched());
    expectRect(v, 1400.0f, 350.0f, 12000.0f, 9600.0f);
}

TEST(ViewportTest, zoomInStopsAtTheLimitAndZoomOutNever) {
    Viewport wide = opened(196590.0f, 15.0f, {});
    EXPECT_FALSE(wide.zoomIn({}));
    EXPECT_FALSE(wide.stretched());
    EXPECT_FLOAT_EQ(wide.rect().width, 196590.0f);
    Viewport tall = opened(15.0f, 196590.0f, {});
    EXPECT_FALSE(tall.zoomIn({}));
    Viewport below = opened(196575.0f, 196575.0f, {});
    EXPECT_TRUE(below.zoomIn({}));
    EXPECT_FALSE(below.zoomIn({}));

    Viewport small = opened(150.0f, 150.0f, {});
    for (int i = 0; i < 40; ++i) small.zoomOut({});
    EXPECT_GT(small.rect().width, 0.0f);
    EXPECT_LT(small.rect().width, 1.0f);
}
