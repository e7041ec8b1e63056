// SPDX-License-Identifier: BSD-3-Clause
#include "analysis/imagepipeline.h"

#include <algorithm>  // for min, partial_sort
#include <array>
#include <cmath>      // for floor, isfinite, isnan
#include <limits>
#include <map>

#include "simulation/rowmatch.h"

namespace saed::analysis {

std::vector<PixelPoint> toPixelPoints(std::span<const measure::Spot> spots) {
    std::vector<PixelPoint> points;
    points.reserve(spots.size());
    for (const measure::Spot& s : spots) points.push_back(s.centre());
    return points;
}

std::vector<PixelPoint> detectedSpots(const core::Raster& raster) {
    return toPixelPoints(measure::detectSpots(raster));
}

std::optional<int> segmentCount(double n) {
    if (!(n >= 1 && n <= kMaxSegments) || n != std::floor(n)) return std::nullopt;
    return static_cast<int>(n);
}

std::optional<ImageFrame> imageFrame(PixelPoint centre, PixelPoint r1End, double r1Segments, PixelPoint r2End,
                                     double r2Segments, int widthPx, int heightPx) {
    const std::optional<int> n1 = segmentCount(r1Segments), n2 = segmentCount(r2Segments);
    if (!n1 || !n2) return std::nullopt;
    ImageFrame frame;
    frame.centre = centre;
    frame.r1End = r1End;
    frame.r1Segments = *n1;
    frame.r2End = r2End;
    frame.r2Segments = *n2;
    frame.widthPx = widthPx;
    frame.heightPx = heightPx;
    return frame;
}

ImageFrame imageFrame(const measure::AutoPattern& pattern, int widthPx, int heightPx) {
    const measure::LatticeVectors& v = pattern.vectors;
    ImageFrame frame;
    frame.centre = {v.centre.x, v.centre.y};
    frame.r1End = {v.centre.x + v.r1.x, v.centre.y + v.r1.y};
    frame.r2End = {v.centre.x + v.r2.x, v.centre.y + v.r2.y};
    frame.widthPx = widthPx;
    frame.heightPx = heightPx;
    return frame;
}

RunMatch matchRun(const core::Cell& cell, const simulation::ExtinctionRule& allowed, std::size_t groups,
                  const RowOfGroup& rowOfGroup, std::span<const double> misfits,
                  const indexing::FamilyGrouping& families, const ImageFrame& frame,
                  const std::vector<PixelPoint>& detected) {
    if (groups == 0) return matchLeadingRows(cell, allowed, 0, {}, families.families, frame, detected);
    // The groups to match, in order: each family's representative, then the least misfits.
    std::vector<std::size_t> order;
    for (const indexing::SolutionFamily& f : families.families)
        if (f.representative < groups) order.push_back(f.representative);
    std::vector<std::size_t> byMisfit(groups);
    for (std::size_t g = 0; g < groups; ++g) byMisfit[g] = g;
    const auto misfitKey = [&misfits](std::size_t g) {
        const double m = g < misfits.size() ? misfits[g] : std::numeric_limits<double>::quiet_NaN();
        return std::isnan(m) ? std::numeric_limits<double>::infinity() : m;
    };
    const auto head = byMisfit.begin() + static_cast<std::ptrdiff_t>(std::min(groups, 2 * kMatchedPairs));
    std::partial_sort(byMisfit.begin(), head, byMisfit.end(), [&misfitKey](std::size_t x, std::size_t y) {
        const double mx = misfitKey(x), my = misfitKey(y);
        return mx < my || (mx == my && x < y);
    });
    order.insert(order.end(), byMisfit.begin(), head);
    std::vector<LeadingRow> leading;
    for (std::size_t g : order)
        if (const std::optional<indexing::ResultRow> row = rowOfGroup(g)) leading.emplace_back(g, *row);
    return matchLeadingRows(cell, allowed, groups, leading, families.families, frame, detected);
}

RunMatch matchLeadingRows(const core::Cell& cell, const simulation::ExtinctionRule& allowed, std::size_t groups,
                          std::span<const LeadingRow> leading, std::span<const indexing::SolutionFamily> families,
                          const ImageFrame& frame, const std::vector<PixelPoint>& detected) {
    RunMatch result;
    result.familyMatch.assign(families.size(), std::nullopt);
    result.rowMatch.assign(groups, std::numeric_limits<float>::quiet_NaN());
    if (groups == 0) return result;
    std::map<std::size_t, const indexing::ResultRow*> rowOf;
    for (const LeadingRow& l : leading) rowOf.emplace(l.first, &l.second);

    // Each distinct (g1, g2) is simulated once.
    std::map<std::array<int, 6>, std::optional<double>> done;
    const auto scoreOf = [&](std::size_t g) -> std::optional<double> {
        const auto row = rowOf.find(g);
        if (row == rowOf.end()) return std::nullopt;
        const indexing::ResultRow& r = *row->second;
        const std::array<int, 6> key{r.g1[0], r.g1[1], r.g1[2], r.g2[0], r.g2[1], r.g2[2]};
        auto found = done.find(key);
        if (found == done.end()) {
            if (done.size() >= kMatchedPairs) return std::nullopt;
            const std::optional<simulation::SpotMatch> m = simulation::matchRow(cell, allowed, r.g1, r.g2, frame, detected);
            found = done.emplace(key, m ? std::optional<double>(m->score()) : std::nullopt).first;
        }
        return found->second;
    };
    for (const LeadingRow& l : leading)
        if (l.first < groups)
            if (const std::optional<double> score = scoreOf(l.first)) result.rowMatch[l.first] = static_cast<float>(*score);
    // A representative was matched first or not at all: asking again reads what it got.
    for (const indexing::SolutionFamily& f : families)
        if (f.id >= 1 && static_cast<std::size_t>(f.id) <= result.familyMatch.size() && f.representative < groups)
            result.familyMatch[static_cast<std::size_t>(f.id - 1)] = scoreOf(f.representative);
    return result;
}

}  // namespace saed::analysis
