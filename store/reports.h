// SPDX-License-Identifier: BSD-3-Clause
// Writing the result report and the screening report from the working data.
#pragma once

#include <optional>
#include <vector>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "store/reportlines.h"

namespace saed::model {
class MainModel;
class Prompts;
class ResultTableModel;
}  // namespace saed::model

namespace saed::store {

// Where a report goes and the time in its name.
struct ReportTarget {
    QStringList folders;  // tried in order; the first that takes the file is used
    QDateTime stamp;      // local date and time of the name
};

// The folder the user chose for reports when there is one, else the documents folder (created
// when missing), and the time now. The program's own folder is never written.
ReportTarget defaultReportTarget(const QString& chosenFolder = QString());

// The folders tried for a report, one a line in the system's own spelling, for the message
// that none could take the file.
QString nativePathList(const QStringList& paths);

// What a report reads from the fields and the table.
ReportFields reportFields(const model::MainModel& model);
std::vector<ReportRow> reportRows(const model::ResultTableModel& table);

// Path of the report named by `stamp` in `folder`.
QString reportPath(const QString& folder, const QDateTime& stamp);

// Writes the result report of the current fields and table (a file of the same name is
// replaced), shows its path in the status bar and returns it. A report that cannot be written
// anywhere, or whose spacings cannot be computed, is told in a message naming the path.
std::optional<QString> exportResultReport(model::MainModel& model, model::Prompts& prompts,
                                          const ReportTarget& target);

}  // namespace saed::store
