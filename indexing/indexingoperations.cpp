// SPDX-License-Identifier: BSD-3-Clause
#include "indexing/indexingoperations.h"

#include <algorithm>  // for min, partial_sort
#include <cmath>    // for abs, isfinite, isnan, lround
#include <limits>
#include <numeric>  // for iota
#include <exception>
#include <new>  // for bad_alloc
#include <optional>

#include <QColor>
#include <QThread>
#include <QTimer>

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "core/numbertext.h"
#include "core/resultcells.h"
#include "indexing/tolerancescale.h"

namespace saed::indexing {

namespace {

using model::Caption;
using model::ResultTableModel;

using model::Field;
using model::fieldNumber;

constexpr int kToleranceFields[6] = {fieldNumber(Field::TolD1), fieldNumber(Field::TolD2), fieldNumber(Field::TolD3),
                                     fieldNumber(Field::TolAngle12), fieldNumber(Field::TolAngle23),
                                     fieldNumber(Field::TolAngle13)};

QColor rgb(const int (&c)[3]) { return QColor(c[0], c[1], c[2]); }

// The families' representatives, then the rows of least misfit (see lastLeadingRows).
std::vector<IndexingOperations::LeadingRow> leadingRows(const std::vector<ResultRow>& rows,
                                                        const std::vector<double>& misfits,
                                                        const FamilyGrouping& families) {
    std::vector<std::size_t> order;
    for (const SolutionFamily& f : families.families)
        if (f.representative < rows.size()) order.push_back(f.representative);
    std::vector<std::size_t> byMisfit(rows.size());
    std::iota(byMisfit.begin(), byMisfit.end(), std::size_t{0});
    const auto key = [&misfits](std::size_t g) {
        const double m = g < misfits.size() ? misfits[g] : std::numeric_limits<double>::quiet_NaN();
        return std::isnan(m) ? std::numeric_limits<double>::infinity() : m;
    };
    const auto head = byMisfit.begin() +
                      static_cast<std::ptrdiff_t>(std::min(rows.size(), IndexingOperations::kLeadingRows));
    std::partial_sort(byMisfit.begin(), head, byMisfit.end(), [&key](std::size_t x, std::size_t y) {
        const double mx = key(x), my = key(y);
        return mx < my || (mx == my && x < y);
    });
    order.insert(order.end(), byMisfit.begin(), head);
    std::vector<IndexingOperations::LeadingRow> leading;
    leading.reserve(order.size());
    for (std::size_t g : order) leading.emplace_back(g, rows[g]);
    return leading;
}

QString fromStd(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QString rowLimitMessage(std::size_t limit) {
    return QCoreApplication::translate(
               "saed::indexing::IndexingOperations",
               "结果超过%1行，计算已在此停止，只保留前%1行。\n请缩小误差范围或指数范围后重新计算。")
        .arg(static_cast<qulonglong>(limit));
}

QString rowLimitNoRowsMessage(std::size_t limit) {
    return QCoreApplication::translate(
               "saed::indexing::IndexingOperations",
               "结果超过%1行，计算已在此停止，没有输出任何结果。\n请缩小误差范围或指数范围后重新计算。")
        .arg(static_cast<qulonglong>(limit));
}

int toleranceField(int k) { return (k >= 1 && k <= 6) ? kToleranceFields[k - 1] : -1; }

int toleranceSlider(int n) {
    for (int k = 1; k <= 6; ++k)
        if (kToleranceFields[k - 1] == n) return k;
    return 0;
}

std::array<double, 3> measuredSpacings(const model::MainModel& model) {
    const double s = model.value(Field::ScaleLength) / model.value(Field::ScaleReading);
    std::array<double, 3> d{};
    for (int i = 0; i < 3; ++i) d[static_cast<std::size_t>(i)] = model.value(fieldNumber(Field::SegmentsR1, i)) * s / model.value(fieldNumber(Field::LengthR1, i));
    return d;
}

IndexingInput readIndexingInput(const model::MainModel& model) {
    IndexingInput input;
    input.cell = {model.value(Field::A),     model.value(Field::B),    model.value(Field::C),
                  model.value(Field::Alpha), model.value(Field::Beta), model.value(Field::Gamma)};
    input.latticeType = model.Combo1();
    if (input.latticeType == core::LatticeType::SpaceGroup) input.rule = model.spaceGroupRule();
    input.doubleDiffraction = model.flag(model::Flag::DoubleDiffraction);
    const double n = roundHalfEven(model.value(Field::Range));
    input.rangeN = (n >= 0 && n <= 1e6) ? static_cast<int>(n) : -1;
    input.measured.spacingNm = measuredSpacings(model);
    for (std::size_t i = 0; i < 3; ++i) {
        input.measured.angleDeg[i] = model.value(fieldNumber(Field::AngleR1R2, static_cast<int>(i)));
        input.tolerances.spacingNm[i] = model.value(fieldNumber(Field::TolD1, static_cast<int>(i)));
        input.tolerances.angleDeg[i] = model.value(fieldNumber(Field::TolAngle12, static_cast<int>(i)));
    }
    return input;
}

IndexingOperations::IndexingOperations(model::MainModel& model, model::Prompts& prompts, QObject* parent)
    : QObject(parent), m_model(model), m_prompts(prompts) {
    connect(&m_model, &model::MainModel::text1Changed, this, &IndexingOperations::fieldChanged);
}

void IndexingOperations::reject(int field, const QString& message) {
    m_prompts.warn(message, QString());
    m_inputRejected = 1;
    if (field >= 0) m_model.requestFocus(field);
}

IndexingOperations::~IndexingOperations() {
    if (m_worker == nullptr) return;
    m_run->cancel = true;
    m_worker->wait();
}

void IndexingOperations::RunIndexing() {
    const std::optional<IndexingInput> input = beginRun();
    if (!input) return;
    RunControl control;
    control.rowLimit = m_rowLimit;
    finishRun(completeRun(indexPattern(*input, control), *input, m_model.resultTable()->sortSetting(), m_keepLastRows));
}

std::optional<IndexingInput> IndexingOperations::beginRun() {
    m_model.resultTable()->clearRows();
    m_model.setCaption(Caption::Label22, QStringLiteral("0"));
    m_lastRows.clear();
    m_lastEnd = RunEnd::Complete;
    m_lastSearchFailed = false;
    m_inputRejected = 0;
    m_families = {};
    m_misfits.clear();
    m_leadingRows.clear();

    for (int n = 0; n < model::MainModel::kText1Count; ++n) {
        if ((n >= fieldNumber(Field::H1) && n < fieldNumber(Field::Range)) || m_model.isNumeric(n)) continue;
        reject(n, model::notNumericMessage());
        return std::nullopt;
    }
    const double range = roundHalfEven(m_model.value(Field::Range));
    if (!(range >= 0 && range <= 99)) {
        reject(fieldNumber(Field::Range), rangeMessage());
        return std::nullopt;
    }
    for (Field f : {Field::ScaleReading, Field::ScaleLength, Field::LengthR1, Field::LengthR2, Field::LengthR3}) {
        const int n = fieldNumber(f);
        if (m_model.value(n) == 0) {
            reject(n, zeroLengthMessage());
            return std::nullopt;
        }
    }
    const IndexingInput input = readIndexingInput(m_model);
    if (const core::CellFault fault = core::cellFault(input.cell); fault != core::CellFault::None) {
        reject(core::cellFaultField(fault), notACellMessage());
        return std::nullopt;
    }
    if (input.latticeType == core::LatticeType::SpaceGroup && !input.rule) {
        reject(-1, model::noSpaceGroupMessage());
        return std::nullopt;
    }
    m_lastInput = input;

    ShowMeasuredValues();
    return input;
}

IndexingOperations::CompletedRun IndexingOperations::completeRun(IndexingResult result, const IndexingInput& input,
                                                                 ResultTableModel::SortSetting sort, bool keepRows) {
    CompletedRun run;
    run.end = result.end;
    run.rowCount = result.rows.size();
    const std::vector<ResultRow>& rows = result.rows;
    run.misfits.resize(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) run.misfits[r] = misfit(rows[r], input.measured, input.tolerances);
    run.symmetry = familySymmetry(input);
    if (rows.size() <= kMaxFamilyRows) run.families = groupFamilies(rows, run.misfits, run.symmetry);
    run.leadingRows = leadingRows(rows, run.misfits, run.families);
    std::vector<int> familyOfGroup = run.families.familyOfRow;
    familyOfGroup.resize(rows.size(), 0);
    run.table = ResultTableModel::prepareRows(rows, sort, run.misfits, familyOfGroup);
    if (keepRows) run.rows = std::move(result.rows);
    return run;
}

void IndexingOperations::finishRun(CompletedRun run) {
    m_lastRows = std::move(run.rows);
    m_lastEnd = run.end;
    m_misfits = std::move(run.misfits);
    m_symmetry = std::move(run.symmetry);
    m_families = std::move(run.families);
    m_leadingRows = std::move(run.leadingRows);
    m_model.resultTable()->adoptRows(std::move(run.table), rgb(kBuiltRgb));
    m_model.setCaption(Caption::Label22, QString::number(run.rowCount));
    if (m_lastEnd == RunEnd::RowLimit)
        m_prompts.warn(m_cutRowsShown ? rowLimitMessage(m_rowLimit) : rowLimitNoRowsMessage(m_rowLimit), QString());
    if (m_lastEnd == RunEnd::Cancelled)
        m_model.showStatus(QCoreApplication::translate("saed::indexing::IndexingOperations",
                                                       "计算已取消，保留已找到的%1行。")
                               .arg(run.rowCount));

    m_model.setCaption(Caption::Label16, model::planeLabelIdleText());
    m_model.setCaption(Caption::Label15, model::planeLabelIdleText());
    m_model.setCaption(Caption::Label14, model::planeLabelIdleText());
    m_model.setCaption(Caption::Label17, model::zoneLabelIdleText());
}

void IndexingOperations::ShowMeasuredValues() {
    const std::array<double, 3> d = measuredSpacings(m_model);
    const auto spacing = [](double v) { return fromStd(core::formatSpacing(v)); };
    const auto angle = [](double v) { return fromStd(core::formatAngle(v)); };
    const QString text = spacing(d[0]) + QStringLiteral("   ") + spacing(d[1]) + QStringLiteral("   ") +
                         spacing(d[2]) + QStringLiteral("      ") + angle(m_model.value(Field::AngleR1R2)) +
                         QStringLiteral("   ") + angle(m_model.value(Field::AngleR2R3)) + QStringLiteral("    ") +
                         angle(m_model.value(Field::AngleR1R3));
    m_model.setCaption(Caption::Label5, text);
}

void IndexingOperations::runFromButton() {
    m_model.setCaption(Caption::Command6, QStringLiteral("……"));
    sortNextTableByLabel();
    RunIndexing();
    finishButtonRun();
}

void IndexingOperations::startRunFromButton() {
    if (m_worker != nullptr) return;
    m_model.setCaption(Caption::Command6, QStringLiteral("……"));
    sortNextTableByLabel();
    const std::optional<IndexingInput> input = beginRun();
    if (!input) {
        finishButtonRun();
        return;
    }
    startWorker(*input, [this](double share) { emit runProgress(static_cast<int>(std::lround(share * 1000) / 10)); }, [this] {
        finishButtonRun();
        emit runFinished();
    });
    emit runStarted();
}

bool IndexingOperations::startRunIndexing(std::function<void()> done, std::function<void(double)> progress) {
    if (m_worker != nullptr) return false;
    const std::optional<IndexingInput> input = beginRun();
    if (!input) {
        QTimer::singleShot(0, this, std::move(done));
        return true;
    }
    startWorker(*input, std::move(progress), std::move(done));
    return true;
}

void IndexingOperations::startWorker(const IndexingInput& input, std::function<void(double)> progress,
                                     std::function<void()> done) {
    // The worker owns nothing of the model: it gets a copy of the input and leaves its rows in
    // the shared state, which the GUI thread takes when the thread has finished.
    m_run = std::make_shared<WorkerRun>();
    std::shared_ptr<WorkerRun> run = m_run;
    Search search = m_search ? m_search : Search([](const IndexingInput& in, const RunControl& control) {
        return indexPattern(in, control);
    });
    // The rows are turned into the table's storage on the worker as well: the window takes them
    // in without work per row.
    m_worker = QThread::create([run, in = input, limit = m_rowLimit, search = std::move(search),
                                sort = m_model.resultTable()->sortSetting(), keep = m_keepLastRows] {
        RunControl control;
        control.rowLimit = limit;
        control.cancelled = [&run] { return run->cancel.load(); };
        control.progress = [&run](double f) { run->permille = static_cast<int>(f * 1000); };
        try {
            run->result = completeRun(search(in, control), in, sort, keep);
        } catch (const std::bad_alloc&) {
            run->result = {};
            run->error = QCoreApplication::translate(
                "saed::indexing::IndexingOperations",
                "内存不足，计算已停止。请缩小误差范围或指数范围后重新计算。");
        } catch (const std::exception& e) {
            run->result = {};
            run->error =
                QCoreApplication::translate("saed::indexing::IndexingOperations", "计算出错：") +
                QString::fromLocal8Bit(e.what());
        }
    });
    auto* timer = new QTimer(m_worker);
    timer->setInterval(100);
    connect(timer, &QTimer::timeout, this, [run, progress] {
        if (progress) progress(run->permille.load() / 1000.0);
    });
    connect(m_worker, &QThread::finished, this, [this, run, timer, done = std::move(done)] {
        timer->stop();
        m_worker->deleteLater();
        m_worker = nullptr;
        m_run.reset();
        m_lastSearchFailed = !run->error.isEmpty();
        if (m_lastSearchFailed) m_prompts.warn(run->error, QString());
        finishRun(std::move(run->result));
        if (done) done();
    });
    timer->start();
    m_worker->start();
}

// The button's table ends sorted by label; with that setting made on the emptied table the rows
// are built in their places instead of being sorted afterwards.
void IndexingOperations::sortNextTableByLabel() {
    ResultTableModel* table = m_model.resultTable();
    table->clearRows();
    table->sortBy(0, Qt::AscendingOrder);
}

void IndexingOperations::cancelRun() {
    if (m_run) m_run->cancel = true;
}

void IndexingOperations::finishButtonRun() {
    ResultTableModel* table = m_model.resultTable();
    table->sortBy(0, Qt::AscendingOrder);
    table->setAllLabelColors(rgb(kBuiltRgb));
    if (m_inputRejected == 0) m_model.setFlag(model::Flag::LatticeLocked, true);
    if (m_inputRejected == 0 && !m_lastSearchFailed && m_lastEnd == RunEnd::Complete && table->rowCount() == 0)
        m_model.showStatus(noRowsMessage());
    m_model.setCaption(Caption::Command6,
                       model::captionSource(QT_TRANSLATE_NOOP("saed::model::Caption", "标定计算")));
}

void IndexingOperations::RescreenTable() {
    ResultTableModel* table = m_model.resultTable();
    const double scaleReading = m_model.value(Field::ScaleReading);
    const double scaleLength = m_model.value(Field::ScaleLength);
    // dn = (Nn / Ln) * (Lbar / S); none when a divisor is 0 or the result is not finite.
    std::array<std::optional<double>, 3> measured;
    for (std::size_t i = 0; i < 3; ++i) {
        const double length = m_model.value(fieldNumber(Field::LengthR1, static_cast<int>(i)));
        if (length == 0 || scaleReading == 0) continue;
        const double d = (m_model.value(fieldNumber(Field::SegmentsR1, static_cast<int>(i))) / length) * (scaleLength / scaleReading);
        if (std::isfinite(d)) measured[i] = d;
    }
    std::array<double, 3> tolD{}, tolA{}, angles{};
    for (std::size_t i = 0; i < 3; ++i) {
        tolD[i] = m_model.value(fieldNumber(Field::TolD1, static_cast<int>(i)));
        tolA[i] = m_model.value(fieldNumber(Field::TolAngle12, static_cast<int>(i)));
        angles[i] = m_model.value(fieldNumber(Field::AngleR1R2, static_cast<int>(i)));
    }
    const bool computable = measured[0] && measured[1] && measured[2];

    // The shown (rounded) spacings and angles are screened, as the user reads them.
    const int count = !computable ? 0 : table->setLabelColorWhere([&](int r) {
        for (std::size_t i = 0; i < 3; ++i)
            if (!(std::abs(table->shownNumber(r, core::kSpacingColumns[i]) - *measured[i]) < tolD[i])) return false;
        for (std::size_t i = 0; i < 3; ++i)
            if (!(std::abs(table->shownNumber(r, core::kAngleColumns[i]) - angles[i]) < tolA[i])) return false;
        return true;
    }, rgb(kPassedRgb));
    m_model.setCaption(Caption::Label22, QString::number(count));
}

void IndexingOperations::fieldChanged(int n) {
    const int k = toleranceSlider(n);
    if (k == 0) return;
    m_model.resultTable()->setAllLabelColors(rgb(kFailedRgb));
    m_model.setSlider(k, sliderPosition(k, m_model.value(n)));
    RescreenTable();
}

// A write that leaves the text as it was is still a change of the field.
void IndexingOperations::writeTolerance(int n, const QString& text) {
    if (m_model.Text1(n) == text)
        fieldChanged(n);
    else
        m_model.setText1(n, text);
}

void IndexingOperations::sliderMoved(int k, int p) {
    const int n = toleranceField(k);
    if (n < 0) return;
    m_model.setSlider(k, p);
    writeTolerance(n, fromStd(toleranceText(k, p)));
}

void IndexingOperations::resetTolerances() {
    const QString spacing = fromStd(core::formatFixed(0.008, 4, false));
    for (Field f : {Field::TolD1, Field::TolD2, Field::TolD3}) writeTolerance(fieldNumber(f), spacing);
    for (Field f : {Field::TolAngle12, Field::TolAngle23, Field::TolAngle13}) writeTolerance(fieldNumber(f), QStringLiteral("2"));
}

}  // namespace saed::indexing
