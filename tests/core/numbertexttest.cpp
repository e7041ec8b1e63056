// SPDX-License-Identifier: BSD-3-Clause
#include "core/numbertext.h"

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

#include <gtest/gtest.h>

using namespace saed::core;

TEST(NumberTextTest, leadingNumberReadsTheNumberAtTheStart) {
    EXPECT_EQ(leadingNumber(""), 0.0);
    EXPECT_EQ(leadingNumber("abc"), 0.0);
    EXPECT_EQ(leadingNumber("12abc"), 12.0);
    EXPECT_EQ(leadingNumber("   -3.25xyz"), -3.25);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("-"), 0.0);
    EXPECT_EQ(leadingNumber("+"), 0.0);
    EXPECT_EQ(leadingNumber("."), 0.0);
    EXPECT_EQ(leadingNumber("1e3"), 1000.0);
    EXPECT_EQ(leadingNumber("1.5E-2 nm"), 0.015);
    EXPECT_EQ(leadingNumber("2e"), 2.0);     // an exponent without digits is not read
    EXPECT_EQ(leadingNumber("2e+x"), 2.0);
    EXPECT_EQ(leadingNumber("+7."), 7.0);
    EXPECT_EQ(leadingNumber("0.008"), 0.008);
    EXPECT_EQ(leadingNumber("1,5"), 1.0);    // the comma ends the number
    // Beyond a double's range: infinite when too large, zero when too small.
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(leadingNumber("1e400"), inf);
    EXPECT_EQ(leadingNumber("-123456e305"), -inf);
    EXPECT_EQ(leadingNumber("0.0001e-320"), 0.0);
    EXPECT_EQ(leadingNumber("4.9e-324"), std::numeric_limits<double>::denorm_min());
}

TEST(NumberTextTest, isNumericNeedsTheWholeText) {
    for (const char* yes : {"0", "12", " -0.5 ", ".5", "5.", "1e3", "+2", "1.5E-07", "\t3\t"})
        EXPECT_TRUE(isNumeric(yes)) << yes;
    for (const char* no : {"", " ", "12abc", "-", "+", ".", "e5", "1e", "1 2", "--1", "abc"})
        EXPECT_FALSE(isNumeric(no)) << no;
}

TEST(NumberTextTest, fixedFormatsRoundAndGroup) {
    EXPECT_EQ(formatSpacing(0.2338), "0.2338000");
    EXPECT_EQ(formatSpacing(0.5), "0.5000000");
    EXPECT_EQ(formatSpacing(0.35355339059327), "0.3535534");
    EXPECT_EQ(formatSpacing(0.353553349), "0.3535533");
    EXPECT_EQ(formatSpacing(1234.5), "1,234.5000000");
    EXPECT_EQ(formatSpacing(-0.25), "-0.2500000");
    EXPECT_EQ(formatSpacing(0.0), "0.0000000");
    EXPECT_EQ(formatAngle(90), "90.0000");
    EXPECT_EQ(formatAngle(54.73561031724535), "54.7356");
    EXPECT_EQ(formatAngle(45.00005), "45.0001");  // 45.00005 is stored just above the half
    EXPECT_EQ(formatAngle(179.99999), "180.0000");
    EXPECT_EQ(formatAngle(1234567.891), "1,234,567.8910");
    EXPECT_EQ(formatAngle(-1000), "-1,000.0000");
    EXPECT_EQ(formatAngle(999.99996), "1,000.0000");  // the carry reaches a new group
    EXPECT_EQ(formatTwoDecimals(1234.567), "1,234.57");
    EXPECT_EQ(formatTwoDecimals(0.125), "0.13");  // an exact half rounds away from zero
    EXPECT_EQ(formatTwoDecimals(-0.125), "-0.13");
    EXPECT_EQ(formatTwoDecimals(-0.001), "0.00");  // no minus sign on a zero
    EXPECT_EQ(formatFixed(2.5, 0), "3");
    EXPECT_EQ(formatFixed(12345.678, 1, false), "12345.7");
}

TEST(NumberTextTest, threeDigitGroupNumbers) {
    EXPECT_EQ(formatThreeDigits(1), "001");
    EXPECT_EQ(formatThreeDigits(24), "024");
    EXPECT_EQ(formatThreeDigits(999), "999");
    EXPECT_EQ(formatThreeDigits(1000), "1000");
    EXPECT_EQ(formatThreeDigits(-7), "-07");  // the sign takes one of the three places
}

TEST(NumberTextTest, generalTextOfDoubleAndSingle) {
    EXPECT_EQ(generalText(1), "1");
    EXPECT_EQ(generalText(-2), "-2");
    EXPECT_EQ(generalText(0), "0");
    EXPECT_EQ(generalText(90), "90");
    EXPECT_EQ(generalText(0.5), "0.5");
    EXPECT_EQ(generalText(54.735610317245345), "54.7356103172453");
    EXPECT_EQ(generalText(1.5e-7), "1.5E-07");
    EXPECT_EQ(generalText(0.0001), "0.0001");
    EXPECT_EQ(generalText(123456789012345.0), "123456789012345");
    EXPECT_EQ(generalText(1e15), "1E+15");
    EXPECT_EQ(generalText(0.1 + 0.2), "0.3");  // 15 digits hide the binary noise
    EXPECT_EQ(generalText(static_cast<double>(1234.567f)), "1234.56701660156");
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
