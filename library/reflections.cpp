// SPDX-License-Identifier: BSD-3-Clause
#include "library/reflections.h"

#include <algorithm>  // for stable_sort

#include "library/spacegroup.h"

namespace saed::library {

std::vector<Reflection> reflections(const core::Cell& cell, const core::ReflectionRule& rule,
                                    int range) {
    std::vector<Reflection> out;
    if (range < 0 || !core::isCell(cell)) return out;
    const core::SquareMatrix gs = core::ReciprocalMetric(cell);
    const core::ReflectionTable table(rule, range);
    for (int h = -range; h <= range; ++h)
        for (int k = -range; k <= range; ++k)
            for (int l = -range; l <= range; ++l) {
                const core::Hkl g{h, k, l};
                const auto d = core::Spacing(gs, g);
                if (!d) continue;  // (0 0 0)
                Reflection r;
                r.hkl = g;
                r.dNm = *d;
                r.allowed = table.admits(g);
                r.structureFactor = rule.structureFactor(g);
                r.doubleDiffraction = !r.allowed && table.reachableByDoubleDiffraction(g);
                out.push_back(r);
            }
    std::stable_sort(out.begin(), out.end(),
                     [](const Reflection& a, const Reflection& b) { return a.dNm > b.dNm; });
    return out;
}

std::vector<Reflection> reflections(const CrystalPhase& phase, int range) {
    return reflections(phase.cell, SpaceGroupRule(phase), range);
}

}  // namespace saed::library
