#include "library/cifdocument.h"

#include <exception>

#include <gemmi/cif.hpp>     // for read_memory
#include <gemmi/cifdoc.hpp>  // for Document, Block, as_string, is_null

namespace saed::library {

CifDocument parseCif(const std::string& text, const std::string& name) {
    namespace cif = gemmi::cif;
    CifDocument out;
    try {
        const cif::Document doc = cif::read_memory(text.data(), text.size(), name.c_str());
        for (const cif::Block& block : doc.blocks) {
            CifBlock b;
            b.name = block.name;
            for (const cif::Item& item : block.items) {
                CifItem i;
                if (item.type == cif::ItemType::Pair) {
                    i.tags.push_back(item.pair[0]);
                    i.values.push_back({cif::as_string(item.pair[1]), cif::is_null(item.pair[1])});
                } else if (item.type == cif::ItemType::Loop) {
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
        out.error = e.what();
    }
    return out;
}

}  // namespace saed::library
