// SPDX-License-Identifier: BSD-3-Clause
#include "library/cifimport.h"

#include <algorithm>  // for min, min_element, count, sort, unique
#include <cctype>     // for isalpha, isalnum, toupper, tolower
#include <cmath>      // for floor
#include <cstdio>     // for snprintf
#include <fstream>
#include <sstream>

#include <gemmi/elem.hpp>  // for find_element

#include "library/cifdocument.h"
#include "library/spacegroup.h"

namespace saed::library {

namespace {

// CIF 1.1 writes Greek letters as a backslash and a Latin letter.
constexpr std::pair<char, const char*> kGreek[] = {
    {'a', "α"}, {'b', "β"}, {'c', "χ"}, {'d', "δ"}, {'e', "ε"}, {'f', "φ"}, {'g', "γ"},
    {'h', "η"}, {'i', "ι"}, {'k', "κ"}, {'l', "λ"}, {'m', "μ"}, {'n', "ν"}, {'o', "ο"},
    {'p', "π"}, {'q', "θ"}, {'r', "ρ"}, {'s', "σ"}, {'t', "τ"}, {'u', "υ"}, {'w', "ω"},
    {'x', "ξ"}, {'y', "ψ"}, {'z', "ζ"}, {'A', "Α"}, {'B', "Β"}, {'D', "Δ"}, {'G', "Γ"},
    {'L', "Λ"}, {'P', "Π"}, {'Q', "Θ"}, {'S', "Σ"}, {'W', "Ω"}};

// Length of the UTF-8 sequence starting with byte c (1 for a stray byte).
std::size_t utf8Length(unsigned char c) {
    return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

// UTF-8 text to printable ASCII: Greek letters as CIF codes, other characters as <U+XXXX>,
// control characters (line breaks included) as blanks.
std::string toCifAscii(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c);
            ++i;
            continue;
        }
        std::size_t n = std::min(utf8Length(c), text.size() - i);
        const std::string_view ch = text.substr(i, n);
        bool done = false;
        for (const auto& [code, letter] : kGreek)
            if (ch == letter) {
                out += '\\';
                out += code;
                done = true;
                break;
            }
        if (!done) {
            unsigned long cp = n == 1 ? c : c & (0x7F >> n);
            for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(ch[k]) & 0x3F);
            char buf[16];
            std::snprintf(buf, sizeof buf, "<U+%04lX>", cp);
            out += buf;
        }
        i += n;
    }
    return out;
}

void appendUtf8(std::string& out, unsigned long cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | ((cp >> 18) & 0x07));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The reverse of toCifAscii on a CIF text value.
std::string fromCifText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            bool done = false;
            for (const auto& [code, letter] : kGreek)
                if (text[i + 1] == code) {
                    out += letter;
                    ++i;
                    done = true;
                    break;
                }
            if (done) continue;
        }
        if (text.substr(i, 3) == "<U+") {
            const auto close = text.find('>', i);
            if (close != std::string_view::npos && close - i >= 7 && close - i <= 10) {
                unsigned long cp = 0;
                bool hex = true;
                for (std::size_t k = i + 3; k < close && hex; ++k) {
                    const char h = text[k];
                    const int v = h >= '0' && h <= '9' ? h - '0' : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
                    hex = v >= 0;
                    cp = cp * 16 + static_cast<unsigned long>(v);
                }
                if (hex && cp <= 0x10FFFF) {
                    appendUtf8(out, cp);
                    i = close;
                    continue;
                }
            }
        }
        out += text[i];
    }
    return out;
}

// Non-ASCII bytes would stop the CIF 1.1 grammar; Greek letters become their codes and other
// characters <U+XXXX>, in values and comments alike.
std::string asciiForParser(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) {
            std::string out;
            for (std::size_t i = 0; i < text.size();) {
                const auto b = static_cast<unsigned char>(text[i]);
                if (b < 0x80) {
                    out += text[i++];
                } else {
                    const std::size_t n = std::min(utf8Length(b), text.size() - i);
                    out += toCifAscii(text.substr(i, n));
                    i += n;
                }
            }
            return out;
        }
    return std::string(text);
}

bool sameTag(const std::string& a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The value of the first of `tags` that the block holds as a pair and that is not null.
const CifValue* findValue(const CifBlock& block, std::initializer_list<const char*> tags) {
    for (const char* tag : tags)
        for (const CifItem& item : block.items)
            if (!item.loop && sameTag(item.tags[0], tag) && !item.values[0].null)
                return &item.values[0];
    return nullptr;
}

// A loop of the block with its column of each tag (-1 where the loop lacks the tag); no loop
// when none holds `key`.
struct Table {
    const CifItem* loop = nullptr;
    std::vector<int> columns;
    std::size_t rows() const { return loop ? loop->values.size() / loop->tags.size() : 0; }
    const CifValue* at(std::size_t row, std::size_t i) const {
        const int c = columns[i];
        return c < 0 ? nullptr : &loop->values[row * loop->tags.size() + static_cast<std::size_t>(c)];
    }
};

Table findTable(const CifBlock& block, std::string_view key, const std::vector<std::string>& tags) {
    Table t;
    for (const CifItem& item : block.items) {
        if (!item.loop || item.tags.empty() || item.values.size() % item.tags.size() != 0) continue;
        bool hasKey = false;
        for (const std::string& tag : item.tags) hasKey = hasKey || sameTag(tag, key);
        if (!hasKey) continue;
        t.loop = &item;
        for (const std::string& want : tags) {
            int c = -1;
            for (std::size_t i = 0; i < item.tags.size() && c < 0; ++i)
                if (sameTag(item.tags[i], want)) c = static_cast<int>(i);
            t.columns.push_back(c);
        }
        return t;
    }
    return t;
}

std::optional<NumberWithSu> numberOf(const CifValue* v, int shift = 0) {
    if (!v || v->null) return std::nullopt;
    return parseNumberWithSu(v->text, shift);
}

// "Si1" -> "Si", "O2-" -> "O", "Fe3+" -> "Fe"; empty when no element is named.
std::string elementOf(const std::string& symbol) {
    std::string letters;
    for (char c : symbol) {
        if (!std::isalpha(static_cast<unsigned char>(c)) || letters.size() == 2) break;
        letters += c;
    }
    if (letters.empty()) return {};
    letters[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(letters[0])));
    if (letters.size() == 2) {
        letters[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(letters[1])));
        if (gemmi::find_element(letters.c_str()) != gemmi::El::X) return letters;
        letters.resize(1);
    }
    return gemmi::find_element(letters.c_str()) != gemmi::El::X ? letters : std::string();
}

// How many atoms the sites fill in the cell under `group`; 0 when the atoms are not usable.
int atomsPerCell(const CrystalPhase& phase, const SpaceGroupSymbol& group) {
    CrystalPhase trial = phase;
    trial.spaceGroup = group;
    int n = 0;
    for (int m : SpaceGroupRule(trial).siteMultiplicities()) n += m;
    return n;
}

// Why a phase has too many atoms for its cell to be used; empty when it has not. The sites are
// counted first, so that a file of a million sites is not expanded before it is refused.
std::string atomLimitProblem(const CrystalPhase& phase) {
    const std::size_t sites = phase.atoms.size();
    const std::string limit = ", more than the limit of " + std::to_string(kMaxAtomsPerCell) + " atoms per cell";
    if (sites > kMaxAtomsPerCell) return std::to_string(sites) + " atom sites" + limit;
    if (!phase.spaceGroup) return {};
    const auto atoms = static_cast<std::size_t>(std::max(0, atomsPerCell(phase, *phase.spaceGroup)));
    if (atoms > kMaxAtomsPerCell) return std::to_string(atoms) + " atoms in the cell" + limit;
    return {};
}

// The setting of a group given by symbol or number alone. Where the symbol leaves the origin
// open, the atoms decide when they sit on special positions of one choice only (fewer atoms in
// the cell); otherwise origin choice 2, the default of CIF writers. Either way a warning says
// which was taken.
SpaceGroupSymbol chooseSetting(const std::vector<SpaceGroupSymbol>& settings, const std::string& given,
                               const CrystalPhase& phase, const std::string& where,
                               std::vector<std::string>& warnings) {
    const std::string named = where + ": space group \"" + given + "\"";
    if (settings.size() == 1) {
        const std::string& hm = settings[0].hm;
        const bool axesChosen = hm.size() > 2 && hm[0] == 'R' && given.find(':') == std::string::npos &&
                                given.back() != 'H' && given.back() != 'R';
        if (axesChosen)
            warnings.push_back(named + " names no axes; " +
                               (hm.back() == 'H' ? "hexagonal axes taken" : "rhombohedral axes taken, as the cell has them") +
                               " (" + hm + ")");
        return settings[0];
    }
    std::vector<int> counts;
    for (const SpaceGroupSymbol& s : settings) counts.push_back(atomsPerCell(phase, s));
    const auto fewest = std::min_element(counts.begin(), counts.end());
    const bool evident = *fewest > 0 && std::count(counts.begin(), counts.end(), *fewest) == 1;
    const std::size_t chosen = evident ? static_cast<std::size_t>(fewest - counts.begin()) : 0;
    const SpaceGroupSymbol& s = settings[chosen];
    const std::string choice = "origin choice " + std::string(1, s.hm.back());
    if (evident) {
        std::string others;
        for (std::size_t i = 0; i < settings.size(); ++i)
            if (i != chosen)
                others += " against " + std::to_string(counts[i]) + " in origin choice " + settings[i].hm.back();
        warnings.push_back(named + " names no origin; " + choice + " taken (" + s.hm + "): the atoms sit on its "
                           "special positions, " + std::to_string(counts[chosen]) + " atoms in the cell" + others);
    } else {
        warnings.push_back(named + " names no origin; " + choice + " taken (" + s.hm +
                           "), the International Tables default");
    }
    return s;
}

void readSpaceGroup(const CifBlock& block, CrystalPhase& phase, const std::string& where,
                    std::vector<std::string>& warnings) {
    // The operators are the most precise statement of the setting; then the symbol; then the
    // number.
    for (const char* tag : {"_space_group_symop_operation_xyz", "_symmetry_equiv_pos_as_xyz"}) {
        const Table table = findTable(block, tag, {tag});
        if (!table.loop) continue;
        std::vector<std::string> triplets;
        for (std::size_t r = 0; r < table.rows(); ++r) triplets.push_back(table.at(r, 0)->text);
        std::string error;
        if (auto sg = spaceGroupFromOperations(triplets, &error)) {
            std::vector<std::string> distinct = triplets;
            std::sort(distinct.begin(), distinct.end());
            distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
            if (sg->operations.size() > distinct.size())
                warnings.push_back(where + ": the " + std::to_string(distinct.size()) +
                                   " symmetry operators given are not a whole group; completed to the " +
                                   std::to_string(sg->operations.size()) + " operators they generate" +
                                   (sg->hm.empty() ? std::string() : " (" + sg->hm + ")"));
            phase.spaceGroup = std::move(sg);
            return;
        }
        warnings.push_back(where + ": symmetry operators not used (" + error + ")");
        break;
    }
    for (const auto& tags : {std::initializer_list<const char*>{"_space_group_name_H-M_alt", "_symmetry_space_group_name_H-M"},
                             std::initializer_list<const char*>{"_space_group_name_Hall", "_symmetry_space_group_name_Hall"}})
        if (const CifValue* symbol = findValue(block, tags)) {
            const auto settings = spaceGroupSettings(symbol->text, phase.cell.alphaDeg, phase.cell.gammaDeg);
            if (!settings.empty()) {
                phase.spaceGroup = chooseSetting(settings, symbol->text, phase, where, warnings);
                return;
            }
            warnings.push_back(where + ": space group \"" + symbol->text + "\" not recognised");
        }
    if (const CifValue* num = findValue(block, {"_space_group_IT_number",
                                                "_symmetry_Int_Tables_number"})) {
        if (auto n = numberOf(num); n && n->value == std::floor(n->value) && std::abs(n->value) < 1000) {
            const std::string text = std::to_string(static_cast<int>(n->value));
            const auto settings = spaceGroupSettings(text, phase.cell.alphaDeg, phase.cell.gammaDeg);
            if (!settings.empty()) {
                phase.spaceGroup = chooseSetting(settings, text, phase, where, warnings);
                return;
            }
        }
        warnings.push_back(where + ": space group number " + num->text + " not recognised");
    }
}

void readAtoms(const CifBlock& block, CrystalPhase& phase, const std::string& where,
               std::vector<std::string>& warnings) {
    enum { kLabel, kSymbol, kX, kY, kZ, kOcc, kUiso, kBiso };
    const Table table = findTable(block, "_atom_site_fract_x",
                                  {"_atom_site_label", "_atom_site_type_symbol",
                                   "_atom_site_fract_x", "_atom_site_fract_y",
                                   "_atom_site_fract_z", "_atom_site_occupancy",
                                   "_atom_site_U_iso_or_equiv", "_atom_site_B_iso_or_equiv"});
    for (std::size_t r = 0; r < table.rows(); ++r) {
        AtomSite site;
        const CifValue* label = table.at(r, kLabel);
        const CifValue* symbol = table.at(r, kSymbol);
        if (label) site.label = fromCifText(label->text);
        site.element = elementOf(symbol && !symbol->null ? symbol->text : site.label);
        if (site.label.empty()) site.label = site.element + std::to_string(r + 1);
        bool ok = !site.element.empty();
        for (int i = 0; i < 3 && ok; ++i) {
            const auto v = numberOf(table.at(r, static_cast<std::size_t>(kX + i)));
            ok = v.has_value();
            if (ok) site.fract[static_cast<std::size_t>(i)] = v->value;
        }
        if (!ok) {
            warnings.push_back(where + ": atom site \"" + site.label +
                               "\" has no element or coordinates; the atom sites are left out");
            phase.atoms.clear();
            return;
        }
        if (auto v = numberOf(table.at(r, kOcc))) site.occupancy = v->value;
        if (auto u = numberOf(table.at(r, kUiso)))
            site.uIsoA2 = u->value;
        else if (auto b = numberOf(table.at(r, kBiso)))
            site.uIsoA2 = b->value / (8 * 9.869604401089358);  // U = B / (8 pi^2)
        phase.atoms.push_back(std::move(site));
    }
}

std::string baseName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

CifImport readCifText(std::string_view text, std::string_view fileName) {
    CifImport out;
    const std::string file(fileName);
    const CifDocument doc = parseCif(asciiForParser(text), file);
    if (!doc.error.empty()) {
        std::string reason = doc.error;
        // The parser's message starts with the file name already.
        if (reason.rfind(file + ":", 0) == 0) reason = reason.substr(file.size() + 1);
        while (!reason.empty() && reason.front() == ' ') reason.erase(0, 1);
        // "2:25: unterminated 'string'" -> "line 2, column 25: unterminated 'string'"
        if (const auto colon = reason.find(':'); colon != std::string::npos && colon > 0 &&
                                                 std::isdigit(static_cast<unsigned char>(reason[0]))) {
            const auto second = reason.find(':', colon + 1);
            if (second != std::string::npos)
                reason = "line " + reason.substr(0, colon) + ", column " +
                         reason.substr(colon + 1, second - colon - 1) + reason.substr(second);
        }
        out.error = file + ": not a readable CIF (" + reason + ")";
        return out;
    }
    for (const std::string& w : doc.warnings) out.warnings.push_back(file + ", " + w);
    for (const CifBlock& block : doc.blocks) {
        const std::string where = file + ", data_" + block.name;
        const char* tags[6] = {"_cell_length_a", "_cell_length_b", "_cell_length_c",
                               "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};
        if (!findValue(block, {tags[0], tags[1], tags[2]})) continue;
        CrystalPhase phase;
        double* values[6] = {&phase.cell.aNm, &phase.cell.bNm, &phase.cell.cNm,
                             &phase.cell.alphaDeg, &phase.cell.betaDeg, &phase.cell.gammaDeg};
        double* sus[6] = {&phase.cellSu.aNm, &phase.cellSu.bNm, &phase.cellSu.cNm,
                          &phase.cellSu.alphaDeg, &phase.cellSu.betaDeg, &phase.cellSu.gammaDeg};
        bool cellOk = true;
        for (int i = 0; i < 6; ++i) {
            const CifValue* raw = findValue(block, {tags[i]});
            std::optional<NumberWithSu> v = numberOf(raw, i < 3 ? -1 : 0);  // Angstrom to nm
            if (!v && i >= 3 && !raw) v = NumberWithSu{90, 0};  // cubic cells often omit them
            if (!v || !(v->value > 0)) {
                out.warnings.push_back(where + ": " + tags[i] + " is missing or not a number; "
                                       "the block is left out");
                cellOk = false;
                break;
            }
            *values[i] = v->value;
            *sus[i] = v->su;
        }
        if (!cellOk) continue;
        if (!core::isCell(phase.cell)) {
            out.warnings.push_back(where + ": the cell angles do not form a cell; the block is "
                                   "left out");
            continue;
        }
        if (const CifValue* name = findValue(block, {"_chemical_name_common",
                                                     "_chemical_name_mineral",
                                                     "_chemical_name_systematic",
                                                     "_chemical_formula_structural",
                                                     "_chemical_formula_sum"}))
            phase.name = fromCifText(name->text);
        if (phase.name.empty()) phase.name = block.name;
        if (phase.name.empty()) phase.name = baseName(file);
        if (const CifValue* ref = findValue(block, {"_publ_section_references"}))
            phase.source = fromCifText(ref->text);
        while (!phase.source.empty() && (phase.source.back() == '\n' || phase.source.back() == ' '))
            phase.source.pop_back();
        while (!phase.source.empty() && (phase.source.front() == '\n' || phase.source.front() == ' '))
            phase.source.erase(0, 1);
        if (phase.source.empty()) phase.source = baseName(file) + ", data_" + block.name;
        readAtoms(block, phase, where, out.warnings);
        readSpaceGroup(block, phase, where, out.warnings);
        if (phase.spaceGroup)
            if (const auto broken = brokenCellConditions(phase.cell, *phase.spaceGroup)) {
                out.warnings.push_back(where + ": the cell does not fit space group " +
                                       (phase.spaceGroup->hm.empty() ? "of the operators" : phase.spaceGroup->hm) +
                                       ", whose cell has " + cellConditionsText(*broken) + "; the block is left out");
                continue;
            }
        if (const std::string tooMany = atomLimitProblem(phase); !tooMany.empty()) {
            out.warnings.push_back(where + ": " + tooMany + "; the block is left out");
            continue;
        }
        out.phases.push_back(std::move(phase));
    }
    if (out.phases.empty())
        out.error = file + ": no data block with a unit cell (_cell_length_a, _cell_length_b, "
                           "_cell_length_c)";
    return out;
}

CifImport readCifFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        CifImport out;
        out.error = path + ": cannot be opened";
        return out;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        CifImport out;
        out.error = path + ": cannot be read";
        return out;
    }
    return readCifText(buffer.str(), path);
}

std::string writeCif(const std::vector<CrystalPhase>& phases) {
    std::string out = "#\\#CIF_1.1\n";
    int n = 0;
    const auto quoted = [](const std::string& s) {
        const std::string a = toCifAscii(s);
        if (a.find('\'') == std::string::npos) return "'" + a + "'";
        if (a.find('"') == std::string::npos) return "\"" + a + "\"";
        return "\n;" + a + "\n;";
    };
    for (const CrystalPhase& p : phases) {
        ++n;
        std::string block;
        for (char c : toCifAscii(p.name))
            block += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
        out += "\ndata_" + std::to_string(n) + "_" + block + "\n";
        out += "_chemical_name_common " + quoted(p.name) + "\n";
        out += "_publ_section_references\n;" + toCifAscii(p.source) + "\n;\n";
        const double values[6] = {p.cell.aNm * 10, p.cell.bNm * 10, p.cell.cNm * 10,
                                  p.cell.alphaDeg, p.cell.betaDeg, p.cell.gammaDeg};
        const double sus[6] = {p.cellSu.aNm * 10, p.cellSu.bNm * 10, p.cellSu.cNm * 10,
                               p.cellSu.alphaDeg, p.cellSu.betaDeg, p.cellSu.gammaDeg};
        const char* tags[6] = {"_cell_length_a", "_cell_length_b", "_cell_length_c",
                               "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};
        for (int i = 0; i < 6; ++i)
            out += std::string(tags[i]) + " " + formatNumberWithSu(values[i], sus[i]) + "\n";
        if (p.spaceGroup) {
            if (!p.spaceGroup->hm.empty())
                out += "_space_group_name_H-M_alt '" + p.spaceGroup->hm + "'\n";
            if (p.spaceGroup->number > 0)
                out += "_space_group_IT_number " + std::to_string(p.spaceGroup->number) + "\n";
            out += "loop_\n_space_group_symop_operation_xyz\n";
            for (const std::string& op : p.spaceGroup->operations) out += "'" + op + "'\n";
        }
        if (!p.atoms.empty()) {
            out += "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
                   "_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_occupancy\n"
                   "_atom_site_U_iso_or_equiv\n";
            for (const AtomSite& a : p.atoms) {
                out += quoted(a.label) + " " + a.element;
                for (double x : a.fract) out += " " + formatNumberWithSu(x, 0);
                out += " " + formatNumberWithSu(a.occupancy, 0) + " " +
                       formatNumberWithSu(a.uIsoA2, 0) + "\n";
            }
        }
    }
    return out;
}

}  // namespace saed::library
