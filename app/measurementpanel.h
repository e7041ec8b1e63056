// SPDX-License-Identifier: BSD-3-Clause
// The measurement panel ("图片测量"): the measured lengths of R1, R2, R3, the spot spacings they
// span, the angles between them and the scale bar, bound to the working data; its right-click
// menu saves and imports parameter sets.
#pragma once

#include <QGroupBox>

#include "model/prompts.h"

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::app {

class MeasurementPanel : public QGroupBox {
    Q_OBJECT

public:
    MeasurementPanel(model::MainModel& model, model::Prompts& prompts, QWidget* parent = nullptr);
};

}  // namespace saed::app
