// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli simulate: the kinematic spot pattern of one zone, as JSON, SVG or PNG.
#include <cmath>   // for isfinite
#include <memory>  // for shared_ptr

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>

#include "app/cli/commands.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/options.h"
#include "app/cli/tablewriter.h"
#include "app/patternpainter.h"
#include "core/millerbravais.h"
#include "library/spacegroup.h"
#include "simulation/svgpattern.h"
#include "simulation/zonepattern.h"
#include "store/textfile.h"

namespace saed::cli {

namespace {

struct Simulate {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Simulate)
};

const char kHelp[] = QT_TRANSLATE_NOOP("saed::cli::Simulate",
    "用法：saedindex-cli simulate (--cell a,b,c,alpha,beta,gamma [--type T | --spacegroup SG]\n"
    "                              | --cif FILE) --zone U,V,W\n"
    "                             [--max-g G] [--format json|svg|png] [--out FILE]\n"
    "\n"
    "[UVW] 零阶劳厄带的运动学斑点花样：点阵类型或空间群允许、满足 h U + k V + l W = 0 且\n"
    "|g| <= G 的每个衍射 (h k l)，画在花样平面内，最短的斑点 g1 沿 +x，+y = [UVW] x g1。\n"
    "\n"
    "选项：\n"
    "  --cell a,b,c,alpha,beta,gamma  点阵参数：棱长单位 nm，夹角单位度\n"
    "  --type T      点阵类型：simple、base、body、face、rhombic，或 0 到 4（默认 simple）\n"
    "  --spacegroup SG  代替 --type 给出空间群（\"F d -3 m\"、\"P 63/m m c\" 或编号）：\n"
    "                按其系统消光\n"
    "  --cif FILE    代替 --cell：取第一个数据块的晶胞、空间群和原子位置；原子使 |F| 为零的\n"
    "                衍射也被略去\n"
    "  --zone U,V,W  晶带轴，整数，不全为 0；六方晶胞也可给四指数 U,V,T,W（T = -(U+V)），\n"
    "                JSON 中六方晶胞的晶带轴和斑点另有四指数 uvtw、hkil\n"
    "  --max-g G     斑点取到 |g| <= G（1/nm，默认 10）\n"
    "  --format F    json（默认）：晶带轴、g1 和各斑点，每个斑点带 hkl、x 和 y（1/nm）、\n"
    "                d（nm）和 intensity（已知原子时为 |F|^2，单位 Å^2，否则每个斑点为 1）；\n"
    "                svg：SVG 图，斑点大小随 |F| 增大；png：600 x 600 的图（须给出 --out）\n"
    "  --out FILE    写入 FILE 而不是标准输出\n"
    "  --help        本说明\n"
    "\n"
    "示例（铝的 [011] 晶带，输出为图）：\n"
    "  saedindex-cli simulate --cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,1,1 \\\n"
    "      --max-g 12 --format svg --out al-011.svg\n"
    "示例（取自 CIF 的硅，[011] 晶带，没有 {200} 和 {222}）：\n"
    "  saedindex-cli simulate --cif si.cif --zone 0,1,1 --max-g 8\n"
    "示例（镁的 [2 -1 -1 0] 晶带，四指数）：\n"
    "  saedindex-cli simulate --cell 0.32094,0.32094,0.52107,90,90,120 --spacegroup \"P 63/m m c\" \\\n"
    "      --zone 2,-1,-1,0\n");

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli simulate: " << message << '\n' << Simulate::tr("用法见 saedindex-cli simulate --help。") << '\n';
    return 2;
}

QString errorText(simulation::PatternError error) {
    switch (error) {
    case simulation::PatternError::NotACell: return Simulate::tr("这组点阵参数构不成晶胞");
    case simulation::PatternError::ZeroZone: return Simulate::tr("[0 0 0] 不是晶带轴");
    case simulation::PatternError::BadRange:
        return Simulate::tr("--max-g 须大于 0，且对该晶胞不能过大（至多 %1 组指数）")
            .arg(simulation::kMaxIndexTriples);
    case simulation::PatternError::NoSpots: return Simulate::tr("--max-g 范围内没有允许的斑点");
    default: return Simulate::tr("无法生成该花样");
    }
}

// Writes `bytes` to `path` atomically, or to `out` when no path is given.
bool writeOutput(const QString& path, const QByteArray& bytes, QTextStream& out, QTextStream& err) {
    if (path.isEmpty()) {
        out << QString::fromUtf8(bytes);
        out.flush();
        return true;
    }
    QString error;
    if (!store::writeFileAtomic(path, bytes, &error)) {
        err << "saedindex-cli simulate: " << Simulate::tr("无法写入 %1：%2").arg(path, error) << '\n';
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
        out << Simulate::tr(kHelp);
        return 0;
    }
    const bool fromCif = options.has(QStringLiteral("cif"));
    if (options.has(QStringLiteral("cell")) == fromCif) return usageError(err, Simulate::tr("--cell 与 --cif 须给出且只给出其一"));
    if (options.has(QStringLiteral("type")) && (fromCif || options.has(QStringLiteral("spacegroup"))))
        return usageError(err, Simulate::tr("--type 只与 --cell 同用，不能与 --spacegroup 或 --cif 同用"));
    if (fromCif && options.has(QStringLiteral("spacegroup")))
        return usageError(err, Simulate::tr("--cif 自带空间群；请去掉 --spacegroup"));
    if (!options.has(QStringLiteral("zone"))) return usageError(err, Simulate::tr("缺少 --zone"));

    simulation::ZonePatternRequest request;
    std::optional<library::CrystalPhase> phase;
    if (fromCif) {
        const auto phases = loadCifPhases({options.value(QStringLiteral("cif"))}, QStringLiteral("simulate"), err);
        if (!phases) return 2;
        if (phases->empty()) return usageError(err, Simulate::tr("--cif：%1 中没有物相").arg(options.value(QStringLiteral("cif"))));
        if (phases->size() > 1)
            err << "saedindex-cli simulate: "
                << Simulate::tr("%1 含 %2 个物相；模拟第一个（%3）")
                       .arg(options.value(QStringLiteral("cif")), QString::number(phases->size()),
                            QString::fromStdString(phases->front().name))
                << '\n';
        phase = phases->front();
        request.cell = phase->cell;
    } else {
        const std::optional<QStringList> cell = options.list(QStringLiteral("cell"), 6);
        if (!cell) return usageError(err, options.error());
        QString error;
        const std::optional<core::Cell> parsed = cellFromTexts(*cell, error);
        if (!parsed) return usageError(err, error);
        request.cell = *parsed;
        if (options.has(QStringLiteral("spacegroup"))) {
            phase = phaseFromCell(*cell, options.value(QStringLiteral("spacegroup")), error);
            if (!phase) return usageError(err, error);
        }
    }
    QString zoneError;
    const auto zone = readIndices(options.value(QStringLiteral("zone")), QStringLiteral("--zone"), true, request.cell,
                                  true, 99, zoneError);
    if (!zone) return usageError(err, zoneError);
    for (std::size_t i = 0; i < 3; ++i) request.zone[i] = static_cast<long long>((*zone)[i]);
    if (phase) {
        const std::shared_ptr<const core::ReflectionRule> rule = library::phaseRule(*phase);
        request.allowed = [rule](const core::Hkl& p) { return rule->admits(p); };
        request.intensity = simulation::structureIntensity(rule);
    } else {
        const auto type = latticeTypeOption(options.value(QStringLiteral("type"), QStringLiteral("simple")));
        if (!type) return usageError(err, Simulate::tr("--type 须为 simple、base、body、face、rhombic 或 0 到 4"));
        request.allowed = simulation::latticeTypeRule(*type);
    }
    bool ok = true;
    request.maxGInvNm = options.has(QStringLiteral("max-g")) ? options.value(QStringLiteral("max-g")).toDouble(&ok) : 10.0;
    if (!ok || !std::isfinite(request.maxGInvNm) || request.maxGInvNm <= 0)
        return usageError(err, Simulate::tr("--max-g 须为大于 0 的数"));
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("json")).trimmed().toLower();
    if (format != QStringLiteral("json") && format != QStringLiteral("svg") && format != QStringLiteral("png"))
        return usageError(err, Simulate::tr("--format 须为 json、svg 或 png"));
    const QString outPath = options.value(QStringLiteral("out"));
    if (format == QStringLiteral("png") && outPath.isEmpty())
        return usageError(err, Simulate::tr("--format png 须给出 --out FILE"));

    const simulation::ZonePatternResult result = simulation::simulateZone(request);
    if (result.error != simulation::PatternError::None) return usageError(err, errorText(result.error));
    const simulation::ZonePattern& pattern = result.pattern;

    QByteArray bytes;
    if (format == QStringLiteral("json")) {
        // A hexagonal cell's spots and zone carry their four-index form beside the three indices.
        const bool hexagonal = core::isHexagonalCell(request.cell);
        QJsonArray spots;
        for (const simulation::Spot& s : pattern.spots) {
            QJsonObject spot{{QStringLiteral("hkl"), QJsonArray{s.hkl[0], s.hkl[1], s.hkl[2]}},
                             {QStringLiteral("x"), s.xInvNm},
                             {QStringLiteral("y"), s.yInvNm},
                             {QStringLiteral("d"), s.dNm},
                             {QStringLiteral("intensity"), s.intensity}};
            if (hexagonal) spot.insert(QStringLiteral("hkil"), fourIndexJson(s.hkl));
            spots.append(spot);
        }
        QJsonObject object{
            {QStringLiteral("zone"), QJsonArray{static_cast<qint64>(pattern.zone[0]), static_cast<qint64>(pattern.zone[1]),
                                                static_cast<qint64>(pattern.zone[2])}},
            {QStringLiteral("g1"), QJsonArray{pattern.g1[0], pattern.g1[1], pattern.g1[2]}},
            {QStringLiteral("maxG"), request.maxGInvNm},
            {QStringLiteral("count"), static_cast<qint64>(pattern.spots.size())},
            {QStringLiteral("spots"), spots}};
        if (hexagonal) {
            object.insert(QStringLiteral("uvtw"), fourIndexJson(pattern.zone));
            object.insert(QStringLiteral("g1hkil"), fourIndexJson(pattern.g1));
        }
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
        // Without a QGuiApplication the font database aborts the program.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
            err << "saedindex-cli simulate: " << Simulate::tr("无法生成 PNG") << '\n';
            return 2;
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!app::patternImage(pattern, 600, request.maxGInvNm).save(&buffer, "PNG")) {
            err << "saedindex-cli simulate: " << Simulate::tr("无法生成 PNG") << '\n';
            return 2;
        }
        bytes = png;
    }
    return writeOutput(outPath, bytes, out, err) ? 0 : 2;
}

}  // namespace saed::cli
