// SPDX-License-Identifier: BSD-3-Clause
#include "library/crystalphase.h"

#include <algorithm>  // for max
#include <charconv>  // for from_chars, to_chars
#include <cmath>     // for pow, floor, log10, llround, isfinite, fabs
#include <string>
#include <system_error>  // for errc

namespace saed::library {

std::optional<NumberWithSu> parseNumberWithSu(std::string_view text, int shift) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::string_view digits = text;
    std::string_view suText;
    if (const auto open = text.find('('); open != std::string_view::npos) {
        if (text.back() != ')') return std::nullopt;
        digits = text.substr(0, open);
        suText = text.substr(open + 1, text.size() - open - 2);
        if (suText.empty()) return std::nullopt;
    }
    std::string_view mantissa = digits;
    int exponent = 0;
    if (const auto e = digits.find_first_of("eE"); e != std::string_view::npos) {
        mantissa = digits.substr(0, e);
        std::string_view exp = digits.substr(e + 1);
        if (!exp.empty() && exp.front() == '+') exp.remove_prefix(1);
        const auto [end, ec] = std::from_chars(exp.data(), exp.data() + exp.size(), exponent);
        if (ec != std::errc() || end != exp.data() + exp.size() || exponent < -400 || exponent > 400)
            return std::nullopt;
    }
    if (mantissa.empty() || mantissa.find_first_not_of("-.0123456789") != std::string_view::npos)
        return std::nullopt;
    // The shift moves the decimal point in the text, so 2.9506 Angstrom reads as exactly the
    // double nearest 0.29506 nm.
    const std::string scaled = std::string(mantissa) + "e" + std::to_string(exponent + shift);
    NumberWithSu out;
    const auto [end, ec] = std::from_chars(scaled.data(), scaled.data() + scaled.size(), out.value);
    if (ec != std::errc() || end != scaled.data() + scaled.size() || !std::isfinite(out.value))
        return std::nullopt;
    if (!suText.empty()) {
        // The uncertainty counts units of the last written digit.
        if (suText.find_first_not_of("0123456789") != std::string_view::npos || suText.size() > 9)
            return std::nullopt;
        int decimals = 0;
        if (const auto dot = mantissa.find('.'); dot != std::string_view::npos)
            decimals = static_cast<int>(mantissa.size() - dot - 1);
        const std::string suScaled =
            std::string(suText) + "e" + std::to_string(exponent + shift - decimals);
        std::from_chars(suScaled.data(), suScaled.data() + suScaled.size(), out.su);
    }
    return out;
}

std::string formatNumberWithSu(double value, double su) {
    if (!(su > 0) || !std::isfinite(su)) {
        char buf[32];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
        return ec == std::errc() ? std::string(buf, end) : std::string("0");
    }
    int decimals = -static_cast<int>(std::floor(std::log10(su)));
    if (su * std::pow(10.0, decimals) < 1.95) ++decimals;  // 0.0012 keeps two digits: (12)
    // An uncertainty above the value must not round the value away: its first digit stays.
    if (value != 0 && std::isfinite(value))
        decimals = std::max(decimals, -static_cast<int>(std::floor(std::log10(std::fabs(value)))));
    const double suScaled = su * std::pow(10.0, decimals);
    if (!(suScaled < 1e15)) return formatNumberWithSu(value, 0);
    const long long suDigits = std::llround(suScaled);
    // "." whatever the locale: printf would write a decimal comma that no reader takes back.
    const auto fixed = [](double v, int places) {
        char buf[400];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, places);
        return ec == std::errc() ? std::string(buf, end) : std::string("0");
    };
    const std::string su10 = "(" + std::to_string(suDigits) + ")";
    if (decimals >= 0 && decimals <= 15) return fixed(value, decimals) + su10;
    // An uncertainty of tens or more, or far below the value's digits: the exponent carries
    // the scale, 123e1(3) for 1234.5 +- 30.
    const double mantissa = value * std::pow(10.0, decimals);
    if (!std::isfinite(mantissa) || std::fabs(mantissa) > 1e15)
        return formatNumberWithSu(value, 0);  // an uncertainty that no digit of the value shows
    return fixed(mantissa, 0) + "e" + std::to_string(-decimals) + su10;
}

}  // namespace saed::library
