// SPDX-License-Identifier: BSD-3-Clause
// The phase library: its text, the parsed records, and the check-box tree built from them.
#include "library/phasetree.h"

#include <cmath>  // for nearbyint
#include <string>

namespace saed::library {

// Two records of nine fields, each field closed by ";", a CR LF between the records.
const std::string_view kLibraryText =
    "α-Mg;简单六方;1.60323;0.32094;0.32094;0.52105;90.00000;90.00000;120.00000;\r\n"
    "14H LPSO;未知;11.59718;0.32500;0.32500;3.72200;90.00000;90.00000;120.00000;";

std::string removeLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

std::string incompleteRecordMessage(const ParsedLibrary& library) {
    const int r = library.incompleteRecord();
    if (r == 0) return {};
    return "record " + std::to_string(r) + " is incomplete (" +
           std::to_string((library.elements.size() - 1) % 9) +
           " of nine fields); the library file was not used";
}

ParsedLibrary parseLibraryText(std::string_view text) {
    ParsedLibrary parsed;
    parsed.text = removeLineBreaks(text);
    std::size_t start = 0;
    for (;;) {
        const std::size_t semicolon = parsed.text.find(';', start);
        if (semicolon == std::string::npos) {
            parsed.elements.push_back(parsed.text.substr(start));
            break;
        }
        parsed.elements.push_back(parsed.text.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    // The element after the last ";" closes the text and is no field.
    const std::size_t m = parsed.elements.size() - 1;
    const auto n = static_cast<std::size_t>(std::nearbyint(static_cast<double>(m) / 9.0));
    parsed.records.resize(n);
    parsed.fits = m <= 9 * n;
    for (std::size_t i = 0; i < m && i / 9 < n; ++i)
        parsed.records[i / 9].fields[i % 9] = parsed.elements[i];
    return parsed;
}

std::string parameterNodeText(const PhaseRecord& record) {
    const auto& f = record.fields;
    return "a=" + f[3] + ",b=" + f[4] + ",c=" + f[5] + ",α=" + f[6] + ",β=" + f[7] + ",γ=" + f[8] +
           "," + f[1] + ",c/a:" + f[2];
}

int PhaseTree::addNode(std::string key, std::string text, int parent) {
    const int index = nodeCount();
    m_nodes.push_back({std::move(key), std::move(text), parent, false, false});
    m_firstChild.push_back(-1);
    m_nextSibling.push_back(-1);
    m_lastChild.push_back(-1);
    if (parent >= 0) {
        const auto p = static_cast<std::size_t>(parent);
        if (m_lastChild[p] < 0)
            m_firstChild[p] = index;
        else
            m_nextSibling[static_cast<std::size_t>(m_lastChild[p])] = index;
        m_lastChild[p] = index;
    }
    return index;
}

bool PhaseTree::build(std::string_view libraryText) {
    m_nodes.clear();
    m_firstChild.clear();
    m_nextSibling.clear();
    m_lastChild.clear();
    m_library = parseLibraryText(libraryText);
    // A record short of fields (a file cut off, or a ";" lost) ends the build before any node
    // is added: its phases would be built from fields that belong elsewhere.
    if (!m_library.fits || !m_library.wholeRecords()) return false;

    const int root = addNode("物相", "物相", -1);
    if (m_library.records.empty()) return false;
    int group = 1;
    int phase = addNode("aa1", field(1, 1), root);
    addNode("bb1", parameterNodeText(m_library.records[0]), phase);
    for (int r = 2; r <= recordCount(); ++r) {
        if (field(r, 1) != field(r - 1, 1)) {
            ++group;
            phase = addNode("aa" + std::to_string(group), field(r, 1), root);
        }
        addNode("bb" + std::to_string(r),
                parameterNodeText(m_library.records[static_cast<std::size_t>(r - 1)]), phase);
    }
    m_nodes[static_cast<std::size_t>(root)].expanded = true;
    return true;
}

int PhaseTree::find(std::string_view key) const {
    for (int i = 0; i < nodeCount(); ++i)
        if (node(i).key == key) return i;
    return -1;
}

void PhaseTree::PropagateCheck(int node, bool state, bool withSiblings, bool withChildren) {
    // Siblings are walked in a loop rather than by recursion, so a long library cannot exhaust
    // the stack; the depth of recursion is that of the tree.
    for (int n = node; n >= 0; n = withSiblings ? nextSibling(n) : -1) {
        setTicked(n, state);
        if (withChildren && firstChild(n) >= 0) PropagateCheck(firstChild(n), state, true, true);
    }
}

void PhaseTree::tickChanged(int node, bool state, bool multipleChoice) {
    PropagateCheck(node, state, false, true);
    if (multipleChoice) return;
    for (int i = 0; i < nodeCount(); ++i) setTicked(i, false);
    setTicked(node, true);
    // A phase name stands for its parameter lines: ticked alone it would run nothing.
    if (m_nodes[static_cast<std::size_t>(node)].key.compare(0, 2, "aa") == 0) PropagateCheck(node, true, false, true);
}

std::vector<int> PhaseTree::selectedRecordNumbers() const {
    std::vector<int> numbers;
    for (const TreeNode& n : m_nodes)
        if (n.ticked && n.key.size() > 2 && n.key.compare(0, 2, "bb") == 0)
            numbers.push_back(std::stoi(n.key.substr(2)));
    return numbers;
}

}  // namespace saed::library
