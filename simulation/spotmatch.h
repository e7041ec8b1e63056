// SPDX-License-Identifier: BSD-3-Clause
// How well a simulated zone explains an image: predicted spots placed on the image through the
// measured R1 and R2, matched against the detected spot centres.
#pragma once

#include <optional>
#include <vector>

#include "core/pixelpoint.h"
#include "simulation/zonepattern.h"

namespace saed::simulation {

using core::PixelPoint;

// The measured pattern on the image: the direct beam, the ends of R1 and R2 with the number of
// spot spacings each spans, and the image size.
struct ImageFrame {
    PixelPoint centre;
    PixelPoint r1End;
    int r1Segments = 1;
    PixelPoint r2End;
    int r2Segments = 1;
    int widthPx = 0;
    int heightPx = 0;
};

// Pixel positions of `spots`, with g1 on R1 / r1Segments and g2 on R2 / r2Segments: a spot
// (h k l) = a g1 + b g2 of the zone lands at centre + a R1 / n1 + b R2 / n2, so the image's own
// scale, rotation and distortion carry over. No value when g1 and g2 are parallel or a segment
// count is not positive; a spot outside the plane of g1 and g2 is left out.
std::optional<std::vector<PixelPoint>> spotsOnImage(const std::vector<Spot>& spots, const Hkl& g1,
                                                    const Hkl& g2, const ImageFrame& frame);

// A quarter of the shorter spot spacing along R1 and R2 (pixels): the radius within which a
// detected spot counts as the predicted one.
double defaultMatchRadius(const ImageFrame& frame);

struct SpotMatch {
    int predictedInside = 0;    // predicted spots inside the image
    int predictedFound = 0;     // ... with a detected spot within the radius
    int detected = 0;           // detected spots, the direct beam left out
    int detectedExplained = 0;  // ... with a predicted spot within the radius
    double predictedShare = 0;  // predictedFound / predictedInside, 0 without predicted spots
    double detectedShare = 0;   // detectedExplained / detected, 0 without detected spots
    // The harmonic mean of the two shares: high only when the zone predicts what the image shows
    // and shows what the zone predicts; 0 when either share is 0.
    double score() const;
};

// Matches predicted against detected spots. The direct beam is neither: detected spots within the
// radius of the centre are left out, and so are predicted spots there.
SpotMatch matchSpots(const std::vector<PixelPoint>& predicted,
                     const std::vector<PixelPoint>& detected, const ImageFrame& frame,
                     double radiusPx);

}  // namespace saed::simulation
