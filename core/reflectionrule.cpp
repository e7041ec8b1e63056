#include "core/reflectionrule.h"

#include <cassert>

namespace saed::core {

ReflectionTable::ReflectionTable(const ReflectionRule& rule, int range) : m_range(range) {
    assert(range >= 0);
    const auto side = static_cast<std::size_t>(2 * range + 1);
    m_allowed.assign(side * side * side, false);
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

bool ReflectionTable::reachable(const Hkl& g, const Hkl* zone) const {
    if (g == Hkl{0, 0, 0} || admits(g)) return false;
    if (zone && g[0] * (*zone)[0] + g[1] * (*zone)[1] + g[2] * (*zone)[2] != 0) return false;
    for (const Hkl& g1 : m_allowedList) {
        if (zone && g1[0] * (*zone)[0] + g1[1] * (*zone)[1] + g1[2] * (*zone)[2] != 0) continue;
        const Hkl g2{g[0] - g1[0], g[1] - g1[1], g[2] - g1[2]};
        if (!admits(g2) || g2 == Hkl{0, 0, 0}) continue;
        // g1 parallel to g would make g2 parallel too: a systematic row, not a second beam.
        const Uvw cross = ZoneAxis(g1, g);
        if (cross == Uvw{0, 0, 0}) continue;
        return true;
    }
    return false;
}

}  // namespace saed::core
