// SPDX-License-Identifier: BSD-3-Clause
// The library text, its parsing into records and the check-box tree with its tick rules.
#include "library/phasetree.h"
#include "library/screeningphase.h"

#include <gtest/gtest.h>

using namespace saed::library;

namespace {

using Keys = std::vector<std::string>;

std::string record(const std::string& name, const std::string& a = "0.3") {
    return name + ";立方;1;" + a + ";" + a + ";" + a + ";90;90;90;";
}

// Each node as "parent>key", with ":text" for the root and the phase nodes.
Keys shape(const PhaseTree& tree) {
    Keys k;
    for (const TreeNode& n : tree.nodes()) {
        std::string s = n.parent < 0 ? n.key : tree.node(n.parent).key + ">" + n.key;
        k.push_back(n.key.starts_with("bb") ? s : s + ":" + n.text);
    }
    return k;
}

Keys ticked(const PhaseTree& tree) {
    Keys k;
    for (const TreeNode& n : tree.nodes())
        if (n.ticked) k.push_back(n.key);
    return k;
}

}  // namespace

TEST(PhaseTreeTest, builtInLibraryText) {
    std::size_t characters = 0;
    for (unsigned char c : kLibraryText) characters += (c & 0xC0) != 0x80;
    EXPECT_EQ(characters, 145u);
    const std::size_t crlf = kLibraryText.find("\r\n");
    ASSERT_NE(crlf, std::string_view::npos);
    EXPECT_EQ(kLibraryText.substr(crlf + 2, 9), "14H LPSO;");
    EXPECT_EQ(kLibraryText.find("\r\n", crlf + 1), std::string_view::npos);

    PhaseTree tree;
    ASSERT_TRUE(tree.build(kLibraryText));
    EXPECT_EQ(shape(tree),
              (Keys{"物相:物相", "物相>aa1:α-Mg", "aa1>bb1", "物相>aa2:14H LPSO", "aa2>bb2"}));
    // α-Mg is hexagonal: gamma 120.
    EXPECT_EQ(tree.node(2).text,
              "a=0.32094,b=0.32094,c=0.52105,α=90.00000,β=90.00000,γ=120.00000,简单六方,c/a:1.60323");
    EXPECT_EQ(tree.node(4).text,
              "a=0.32500,b=0.32500,c=3.72200,α=90.00000,β=90.00000,γ=120.00000,未知,c/a:11.59718");
    for (int i = 0; i < tree.nodeCount(); ++i) EXPECT_EQ(tree.node(i).expanded, i == 0) << i;
    EXPECT_EQ(ticked(tree), Keys{});
    EXPECT_EQ(tree.libraryText().find('\r'), std::string::npos);
}

TEST(PhaseTreeTest, recordsGroupUnderOnePhaseNodeOnlyWhileTheirNameRepeats) {
    struct Case {
        std::string text;
        bool built;
        Keys shape;
    };
    const Case cases[] = {
        {record("A") + "\r\n" + record("A", "0.4") + "\r\n" + record("B"), true,
         {"物相:物相", "物相>aa1:A", "aa1>bb1", "aa1>bb2", "物相>aa2:B", "aa2>bb3"}},
        // LF and lone CR end records as CR LF does: no name starts with a line break.
        {record("A") + "\n" + record("A", "0.4") + "\r" + record("B") + "\n\r\n", true,
         {"物相:物相", "物相>aa1:A", "aa1>bb1", "aa1>bb2", "物相>aa2:B", "aa2>bb3"}},
        // A name that comes back after another gets a second node; names compare exactly.
        {record("A") + record("B") + record("A") + record("a"), true,
         {"物相:物相", "物相>aa1:A", "aa1>bb1", "物相>aa2:B", "aa2>bb2", "物相>aa3:A", "aa3>bb3",
          "物相>aa4:a", "aa4>bb4"}},
        {record(" A") + record("A"), true,
         {"物相:物相", "物相>aa1: A", "aa1>bb1", "物相>aa2:A", "aa2>bb2"}},
        // One field too many has no place: nothing is built. Nothing at all: only the root.
        {record("A") + "extra;", false, {}},
        {"", false, {"物相:物相"}},
        // A record cut after six fields: nothing is built from the text.
        {record("A") + record("B") + "C;立方;1;0.3;0.3;0.3;", false, {}},
    };
    PhaseTree tree;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tree.build(c.text), c.built);
        EXPECT_EQ(shape(tree), c.shape);
    }
    EXPECT_EQ(tree.library().incompleteRecord(), 3);
    EXPECT_EQ(incompleteRecordMessage(tree.library()),
              "record 3 is incomplete (6 of nine fields); the library file was not used");
    ASSERT_TRUE(tree.build(cases[0].text));
    EXPECT_EQ(tree.library().incompleteRecord(), 0);
    EXPECT_EQ(incompleteRecordMessage(tree.library()), "");
    EXPECT_EQ(tree.node(3).text, "a=0.4,b=0.4,c=0.4,α=90,β=90,γ=90,立方,c/a:1");
}

TEST(PhaseTreeTest, ticksInBothModes) {
    PhaseTree tree;
    ASSERT_TRUE(tree.build(record("A") + record("B") + record("A")));
    // root, aa1, bb1, aa2, bb2, aa3, bb3
    tree.tickChanged(0, true, true);
    EXPECT_EQ(ticked(tree).size(), 7u);
    tree.tickChanged(1, false, true);  // a phase node: its parameter node follows, siblings stay
    EXPECT_EQ(ticked(tree), (Keys{"物相", "aa2", "bb2", "aa3", "bb3"}));
    EXPECT_EQ(tree.selectedRecordNumbers(), (std::vector<int>{2, 3}));
    tree.tickChanged(2, true, true);
    EXPECT_EQ(tree.selectedRecordNumbers(), (std::vector<int>{1, 2, 3}));
    tree.tickChanged(0, false, true);
    EXPECT_EQ(ticked(tree), Keys{});

    // PropagateCheck: siblings with or without their subtrees.
    tree.PropagateCheck(1, true, true, false);
    EXPECT_EQ(ticked(tree), (Keys{"aa1", "aa2", "aa3"}));
    tree.PropagateCheck(3, false, true, true);
    EXPECT_EQ(ticked(tree), (Keys{"aa1"}));

    // Single choice: the node just ticked is the only one.
    tree.tickChanged(2, true, false);
    EXPECT_EQ(ticked(tree), (Keys{"bb1"}));
    tree.tickChanged(4, true, false);
    EXPECT_EQ(ticked(tree), (Keys{"bb2"}));
    EXPECT_EQ(tree.selectedRecordNumbers(), (std::vector<int>{2}));
    // Clicking the ticked node's box again does not untick it.
    tree.tickChanged(4, false, false);
    EXPECT_EQ(ticked(tree), (Keys{"bb2"}));
    // The root stays alone: no parameter node is selected.
    tree.tickChanged(0, true, false);
    EXPECT_EQ(ticked(tree), (Keys{"物相"}));
    EXPECT_TRUE(tree.selectedRecordNumbers().empty());
    // A phase name counts as its parameter line.
    tree.tickChanged(3, true, false);
    EXPECT_EQ(ticked(tree), (Keys{"aa2", "bb2"}));
    EXPECT_EQ(tree.selectedRecordNumbers(), (std::vector<int>{2}));
}

TEST(ScreeningPhaseTest, latticeTypeFromKeyWords) {
    const std::pair<const char*, saed::core::LatticeType> cases[] = {
        {"简单六方", saed::core::LatticeType::Simple}, {"未知", saed::core::LatticeType::Simple}, {"底心正交", saed::core::LatticeType::BaseCentred}, {"体心立方", saed::core::LatticeType::BodyCentred}, {"面心立方", saed::core::LatticeType::FaceCentred},
        {"面心体心", saed::core::LatticeType::FaceCentred},  // the last key word tested wins
        {"菱形", saed::core::LatticeType::Rhombic}};
    for (const auto& [text, type] : cases) EXPECT_EQ(latticeTypeFromText(text), type) << text;
}
