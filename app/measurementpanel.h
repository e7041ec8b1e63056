// SPDX-License-Identifier: BSD-3-Clause
// The measurement panel ("图片测量"): the measured lengths of R1, R2, R3, the spot spacings they
// span, the angles between them and the scale bar, bound to the working data; its right-click
// menu saves and imports parameter sets. Beside the scale bar a saved calibration can be chosen,
// with the image file's own calibration shown beside it.
#pragma once

#include <QGroupBox>

#include "model/prompts.h"

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::app {

class CalibrationSelector;

class MeasurementPanel : public QGroupBox {
    Q_OBJECT

public:
    // `measurement` takes the saved calibration chosen beside the scale bar.
    MeasurementPanel(model::MainModel& model, model::Prompts& prompts, measure::ImageMeasurement& measurement,
                     QWidget* parent = nullptr);

    CalibrationSelector* calibrationSelector() const { return m_calibrations; }
    // The saved calibration's selector with the file's own calibration beside it, for the window
    // to place.
    QWidget* calibrationRow() const { return m_calibrationRow; }

private:
    CalibrationSelector* m_calibrations = nullptr;
    QWidget* m_calibrationRow = nullptr;
};

}  // namespace saed::app
