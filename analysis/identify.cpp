// SPDX-License-Identifier: BSD-3-Clause
// Phase and zone from a fitted net, across a set of crystal phases.
#include "analysis/identify.h"

#include <algorithm>  // for sort, lower_bound, min, max
#include <array>
#include <cmath>      // for sqrt, log, exp, acos, floor, ceil, hypot
#include <map>
#include <numeric>    // for gcd
#include <unordered_map>
#include <utility>    // for move

#include "core/holohedry.h"
#include "library/spacegroup.h"

namespace saed::analysis {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The most index triples a phase's reflection list may hold: a large cell searched far out is
// cut to this, which keeps one phase to a fraction of a second.
constexpr double kMaxTriples = 4e5;

core::Hkl add(const core::Hkl& p, const core::Hkl& q, int f = 1) {
    return {p[0] + f * q[0], p[1] + f * q[1], p[2] + f * q[2]};
}
core::Hkl times(const core::Hkl& p, int f) { return {f * p[0], f * p[1], f * p[2]}; }
bool isZero(const core::Hkl& p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

// gcd(a, b) = a x + b y (the gcd may come out negative; its size is the gcd).
long long extendedGcd(long long a, long long b, long long& x, long long& y) {
    if (b == 0) {
        x = 1;
        y = 0;
        return a;
    }
    long long x1 = 0, y1 = 0;
    const long long g = extendedGcd(b, a % b, x1, y1);
    x = y1;
    y = x1 - (a / b) * y1;
    return g;
}

// One candidate pairing of two reflections with the net's a and b, before its spots are scored.
struct Pairing {
    std::size_t phase = 0;
    core::Hkl g1{}, g2{};
    core::Uvw zone{}, family{};
    double chi2 = 0;  // shape
    double scaleMisfit = 0;
    double geometry = 0;
    double calibration = 0;
    double laue = 1;
};

// The wave number 1/lambda (1/nm) of electrons of `kv` kilovolts, relativistic.
double waveNumber(double kv) {
    const double volts = kv * 1e3;
    const double lambdaNm = 1.226426 / std::sqrt(volts * (1 + 0.978476e-6 * volts));
    return 1 / lambdaNm;
}

}  // namespace

struct PhaseSearch::Prepared {
    struct Info {
        bool allowed = false;
        double f2 = 1;
    };
    struct Reflection {
        core::Hkl hkl{};
        double length = 0;  // 1/nm
        bool allowed = false;
    };

    library::CrystalPhase phase;
    std::shared_ptr<const core::ReflectionRule> rule;
    bool atoms = false;
    bool valid = false;
    std::array<std::array<double, 3>, 3> gs{};  // G*, 1/nm^2
    std::array<std::array<double, 3>, 3> direct{};  // G, nm^2
    std::vector<core::LatticeOp> ops;           // keep the allowed set and |F|
    std::vector<Reflection> list;               // every reflection, by length
    double listMax = 0;
    std::unordered_map<long long, Info> cache;

    Prepared(library::CrystalPhase p, core::LatticeType latticeType) : phase(std::move(p)) {
        valid = core::isCell(phase.cell);
        if (!valid) return;
        if (core::isLatticeCentring(latticeType)) {
            rule = std::make_shared<const core::LatticeTypeRule>(latticeType);
        } else {
            auto byGroup = std::make_shared<const library::SpaceGroupRule>(phase);
            atoms = byGroup->hasAtoms();
            rule = std::move(byGroup);
        }
        const core::SquareMatrix m = core::ReciprocalMetric(phase.cell);
        const core::SquareMatrix d = core::Metric(phase.cell);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                gs[i][j] = m(i + 1, j + 1);
                direct[i][j] = d(i + 1, j + 1);
            }
    }

    // The period of the zone axis [uvw], nm.
    double period(const core::Uvw& t) const {
        double s = 0;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) s += static_cast<double>(t[i]) * direct[i][j] * static_cast<double>(t[j]);
        return std::sqrt(std::max(s, 0.0));
    }

    double dot(const core::Hkl& p, const core::Hkl& q) const {
        double s = 0;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) s += p[i] * gs[i][j] * q[j];
        return s;
    }
    double length(const core::Hkl& p) const { return std::sqrt(std::max(dot(p, p), 0.0)); }

    Info info(const core::Hkl& p) {
        const bool small = std::abs(p[0]) < 512 && std::abs(p[1]) < 512 && std::abs(p[2]) < 512;
        const long long key = (static_cast<long long>(p[0] + 512) << 20) | ((p[1] + 512) << 10) | (p[2] + 512);
        if (small)
            if (const auto it = cache.find(key); it != cache.end()) return it->second;
        Info i;
        i.allowed = !isZero(p) && rule->admits(p);
        if (i.allowed && atoms) {
            const std::optional<double> f = rule->structureFactor(p);
            i.f2 = f ? *f * *f : 1;
        }
        if (small) cache.emplace(key, i);
        return i;
    }

    // Whether p is allowed, without its |F| where it is not known yet.
    bool admits(const core::Hkl& p) {
        if (std::abs(p[0]) < 512 && std::abs(p[1]) < 512 && std::abs(p[2]) < 512) {
            const long long key = (static_cast<long long>(p[0] + 512) << 20) | ((p[1] + 512) << 10) | (p[2] + 512);
            if (const auto it = cache.find(key); it != cache.end()) return it->second.allowed;
        }
        return !isZero(p) && rule->admits(p);
    }

    void prepareSymmetry() {
        if (!ops.empty()) return;
        ops = core::holohedry(phase.cell);
        std::vector<core::LatticeOp> kept;
        for (const core::LatticeOp& op : ops) {
            bool keeps = true;
            for (int h = -3; keeps && h <= 3; ++h)
                for (int k = -3; keeps && k <= 3; ++k)
                    for (int l = -3; keeps && l <= 3; ++l) {
                        const Info a = info({h, k, l}), b = info(core::applyToIndices(op, {h, k, l}));
                        if (a.allowed != b.allowed ||
                            (a.allowed && std::abs(a.f2 - b.f2) > 1e-3 * std::max(a.f2, b.f2)))
                            keeps = false;
                    }
            if (keeps) kept.push_back(op);
        }
        ops = std::move(kept);
    }

    // The allowed reflections out to `gMax` (1/nm), or as far as kMaxTriples allows.
    void extend(double gMax) {
        if (gMax <= listMax) return;
        const core::Cell& c = phase.cell;
        const auto triples = [&](double g) {
            return (2 * g * c.aNm + 1) * (2 * g * c.bNm + 1) * (2 * g * c.cNm + 1);
        };
        while (triples(gMax) > kMaxTriples) gMax *= 0.9;
        if (gMax <= listMax) return;
        // |h| = |g . a| <= |g| a, and so on.
        const int hMax = static_cast<int>(std::floor(gMax * c.aNm)), kMax = static_cast<int>(std::floor(gMax * c.bNm)),
                  lMax = static_cast<int>(std::floor(gMax * c.cNm));
        list.clear();
        for (int h = -hMax; h <= hMax; ++h)
            for (int k = -kMax; k <= kMax; ++k)
                for (int l = -lMax; l <= lMax; ++l) {
                    const core::Hkl p{h, k, l};
                    const double g = length(p);
                    if (isZero(p) || g > gMax) continue;
                    list.push_back({p, g, info(p).allowed});
                }
        std::sort(list.begin(), list.end(), [](const Reflection& x, const Reflection& y) {
            return x.length != y.length ? x.length < y.length : x.hkl > y.hkl;
        });
        listMax = gMax;
        zoneNets.clear();  // found on the shorter list
    }

    // The net of a zone's allowed reflections, worked out once per zone: a reduced basis of the
    // zone's whole plane of the reciprocal lattice (q1, q2), and on it the net the allowed
    // reflections generate, in Hermite form: (m, 0) and (ws, wt), of index m wt in the plane.
    struct ZoneNet {
        core::Hkl q1{}, q2{};
        long long m = 0, ws = 0, wt = 0;
        bool ok() const { return m > 0 && wt > 0; }
    };
    std::map<core::Uvw, ZoneNet> zoneNets;

    // Coordinates of p on (q1, q2); false when p is no whole combination of them.
    bool planeCoordinates(const ZoneNet& z, const core::Hkl& p, long long& x, long long& y) const {
        const double a11 = dot(z.q1, z.q1), a12 = dot(z.q1, z.q2), a22 = dot(z.q2, z.q2);
        const double det = a11 * a22 - a12 * a12;
        const double b1 = dot(p, z.q1), b2 = dot(p, z.q2);
        const double s = (b1 * a22 - b2 * a12) / det, t = (a11 * b2 - a12 * b1) / det;
        if (std::abs(s - std::round(s)) > 1e-6 || std::abs(t - std::round(t)) > 1e-6) return false;
        x = std::llround(s);
        y = std::llround(t);
        return true;
    }

    // `zone` is primitive, its first non-zero index positive.
    const ZoneNet& zoneNet(const core::Uvw& zone) {
        const auto found = zoneNets.find(zone);
        if (found != zoneNets.end()) return found->second;
        ZoneNet z;
        // A basis of the zone's plane {p : p . [uvw] = 0}: with x u + y v = g = gcd(u, v),
        // (v/g, -u/g, 0) and (x w, y w, -g), whose cross product is [uvw] itself.
        const long long u = zone[0], v = zone[1], w = zone[2];
        long long x = 0, y = 0;
        const long long g = extendedGcd(u, v, x, y);
        if (g == 0) {
            z.q1 = {1, 0, 0};
            z.q2 = {0, 1, 0};
        } else {
            z.q1 = {static_cast<int>(v / g), static_cast<int>(-u / g), 0};
            z.q2 = {static_cast<int>(x * w), static_cast<int>(y * w), static_cast<int>(-g)};
        }
        // Lagrange's reduction in the reciprocal metric: the two shortest independent vectors.
        for (int step = 0; step < 100; ++step) {
            if (dot(z.q2, z.q2) < dot(z.q1, z.q1)) std::swap(z.q1, z.q2);
            const double k = std::round(dot(z.q1, z.q2) / dot(z.q1, z.q1));
            if (k == 0) break;
            const int n = static_cast<int>(k);
            z.q2 = {z.q2[0] - n * z.q1[0], z.q2[1] - n * z.q1[1], z.q2[2] - n * z.q1[2]};
        }
        // The net the allowed reflections of the plane generate, from those within six steps of
        // the reduced basis (a centred net or a glide halves or quarters the plane at most) and
        // within the list.
        constexpr int kSteps = 6;
        for (int a = -kSteps; a <= kSteps; ++a)
            for (int b = 0; b <= kSteps; ++b) {
                if (b == 0 && a <= 0) continue;  // one of each pair +-p
                const core::Hkl p{a * z.q1[0] + b * z.q2[0], a * z.q1[1] + b * z.q2[1], a * z.q1[2] + b * z.q2[2]};
                // As far as the reflections are listed, whose |F| is known already.
                if (length(p) > listMax || !admits(p)) continue;
                if (b == 0) {
                    z.m = std::gcd(z.m, static_cast<long long>(std::abs(a)));
                } else if (z.wt == 0) {
                    z.ws = a;
                    z.wt = b;
                } else {
                    // w and (a, b) span what w' = e w + f (a, b) does, with t = gcd(wt, b), and the
                    // vector of t = 0 that the two also give.
                    long long e = 0, f = 0;
                    const long long t = extendedGcd(z.wt, b, e, f);
                    const long long us = (b / t) * z.ws - (z.wt / t) * a;
                    z.m = std::gcd(z.m, std::llabs(us));
                    z.ws = e * z.ws + f * a;
                    z.wt = t;
                    if (z.wt < 0) {
                        z.wt = -z.wt;
                        z.ws = -z.ws;
                    }
                }
                if (z.m > 0) z.ws %= z.m;
            }
        return zoneNets.emplace(zone, z).first->second;
    }

    // Whether g1 and g2 are a basis of the net of the zone's allowed reflections: the allowed
    // reflections are whole combinations of them, and those combinations give g1 and g2 back
    // (the allowed reflections generate the net, though a glide may forbid g1 itself).
    bool generatesZone(const core::Hkl& g1, const core::Hkl& g2, const core::Uvw& axis) {
        long long d = 0;
        for (long long c : axis) d = std::gcd(d, std::llabs(c));
        if (d == 0) return false;
        core::Uvw zone{axis[0] / d, axis[1] / d, axis[2] / d};
        for (long long c : zone)
            if (c != 0) {
                if (c < 0) zone = {-zone[0], -zone[1], -zone[2]};
                break;
            }
        const ZoneNet& z = zoneNet(zone);
        if (!z.ok()) return false;
        long long x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (!planeCoordinates(z, g1, x1, y1) || !planeCoordinates(z, g2, x2, y2)) return false;
        // (g1, g2) spans as much of the plane as the allowed net, and holds the net's basis.
        const long long det = x1 * y2 - x2 * y1;
        if (std::llabs(det) != z.m * z.wt) return false;
        const auto inside = [&](long long x, long long y) {
            return (x * y2 - y * x2) % det == 0 && (x1 * y - y1 * x) % det == 0;
        };
        return inside(z.m, 0) && inside(z.ws, z.wt);
    }
};

PhaseSearch::PhaseSearch(std::vector<library::CrystalPhase> phases, std::vector<core::LatticeType> latticeTypes) {
    for (std::size_t i = 0; i < phases.size(); ++i)
        m_phases.push_back(std::make_unique<Prepared>(
            std::move(phases[i]), i < latticeTypes.size() ? latticeTypes[i] : core::LatticeType::SpaceGroup));
}
PhaseSearch::~PhaseSearch() = default;
std::size_t PhaseSearch::size() const { return m_phases.size(); }
const library::CrystalPhase& PhaseSearch::phase(std::size_t i) const { return m_phases.at(i)->phase; }

core::Uvw PhaseSearch::zoneFamily(std::size_t i, const core::Uvw& zone) {
    Prepared& p = *m_phases.at(i);
    if (!p.valid) return zone;
    p.prepareSymmetry();
    return core::axisFamilyRepresentative(p.ops, zone);
}

namespace {

// What the scoring needs of the measured net.
struct Measured {
    double la = 0, lb = 0, angle = 0;        // px, px, degrees
    double sigmaA = 0, sigmaB = 0, sigmaAngle = 0;  // relative, relative, degrees (distortion included)
    double region = 0;                       // px: predicted spots are counted out to here
    std::map<std::pair<int, int>, std::size_t> spotAt;  // net point -> detected spot
    double maxIntensity = 0;
    double faintest = 0;  // the faintest spot on the net
    double extent = 0;    // px: how far the pattern reaches
};

// Pairs (g1, g2) of the phase that match the net: lengths, angle and a net generated by them.
void findPairings(PhaseSearch::Prepared& p, std::size_t phaseIndex, const Measured& net,
                  const IdentifySettings& settings, double widen, std::vector<Pairing>& out);

}  // namespace

namespace {

// What a candidate's predicted intensities make of the measured ones, before the spread of the
// pattern's intensities is known (it is found over all candidates).
struct IntensityTerms {
    std::vector<double> seen;      // ln I seen - ln I predicted, unclipped spots the fall-off was fitted to
    std::vector<double> oneSided;  // clipped spots seen fainter than predicted, absent spots predicted bright
    int dof() const { return static_cast<int>(seen.size()) - 3; }
};

// Weighted least-squares a + b t through (t, z); with `falling`, b is kept at or below 0.
std::pair<double, double> lineFit(const std::vector<double>& t, const std::vector<double>& z, bool falling,
                                  const std::vector<double>* weights = nullptr) {
    double n = 0, st = 0, sz = 0, stt = 0, stz = 0;
    for (std::size_t k = 0; k < t.size(); ++k) {
        const double w = weights ? (*weights)[k] : 1.0;
        n += w;
        st += w * t[k];
        sz += w * z[k];
        stt += w * t[k] * t[k];
        stz += w * t[k] * z[k];
    }
    if (!(n > 0)) return {0.0, 0.0};
    const double det = n * stt - st * st;
    double b = det > 1e-12 * n * n ? (n * stz - st * sz) / det : 0.0;
    if (falling) b = std::min(b, 0.0);
    return {(sz - b * st) / n, b};
}

double medianOf(std::vector<double> v) {
    if (v.empty()) return 0;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// The robust spread of residuals: 1.4826 times their median absolute value.
double robustSpread(const std::vector<double>& r) {
    std::vector<double> a;
    for (double x : r) a.push_back(std::abs(x));
    return 1.4826 * medianOf(a);
}

// A smooth fall a + b t + c t^2 of ln I - ln |F|^2 with t = (|g| / its largest)^2: what thermal
// motion, the excitation errors growing outwards, and the difference between the kinematic
// scattering factors and the real ones make of the intensities. Only what it cannot take up (one
// reflection strong beside a weak one of about the same |g|, a row of extinctions) tells phases
// apart: a heavier atom's slower fall alone does not.
struct FallOff {
    double a = 0, b = 0, c = 0;
    double reach = INFINITY;  // the largest t it was fitted to: beyond, it goes on as a line that does not rise
    double at(double t) const {
        if (t <= reach) return a + b * t + c * t * t;
        return a + b * reach + c * reach * reach + std::min(0.0, b + 2 * c * reach) * (t - reach);
    }
};

// Weighted least squares of a + b t + c t^2; false when the points do not fix it.
bool quadraticFit(const std::vector<double>& t, const std::vector<double>& z, const std::vector<double>& w,
                  FallOff& out) {
    std::array<std::array<double, 4>, 3> m{};
    int used = 0;
    for (std::size_t k = 0; k < t.size(); ++k) {
        if (!(w[k] > 0)) continue;
        ++used;
        const std::array<double, 3> f{1.0, t[k], t[k] * t[k]};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) m[i][j] += w[k] * f[i] * f[j];
            m[i][3] += w[k] * f[i] * z[k];
        }
    }
    if (used < 4) return false;
    // Gaussian elimination with partial pivoting.
    for (int col = 0; col < 3; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 3; ++r)
            if (std::abs(m[r][col]) > std::abs(m[pivot][col])) pivot = r;
        if (!(std::abs(m[pivot][col]) > 1e-9 * std::max(1.0, std::abs(m[0][0])))) return false;
        std::swap(m[col], m[pivot]);
        for (int r = col + 1; r < 3; ++r) {
            const double f = m[r][col] / m[col][col];
            for (int j = col; j < 4; ++j) m[r][j] -= f * m[col][j];
        }
    }
    std::array<double, 3> x{};
    for (int r = 2; r >= 0; --r) {
        double v = m[r][3];
        for (int j = r + 1; j < 3; ++j) v -= m[r][j] * x[j];
        x[r] = v / m[r][r];
    }
    out = {x[0], x[1], x[2]};
    return std::isfinite(x[0]) && std::isfinite(x[1]) && std::isfinite(x[2]);
}

// The fall-off through (t, z) with Tukey's biweight: a spot far off it (a spurious spot that
// happens to lie on the net, one the beam's halo lifts) loses its say.
FallOff robustFallOff(const std::vector<double>& t, const std::vector<double>& z) {
    // The start: a line, the median of the slopes between pairs of spots and the median intercept,
    // which a third of the spots far off cannot move.
    std::vector<double> slopes;
    for (std::size_t i = 0; i < t.size(); ++i)
        for (std::size_t j = i + 1; j < t.size(); ++j)
            if (std::abs(t[j] - t[i]) > 1e-3) slopes.push_back((z[j] - z[i]) / (t[j] - t[i]));
    FallOff fall{0.0, std::min(medianOf(slopes), 0.0), 0.0};
    std::vector<double> w(t.size(), 1.0), r(t.size());
    for (std::size_t k = 0; k < t.size(); ++k) r[k] = z[k] - fall.b * t[k];
    fall.a = medianOf(r);
    for (int pass = 0; pass < 5; ++pass) {
        for (std::size_t k = 0; k < t.size(); ++k) r[k] = z[k] - fall.at(t[k]);
        const double cut = 4.685 * std::max(robustSpread(r), 0.02);
        for (std::size_t k = 0; k < t.size(); ++k)
            w[k] = std::abs(r[k]) < cut ? std::pow(1 - std::pow(r[k] / cut, 2), 2) : 0.0;
        FallOff next;
        if (!quadraticFit(t, z, w, next)) {
            const auto [a0, b0] = lineFit(t, z, true, &w);
            next = {a0, b0, 0.0};
        }
        fall = next;
    }
    // It reaches as far as the spots that had their say (not a spurious one far out).
    fall.reach = 0;
    for (std::size_t k = 0; k < t.size(); ++k)
        if (w[k] > 0) fall.reach = std::max(fall.reach, t[k]);
    return fall;
}

// Spots, shares and the intensity terms of one pairing.
ScoreParts scoreSpots(PhaseSearch::Prepared& p, const Pairing& pairing, const NetFit& net,
                      const std::vector<measure::Spot>& spots, const Measured& measured,
                      const IdentifySettings& settings, std::vector<CandidateSpot>* listed,
                      IntensityTerms* terms = nullptr) {
    ScoreParts parts;
    const double area = std::abs(net.a.x * net.b.y - net.a.y * net.b.x);
    const int mMax = static_cast<int>(std::ceil(measured.region * measured.lb / area)) + 1;
    const int nMax = static_cast<int>(std::ceil(measured.region * measured.la / area)) + 1;
    const bool atoms = p.atoms;
    double wSum = 0, wSeen = 0, wMax = 0;
    const std::array<core::Hkl, 4> steps{pairing.g1, pairing.g2, add(pairing.g1, pairing.g2), add(pairing.g1, pairing.g2, -1)};
    const auto reachable = [&](const core::Hkl& g) {
        for (const core::Hkl& s : steps)
            for (int sign : {1, -1}) {
                const core::Hkl v = times(s, sign);
                if (p.info(v).allowed && p.info(add(g, v, -1)).allowed) return true;
            }
        return false;
    };
    struct Entry {
        core::Hkl hkl;
        double x, y, f2;
        bool dd;
        std::optional<std::size_t> spot;
        double radius;  // px from the direct beam
    };
    std::vector<Entry> entries;
    for (int m = -mMax; m <= mMax; ++m)
        for (int n = -nMax; n <= nMax; ++n) {
            if (m == 0 && n == 0) continue;
            const double dx = m * net.a.x + n * net.b.x, dy = m * net.a.y + n * net.b.y;
            const double radius = std::hypot(dx, dy);
            if (radius > measured.region) continue;
            const double x = net.centre.x + dx, y = net.centre.y + dy;
            if (settings.imageWidth > 0 &&
                (x < 0 || y < 0 || x > settings.imageWidth - 1 || y > settings.imageHeight - 1))
                continue;
            const core::Hkl hkl = add(times(pairing.g1, m), times(pairing.g2, n));
            const PhaseSearch::Prepared::Info info = p.info(hkl);
            const auto at = measured.spotAt.find({m, n});
            const std::optional<std::size_t> spot =
                at == measured.spotAt.end() ? std::nullopt : std::optional<std::size_t>(at->second);
            const bool dd = !info.allowed && settings.doubleDiffraction && reachable(hkl);
            if (info.allowed || dd) entries.push_back({hkl, x, y, info.allowed ? info.f2 : 0, dd, spot, radius});
            if (info.allowed) wMax = std::max(wMax, info.f2);
            if (spot) {
                if (info.allowed || dd) ++parts.detectedExplained;
                if (dd) ++parts.explainedByDouble;
            }
        }
    for (const Entry& e : entries) {
        if (e.dd) continue;
        ++parts.predicted;
        const double w = atoms ? e.f2 / std::max(wMax, 1e-300) : 1.0;
        wSum += w;
        if (e.spot) {
            ++parts.predictedSeen;
            wSeen += w;
        }
    }
    parts.detected = static_cast<int>(net.spotsDetected);
    parts.present = wSum > 0 ? wSeen / wSum : 0;
    parts.explained = parts.detected > 0 ? static_cast<double>(parts.detectedExplained) / parts.detected : 0;
    if (atoms && wMax > 0) {
        // ln I = ln |F|^2 + a smooth fall-off in |g|^2 (FallOff), fitted to the unclipped spots seen. A
        // reflection predicted at under a thousandth of the strongest is taken as that weak: what
        // is seen there may come by double diffraction.
        const auto lnF2 = [wMax](double f2) { return std::log(std::max(f2 / wMax, 1e-3)); };
        const auto reach = [&measured](double radius) { return std::pow(radius / measured.region, 2); };
        std::vector<double> t, z, x, y;
        for (const Entry& e : entries) {
            if (e.dd || !e.spot) continue;
            const measure::Spot& s = spots[*e.spot];
            if (s.saturated || !(s.intensity > 0)) continue;
            t.push_back(reach(e.radius));
            x.push_back(lnF2(e.f2));
            y.push_back(std::log(s.intensity));
            z.push_back(y.back() - x.back());
        }
        if (t.size() >= 4) {
            const FallOff fall = robustFallOff(t, z);
            IntensityTerms local;
            IntensityTerms& out = terms ? *terms : local;
            for (std::size_t k = 0; k < t.size(); ++k) out.seen.push_back(z[k] - fall.at(t[k]));
            const double faintest = std::log(std::max(measured.faintest, 1e-300));
            // The share of the predicted intensity that is seen, the fall-off taken into account: a
            // heavier atom's slower fall of |F| with |g| predicts no outer spots the image lacks.
            double predictedSum = 0, seenSum = 0;
            for (const Entry& e : entries) {
                if (e.dd) continue;
                const double predicted = lnF2(e.f2) + fall.at(reach(e.radius));
                predictedSum += std::exp(predicted - fall.a);
                if (e.spot) seenSum += std::exp(predicted - fall.a);
                if (!e.spot) {
                    // Absent: it counts against as far as it is predicted brighter than the faintest spot seen.
                    if (predicted > faintest) {
                        out.oneSided.push_back(predicted - faintest);
                        ++parts.absentStrong;
                    }
                } else if (const measure::Spot& s = spots[*e.spot]; s.saturated && std::log(std::max(s.intensity, 1e-300)) > predicted) {
                    // Clipped: it is at least as bright as measured.
                    out.oneSided.push_back(std::log(s.intensity) - predicted);
                }
            }
            if (predictedSum > 0) parts.present = seenSum / predictedSum;
            if (t.size() >= 4) {
                // The correlation of ln |F|^2 and ln I, both freed of the smooth fall-off.
                const auto [ax, bx] = lineFit(t, x, false);
                const auto [ay, by] = lineFit(t, y, false);
                double sxy = 0, sxx = 0, syy = 0;
                for (std::size_t k = 0; k < t.size(); ++k) {
                    const double rx = x[k] - ax - bx * t[k], ry = y[k] - ay - by * t[k];
                    sxy += rx * ry;
                    sxx += rx * rx;
                    syy += ry * ry;
                }
                // Amplitudes alike but for their fall (one element, say) say nothing.
                const bool varies = std::sqrt(sxx / static_cast<double>(t.size())) > 0.1;
                parts.intensity = varies && syy > 0 ? sxy / std::sqrt(sxx * syy) : 0;
            }
        }
    }
    if (listed) {
        listed->clear();
        for (const Entry& e : entries) {
            CandidateSpot s;
            s.hkl = e.hkl;
            s.x = e.x;
            s.y = e.y;
            s.intensity = e.dd ? 0 : atoms ? e.f2 / std::max(wMax, 1e-300) : 1.0;
            s.doubleDiffraction = e.dd;
            if (e.spot) s.detected = core::PixelPoint{spots[*e.spot].x, spots[*e.spot].y};
            listed->push_back(s);
        }
    }
    return parts;
}

double totalScore(const ScoreParts& parts) {
    return 100 * parts.geometry * parts.laue * parts.present * parts.explained * parts.intensityFit;
}

}  // namespace

std::vector<Candidate> PhaseSearch::identify(const NetFit& fitted, const std::vector<measure::Spot>& spots,
                                             const IdentifySettings& settings,
                                             const std::function<bool(std::size_t, std::size_t)>& progress) {
    std::vector<Candidate> out;
    if (fitted.status != NetStatus::Ok) return out;
    // Nets are compared on their reduced bases, whatever basis the net came with.
    const NetFit net = reducedNet(fitted);
    Measured measured;
    measured.la = net.lengthA();
    measured.lb = net.lengthB();
    measured.angle = net.angleDeg();
    measured.sigmaA = std::hypot(net.sigmaAPx / measured.la, settings.distortion);
    measured.sigmaB = std::hypot(net.sigmaBPx / measured.lb, settings.distortion);
    measured.sigmaAngle = std::hypot(net.sigmaAngleDeg, settings.distortionAngleDeg);
    for (std::size_t k = 0; k < spots.size() && k < net.index.size(); ++k) {
        const NetIndex& i = net.index[k];
        if (!i.onNet || (i.m == 0 && i.n == 0)) continue;
        measured.spotAt.emplace(std::pair{i.m, i.n}, k);
        measured.region = std::max(measured.region, std::hypot(spots[k].x - net.centre.x, spots[k].y - net.centre.y));
        measured.maxIntensity = std::max(measured.maxIntensity, spots[k].intensity);
        if (spots[k].intensity > 0 && (measured.faintest == 0 || spots[k].intensity < measured.faintest))
            measured.faintest = spots[k].intensity;
    }
    measured.region += 0.5 * measured.la;
    // How far the pattern reaches, for the Laue zones: the radius within which nine in ten of the
    // spots on the net lie, so that a spurious spot far out that happens to lie on it does not
    // count as a pattern that reaches there.
    std::vector<double> radii;
    for (const auto& [at, k] : measured.spotAt) radii.push_back(std::hypot(spots[k].x - net.centre.x, spots[k].y - net.centre.y));
    std::sort(radii.begin(), radii.end());
    measured.extent = radii.empty() ? measured.region : radii[(radii.size() - 1) * 9 / 10] + 0.5 * measured.la;

    std::vector<Pairing> pairings;
    bool stopped = false;
    for (double widen = 1; widen <= 4 && pairings.empty() && !stopped; widen *= 2) {
        for (std::size_t i = 0; i < m_phases.size(); ++i) {
            if (progress && !progress(i, m_phases.size())) {
                stopped = true;
                break;
            }
            findPairings(*m_phases[i], i, measured, settings, widen, pairings);
        }
    }
    if (progress && !stopped) progress(m_phases.size(), m_phases.size());

    // Every pairing's spots; per phase and zone family the best.
    std::vector<Candidate> scored;
    std::vector<IntensityTerms> terms(pairings.size());
    scored.reserve(pairings.size());
    for (std::size_t k = 0; k < pairings.size(); ++k) {
        const Pairing& pairing = pairings[k];
        Prepared& p = *m_phases[pairing.phase];
        Candidate c;
        c.phase = pairing.phase;
        c.zone = pairing.zone;
        c.family = pairing.family;
        c.g1 = pairing.g1;
        c.g2 = pairing.g2;
        c.calibration = pairing.calibration;
        c.parts = scoreSpots(p, pairing, net, spots, measured, settings, nullptr, &terms[k]);
        c.parts.shapeMisfit = std::sqrt(pairing.chi2 / 2);
        c.parts.scaleMisfit = pairing.scaleMisfit;
        c.parts.geometry = pairing.geometry;
        c.parts.laue = pairing.laue;
        c.score = totalScore(c.parts);  // before the intensities
        scored.push_back(std::move(c));
    }
    // The spread of the pattern's intensities about |F|^2: the least among the candidates that the
    // rest of the score finds at least half as good as the best, with three degrees of freedom.
    double bestWithout = 0;
    for (const Candidate& c : scored) bestWithout = std::max(bestWithout, c.score);
    double spread = INFINITY;
    for (std::size_t k = 0; k < scored.size(); ++k) {
        if (terms[k].dof() < 3 || scored[k].score < 0.5 * bestWithout) continue;
        spread = std::min(spread, robustSpread(terms[k].seen));
    }
    spread = std::max(std::isfinite(spread) ? spread : 0.0, settings.leastIntensitySpread);
    // A seen spot counts as at most three spreads off (one far off is a spurious spot on the net, or
    // a dynamical one). An absent or clipped one counts from one spread beyond its bound on (the
    // faintest spot seen is only about where spots are lost), and as at most two (it may be hidden
    // by the beam stop, merged with a neighbour or lost in the noise).
    const auto loss = [spread](double r) { return std::pow(r / spread, 2); };
    std::vector<double> excess(scored.size(), 0.0);
    double leastExcess = INFINITY;
    for (std::size_t k = 0; k < scored.size(); ++k) {
        const IntensityTerms& t = terms[k];
        if (t.dof() < 1) continue;
        double chi2 = 0;
        for (double r : t.seen) chi2 += std::min(loss(r), 9.0);
        for (double r : t.oneSided) chi2 += std::min(std::pow(std::max(0.0, r / spread - 1), 2), 4.0);
        scored[k].parts.intensityMisfit = std::sqrt(chi2 / static_cast<double>(t.seen.size() + t.oneSided.size()));
        excess[k] = chi2 - t.dof();
        if (scored[k].score >= 0.5 * bestWithout) leastExcess = std::min(leastExcess, excess[k]);
    }
    // Each candidate's intensities against those of the one that explains them best.
    if (!std::isfinite(leastExcess)) leastExcess = 0;
    std::map<std::tuple<std::size_t, core::Uvw>, Candidate> best;
    for (std::size_t k = 0; k < scored.size(); ++k) {
        Candidate& c = scored[k];
        if (terms[k].dof() >= 1) c.parts.intensityFit = std::exp(-std::max(0.0, excess[k] - std::max(leastExcess, 0.0)) / 4);
        c.score = totalScore(c.parts);
        // Equivalent zones score alike but for rounding: the largest [uvw] is taken among them, so
        // that a pattern and the same pattern turned give the same zone.
        const auto key = std::tuple{c.phase, c.family};
        const auto it = best.find(key);
        if (it == best.end() || c.score > it->second.score * (1 + 1e-9) ||
            (c.score >= it->second.score * (1 - 1e-9) && c.zone > it->second.zone))
            best[key] = std::move(c);
    }
    for (auto& [key, c] : best) out.push_back(std::move(c));
    std::stable_sort(out.begin(), out.end(), [](const Candidate& x, const Candidate& y) {
        if (x.score != y.score) return x.score > y.score;
        if (x.phase != y.phase) return x.phase < y.phase;
        return x.family > y.family;
    });
    if (out.size() > settings.maxCandidates) out.resize(settings.maxCandidates);

    // The spots of the candidates shown, and the ties: candidates within 3 % of the first of a run.
    for (Candidate& c : out) {
        Pairing pairing;
        pairing.g1 = c.g1;
        pairing.g2 = c.g2;
        scoreSpots(*m_phases[c.phase], pairing, net, spots, measured, settings, &c.spots);
    }
    // Ties: candidates as good as the first of a run but for a calibration misfit that the
    // calibration's own uncertainty allows (or within 3 % of its score).
    const auto withoutScale = [](const Candidate& c) {
        return c.score / std::max(std::exp(-c.parts.scaleMisfit * c.parts.scaleMisfit / 4), 1e-300);
    };
    const double scaleError = settings.calibration ? settings.calibrationError : 0.0;
    // Each tie follows its first candidate, in score order.
    std::vector<Candidate> ranked;
    std::vector<bool> placed(out.size(), false);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (placed[i]) continue;
        const std::size_t head = ranked.size();
        ranked.push_back(out[i]);
        placed[i] = true;
        bool onePhase = true, scalesDiffer = false;
        for (std::size_t j = i + 1; j < out.size(); ++j) {
            if (placed[j] || !(out[i].score > 0)) continue;
            // A candidate that explains the same spots as the first and falls short of it only in
            // how well the net's shape, the calibration and the intensities fit, by less than
            // exp(-1/2) (the first's chi^2 better by under 2, the score being exp(-chi^2 / 4)),
            // is not told apart from it by the data.
            const bool sameSpots = std::abs(out[j].parts.explained - out[i].parts.explained) <= 0.05 &&
                                   std::abs(out[j].parts.present - out[i].parts.present) <= 0.1;
            const bool tied = out[j].score >= 0.97 * out[i].score ||
                              (sameSpots && out[j].score >= std::exp(-0.5) * out[i].score) ||
                              (scaleError > 0 && withoutScale(out[j]) >= 0.95 * withoutScale(out[i]) &&
                               std::abs(std::log(out[j].calibration / out[i].calibration)) <= 2 * scaleError);
            if (!tied) continue;
            ranked.push_back(out[j]);
            placed[j] = true;
            onePhase = onePhase && out[j].phase == out[i].phase;
            scalesDiffer = scalesDiffer || std::abs(std::log(out[j].calibration / out[i].calibration)) > 0.005;
        }
        if (ranked.size() - head < 2) continue;
        const TieBreak hint = !onePhase && scalesDiffer ? TieBreak::Calibration : TieBreak::AnotherZone;
        for (std::size_t k = head; k < ranked.size(); ++k) {
            ranked[k].tie = static_cast<int>(head) + 1;
            ranked[k].tieBreak = hint;
        }
    }
    out = std::move(ranked);
    return out;
}

namespace {

void findPairings(PhaseSearch::Prepared& p, std::size_t phaseIndex, const Measured& net,
                  const IdentifySettings& settings, double widen, std::vector<Pairing>& out) {
    if (!p.valid) return;
    p.prepareSymmetry();
    const double ratio = net.lb / net.la;
    const double ratioWindow = widen * std::max(0.05, 4 * std::hypot(net.sigmaA, net.sigmaB));
    const double angleWindow = widen * std::max(3.0, 4 * net.sigmaAngle);
    const double cosHigh = std::cos(std::max(0.0, net.angle - angleWindow) * kPi / 180);
    const double cosLow = std::cos(std::min(180.0, net.angle + angleWindow) * kPi / 180);
    double g1Low = 0, g1High = 0;
    if (settings.calibration) {
        const double window = widen * std::max(0.06, 4 * std::hypot(net.sigmaA, settings.calibrationError));
        g1Low = *settings.calibration * net.la * (1 - window);
        g1High = *settings.calibration * net.la * (1 + window);
    } else {
        g1Low = 0.95 / settings.maxSpacingNm;
        g1High = 1.05 / settings.minSpacingNm;
    }
    p.extend(g1High * ratio * (1 + ratioWindow) * (1 + 1e-9));
    const auto firstAtLeast = [&p](double g) {
        return std::lower_bound(p.list.begin(), p.list.end(), g,
                                [](const PhaseSearch::Prepared::Reflection& r, double v) { return r.length < v; });
    };
    std::vector<Pairing> found;
    for (auto i1 = firstAtLeast(g1Low); i1 != p.list.end() && i1->length <= g1High; ++i1) {
        const core::Hkl& g1 = i1->hkl;
        if (p.ops.size() > 1 && core::formRepresentative(p.ops, g1) != g1) continue;
        const double len1 = i1->length;
        double g2Low = len1 * ratio * (1 - ratioWindow), g2High = len1 * ratio * (1 + ratioWindow);
        if (settings.calibration) {
            const double window = widen * std::max(0.06, 4 * std::hypot(net.sigmaB, settings.calibrationError));
            g2Low = std::max(g2Low, *settings.calibration * net.lb * (1 - window));
            g2High = std::min(g2High, *settings.calibration * net.lb * (1 + window));
        }
        for (auto i2 = firstAtLeast(g2Low); i2 != p.list.end() && i2->length <= g2High; ++i2) {
            const core::Hkl& g2 = i2->hkl;
            const double len2 = i2->length;
            const double cosine = p.dot(g1, g2) / (len1 * len2);
            if (cosine > cosHigh || cosine < cosLow) continue;
            const double angle = std::acos(std::clamp(cosine, -1.0, 1.0)) * 180 / kPi;
            const core::Uvw zone = core::ZoneAxis(g1, g2);
            if (zone == core::Uvw{0, 0, 0}) continue;
            Pairing pairing;
            pairing.phase = phaseIndex;
            pairing.g1 = g1;
            pairing.g2 = g2;
            pairing.zone = zone;
            pairing.calibration = std::exp(0.5 * (std::log(len1 / net.la) + std::log(len2 / net.lb)));
            const double r1 = std::log(pairing.calibration * net.la / len1);
            const double r2 = std::log(pairing.calibration * net.lb / len2);
            pairing.chi2 = r1 * r1 / (net.sigmaA * net.sigmaA) + r2 * r2 / (net.sigmaB * net.sigmaB) +
                           std::pow((angle - net.angle) / net.sigmaAngle, 2);
            if (settings.calibration) {
                pairing.scaleMisfit = std::log(pairing.calibration / *settings.calibration) / settings.calibrationError;
            } else {
                const double d1 = 1 / (pairing.calibration * net.la);
                pairing.scaleMisfit = d1 < settings.minSpacingNm   ? std::log(settings.minSpacingNm / d1) / 0.05
                                      : d1 > settings.maxSpacingNm ? std::log(d1 / settings.maxSpacingNm) / 0.05
                                                                   : 0.0;
            }
            pairing.geometry = std::exp(-(pairing.chi2 + pairing.scaleMisfit * pairing.scaleMisfit) / 4);
            // The first higher-order Laue zone meets the Ewald sphere at sqrt(2 k / period).
            const double firstLaue = std::sqrt(2 * waveNumber(settings.voltageKv) / p.period(zone));
            pairing.laue = std::pow(std::min(1.0, firstLaue / (net.extent * pairing.calibration)), 2);
            // A pairing that would score below a thousandth on its geometry alone is not worth the
            // check of its net, unless nothing better is found (the windows are widened then).
            if ((widen == 1 && pairing.geometry * pairing.laue < 1e-3) || !p.generatesZone(g1, g2, zone)) continue;
            pairing.family = core::axisFamilyRepresentative(p.ops, zone);
            found.push_back(pairing);
        }
    }
    // Per zone family the three best-fitting pairings go on to have their spots scored.
    std::stable_sort(found.begin(), found.end(),
                     [](const Pairing& x, const Pairing& y) { return x.geometry * x.laue > y.geometry * y.laue; });
    std::map<core::Uvw, int> perFamily;
    int kept = 0;
    for (const Pairing& pairing : found) {
        if (++perFamily[pairing.family] > 3) continue;
        out.push_back(pairing);
        if (++kept >= 90) break;
    }
}

}  // namespace

ImageIdentification identifyImage(const core::Raster& raster, PhaseSearch& search, IdentifySettings settings,
                                  std::optional<core::PixelPoint> lockedCentre,
                                  const std::function<bool(std::size_t, std::size_t)>& progress) {
    ImageIdentification result;
    measure::SpotDetectionOptions detection;
    detection.maxSpots = kMaxNetSpots + 1;
    result.spots = measure::detectSpots(raster, detection);
    NetFitOptions options;
    options.lockedCentre = lockedCentre;
    if (!lockedCentre) options.startCentre = beamPlateau(raster);
    const std::optional<BeamEstimate> plateau = options.startCentre;
    result.net = fitNet(result.spots, options);
    settings.imageWidth = raster.width();
    settings.imageHeight = raster.height();
    if (settings.removeDistortion.none() || result.net.status != NetStatus::Ok) {
        result.candidates = search.identify(result.net, result.spots, settings, progress);
        return result;
    }
    // The distortion is a linear map of vectors from the direct beam: taken off about the first
    // fit's centre, and put back about the same point, so that the two are exact inverses.
    const core::PixelPoint about = result.net.centre;
    const core::EllipticDistortion& distortion = settings.removeDistortion;
    std::vector<measure::Spot> corrected = result.spots;
    for (measure::Spot& s : corrected) {
        double dx = s.x - about.x, dy = s.y - about.y;
        distortion.correct(dx, dy);
        s.x = about.x + dx;
        s.y = about.y + dy;
    }
    // The plateau is weighed again where the correction puts it, with its own uncertainty; without
    // one the second fit, like the first, counts the unsaturated beam as a spot of the net.
    if (plateau) {
        double dx = plateau->centre.x - about.x, dy = plateau->centre.y - about.y;
        distortion.correct(dx, dy);
        options.startCentre = BeamEstimate{core::PixelPoint{about.x + dx, about.y + dy}, plateau->sigmaPx};
    }
    result.net = fitNet(corrected, options);
    result.candidates = search.identify(result.net, corrected, settings, progress);
    const auto onImage = [&](double& x, double& y) {
        double dx = x - about.x, dy = y - about.y;
        distortion.distort(dx, dy);
        x = about.x + dx;
        y = about.y + dy;
    };
    const auto inside = [&](double x, double y) {
        return x >= 0 && y >= 0 && x <= raster.width() - 1 && y <= raster.height() - 1;
    };
    for (Candidate& c : result.candidates) {
        std::vector<CandidateSpot> kept;
        for (CandidateSpot s : c.spots) {
            onImage(s.x, s.y);
            if (s.detected) onImage(s.detected->x, s.detected->y);
            if (inside(s.x, s.y)) kept.push_back(s);
        }
        c.spots = std::move(kept);
    }
    return result;
}

}  // namespace saed::analysis
