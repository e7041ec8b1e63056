// SPDX-License-Identifier: BSD-3-Clause
// The rubber-band line and the four kept marks drawn over the image, and how marks are reused.
#include "measure/marks.h"

namespace saed::measure {

int MarkSet::keepLine1() {
    bool allShown = true;
    for (const Segment& mark : line2) allShown = allShown && mark.visible;
    if (allShown)
        for (int i = 0; i < 3; ++i) line2[static_cast<std::size_t>(i)].visible = false;
    for (std::size_t i = 0; i < line2.size(); ++i) {
        if (!line2[i].visible) {
            line2[i] = line1;
            line2[i].visible = true;
            return static_cast<int>(i);
        }
    }
    return -1;  // not reached: at least marks 0 to 2 are hidden here
}

void MarkSet::cancelLatest() {
    for (std::size_t i = 0; i < line2.size(); ++i) {
        if (!line2[i].visible) {
            if (i > 0) line2[i - 1].visible = false;
            break;
        }
    }
    line2[3].visible = false;
    line1.visible = false;
}

void MarkSet::hideAll() {
    line1.visible = false;
    for (Segment& mark : line2) mark.visible = false;
}

void MarkSet::shiftMarks(double dx, double dy) {
    for (Segment& mark : line2) {
        mark.x1 = static_cast<float>(mark.x1 + dx);
        mark.x2 = static_cast<float>(mark.x2 + dx);
        mark.y1 = static_cast<float>(mark.y1 + dy);
        mark.y2 = static_cast<float>(mark.y2 + dy);
    }
}

}  // namespace saed::measure
