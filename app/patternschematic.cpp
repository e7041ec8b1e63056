// SPDX-License-Identifier: BSD-3-Clause
// The pattern panel's picture: a schematic spot pattern with the calculator's four labels.
#include "app/patternschematic.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>  // for min
#include <cmath>      // for hypot

namespace saed::app {

namespace {

constexpr double kSpotRadius = 4.5;
constexpr double kCentreRadius = 7.0;

void drawArrow(QPainter& painter, const QPointF& from, const QPointF& to) {
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length < 1) return;
    const QPointF unit = d / length;
    const QPointF tip = to - unit * (kSpotRadius + 2);
    const QPointF start = from + unit * (kCentreRadius + 2);
    painter.drawLine(start, tip);
    const QPointF normal(-unit.y(), unit.x());
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - unit * 8 + normal * 3.5);
    head.lineTo(tip - unit * 8 - normal * 3.5);
    head.closeSubpath();
    painter.fillPath(head, painter.pen().color());
}

}  // namespace

PatternSchematic::PatternSchematic(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(250, 250, 246));
    setPalette(p);
}

void PatternSchematic::setLabels(QLabel* r1, QLabel* r2, QLabel* r3, QLabel* zone) {
    m_r1 = r1;
    m_r2 = r2;
    m_r3 = r3;
    m_zone = zone;
    for (QLabel* label : {r1, r2, r3, zone}) label->setParent(this);
    m_r1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_r2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_r3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_zone->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont bold = m_zone->font();
    bold.setBold(true);
    m_zone->setFont(bold);
    placeLabels();
}

// The net: R1 along the panel, R2 up and slightly right, R3 = R1 + R2; sized to fit the panel
// with room for the labels on both sides.
PatternSchematic::Geometry PatternSchematic::geometry() const {
    const double w = width(), h = height();
    const double unit = std::min(w * 0.22, h * 0.48);
    const QPointF centre(w * 0.36, h * 0.70);
    return {centre, centre + QPointF(unit, 0), centre + QPointF(unit * 0.28, -unit * 0.95)};
}

void PatternSchematic::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Geometry g = geometry();
    const QPointF a = g.r1 - g.centre, b = g.r2 - g.centre;
    const QPointF r3 = g.r1 + b;

    // The surrounding spots of the net, faint.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(185, 185, 185));
    for (int i = -4; i <= 4; ++i) {
        for (int j = -3; j <= 3; ++j) {
            const QPointF spot = g.centre + a * i + b * j;
            if (!rect().adjusted(6, 6, -6, -6).contains(spot.toPoint())) continue;
            painter.drawEllipse(spot, kSpotRadius - 1.5, kSpotRadius - 1.5);
        }
    }

    painter.setPen(QPen(QColor(0, 0, 200), 1.4));
    drawArrow(painter, g.centre, g.r1);
    drawArrow(painter, g.centre, g.r2);
    drawArrow(painter, g.centre, r3);

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(g.centre, kCentreRadius, kCentreRadius);
    painter.setBrush(QColor(200, 0, 0));
    for (const QPointF& spot : {g.r1, g.r2, r3})
        painter.drawEllipse(spot, kSpotRadius, kSpotRadius);

    // Names of the vectors at their middles, just off the line.
    painter.setPen(QColor(0, 0, 200));
    painter.drawText((g.centre + g.r1) / 2 + QPointF(-8, 16), QStringLiteral("R1"));
    painter.drawText((g.centre + g.r2) / 2 + QPointF(-22, 4), QStringLiteral("R2"));
    painter.drawText((g.centre + r3) / 2 + QPointF(8, 6), QStringLiteral("R3"));
}

void PatternSchematic::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    placeLabels();
}

void PatternSchematic::placeLabels() {
    if (!m_r1) return;
    const Geometry g = geometry();
    const QPointF r3 = g.r1 + (g.r2 - g.centre);
    const int w = width();
    const int rowHeight = std::max(m_r1->sizeHint().height(), 18);
    auto row = [rowHeight](double y) { return static_cast<int>(y) - rowHeight / 2; };
    const int gap = 10;
    const int r1x = static_cast<int>(g.r1.x()) + gap;
    m_r1->setGeometry(r1x, row(g.r1.y()), std::max(w - r1x - 4, 10), rowHeight);
    const int r2right = static_cast<int>(g.r2.x()) - gap;
    m_r2->setGeometry(4, row(g.r2.y()), std::max(r2right - 4, 10), rowHeight);
    const int r3x = static_cast<int>(r3.x()) + gap;
    m_r3->setGeometry(r3x, row(r3.y()), std::max(w - r3x - 4, 10), rowHeight);
    m_zone->setGeometry(8, height() - rowHeight - 6, std::max(w - 16, 10), rowHeight);
}

}  // namespace saed::app
