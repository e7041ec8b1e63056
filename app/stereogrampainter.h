// SPDX-License-Identifier: BSD-3-Clause
// The stereographic projection drawn with QPainter: on screen and as a PNG.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

#include "calculator/stereogram.h"

namespace saed::app {

// Draws `projection` centred in `area`, as the SVG of stereogramSvg shows it: the primitive
// circle, the great circles of the planes with their labels, the zones with theirs, the zone on
// the beam in red; +X to the right, +Y up.
void paintStereogram(QPainter& painter, const QRectF& area, const calculator::Stereogram& projection,
                     const calculator::StereogramLabels& labels);

// The projection as a square picture of `sizePx` pixels on white.
QImage stereogramImage(const calculator::Stereogram& projection, const calculator::StereogramLabels& labels,
                       int sizePx = 600);

// The point of the projection (primitive circle of radius 1) under a point of `area`; the
// inverse of where paintStereogram draws it.
QPointF stereogramPoint(const QRectF& area, const QPointF& at);

}  // namespace saed::app
