// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli orient: the orientation of one indexed pattern on the microscope, its
// stereographic projection and the tilts to the nearest low-index zones.
#include <cmath>   // for isfinite, fabs, sin
#include <algorithm>  // for max, min
#include <cstdlib>    // for llabs
#include <memory>     // for shared_ptr

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>

#include "app/cli/commands.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/options.h"
#include "app/cli/resultfile.h"
#include "app/cli/tablewriter.h"
#include "app/stereogrampainter.h"
#include "calculator/orientation.h"
#include "calculator/stereogram.h"
#include "core/millerbravais.h"
#include "core/reflectionrule.h"
#include "library/spacegroup.h"
#include "store/textfile.h"

namespace saed::cli {

namespace {

struct Orient {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Orient)
};

const char kHelp[] = QT_TRANSLATE_NOOP("saed::cli::Orient",
    "用法：saedindex-cli orient (RESULT.json (--group N | --family N | --candidate N)\n"
    "                           | --cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]\n"
    "                             --g1 h,k,l --g2 h,k,l)\n"
    "                          --r1-angle DEG [--r2-angle DEG] [--alpha-beta A,B] [--axis DEG]\n"
    "                          [--max-index N] [--nearest K] [--indices 3|4]\n"
    "                          [--svg FILE] [--png FILE] [--format json|text]\n"
    "\n"
    "一个已标定花样（R1 标为 g1、R2 标为 g2）在显微镜中的晶体取向：旋转矩阵、Bunge 欧拉角，以及\n"
    "到最近的低指数晶带轴各需倾转的角度；给出双倾样品台的轴向时还有 α、β 的读数。\n"
    "\n"
    "参考系：样品系 X 沿图像向右，Y 沿图像向上，Z 指向观察者（逆着电子束）；晶体系 x 沿 a，\n"
    "z 沿 c*。矩阵 U 把晶体系中的矢量变到样品系（v样品 = U v晶体），各行依次为 X、Y、Z 在晶体\n"
    "系中的分量；欧拉角 (φ1, Φ, φ2) 属于 g = U 的转置（Bunge 约定，从样品系到晶体系）。\n"
    "花样的晶带轴沿 +Z。\n"
    "\n"
    "选项：\n"
    "  RESULT.json       saedindex-cli index --format json 写出的结果，与 --group（行的组号）\n"
    "                    或 --family（解族的代表行）同用；晶胞和点阵类型取自该结果；或\n"
    "                    saedindex-cli identify --format json 写出的结果，与 --candidate N（候选的\n"
    "                    排名）同用，R1、R2 的方向取自其网格，无须 --r1-angle\n"
    "  --cell, --type, --spacegroup  代替结果文件直接给出物相，同 saedindex-cli simulate\n"
    "  --g1, --g2        R1、R2 的晶面指数；六方晶胞也可给四指数 h,k,i,l\n"
    "  --r1-angle DEG    图像中 R1 的方向，度，自图像向右逆时针量（识别结果之外必须给出）\n"
    "  --r2-angle DEG    图像中 R2 的方向（默认：R1 逆时针转过 g1、g2 的夹角）\n"
    "  --alpha-beta A,B  拍摄时双倾样品台的读数（默认 0,0）\n"
    "  --axis DEG        样品台 α 轴在图像中的方向，度（默认 0，沿图像向右）；β 轴与之垂直\n"
    "  --max-index N     投影中晶带轴的最大指数（默认 3，至多 12）\n"
    "  --nearest K       列出最近的 K 个晶带轴（默认 8）\n"
    "  --indices 3|4     文字和图中的指数：三指数或（六方晶胞）四指数；六方晶胞默认 4\n"
    "  --svg FILE        把极射赤面投影写成 SVG：低指数晶带轴，以及最强晶面的大圆（已知原子时\n"
    "                    按 |F|，否则按面间距）\n"
    "  --png FILE        把极射赤面投影写成 600 x 600 的 PNG\n"
    "  --format F        json（默认）或 text\n"
    "  --help            本说明\n"
    "\n"
    "输入有误时在 stderr 上说明，退出状态为 2。\n"
    "\n"
    "示例（铝 [001]，(2 0 0) 沿图像向右）：\n"
    "  saedindex-cli orient --cell 0.405,0.405,0.405,90,90,90 --type face --g1 2,0,0 --g2 0,2,0 \\\n"
    "      --r1-angle 0 --svg al-001.svg\n");

// The frame the numbers are stated in, as the JSON carries it (the same in either language).
const char kFrame[] =
    "sample: X to the image's right, Y up the image, Z towards the viewer (against the beam), zone axis along +Z; "
    "crystal: x along a, z along c*; matrix U takes crystal to sample coordinates (rows: X, Y, Z in crystal "
    "coordinates); Euler angles are Bunge's (phi1, Phi, phi2) of g = U transposed";

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli orient: " << message << '\n' << Orient::tr("用法见 saedindex-cli orient --help。") << '\n';
    return 2;
}

// Rounding noise (1e-17 where the matrix holds 0) is written as 0.
double clean(double v) { return std::fabs(v) < 1e-12 ? 0.0 : v; }

// A value to be printed with two decimals: one that rounds to 0 prints "0.00", never "-0.00".
double rounded(double v) { return std::fabs(v) < 0.005 ? 0.0 : v; }

std::optional<double> oneNumber(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

QJsonArray axisJson(const core::Uvw& u) {
    return QJsonArray{static_cast<qint64>(u[0]), static_cast<qint64>(u[1]), static_cast<qint64>(u[2])};
}

bool writeOutput(const QString& path, const QByteArray& bytes, QTextStream& err) {
    QString error;
    if (!store::writeFileAtomic(path, bytes, &error)) {
        err << "saedindex-cli orient: " << Orient::tr("无法写入 %1：%2").arg(path, error) << '\n';
        return false;
    }
    return true;
}

}  // namespace

int runOrientCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList files, rest;
    for (const QString& arg : args) (rest.isEmpty() && !arg.startsWith(QStringLiteral("--")) ? files : rest).append(arg);
    Options options;
    const QStringList withValue{
        QStringLiteral("group"),      QStringLiteral("family"),    QStringLiteral("cell"),     QStringLiteral("type"),
        QStringLiteral("spacegroup"), QStringLiteral("g1"),        QStringLiteral("g2"),       QStringLiteral("r1-angle"),
        QStringLiteral("r2-angle"),   QStringLiteral("alpha-beta"), QStringLiteral("axis"),    QStringLiteral("max-index"),
        QStringLiteral("nearest"),    QStringLiteral("indices"),   QStringLiteral("svg"),      QStringLiteral("png"),
        QStringLiteral("format"),     QStringLiteral("candidate")};
    if (!options.parse(rest, withValue, {QStringLiteral("help")})) return usageError(err, options.error());
    if (options.has(QStringLiteral("help"))) {
        out << Orient::tr(kHelp);
        return 0;
    }
    if (files.size() > 1) return usageError(err, Orient::tr("只能给出一个结果文件"));
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("json"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json"))
        return usageError(err, Orient::tr("--format 须为 json 或 text"));

    // The phase and the solution: a row of a result file, or typed in.
    core::Cell cell;
    core::Hkl g1{}, g2{};
    std::shared_ptr<const core::ReflectionRule> rule;
    // Where g1 and g2 point in the image, when the file knows (an identification's net).
    std::optional<std::array<double, 2>> fileDirections;
    if (!files.isEmpty()) {
        if (options.has(QStringLiteral("cell")) || options.has(QStringLiteral("g1")) || options.has(QStringLiteral("g2")))
            return usageError(err, Orient::tr("结果文件自带晶胞和解；请去掉 --cell、--g1 和 --g2"));
        QString error;
        const std::optional<std::vector<ResultFile>> sets = readResultSets(files.front(), error);
        if (!sets) {
            err << "saedindex-cli orient: " << error << '\n';
            return 2;
        }
        if (sets->empty()) return usageError(err, Orient::tr("%1 中没有候选").arg(files.front()));
        const bool identification = sets->front().candidates;
        if (identification != options.has(QStringLiteral("candidate")))
            return usageError(err, identification ? Orient::tr("识别结果须与 --candidate N（候选的排名）同用")
                                                  : Orient::tr("--candidate 只用于 saedindex-cli identify 的结果"));
        if (!identification && options.has(QStringLiteral("group")) == options.has(QStringLiteral("family")))
            return usageError(err, Orient::tr("结果文件须与 --group 或 --family 之一同用"));
        if (identification && (options.has(QStringLiteral("group")) || options.has(QStringLiteral("family"))))
            return usageError(err, Orient::tr("识别结果用 --candidate，不用 --group 或 --family"));
        // An identification's candidate: the set of its phase, the candidate as the one row.
        std::optional<ResultFile> candidate;
        if (identification) {
            bool ok = false;
            const int rank = options.value(QStringLiteral("candidate")).toInt(&ok);
            for (const ResultFile& set : *sets)
                for (const auto& row : set.rows)
                    if (ok && row.group == rank) {
                        candidate = set;
                        candidate->rows = {row};
                    }
            if (!candidate)
                return usageError(err, Orient::tr("%1 中没有第 %2 个候选").arg(files.front(), options.value(QStringLiteral("candidate"))));
            fileDirections = candidate->directionsDeg;
        }
        const ResultFile* result = identification ? &*candidate : &sets->front();
        cell = result->cell;
        const bool byGroup = identification || options.has(QStringLiteral("group"));
        bool ok = identification;
        const int wanted = identification ? result->rows.front().group
                                          : options.value(byGroup ? QStringLiteral("group") : QStringLiteral("family")).toInt(&ok);
        const calculator::IndexedSolution* chosen = nullptr;
        for (const auto& row : result->rows) {
            if (byGroup ? row.group == wanted : row.family == wanted) {
                // A family stands for its row of least misfit.
                if (!chosen || (!byGroup && row.misfit < chosen->misfit)) chosen = &row;
            }
        }
        if (!ok || !chosen)
            return usageError(err, byGroup ? Orient::tr("%1 中没有第 %2 组").arg(files.front(), options.value(QStringLiteral("group")))
                                           : Orient::tr("%1 中没有解族 %2").arg(files.front(), options.value(QStringLiteral("family"))));
        g1 = chosen->g1;
        g2 = chosen->g2;
        if (core::isLatticeCentring(result->type)) {
            rule = std::make_shared<core::LatticeTypeRule>(result->type);
        } else if (!result->spaceGroup.isEmpty()) {
            QStringList texts;
            for (double v : {cell.aNm, cell.bNm, cell.cNm, cell.alphaDeg, cell.betaDeg, cell.gammaDeg})
                texts << QString::number(v, 'g', 17);
            if (const auto phase = phaseFromCell(texts, result->spaceGroup, error)) rule = library::phaseRule(*phase);
        }
    } else {
        if (!options.has(QStringLiteral("cell")) || !options.has(QStringLiteral("g1")) || !options.has(QStringLiteral("g2")))
            return usageError(err, Orient::tr("请给出结果文件与 --group 或 --family，或 --cell、--g1 和 --g2"));
        const std::optional<QStringList> cellTexts = options.list(QStringLiteral("cell"), 6);
        if (!cellTexts) return usageError(err, options.error());
        QString error;
        const std::optional<core::Cell> parsed = cellFromTexts(*cellTexts, error);
        if (!parsed) return usageError(err, error);
        cell = *parsed;
        if (options.has(QStringLiteral("spacegroup"))) {
            if (options.has(QStringLiteral("type"))) return usageError(err, Orient::tr("--type 与 --spacegroup 只能给出其一"));
            const auto phase = phaseFromCell(*cellTexts, options.value(QStringLiteral("spacegroup")), error);
            if (!phase) return usageError(err, error);
            rule = library::phaseRule(*phase);
        } else {
            const auto type = latticeTypeOption(options.value(QStringLiteral("type"), QStringLiteral("simple")));
            if (!type) return usageError(err, Orient::tr("--type 须为 simple、base、body、face、rhombic 或 0 到 4"));
            rule = std::make_shared<core::LatticeTypeRule>(*type);
        }
        core::Hkl* planes[2] = {&g1, &g2};
        for (int j = 0; j < 2; ++j) {
            const QString name = QStringLiteral("g%1").arg(j + 1);
            const auto plane = readIndices(options.value(name), QStringLiteral("--") + name, false, cell, true, 99, error);
            if (!plane) return usageError(err, error);
            for (std::size_t i = 0; i < 3; ++i) (*planes[j])[i] = static_cast<int>((*plane)[i]);
        }
    }
    const auto frame = core::CrystalFrame::of(cell);
    if (!frame) return usageError(err, Orient::tr("这组点阵参数构不成晶胞"));
    const auto between = core::angleBetween(frame->planeNormal(g1), frame->planeNormal(g2));
    if (!between || *between < 1e-6 || *between > 180 - 1e-6)
        return usageError(err, Orient::tr("g1 和 g2 须是两个不平行的晶面"));

    // Where R1 (and R2) point in the image: without it the crystal's turn about the beam is unknown.
    // An identification's net tells it; typed values do not.
    if (!options.has(QStringLiteral("r1-angle")) && !fileDirections)
        return usageError(err, Orient::tr("这个解没有图像中的方向：请用 --r1-angle 给出 R1 在图像中的方向（度，自图像向右逆时针量）"));
    const auto r1 = options.has(QStringLiteral("r1-angle")) ? oneNumber(options.value(QStringLiteral("r1-angle")))
                                                            : std::optional<double>((*fileDirections)[0]);
    if (!r1) return usageError(err, Orient::tr("--r1-angle 须为一个数（度）"));
    const auto r2 = options.has(QStringLiteral("r2-angle"))  ? oneNumber(options.value(QStringLiteral("r2-angle")))
                    : fileDirections && !options.has(QStringLiteral("r1-angle")) ? std::optional<double>((*fileDirections)[1])
                                                                                 : std::optional<double>(*r1 + *between);
    if (!r2) return usageError(err, Orient::tr("--r2-angle 须为一个数（度）"));
    double alpha0 = 0, beta0 = 0, axis = 0;
    if (options.has(QStringLiteral("alpha-beta"))) {
        const std::optional<QStringList> ab = options.list(QStringLiteral("alpha-beta"), 2);
        if (!ab) return usageError(err, options.error());
        const auto a = oneNumber((*ab)[0]), b = oneNumber((*ab)[1]);
        if (!a || !b || std::fabs(*a) > 180 || std::fabs(*b) > 180)
            return usageError(err, Orient::tr("--alpha-beta 须为 -180 到 180 度之间的两个数"));
        alpha0 = *a;
        beta0 = *b;
    }
    if (options.has(QStringLiteral("axis"))) {
        const auto a = oneNumber(options.value(QStringLiteral("axis")));
        if (!a) return usageError(err, Orient::tr("--axis 须为一个数（度）"));
        axis = *a;
    }
    calculator::StereogramRequest request;
    if (options.has(QStringLiteral("max-index"))) {
        bool ok = false;
        request.maxIndex = options.value(QStringLiteral("max-index")).toInt(&ok);
        if (!ok || request.maxIndex < 1 || request.maxIndex > 12) return usageError(err, Orient::tr("--max-index 须为 1 到 12 的整数"));
    }
    int nearest = 8;
    if (options.has(QStringLiteral("nearest"))) {
        bool ok = false;
        nearest = options.value(QStringLiteral("nearest")).toInt(&ok);
        if (!ok || nearest < 0 || nearest > 1000) return usageError(err, Orient::tr("--nearest 须为 0 到 1000 的整数"));
    }
    const bool hexagonal = core::isHexagonalCell(cell);
    bool four = hexagonal;
    if (options.has(QStringLiteral("indices"))) {
        const QString indices = options.value(QStringLiteral("indices"));
        if (indices != QStringLiteral("3") && indices != QStringLiteral("4")) return usageError(err, Orient::tr("--indices 须为 3 或 4"));
        four = indices == QStringLiteral("4");
        if (four && !hexagonal)
            return usageError(err, Orient::tr("--indices 4：四指数只用于六方晶胞（a = b，α = β = 90°，γ = 120°）"));
    }

    const auto u = calculator::orientationOf(*frame, {g1, g2, *r1, *r2});
    if (!u) return usageError(err, Orient::tr("--r1-angle 和 --r2-angle 不能平行"));
    if (rule) {
        request.allowed = [rule](const core::Hkl& p) { return rule->admits(p); };
        // Where the atoms are known the great circles are those of the strongest reflections.
        request.amplitude = [rule](const core::Hkl& p) { return rule->structureFactor(p); };
    }
    request.alwaysShown = {core::ZoneAxis(g1, g2)};
    if (four) {
        // Low-index in the notation shown: [U V T W] within the range, found among [u v w] up to
        // twice it ([2 -1 -1 0] is [1 0 0], [1 1 -2 0] is [1 1 0], [1 0 -1 0] is [2 1 0]).
        const int range = request.maxIndex;
        request.maxIndex = std::min(12, 2 * range);
        request.zoneAdmitted = [range](const core::Uvw& v) {
            const core::Uvtw w = core::toFourIndex(v);
            return std::max({std::llabs(w[0]), std::llabs(w[1]), std::llabs(w[2]), std::llabs(w[3])}) <= range;
        };
    }
    const calculator::Stereogram projection = calculator::stereogram(*frame, *u, request);
    const core::Uvw zone = core::ZoneAxis(g1, g2);
    const core::Uvw onBeam = std::sin((*r2 - *r1) * 3.14159265358979323846 / 180) > 0 ? zone
                                                                                     : core::Uvw{-zone[0], -zone[1], -zone[2]};
    const calculator::StereogramLabels labels{
        [four](const core::Uvw& v) { return four ? core::indexText(core::toFourIndex(v)) : core::indexText(v); },
        [four](const core::Hkl& p) { return four ? core::indexText(core::toFourIndex(p)) : core::indexText(p); }};

    if (options.has(QStringLiteral("svg"))) {
        const std::string svg = calculator::stereogramSvg(projection, labels);
        if (!writeOutput(options.value(QStringLiteral("svg")), QByteArray(svg.data(), static_cast<qsizetype>(svg.size())), err))
            return 2;
    }
    if (options.has(QStringLiteral("png"))) {
        // Labels need the font database of a graphical application.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
            err << "saedindex-cli orient: " << Orient::tr("此处无法绘制 PNG；请改用 --svg") << '\n';
            return 2;
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!app::stereogramImage(projection, labels).save(&buffer, "PNG")) {
            err << "saedindex-cli orient: " << Orient::tr("无法生成 PNG") << '\n';
            return 2;
        }
        if (!writeOutput(options.value(QStringLiteral("png")), png, err)) return 2;
    }

    const std::array<double, 3> euler = calculator::bungeEuler(*u);
    struct Near {
        const calculator::StereogramZone* zone;
        std::optional<std::array<double, 2>> readings;
    };
    std::vector<Near> near;
    for (const calculator::StereogramZone& z : projection.zones) {
        if (z.angleDeg < 1e-6) continue;
        if (static_cast<int>(near.size()) >= nearest) break;
        const core::Vec3 lab = core::multiply(*u, frame->direction(z.uvw));
        near.push_back({&z, calculator::holderReadingsFor(lab, alpha0, beta0, axis)});
    }
    const auto zoneText = [&](const core::Uvw& v) { return QStringLiteral("[%1]").arg(QString::fromStdString(labels.zone(v))); };
    if (format == QStringLiteral("json")) {
        QJsonArray matrix;
        for (const core::Vec3& row : *u) matrix.append(QJsonArray{clean(row[0]), clean(row[1]), clean(row[2])});
        QJsonArray nearArray;
        for (const Near& n : near) {
            QJsonObject item{{QStringLiteral("zone"), axisJson(n.zone->uvw)},
                             {QStringLiteral("angle"), n.zone->angleDeg},
                             {QStringLiteral("azimuth"), n.zone->azimuthDeg}};
            if (hexagonal) item.insert(QStringLiteral("uvtw"), fourIndexJson(n.zone->uvw));
            if (n.readings) {
                item.insert(QStringLiteral("alpha"), clean((*n.readings)[0]));
                item.insert(QStringLiteral("beta"), clean((*n.readings)[1]));
                item.insert(QStringLiteral("deltaAlpha"), clean((*n.readings)[0] - alpha0));
                item.insert(QStringLiteral("deltaBeta"), clean((*n.readings)[1] - beta0));
            }
            nearArray.append(item);
        }
        QJsonObject root{{QStringLiteral("frame"), QString::fromLatin1(kFrame)},
                         {QStringLiteral("zone"), axisJson(onBeam)},
                         {QStringLiteral("g1"), QJsonArray{g1[0], g1[1], g1[2]}},
                         {QStringLiteral("g2"), QJsonArray{g2[0], g2[1], g2[2]}},
                         {QStringLiteral("r1Angle"), *r1},
                         {QStringLiteral("r2Angle"), *r2},
                         {QStringLiteral("matrix"), matrix},
                         {QStringLiteral("euler"), QJsonArray{euler[0], euler[1], euler[2]}},
                         {QStringLiteral("holder"), QJsonObject{{QStringLiteral("alpha"), alpha0},
                                                                {QStringLiteral("beta"), beta0},
                                                                {QStringLiteral("axis"), axis}}},
                         {QStringLiteral("nearest"), nearArray}};
        if (hexagonal) root.insert(QStringLiteral("uvtw"), fourIndexJson(onBeam));
        writeJson(out, root);
        return 0;
    }
    out << Orient::tr("晶带轴 %1（沿 +Z）").arg(zoneText(onBeam)) << '\n';
    out << Orient::tr("旋转矩阵 U（晶体系到样品系）：") << '\n';
    for (const core::Vec3& row : *u)
        out << QStringLiteral("  %1 %2 %3").arg(clean(row[0]), 10, 'f', 6).arg(clean(row[1]), 10, 'f', 6).arg(clean(row[2]), 10, 'f', 6)
            << '\n';
    out << Orient::tr("Bunge 欧拉角 φ1 %1°，Φ %2°，φ2 %3°")
               .arg(euler[0], 0, 'f', 2).arg(euler[1], 0, 'f', 2).arg(euler[2], 0, 'f', 2) << '\n';
    for (const Near& n : near) {
        out << Orient::tr("%1：倾转 %2°，方位 %3°").arg(zoneText(n.zone->uvw)).arg(n.zone->angleDeg, 0, 'f', 2).arg(std::fabs(n.zone->azimuthDeg) < 0.05 ? 0.0 : n.zone->azimuthDeg, 0, 'f', 1);
        if (n.readings)
            out << Orient::tr("；α %1°，β %2°（Δα %3°，Δβ %4°）")
                       .arg(rounded((*n.readings)[0]), 0, 'f', 2).arg(rounded((*n.readings)[1]), 0, 'f', 2)
                       .arg(rounded((*n.readings)[0] - alpha0), 0, 'f', 2).arg(rounded((*n.readings)[1] - beta0), 0, 'f', 2);
        out << '\n';
    }
    return 0;
}

}  // namespace saed::cli
