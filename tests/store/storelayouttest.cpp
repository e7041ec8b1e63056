// SPDX-License-Identifier: BSD-3-Clause
// Line layout of the parameter-set store where the file-level tests do not reach: files cut
// short, line breaks and the lattice-type line.
#include "store/storelayout.h"

#include <gtest/gtest.h>

using namespace saed::store;

TEST(StoreLayoutTest, fileCutShortReadsAsEmptyLines) {
    ParameterSet set;
    set.name = "A";
    set.text1[10] = "x";
    const std::vector<std::string> older = parameterSetLines(set);
    set.name = "B";
    std::vector<std::string> lines = parameterSetLines(set);
    lines.insert(lines.end(), older.begin(), older.end());
    lines.resize(50);
    EXPECT_EQ(slotName(lines, 2), "A");
    EXPECT_EQ(slotTexts(lines, 2).text1[10], "");
    EXPECT_FALSE(slotTexts(lines, 2).combo1.has_value());
    EXPECT_EQ(importCaption(lines, 4), "导入图测量数据");
}

TEST(StoreLayoutTest, lineBreaksAreStoredAsBlanks) {
    EXPECT_EQ(singleLine("a\r\nb\nc\rd"), "a b c d");
    ParameterSet set;
    set.name = "two\nlines";
    set.text6 = "α-Mg\r\n";
    const auto lines = parameterSetLines(set);
    ASSERT_EQ(lines.size(), 42u);
    EXPECT_EQ(lines[0], "two lines");
    EXPECT_EQ(lines[41], "α-Mg ");
}

TEST(StoreLayoutTest, latticeTypeLine) {
    // The whole number not above; -1 is none chosen.
    using saed::core::LatticeType;
    const std::pair<const char*, LatticeType> valid[] = {{"3", LatticeType::FaceCentred},
                                                         {" 4 ", LatticeType::Rhombic},
                                                         {"2.9", LatticeType::BodyCentred},
                                                         {"-1", LatticeType::None},
                                                         {"-0.5", LatticeType::None}};
    for (const auto& [text, index] : valid) EXPECT_EQ(latticeTypeIndex(text), index) << text;
    for (const char* text : {"", "abc", "3x", "5", "-1.5", "1e300"}) EXPECT_FALSE(latticeTypeIndex(text)) << text;
}
