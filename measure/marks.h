// SPDX-License-Identifier: BSD-3-Clause
// The rubber-band line and the four kept marks drawn over the image, and how marks are reused.
#pragma once

#include <array>

namespace saed::measure {

// A line in panel coordinates (twips) with its visibility; lines are hidden and reused, never deleted.
struct Segment {
    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;
    bool visible = false;
};

struct MarkSet {
    Segment line1;                 // Line1, the rubber-band line
    std::array<Segment, 4> line2;  // Line2(0) to Line2(3), the kept marks

    // Keeps Line1 as a mark: when all four are shown, marks 0 to 2 are hidden (3 stays), then the
    // lowest hidden mark takes Line1's end points. Returns the index of the mark used.
    int keepLine1();
    // Takes back the latest mark (the one before the first hidden mark; none when mark 0 is
    // hidden), hides mark 3 if shown, and hides Line1.
    void cancelLatest();
    // Hides Line1 and every mark.
    void hideAll();
    // Moves every mark, shown or hidden, by (dx, dy) twips.
    void shiftMarks(double dx, double dy);
};

}  // namespace saed::measure
