// SPDX-License-Identifier: BSD-3-Clause
// "识别物相" on the image page: phase and zone of the open image across the ticked phases, run
// on a worker with its progress and cancel; the ranked candidates with the parts of their score;
// the chosen candidate's spots over the image, its pattern in "衍射模拟" turned as the image
// shows it, and the three-spot table filled from it.
#pragma once

#include <cstdint>
#include <optional>

#include <QWidget>

#include "analysis/identifyrun.h"
#include "core/lattice.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::app {

class ImageView;

class IdentifyPanel : public QWidget {
    Q_OBJECT

public:
    IdentifyPanel(model::MainModel& model, measure::ImageMeasurement& measurement, ImageView& view,
                  QWidget* parent = nullptr);

    // "识别物相" (it reads "停止识别" while a run goes); the image page places it in its toolbar.
    QPushButton* identifyButton() const { return m_identify; }
    QTreeWidget* candidateList() const { return m_list; }
    QPushButton* fillButton() const { return m_fill; }
    QCheckBox* unknownScaleSwitch() const { return m_unknownScale; }
    const analysis::IdentifyRun& run() const { return *m_run; }
    // The identification shown, none before the first or after a new image.
    const std::optional<analysis::IdentifyOutcome>& outcome() const { return m_shown; }

    // Starts an identification of the open image, or stops the one running.
    void identify();
    // Fills the lattice fields and R1, R2, R3 from the chosen candidate; false, told in the
    // status bar, when none is chosen.
    bool fillFromCandidate();

signals:
    // The chosen candidate's pattern for "衍射模拟": library record, zone, g1 on +x, a spot on
    // the +y side, and the turn that lays it as the image shows it.
    void candidateChosen(int record, const core::Uvw& zone, const core::Hkl& g1, const core::Hkl& g2,
                         double turnDeg);
    // The user asked to see the chosen candidate in "衍射模拟" (a double click or its button).
    void simulationRequested();

private:
    void finished(bool completed);
    void showOutcome();
    void showChosen();
    // The candidate's predicted spots, labelled, and the detected spots over the image.
    void showOverlay(const analysis::Candidate& c);
    // Four indices for candidate c: the setting is on and its phase's cell is hexagonal.
    bool fourIndex(const analysis::Candidate& c) const;
    void clearShown();
    const analysis::Candidate* chosen() const;

    model::MainModel& m_model;
    measure::ImageMeasurement& m_measurement;
    ImageView& m_view;
    analysis::IdentifyRun* m_run = nullptr;
    std::optional<analysis::IdentifyOutcome> m_shown;
    std::uint64_t m_serial = 0;  // the image the run was started on

    QPushButton* m_identify = nullptr;
    QCheckBox* m_unknownScale = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_fill = nullptr;
    QPushButton* m_simulate = nullptr;
};

}  // namespace saed::app
