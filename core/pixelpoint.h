// SPDX-License-Identifier: BSD-3-Clause
// A point on an image in pixels: x to the right, y downwards, (0, 0) the centre of the top-left
// pixel. The one type of image positions, for spots, the direct beam and the measured lines.
#pragma once

namespace saed::core {

struct PixelPoint {
    double x = 0.0;
    double y = 0.0;
};

}  // namespace saed::core
