// SPDX-License-Identifier: BSD-3-Clause
// Number text: how fields are read as numbers and how numbers are written into them.
#pragma once

#include <string>
#include <string_view>

namespace saed::core {

// Reads the leading number of a text: leading blanks, an optional sign, digits with at most one
// decimal point, and an optional exponent ("1e3"). Whatever follows is ignored; a text without a
// leading number ("", "abc", "-", ".") reads as 0.
double leadingNumber(std::string_view text);

// True when the whole text, apart from surrounding blanks, is a number that leadingNumber reads
// completely ("12", " -0.5 ", ".5", "1e3"); false for "", "12abc", "-", "+", ".".
bool isNumeric(std::string_view text);

// Fixed-point text with `decimals` decimals and a leading digit, rounded half away from zero on
// the exact value; groups of three integer digits are separated by "," when `grouping` is set.
// A value that rounds to zero is written without a minus sign.
std::string formatFixed(double value, int decimals, bool grouping = true);

// "##,#,0.0000000": spacings in nm (0.2338 -> 0.2338000, 1234.5 -> 1,234.5000000).
inline std::string formatSpacing(double spacingNm) { return formatFixed(spacingNm, 7); }

// "##,#,0.0000": angles in degrees (90 -> 90.0000).
inline std::string formatAngle(double angleDeg) { return formatFixed(angleDeg, 4); }

// "##,#,0.00": lengths shown with two decimals (1234.567 -> 1,234.57).
inline std::string formatTwoDecimals(double value) { return formatFixed(value, 2); }

// "000": a whole number padded with zeros to at least three digits (7 -> 007, 1000 -> 1000).
std::string formatThreeDigits(long long value);

// General text of a double: at most 15 significant digits, no trailing zeros, no grouping, and
// exponent form for very large or small magnitudes (1.5E-07, 1E+15).
std::string generalText(double value);

// General text of a single-precision value: at most 7 significant digits, as generalText.
std::string generalTextSingle(float value);

}  // namespace saed::core
