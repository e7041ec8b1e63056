// SPDX-License-Identifier: BSD-3-Clause
#include "simulation/svgpattern.h"

#include <algorithm>  // for max, min
#include <charconv>   // for to_chars: the same text under every locale
#include <cmath>      // for sqrt, pow, floor, log10
#include <initializer_list>

#include "core/millerbravais.h"

namespace saed::simulation {

namespace {

constexpr double kMarginPx = 30;

// A number with `decimals` decimals, trailing zeros and a bare "." dropped ("12.50" -> "12.5").
std::string number(double value, int decimals = 2) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

// Indices as crystallographers write them: a bar over a negative index, one blank between.
std::string indicesText(std::initializer_list<long long> indices) {
    std::string text;
    for (long long x : indices) {
        if (!text.empty()) text += ' ';
        if (x < 0)
            text += "<tspan text-decoration=\"overline\">" + std::to_string(-x) + "</tspan>";
        else
            text += std::to_string(x);
    }
    return text;
}

// The longest of 1, 2, 5 x 10^n that is at most `limit`.
double roundLength(double limit) {
    const double decade = std::pow(10.0, std::floor(std::log10(limit)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * decade <= limit) return step * decade;
    return decade;
}

}  // namespace

std::string patternSvg(const ZonePattern& pattern, const SvgOptions& options) {
    const double size = std::max(options.sizePx, 100);
    double extent = options.extentInvNm;
    double strongest = 0;
    for (const Spot& s : pattern.spots) {
        if (options.extentInvNm <= 0)
            extent = std::max(extent, std::sqrt(s.xInvNm * s.xInvNm + s.yInvNm * s.yInvNm));
        strongest = std::max(strongest, s.intensity);
    }
    if (!(extent > 0)) extent = 1;
    const double centre = size / 2;
    const double scale = (centre - kMarginPx) / extent;  // pixels per 1/nm

    std::string svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(size) + "\" height=\"" +
           number(size) + "\" viewBox=\"0 0 " + number(size) + " " + number(size) + "\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"black\"/>\n";
    const core::Uvtw zone4 = core::toFourIndex(pattern.zone);
    svg += "<text x=\"10\" y=\"22\" fill=\"white\" font-family=\"sans-serif\" font-size=\"16\">[" +
           (options.fourIndex ? indicesText({zone4[0], zone4[1], zone4[2], zone4[3]})
                              : indicesText({pattern.zone[0], pattern.zone[1], pattern.zone[2]})) +
           "]</text>\n";
    svg += "<circle cx=\"" + number(centre) + "\" cy=\"" + number(centre) +
           "\" r=\"7\" fill=\"white\"/>\n";
    for (const Spot& s : pattern.spots) {
        const double x = centre + s.xInvNm * scale;
        const double y = centre - s.yInvNm * scale;  // SVG y grows downwards
        // A negative or undefined intensity draws the smallest spot.
        const double relative =
            strongest > 0 ? (s.intensity > 0 ? std::min(s.intensity / strongest, 1.0) : 0.0) : 1.0;
        svg += "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"" +
               number(1.5 + 3.5 * std::sqrt(relative)) + "\" fill=\"white\"/>\n";
        if (options.labels)
            svg += "<text x=\"" + number(x + 6) + "\" y=\"" + number(y + 14) +
                   "\" fill=\"#ffd75e\" font-family=\"sans-serif\" font-size=\"10\">(" +
                   (options.fourIndex ? indicesText({s.hkl[0], s.hkl[1], -(s.hkl[0] + s.hkl[1]), s.hkl[2]})
                                      : indicesText({s.hkl[0], s.hkl[1], s.hkl[2]})) +
                   ")</text>\n";
    }
    const double bar = roundLength(extent / 3);
    const double barY = size - 14;
    svg += "<line x1=\"" + number(kMarginPx) + "\" y1=\"" + number(barY) + "\" x2=\"" +
           number(kMarginPx + bar * scale) + "\" y2=\"" + number(barY) +
           "\" stroke=\"white\" stroke-width=\"3\"/>\n";
    svg += "<text x=\"" + number(kMarginPx) + "\" y=\"" + number(barY - 6) +
           "\" fill=\"white\" font-family=\"sans-serif\" font-size=\"12\">" + number(bar, 3) +
           " 1/nm</text>\n";
    svg += "</svg>\n";
    return svg;
}

}  // namespace saed::simulation
