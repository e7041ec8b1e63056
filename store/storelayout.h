// SPDX-License-Identifier: BSD-3-Clause
// Line layout of the parameter-set store: four slots of 42 lines, newest first.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lattice.h"  // for LatticeType

namespace saed::store {

inline constexpr int kSetLines = 42;
inline constexpr int kSlotCount = 4;
inline constexpr int kStoreLines = kSetLines * kSlotCount;  // 168
inline constexpr int kSetFieldCount = 39;                   // Text1(0) to Text1(38)

// One saved snapshot of the fields (texts in UTF-8).
struct ParameterSet {
    std::string name;
    std::array<std::string, kSetFieldCount> text1;  // Text1(n) at index n
    core::LatticeType combo1 = core::LatticeType::None;  // stored as its list index, -1 for none
    std::string text6;                               // phase name
};

// The texts a slot gives back on import; combo1 is empty when its line is not a stored lattice type.
struct SlotTexts {
    std::array<std::string, kSetFieldCount> text1;
    std::string text6;
    std::optional<core::LatticeType> combo1;
};

// A text made fit for one line: every line break (CR LF, LF or CR) becomes one blank.
std::string singleLine(std::string_view text);

// The first 168 lines of a store file, a missing line read as empty.
std::vector<std::string> storeLines(std::vector<std::string> fileLines);

// The 42 lines of one set, line breaks inside its texts stored as blanks.
std::vector<std::string> parameterSetLines(const ParameterSet& set);

// Name of slot k (1..4): line 42 (k - 1) + 1, empty when missing.
std::string slotName(const std::vector<std::string>& lines, int k);

// Caption of the import entry of slot k: "导入" + name + "图测量数据".
std::string importCaption(const std::vector<std::string>& lines, int k);

// Texts of slot k (1..4), missing lines empty.
SlotTexts slotTexts(const std::vector<std::string>& lines, int k);

// The lattice type whose list index a store line holds (the largest whole number not above the
// line's number); none when the line is not a number or the index is outside -1..4 (a stored set
// keeps a space group as its lattice type, never as the space-group entry).
std::optional<core::LatticeType> latticeTypeIndex(std::string_view line);

}  // namespace saed::store
