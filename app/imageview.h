// The diffraction image inside the image panel, with the measurement line and the kept marks.
#pragma once

#include <QCursor>
#include <QWidget>

namespace saed::measure {

class ImageMeasurement;

class ImageView : public QWidget {
    Q_OBJECT

public:
    explicit ImageView(ImageMeasurement& measurement, QWidget* parent = nullptr);

    // Image-relative twips of a point given in this widget's pixels.
    QPointF toImageTwips(QPointF pixel) const;
    // True when the widget point lies on the shown image.
    bool isOverImage(QPointF pixel) const;

signals:
    // Something was dropped on the panel.
    void dropped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void updatePointer(QPointF pixel);

    ImageMeasurement& m_measurement;
    QCursor m_measuringPointer;
    bool m_captured = false;  // a press landed on the image: its moves and release belong to it
};

}  // namespace saed::measure
