// SPDX-License-Identifier: BSD-3-Clause
// A ring pattern read against phases, as the rings view and the command line show it: the
// camera constant used, the phases ranked, each ring labelled with the line of the first phase
// (else of the second, for a mixture), the plot of the profile and its CSV.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/ringindexing.h"
#include "analysis/ringpattern.h"
#include "analysis/ringplot.h"
#include "library/crystalphase.h"

namespace saed::analysis {

// The label of one ring: the phase and line that explain it.
struct RingLabel {
    std::string phase;
    std::string hkl;   // lineLabel of the line
    double dNm = 0;    // the line's spacing
};

struct RingReading {
    std::optional<double> perPixel;         // the camera constant given (1/nm per corrected pixel)
    RingPhaseRanking ranking;
    bool ranked = false;                    // the first phase explains at least one ring
    std::optional<double> firstPerPixel;    // the camera constant under the first phase
    std::vector<PowderLine> firstLines;     // the first phase's lines, for the plot's markers
    std::vector<std::optional<RingLabel>> labels;  // one per ring
};

// Ranks `phases` against the rings of `pattern` under the camera constant `perPixel` (with its
// relative uncertainty), or without one, and labels each ring.
RingReading readRings(const RingPattern& pattern, std::span<const library::CrystalPhase> phases,
                      std::optional<double> perPixel, double relativeSigma);

// The plot of the profile from the innermost radius read: against |g| under `perPixel`, or
// against the radius in pixels without one; the lines of at least 1 % marked with their (hkl).
// `xTitlePixels` titles the axis without a camera constant, `yTitle` the intensity axis.
RingPlotInput ringPlotInput(const RingPattern& pattern, std::optional<double> perPixel,
                            const std::vector<PowderLine>* lines, bool logarithmic, const std::string& xTitlePixels,
                            const std::string& yTitle);

// The profile as CSV (UTF-8, lines ending CR LF; the file adds its byte order mark): radius,
// |g| under `perPixel` (empty without one), mean, background and pixels of every bin with a pixel.
std::string ringProfileCsv(const RingPattern& pattern, std::optional<double> perPixel);

// A figure of the ring texts with `decimals` decimals, "." whatever the locale ("169.882").
std::string ringFigure(double value, int decimals);
// A standard uncertainty to the last digit of its figure (`decimals` decimals), so that a figure
// and its uncertainty end on the same digit ("169.882 ± 0.005"); one below half of that digit
// reads "< 0.001" rather than a bare zero.
std::string ringUncertainty(double sigma, int decimals);
// The decimals that show `value` to `significant` significant digits: 9 for 0.025 to 8.
int significantDecimals(double value, int significant);

}  // namespace saed::analysis
