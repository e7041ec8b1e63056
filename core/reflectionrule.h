// SPDX-License-Identifier: BSD-3-Clause
// Which reflections a crystal shows: a small interface the indexing run can take beside the five
// lattice types, and the double-diffraction test shared by every rule.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "core/holohedry.h"  // for LatticeOp
#include "core/lattice.h"    // for Hkl, ReflectionCondition

namespace saed::core {

// Decides whether a reflection (h k l) is kinematically allowed.
class ReflectionRule {
public:
    virtual ~ReflectionRule() = default;
    // True when the reflection can appear in a kinematic pattern. (0 0 0) is always admitted.
    virtual bool admits(const Hkl& hkl) const = 0;
    // |F| of the reflection where the rule knows the atoms; no value otherwise.
    virtual std::optional<double> structureFactor(const Hkl&) const { return std::nullopt; }
    // The rotation parts of the crystal's symmetry operations (its point group, on fractional
    // coordinates), identity first; empty when the rule knows no symmetry beyond its lattice.
    virtual std::vector<LatticeOp> pointOperations() const { return {}; }
};

// The reflection condition of one of the five lattice types (None and SpaceGroup admit
// nothing), exactly as the indexing run applies it.
class LatticeTypeRule final : public ReflectionRule {
public:
    explicit LatticeTypeRule(LatticeType type) : m_type(type) {}
    bool admits(const Hkl& hkl) const override {
        return ReflectionCondition(m_type, hkl[0], hkl[1], hkl[2]);
    }

private:
    LatticeType m_type;
};

// The rule's verdicts on every (h k l) with indices from -range to range, looked up in constant
// time, with the double-diffraction test on top. The table asks the rule itself about planes
// beyond the range: the rule must outlive the table.
class ReflectionTable {
public:
    ReflectionTable(const ReflectionRule& rule, int range);
    ReflectionTable(ReflectionRule&&, int) = delete;  // a temporary rule would not outlive it

    int range() const { return m_range; }
    // False for indices outside the range.
    bool inRange(const Hkl& hkl) const;
    bool admits(const Hkl& hkl) const { return inRange(hkl) && m_allowed[index(hkl)]; }
    // A forbidden reflection that is the sum g1 + g2 of two allowed, non-parallel reflections;
    // g1 and g2 then span a zone that holds g, so the reflection can appear in that zone by
    // double diffraction. One partner is of no higher index than g itself (the other follows),
    // so the answer depends on g alone, not on the table's range. False for an allowed
    // reflection.
    bool reachableByDoubleDiffraction(const Hkl& hkl) const;
    // The same within one zone [uvw]: g1 and g2 both lie in the zone (g1 . uvw = 0).
    bool reachableInZone(const Hkl& hkl, const Hkl& zone) const;
    // The allowed reflections of the range, (0 0 0) left out, in the run's order (h, then k,
    // then l ascending).
    const std::vector<Hkl>& allowed() const { return m_allowedList; }

private:
    std::size_t index(const Hkl& hkl) const;
    bool reachable(const Hkl& hkl, const Hkl* zone) const;
    // The table's verdict within the range, the rule's beyond it.
    bool allowedAnywhere(const Hkl& hkl) const;

    const ReflectionRule* m_rule;
    int m_range;
    // The rule's verdicts out to twice the range, where the partners of a plane of the range
    // lie, asked once each: -1 not yet asked, else 0 or 1. Atomic, as a const table may be
    // read from several threads; two threads asking at once store the same verdict.
    std::unique_ptr<std::atomic<signed char>[]> m_beyond;
    std::vector<bool> m_allowed;
    std::vector<Hkl> m_allowedList;
};

}  // namespace saed::core
