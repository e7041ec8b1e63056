// saedindex-cli screen: the library screening of the window ("计算选中项", multiple choice) on a
// pattern given as options.
#include <QDir>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/cli/cliprompts.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/commands.h"
#include "app/cli/options.h"
#include "model/mainmodel.h"
#include "model/texts.h"
#include "indexing/indexingoperations.h"
#include "library/phaseranking.h"
#include "library/phasetree.h"
#include "library/screening.h"
#include "store/reports.h"

namespace saed::cli {

namespace {

const char kHelp[] =
    "usage: saedindex-cli screen --angles a12,a23,a13\n"
    "                            (--d d1,d2,d3 | --scale S,Lbar --r1 L,N --r2 L,N --r3 L,N)\n"
    "                            [--range N] [--tol-d t1,t2,t3] [--tol-angle t1,t2,t3]\n"
    "                            [--library FILE | --cif FILE_OR_FOLDER...] [--phases r1,r2,...]\n"
    "                            [--double] [--image NAME] [--out DIR] [--format text|json]\n"
    "\n"
    "Indexes the measured pattern with every phase of a library, one run per phase, and writes\n"
    "the screening report of the window's 计算选中项 in 多选 mode: one block per phase that has\n"
    "solutions, in the file 标定结果YYYY-MM-DD HHNNSS.txt (GB18030, CR LF; a report of the same\n"
    "name is extended). Prints one line per phase: its description, a tab and its number of\n"
    "solutions; then the report's path.\n"
    "\n"
    "options:\n"
    "  --scale, --r1, --r2, --r3, --d, --angles, --range, --tol-d, --tol-angle\n"
    "                     the measured pattern, as for saedindex-cli index\n"
    "  --library FILE     a library text (records name;type;c/a;a;b;c;alpha;beta;gamma;) in\n"
    "                     UTF-8 or GBK, instead of the built-in library\n"
    "  --cif FILE_OR_FOLDER...  the phases of CIF files instead (every data block with a cell; a\n"
    "                     folder stands for its *.cif files), each with its space group and atoms\n"
    "  --phases r1,r2,..  screen only these records (numbered from 1, in library order)\n"
    "  --double           let in forbidden planes reachable by double diffraction\n"
    "  --format F         text (default): the lines above; json: the phases ranked by their best\n"
    "                     solution family (least misfit first, phases without solutions last), each\n"
    "                     with record, description, rows and best {zone, forms, misfit, rows,\n"
    "                     double} or null, and the report's path\n"
    "  --image NAME       the image name written into the report\n"
    "  --out DIR          the report's folder (default: the current folder)\n"
    "  --help             this text\n"
    "\n"
    "Bad input is told on stderr with exit status 2.\n"
    "\n"
    "example (a pattern against a folder of CIFs, ranked):\n"
    "  saedindex-cli screen --cif structures/ --d 0.2338,0.2338,0.1432 --angles 70.53,54.74,54.74 \\\n"
    "      --format json\n";

const QStringList kValueOptions = patternOptionNames() + QStringList{
    QStringLiteral("library"), QStringLiteral("phases"), QStringLiteral("image"), QStringLiteral("out"),
    QStringLiteral("format")};

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli screen: " << message << "\nTry 'saedindex-cli screen --help'.\n";
    return 2;
}

QJsonArray hklArray(const core::Hkl& p) { return QJsonArray{p[0], p[1], p[2]}; }

QJsonObject rankingJson(const library::ScreeningOutcome& outcome) {
    QJsonArray phases;
    int rank = 0;
    for (std::size_t i : library::rankedOrder(outcome.phases)) {
        const library::ScreenedPhase& phase = outcome.phases[i];
        QJsonObject entry{{QStringLiteral("rank"), ++rank},
                          {QStringLiteral("record"), phase.record},
                          {QStringLiteral("description"), phase.description},
                          {QStringLiteral("rows"), phase.rows}};
        if (phase.best) {
            const indexing::SolutionFamily& f = *phase.best;
            entry.insert(QStringLiteral("best"),
                         QJsonObject{{QStringLiteral("zone"), QJsonArray{static_cast<qint64>(f.zone[0]), static_cast<qint64>(f.zone[1]),
                                                                         static_cast<qint64>(f.zone[2])}},
                                     {QStringLiteral("forms"), QJsonArray{hklArray(f.forms[0]), hklArray(f.forms[1]), hklArray(f.forms[2])}},
                                     {QStringLiteral("misfit"), f.misfit},
                                     {QStringLiteral("rows"), static_cast<qint64>(f.rowCount)},
                                     {QStringLiteral("double"), phase.doubleDiffraction}});
        } else {
            entry.insert(QStringLiteral("best"), QJsonValue::Null);
        }
        phases.append(entry);
    }
    return QJsonObject{{QStringLiteral("phases"), phases}, {QStringLiteral("report"), QDir::toNativeSeparators(outcome.path)}};
}

}  // namespace

int runScreenCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    const std::optional<QStringList> cifs = takeListOption(args, QStringLiteral("cif"));
    Options options;
    if (!options.parse(args, kValueOptions, {QStringLiteral("help"), QStringLiteral("double")}))
        return usageError(err, options.error());
    if (options.has(QStringLiteral("help"))) {
        out << kHelp;
        return 0;
    }
    if (const QString problem = patternOptionsProblem(options); !problem.isEmpty())
        return usageError(err, problem);
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json"))
        return usageError(err, QStringLiteral("--format must be text or json"));
    if (cifs && (cifs->isEmpty() || options.has(QStringLiteral("library"))))
        return usageError(err, QStringLiteral("--cif needs files or folders, and goes without --library"));

    library::PhaseTree tree;
    std::vector<library::CrystalPhase> crystals;
    if (cifs) {
        const auto phases = loadCifPhases(*cifs, QStringLiteral("screen"), err);
        if (!phases) return 2;
        crystals = *phases;
        if (!tree.build(library::libraryRecords(crystals)) || tree.recordCount() == 0)
            return usageError(err, QStringLiteral("the CIF files hold no phase with a cell"));
    } else if (!buildLibraryTree(options.value(QStringLiteral("library")), tree, "saedindex-cli screen", err)) {
        return 2;
    }

    library::ScreeningRequest request = library::screeningRequest(tree, true);
    request.selection.clear();  // the command screens every record unless --phases names some
    for (const library::CrystalPhase& phase : crystals)
        request.crystals.push_back(std::make_shared<const library::CrystalPhase>(phase));
    if (options.has(QStringLiteral("phases"))) {
        for (const QString& part : options.value(QStringLiteral("phases")).split(u',')) {
            bool ok = false;
            const int r = part.trimmed().toInt(&ok);
            if (!ok || r < 1 || r > tree.recordCount())
                return usageError(err, QStringLiteral("--phases: '%1' is not a record number from 1 to %2")
                                           .arg(part.trimmed())
                                           .arg(tree.recordCount()));
            request.selection.push_back(r);
        }
    } else {
        for (int r = 1; r <= tree.recordCount(); ++r) request.selection.push_back(r);
    }

    model::MainModel model;
    model.setCombo1Items(model::latticeTypeNames());
    model.setCombo1(0);
    model.setFlag(model::Flag::DoubleDiffraction, options.has(QStringLiteral("double")));
    if (!fillPatternFields(options, model)) return usageError(err, options.error());
    if (options.has(QStringLiteral("image"))) model.setChosenFile(options.value(QStringLiteral("image")));

    CliPrompts prompts(err, "saedindex-cli screen");
    indexing::IndexingOperations operations(model, prompts);
    bool rejected = false;
    const auto run = [&] {
        operations.RunIndexing();
        rejected = rejected || operations.InputRejected() != 0;
    };
    store::ReportTarget target;
    target.folders = {options.value(QStringLiteral("out"), QDir::currentPath())};
    target.stamp = QDateTime::currentDateTime();
    request.lastRows = [&operations]() -> const std::vector<indexing::ResultRow>& { return operations.lastRows(); };
    const auto outcome = library::screenSelectedPhases(model, prompts, request, run, target);
    if (!outcome) return 2;
    if (format == QStringLiteral("json")) {
        out << QString::fromUtf8(QJsonDocument(rankingJson(*outcome)).toJson(QJsonDocument::Indented));
    } else {
        for (const library::ScreenedPhase& phase : outcome->phases) out << phase.description << '\t' << phase.rows << '\n';
        out << "report: " << QDir::toNativeSeparators(outcome->path) << '\n';
    }
    out.flush();
    return rejected ? 2 : 0;
}

}  // namespace saed::cli
