// SPDX-License-Identifier: BSD-3-Clause
// The radial profile plot painted with QPainter.
#include "app/ringplotpainter.h"

#include <QFont>
#include <QPen>
#include <QPolygonF>

namespace saed::app {

namespace {

QPolygonF polygon(const std::vector<analysis::RingPlotLayout::Point>& points) {
    QPolygonF out;
    for (const auto& p : points) out << QPointF(p.x, p.y);
    return out;
}

void drawText(QPainter& painter, const analysis::RingPlotLayout::Text& t) {
    const QString text = QString::fromStdString(t.text);
    const double width = painter.fontMetrics().horizontalAdvance(text);
    const double shift = t.anchor < 0 ? 0.0 : t.anchor > 0 ? -width : -width / 2;
    painter.save();
    painter.translate(t.x, t.y);
    if (t.vertical) painter.rotate(-90);
    painter.drawText(QPointF(shift, 0), text);
    painter.restore();
}

}  // namespace

void paintRingPlot(QPainter& painter, const analysis::RingPlotLayout& l) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen marker(QColor(0xc0, 0x30, 0x30), 1, Qt::DashLine);
    painter.setPen(marker);
    for (const auto& m : l.markerLines) painter.drawLine(QPointF(m.first.x, m.first.y), QPointF(m.second.x, m.second.y));
    painter.setPen(QPen(QColor(0x88, 0x88, 0x88), 1, Qt::DashLine));
    painter.drawPolyline(polygon(l.background));
    painter.setPen(QPen(QColor(0x1f, 0x4e, 0x9c), 1.3));
    painter.drawPolyline(polygon(l.profile));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(l.left, l.top, l.right - l.left, l.bottom - l.top));
    for (const auto& t : l.ticks) painter.drawLine(QPointF(t.first.x, t.first.y), QPointF(t.second.x, t.second.y));
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    for (const auto& t : l.labels) drawText(painter, t);
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(QColor(0xc0, 0x30, 0x30));
    for (const auto& t : l.markerLabels) drawText(painter, t);
    painter.restore();
}

QImage ringPlotImage(const analysis::RingPlotLayout& layout) {
    QImage image(layout.widthPx, layout.heightPx, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintRingPlot(painter, layout);
    painter.end();
    return image;
}

}  // namespace saed::app
