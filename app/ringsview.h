// SPDX-License-Identifier: BSD-3-Clause
// The rings view: a ring pattern of a polycrystal measured on the open image (on a worker, the
// window stays live), its radial profile plotted with a phase's rings marked (hkl), the phases
// ranked against the rings, the camera constant and distortion from a standard saved as a
// calibration, and the plot and profile exported.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QDialog>
#include <QPointer>

#include "analysis/ringpattern.h"
#include "analysis/ringreading.h"
#include "app/imageview.h"  // for RingEllipse
#include "library/crystalphase.h"
#include "model/prompts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QThread;

namespace saed::measure {
class ImageMeasurement;
}  // namespace saed::measure

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::app {

class RingPlotWidget;

class RingsView : public QDialog {
    Q_OBJECT

public:
    // The rings of `measurement`'s image, ranked against the phases `phases` gives (the ticked
    // ones of the library, or all); calibrations go to the store at `storePath`.
    RingsView(model::MainModel& model, measure::ImageMeasurement& measurement, model::Prompts& prompts,
              std::function<std::vector<library::CrystalPhase>()> phases, QString storePath, QWidget* parent = nullptr);
    // Waits for a measurement still running.
    ~RingsView() override;

    // "测量环": measures the open image's rings on a worker and ranks the phases; false, with
    // the reason shown, when there is no image or a measurement is running.
    bool measureRings();
    // Waits until a measurement started by measureRings() has been shown (for tests and exit).
    void waitForMeasurement();

    // What the last measurement found (none before one succeeded).
    const std::optional<analysis::RingPattern>& pattern() const { return m_pattern; }
    const std::optional<analysis::RingReading>& reading() const { return m_reading; }
    // The phases the last measurement ranked, in the order the ranking refers to.
    const std::vector<library::CrystalPhase>& rankedPhases() const { return m_phases; }
    // The camera constant of the plot (1/nm per corrected pixel): the marked phase's; none
    // when there is none.
    std::optional<double> plotPerPixel() const;
    // The summary shown: centre, distortion, camera constant, rings, ranking.
    QString summaryText() const;
    // The line under the view: what is going on, or why nothing was found.
    QString statusText() const;

    // "由标样标定…": the camera constant and distortion from the standard chosen, told, and
    // saved as a calibration after the name and settings are asked; false when the rings do not
    // match the standard, the user cancelled or the store could not be written (each told).
    bool calibrateFromStandard();
    // Exports the plot (PNG or SVG by the extension) or the profile CSV to a path asked for;
    // false, with the reason told, when it could not be written (or was cancelled).
    bool exportPlot();
    bool exportProfile();
    // The same to a given path, for tests.
    bool writePlot(const QString& path, QString* error = nullptr) const;
    bool writeProfile(const QString& path, QString* error = nullptr) const;

    QComboBox* standardSelector() const { return m_standard; }
    QComboBox* markedPhaseSelector() const { return m_marked; }
    QCheckBox* logarithmicSwitch() const { return m_log; }

signals:
    // The rings to draw over the image (none: clear).
    void ringsChanged(const std::vector<saed::app::RingEllipse>& rings);
    // A calibration was saved to the store.
    void calibrationSaved(const QString& name);

private:
    struct Outcome;
    void showOutcome(const std::shared_ptr<Outcome>& outcome);
    void showPlot();
    analysis::RingPlotInput plotInput() const;
    // The marked phase's lines under the plot's camera constant; none without a phase.
    std::vector<analysis::PowderLine> markedLines() const;

    model::MainModel& m_model;
    measure::ImageMeasurement& m_measurement;
    model::Prompts& m_prompts;
    std::function<std::vector<library::CrystalPhase>()> m_phaseSource;
    QString m_storePath;

    QPushButton* m_measure = nullptr;
    QCheckBox* m_assumeRings = nullptr;
    QCheckBox* m_log = nullptr;
    QComboBox* m_marked = nullptr;
    QComboBox* m_standard = nullptr;
    QPushButton* m_calibrate = nullptr;
    QPushButton* m_exportPlot = nullptr;
    QPushButton* m_exportCsv = nullptr;
    QLabel* m_status = nullptr;
    QPlainTextEdit* m_summary = nullptr;
    RingPlotWidget* m_plot = nullptr;

    QPointer<QThread> m_worker;
    bool m_running = false;
    std::optional<analysis::RingPattern> m_pattern;
    std::optional<analysis::RingReading> m_reading;
    std::vector<library::CrystalPhase> m_phases;
    std::optional<double> m_perPixel;   // the camera constant given to the ranking
    QString m_perPixelSource;           // where it came from, for the summary
    QString m_imageName;
};

}  // namespace saed::app
