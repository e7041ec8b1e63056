// SPDX-License-Identifier: BSD-3-Clause
// What the screening takes from one library record.
#include "library/screeningphase.h"

#include <utility>  // for pair

namespace saed::library {

std::string phaseDescription(const PhaseTexts& phase) {
    return phase.name + "  " + phase.type + "  c/a" + phase.ratio;
}

core::LatticeType latticeTypeFromText(std::string_view typeText) {
    using core::LatticeType;
    static constexpr std::pair<std::string_view, LatticeType> kKeyWords[] = {
        {"简单", LatticeType::Simple},
        {"底心", LatticeType::BaseCentred},
        {"体心", LatticeType::BodyCentred},
        {"面心", LatticeType::FaceCentred},
        {"菱形", LatticeType::Rhombic}};
    LatticeType type = LatticeType::Simple;
    for (const auto& [word, wordType] : kKeyWords)
        if (typeText.find(word) != std::string_view::npos) type = wordType;
    return type;
}

}  // namespace saed::library
