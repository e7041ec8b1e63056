// The library text, its parsing into records and the check-box tree with its tick rules.
#include "library/phasetree.h"

#include <gtest/gtest.h>

using namespace saed::library;

namespace {

// Characters of a UTF-8 text (bytes that do not continue a character).
std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

std::string record(const std::string& name, const std::string& a = "0.3") {
    return name + ";立方;1;" + a + ";" + a + ";" + a + ";90;90;90;";
}

std::vector<std::string> keys(const PhaseTree& tree) {
    std::vector<std::string> k;
    for (const TreeNode& n : tree.nodes()) k.push_back(n.key);
    return k;
}

std::vector<std::string> ticked(const PhaseTree& tree) {
    std::vector<std::string> k;
    for (const TreeNode& n : tree.nodes())
        if (n.ticked) k.push_back(n.key);
    return k;
}

using Keys = std::vector<std::string>;

}  // namespace

TEST(PhaseTreeTest, builtInLibraryText) {
    EXPECT_EQ(characterCount(kLibraryText), 144u);
    const std::size_t crlf = kLibraryText.find("\r\n");
    ASSERT_NE(crlf, std::string_view::npos);
    EXPECT_EQ(kLibraryText.substr(crlf + 2, 9), "14H LPSO;");
    EXPECT_EQ(kLibraryText.find("\r\n", crlf + 1), std::string_view::npos);
    EXPECT_EQ(kLibraryText.back(), ';');

    PhaseTree tree;
    ASSERT_TRUE(tree.build(kLibraryText));
    EXPECT_EQ(keys(tree), (Keys{"物相", "aa1", "bb1", "aa2", "bb2"}));
    EXPECT_EQ(tree.node(1).text, "α-Mg");
    EXPECT_EQ(
        tree.node(2).text,
        "a=0.32094,b=0.32094,c=0.52105,α=90.00000,β=90.00000,γ=90.00000,简单六方,c/a:1.60323");
    EXPECT_EQ(tree.node(3).text, "14H LPSO");
    EXPECT_EQ(tree.node(4).text,
              "a=0.32500,b=0.32500,c=3.72200,α=90.00000,β=90.00000,γ=120.00000,未知,c/a:11.59718");
    EXPECT_EQ(tree.node(2).parent, 1);
    EXPECT_EQ(tree.node(3).parent, 0);
    EXPECT_EQ(tree.node(4).parent, 3);
    for (int i = 0; i < tree.nodeCount(); ++i) EXPECT_EQ(tree.node(i).expanded, i == 0) << i;
    EXPECT_EQ(ticked(tree), Keys{});

    // The parsed form that screening reads: CR LF removed, F(r, f) from 1.
    EXPECT_EQ(tree.libraryText().find('\r'), std::string::npos);
    EXPECT_EQ(characterCount(tree.libraryText()), 142u);
    ASSERT_EQ(tree.recordCount(), 2);
    EXPECT_EQ(tree.field(1, 2), "简单六方");
    EXPECT_EQ(tree.field(2, 1), "14H LPSO");
    EXPECT_EQ(tree.field(2, 9), "120.00000");
    EXPECT_EQ(tree.library().elements.size(), 19u);
    EXPECT_TRUE(tree.library().elements.back().empty());
}

TEST(PhaseTreeTest, consecutiveRecordsOfOneNameShareAPhaseNode) {
    PhaseTree tree;
    ASSERT_TRUE(tree.build(record("A") + "\r\n" + record("A", "0.4") + "\r\n" + record("B")));
    EXPECT_EQ(keys(tree), (Keys{"物相", "aa1", "bb1", "bb2", "aa2", "bb3"}));
    EXPECT_EQ(tree.node(3).parent, 1);
    EXPECT_EQ(tree.node(3).text, "a=0.4,b=0.4,c=0.4,α=90,β=90,γ=90,立方,c/a:1");
    EXPECT_EQ(tree.node(5).parent, 4);

    // A name that comes back after another gets a second node; names compare exactly.
    ASSERT_TRUE(tree.build(record("A") + record("B") + record("A") + record("a")));
    EXPECT_EQ(keys(tree), (Keys{"物相", "aa1", "bb1", "aa2", "bb2", "aa3", "bb3", "aa4", "bb4"}));
    EXPECT_EQ(tree.node(5).text, "A");
    EXPECT_EQ(tree.node(7).text, "a");

    // Blanks inside a field belong to it.
    ASSERT_TRUE(tree.build(record(" A") + record("A")));
    EXPECT_EQ(keys(tree), (Keys{"物相", "aa1", "bb1", "aa2", "bb2"}));
}

TEST(PhaseTreeTest, textsThatAreNotWholeRecords) {
    PhaseTree tree;
    // One field too many: it has no place, nothing is built.
    EXPECT_FALSE(tree.build(record("A") + "extra;"));
    EXPECT_EQ(tree.nodeCount(), 0);
    // Nothing at all: only the root.
    EXPECT_FALSE(tree.build(""));
    EXPECT_EQ(keys(tree), (Keys{"物相"}));
    // A last record cut after six fields counts as a record with empty angles.
    EXPECT_TRUE(tree.build(record("A") + "B;立方;1;0.3;0.3;0.3;"));
    EXPECT_FALSE(tree.library().wholeRecords());
    EXPECT_EQ(keys(tree), (Keys{"物相", "aa1", "bb1", "aa2", "bb2"}));
    EXPECT_EQ(tree.field(2, 9), "");
}

TEST(PhaseTreeTest, ticksInMultipleChoice) {
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
}

TEST(PhaseTreeTest, ticksInSingleChoice) {
    PhaseTree tree;
    ASSERT_TRUE(tree.build(kLibraryText));
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
    tree.tickChanged(3, true, false);
    EXPECT_EQ(ticked(tree), (Keys{"aa2"}));
}
