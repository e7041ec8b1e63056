// SPDX-License-Identifier: BSD-3-Clause
// Diffraction spots on a raster.
#include "measure/spots.h"

#include <algorithm>
#include <array>
#include <cmath>   // for hypot, lround, abs, isfinite

namespace saed::measure {

namespace {

double median(std::vector<double>& v) {
    if (v.empty()) return 0.0;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// Solves the symmetric 3 x 3 system m x = b by Cramer's rule; false when singular.
bool solve3(const std::array<std::array<double, 3>, 3>& m, const std::array<double, 3>& b,
            std::array<double, 3>& x) {
    const auto det = [](const std::array<std::array<double, 3>, 3>& a) {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
               a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    const double d = det(m);
    if (!(std::abs(d) > 1e-12)) return false;
    for (int c = 0; c < 3; ++c) {
        auto mc = m;
        for (int r = 0; r < 3; ++r) mc[r][c] = b[r];
        x[c] = det(mc) / d;
    }
    return true;
}

// Mean of the 3 x 3 block around (x, y), the block clipped to the image.
double mean3(const core::Raster& r, int x, int y) {
    double sum = 0.0;
    int n = 0;
    for (int j = std::max(0, y - 1); j <= std::min(r.height() - 1, y + 1); ++j)
        for (int i = std::max(0, x - 1); i <= std::min(r.width() - 1, x + 1); ++i) {
            const double v = r.value(i, j);
            if (std::isfinite(v)) {
                sum += v;
                ++n;
            }
        }
    return n ? sum / n : 0.0;
}

struct Window {
    int x0, y0, x1, y1;   // inclusive, clipped to the image
};

Window windowAround(const core::Raster& r, int cx, int cy, int radius) {
    return {std::max(0, cx - radius), std::max(0, cy - radius), std::min(r.width() - 1, cx + radius),
            std::min(r.height() - 1, cy + radius)};
}

// Background plane a + b x + c y fitted to the window's border, and the border's noise.
struct Background {
    double a = 0.0, b = 0.0, c = 0.0;
    double noise = 0.0;
    double at(double x, double y) const { return a + b * x + c * y; }
};

Background fitBorder(const core::Raster& r, const Window& w) {
    std::array<std::array<double, 3>, 3> m{};
    std::array<double, 3> rhs{};
    std::vector<std::array<double, 3>> border;
    for (int y = w.y0; y <= w.y1; ++y)
        for (int x = w.x0; x <= w.x1; ++x) {
            if (y != w.y0 && y != w.y1 && x != w.x0 && x != w.x1) continue;
            const double v = r.value(x, y);
            if (!std::isfinite(v)) continue;
            border.push_back({static_cast<double>(x), static_cast<double>(y), v});
        }
    Background bg;
    if (border.empty()) return bg;
    // Centred coordinates keep the system well conditioned far from the origin.
    const double ox = 0.5 * (w.x0 + w.x1), oy = 0.5 * (w.y0 + w.y1);
    for (const auto& p : border) {
        const std::array<double, 3> f{1.0, p[0] - ox, p[1] - oy};
        for (int i = 0; i < 3; ++i) {
            rhs[i] += f[i] * p[2];
            for (int j = 0; j < 3; ++j) m[i][j] += f[i] * f[j];
        }
    }
    std::array<double, 3> s{};
    if (!solve3(m, rhs, s)) {
        std::vector<double> values;
        for (const auto& p : border) values.push_back(p[2]);
        s = {median(values), 0.0, 0.0};
    }
    bg.a = s[0] - s[1] * ox - s[2] * oy;
    bg.b = s[1];
    bg.c = s[2];
    std::vector<double> residuals;
    for (const auto& p : border) residuals.push_back(std::abs(p[2] - bg.at(p[0], p[1])));
    bg.noise = 1.4826 * median(residuals);
    return bg;
}

}  // namespace

std::optional<Spot> refineSpotCentre(const core::Raster& raster, core::PixelPoint near, double radiusPx) {
    if (raster.empty() || !std::isfinite(near.x) || !std::isfinite(near.y)) return std::nullopt;
    if (near.x < -0.5 || near.y < -0.5 || near.x > raster.width() - 0.5 || near.y > raster.height() - 0.5)
        return std::nullopt;
    constexpr int kMaxRadius = 64;
    const int minRadius = std::clamp(static_cast<int>(std::lround(radiusPx)), 2, kMaxRadius);

    // The brightest 3 x 3 mean within the radius is the spot meant.
    const int nx = static_cast<int>(std::lround(near.x)), ny = static_cast<int>(std::lround(near.y));
    int cx = nx, cy = ny;
    double best = -INFINITY;
    const Window search = windowAround(raster, nx, ny, minRadius);
    for (int y = search.y0; y <= search.y1; ++y)
        for (int x = search.x0; x <= search.x1; ++x) {
            if ((x - near.x) * (x - near.x) + (y - near.y) * (y - near.y) > radiusPx * radiusPx) continue;
            const double m = mean3(raster, x, y);
            if (m > best) {
                best = m;
                cx = x;
                cy = y;
            }
        }

    // A spot wider than the window (a saturated direct beam) would be cut unevenly: grow the
    // window while its border stands clearly above the background further out.
    int radius = minRadius;
    for (; radius < kMaxRadius; radius = std::min(kMaxRadius, radius * 3 / 2)) {
        std::vector<double> border, far;
        for (const auto& [ring, values] : {std::pair{radius, &border}, std::pair{2 * radius, &far}}) {
            for (int j = cy - ring; j <= cy + ring; ++j)
                for (int i = cx - ring; i <= cx + ring; ++i) {
                    if (std::max(std::abs(i - cx), std::abs(j - cy)) != ring) continue;
                    if (i >= 0 && j >= 0 && i < raster.width() && j < raster.height()) {
                        const double v = raster.value(i, j);
                        if (std::isfinite(v)) values->push_back(v);
                    }
                }
        }
        if (border.empty() || far.empty()) break;
        const double background = median(far);
        std::vector<double> deviations;
        for (double v : far) deviations.push_back(std::abs(v - background));
        const double noise = 1.4826 * median(deviations);
        const double excess = median(border) - background;
        if (excess <= 0.05 * (best - background) || excess <= 2.0 * noise) break;
    }

    Spot spot;
    for (int iteration = 0; iteration < 8; ++iteration) {
        const Window w = windowAround(raster, cx, cy, radius);
        if (w.x1 - w.x0 < 2 || w.y1 - w.y0 < 2) return std::nullopt;
        const Background bg = fitBorder(raster, w);
        const double threshold = 2.0 * bg.noise;
        double sw = 0.0, sx = 0.0, sy = 0.0, total = 0.0;
        for (int y = w.y0; y <= w.y1; ++y)
            for (int x = w.x0; x <= w.x1; ++x) {
                const double v = raster.value(x, y);
                if (!std::isfinite(v)) continue;
                const double above = v - bg.at(x, y);
                total += above;
                const double weight = above - threshold;
                if (weight <= 0.0) continue;
                sw += weight;
                sx += weight * x;
                sy += weight * y;
            }
        if (!(sw > 0.0)) return std::nullopt;
        spot.x = sx / sw;
        spot.y = sy / sw;
        spot.intensity = total;
        const int nextX = static_cast<int>(std::lround(spot.x)), nextY = static_cast<int>(std::lround(spot.y));
        if (nextX == cx && nextY == cy) break;
        cx = nextX;
        cy = nextY;
    }
    return spot;
}

double estimateNoise(const core::Raster& raster) {
    if (raster.width() < 2) return 0.0;
    const std::size_t pairs = static_cast<std::size_t>(raster.width() - 1) * raster.height();
    const std::size_t step = std::max<std::size_t>(1, pairs / 1'000'000);
    std::vector<double> diffs;
    diffs.reserve(pairs / step + 1);
    double lo = INFINITY, hi = -INFINITY;
    for (std::size_t k = 0; k < pairs; k += step) {
        const int y = static_cast<int>(k / (raster.width() - 1));
        const int x = static_cast<int>(k % (raster.width() - 1));
        const double a = raster.value(x, y), b = raster.value(x + 1, y);
        if (!std::isfinite(a) || !std::isfinite(b)) continue;
        diffs.push_back(std::abs(a - b));
        lo = std::min(lo, a);
        hi = std::max(hi, a);
    }
    if (diffs.empty()) return 0.0;
    // The difference of two pixels has sqrt(2) times their noise; its median absolute value is
    // 0.6745 of its standard deviation.
    const double sigma = median(diffs) / (0.6745 * std::sqrt(2.0));
    return std::max(sigma, 1e-6 * (hi - lo));
}

std::vector<Spot> detectSpots(const core::Raster& raster, const SpotDetectionOptions& options) {
    std::vector<Spot> spots;
    const int w = raster.width(), h = raster.height();
    if (w < 3 || h < 3) return spots;
    const int r = std::clamp(options.radiusPx, 1, 64);

    // 3 x 3 means, by running sums along rows and then columns.
    const std::vector<float> f = raster.toFloats();
    std::vector<float> rows(f.size()), s(f.size());
    for (int y = 0; y < h; ++y) {
        const float* in = &f[static_cast<std::size_t>(y) * w];
        float* out = &rows[static_cast<std::size_t>(y) * w];
        for (int x = 0; x < w; ++x) {
            float sum = 0.0f;
            int n = 0;
            for (int i = std::max(0, x - 1); i <= std::min(w - 1, x + 1); ++i)
                if (std::isfinite(in[i])) {
                    sum += in[i];
                    ++n;
                }
            out[x] = n ? sum / static_cast<float>(n) : 0.0f;
        }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sum = 0.0f;
            int n = 0;
            for (int j = std::max(0, y - 1); j <= std::min(h - 1, y + 1); ++j, ++n)
                sum += rows[static_cast<std::size_t>(j) * w + x];
            s[static_cast<std::size_t>(y) * w + x] = sum / static_cast<float>(n);
        }

    const double noise = estimateNoise(raster) / 3.0;
    std::vector<double> sample;
    for (std::size_t i = 0; i < s.size(); i += std::max<std::size_t>(1, s.size() / 100'000)) sample.push_back(s[i]);
    const double floor = median(sample) + options.minSnr * noise;

    const auto at = [&](int x, int y) { return s[static_cast<std::size_t>(y) * w + x]; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float v = at(x, y);
            if (!(v > floor)) continue;
            // A local maximum of its window; ties go to the first pixel in reading order.
            bool peak = true;
            for (int j = std::max(0, y - r); peak && j <= std::min(h - 1, y + r); ++j)
                for (int i = std::max(0, x - r); i <= std::min(w - 1, x + r); ++i) {
                    const float u = at(i, j);
                    const bool earlier = j < y || (j == y && i < x);
                    if (u > v || (earlier && u == v)) {
                        peak = false;
                        break;
                    }
                }
            if (!peak) continue;
            std::vector<double> ring;
            const int rr = r + 2;
            for (int j = y - rr; j <= y + rr; ++j)
                for (int i = x - rr; i <= x + rr; ++i) {
                    if (std::max(std::abs(i - x), std::abs(j - y)) != rr) continue;
                    if (i >= 0 && j >= 0 && i < w && j < h) ring.push_back(at(i, j));
                }
            const double snr = (v - median(ring)) / noise;
            if (!(snr >= options.minSnr)) continue;
            if (auto refined = refineSpotCentre(raster, {static_cast<double>(x), static_cast<double>(y)}, r)) {
                refined->snr = snr;
                spots.push_back(*refined);
            }
        }
    }
    // A spot with two or more pixels at the image's highest value near its centre is clipped.
    float top = -INFINITY;
    for (float v : f)
        if (std::isfinite(v)) top = std::max(top, v);
    for (Spot& sp : spots) {
        const int sx = static_cast<int>(std::lround(sp.x)), sy = static_cast<int>(std::lround(sp.y));
        int atTop = 0;
        for (int j = std::max(0, sy - 2); j <= std::min(h - 1, sy + 2); ++j)
            for (int i = std::max(0, sx - 2); i <= std::min(w - 1, sx + 2); ++i)
                if (f[static_cast<std::size_t>(j) * w + i] >= top) ++atTop;
        sp.saturated = atTop >= 2;
    }
    std::sort(spots.begin(), spots.end(), [](const Spot& a, const Spot& b) { return a.intensity > b.intensity; });
    // A spot refined onto a brighter one's centre is the same spot.
    std::vector<Spot> kept;
    for (const Spot& sp : spots) {
        const bool seen = std::any_of(kept.begin(), kept.end(), [&](const Spot& k) {
            return std::hypot(k.x - sp.x, k.y - sp.y) < 1.0;
        });
        if (!seen) kept.push_back(sp);
        if (kept.size() >= options.maxSpots) break;
    }
    return kept;
}

std::optional<core::PixelPoint> friedelCentre(const std::vector<Spot>& allSpots, double tolerancePx) {
    const std::size_t n = std::min<std::size_t>(allSpots.size(), 80);
    std::vector<Spot> spots(allSpots.begin(), allSpots.begin() + static_cast<std::ptrdiff_t>(n));
    struct Midpoint {
        double x, y, likeness;
    };
    std::vector<Midpoint> mids;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            const double a = std::max(spots[i].intensity, 0.0), b = std::max(spots[j].intensity, 0.0);
            const double likeness = std::max(a, b) > 0.0 ? std::min(a, b) / std::max(a, b) : 0.0;
            mids.push_back({0.5 * (spots[i].x + spots[j].x), 0.5 * (spots[i].y + spots[j].y), likeness});
        }
    // Friedel pairs have like intensities and share one midpoint; pairs that only happen to
    // share a midpoint are fewer and less alike.
    const double tol2 = tolerancePx * tolerancePx;
    double bestScore = 0.0;
    int bestCount = 0;
    std::size_t best = 0;
    for (std::size_t k = 0; k < mids.size(); ++k) {
        double score = 0.0;
        int count = 0;
        for (const Midpoint& m : mids) {
            const double dx = m.x - mids[k].x, dy = m.y - mids[k].y;
            if (dx * dx + dy * dy <= tol2) {
                score += m.likeness;
                ++count;
            }
        }
        if (score > bestScore) {
            bestScore = score;
            bestCount = count;
            best = k;
        }
    }
    if (bestCount < 2) return std::nullopt;
    core::PixelPoint c{mids[best].x, mids[best].y};
    // Mean of the midpoints about the estimate, twice, so that the estimate settles on them.
    for (int pass = 0; pass < 2; ++pass) {
        double sx = 0.0, sy = 0.0;
        int count = 0;
        for (const Midpoint& m : mids) {
            const double dx = m.x - c.x, dy = m.y - c.y;
            if (dx * dx + dy * dy <= tol2) {
                sx += m.x;
                sy += m.y;
                ++count;
            }
        }
        if (count == 0) break;
        c = {sx / count, sy / count};
    }
    // Every spot whose mirror about the estimate is a spot gives one more midpoint.
    double sx = 0.0, sy = 0.0;
    int count = 0;
    for (const Spot& p : allSpots) {
        const double mx = 2.0 * c.x - p.x, my = 2.0 * c.y - p.y;
        if (std::hypot(p.x - c.x, p.y - c.y) < 2.0 * tolerancePx) continue;   // the direct beam
        for (const Spot& q : allSpots) {
            if (std::hypot(q.x - mx, q.y - my) <= tolerancePx) {
                sx += 0.5 * (p.x + q.x);
                sy += 0.5 * (p.y + q.y);
                ++count;
                break;
            }
        }
    }
    if (count >= 4) c = {sx / count, sy / count};
    return c;
}

std::optional<core::PixelPoint> findDirectBeamCentre(const core::Raster& raster, const SpotDetectionOptions& options) {
    return friedelCentre(detectSpots(raster, options));
}

std::optional<LatticeVectors> chooseLatticeVectors(const std::vector<Spot>& spots, core::PixelPoint centre,
                                                   bool keepCentre) {
    struct Vec {
        double x, y;
        double length() const { return std::hypot(x, y); }
    };
    std::vector<Vec> v;
    for (const Spot& s : spots) {
        const Vec d{s.x - centre.x, s.y - centre.y};
        if (d.length() > 3.0) v.push_back(d);
    }
    std::sort(v.begin(), v.end(), [](const Vec& a, const Vec& b) { return a.length() < b.length(); });
    const auto tolerance = [](const Vec& d) { return std::max(1.5, 0.03 * d.length()); };
    const auto present = [&](Vec d) {
        return std::any_of(v.begin(), v.end(), [&](const Vec& e) {
            return std::hypot(e.x - d.x, e.y - d.y) <= tolerance(d);
        });
    };
    const auto hasMate = [&](const Vec& d) { return present({-d.x, -d.y}); };

    std::optional<Vec> r1, r2;
    for (const Vec& d : v)
        if (hasMate(d)) {
            r1 = d;
            break;
        }
    if (!r1) return std::nullopt;
    const double sin15 = std::sin(15.0 * 3.14159265358979323846 / 180.0);
    for (const Vec& d : v) {
        const double cross = r1->x * d.y - r1->y * d.x;
        if (std::abs(cross) > sin15 * r1->length() * d.length() && hasMate(d)) {
            r2 = d;
            break;
        }
    }
    if (!r2) return std::nullopt;
    if (r1->x * r2->x + r1->y * r2->y > 0.0) r2 = Vec{-r2->x, -r2->y};

    // Index every spot on the lattice (centre, r1, r2) and refine all three by least squares:
    // spot = centre + m r1 + n r2.
    LatticeVectors out;
    Vec a = *r1, b = *r2;
    core::PixelPoint c = centre;
    for (int pass = 0; pass < 2; ++pass) {
        const double det = a.x * b.y - a.y * b.x;
        std::array<std::array<double, 3>, 3> m{};
        std::array<double, 3> rx{}, ry{};
        int indexed = 0;
        for (const Spot& s : spots) {
            const double dx = s.x - c.x, dy = s.y - c.y;
            const double fm = (dx * b.y - dy * b.x) / det, fn = (a.x * dy - a.y * dx) / det;
            const double im = std::round(fm), in = std::round(fn);
            const Vec residual{dx - im * a.x - in * b.x, dy - im * a.y - in * b.y};
            if (residual.length() > tolerance({dx, dy})) continue;
            const std::array<double, 3> f{1.0, im, in};
            for (int i = 0; i < 3; ++i) {
                rx[i] += f[i] * s.x;
                ry[i] += f[i] * s.y;
                for (int j = 0; j < 3; ++j) m[i][j] += f[i] * f[j];
            }
            ++indexed;
        }
        if (keepCentre) {
            // A kept centre is no unknown: its equation says x0 = c, the other two fit r1 and r2.
            m[0] = {1.0, 0.0, 0.0};
            rx[0] = c.x;
            ry[0] = c.y;
        }
        std::array<double, 3> sx{}, sy{};
        if (indexed < 4 || !solve3(m, rx, sx) || !solve3(m, ry, sy)) break;
        c = {sx[0], sy[0]};
        a = {sx[1], sy[1]};
        b = {sx[2], sy[2]};
        out.spotsIndexed = indexed;
    }
    out.r1 = {a.x, a.y};
    out.r2 = {b.x, b.y};
    out.r3 = {a.x + b.x, a.y + b.y};
    out.centre = c;
    return out;
}

}  // namespace saed::measure
