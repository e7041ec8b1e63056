// SPDX-License-Identifier: BSD-3-Clause
// The identification of the window's image: the ticked phases of the library, the window's
// calibration, and the run on a worker thread with its progress and cancel; and the texts that
// the window and the command line give for what an identification found.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <QObject>
#include <QString>

#include "analysis/identify.h"
#include "analysis/screening.h"
#include "core/raster.h"
#include "library/crystalphase.h"
#include "measure/autopattern.h"

namespace saed::model {
class MainModel;
}  // namespace saed::model

namespace saed::analysis {

// Phases to identify against, each with its lattice type (one of the five for a record of the nine-field
// text, SpaceGroup for a crystal phase ruled by its space group) and its record number (from 1) in the
// library.
struct IdentifyPhases {
    std::vector<library::CrystalPhase> phases;
    std::vector<core::LatticeType> latticeTypes;
    std::vector<int> records;
    bool allTaken = false;  // nothing was ticked: every phase of the library was taken
};

// The selected records of a screening request: each record's crystal phase (ruled by its space
// group) where the request has one, else its cell and the lattice type of its text. A record
// whose cell is no cell is left out.
IdentifyPhases identifyPhases(const ScreeningRequest& request);
// The ticked phases of the model's library, or every phase when none is ticked.
IdentifyPhases identifyPhases(const model::MainModel& model);

// The window's calibration, 1/nm per pixel: 标尺示数 over 标尺测量 when both are above 0, else
// none (the scale is then fitted per candidate).
std::optional<double> fieldCalibration(const model::MainModel& model);

// The phase an image is identified against: a crystal phase ruled by its space group, or a cell
// ruled by one of the five lattice types; and the window's calibration.
struct PatternPhase {
    library::CrystalPhase phase;
    core::LatticeType latticeType = core::LatticeType::SpaceGroup;
    std::optional<double> calibration;  // 1/nm per pixel; the file's own is used first
};

// The phase of the lattice fields: the cell and name with the chosen lattice type, or for the
// space-group entry the library's crystal phase of that cell (within a part in a million). No
// value when the fields hold no cell or no library crystal has it.
std::optional<PatternPhase> latticeFieldsPhase(const model::MainModel& model);

// Loads library record `record` (from 1) into the phase name and lattice fields: its space group
// where the library has its crystal phase, else its lattice type. False when there is no such
// record.
bool loadLibraryRecord(model::MainModel& model, int record);

// What an identification tells the user about the net of the spots; empty when the net is fine.
QString netStatusText(NetStatus status);
// What would break a tie.
QString tieBreakText(TieBreak hint);

// The three-spot measurement a candidate stands for: R1 on its g1 (the net's a), R2 on its g2
// (b) and R3 = R1 + R2 from the net's centre; nullopt when they give no consistent angles.
std::optional<measure::AutoPattern> candidatePattern(const NetFit& net, const std::vector<measure::Spot>& spots);

struct IdentifyOutcome {
    ImageIdentification result;
    IdentifyPhases phases;
    IdentifySettings settings;
    bool centreLocked = false;
};

// One identification at a time on a worker thread: start, progress per phase, cancel, finished.
// Destroying the run cancels it and waits for the worker.
class IdentifyRun : public QObject {
    Q_OBJECT

public:
    explicit IdentifyRun(QObject* parent = nullptr);
    ~IdentifyRun() override;

    // Starts identifying `raster` against `phases`; false when one is running already.
    bool start(core::Raster raster, IdentifyPhases phases, IdentifySettings settings,
               std::optional<core::PixelPoint> lockedCentre);
    // Stops the run at the next phase; finished(false) follows and no outcome is kept.
    void cancel();
    bool isRunning() const { return m_running; }
    // The last identification that ran to its end; none after a cancel.
    const std::optional<IdentifyOutcome>& outcome() const { return m_outcome; }

signals:
    // Phases searched so far of all.
    void progress(int done, int total);
    // The run ended: completed, or cancelled.
    void finished(bool completed);

private:
    void join();

    std::thread m_worker;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    bool m_running = false;
    std::optional<IdentifyOutcome> m_outcome;
};

}  // namespace saed::analysis
