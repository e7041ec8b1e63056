// SPDX-License-Identifier: BSD-3-Clause
// The stereographic projection of a crystal around the zone on the beam: low-index zone axes
// and the great circles of strong planes, with the tilt to each zone, and its SVG picture.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/crystalframe.h"

namespace saed::calculator {

// A zone axis on the projection. The upper hemisphere is the one towards the viewer (+Z); a
// zone below it is shown by its opposite, whose indices it then carries.
struct StereogramZone {
    core::Uvw uvw{};
    double x = 0, y = 0;   // on the projection: the primitive circle (90 degrees) has radius 1
    double angleDeg = 0;   // from the centre: the tilt that brings this zone onto the beam
    double azimuthDeg = 0; // direction of the zone from the centre in the image, ccw from X, (-180, 180]
};

// A plane's great circle: the zones lying in the plane, as a line through the projection.
struct StereogramCircle {
    core::Hkl hkl{};
    double spacingNm = 0;
    double amplitude = 0;  // |F| of the plane's reflection where the atoms are known; 0 otherwise
    std::vector<std::array<double, 2>> points;  // along the circle, on the upper hemisphere
};

struct Stereogram {
    std::vector<StereogramZone> zones;      // by angle from the centre, then by index sum
    std::vector<StereogramCircle> circles;  // strongest first: by |F| where known, else by spacing
};

struct StereogramRequest {
    int maxIndex = 3;       // zones [u v w] with |u|, |v|, |w| <= maxIndex, smallest indices only
    // Which of those zones to show (such as those of small four-index form); all when empty.
    std::function<bool(const core::Uvw&)> zoneAdmitted;
    // Zones shown whatever their indices: the zone on the beam, for one.
    std::vector<core::Uvw> alwaysShown;
    double maxAngleDeg = 90;  // zones this far from the centre at most
    // Great circles of the strongest planes, this many forms of them: by |F| where `amplitude`
    // knows the atoms, otherwise the planes of the largest spacings.
    int planeForms = 3;
    int planeRange = 3;     // planes searched with indices up to this
    // Which planes reflect; all when empty.
    std::function<bool(const core::Hkl&)> allowed;
    // |F| of a plane's reflection; no value (or no function) when the atoms are not known.
    std::function<std::optional<double>(const core::Hkl&)> amplitude;
};

// The projection of the crystal in orientation `u` (crystal to sample, see orientationOf).
Stereogram stereogram(const core::CrystalFrame& frame, const core::Mat3& u, const StereogramRequest& request);

// The zone nearest to the point (x, y) of the projection (a click), within `reach` (in units of
// the primitive circle's radius); none when no zone is that close.
const StereogramZone* zoneAt(const Stereogram& projection, double x, double y, double reach = 0.05);

// Labels of zones and planes, in three or four indices as the user chose.
struct StereogramLabels {
    std::function<std::string(const core::Uvw&)> zone;
    std::function<std::string(const core::Hkl&)> plane;
};

// The projection as a complete SVG document (UTF-8): the primitive circle, the great circles,
// the zones as dots with their labels, the centre's zone marked; +X right, +Y up.
std::string stereogramSvg(const Stereogram& projection, const StereogramLabels& labels, int sizePx = 600);

}  // namespace saed::calculator
