// SPDX-License-Identifier: BSD-3-Clause
#include "app/cli/crystaloptions.h"

#include <cmath>  // for fabs, round, isfinite, NAN
#include <vector>

#include <QCoreApplication>

#include "core/millerbravais.h"
#include "core/numbertext.h"
#include "library/crystallibrary.h"
#include "library/spacegroup.h"

namespace saed::cli {

namespace {

struct CrystalTexts {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::CrystalOptions)
};

constexpr double kMaxEdgeNm = 1e6;

}  // namespace

std::optional<QStringList> takeListOption(QStringList& args, const QString& name) {
    const QString flag = QStringLiteral("--") + name;
    std::optional<QStringList> values;
    for (int i = 0; i < args.size();) {
        if (args[i].startsWith(flag + QLatin1Char('='))) {
            if (!values) values.emplace();
            values->push_back(args[i].mid(flag.size() + 1));
            args.removeAt(i);
            continue;
        }
        if (args[i] != flag) {
            ++i;
            continue;
        }
        if (!values) values.emplace();
        args.removeAt(i);
        while (i < args.size() && !args[i].startsWith(QStringLiteral("--"))) values->push_back(args.takeAt(i));
    }
    return values;
}

std::optional<std::vector<library::CrystalPhase>> loadCifPhases(const QStringList& paths, const QString& command,
                                                                QTextStream& err) {
    const library::CifPathsRead read = library::readCifPaths(paths);
    for (const QString& w : read.warnings) err << "saedindex-cli " << command << ": " << CrystalTexts::tr("警告：%1").arg(w) << '\n';
    // One unreadable file of many does not stop the rest: it is named with its reason and
    // skipped, as long as some phase was read.
    const bool someRead = !read.phases.empty();
    for (const QString& e : read.errors)
        err << "saedindex-cli " << command << ": " << (someRead ? CrystalTexts::tr("警告：已跳过 %1").arg(e) : e) << '\n';
    err.flush();
    if (!someRead) return std::nullopt;
    return read.phases;
}

std::optional<core::Cell> cellFromTexts(const QStringList& cell, QString& error) {
    static const char* const names[6] = {"a", "b", "c", "alpha", "beta", "gamma"};
    double values[6] = {};
    for (int i = 0; i < 6; ++i) {
        const std::string text = cell[i].toStdString();
        if (!core::isNumeric(text)) {
            error = CrystalTexts::tr("--cell：“%1”不是数字").arg(cell[i]);
            return std::nullopt;
        }
        values[i] = core::leadingNumber(text);
        const QString name = QString::fromLatin1(names[i]);
        // A lattice edge beyond a millimetre belongs to no crystal, and its metric would overflow.
        if (i < 3 && !(values[i] > 0 && values[i] <= kMaxEdgeNm)) {
            error = CrystalTexts::tr("--cell：%1 = %2 nm，棱长须大于 0 且不超过 %3 nm").arg(name, cell[i], QString::number(kMaxEdgeNm, 'f', 0));
            return std::nullopt;
        }
        // An angle of 200 degrees has the cosine of 160 and would pass for it.
        if (i >= 3 && !(values[i] > 0 && values[i] < 180)) {
            error = CrystalTexts::tr("--cell：%1 = %2°，夹角须在 0° 与 180° 之间").arg(name, cell[i]);
            return std::nullopt;
        }
    }
    const core::Cell parsed{values[0], values[1], values[2], values[3], values[4], values[5]};
    // Angles that close a cell with unit edges leave edges too small to compute with.
    if (!core::isCell(parsed) && core::isCell(core::Cell{1, 1, 1, values[3], values[4], values[5]})) {
        error = CrystalTexts::tr("--cell：棱长 %1、%2、%3 nm 太小，无法计算（棱长以 nm 为单位）").arg(cell[0], cell[1], cell[2]);
        return std::nullopt;
    }
    if (!core::isCell(parsed)) {
        error = CrystalTexts::tr("--cell：夹角 %1°、%2°、%3° 构不成晶胞（每个夹角须小于另两个之和，三者之和须小于 360°）")
                    .arg(cell[3], cell[4], cell[5]);
        return std::nullopt;
    }
    return parsed;
}

std::optional<library::CrystalPhase> phaseFromCell(const QStringList& cell, const QString& spaceGroup,
                                                   QString& error) {
    const std::optional<core::Cell> parsed = cellFromTexts(cell, error);
    if (!parsed) return std::nullopt;
    library::CrystalPhase phase;
    phase.cell = *parsed;
    phase.name = QStringLiteral("cell %1").arg(cell.join(u',')).toStdString();
    phase.spaceGroup = library::spaceGroupBySymbol(spaceGroup.toStdString(), phase.cell.alphaDeg, phase.cell.gammaDeg);
    if (!phase.spaceGroup) {
        error = CrystalTexts::tr("--spacegroup：未知的空间群“%1”").arg(spaceGroup);
        return std::nullopt;
    }
    if (const auto broken = library::brokenCellConditions(phase.cell, *phase.spaceGroup)) {
        const std::string& hm = phase.spaceGroup->hm;
        error = CrystalTexts::tr("--cell 与空间群 %1 不符：该空间群的晶胞须满足 %2")
                    .arg(hm.empty() ? spaceGroup : QString::fromStdString(hm),
                         QString::fromStdString(library::cellConditionsText(*broken)));
        return std::nullopt;
    }
    return phase;
}

std::optional<core::LatticeType> latticeTypeOption(const QString& text) {
    // The names in the order of the types, so that a name's position is its code.
    const QStringList names = {QStringLiteral("simple"), QStringLiteral("base"), QStringLiteral("body"),
                               QStringLiteral("face"), QStringLiteral("rhombic")};
    const qsizetype named = names.indexOf(text.trimmed().toLower());
    if (named >= 0) return core::latticeTypeFromCode(named);
    bool ok = false;
    const int code = text.trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    const std::optional<core::LatticeType> type = core::latticeTypeFromCode(code);
    if (!type || !core::isLatticeCentring(*type)) return std::nullopt;
    return type;
}

QJsonValue spaceGroupJson(const library::CrystalPhase& phase) {
    if (!phase.spaceGroup) return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("hm"), QString::fromStdString(phase.spaceGroup->hm)},
                       {QStringLiteral("number"), phase.spaceGroup->number}};
}

}  // namespace saed::cli

namespace saed::cli {

std::optional<std::array<double, 3>> readIndices(const QString& text, const QString& option, bool direction,
                                                 const core::Cell& cell, bool whole, double limit,
                                                 QString& error) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3 && parts.size() != 4) {
        error = CrystalTexts::tr("%1 需要三个或四个以逗号分隔的指数，而不是“%2”").arg(option, text);
        return std::nullopt;
    }
    std::vector<double> values;
    for (const QString& part : parts) {
        const std::string item = part.trimmed().toStdString();
        const double v = core::isNumeric(item) ? core::leadingNumber(item) : NAN;
        if (!std::isfinite(v) || std::fabs(v) > limit || (whole && v != std::round(v))) {
            error = whole ? CrystalTexts::tr("%1：“%2”不是 -%3 到 %3 的整数").arg(option, part.trimmed()).arg(limit)
                          : CrystalTexts::tr("%1：“%2”不是 -%3 到 %3 的数").arg(option, part.trimmed()).arg(limit);
            return std::nullopt;
        }
        values.push_back(v);
    }
    if (values.size() == 3) return std::array<double, 3>{values[0], values[1], values[2]};
    if (!core::isHexagonalCell(cell)) {
        error = CrystalTexts::tr("%1：四指数只用于六方晶胞（a = b，α = β = 90°，γ = 120°）").arg(option);
        return std::nullopt;
    }
    // The third index is fixed by the first two; a slip there is told, never silently dropped.
    if (std::fabs(values[2] + values[0] + values[1]) > 1e-9) {
        error = direction ? CrystalTexts::tr("%1：四指数 [U V T W] 须满足 T = -(U + V)，而“%2”不满足").arg(option, text)
                          : CrystalTexts::tr("%1：四指数 (h k i l) 须满足 i = -(h + k)，而“%2”不满足").arg(option, text);
        return std::nullopt;
    }
    if (!direction) return std::array<double, 3>{values[0], values[1], values[3]};
    // [u v w] = [U - T, V - T, W]; whole directions are brought to their smallest indices.
    std::array<double, 3> uvw{values[0] - values[2], values[1] - values[2], values[3]};
    if (whole) {
        const auto reduced = core::reducedIndices<3>({static_cast<long long>(uvw[0]), static_cast<long long>(uvw[1]),
                                                     static_cast<long long>(uvw[2])});
        uvw = {static_cast<double>(reduced[0]), static_cast<double>(reduced[1]), static_cast<double>(reduced[2])};
    }
    return uvw;
}

QJsonArray fourIndexJson(const core::Hkl& plane) {
    const core::Hkil four = core::toFourIndex(plane);
    return QJsonArray{four[0], four[1], four[2], four[3]};
}

QJsonArray fourIndexJson(const core::Uvw& direction) {
    const core::Uvtw four = core::toFourIndex(direction);
    return QJsonArray{static_cast<qint64>(four[0]), static_cast<qint64>(four[1]), static_cast<qint64>(four[2]),
                      static_cast<qint64>(four[3])};
}

}  // namespace saed::cli
