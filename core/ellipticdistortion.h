// SPDX-License-Identifier: BSD-3-Clause
// The elliptical distortion of a diffraction pattern by the projector lenses: a circle of the
// pattern is recorded as an ellipse. Removing it is a linear map of vectors from the centre.
#pragma once

#include <cmath>  // for cos, sin, sqrt

namespace saed::core {

// An ellipse with semi-axes a >= b is recorded for every true circle; `ratio` = a / b (1: none)
// and the major axis at `angleDeg` from the image's +x axis towards +y (image y runs down),
// 0 <= angle < 180. The correction keeps areas: the ellipse becomes a circle of radius
// sqrt(a b), so a camera constant found on corrected radii holds in every direction.
struct EllipticDistortion {
    double ratio = 1.0;
    double angleDeg = 0.0;

    bool none() const { return ratio == 1.0; }
    bool operator==(const EllipticDistortion&) const = default;

    // Removes the distortion from a vector (dx, dy) measured from the pattern's centre, in
    // place: along the major axis lengths shrink by sqrt(ratio), across it they grow by it.
    void correct(double& dx, double& dy) const { apply(dx, dy, 1.0 / std::sqrt(ratio)); }
    // Puts the distortion on a true vector: the inverse of correct().
    void distort(double& dx, double& dy) const { apply(dx, dy, std::sqrt(ratio)); }

private:
    void apply(double& dx, double& dy, double alongMajor) const {
        const double t = angleDeg * 3.14159265358979323846 / 180.0;
        const double c = std::cos(t), s = std::sin(t);
        const double u = c * dx + s * dy;    // along the major axis
        const double v = -s * dx + c * dy;   // across it
        const double u2 = u * alongMajor, v2 = v / alongMajor;
        dx = c * u2 - s * v2;
        dy = s * u2 + c * v2;
    }
};

}  // namespace saed::core
