// SPDX-License-Identifier: BSD-3-Clause
// The reciprocal net of a spot pattern and its direct beam.
#include "analysis/netfit.h"

#include <algorithm>  // for sort, min, max
#include <array>
#include <cmath>      // for hypot, round, abs, atan2, sqrt
#include <map>
#include <numeric>    // for gcd

namespace saed::analysis {

namespace {

constexpr double kPi = 3.14159265358979323846;

double length(NetVector v) { return std::hypot(v.x, v.y); }
double dot(NetVector u, NetVector v) { return u.x * v.x + u.y * v.y; }
double cross(NetVector u, NetVector v) { return u.x * v.y - u.y * v.x; }
NetVector minus(NetVector u) { return {-u.x, -u.y}; }

// Lagrange reduction: |a| <= |b| and |a . b| <= |a|^2 / 2, then b turned so that a . b <= 0.
void reduceBasis(NetVector& a, NetVector& b) {
    for (int step = 0; step < 64; ++step) {
        if (length(b) < length(a)) std::swap(a, b);
        const double mu = std::round(dot(a, b) / dot(a, a));
        if (mu == 0) break;
        b = {b.x - mu * a.x, b.y - mu * a.y};
    }
    if (dot(a, b) > 0) b = minus(b);
}

// Solves the n x n system m x = r (n <= 3) by elimination with pivoting; false when singular.
// `inverse`, when given, receives m^-1.
bool solve(std::array<std::array<double, 3>, 3> m, int n, std::array<double, 3>& x,
           std::array<std::array<double, 3>, 3>* inverse, std::array<double, 3> r) {
    std::array<std::array<double, 3>, 3> inv{};
    for (int i = 0; i < n; ++i) inv[i][i] = 1;
    double scale = 0;
    for (int i = 0; i < n; ++i) scale = std::max(scale, std::abs(m[i][i]));
    for (int c = 0; c < n; ++c) {
        int p = c;
        for (int i = c + 1; i < n; ++i)
            if (std::abs(m[i][c]) > std::abs(m[p][c])) p = i;
        if (!(std::abs(m[p][c]) > 1e-12 * std::max(scale, 1e-300))) return false;
        std::swap(m[p], m[c]);
        std::swap(inv[p], inv[c]);
        std::swap(r[p], r[c]);
        for (int i = 0; i < n; ++i) {
            if (i == c) continue;
            const double f = m[i][c] / m[c][c];
            for (int j = 0; j < n; ++j) {
                m[i][j] -= f * m[c][j];
                inv[i][j] -= f * inv[c][j];
            }
            r[i] -= f * r[c];
        }
    }
    for (int i = 0; i < n; ++i) {
        x[i] = r[i] / m[i][i];
        for (int j = 0; j < n; ++j) inv[i][j] /= m[i][i];
    }
    if (inverse) *inverse = inv;
    return true;
}

struct Lattice {
    core::PixelPoint origin;  // a lattice point
    NetVector a, b;
};

// Net coordinates of p on the lattice, rounded, and the distance from that lattice point.
struct Nearest {
    int m = 0, n = 0;
    double residual = 0;
};
Nearest nearestPoint(const Lattice& l, double x, double y) {
    const double det = cross(l.a, l.b);
    const double dx = x - l.origin.x, dy = y - l.origin.y;
    const double fm = (dx * l.b.y - dy * l.b.x) / det, fn = (l.a.x * dy - l.a.y * dx) / det;
    Nearest p;
    p.m = static_cast<int>(std::round(fm));
    p.n = static_cast<int>(std::round(fn));
    p.residual = std::hypot(dx - p.m * l.a.x - p.n * l.b.x, dy - p.m * l.a.y - p.n * l.b.y);
    return p;
}

// A measurement of the origin itself, weighed against the spots (whose weight is 1).
struct OriginMeasurement {
    core::PixelPoint point;
    double weight = 0;
};

// The least-squares fit of spot = origin + m a + n b (origin fixed when `fixedOrigin`) over the
// spots marked in `use`, with `measured` as one more observation of a free origin.
struct LeastSquares {
    Lattice lattice;
    std::array<std::array<double, 3>, 3> inverse{};  // (X^T X)^-1 of the design
    double sigma = 0;                               // per coordinate
    double rms = 0;
    int count = 0;
    bool ok = false;
};
LeastSquares leastSquares(const std::vector<measure::Spot>& spots, const std::vector<NetIndex>& index,
                          const std::vector<bool>& use, const Lattice& start, bool fixedOrigin,
                          const std::optional<OriginMeasurement>& measured = std::nullopt) {
    LeastSquares out;
    out.lattice = start;
    const int p = fixedOrigin ? 2 : 3;
    std::array<std::array<double, 3>, 3> m{};
    std::array<double, 3> rx{}, ry{};
    int count = 0;
    for (std::size_t k = 0; k < spots.size(); ++k) {
        if (!use[k]) continue;
        const double fm = index[k].m, fn = index[k].n;
        const std::array<double, 3> f = fixedOrigin ? std::array<double, 3>{fm, fn, 0} : std::array<double, 3>{1, fm, fn};
        const double x = spots[k].x - (fixedOrigin ? start.origin.x : 0);
        const double y = spots[k].y - (fixedOrigin ? start.origin.y : 0);
        for (int i = 0; i < p; ++i) {
            rx[i] += f[i] * x;
            ry[i] += f[i] * y;
            for (int j = 0; j < p; ++j) m[i][j] += f[i] * f[j];
        }
        ++count;
    }
    const double prior = !fixedOrigin && measured ? measured->weight : 0.0;
    if (prior > 0) {
        m[0][0] += prior;
        rx[0] += prior * measured->point.x;
        ry[0] += prior * measured->point.y;
    }
    std::array<double, 3> sx{}, sy{};
    if (count < p + 1 || !solve(m, p, sx, &out.inverse, rx) || !solve(m, p, sy, nullptr, ry)) return out;
    if (fixedOrigin) {
        out.lattice.a = {sx[0], sy[0]};
        out.lattice.b = {sx[1], sy[1]};
    } else {
        out.lattice.origin = {sx[0], sy[0]};
        out.lattice.a = {sx[1], sy[1]};
        out.lattice.b = {sx[2], sy[2]};
    }
    double sum = 0;
    for (std::size_t k = 0; k < spots.size(); ++k) {
        if (!use[k]) continue;
        const Lattice& l = out.lattice;
        const double ex = l.origin.x + index[k].m * l.a.x + index[k].n * l.b.x - spots[k].x;
        const double ey = l.origin.y + index[k].m * l.a.y + index[k].n * l.b.y - spots[k].y;
        sum += ex * ex + ey * ey;
    }
    out.count = count;
    out.rms = std::sqrt(sum / count);
    int dof = 2 * (count - p);
    if (prior > 0) {
        sum += prior * (std::pow(out.lattice.origin.x - measured->point.x, 2) +
                        std::pow(out.lattice.origin.y - measured->point.y, 2));
        dof += 2;
    }
    out.sigma = dof > 0 ? std::sqrt(sum / dof) : 0.0;
    // Centres are never better than a fraction of a pixel, however well few spots agree.
    out.sigma = std::max(out.sigma, 0.1);
    out.ok = true;
    return out;
}

// Candidate net vectors: the vectors from each strong spot to its nearest neighbours, folded
// into one half-plane and clustered; the most frequent first.
std::vector<NetVector> neighbourVectors(const std::vector<measure::Spot>& spots) {
    const std::size_t n = std::min<std::size_t>(spots.size(), 150);
    struct Cluster {
        double sx = 0, sy = 0;
        int count = 0;
        NetVector mean() const { return {sx / count, sy / count}; }
    };
    std::vector<NetVector> vectors;
    for (std::size_t i = 0; i < n; ++i) {
        std::vector<NetVector> near;
        for (std::size_t j = 0; j < n; ++j) {
            if (i == j) continue;
            NetVector v{spots[j].x - spots[i].x, spots[j].y - spots[i].y};
            if (length(v) < 4.0) continue;  // closer spots are one to the detection
            if (v.x < 0 || (v.x == 0 && v.y < 0)) v = minus(v);
            near.push_back(v);
        }
        const std::size_t keep = std::min<std::size_t>(near.size(), 10);
        std::partial_sort(near.begin(), near.begin() + static_cast<std::ptrdiff_t>(keep), near.end(),
                          [](NetVector u, NetVector v) { return length(u) < length(v); });
        vectors.insert(vectors.end(), near.begin(), near.begin() + static_cast<std::ptrdiff_t>(keep));
    }
    std::sort(vectors.begin(), vectors.end(), [](NetVector u, NetVector v) { return length(u) < length(v); });
    std::vector<Cluster> clusters;
    for (const NetVector& v : vectors) {
        const double tolerance = std::max(2.0, 0.05 * length(v));
        bool placed = false;
        for (Cluster& c : clusters) {
            const NetVector m = c.mean();
            if (std::hypot(m.x - v.x, m.y - v.y) <= tolerance) {
                c.sx += v.x;
                c.sy += v.y;
                ++c.count;
                placed = true;
                break;
            }
            if (std::hypot(m.x + v.x, m.y + v.y) <= tolerance) {
                c.sx -= v.x;
                c.sy -= v.y;
                ++c.count;
                placed = true;
                break;
            }
        }
        if (!placed) clusters.push_back({v.x, v.y, 1});
    }
    std::stable_sort(clusters.begin(), clusters.end(), [](const Cluster& x, const Cluster& y) { return x.count > y.count; });
    std::vector<NetVector> out;
    for (const Cluster& c : clusters) {
        if (c.count < 2 || out.size() >= 12) break;
        out.push_back(c.mean());
    }
    return out;
}

// Whether most spots lie on a few circles about `centre`: the rings of a polycrystal.
bool looksLikeRings(const std::vector<measure::Spot>& spots, core::PixelPoint centre) {
    if (spots.size() < 12) return false;
    std::vector<double> radii;
    for (const measure::Spot& s : spots) radii.push_back(std::hypot(s.x - centre.x, s.y - centre.y));
    std::sort(radii.begin(), radii.end());
    std::vector<int> bands;
    std::size_t start = 0;
    for (std::size_t k = 1; k <= radii.size(); ++k)
        if (k == radii.size() || radii[k] - radii[k - 1] > std::max(2.0, 0.015 * radii[k])) {
            bands.push_back(static_cast<int>(k - start));
            start = k;
        }
    std::sort(bands.rbegin(), bands.rend());
    int inTop = 0;
    // A zone's spots share a circle by fours or sixes; a ring holds many more.
    for (std::size_t k = 0; k < bands.size() && k < 4; ++k) inTop += bands[k] >= 10 ? bands[k] : 0;
    return inTop * 2 >= static_cast<int>(spots.size());
}

core::PixelPoint spotCentroid(const std::vector<measure::Spot>& spots) {
    double sx = 0, sy = 0, sw = 0;
    for (std::size_t k = 0; k < spots.size() && k < 20; ++k) {
        const double w = std::max(spots[k].intensity, 0.0) + 1e-9;
        sx += w * spots[k].x;
        sy += w * spots[k].y;
        sw += w;
    }
    return {sx / sw, sy / sw};
}

// Index every spot on `l` within `tolerance`; returns how many are on it.
int indexSpots(const std::vector<measure::Spot>& spots, const Lattice& l, double tolerance,
               std::vector<NetIndex>& index) {
    int on = 0;
    index.assign(spots.size(), {});
    for (std::size_t k = 0; k < spots.size(); ++k) {
        const Nearest p = nearestPoint(l, spots[k].x, spots[k].y);
        index[k] = {p.m, p.n, p.residual <= tolerance};
        on += index[k].onNet ? 1 : 0;
    }
    return on;
}

}  // namespace

double NetFit::lengthA() const { return length(a); }
double NetFit::lengthB() const { return length(b); }
double NetFit::angleDeg() const {
    return std::atan2(std::abs(cross(a, b)), dot(a, b)) * 180 / kPi;
}

std::optional<BeamEstimate> beamPlateau(const core::Raster& raster) {
    if (raster.empty()) return std::nullopt;
    const int w = raster.width(), h = raster.height();
    double top = -INFINITY;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double v = raster.value(x, y);
            if (std::isfinite(v)) top = std::max(top, v);
        }
    if (!std::isfinite(top)) return std::nullopt;
    // Pixels within a hair of the maximum; their largest connected patch is the plateau.
    const double level = top - 1e-6 * std::max(1.0, std::abs(top));
    std::vector<int> label(static_cast<std::size_t>(w) * h, 0);
    std::vector<int> patch, best;
    int bestLabel = 0;
    int next = 0;
    std::vector<int> stack;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t k = static_cast<std::size_t>(y) * w + x;
            if (label[k] || !(raster.value(x, y) >= level)) continue;
            ++next;
            patch.clear();
            stack.assign(1, static_cast<int>(k));
            label[k] = next;
            while (!stack.empty()) {
                const int p = stack.back();
                stack.pop_back();
                patch.push_back(p);
                const int px = p % w, py = p / w;
                for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
                    const int qx = px + dx, qy = py + dy;
                    if (qx < 0 || qy < 0 || qx >= w || qy >= h) continue;
                    const std::size_t q = static_cast<std::size_t>(qy) * w + qx;
                    if (label[q] || !(raster.value(qx, qy) >= level)) continue;
                    label[q] = next;
                    stack.push_back(static_cast<int>(q));
                }
            }
            if (patch.size() > best.size()) {
                best.swap(patch);
                bestLabel = next;
            }
        }
    // A single bright pixel is no plateau; a whole saturated image is none either.
    const auto count = static_cast<double>(best.size());
    if (best.size() < 5 || best.size() > static_cast<std::size_t>(w) * h / 4) return std::nullopt;
    double sx = 0, sy = 0;
    for (const int p : best) {
        sx += p % w;
        sy += p / w;
    }
    const double cx = sx / count, cy = sy / count;
    // Each edge pixel may as well have fallen on either side of the level: a quarter of its
    // squared offset goes into the variance of the centroid.
    double sxx = 0, syy = 0, sxy = 0, edgeX = 0, edgeY = 0;
    for (const int p : best) {
        const int px = p % w, py = p / w;
        const double dx = px - cx, dy = py - cy;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
        bool edge = false;
        for (const auto& [ex, ey] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
            const int qx = px + ex, qy = py + ey;
            edge = edge || qx < 0 || qy < 0 || qx >= w || qy >= h ||
                   label[static_cast<std::size_t>(qy) * w + qx] != bestLabel;
        }
        if (edge) {
            edgeX += 0.25 * dx * dx;
            edgeY += 0.25 * dy * dy;
        }
    }
    const double edgeSigma = std::sqrt(std::max(edgeX, edgeY)) / count;
    // A round plateau places the beam well; one drawn out (blooming, a neighbour run into it)
    // by up to its difference of axes.
    const double mean = (sxx + syy) / (2 * count);
    const double spread = std::hypot((sxx - syy) / (2 * count), sxy / count);
    const double elongation = 0.5 * (std::sqrt(mean + spread) - std::sqrt(std::max(mean - spread, 0.0)));
    return BeamEstimate{{cx, cy}, std::max(0.1, std::hypot(edgeSigma, elongation))};
}

std::optional<core::PixelPoint> netCentre(const core::Raster& raster,
                                             std::optional<std::vector<measure::Spot>> spots) {
    if (!spots) spots = measure::detectSpots(raster);
    NetFitOptions options;
    options.startCentre = beamPlateau(raster);
    const NetFit fit = fitNet(*spots, options);
    if (fit.status != NetStatus::Ok) return std::nullopt;
    return fit.centre;
}

NetFit reducedNet(NetFit fit) {
    // a = p[0][0] A + p[0][1] B, b = p[1][0] A + p[1][1] B, kept whole.
    long long p[2][2] = {{1, 0}, {0, 1}};
    NetVector a = fit.a, b = fit.b;
    double sa = fit.sigmaAPx, sb = fit.sigmaBPx;
    const auto swapRows = [&] {
        std::swap(a, b);
        std::swap(p[0][0], p[1][0]);
        std::swap(p[0][1], p[1][1]);
        std::swap(sa, sb);
    };
    for (int step = 0; step < 64; ++step) {
        if (length(b) < length(a)) swapRows();
        const double mu = std::round(dot(a, b) / dot(a, a));
        if (mu == 0) break;
        const auto k = static_cast<long long>(mu);
        b = {b.x - mu * a.x, b.y - mu * a.y};
        p[1][0] -= k * p[0][0];
        p[1][1] -= k * p[0][1];
    }
    if (dot(a, b) > 0) {
        b = minus(b);
        p[1][0] = -p[1][0];
        p[1][1] = -p[1][1];
    }
    const long long det = p[0][0] * p[1][1] - p[0][1] * p[1][0];  // +-1
    for (NetIndex& i : fit.index) {
        // (m, n) = (m', n') P, so (m', n') = (m, n) P^-1.
        const long long m = (i.m * p[1][1] - i.n * p[1][0]) / det, n = (-i.m * p[0][1] + i.n * p[0][0]) / det;
        i.m = static_cast<int>(m);
        i.n = static_cast<int>(n);
    }
    fit.a = a;
    fit.b = b;
    fit.sigmaAPx = sa;
    fit.sigmaBPx = sb;
    return fit;
}

NetFit fitNet(const std::vector<measure::Spot>& spots, const NetFitOptions& options) {
    NetFit fit;
    fit.index.assign(spots.size(), {});
    if (spots.empty()) {
        fit.status = NetStatus::NoSpots;
        return fit;
    }
    if (spots.size() > kMaxNetSpots) {
        fit.status = NetStatus::TooManySpots;
        return fit;
    }
    if (spots.size() == 1) {
        fit.status = NetStatus::OneSpot;
        return fit;
    }
    const core::PixelPoint start = options.lockedCentre  ? *options.lockedCentre
                                   : options.startCentre ? options.startCentre->centre
                                                         : spotCentroid(spots);

    // The lattice that puts the most spots on its points; of lattices nearly as good the coarsest,
    // since every finer lattice holds the same spots.
    const std::vector<NetVector> vectors = neighbourVectors(spots);
    struct Trial {
        Lattice lattice;
        int on = 0;
        double area = 0;
    };
    std::vector<Trial> trials;
    const std::size_t anchors = std::min<std::size_t>(spots.size(), 12);
    std::vector<NetIndex> scratch;
    for (std::size_t i = 0; i < vectors.size(); ++i)
        for (std::size_t j = i + 1; j < vectors.size(); ++j) {
            NetVector a = vectors[i], b = vectors[j];
            if (std::abs(cross(a, b)) < std::sin(10 * kPi / 180) * length(a) * length(b)) continue;
            reduceBasis(a, b);
            const double tolerance = std::max(1.5, 0.2 * std::min(length(a), length(b)));
            Trial best;
            for (std::size_t k = 0; k < anchors; ++k) {
                const Lattice l{{spots[k].x, spots[k].y}, a, b};
                const int on = indexSpots(spots, l, tolerance, scratch);
                if (on > best.on) best = {l, on, std::abs(cross(a, b))};
            }
            trials.push_back(best);
        }
    int mostOn = 0;
    for (const Trial& t : trials) mostOn = std::max(mostOn, t.on);
    const Trial* chosen = nullptr;
    for (const Trial& t : trials)
        if (t.on >= mostOn - std::max(1, mostOn / 20) && (!chosen || t.area > chosen->area)) chosen = &t;
    const bool rings = looksLikeRings(spots, options.lockedCentre ? start : spotCentroid(spots));
    if (!chosen || chosen->on < 3) {
        fit.status = rings ? NetStatus::RingPattern : vectors.empty() ? NetStatus::NoNet : NetStatus::OneRow;
        if (spots.size() == 2) fit.status = NetStatus::OneRow;
        return fit;
    }
    if (rings && chosen->on * 2 < static_cast<int>(spots.size())) {
        fit.status = NetStatus::RingPattern;
        return fit;
    }

    // Refine with the spots on the net, tightening the tolerance as the fit settles.
    Lattice lattice = chosen->lattice;
    const double minLength = std::min(length(lattice.a), length(lattice.b));
    double tolerance = 0.2 * minLength;
    std::vector<NetIndex> index;
    for (int pass = 0; pass < 4; ++pass) {
        indexSpots(spots, lattice, tolerance, index);
        std::vector<bool> use(spots.size());
        for (std::size_t k = 0; k < spots.size(); ++k) use[k] = index[k].onNet;
        const LeastSquares ls = leastSquares(spots, index, use, lattice, false);
        if (!ls.ok) break;
        lattice = ls.lattice;
        tolerance = std::clamp(4 * ls.rms, 1.5, 0.2 * minLength);
    }
    reduceBasis(lattice.a, lattice.b);
    indexSpots(spots, lattice, tolerance, index);

    // The direct beam: the lattice point near the start about which the spots pair up best, pairs
    // of like intensity counting most (Friedel pairs diffract alike).
    std::map<std::pair<int, int>, std::size_t> at;
    double brightest = 0;
    for (std::size_t k = 0; k < spots.size(); ++k) {
        if (index[k].onNet) at.emplace(std::pair{index[k].m, index[k].n}, k);
        brightest = std::max(brightest, spots[k].intensity);
    }
    const Nearest s0 = nearestPoint(lattice, start.x, start.y);
    const double cell = std::max(length(lattice.a), length(lattice.b));
    std::pair<int, int> beam{s0.m, s0.n};
    if (!options.lockedCentre) {
        double bestScore = -INFINITY;
        const double stepPenalty = options.startCentre ? 2.0 : 0.5;
        for (int dm = -4; dm <= 4; ++dm)
            for (int dn = -4; dn <= 4; ++dn) {
                const int m0 = s0.m + dm, n0 = s0.n + dn;
                const double px = lattice.origin.x + m0 * lattice.a.x + n0 * lattice.b.x;
                const double py = lattice.origin.y + m0 * lattice.a.y + n0 * lattice.b.y;
                const double distance = std::hypot(px - start.x, py - start.y);
                if (distance > 3.5 * cell) continue;
                double score = -stepPenalty * distance / minLength;
                for (const auto& [mn, k] : at) {
                    if (mn == std::pair{m0, n0}) {
                        if (brightest > 0) score += 1.5 * std::max(spots[k].intensity, 0.0) / brightest;
                        continue;
                    }
                    const auto mirror = at.find({2 * m0 - mn.first, 2 * n0 - mn.second});
                    if (mirror == at.end()) continue;
                    const double u = std::max(spots[k].intensity, 0.0), v = std::max(spots[mirror->second].intensity, 0.0);
                    const double likeness = std::max(u, v) > 0 ? std::min(u, v) / std::max(u, v) : 0;
                    score += likeness - 0.25;
                }
                if (score > bestScore) {
                    bestScore = score;
                    beam = {m0, n0};
                }
            }
    }
    Lattice centred = lattice;
    centred.origin = {lattice.origin.x + beam.first * lattice.a.x + beam.second * lattice.b.x,
                      lattice.origin.y + beam.first * lattice.a.y + beam.second * lattice.b.y};
    if (options.lockedCentre) centred.origin = *options.lockedCentre;

    // The final fit about the centre. A saturated beam's detected spot is left out (the window of
    // its centroid wanders over the flat top, and a blocked beam has none); an unsaturated beam's
    // spot is one more spot of the net.
    const bool beamSpotCounts = !options.lockedCentre && !options.startCentre;
    LeastSquares ls;
    std::vector<bool> use(spots.size());
    for (int pass = 0; pass < 3; ++pass) {
        indexSpots(spots, centred, tolerance, index);
        for (std::size_t k = 0; k < spots.size(); ++k)
            use[k] = index[k].onNet && (beamSpotCounts || !(index[k].m == 0 && index[k].n == 0));
        const LeastSquares next = leastSquares(spots, index, use, centred, options.lockedCentre.has_value());
        if (!next.ok) break;
        ls = next;
        centred = ls.lattice;
        tolerance = std::clamp(4 * ls.rms, 1.5, 0.2 * minLength);
    }
    if (!ls.ok) {
        fit.status = NetStatus::NoNet;
        return fit;
    }
    // The plateau is weighed in when it agrees with the spots' centre within both uncertainties
    // (chi-square of two degrees of freedom below its 0.1 % point); one that does not is some
    // other patch, or a beam drawn out of shape, and the spots alone decide.
    if (!options.lockedCentre && options.startCentre && options.startCentre->sigmaPx > 0) {
        const BeamEstimate& plateau = *options.startCentre;
        const double spotsVariance = ls.sigma * ls.sigma * std::max(ls.inverse[0][0], 0.0);
        const double plateauVariance = plateau.sigmaPx * plateau.sigmaPx;
        const double distance2 = std::pow(centred.origin.x - plateau.centre.x, 2) +
                                 std::pow(centred.origin.y - plateau.centre.y, 2);
        if (distance2 <= 13.8 * (spotsVariance + plateauVariance)) {
            const LeastSquares joint = leastSquares(spots, index, use, centred, false,
                                                    OriginMeasurement{plateau.centre, ls.sigma * ls.sigma / plateauVariance});
            if (joint.ok) {
                ls = joint;
                centred = ls.lattice;
                fit.plateauCounted = true;
            }
        }
    }
    indexSpots(spots, centred, tolerance, index);
    // Points that a net explains only within a large share of its spacing are not on a net.
    if (ls.rms > 0.1 * minLength) {
        fit.status = rings ? NetStatus::RingPattern : NetStatus::NoNet;
        return fit;
    }

    fit.centre = centred.origin;
    fit.a = centred.a;
    fit.b = centred.b;
    fit.residualPx = ls.rms;
    const int p0 = options.lockedCentre ? 0 : 1;
    fit.centreSigmaPx = options.lockedCentre ? 0.0 : ls.sigma * std::sqrt(std::max(ls.inverse[0][0], 0.0));
    fit.sigmaAPx = ls.sigma * std::sqrt(std::max(ls.inverse[p0][p0], 0.0));
    fit.sigmaBPx = ls.sigma * std::sqrt(std::max(ls.inverse[p0 + 1][p0 + 1], 0.0));
    fit.sigmaAngleDeg = std::sqrt(std::pow(fit.sigmaAPx / fit.lengthA(), 2) + std::pow(fit.sigmaBPx / fit.lengthB(), 2)) *
                        180 / kPi;
    fit.index = index;
    // Spots within a third of the shortest spacing from the centre are the direct beam.
    std::map<std::pair<int, int>, int> directions;
    for (std::size_t k = 0; k < spots.size(); ++k) {
        if (std::hypot(spots[k].x - fit.centre.x, spots[k].y - fit.centre.y) < minLength / 3) {
            fit.index[k] = {0, 0, true};
            continue;
        }
        ++fit.spotsDetected;
        if (!index[k].onNet) continue;
        ++fit.spotsExplained;
        int m = index[k].m, n = index[k].n;
        const int g = std::gcd(m, n);
        m /= g;
        n /= g;
        if (m < 0 || (m == 0 && n < 0)) {
            m = -m;
            n = -n;
        }
        ++directions[{m, n}];
    }
    // A net that leaves most spots off it is a chance one.
    if (fit.spotsExplained * 10 < fit.spotsDetected * 4) {
        fit.status = rings ? NetStatus::RingPattern : NetStatus::NoNet;
        return fit;
    }
    int mostInRow = 0;
    for (const auto& [d, count] : directions) mostInRow = std::max(mostInRow, count);
    if (static_cast<int>(fit.spotsExplained) - mostInRow < 2) {
        fit.status = NetStatus::OneRow;
        return fit;
    }
    fit.status = NetStatus::Ok;
    return fit;
}

}  // namespace saed::analysis
