// SPDX-License-Identifier: BSD-3-Clause
// Ring measurement: masks, a first centre from the image's gradients, then rounds of sector
// profiles whose ring positions fit one family of concentric, similar ellipses.
#include "analysis/ringpattern.h"

#include <algorithm>
#include <array>
#include <cmath>     // for sqrt, exp, log, atan2, hypot
#include <cstdint>
#include <numeric>   // for accumulate

#include "analysis/linearsolve.h"

namespace saed::analysis {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSectors = 72;
constexpr double kBin = 0.5;  // corrected pixels per profile bin

// atan2 to about 1e-5 rad, several times cheaper than std::atan2: the sector of a pixel only.
inline double fastAtan2(double y, double x) {
    const double ax = std::abs(x), ay = std::abs(y);
    const double mx = std::max(ax, ay);
    if (mx == 0.0) return 0.0;
    const double a = std::min(ax, ay) / mx;
    const double s = a * a;
    double r = ((-0.0464964749 * s + 0.15931422) * s - 0.327622764) * s * a + a;
    if (ay > ax) r = kPi / 2 - r;
    if (x < 0) r = kPi - r;
    return y < 0 ? -r : r;
}

struct Image {
    int width = 0, height = 0;
    std::vector<float> values;
    std::vector<std::uint8_t> masked;  // 1: left out
};

// The ceiling of the detector: the largest value when at least eight pixels reach it exactly.
void maskSaturated(Image& img) {
    const float top = *std::max_element(img.values.begin(), img.values.end());
    const auto atTop = std::count(img.values.begin(), img.values.end(), top);
    if (atTop < 8) return;
    std::vector<std::uint8_t> hit(img.values.size(), 0);
    for (std::size_t i = 0; i < img.values.size(); ++i) hit[i] = img.values[i] >= top;
    // One pixel round each, where the bloom of a saturated pixel still lifts its neighbours.
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            if (!hit[static_cast<std::size_t>(y) * img.width + x]) continue;
            for (int yy = std::max(0, y - 1); yy <= std::min(img.height - 1, y + 1); ++yy)
                for (int xx = std::max(0, x - 1); xx <= std::min(img.width - 1, x + 1); ++xx)
                    img.masked[static_cast<std::size_t>(yy) * img.width + xx] = 1;
        }
}

// Block means of the unmasked pixels, f x f pixels a block; a block more than half masked is
// invalid (NaN).
struct Binned {
    int factor = 1, width = 0, height = 0;
    std::vector<double> values;
    double at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
    // The image pixel at a block's centre.
    double fullX(double bx) const { return bx * factor + (factor - 1) / 2.0; }
};

Binned binImage(const Image& img) {
    Binned b;
    b.factor = std::max(1, (std::max(img.width, img.height) + 511) / 512);
    b.width = img.width / b.factor;
    b.height = img.height / b.factor;
    b.values.assign(static_cast<std::size_t>(b.width) * b.height, std::nan(""));
    for (int by = 0; by < b.height; ++by)
        for (int bx = 0; bx < b.width; ++bx) {
            double sum = 0;
            int n = 0;
            for (int y = by * b.factor; y < (by + 1) * b.factor; ++y)
                for (int x = bx * b.factor; x < (bx + 1) * b.factor; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * img.width + x;
                    if (img.masked[i]) continue;
                    sum += img.values[i];
                    ++n;
                }
            if (2 * n >= b.factor * b.factor) b.values[static_cast<std::size_t>(by) * b.width + bx] = sum / n;
        }
    return b;
}

// The point nearest to the lines through the strongest edges along their gradients: on
// concentric rings every such line runs through the centre. Lines far from the consensus
// (edges of a beam stop, of the image) lose their weight round by round. No value when too
// few lines agree.
std::optional<std::array<double, 2>> centreFromGradients(const Binned& b) {
    struct Line {
        double x, y, nx, ny, w;
    };
    std::vector<Line> lines;
    std::vector<double> smooth(b.values.size(), std::nan(""));
    for (int y = 1; y + 1 < b.height; ++y)
        for (int x = 1; x + 1 < b.width; ++x) {
            double s = 0;
            bool ok = true;
            for (int dy = -1; dy <= 1 && ok; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const double v = b.at(x + dx, y + dy);
                    if (std::isnan(v)) { ok = false; break; }
                    s += v;
                }
            if (ok) smooth[static_cast<std::size_t>(y) * b.width + x] = s / 9.0;
        }
    const auto sm = [&](int x, int y) { return smooth[static_cast<std::size_t>(y) * b.width + x]; };
    for (int y = 2; y + 2 < b.height; ++y)
        for (int x = 2; x + 2 < b.width; ++x) {
            const double gx = (sm(x + 1, y - 1) + 2 * sm(x + 1, y) + sm(x + 1, y + 1)) -
                              (sm(x - 1, y - 1) + 2 * sm(x - 1, y) + sm(x - 1, y + 1));
            const double gy = (sm(x - 1, y + 1) + 2 * sm(x, y + 1) + sm(x + 1, y + 1)) -
                              (sm(x - 1, y - 1) + 2 * sm(x, y - 1) + sm(x + 1, y - 1));
            const double g = std::hypot(gx, gy);
            if (!std::isfinite(g) || g <= 0) continue;
            lines.push_back({double(x), double(y), gx / g, gy / g, g});
        }
    if (lines.size() < 50) return std::nullopt;
    // The strongest 5 % of the edges.
    std::vector<double> mags(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) mags[i] = lines[i].w;
    const std::size_t keep = std::max<std::size_t>(50, lines.size() / 20);
    std::nth_element(mags.begin(), mags.end() - static_cast<std::ptrdiff_t>(keep), mags.end());
    const double threshold = *(mags.end() - static_cast<std::ptrdiff_t>(keep));
    std::erase_if(lines, [&](const Line& l) { return l.w < threshold; });

    double cx = b.width / 2.0, cy = b.height / 2.0;
    double scale = std::max(b.width, b.height) / 4.0;
    for (int round = 0; round < 12; ++round) {
        double a11 = 0, a12 = 0, a22 = 0, r1 = 0, r2 = 0;
        for (const Line& l : lines) {
            // Distance of the present centre from the line through (x, y) along n.
            const double d = (cx - l.x) * l.ny - (cy - l.y) * l.nx;
            const double w = l.w / (1.0 + (d / scale) * (d / scale));
            // (I - n n^T) (c - p) = 0
            const double m11 = 1 - l.nx * l.nx, m12 = -l.nx * l.ny, m22 = 1 - l.ny * l.ny;
            a11 += w * m11; a12 += w * m12; a22 += w * m22;
            r1 += w * (m11 * l.x + m12 * l.y);
            r2 += w * (m12 * l.x + m22 * l.y);
        }
        const double det = a11 * a22 - a12 * a12;
        if (!(std::abs(det) > 1e-12 * (a11 + a22) * (a11 + a22))) return std::nullopt;
        cx = (a22 * r1 - a12 * r2) / det;
        cy = (a11 * r2 - a12 * r1) / det;
        scale = std::max(1.0, scale * 0.6);
    }
    double agree = 0, total = 0;
    for (const Line& l : lines) {
        const double d = (cx - l.x) * l.ny - (cy - l.y) * l.nx;
        total += l.w;
        if (std::abs(d) < 2.0) agree += l.w;
    }
    if (total <= 0 || agree / total < 0.15) return std::nullopt;
    if (cx < 0 || cy < 0 || cx > b.width - 1 || cy > b.height - 1) return std::nullopt;
    return std::array<double, 2>{b.fullX(cx), b.fullX(cy)};
}

// Blocks far darker than the median of their annulus: a beam stop, its arm, a dead area.
void maskBeamStop(Image& img, const Binned& b, double cx, double cy) {
    const double bcx = (cx - (b.factor - 1) / 2.0) / b.factor, bcy = (cy - (b.factor - 1) / 2.0) / b.factor;
    const int bins = static_cast<int>(std::hypot(b.width, b.height)) + 2;
    std::vector<std::vector<double>> annulus(static_cast<std::size_t>(bins));
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const double v = b.at(x, y);
            if (std::isnan(v)) continue;
            annulus[static_cast<std::size_t>(std::hypot(x - bcx, y - bcy))].push_back(v);
        }
    // The median over a wide annulus: a thin ring, wavy under the distortion, must not make
    // the background beside it look dark.
    std::vector<double> median(annulus.size(), std::nan(""));
    std::vector<double> pool;
    for (std::size_t r = 0; r < annulus.size(); ++r) {
        const std::size_t w = std::max<std::size_t>(3, r / 12);
        pool.clear();
        for (std::size_t q = r > w ? r - w : 0; q <= std::min(annulus.size() - 1, r + w); ++q)
            pool.insert(pool.end(), annulus[q].begin(), annulus[q].end());
        if (pool.size() < 8) continue;
        std::nth_element(pool.begin(), pool.begin() + static_cast<std::ptrdiff_t>(pool.size() / 2), pool.end());
        median[r] = pool[pool.size() / 2];
    }
    const float floor = *std::min_element(img.values.begin(), img.values.end());
    // Inside a stop's disc the annulus itself is dark: the lower quartile of the whole image
    // stands in for it.
    std::vector<double> all;
    for (double v : b.values)
        if (!std::isnan(v)) all.push_back(v);
    if (all.empty()) return;
    std::nth_element(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(all.size() / 4), all.end());
    const double quartile = all[all.size() / 4];
    std::vector<std::uint8_t> dark(b.values.size(), 0);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const double v = b.at(x, y);
            const double m = median[static_cast<std::size_t>(std::hypot(x - bcx, y - bcy))];
            if (std::isnan(v) || std::isnan(m)) continue;
            if (v - floor < 0.35 * (std::max(m, quartile) - floor)) dark[static_cast<std::size_t>(y) * b.width + x] = 1;
        }
    // One block round each dark block, for the blurred edge of the stop.
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    if (xx >= 0 && yy >= 0 && xx < b.width && yy < b.height && dark[static_cast<std::size_t>(yy) * b.width + xx]) {
                        near = true;
                        break;
                    }
                }
            if (!near) continue;
            for (int py = y * b.factor; py < (y + 1) * b.factor; ++py)
                for (int px = x * b.factor; px < (x + 1) * b.factor; ++px)
                    img.masked[static_cast<std::size_t>(py) * img.width + px] = 1;
        }
}

// Sums of the unmasked pixels by sector and corrected radius.
struct Accumulated {
    int bins = 0;
    std::vector<double> sum;             // [sector * bins + bin]
    std::vector<std::uint32_t> count;
    std::vector<double> total, totalSq;  // all sectors, by bin
    std::vector<std::uint32_t> totalCount;
    int step = 1;

    double sectorMean(int s, int b) const {
        const std::size_t i = static_cast<std::size_t>(s) * bins + b;
        return count[i] ? sum[i] / count[i] : std::nan("");
    }
    std::uint32_t sectorCount(int s, int b) const { return count[static_cast<std::size_t>(s) * bins + b]; }
};

Accumulated accumulate(const Image& img, double cx, double cy, const core::EllipticDistortion& dist, int step) {
    Accumulated acc;
    acc.step = step;
    double maxR = 0;
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, std::pair{double(img.width - 1), 0.0},
                               std::pair{0.0, double(img.height - 1)},
                               std::pair{double(img.width - 1), double(img.height - 1)}})
        maxR = std::max(maxR, std::hypot(x - cx, y - cy));
    acc.bins = static_cast<int>(maxR * std::sqrt(dist.ratio) / kBin) + 2;
    acc.sum.assign(static_cast<std::size_t>(kSectors) * acc.bins, 0.0);
    acc.count.assign(acc.sum.size(), 0);
    acc.total.assign(static_cast<std::size_t>(acc.bins), 0.0);
    acc.totalSq.assign(acc.total.size(), 0.0);
    acc.totalCount.assign(acc.total.size(), 0);
    // The correction as a matrix: columns are the corrected unit vectors.
    double m00 = 1, m01 = 0, m10 = 0, m11 = 1;
    dist.correct(m00, m10);
    dist.correct(m01, m11);
    const double sectorsPerRad = kSectors / (2 * kPi);
    for (int y = 0; y < img.height; y += step) {
        const double dy = y - cy;
        const std::size_t row = static_cast<std::size_t>(y) * img.width;
        for (int x = 0; x < img.width; x += step) {
            if (img.masked[row + x]) continue;
            const double dx = x - cx;
            const double u = m00 * dx + m01 * dy, v = m10 * dx + m11 * dy;
            const double rho = std::sqrt(u * u + v * v);
            const int b = static_cast<int>(rho / kBin + 0.5);
            if (b >= acc.bins) continue;
            int s = static_cast<int>((fastAtan2(v, u) + kPi) * sectorsPerRad);
            if (s >= kSectors) s = kSectors - 1;
            if (s < 0) s = 0;
            const double val = img.values[row + x];
            const std::size_t i = static_cast<std::size_t>(s) * acc.bins + b;
            acc.sum[i] += val;
            ++acc.count[i];
            acc.total[static_cast<std::size_t>(b)] += val;
            acc.totalSq[static_cast<std::size_t>(b)] += val * val;
            ++acc.totalCount[static_cast<std::size_t>(b)];
        }
    }
    return acc;
}

// Background under the peaks of a profile: SNIP clipping (Ryan et al., Nucl. Instrum. Methods
// B 34 (1988) 396; Morhac et al., NIM A 401 (1997) 113) on the log-log-square-root transform,
// the clipping window shrinking from `window` bins to one.
std::vector<double> snipBackground(const std::vector<double>& y, int window) {
    const std::size_t n = y.size();
    if (n == 0) return {};
    const double low = *std::min_element(y.begin(), y.end());
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = std::log(std::log(std::sqrt(y[i] - low + 1.0) + 1.0) + 1.0);
    std::vector<double> w(n);
    for (int p = window; p >= 1; --p) {
        w = v;
        for (std::size_t i = static_cast<std::size_t>(p); i + static_cast<std::size_t>(p) < n; ++i)
            w[i] = std::min(v[i], 0.5 * (v[i - static_cast<std::size_t>(p)] + v[i + static_cast<std::size_t>(p)]));
        v.swap(w);
    }
    std::vector<double> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double e = std::exp(std::exp(v[i]) - 1.0) - 1.0;
        out[i] = e * e - 1.0 + low;
    }
    return out;
}

struct Peak {
    double centre = 0;  // bins
    double sigma = 0;   // bins
    double height = 0;
    double centreSigma = 0;  // bins
};

// A Gaussian with a straight background on the net profile y over [lo, hi], by damped
// Gauss-Newton; no value when it does not converge inside the window.
std::optional<Peak> fitGaussian(const std::vector<double>& y, int lo, int hi, double c0, double s0, double h0) {
    std::array<double, 5> p{h0, c0, s0, 0.0, 0.0};
    const auto model = [&](const std::array<double, 5>& q, double x) {
        const double z = (x - q[1]) / q[2];
        return q[0] * std::exp(-0.5 * z * z) + q[3] + q[4] * (x - c0);
    };
    const auto cost = [&](const std::array<double, 5>& q) {
        double c = 0;
        for (int i = lo; i <= hi; ++i) {
            const double r = y[static_cast<std::size_t>(i)] - model(q, i);
            c += r * r;
        }
        return c;
    };
    double lambda = 1e-3;
    double current = cost(p);
    std::vector<double> normal(25), rhs(5);
    for (int iter = 0; iter < 60; ++iter) {
        std::fill(normal.begin(), normal.end(), 0.0);
        std::fill(rhs.begin(), rhs.end(), 0.0);
        for (int i = lo; i <= hi; ++i) {
            const double x = i, z = (x - p[1]) / p[2], e = std::exp(-0.5 * z * z);
            const std::array<double, 5> j{e, p[0] * e * z / p[2], p[0] * e * z * z / p[2], 1.0, x - c0};
            const double r = y[static_cast<std::size_t>(i)] - model(p, x);
            for (int a = 0; a < 5; ++a) {
                rhs[static_cast<std::size_t>(a)] += j[static_cast<std::size_t>(a)] * r;
                for (int b2 = 0; b2 < 5; ++b2)
                    normal[static_cast<std::size_t>(a * 5 + b2)] += j[static_cast<std::size_t>(a)] * j[static_cast<std::size_t>(b2)];
            }
        }
        std::vector<double> damped = normal;
        for (int a = 0; a < 5; ++a) damped[static_cast<std::size_t>(a * 6)] *= 1.0 + lambda;
        const auto step = solveLinear(damped, rhs, 5);
        if (!step) return std::nullopt;
        std::array<double, 5> q = p;
        for (int a = 0; a < 5; ++a) q[static_cast<std::size_t>(a)] += (*step)[static_cast<std::size_t>(a)];
        q[2] = std::abs(q[2]);
        const double next = q[2] > 0.2 ? cost(q) : current * 2 + 1;
        if (next < current) {
            const bool small = current - next < 1e-10 * current;
            p = q;
            current = next;
            lambda = std::max(1e-7, lambda / 4);
            if (small) break;
        } else {
            lambda *= 8;
            if (lambda > 1e8) break;
        }
    }
    if (!(p[0] > 0) || p[1] < lo || p[1] > hi || p[2] > (hi - lo)) return std::nullopt;
    const int dof = hi - lo + 1 - 5;
    Peak peak;
    peak.centre = p[1];
    peak.sigma = p[2];
    peak.height = p[0];
    if (dof > 0) {
        const auto inverse = invertMatrix(normal, 5);
        if (inverse) peak.centreSigma = std::sqrt(std::max(0.0, (*inverse)[6] * current / dof));
    }
    return peak;
}

struct ProfileAnalysis {
    std::vector<double> mean, background, noise;  // by bin; noise: standard error of the mean
    std::vector<Peak> peaks;
    int inner = 0, outer = 0;  // bins read
};

// The azimuthal average, its background and its peaks.
ProfileAnalysis analyseProfile(const Accumulated& acc, int innerBin, int outerBin) {
    ProfileAnalysis pa;
    const int n = acc.bins;
    pa.mean.assign(static_cast<std::size_t>(n), 0.0);
    pa.noise.assign(static_cast<std::size_t>(n), 0.0);
    for (int b = 0; b < n; ++b) {
        const auto c = acc.totalCount[static_cast<std::size_t>(b)];
        if (c == 0) {
            pa.mean[static_cast<std::size_t>(b)] = b > 0 ? pa.mean[static_cast<std::size_t>(b - 1)] : 0.0;
            pa.noise[static_cast<std::size_t>(b)] = 1e300;
            continue;
        }
        const double m = acc.total[static_cast<std::size_t>(b)] / c;
        const double var = std::max(0.0, acc.totalSq[static_cast<std::size_t>(b)] / c - m * m);
        pa.mean[static_cast<std::size_t>(b)] = m;
        pa.noise[static_cast<std::size_t>(b)] = std::sqrt(var / c) + 1e-12;
    }
    pa.inner = innerBin;
    pa.outer = std::min(outerBin, n - 1);
    const auto findPeaks = [&](int window) {
        pa.background = snipBackground(pa.mean, window);
        std::vector<double> net(static_cast<std::size_t>(n), 0.0);
        for (int b = 0; b < n; ++b) net[static_cast<std::size_t>(b)] = pa.mean[static_cast<std::size_t>(b)] - pa.background[static_cast<std::size_t>(b)];
        // A light smoothing for finding maxima, never for measuring them.
        std::vector<double> smooth(net.size(), 0.0);
        for (int b = 2; b + 2 < n; ++b) {
            double s = 0;
            for (int k = -2; k <= 2; ++k) s += net[static_cast<std::size_t>(b + k)];
            smooth[static_cast<std::size_t>(b)] = s / 5;
        }
        double top = 0;
        for (int b = pa.inner; b <= pa.outer; ++b) top = std::max(top, smooth[static_cast<std::size_t>(b)]);
        std::vector<Peak> found;
        for (int b = std::max(pa.inner, 3); b <= pa.outer - 3; ++b) {
            const double v = smooth[static_cast<std::size_t>(b)];
            if (!(v > smooth[static_cast<std::size_t>(b - 1)] && v >= smooth[static_cast<std::size_t>(b + 1)])) continue;
            const double sigmaMean = pa.noise[static_cast<std::size_t>(b)] / std::sqrt(5.0);
            if (v < 6 * sigmaMean || v < 0.01 * top) continue;
            // Half maximum on either side, for the width and the fit's window.
            int l = b, r = b;
            while (l > pa.inner && smooth[static_cast<std::size_t>(l)] > v / 2) --l;
            while (r < pa.outer && smooth[static_cast<std::size_t>(r)] > v / 2) ++r;
            Peak p;
            p.centre = b;
            p.sigma = std::max(1.0, (r - l) / 2.3548);
            p.height = v;
            found.push_back(p);
        }
        // Fits, each in its own window that stops half way to its neighbours.
        std::vector<Peak> fitted;
        for (std::size_t i = 0; i < found.size(); ++i) {
            const Peak& p = found[i];
            double lo = p.centre - std::max(3.0, 2.5 * p.sigma), hi = p.centre + std::max(3.0, 2.5 * p.sigma);
            if (i > 0) lo = std::max(lo, (p.centre + found[i - 1].centre) / 2);
            if (i + 1 < found.size()) hi = std::min(hi, (p.centre + found[i + 1].centre) / 2);
            const int ilo = std::max(pa.inner, static_cast<int>(std::floor(lo)));
            const int ihi = std::min(pa.outer, static_cast<int>(std::ceil(hi)));
            if (ihi - ilo < 6) continue;
            const auto f = fitGaussian(net, ilo, ihi, p.centre, p.sigma, p.height);
            if (!f || f->height < 4 * pa.noise[static_cast<std::size_t>(std::lround(f->centre))] / std::sqrt(2 * f->sigma + 1))
                continue;
            // A hump as wide as its radius is the halo round the beam, not a ring.
            if (2.3548 * f->sigma > 0.2 * f->centre) continue;
            fitted.push_back(*f);
        }
        return fitted;
    };
    pa.peaks = findPeaks(30);
    if (!pa.peaks.empty()) {
        std::vector<double> widths;
        for (const Peak& p : pa.peaks) widths.push_back(p.sigma);
        std::nth_element(widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(widths.size() / 2), widths.end());
        const int window = std::clamp(static_cast<int>(6 * widths[widths.size() / 2]), 10, 200);
        pa.peaks = findPeaks(window);
    }
    return pa;
}

// The radius of a ring in each sector (bins), by the centroid over its peak; NaN where the
// sector shows no ring above its noise. `height` gets the sector's mean net level over the
// ring's core.
void sectorRadii(const Accumulated& acc, const ProfileAnalysis& pa, double centreBin, double halfWindow,
                 double coreHalf, std::vector<double>& radii, std::vector<double>& height) {
    radii.assign(kSectors, std::nan(""));
    height.assign(kSectors, std::nan(""));
    const int lo = std::max(1, static_cast<int>(std::floor(centreBin - halfWindow)));
    const int hi = std::min(acc.bins - 2, static_cast<int>(std::ceil(centreBin + halfWindow)));
    if (hi - lo < 4) return;
    std::vector<double> net(static_cast<std::size_t>(hi - lo + 1));
    for (int s = 0; s < kSectors; ++s) {
        int empty = 0;
        for (int b = lo; b <= hi; ++b) {
            const double m = acc.sectorMean(s, b);
            if (std::isnan(m)) ++empty;
            net[static_cast<std::size_t>(b - lo)] = std::isnan(m) ? std::nan("") : m - pa.background[static_cast<std::size_t>(b)];
        }
        if (empty * 10 > (hi - lo + 1) * 3) continue;
        // Its level over the ring's core.
        double coreSum = 0;
        int coreN = 0;
        for (int b = lo; b <= hi; ++b)
            if (std::abs(b - centreBin) <= coreHalf && !std::isnan(net[static_cast<std::size_t>(b - lo)])) {
                coreSum += net[static_cast<std::size_t>(b - lo)];
                ++coreN;
            }
        if (coreN > 0) height[static_cast<std::size_t>(s)] = coreSum / coreN;
        // Straight local background from both ends of the window.
        const auto endMean = [&](int from, int to) {
            double sum = 0;
            int c = 0;
            for (int b = from; b <= to; ++b)
                if (!std::isnan(net[static_cast<std::size_t>(b - lo)])) {
                    sum += net[static_cast<std::size_t>(b - lo)];
                    ++c;
                }
            return c ? sum / c : std::nan("");
        };
        const double left = endMean(lo, lo + 1), right = endMean(hi - 1, hi);
        if (std::isnan(left) || std::isnan(right)) continue;
        int best = -1;
        double top = 0;
        std::vector<double> local(net.size());
        for (int b = lo; b <= hi; ++b) {
            const double v = net[static_cast<std::size_t>(b - lo)];
            const double base = left + (right - left) * (b - lo) / double(hi - lo);
            local[static_cast<std::size_t>(b - lo)] = std::isnan(v) ? 0.0 : v - base;
            if (local[static_cast<std::size_t>(b - lo)] > top) {
                top = local[static_cast<std::size_t>(b - lo)];
                best = b;
            }
        }
        if (best < 0) continue;
        const double noise = pa.noise[static_cast<std::size_t>(best)] *
                             std::sqrt(double(acc.totalCount[static_cast<std::size_t>(best)]) /
                                       std::max<std::uint32_t>(1, acc.sectorCount(s, best)));
        if (top < 4 * noise) continue;
        double sw = 0, swx = 0;
        for (int b = best; b >= lo && local[static_cast<std::size_t>(b - lo)] > 0.25 * top; --b) {
            sw += local[static_cast<std::size_t>(b - lo)];
            swx += local[static_cast<std::size_t>(b - lo)] * b;
        }
        for (int b = best + 1; b <= hi && local[static_cast<std::size_t>(b - lo)] > 0.25 * top; ++b) {
            sw += local[static_cast<std::size_t>(b - lo)];
            swx += local[static_cast<std::size_t>(b - lo)] * b;
        }
        if (sw > 0) radii[static_cast<std::size_t>(s)] = swx / sw;
    }
}

double sectorAngle(int s) { return (s + 0.5) * 2 * kPi / kSectors - kPi; }

struct EllipseFit {
    double cx = 0, cy = 0, sigmaX = 0, sigmaY = 0;
    core::EllipticDistortion distortion;
    double ratioSigma = 0, angleSigmaDeg = 0;
};

struct RingPoint {
    double x = 0, y = 0;  // image pixels
    int ring = 0;
    double radius = 0;    // corrected pixels
};

// One family of concentric ellipses of one shape through every ring's points: the conic
// t (x^2 - y^2) + B x y + D x + E y + F_k = -(x^2 + y^2), with A = 1 + t and C = 1 - t, is
// linear in its unknowns; each equation is divided by the ring's radius so that residuals
// weigh as distances. Outliers beyond four robust deviations are dropped once.
std::optional<EllipseFit> fitEllipses(std::vector<RingPoint> points, int rings, double cx, double cy) {
    double scale = 0;
    for (const auto& p : points) scale = std::max(scale, p.radius);
    if (scale <= 0) return std::nullopt;
    for (int round = 0; round < 2; ++round) {
        const int unknowns = 4 + rings;
        if (static_cast<int>(points.size()) < unknowns + 6) return std::nullopt;
        std::vector<double> normal(static_cast<std::size_t>(unknowns * unknowns), 0.0), rhs(static_cast<std::size_t>(unknowns), 0.0);
        std::vector<double> row(static_cast<std::size_t>(unknowns));
        const auto fill = [&](const RingPoint& p, double& target, double& weight) {
            const double x = (p.x - cx) / scale, y = (p.y - cy) / scale;
            std::fill(row.begin(), row.end(), 0.0);
            row[0] = x * x - y * y;
            row[1] = x * y;
            row[2] = x;
            row[3] = y;
            row[static_cast<std::size_t>(4 + p.ring)] = 1.0;
            target = -(x * x + y * y);
            const double r = p.radius / scale;
            weight = 1.0 / (r * r);
        };
        for (const auto& p : points) {
            double target = 0, weight = 0;
            fill(p, target, weight);
            for (int a = 0; a < unknowns; ++a) {
                if (row[static_cast<std::size_t>(a)] == 0) continue;
                rhs[static_cast<std::size_t>(a)] += weight * row[static_cast<std::size_t>(a)] * target;
                for (int b = 0; b < unknowns; ++b)
                    normal[static_cast<std::size_t>(a * unknowns + b)] += weight * row[static_cast<std::size_t>(a)] * row[static_cast<std::size_t>(b)];
            }
        }
        // A ring without points would leave its F_k free.
        for (int k = 0; k < rings; ++k)
            if (normal[static_cast<std::size_t>((4 + k) * unknowns + 4 + k)] == 0)
                normal[static_cast<std::size_t>((4 + k) * unknowns + 4 + k)] = 1.0;
        const auto sol = solveLinear(normal, rhs, unknowns);
        if (!sol) return std::nullopt;
        // Residuals as distances in pixels: the conic's value over its gradient, 2 r.
        std::vector<double> dist(points.size());
        double sumSq = 0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            double target = 0, weight = 0;
            fill(points[i], target, weight);
            double v = -target;
            for (int a = 0; a < unknowns; ++a) v += row[static_cast<std::size_t>(a)] * (*sol)[static_cast<std::size_t>(a)];
            sumSq += weight * v * v;
            dist[i] = v / (2 * points[i].radius / scale) * scale;
        }
        if (round == 0) {
            std::vector<double> absd(dist.size());
            for (std::size_t i = 0; i < dist.size(); ++i) absd[i] = std::abs(dist[i]);
            std::nth_element(absd.begin(), absd.begin() + static_cast<std::ptrdiff_t>(absd.size() / 2), absd.end());
            const double limit = std::max(0.3, 4 * 1.4826 * absd[absd.size() / 2]);
            std::vector<RingPoint> kept;
            for (std::size_t i = 0; i < points.size(); ++i)
                if (std::abs(dist[i]) <= limit) kept.push_back(points[i]);
            if (kept.size() == points.size()) round = 1;
            else {
                points.swap(kept);
                continue;
            }
        }
        const double t = (*sol)[0], b = (*sol)[1], d = (*sol)[2], e = (*sol)[3];
        const double a = 1 + t, c = 1 - t;
        const double det2 = 4 * a * c - b * b;
        if (!(det2 > 0)) return std::nullopt;
        EllipseFit fit;
        const double x0 = (-2 * c * d + b * e) / det2, y0 = (b * d - 2 * a * e) / det2;
        fit.cx = cx + x0 * scale;
        fit.cy = cy + y0 * scale;
        const double ecc = std::sqrt(t * t + b * b / 4);
        if (!(ecc < 1)) return std::nullopt;
        fit.distortion.ratio = std::sqrt((1 + ecc) / (1 - ecc));
        double angle = 0.5 * std::atan2(b, 2 * t) * 180 / kPi + 90;
        angle = std::fmod(angle + 180, 180);
        fit.distortion.angleDeg = angle;
        const int dof = static_cast<int>(points.size()) - unknowns;
        const auto inverse = invertMatrix(normal, unknowns);
        if (inverse && dof > 0) {
            const double s2 = sumSq / dof;
            const auto cov = [&](int i, int j) { return s2 * (*inverse)[static_cast<std::size_t>(i * unknowns + j)]; };
            // x0 ~ -d / 2, y0 ~ -e / 2 for a nearly round pattern.
            fit.sigmaX = 0.5 * std::sqrt(std::max(0.0, cov(2, 2))) * scale;
            fit.sigmaY = 0.5 * std::sqrt(std::max(0.0, cov(3, 3))) * scale;
            double varE = cov(0, 0);
            if (ecc > 1e-9) {
                const double gt = t / ecc, gb = b / (4 * ecc);
                varE = gt * gt * cov(0, 0) + gb * gb * cov(1, 1) + 2 * gt * gb * cov(0, 1);
            }
            const double sigmaE = std::sqrt(std::max(0.0, varE));
            // d ratio / d ecc = 1 / ((1 - ecc)^2 ratio)
            fit.ratioSigma = sigmaE / ((1 - ecc) * (1 - ecc) * fit.distortion.ratio);
            const double q = 4 * t * t + b * b;
            if (q > 0) {
                const double varPhi = (4 * t * t * cov(1, 1) + b * b * 4 * cov(0, 0) - 2 * 2 * t * b * 2 * cov(0, 1)) / (q * q);
                fit.angleSigmaDeg = std::min(90.0, 0.5 * std::sqrt(std::max(0.0, varPhi)) * 180 / kPi);
            } else {
                fit.angleSigmaDeg = 90;
            }
        }
        return fit;
    }
    return std::nullopt;
}

}  // namespace

RingPattern measureRings(const core::Raster& raster, const RingOptions& options) {
    RingPattern out;
    Image img;
    img.width = raster.width();
    img.height = raster.height();
    if (img.width < 16 || img.height < 16) {
        out.failure = RingFailure::NoCentre;
        return out;
    }
    img.values = raster.toFloats();
    img.masked.assign(img.values.size(), 0);
    for (std::size_t i = 0; i < img.values.size(); ++i)
        if (!std::isfinite(img.values[i])) img.masked[i] = 1;
    for (const PixelRect& r : options.masks)
        for (int y = std::max(0, std::min(r.y0, r.y1)); y <= std::min(img.height - 1, std::max(r.y0, r.y1)); ++y)
            for (int x = std::max(0, std::min(r.x0, r.x1)); x <= std::min(img.width - 1, std::max(r.x0, r.x1)); ++x)
                img.masked[static_cast<std::size_t>(y) * img.width + x] = 1;
    if (options.maskSaturated) maskSaturated(img);

    const Binned binned = binImage(img);
    double cx = 0, cy = 0;
    if (options.centreX && options.centreY) {
        cx = *options.centreX;
        cy = *options.centreY;
        if (!(cx >= 0 && cy >= 0 && cx <= img.width - 1 && cy <= img.height - 1)) {
            out.failure = RingFailure::NoCentre;
            return out;
        }
    } else {
        const auto c = centreFromGradients(binned);
        if (!c) {
            out.failure = RingFailure::NoCentre;
            return out;
        }
        cx = (*c)[0];
        cy = (*c)[1];
    }
    if (options.maskBeamStop) maskBeamStop(img, binned, cx, cy);
    out.maskedPixels = static_cast<std::size_t>(std::count(img.masked.begin(), img.masked.end(), 1));

    core::EllipticDistortion dist;
    const int coarse = img.values.size() > 6'000'000 ? 2 : 1;
    const auto limits = [&](const Accumulated& acc, int& inner, int& outer) {
        // From where at least half of each circle is read, out to where a quarter still is.
        inner = 0;
        outer = acc.bins - 1;
        const double perPixel = double(acc.step) * acc.step;
        for (int b = 1; b < acc.bins; ++b) {
            const double circle = 2 * kPi * b * kBin * kBin / perPixel;
            const double share = acc.totalCount[static_cast<std::size_t>(b)] / circle;
            if (inner == 0 && share > 0.5 && b * kBin > 3) inner = b + static_cast<int>(4 / kBin);
            if (inner != 0 && share < 0.25 && b > inner) {
                outer = b - 1;
                break;
            }
        }
    };
    Accumulated acc;
    ProfileAnalysis pa;
    int inner = 0, outer = 0;
    for (int round = 0; round < 4; ++round) {
        acc = accumulate(img, cx, cy, dist, round < 3 ? coarse : 1);
        limits(acc, inner, outer);
        pa = analyseProfile(acc, inner, outer);
        if (pa.peaks.empty() || round == 3) break;
        // Points of each ring, sector by sector, in windows that stay clear of the neighbours
        // and, before the distortion is known, wide enough to hold it.
        std::vector<RingPoint> points;
        int fitted = 0;
        // Before the distortion is known an elliptical ring reads as two peaks as far apart as
        // the ratio allows: such peaks are read as one in a window that holds both.
        struct Group {
            double lo, hi, fwhm;
        };
        std::vector<Group> groups;
        for (const Peak& p : pa.peaks) {
            const double fwhm = 2.3548 * p.sigma;
            if (round == 0 && !groups.empty() && p.centre - groups.back().hi <= 0.055 * p.centre) {
                groups.back().hi = p.centre;
                groups.back().fwhm = std::max(groups.back().fwhm, fwhm);
            } else {
                groups.push_back({p.centre, p.centre, fwhm});
            }
        }
        for (std::size_t k = 0; k < groups.size(); ++k) {
            const Group& g = groups[k];
            const double centre = (g.lo + g.hi) / 2;
            double gap = 1e9;
            if (k > 0) gap = std::min(gap, g.lo - groups[k - 1].hi);
            if (k + 1 < groups.size()) gap = std::min(gap, groups[k + 1].lo - g.hi);
            const double needed = round == 0 ? (g.hi - g.lo) / 2 + 0.03 * centre + g.fwhm : std::max(2.0 * g.fwhm, 4.0);
            const double half = std::min(needed, (g.hi - g.lo) / 2 + 0.5 * gap);
            if (half < (round == 0 ? (g.hi - g.lo) / 2 + 0.02 * centre : 0.6 * g.fwhm) || half < 3) continue;
            std::vector<double> radii, heights;
            sectorRadii(acc, pa, centre, half, g.fwhm / 2, radii, heights);
            int n = 0;
            for (int s = 0; s < kSectors; ++s) {
                const double rb = radii[static_cast<std::size_t>(s)];
                if (std::isnan(rb)) continue;
                double dx = rb * kBin * std::cos(sectorAngle(s)), dy = rb * kBin * std::sin(sectorAngle(s));
                dist.distort(dx, dy);
                points.push_back({cx + dx, cy + dy, fitted, centre * kBin});
                ++n;
            }
            if (n >= 12) ++fitted;
            else points.resize(points.size() - static_cast<std::size_t>(n));
        }
        if (fitted == 0) break;
        const auto fit = fitEllipses(points, fitted, cx, cy);
        if (!fit || !(fit->cx >= 0 && fit->cy >= 0 && fit->cx <= img.width - 1 && fit->cy <= img.height - 1) ||
            fit->distortion.ratio > 1.3)
            break;
        cx = fit->cx;
        cy = fit->cy;
        out.centreSigmaXPx = fit->sigmaX;
        out.centreSigmaYPx = fit->sigmaY;
        dist = fit->distortion;
        out.ratioSigma = fit->ratioSigma;
        out.angleSigmaDeg = fit->angleSigmaDeg;
    }
    if (options.centreX && options.centreY && out.centreSigmaXPx == 0) {
        cx = *options.centreX;
        cy = *options.centreY;
    }
    out.centreX = cx;
    out.centreY = cy;
    out.distortion = dist;
    out.binWidthPx = kBin;
    out.innerRadiusPx = inner * kBin;
    out.outerRadiusPx = outer * kBin;
    for (int b = 0; b <= outer && b < acc.bins; ++b)
        out.profile.push_back({b * kBin, pa.mean[static_cast<std::size_t>(b)],
                               pa.background[static_cast<std::size_t>(b)], acc.totalCount[static_cast<std::size_t>(b)]});

    int continuous = 0;
    for (std::size_t k = 0; k < pa.peaks.size(); ++k) {
        const Peak& p = pa.peaks[k];
        Ring ring;
        ring.radiusPx = p.centre * kBin;
        ring.widthPx = 2.3548 * p.sigma * kBin;
        ring.height = p.height;
        ring.intensity = p.height * p.sigma * kBin * std::sqrt(2 * kPi) * 2 * kPi * ring.radiusPx;
        ring.semiMajorPx = ring.radiusPx * std::sqrt(dist.ratio);
        ring.semiMinorPx = ring.radiusPx / std::sqrt(dist.ratio);
        double gap = 1e9;
        if (k > 0) gap = std::min(gap, p.centre - pa.peaks[k - 1].centre);
        if (k + 1 < pa.peaks.size()) gap = std::min(gap, pa.peaks[k + 1].centre - p.centre);
        const double half = std::min(std::max(2.0 * 2.3548 * p.sigma, 4.0), 0.5 * gap);
        std::vector<double> radii, heights;
        sectorRadii(acc, pa, p.centre, std::max(half, 3.0), std::max(1.0, 1.1774 * p.sigma), radii, heights);
        std::vector<double> found;
        int sectorsWithData = 0, showing = 0;
        for (int s = 0; s < kSectors; ++s) {
            if (!std::isnan(radii[static_cast<std::size_t>(s)])) found.push_back(radii[static_cast<std::size_t>(s)]);
            if (std::isnan(heights[static_cast<std::size_t>(s)])) continue;
            ++sectorsWithData;
            if (heights[static_cast<std::size_t>(s)] > 0.3 * p.height) ++showing;
        }
        ring.coverage = sectorsWithData ? double(showing) / sectorsWithData : 0.0;
        double sigma = p.centreSigma * kBin;
        if (found.size() >= 8) {
            const double m = std::accumulate(found.begin(), found.end(), 0.0) / found.size();
            double ss = 0;
            for (double r : found) ss += (r - m) * (r - m);
            sigma = std::max(sigma, std::sqrt(ss / (found.size() - 1) / found.size()) * kBin);
        }
        ring.radiusSigmaPx = sigma;
        if (ring.coverage >= 0.6) ++continuous;
        out.rings.push_back(ring);
    }
    if (out.rings.empty()) out.failure = RingFailure::NoRings;
    else if (options.assumeRings) out.failure = out.rings.size() == 1 ? RingFailure::OneRing : RingFailure::None;
    else if (continuous == 0) out.failure = RingFailure::NotRings;
    else if (continuous == 1) out.failure = RingFailure::OneRing;
    return out;
}

}  // namespace saed::analysis
