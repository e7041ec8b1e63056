// SPDX-License-Identifier: BSD-3-Clause
// Arithmetic of the magnifier: which screen rectangle is copied into how large a picture, and when.
#include "measure/magnifier.h"

#include <cmath>  // for floor, nearbyint (rounds halves to even in the default mode)

namespace saed::measure {

namespace {

int intPart(double value) { return static_cast<int>(std::floor(value)); }

// One axis of the fit: grows the source by a pixel and sets the destination to match when the
// scaled source falls short of the area.
void fitAxis(int& source, int& dest, float factor) {
    const int scaled = intPart(static_cast<double>(factor) * source);
    if (scaled > dest) {
        dest = scaled;
    } else if (scaled < dest) {
        source += 1;
        dest = static_cast<int>(std::nearbyint(static_cast<double>(scaled) + factor));
    }
}

}  // namespace

MagnifierCopy magnifierFit(int x, int y, int width, int height, float factor) {
    MagnifierCopy copy;
    const double f = factor;
    copy.sourceLeft = x - intPart(width / 2.0 / f);
    copy.sourceTop = y - intPart(height / 2.0 / f);
    copy.sourceWidth = intPart(width / f);
    copy.sourceHeight = intPart(height / f);
    copy.destWidth = width;
    copy.destHeight = height;
    fitAxis(copy.sourceWidth, copy.destWidth, factor);
    fitAxis(copy.sourceHeight, copy.destHeight, factor);
    return copy;
}

MagnifierClock::Tick MagnifierClock::tick(bool minimized, int x, int y) {
    Tick result;
    if (minimized) return result;
    m_elapsedMs += kIntervalMs;
    if (!(x == m_lastX && y == m_lastY && m_elapsedMs < kRedrawMs)) {
        result.redraw = true;
        result.reassert = m_elapsedMs >= kRedrawMs;
        // Counted from the last redraw, so a still pointer is redrawn on the fifth tick after it.
        m_elapsedMs = 0;
    }
    m_lastX = x;
    m_lastY = y;
    return result;
}

}  // namespace saed::measure
