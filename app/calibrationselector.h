// SPDX-License-Identifier: BSD-3-Clause
// The selector of a saved calibration beside the scale bar: "none" and the calibrations of the
// store, read again each time the list opens, so that one saved meanwhile is there.
#pragma once

#include <optional>

#include <QComboBox>

#include "measure/imagemeasurement.h"
#include "model/prompts.h"

namespace saed::app {

class CalibrationSelector : public QComboBox {
    Q_OBJECT

public:
    // The calibrations of the store at `storePath`; a calibration that cannot be read when
    // chosen is told through `prompts`.
    CalibrationSelector(QString storePath, model::Prompts& prompts, QWidget* parent = nullptr);

    // Reads the store again; the chosen calibration stays chosen, also when it is no longer
    // saved. A store that cannot be read is said in the tooltip.
    void refresh();
    // Shows `name` as chosen (none: "无") without telling anyone.
    void showChosen(const std::optional<QString>& name);

    void showPopup() override;

signals:
    // The user chose a calibration (none: "无"); the values are those of the store when chosen.
    void calibrationChosen(const std::optional<saed::measure::ChosenCalibration>& chosen);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void choose(int index);

    QString m_storePath;
    model::Prompts& m_prompts;
    std::optional<measure::ChosenCalibration> m_chosen;
    bool m_filling = false;
};

}  // namespace saed::app
