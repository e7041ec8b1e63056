// SPDX-License-Identifier: BSD-3-Clause
// The rings of a polycrystal read against crystal phases: the camera constant from a standard,
// and the phases that explain a measured ring pattern, ranked, each ring labelled (hkl).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/ringpattern.h"
#include "core/lattice.h"  // for Hkl
#include "library/crystalphase.h"

namespace saed::analysis {

// One ring of a phase's powder pattern: reflections of one spacing.
struct PowderLine {
    double dNm = 0;
    double gInvNm = 0;            // 1 / d
    core::Hkl hkl{};              // the strongest family, written with the fewest minus signs
    int multiplicity = 0;         // reflections of the ring
    double intensity = 0;         // sum of |F|^2 over them (|F|^2 x multiplicity), strongest = 100
    std::vector<core::Hkl> families;  // every family of that spacing (as hkl), strongest first
};

// The powder rings of a phase out to |g| = maxGInvNm, innermost first, systematic absences and
// reflections whose |F| cancels left out. A phase without atoms weighs every allowed
// reflection alike.
std::vector<PowderLine> powderLines(const library::CrystalPhase& phase, double maxGInvNm);

// The lines a pattern can show: out to the outermost ring read under the camera constant (with
// its relative uncertainty), or, without one, far enough for any of the first lines to be the
// innermost ring.
std::vector<PowderLine> linesForPattern(const library::CrystalPhase& phase, const RingPattern& pattern,
                                       std::optional<double> perPixel, double relativeSigma = 0.01);

// A measured ring matched to a powder line, or not (line = -1).
struct RingMatch {
    int line = -1;
    double gInvNm = 0;       // the ring's |g| under the camera constant
    double residualInvNm = 0; // measured minus the line's |g|
};

struct RingCalibration {
    bool matches = false;       // the profile is the standard's
    double perPixel = 0;        // camera constant, 1/nm per corrected pixel
    double perPixelSigma = 0;
    std::vector<RingMatch> rings;   // one per measured ring
    int matched = 0;
    double rmsRelative = 0;     // root mean square of residual / |g| over the matched rings
    std::vector<int> missingStrong; // strong lines inside the read range that no ring shows
    double missing = 0;         // their share of the lines' intensity in that range
    double explained = 0;       // share of the rings' intensity that the standard explains
};

// Fits the camera constant of `pattern` to the lines of a standard: the strongest rings are
// tried against the strongest lines, the scale explaining most of the intensity with the
// fewest strong lines missing wins, and is refined by least squares over every matched ring.
// `matches` is false when fewer than three rings (two for a two-ring pattern) match, strong
// lines are missing or much intensity stays unexplained.
RingCalibration calibrateRings(const RingPattern& pattern, std::span<const PowderLine> lines);

// How well one phase explains the rings.
struct PhaseFit {
    std::size_t phase = 0;      // position in the list ranked
    double score = 0;           // 0 to 1, best first
    double scale = 1;           // camera constant found / given
    std::vector<RingMatch> rings;
    int matched = 0;
    double explained = 0;       // share of the rings' intensity explained
    double missing = 0;         // share of the strong lines' intensity that no ring shows
    double rmsRelative = 0;
};

struct RingPhaseRanking {
    std::vector<PhaseFit> ranked;        // best first
    std::vector<int> unexplained;        // rings the best phase leaves, by index
    std::optional<PhaseFit> second;      // a phase explaining those rings: a mixture
};

// Ranks phases against the rings. With a camera constant (1/nm per corrected pixel) and its
// relative uncertainty, each phase may move it only within that uncertainty; without one, each
// phase finds its own and phases of one lattice type cannot be told apart by spacings.
RingPhaseRanking rankRingPhases(const RingPattern& pattern, std::span<const library::CrystalPhase> phases,
                                std::optional<double> perPixel, double relativeSigma = 0.01);

// The same on the phases' powder lines, computed once by the caller (one list per phase).
RingPhaseRanking rankRingLines(const RingPattern& pattern, std::span<const std::vector<PowderLine>> lines,
                               std::optional<double> perPixel, double relativeSigma = 0.01);

// "(1 1 1)" or, for several families of one spacing, "(3 3 3)/(5 1 1)".
std::string lineLabel(const PowderLine& line);

}  // namespace saed::analysis
