#include "indexing/indexingoperations.h"

#include <bit>      // for bit_cast
#include <cmath>    // for abs, isfinite
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

#include <QColor>

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "core/numbertext.h"
#include "indexing/resultcells.h"
#include "indexing/tolerancescale.h"

namespace saed::indexing {

namespace {

using model::Caption;
using model::ResultTableModel;

constexpr int kToleranceFields[6] = {27, 28, 29, 36, 37, 38};

QColor rgb(const int (&c)[3]) { return QColor(c[0], c[1], c[2]); }

QString fromStd(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Texts of equal numbers share one string, so that a large table costs one allocation per
// distinct value and the formatting runs once per value.
class TextCache {
public:
    template <typename Format>
    const QString& get(double value, Format format) {
        auto [it, inserted] = m_texts.try_emplace(std::bit_cast<std::uint64_t>(value));
        if (inserted) it->second = fromStd(format(value));
        return it->second;
    }

private:
    std::unordered_map<std::uint64_t, QString> m_texts;
};

// The leading-number reading of a cell text; cells hold ASCII numbers.
double cellValue(const QString& text) {
    char buffer[64];
    std::size_t length = 0;
    for (QChar c : text) {
        if (length == sizeof buffer || c.unicode() > 0x7f) break;
        buffer[length++] = static_cast<char>(c.unicode());
    }
    return core::leadingNumber(std::string_view(buffer, length));
}

}  // namespace

int toleranceField(int k) { return (k >= 1 && k <= 6) ? kToleranceFields[k - 1] : -1; }

int toleranceSlider(int n) {
    for (int k = 1; k <= 6; ++k)
        if (kToleranceFields[k - 1] == n) return k;
    return 0;
}

std::array<double, 3> measuredSpacings(const model::MainModel& model) {
    const double s = model.value(23) / model.value(22);
    std::array<double, 3> d{};
    for (int i = 0; i < 3; ++i) d[static_cast<std::size_t>(i)] = model.value(30 + i) * s / model.value(24 + i);
    return d;
}

IndexingInput readIndexingInput(const model::MainModel& model) {
    IndexingInput input;
    input.cell = {model.value(0), model.value(1), model.value(2), model.value(3), model.value(4), model.value(5)};
    input.latticeType = model.Combo1();
    const double n = roundHalfEven(model.value(21));
    input.rangeN = (n >= 0 && n <= 1e6) ? static_cast<int>(n) : -1;
    input.measured.spacingNm = measuredSpacings(model);
    for (std::size_t i = 0; i < 3; ++i) {
        input.measured.angleDeg[i] = model.value(33 + static_cast<int>(i));
        input.tolerances.spacingNm[i] = model.value(27 + static_cast<int>(i));
        input.tolerances.angleDeg[i] = model.value(36 + static_cast<int>(i));
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

void IndexingOperations::RunIndexing() {
    m_model.resultTable()->clearRows();
    m_model.setCaption(Caption::Label22, QStringLiteral("0"));
    m_lastRows.clear();
    m_inputRejected = 0;

    for (int n = 0; n < model::MainModel::kText1Count; ++n) {
        if ((n > 5 && n < 21) || m_model.isNumeric(n)) continue;
        reject(n, model::notNumericMessage());
        return;
    }
    const double range = roundHalfEven(m_model.value(21));
    if (!(range >= 0 && range <= 99)) {
        reject(21, rangeMessage());
        return;
    }
    for (int n : {22, 24, 25, 26}) {
        if (m_model.value(n) == 0) {
            reject(n, zeroLengthMessage());
            return;
        }
    }
    const IndexingInput input = readIndexingInput(m_model);
    if (!core::isCell(input.cell)) {
        reject(-1, notACellMessage());
        return;
    }

    ShowMeasuredValues();
    m_lastRows = indexPattern(input);
    fillTable();

    m_model.setCaption(Caption::Label16, model::planeLabelIdleText());
    m_model.setCaption(Caption::Label15, model::planeLabelIdleText());
    m_model.setCaption(Caption::Label14, model::planeLabelIdleText());
    m_model.setCaption(Caption::Label17, model::zoneLabelIdleText());
}

void IndexingOperations::fillTable() {
    const QString plus = fromStd(kPlusText);
    const QString equals = fromStd(kEqualsText);
    const QString diamond = fromStd(kDiamondText);
    const QColor labelColor = rgb(kBuiltRgb);
    TextCache spacingTexts, angleTexts;
    std::unordered_map<int, QString> indexTexts;
    auto indexText = [&indexTexts](int i) -> const QString& {
        auto [it, inserted] = indexTexts.try_emplace(i);
        if (inserted) it->second = QString::number(i);
        return it->second;
    };

    std::vector<ResultTableModel::Row> rows(m_lastRows.size());
    for (std::size_t r = 0; r < m_lastRows.size(); ++r) {
        const ResultRow& result = m_lastRows[r];
        auto& cells = rows[r].cells;
        cells[0] = fromStd(groupLabel(static_cast<long long>(r) + 1));
        const Hkl* planes[3] = {&result.g1, &result.g2, &result.g3};
        const QString* after[3] = {&plus, &equals, &diamond};
        for (std::size_t g = 0; g < 3; ++g) {
            for (std::size_t a = 0; a < 3; ++a) cells[1 + 4 * g + a] = indexText((*planes[g])[a]);
            cells[4 + 4 * g] = *after[g];
        }
        for (std::size_t i = 0; i < 3; ++i)
            cells[13 + i] = spacingTexts.get(result.spacingNm[i], [](double v) { return core::formatSpacing(v); });
        cells[16] = diamond;
        for (std::size_t i = 0; i < 3; ++i)
            cells[17 + i] = angleTexts.get(result.angleDeg[i], [](double v) { return core::formatAngle(v); });
        rows[r].labelColor = labelColor;
    }
    m_model.resultTable()->build(std::move(rows));
    m_model.setCaption(Caption::Label22, QString::number(m_lastRows.size()));
}

void IndexingOperations::ShowMeasuredValues() {
    const std::array<double, 3> d = measuredSpacings(m_model);
    const auto spacing = [](double v) { return fromStd(core::formatSpacing(v)); };
    const auto angle = [](double v) { return fromStd(core::formatAngle(v)); };
    const QString text = spacing(d[0]) + QStringLiteral("   ") + spacing(d[1]) + QStringLiteral("   ") +
                         spacing(d[2]) + QStringLiteral("      ") + angle(m_model.value(33)) +
                         QStringLiteral("   ") + angle(m_model.value(34)) + QStringLiteral("    ") +
                         angle(m_model.value(35));
    m_model.setCaption(Caption::Label5, text);
}

void IndexingOperations::runFromButton() {
    m_model.setCaption(Caption::Command6, QStringLiteral("……"));
    RunIndexing();
    ResultTableModel* table = m_model.resultTable();
    table->sortBy(0, Qt::AscendingOrder);
    table->setAllLabelColors(rgb(kBuiltRgb));
    if (m_inputRejected == 0) m_model.setFlag(model::Flag::LatticeLocked, true);
    m_model.setCaption(Caption::Command6, QStringLiteral("标定计算"));
}

void IndexingOperations::RescreenTable() {
    ResultTableModel* table = m_model.resultTable();
    const double scaleReading = m_model.value(22);
    const double scaleLength = m_model.value(23);
    // dn = (Nn / Ln) * (Lbar / S); none when a divisor is 0 or the result is not finite.
    std::array<std::optional<double>, 3> measured;
    for (std::size_t i = 0; i < 3; ++i) {
        const double length = m_model.value(24 + static_cast<int>(i));
        if (length == 0 || scaleReading == 0) continue;
        const double d = (m_model.value(30 + static_cast<int>(i)) / length) * (scaleLength / scaleReading);
        if (std::isfinite(d)) measured[i] = d;
    }
    std::array<double, 3> tolD{}, tolA{}, angles{};
    for (std::size_t i = 0; i < 3; ++i) {
        tolD[i] = m_model.value(27 + static_cast<int>(i));
        tolA[i] = m_model.value(36 + static_cast<int>(i));
        angles[i] = m_model.value(33 + static_cast<int>(i));
    }
    const bool computable = measured[0] && measured[1] && measured[2];

    int count = 0;
    const int rows = table->rowCount();
    const QColor passed = rgb(kPassedRgb);
    for (int r = 0; computable && r < rows; ++r) {
        bool pass = true;
        for (std::size_t i = 0; pass && i < 3; ++i)
            pass = std::abs(cellValue(table->cell(r, kSpacingColumns[i])) - *measured[i]) < tolD[i];
        for (std::size_t i = 0; pass && i < 3; ++i)
            pass = std::abs(cellValue(table->cell(r, kAngleColumns[i])) - angles[i]) < tolA[i];
        if (!pass) continue;
        table->setLabelColor(r, passed);
        ++count;
    }
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
    for (int n : {27, 28, 29}) writeTolerance(n, spacing);
    for (int n : {36, 37, 38}) writeTolerance(n, QStringLiteral("2"));
}

}  // namespace saed::indexing
