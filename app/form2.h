// SPDX-License-Identifier: BSD-3-Clause
// The Measure dialog: what the completed line measures, and the value that goes with it.
#pragma once

#include <array>

#include <QDialog>

#include "measure/measuredialoglogic.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::app {


class Form2 : public QDialog {
    Q_OBJECT

public:
    explicit Form2(measure::ImageMeasurement& measurement, QWidget* parent = nullptr);

    const measure::MeasureDialogLogic& logic() const { return m_logic; }
    QRadioButton* option1(int k) const { return m_option1[static_cast<std::size_t>(k)]; }
    QLineEdit* text1() const { return m_text1; }
    QLabel* label1() const { return m_label1; }
    QLabel* unitLabel() const { return m_unit; }
    QLabel* label2() const { return m_label2; }
    QLabel* image1(int k) const { return m_image1[static_cast<std::size_t>(k)]; }
    QPushButton* command1() const { return m_command1; }
    QPushButton* command2() const { return m_command2; }

    // Closes the dialog without writing anything and without touching the marks.
    void discard();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showLogic();

    measure::MeasureDialogLogic m_logic;
    QLabel* m_label2 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_unit = nullptr;  // the part of Label1 after the entry box
    QLineEdit* m_text1 = nullptr;
    std::array<QRadioButton*, 4> m_option1{};
    std::array<QLabel*, 4> m_image1{};
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
};

}  // namespace saed::app
