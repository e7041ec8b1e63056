// SPDX-License-Identifier: BSD-3-Clause
#include "library/cifdocument.h"

#include <cctype>  // for tolower
#include <exception>
#include <map>

#include <gemmi/cif.hpp>     // for parse_input, check_for_missing_values
#include <gemmi/cifdoc.hpp>  // for Document, Block, as_string, is_null

namespace saed::library {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

CifDocument parseCif(const std::string& text, const std::string& name) {
    namespace cif = gemmi::cif;
    CifDocument out;
    try {
        // The parser's own check of duplicates refuses every repeated tag; files from some
        // databases repeat one harmlessly, so duplicates are judged below instead.
        cif::Document doc;
        doc.source = name;
        cif::pegtl::memory_input<> in(text.data(), text.size(), name);
        cif::parse_input(doc, in);
        cif::check_for_missing_values(doc);
        std::map<std::string, int> blockNames;
        for (const cif::Block& block : doc.blocks) {
            if (!block.name.empty() && blockNames[lower(block.name)]++ > 0)
                throw std::runtime_error(name + ": duplicate block data_" + block.name);
            CifBlock b;
            b.name = block.name;
            // tag -> the pair that holds it, or -1 for a loop's tag
            std::map<std::string, int> seen;
            const auto duplicate = [&](const std::string& tag, int line) {
                return std::runtime_error(name + ": duplicate tag " + tag + " at line " + std::to_string(line) +
                                          " in data_" + block.name);
            };
            for (const cif::Item& item : block.items) {
                CifItem i;
                if (item.type == cif::ItemType::Pair) {
                    const CifValue value{cif::as_string(item.pair[1]), cif::is_null(item.pair[1])};
                    const auto earlier = seen.find(lower(item.pair[0]));
                    if (earlier != seen.end()) {
                        // A repeat that agrees, or one of the two empty, loses nothing.
                        if (earlier->second < 0) throw duplicate(item.pair[0], item.line_number);
                        CifValue& kept = b.items[static_cast<std::size_t>(earlier->second)].values[0];
                        const bool keptEmpty = kept.null || kept.text.empty();
                        const bool newEmpty = value.null || value.text.empty();
                        if (!(kept.text == value.text && kept.null == value.null) && !keptEmpty && !newEmpty)
                            throw duplicate(item.pair[0], item.line_number);
                        if (keptEmpty) kept = value;
                        out.warnings.push_back("data_" + block.name + ": tag " + item.pair[0] + " repeated at line " +
                                               std::to_string(item.line_number) +
                                               (keptEmpty || newEmpty ? " with an empty value" : " with the same value") +
                                               "; read once");
                        continue;
                    }
                    seen[lower(item.pair[0])] = static_cast<int>(b.items.size());
                    i.tags.push_back(item.pair[0]);
                    i.values.push_back(value);
                } else if (item.type == cif::ItemType::Loop) {
                    for (const std::string& tag : item.loop.tags)
                        if (!seen.emplace(lower(tag), -1).second) throw duplicate(tag, item.line_number);
                    i.loop = true;
                    i.tags = item.loop.tags;
                    for (const std::string& v : item.loop.values)
                        i.values.push_back({cif::as_string(v), cif::is_null(v)});
                } else {
                    continue;  // frames and comments carry no phase data
                }
                b.items.push_back(std::move(i));
            }
            out.blocks.push_back(std::move(b));
        }
    } catch (const std::exception& e) {
        out.blocks.clear();
        out.warnings.clear();
        out.error = e.what();
    }
    return out;
}

}  // namespace saed::library
