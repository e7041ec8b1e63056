// SPDX-License-Identifier: BSD-3-Clause
// The lattice panel: the phase's name (Text6), the cell a, b, c, α, β, γ, the index range, the
// lattice type (Combo1), double diffraction and the space group, bound to the working data.
#pragma once

#include <array>

#include <QGroupBox>

#include "model/mainmodel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace saed::app {

class ClickableLabel;
class ElidedLabel;

class LatticePanel : public QGroupBox {
    Q_OBJECT

public:
    explicit LatticePanel(model::MainModel& model, QWidget* parent = nullptr);

    QLineEdit* text6() const { return m_text6; }
    QComboBox* combo1() const { return m_combo1; }

private:
    void showFlag(model::Flag which);
    void showSpaceGroup();
    // The four-index switch: the setting, greyed for a cell that is not hexagonal.
    void showFourIndex();
    // The name as shown: a library phase's label in the reader's language, the user's own text
    // as typed.
    QString shownText6() const;
    // Text6 is as wide as its text plus 200 twips, up to a limit.
    void fitNameField();

    model::MainModel& m_model;
    ClickableLabel* m_label20 = nullptr;  // custom-phase switch "点阵参数□"
    ClickableLabel* m_label10 = nullptr;  // library switch "点阵库"
    QLabel* m_label21 = nullptr;          // auto-sizing copy of the phase name, never shown
    QLineEdit* m_text6 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QCheckBox* m_doubleDiffraction = nullptr;
    QCheckBox* m_fourIndex = nullptr;
    ElidedLabel* m_spaceGroupLabel = nullptr;
    std::array<QLineEdit*, 6> m_cell{};
};

}  // namespace saed::app
