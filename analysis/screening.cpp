// SPDX-License-Identifier: BSD-3-Clause
// Screening the ticked phases of the library against the measured pattern.
#include "analysis/screening.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <algorithm>  // for find, max

#include "indexing/indexingoperations.h"
#include "library/libraryoperations.h"
#include "analysis/phaseranking.h"
#include "library/phasetexts.h"
#include "library/spacegroup.h"
#include "model/mainmodel.h"
#include "library/phaselibrary.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "store/textfile.h"

namespace saed::analysis {

using library::CrystalPhase;
using library::PhaseRecord;
using library::PhaseTexts;
using library::PhaseTree;


std::vector<std::size_t> rankedOrder(const std::vector<ScreenedPhase>& phases) {
    std::vector<PhaseRank> ranks;
    for (std::size_t i = 0; i < phases.size(); ++i) ranks.push_back({i, static_cast<std::size_t>(phases[i].rows), phases[i].best, false});
    sortRanking(ranks);
    std::vector<std::size_t> order;
    for (const PhaseRank& rank : ranks) order.push_back(rank.phase);
    return order;
}

void loadPhaseRecord(model::MainModel& model, const PhaseTexts& phase, const CrystalPhase* crystal) {
    model.setCaption(model::Caption::Frame1, model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "点阵标尺")));
    model.setText6(store::fromStd(phaseDescription(phase)));
    for (int n = 0; n < 6; ++n)
        model.setText1(model::fieldNumber(model::Field::A, n),
                       store::fromStd(phase.lattice[static_cast<std::size_t>(n)]));
    model.setCombo1(core::LatticeType::Simple);
    if (crystal) {
        model.setSpaceGroup(store::fromStd(spaceGroupLabel(*crystal)), phaseRule(*crystal));
        model.setCombo1(core::LatticeType::SpaceGroup);
    } else {
        model.setSpaceGroup(QString(), nullptr);
        model.setCombo1(library::latticeTypeFromText(phase.type));
    }
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

ScreeningRequest screeningRequest(const model::MainModel& model) {
    const library::PhaseLibrary& phases = *library::phaseLibrary(model);
    ScreeningRequest request = screeningRequest(phases.tree(), model.flag(model::Flag::MultipleChoice));
    for (int r = 1; r <= phases.tree().recordCount(); ++r) {
        const CrystalPhase* crystal = phases.crystal(r);
        request.crystals.push_back(crystal ? std::make_shared<const CrystalPhase>(*crystal) : nullptr);
        if (phases.source(r) == library::PhaseSource::Imported) request.imported.push_back(r);
    }
    return request;
}

// One screening from its first step to its report: what the screening on this thread and the one
// on the worker share, so that both write the same fields, table and report bytes.
class ScreeningSession {
public:
    ScreeningSession(model::MainModel& model, model::Prompts& prompts, ScreeningRequest request,
                     store::ReportTarget target)
        : m_model(model), m_prompts(prompts), m_request(std::move(request)), m_target(std::move(target)) {}

    // The steps before the first phase: busy caption, lattice locked, table sorted by label and
    // recoloured, and in multiple mode the report opened for appending. False when it cannot be
    // created (told, the caption back, no phase loaded).
    bool begin();
    // Loads the next selected phase into the fields; false when none is left.
    bool loadNext();
    // After the phase's run: its ranking entry and, in multiple mode, its report block.
    void collect();
    // The last steps: the report closed and its path told, caption back, panel hidden.
    ScreeningOutcome finish();
    // A screening stopped before its end: the report as it was before the screening started
    // (a file this screening created is removed), and the caption back.
    void abandon();

    // Phases loaded so far and phases selected, for the progress.
    int loaded() const { return static_cast<int>(m_next); }
    int count() const { return static_cast<int>(m_request.selection.size()); }
    QString description() const { return m_description; }

private:
    // Closes the report and gives it back the bytes it had before this screening.
    void takeBack();

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    ScreeningRequest m_request;
    store::ReportTarget m_target;
    ScreeningOutcome m_outcome;
    QFile m_file;
    qint64 m_sizeBefore = 0;
    bool m_created = false;
    bool m_writeFailed = false;
    std::size_t m_next = 0;
    int m_record = 0;
    QString m_description;
};

bool ScreeningSession::begin() {
    m_model.setCaption(model::Caption::Command13, QStringLiteral("……"));
    library::lockLatticeFields(m_model);
    model::ResultTableModel& table = *m_model.resultTable();
    table.sortBy(0, Qt::AscendingOrder);
    table.setAllLabelColors(QColor(225, 0, 0));

    // Single mode loads and runs one phase and keeps no report, so it opens no file at all:
    // a report of the same name written in the same second stays as it is.
    if (!m_request.multiple) return true;
    QStringList tried;
    for (const QString& folder : m_target.folders) {
        const QString path = store::reportPath(folder, m_target.stamp);
        tried.push_back(path);
        m_file.setFileName(path);
        m_created = !QFile::exists(path);
        if (QDir().mkpath(folder) && m_file.open(QIODevice::WriteOnly | QIODevice::Append)) break;
    }
    if (!m_file.isOpen()) {
        m_prompts.warn(QCoreApplication::translate("saed::library::Screening", "无法写入筛选结果文件：\n") + store::nativePathList(tried), QString());
        m_model.setCaption(model::Caption::Command13, model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "计算选中项")));
        return false;
    }
    m_sizeBefore = m_file.size();
    m_outcome.path = m_file.fileName();
    return true;
}

bool ScreeningSession::loadNext() {
    while (m_next < m_request.selection.size()) {
        const int r = m_request.selection[m_next++];
        if (r < 1 || r > static_cast<int>(m_request.records.size())) continue;
        m_record = r;
        const PhaseTexts& phase = m_request.records[static_cast<std::size_t>(r - 1)];
        const auto at = static_cast<std::size_t>(r - 1);
        loadPhaseRecord(m_model, phase, at < m_request.crystals.size() ? m_request.crystals[at].get() : nullptr);
        m_description = store::fromStd(phaseDescription(phase));
        return true;
    }
    return false;
}

void ScreeningSession::collect() {
    const model::ResultTableModel& table = *m_model.resultTable();
    const bool imported = std::find(m_request.imported.begin(), m_request.imported.end(), m_record) !=
                          m_request.imported.end();
    ScreenedPhase screened{m_description, table.rowCount(), m_record, std::nullopt, false, imported};
    if (m_request.lastRows) {
        const std::vector<indexing::ResultRow>& rows = m_request.lastRows();
        screened.best = bestFamily(rows, indexing::readIndexingInput(m_model));
        if (screened.best && screened.best->representative < rows.size())
            screened.doubleDiffraction = rows[screened.best->representative].doubleDiffraction;
    }
    m_outcome.phases.push_back(std::move(screened));
    if (!m_file.isOpen() || table.rowCount() == 0) return;
    const store::ReportLines block = store::screeningBlockLines(store::reportFields(m_model), store::reportRows(table));
    const QByteArray bytes = store::encodeLines(store::fromStd(block.lines));
    if (m_file.write(bytes) != bytes.size()) m_writeFailed = true;
}

ScreeningOutcome ScreeningSession::finish() {
    if (m_file.isOpen()) {
        if (!m_file.flush() || m_file.error() != QFileDevice::NoError) m_writeFailed = true;
        if (m_writeFailed) {
            // A report cut short (a full disk) is taken back as a cancelled one is, so that a
            // report written before keeps its bytes, and the user is told.
            const QString reason = m_file.errorString();
            m_outcome.reportFailed = true;
            takeBack();
            m_prompts.warn(QCoreApplication::translate("saed::library::Screening", "筛选结果文件写入不完整：\n") + QDir::toNativeSeparators(m_outcome.path) +
                               QStringLiteral("\n") + reason,
                           QString());
        } else {
            m_file.close();
            m_model.showStatus(QDir::toNativeSeparators(m_outcome.path));
        }
    }
    m_model.setCaption(model::Caption::Command13, model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "计算选中项")));
    m_model.setFlag(model::Flag::Frame7Visible, false);
    return std::move(m_outcome);
}

void ScreeningSession::abandon() {
    // Blocks already written are taken back: the report of an earlier screening in the same
    // second keeps its bytes, and a report this screening created goes.
    if (m_file.isOpen()) takeBack();
    m_model.setCaption(model::Caption::Command13, model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "计算选中项")));
}

void ScreeningSession::takeBack() {
    // Closing drops what a full disk left in the buffer; the file then goes back to its size.
    m_file.close();
    if (m_created)
        QFile::remove(m_file.fileName());
    else
        QFile::resize(m_file.fileName(), m_sizeBefore);
}

std::optional<ScreeningOutcome> screenSelectedPhases(model::MainModel& model, model::Prompts& prompts,
                                                     const ScreeningRequest& request,
                                                     const std::function<void()>& runIndexing,
                                                     const store::ReportTarget& target) {
    ScreeningSession session(model, prompts, request, target);
    if (!session.begin()) return std::nullopt;
    while (session.loadNext()) {
        runIndexing();
        session.collect();
    }
    return session.finish();
}

ScreeningRun::ScreeningRun(model::MainModel& model, model::Prompts& prompts, indexing::IndexingOperations& indexing,
                           QObject* parent)
    : QObject(parent), m_model(model), m_prompts(prompts), m_indexing(indexing) {}

ScreeningRun::~ScreeningRun() {
    if (m_session) m_session->abandon();
}

bool ScreeningRun::start(ScreeningRequest request, const store::ReportTarget& target) {
    if (m_session || m_indexing.isRunning()) return false;
    m_outcome.reset();
    m_cancelled = false;
    auto session = std::make_unique<ScreeningSession>(m_model, m_prompts, std::move(request), target);
    if (!session->begin()) return false;
    m_session = std::move(session);
    // Each phase starts from the event loop, so the window repaints between phases.
    QTimer::singleShot(0, this, &ScreeningRun::runNext);
    return true;
}

void ScreeningRun::cancel() {
    if (!m_session) return;
    m_cancelled = true;
    m_indexing.cancelRun();
}

void ScreeningRun::runNext() {
    if (!m_session) return;
    if (m_cancelled) return end(false);
    if (!m_session->loadNext()) return end(true);
    const int count = std::max(1, m_session->count());
    const int index = m_session->loaded() - 1;
    const QString phase = QCoreApplication::translate("ScreeningRun", "第%1/%2个物相：%3")
                              .arg(index + 1)
                              .arg(count)
                              .arg(model::translatedPhaseLabel(m_session->description()));
    const QPointer<ScreeningRun> self(this);
    const bool started = m_indexing.startRunIndexing(
        [self] {
            if (self) self->phaseDone();
        },
        [self, index, count, phase](double share) {
            if (self) emit self->progress(static_cast<int>((index + share) * 100 / count), phase);
        });
    if (!started) return end(false);
    // Told once the run has started: a message about the phase's input has been answered by then,
    // so the progress never comes up over it.
    emit progress(100 * index / count, phase);
}

void ScreeningRun::phaseDone() {
    if (!m_session) return;
    if (m_cancelled || m_indexing.lastSearchFailed()) return end(false);
    m_session->collect();
    QTimer::singleShot(0, this, &ScreeningRun::runNext);
}

void ScreeningRun::end(bool completed) {
    const std::unique_ptr<ScreeningSession> session = std::move(m_session);
    if (completed) {
        m_outcome = session->finish();
    } else {
        session->abandon();
        m_model.showStatus(QCoreApplication::translate("ScreeningRun", "筛选已停止，未写入筛选结果。"));
    }
    emit finished(completed);
}

}  // namespace saed::analysis
