// saedindex-cli index: the indexing run of the window on a pattern given as options.
#include <algorithm>  // for stable_sort
#include <cmath>      // for isnan, lround

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardItemModel>

#include "app/cli/cliprompts.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/commands.h"
#include "app/cli/imageread.h"
#include "app/cli/options.h"
#include "app/cli/tablewriter.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/texts.h"
#include "core/numbertext.h"
#include "indexing/resultcells.h"
#include "indexing/indexingoperations.h"
#include "measure/imagefile.h"
#include "measure/spots.h"
#include "simulation/rowmatch.h"
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
    "       saedindex-cli index --cell ... --image FILE --auto [--scale S,Lbar] [options as above]\n"
    "                           [--families] [--image FILE --centre X,Y --r1-end X,Y --r2-end X,Y]\n"
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
    "  --image FILE --auto  measure the pattern in a diffraction image: detect its spots, find the\n"
    "                     direct beam, take the two shortest lattice vectors as R1, R2 and\n"
    "                     R3 = R1 + R2 (one spacing each) with their angles; the scale bar comes\n"
    "                     from the file's calibration (10 1/nm over its pixels), or from --scale\n"
    "                     when the file has none (--scale wins over the file)\n"
    "  --angles a12,a23,a13  measured angles <R1,R2>, <R2,R3>, <R1,R3> in degrees\n"
    "  --tol-d t1,t2,t3   spacing tolerances in nm (default 0.008,0.008,0.008); a spacing\n"
    "                     difference equal to its tolerance passes\n"
    "  --tol-angle t1,t2,t3  angle tolerances in degrees (default 2,2,2); an angle difference\n"
    "                     equal to its tolerance fails\n"
    "  --format F         text (default): the table aligned for a terminal, its headers and the\n"
    "                     row count; tsv: the twenty cell texts of each row as the window shows\n"
    "                     them, tab-separated, no header; json: the inputs, the measured d1, d2,\n"
    "                     d3, the rows as numbers with their zone [u,v,w] and family, and the\n"
    "                     families, best first\n"
    "  --report           also write the result report of the window's 导出标定结果: the file\n"
    "                     标定结果YYYY-MM-DD HHNNSS.txt (GB18030, CR LF); its path goes to stderr\n"
    "  --out DIR          the report's folder (default: the current folder)\n"
    "  --max-rows M       stop the run at M rows, 1 <= M <= 5000000 (default 5000000)\n"
    "  --families         one line per family instead of one per row: rows that are the same\n"
    "                     solution up to the lattice's symmetry and Friedel pairs (the same zone\n"
    "                     <uvw> and {hkl} of g1, g2, g3), best first, with the representative row\n"
    "                     (the family's least misfit) and the number of rows\n"
    "  --image FILE       an image of the pattern: each family gets a match, the share of its\n"
    "                     predicted spots that the image shows and of the image's spots that it\n"
    "                     predicts (harmonic mean, 0..1), and families sort by match, then misfit\n"
    "  --centre X,Y       the direct beam on the image, in image pixels (x right, y down)\n"
    "  --r1-end X,Y       the end of R1 on the image; R1 spans the spot spacings N of --r1\n"
    "  --r2-end X,Y       the end of R2, as --r1-end (with --d, each spans one spacing)\n"
    "\n"
    "misfit = sqrt( ( sum_n ((DTn - dn) / td_n)^2 + sum_n ((An - Mn) / ta_n)^2 ) / 6 ), n = 1..3:\n"
    "the deviations of the row's spacings DTn and angles An from the measured dn and Mn, each in\n"
    "units of its tolerance; 0 fits exactly, a row inside all six tolerances has at most 1.\n"
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
    "example (samples/al-114.png: two families with the same spacings and angles; the image\n"
    "decides for <4 1 1>):\n"
    "  saedindex-cli index --cell 0.40495,0.40495,0.40495,90,90,90 --type face --scale 10,140 \\\n"
    "      --r1 115.52,1 --r2 114.56,1 --r3 98.08,1 --angles 128.83,64.58,64.25 --families \\\n"
    "      --image samples/al-114.png --centre 400.3,300.6 --r1-end 410.8,186.4 --r2-end 481.7,381.3\n"
    "\n"
    "example (alpha-Ti along [2 -1 -1 0] with (0 0 0 1) by double diffraction):\n"
    "  saedindex-cli index --cell 0.29506,0.29506,0.46835,90,90,120 --spacegroup \"P 63/m m c\" \\\n"
    "      --double --range 3 --d 0.46835,0.25551,0.22135 --angles 90,30.04,59.96\n";

const QStringList kValueOptions = patternOptionNames() + QStringList{
    QStringLiteral("cell"), QStringLiteral("type"), QStringLiteral("format"), QStringLiteral("out"),
    QStringLiteral("max-rows"), QStringLiteral("image"), QStringLiteral("centre"), QStringLiteral("r1-end"),
    QStringLiteral("r2-end"), QStringLiteral("spacegroup"), QStringLiteral("cif")};

}  // namespace

namespace {

using model::Field;
using model::fieldNumber;

// The option (and the place in its list) that filled field Text1(n).
QString optionOfField(int n, bool spacingsGiven) {
    const auto nth = [](const char* option, int i) {
        static const char* const ordinals[] = {"first", "second", "third", "fourth", "fifth", "sixth"};
        return QStringLiteral("--%1, %2 value").arg(QString::fromLatin1(option), QString::fromLatin1(ordinals[i]));
    };
    // Place of field n in the run of fields that starts at `first` and holds `count` of them.
    const auto place = [n](Field first, int count) {
        const int i = n - fieldNumber(first);
        return i >= 0 && i < count ? i : -1;
    };
    static const char* const lengths[] = {"r1", "r2", "r3"};
    if (const int i = place(Field::A, 6); i >= 0) return nth("cell", i);
    if (n == fieldNumber(Field::Range)) return QStringLiteral("--range");
    if (const int i = place(Field::SegmentsR1, 3); spacingsGiven && i >= 0) return nth("d", i);
    if (const int i = place(Field::ScaleReading, 2); i >= 0) return nth("scale", i);
    if (const int i = place(Field::LengthR1, 3); i >= 0) return nth(lengths[i], 0);
    if (const int i = place(Field::SegmentsR1, 3); i >= 0) return nth(lengths[i], 1);
    if (const int i = place(Field::TolD1, 3); i >= 0) return nth("tol-d", i);
    if (const int i = place(Field::AngleR1R2, 3); i >= 0) return nth("angles", i);
    if (const int i = place(Field::TolAngle12, 3); i >= 0) return nth("tol-angle", i);
    return QString();
}

QJsonArray numbers(const model::MainModel& model, std::initializer_list<Field> fields) {
    QJsonArray array;
    for (Field f : fields) array.append(model.value(f));
    return array;
}

QJsonArray indices(const core::Hkl& p) { return QJsonArray{p[0], p[1], p[2]}; }

QJsonArray axis(const core::Uvw& u) {
    return QJsonArray{static_cast<qint64>(u[0]), static_cast<qint64>(u[1]), static_cast<qint64>(u[2])};
}

// A number, or null for NaN (JSON has no NaN) and infinity.
QJsonValue finiteOrNull(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(); }

// The families in the order to show: best first by misfit, or, with matches, by match first.
struct FamilyLine {
    indexing::SolutionFamily family;
    std::optional<double> match;
};

std::vector<FamilyLine> orderedFamilies(const indexing::FamilyGrouping& grouping,
                                        const std::optional<std::vector<std::optional<double>>>& matchOfId) {
    std::vector<FamilyLine> lines;
    for (const indexing::SolutionFamily& f : grouping.families) {
        FamilyLine line{f, std::nullopt};
        if (matchOfId) line.match = (*matchOfId)[static_cast<std::size_t>(f.id - 1)];
        lines.push_back(line);
    }
    // grouping.families is already by misfit; a stable sort by match keeps that among equals,
    // and a family without a match (its pattern could not be made) goes last.
    if (matchOfId)
        std::stable_sort(lines.begin(), lines.end(), [](const FamilyLine& a, const FamilyLine& b) {
            return a.match.value_or(-1) > b.match.value_or(-1);
        });
    return lines;
}

QJsonObject jsonReport(const model::MainModel& model, const indexing::IndexingOperations& operations,
                       bool spacingsGiven, const std::vector<FamilyLine>& families) {
    QJsonObject input;
    input.insert(QStringLiteral("cell"), numbers(model, {Field::A, Field::B, Field::C, Field::Alpha, Field::Beta, Field::Gamma}));
    input.insert(QStringLiteral("type"), model.Combo1());
    if (!model.spaceGroupText().isEmpty()) input.insert(QStringLiteral("spaceGroup"), model.spaceGroupText());
    input.insert(QStringLiteral("double"), model.flag(model::Flag::DoubleDiffraction));
    // The range the run searched: the field's number brought to the nearest whole one.
    input.insert(QStringLiteral("range"), indexing::readIndexingInput(model).rangeN);
    if (spacingsGiven) {
        input.insert(QStringLiteral("d"), numbers(model, {Field::SegmentsR1, Field::SegmentsR2, Field::SegmentsR3}));
    } else {
        input.insert(QStringLiteral("scale"), numbers(model, {Field::ScaleReading, Field::ScaleLength}));
        input.insert(QStringLiteral("r1"), numbers(model, {Field::LengthR1, Field::SegmentsR1}));
        input.insert(QStringLiteral("r2"), numbers(model, {Field::LengthR2, Field::SegmentsR2}));
        input.insert(QStringLiteral("r3"), numbers(model, {Field::LengthR3, Field::SegmentsR3}));
    }
    input.insert(QStringLiteral("angles"), numbers(model, {Field::AngleR1R2, Field::AngleR2R3, Field::AngleR1R3}));
    input.insert(QStringLiteral("tolD"), numbers(model, {Field::TolD1, Field::TolD2, Field::TolD3}));
    input.insert(QStringLiteral("tolAngle"), numbers(model, {Field::TolAngle12, Field::TolAngle23, Field::TolAngle13}));

    const std::array<double, 3> d = indexing::measuredSpacings(model);
    QJsonObject measured{{QStringLiteral("d1"), d[0]}, {QStringLiteral("d2"), d[1]}, {QStringLiteral("d3"), d[2]}};

    QJsonArray rows;
    const std::vector<indexing::ResultRow>& results = operations.lastRows();
    const std::vector<int>& familyOfRow = operations.lastFamilies().familyOfRow;
    for (std::size_t r = 0; r < results.size(); ++r) {
        const indexing::ResultRow& row = results[r];
        rows.append(QJsonObject{
            {QStringLiteral("group"), static_cast<qint64>(r) + 1},
            {QStringLiteral("g1"), indices(row.g1)},
            {QStringLiteral("g2"), indices(row.g2)},
            {QStringLiteral("g3"), indices(row.g3)},
            {QStringLiteral("d"), QJsonArray{row.spacingNm[0], row.spacingNm[1], row.spacingNm[2]}},
            {QStringLiteral("angles"), QJsonArray{row.angleDeg[0], row.angleDeg[1], row.angleDeg[2]}},
            {QStringLiteral("zone"), axis(indexing::zoneOf(row))},
            {QStringLiteral("family"), r < familyOfRow.size() ? familyOfRow[r] : 0},
            {QStringLiteral("misfit"), finiteOrNull(operations.lastMisfits()[r])},
            {QStringLiteral("double"), row.doubleDiffraction},
        });
    }
    QJsonArray familyArray;
    for (const FamilyLine& line : families) {
        const indexing::ResultRow& representative = results[line.family.representative];
        familyArray.append(QJsonObject{
            {QStringLiteral("id"), line.family.id},
            {QStringLiteral("zone"), axis(line.family.zone)},
            {QStringLiteral("hkl"), QJsonArray{indices(representative.g1), indices(representative.g2), indices(representative.g3)}},
            {QStringLiteral("group"), static_cast<qint64>(line.family.representative) + 1},
            {QStringLiteral("rows"), static_cast<qint64>(line.family.rowCount)},
            {QStringLiteral("misfit"), finiteOrNull(line.family.misfit)},
            {QStringLiteral("match"), line.match ? QJsonValue(*line.match) : QJsonValue()},
        });
    }
    return QJsonObject{{QStringLiteral("input"), input},
                       {QStringLiteral("measured"), measured},
                       {QStringLiteral("count"), static_cast<qint64>(results.size())},
                       {QStringLiteral("rows"), rows},
                       {QStringLiteral("families"), familyArray}};
}

// One line per family: its id, the representative row, the zone family, the {hkl} of g1, g2, g3,
// the number of rows, the misfit and, with an image, the match.
void fillFamilyTable(QStandardItemModel& table, const std::vector<FamilyLine>& families, bool withMatch) {
    QStringList headers{QStringLiteral("family"), QStringLiteral("row"), QStringLiteral("zone"),
                        QStringLiteral("{hkl}1"), QStringLiteral("{hkl}2"), QStringLiteral("{hkl}3"),
                        QStringLiteral("rows"), QStringLiteral("misfit")};
    if (withMatch) headers << QStringLiteral("match");
    table.setColumnCount(static_cast<int>(headers.size()));
    table.setHorizontalHeaderLabels(headers);
    const auto triple = [](QChar open, const auto& v, QChar close) {
        return open + QStringLiteral("%1 %2 %3").arg(v[0]).arg(v[1]).arg(v[2]) + close;
    };
    const auto number = [](double v) {
        return std::isfinite(v) ? QString::fromStdString(core::formatFixed(v, 3, false)) : QStringLiteral("-");
    };
    for (const FamilyLine& line : families) {
        const indexing::SolutionFamily& f = line.family;
        QList<QStandardItem*> items{
            new QStandardItem(QString::number(f.id)),
            new QStandardItem(QString::fromStdString(indexing::groupLabel(static_cast<long long>(f.representative) + 1))),
            new QStandardItem(triple(u'<', f.zone, u'>')),
            new QStandardItem(triple(u'{', f.forms[0], u'}')),
            new QStandardItem(triple(u'{', f.forms[1], u'}')),
            new QStandardItem(triple(u'{', f.forms[2], u'}')),
            new QStandardItem(QString::number(static_cast<qulonglong>(f.rowCount))),
            new QStandardItem(number(f.misfit))};
        if (withMatch) items << new QStandardItem(line.match ? number(*line.match) : QStringLiteral("-"));
        for (QStandardItem* item : items) item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        table.appendRow(items);
    }
}

// A point "X,Y" of an option, in image pixels.
std::optional<simulation::PixelPoint> pointOption(Options& options, const QString& name) {
    const std::optional<QStringList> xy = options.list(name, 2);
    if (!xy) return std::nullopt;
    bool okX = false, okY = false;
    const double x = (*xy)[0].toDouble(&okX), y = (*xy)[1].toDouble(&okY);
    if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
    return simulation::PixelPoint{x, y};
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

// --image FILE --auto: the spots of the image as R1, R2, R3, and the scale bar from its calibration
// unless --scale gave one. False, with the reason on stderr, when the image gives no pattern.
std::optional<measure::AutoPattern> measureImage(const Options& options, model::MainModel& model, QTextStream& err,
                                                 int& widthPx, int& heightPx) {
    const QString path = options.value(QStringLiteral("image"));
    const measure::LoadedImage image = measure::loadImage(path);
    if (!image.raster) {
        err << "saedindex-cli index: "
            << (image.tooLarge ? path + QStringLiteral(" is too large to be held in memory.") : image.error) << '\n';
        return std::nullopt;
    }
    if (!options.has(QStringLiteral("scale"))) {
        const auto& calibration = image.raster->calibration;
        if (!calibration || !measure::writeCalibration(model, *calibration)) {
            err << "saedindex-cli index: " << path
                << (calibration ? QStringLiteral(" carries a real-space scale, not a diffraction calibration")
                                : QStringLiteral(" carries no calibration"))
                << "; give --scale S,Lbar\n";
            return std::nullopt;
        }
    }
    widthPx = image.raster->width();
    heightPx = image.raster->height();
    std::string error;
    const std::optional<measure::AutoPattern> pattern = measure::measurePattern(*image.raster, std::nullopt, error);
    if (!pattern) {
        err << "saedindex-cli index: " << path << ": " << QString::fromStdString(error) << '\n';
        return std::nullopt;
    }
    measure::writeAutoPattern(model, *pattern);
    err << "saedindex-cli index: " << pattern->spots.size() << " spots, centre " << pattern->vectors.centre.x << ','
        << pattern->vectors.centre.y << "; R1 " << pattern->lengthsPx[0] << " px, R2 " << pattern->lengthsPx[1]
        << " px, R3 " << pattern->lengthsPx[2] << " px; angles " << model.Text1(model::Field::AngleR1R2) << ", "
        << model.Text1(model::Field::AngleR2R3) << ", " << model.Text1(model::Field::AngleR1R3) << '\n';
    err.flush();
    return pattern;
}

}  // namespace

int runIndexCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Options options;
    if (!options.parse(args, kValueOptions,
                       {QStringLiteral("help"), QStringLiteral("report"), QStringLiteral("auto"), QStringLiteral("families"),
                        QStringLiteral("double")}))
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
    const bool autoMeasure = options.has(QStringLiteral("auto"));
    if (autoMeasure && !options.has(QStringLiteral("image")))
        return usageError(err, QStringLiteral("--auto measures the pattern of an image; give --image FILE"));
    if (autoMeasure) {
        for (const char* measured : {"d", "r1", "r2", "r3", "angles"})
            if (options.has(QString::fromLatin1(measured)))
                return usageError(err, QStringLiteral("--image --auto measures the pattern itself; leave out --%1")
                                           .arg(QString::fromLatin1(measured)));
    } else if (const QString problem = patternOptionsProblem(options); !problem.isEmpty()) {
        return usageError(err, problem);
    }

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
            model.setText1(model::fieldNumber(model::Field::A, n),
                          QString::fromStdString(library::formatNumberWithSu(values[n], 0)));
    } else {
        const std::optional<QStringList> cell = options.list(QStringLiteral("cell"), 6);
        if (!cell) return usageError(err, options.error());
        for (int n = 0; n < 6; ++n) model.setText1(model::fieldNumber(model::Field::A, n), (*cell)[n]);
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
    std::optional<measure::AutoPattern> autoPattern;
    int imageWidthPx = 0, imageHeightPx = 0;
    if (autoMeasure) {
        autoPattern = measureImage(options, model, err, imageWidthPx, imageHeightPx);
        if (!autoPattern) return 2;
    }

    // The image and where the pattern lies on it, read before the run so that a bad file costs
    // no search.
    std::optional<simulation::ImageFrame> frame;
    std::vector<simulation::PixelPoint> detected;
    const QStringList imageOptions{QStringLiteral("image"), QStringLiteral("centre"), QStringLiteral("r1-end"),
                                   QStringLiteral("r2-end")};
    const auto given = std::count_if(imageOptions.begin(), imageOptions.end(), [&options](const QString& o) { return options.has(o); });
    if (autoPattern) {
        // The detected pattern places itself: R1 and R2 from the centre, one spacing each.
        if (given != 1)
            return usageError(err, QStringLiteral("--image --auto finds the centre and R1, R2 itself; leave out --centre, --r1-end and --r2-end"));
        simulation::ImageFrame f;
        const measure::LatticeVectors& v = autoPattern->vectors;
        f.centre = {v.centre.x, v.centre.y};
        f.r1End = {v.centre.x + v.r1.x, v.centre.y + v.r1.y};
        f.r2End = {v.centre.x + v.r2.x, v.centre.y + v.r2.y};
        f.widthPx = imageWidthPx;
        f.heightPx = imageHeightPx;
        for (const measure::Spot& spot : autoPattern->spots) detected.push_back({spot.x, spot.y});
        frame = f;
    } else if (given != 0 && given != imageOptions.size()) {
        return usageError(err, QStringLiteral("--image, --centre, --r1-end and --r2-end go together"));
    } else if (given != 0) {
        simulation::ImageFrame f;
        const auto centre = pointOption(options, QStringLiteral("centre"));
        const auto r1End = pointOption(options, QStringLiteral("r1-end"));
        const auto r2End = pointOption(options, QStringLiteral("r2-end"));
        if (!centre || !r1End || !r2End)
            return usageError(err, QStringLiteral("--centre, --r1-end and --r2-end each take two numbers X,Y"));
        f.centre = *centre;
        f.r1End = *r1End;
        f.r2End = *r2End;
        if (!spacingsGiven) {
            const double n1 = model.value(model::Field::SegmentsR1), n2 = model.value(model::Field::SegmentsR2);
            if (n1 < 1 || n2 < 1 || n1 != std::floor(n1) || n2 != std::floor(n2))
                return usageError(err, QStringLiteral("with --image, the spot spacings N of --r1 and --r2 must be whole numbers from 1"));
            f.r1Segments = static_cast<int>(n1);
            f.r2Segments = static_cast<int>(n2);
        }
        const core::ReadResult read = readAnyImage(options.value(QStringLiteral("image")));
        if (!read.raster) {
            err << "saedindex-cli index: " << QString::fromStdString(read.error) << '\n';
            return 2;
        }
        f.widthPx = read.raster->width();
        f.heightPx = read.raster->height();
        for (const measure::Spot& spot : measure::detectSpots(*read.raster)) detected.push_back({spot.x, spot.y});
        frame = f;
    }

    CliPrompts prompts(err, "saedindex-cli index");
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

    // The match of each family's representative row against the image's detected spots.
    std::optional<std::vector<std::optional<double>>> matchOfId;
    if (frame) {
        const indexing::FamilyGrouping& grouping = operations.lastFamilies();
        matchOfId.emplace(grouping.families.size());
        const indexing::IndexingInput& in = operations.lastInput();
        const simulation::ExtinctionRule rule = simulation::latticeTypeRule(in.latticeType);
        for (const indexing::SolutionFamily& f : grouping.families) {
            const indexing::ResultRow& row = operations.lastRows()[f.representative];
            if (const auto m = simulation::matchRow(in.cell, rule, row.g1, row.g2, *frame, detected))
                (*matchOfId)[static_cast<std::size_t>(f.id - 1)] = m->score();
        }
    }
    const std::vector<FamilyLine> families = orderedFamilies(operations.lastFamilies(), matchOfId);

    const model::ResultTableModel& table = *model.resultTable();
    QStandardItemModel familyTable;
    if (options.has(QStringLiteral("families"))) fillFamilyTable(familyTable, families, frame.has_value());
    switch (*format) {
    case OutputFormat::Text: {
        if (options.has(QStringLiteral("families"))) {
            writeAlignedTable(out, familyTable);
            out << "families: " << familyTable.rowCount() << ", rows: " << table.rowCount() << '\n';
        } else {
            // The rows' match is the window's (its image and lines); here families carry it.
            writeAlignedTable(out, table, model::ResultTableModel::kMisfitColumn + 1);
            out << "rows: " << table.rowCount() << '\n';
        }
        int marked = 0;
        for (int r = 0; r < table.rowCount(); ++r) marked += table.usesDoubleDiffraction(r) ? 1 : 0;
        if (marked > 0)
            out << "※ " << marked << (marked == 1 ? " row uses" : " rows use")
                << " a forbidden reflection that appears by double diffraction\n";
        break;
    }
    case OutputFormat::Tsv:
        // The row lines keep the twenty texts of the window's table.
        if (options.has(QStringLiteral("families")))
            writeTsv(out, familyTable);
        else
            writeTsv(out, table, model::ResultTableModel::kColumns);
        break;
    case OutputFormat::Json:
        writeJson(out, jsonReport(model, operations, spacingsGiven, families));
        break;
    }
    out.flush();
    return writeReportIfAsked(options, model, prompts, err);
}

}  // namespace saed::cli
