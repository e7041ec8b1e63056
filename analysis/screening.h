// SPDX-License-Identifier: BSD-3-Clause
// Screening: each ticked phase of the library loaded into the lattice fields and indexed, with a
// report of the phases that index the pattern.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>

#include "indexing/solutionfamilies.h"
#include "library/crystalphase.h"
#include "library/phasetree.h"
#include "library/screeningphase.h"
#include "store/reports.h"

namespace saed::indexing {
class IndexingOperations;
}  // namespace saed::indexing

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::analysis {

// One screened phase: its description, the number of result rows its run left and, when the
// request can give the run's rows, its best solution family.
struct ScreenedPhase {
    QString description;
    int rows = 0;
    int record = 0;  // record number (from 1) in the library
    std::optional<indexing::SolutionFamily> best;
    bool doubleDiffraction = false;  // the best family's row uses double diffraction
    bool imported = false;           // an imported phase (one of the same name may be built in)
};

// The screened phases in ranking order (positions into `phases`): by the best family's misfit,
// least first, then phases without a family, each in screening order.
std::vector<std::size_t> rankedOrder(const std::vector<ScreenedPhase>& phases);

struct ScreeningOutcome {
    QString path;  // the report written in multiple mode; empty in single mode
    bool reportFailed = false;  // the report could not be written whole and was taken back
    std::vector<ScreenedPhase> phases;
};

// What to screen: the library's records (record r at position r - 1), the record numbers of
// the ticked parameter nodes in tree order, and the selection mode.
struct ScreeningRequest {
    std::vector<library::PhaseTexts> records;
    std::vector<int> selection;
    bool multiple = false;
    // The crystal phase of record r at position r - 1 (space group and atoms); none, or a
    // shorter list, for the records of the nine-field text, which keep their lattice type.
    std::vector<std::shared_ptr<const library::CrystalPhase>> crystals;
    // The rows of the run just made; when given, each screened phase gets its best family.
    std::function<const std::vector<indexing::ResultRow>&()> lastRows;
    // Record numbers (from 1) of the imported phases, so the ranking can tell them apart.
    std::vector<int> imported;
};

// The records and the ticked parameter nodes of a library tree.
ScreeningRequest screeningRequest(const library::PhaseTree& tree, bool multiple);
// The same for the model's library, with its crystal phases and the selection mode of the
// "多选" flag.
ScreeningRequest screeningRequest(const model::MainModel& model);

// Loads one library record into the phase name and lattice fields: the space group of its
// crystal phase where there is one, else the lattice type of its text.
void loadPhaseRecord(model::MainModel& model, const library::PhaseTexts& phase, const library::CrystalPhase* crystal);

// Loads each selected phase into the lattice fields, runs `runIndexing` and, in multiple mode,
// appends one block per phase with rows to the screening report. None when the report cannot
// be created (told in a message, before any phase is loaded).
std::optional<ScreeningOutcome> screenSelectedPhases(model::MainModel& model, model::Prompts& prompts,
                                                     const ScreeningRequest& request,
                                                     const std::function<void()>& runIndexing,
                                                     const store::ReportTarget& target);

class ScreeningSession;

// The same screening with each phase's search on the indexing operations' worker, so that the
// window stays responsive: progress while it runs, and a cancel that stops it between or inside
// a phase. A cancelled screening (or one whose search failed) leaves the report as it was before
// it started, the lattice fields and the table with the phase it stopped at, and the button's
// caption back.
class ScreeningRun : public QObject {
    Q_OBJECT

public:
    ScreeningRun(model::MainModel& model, model::Prompts& prompts, indexing::IndexingOperations& indexing,
                 QObject* parent = nullptr);
    ~ScreeningRun() override;

    // Starts the screening; false when it could not start (a screening or run is going, or the
    // report cannot be created, which is told). finished follows in every other case.
    bool start(ScreeningRequest request, const store::ReportTarget& target);
    // Stops the screening at the phase being run; the report keeps none of its blocks.
    void cancel();
    bool isRunning() const { return m_session != nullptr; }
    // The outcome of the last screening that ran to its end; none after a cancel.
    const std::optional<ScreeningOutcome>& outcome() const { return m_outcome; }

signals:
    // The share done (0..100) and the phase being run, "第2/7个物相：Si".
    void progress(int percent, const QString& phase);
    // The screening ended: completed, or cancelled (or stopped by a failed search).
    void finished(bool completed);

private:
    void runNext();
    void phaseDone();
    void end(bool completed);

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    indexing::IndexingOperations& m_indexing;
    std::unique_ptr<ScreeningSession> m_session;
    std::optional<ScreeningOutcome> m_outcome;
    bool m_cancelled = false;
};

}  // namespace saed::analysis
