// SPDX-License-Identifier: BSD-3-Clause
// Reading crystal phases from CIF files, and writing phases as CIF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/crystalphase.h"

namespace saed::library {

// The most atoms a phase may have in its cell (the sites expanded by the space group): every
// structure factor goes over every atom, and no crystal indexed from a diffraction pattern comes
// near it. A block beyond it is left out, with the limit named.
inline constexpr std::size_t kMaxAtomsPerCell = 20000;

struct CifImport {
    std::vector<CrystalPhase> phases;   // one per data block that has a cell, in file order
    std::string error;                  // "<file>: <reason>" when nothing could be read
    std::vector<std::string> warnings;  // "<file>, data_<block>: <what was left out>"
    bool ok() const { return error.empty(); }
};

// Reads every data block of a CIF text. Blocks without a cell are passed over; a text that is
// not CIF, or has no block with a cell, gives no phases and an error naming `fileName`.
CifImport readCifText(std::string_view text, std::string_view fileName);
// The same on a file; a file that cannot be opened gives an error naming it.
CifImport readCifFile(const std::string& path);

// The phases as a CIF 1.1 text, one data block each, with cell (Angstrom, uncertainties in
// parentheses), space group (symbol, number and every operator) and atom sites. Non-ASCII text
// in names and sources is written with CIF's Greek codes (\a for alpha) or as <U+XXXX>; both
// read back to the same text.
std::string writeCif(const std::vector<CrystalPhase>& phases);

}  // namespace saed::library
