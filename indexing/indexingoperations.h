// The operations of the indexing tab on the working data: the indexing run, the 标定计算
// button, the tolerance sliders and fields, and the re-screening of the result table.
#pragma once

#include <array>
#include <vector>

#include <QObject>
#include <QString>

#include "indexing/indexingengine.h"

namespace saed::model {
class MainModel;
class Prompts;
}  // namespace saed::model

namespace saed::indexing {

// Messages of a run that stops at bad input (each with an OK button and an empty title).
inline QString rangeMessage() { return QStringLiteral("指数范围必须在0到99之间！"); }
inline QString zeroLengthMessage() { return QStringLiteral("标尺示数和测量长度不能为0！"); }
inline QString notACellMessage() { return QStringLiteral("点阵参数无法构成晶胞！"); }

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

    // The 标定计算 button after the magnifier is closed: busy caption, run, sort by the label
    // column, label colours, lattice lock when the input was accepted, caption back.
    void runFromButton();

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

private:
    void reject(int field, const QString& message);
    void fillTable();
    void writeTolerance(int n, const QString& text);

    model::MainModel& m_model;
    model::Prompts& m_prompts;
    int m_inputRejected = 0;
    std::vector<ResultRow> m_lastRows;
};

}  // namespace saed::indexing
