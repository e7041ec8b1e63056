// saedindex-cli simulate: the kinematic spot pattern of one zone, as JSON, SVG or PNG.
#include <cmath>   // for isfinite
#include <memory>  // for shared_ptr

#include <QBuffer>
#include <QJsonArray>
#include <QJsonObject>
#include <QSaveFile>

#include "app/cli/commands.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/options.h"
#include "app/cli/tablewriter.h"
#include "app/patternpainter.h"
#include "library/phaseranking.h"
#include "simulation/svgpattern.h"
#include "simulation/zonepattern.h"

namespace saed::cli {

namespace {

const char kHelp[] =
    "usage: saedindex-cli simulate (--cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]\n"
    "                               | --cif FILE) --zone U,V,W\n"
    "                              [--max-g G] [--format json|svg|png] [--out FILE]\n"
    "\n"
    "The kinematic spot pattern of the zero-order Laue zone of [UVW]: every reflection (h k l)\n"
    "allowed by the lattice type or space group with h U + k V + l W = 0 and |g| <= G, placed in\n"
    "the pattern plane with the shortest spot g1 along +x and +y = [UVW] x g1.\n"
    "\n"
    "options:\n"
    "  --cell a,b,c,alpha,beta,gamma  lattice parameters: edges in nm, angles in degrees\n"
    "  --type T      lattice type: simple, base, body, face, rhombic, or 0 to 4 (default simple)\n"
    "  --spacegroup SG  instead of --type, the space group (\"F d -3 m\", \"P 63/m m c\" or a\n"
    "                number): its systematic absences\n"
    "  --cif FILE    instead of --cell, the cell, space group and atom sites of the first data\n"
    "                block; a reflection whose |F| the atoms cancel is left out as well\n"
    "  --zone U,V,W  the zone axis, whole numbers, not all 0\n"
    "  --max-g G     spots out to |g| <= G in 1/nm (default 10)\n"
    "  --format F    json (default): zone, g1 and the spots, each with hkl, x and y (1/nm),\n"
    "                d (nm) and intensity (|F|^2 in Angstrom^2 where the atoms are known, else\n"
    "                1 for every spot); svg: the picture as SVG, spot sizes growing with |F|;\n"
    "                png: a 600 x 600 picture\n"
    "                (needs --out)\n"
    "  --out FILE    write to FILE instead of the standard output\n"
    "  --help        this text\n"
    "\n"
    "example (aluminium, the [011] zone, as a picture):\n"
    "  saedindex-cli simulate --cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,1,1 \\\n"
    "      --max-g 12 --format svg --out al-011.svg\n"
    "example (silicon from a CIF, the [011] zone without {200} and {222}):\n"
    "  saedindex-cli simulate --cif si.cif --zone 0,1,1 --max-g 8\n";

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli simulate: " << message << "\nTry 'saedindex-cli simulate --help'.\n";
    return 2;
}

QString errorText(simulation::PatternError error) {
    switch (error) {
    case simulation::PatternError::NotACell: return QStringLiteral("the lattice parameters do not form a cell");
    case simulation::PatternError::ZeroZone: return QStringLiteral("the zone [0 0 0] is no axis");
    case simulation::PatternError::BadRange:
        return QStringLiteral("--max-g must be above 0 and small enough for the cell (at most %1 index triples)")
            .arg(simulation::kMaxIndexTriples);
    case simulation::PatternError::NoSpots: return QStringLiteral("no allowed spot lies within --max-g");
    default: return QStringLiteral("the pattern cannot be made");
    }
}

// Writes `bytes` to `path` atomically, or to `out` when no path is given.
bool writeOutput(const QString& path, const QByteArray& bytes, QTextStream& out, QTextStream& err) {
    if (path.isEmpty()) {
        out << QString::fromUtf8(bytes);
        out.flush();
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        err << "saedindex-cli simulate: cannot write " << path << ": " << file.errorString() << '\n';
        return false;
    }
    return true;
}

}  // namespace

int runSimulateCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Options options;
    const QStringList withValue{QStringLiteral("cell"),  QStringLiteral("type"),   QStringLiteral("zone"),
                                QStringLiteral("max-g"), QStringLiteral("format"), QStringLiteral("out"),
                                QStringLiteral("spacegroup"), QStringLiteral("cif")};
    if (!options.parse(args, withValue, {QStringLiteral("help")})) return usageError(err, options.error());
    if (options.has(QStringLiteral("help"))) {
        out << kHelp;
        return 0;
    }
    const bool fromCif = options.has(QStringLiteral("cif"));
    if (options.has(QStringLiteral("cell")) == fromCif) return usageError(err, QStringLiteral("give either --cell or --cif"));
    if (options.has(QStringLiteral("type")) && (fromCif || options.has(QStringLiteral("spacegroup"))))
        return usageError(err, QStringLiteral("--type goes with --cell alone, not with --spacegroup or --cif"));
    if (fromCif && options.has(QStringLiteral("spacegroup")))
        return usageError(err, QStringLiteral("--cif brings its own space group; leave out --spacegroup"));
    if (!options.has(QStringLiteral("zone"))) return usageError(err, QStringLiteral("--zone is required"));

    simulation::ZonePatternRequest request;
    std::optional<library::CrystalPhase> phase;
    if (fromCif) {
        const auto phases = loadCifPhases({options.value(QStringLiteral("cif"))}, QStringLiteral("simulate"), err);
        if (!phases) return 2;
        if (phases->empty()) return usageError(err, QStringLiteral("--cif: no phase in %1").arg(options.value(QStringLiteral("cif"))));
        if (phases->size() > 1)
            err << "saedindex-cli simulate: " << options.value(QStringLiteral("cif")) << " holds " << phases->size()
                << " phases; simulating the first, " << QString::fromStdString(phases->front().name) << '\n';
        phase = phases->front();
        request.cell = phase->cell;
    } else {
        const std::optional<QStringList> cell = options.list(QStringLiteral("cell"), 6);
        if (!cell) return usageError(err, options.error());
        double values[6];
        for (int i = 0; i < 6; ++i) {
            bool ok = false;
            values[i] = (*cell)[i].toDouble(&ok);
            if (!ok || !std::isfinite(values[i])) return usageError(err, QStringLiteral("--cell takes six numbers"));
        }
        request.cell = {values[0], values[1], values[2], values[3], values[4], values[5]};
        if (options.has(QStringLiteral("spacegroup"))) {
            QString error;
            phase = phaseFromCell(*cell, options.value(QStringLiteral("spacegroup")), error);
            if (!phase) return usageError(err, error);
        }
    }
    const std::optional<QStringList> zone = options.list(QStringLiteral("zone"), 3);
    if (!zone) return usageError(err, options.error());
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int v = (*zone)[i].toInt(&ok);
        if (!ok || v < -99 || v > 99) return usageError(err, QStringLiteral("--zone takes three whole numbers from -99 to 99"));
        request.zone[static_cast<std::size_t>(i)] = v;
    }
    if (phase) {
        const std::shared_ptr<const core::ReflectionRule> rule = library::phaseRule(*phase);
        request.allowed = [rule](const core::Hkl& p) { return rule->admits(p); };
        request.intensity = [rule](const core::Hkl& p) {
            const std::optional<double> f = rule->structureFactor(p);
            return f ? *f * *f : 1.0;
        };
    } else {
        const int type = latticeTypeCode(options.value(QStringLiteral("type"), QStringLiteral("simple")));
        if (type < 0) return usageError(err, QStringLiteral("--type must be simple, base, body, face, rhombic or 0 to 4"));
        request.allowed = simulation::latticeTypeRule(type);
    }
    bool ok = true;
    request.maxGInvNm = options.has(QStringLiteral("max-g")) ? options.value(QStringLiteral("max-g")).toDouble(&ok) : 10.0;
    if (!ok || !std::isfinite(request.maxGInvNm) || request.maxGInvNm <= 0)
        return usageError(err, QStringLiteral("--max-g must be a number above 0"));
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("json")).trimmed().toLower();
    if (format != QStringLiteral("json") && format != QStringLiteral("svg") && format != QStringLiteral("png"))
        return usageError(err, QStringLiteral("--format must be json, svg or png"));
    const QString outPath = options.value(QStringLiteral("out"));
    if (format == QStringLiteral("png") && outPath.isEmpty())
        return usageError(err, QStringLiteral("--format png needs --out FILE"));

    const simulation::ZonePatternResult result = simulation::simulateZone(request);
    if (result.error != simulation::PatternError::None) return usageError(err, errorText(result.error));
    const simulation::ZonePattern& pattern = result.pattern;

    QByteArray bytes;
    if (format == QStringLiteral("json")) {
        QJsonArray spots;
        for (const simulation::Spot& s : pattern.spots)
            spots.append(QJsonObject{{QStringLiteral("hkl"), QJsonArray{s.hkl[0], s.hkl[1], s.hkl[2]}},
                                     {QStringLiteral("x"), s.xInvNm},
                                     {QStringLiteral("y"), s.yInvNm},
                                     {QStringLiteral("d"), s.dNm},
                                     {QStringLiteral("intensity"), s.intensity}});
        const QJsonObject object{
            {QStringLiteral("zone"), QJsonArray{static_cast<qint64>(pattern.zone[0]), static_cast<qint64>(pattern.zone[1]),
                                                static_cast<qint64>(pattern.zone[2])}},
            {QStringLiteral("g1"), QJsonArray{pattern.g1[0], pattern.g1[1], pattern.g1[2]}},
            {QStringLiteral("maxG"), request.maxGInvNm},
            {QStringLiteral("count"), static_cast<qint64>(pattern.spots.size())},
            {QStringLiteral("spots"), spots}};
        QString text;
        QTextStream stream(&text);
        writeJson(stream, object);
        stream.flush();
        bytes = text.toUtf8();
    } else if (format == QStringLiteral("svg")) {
        simulation::SvgOptions svg;
        svg.extentInvNm = request.maxGInvNm;
        const std::string document = simulation::patternSvg(pattern, svg);
        bytes = QByteArray(document.data(), static_cast<qsizetype>(document.size()));
    } else {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!app::patternImage(pattern, 600, request.maxGInvNm).save(&buffer, "PNG")) {
            err << "saedindex-cli simulate: the PNG could not be made\n";
            return 2;
        }
        bytes = png;
    }
    return writeOutput(outPath, bytes, out, err) ? 0 : 2;
}

}  // namespace saed::cli
