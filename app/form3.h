// SPDX-License-Identifier: BSD-3-Clause
// The magnifier: a small window above all others with an enlarged live copy of the screen around
// the pointer and a red cross-hair over it.
#pragma once

#include <array>

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "measure/magnifier.h"

class QRadioButton;

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::app {

class Form3 : public QWidget {
    Q_OBJECT

public:
    explicit Form3(QWidget* parent = nullptr);

    float MagnifyFactor() const { return m_factor; }
    int ViewHeight() const { return m_viewHeight; }
    QRadioButton* option1(int k) const { return m_option1[static_cast<std::size_t>(k)]; }
    // The latest copy, for the paint and for tests.
    const measure::MagnifierCopy& lastCopy() const { return m_copy; }

    // Copies the screen around (x, y) (screen pixels) into the picture area.
    void DrawMagnified(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void tick();

    std::array<QRadioButton*, 4> m_option1{};
    QTimer m_timer1;
    measure::MagnifierClock m_clock;
    float m_factor = 1.5f;
    int m_viewHeight = 0;
    measure::MagnifierCopy m_copy;
    QPixmap m_grab;      // the part of the screen that the source rectangle covers
    QRect m_grabSource;  // where that part lies, in screen pixels
};

}  // namespace saed::app
