// SPDX-License-Identifier: BSD-3-Clause
// The data blocks of a CIF text as plain strings: the one place that parses CIF syntax.
// (Compiled as C++17: the CIF parser's document types do not build under clang's C++20.)
#pragma once

#include <string>
#include <vector>

namespace saed::library {

struct CifValue {
    std::string text;   // unquoted, text fields without their semicolon lines
    bool null = false;  // "?" or "." unquoted
};

// One tag-value pair (a loop of one row is not a pair) or one loop.
struct CifItem {
    std::vector<std::string> tags;  // one tag for a pair
    std::vector<CifValue> values;   // row after row for a loop
    bool loop = false;
};

struct CifBlock {
    std::string name;
    std::vector<CifItem> items;
};

struct CifDocument {
    std::vector<CifBlock> blocks;
    std::string error;  // the parser's message when the text is not CIF; no blocks then
    // Harmless repeats: a tag given twice with the same value, or once empty ("data_X: ...").
    std::vector<std::string> warnings;
};

// Parses a CIF 1.1 text (printable ASCII); `name` goes into the parser's messages. A tag repeated
// in a block with the same value, or with one of the two empty, is read once with a warning;
// repeated with two values it is an error naming the tag and its line.
CifDocument parseCif(const std::string& text, const std::string& name);

}  // namespace saed::library
