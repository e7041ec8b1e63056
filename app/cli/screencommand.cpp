// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli screen: the library screening of the window ("计算选中项", multiple choice) on a
// pattern given as options.
#include <QCoreApplication>
#include <QDir>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

#include "app/cli/cliprompts.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/commands.h"
#include "app/cli/options.h"
#include "model/mainmodel.h"
#include "model/texts.h"
#include "indexing/indexingoperations.h"
#include "library/phasetexts.h"
#include "library/phasetree.h"
#include "analysis/identifyrun.h"
#include "analysis/screening.h"
#include "library/builtinphases.h"
#include "measure/imagefile.h"
#include "store/reports.h"

namespace saed::cli {

namespace {

struct Screen {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Screen)
};

const char kHelp[] = QT_TRANSLATE_NOOP("saed::cli::Screen",
    "用法：saedindex-cli screen --angles a12,a23,a13\n"
    "                           (--d d1,d2,d3 | --scale S,Lbar --r1 L,N --r2 L,N --r3 L,N)\n"
    "                           [--range N] [--tol-d t1,t2,t3] [--tol-angle t1,t2,t3]\n"
    "                           [--library FILE | --cif FILE_OR_FOLDER...] [--phases r1,r2,...]\n"
    "                           [--double] [--image NAME] [--out DIR] [--format text|json]\n"
    "       saedindex-cli screen --pattern FILE [--scale S,Lbar]\n"
    "                           [--library FILE | --cif FILE_OR_FOLDER...] [--phases r1,r2,...]\n"
    "                           [--double] [--format text|json]\n"
    "\n"
    "用物相库中的每个物相标定实测花样，每个物相运行一次，并写出窗口中“计算选中项”在“多选”\n"
    "方式下的筛选报告：每个有解的物相一段，写入文件 标定结果YYYY-MM-DD HHNNSS.txt（GB18030，\n"
    "CR LF；同名报告则续写其后）。每个物相输出一行：物相描述、一个制表符和解的个数；最后输出\n"
    "报告的路径。\n"
    "\n"
    "用 --pattern FILE 时不用实测的 R1、R2、R3：在衍射图像 FILE 上检出全部斑点、拟合倒易网，\n"
    "按 saedindex-cli identify 的得分给物相排序（各物相取其得分最高的晶带；没有晶带相符的物相\n"
    "排在最后），不写报告。每个物相输出一行：名次、物相描述、得分和晶带轴（制表符分隔）。\n"
    "标尺取自 --scale S,Lbar 或图像所带的标定；两者都没有时按每个候选拟合。\n"
    "\n"
    "默认的物相为物相库的记录，其后是内置的晶体物相（各带空间群和原子）。\n"
    "\n"
    "选项：\n"
    "  --scale, --r1, --r2, --r3, --d, --angles, --range, --tol-d, --tol-angle\n"
    "                     实测花样，同 saedindex-cli index\n"
    "  --library FILE     物相库文本（记录为 name;type;c/a;a;b;c;alpha;beta;gamma;），UTF-8\n"
    "                     或 GBK 编码，代替物相库和内置的晶体物相\n"
    "  --cif FILE_OR_FOLDER...  改用 CIF 文件中的物相（每个含晶胞的数据块；文件夹代表其中的\n"
    "                     *.cif 文件），各带其空间群和原子；无法读取的文件在 stderr 上说明后跳过\n"
    "  --phases r1,r2,..  只筛选这些记录（按物相库中的顺序从 1 编号）\n"
    "  --double           纳入可由二次衍射出现的禁止晶面\n"
    "  --format F         text（默认）：上述各行；json：各物相按其最佳解族排序（失配度小者在前，\n"
    "                     无解的物相在后），各带 record、description、rows 和最佳解族\n"
    "                     {zone, forms, misfit, rows, double}（无解为 null），以及报告的路径\n"
    "  --image NAME       写入报告的图像名\n"
    "  --pattern FILE     按此衍射图像上斑点的识别得分排序（见上）\n"
    "  --out DIR          报告所在的文件夹（默认：当前文件夹）\n"
    "  --help             本说明\n"
    "\n"
    "输入有误时在 stderr 上说明，退出状态为 2。\n"
    "\n"
    "示例（实测花样对一个文件夹中的 CIF 排序）：\n"
    "  saedindex-cli screen --cif structures/ --d 0.2338,0.2338,0.1432 --angles 70.53,54.74,54.74 \\\n"
    "      --format json\n");

const QStringList kValueOptions = patternOptionNames() + QStringList{
    QStringLiteral("library"), QStringLiteral("phases"), QStringLiteral("image"), QStringLiteral("out"),
    QStringLiteral("format"), QStringLiteral("pattern")};

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli screen: " << message << '\n' << Screen::tr("用法见 saedindex-cli screen --help。") << '\n';
    return 2;
}

QJsonArray hklArray(const core::Hkl& p) { return QJsonArray{p[0], p[1], p[2]}; }

QJsonObject rankingJson(const analysis::ScreeningOutcome& outcome) {
    QJsonArray phases;
    int rank = 0;
    for (std::size_t i : analysis::rankedOrder(outcome.phases)) {
        const analysis::ScreenedPhase& phase = outcome.phases[i];
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

// --pattern FILE: the phases ranked by the identification score of their best zone on the image.
int screenByPattern(Options& options, const analysis::ScreeningRequest& request,
                    const std::vector<QString>& descriptions, const QString& format, QTextStream& out,
                    QTextStream& err) {
    const QString path = options.value(QStringLiteral("pattern"));
    const measure::LoadedImage image = measure::loadImage(path);
    if (!image.raster) {
        err << "saedindex-cli screen: "
            << (image.tooLarge && image.error.isEmpty() ? Screen::tr("%1 太大，内存容纳不下。").arg(path) : image.error)
            << '\n';
        return 2;
    }
    analysis::IdentifySettings settings;
    settings.doubleDiffraction = options.has(QStringLiteral("double"));
    settings.maxCandidates = 100000;  // every phase keeps its best zone
    if (options.has(QStringLiteral("scale"))) {
        const auto sl = options.list(QStringLiteral("scale"), 2);
        bool okS = false, okL = false;
        const double s = sl ? (*sl)[0].trimmed().toDouble(&okS) : 0, l = sl ? (*sl)[1].trimmed().toDouble(&okL) : 0;
        if (!okS || !okL || !(s > 0) || !(l > 0) || !std::isfinite(s / l))
            return usageError(err, Screen::tr("--scale 须为两个正数 S,Lbar"));
        settings.calibration = s / l;
    } else if (const auto& c = image.raster->calibration; c && c->reciprocal && c->perPixel > 0) {
        settings.calibration = c->perPixel;
    }
    const analysis::IdentifyPhases phases = analysis::identifyPhases(request);
    if (phases.phases.empty()) return usageError(err, Screen::tr("没有带可用晶胞的物相"));
    analysis::PhaseSearch search(phases.phases, phases.latticeTypes);
    const analysis::ImageIdentification found = analysis::identifyImage(*image.raster, search, settings);
    if (found.net.status != analysis::NetStatus::Ok) {
        err << "saedindex-cli screen: " << path << ": " << analysis::netStatusText(found.net.status) << '\n';
        return 2;
    }
    // Each phase's best candidate, best phases first; phases without one after, in record order.
    std::vector<const analysis::Candidate*> best(phases.phases.size(), nullptr);
    for (const analysis::Candidate& c : found.candidates)
        if (!best[c.phase] || c.score > best[c.phase]->score) best[c.phase] = &c;
    std::vector<std::size_t> order(phases.phases.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&best](std::size_t x, std::size_t y) {
        const double sx = best[x] ? best[x]->score : -1, sy = best[y] ? best[y]->score : -1;
        return sx > sy;
    });
    const auto zone = [](const core::Uvw& u) {
        return QJsonArray{static_cast<qint64>(u[0]), static_cast<qint64>(u[1]), static_cast<qint64>(u[2])};
    };
    QJsonArray list;
    int rank = 0;
    for (const std::size_t i : order) {
        const int record = phases.records[i];
        const QString& description = descriptions[static_cast<std::size_t>(record - 1)];
        const analysis::Candidate* c = best[i];
        ++rank;
        if (format == QStringLiteral("json")) {
            QJsonObject entry{{QStringLiteral("rank"), rank},
                              {QStringLiteral("record"), record},
                              {QStringLiteral("description"), description}};
            entry.insert(QStringLiteral("best"),
                         c ? QJsonValue(QJsonObject{{QStringLiteral("score"), c->score},
                                                    {QStringLiteral("zone"), zone(c->zone)},
                                                    {QStringLiteral("family"), zone(c->family)},
                                                    {QStringLiteral("calibration"), c->calibration},
                                                    {QStringLiteral("tie"), c->tie ? QJsonValue(c->tie) : QJsonValue()}})
                           : QJsonValue());
            list.append(entry);
        } else {
            out << rank << '\t' << model::translatedPhaseLabel(description) << '\t'
                << (c ? QString::number(c->score, 'f', 1) + QLatin1Char('\t') +
                            QStringLiteral("[%1 %2 %3]").arg(c->zone[0]).arg(c->zone[1]).arg(c->zone[2])
                      : QStringLiteral("-\t-"))
                << '\n';
        }
    }
    if (format == QStringLiteral("json"))
        out << QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("phases"), list},
                                                           {QStringLiteral("pattern"), path},
                                                           {QStringLiteral("report"), QJsonValue()}})
                                     .toJson(QJsonDocument::Indented));
    out.flush();
    return 0;
}

}  // namespace

int runScreenCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    const std::optional<QStringList> cifs = takeListOption(args, QStringLiteral("cif"));
    Options options;
    if (!options.parse(args, kValueOptions, {QStringLiteral("help"), QStringLiteral("double")}))
        return usageError(err, options.error());
    if (options.has(QStringLiteral("help"))) {
        out << Screen::tr(kHelp);
        return 0;
    }
    const bool byPattern = options.has(QStringLiteral("pattern"));
    if (byPattern) {
        // The image gives the pattern: measured values and the report's options have no place.
        for (const QString& name : patternOptionNames() + QStringList{QStringLiteral("image"), QStringLiteral("out")})
            if (name != QStringLiteral("scale") && options.has(name))
                return usageError(err, Screen::tr("--pattern 由图像给出花样；请去掉 --%1").arg(name));
    } else if (const QString problem = patternOptionsProblem(options); !problem.isEmpty()) {
        return usageError(err, problem);
    }
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json"))
        return usageError(err, Screen::tr("--format 须为 text 或 json"));
    if (cifs && (cifs->isEmpty() || options.has(QStringLiteral("library"))))
        return usageError(err, Screen::tr("--cif 需要文件或文件夹，且不能与 --library 同用"));

    library::PhaseTree tree;
    std::vector<library::CrystalPhase> crystals;
    int leading = 0;  // records before the crystal phases
    if (cifs) {
        const auto phases = loadCifPhases(*cifs, QStringLiteral("screen"), err);
        if (!phases) return 2;
        crystals = *phases;
        if (!tree.build(library::libraryRecords(crystals)) || tree.recordCount() == 0)
            return usageError(err, Screen::tr("这些 CIF 文件中没有带晶胞的物相"));
    } else if (options.has(QStringLiteral("library"))) {
        if (!buildLibraryTree(options.value(QStringLiteral("library")), tree, "saedindex-cli screen", err)) return 2;
    } else {
        // The library's records, then the built-in crystal phases, numbered as the window lists them.
        const int nineField = static_cast<int>(library::parseLibraryText(library::kLibraryText).records.size());
        tree.build(std::string(library::kLibraryText) + library::libraryRecords(library::builtInPhases()));
        crystals.assign(library::builtInPhases().begin(), library::builtInPhases().end());
        leading = nineField;
    }

    analysis::ScreeningRequest request = analysis::screeningRequest(tree, true);
    request.selection.clear();  // the command screens every record unless --phases names some
    request.crystals.assign(static_cast<std::size_t>(leading), nullptr);
    for (const library::CrystalPhase& phase : crystals)
        request.crystals.push_back(std::make_shared<const library::CrystalPhase>(phase));
    if (options.has(QStringLiteral("phases"))) {
        for (const QString& part : options.value(QStringLiteral("phases")).split(u',')) {
            bool ok = false;
            const int r = part.trimmed().toInt(&ok);
            if (!ok || r < 1 || r > tree.recordCount())
                return usageError(err, Screen::tr("--phases：“%1”不是 1 到 %2 的记录号")
                                           .arg(part.trimmed())
                                           .arg(tree.recordCount()));
            request.selection.push_back(r);
        }
    } else {
        for (int r = 1; r <= tree.recordCount(); ++r) request.selection.push_back(r);
    }

    if (byPattern) {
        std::vector<QString> descriptions;
        for (const library::PhaseTexts& record : request.records)
            descriptions.push_back(QString::fromStdString(library::phaseDescription(record)));
        return screenByPattern(options, request, descriptions, format, out, err);
    }

    model::MainModel model;
    model.setCombo1Items(model::latticeTypeNames());
    model.setCombo1(core::LatticeType::Simple);
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
    const auto outcome = analysis::screenSelectedPhases(model, prompts, request, run, target);
    if (!outcome) return 2;
    if (format == QStringLiteral("json")) {
        out << QString::fromUtf8(QJsonDocument(rankingJson(*outcome)).toJson(QJsonDocument::Indented));
    } else {
        for (const analysis::ScreenedPhase& phase : outcome->phases)
            out << model::translatedPhaseLabel(phase.description) << '\t' << phase.rows << '\n';
        if (!outcome->reportFailed) out << Screen::tr("报告：%1").arg(QDir::toNativeSeparators(outcome->path)) << '\n';
    }
    out.flush();
    return rejected || outcome->reportFailed ? 2 : 0;
}

}  // namespace saed::cli
