// Screening: each ticked phase of the library loaded into the lattice fields and indexed, with a
// report of the phases that index the pattern.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QString>

#include "library/phasetree.h"
#include "library/screeningphase.h"
#include "store/reports.h"

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::library {

// One screened phase: its description and the number of result rows its run left.
struct ScreenedPhase {
    QString description;
    int rows = 0;
};

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
