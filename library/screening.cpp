// Screening the ticked phases of the library against the measured pattern.
#include "library/screening.h"

#include <QColor>
#include <QCoreApplication>  // for translate
#include <QDir>
#include <QFile>

#include "indexing/indexingoperations.h"
#include "library/libraryoperations.h"
#include "library/phaseranking.h"
#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "store/textfile.h"

namespace saed::library {

std::vector<std::size_t> rankedOrder(const std::vector<ScreenedPhase>& phases) {
    std::vector<PhaseRank> ranks;
    for (std::size_t i = 0; i < phases.size(); ++i) ranks.push_back({i, static_cast<std::size_t>(phases[i].rows), phases[i].best, false});
    sortRanking(ranks);
    std::vector<std::size_t> order;
    for (const PhaseRank& rank : ranks) order.push_back(rank.phase);
    return order;
}

ScreeningRequest screeningRequest(const PhaseTree& tree, bool multiple) {
    ScreeningRequest request;
    for (const PhaseRecord& record : tree.records()) {
        const auto& f = record.fields;
        request.records.push_back({f[0], f[1], f[2], {f[3], f[4], f[5], f[6], f[7], f[8]}});
    }
    request.selection = tree.selectedRecordNumbers();
    request.multiple = multiple;
    return request;
}

std::optional<ScreeningOutcome> screenSelectedPhases(model::MainModel& model, model::Prompts& prompts,
                                                     const ScreeningRequest& request,
                                                     const std::function<void()>& runIndexing,
                                                     const store::ReportTarget& target) {
    model.setCaption(model::Caption::Command13, QStringLiteral("……"));
    lockLatticeFields(model);
    model::ResultTableModel& table = *model.resultTable();
    table.sortBy(0, Qt::AscendingOrder);
    table.setAllLabelColors(QColor(225, 0, 0));

    // Single mode loads and runs one phase and keeps no report, so it opens no file at all:
    // a report of the same name written in the same second stays as it is.
    ScreeningOutcome outcome;
    QFile file;
    if (request.multiple) {
        QStringList tried;
        for (const QString& folder : target.folders) {
            const QString path = store::reportPath(folder, target.stamp);
            tried.push_back(path);
            file.setFileName(path);
            if (QDir().mkpath(folder) && file.open(QIODevice::WriteOnly | QIODevice::Append)) break;
        }
        if (!file.isOpen()) {
            prompts.warn(QCoreApplication::translate("saed::library::Screening",
                                                     "无法写入筛选结果文件：\n") +
                             store::nativePathList(tried),
                         QString());
            model.setCaption(model::Caption::Command13, model::captionSource(QT_TRANSLATE_NOOP(
                                                            "saed::model::Caption", "计算选中项")));
            return std::nullopt;
        }
        outcome.path = file.fileName();
    }

    bool writeFailed = false;
    for (int r : request.selection) {
        if (r < 1 || r > static_cast<int>(request.records.size())) continue;
        const PhaseTexts& phase = request.records[static_cast<std::size_t>(r - 1)];
        model.setCaption(model::Caption::Frame1, model::captionSource(QT_TRANSLATE_NOOP(
                                                     "saed::model::Caption", "点阵标尺")));
        const QString description = store::fromStd(phaseDescription(phase));
        model.setText6(description);
        for (int n = 0; n < 6; ++n) model.setText1(n, store::fromStd(phase.lattice[static_cast<std::size_t>(n)]));
        model.setCombo1(0);
        const auto at = static_cast<std::size_t>(r - 1);
        const CrystalPhase* crystal = at < request.crystals.size() ? request.crystals[at].get() : nullptr;
        if (crystal) {
            model.setSpaceGroup(store::fromStd(spaceGroupLabel(*crystal)), phaseRule(*crystal));
            model.setCombo1(indexing::kSpaceGroupType);
        } else {
            model.setSpaceGroup(QString(), nullptr);
            model.setCombo1(latticeTypeFromText(phase.type));
        }
        runIndexing();

        ScreenedPhase screened{description, table.rowCount(), r, std::nullopt, false};
        if (request.lastRows) {
            const std::vector<indexing::ResultRow>& rows = request.lastRows();
            screened.best = bestFamily(rows, indexing::readIndexingInput(model));
            if (screened.best && screened.best->representative < rows.size())
                screened.doubleDiffraction = rows[screened.best->representative].doubleDiffraction;
        }
        outcome.phases.push_back(std::move(screened));
        if (!file.isOpen() || table.rowCount() == 0) continue;
        const store::ReportLines block = store::screeningBlockLines(store::reportFields(model), store::reportRows(table));
        const QByteArray bytes = store::encodeLines(store::fromStd(block.lines));
        if (file.write(bytes) != bytes.size()) writeFailed = true;
    }

    if (file.isOpen()) {
        if (!file.flush()) writeFailed = true;
        file.close();
        if (writeFailed)
            prompts.warn(QCoreApplication::translate("saed::library::Screening",
                                                     "筛选结果文件写入不完整：\n") +
                             QDir::toNativeSeparators(outcome.path),
                         QString());
        else
            model.showStatus(QDir::toNativeSeparators(outcome.path));
    }
    model.setCaption(model::Caption::Command13,
                     model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "计算选中项")));
    model.setFlag(model::Flag::Frame7Visible, false);
    return outcome;
}

}  // namespace saed::library
