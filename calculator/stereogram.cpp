// SPDX-License-Identifier: BSD-3-Clause
#include "calculator/stereogram.h"

#include <algorithm>  // for sort, stable_sort, clamp
#include <cmath>      // for atan2, acos, sqrt, fabs, cos, sin
#include <cstdio>     // for snprintf
#include <cstdlib>    // for llabs, abs
#include <numeric>    // for gcd

namespace saed::calculator {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

std::array<double, 2> project(const core::Vec3& v) { return {v[0] / (1.0 + v[2]), v[1] / (1.0 + v[2])}; }

// A number for SVG: "." as decimal point whatever the locale, two decimals.
std::string num(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    std::string text = buffer;
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

}  // namespace

Stereogram stereogram(const core::CrystalFrame& frame, const core::Mat3& u, const StereogramRequest& request) {
    Stereogram result;
    const int n = std::clamp(request.maxIndex, 1, 12);
    std::vector<core::Uvw> candidates;
    for (int a = -n; a <= n; ++a)
        for (int b = -n; b <= n; ++b)
            for (int c = -n; c <= n; ++c) {
                if (std::gcd(std::gcd(a, b), c) != 1) continue;
                if (request.zoneAdmitted && !request.zoneAdmitted(core::Uvw{a, b, c})) continue;
                candidates.push_back({a, b, c});
            }
    for (const core::Uvw& extra : request.alwaysShown) {
        for (const core::Uvw& v : {extra, core::Uvw{-extra[0], -extra[1], -extra[2]}})
            if (std::find(candidates.begin(), candidates.end(), v) == candidates.end()) candidates.push_back(v);
    }
    for (const core::Uvw& uvw : candidates) {
        const auto lab = core::unit(core::multiply(u, frame.direction(uvw)));
        if (!lab) continue;
        // Each line once: the end towards the viewer; on the equator both ends show.
        if ((*lab)[2] < -1e-12) continue;
        StereogramZone zone;
        zone.uvw = uvw;
        zone.angleDeg = std::acos(std::clamp((*lab)[2], -1.0, 1.0)) / kDeg;
        if (zone.angleDeg > request.maxAngleDeg + 1e-9) continue;
        const auto p = project(*lab);
        zone.x = p[0];
        zone.y = p[1];
        zone.azimuthDeg = zone.angleDeg < 1e-9 ? 0.0 : std::atan2((*lab)[1], (*lab)[0]) / kDeg;
        if (zone.azimuthDeg <= -180.0 + 1e-9) zone.azimuthDeg = 180.0;  // (-180, 180]
        result.zones.push_back(zone);
    }
    const auto indexSum = [](const core::Uvw& v) { return std::llabs(v[0]) + std::llabs(v[1]) + std::llabs(v[2]); };
    std::stable_sort(result.zones.begin(), result.zones.end(), [&](const StereogramZone& x, const StereogramZone& y) {
        if (std::fabs(x.angleDeg - y.angleDeg) > 1e-9) return x.angleDeg < y.angleDeg;
        return indexSum(x.uvw) < indexSum(y.uvw);
    });

    // The strong planes, each once (not its opposite): by |F| where the atoms are known, a form
    // being the planes of one |F| and spacing; otherwise those of the largest spacings. Planes
    // the atoms extinguish are left out by `allowed`.
    struct Plane {
        core::Hkl hkl;
        double spacing;
        double amplitude;
    };
    bool byAmplitude = false;
    std::vector<Plane> planes;
    const int range = std::clamp(request.planeRange, 1, 8);
    for (int h = -range; h <= range; ++h)
        for (int k = -range; k <= range; ++k)
            for (int l = -range; l <= range; ++l) {
                const core::Hkl hkl{h, k, l};
                if (h == 0 && k == 0 && l == 0) continue;
                // One of each pair: the first non-zero index positive.
                const int first = h != 0 ? h : (k != 0 ? k : l);
                if (first < 0) continue;
                if (request.allowed && !request.allowed(hkl)) continue;
                const double length = core::norm(frame.planeNormal(hkl));
                if (!(length > 0)) continue;
                const std::optional<double> f = request.amplitude ? request.amplitude(hkl) : std::nullopt;
                byAmplitude = byAmplitude || f.has_value();
                planes.push_back({hkl, 1.0 / length, f.value_or(0.0)});
            }
    const auto sameSpacing = [](double x, double y) { return std::fabs(x - y) <= 1e-9 * std::max(x, y); };
    const auto sameAmplitude = [](double x, double y) { return std::fabs(x - y) <= 1e-6 * std::max(x, y); };
    std::stable_sort(planes.begin(), planes.end(), [&](const Plane& x, const Plane& y) {
        if (byAmplitude && !sameAmplitude(x.amplitude, y.amplitude)) return x.amplitude > y.amplitude;
        if (!sameSpacing(x.spacing, y.spacing)) return x.spacing > y.spacing;
        return false;
    });
    int forms = 0;
    const Plane* last = nullptr;
    for (const Plane& plane : planes) {
        if (last == nullptr || !sameSpacing(plane.spacing, last->spacing) ||
            (byAmplitude && !sameAmplitude(plane.amplitude, last->amplitude))) {
            if (++forms > request.planeForms) break;
            last = &plane;
        }
        const auto normal = core::unit(core::multiply(u, frame.planeNormal(plane.hkl)));
        if (!normal) continue;
        StereogramCircle circle{plane.hkl, plane.spacing, plane.amplitude, {}};
        // The circle's upper half runs from one equator crossing e1 over the top to -e1.
        const core::Vec3 z{0, 0, 1};
        auto e1 = core::unit(core::cross(*normal, z));
        if (!e1) e1 = core::Vec3{1, 0, 0};  // the plane is the image plane: the primitive circle
        core::Vec3 e2 = core::cross(*normal, *e1);
        if (e2[2] < 0) e2 = {-e2[0], -e2[1], -e2[2]};
        const bool primitive = std::fabs((*normal)[2]) > 1 - 1e-12;
        const int steps = primitive ? 360 : 180;
        for (int i = 0; i <= steps; ++i) {
            const double t = i * kPi / 180.0;
            core::Vec3 v{};
            for (int j = 0; j < 3; ++j) v[j] = std::cos(t) * (*e1)[j] + std::sin(t) * e2[j];
            if (v[2] < 0) v[2] = 0;
            circle.points.push_back(project(v));
        }
        result.circles.push_back(std::move(circle));
    }
    return result;
}

const StereogramZone* zoneAt(const Stereogram& projection, double x, double y, double reach) {
    const StereogramZone* nearest = nullptr;
    double best = reach * reach;
    for (const StereogramZone& zone : projection.zones) {
        const double d2 = (zone.x - x) * (zone.x - x) + (zone.y - y) * (zone.y - y);
        if (d2 <= best) {
            // Among zones at one spot (none, with smallest indices) the first, lowest-index, wins.
            if (nearest && d2 == best) continue;
            best = d2;
            nearest = &zone;
        }
    }
    return nearest;
}

std::string stereogramSvg(const Stereogram& projection, const StereogramLabels& labels, int sizePx) {
    const double size = sizePx, centre = size / 2, radius = size * 0.42;
    const auto sx = [&](double x) { return num(centre + radius * x); };
    const auto sy = [&](double y) { return num(centre - radius * y); };
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(size) + "\" height=\"" + num(size) +
           "\" viewBox=\"0 0 " + num(size) + " " + num(size) + "\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += "<circle cx=\"" + num(centre) + "\" cy=\"" + num(centre) + "\" r=\"" + num(radius) +
           "\" fill=\"none\" stroke=\"black\" stroke-width=\"1.5\"/>\n";
    for (const StereogramCircle& circle : projection.circles) {
        svg += "<polyline fill=\"none\" stroke=\"#3070c0\" stroke-width=\"1\" points=\"";
        for (const auto& p : circle.points) svg += sx(p[0]) + "," + sy(p[1]) + " ";
        svg += "\"/>\n";
        // The plane's label beside the middle of its circle.
        const auto& mid = circle.points[circle.points.size() / 2];
        if (labels.plane)
            svg += "<text x=\"" + sx(mid[0]) + "\" y=\"" + sy(mid[1]) +
                   "\" font-family=\"sans-serif\" font-size=\"10\" fill=\"#3070c0\">(" + escaped(labels.plane(circle.hkl)) +
                   ")</text>\n";
    }
    for (const StereogramZone& zone : projection.zones) {
        const bool centreZone = zone.angleDeg < 1e-6;
        svg += "<circle cx=\"" + sx(zone.x) + "\" cy=\"" + sy(zone.y) + "\" r=\"" + (centreZone ? "5" : "3") +
               "\" fill=\"" + (centreZone ? "#c03030" : "black") + "\"/>\n";
        if (labels.zone)
            svg += "<text x=\"" + num(centre + radius * zone.x + 5) + "\" y=\"" + num(centre - radius * zone.y - 4) +
                   "\" font-family=\"sans-serif\" font-size=\"11\">[" + escaped(labels.zone(zone.uvw)) + "]</text>\n";
    }
    svg += "</svg>\n";
    return svg;
}

}  // namespace saed::calculator
