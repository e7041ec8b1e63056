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
};

// Parses a CIF 1.1 text (printable ASCII); `name` goes into the parser's messages.
CifDocument parseCif(const std::string& text, const std::string& name);

}  // namespace saed::library
