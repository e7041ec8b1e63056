// SPDX-License-Identifier: BSD-3-Clause
// The indexing search with its index of list 3 against the plain triple loop, the indexing
// run on the working data with a table of many rows, and the grouping of rows into families.
#include <benchmark/benchmark.h>

#include <utility>

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "indexing/indexingengine.h"
#include "indexing/indexingoperations.h"
#include "indexing/solutionfamilies.h"
#include "core/holohedry.h"
#include "analysis/runmatch.h"

namespace {

using saed::core::Hkl;
using saed::indexing::IndexingInput;

IndexingInput cubicExample() {
    IndexingInput input;
    input.cell = {0.5, 0.5, 0.5, 90, 90, 90};
    input.rangeN = 1;
    input.measured.spacingNm = {0.5, 0.5, 1 * (100 / 2.0) / 141.42};
    input.measured.angleDeg = {90, 45, 45};
    return input;
}

// 14H LPSO (a = b = 0.325 nm, c = 3.722 nm, gamma = 120, simple) with the spacings and angles of
// three real reflections g1, g2, g1 + g2 and the default tolerances.
IndexingInput lpso14H(int n, const Hkl& g1, const Hkl& g2) {
    IndexingInput input;
    input.cell = {0.325, 0.325, 3.722, 90, 90, 120};
    input.rangeN = n;
    const auto gs = saed::core::ReciprocalMetric(input.cell);
    const Hkl g3{g1[0] + g2[0], g1[1] + g2[1], g1[2] + g2[2]};
    input.measured.spacingNm = {*saed::core::Spacing(gs, g1), *saed::core::Spacing(gs, g2), *saed::core::Spacing(gs, g3)};
    input.measured.angleDeg = {*saed::core::PlaneAngle(gs, g1, g2), *saed::core::PlaneAngle(gs, g2, g3),
                               *saed::core::PlaneAngle(gs, g1, g3)};
    return input;
}

// Low-index pattern: (1 0 0) + (0 1 0) = (1 1 0), d = 0.2815, 0.2815, 0.1625 nm.
IndexingInput lpsoLow(int n) { return lpso14H(n, {1, 0, 0}, {0, 1, 0}); }
// Pattern with higher-order spots: (2 0 7) + (0 2 7) = (2 2 14), d = 0.1360, 0.1360, 0.0777 nm.
IndexingInput lpsoHigh(int n) { return lpso14H(n, {2, 0, 7}, {0, 2, 7}); }

// The search with the default row limit (the overloads need a name to pass).
std::vector<saed::indexing::ResultRow> index(const IndexingInput& input) { return saed::indexing::indexPattern(input); }

template <typename Search>
void run(benchmark::State& state, const IndexingInput& input, Search search) {
    std::size_t rows = 0;
    for (auto _ : state) {
        auto result = search(input);
        rows = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_CubicExample_Index(benchmark::State& s) { run(s, cubicExample(), index); }
void BM_CubicExample_TripleLoop(benchmark::State& s) { run(s, cubicExample(), saed::indexing::indexPatternTripleLoop); }
void BM_Lpso14HLow_Index(benchmark::State& s) { run(s, lpsoLow(static_cast<int>(s.range(0))), index); }
void BM_Lpso14HLow_TripleLoop(benchmark::State& s) {
    run(s, lpsoLow(static_cast<int>(s.range(0))), saed::indexing::indexPatternTripleLoop);
}
void BM_Lpso14HHigh_Index(benchmark::State& s) { run(s, lpsoHigh(static_cast<int>(s.range(0))), index); }
void BM_Lpso14HHigh_TripleLoop(benchmark::State& s) {
    run(s, lpsoHigh(static_cast<int>(s.range(0))), saed::indexing::indexPatternTripleLoop);
}

BENCHMARK(BM_CubicExample_Index)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CubicExample_TripleLoop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Lpso14HLow_Index)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lpso14HLow_TripleLoop)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lpso14HHigh_Index)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lpso14HHigh_TripleLoop)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);

class NoPrompts : public saed::model::Prompts {
public:
    void warn(const QString&, const QString&) override {}
    bool confirm(const QString&, const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> openImagePath(const QString&) override { return std::nullopt; }
};

// A cubic pattern with N = 4 (or n) whose tolerances accept every triple: 224,796 rows at
// N = 4, about 750,000 at N = 5.
void fillManyRows(saed::model::MainModel& model, const char* n = "4") {
    model.setCombo1Items(saed::model::latticeTypeNames());
    model.setCombo1(saed::core::LatticeType::Simple);
    using saed::model::Field;
    const std::pair<Field, const char*> texts[] = {
        {Field::A, "0.5"},          {Field::B, "0.5"},          {Field::C, "0.5"},
        {Field::Alpha, "90"},       {Field::Beta, "90"},        {Field::Gamma, "90"},
        {Field::Range, n},          {Field::ScaleReading, "2"}, {Field::ScaleLength, "100"},
        {Field::LengthR1, "100"},   {Field::LengthR2, "100"},   {Field::LengthR3, "141.42"},
        {Field::SegmentsR1, "1"},   {Field::SegmentsR2, "1"},   {Field::SegmentsR3, "1"},
        {Field::AngleR1R2, "90"},   {Field::AngleR2R3, "90"},   {Field::AngleR1R3, "90"},
        {Field::TolD1, "100"},      {Field::TolD2, "100"},      {Field::TolD3, "100"},
        {Field::TolAngle12, "91"},  {Field::TolAngle23, "91"},  {Field::TolAngle13, "91"}};
    for (const auto& [field, text] : texts) model.setText1(field, QString::fromLatin1(text));
}

// The search alone on the same pattern.
void BM_SearchOnly_ManyRows(benchmark::State& state) {
    saed::model::MainModel model;
    fillManyRows(model);
    run(state, saed::indexing::readIndexingInput(model), index);
}
BENCHMARK(BM_SearchOnly_ManyRows)->Unit(benchmark::kMillisecond);

// The 标定计算 button without the window: run, table of texts, sort by label.
void BM_RunFromButton_ManyRows(benchmark::State& state) {
    saed::model::MainModel model;
    NoPrompts prompts;
    saed::indexing::IndexingOperations operations(model, prompts);
    fillManyRows(model);
    for (auto _ : state) operations.runFromButton();
    state.counters["rows"] = model.resultTable()->rowCount();
}
BENCHMARK(BM_RunFromButton_ManyRows)->Unit(benchmark::kMillisecond);

// One tolerance change on that table: every label red, then the re-screening.
void BM_ToleranceChange_ManyRows(benchmark::State& state) {
    saed::model::MainModel model;
    NoPrompts prompts;
    saed::indexing::IndexingOperations operations(model, prompts);
    fillManyRows(model);
    operations.runFromButton();
    int p = 0;
    for (auto _ : state) operations.sliderMoved(1, 50 + (p++ % 2));
    state.counters["rows"] = model.resultTable()->rowCount();
}
BENCHMARK(BM_ToleranceChange_ManyRows)->Unit(benchmark::kMillisecond);

// The 750k-row press: the search alone and the whole button (search, table, label sort) side by
// side, then a slider move and a header click on that table.
void BM_SearchOnly_750k(benchmark::State& state) {
    saed::model::MainModel model;
    fillManyRows(model, "5");
    run(state, saed::indexing::readIndexingInput(model), index);
}
BENCHMARK(BM_SearchOnly_750k)->Unit(benchmark::kMillisecond);

void BM_RunFromButton_750k(benchmark::State& state) {
    saed::model::MainModel model;
    NoPrompts prompts;
    saed::indexing::IndexingOperations operations(model, prompts);
    fillManyRows(model, "5");
    for (auto _ : state) operations.runFromButton();
    state.counters["rows"] = model.resultTable()->rowCount();
}
BENCHMARK(BM_RunFromButton_750k)->Unit(benchmark::kMillisecond);

void BM_SliderMove_750k(benchmark::State& state) {
    saed::model::MainModel model;
    NoPrompts prompts;
    saed::indexing::IndexingOperations operations(model, prompts);
    fillManyRows(model, "5");
    operations.runFromButton();
    int p = 0;
    for (auto _ : state) operations.sliderMoved(1, 50 + (p++ % 2));
    state.counters["rows"] = model.resultTable()->rowCount();
}
BENCHMARK(BM_SliderMove_750k)->Unit(benchmark::kMillisecond);

void BM_HeaderClick_750k(benchmark::State& state) {
    saed::model::MainModel model;
    NoPrompts prompts;
    saed::indexing::IndexingOperations operations(model, prompts);
    fillManyRows(model, "5");
    operations.runFromButton();
    int c = 0;
    const int columns[] = {13, 0, 2, 18};
    for (auto _ : state) model.resultTable()->headerClicked(columns[c++ % 4]);
    state.counters["rows"] = model.resultTable()->rowCount();
}
BENCHMARK(BM_HeaderClick_750k)->Unit(benchmark::kMillisecond);

// The run that used to grow without end (14H LPSO cell, N = 20, tolerances as wide as the
// spacing): it stops at the row limit.
void BM_UnboundedRun_StopsAtLimit(benchmark::State& state) {
    IndexingInput input;
    input.cell = {0.325, 0.325, 3.722, 90, 90, 120};
    input.rangeN = 20;
    input.measured.spacingNm = {0.05, 0.05, 0.05};
    input.measured.angleDeg = {60, 30, 30};
    input.tolerances.spacingNm = {0.05, 0.05, 0.05};
    input.tolerances.angleDeg = {10, 10, 10};
    run(state, input, index);
}
BENCHMARK(BM_UnboundedRun_StopsAtLimit)->Unit(benchmark::kMillisecond)->Iterations(1);

// The grouping into families alone: rows, misfits and the cell's holohedry made once, the
// grouping timed.
void groupRows(benchmark::State& state, const IndexingInput& input) {
    const std::vector<saed::indexing::ResultRow> rows = index(input);
    std::vector<double> misfits;
    misfits.reserve(rows.size());
    for (const auto& r : rows) misfits.push_back(saed::indexing::misfit(r, input.measured, input.tolerances));
    const std::vector<saed::core::LatticeOp> ops = saed::core::holohedry(input.cell);
    std::size_t families = 0;
    for (auto _ : state) {
        const saed::indexing::FamilyGrouping grouping = saed::indexing::groupFamilies(rows, misfits, ops);
        families = grouping.families.size();
        benchmark::DoNotOptimize(grouping.familyOfRow.data());
    }
    state.counters["rows"] = static_cast<double>(rows.size());
    state.counters["families"] = static_cast<double>(families);
}

// The 750k-row table of the cubic pattern above (N = 5, every triple accepted).
void BM_GroupFamilies_750k(benchmark::State& state) {
    saed::model::MainModel model;
    fillManyRows(model, "5");
    groupRows(state, saed::indexing::readIndexingInput(model));
}
BENCHMARK(BM_GroupFamilies_750k)->Unit(benchmark::kMillisecond);

// Aluminium (a = 0.40495 nm, face-centred, N = 4): {3 1 1} + {2 2 0} = {3 1 1} measured exactly,
// 72 rows, 48 in <4 1 1> zones and 24 in <1 1 0>.
void BM_GroupFamilies_Aluminium72(benchmark::State& state) {
    IndexingInput input;
    input.cell = {0.40495, 0.40495, 0.40495, 90, 90, 90};
    input.latticeType = saed::core::LatticeType::FaceCentred;
    input.rangeN = 4;
    const Hkl g1{3, 1, -1}, g2{0, -2, 2}, g3{3, -1, 1};
    const auto gs = saed::core::ReciprocalMetric(input.cell);
    input.measured.spacingNm = {*saed::core::Spacing(gs, g1), *saed::core::Spacing(gs, g2), *saed::core::Spacing(gs, g3)};
    input.measured.angleDeg = {*saed::core::PlaneAngle(gs, g1, g2), *saed::core::PlaneAngle(gs, g2, g3),
                               *saed::core::PlaneAngle(gs, g1, g3)};
    groupRows(state, input);
}
BENCHMARK(BM_GroupFamilies_Aluminium72)->Unit(benchmark::kMicrosecond);

// The rows of a run of about 2 million (the many-row cell at range 6).
std::vector<saed::core::ResultRow> twoMillionRows() {
    saed::model::MainModel model;
    fillManyRows(model, "6");
    return saed::indexing::indexPattern(saed::indexing::readIndexingInput(model), {}).rows;
}

// What the window's thread does with a run of 2 million rows: it takes in the rows the worker
// prepared (adoptRows), against building the table from the rows (buildResults), which the
// worker now does.
void BM_AdoptPreparedRows_2M(benchmark::State& state) {
    const std::vector<saed::core::ResultRow> rows = twoMillionRows();
    saed::model::ResultTableModel table;
    table.sortBy(0, Qt::AscendingOrder);
    for (auto _ : state) {
        state.PauseTiming();
        table.clearRows();
        auto prepared = saed::model::ResultTableModel::prepareRows(rows, table.sortSetting());
        state.ResumeTiming();
        table.adoptRows(std::move(prepared), QColor(225, 0, 0));
    }
    state.counters["rows"] = table.rowCount();
}
BENCHMARK(BM_AdoptPreparedRows_2M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildResults_2M(benchmark::State& state) {
    const std::vector<saed::core::ResultRow> rows = twoMillionRows();
    saed::model::ResultTableModel table;
    table.sortBy(0, Qt::AscendingOrder);
    for (auto _ : state) {
        state.PauseTiming();
        table.clearRows();
        state.ResumeTiming();
        table.buildResults(rows, QColor(225, 0, 0));
    }
    state.counters["rows"] = table.rowCount();
}
BENCHMARK(BM_BuildResults_2M)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 2-million-row run and an image frame with 81 detected spots, for the match of the run.
struct MatchSetup {
    saed::model::MainModel model;
    NoPrompts prompts;
    saed::indexing::IndexingOperations operations{model, prompts};
    saed::simulation::ImageFrame frame;
    std::vector<saed::simulation::PixelPoint> detected;
    MatchSetup() {
        operations.setKeepLastRows(false);  // as in the window: the table holds the rows
        fillManyRows(model, "6");
        operations.runFromButton();
        frame.centre = {512, 512};
        frame.r1End = {612, 512};
        frame.r2End = {512, 612};
        frame.widthPx = frame.heightPx = 1024;
        for (int i = -4; i <= 4; ++i)
            for (int j = -4; j <= 4; ++j) detected.push_back({512.0 + 100 * i, 512.0 + 100 * j});
    }
};

// What the window's thread does for the match after a run or a new line: it takes copies of
// the leading rows and families for the worker (against the match itself, below, which the
// window's thread used to do).
void BM_MatchInputTaken_2M(benchmark::State& state) {
    const MatchSetup setup;
    std::size_t leading = 0;
    for (auto _ : state) {
        const saed::analysis::RunMatchInput input = saed::analysis::lastRunMatchInput(setup.operations);
        leading = input.leading.size();
        benchmark::DoNotOptimize(input.leading.data());
    }
    state.counters["rows"] = setup.model.resultTable()->rowCount();
    state.counters["leading"] = static_cast<double>(leading);
}
BENCHMARK(BM_MatchInputTaken_2M)->Unit(benchmark::kMillisecond);

// The match on the worker: the leading rows simulated and compared with the spots, one value
// per group.
void BM_MatchOnWorker_2M(benchmark::State& state) {
    const MatchSetup setup;
    const saed::analysis::RunMatchInput input = saed::analysis::lastRunMatchInput(setup.operations);
    for (auto _ : state) {
        saed::analysis::RunMatch match = input.match(setup.frame, setup.detected);
        benchmark::DoNotOptimize(match.rowMatch.data());
    }
    state.counters["rows"] = setup.model.resultTable()->rowCount();
}
BENCHMARK(BM_MatchOnWorker_2M)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
