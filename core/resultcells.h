// SPDX-License-Identifier: BSD-3-Clause
// The texts of a result-table row: group label, indices, separators, spacings and angles.
#pragma once

#include <array>
#include <string>

#include "core/resultrow.h"

namespace saed::core {

inline constexpr int kResultColumns = 20;

// Columns (0 = the label, then sub-items 1..19) whose texts the re-screening reads back.
inline constexpr std::array<int, 3> kSpacingColumns{13, 14, 15};
inline constexpr std::array<int, 3> kAngleColumns{17, 18, 19};

// UTF-8 texts of the fixed cells.
inline constexpr const char* kPlusText = "+";
inline constexpr const char* kEqualsText = "\xEF\xBC\x9D";   // U+FF1D FULLWIDTH EQUALS SIGN
inline constexpr const char* kDiamondText = "\xE2\x97\x87";  // U+25C7 WHITE DIAMOND

// "第" + group padded to three digits + "组" (UTF-8): 1 -> 第001组, 1000 -> 第1000组.
std::string groupLabel(long long group);

// The twenty cell texts (UTF-8) of result row `row` numbered `group`.
std::array<std::string, kResultColumns> resultCells(const ResultRow& row, long long group);

}  // namespace saed::core
