// SPDX-License-Identifier: BSD-3-Clause
#include "analysis/ringreading.h"

#include <algorithm>     // for min_element
#include <charconv>      // for to_chars
#include <cmath>         // for abs, floor, log10, pow
#include <system_error>  // for errc

#include "core/numbertext.h"

namespace saed::analysis {

namespace {

// A number as QString::number(v, 'g', digits) and (v, 'f', decimals) write it, "." whatever the
// locale: printf would write the locale's decimal comma into the CSV's comma-separated columns.
std::string general(double v, int digits) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, digits);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string();
}

std::string fixed(double v, int decimals) {
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string();
}

}  // namespace

std::string ringFigure(double value, int decimals) { return core::formatFixed(value, decimals, false); }

std::string ringUncertainty(double sigma, int decimals) {
    const double unit = std::pow(10.0, -decimals);
    if (std::isfinite(sigma) && sigma > 0 && sigma < unit / 2) return "< " + core::formatFixed(unit, decimals, false);
    return core::formatFixed(sigma, decimals, false);
}

int significantDecimals(double value, int significant) {
    if (!std::isfinite(value) || value == 0) return significant - 1;
    return std::max(0, significant - 1 - static_cast<int>(std::floor(std::log10(std::abs(value)))));
}

RingReading readRings(const RingPattern& p, std::span<const library::CrystalPhase> phases,
                      std::optional<double> perPixel, double relativeSigma) {
    RingReading r;
    r.perPixel = perPixel;
    r.ranking = rankRingPhases(p, phases, perPixel, relativeSigma);
    r.labels.assign(p.rings.size(), std::nullopt);
    const auto constantOf = [&](const PhaseFit& fit) { return perPixel ? *perPixel * fit.scale : fit.scale; };
    const auto linesOf = [&](const PhaseFit& fit) { return linesForPattern(phases[fit.phase], p, constantOf(fit), 0.0); };
    r.ranked = !r.ranking.ranked.empty() && r.ranking.ranked.front().matched > 0;
    std::vector<PowderLine> secondLines;
    if (r.ranked) {
        r.firstPerPixel = constantOf(r.ranking.ranked.front());
        r.firstLines = linesOf(r.ranking.ranked.front());
    }
    if (r.ranking.second) secondLines = linesOf(*r.ranking.second);
    const auto labelFrom = [&](const PhaseFit& fit, const std::vector<PowderLine>& lines) {
        // The matches were made on the ranking's own lists; the same phase and camera constant
        // give the same lines, found again by |g|.
        const double k = constantOf(fit);
        for (std::size_t i = 0; i < p.rings.size(); ++i) {
            if (r.labels[i] || fit.rings[i].line < 0) continue;
            const double g = k * p.rings[i].radiusPx;
            const auto it = std::min_element(lines.begin(), lines.end(), [&](const auto& a, const auto& b) {
                return std::abs(a.gInvNm - g) < std::abs(b.gInvNm - g);
            });
            if (it == lines.end()) continue;
            r.labels[i] = RingLabel{phases[fit.phase].name, lineLabel(*it), it->dNm};
        }
    };
    if (r.ranked) labelFrom(r.ranking.ranked.front(), r.firstLines);
    if (r.ranking.second) labelFrom(*r.ranking.second, secondLines);
    return r;
}

RingPlotInput ringPlotInput(const RingPattern& p, std::optional<double> perPixel, const std::vector<PowderLine>* lines,
                            bool logarithmic, const std::string& xTitlePixels, const std::string& yTitle) {
    RingPlotInput in;
    const double scale = perPixel.value_or(1.0);
    for (const auto& b : p.profile) {
        if (b.radiusPx < p.innerRadiusPx) continue;
        in.gInvNm.push_back(b.radiusPx * scale);
        in.intensity.push_back(b.mean);
        in.background.push_back(b.background);
    }
    if (!perPixel) in.xTitle = xTitlePixels;
    in.yTitle = yTitle;
    in.logarithmic = logarithmic;
    if (lines && perPixel)
        for (const auto& l : *lines)
            if (l.intensity >= 1.0) in.markers.push_back({l.gInvNm, lineLabel(l)});
    return in;
}

std::string ringProfileCsv(const RingPattern& p, std::optional<double> perPixel) {
    std::string out = "radius_px,g_inv_nm,mean,background,pixels\r\n";
    for (const auto& b : p.profile) {
        if (b.pixels == 0) continue;
        out += fixed(b.radiusPx, 2) + ',' + (perPixel ? general(*perPixel * b.radiusPx, 8) : std::string()) + ',' +
               general(b.mean, 8) + ',' + general(b.background, 8) + ',' + std::to_string(b.pixels) + "\r\n";
    }
    return out;
}

}  // namespace saed::analysis
