// SPDX-License-Identifier: BSD-3-Clause
// The texts of a crystal phase as the library shows and stores them: its lattice-type word, its
// space-group label and its records of the nine-field library text.
#pragma once

#include <span>
#include <string>

#include "library/crystalphase.h"

namespace saed::library {

// The centring word of the phase's lattice type as the library's type texts spell it (简单点阵,
// 底心点阵, 体心点阵, 面心点阵), from the first letter of its space-group symbol (an R group is
// 简单点阵: 菱形点阵 is the hexagonal close-packed rule, not rhombohedral centring);
// 简单点阵 without a space group.
std::string latticeTypeText(const CrystalPhase& phase);

// "F d -3 m (227)"; empty without a space group.
std::string spaceGroupLabel(const CrystalPhase& phase);

// The phases as records of the nine-field library text (name; type; c/a; a; b; c; alpha; beta;
// gamma, each followed by ";"), to be appended after the records of the nine-field text. The
// type field is latticeTypeText and the space group; ";" and line breaks in names become spaces.
std::string libraryRecords(std::span<const CrystalPhase> phases);

}  // namespace saed::library
