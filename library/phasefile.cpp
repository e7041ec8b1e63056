// SPDX-License-Identifier: BSD-3-Clause
#include "library/phasefile.h"

#include <sstream>

#include "library/spacegroup.h"

namespace saed::library {

namespace {

std::vector<std::string> splitBlanks(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
        if (j > i) out.emplace_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// A text value with a line break or leading/trailing blanks would not survive one line.
std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return std::string(trimmed(s));
}

}  // namespace

PhaseFileRead readPhaseFile(std::string_view text, std::string_view fileName) {
    PhaseFileRead out;
    CrystalPhase* phase = nullptr;
    std::vector<std::string> symops;
    bool haveCell = false;
    int lineNo = 0;
    const auto fail = [&](const std::string& why) {
        out.phases.clear();
        out.error = std::string(fileName) + ", line " + std::to_string(lineNo) + ": " + why;
        return out;
    };
    // Closes the current phase: the operators, when given, define its group.
    const auto finish = [&]() -> std::string {
        if (!phase) return {};
        if (!haveCell) return "phase \"" + phase->name + "\" has no cell line";
        if (!symops.empty()) {
            std::string error;
            auto sg = spaceGroupFromOperations(symops, &error);
            if (!sg) return "phase \"" + phase->name + "\": " + error;
            phase->spaceGroup = std::move(sg);
        }
        return {};
    };
    std::size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;  // a byte-order mark
    while (pos <= text.size()) {
        const auto end = std::min(text.find('\n', pos), text.size());
        const std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNo;
        if (line.empty() || line.front() == '#') continue;
        const auto blank = line.find_first_of(" \t");
        const std::string_view key = line.substr(0, blank);
        const std::string_view rest = blank == std::string_view::npos ? std::string_view()
                                                                     : trimmed(line.substr(blank));
        if (key == "phase") {
            if (auto why = finish(); !why.empty()) return fail(why);
            if (rest.empty()) return fail("a phase needs a name");
            out.phases.emplace_back();
            phase = &out.phases.back();
            phase->name = std::string(rest);
            symops.clear();
            haveCell = false;
            continue;
        }
        if (!phase) return fail("\"" + std::string(key) + "\" before the first phase line");
        if (key == "source") {
            phase->source = std::string(rest);
        } else if (key == "cell") {
            const auto words = splitBlanks(rest);
            if (words.size() != 6) return fail("a cell needs a, b, c (nm) and alpha, beta, gamma");
            double* v[6] = {&phase->cell.aNm, &phase->cell.bNm, &phase->cell.cNm,
                            &phase->cell.alphaDeg, &phase->cell.betaDeg, &phase->cell.gammaDeg};
            double* su[6] = {&phase->cellSu.aNm, &phase->cellSu.bNm, &phase->cellSu.cNm,
                             &phase->cellSu.alphaDeg, &phase->cellSu.betaDeg,
                             &phase->cellSu.gammaDeg};
            for (std::size_t i = 0; i < 6; ++i) {
                const auto n = parseNumberWithSu(words[i]);
                if (!n) return fail("\"" + words[i] + "\" is not a number");
                *v[i] = n->value;
                *su[i] = n->su;
            }
            if (!core::isCell(phase->cell)) return fail("the cell is not a cell");
            haveCell = true;
        } else if (key == "spacegroup") {
            auto sg = spaceGroupBySymbol(rest, phase->cell.alphaDeg, phase->cell.gammaDeg);
            if (!sg) return fail("unknown space group \"" + std::string(rest) + "\"");
            phase->spaceGroup = std::move(sg);
        } else if (key == "symop") {
            if (rest.empty()) return fail("symop needs an operator such as -x,-y,z");
            symops.emplace_back(rest);
        } else if (key == "atom") {
            const auto words = splitBlanks(rest);
            if (words.size() < 5 || words.size() > 7)
                return fail("an atom needs label, element, x, y, z [, occupancy [, Uiso]]");
            AtomSite a;
            a.label = words[0];
            a.element = words[1];
            double* v[5] = {&a.fract[0], &a.fract[1], &a.fract[2], &a.occupancy, &a.uIsoA2};
            for (std::size_t i = 2; i < words.size(); ++i) {
                const auto n = parseNumberWithSu(words[i]);
                if (!n) return fail("\"" + words[i] + "\" is not a number");
                *v[i - 2] = n->value;
            }
            phase->atoms.push_back(std::move(a));
        } else {
            return fail("unknown key \"" + std::string(key) + "\"");
        }
    }
    if (auto why = finish(); !why.empty()) return fail(why);
    return out;
}

std::string writePhaseFile(const std::vector<CrystalPhase>& phases) {
    std::string out = "# saedindex phase file\n";
    const auto num = [](double v, double su) { return formatNumberWithSu(v, su); };
    for (const CrystalPhase& p : phases) {
        const std::string name = oneLine(p.name);
        out += "\nphase " + (name.empty() ? std::string("(unnamed)") : name) + "\n";
        if (!oneLine(p.source).empty()) out += "source " + oneLine(p.source) + "\n";
        out += "cell " + num(p.cell.aNm, p.cellSu.aNm) + " " + num(p.cell.bNm, p.cellSu.bNm) +
               " " + num(p.cell.cNm, p.cellSu.cNm) + " " + num(p.cell.alphaDeg, p.cellSu.alphaDeg) +
               " " + num(p.cell.betaDeg, p.cellSu.betaDeg) + " " +
               num(p.cell.gammaDeg, p.cellSu.gammaDeg) + "\n";
        if (p.spaceGroup) {
            if (!p.spaceGroup->hm.empty())
                out += "spacegroup " + p.spaceGroup->hm + "\n";
            else
                for (const std::string& op : p.spaceGroup->operations) out += "symop " + op + "\n";
        }
        for (const AtomSite& a : p.atoms) {
            std::string label = oneLine(a.label);
            for (char& c : label)
                if (c == ' ') c = '_';
            out += "atom " + (label.empty() ? std::string("?") : label) + " " + a.element + " " +
                   num(a.fract[0], 0) + " " + num(a.fract[1], 0) + " " + num(a.fract[2], 0) + " " +
                   num(a.occupancy, 0) + " " + num(a.uIsoA2, 0) + "\n";
        }
    }
    return out;
}

}  // namespace saed::library
