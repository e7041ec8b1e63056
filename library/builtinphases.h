// SPDX-License-Identifier: BSD-3-Clause
// The built-in phase set: common phases with space group and atom sites, each with its source.
#pragma once

#include <string_view>
#include <vector>

#include "library/crystalphase.h"

namespace saed::library {

// The text of library/data/phases.txt, in the phase file format.
extern const std::string_view kBuiltInPhasesText;

// The built-in phases in file order (read once).
const std::vector<CrystalPhase>& builtInPhases();

}  // namespace saed::library
