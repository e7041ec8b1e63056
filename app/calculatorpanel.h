// SPDX-License-Identifier: BSD-3-Clause
// The calculator panel ("夹角带轴计算"): three planes, the angles between them, their spacings and
// the zone axis, with the schematic pattern below it.
#pragma once

#include <array>

#include <QWidget>

#include "model/prompts.h"

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::app {

class ElidedLabel;

class CalculatorPanel : public QWidget {
    Q_OBJECT

public:
    CalculatorPanel(model::MainModel& model, model::Prompts& prompts, QWidget* parent = nullptr);

private:
    void showCaptions();

    model::MainModel& m_model;
    std::array<ElidedLabel*, 3> m_spacingLabels{};  // Label1(47) to Label1(49)
    // The planes of R3, R2 and R1 and the zone on the schematic.
    ElidedLabel* m_label14 = nullptr;
    ElidedLabel* m_label15 = nullptr;
    ElidedLabel* m_label16 = nullptr;
    ElidedLabel* m_label17 = nullptr;
};

}  // namespace saed::app
