// SPDX-License-Identifier: BSD-3-Clause
// Arithmetic of the magnifier: which screen rectangle is copied into how large a picture, and when.
#pragma once

namespace saed::measure {

// Picture area of the magnifier in pixels and its four factors ("0.5倍", "1倍", "2倍", "5倍").
inline constexpr int kMagnifierWidthPx = 218;
inline constexpr int kMagnifierClientHeightPx = 213;
inline constexpr int kMagnifierOptionHeightPx = 20;
inline constexpr float kMagnifyFactors[4] = {1.5f, 2.0f, 3.0f, 6.0f};

// A screen rectangle (source, screen pixels) copied scaled into (0, 0, destWidth, destHeight).
struct MagnifierCopy {
    int sourceLeft = 0;
    int sourceTop = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;
    int destWidth = 0;
    int destHeight = 0;
};

// The copy for the pointer at (x, y) with factor f into a picture area of width x height pixels:
// the source is centred on the pointer (not clamped at the screen's edges) and widened by one pixel,
// with the destination grown to match, when the factor does not divide the area evenly.
MagnifierCopy magnifierFit(int x, int y, int width, int height, float factor);

// The timer's bookkeeping: a moved pointer is redrawn at once, a still one every 250 ms, and every
// 250 ms the window is put on top again.
class MagnifierClock {
public:
    static constexpr int kIntervalMs = 50;
    static constexpr int kRedrawMs = 250;

    struct Tick {
        bool redraw = false;    // draw the magnified picture now
        bool reassert = false;  // make the window topmost again (without activating it)
    };
    // One timer tick with the pointer at (x, y); a minimized window does nothing.
    Tick tick(bool minimized, int x, int y);

private:
    int m_elapsedMs = 0;  // RedrawElapsedMs
    int m_lastX = 0;      // LastCursor
    int m_lastY = 0;
};

}  // namespace saed::measure
