// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/tolerancescale.h"

#include <cmath>  // for floor, isnan

#include "core/numbertext.h"

namespace saed::indexing {

double roundHalfEven(double x) {
    const double lower = std::floor(x);
    const double fraction = x - lower;
    if (fraction > 0.5) return lower + 1;
    if (fraction < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::string toleranceText(int k, int p) {
    if (isSpacingSlider(k)) return core::formatFixed(p * 0.06 / 100, 4, false);
    return core::formatFixed((p * 4) / 100.0, 1, false);
}

int sliderPosition(int k, double value) {
    const double raw = isSpacingSlider(k) ? value / 0.06 * 100 : value / 4 * 100;
    if (std::isnan(raw)) return 0;
    const double p = roundHalfEven(raw);
    if (p <= 0) return 0;
    if (p >= 100) return 100;
    return static_cast<int>(p);
}

int steppedPosition(int k, int from, int to, double current) {
    if (to == from) return to;
    const int direction = to > from ? 1 : -1;
    int p = to;
    while (p > 0 && p < 100 && core::leadingNumber(toleranceText(k, p)) == current) p += direction;
    return p;
}

}  // namespace saed::indexing
