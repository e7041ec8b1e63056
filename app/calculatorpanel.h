// SPDX-License-Identifier: BSD-3-Clause
// The calculator panel ("夹角带轴计算"): three planes, the angles between them, their spacings and
// the zone axis, with the schematic pattern below it.
#pragma once

#include <array>

#include <QWidget>

#include "core/lattice.h"

#include "model/prompts.h"

class QLabel;
class QLineEdit;

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::app {

class ElidedLabel;

class CalculatorPanel : public QWidget {
    Q_OBJECT

public:
    CalculatorPanel(model::MainModel& model, model::Prompts& prompts, QWidget* parent = nullptr);

    // Four indices on display: the setting is on and the lattice fields hold a hexagonal cell.
    bool fourIndexShown() const;
    // Calculates, after checking that a typed i of each plane is -(h + k) in four-index entry;
    // false, told through the prompts, when one is not.
    bool calculateChecked();

private:
    void showCaptions();
    // Shows or hides the i boxes and the four-index zone as the setting and the cell say.
    void showNotation();
    // The i of plane j as h and k give it, in grey while nothing is typed there.
    void showDerivedI(int j);
    void showFourIndexZone();

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    std::array<QLineEdit*, 3> m_iFields{};
    std::array<std::array<QLineEdit*, 2>, 3> m_hkFields{};  // h and k of each plane
    QLabel* m_iHeader = nullptr;
    QLabel* m_zoneFour = nullptr;
    std::array<ElidedLabel*, 3> m_spacingLabels{};  // Label1(47) to Label1(49)
    // The planes of R3, R2 and R1 and the zone on the schematic.
    ElidedLabel* m_label14 = nullptr;
    ElidedLabel* m_label15 = nullptr;
    ElidedLabel* m_label16 = nullptr;
    ElidedLabel* m_label17 = nullptr;
};

}  // namespace saed::app
