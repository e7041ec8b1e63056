// SPDX-License-Identifier: BSD-3-Clause
// What the screening takes from one library record: its description and its lattice type.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/lattice.h"  // for LatticeType

namespace saed::library {

// Fields 1 to 9 of a phase record, as the library text holds them (UTF-8).
struct PhaseTexts {
    std::string name;                    // field 1
    std::string type;                    // field 2, e.g. 简单六方
    std::string ratio;                   // field 3, c/a as written
    std::array<std::string, 6> lattice;  // fields 4 to 9: a, b, c (nm), alpha, beta, gamma (deg)
};

// The text written into the phase-name field: name + "  " + type + "  c/a" + ratio.
std::string phaseDescription(const PhaseTexts& phase);

// The lattice type of a type text: the last of the key words 简单, 底心, 体心, 面心, 菱形 (in
// the selector's order) tested in that order that the text contains; Simple when it contains none.
core::LatticeType latticeTypeFromText(std::string_view typeText);

}  // namespace saed::library
