// SPDX-License-Identifier: BSD-3-Clause
// A crystal phase with its space group and atom sites, as read from a CIF or the phase file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lattice.h"  // for Cell

namespace saed::library {

// One atom site of the asymmetric unit.
struct AtomSite {
    std::string label;                  // "Si1"
    std::string element;                // element symbol, "Si"; charges are dropped
    std::array<double, 3> fract{};      // fractional coordinates x, y, z
    double occupancy = 1.0;
    double uIsoA2 = 0.0;                // isotropic displacement U (Angstrom^2), 0 when unknown

    bool operator==(const AtomSite&) const = default;
};

// A space group: its symbol as the symmetry tables spell it and its operators.
struct SpaceGroupSymbol {
    // Extended Hermann-Mauguin symbol with the setting after a colon where there is a choice
    // ("F d -3 m:1", "R -3 c:H", "P 63/m m c"); empty when the operators match no tabulated
    // setting.
    std::string hm;
    int number = 0;  // International Tables number 1 to 230, 0 when unknown
    // Every operator of the group (centring included) as an "x,y,z" triplet.
    std::vector<std::string> operations;

    bool operator==(const SpaceGroupSymbol&) const = default;
};

// A phase: cell (nm, degrees) with standard uncertainties (0 where none was given), an optional
// space group and the atom sites (empty when unknown).
struct CrystalPhase {
    std::string name;
    core::Cell cell;
    core::Cell cellSu;
    std::optional<SpaceGroupSymbol> spaceGroup;
    std::vector<AtomSite> atoms;
    std::string source;  // where the data come from (a reference, or file and data block)

    bool operator==(const CrystalPhase&) const = default;
};

// A number written the crystallographic way, "5.4307(2)": the value and its standard
// uncertainty (2e-4 here; 0 without parentheses). No value for "?", "." or anything that is
// not a number. `shift` moves the decimal point first (-1 reads Angstrom as nm).
struct NumberWithSu {
    double value = 0;
    double su = 0;
};
std::optional<NumberWithSu> parseNumberWithSu(std::string_view text, int shift = 0);

// Writes a value with its uncertainty in the same notation, the value rounded to the digits the
// uncertainty allows (two significant digits of su when it starts with 1, else one); without an
// uncertainty the shortest text that reads back to the same double.
std::string formatNumberWithSu(double value, double su);

}  // namespace saed::library
