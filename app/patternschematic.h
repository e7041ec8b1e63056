// SPDX-License-Identifier: BSD-3-Clause
// The pattern panel's picture: a schematic spot pattern with the calculator's four labels.
#pragma once

#include <QFrame>

class QLabel;

namespace saed::app {

// Draws a centre spot and the spots R1, R2 and R3 = R1 + R2 of a net, and keeps the plane labels
// of R1, R2, R3 beside their spots and the zone-axis label in a corner.
class PatternSchematic : public QFrame {
    Q_OBJECT

public:
    explicit PatternSchematic(QWidget* parent = nullptr);

    // The labels become children of the picture and are placed by it.
    void setLabels(QLabel* r1, QLabel* r2, QLabel* r3, QLabel* zone);

    QSize sizeHint() const override { return {420, 190}; }
    QSize minimumSizeHint() const override { return {300, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Geometry {
        QPointF centre, r1, r2;
    };
    Geometry geometry() const;
    void placeLabels();

    QLabel* m_r1 = nullptr;
    QLabel* m_r2 = nullptr;
    QLabel* m_r3 = nullptr;
    QLabel* m_zone = nullptr;
};

}  // namespace saed::app
