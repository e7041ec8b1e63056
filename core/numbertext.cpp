#include "core/numbertext.h"

#include <cmath>    // for isfinite, isnan
#include <cstdio>   // for snprintf
#include <cstdlib>  // for strtod
#include <string>

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

// Like printf's %.*G, but with the trailing zeros removed and "E" exponents of two or more
// digits, as the program's general number text is written.
std::string generalWithDigits(double value, int digits) {
    if (std::isnan(value)) return "NaN";
    if (!std::isfinite(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, value);
    std::string s(buf);
    const std::size_t e = s.find('E');
    if (e == std::string::npos) return trimMantissa(s);
    return trimMantissa(s.substr(0, e)) + s.substr(e);
}

}  // namespace

double leadingNumber(std::string_view text) {
    const std::size_t start = skipBlanks(text, 0);
    const std::size_t n = numberLength(text, start);
    if (n == 0) return 0.0;
    const std::string number(text.substr(start, n));
    const double value = std::strtod(number.c_str(), nullptr);
    return value;
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
    std::snprintf(buf, sizeof buf, "%.60f", std::fabs(value));
    std::string exact(buf);
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
    std::snprintf(buf, sizeof buf, "%03lld", value);
    return buf;
}

std::string generalText(double value) { return generalWithDigits(value, 15); }

std::string generalTextSingle(float value) { return generalWithDigits(static_cast<double>(value), 7); }

}  // namespace saed::core
