// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli reflections: the reflections of a phase with spacing, extinction, |F| and double
// diffraction.
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>  // for max

#include "app/cli/commands.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/options.h"
#include "app/cli/tablewriter.h"
#include "library/reflections.h"
#include "library/spacegroup.h"

namespace saed::cli {

namespace {

struct Reflections {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Reflections)
};

const char kHelp[] = QT_TRANSLATE_NOOP("saed::cli::Reflections",
    "用法：saedindex-cli reflections (--cif FILE | --cell a,b,c,alpha,beta,gamma --spacegroup SG\n"
    "                                | --cell a,b,c,alpha,beta,gamma --type T)\n"
    "                                [--range N] [--format text|json]\n"
    "\n"
    "列出指数从 -N 到 N 的每个衍射 (h k l)，晶面间距大者在前：其晶面间距、是否允许、已知原子时\n"
    "的 |F|，以及禁止的衍射能否由二次衍射出现（同一晶带中两个不平行的允许衍射之和）。\n"
    "\n"
    "选项：\n"
    "  --cif FILE         一个 CIF：取其第一个数据块的晶胞、空间群和原子位置\n"
    "  --cell a,b,c,alpha,beta,gamma  点阵参数：棱长单位 nm，夹角单位度\n"
    "  --spacegroup SG    Hermann-Mauguin 符号（\"F d -3 m\"、\"P 63/m m c\"）或编号\n"
    "  --type T           代替空间群给出点阵类型：simple、base、body、face、rhombic，\n"
    "                     或 0 到 4\n"
    "  --range N          指数范围，0 <= N <= 20（默认 3）\n"
    "  --format F         text（默认）：每个衍射一行；json：物相和一个列表，每项为\n"
    "                     {hkl, d（nm）, allowed, F（|F|，单位 Å，无原子时为 null）, double}\n"
    "  --help             本说明\n"
    "\n"
    "输入有误时在 stderr 上说明，退出状态为 2。\n"
    "\n"
    "示例（alpha-Ti：(0 0 1) 消光，(0 0 2) 允许，(0 0 1) 可由二次衍射出现）：\n"
    "  saedindex-cli reflections --cell 0.29506,0.29506,0.46835,90,90,120 \\\n"
    "      --spacegroup \"P 63/m m c\" --range 2\n");

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli reflections: " << message << '\n' << Reflections::tr("用法见 saedindex-cli reflections --help。") << '\n';
    return 2;
}

// "." whatever the locale, as printf would not write it.
QString fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

}  // namespace

int runReflectionsCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    const std::optional<QStringList> cifs = takeListOption(args, QStringLiteral("cif"));
    Options options;
    if (!options.parse(args,
                       {QStringLiteral("cell"), QStringLiteral("spacegroup"), QStringLiteral("type"),
                        QStringLiteral("range"), QStringLiteral("format")},
                       {QStringLiteral("help")}))
        return usageError(err, options.error());
    if (options.has(QStringLiteral("help"))) {
        out << Reflections::tr(kHelp);
        return 0;
    }
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json"))
        return usageError(err, Reflections::tr("--format 须为 text 或 json"));
    bool rangeOk = true;
    const int range = options.value(QStringLiteral("range"), QStringLiteral("3")).trimmed().toInt(&rangeOk);
    if (!rangeOk || range < 0 || range > 20) return usageError(err, Reflections::tr("--range 须为 0 到 20 的整数"));

    const bool hasCell = options.has(QStringLiteral("cell"));
    const bool hasGroup = options.has(QStringLiteral("spacegroup"));
    const bool hasType = options.has(QStringLiteral("type"));
    if (cifs.has_value() == hasCell || (cifs && (hasGroup || hasType)) || (hasCell && hasGroup == hasType))
        return usageError(err, Reflections::tr("请给出 --cif FILE，或 --cell 连同 --spacegroup 与 --type 之一"));

    library::CrystalPhase phase;
    std::vector<library::Reflection> list;
    if (cifs) {
        if (cifs->size() != 1) return usageError(err, Reflections::tr("此处 --cif 只接受一个文件"));
        const auto phases = loadCifPhases(*cifs, QStringLiteral("reflections"), err);
        if (!phases) return 2;
        if (phases->size() > 1)
            err << "saedindex-cli reflections: "
                << Reflections::tr("%1 含 %2 个物相；列出第一个（%3）")
                       .arg(cifs->front(), QString::number(phases->size()), QString::fromStdString(phases->front().name))
                << '\n';
        phase = phases->front();
        list = library::reflections(phase, range);
    } else {
        const std::optional<QStringList> cell = options.list(QStringLiteral("cell"), 6);
        if (!cell) return usageError(err, options.error());
        QString error;
        if (hasGroup) {
            const auto made = phaseFromCell(*cell, options.value(QStringLiteral("spacegroup")), error);
            if (!made) return usageError(err, error);
            phase = *made;
            list = library::reflections(phase, range);
        } else {
            const auto type = latticeTypeOption(options.value(QStringLiteral("type")));
            if (!type) return usageError(err, Reflections::tr("--type 须为 simple、base、body、face、rhombic 或 0 到 4"));
            const auto made = phaseFromCell(*cell, QStringLiteral("P 1"), error);
            if (!made) return usageError(err, error);
            phase = *made;
            phase.spaceGroup.reset();
            list = library::reflections(phase.cell, core::LatticeTypeRule(*type), range);
        }
    }
    if (!core::isCell(phase.cell)) return usageError(err, Reflections::tr("这组点阵参数构不成晶胞"));

    if (format == QStringLiteral("json")) {
        QJsonArray rows;
        for (const library::Reflection& r : list)
            rows.append(QJsonObject{
                {QStringLiteral("hkl"), QJsonArray{r.hkl[0], r.hkl[1], r.hkl[2]}},
                {QStringLiteral("d"), r.dNm},
                {QStringLiteral("allowed"), r.allowed},
                {QStringLiteral("F"), r.structureFactor ? QJsonValue(*r.structureFactor) : QJsonValue(QJsonValue::Null)},
                {QStringLiteral("double"), r.doubleDiffraction},
            });
        const core::Cell& c = phase.cell;
        writeJson(out, QJsonObject{
                           {QStringLiteral("name"), QString::fromStdString(phase.name)},
                           {QStringLiteral("cell"), QJsonArray{c.aNm, c.bNm, c.cNm, c.alphaDeg, c.betaDeg, c.gammaDeg}},
                           {QStringLiteral("spaceGroup"), spaceGroupJson(phase)},
                           {QStringLiteral("range"), range},
                           {QStringLiteral("reflections"), rows},
                       });
    } else {
        // Right-aligned columns; a header wider than its column's numbers widens it, counted in
        // terminal columns (a Chinese character takes two).
        const QString allowedHeader = Reflections::tr("允许"), doubleHeader = Reflections::tr("二次衍射");
        const int allowedWidth = std::max(9, displayWidth(allowedHeader) + 2);
        const int doubleWidth = std::max(8, displayWidth(doubleHeader) + 2);
        const auto right = [](const QString& text, int width) {
            return QString(std::max(0, width - displayWidth(text)), u' ') + text;
        };
        const QString yes = Reflections::tr("是"), no = Reflections::tr("否");
        out << "   h   k   l    d (nm)" << right(allowedHeader, allowedWidth) << "       |F|"
            << right(doubleHeader, doubleWidth) << '\n';
        for (const library::Reflection& r : list) {
            const QString f = r.structureFactor ? fixed(*r.structureFactor, 4) : QStringLiteral("-");
            out << QStringLiteral("%1%2%3").arg(r.hkl[0], 4).arg(r.hkl[1], 4).arg(r.hkl[2], 4)
                << QStringLiteral("%1").arg(fixed(r.dNm, 6), 10) << right(r.allowed ? yes : no, allowedWidth)
                << QStringLiteral("%1").arg(f, 10) << (r.doubleDiffraction ? right(yes, doubleWidth) : QString())
                << '\n';
        }
    }
    out.flush();
    return 0;
}

}  // namespace saed::cli
