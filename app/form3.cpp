// SPDX-License-Identifier: BSD-3-Clause
// The magnifier: a small window above all others with an enlarged live copy of the screen around
// the pointer and a red cross-hair over it.
#include "app/form3.h"

#include <QButtonGroup>
#include <QCoreApplication>  // for translate
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>

namespace saed::app {

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QCoreApplication::translate("saed::app::Form3", "放大镜"));
    setFixedSize(measure::kMagnifierWidthPx, measure::kMagnifierClientHeightPx);

    auto* group = new QButtonGroup(this);
    const QString captions[] = {QCoreApplication::translate("saed::app::Form3", "0.5倍"),
                                QCoreApplication::translate("saed::app::Form3", "1倍"),
                                QCoreApplication::translate("saed::app::Form3", "2倍"),
                                QCoreApplication::translate("saed::app::Form3", "5倍")};
    const int lefts[] = {0, 740, 1360, 1980};
    const int widths[] = {750, 630, 630, 1350};
    for (int k = 0; k < 4; ++k) {
        auto* option = new QRadioButton(captions[k], this);
        option->setFocusPolicy(Qt::NoFocus);
        option->setGeometry(lefts[k] / 15, 2880 / 15, widths[k] / 15, measure::kMagnifierOptionHeightPx);
        group->addButton(option, k);
        m_option1[static_cast<std::size_t>(k)] = option;
    }
    m_option1[0]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this,
            [this](int k) { m_factor = measure::kMagnifyFactors[static_cast<std::size_t>(k)]; });

    m_viewHeight = measure::kMagnifierClientHeightPx - measure::kMagnifierOptionHeightPx;
    m_factor = measure::kMagnifyFactors[0];
    m_timer1.setInterval(measure::MagnifierClock::kIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &Form3::tick);
    m_timer1.start();
}

void Form3::tick() {
    const QPoint at = QCursor::pos();
    const measure::MagnifierClock::Tick t = m_clock.tick(isMinimized(), at.x(), at.y());
    if (isMinimized()) return;
    setWindowTitle(QCoreApplication::translate("saed::app::Form3", "放大镜 坐标(%1,%2)")
                       .arg(at.x())
                       .arg(at.y()));
    if (t.redraw) DrawMagnified(at.x(), at.y());
    if (t.reassert && isVisible()) raise();
}

void Form3::DrawMagnified(int x, int y) {
    m_copy = measure::magnifierFit(x, y, width(), m_viewHeight, m_factor);
    const QRect source(m_copy.sourceLeft, m_copy.sourceTop, m_copy.sourceWidth, m_copy.sourceHeight);
    m_grab = QPixmap();
    m_grabSource = QRect();
    QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        // Off-screen parts of the source stay blank; the rest keeps its place, so the pointer
        // stays under the cross-hair also at the screen's edges.
        const QRect geometry = screen->geometry();
        const QRect part = source.intersected(geometry);
        if (!part.isEmpty()) {
            m_grab = screen->grabWindow(0, part.x() - geometry.x(), part.y() - geometry.y(), part.width(), part.height());
            m_grabSource = part;
        }
    }
    update();
}

void Form3::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), m_viewHeight), Qt::black);
    if (!m_grab.isNull() && m_copy.sourceWidth > 0 && m_copy.sourceHeight > 0) {
        const double sx = double(m_copy.destWidth) / m_copy.sourceWidth;
        const double sy = double(m_copy.destHeight) / m_copy.sourceHeight;
        const QRectF target((m_grabSource.x() - m_copy.sourceLeft) * sx, (m_grabSource.y() - m_copy.sourceTop) * sy,
                            m_grabSource.width() * sx, m_grabSource.height() * sy);
        painter.setClipRect(QRect(0, 0, width(), m_viewHeight));
        painter.drawPixmap(target, m_grab, QRectF(QPointF(0, 0), QSizeF(m_grab.size()) / m_grab.devicePixelRatio()));
        painter.setClipping(false);
    }
    // Overlays in twips / 15: the cross-hair, the circle and the separator above the options.
    painter.setPen(QPen(Qt::red, 1));
    painter.drawLine(0, 96, 216, 96);
    painter.drawLine(108, 0, 108, 191);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(68, 56, 80, 80));
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(0, 192, 224, 192);
}

}  // namespace saed::app
