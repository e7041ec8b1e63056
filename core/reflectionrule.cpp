// SPDX-License-Identifier: BSD-3-Clause
#include "core/reflectionrule.h"

#include <algorithm>  // for max
#include <cassert>
#include <cstdlib>    // for abs

namespace saed::core {

ReflectionTable::ReflectionTable(const ReflectionRule& rule, int range) : m_rule(&rule), m_range(range) {
    assert(range >= 0);
    const auto side = static_cast<std::size_t>(2 * range + 1);
    m_allowed.assign(side * side * side, false);
    const auto outerSide = static_cast<std::size_t>(4 * range + 1);
    m_beyond = std::make_unique<std::atomic<signed char>[]>(outerSide * outerSide * outerSide);
    for (std::size_t i = 0; i < outerSide * outerSide * outerSide; ++i) m_beyond[i].store(-1, std::memory_order_relaxed);
    for (int h = -range; h <= range; ++h)
        for (int k = -range; k <= range; ++k)
            for (int l = -range; l <= range; ++l) {
                const Hkl g{h, k, l};
                if (!rule.admits(g)) continue;
                m_allowed[index(g)] = true;
                if (h != 0 || k != 0 || l != 0) m_allowedList.push_back(g);
            }
}

bool ReflectionTable::inRange(const Hkl& hkl) const {
    for (int i : hkl)
        if (i < -m_range || i > m_range) return false;
    return true;
}

std::size_t ReflectionTable::index(const Hkl& hkl) const {
    const auto side = static_cast<std::size_t>(2 * m_range + 1);
    return (static_cast<std::size_t>(hkl[0] + m_range) * side +
            static_cast<std::size_t>(hkl[1] + m_range)) * side +
           static_cast<std::size_t>(hkl[2] + m_range);
}

bool ReflectionTable::reachableByDoubleDiffraction(const Hkl& hkl) const {
    return reachable(hkl, nullptr);
}

bool ReflectionTable::reachableInZone(const Hkl& hkl, const Hkl& zone) const {
    return reachable(hkl, &zone);
}

bool ReflectionTable::allowedAnywhere(const Hkl& hkl) const {
    if (inRange(hkl)) return m_allowed[index(hkl)];
    const int outer = 2 * m_range;
    for (int i : hkl)
        if (i < -outer || i > outer) return m_rule->admits(hkl);
    const auto side = static_cast<std::size_t>(2 * outer + 1);
    std::atomic<signed char>& known = m_beyond[(static_cast<std::size_t>(hkl[0] + outer) * side +
                                                static_cast<std::size_t>(hkl[1] + outer)) * side +
                                               static_cast<std::size_t>(hkl[2] + outer)];
    signed char verdict = known.load(std::memory_order_relaxed);
    if (verdict < 0) {
        verdict = m_rule->admits(hkl) ? 1 : 0;
        known.store(verdict, std::memory_order_relaxed);
    }
    return verdict == 1;
}

bool ReflectionTable::reachable(const Hkl& g, const Hkl* zone) const {
    if (g == Hkl{0, 0, 0} || allowedAnywhere(g)) return false;
    const auto inZone = [zone](const Hkl& p) {
        return !zone || p[0] * (*zone)[0] + p[1] * (*zone)[1] + p[2] * (*zone)[2] == 0;
    };
    if (!inZone(g)) return false;
    // The partner g1 runs over the planes of no higher index than g; g2 = g - g1 may reach
    // twice as far and is judged by the rule where the table ends.
    const int reach = std::max({std::abs(g[0]), std::abs(g[1]), std::abs(g[2])});
    for (int h = -reach; h <= reach; ++h)
        for (int k = -reach; k <= reach; ++k)
            for (int l = -reach; l <= reach; ++l) {
                const Hkl g1{h, k, l};
                if (g1 == Hkl{0, 0, 0} || !inZone(g1) || !allowedAnywhere(g1)) continue;
                // g1 parallel to g would make g2 parallel too: a systematic row, not a second beam.
                if (ZoneAxis(g1, g) == Uvw{0, 0, 0}) continue;
                if (allowedAnywhere({g[0] - h, g[1] - k, g[2] - l})) return true;
            }
    return false;
}

}  // namespace saed::core
