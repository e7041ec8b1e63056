// SPDX-License-Identifier: BSD-3-Clause
// The radial profile plot painted with QPainter: on screen and as a PNG.
#pragma once

#include <QImage>
#include <QPainter>

#include "analysis/ringplot.h"

namespace saed::app {

// Paints a laid-out plot at the painter's origin, one unit a layout pixel.
void paintRingPlot(QPainter& painter, const analysis::RingPlotLayout& layout);

// The plot as a white picture of the layout's size.
QImage ringPlotImage(const analysis::RingPlotLayout& layout);

}  // namespace saed::app
