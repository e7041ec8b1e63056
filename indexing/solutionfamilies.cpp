// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/solutionfamilies.h"

#include <algorithm>  // for find, max, sort
#include <cassert>
#include <cmath>  // for sqrt, isfinite, isnan
#include <limits>
#include <map>
#include <utility>  // for pair

namespace saed::indexing {

namespace {

// ((computed - measured) / tolerance)^2, with the conventions of misfit().
double weightedSquare(double computed, double measured, double tolerance) {
    if (!std::isfinite(measured) || !std::isfinite(computed))
        return std::numeric_limits<double>::infinity();
    const double deviation = computed - measured;
    if (!(tolerance > 0)) return deviation == 0 ? 0.0 : std::numeric_limits<double>::infinity();
    const double x = deviation / tolerance;
    return x * x;
}

}  // namespace

core::Uvw zoneOf(const ResultRow& row) { return core::ZoneAxis(row.g1, row.g2); }

double misfit(const ResultRow& row, const MeasuredPattern& measured, const Tolerances& tolerances) {
    double sum = 0;
    for (std::size_t n = 0; n < 3; ++n) {
        sum += weightedSquare(row.spacingNm[n], measured.spacingNm[n], tolerances.spacingNm[n]);
        sum += weightedSquare(row.angleDeg[n], measured.angleDeg[n], tolerances.angleDeg[n]);
    }
    return std::sqrt(sum / 6.0);
}

std::vector<core::LatticeOp> familySymmetry(const IndexingInput& input) {
    const std::vector<core::LatticeOp> lattice = core::holohedry(input.cell);
    if (input.latticeType != core::LatticeType::SpaceGroup || !input.rule) {
        const core::LatticeType type = input.latticeType;
        return core::keepingReflections(lattice, [type](const core::Hkl& p) {
            return core::ReflectionCondition(type, p[0], p[1], p[2]);
        });
    }
    const core::ReflectionRule& rule = *input.rule;
    const std::vector<core::LatticeOp> rotations = rule.pointOperations();
    if (rotations.empty())
        return core::keepingReflections(lattice, [&rule](const core::Hkl& p) { return rule.admits(p); });
    // Only the operations the cell keeps as well: a cell typed against its group's conditions
    // makes no plane equivalent to one of another spacing.
    const std::vector<core::LatticeOp> laue = core::withInversion(rotations);
    std::vector<core::LatticeOp> kept;
    for (const core::LatticeOp& op : lattice)
        if (std::find(laue.begin(), laue.end(), op) != laue.end()) kept.push_back(op);
    return kept;
}

FamilyGrouping groupFamilies(std::span<const ResultRow> rows, std::span<const double> misfits,
                             const std::vector<core::LatticeOp>& ops) {
    assert(misfits.size() == rows.size());
    const std::vector<core::LatticeOp> group = core::withInversion(ops);

    FamilyGrouping out;
    out.familyOfRow.reserve(rows.size());
    // The key of a row: the largest image of (g1, g2) over the group; g3 = g1 + g2 follows.
    std::map<std::pair<core::Hkl, core::Hkl>, int> idOfKey;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ResultRow& row = rows[r];
        std::pair<core::Hkl, core::Hkl> key{row.g1, row.g2};
        for (const core::LatticeOp& op : group)
            key =
                std::max(key, {core::applyToIndices(op, row.g1), core::applyToIndices(op, row.g2)});
        const auto [it, isNew] =
            idOfKey.try_emplace(key, static_cast<int>(out.families.size()) + 1);
        if (isNew) {
            SolutionFamily family;
            family.id = it->second;
            family.representative = r;
            family.zone = core::axisFamilyRepresentative(group, zoneOf(row));
            family.forms = {core::formRepresentative(group, row.g1),
                            core::formRepresentative(group, row.g2),
                            core::formRepresentative(group, row.g3)};
            family.misfit = misfits[r];
            out.families.push_back(family);
        }
        SolutionFamily& family = out.families[static_cast<std::size_t>(it->second - 1)];
        ++family.rowCount;
        // Strictly less keeps the first of equal rows; NaN never replaces a number.
        if (misfits[r] < family.misfit || (std::isnan(family.misfit) && !std::isnan(misfits[r]))) {
            family.misfit = misfits[r];
            family.representative = r;
        }
        out.familyOfRow.push_back(it->second);
    }
    std::stable_sort(out.families.begin(), out.families.end(),
                     [](const SolutionFamily& a, const SolutionFamily& b) {
                         // NaN last; otherwise by misfit, and the stable sort keeps id order.
                         if (std::isnan(a.misfit) || std::isnan(b.misfit))
                             return !std::isnan(a.misfit) && std::isnan(b.misfit);
                         return a.misfit < b.misfit;
                     });
    return out;
}

}  // namespace saed::indexing
