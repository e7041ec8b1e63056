// Writing the result report and the screening report from the working data.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "store/reportlines.h"
#include "store/screeningphase.h"

namespace saed::app {
class MainModel;
class Prompts;
class ResultTableModel;
}  // namespace saed::app

namespace saed::library {
class PhaseTree;
}  // namespace saed::library

namespace saed::store {

// Where a report goes and the time in its name.
struct ReportTarget {
    QStringList folders;  // tried in order; the first that takes the file is used
    QDateTime stamp;      // local date and time of the name
};

// The program's folder, then the documents folder, and the time now.
ReportTarget defaultReportTarget();

// What a report reads from the fields and the table.
ReportFields reportFields(const app::MainModel& model);
std::vector<ReportRow> reportRows(const app::ResultTableModel& table);

// Path of the report named by `stamp` in `folder`.
QString reportPath(const QString& folder, const QDateTime& stamp);

// Writes the result report of the current fields and table (a file of the same name is
// replaced), shows its path in the status bar and returns it. A report that cannot be written
// anywhere, or whose spacings cannot be computed, is told in a message naming the path.
std::optional<QString> exportResultReport(app::MainModel& model, app::Prompts& prompts,
                                          const ReportTarget& target);

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
std::optional<ScreeningOutcome> screenSelectedPhases(app::MainModel& model, app::Prompts& prompts,
                                                     const ScreeningRequest& request,
                                                     const std::function<void()>& runIndexing,
                                                     const ReportTarget& target);

}  // namespace saed::store
