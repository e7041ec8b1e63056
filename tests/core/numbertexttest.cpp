// SPDX-License-Identifier: BSD-3-Clause
#include "core/numbertext.h"

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>
#include <utility>  // for pair

#include <gtest/gtest.h>

using namespace saed::core;

TEST(NumberTextTest, leadingNumberReadsTheNumberAtTheStart) {
    // An exponent without digits is not read; a comma ends the number; beyond a double's range
    // the number is infinite when too large, zero when too small.
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::pair<const char*, double> cases[] = {
        {"", 0.0}, {"abc", 0.0}, {"12abc", 12.0}, {"   -3.25xyz", -3.25}, {".5", 0.5}, {"-", 0.0}, {"+", 0.0},
        {".", 0.0}, {"1e3", 1000.0}, {"1.5E-2 nm", 0.015}, {"2e", 2.0}, {"2e+x", 2.0}, {"+7.", 7.0},
        {"0.008", 0.008}, {"1,5", 1.0}, {"1e400", inf}, {"-123456e305", -inf}, {"0.0001e-320", 0.0},
        {"4.9e-324", std::numeric_limits<double>::denorm_min()}};
    for (const auto& [text, value] : cases) EXPECT_EQ(leadingNumber(text), value) << text;
    for (const char* yes : {"0", "12", " -0.5 ", ".5", "5.", "1e3", "+2", "1.5E-07", "\t3\t"})
        EXPECT_TRUE(isNumeric(yes)) << yes;
    for (const char* no : {"", " ", "12abc", "-", "+", ".", "e5", "1e", "1 2", "--1", "abc"})
        EXPECT_FALSE(isNumeric(no)) << no;
}

TEST(NumberTextTest, fixedFormatsRoundAndGroup) {
    // 45.00005 is stored just above the half; 999.99996 carries into a new group; an exact half
    // of formatTwoDecimals rounds away from zero, and a zero has no minus sign.
    const std::pair<std::string, std::string> cases[] = {
        {formatSpacing(0.2338), "0.2338000"}, {formatSpacing(0.5), "0.5000000"},
        {formatSpacing(0.35355339059327), "0.3535534"}, {formatSpacing(0.353553349), "0.3535533"},
        {formatSpacing(1234.5), "1,234.5000000"}, {formatSpacing(-0.25), "-0.2500000"},
        {formatSpacing(0.0), "0.0000000"}, {formatAngle(90), "90.0000"}, {formatAngle(54.73561031724535), "54.7356"},
        {formatAngle(45.00005), "45.0001"}, {formatAngle(179.99999), "180.0000"},
        {formatAngle(1234567.891), "1,234,567.8910"}, {formatAngle(-1000), "-1,000.0000"},
        {formatAngle(999.99996), "1,000.0000"}, {formatTwoDecimals(1234.567), "1,234.57"},
        {formatTwoDecimals(0.125), "0.13"}, {formatTwoDecimals(-0.125), "-0.13"}, {formatTwoDecimals(-0.001), "0.00"},
        {formatFixed(2.5, 0), "3"}, {formatFixed(12345.678, 1, false), "12345.7"},
        // Group numbers: the sign takes one of the three places.
        {formatThreeDigits(1), "001"}, {formatThreeDigits(24), "024"}, {formatThreeDigits(999), "999"},
        {formatThreeDigits(1000), "1000"}, {formatThreeDigits(-7), "-07"}};
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
}

TEST(NumberTextTest, generalTextOfDoubleAndSingle) {
    // 15 digits hide the binary noise of 0.1 + 0.2; a single keeps its own shortest digits.
    const std::pair<double, const char*> cases[] = {
        {1, "1"}, {-2, "-2"}, {0, "0"}, {90, "90"}, {0.5, "0.5"}, {54.735610317245345, "54.7356103172453"},
        {1.5e-7, "1.5E-07"}, {0.0001, "0.0001"}, {123456789012345.0, "123456789012345"}, {1e15, "1E+15"},
        {0.1 + 0.2, "0.3"}, {static_cast<double>(1234.567f), "1234.56701660156"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(generalText(value), text) << text;
    EXPECT_EQ(generalTextSingle(1234.567f), "1234.567");
    EXPECT_EQ(generalTextSingle(1234.57f), "1234.57");
    EXPECT_EQ(generalTextSingle(300.0f), "300");
}

// Under a locale whose decimal separator is a comma, number texts read and write exactly as
// under "C".
TEST(NumberTextTest, decimalCommaLocaleChangesNothing) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/install-deps.sh makes it)";
    const std::locale globalBefore = std::locale::global(std::locale("de_DE.UTF-8"));
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    EXPECT_EQ(leadingNumber("0.5"), 0.5);
    EXPECT_EQ(leadingNumber("0,5"), 0.0);
    EXPECT_EQ(leadingNumber("-2.5e-3x"), -0.0025);
    EXPECT_TRUE(isNumeric("0.0083999"));
    EXPECT_EQ(formatSpacing(1234.56789), "1,234.5678900");
    EXPECT_EQ(formatAngle(0.125), "0.1250");
    EXPECT_EQ(generalText(0.0083999), "0.0083999");
    EXPECT_EQ(generalText(1.5e-7), "1.5E-07");
    EXPECT_EQ(generalTextSingle(2.5f), "2.5");
    EXPECT_EQ(leadingNumber(generalText(0.1 / 3)), 0.0333333333333333);
    std::locale::global(globalBefore);
    std::setlocale(LC_ALL, before.c_str());
}
