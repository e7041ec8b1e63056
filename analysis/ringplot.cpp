// SPDX-License-Identifier: BSD-3-Clause
// Layout and SVG of the radial profile plot.
#include "analysis/ringplot.h"

#include <algorithm>
#include <charconv>  // for to_chars
#include <cmath>     // for log10, pow, floor, ceil

namespace saed::analysis {

namespace {

std::string num(double v) {
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::round(v * 100) / 100, std::chars_format::fixed, 2);
    return std::string(buffer, r.ptr);
}

// A "nice" tick step (1, 2 or 5 times a power of ten) giving about `count` ticks over `span`.
double niceStep(double span, int count) {
    const double raw = span / count;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= raw) return m * p;
    return 10 * p;
}

std::string tickText(double v, double step) {
    char buffer[32];
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return std::string(buffer, r.ptr);
}

std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

}  // namespace

RingPlotLayout layoutRingPlot(const RingPlotInput& in) {
    RingPlotLayout l;
    l.widthPx = in.widthPx;
    l.heightPx = in.heightPx;
    l.left = 80;
    l.right = in.widthPx - 20.0;
    l.top = 20;
    l.bottom = in.heightPx - (in.markers.empty() ? 60.0 : 175.0);
    const std::size_t n = std::min(in.gInvNm.size(), in.intensity.size());
    if (n < 2) return l;
    const double x0 = 0, x1 = in.gInvNm[n - 1];
    const auto yValue = [&](double v) { return in.logarithmic ? std::log10(std::max(v, 1e-3)) : v; };
    double y0 = 1e300, y1 = -1e300;
    for (std::size_t i = 0; i < n; ++i) {
        y0 = std::min(y0, yValue(in.intensity[i]));
        y1 = std::max(y1, yValue(in.intensity[i]));
    }
    if (!in.logarithmic) y0 = std::min(0.0, y0);
    if (!(y1 > y0)) y1 = y0 + 1;
    y1 += 0.03 * (y1 - y0);
    const auto px = [&](double g) { return l.left + (g - x0) / (x1 - x0) * (l.right - l.left); };
    const auto py = [&](double v) { return l.bottom - (yValue(v) - y0) / (y1 - y0) * (l.bottom - l.top); };
    for (std::size_t i = 0; i < n; ++i) l.profile.push_back({px(in.gInvNm[i]), py(in.intensity[i])});
    for (std::size_t i = 0; i < std::min(n, in.background.size()); ++i)
        l.background.push_back({px(in.gInvNm[i]), std::min(l.bottom, py(in.background[i]))});
    // Ticks along |g|.
    const double sx = niceStep(x1 - x0, 8);
    for (double g = 0; g <= x1 + 1e-9; g += sx) {
        l.ticks.push_back({{px(g), l.bottom}, {px(g), l.bottom + 6}});
        l.labels.push_back({px(g), l.bottom + 22, tickText(g, sx), 0, false});
    }
    // Ticks up the side: powers of ten on a logarithmic scale.
    if (in.logarithmic) {
        for (double e = std::ceil(y0); e <= y1; e += 1) {
            l.ticks.push_back({{l.left - 6, py(std::pow(10.0, e))}, {l.left, py(std::pow(10.0, e))}});
            l.labels.push_back({l.left - 10, py(std::pow(10.0, e)) + 5, "1e" + tickText(e, 1), 1, false});
        }
    } else {
        const double sy = niceStep(y1 - y0, 6);
        for (double v = std::ceil(y0 / sy) * sy; v <= y1; v += sy) {
            l.ticks.push_back({{l.left - 6, py(v)}, {l.left, py(v)}});
            l.labels.push_back({l.left - 10, py(v) + 5, tickText(v, sy), 1, false});
        }
    }
    l.labels.push_back({(l.left + l.right) / 2, l.bottom + 44, in.xTitle, 0, false});
    l.labels.push_back({18, (l.top + l.bottom) / 2, in.yTitle, 0, true});
    for (const auto& m : in.markers) {
        if (m.gInvNm < x0 || m.gInvNm > x1) continue;
        l.markerLines.push_back({{px(m.gInvNm), l.top}, {px(m.gInvNm), l.bottom}});
        l.markerLabels.push_back({px(m.gInvNm) + 4, l.bottom + 58, m.label, 1, true});
    }
    return l;
}

std::string ringPlotSvg(const RingPlotLayout& l) {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(l.widthPx) + "\" height=\"" + std::to_string(l.heightPx) + "\" viewBox=\"0 0 " +
                    std::to_string(l.widthPx) + ' ' + std::to_string(l.heightPx) + "\">\n";
    s += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    const auto polyline = [&](const std::vector<RingPlotLayout::Point>& pts, const char* style) {
        if (pts.empty()) return;
        s += "<polyline fill=\"none\" " + std::string(style) + " points=\"";
        for (const auto& p : pts) s += num(p.x) + ',' + num(p.y) + ' ';
        s += "\"/>\n";
    };
    const auto line = [&](const std::pair<RingPlotLayout::Point, RingPlotLayout::Point>& a, const char* style) {
        s += "<line x1=\"" + num(a.first.x) + "\" y1=\"" + num(a.first.y) + "\" x2=\"" + num(a.second.x) + "\" y2=\"" +
             num(a.second.y) + "\" " + style + "/>\n";
    };
    const auto text = [&](const RingPlotLayout::Text& t, const char* style) {
        const char* anchor = t.anchor < 0 ? "start" : t.anchor > 0 ? "end" : "middle";
        s += "<text x=\"" + num(t.x) + "\" y=\"" + num(t.y) + "\" text-anchor=\"" + anchor + "\" " + style;
        if (t.vertical) s += " transform=\"rotate(-90 " + num(t.x) + ' ' + num(t.y) + ")\"";
        s += ">" + escaped(t.text) + "</text>\n";
    };
    for (const auto& m : l.markerLines) line(m, "stroke=\"#c03030\" stroke-width=\"1\" stroke-dasharray=\"4 3\"");
    polyline(l.background, "stroke=\"#888888\" stroke-width=\"1\" stroke-dasharray=\"6 4\"");
    polyline(l.profile, "stroke=\"#1f4e9c\" stroke-width=\"1.3\"");
    s += "<rect x=\"" + num(l.left) + "\" y=\"" + num(l.top) + "\" width=\"" + num(l.right - l.left) + "\" height=\"" +
         num(l.bottom - l.top) + "\" fill=\"none\" stroke=\"black\"/>\n";
    for (const auto& t : l.ticks) line(t, "stroke=\"black\"");
    for (const auto& t : l.labels) text(t, "font-family=\"sans-serif\" font-size=\"14\"");
    for (const auto& t : l.markerLabels) text(t, "font-family=\"sans-serif\" font-size=\"12\" fill=\"#c03030\"");
    s += "</svg>\n";
    return s;
}

}  // namespace saed::analysis
