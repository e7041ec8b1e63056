// SPDX-License-Identifier: BSD-3-Clause
// The scales of the six tolerance sliders: position 0..100 to tolerance text and back.
#pragma once

#include <string>

namespace saed::indexing {

// Sliders 1..3 carry the spacing tolerances (0 to 0.06 nm), sliders 4..6 the angle tolerances
// (0 to 4 degrees).
inline bool isSpacingSlider(int k) { return k >= 1 && k <= 3; }

// The nearest whole number, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
double roundHalfEven(double x);

// Field text for position p of slider k: p * 0.06 / 100 with four decimals (13 -> "0.0078") for
// a spacing slider, p * 4 / 100 with one decimal (13 -> "0.5") for an angle slider.
std::string toleranceText(int k, int p);

// Slider position for the tolerance `value` (nm or degrees): value / 0.06 * 100 or
// value / 4 * 100, rounded halves to even and pinned to 0..100.
int sliderPosition(int k, double value);

// Where a keyboard or wheel step of slider k, from position `from` towards `to`, comes to rest:
// `to` when its tolerance text reads other than `current` (the field's value), otherwise the
// nearest position beyond it in that direction that does; the end of the scale when none does.
// So that each step changes the tolerance instead of being set back by the field.
int steppedPosition(int k, int from, int to, double current);

}  // namespace saed::indexing
