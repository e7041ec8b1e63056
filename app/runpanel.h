// SPDX-License-Identifier: BSD-3-Clause
// The run panel: the tolerances with their sliders, the measured pattern's summary, the row
// count (a click restores the default tolerances) and the "标定计算" button, which starts the
// indexing run on its worker with a progress dialog.
#pragma once

#include <array>

#include <QWidget>

#include "model/prompts.h"

class QPushButton;
class QSlider;

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing

namespace saed::app {

class ClickableLabel;
class ElidedLabel;

class RunPanel : public QWidget {
    Q_OBJECT

public:
    RunPanel(model::MainModel& model, model::Prompts& prompts, QWidget* parent = nullptr);

    // The run this panel starts; it lives as long as the panel.
    indexing::IndexingOperations* indexingOperations() const { return m_indexing; }
    // The "标定计算" button, placed by the window beside the measurement.
    QPushButton* runButton() const { return m_command6; }
    QSlider* slider(int k) const { return m_sliders[static_cast<std::size_t>(k - 1)]; }

signals:
    // The user pressed "标定计算": the magnifier goes before the run starts.
    void magnifierCloseRequested();

private:
    void showCaption(int which);

    model::MainModel& m_model;
    indexing::IndexingOperations* m_indexing = nullptr;
    QPushButton* m_command6 = nullptr;
    std::array<QSlider*, 6> m_sliders{};
    ElidedLabel* m_label5 = nullptr;
    ClickableLabel* m_label22 = nullptr;
};

}  // namespace saed::app
