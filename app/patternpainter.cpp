// SPDX-License-Identifier: BSD-3-Clause
#include "app/patternpainter.h"

#include <algorithm>  // for max, min
#include <cmath>      // for sqrt, hypot, pow, floor, log10

#include <QFont>
#include <QPen>

#include "core/millerbravais.h"

namespace saed::app {

namespace {

// A length of 1, 2 or 5 times a power of ten, near a fifth of `extent`.
double roundScale(double extent) {
    const double target = extent / 2.5;
    const double power = std::pow(10.0, std::floor(std::log10(target)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= target) return step * power;
    return power;
}

}  // namespace

QString hklText(const core::Hkl& hkl) {
    return QStringLiteral("(%1 %2 %3)").arg(hkl[0]).arg(hkl[1]).arg(hkl[2]);
}

QString hkilText(const core::Hkl& hkl) {
    return QStringLiteral("(%1 %2 %3 %4)").arg(hkl[0]).arg(hkl[1]).arg(-(hkl[0] + hkl[1])).arg(hkl[2]);
}

void paintPattern(QPainter& painter, const QRectF& area, const simulation::ZonePattern& pattern,
                  double extentInvNm, bool labels, bool fourIndex) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, QColor(16, 16, 24));
    double extent = extentInvNm;
    double strongest = 0;
    for (const simulation::Spot& s : pattern.spots) {
        if (extentInvNm <= 0) extent = std::max(extent, std::hypot(s.xInvNm, s.yInvNm));
        strongest = std::max(strongest, s.intensity);
    }
    if (!(extent > 0)) extent = 1;
    const double margin = 28;
    const double half = std::max(10.0, std::min(area.width(), area.height()) / 2 - margin);
    const double scale = half / extent;  // pixels per 1/nm
    const QPointF centre = area.center();
    const double biggest = std::clamp(half / 18, 3.0, 9.0);

    QFont font = painter.font();
    font.setPixelSize(std::clamp(static_cast<int>(half / 22), 9, 13));
    painter.setFont(font);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 220, 120));
    painter.drawEllipse(centre, biggest * 1.3, biggest * 1.3);
    for (const simulation::Spot& s : pattern.spots) {
        if (std::hypot(s.xInvNm, s.yInvNm) > extent * 1.0001) continue;
        const QPointF at(centre.x() + s.xInvNm * scale, centre.y() - s.yInvNm * scale);
        const double share = strongest > 0 ? std::sqrt(std::max(0.0, s.intensity) / strongest) : 1.0;
        const double radius = std::max(1.5, biggest * share);
        painter.setPen(Qt::NoPen);
        painter.setBrush(s.hkl == pattern.g1 ? QColor(120, 200, 255) : QColor(235, 235, 235));
        painter.drawEllipse(at, radius, radius);
        if (labels) {
            painter.setPen(QColor(170, 210, 170));
            painter.drawText(at + QPointF(radius + 2, -radius - 1), fourIndex ? hkilText(s.hkl) : hklText(s.hkl));
        }
    }
    painter.setPen(QColor(235, 235, 235));
    const core::Uvtw zone4 = core::toFourIndex(pattern.zone);
    painter.drawText(area.topLeft() + QPointF(8, 16),
                     fourIndex ? QStringLiteral("[%1 %2 %3 %4]").arg(zone4[0]).arg(zone4[1]).arg(zone4[2]).arg(zone4[3])
                               : QStringLiteral("[%1 %2 %3]").arg(pattern.zone[0]).arg(pattern.zone[1]).arg(pattern.zone[2]));
    const double bar = roundScale(extent);
    const QPointF left = area.bottomLeft() + QPointF(12, -12);
    painter.setPen(QPen(QColor(235, 235, 235), 2));
    painter.drawLine(left, left + QPointF(bar * scale, 0));
    painter.drawText(left + QPointF(0, -6), QStringLiteral("%1 1/nm").arg(bar));
    painter.restore();
}

QImage patternImage(const simulation::ZonePattern& pattern, int sizePx, double extentInvNm, bool fourIndex) {
    QImage image(sizePx, sizePx, QImage::Format_RGB32);
    QPainter painter(&image);
    paintPattern(painter, QRectF(0, 0, sizePx, sizePx), pattern, extentInvNm, true, fourIndex);
    painter.end();
    return image;
}

}  // namespace saed::app
