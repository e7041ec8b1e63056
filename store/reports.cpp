// Writing the result report and the screening report from the working data.
#include "store/reports.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/mainmodel.h"
#include "app/prompts.h"
#include "app/resulttablemodel.h"
#include "library/libraryoperations.h"
#include "store/textfile.h"

namespace saed::store {

namespace {

QString nativeList(const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths) out.push_back(QDir::toNativeSeparators(p));
    return out.join(QLatin1Char('\n'));
}

}  // namespace

ReportTarget defaultReportTarget() {
    ReportTarget target;
    target.folders.push_back(QCoreApplication::applicationDirPath());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty()) target.folders.push_back(documents);
    target.stamp = QDateTime::currentDateTime();
    return target;
}

ReportFields reportFields(const app::MainModel& model) {
    ReportFields f;
    f.name = toStd(model.Text6());
    for (int n = 0; n < 6; ++n) f.lattice[static_cast<std::size_t>(n)] = toStd(model.Text1(n));
    f.image = toStd(QFileInfo(model.chosenFile()).fileName());
    f.scaleReading = model.value(22);
    f.scaleLength = model.value(23);
    for (int n = 0; n < 3; ++n) {
        const auto i = static_cast<std::size_t>(n);
        f.lengths[i] = model.value(24 + n);
        f.segments[i] = model.value(30 + n);
        f.anglesDeg[i] = model.value(33 + n);
    }
    return f;
}

std::vector<ReportRow> reportRows(const app::ResultTableModel& table) {
    const int columns = table.columnCount();
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

std::optional<QString> exportResultReport(app::MainModel& model, app::Prompts& prompts,
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
            prompts.warn(QStringLiteral("标尺示数或测量长度为0，无法计算面间距，报告只写入了点阵参数：\n") +
                             QDir::toNativeSeparators(path),
                         QString());
        return path;
    }
    prompts.warn(QStringLiteral("无法写入标定结果文件：\n") + nativeList(tried), QString());
    return std::nullopt;
}

ScreeningRequest screeningRequest(const library::PhaseTree& tree, bool multiple) {
    ScreeningRequest request;
    for (const library::PhaseRecord& record : tree.records()) {
        const auto& f = record.fields;
        request.records.push_back({f[0], f[1], f[2], {f[3], f[4], f[5], f[6], f[7], f[8]}});
    }
    request.selection = tree.selectedRecordNumbers();
    request.multiple = multiple;
    return request;
}

std::optional<ScreeningOutcome> screenSelectedPhases(app::MainModel& model, app::Prompts& prompts,
                                                     const ScreeningRequest& request,
                                                     const std::function<void()>& runIndexing,
                                                     const ReportTarget& target) {
    model.setCaption(app::Caption::Command13, QStringLiteral("……"));
    library::lockLatticeFields(model);
    app::ResultTableModel& table = *model.resultTable();
    table.sortBy(0, Qt::AscendingOrder);
    table.setAllLabelColors(QColor(225, 0, 0));

    // Single mode loads and runs one phase and keeps no report, so it opens no file at all:
    // a report of the same name written in the same second stays as it is.
    ScreeningOutcome outcome;
    QFile file;
    if (request.multiple) {
        QStringList tried;
        for (const QString& folder : target.folders) {
            const QString path = reportPath(folder, target.stamp);
            tried.push_back(path);
            file.setFileName(path);
            if (QDir().mkpath(folder) && file.open(QIODevice::WriteOnly | QIODevice::Append)) break;
        }
        if (!file.isOpen()) {
            prompts.warn(QStringLiteral("无法写入筛选结果文件：\n") + nativeList(tried), QString());
            model.setCaption(app::Caption::Command13, QStringLiteral("计算选中项"));
            return std::nullopt;
        }
        outcome.path = file.fileName();
    }

    bool writeFailed = false;
    for (int r : request.selection) {
        if (r < 1 || r > static_cast<int>(request.records.size())) continue;
        const PhaseTexts& phase = request.records[static_cast<std::size_t>(r - 1)];
        model.setCaption(app::Caption::Frame1, QStringLiteral("点阵标尺"));
        const QString description = fromStd(phaseDescription(phase));
        model.setText6(description);
        for (int n = 0; n < 6; ++n) model.setText1(n, fromStd(phase.lattice[static_cast<std::size_t>(n)]));
        model.setCombo1(0);
        model.setCombo1(latticeTypeFromText(phase.type));
        runIndexing();

        outcome.phases.push_back({description, table.rowCount()});
        if (!file.isOpen() || table.rowCount() == 0) continue;
        const ReportLines block = screeningBlockLines(reportFields(model), reportRows(table));
        const QByteArray bytes = encodeLines(fromStd(block.lines));
        if (file.write(bytes) != bytes.size()) writeFailed = true;
    }

    if (file.isOpen()) {
        if (!file.flush()) writeFailed = true;
        file.close();
        if (writeFailed)
            prompts.warn(QStringLiteral("筛选结果文件写入不完整：\n") + QDir::toNativeSeparators(outcome.path),
                         QString());
        else
            model.showStatus(QDir::toNativeSeparators(outcome.path));
    }
    model.setCaption(app::Caption::Command13, QStringLiteral("计算选中项"));
    model.setFlag(app::Flag::Frame7Visible, false);
    return outcome;
}

}  // namespace saed::store
