// SPDX-License-Identifier: BSD-3-Clause
#include "core/resultcells.h"

#include "core/numbertext.h"

namespace saed::core {

std::string groupLabel(long long group) {
    return "\xE7\xAC\xAC" + formatThreeDigits(group) + "\xE7\xBB\x84";  // 第 ... 组
}

std::array<std::string, kResultColumns> resultCells(const ResultRow& row, long long group) {
    std::array<std::string, kResultColumns> cells;
    cells[0] = groupLabel(group);
    const Hkl* planes[3] = {&row.g1, &row.g2, &row.g3};
    const char* after[3] = {kPlusText, kEqualsText, kDiamondText};
    for (std::size_t g = 0; g < 3; ++g) {
        for (std::size_t a = 0; a < 3; ++a) cells[1 + 4 * g + a] = std::to_string((*planes[g])[a]);
        cells[4 + 4 * g] = after[g];
    }
    for (std::size_t i = 0; i < 3; ++i) cells[13 + i] = formatSpacing(row.spacingNm[i]);
    cells[16] = kDiamondText;
    for (std::size_t i = 0; i < 3; ++i) cells[17 + i] = formatAngle(row.angleDeg[i]);
    return cells;
}

}  // namespace saed::core
