// SPDX-License-Identifier: BSD-3-Clause
#include "calculator/orientation.h"

#include <cmath>  // for sin, cos, atan2, asin, fmod, fabs, sqrt

namespace saed::calculator {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// An angle in [0, 360); rounding noise around 0 and 360 is 0.
double wrap360(double deg) {
    double w = std::fmod(deg, 360.0);
    if (w < 0) w += 360.0;
    return w < 1e-9 || w > 360.0 - 1e-9 ? 0.0 : w;
}

}  // namespace

std::optional<core::Mat3> orientationOf(const core::CrystalFrame& frame, const PatternOnImage& pattern) {
    const core::Vec3 n1 = frame.planeNormal(pattern.g1);
    const core::Vec3 n2 = frame.planeNormal(pattern.g2);
    const auto g = core::unit(n1);
    const auto zone = core::unit(core::cross(n1, n2));
    const double side = std::sin((pattern.r2Deg - pattern.r1Deg) * kDeg);
    if (!g || !zone || std::fabs(side) < 1e-9) return std::nullopt;
    // With R2 clockwise from R1 the crystal is seen from the other side: -[u v w] looks at the
    // viewer.
    const double s = side > 0 ? 1.0 : -1.0;
    const core::Vec3 z{s * (*zone)[0], s * (*zone)[1], s * (*zone)[2]};
    const core::Vec3 across = core::cross(z, *g);  // g turned by +90 degrees about Z
    const double c = std::cos(pattern.r1Deg * kDeg), sn = std::sin(pattern.r1Deg * kDeg);
    core::Mat3 u{};
    for (int i = 0; i < 3; ++i) {
        u[0][i] = c * (*g)[i] - sn * across[i];  // the image's X in crystal coordinates
        u[1][i] = sn * (*g)[i] + c * across[i];  // the image's Y
        u[2][i] = z[i];
    }
    return u;
}

std::array<double, 3> bungeEuler(const core::Mat3& u) {
    const core::Mat3 g = core::transpose(u);
    const double cosPhi = std::fmax(-1.0, std::fmin(1.0, g[2][2]));
    const double Phi = std::acos(cosPhi) / kDeg;
    const double sinPhi = std::sqrt(std::fmax(0.0, 1.0 - cosPhi * cosPhi));
    double phi1 = 0, phi2 = 0;
    if (sinPhi > 1e-9) {
        // g31 = sin phi1 sin Phi, g32 = -cos phi1 sin Phi, g13 = sin phi2 sin Phi,
        // g23 = cos phi2 sin Phi (Bunge, Texture Analysis in Materials Science, eq. 2.3).
        phi1 = std::atan2(g[2][0], -g[2][1]) / kDeg;
        phi2 = std::atan2(g[0][2], g[1][2]) / kDeg;
    } else {
        // Phi = 0 (or 180): only phi1 + phi2 (or phi1 - phi2) is defined; phi2 = 0.
        phi1 = std::atan2(g[0][1], g[0][0]) / kDeg;
    }
    return {wrap360(phi1), Phi, wrap360(phi2)};
}

core::Mat3 holderRotation(double alphaDeg, double betaDeg, double axisDeg) {
    const core::Vec3 alphaAxis{std::cos(axisDeg * kDeg), std::sin(axisDeg * kDeg), 0};
    const core::Vec3 betaAxis{-std::sin(axisDeg * kDeg), std::cos(axisDeg * kDeg), 0};
    // Beta's axis turns with alpha: R(R_a b, beta) R_a = R_a R(b, beta).
    return core::multiply(core::rotationAbout(alphaAxis, alphaDeg), core::rotationAbout(betaAxis, betaDeg));
}

std::optional<std::array<double, 2>> holderReadingsFor(const core::Vec3& towards, double alpha0Deg, double beta0Deg,
                                                       double axisDeg) {
    const auto d = core::unit(towards);
    if (!d) return std::nullopt;
    // The direction with the holder at zero, in the holder's axes (alpha axis, beta axis, Z).
    const core::Vec3 atZero = core::multiply(core::transpose(holderRotation(alpha0Deg, beta0Deg, axisDeg)), *d);
    const double ca = std::cos(axisDeg * kDeg), sa = std::sin(axisDeg * kDeg);
    const double p = ca * atZero[0] + sa * atZero[1];
    const double q = -sa * atZero[0] + ca * atZero[1];
    const double r = atZero[2];
    // R_a(alpha) R_b(beta) (p, q, r) = Z, that is R_b(beta) (p, q, r) = R_a(-alpha) Z =
    // (0, sin alpha, cos alpha): sin alpha = q, and beta turns (p, r) onto the positive Z.
    const double alpha = std::asin(std::fmax(-1.0, std::fmin(1.0, q))) / kDeg;
    const double beta = std::atan2(-p, r) / kDeg;
    return std::array<double, 2>{alpha, beta};
}

double tiltBetweenReadings(double alpha1Deg, double beta1Deg, double alpha2Deg, double beta2Deg) {
    const core::Vec3 beam{0, 0, 1};
    // The beam's direction in the specimen at each reading; the holder's axis in the image does
    // not change the angle between them.
    const core::Vec3 b1 = core::multiply(core::transpose(holderRotation(alpha1Deg, beta1Deg, 0)), beam);
    const core::Vec3 b2 = core::multiply(core::transpose(holderRotation(alpha2Deg, beta2Deg, 0)), beam);
    return core::angleBetween(b1, b2).value_or(0.0);
}

}  // namespace saed::calculator
