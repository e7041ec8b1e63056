// Screening: each ticked phase of the library loaded into the lattice fields and indexed, with a
// report of the phases that index the pattern.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

#include "indexing/solutionfamilies.h"
#include "library/crystalphase.h"
#include "library/phasetree.h"
#include "library/screeningphase.h"
#include "store/reports.h"

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::library {

// One screened phase: its description, the number of result rows its run left and, when the
// request can give the run's rows, its best solution family.
struct ScreenedPhase {
    QString description;
    int rows = 0;
    int record = 0;  // record number (from 1) in the library
    std::optional<indexing::SolutionFamily> best;
    bool doubleDiffraction = false;  // the best family's row uses double diffraction
};

// The screened phases in ranking order (positions into `phases`): by the best family's misfit,
// least first, then phases without a family, each in screening order.
std::vector<std::size_t> rankedOrder(const std::vector<ScreenedPhase>& phases);

struct ScreeningOutcome {
    QString path;  // the report written in multiple mode; empty in single mode
    std::vector<ScreenedPhase> phases;
};

// What to screen: the library's records (record r at position r - 1), the record numbers of
// the ticked parameter nodes in tree order, and the selection mode.
struct ScreeningRequest {
    std::vector<PhaseTexts> records;
    std::vector<int> selection;
    bool multiple = false;
    // The crystal phase of record r at position r - 1 (space group and atoms); none, or a
    // shorter list, for the records of the nine-field text, which keep their lattice type.
    std::vector<std::shared_ptr<const CrystalPhase>> crystals;
    // The rows of the run just made; when given, each screened phase gets its best family.
    std::function<const std::vector<indexing::ResultRow>&()> lastRows;
};

// The records and the ticked parameter nodes of a library tree.
ScreeningRequest screeningRequest(const library::PhaseTree& tree, bool multiple);

// Loads each selected phase into the lattice fields, runs `runIndexing` and, in multiple mode,
// appends one block per phase with rows to the screening report. None when the report cannot
// be created (told in a message, before any phase is loaded).
std::optional<ScreeningOutcome> screenSelectedPhases(model::MainModel& model, model::Prompts& prompts,
                                                     const ScreeningRequest& request,
                                                     const std::function<void()>& runIndexing,
                                                     const store::ReportTarget& target);

}  // namespace saed::library
