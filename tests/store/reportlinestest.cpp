// Lines of the result report and of a screening block.
#include "store/reportlines.h"

#include <algorithm>  // for count

#include <gtest/gtest.h>

#include "store/screeningphase.h"

using namespace saed::store;

namespace {

// The worked example: scale bar 2 1/nm over 100 px, lengths 100, 100, 141.42 px, one segment
// each, angles 90, 45, 45.
ReportFields workedExample() {
    ReportFields f;
    f.name = "Cubic";
    f.lattice = {"0.5", "0.5", "0.5", "90", "90", "90"};
    f.image = "pattern1.tif";
    f.scaleReading = 2;
    f.scaleLength = 100;
    f.lengths = {100, 100, 141.42};
    f.segments = {1, 1, 1};
    f.anglesDeg = {90, 45, 45};
    return f;
}

ReportRow firstRow() {
    return {"第001组", "-1", "0", "0", "+", "0", "-1", "0", "＝", "-1", "-1", "0", "◇",
            "0.5000000", "0.5000000", "0.3535534", "◇", "90.0000", "45.0000", "45.0000"};
}

}  // namespace

TEST(ReportLinesTest, measuredSpacings) {
    const auto d = measuredSpacings(workedExample());
    ASSERT_TRUE(d);
    EXPECT_DOUBLE_EQ((*d)[0], 0.5);
    EXPECT_NEAR((*d)[2], 0.35355678, 1e-8);

    // Lbar / S first, then Nn x that / Ln: 3 x (250 / 4) / 125 = 1.5.
    ReportFields f = workedExample();
    f.scaleReading = 4;
    f.scaleLength = 250;
    f.segments = {3, 2, 0};
    f.lengths = {125, 125, 10};
    const auto e = measuredSpacings(f);
    ASSERT_TRUE(e);
    EXPECT_DOUBLE_EQ((*e)[0], 1.5);
    EXPECT_DOUBLE_EQ((*e)[1], 1.0);
    EXPECT_DOUBLE_EQ((*e)[2], 0.0);

    for (int zero = 0; zero < 4; ++zero) {
        ReportFields g = workedExample();
        if (zero == 0) g.scaleReading = 0;
        else g.lengths[static_cast<std::size_t>(zero - 1)] = 0;
        EXPECT_FALSE(measuredSpacings(g)) << "zero divisor " << zero;
    }
}

TEST(ReportLinesTest, headerLine) {
    const std::string plain =
        "   组号\t \tR1\t \t \t \tR2\t \t \t \tR3\t \t \td1\t \td2\t \td3\t \t \t<R1,R2>\t<R2,R3>\t<R1,R3>";
    EXPECT_EQ(reportHeaderLine(100), plain);
    EXPECT_EQ(reportHeaderLine(45), plain);
    std::string wide = plain;
    wide.replace(wide.find("<R1,R2>"), 7, "<R1,R2> ");
    EXPECT_EQ(reportHeaderLine(120), wide);
    EXPECT_EQ(reportHeaderLine(100.5), wide);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\t'), 22);
}

TEST(ReportLinesTest, resultReportOfTheWorkedExample) {
    const ReportLines report = resultReportLines(workedExample(), {firstRow()});
    ASSERT_TRUE(report.complete);
    const std::vector<std::string> expected = {
        "------Cubic点阵参数：",
        "a=0.5nm   b=0.5nm   c=0.5nm",
        "α=90deg.  β=90deg.  γ=90deg.",
        "pattern1.tif图片测量数值为：",
        "d1=0.5000000nm   d2=0.5000000nm   d3=0.3535568nm     <R1,R2>=90.0000deg. <R2,R3>=45.0000deg. "
        "<R1,R3>=45.0000deg. ",
        "Cubic数据库中筛选结果如下：",
        reportHeaderLine(90),
        "第001组\t-1\t0\t0\t+\t0\t-1\t0\t＝\t-1\t-1\t0\t◇\t0.5000000\t0.5000000\t0.3535534\t◇\t90.0000\t45.0000 45.0000",
    };
    EXPECT_EQ(report.lines, expected);
}

TEST(ReportLinesTest, emptyFieldsAndMissingSpacings) {
    ReportFields empty;
    const ReportLines report = resultReportLines(empty, {firstRow()});
    EXPECT_FALSE(report.complete);
    const std::vector<std::string> expected = {"------点阵参数：", "a=nm   b=nm   c=nm", "α=deg.  β=deg.  γ=deg."};
    EXPECT_EQ(report.lines, expected);

    // An empty table still gives lines 1 to 7.
    EXPECT_EQ(resultReportLines(workedExample(), {}).lines.size(), 7u);
}

TEST(ReportLinesTest, screeningBlock) {
    PhaseTexts mg{"α-Mg", "简单六方", "1.60323", {"0.32094", "0.32094", "0.52105", "90.00000", "90.00000", "90.00000"}};
    ReportFields f = workedExample();
    f.name = phaseDescription(mg);
    f.lattice = mg.lattice;
    f.anglesDeg = {120, 30, 90};
    ReportRow second = firstRow();
    second[0] = "第002组";
    const ReportLines block = screeningBlockLines(f, {firstRow(), second});
    const std::vector<std::string> expected = {
        "------α-Mg  简单六方  c/a1.60323  点阵参数：",
        "a=0.32094nm   b=0.32094nm   c=0.52105nm",
        "α=90.00000deg.  β=90.00000deg.  γ=90.00000deg.",
        "pattern1.tif图片测量数值为：d1=0.5000000nm   d2=0.5000000nm   d3=0.3535568nm     "
        "<R1,R2>=120.0000deg. <R2,R3>=30.0000deg. <R1,R3>=90.0000deg. ",
        "α-Mg  简单六方  c/a1.60323数据库中筛选结果如下：",
        reportHeaderLine(120),
        reportRowLine(firstRow()),
        reportRowLine(second),
    };
    EXPECT_EQ(block.lines, expected);
    EXPECT_NE(block.lines[5].find("<R1,R2> \t"), std::string::npos);
    EXPECT_TRUE(screeningBlockLines(f, {}).lines.empty());
}

TEST(ReportLinesTest, rowLineOfAnyWidth) {
    EXPECT_EQ(reportRowLine({"x", "1", "2", "3"}), "x\t1\t2 3");
    EXPECT_EQ(reportRowLine({"x", "9"}), "x 9");
}

TEST(ReportLinesTest, fileNameAndPhaseTexts) {
    EXPECT_EQ(reportFileName({2012, 3, 4, 15, 6, 7}), "标定结果2012-03-04 150607.txt");
    EXPECT_EQ(reportFileName({2026, 12, 31, 0, 0, 0}), "标定结果2026-12-31 000000.txt");

    EXPECT_EQ(latticeTypeFromText("简单六方"), 0);
    EXPECT_EQ(latticeTypeFromText("未知"), 0);
    EXPECT_EQ(latticeTypeFromText("底心正交"), 1);
    EXPECT_EQ(latticeTypeFromText("体心立方"), 2);
    EXPECT_EQ(latticeTypeFromText("面心体心"), 3);  // the last key word tested wins
    EXPECT_EQ(latticeTypeFromText("菱形"), 4);
    PhaseTexts lpso{"14H LPSO", "未知", "11.59718", {}};
    EXPECT_EQ(phaseDescription(lpso), "14H LPSO  未知  c/a11.59718");
}
