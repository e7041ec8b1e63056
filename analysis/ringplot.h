// SPDX-License-Identifier: BSD-3-Clause
// The radial profile of a ring pattern as a plot: intensity against |g| (1/nm), linear or
// logarithmic, the background dashed, and the rings of a phase marked with their (hkl). Laid out
// once in picture pixels, then written as SVG here or painted with QPainter by the windows.
#pragma once

#include <string>
#include <vector>

namespace saed::analysis {

struct RingPlotInput {
    std::vector<double> gInvNm;       // abscissa of each profile point
    std::vector<double> intensity;    // the azimuthal average
    std::vector<double> background;   // its background (empty: none drawn)
    struct Marker {
        double gInvNm = 0;
        std::string label;            // "(1 1 1)"
    };
    std::vector<Marker> markers;
    bool logarithmic = false;
    std::string xTitle = "|g| (1/nm)";
    std::string yTitle;               // the caller's language
    int widthPx = 900;
    int heightPx = 600;
};

struct RingPlotLayout {
    struct Point {
        double x = 0, y = 0;
    };
    struct Text {
        double x = 0, y = 0;
        std::string text;
        int anchor = 0;               // -1 left, 0 middle, 1 right
        bool vertical = false;        // turned 90 degrees anticlockwise
    };
    int widthPx = 0, heightPx = 0;
    double left = 0, top = 0, right = 0, bottom = 0;  // the plot frame
    std::vector<Point> profile, background;
    std::vector<std::pair<Point, Point>> ticks, markerLines;
    std::vector<Text> labels, markerLabels;
};

// Places everything; an input without points gives an empty frame.
RingPlotLayout layoutRingPlot(const RingPlotInput& input);

// The plot as a complete SVG document (UTF-8), numbers with "." whatever the locale.
std::string ringPlotSvg(const RingPlotLayout& layout);

}  // namespace saed::analysis
