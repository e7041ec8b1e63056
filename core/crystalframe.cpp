// SPDX-License-Identifier: BSD-3-Clause
#include "core/crystalframe.h"

#include <algorithm>  // for clamp
#include <cmath>      // for sqrt, cos, sin, acos, isfinite

namespace saed::core {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

}  // namespace

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double norm(const Vec3& a) { return std::sqrt(dot(a, a)); }

std::optional<Vec3> unit(const Vec3& a) {
    const double n = norm(a);
    if (!(n > 0) || !std::isfinite(n)) return std::nullopt;
    return Vec3{a[0] / n, a[1] / n, a[2] / n};
}

Vec3 multiply(const Mat3& m, const Vec3& v) { return {dot(m[0], v), dot(m[1], v), dot(m[2], v)}; }

Mat3 multiply(const Mat3& a, const Mat3& b) {
    Mat3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

Mat3 transpose(const Mat3& m) {
    Mat3 t{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t[i][j] = m[j][i];
    return t;
}

Mat3 identity3() { return {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}; }

Mat3 rotationAbout(const Vec3& axis, double angleDeg) {
    // Rodrigues' formula: R = cos t I + sin t [n]x + (1 - cos t) n n^T.
    const double c = std::cos(angleDeg * kDeg), s = std::sin(angleDeg * kDeg);
    const double x = axis[0], y = axis[1], z = axis[2];
    return {Vec3{c + (1 - c) * x * x, (1 - c) * x * y - s * z, (1 - c) * x * z + s * y},
            Vec3{(1 - c) * y * x + s * z, c + (1 - c) * y * y, (1 - c) * y * z - s * x},
            Vec3{(1 - c) * z * x - s * y, (1 - c) * z * y + s * x, c + (1 - c) * z * z}};
}

std::optional<double> angleBetween(const Vec3& a, const Vec3& b) {
    const double na = norm(a), nb = norm(b);
    if (!(na > 0) || !(nb > 0)) return std::nullopt;
    // atan2 of |a x b| and a . b keeps small angles exact, where acos loses digits.
    return std::atan2(norm(cross(a, b)), dot(a, b)) / kDeg;
}

double rotationAngle(const Mat3& r) {
    const double c = std::clamp((r[0][0] + r[1][1] + r[2][2] - 1.0) / 2.0, -1.0, 1.0);
    return std::acos(c) / kDeg;
}

std::optional<CrystalFrame> CrystalFrame::of(const Cell& cell) {
    if (!isCell(cell)) return std::nullopt;
    const double ca = std::cos(cell.alphaDeg * kDeg), cb = std::cos(cell.betaDeg * kDeg);
    const double cg = std::cos(cell.gammaDeg * kDeg), sg = std::sin(cell.gammaDeg * kDeg);
    // a along x, b in the x-y plane, c completing the cell (Giacovazzo, Fundamentals of
    // Crystallography, ch. 2): the columns of the orthogonalisation matrix.
    const double cx = cell.cNm * cb;
    const double cy = cell.cNm * (ca - cb * cg) / sg;
    const double cz2 = cell.cNm * cell.cNm - cx * cx - cy * cy;
    if (!(cz2 > 0)) return std::nullopt;
    const double cz = std::sqrt(cz2);
    CrystalFrame frame;
    frame.m_direct = {Vec3{cell.aNm, cell.bNm * cg, cx}, Vec3{0, cell.bNm * sg, cy}, Vec3{0, 0, cz}};
    // Reciprocal vectors a* = (b x c) / V and so on, as columns.
    const Vec3 a{cell.aNm, 0, 0}, b{cell.bNm * cg, cell.bNm * sg, 0}, c{cx, cy, cz};
    const double volume = dot(a, cross(b, c));
    const Vec3 as = cross(b, c), bs = cross(c, a), cs = cross(a, b);
    for (int i = 0; i < 3; ++i) {
        frame.m_reciprocal[i][0] = as[i] / volume;
        frame.m_reciprocal[i][1] = bs[i] / volume;
        frame.m_reciprocal[i][2] = cs[i] / volume;
    }
    return frame;
}

Vec3 CrystalFrame::direction(const std::array<double, 3>& uvw) const { return multiply(m_direct, uvw); }

Vec3 CrystalFrame::planeNormal(const std::array<double, 3>& hkl) const { return multiply(m_reciprocal, hkl); }

}  // namespace saed::core
