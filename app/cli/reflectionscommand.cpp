// saedindex-cli reflections: the reflections of a phase with spacing, extinction, |F| and double
// diffraction.
#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>  // for snprintf

#include "app/cli/commands.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/options.h"
#include "app/cli/tablewriter.h"
#include "library/reflections.h"
#include "library/spacegroup.h"

namespace saed::cli {

namespace {

const char kHelp[] =
    "usage: saedindex-cli reflections (--cif FILE | --cell a,b,c,alpha,beta,gamma --spacegroup SG\n"
    "                                 | --cell a,b,c,alpha,beta,gamma --type T)\n"
    "                                 [--range N] [--format text|json]\n"
    "\n"
    "Lists every reflection (h k l) with indices from -N to N, largest spacing first: its spacing,\n"
    "whether it is allowed, |F| where the atoms are known, and whether a forbidden one can appear\n"
    "by double diffraction (the sum of two allowed, non-parallel reflections of one zone).\n"
    "\n"
    "options:\n"
    "  --cif FILE         a CIF: cell, space group and atom sites of its first data block\n"
    "  --cell a,b,c,alpha,beta,gamma  lattice parameters: edges in nm, angles in degrees\n"
    "  --spacegroup SG    a Hermann-Mauguin symbol (\"F d -3 m\", \"P 63/m m c\") or a number\n"
    "  --type T           instead of a space group, a lattice type: simple, base, body, face,\n"
    "                     rhombic, or 0 to 4\n"
    "  --range N          index range, 0 <= N <= 20 (default 3)\n"
    "  --format F         text (default): one line per reflection; json: the phase and a list of\n"
    "                     {hkl, d (nm), allowed, F (|F| in Angstrom, null without atoms), double}\n"
    "  --help             this text\n"
    "\n"
    "Bad input is told on stderr with exit status 2.\n"
    "\n"
    "example (alpha-Ti: (0 0 1) absent, (0 0 2) allowed, (0 0 1) reachable by double diffraction):\n"
    "  saedindex-cli reflections --cell 0.29506,0.29506,0.46835,90,90,120 \\\n"
    "      --spacegroup \"P 63/m m c\" --range 2\n";

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli reflections: " << message << "\nTry 'saedindex-cli reflections --help'.\n";
    return 2;
}

QString fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return QString::fromLatin1(text);
}

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
        out << kHelp;
        return 0;
    }
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json"))
        return usageError(err, QStringLiteral("--format must be text or json"));
    bool rangeOk = true;
    const int range = options.value(QStringLiteral("range"), QStringLiteral("3")).trimmed().toInt(&rangeOk);
    if (!rangeOk || range < 0 || range > 20) return usageError(err, QStringLiteral("--range must be a whole number from 0 to 20"));

    const bool hasCell = options.has(QStringLiteral("cell"));
    const bool hasGroup = options.has(QStringLiteral("spacegroup"));
    const bool hasType = options.has(QStringLiteral("type"));
    if (cifs.has_value() == hasCell || (cifs && (hasGroup || hasType)) || (hasCell && hasGroup == hasType))
        return usageError(err, QStringLiteral("give --cif FILE, or --cell with either --spacegroup or --type"));

    library::CrystalPhase phase;
    std::vector<library::Reflection> list;
    if (cifs) {
        if (cifs->size() != 1) return usageError(err, QStringLiteral("--cif takes one file here"));
        const auto phases = loadCifPhases(*cifs, QStringLiteral("reflections"), err);
        if (!phases) return 2;
        if (phases->size() > 1)
            err << "saedindex-cli reflections: " << cifs->front() << " holds " << phases->size()
                << " phases; listing the first, " << QString::fromStdString(phases->front().name) << '\n';
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
            const int type = latticeTypeCode(options.value(QStringLiteral("type")));
            if (type < 0) return usageError(err, QStringLiteral("--type must be simple, base, body, face, rhombic or 0 to 4"));
            const auto made = phaseFromCell(*cell, QStringLiteral("P 1"), error);
            if (!made) return usageError(err, error);
            phase = *made;
            phase.spaceGroup.reset();
            list = library::reflections(phase.cell, core::LatticeTypeRule(type), range);
        }
    }
    if (!core::isCell(phase.cell)) return usageError(err, QStringLiteral("the lattice parameters do not make a cell"));

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
        out << "   h   k   l    d (nm)  allowed       |F|  double\n";
        for (const library::Reflection& r : list) {
            const QString f = r.structureFactor ? fixed(*r.structureFactor, 4) : QStringLiteral("-");
            out << QStringLiteral("%1%2%3").arg(r.hkl[0], 4).arg(r.hkl[1], 4).arg(r.hkl[2], 4)
                << QStringLiteral("%1").arg(fixed(r.dNm, 6), 10)
                << QStringLiteral("%1").arg(r.allowed ? QStringLiteral("yes") : QStringLiteral("no"), 9)
                << QStringLiteral("%1").arg(f, 10) << (r.doubleDiffraction ? "     yes" : "")
                << '\n';
        }
    }
    out.flush();
    return 0;
}

}  // namespace saed::cli
