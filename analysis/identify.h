// SPDX-License-Identifier: BSD-3-Clause
// Phase and zone from a fitted net, across a set of crystal phases: every zone whose net of
// allowed reflections matches the measured net is a candidate, and one continuous score ranks
// them all.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/netfit.h"
#include "core/ellipticdistortion.h"
#include "core/lattice.h"
#include "library/crystalphase.h"

namespace saed::analysis {

// The least relative uncertainty a saved calibration is given: what the specimen's height and
// the lens settings change between the standard and the pattern.
inline constexpr double kLeastSavedCalibrationError = 0.005;

struct IdentifySettings {
    // The calibration, 1/nm per pixel; none: the scale is fitted per candidate.
    std::optional<double> calibration;
    double calibrationError = 0.02;  // its relative standard uncertainty
    // When the scale is fitted: the range of spacings (nm) the net's shorter vector may have.
    double minSpacingNm = 0.1;
    double maxSpacingNm = 1.5;
    bool doubleDiffraction = false;  // forbidden spots reachable by double diffraction explain spots
    // What the camera may distort beyond the fit's own uncertainty: relative length, angle.
    double distortion = 0.015;
    double distortionAngleDeg = 1.0;
    // The beam's energy: it places the first higher-order Laue zone, which a zone of a long
    // period [uvw] would show as a ring of spots within the pattern.
    double voltageKv = 200;
    // The projector's elliptical distortion (a saved calibration's): taken off the detected spots
    // about the direct beam before the net is fitted; the candidates' spots are drawn back onto
    // the image.
    core::EllipticDistortion removeDistortion;
    int imageWidth = 0;  // predicted spots are kept on the image when its size is known
    int imageHeight = 0;
    std::size_t maxCandidates = 50;
    // The least spread of measured ln I about the kinematic |F|^2 that a pattern is given (the
    // spread is otherwise that of the best-fitting candidate): kinematic intensities of a thin
    // crystal, integrated over a spot's window, are not trusted closer than about 30 %.
    double leastIntensitySpread = 0.3;
};

// The visible parts of a candidate's score.
struct ScoreParts {
    double shapeMisfit = 0;   // net length ratio and angle, root mean square in standard uncertainties
    double scaleMisfit = 0;   // calibration, in standard uncertainties (fitted scale: 0 inside the range)
    double geometry = 0;      // exp(-(2 shapeMisfit^2 + scaleMisfit^2) / 4), 0..1
    double present = 0;       // share of the predicted intensity seen: |F|^2, under the fitted fall-off when there is one
    double explained = 0;     // share of the detected spots the candidate explains
    // Correlation of ln |F|^2 and the measured ln I once both are freed of a smooth fall with |g|,
    // -1..1 (0 without atoms, or when |F|^2 differs only by that fall).
    double intensity = 0;
    // The intensities against |F|^2 under a smooth fall-off fitted to the candidate's own spots: the root
    // mean square of the ln I residuals in units of the pattern's spread (that of the best-fitting
    // candidate), clipped spots counted only when seen brighter than predicted, absent ones when predicted
    // brighter than the faintest spot seen.
    double intensityMisfit = 0;
    // exp(-(chi^2 - its degrees of freedom - the least of that among the good candidates) / 4) of
    // those residuals, 0..1 (1 without atoms or with under four spots to fit): the candidate that
    // explains the intensities best keeps 1, the others lose as far as they explain them worse.
    double intensityFit = 1;
    // 1 when the zone's first higher-order Laue zone lies beyond the pattern; less when it would
    // show spots within it that the image does not have: (its radius / the pattern's)^2.
    double laue = 1;
    int predicted = 0;        // predicted spots on the image (allowed reflections)
    int predictedSeen = 0;
    int detected = 0;         // detected spots, the direct beam left out
    int detectedExplained = 0;
    int explainedByDouble = 0;  // ... of them at forbidden positions reachable by double diffraction
    int absentStrong = 0;       // predicted spots brighter than the faintest seen that the image lacks
};

struct CandidateSpot {
    core::Hkl hkl{};
    double x = 0;  // predicted position, image pixels
    double y = 0;
    double intensity = 0;          // relative |F|^2, 1 for the strongest (1 for all without atoms)
    bool doubleDiffraction = false;  // forbidden, reachable by double diffraction
    std::optional<core::PixelPoint> detected;  // the detected spot there
};

// What would tell tied candidates apart.
enum class TieBreak { None, AnotherZone, Calibration };

struct Candidate {
    std::size_t phase = 0;  // position in the searched list
    core::Uvw zone{};       // [uvw] = g1 x g2, as the image shows it
    core::Uvw family{};     // <uvw>
    core::Hkl g1{};         // the reflection on the net's a
    core::Hkl g2{};         // ... on b
    double score = 0;       // 0..100
    ScoreParts parts;
    double calibration = 0;  // fitted, 1/nm per pixel
    std::vector<CandidateSpot> spots;
    int tie = 0;  // 0: none; else the rank of the first candidate of its tie
    TieBreak tieBreak = TieBreak::None;

    // The camera constant that the fitted calibration stands for: pixel x nm.
    double cameraConstant() const { return calibration > 0 ? 1 / calibration : 0; }
};

// Phases prepared for identification; what is worked out for a phase (reflections, symmetry) is
// kept for the next pattern.
class PhaseSearch {
public:
    // `latticeTypes`, when given (one per phase), rules each phase by its lattice type instead of
    // its space group (SpaceGroup keeps the group): the phases of the nine-field library.
    explicit PhaseSearch(std::vector<library::CrystalPhase> phases, std::vector<core::LatticeType> latticeTypes = {});
    ~PhaseSearch();
    PhaseSearch(const PhaseSearch&) = delete;
    PhaseSearch& operator=(const PhaseSearch&) = delete;

    std::size_t size() const;
    const library::CrystalPhase& phase(std::size_t i) const;

    // Ranks the candidates of every phase for the net, best first, at most
    // settings.maxCandidates. `spots` are the detected spots the net was fitted to. `progress`
    // is told (phases done, phases) and returns false to stop; the candidates found so far are
    // then ranked.
    std::vector<Candidate> identify(const NetFit& net, const std::vector<measure::Spot>& spots,
                                    const IdentifySettings& settings,
                                    const std::function<bool(std::size_t, std::size_t)>& progress = {});

    // The symmetry-equivalent representative of zone [uvw] of phase i, as candidates carry it.
    core::Uvw zoneFamily(std::size_t i, const core::Uvw& zone);

    struct Prepared;  // what is kept of one phase

private:
    std::vector<std::unique_ptr<Prepared>> m_phases;
};

// The whole analysis of one image: spots, direct beam and net, candidates.
struct ImageIdentification {
    std::vector<measure::Spot> spots;
    NetFit net;
    std::vector<Candidate> candidates;
};

// Detects the spots of `raster` (on its raw values), fits the net with the direct beam (at
// `lockedCentre` when given, else started from the beam's plateau) and ranks the candidates.
// settings.imageWidth and imageHeight are taken from the raster. With settings.removeDistortion
// the net is fitted to the spots without it (about the centre of a first fit on the spots as
// they are): `spots` stay as the image shows them, the net is the undistorted one, and the
// candidates' predicted and detected spots are image positions.
ImageIdentification identifyImage(const core::Raster& raster, PhaseSearch& search, IdentifySettings settings,
                                  std::optional<core::PixelPoint> lockedCentre = std::nullopt,
                                  const std::function<bool(std::size_t, std::size_t)>& progress = {});

}  // namespace saed::analysis
