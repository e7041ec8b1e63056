// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli tilt: two indexed patterns of one grain and the goniometer's tilt between them.
#include <cmath>  // for fabs, isfinite
#include <vector>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>

#include "app/cli/commands.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/options.h"
#include "app/cli/resultfile.h"
#include "app/cli/tablewriter.h"
#include "calculator/tiltcheck.h"
#include "core/millerbravais.h"

namespace saed::cli {

namespace {

struct Tilt {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Tilt)
};

const char kHelp[] = QT_TRANSLATE_NOOP("saed::cli::Tilt",
    "用法：saedindex-cli tilt FIRST.json SECOND.json (--angle DEG | --alpha-beta A1,B1,A2,B2)\n"
    "                         [--tolerance DEG] [--directions P1,Q1,P2,Q2] [--axis DEG]\n"
    "                         [--phase NAME] [--format text|json]\n"
    "\n"
    "同一晶粒的两张衍射花样，各由 saedindex-cli index --format json 标定或由\n"
    "saedindex-cli identify --format json 识别，两次拍摄之间样品台倾转了一个角度。列出两组结果中\n"
    "晶带轴夹角与倾转角相符（在容差内）的每一对解，按夹角偏差从小到大；第一张花样中没有任何\n"
    "一对支持的解族列为“排除”。识别结果的每个候选是一个解（其 g1、g2 沿网格的 a、b），\n"
    "候选按物相分组，用两个文件共有的物相中第一个文件排名最前的一个。\n"
    "\n"
    "选项：\n"
    "  --angle DEG       单倾样品台的倾转角，0 到 180 度\n"
    "  --alpha-beta A1,B1,A2,B2  双倾样品台两次拍摄时的读数 (α, β)，度；倾转角由其算出\n"
    "  --tolerance DEG   夹角（以及取向）的容差，度（默认 1）\n"
    "  --directions P1,Q1,P2,Q2  两张图像中 R1、R2 的方向（度，自图像向右逆时针量）：给出时，\n"
    "                    一对解还须是同一个晶体取向，即第一张的取向经样品台转动后得到第二张的\n"
    "  --axis DEG        样品台倾转轴（双倾时为 α 轴）在图像中的方向，度（默认 0，沿图像向右）；\n"
    "                    不给 --directions 时，R1、R2 的方向取自识别结果的网格，两张花样都须有\n"
    "  --phase NAME      识别结果中用这个物相的候选\n"
    "  --format F        text（默认）或 json\n"
    "  --help            本说明\n"
    "\n"
    "两个结果须来自同一物相（晶胞、点阵类型和空间群相同）。六方晶胞的文字输出用四指数。\n"
    "JSON 中识别结果的解以 rank（候选的排名）代替 group。\n"
    "输入有误时在 stderr 上说明，退出状态为 2。\n"
    "\n"
    "示例（铝：第一张花样既可标为 <114> 也可标为 <011>，第二张为 [001]，倾转 19.47°）：\n"
    "  saedindex-cli index --cell 0.405,0.405,0.405,90,90,90 --type face --d 0.14319,0.12211,0.07794 \\\n"
    "      --angles 64.76,29.50,35.26 --format json > first.json\n"
    "  saedindex-cli index --cell 0.405,0.405,0.405,90,90,90 --type face --d 0.2025,0.2025,0.14319 \\\n"
    "      --angles 90,45,45 --format json > second.json\n"
    "  saedindex-cli tilt first.json second.json --angle 19.47\n");

int usageError(QTextStream& err, const QString& message) {
    err << "saedindex-cli tilt: " << message << '\n' << Tilt::tr("用法见 saedindex-cli tilt --help。") << '\n';
    return 2;
}

// Reads "a,b,..." into `count` finite numbers; no value for anything else.
template <std::size_t N>
std::optional<std::array<double, N>> numbers(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != static_cast<qsizetype>(N)) return std::nullopt;
    std::array<double, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        bool ok = false;
        values[i] = parts[static_cast<qsizetype>(i)].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(values[i])) return std::nullopt;
    }
    return values;
}

QString zoneText(const core::Uvw& zone, bool four) {
    return QStringLiteral("[%1]").arg(QString::fromStdString(four ? core::indexText(core::toFourIndex(zone))
                                                                   : core::indexText(zone)));
}

QJsonArray axisJson(const core::Uvw& u) {
    return QJsonArray{static_cast<qint64>(u[0]), static_cast<qint64>(u[1]), static_cast<qint64>(u[2])};
}

// A row of a run is told by its group ("第001组"), a candidate by its rank ("候选 1").
QString solutionName(const calculator::IndexedSolution& s, bool candidate) {
    return candidate ? Tilt::tr("候选 %1").arg(s.group) : Tilt::tr("第%1组").arg(s.group, 3, 10, QLatin1Char('0'));
}

// The phase as a message names it: an identification's name and space group, a run's cell.
QString phaseName(const ResultFile& set) {
    if (set.phase.isEmpty())
        return Tilt::tr("晶胞 %1, %2, %3 nm; %4°, %5°, %6°")
            .arg(set.cell.aNm)
            .arg(set.cell.bNm)
            .arg(set.cell.cNm)
            .arg(set.cell.alphaDeg)
            .arg(set.cell.betaDeg)
            .arg(set.cell.gammaDeg);
    return set.spaceGroup.isEmpty() ? set.phase : QStringLiteral("%1 (%2)").arg(set.phase, set.spaceGroup);
}

QJsonObject solutionJson(const calculator::IndexedSolution& s, bool hexagonal, bool candidate) {
    QJsonObject object{{candidate ? QStringLiteral("rank") : QStringLiteral("group"), s.group},
                       {QStringLiteral("family"), s.family},
                       {QStringLiteral("g1"), QJsonArray{s.g1[0], s.g1[1], s.g1[2]}},
                       {QStringLiteral("g2"), QJsonArray{s.g2[0], s.g2[1], s.g2[2]}},
                       {QStringLiteral("zone"), axisJson(s.zone)}};
    if (hexagonal) object.insert(QStringLiteral("uvtw"), fourIndexJson(s.zone));
    return object;
}

}  // namespace

int runTiltCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    // The two result files come first; the options follow.
    QStringList files, rest;
    for (const QString& arg : args) (rest.isEmpty() && !arg.startsWith(QStringLiteral("--")) ? files : rest).append(arg);
    Options options;
    const QStringList withValue{QStringLiteral("angle"),      QStringLiteral("alpha-beta"), QStringLiteral("tolerance"),
                                QStringLiteral("directions"), QStringLiteral("axis"),       QStringLiteral("format"),
                                QStringLiteral("phase")};
    if (!options.parse(rest, withValue, {QStringLiteral("help")})) return usageError(err, options.error());
    if (options.has(QStringLiteral("help"))) {
        out << Tilt::tr(kHelp);
        return 0;
    }
    if (files.size() != 2) return usageError(err, Tilt::tr("须给出两个标定结果文件 FIRST.json 和 SECOND.json"));
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json"))
        return usageError(err, Tilt::tr("--format 须为 text 或 json"));

    calculator::TiltRequest request;
    if (options.has(QStringLiteral("angle")) == options.has(QStringLiteral("alpha-beta")))
        return usageError(err, Tilt::tr("须给出 --angle 与 --alpha-beta 之一"));
    if (options.has(QStringLiteral("angle"))) {
        const auto angle = numbers<1>(options.value(QStringLiteral("angle")));
        if (!angle || (*angle)[0] < 0 || (*angle)[0] > calculator::kMaxTiltDeg)
            return usageError(err, Tilt::tr("--angle 须为 0 到 180 度的数（两个方向的夹角不超过 180°）"));
        request.angleDeg = (*angle)[0];
    } else {
        request.alphaBeta = numbers<4>(options.value(QStringLiteral("alpha-beta")));
        if (!request.alphaBeta) return usageError(err, Tilt::tr("--alpha-beta 须为四个数 A1,B1,A2,B2（度）"));
        for (double v : *request.alphaBeta)
            if (std::fabs(v) > calculator::kMaxTiltDeg)
                return usageError(err, Tilt::tr("--alpha-beta 的读数须在 -180 到 180 度之间"));
    }
    if (options.has(QStringLiteral("tolerance"))) {
        const auto tolerance = numbers<1>(options.value(QStringLiteral("tolerance")));
        if (!tolerance || (*tolerance)[0] < 0 || (*tolerance)[0] > 90)
            return usageError(err, Tilt::tr("--tolerance 须为 0 到 90 度的数"));
        request.toleranceDeg = (*tolerance)[0];
    }
    if (options.has(QStringLiteral("directions"))) {
        request.directionsDeg = numbers<4>(options.value(QStringLiteral("directions")));
        if (!request.directionsDeg) return usageError(err, Tilt::tr("--directions 须为四个数 P1,Q1,P2,Q2（度）"));
    }
    if (options.has(QStringLiteral("axis"))) {
        const auto axis = numbers<1>(options.value(QStringLiteral("axis")));
        if (!axis) return usageError(err, Tilt::tr("--axis 须为一个数（度）"));
        request.axisDeg = (*axis)[0];
    }

    std::vector<ResultFile> read[2];
    const QString wantedPhase = options.value(QStringLiteral("phase")).trimmed();
    for (int i = 0; i < 2; ++i) {
        QString error;
        std::optional<std::vector<ResultFile>> sets = readResultSets(files[i], error);
        if (!sets) {
            err << "saedindex-cli tilt: " << error << '\n';
            return 2;
        }
        if (!wantedPhase.isEmpty())
            std::erase_if(*sets, [&](const ResultFile& set) { return set.candidates && set.phase != wantedPhase; });
        if (sets->empty()) return usageError(err, Tilt::tr("%1 中没有物相 %2 的候选").arg(files[i], wantedPhase));
        read[i] = std::move(*sets);
    }
    // The first file's best ranked phase that the second file has too.
    ResultFile sets[2];
    bool found = false;
    for (const ResultFile& first : read[0]) {
        for (const ResultFile& second : read[1])
            if (samePhase(first, second)) {
                sets[0] = first;
                sets[1] = second;
                found = true;
                break;
            }
        if (found) break;
    }
    if (!found) {
        const auto names = [](const std::vector<ResultFile>& list) {
            QStringList n;
            for (const ResultFile& set : list) n << phaseName(set);
            return n.join(Tilt::tr("、"));
        };
        return usageError(err, Tilt::tr("%1 和 %2 来自不同的物相（%3 与 %4：晶胞、点阵类型或空间群不同）；"
                                        "两张花样须用同一物相标定")
                                   .arg(files[0], files[1], names(read[0]), names(read[1])));
    }
    for (int i = 0; i < 2; ++i)
        if (sets[i].rows.empty()) return usageError(err, Tilt::tr("%1 中没有解").arg(files[i]));
    // --axis alone: the directions of R1 and R2 come from the files, which must know them.
    if (options.has(QStringLiteral("axis")) && !request.directionsDeg) {
        for (int i = 0; i < 2; ++i)
            if (!sets[i].directionsDeg)
                return usageError(err, Tilt::tr("%1 的解没有图像中的方向（由数值标定的结果不知 R1、R2 在图像中的方向）："
                                                "请用 --directions 给出两张图像中 R1、R2 的方向")
                                           .arg(files[i]));
        request.directionsDeg = std::array<double, 4>{(*sets[0].directionsDeg)[0], (*sets[0].directionsDeg)[1],
                                                      (*sets[1].directionsDeg)[0], (*sets[1].directionsDeg)[1]};
    }
    request.cell = sets[0].cell;
    request.first = sets[0].rows;
    request.second = sets[1].rows;

    const calculator::TiltResult result = calculator::checkTilt(request);
    switch (result.error) {
    case calculator::TiltError::None: break;
    case calculator::TiltError::NotACell: return usageError(err, Tilt::tr("结果中的点阵参数构不成晶胞"));
    case calculator::TiltError::BadDirections:
        return usageError(err, Tilt::tr("--directions：同一张图像中 R1 和 R2 的方向不能平行"));
    default: return usageError(err, Tilt::tr("无法检验该倾转"));
    }

    const bool hexagonal = core::isHexagonalCell(request.cell);
    const auto familyZone = [&](int id) {
        const auto it = sets[0].familyZones.find(id);
        if (it != sets[0].familyZones.end()) return it->second;
        for (const auto& s : request.first)
            if (s.family == id) return s.zone;
        return core::Uvw{};
    };
    if (format == QStringLiteral("json")) {
        QJsonArray pairs, kept, ruledOut;
        for (const calculator::TiltPair& p : result.pairs) {
            QJsonObject pair{{QStringLiteral("first"), solutionJson(request.first[p.first], hexagonal, sets[0].candidates)},
                             {QStringLiteral("second"), solutionJson(request.second[p.second], hexagonal, sets[1].candidates)},
                             {QStringLiteral("zoneAngle"), p.zoneAngleDeg},
                             {QStringLiteral("misfit"), p.misfitDeg}};
            if (p.orientationMisfitDeg) pair.insert(QStringLiteral("orientationMisfit"), *p.orientationMisfitDeg);
            pairs.append(pair);
        }
        const auto families = [&](const std::vector<int>& ids) {
            QJsonArray array;
            for (int id : ids) {
                QJsonObject f{{QStringLiteral("id"), id}, {QStringLiteral("zone"), axisJson(familyZone(id))}};
                if (hexagonal) f.insert(QStringLiteral("uvtw"), fourIndexJson(familyZone(id)));
                array.append(f);
            }
            return array;
        };
        QJsonObject root{{QStringLiteral("tilt"), result.tiltDeg},
                                   {QStringLiteral("tolerance"), request.toleranceDeg},
                                   {QStringLiteral("count"), pairs.size()},
                                   {QStringLiteral("pairs"), pairs},
                                   {QStringLiteral("kept"), families(result.keptFamilies)},
                         {QStringLiteral("ruledOut"), families(result.ruledOutFamilies)}};
        if (sets[0].candidates || sets[1].candidates) root.insert(QStringLiteral("phase"), phaseName(sets[0].candidates ? sets[0] : sets[1]));
        writeJson(out, root);
        return 0;
    }
    if (sets[0].candidates || sets[1].candidates) out << Tilt::tr("物相 %1").arg(phaseName(sets[0].candidates ? sets[0] : sets[1])) << '\n';
    out << Tilt::tr("倾转角 %1°，容差 %2°").arg(result.tiltDeg, 0, 'f', 2).arg(request.toleranceDeg, 0, 'f', 2) << '\n';
    for (int id : result.keptFamilies)
        out << Tilt::tr("解族 %1 <%2>：保留").arg(id).arg(zoneText(familyZone(id), hexagonal).mid(1).chopped(1)) << '\n';
    for (int id : result.ruledOutFamilies)
        out << Tilt::tr("解族 %1 <%2>：排除（没有相差该倾转角的解）").arg(id).arg(zoneText(familyZone(id), hexagonal).mid(1).chopped(1))
            << '\n';
    out << Tilt::tr("配对 %1 个").arg(result.pairs.size()) << '\n';
    for (const calculator::TiltPair& p : result.pairs) {
        const auto& a = request.first[p.first];
        const auto& b = request.second[p.second];
        out << Tilt::tr("%1 %2 — %3 %4：夹角 %5°，偏差 %6°")
                   .arg(solutionName(a, sets[0].candidates), zoneText(a.zone, hexagonal),
                        solutionName(b, sets[1].candidates), zoneText(b.zone, hexagonal))
                   .arg(p.zoneAngleDeg, 0, 'f', 4)
                   .arg(p.misfitDeg, 0, 'f', 4);
        if (p.orientationMisfitDeg) out << Tilt::tr("，取向偏差 %1°").arg(*p.orientationMisfitDeg, 0, 'f', 2);
        out << '\n';
    }
    return 0;
}

}  // namespace saed::cli
