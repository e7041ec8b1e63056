// SPDX-License-Identifier: BSD-3-Clause
// The two-dimensional reciprocal net of a spot pattern, fitted to every detected spot, and the
// direct beam found with it: the lattice point about which the spots are most nearly Friedel
// symmetric.
//
// Coordinates are image pixels, as measure/spots.h keeps them.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "core/raster.h"
#include "measure/spots.h"

namespace saed::analysis {

struct NetVector {
    double x = 0;
    double y = 0;
};

// What the spots of an image allow.
enum class NetStatus {
    Ok,
    NoSpots,       // nothing was detected
    OneSpot,       // a single spot: the direct beam at most
    OneRow,        // the spots lie on one line through the centre: tilt to a zone axis
    RingPattern,   // many spots on a few circles and no net: a polycrystal
    TooManySpots,  // more spots than any single-crystal pattern shows: noise, or a ring pattern
    NoNet,         // the spots fit no net
};

// The most spots a fit takes; more is not a spot pattern.
inline constexpr std::size_t kMaxNetSpots = 5000;

// Where the direct beam is thought to be. With an uncertainty it is also a measurement of the
// centre (a saturated beam's plateau), weighed against the spots; without one only a start.
struct BeamEstimate {
    BeamEstimate(core::PixelPoint point, double sigma = 0) : centre(point), sigmaPx(sigma) {}
    core::PixelPoint centre;
    double sigmaPx = 0;  // standard uncertainty of each coordinate; 0: a start only
};

struct NetFitOptions {
    // A centre set by the user: kept as given, only the basis is fitted.
    std::optional<core::PixelPoint> lockedCentre;
    // Where the direct beam is thought to be (its plateau); the spots decide between the lattice
    // points near it. A plateau that agrees with the spots' centre within the uncertainties
    // counts as one more measurement of it; one that does not is left out. Without a start the
    // beam is taken as unsaturated, and its detected spot counts as one more spot of the net.
    std::optional<BeamEstimate> startCentre;
};

// The net coordinates of one detected spot: spot = centre + m a + n b.
struct NetIndex {
    int m = 0;
    int n = 0;
    bool onNet = false;  // false: an outlier, left out of the fit
};

struct NetFit {
    NetStatus status = NetStatus::NoNet;
    core::PixelPoint centre;
    double centreSigmaPx = 0;  // standard uncertainty of each coordinate of the centre
    bool plateauCounted = false;  // the beam's plateau was weighed in with the spots
    // The reduced basis: the two shortest non-collinear net vectors, |a| <= |b|, and b turned so
    // that the angle between them lies between 90 and 120 degrees.
    NetVector a;
    NetVector b;
    double sigmaAPx = 0;  // standard uncertainties of |a| and |b| (pixels) and of the angle
    double sigmaBPx = 0;
    double sigmaAngleDeg = 0;
    double residualPx = 0;           // root mean square distance of the spots on the net
    std::vector<NetIndex> index;     // one per detected spot, in their order
    std::size_t spotsExplained = 0;  // spots on the net, the direct beam left out
    std::size_t spotsDetected = 0;   // every detected spot other than the direct beam

    double lengthA() const;
    double lengthB() const;
    double angleDeg() const;  // between a and b
};

// The direct beam's saturated plateau (the largest connected patch of pixels at the image's
// maximum): its centroid, with an uncertainty from the pixels on its edge and from how far it is
// from round (a streak of blooming places its centre poorly); no value without a plateau.
std::optional<BeamEstimate> beamPlateau(const core::Raster& raster);

// The same net on its reduced basis (see NetFit::a), every spot's net coordinates carried over;
// the uncertainties of |a|, |b| and the angle are those of the vectors that become a and b.
NetFit reducedNet(NetFit fit);

// Fits the net to `spots` (strongest first, as detectSpots gives them). The direct beam need not
// be among them (a beam stop); when it is, it is the net's (0 0) and is left out of the fit.
NetFit fitNet(const std::vector<measure::Spot>& spots, const NetFitOptions& options = {});

// The direct beam of an image: the centre of the net fitted to `spots` (detected anew when none
// are given), started from the beam's plateau; no value when the spots form no net.
std::optional<core::PixelPoint> netCentre(const core::Raster& raster,
                                             std::optional<std::vector<measure::Spot>> spots = std::nullopt);

}  // namespace saed::analysis
