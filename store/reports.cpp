// SPDX-License-Identifier: BSD-3-Clause
// Writing the result report and the screening report from the working data.
#include "store/reports.h"

#include <algorithm>  // for min

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "store/textfile.h"

namespace saed::store {

QString nativePathList(const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths) out.push_back(QDir::toNativeSeparators(p));
    return out.join(QLatin1Char('\n'));
}

ReportTarget defaultReportTarget(const QString& chosenFolder) {
    ReportTarget target;
    if (!chosenFolder.isEmpty()) {
        target.folders.push_back(chosenFolder);
    } else {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        target.folders.push_back(documents.isEmpty() ? QDir::homePath() : documents);
    }
    target.stamp = QDateTime::currentDateTime();
    return target;
}

ReportFields reportFields(const model::MainModel& model) {
    using model::Field;
    ReportFields f;
    f.name = toStd(model.Text6());
    for (int n = 0; n < 6; ++n) f.lattice[static_cast<std::size_t>(n)] = toStd(model.Text1(fieldNumber(Field::A, n)));
    f.image = toStd(QFileInfo(model.chosenFile()).fileName());
    f.calibration = toStd(model.calibrationNote());
    f.scaleReading = model.value(Field::ScaleReading);
    f.scaleLength = model.value(Field::ScaleLength);
    for (int n = 0; n < 3; ++n) {
        const auto i = static_cast<std::size_t>(n);
        f.lengths[i] = model.value(fieldNumber(Field::LengthR1, n));
        f.segments[i] = model.value(fieldNumber(Field::SegmentsR1, n));
        f.anglesDeg[i] = model.value(fieldNumber(Field::AngleR1R2, n));
    }
    return f;
}

std::vector<ReportRow> reportRows(const model::ResultTableModel& table) {
    // The report keeps its twenty columns; the zone and misfit columns are the window's own.
    const int columns = std::min(table.columnCount(), model::ResultTableModel::kColumns);
    std::vector<ReportRow> rows;
    rows.reserve(static_cast<std::size_t>(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r) {
        ReportRow row;
        for (int c = 0; c < columns; ++c) row.push_back(toStd(table.cell(r, c)));
        rows.push_back(std::move(row));
    }
    return rows;
}

QString reportPath(const QString& folder, const QDateTime& stamp) {
    const QDate d = stamp.date();
    const QTime t = stamp.time();
    const Stamp s{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
    return QDir(folder).filePath(fromStd(reportFileName(s)));
}

std::optional<QString> exportResultReport(model::MainModel& model, model::Prompts& prompts,
                                          const ReportTarget& target) {
    const ReportLines report = resultReportLines(reportFields(model), reportRows(*model.resultTable()));
    const QStringList lines = fromStd(report.lines);
    QStringList tried;
    for (const QString& folder : target.folders) {
        const QString path = reportPath(folder, target.stamp);
        tried.push_back(path);
        if (!QDir().mkpath(folder) || !writeTextFileAtomic(path, lines)) continue;
        model.showStatus(QDir::toNativeSeparators(path));
        if (!report.complete)
            prompts.warn(QCoreApplication::translate(
                             "saed::store::Reports",
                             "标尺示数或测量长度为0，无法计算面间距，报告只写入了点阵参数：\n") +
                             QDir::toNativeSeparators(path),
                         QString());
        return path;
    }
    prompts.warn(QCoreApplication::translate("saed::store::Reports", "无法写入标定结果文件：\n") +
                     nativePathList(tried),
                 QString());
    return std::nullopt;
}

}  // namespace saed::store
