// SPDX-License-Identifier: BSD-3-Clause
// Where the diffraction image sits in its panel, in twips: open, zoom, restore and drag.
#include "measure/viewport.h"

namespace saed::measure {

TwipPoint viewCentre(double outerWidthTwips, double outerHeightTwips) {
    return {(outerWidthTwips - kViewReserveWidthTwips) / 2.0, (outerHeightTwips - kViewReserveHeightTwips) / 2.0};
}

void Viewport::setNaturalSize(float widthTwips, float heightTwips) {
    m_naturalWidth = widthTwips;
    m_naturalHeight = heightTwips;
}

void Viewport::showNatural(TwipPoint centre) {
    m_stretched = false;
    m_rect.width = m_naturalWidth;
    m_rect.height = m_naturalHeight;
    m_rect.top = static_cast<float>(centre.y - m_rect.height / 2.0);
    m_rect.left = static_cast<float>(centre.x - m_rect.width / 2.0);
}

bool Viewport::zoomIn(TwipPoint centre) {
    // Distances from the image's edges to the centre, taken before resizing; moving by a quarter
    // of them while growing by 1.25 keeps the point under the centre in place.
    const double cx = centre.x - m_rect.left;
    const double cy = centre.y - m_rect.top;
    if (!(m_rect.width < kZoomLimitTwips && m_rect.height < kZoomLimitTwips)) return false;
    m_stretched = true;
    m_rect.width = static_cast<float>(m_rect.width * 1.25);
    m_rect.height = static_cast<float>(m_rect.height * 1.25);
    m_rect.left = static_cast<float>(m_rect.left - cx / 4.0);
    m_rect.top = static_cast<float>(m_rect.top - cy / 4.0);
    return true;
}

void Viewport::zoomOut(TwipPoint centre) {
    // A quarter, not a fifth, of the distance: zoom in then out does not quite return.
    const double cx = centre.x - m_rect.left;
    const double cy = centre.y - m_rect.top;
    m_stretched = true;
    m_rect.width = static_cast<float>(m_rect.width * 0.8);
    m_rect.height = static_cast<float>(m_rect.height * 0.8);
    m_rect.left = static_cast<float>(m_rect.left + cx / 4.0);
    m_rect.top = static_cast<float>(m_rect.top + cy / 4.0);
}

void Viewport::moveBy(double dx, double dy) {
    m_rect.left = static_cast<float>(m_rect.left + dx);
    m_rect.top = static_cast<float>(m_rect.top + dy);
}

}  // namespace saed::measure
