// SPDX-License-Identifier: BSD-3-Clause
// The reflections of a phase within an index range: spacing, whether allowed, |F| and whether a
// forbidden one can appear by double diffraction.
#pragma once

#include <optional>
#include <vector>

#include "core/reflectionrule.h"
#include "library/crystalphase.h"

namespace saed::library {

struct Reflection {
    core::Hkl hkl{};
    double dNm = 0;
    bool allowed = false;
    std::optional<double> structureFactor;  // |F| (Angstrom), none without atoms
    bool doubleDiffraction = false;         // forbidden, but reachable in some zone
};

// Every (h k l) other than (0 0 0) with indices from -range to range, largest spacing first
// (ties in h, k, l order), under `rule`, with the rule's |F|. No reflections when the cell is
// not a cell or the range is negative.
std::vector<Reflection> reflections(const core::Cell& cell, const core::ReflectionRule& rule,
                                    int range);

// The same for a phase: by its space group and atoms (a phase without a space group as P 1).
std::vector<Reflection> reflections(const CrystalPhase& phase, int range);

}  // namespace saed::library
