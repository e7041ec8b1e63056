// SPDX-License-Identifier: BSD-3-Clause
// The calculator panel's operations on the working data: calculate, clear, and a result row.
#include "calculator/calculatoroperations.h"

#include <array>

#include <QCoreApplication>  // for translate

#include "model/mainmodel.h"
#include "model/prompts.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "calculator/calculator.h"
#include "core/lattice.h"
#include "core/numbertext.h"

namespace saed::calculator {

namespace {

// Index fields of planes 1, 2, 3 (h, k, l each).
using model::Field;
constexpr std::array<std::array<Field, 3>, 3> kIndexFields{{{Field::H1, Field::K1, Field::L1},
                                                           {Field::H2, Field::K2, Field::L2},
                                                           {Field::H3, Field::K3, Field::L3}}};

QString numberText(double value) { return QString::fromStdString(core::generalText(value)); }

QString planeLabel(const model::MainModel& model, const std::array<Field, 3>& fields) {
    return QStringLiteral("（") + model.Text1(fields[0]) + QLatin1Char(' ') +
           model.Text1(fields[1]) + QLatin1Char(' ') + model.Text1(fields[2]) +
           QStringLiteral("）");
}

}  // namespace

const char* notACellMessage() {
    return QT_TRANSLATE_NOOP("saed::calculator", "点阵参数无法构成晶胞！");
}

bool calculate(model::MainModel& model, model::Prompts& prompts) {
    for (int n = fieldNumber(Field::H1); n <= fieldNumber(Field::L3); ++n) {
        if (!model.isNumeric(n)) {
            model.requestFocus(n);
            prompts.warn(model::notNumericMessage(), QString());
            return false;
        }
    }

    std::array<Plane, 3> planes{};
    for (std::size_t j = 0; j < 3; ++j)
        for (std::size_t i = 0; i < 3; ++i) planes[j][i] = model.value(kIndexFields[j][i]);
    const core::Cell cell{model.value(Field::A),     model.value(Field::B),    model.value(Field::C),
                          model.value(Field::Alpha), model.value(Field::Beta), model.value(Field::Gamma)};
    const CalculatorResult result = calculate(planes, cell);

    for (int i = 0; i < 3; ++i)
        model.setText1(fieldNumber(Field::ZoneU, i), numberText(result.zoneAxis[static_cast<std::size_t>(i)]));
    for (int i = 0; i < 3; ++i) {
        const auto& angle = result.anglesDeg[static_cast<std::size_t>(i)];
        model.setText1(fieldNumber(Field::CalcAngle12, i), angle ? numberText(*angle) : model::calculatorOutputIdleText());
    }
    constexpr std::array<model::Caption, 3> spacingLabels{
        model::Caption::Label1_47, model::Caption::Label1_48, model::Caption::Label1_49};
    for (int j = 0; j < 3; ++j) {
        const auto& spacing = result.spacingsNm[static_cast<std::size_t>(j)];
        model.setCaption(spacingLabels[static_cast<std::size_t>(j)],
                         spacing ? QStringLiteral("d%1=").arg(j + 1) +
                                       QString::fromStdString(core::formatSpacing(*spacing))
                                 : model::spacingLabelIdleText(j + 1));
    }
    model.setCaption(model::Caption::Label16, planeLabel(model, kIndexFields[0]));
    model.setCaption(model::Caption::Label15, planeLabel(model, kIndexFields[1]));
    model.setCaption(model::Caption::Label14, planeLabel(model, kIndexFields[2]));
    model.setCaption(model::Caption::Label17,
                     QStringLiteral("Z=[") + model.Text1(Field::ZoneU) + QLatin1Char(' ') + model.Text1(Field::ZoneV) +
                         QLatin1Char(' ') + model.Text1(Field::ZoneW) + QLatin1Char(']'));
    if (!result.cellValid) {
        model.requestFocus(core::cellFaultField(core::cellFault(cell)));
        prompts.warn(QCoreApplication::translate("saed::calculator", notACellMessage()), QString());
    }
    return true;
}

void clearCalculator(model::MainModel& model) {
    for (const auto& plane : kIndexFields)
        for (Field f : plane) model.setText1(f, QString());
    for (Field f : {Field::ZoneU, Field::ZoneV, Field::ZoneW, Field::CalcAngle12, Field::CalcAngle23, Field::CalcAngle13})
        model.setText1(f, model::calculatorOutputIdleText());
    model.setCaption(model::Caption::Label1_47, model::spacingLabelIdleText(1));
    model.setCaption(model::Caption::Label1_48, model::spacingLabelIdleText(2));
    model.setCaption(model::Caption::Label1_49, model::spacingLabelIdleText(3));
    model.setCaption(model::Caption::Label16, model::planeLabelIdleText());
    model.setCaption(model::Caption::Label15, model::planeLabelIdleText());
    model.setCaption(model::Caption::Label14, model::planeLabelIdleText());
    model.setCaption(model::Caption::Label17, model::zoneLabelIdleText());
}

bool calculateFromResultRow(model::MainModel& model, model::Prompts& prompts, int row) {
    const model::ResultTableModel& table = *model.resultTable();
    if (row < 0 || row >= table.rowCount()) return false;
    // Sub-items 1-3, 5-7 and 9-11 hold h, k, l of R1, R2 and R3.
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            model.setText1(kIndexFields[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)],
                           table.cell(row, 1 + 4 * j + i));
    return calculate(model, prompts);
}

}  // namespace saed::calculator
