// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli calc: spacings, angles and zone axis of three planes, as the calculator panel.
#include "app/cli/commands.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <array>
#include <cmath>  // for round, fabs
#include <optional>

#include "app/cli/crystaloptions.h"
#include "app/cli/options.h"
#include "core/millerbravais.h"

#include "model/mainmodel.h"
#include "model/scriptedprompts.h"
#include "model/texts.h"
#include "calculator/calculatoroperations.h"

namespace saed::cli {

namespace {

struct Calc {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Calc)
};

const char kCalcUsage[] = QT_TRANSLATE_NOOP("saed::cli::Calc",
    "用法：saedindex-cli calc --cell a,b,c,alpha,beta,gamma --p1 h,k,l --p2 h,k,l --p3 h,k,l\n"
    "                         [--format text|json]\n"
    "\n"
    "给定晶胞（棱长单位 nm，夹角单位度），计算三个晶面的晶面间距、夹角 <R1,R2>、<R2,R3>、\n"
    "<R1,R3>，以及晶面 1 和 2 的晶带轴。六方晶胞的晶面也可给四指数 h,k,i,l（i = -(h+k)），\n"
    "晶带轴另以四指数 [U V T W] 列出（JSON 中为 zoneAxisUvtw）。\n");

// Planes' indices stay within this range, as the calculator's fields hold them.
constexpr double kMaxIndex = 9999;

QJsonValue numberOrNull(const QString& text) {
    if (text == model::calculatorOutputIdleText()) return QJsonValue(QJsonValue::Null);
    QString plain = text;
    plain.remove(QLatin1Char(','));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

// The zone axis the calculator found, for a hexagonal cell whose axis is whole; no value
// otherwise.
std::optional<core::Uvw> fourIndexZone(const model::MainModel& model, const QStringList& cell) {
    QString error;
    const std::optional<core::Cell> parsed = cellFromTexts(cell, error);
    if (!parsed || !core::isHexagonalCell(*parsed)) return std::nullopt;
    core::Uvw zone{};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const double v = model.Text1(model::fieldNumber(model::Field::ZoneU, i)).toDouble(&ok);
        if (!ok || v != std::round(v) || std::fabs(v) > 1e15) return std::nullopt;
        zone[static_cast<std::size_t>(i)] = static_cast<long long>(v);
    }
    if (zone == core::Uvw{0, 0, 0}) return std::nullopt;
    return zone;
}

}  // namespace

int runCalcCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << Calc::tr(kCalcUsage);
        return 0;
    }
    Options options;
    if (!options.parse(args, {QStringLiteral("cell"), QStringLiteral("p1"), QStringLiteral("p2"), QStringLiteral("p3"),
                              QStringLiteral("format")},
                       {})) {
        err << "saedindex-cli calc: " << options.error() << '\n';
        return 2;
    }
    for (const char* name : {"cell", "p1", "p2", "p3"}) {
        if (!options.value(QString::fromLatin1(name)).isEmpty()) continue;
        err << "saedindex-cli calc: " << Calc::tr("--cell、--p1、--p2 和 --p3 都须给出") << "\n\n" << Calc::tr(kCalcUsage);
        return 2;
    }
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json")) {
        err << "saedindex-cli calc: " << Calc::tr("--format 须为 text 或 json，而不是“%1”").arg(format) << '\n';
        return 2;
    }
    // Everything is checked before anything is printed: a refused line prints no table.
    const std::optional<QStringList> cell = options.list(QStringLiteral("cell"), 6);
    QString error;
    const std::optional<core::Cell> parsed = cell ? cellFromTexts(*cell, error) : std::nullopt;
    if (!parsed) {
        err << "saedindex-cli calc: " << (cell ? error : options.error()) << '\n';
        return 2;
    }
    QStringList planes[3];
    core::Hkl whole[3]{};
    for (int j = 0; j < 3; ++j) {
        const QString option = QStringLiteral("--p%1").arg(j + 1);
        // Four indices (h k i l) of a hexagonal cell stand in the fields as (h k l).
        const auto plane = readIndices(options.value(option.mid(2)), option, false, *parsed, true, kMaxIndex, error);
        if (!plane) {
            err << "saedindex-cli calc: " << error << '\n';
            return 2;
        }
        if (*plane == std::array<double, 3>{0, 0, 0}) {
            err << "saedindex-cli calc: " << Calc::tr("%1：(0 0 0) 不是晶面").arg(option) << '\n';
            return 2;
        }
        for (int i = 0; i < 3; ++i) {
            planes[j].append(QString::number((*plane)[static_cast<std::size_t>(i)], 'g', 17));
            whole[j][static_cast<std::size_t>(i)] = static_cast<int>((*plane)[static_cast<std::size_t>(i)]);
        }
    }
    if (core::ZoneAxis(whole[0], whole[1]) == core::Uvw{0, 0, 0}) {
        err << "saedindex-cli calc: " << Calc::tr("--p1 与 --p2 平行，没有共同的晶带轴") << '\n';
        return 2;
    }

    model::MainModel model;
    model::ScriptedPrompts prompts;
    using model::Field;
    for (int i = 0; i < 6; ++i) model.setText1(fieldNumber(Field::A, i), (*cell)[i]);
    // Plane j fills h, k, l into H(j + 1), K(j + 1), L(j + 1).
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) model.setText1(fieldNumber(Field::H1, 3 * i + j), planes[j][i]);

    int badField = -1;
    QObject::connect(&model, &model::MainModel::focusRequested, [&badField](int n) { badField = n; });
    if (!calculator::calculate(model, prompts)) {
        const int j = (badField - fieldNumber(Field::H1)) % 3, i = (badField - fieldNumber(Field::H1)) / 3;
        err << "saedindex-cli calc: " << model::notNumericMessage()
            << Calc::tr("（--p%1 的第 %2 个值：“%3”）").arg(j + 1).arg(i + 1).arg(model.Text1(badField)) << '\n';
        return 2;
    }
    const bool cellValid = prompts.questions().empty();

    const model::Caption spacingLabels[3] = {model::Caption::Label1_47, model::Caption::Label1_48,
                                           model::Caption::Label1_49};
    const char* angleNames[3] = {"<R1,R2>", "<R2,R3>", "<R1,R3>"};
    if (format == QStringLiteral("json")) {
        QJsonObject root;
        QJsonArray axis, angles, spacings, planeTexts;
        for (int i = 0; i < 3; ++i) axis.append(numberOrNull(model.Text1(fieldNumber(Field::ZoneU, i))));
        for (int i = 0; i < 3; ++i) angles.append(numberOrNull(model.Text1(fieldNumber(Field::CalcAngle12, i))));
        for (model::Caption c : spacingLabels) {
            const QString text = model.caption(c);
            spacings.append(numberOrNull(text.startsWith(QStringLiteral("d")) &&
                                                 !text.endsWith(QStringLiteral("***"))
                                             ? text.mid(3)
                                             : model::calculatorOutputIdleText()));
        }
        root.insert(QStringLiteral("zoneAxis"), axis);
        if (const auto four = fourIndexZone(model, *cell)) root.insert(QStringLiteral("zoneAxisUvtw"), fourIndexJson(*four));
        root.insert(QStringLiteral("anglesDeg"), angles);
        root.insert(QStringLiteral("spacingsNm"), spacings);
        root.insert(QStringLiteral("cellValid"), cellValid);
        QJsonObject texts;
        texts.insert(QStringLiteral("Label16"), model.caption(model::Caption::Label16));
        texts.insert(QStringLiteral("Label15"), model.caption(model::Caption::Label15));
        texts.insert(QStringLiteral("Label14"), model.caption(model::Caption::Label14));
        texts.insert(QStringLiteral("Label17"), model.caption(model::Caption::Label17));
        for (int n = fieldNumber(Field::CalcAngle12); n <= fieldNumber(Field::ZoneW); ++n)
            texts.insert(QStringLiteral("Text1(%1)").arg(n), model.Text1(n));
        for (int j = 0; j < 3; ++j)
            texts.insert(QStringLiteral("Label1(%1)").arg(47 + j), model.caption(spacingLabels[j]));
        root.insert(QStringLiteral("texts"), texts);
        out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
    } else {
        out << "R1 " << model.caption(model::Caption::Label16) << "\n";
        out << "R2 " << model.caption(model::Caption::Label15) << "\n";
        out << "R3 " << model.caption(model::Caption::Label14) << "\n";
        out << model.caption(model::Caption::Label17) << "\n";
        if (const auto four = fourIndexZone(model, *cell))
            out << "Z=[" << QString::fromStdString(core::indexText(core::toFourIndex(*four))) << "]\n";
        for (int i = 0; i < 3; ++i) {
            const QString angle = model.Text1(fieldNumber(Field::CalcAngle12, i));
            out << angleNames[i] << "=" << angle
                << (angle == model::calculatorOutputIdleText() ? QString() : Calc::tr("°")) << "\n";
        }
        for (model::Caption c : spacingLabels) {
            const QString spacing = model.caption(c);
            out << spacing << (spacing.endsWith(QStringLiteral("***")) ? "" : " nm") << "\n";
        }
    }
    if (!cellValid) {
        // The calculator pointed at the first lattice field at fault.
        err << "saedindex-cli calc: " << QCoreApplication::translate("saed::calculator", calculator::notACellMessage())
            << Calc::tr("（--cell 的第 %1 个值：“%2”）").arg(badField + 1).arg(model.Text1(badField)) << '\n';
        return 2;
    }
    return 0;
}

}  // namespace saed::cli
