// SPDX-License-Identifier: BSD-3-Clause
// The diffraction image inside the image panel, with the measurement line and the kept marks.
#pragma once

#include <QCursor>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

class QPainter;

namespace saed::app {

// One ring drawn over the image: its ellipse in image pixels.
struct RingEllipse {
    double centreX = 0, centreY = 0;
    double semiMajorPx = 0, semiMinorPx = 0;
    double angleDeg = 0;  // of the major axis, from +x towards +y (image y runs down)
};

class ImageView : public QWidget {
    Q_OBJECT

public:
    explicit ImageView(measure::ImageMeasurement& measurement, QWidget* parent = nullptr);

    // Image-relative twips of a point given in this widget's pixels.
    QPointF toImageTwips(QPointF pixel) const;
    // True when the widget point lies on the shown image.
    bool isOverImage(QPointF pixel) const;

    // Spots drawn over the image (a simulated pattern), in image pixels with their labels; they
    // follow zoom and pan. An empty list draws none.
    void setOverlay(std::vector<QPointF> imagePixels, QStringList labels);
    const std::vector<QPointF>& overlay() const { return m_overlay; }
    // The measured rings drawn over the image now open (none: clear); another image drops them.
    void setRings(std::vector<RingEllipse> rings);
    const std::vector<RingEllipse>& rings() const { return m_rings; }

    // An identification candidate over the image (image pixels): its predicted spots, circled and
    // labelled (hkl), a dashed circle for one only double diffraction reaches; and the detected
    // spots, crossed. Both outlined in black so that they read on bright and dark parts alike.
    struct PredictedMark {
        QPointF at;
        QString label;
        bool doubleDiffraction = false;
    };
    void setCandidateOverlay(std::vector<PredictedMark> predicted, std::vector<QPointF> detected);
    const std::vector<PredictedMark>& candidatePredicted() const { return m_predicted; }
    const std::vector<QPointF>& candidateDetected() const { return m_detected; }

signals:
    // Something was dropped on the panel.
    void dropped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The arrow keys move the centre by 0.1 pixel (1 with Shift) and lock it; L locks or frees
    // it; Escape leaves "设为中心".
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void updatePointer(QPointF pixel);
    void paintCandidate(QPainter& painter);

    measure::ImageMeasurement& m_measurement;
    QCursor m_measuringPointer;
    bool m_captured = false;
    std::vector<QPointF> m_overlay;
    std::vector<RingEllipse> m_rings;
    std::uint64_t m_ringsImage = 0;  // the image the rings were measured on
    QStringList m_overlayLabels;  // a press landed on the image: its moves and release belong to it
    std::vector<PredictedMark> m_predicted;
    std::vector<QPointF> m_detected;
};

}  // namespace saed::app
