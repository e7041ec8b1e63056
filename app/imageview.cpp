// SPDX-License-Identifier: BSD-3-Clause
// The diffraction image inside the image panel, with the measurement line and the kept marks.
#include "app/imageview.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "measure/imagemeasurement.h"

namespace saed::app {

namespace {

// The measuring pointer: a thin cross with an open centre, black edged in white, hot spot in the middle.
QCursor makeMeasuringPointer() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 3}, std::pair{QColor(Qt::black), 1}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(16, 2), QPointF(16, 12));
        painter.drawLine(QPointF(16, 20), QPointF(16, 30));
        painter.drawLine(QPointF(2, 16), QPointF(12, 16));
        painter.drawLine(QPointF(20, 16), QPointF(30, 16));
    }
    painter.end();
    return QCursor(pixmap, 16, 16);
}

QRectF pixelRect(const measure::ImageRect& r) {
    return {r.left / measure::kTwipsPerPixel, r.top / measure::kTwipsPerPixel, r.width / measure::kTwipsPerPixel, r.height / measure::kTwipsPerPixel};
}

QLineF pixelLine(const measure::Segment& s) {
    return {s.x1 / measure::kTwipsPerPixel, s.y1 / measure::kTwipsPerPixel, s.x2 / measure::kTwipsPerPixel, s.y2 / measure::kTwipsPerPixel};
}

}  // namespace

ImageView::ImageView(measure::ImageMeasurement& measurement, QWidget* parent)
    : QWidget(parent), m_measurement(measurement), m_measuringPointer(makeMeasuringPointer()) {
    setObjectName(QStringLiteral("Image2"));
    setMouseTracking(true);
    setAcceptDrops(true);
    // A click or Tab gives the image the keys that move the centre.
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(pal);
    connect(&m_measurement, &measure::ImageMeasurement::viewChanged, this, qOverload<>(&QWidget::update));
    connect(&m_measurement, &measure::ImageMeasurement::modeChanged, this,
            [this] { updatePointer(mapFromGlobal(QCursor::pos())); });
}

QPointF ImageView::toImageTwips(QPointF pixel) const {
    const measure::ImageRect& r = m_measurement.viewport().rect();
    return {pixel.x() * measure::kTwipsPerPixel - r.left, pixel.y() * measure::kTwipsPerPixel - r.top};
}

void ImageView::setRings(std::vector<RingEllipse> rings) {
    m_rings = std::move(rings);
    m_ringsImage = m_measurement.imageSerial();
    update();
}

bool ImageView::isOverImage(QPointF pixel) const {
    return !m_measurement.picture().isNull() && pixelRect(m_measurement.viewport().rect()).contains(pixel);
}

void ImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage& picture = m_measurement.picture();
    if (!picture.isNull()) {
        const QRectF target = pixelRect(m_measurement.viewport().rect());
        // Only the part of the picture that falls inside the panel is scaled, so a strongly
        // zoomed image stays quick to draw.
        const QRectF visible = target.intersected(QRectF(rect()));
        if (!visible.isEmpty() && target.width() > 0 && target.height() > 0) {
            const double sx = picture.width() / target.width();
            const double sy = picture.height() / target.height();
            const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                                visible.width() * sx, visible.height() * sy);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, m_measurement.viewport().stretched());
            painter.drawImage(visible, picture, source);
        }
    }
    // Detected spots as small circles, the direct-beam centre as a cross, both on their image pixels.
    const measure::ImageRect& r = m_measurement.viewport().rect();
    const auto onScreen = [&](core::PixelPoint p) {
        const measure::Vector2 t = m_measurement.toImageTwips(p);
        return QPointF((r.left + t.x) / measure::kTwipsPerPixel, (r.top + t.y) / measure::kTwipsPerPixel);
    };
    if (!m_measurement.spots().empty()) {
        painter.setPen(QPen(QColor(0, 200, 255), 1));
        painter.setBrush(Qt::NoBrush);
        for (const measure::Spot& spot : m_measurement.spots()) painter.drawEllipse(onScreen(spot.centre()), 5.0, 5.0);
    }
    if (const auto& centre = m_measurement.centre()) {
        const QPointF c = onScreen(*centre);
        painter.setPen(QPen(QColor(0, 255, 0), 1));
        painter.drawLine(c - QPointF(8, 0), c + QPointF(8, 0));
        painter.drawLine(c - QPointF(0, 8), c + QPointF(0, 8));
        // A locked centre is ringed.
        if (m_measurement.centreLocked()) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.drawEllipse(c, 5.0, 5.0);
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
    }
    if (!picture.isNull() && (!m_predicted.empty() || !m_detected.empty())) paintCandidate(painter);
    if (!picture.isNull() && !m_overlay.empty()) {
        const QRectF target = pixelRect(m_measurement.viewport().rect());
        const double sx = target.width() / picture.width(), sy = target.height() / picture.height();
        painter.setRenderHint(QPainter::Antialiasing);
        // Only on the image: a predicted spot beyond its edge has nothing to be compared with.
        const QRectF shown = target.intersected(QRectF(rect()));
        painter.setClipRect(shown);
        for (std::size_t i = 0; i < m_overlay.size(); ++i) {
            const QPointF at(target.left() + m_overlay[i].x() * sx, target.top() + m_overlay[i].y() * sy);
            if (!shown.contains(at)) continue;
            painter.setPen(QPen(QColor(0, 230, 255), 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, 6, 6);
            if (i < static_cast<std::size_t>(m_overlayLabels.size())) {
                painter.setPen(QColor(0, 230, 255));
                painter.drawText(at + QPointF(7, -7), m_overlayLabels[static_cast<qsizetype>(i)]);
            }
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setClipping(false);
    }
    if (!picture.isNull() && !m_rings.empty() && m_ringsImage == m_measurement.imageSerial()) {
        const QRectF target = pixelRect(m_measurement.viewport().rect());
        const double sx = target.width() / picture.width(), sy = target.height() / picture.height();
        painter.save();
        painter.setClipRect(target.intersected(QRectF(rect())));
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(QColor(255, 140, 0), 1.2);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const RingEllipse& e : m_rings) {
            painter.save();
            painter.translate(onScreen({e.centreX, e.centreY}));
            painter.scale(sx, sy);
            painter.rotate(e.angleDeg);  // x towards y, as on the image
            painter.drawEllipse(QPointF(0, 0), e.semiMajorPx, e.semiMinorPx);
            painter.restore();
        }
        painter.restore();
    }
    const measure::MarkSet& marks = m_measurement.marks();
    painter.setPen(QPen(QColor(255, 220, 0), 1));
    for (const measure::Segment& mark : marks.line2)
        if (mark.visible) painter.drawLine(pixelLine(mark));
    if (marks.line1.visible) {
        painter.setPen(QPen(QColor(255, 40, 40), 1));
        painter.drawLine(pixelLine(marks.line1));
    }
    // The image has the keys: a thin frame in the highlight colour says so.
    if (hasFocus()) {
        painter.setClipping(false);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void ImageView::paintCandidate(QPainter& painter) {
    const QImage& picture = m_measurement.picture();
    const QRectF target = pixelRect(m_measurement.viewport().rect());
    const double sx = target.width() / picture.width(), sy = target.height() / picture.height();
    const auto onScreen = [&](QPointF p) { return QPointF(target.left() + p.x() * sx, target.top() + p.y() * sy); };
    const QRectF shown = target.intersected(QRectF(rect()));
    painter.save();
    painter.setClipRect(shown);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor predictedColour(255, 214, 0), detectedColour(255, 64, 220), edge(0, 0, 0, 200);
    // Each mark twice: a wide dark stroke under a thin bright one.
    for (const QPointF& p : m_detected) {
        const QPointF at = onScreen(p);
        if (!shown.contains(at)) continue;
        for (const auto& [colour, width] : {std::pair{edge, 3.5}, std::pair{detectedColour, 1.5}}) {
            painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(at + QPointF(-4, -4), at + QPointF(4, 4));
            painter.drawLine(at + QPointF(-4, 4), at + QPointF(4, -4));
        }
    }
    painter.setBrush(Qt::NoBrush);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    for (const PredictedMark& mark : m_predicted) {
        const QPointF at = onScreen(mark.at);
        if (!shown.contains(at)) continue;
        for (const auto& [colour, width] : {std::pair{edge, 3.5}, std::pair{predictedColour, 1.5}}) {
            painter.setPen(QPen(colour, width, mark.doubleDiffraction ? Qt::DashLine : Qt::SolidLine));
            painter.drawEllipse(at, 7.0, 7.0);
        }
        if (mark.label.isEmpty()) continue;
        QPainterPath text;
        text.addText(at + QPointF(8, -8), font, mark.label);
        painter.strokePath(text, QPen(edge, 3));
        painter.fillPath(text, predictedColour);
    }
    painter.restore();
}

void ImageView::setCandidateOverlay(std::vector<PredictedMark> predicted, std::vector<QPointF> detected) {
    m_predicted = std::move(predicted);
    m_detected = std::move(detected);
    update();
}

void ImageView::setOverlay(std::vector<QPointF> imagePixels, QStringList labels) {
    m_overlay = std::move(imagePixels);
    m_overlayLabels = std::move(labels);
    update();
}

void ImageView::updatePointer(QPointF pixel) {
    if (!isOverImage(pixel))
        unsetCursor();
    else if (m_measurement.centreMode())
        setCursor(Qt::CrossCursor);
    else if (m_measurement.onCentre({toImageTwips(pixel).x(), toImageTwips(pixel).y()}))
        setCursor(Qt::OpenHandCursor);
    else if (m_measurement.MeasureMode())
        setCursor(m_measuringPointer);
    else
        setCursor(Qt::SizeAllCursor);
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (!m_captured && !isOverImage(at)) return;
    m_captured = true;
    const QPointF p = toImageTwips(at);
    m_measurement.press(event->button(), event->buttons(), p.x(), p.y());
}

void ImageView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    updatePointer(at);
    if (!m_captured && !isOverImage(at)) return;
    const QPointF p = toImageTwips(at);
    m_measurement.move(event->buttons(), p.x(), p.y());
}

void ImageView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_captured) return;
    if (event->buttons() == Qt::NoButton) m_captured = false;
    const QPointF p = toImageTwips(event->position());
    m_measurement.release(event->button(), p.x(), p.y());
}

void ImageView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const double step = modifiers == Qt::ShiftModifier ? 1.0 : 0.1;
    double dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -step; break;
    case Qt::Key_Right: dx = step; break;
    case Qt::Key_Up: dy = -step; break;  // image y runs down
    case Qt::Key_Down: dy = step; break;
    case Qt::Key_L:
        if (modifiers == Qt::NoModifier && m_measurement.centre()) {
            m_measurement.setCentreLocked(!m_measurement.centreLocked());
            return;
        }
        break;
    case Qt::Key_Escape:
        if (m_measurement.centreMode()) {
            m_measurement.setCentreMode(false);
            return;
        }
        break;
    default: break;
    }
    if ((dx != 0 || dy != 0) && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)) {
        m_measurement.nudgeCentre(dx, dy);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ImageView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ImageView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void ImageView::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }

void ImageView::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void ImageView::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit dropped();
}

}  // namespace saed::app
