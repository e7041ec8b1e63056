// SPDX-License-Identifier: BSD-3-Clause
// The two secondary windows of image measurement: created on demand, closed by unloading them.
#pragma once

#include <optional>

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QWidget;

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::app {

class Form2;
class Form3;

// Where a dialog of `dialog` size goes so that it covers as little of `image` (the visible
// picture, global pixels) as the screen's `available` area allows: beside the picture to the
// right, left, below or above, or in a corner of the screen, whichever hides least.
QPoint measureDialogPlace(const QRect& image, QSize dialog, const QRect& available);

class MeasureWindows : public QObject {
    Q_OBJECT

public:
    MeasureWindows(measure::ImageMeasurement& measurement, QWidget* mainWindow);
    ~MeasureWindows() override;

    // The loaded windows; null when not loaded.
    Form2* measureDialog() const;
    Form3* magnifier() const;

    // Shows the magnifier, creating it first when it is not loaded.
    void showMagnifier();
    // Hides the magnifier; it stays loaded and its timer keeps running.
    void hideMagnifier();
    // Unloads the magnifier (an indexing run or a screening starts).
    void unloadMagnifier();
    // Shows the Measure dialog, creating it (and running its load step) when it is not loaded.
    void showMeasureDialog();
    // Closes the Measure dialog without writing anything.
    void closeMeasureDialog();
    // Exit: hide and unload the magnifier, then the Measure dialog.
    void closeAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    measure::ImageMeasurement& m_measurement;
    QWidget* m_mainWindow;
    // The picture on screen, for placing the Measure dialog beside it.
    QRect visiblePicture() const;

    QPointer<Form2> m_form2;
    QPoint m_placedAt;                  // where the dialog was put when it opened
    std::optional<QPoint> m_userPlace;  // where the user dragged it; kept for the next opening
    QPointer<Form3> m_form3;
};

}  // namespace saed::app
