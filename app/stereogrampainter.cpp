// SPDX-License-Identifier: BSD-3-Clause
#include "app/stereogrampainter.h"

#include <algorithm>  // for min

#include <QPainterPath>
#include <QPen>

namespace saed::app {

namespace {

// The primitive circle's radius in `area`, leaving room for the labels.
double radiusIn(const QRectF& area) { return 0.42 * std::min(area.width(), area.height()); }

}  // namespace

void paintStereogram(QPainter& painter, const QRectF& area, const calculator::Stereogram& projection,
                     const calculator::StereogramLabels& labels) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = area.center();
    const double radius = radiusIn(area);
    const auto at = [&](double x, double y) { return QPointF(centre.x() + radius * x, centre.y() - radius * y); };
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius, radius);
    QFont font = painter.font();
    font.setPixelSize(std::max(9, static_cast<int>(radius / 22)));
    painter.setFont(font);
    const QColor planeColour(0x30, 0x70, 0xc0);
    for (const calculator::StereogramCircle& circle : projection.circles) {
        if (circle.points.empty()) continue;
        QPainterPath path(at(circle.points.front()[0], circle.points.front()[1]));
        for (const auto& p : circle.points) path.lineTo(at(p[0], p[1]));
        painter.setPen(QPen(planeColour, 1));
        painter.drawPath(path);
        if (labels.plane) {
            const auto& mid = circle.points[circle.points.size() / 2];
            painter.drawText(at(mid[0], mid[1]),
                             QStringLiteral("(%1)").arg(QString::fromStdString(labels.plane(circle.hkl))));
        }
    }
    for (const calculator::StereogramZone& zone : projection.zones) {
        const bool onBeam = zone.angleDeg < 1e-6;
        painter.setPen(Qt::NoPen);
        painter.setBrush(onBeam ? QColor(0xc0, 0x30, 0x30) : QColor(Qt::black));
        const QPointF p = at(zone.x, zone.y);
        painter.drawEllipse(p, onBeam ? 5.0 : 3.0, onBeam ? 5.0 : 3.0);
        if (labels.zone) {
            painter.setPen(Qt::black);
            painter.drawText(p + QPointF(5, -4), QStringLiteral("[%1]").arg(QString::fromStdString(labels.zone(zone.uvw))));
        }
    }
    painter.restore();
}

QImage stereogramImage(const calculator::Stereogram& projection, const calculator::StereogramLabels& labels,
                       int sizePx) {
    QImage image(sizePx, sizePx, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintStereogram(painter, QRectF(0, 0, sizePx, sizePx), projection, labels);
    painter.end();
    return image;
}

QPointF stereogramPoint(const QRectF& area, const QPointF& at) {
    const double radius = radiusIn(area);
    return {(at.x() - area.center().x()) / radius, (area.center().y() - at.y()) / radius};
}

}  // namespace saed::app
