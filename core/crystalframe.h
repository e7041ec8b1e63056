// SPDX-License-Identifier: BSD-3-Clause
// Cartesian frame of a crystal: lattice directions and plane normals as vectors, rotations.
#pragma once

#include <array>
#include <optional>

#include "core/lattice.h"

namespace saed::core {

using Vec3 = std::array<double, 3>;
// Row-major 3 x 3 matrix: m[row][column].
using Mat3 = std::array<Vec3, 3>;

double dot(const Vec3& a, const Vec3& b);
Vec3 cross(const Vec3& a, const Vec3& b);
double norm(const Vec3& a);
// a / |a|; no value for a zero or non-finite vector.
std::optional<Vec3> unit(const Vec3& a);
Vec3 multiply(const Mat3& m, const Vec3& v);
Mat3 multiply(const Mat3& a, const Mat3& b);
Mat3 transpose(const Mat3& m);
Mat3 identity3();
// Right-handed rotation by angleDeg about the unit vector `axis` (active: it turns vectors).
Mat3 rotationAbout(const Vec3& axis, double angleDeg);
// Angle (degrees, 0 to 180) between two vectors; no value when either is zero.
std::optional<double> angleBetween(const Vec3& a, const Vec3& b);
// The rotation angle (degrees, 0 to 180) of a rotation matrix.
double rotationAngle(const Mat3& r);

// The crystal's Cartesian frame (nm and 1/nm): x along a, y in the a-b plane, z along c*.
// This is the frame in which orientation matrices and Euler angles are stated.
class CrystalFrame {
public:
    // No value when the cell is not a cell.
    static std::optional<CrystalFrame> of(const Cell& cell);

    // The lattice vector u a + v b + w c (nm).
    Vec3 direction(const std::array<double, 3>& uvw) const;
    // The reciprocal vector h a* + k b* + l c* (1/nm), normal to the plane (h k l).
    Vec3 planeNormal(const std::array<double, 3>& hkl) const;

    template <typename Index>
    Vec3 direction(const std::array<Index, 3>& uvw) const {
        return direction(std::array<double, 3>{static_cast<double>(uvw[0]), static_cast<double>(uvw[1]),
                                               static_cast<double>(uvw[2])});
    }
    template <typename Index>
    Vec3 planeNormal(const std::array<Index, 3>& hkl) const {
        return planeNormal(std::array<double, 3>{static_cast<double>(hkl[0]), static_cast<double>(hkl[1]),
                                                 static_cast<double>(hkl[2])});
    }

private:
    Mat3 m_direct{};      // columns: a, b, c
    Mat3 m_reciprocal{};  // columns: a*, b*, c*
};

}  // namespace saed::core
