// SPDX-License-Identifier: BSD-3-Clause
// A zone pattern drawn with QPainter: on screen in the simulation tab, and as a PNG.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "simulation/zonepattern.h"

namespace saed::app {

// The (hkl) text of a spot, a minus sign for negative indices: "(1 -1 1)".
QString hklText(const core::Hkl& hkl);
// The same in four indices, "(1 0 -1 1)", for a hexagonal cell.
QString hkilText(const core::Hkl& hkl);

// Draws `pattern` centred in `area`: the direct beam, each spot with its (hkl), spots larger for
// a stronger intensity (the radius grows with the square root of the intensity relative to the
// strongest), +x to the right, +y up, the zone at the top left and a scale bar in 1/nm at the
// bottom left. `extentInvNm` is |g| at the edge less a margin; 0 takes the farthest spot.
// `fourIndex` writes the spots and the zone in four indices (a hexagonal cell's).
void paintPattern(QPainter& painter, const QRectF& area, const simulation::ZonePattern& pattern,
                  double extentInvNm = 0, bool labels = true, bool fourIndex = false);

// The pattern as a square picture of `sizePx` pixels.
QImage patternImage(const simulation::ZonePattern& pattern, int sizePx = 600, double extentInvNm = 0,
                    bool fourIndex = false);

}  // namespace saed::app
