// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/indexingengine.h"

#include <algorithm>  // for min, max
#include <cmath>      // for abs, sqrt, isfinite, floor, ceil
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>  // for swap

namespace saed::indexing {

namespace {

using core::SquareMatrix;

// A plane of one candidate list with what the angle step needs: Q = 1/d^2 and the row
// G* . p, summed in the same order as core::BilinearForm so that the angles keep their bits.
struct Candidate {
    Hkl p;
    double spacingNm;
    double q;
    double inverseRoot;  // 1 / sqrt(q), for the quick cosine
    double vh, vk, vl;
};

Candidate makeCandidate(const SquareMatrix& gs, const Hkl& p, double q, double spacingNm) {
    const double h = p[0], k = p[1], l = p[2];
    return {p,
            spacingNm,
            q,
            1.0 / std::sqrt(q),
            k * gs(2, 1) + h * gs(1, 1) + l * gs(3, 1),
            k * gs(2, 2) + h * gs(1, 2) + l * gs(3, 2),
            k * gs(2, 3) + h * gs(1, 3) + l * gs(3, 3)};
}


// G* product p . G* . q in the order of core::BilinearForm.
double bilinear(const Candidate& p, const Candidate& q) {
    const double h2 = q.p[0], k2 = q.p[1], l2 = q.p[2];
    double s = k2 * p.vk + h2 * p.vh;
    s = s + l2 * p.vl;
    return s;
}

// The cosines whose angle can lie within tol of theta, widened by far more than any rounding of
// the angle, so that a pair outside it fails the exact test for certain and its arctangent is
// saved. Everything passes when theta or tol is not a number.
struct CosineBand {
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();

    static CosineBand make(double thetaDeg, double tolDeg) {
        CosineBand band;
        if (!std::isfinite(thetaDeg) || !std::isfinite(tolDeg)) return band;
        constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
        constexpr double kMargin = 1e-9;
        const double lowest = std::max(thetaDeg - tolDeg, 0.0);
        const double highest = std::min(thetaDeg + tolDeg, 180.0);
        if (!(tolDeg > 0) || lowest > highest) {
            band.lo = 2;  // empty: |angle - theta| < tol cannot hold
            band.hi = -2;
            return band;
        }
        band.lo = std::cos(highest * kRadiansPerDegree) - kMargin;
        band.hi = std::cos(lowest * kRadiansPerDegree) + kMargin;
        return band;
    }

    // False only when the angle of p and q surely fails.
    bool mayHold(const Candidate& p, const Candidate& q) const {
        const double c = bilinear(p, q) * p.inverseRoot * q.inverseRoot;
        return !(c < lo || c > hi);
    }
};

// core::PlaneAngle(p, q) from the precomputed parts of p and q.
std::optional<double> angleBetween(const Candidate& p, const Candidate& q) {
    const double c = bilinear(p, q) * (1.0 / std::sqrt(p.q * q.q));
    if (!std::isfinite(c)) return std::nullopt;
    return core::angleFromCosine(c);
}

bool angleMatches(double angleDeg, double measuredDeg, double toleranceDeg) {
    return std::abs(angleDeg - measuredDeg) < toleranceDeg;
}

// Dense lookup from (h, k, l) to the position of that plane in list 3, over the box that
// holds list 3; -1 where there is none.
class PlaneIndex {
public:
    explicit PlaneIndex(const std::vector<Candidate>& list) {
        if (list.empty()) return;
        m_lo = m_hi = list.front().p;
        for (const Candidate& c : list)
            for (std::size_t a = 0; a < 3; ++a) {
                m_lo[a] = std::min(m_lo[a], c.p[a]);
                m_hi[a] = std::max(m_hi[a], c.p[a]);
            }
        for (std::size_t a = 0; a < 3; ++a) m_extent[a] = m_hi[a] - m_lo[a] + 1;
        m_slots.assign(static_cast<std::size_t>(m_extent[0]) * static_cast<std::size_t>(m_extent[1]) *
                           static_cast<std::size_t>(m_extent[2]),
                       -1);
        for (std::size_t i = 0; i < list.size(); ++i) m_slots[slot(list[i].p)] = static_cast<std::int32_t>(i);
    }

    // Position of p in list 3, or -1.
    std::int32_t find(const Hkl& p) const {
        if (m_slots.empty()) return -1;
        for (std::size_t a = 0; a < 3; ++a)
            if (p[a] < m_lo[a] || p[a] > m_hi[a]) return -1;
        return m_slots[slot(p)];
    }

private:
    std::size_t slot(const Hkl& p) const {
        return (static_cast<std::size_t>(p[0] - m_lo[0]) * static_cast<std::size_t>(m_extent[1]) +
                static_cast<std::size_t>(p[1] - m_lo[1])) *
                   static_cast<std::size_t>(m_extent[2]) +
               static_cast<std::size_t>(p[2] - m_lo[2]);
    }

    Hkl m_lo{}, m_hi{}, m_extent{};
    std::vector<std::int32_t> m_slots;
};

struct LRange {
    int first, last;
};

// The bands of Q = 1/d^2 that the three spacing windows |dn - d| <= tn allow, widened a little,
// and for one (h, k) the ranges of l whose Q can lie in a band: Q is C l^2 + B l + A with C > 0,
// so each band keeps at most two runs of l. The exact spacing test decides afterwards; the
// ranges only need to hold every plane that can pass it.
class SpacingWindows {
public:
    static std::optional<SpacingWindows> make(const SquareMatrix& g, const SquareMatrix& gs,
                                              const std::array<double, 3>& d, const std::array<double, 3>& tol) {
        SpacingWindows w;
        w.m_c = gs(3, 3);
        if (!(w.m_c > 0) || !std::isfinite(w.m_c)) return std::nullopt;
        for (std::size_t i = 0; i < 3; ++i) {
            if (!std::isfinite(d[i]) || !std::isfinite(tol[i])) return std::nullopt;
            const double longest = d[i] + tol[i];
            const double shortest = d[i] - tol[i];
            if (!(tol[i] >= 0) || !(longest > 0)) continue;  // no plane can pass
            Band band;
            band.qlo = 1.0 / (longest * longest) * (1 - kMargin);
            band.qhi = shortest > 0 ? 1.0 / (shortest * shortest) * (1 + kMargin) : kInfinity;
            if (!std::isfinite(band.qlo)) return std::nullopt;
            w.m_bands.push_back(band);
            w.m_qMax = std::max(w.m_qMax, band.qhi);
        }
        // On the ellipsoid x . G* . x <= q the largest |h| is sqrt(q G(1,1)), and likewise for k.
        for (int axis = 0; axis < 2; ++axis) {
            const double reach = std::sqrt(w.m_qMax * g(axis + 1, axis + 1)) * (1 + kMargin) + 1;
            if (std::isfinite(reach) && reach < 1e9) w.m_reach[static_cast<std::size_t>(axis)] = static_cast<int>(reach);
        }
        return w;
    }

    // The largest |h| (axis 0) or |k| (axis 1) that a plane passing a window can have.
    int reach(int axis, int n) const { return std::min(n, m_reach[static_cast<std::size_t>(axis)]); }

    // Ascending, non-overlapping ranges of l within -n..n for planes (h k l).
    void lRanges(const SquareMatrix& gs, int h, int k, int n, std::vector<LRange>& out) const {
        out.clear();
        const double a = core::QuadraticForm(gs, Hkl{h, k, 0});
        const double b = h * (gs(1, 3) + gs(3, 1)) + k * (gs(2, 3) + gs(3, 2));
        std::array<LRange, 6> found{};
        std::size_t count = 0;
        const auto add = [&](double from, double to) {
            const double lo = std::max(std::floor(from) - 1, static_cast<double>(-n));
            const double hi = std::min(std::ceil(to) + 1, static_cast<double>(n));
            if (lo <= hi) found[count++] = {static_cast<int>(lo), static_cast<int>(hi)};
        };
        for (const Band& band : m_bands) {
            // Outer run: Q <= qhi.
            double outerLo = -n, outerHi = n;
            if (band.qhi != kInfinity) {
                const double disc = b * b - 4 * m_c * (a - band.qhi);
                if (!(disc >= 0)) continue;
                outerLo = (-b - std::sqrt(disc)) / (2 * m_c);
                outerHi = (-b + std::sqrt(disc)) / (2 * m_c);
            }
            // Inner gap: Q < qlo.
            const double disc = b * b - 4 * m_c * (a - band.qlo);
            if (disc > 0) {
                const double gapLo = (-b - std::sqrt(disc)) / (2 * m_c);
                const double gapHi = (-b + std::sqrt(disc)) / (2 * m_c);
                add(outerLo, std::min(gapLo, outerHi));
                add(std::max(gapHi, outerLo), outerHi);
            } else {
                add(outerLo, outerHi);
            }
        }
        for (std::size_t i = 1; i < count; ++i)  // insertion sort of at most six runs
            for (std::size_t j = i; j > 0 && found[j].first < found[j - 1].first; --j) std::swap(found[j], found[j - 1]);
        for (std::size_t i = 0; i < count; ++i) {
            if (!out.empty() && found[i].first <= out.back().last + 1)
                out.back().last = std::max(out.back().last, found[i].last);
            else
                out.push_back(found[i]);
        }
    }

private:
    struct Band {
        double qlo, qhi;
    };
    static constexpr double kMargin = 1e-6;
    static constexpr double kInfinity = std::numeric_limits<double>::infinity();

    double m_c = 0;
    double m_qMax = 0;
    std::array<int, 2> m_reach{std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    std::vector<Band> m_bands;
};

// Which planes a run admits: the lattice type or the phase's rule, and with double diffraction
// also the forbidden planes that are sums of two allowed ones.
class Admission {
public:
    // The table points at m_latticeRule: not to be copied.
    Admission(const Admission&) = delete;
    Admission& operator=(const Admission&) = delete;
    explicit Admission(const IndexingInput& input) : m_input(input) {
        if (!input.doubleDiffraction || input.rangeN < 0) return;
        if (input.latticeType == core::LatticeType::SpaceGroup) {
            if (input.rule) m_table.emplace(*input.rule, input.rangeN);
        } else {
            m_latticeRule.emplace(input.latticeType);
            m_table.emplace(*m_latticeRule, input.rangeN);
        }
    }

    // Allowed, or (with double diffraction) reachable from two allowed planes.
    bool admits(const Hkl& p) const {
        if (m_table) return m_table->admits(p) || m_table->reachableByDoubleDiffraction(p);
        return allowed(p);
    }

    // For a row of admitted planes: false when a forbidden plane of it cannot be reached within
    // the row's own zone; `usesDouble` tells whether any plane is forbidden.
    bool rowHolds(const Hkl& g1, const Hkl& g2, const Hkl& g3, bool& usesDouble) const {
        usesDouble = false;
        if (!m_table) return true;
        const Hkl* planes[3] = {&g1, &g2, &g3};
        Hkl zone{};
        bool zoneMade = false;
        for (const Hkl* g : planes) {
            if (m_table->admits(*g)) continue;
            if (!zoneMade) {
                const core::Uvw z = core::ZoneAxis(g1, g2);
                zone = {static_cast<int>(z[0]), static_cast<int>(z[1]), static_cast<int>(z[2])};
                zoneMade = true;
            }
            if (!m_table->reachableInZone(*g, zone)) return false;
            usesDouble = true;
        }
        return true;
    }

private:
    bool allowed(const Hkl& p) const {
        if (m_input.latticeType == core::LatticeType::SpaceGroup) return m_input.rule && m_input.rule->admits(p);
        return core::ReflectionCondition(m_input.latticeType, p[0], p[1], p[2]);
    }

    const IndexingInput& m_input;
    std::optional<core::LatticeTypeRule> m_latticeRule;  // the table's rule for a lattice type
    std::optional<core::ReflectionTable> m_table;
};

}  // namespace

std::vector<ResultRow> indexPattern(const IndexingInput& input) { return indexPattern(input, RunControl{}).rows; }

IndexingResult indexPattern(const IndexingInput& input, const RunControl& control) {
    IndexingResult result;
    std::vector<ResultRow>& rows = result.rows;
    const int n = input.rangeN;
    if (n < 0) return result;
    const SquareMatrix gs = core::ReciprocalMetric(input.cell);
    const auto& d = input.measured.spacingNm;
    const auto& tolD = input.tolerances.spacingNm;

    // The planes admitted by the lattice type, in h, k, l order; a plane without a spacing can
    // never be part of an accepted triple and stays out of the lists.
    std::vector<Candidate> lists[3];
    const Admission admission(input);
    const auto consider = [&](int h, int k, int l) {
        const Hkl p{h, k, l};
        const double q = core::QuadraticForm(gs, p);
        if (!(q > 0) || !std::isfinite(q)) return;
        const double spacing = 1.0 / std::sqrt(q);
        const bool in1 = std::abs(d[0] - spacing) <= tolD[0];
        const bool in2 = std::abs(d[1] - spacing) <= tolD[1];
        const bool in3 = std::abs(spacing - d[2]) <= tolD[2];
        if (!(in1 || in2 || in3) || !admission.admits(p)) return;
        const Candidate c = makeCandidate(gs, p, q, spacing);
        if (in1) lists[0].push_back(c);
        if (in2) lists[1].push_back(c);
        if (in3) lists[2].push_back(c);
    };
    const std::optional<SpacingWindows> windows = SpacingWindows::make(core::Metric(input.cell), gs, d, tolD);
    if (!windows) {
        for (int h = -n; h <= n; ++h)
            for (int k = -n; k <= n; ++k)
                for (int l = -n; l <= n; ++l) consider(h, k, l);
    } else {
        std::vector<LRange> ranges;
        const int hReach = windows->reach(0, n), kReach = windows->reach(1, n);
        for (int h = -hReach; h <= hReach; ++h)
            for (int k = -kReach; k <= kReach; ++k) {
                windows->lRanges(gs, h, k, n, ranges);
                for (const LRange& r : ranges)
                    for (int l = r.first; l <= r.last; ++l) consider(h, k, l);
            }
    }

    // Each plane appears at most once in list 3, so g1 + g2 names at most one g3 and the rows
    // come out in the order of the triple loop.
    const PlaneIndex index3(lists[2]);
    const auto& theta = input.measured.angleDeg;
    const auto& tolA = input.tolerances.angleDeg;
    const CosineBand band12 = CosineBand::make(theta[0], tolA[0]);
    const CosineBand band23 = CosineBand::make(theta[1], tolA[1]);
    const CosineBand band13 = CosineBand::make(theta[2], tolA[2]);
    const std::size_t total = lists[0].size();
    for (std::size_t i1 = 0; i1 < total; ++i1) {
        const Candidate& c1 = lists[0][i1];
        if (control.cancelled && control.cancelled()) {
            result.end = RunEnd::Cancelled;
            return result;
        }
        if (control.progress) control.progress(static_cast<double>(i1) / static_cast<double>(total));
        for (const Candidate& c2 : lists[1]) {
            const Hkl sum{c1.p[0] + c2.p[0], c1.p[1] + c2.p[1], c1.p[2] + c2.p[2]};
            const std::int32_t at = index3.find(sum);
            if (at < 0) continue;
            const Candidate& c3 = lists[2][static_cast<std::size_t>(at)];
            if (!band12.mayHold(c1, c2) || !band23.mayHold(c2, c3) || !band13.mayHold(c1, c3)) continue;
            const std::optional<double> a12 = angleBetween(c1, c2);
            if (!a12 || !angleMatches(*a12, theta[0], tolA[0])) continue;
            const std::optional<double> a23 = angleBetween(c2, c3);
            if (!a23 || !angleMatches(*a23, theta[1], tolA[1])) continue;
            const std::optional<double> a13 = angleBetween(c1, c3);
            if (!a13 || !angleMatches(*a13, theta[2], tolA[2])) continue;
            bool usesDouble = false;
            if (!admission.rowHolds(c1.p, c2.p, c3.p, usesDouble)) continue;
            if (rows.size() >= control.rowLimit) {
                result.end = RunEnd::RowLimit;
                return result;
            }
            rows.push_back({c1.p, c2.p, c3.p, {c1.spacingNm, c2.spacingNm, c3.spacingNm}, {*a12, *a23, *a13},
                            usesDouble});
        }
    }
    if (control.progress) control.progress(1.0);
    return result;
}

std::vector<ResultRow> indexPatternTripleLoop(const IndexingInput& input) {
    std::vector<ResultRow> rows;
    const int n = input.rangeN;
    if (n < 0) return rows;
    const SquareMatrix gs = core::ReciprocalMetric(input.cell);
    const auto& d = input.measured.spacingNm;
    const auto& tolD = input.tolerances.spacingNm;

    // The admitted planes, padded with (0 0 0) up to (2N + 1)^3 positions, and their spacings
    // (0 where there is none).
    const auto side = static_cast<std::size_t>(2 * n + 1);
    std::vector<Hkl> allowed(side * side * side, Hkl{0, 0, 0});
    std::size_t filled = 0;
    const Admission admission(input);
    for (int h = -n; h <= n; ++h)
        for (int k = -n; k <= n; ++k)
            for (int l = -n; l <= n; ++l)
                if (admission.admits({h, k, l})) allowed[filled++] = {h, k, l};
    std::vector<double> spacing(allowed.size());
    for (std::size_t i = 0; i < allowed.size(); ++i) spacing[i] = core::Spacing(gs, allowed[i]).value_or(0.0);

    std::vector<std::size_t> lists[3];
    for (std::size_t i = 0; i < allowed.size(); ++i) {
        if (std::abs(d[0] - spacing[i]) <= tolD[0]) lists[0].push_back(i);
        if (std::abs(d[1] - spacing[i]) <= tolD[1]) lists[1].push_back(i);
        if (std::abs(spacing[i] - d[2]) <= tolD[2]) lists[2].push_back(i);
    }

    struct Triplet {
        std::size_t i1, i2, i3;
    };
    std::vector<Triplet> triplets;
    for (std::size_t i : lists[0])
        for (std::size_t j : lists[1])
            for (std::size_t k : lists[2]) {
                const Hkl& g1 = allowed[i];
                const Hkl& g2 = allowed[j];
                const Hkl& g3 = allowed[k];
                if (g1[0] + g2[0] == g3[0] && g1[1] + g2[1] == g3[1] && g1[2] + g2[2] == g3[2])
                    triplets.push_back({i, j, k});
            }

    const auto& theta = input.measured.angleDeg;
    const auto& tolA = input.tolerances.angleDeg;
    for (const Triplet& t : triplets) {
        const Hkl& g1 = allowed[t.i1];
        const Hkl& g2 = allowed[t.i2];
        const Hkl& g3 = allowed[t.i3];
        const std::optional<double> a12 = core::PlaneAngle(gs, g1, g2);
        const std::optional<double> a23 = core::PlaneAngle(gs, g2, g3);
        const std::optional<double> a13 = core::PlaneAngle(gs, g1, g3);
        if (!a12 || !a23 || !a13) continue;  // a plane without a spacing has no angle
        bool usesDouble = false;
        if (angleMatches(*a12, theta[0], tolA[0]) && angleMatches(*a23, theta[1], tolA[1]) &&
            angleMatches(*a13, theta[2], tolA[2]) && admission.rowHolds(g1, g2, g3, usesDouble))
            rows.push_back({g1, g2, g3, {spacing[t.i1], spacing[t.i2], spacing[t.i3]}, {*a12, *a23, *a13},
                            usesDouble});
    }
    return rows;
}

}  // namespace saed::indexing
