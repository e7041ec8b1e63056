// SPDX-License-Identifier: BSD-3-Clause
#include "core/numbertext.h"

#include <charconv>  // for from_chars, to_chars
#include <cmath>     // for isfinite, isnan, fabs, copysign, HUGE_VAL
#include <string>
#include <system_error>

namespace saed::core {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of `text` (after `start`), 0 when there is none.
std::size_t numberLength(std::string_view text, std::size_t start) {
    std::size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return 0;
    // An exponent counts only when at least one digit follows it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            i = j;
        }
    }
    return i - start;
}

std::size_t skipBlanks(std::string_view text, std::size_t i) {
    while (i < text.size() && isBlank(text[i])) ++i;
    return i;
}

// Strips trailing zeros of a mantissa ("1.500" -> "1.5", "2.000" -> "2").
std::string trimMantissa(std::string s) {
    if (s.find('.') == std::string::npos) return s;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

// Rough decimal magnitude of an unsigned number text that numberLength accepted: the integer
// digits from the first non-zero one, less the zeros that open a fraction, plus the written
// exponent ("123.4" 3, "0.05" -1, "1e400" 401). It only tells a value too large for a double
// from one too small, so a huge written exponent saturates.
long long decimalExponent(std::string_view number) {
    std::size_t i = 0;
    long long leading = 0;
    bool seenNonZero = false, inFraction = false;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        const char c = number[i];
        if (c == '.') {
            inFraction = true;
        } else if (isDigit(c)) {
            if (!seenNonZero && c != '0') seenNonZero = true;
            if (seenNonZero && !inFraction) ++leading;
            if (!seenNonZero && inFraction) --leading;
        }
    }
    long long written = 0;
    if (i < number.size()) {
        ++i;
        bool negative = false;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) negative = number[i++] == '-';
        for (; i < number.size(); ++i)
            if (written < 1'000'000'000) written = written * 10 + (number[i] - '0');
        if (negative) written = -written;
    }
    return leading + written;
}

// Like printf's %.*G in the "C" locale, but with the trailing zeros removed and "E" exponents
// of two or more digits, as the program's general number text is written.
std::string generalWithDigits(double value, int digits) {
    if (std::isnan(value)) return "NaN";
    if (!std::isfinite(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0) return "0";
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    std::string s(buf, written.ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    const std::size_t e = s.find('E');
    if (e == std::string::npos) return trimMantissa(s);
    return trimMantissa(s.substr(0, e)) + s.substr(e);
}

}  // namespace

double leadingNumber(std::string_view text) {
    const std::size_t start = skipBlanks(text, 0);
    const std::size_t n = numberLength(text, start);
    if (n == 0) return 0.0;
    // The "." is the decimal point whatever the process locale.
    std::string_view number = text.substr(start, n);
    const bool negative = number.front() == '-';
    if (number.front() == '+' || negative) number.remove_prefix(1);
    double value = 0.0;
    const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec == std::errc::result_out_of_range)
        value = decimalExponent(number) > 0 ? HUGE_VAL : 0.0;  // too large, or too small to hold
    return negative ? -value : value;
}

bool isNumeric(std::string_view text) {
    const std::size_t start = skipBlanks(text, 0);
    const std::size_t n = numberLength(text, start);
    if (n == 0) return false;
    return skipBlanks(text, start + n) == text.size();
}

std::string formatFixed(double value, int decimals, bool grouping) {
    if (std::isnan(value)) return "NaN";
    if (!std::isfinite(value)) return value < 0 ? "-Infinity" : "Infinity";
    // The exact decimal expansion of the double, then rounding half away from zero on it, so
    // that a value lying exactly on a half (0.125 to two decimals) rounds up in magnitude.
    char buf[512];
    const auto written = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, 60);
    std::string exact(buf, written.ptr);
    const std::size_t point = exact.find('.');
    std::string intPart = exact.substr(0, point);
    std::string fracPart = exact.substr(point + 1);
    std::string kept = intPart + fracPart.substr(0, static_cast<std::size_t>(decimals));
    if (fracPart[static_cast<std::size_t>(decimals)] >= '5') {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
            kept[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[static_cast<std::size_t>(i)];
    }
    const std::size_t intDigits = kept.size() - static_cast<std::size_t>(decimals);
    std::string integer = kept.substr(0, intDigits);
    const std::string fraction = kept.substr(intDigits);
    if (grouping) {
        for (int pos = static_cast<int>(integer.size()) - 3; pos > 0; pos -= 3)
            integer.insert(static_cast<std::size_t>(pos), 1, ',');
    }
    const bool allZero = kept.find_first_not_of('0') == std::string::npos;
    std::string result = (value < 0 && !allZero) ? "-" : "";
    result += integer;
    if (decimals > 0) result += "." + fraction;
    return result;
}

std::string formatThreeDigits(long long value) {
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, value);
    std::string digits(buf, written.ptr);
    const bool negative = value < 0;
    if (negative) digits.erase(0, 1);
    // The sign counts toward the three places, as printf's "%03lld" writes it (-7 -> -07).
    const std::size_t width = negative ? 2 : 3;
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

std::string generalText(double value) { return generalWithDigits(value, 15); }

std::string generalTextSingle(float value) { return generalWithDigits(static_cast<double>(value), 7); }

}  // namespace saed::core
