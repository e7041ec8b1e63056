// SPDX-License-Identifier: BSD-3-Clause
// Line layout of the parameter-set store.
#include "store/storelayout.h"

#include <cassert>
#include <cmath>  // for floor

#include "core/numbertext.h"

namespace saed::store {

namespace {

std::string lineAt(const std::vector<std::string>& lines, int oneBased) {
    const auto i = static_cast<std::size_t>(oneBased - 1);
    return i < lines.size() ? lines[i] : std::string();
}

}  // namespace

std::string singleLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += ' ';
        } else if (c == '\n') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> storeLines(std::vector<std::string> fileLines) {
    fileLines.resize(kStoreLines);
    return fileLines;
}

std::vector<std::string> parameterSetLines(const ParameterSet& set) {
    std::vector<std::string> lines;
    lines.reserve(kSetLines);
    lines.push_back(singleLine(set.name));
    for (const std::string& text : set.text1) lines.push_back(singleLine(text));
    lines.push_back(std::to_string(core::latticeTypeCode(set.combo1)));
    lines.push_back(singleLine(set.text6));
    assert(lines.size() == static_cast<std::size_t>(kSetLines));
    return lines;
}

std::string slotName(const std::vector<std::string>& lines, int k) {
    assert(k >= 1 && k <= kSlotCount);
    return lineAt(lines, kSetLines * (k - 1) + 1);
}

std::string importCaption(const std::vector<std::string>& lines, int k) {
    return "导入" + slotName(lines, k) + "图测量数据";
}

SlotTexts slotTexts(const std::vector<std::string>& lines, int k) {
    assert(k >= 1 && k <= kSlotCount);
    const int b = kSetLines * (k - 1);
    SlotTexts slot;
    for (int n = 0; n < kSetFieldCount; ++n) slot.text1[static_cast<std::size_t>(n)] = lineAt(lines, b + n + 2);
    slot.text6 = lineAt(lines, b + 42);
    slot.combo1 = latticeTypeIndex(lineAt(lines, b + 41));
    return slot;
}

std::optional<core::LatticeType> latticeTypeIndex(std::string_view line) {
    if (!core::isNumeric(line)) return std::nullopt;
    const double index = std::floor(core::leadingNumber(line));
    if (!(index >= -1.0 && index <= 4.0)) return std::nullopt;
    return core::latticeTypeFromCode(static_cast<long long>(index));
}

}  // namespace saed::store
