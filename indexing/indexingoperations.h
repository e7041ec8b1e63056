// SPDX-License-Identifier: BSD-3-Clause
// The operations of the indexing tab on the working data: the indexing run, the 标定计算
// button, the tolerance sliders and fields, and the re-screening of the result table.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QCoreApplication>  // for translate
#include <QObject>
#include <QString>

class QThread;

#include "core/holohedry.h"
#include "indexing/indexingengine.h"
#include "indexing/solutionfamilies.h"
#include "model/resulttablemodel.h"

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::indexing {

// Messages of a run that stops at bad input (each with an OK button and an empty title).
inline QString rangeMessage() {
    return QCoreApplication::translate("saed::indexing::IndexingOperations",
                                       "指数范围必须在0到99之间！");
}
inline QString zeroLengthMessage() {
    return QCoreApplication::translate("saed::indexing::IndexingOperations",
                                       "标尺示数和测量长度不能为0！");
}
inline QString notACellMessage() {
    return QCoreApplication::translate("saed::indexing::IndexingOperations",
                                       "点阵参数无法构成晶胞！");
}
// A run that found no row within the tolerances (told in the status bar).
inline QString noRowsMessage() {
    return QCoreApplication::translate("saed::indexing::IndexingOperations",
                                       "没有找到误差范围内的解（0 行）：可放宽误差或增大指数范围。");
}
// A run that reached the row limit: the rows found so far are kept.
QString rowLimitMessage(std::size_t limit);
// The same where a cut run gives no rows at all (the command line writes none).
QString rowLimitNoRowsMessage(std::size_t limit);

// Label colours of the result table.
inline constexpr int kBuiltRgb[3] = {225, 0, 0};   // every label after a run
inline constexpr int kFailedRgb[3] = {255, 0, 0};  // a row outside the tolerances
inline constexpr int kPassedRgb[3] = {0, 0, 255};  // a row inside all six tolerances

// Field Text1(n) of tolerance slider k (1..6), and the slider of a field (0 for other fields).
int toleranceField(int k);
int toleranceSlider(int n);

// The measured spacings d1..d3 (nm) as the run derives them from the fields:
// dn = Nn * (Lbar / S) / Ln.
std::array<double, 3> measuredSpacings(const model::MainModel& model);

// Everything the search needs, read from the fields (N rounded halves to even).
IndexingInput readIndexingInput(const model::MainModel& model);

// One object per MainModel: it reacts to the tolerance fields of that model. The window
// creates it; the command line and tests create their own for their own model.
class IndexingOperations : public QObject {
    Q_OBJECT

public:
    IndexingOperations(model::MainModel& model, model::Prompts& prompts, QObject* parent = nullptr);
    // Cancels a run on the worker and waits for it.
    ~IndexingOperations() override;

    // The indexing run: empties the table, tests the inputs (telling bad input through the
    // prompts, with InputRejected() = 1 and the focus on the field), writes Label5, searches,
    // fills the table and Label22 with the row count, and resets the schematic labels.
    void RunIndexing();
    // Writes the measured spacings and angles into Label5.
    void ShowMeasuredValues();
    // 1 when the last run stopped at bad input, else 0; kept until the next run.
    int InputRejected() const { return m_inputRejected; }
    // The rows of the last run in result order (group r is element r - 1); empty after a
    // rejected run.
    const std::vector<ResultRow>& lastRows() const { return m_lastRows; }
    // Whether lastRows() keeps the rows once the table holds them (on by default). The window
    // needs only the table, so it turns this off and a large run is not held twice.
    void setKeepLastRows(bool keep) { m_keepLastRows = keep; }
    // How the last search ended; Complete after a rejected run.
    RunEnd lastEnd() const { return m_lastEnd; }
    // The input of the last accepted run (cell, lattice type, measured pattern, tolerances).
    const IndexingInput& lastInput() const { return m_lastInput; }
    // The families of the last run, best first (by misfit), and the family of each group; the
    // misfit uses the tolerances in force at the run. Empty above kMaxFamilyRows rows, where the
    // grouping would hold the window up for seconds.
    const FamilyGrouping& lastFamilies() const { return m_families; }
    // The misfit of each group of the last run (by group - 1).
    const std::vector<double>& lastMisfits() const { return m_misfits; }
    // The symmetry the families use: the holohedry of the cell that keeps the allowed
    // reflections of the lattice type.
    const std::vector<core::LatticeOp>& lastSymmetry() const { return m_symmetry; }
    static constexpr std::size_t kMaxFamilyRows = 500'000;
    // The rows a match against an image looks at, with their group - 1, in the order it tries
    // them: each family's representative (best family first), then the kLeadingRows rows of
    // least misfit, least first (a row without a misfit last, ties by group). Picked when the
    // run is completed (on the worker for a run there), so that a match never passes over all
    // the rows of a large run.
    using LeadingRow = std::pair<std::size_t, ResultRow>;
    const std::vector<LeadingRow>& lastLeadingRows() const { return m_leadingRows; }
    static constexpr std::size_t kLeadingRows = 800;

    // The 标定计算 button after the magnifier is closed: busy caption, run, sort by the label
    // column, label colours, lattice lock when the input was accepted, caption back.
    void runFromButton();
    // The same with the search on a worker thread, so that the window stays responsive: bad
    // input is told at once; otherwise runStarted, runProgress while it searches, and after the
    // table is filled, runFinished. A press while a run is going is ignored.
    void startRunFromButton();
    // Stops the run on the worker; the rows found so far are kept in order and the status bar
    // says the run was cancelled.
    void cancelRun();
    bool isRunning() const { return m_worker != nullptr; }
    // The most rows a run keeps (kRowLimit unless set; tests set a small one).
    void setRowLimit(std::size_t limit) { m_rowLimit = limit; }
    // Whether the rows of a run cut at the row limit are shown (the window; on by default) or
    // none is given for it (the command line), which the message at the limit says.
    void setCutRowsShown(bool shown) { m_cutRowsShown = shown; }

    // RunIndexing with the search on a worker thread. Bad input is told at once and `done` is
    // called from the event loop; otherwise `progress` gets the share searched (0..1) every
    // 100 ms, and `done` is called on this thread once the table is filled (a search that threw
    // is told, with an empty table). runStarted, runProgress and runFinished belong to the
    // button's run and are not emitted. False, and nothing runs, while another run is going.
    bool startRunIndexing(std::function<void()> done, std::function<void(double)> progress = {});
    // The search a run on the worker makes: indexPattern unless set (tests set one that throws
    // or waits for its cancel).
    using Search = std::function<IndexingResult(const IndexingInput&, const RunControl&)>;
    void setSearch(Search search) { m_search = std::move(search); }
    // True when the last run's search on the worker threw (told to the user, the table empty).
    bool lastSearchFailed() const { return m_lastSearchFailed; }

    // Re-screens every row against the six tolerance fields: blue when it passes all six strict
    // tests, and Label22 counts those rows. A row whose measured spacing cannot be computed
    // (a zero scale-bar reading or length) fails.
    void RescreenTable();
    // A change of Text1(n): for a tolerance field, all labels turn red, its slider follows the
    // value and the table is re-screened; other fields are ignored.
    void fieldChanged(int n);
    // The user moved slider k (1..6) to position p: its field gets the tolerance text.
    void sliderMoved(int k, int p);
    // The default tolerances 0.0080 nm and 2 degrees, each written as a change of its field.
    void resetTolerances();

signals:
    void runStarted();
    void runProgress(int percent);
    void runFinished();

private:
    // A search's rows with all the work per row done: the table's storage, misfits, symmetry and
    // families. Made by completeRun, on the worker for a run there.
    struct CompletedRun {
        std::vector<ResultRow> rows;  // empty unless the rows are kept
        std::size_t rowCount = 0;
        RunEnd end = RunEnd::Complete;
        model::ResultTableModel::PreparedRows table;
        std::vector<double> misfits;
        std::vector<core::LatticeOp> symmetry;
        FamilyGrouping families;
        std::vector<LeadingRow> leadingRows;
    };
    // What a run on the worker shares with the GUI thread.
    struct WorkerRun {
        std::atomic<bool> cancel{false};
        std::atomic<int> permille{0};
        CompletedRun result;  // written by the worker, read after it finished
        QString error;
    };

    static CompletedRun completeRun(IndexingResult result, const IndexingInput& input,
                                    model::ResultTableModel::SortSetting sort, bool keepRows);

    std::optional<IndexingInput> beginRun();
    void startWorker(const IndexingInput& input, std::function<void(double)> progress,
                     std::function<void()> done);
    void finishRun(CompletedRun run);
    void finishButtonRun();
    void sortNextTableByLabel();
    void reject(int field, const QString& message);
    void writeTolerance(int n, const QString& text);

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    int m_inputRejected = 0;
    std::vector<ResultRow> m_lastRows;
    IndexingInput m_lastInput;
    FamilyGrouping m_families;
    std::vector<double> m_misfits;
    std::vector<core::LatticeOp> m_symmetry;
    std::vector<LeadingRow> m_leadingRows;
    RunEnd m_lastEnd = RunEnd::Complete;
    std::size_t m_rowLimit = kRowLimit;
    bool m_keepLastRows = true;
    bool m_cutRowsShown = true;
    QThread* m_worker = nullptr;
    std::shared_ptr<WorkerRun> m_run;
    Search m_search;
    bool m_lastSearchFailed = false;
};

}  // namespace saed::indexing
