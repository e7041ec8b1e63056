// SPDX-License-Identifier: BSD-3-Clause
// The kinematic spot pattern of one zone: the allowed reflections of the zero-order Laue zone,
// placed in the pattern plane with a chosen g1 along +x.
#pragma once

#include <functional>
#include <memory>  // for shared_ptr
#include <optional>
#include <vector>

#include "core/lattice.h"
#include "core/reflectionrule.h"

namespace saed::simulation {

using core::Hkl;
using core::Uvw;

// Whether a reflection is allowed (not extinguished).
using ExtinctionRule = std::function<bool(const Hkl&)>;

// The rule of a lattice type, through ReflectionCondition (None and SpaceGroup allow nothing).
ExtinctionRule latticeTypeRule(core::LatticeType latticeType);

// The rule an indexing run applied: its lattice type's, or for SpaceGroup `rule`; nothing at all
// for None or without a rule.
ExtinctionRule runRule(core::LatticeType latticeType, std::shared_ptr<const core::ReflectionRule> rule);

// Spot intensity |F|^2 from the atoms of `rule`, 1 where it knows no atoms; empty without a rule.
std::function<double(const Hkl&)> structureIntensity(std::shared_ptr<const core::ReflectionRule> rule);

struct ZonePatternRequest {
    core::Cell cell;
    ExtinctionRule allowed;  // empty: every reflection is allowed
    Uvw zone{0, 0, 1};
    double maxGInvNm = 10;  // spots out to |g| <= maxGInvNm (1/nm)
    std::optional<Hkl> g1;  // the spot on +x; default: the shortest allowed spot
    std::optional<Hkl> g2;  // a spot on the +y side; default: +y = zone x g1
    // Relative intensity of a reflection (for example |F|^2); empty: all spots alike (1).
    std::function<double(const Hkl&)> intensity;
};

struct Spot {
    Hkl hkl{};
    double xInvNm = 0;  // position in the pattern plane, 1/nm; g1 on +x
    double yInvNm = 0;
    double dNm = 0;  // spacing of the plane
    double intensity = 1;
};

struct ZonePattern {
    Uvw zone{};
    Hkl g1{};                 // the spot that defines +x
    std::vector<Spot> spots;  // without the direct beam, by |g| ascending, then by hkl descending
};

// Why a pattern could not be made.
enum class PatternError { None, NotACell, ZeroZone, BadRange, BadG1, BadG2, NoSpots };

// The most index triples one pattern examines: (2 |g| a + 1)(2 |g| b + 1)(2 |g| c + 1), some
// 20 1/nm in a 10 nm cell; a larger request is refused rather than left to run for minutes.
inline constexpr double kMaxIndexTriples = 8e6;

struct ZonePatternResult {
    ZonePattern pattern;
    PatternError error = PatternError::None;
};

// Computes the pattern: every allowed (h k l) other than (0 0 0) with h u + k v + l w = 0 and
// |g| <= maxGInvNm. Errors: a cell that is not one, the zone [0 0 0], a maxGInvNm that is not
// above 0 or asks for more than kMaxIndexTriples index triples, a g1 that is (0 0 0) or
// outside the zone, a g2 outside the zone or parallel to g1, and, without a given g1, no allowed
// spot within maxGInvNm.
ZonePatternResult simulateZone(const ZonePatternRequest& request);

}  // namespace saed::simulation
