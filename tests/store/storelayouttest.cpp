// Line layout of the parameter-set store: slots, shifting, single-line texts, lattice-type line.
#include "store/storelayout.h"

#include <gtest/gtest.h>

using namespace saed::store;

namespace {

ParameterSet namedSet(const std::string& name, int combo1) {
    ParameterSet set;
    set.name = name;
    for (int n = 0; n < kSetFieldCount; ++n) set.text1[static_cast<std::size_t>(n)] = name + "/" + std::to_string(n);
    set.combo1 = combo1;
    set.text6 = "phase " + name;
    return set;
}

}  // namespace

TEST(StoreLayoutTest, oneSaveIntoAnEmptyStore) {
    ParameterSet set = namedSet("样品1", 3);
    set.text1[21] = "5";
    set.text1[27] = "0.008";
    const auto lines = pushParameterSet({}, set);
    ASSERT_EQ(lines.size(), 168u);
    EXPECT_EQ(lines[0], "样品1");
    EXPECT_EQ(lines[1], "样品1/0");   // Text1(0) on line 2
    EXPECT_EQ(lines[22], "5");         // index range on line 23
    EXPECT_EQ(lines[28], "0.008");     // tolerance on d1 on line 29
    EXPECT_EQ(lines[39], "样品1/38");  // Text1(38) on line 40
    EXPECT_EQ(lines[40], "3");
    EXPECT_EQ(lines[41], "phase 样品1");
    for (std::size_t i = 42; i < 168; ++i) EXPECT_EQ(lines[i], "") << "line " << i + 1;
}

TEST(StoreLayoutTest, savesMoveSlotsDownAndDropTheFourth) {
    std::vector<std::string> lines;
    for (const char* name : {"A", "B", "C", "D", "E"}) lines = pushParameterSet(lines, namedSet(name, 1));
    ASSERT_EQ(lines.size(), 168u);
    EXPECT_EQ(slotName(lines, 1), "E");
    EXPECT_EQ(slotName(lines, 2), "D");
    EXPECT_EQ(slotName(lines, 3), "C");
    EXPECT_EQ(slotName(lines, 4), "B");
    EXPECT_EQ(lines[84 + 41], "phase C");  // last line of slot 3 moved whole
    EXPECT_EQ(lines[126 + 1], "B/0");
    EXPECT_EQ(importCaption(lines, 2), "导入D图测量数据");

    // A longer file: lines beyond 168 are never read and dropped by the next save.
    std::vector<std::string> longFile = lines;
    longFile.push_back("line 169");
    EXPECT_EQ(storeLines(longFile).size(), 168u);
    EXPECT_EQ(pushParameterSet(longFile, namedSet("F", 0)).size(), 168u);
    EXPECT_EQ(slotName(pushParameterSet(longFile, namedSet("F", 0)), 4), "C");
}

TEST(StoreLayoutTest, slotTextsAndShortFiles) {
    std::vector<std::string> lines = pushParameterSet({}, namedSet("A", 2));
    lines = pushParameterSet(lines, namedSet("B", -1));
    const SlotTexts second = slotTexts(lines, 2);
    EXPECT_EQ(second.text1[0], "A/0");
    EXPECT_EQ(second.text1[38], "A/38");
    EXPECT_EQ(second.text6, "phase A");
    EXPECT_EQ(second.combo1, 2);
    EXPECT_EQ(slotTexts(lines, 1).combo1, -1);

    const SlotTexts never = slotTexts(lines, 3);
    EXPECT_EQ(never.text1[5], "");
    EXPECT_EQ(never.text6, "");
    EXPECT_FALSE(never.combo1.has_value());

    // A file cut short: the missing lines read as empty.
    std::vector<std::string> shortFile(lines.begin(), lines.begin() + 50);
    EXPECT_EQ(slotName(shortFile, 2), "A");
    EXPECT_EQ(slotTexts(shortFile, 2).text1[10], "");
    EXPECT_EQ(slotName(shortFile, 4), "");
    EXPECT_EQ(importCaption(shortFile, 4), "导入图测量数据");
}

TEST(StoreLayoutTest, lineBreaksAreStoredAsBlanks) {
    EXPECT_EQ(singleLine("a\r\nb\nc\rd"), "a b c d");
    EXPECT_EQ(singleLine("\n"), " ");
    ParameterSet set = namedSet("two\nlines", 0);
    set.text1[4] = "9\r\n0";
    set.text6 = "α-Mg\r\n";
    const auto lines = parameterSetLines(set);
    ASSERT_EQ(lines.size(), 42u);
    EXPECT_EQ(lines[0], "two lines");
    EXPECT_EQ(lines[5], "9 0");
    EXPECT_EQ(lines[41], "α-Mg ");
}

TEST(StoreLayoutTest, latticeTypeLine) {
    EXPECT_EQ(latticeTypeIndex("3"), 3);
    EXPECT_EQ(latticeTypeIndex(" 4 "), 4);
    EXPECT_EQ(latticeTypeIndex("2.9"), 2);    // the whole number not above
    EXPECT_EQ(latticeTypeIndex("-1"), -1);    // none chosen
    EXPECT_EQ(latticeTypeIndex("-0.5"), -1);
    EXPECT_FALSE(latticeTypeIndex(""));
    EXPECT_FALSE(latticeTypeIndex("abc"));
    EXPECT_FALSE(latticeTypeIndex("3x"));
    EXPECT_FALSE(latticeTypeIndex("5"));
    EXPECT_FALSE(latticeTypeIndex("-1.5"));
    EXPECT_FALSE(latticeTypeIndex("1e300"));
}
