// SPDX-License-Identifier: BSD-3-Clause
#include "library/phasetexts.h"

#include <cstdio>     // for snprintf

#include "library/spacegroup.h"

namespace saed::library {

std::string latticeTypeText(const CrystalPhase& phase) {
    const char centring = phase.spaceGroup && !phase.spaceGroup->hm.empty() ? phase.spaceGroup->hm[0] : 'P';
    switch (centring) {
    case 'A':
    case 'B':
    case 'C': return "底心点阵";
    case 'I': return "体心点阵";
    case 'F': return "面心点阵";
    default: return "简单点阵";
    }
}

std::string spaceGroupLabel(const CrystalPhase& phase) {
    if (!phase.spaceGroup) return {};
    const SpaceGroupSymbol& sg = *phase.spaceGroup;
    std::string text = sg.hm.empty() ? std::string("?") : sg.hm;
    if (sg.number > 0) text += " (" + std::to_string(sg.number) + ")";
    return text;
}

namespace {

std::string fieldText(std::string text) {
    for (char& c : text)
        if (c == ';' || c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string number(double value) { return formatNumberWithSu(value, 0); }

std::string ratioText(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", ratio);
    return text;
}

}  // namespace

std::string libraryRecords(std::span<const CrystalPhase> phases) {
    std::string out;
    for (const CrystalPhase& phase : phases) {
        const core::Cell& c = phase.cell;
        std::string type = latticeTypeText(phase);
        if (const std::string sg = spaceGroupLabel(phase); !sg.empty()) type += " " + sg;
        const double ratio = c.aNm > 0 ? c.cNm / c.aNm : 0;
        for (const std::string& field :
             {fieldText(phase.name), fieldText(type), ratioText(ratio), number(c.aNm), number(c.bNm), number(c.cNm),
              number(c.alphaDeg), number(c.betaDeg), number(c.gammaDeg)})
            out += field + ";";
    }
    return out;
}

}  // namespace saed::library
