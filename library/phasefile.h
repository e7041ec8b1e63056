// SPDX-License-Identifier: BSD-3-Clause
// The phase file: crystal phases with space group and atom sites as plain UTF-8 text
// (docs/phase-file.md describes the format).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/crystalphase.h"

namespace saed::library {

struct PhaseFileRead {
    std::vector<CrystalPhase> phases;
    std::string error;  // "<file>, line <n>: <reason>" at the first bad line; no phases then
    bool ok() const { return error.empty(); }
};

// Reads a phase file text. Any bad line rejects the whole text, so a half-read file never
// replaces a good one.
PhaseFileRead readPhaseFile(std::string_view text, std::string_view fileName);

// Writes phases as a phase file text (LF line ends); readPhaseFile gives them back unchanged.
std::string writePhaseFile(const std::vector<CrystalPhase>& phases);

}  // namespace saed::library
