// SPDX-License-Identifier: BSD-3-Clause
#include "library/phasetexts.h"

#include <charconv>      // for to_chars
#include <system_error>  // for errc

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
    // "." whatever the locale.
    char text[400];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, ratio, std::chars_format::fixed, 4);
    return ec == std::errc() ? std::string(text, end) : std::string();
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
