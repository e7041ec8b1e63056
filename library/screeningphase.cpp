// SPDX-License-Identifier: BSD-3-Clause
// What the screening takes from one library record.
#include "library/screeningphase.h"

namespace saed::library {

std::string phaseDescription(const PhaseTexts& phase) {
    return phase.name + "  " + phase.type + "  c/a" + phase.ratio;
}

int latticeTypeFromText(std::string_view typeText) {
    static constexpr std::string_view kKeyWords[] = {"简单", "底心", "体心", "面心", "菱形"};
    int index = 0;
    for (int i = 0; i < 5; ++i)
        if (typeText.find(kKeyWords[i]) != std::string_view::npos) index = i;
    return index;
}

}  // namespace saed::library
