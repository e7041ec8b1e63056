#include "app/cli/crystaloptions.h"

#include <QCoreApplication>

#include "core/numbertext.h"
#include "library/crystallibrary.h"
#include "library/spacegroup.h"

namespace saed::cli {

namespace {

struct CrystalTexts {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::CrystalOptions)
};

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
    for (const QString& e : read.errors) err << "saedindex-cli " << command << ": " << e << '\n';
    err.flush();
    if (!read.errors.isEmpty()) return std::nullopt;
    return read.phases;
}

std::optional<core::Cell> cellFromTexts(const QStringList& cell, QString& error) {
    double values[6] = {};
    for (int i = 0; i < 6; ++i) {
        const std::string text = cell[i].toStdString();
        if (!core::isNumeric(text)) {
            error = CrystalTexts::tr("--cell：“%1”不是数字").arg(cell[i]);
            return std::nullopt;
        }
        values[i] = core::leadingNumber(text);
    }
    return core::Cell{values[0], values[1], values[2], values[3], values[4], values[5]};
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
    return phase;
}

int latticeTypeCode(const QString& text) {
    const QStringList names = {QStringLiteral("simple"), QStringLiteral("base"), QStringLiteral("body"),
                               QStringLiteral("face"), QStringLiteral("rhombic")};
    const qsizetype named = names.indexOf(text.trimmed().toLower());
    if (named >= 0) return static_cast<int>(named);
    bool ok = false;
    const int code = text.trimmed().toInt(&ok);
    return (ok && code >= 0 && code <= 4) ? code : -1;
}

QJsonValue spaceGroupJson(const library::CrystalPhase& phase) {
    if (!phase.spaceGroup) return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("hm"), QString::fromStdString(phase.spaceGroup->hm)},
                       {QStringLiteral("number"), phase.spaceGroup->number}};
}

}  // namespace saed::cli
