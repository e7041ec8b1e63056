// SPDX-License-Identifier: BSD-3-Clause
// Where the diffraction image sits in its panel, in twips: open, zoom, restore and drag.
#pragma once

namespace saed::measure {

// Screen reference: 15 twips per pixel (96 dots per inch).
inline constexpr float kTwipsPerPixel = 15.0f;
// Whole screen pixels of a length in twips (rounded down); every window lays out with this one.
inline constexpr int pixelsFromTwips(int twips) { return twips / static_cast<int>(kTwipsPerPixel); }
// Zoom in stops once the shown width or height reaches this many twips (13106 pixels).
inline constexpr double kZoomLimitTwips = 196590.0;
// Parts of the main window's outer size that lie outside the image area.
inline constexpr double kViewReserveWidthTwips = 2900.0;
inline constexpr double kViewReserveHeightTwips = 1700.0;

struct TwipPoint {
    double x = 0.0;
    double y = 0.0;
};

// The image rectangle in panel coordinates (twips); positions and sizes are single precision.
struct ImageRect {
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// The fixed point that zooms keep still: half the main window's outer size after the reserves.
TwipPoint viewCentre(double outerWidthTwips, double outerHeightTwips);

class Viewport {
public:
    // The picture's natural size in twips (pixels times 15).
    void setNaturalSize(float widthTwips, float heightTwips);
    float naturalWidth() const { return m_naturalWidth; }
    float naturalHeight() const { return m_naturalHeight; }

    // Natural size, centred on `centre` (top first, then left): what Open and Restore show.
    void showNatural(TwipPoint centre);
    // Grows by 1.25 about `centre` unless the width or height has reached the limit; false then.
    bool zoomIn(TwipPoint centre);
    // Shrinks by 0.8, moving by a quarter of the distance to `centre`; there is no lower limit.
    void zoomOut(TwipPoint centre);
    // Moves the image by (dx, dy) twips.
    void moveBy(double dx, double dy);

    const ImageRect& rect() const { return m_rect; }
    // False: the picture is shown at its natural size; true: scaled to the rectangle.
    bool stretched() const { return m_stretched; }

private:
    float m_naturalWidth = 0.0f;
    float m_naturalHeight = 0.0f;
    ImageRect m_rect;
    bool m_stretched = false;
};

}  // namespace saed::measure
