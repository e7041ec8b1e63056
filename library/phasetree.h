// SPDX-License-Identifier: BSD-3-Clause
// The phase library: its text, the parsed records, and the check-box tree built from them.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace saed::library {

// The built-in library: two records, a CR LF after the first (145 characters, UTF-8 here).
extern const std::string_view kLibraryText;

// One phase: the nine fields of a record as written (name, lattice-type text, c/a, a, b, c in
// nm, alpha, beta, gamma in degrees).
struct PhaseRecord {
    std::array<std::string, 9> fields;

    const std::string& name() const { return fields[0]; }
    const std::string& latticeTypeText() const { return fields[1]; }
    const std::string& cOverA() const { return fields[2]; }
};

// A library text split into its fields and records.
struct ParsedLibrary {
    std::string text;                   // the text without its line breaks
    std::vector<std::string> elements;  // t(0..m): the text split at every ";"
    std::vector<PhaseRecord> records;   // n = m / 9 rounded records; missing fields are empty
    // True when every field found its place in a record; false when the text ends with a
    // partial record too short to be counted (its fields are then left out of `records`).
    bool fits = true;
    // True when the text is made of whole records of nine fields.
    bool wholeRecords() const { return (elements.size() - 1) % 9 == 0; }
    // The record (from 1) that the fields run out in, 0 when the records are whole.
    int incompleteRecord() const {
        return wholeRecords() ? 0 : static_cast<int>((elements.size() - 1) / 9) + 1;
    }
};

// Removes every line break, CR LF, LF or CR alike (editors on each system end lines their own
// way); nothing else is trimmed.
std::string removeLineBreaks(std::string_view text);

// Tells which record of a library text is incomplete and that the text was not used; empty when
// the records are whole.
std::string incompleteRecordMessage(const ParsedLibrary& library);

// Splits a library text (UTF-8) into records. Never fails; see ParsedLibrary for the faults.
ParsedLibrary parseLibraryText(std::string_view text);

// Text of a parameter node: "a=..,b=..,c=..,α=..,β=..,γ=..,<type>,c/a:<c/a>".
std::string parameterNodeText(const PhaseRecord& record);

struct TreeNode {
    std::string key;  // "物相", "aa<g>" or "bb<r>"
    std::string text;
    int parent = -1;  // node index of the parent; -1 for the root
    bool ticked = false;
    bool expanded = false;
};

// The three-level check-box tree of a library: root, one node per group of consecutive records
// with the same name, one parameter node per record. Nodes are indexed from 0 in the order they
// were added (the tree's index order).
class PhaseTree {
public:
    // BuildPhaseTree on `libraryText`: replaces the tree. False when the text is not made of
    // whole records of nine fields (nothing is built), or holds none (only the root).
    bool build(std::string_view libraryText);

    const std::vector<TreeNode>& nodes() const { return m_nodes; }
    int nodeCount() const { return static_cast<int>(m_nodes.size()); }
    const TreeNode& node(int i) const { return m_nodes[static_cast<std::size_t>(i)]; }
    // Node index of `key`, -1 when there is none.
    int find(std::string_view key) const;
    // First child and next sibling of node i in index order, -1 when there is none.
    int firstChild(int i) const { return m_firstChild[static_cast<std::size_t>(i)]; }
    int nextSibling(int i) const { return m_nextSibling[static_cast<std::size_t>(i)]; }

    // Sets node's tick to `state`; with `withChildren` also its whole subtree, with
    // `withSiblings` also each following sibling (and, with `withChildren`, their subtrees).
    void PropagateCheck(int node, bool state, bool withSiblings, bool withChildren);
    // The user set node's tick to `state`: the node and its subtree follow; in single-choice
    // mode every other node is then unticked and the node stays ticked, a phase name with its
    // parameter lines.
    void tickChanged(int node, bool state, bool multipleChoice);
    void setTicked(int node, bool state) { m_nodes[static_cast<std::size_t>(node)].ticked = state; }

    // Record numbers r (from 1) of the ticked parameter nodes, in node index order.
    std::vector<int> selectedRecordNumbers() const;

    // The library as parsed by the last build: text without line breaks, records and fields.
    const ParsedLibrary& library() const { return m_library; }
    const std::string& libraryText() const { return m_library.text; }
    const std::vector<PhaseRecord>& records() const { return m_library.records; }
    int recordCount() const { return static_cast<int>(m_library.records.size()); }
    // F(r, f): field f (1..9) of record r (from 1).
    const std::string& field(int r, int f) const {
        return m_library.records[static_cast<std::size_t>(r - 1)]
            .fields[static_cast<std::size_t>(f - 1)];
    }

private:
    int addNode(std::string key, std::string text, int parent);

    ParsedLibrary m_library;
    std::vector<TreeNode> m_nodes;
    std::vector<int> m_firstChild;
    std::vector<int> m_nextSibling;
    std::vector<int> m_lastChild;
};

}  // namespace saed::library
