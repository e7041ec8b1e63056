// SPDX-License-Identifier: BSD-3-Clause
// Line lengths and the angles between the three measured spot vectors.
#pragma once

#include <array>
#include <optional>

namespace saed::measure {

// A direction on the image in twips (start minus end of a drawn line).
struct Vector2 {
    double x = 0.0;
    double y = 0.0;
};

// A(p, v): p = 0: angle R1,R2; p = 1: R2,R3; p = 2: R1,R3; v = 0: the angle θ, v = 1: 180 − θ (degrees).
using AngleCandidates = std::array<std::array<double, 2>, 3>;

// Length in screen pixels of a line between two image points given in twips. The twips length is
// rounded to single precision and divided by 15 in single precision, as the screen conversion does;
// the single result is returned widened.
double lengthInPixels(Vector2 start, Vector2 end);

// θ and 180 − θ for the angle between u and w in degrees; none when either vector has zero length or
// the two are parallel or antiparallel (no angle can be told apart from rounding there).
std::optional<std::array<double, 2>> angleCandidates(Vector2 u, Vector2 w);

// Candidates of the three pairs (R1,R2), (R2,R3), (R1,R3); none when any pair has none.
std::optional<AngleCandidates> pairCandidates(Vector2 r1, Vector2 r2, Vector2 r3);

// Picks the orientation in which R3 lies between R1 and R2: every (i, j, k), i outermost, with
// |A(3,k) + A(2,j) − A(1,i)| <= 1 degree matches, and the last match wins. Returns the angles
// <R1,R2>, <R2,R3>, <R1,R3> of that match, or none when nothing matches.
std::optional<std::array<double, 3>> searchOrientation(const AngleCandidates& a);

}  // namespace saed::measure
