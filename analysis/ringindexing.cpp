// SPDX-License-Identifier: BSD-3-Clause
// Powder lines of a phase, the camera constant from a standard and the ranking of phases.
#include "analysis/ringindexing.h"

#include <algorithm>
#include <cmath>  // for sqrt, exp, floor, abs

#include "core/holohedry.h"
#include "library/spacegroup.h"

namespace saed::analysis {

namespace {

// Relative tolerance of a match beyond the ring's own uncertainty: spacings of a phase at room
// temperature and the ring's fit agree to about this.
constexpr double kMatchTolerance = 0.004;

struct Evaluation {
    double score = 0;
    double k = 0;
    std::vector<RingMatch> rings;
    int matched = 0;
    double explained = 0;
    double missing = 0;
    double rms = 0;
    double chi2 = 0;
    double similarity = 0;
    std::vector<int> missingLines;
    std::vector<double> lineG;          // per ring: the |g| of what it matched (the lines' centroid)
    std::vector<double> lineIntensity;  // per ring: the intensity of what it matched
};

// The rings matched to the lines at camera constant k, each ring within its tolerance and each
// line taken by its nearest ring only. `counted` chooses the rings whose intensity counts as
// explained (all when empty).
Evaluation evaluate(const RingPattern& pattern, std::span<const PowderLine> lines, double k, double tolRel,
                    const std::vector<char>& counted = {}) {
    Evaluation e;
    e.k = k;
    const std::size_t n = pattern.rings.size();
    e.rings.assign(n, RingMatch{});
    std::vector<double> tolerance(n);
    std::vector<int> owner(lines.size(), -1);
    e.lineG.assign(n, 0.0);
    e.lineIntensity.assign(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const Ring& r = pattern.rings[i];
        const double g = k * r.radiusPx;
        e.rings[i].gInvNm = g;
        const double rel = r.radiusPx > 0 ? 3 * r.radiusSigmaPx / r.radiusPx : 0.0;
        tolerance[i] = g * std::sqrt(tolRel * tolRel + rel * rel);
        // The nearest line by |g|.
        const auto it = std::lower_bound(lines.begin(), lines.end(), g,
                                         [](const PowderLine& l, double v) { return l.gInvNm < v; });
        int best = -1;
        double bestD = 1e300;
        for (auto j = it - (it != lines.begin() ? 1 : 0); j != lines.end() && j <= it; ++j) {
            const double d = std::abs(j->gInvNm - g);
            if (d < bestD) {
                bestD = d;
                best = static_cast<int>(j - lines.begin());
            }
        }
        double target = best >= 0 ? lines[static_cast<std::size_t>(best)].gInvNm : 0.0;
        double strength = best >= 0 ? lines[static_cast<std::size_t>(best)].intensity : 0.0;
        std::size_t first = best >= 0 ? static_cast<std::size_t>(best) : 0, last = first + 1;
        const double half = 0.5 * k * r.widthPx;
        if (best >= 0 && half > 0) {
            // Lines closer together than a ring is wide are not resolved: those within half its
            // width make it, at their intensity-weighted |g|, as strong as they are together.
            while (first > 0 && std::abs(lines[first - 1].gInvNm - g) <= half) --first;
            while (last < lines.size() && std::abs(lines[last].gInvNm - g) <= half) ++last;
            if (last - first > 1) {
                double sum = 0, weighted = 0;
                for (std::size_t j = first; j < last; ++j) {
                    sum += lines[j].intensity;
                    weighted += lines[j].intensity * lines[j].gInvNm;
                }
                const double centroid = sum > 0 ? weighted / sum : target;
                // The strongest of them names the ring.
                std::size_t strongest = first;
                for (std::size_t j = first; j < last; ++j)
                    if (lines[j].intensity > lines[strongest].intensity) strongest = j;
                best = static_cast<int>(strongest);
                target = centroid;
                strength = sum;
                bestD = std::abs(centroid - g);
            } else {
                first = static_cast<std::size_t>(best);
                last = first + 1;
            }
        }
        if (best < 0 || bestD > tolerance[i]) continue;
        const int other = owner[static_cast<std::size_t>(best)];
        if (other >= 0) {
            if (std::abs(e.rings[static_cast<std::size_t>(other)].residualInvNm) <= bestD) continue;
            e.rings[static_cast<std::size_t>(other)].line = -1;
        }
        for (std::size_t j = first; j < last; ++j) owner[j] = static_cast<int>(i);
        e.rings[i].line = best;
        e.rings[i].residualInvNm = g - target;
        e.lineG[i] = target;
        e.lineIntensity[i] = strength;
    }
    double total = 0, explained = 0, sumSq = 0, chi = 0, predicted = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const bool counts = counted.empty() || counted[i];
        if (counts) total += pattern.rings[i].intensity;
        if (e.rings[i].line < 0) continue;
        ++e.matched;
        if (counts) explained += pattern.rings[i].intensity;
        const double rel = e.rings[i].residualInvNm / e.rings[i].gInvNm;
        sumSq += rel * rel;
        const double z = e.rings[i].residualInvNm / tolerance[i];
        chi += z * z;
        predicted += e.lineIntensity[i];
    }
    e.explained = total > 0 ? explained / total : 0.0;
    e.rms = e.matched ? std::sqrt(sumSq / e.matched) : 0.0;
    e.chi2 = e.matched ? chi / e.matched : 0.0;
    // The measured and predicted shares of intensity over the matched rings, as a histogram
    // intersection: 1 when the rings are as strong as the lines say.
    double measured = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (e.rings[i].line >= 0) measured += pattern.rings[i].intensity;
    if (measured > 0 && predicted > 0)
        for (std::size_t i = 0; i < n; ++i)
            if (e.rings[i].line >= 0)
                e.similarity += std::min(pattern.rings[i].intensity / measured, e.lineIntensity[i] / predicted);
    // Lines inside the radii read that no ring shows, weighed by their intensity. Lines closer
    // together than a ring is wide make one ring, at their intensity-weighted |g| and as strong
    // as they are together; a run of such lines much wider than a ring is a band under the
    // profile that no ring stands out of, and is not looked for. A line close to a ring
    // (unresolved from a matched one) counts as shown.
    std::vector<double> widths;
    for (const Ring& r : pattern.rings) widths.push_back(k * r.widthPx);
    std::nth_element(widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(widths.size() / 2), widths.end());
    const double ringWidth = widths.empty() ? 0.0 : widths[widths.size() / 2];
    // Rings fade outwards faster than |F|^2 says (thermal motion, the detector): beyond the
    // outermost ring seen no line is looked for.
    const double outermost = pattern.rings.empty() ? 0.0 : k * pattern.rings.back().radiusPx;
    const double gLo = k * pattern.innerRadiusPx, gHi = std::min(k * pattern.outerRadiusPx, outermost + ringWidth);
    double inRange = 0, missing = 0;
    std::size_t j = 0;
    while (j < lines.size()) {
        if (lines[j].gInvNm < gLo || lines[j].gInvNm > gHi) {
            ++j;
            continue;
        }
        std::size_t end = j + 1;
        while (end < lines.size() && lines[end].gInvNm <= gHi && lines[end].gInvNm - lines[end - 1].gInvNm <= ringWidth) ++end;
        double sum = 0, weighted = 0;
        bool owned = false;
        for (std::size_t m = j; m < end; ++m) {
            sum += lines[m].intensity;
            weighted += lines[m].intensity * lines[m].gInvNm;
            owned = owned || owner[m] >= 0;
        }
        const bool band = lines[end - 1].gInvNm - lines[j].gInvNm > 2 * ringWidth;
        if (!band) {
            inRange += sum;
            const double centroid = sum > 0 ? weighted / sum : lines[j].gInvNm;
            bool shown = owned;
            for (std::size_t i = 0; i < n && !shown; ++i) {
                const double reach = std::max(tolerance[i], 0.5 * k * pattern.rings[i].widthPx);
                shown = std::abs(e.rings[i].gInvNm - centroid) <= reach;
            }
            if (!shown) {
                missing += sum;
                for (std::size_t m = j; m < end; ++m) e.missingLines.push_back(static_cast<int>(m));
            }
        }
        j = end;
    }
    e.missing = inRange > 0 ? missing / inRange : 1.0;
    e.score = e.explained * (1 - e.missing) * std::exp(-0.5 * e.chi2) * (0.5 + 0.5 * e.similarity);
    return e;
}

// Least squares k over the matched rings, each weighed by its radius' uncertainty.
double refineScale(const RingPattern& pattern, const Evaluation& e) {
    double num = 0, den = 0;
    for (std::size_t i = 0; i < e.rings.size(); ++i) {
        if (e.rings[i].line < 0) continue;
        const Ring& r = pattern.rings[i];
        const double sigma = std::max(r.radiusSigmaPx, 1e-3 * r.radiusPx);
        const double w = 1.0 / (sigma * sigma);
        num += w * e.lineG[i] * r.radiusPx;
        den += w * r.radiusPx * r.radiusPx;
    }
    return den > 0 ? num / den : e.k;
}

std::vector<std::size_t> strongestRings(const RingPattern& pattern, std::size_t count) {
    std::vector<std::size_t> order(pattern.rings.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return pattern.rings[a].intensity > pattern.rings[b].intensity;
    });
    if (order.size() > count) order.resize(count);
    return order;
}

std::vector<std::size_t> strongestLines(std::span<const PowderLine> lines, std::size_t count) {
    std::vector<std::size_t> order(lines.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return lines[a].intensity > lines[b].intensity; });
    if (order.size() > count) order.resize(count);
    return order;
}

// The best camera constant for one phase: from every pairing of a strong ring with a strong
// line (within `window` of `prior` when there is one), matched loosely, refined, matched
// tightly and refined again.
Evaluation bestScale(const RingPattern& pattern, std::span<const PowderLine> lines, std::optional<double> prior,
                     double sigmaRel, const std::vector<char>& counted = {}) {
    Evaluation best;
    if (lines.empty() || pattern.rings.empty()) return best;
    std::vector<double> candidates;
    if (prior) candidates.push_back(*prior);
    for (std::size_t i : strongestRings(pattern, 6))
        for (std::size_t j : strongestLines(lines, 10)) {
            const double k = lines[j].gInvNm / pattern.rings[i].radiusPx;
            if (prior && std::abs(k / *prior - 1) > 3 * sigmaRel) continue;
            candidates.push_back(k);
        }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end(),
                                 [](double a, double b) { return std::abs(a / b - 1) < 2e-4; }),
                     candidates.end());
    const auto clampToPrior = [&](double k) {
        if (!prior) return k;
        return std::clamp(k, *prior * (1 - 3 * sigmaRel), *prior * (1 + 3 * sigmaRel));
    };
    for (double k : candidates) {
        Evaluation e = evaluate(pattern, lines, k, kMatchTolerance + (prior ? 0.0 : 0.006), counted);
        if (e.matched == 0) continue;
        for (int round = 0; round < 3; ++round) {
            const double refined = clampToPrior(refineScale(pattern, e));
            e = evaluate(pattern, lines, refined, kMatchTolerance, counted);
            if (e.matched == 0) break;
        }
        if (prior) e.score *= std::exp(-0.5 * std::pow((e.k / *prior - 1) / sigmaRel, 2));
        if (e.score > best.score) best = e;
    }
    return best;
}

}  // namespace

std::vector<PowderLine> powderLines(const library::CrystalPhase& phase, double maxGInvNm) {
    std::vector<PowderLine> out;
    if (!core::isCell(phase.cell) || !(maxGInvNm > 0)) return out;
    const library::SpaceGroupRule rule(phase);
    const core::SquareMatrix gs = core::ReciprocalMetric(phase.cell);
    // h = a . g, so |h| <= |a| |g|.
    const int nh = static_cast<int>(std::floor(phase.cell.aNm * maxGInvNm));
    const int nk = static_cast<int>(std::floor(phase.cell.bNm * maxGInvNm));
    const int nl = static_cast<int>(std::floor(phase.cell.cNm * maxGInvNm));
    struct Refl {
        double g;
        core::Hkl hkl;
        double f2;
    };
    std::vector<Refl> refl;
    for (int h = -nh; h <= nh; ++h)
        for (int k = -nk; k <= nk; ++k)
            for (int l = -nl; l <= nl; ++l) {
                const core::Hkl hkl{h, k, l};
                const auto d = core::Spacing(gs, hkl);
                if (!d || 1.0 / *d > maxGInvNm) continue;
                if (!rule.admits(hkl)) continue;
                double f2 = 1.0;
                if (rule.hasAtoms()) {
                    const auto f = rule.structureFactor(hkl);
                    f2 = f ? *f * *f : 0.0;
                }
                refl.push_back({1.0 / *d, hkl, f2});
            }
    if (refl.empty()) return out;
    double top = 0;
    for (const Refl& r : refl) top = std::max(top, r.f2);
    // |F| that cancels: far below the strongest reflection.
    std::erase_if(refl, [&](const Refl& r) { return r.f2 < 1e-8 * top; });
    std::sort(refl.begin(), refl.end(), [](const Refl& a, const Refl& b) { return a.g < b.g; });
    const auto ops = core::holohedry(phase.cell);
    for (std::size_t i = 0; i < refl.size();) {
        std::size_t j = i;
        PowderLine line;
        struct Family {
            core::Hkl key;    // the orbit's representative
            core::Hkl label;  // the member a microscopist writes: fewest minus signs, then largest
            double f2 = 0;    // |F|^2 summed over the members
        };
        std::vector<Family> families;
        const auto minusSigns = [](const core::Hkl& h) { return (h[0] < 0) + (h[1] < 0) + (h[2] < 0); };
        while (j < refl.size() && refl[j].g - refl[i].g <= 1e-7 * refl[i].g) {
            line.intensity += refl[j].f2;
            ++line.multiplicity;
            const core::Hkl& h = refl[j].hkl;
            const core::Hkl key = core::formRepresentative(ops, h);
            auto it = std::find_if(families.begin(), families.end(), [&](const Family& f) { return f.key == key; });
            if (it == families.end()) {
                families.push_back({key, h, refl[j].f2});
            } else {
                it->f2 += refl[j].f2;
                const int a = minusSigns(h), b = minusSigns(it->label);
                if (a < b || (a == b && h > it->label)) it->label = h;
            }
            ++j;
        }
        double g = 0;
        for (std::size_t m = i; m < j; ++m) g += refl[m].g;
        line.gInvNm = g / double(j - i);
        line.dNm = 1.0 / line.gInvNm;
        std::stable_sort(families.begin(), families.end(), [](const Family& a, const Family& b) { return a.f2 > b.f2; });
        for (const auto& f : families) line.families.push_back(f.label);
        line.hkl = line.families.front();
        out.push_back(std::move(line));
        i = j;
    }
    double strongest = 0;
    for (const PowderLine& l : out) strongest = std::max(strongest, l.intensity);
    for (PowderLine& l : out) l.intensity *= 100.0 / strongest;
    return out;
}

RingCalibration calibrateRings(const RingPattern& pattern, std::span<const PowderLine> lines) {
    RingCalibration c;
    c.rings.assign(pattern.rings.size(), RingMatch{});
    const Evaluation e = bestScale(pattern, lines, std::nullopt, 0.0);
    if (e.matched == 0) return c;
    c.perPixel = e.k;
    c.rings = e.rings;
    c.matched = e.matched;
    c.rmsRelative = e.rms;
    c.missingStrong = e.missingLines;
    c.missing = e.missing;
    c.explained = e.explained;
    // The fit's uncertainty, widened by the scatter of the residuals when they exceed the rings'
    // own uncertainties.
    double den = 0, chi = 0;
    for (std::size_t i = 0; i < e.rings.size(); ++i) {
        if (e.rings[i].line < 0) continue;
        const Ring& r = pattern.rings[i];
        const double sigmaG = e.k * std::max(r.radiusSigmaPx, 1e-4 * r.radiusPx);
        den += r.radiusPx * r.radiusPx / (sigmaG * sigmaG);
        chi += std::pow(e.rings[i].residualInvNm / sigmaG, 2);
    }
    const double dof = std::max(1, e.matched - 1);
    c.perPixelSigma = den > 0 ? std::sqrt(std::max(1.0, chi / dof) / den) : 0.0;
    const int needed = pattern.rings.size() == 2 ? 2 : 3;
    c.matches = e.matched >= needed && e.missing <= 0.3 && e.explained >= 0.85 && e.rms <= 0.01;
    return c;
}

RingPhaseRanking rankRingLines(const RingPattern& pattern, std::span<const std::vector<PowderLine>> lines,
                               std::optional<double> perPixel, double relativeSigma) {
    RingPhaseRanking out;
    const double sigma = std::max(relativeSigma, 1e-4);
    std::vector<Evaluation> evals(lines.size());
    for (std::size_t p = 0; p < lines.size(); ++p) {
        evals[p] = bestScale(pattern, lines[p], perPixel, sigma);
        PhaseFit fit;
        fit.phase = p;
        fit.score = evals[p].score;
        fit.scale = perPixel && evals[p].k > 0 ? evals[p].k / *perPixel : 1.0;
        if (!perPixel) fit.scale = evals[p].k;
        fit.rings = evals[p].rings;
        if (fit.rings.empty()) fit.rings.assign(pattern.rings.size(), RingMatch{});
        fit.matched = evals[p].matched;
        fit.explained = evals[p].explained;
        fit.missing = evals[p].matched ? evals[p].missing : 1.0;
        fit.rmsRelative = evals[p].rms;
        out.ranked.push_back(std::move(fit));
    }
    std::stable_sort(out.ranked.begin(), out.ranked.end(),
                     [](const PhaseFit& a, const PhaseFit& b) { return a.score > b.score; });
    if (out.ranked.empty() || out.ranked.front().matched == 0) return out;
    const PhaseFit& best = out.ranked.front();
    std::vector<char> left(pattern.rings.size(), 0);
    double leftIntensity = 0, all = 0;
    for (std::size_t i = 0; i < best.rings.size(); ++i) {
        all += pattern.rings[i].intensity;
        if (best.rings[i].line >= 0) continue;
        left[i] = 1;
        leftIntensity += pattern.rings[i].intensity;
        out.unexplained.push_back(static_cast<int>(i));
    }
    if (out.unexplained.empty() || leftIntensity < 0.03 * all) return out;
    // A second phase at the same camera constant that explains what the first leaves.
    const double k = evals[best.phase].k;
    std::optional<PhaseFit> second;
    for (std::size_t p = 0; p < lines.size(); ++p) {
        if (p == best.phase) continue;
        const Evaluation e = bestScale(pattern, lines[p], k, std::min(sigma, 0.002), left);
        int leftMatched = 0;
        for (std::size_t i = 0; i < e.rings.size(); ++i)
            if (left[i] && e.rings[i].line >= 0) ++leftMatched;
        if (leftMatched == 0 || e.explained < 0.5 || e.missing > 0.35) continue;
        if (second && second->score >= e.score) continue;
        PhaseFit fit;
        fit.phase = p;
        fit.score = e.score;
        fit.scale = perPixel ? e.k / *perPixel : e.k;
        fit.rings = e.rings;
        fit.matched = e.matched;
        fit.explained = e.explained;
        fit.missing = e.missing;
        fit.rmsRelative = e.rms;
        second = std::move(fit);
    }
    if (second) {
        out.second = second;
        std::erase_if(out.unexplained, [&](int i) { return second->rings[static_cast<std::size_t>(i)].line >= 0; });
    }
    return out;
}

std::vector<PowderLine> linesForPattern(const library::CrystalPhase& phase, const RingPattern& pattern,
                                       std::optional<double> perPixel, double relativeSigma) {
    if (perPixel)
        return powderLines(phase, *perPixel * pattern.outerRadiusPx * (1 + 3 * std::max(relativeSigma, 1e-4)) * 1.01);
    // Without a camera constant the innermost ring may be any of the first lines: the list
    // reaches as many times further out as the rings do.
    const double ratio = pattern.rings.empty() ? 1.0 : pattern.outerRadiusPx / pattern.rings.front().radiusPx;
    const auto first = powderLines(phase, 12.0);
    const double g0 = first.empty() ? 12.0 : first[std::min<std::size_t>(first.size() - 1, 5)].gInvNm;
    return powderLines(phase, std::min(40.0, g0 * ratio * 1.01));
}

RingPhaseRanking rankRingPhases(const RingPattern& pattern, std::span<const library::CrystalPhase> phases,
                                std::optional<double> perPixel, double relativeSigma) {
    std::vector<std::vector<PowderLine>> lines;
    lines.reserve(phases.size());
    for (const auto& phase : phases) lines.push_back(linesForPattern(phase, pattern, perPixel, relativeSigma));
    return rankRingLines(pattern, lines, perPixel, relativeSigma);
}

std::string lineLabel(const PowderLine& line) {
    std::string out;
    for (std::size_t i = 0; i < line.families.size(); ++i) {
        const auto& h = line.families[i];
        if (i) out += '/';
        out += '(' + std::to_string(h[0]) + ' ' + std::to_string(h[1]) + ' ' + std::to_string(h[2]) + ')';
    }
    return out;
}

}  // namespace saed::analysis
