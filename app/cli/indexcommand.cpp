// saedindex-cli index: the indexing run of the window on a pattern given as options.
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include "app/cli/cliprompts.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/commands.h"
#include "app/cli/options.h"
#include "app/cli/tablewriter.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "indexing/indexingoperations.h"
#include "library/phaseranking.h"
#include "store/reports.h"

namespace saed::cli {

namespace {

const char kHelp[] =
    "usage: saedindex-cli index (--cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]\n"
    "                            | --cif FILE) --angles a12,a23,a13\n"
    "                           (--d d1,d2,d3 | --scale S,Lbar --r1 L,N --r2 L,N --r3 L,N)\n"
    "                           [--double] [--range N] [--tol-d t1,t2,t3] [--tol-angle t1,t2,t3]\n"
    "                           [--format text|tsv|json] [--report [--out DIR]] [--max-rows M]\n"
    "\n"
    "Finds every triple of lattice planes g1 + g2 = g3 whose spacings and angles match three\n"
    "measured diffraction spots R1, R2, R3 (R3 = R1 + R2), exactly as the window's 标定计算 does.\n"
    "\n"
    "options:\n"
    "  --cell a,b,c,alpha,beta,gamma  lattice parameters: edges in nm, angles in degrees\n"
    "  --type T           lattice type: simple, base, body, face, rhombic, or 0 to 4 (default simple)\n"
    "  --spacegroup SG    instead of --type, the space group (\"P 63/m m c\", \"F d -3 m\" or a\n"
    "                     number): a plane is allowed when the group does not extinguish it\n"
    "  --cif FILE         instead of --cell, the cell, space group and atom sites of the first data\n"
    "                     block of a CIF; with atoms a plane is also out when |F| vanishes\n"
    "  --double           also let in forbidden planes that are the sum of two allowed planes of\n"
    "                     the row's zone (double diffraction); such rows are marked \"※\" (json:\n"
    "                     \"double\": true)\n"
    "  --range N          index range: h, k and l each run over -N..N, 0 <= N <= 99 (default 5)\n"
    "  --scale S,Lbar     scale bar: reading S in 1/nm and its measured length Lbar in px\n"
    "  --r1 L,N           spot R1: measured length L in px spanning N spot spacings\n"
    "  --r2 L,N           spot R2, as --r1\n"
    "  --r3 L,N           spot R3, as --r1; then dn = N * (Lbar / S) / L\n"
    "  --d d1,d2,d3       the measured spacings in nm, instead of --scale and --r1 to --r3\n"
    "  --angles a12,a23,a13  measured angles <R1,R2>, <R2,R3>, <R1,R3> in degrees\n"
    "  --tol-d t1,t2,t3   spacing tolerances in nm (default 0.008,0.008,0.008); a spacing\n"
    "                     difference equal to its tolerance passes\n"
    "  --tol-angle t1,t2,t3  angle tolerances in degrees (default 2,2,2); an angle difference\n"
    "                     equal to its tolerance fails\n"
    "  --format F         text (default): the table aligned for a terminal, its headers and the\n"
    "                     row count; tsv: the twenty cell texts of each row as the window shows\n"
    "                     them, tab-separated, no header; json: the inputs, the measured d1, d2,\n"
    "                     d3 and the rows as numbers\n"
    "  --report           also write the result report of the window's 导出标定结果: the file\n"
    "                     标定结果YYYY-MM-DD HHNNSS.txt (GB18030, CR LF); its path goes to stderr\n"
    "  --out DIR          the report's folder (default: the current folder)\n"
    "  --max-rows M       stop the run at M rows, 1 <= M <= 5000000 (default 5000000)\n"
    "  --help             this text\n"
    "\n"
    "Bad input is told on stderr with exit status 2; no solution is an empty table, status 0.\n"
    "A run that would give more than --max-rows rows (a tolerance or index range far too wide for\n"
    "a real pattern) stops there: that is told on stderr with exit status 2 and no table is written.\n"
    "\n"
    "example (a cubic cell, one spot each, scale bar 2 1/nm over 100 px):\n"
    "  saedindex-cli index --cell 0.5,0.5,0.5,90,90,90 --range 1 --scale 2,100 \\\n"
    "      --r1 100,1 --r2 100,1 --r3 141.42,1 --angles 90,45,45\n"
    "\n"
    "example (alpha-Ti along [2 -1 -1 0] with (0 0 0 1) by double diffraction):\n"
    "  saedindex-cli index --cell 0.29506,0.29506,0.46835,90,90,120 --spacegroup \"P 63/m m c\" \\\n"
    "      --double --range 3 --d 0.46835,0.25551,0.22135 --angles 90,30.04,59.96\n";

const QStringList kValueOptions = patternOptionNames() + QStringList{
    QStringLiteral("cell"), QStringLiteral("type"), QStringLiteral("format"), QStringLiteral("out"),
    QStringLiteral("max-rows"), QStringLiteral("spacegroup"), QStringLiteral("cif")};

// The option (and the place in its list) that filled field Text1(n).
QString optionOfField(int n, bool spacingsGiven) {
    const auto nth = [](const char* option, int i) {
        static const char* const ordinals[] = {"first", "second", "third", "fourth", "fifth", "sixth"};
        return QStringLiteral("--%1, %2 value").arg(QString::fromLatin1(option), QString::fromLatin1(ordinals[i]));
    };
    if (n >= 0 && n <= 5) return nth("cell", n);
    if (n == 21) return QStringLiteral("--range");
    if (spacingsGiven && n >= 30 && n <= 32) return nth("d", n - 30);
    if (n == 22 || n == 23) return nth("scale", n - 22);
    if (n >= 24 && n <= 26) return nth(n == 24 ? "r1" : n == 25 ? "r2" : "r3", 0);
    if (n >= 30 && n <= 32) return nth(n == 30 ? "r1" : n == 31 ? "r2" : "r3", 1);
    if (n >= 27 && n <= 29) return nth("tol-d", n - 27);
    if (n >= 33 && n <= 35) return nth("angles", n - 33);
    if (n >= 36 && n <= 38) return nth("tol-angle", n - 36);
    return QString();
}

QJsonArray numbers(const model::MainModel& model, std::initializer_list<int> fields) {
    QJsonArray array;
    for (int n : fields) array.append(model.value(n));
    return array;
}

QJsonArray indices(const core::Hkl& p) { return QJsonArray{p[0], p[1], p[2]}; }

QJsonObject jsonReport(const model::MainModel& model, const indexing::IndexingOperations& operations,
                       bool spacingsGiven) {
    QJsonObject input;
    input.insert(QStringLiteral("cell"), numbers(model, {0, 1, 2, 3, 4, 5}));
    input.insert(QStringLiteral("type"), model.Combo1());
    if (!model.spaceGroupText().isEmpty()) input.insert(QStringLiteral("spaceGroup"), model.spaceGroupText());
    input.insert(QStringLiteral("double"), model.flag(model::Flag::DoubleDiffraction));
    input.insert(QStringLiteral("range"), model.value(21));
    if (spacingsGiven) {
        input.insert(QStringLiteral("d"), numbers(model, {30, 31, 32}));
    } else {
        input.insert(QStringLiteral("scale"), numbers(model, {22, 23}));
        input.insert(QStringLiteral("r1"), numbers(model, {24, 30}));
        input.insert(QStringLiteral("r2"), numbers(model, {25, 31}));
        input.insert(QStringLiteral("r3"), numbers(model, {26, 32}));
    }
    input.insert(QStringLiteral("angles"), numbers(model, {33, 34, 35}));
    input.insert(QStringLiteral("tolD"), numbers(model, {27, 28, 29}));
    input.insert(QStringLiteral("tolAngle"), numbers(model, {36, 37, 38}));

    const std::array<double, 3> d = indexing::measuredSpacings(model);
    QJsonObject measured{{QStringLiteral("d1"), d[0]}, {QStringLiteral("d2"), d[1]}, {QStringLiteral("d3"), d[2]}};

    QJsonArray rows;
    const std::vector<indexing::ResultRow>& results = operations.lastRows();
    for (std::size_t r = 0; r < results.size(); ++r) {
        const indexing::ResultRow& row = results[r];
        rows.append(QJsonObject{
            {QStringLiteral("group"), static_cast<qint64>(r) + 1},
            {QStringLiteral("g1"), indices(row.g1)},
            {QStringLiteral("g2"), indices(row.g2)},
            {QStringLiteral("g3"), indices(row.g3)},
            {QStringLiteral("d"), QJsonArray{row.spacingNm[0], row.spacingNm[1], row.spacingNm[2]}},
            {QStringLiteral("angles"), QJsonArray{row.angleDeg[0], row.angleDeg[1], row.angleDeg[2]}},
            {QStringLiteral("double"), row.doubleDiffraction},
        });
    }
    return QJsonObject{{QStringLiteral("input"), input},
                       {QStringLiteral("measured"), measured},
                       {QStringLiteral("count"), static_cast<qint64>(results.size())},
                       {QStringLiteral("rows"), rows}};
}

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli index: " << message << "\nTry 'saedindex-cli index --help'.\n";
    return 2;
}

// --report: the window's export of the table just built, into --out or the current folder.
int writeReportIfAsked(const Options& options, model::MainModel& model, model::Prompts& prompts, QTextStream& err) {
    if (!options.has(QStringLiteral("report"))) return 0;
    store::ReportTarget target;
    target.folders = {options.value(QStringLiteral("out"), QDir::currentPath())};
    target.stamp = QDateTime::currentDateTime();
    const std::optional<QString> path = store::exportResultReport(model, prompts, target);
    if (!path) return 2;
    err << "saedindex-cli index: report written to " << QDir::toNativeSeparators(*path) << '\n';
    err.flush();
    return 0;
}

}  // namespace

int runIndexCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Options options;
    if (!options.parse(args, kValueOptions, {QStringLiteral("help"), QStringLiteral("report"), QStringLiteral("double")}))
        return usageError(err, options.error());
    if (options.has(QStringLiteral("help"))) {
        out << kHelp;
        return 0;
    }

    if (options.has(QStringLiteral("out")) && !options.has(QStringLiteral("report")))
        return usageError(err, QStringLiteral("--out names the folder of --report"));
    const bool spacingsGiven = options.has(QStringLiteral("d"));
    const bool fromCif = options.has(QStringLiteral("cif"));
    if (options.has(QStringLiteral("cell")) == fromCif)
        return usageError(err, QStringLiteral("give either --cell or --cif"));
    if (options.has(QStringLiteral("type")) && (fromCif || options.has(QStringLiteral("spacegroup"))))
        return usageError(err, QStringLiteral("--type goes with --cell alone, not with --spacegroup or --cif"));
    if (fromCif && options.has(QStringLiteral("spacegroup")))
        return usageError(err, QStringLiteral("--cif brings its own space group; leave out --spacegroup"));
    if (const QString problem = patternOptionsProblem(options); !problem.isEmpty())
        return usageError(err, problem);

    const std::optional<OutputFormat> format = parseOutputFormat(options.value(QStringLiteral("format"), QStringLiteral("text")));
    if (!format) return usageError(err, QStringLiteral("--format must be text, tsv or json"));
    const int type = latticeTypeCode(options.value(QStringLiteral("type"), QStringLiteral("simple")));
    if (type < 0) return usageError(err, QStringLiteral("--type must be simple, base, body, face, rhombic or 0 to 4"));

    bool limitOk = true;
    const qulonglong maxRows = options.has(QStringLiteral("max-rows"))
                                   ? options.value(QStringLiteral("max-rows")).trimmed().toULongLong(&limitOk)
                                   : indexing::kRowLimit;
    if (!limitOk || maxRows < 1 || maxRows > indexing::kRowLimit)
        return usageError(err, QStringLiteral("--max-rows must be a whole number from 1 to %1").arg(indexing::kRowLimit));

    model::MainModel model;
    model.setCombo1Items(model::latticeTypeNames());
    model.setCombo1(type);
    model.setFlag(model::Flag::DoubleDiffraction, options.has(QStringLiteral("double")));

    std::optional<library::CrystalPhase> phase;
    if (fromCif) {
        const auto phases = loadCifPhases({options.value(QStringLiteral("cif"))}, QStringLiteral("index"), err);
        if (!phases) return 2;
        if (phases->size() > 1)
            err << "saedindex-cli index: " << options.value(QStringLiteral("cif")) << " holds " << phases->size()
                << " phases; indexing with the first, " << QString::fromStdString(phases->front().name) << '\n';
        phase = phases->front();
        const core::Cell& c = phase->cell;
        const double values[6] = {c.aNm, c.bNm, c.cNm, c.alphaDeg, c.betaDeg, c.gammaDeg};
        for (int n = 0; n < 6; ++n)
            model.setText1(n, QString::fromStdString(library::formatNumberWithSu(values[n], 0)));
    } else {
        const std::optional<QStringList> cell = options.list(QStringLiteral("cell"), 6);
        if (!cell) return usageError(err, options.error());
        for (int n = 0; n < 6; ++n) model.setText1(n, (*cell)[n]);
        if (options.has(QStringLiteral("spacegroup"))) {
            QString error;
            phase = phaseFromCell(*cell, options.value(QStringLiteral("spacegroup")), error);
            if (!phase) return usageError(err, error);
        }
    }
    if (phase) {
        model.setSpaceGroup(QString::fromStdString(library::spaceGroupLabel(*phase)), library::phaseRule(*phase));
        model.setCombo1(indexing::kSpaceGroupType);
    }
    if (!fillPatternFields(options, model)) return usageError(err, options.error());

    CliPrompts prompts(err);
    indexing::IndexingOperations operations(model, prompts);
    operations.setRowLimit(static_cast<std::size_t>(maxRows));
    QObject::connect(&model, &model::MainModel::focusRequested, [&err, spacingsGiven](int n) {
        const QString option = optionOfField(n, spacingsGiven);
        if (!option.isEmpty()) err << "  (" << option << ")\n";
    });
    operations.RunIndexing();
    if (operations.InputRejected() != 0) return 2;
    // The message went to stderr through the prompts; a cut table is not a result.
    if (operations.lastEnd() == indexing::RunEnd::RowLimit) return 2;

    const model::ResultTableModel& table = *model.resultTable();
    switch (*format) {
    case OutputFormat::Text: {
        writeAlignedTable(out, table);
        out << "rows: " << table.rowCount() << '\n';
        int marked = 0;
        for (int r = 0; r < table.rowCount(); ++r) marked += table.usesDoubleDiffraction(r) ? 1 : 0;
        if (marked > 0)
            out << "※ " << marked << (marked == 1 ? " row uses" : " rows use")
                << " a forbidden reflection that appears by double diffraction\n";
        break;
    }
    case OutputFormat::Tsv:
        writeTsv(out, table);
        break;
    case OutputFormat::Json:
        writeJson(out, jsonReport(model, operations, spacingsGiven));
        break;
    }
    out.flush();
    return writeReportIfAsked(options, model, prompts, err);
}

}  // namespace saed::cli
