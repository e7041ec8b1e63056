// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli identify: phase and zone of a camera image across the crystal phases, from the
// net fitted to every detected spot.
#include "app/cli/commands.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <optional>
#include <vector>

#include "analysis/identify.h"
#include "analysis/identifyrun.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/imageread.h"
#include "app/cli/options.h"
#include "library/builtinphases.h"
#include "library/crystallibrary.h"
#include "library/phasetexts.h"
#include "library/phasetree.h"
#include "library/screeningphase.h"
#include "measure/imagefile.h"
#include "store/calibrationstore.h"

namespace saed::cli {

namespace {

struct Identify {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Identify)
};

const char kHelp[] = QT_TRANSLATE_NOOP("saed::cli::Identify",
    "用法：saedindex-cli identify FILE [--cif FILE_OR_FOLDER...] [--library FILE]\n"
    "                             [--phases all|builtin|imported] [--uncalibrated] [--d-range DMIN,DMAX]\n"
    "                             [--scale S,L | --calibration NAME] [--centre X,Y] [--double]\n"
    "                             [--top N] [--format text|json|csv]\n"
    "\n"
    "在图像上检出全部斑点，拟合二维倒易网（两个最短的不共线基矢、每个斑点的网格坐标、\n"
    "剔除离群点、最小二乘精修基矢与中心），求出透射斑中心，再在物相中找出其零阶劳厄带\n"
    "允许反射之网与所测网相符的每个晶带 [uvw]，以一个连续得分排序（得分的各部分一并列出）。\n"
    "\n"
    "选项：\n"
    "  --cif FILE_OR_FOLDER...  用这些 CIF 文件中的物相（文件夹代表其中的 *.cif 文件）\n"
    "  --library FILE     用九字段物相库文本中的物相（按其点阵类型）\n"
    "  --phases P         all（默认）：内置物相和已导入的物相；builtin：仅内置；imported：仅已导入\n"
    "  --uncalibrated     不用图像所带的标定，按每个候选拟合标尺（相机长度未知）\n"
    "  --d-range DMIN,DMAX  拟合标尺时网的较短基矢所对应的晶面间距范围（nm，默认 0.1,1.5）\n"
    "  --scale S,L        标尺：长 L 像素对应 S（1/nm），代替图像所带的标定\n"
    "  --calibration NAME 保存的标定（saedindex-cli calibrate --save）：代替图像所带的标定，\n"
    "                     并在拟合网之前从检出的斑点中去除其椭圆畸变\n"
    "  --centre X,Y       透射斑中心（图像像素），固定不动\n"
    "  --double           可由二次衍射出现的禁止斑点也算作解释了的斑点\n"
    "  --top N            列出的候选数（默认 10）\n"
    "  --format F         text（默认）、json 或 csv\n"
    "  --help             本说明\n"
    "\n"
    "无斑点、只有一个斑点、只有一行斑点、环花样、斑点过多或没有物相时在 stderr 上说明，\n"
    "退出状态为 2。\n");

int fail(QTextStream& err, const QString& message) {
    err << "saedindex-cli identify: " << message << '\n';
    return 2;
}

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

QString tieBreakKey(analysis::TieBreak hint) {
    switch (hint) {
    case analysis::TieBreak::AnotherZone: return QStringLiteral("anotherZone");
    case analysis::TieBreak::Calibration: return QStringLiteral("calibration");
    case analysis::TieBreak::None: break;
    }
    return {};
}

QString indices(const core::Uvw& u) { return QStringLiteral("%1 %2 %3").arg(u[0]).arg(u[1]).arg(u[2]); }
QString indices(const core::Hkl& h) { return QStringLiteral("%1 %2 %3").arg(h[0]).arg(h[1]).arg(h[2]); }
QJsonArray array3(const core::Uvw& u) {
    return QJsonArray{static_cast<double>(u[0]), static_cast<double>(u[1]), static_cast<double>(u[2])};
}
QJsonArray array3(const core::Hkl& h) { return QJsonArray{h[0], h[1], h[2]}; }
QString g(double v, int digits = 6) { return QString::number(v, 'g', digits); }
QString f(double v, int decimals) { return QString::number(v, 'f', decimals); }

// A phase of the nine-field library: its cell and its lattice type.
struct LibraryPhases {
    std::vector<library::CrystalPhase> phases;
    std::vector<core::LatticeType> latticeTypes;
};

std::optional<LibraryPhases> libraryPhases(const QString& path, QTextStream& err) {
    library::PhaseTree tree;
    if (!buildLibraryTree(path, tree, "saedindex-cli identify", err)) return std::nullopt;
    LibraryPhases out;
    for (const library::PhaseRecord& record : tree.records()) {
        library::CrystalPhase phase;
        phase.name = record.name();
        double v[6] = {};
        for (int i = 0; i < 6; ++i) v[i] = std::atof(record.fields[static_cast<std::size_t>(3 + i)].c_str());
        phase.cell = {v[0], v[1], v[2], v[3], v[4], v[5]};
        out.phases.push_back(phase);
        out.latticeTypes.push_back(library::latticeTypeFromText(record.latticeTypeText()));
    }
    return out;
}

}  // namespace

int runIdentifyCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    if (args.isEmpty() || args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h")) {
        out << Identify::tr(kHelp);
        return args.isEmpty() ? 2 : 0;
    }
    const QStringList withValue{QStringLiteral("library"), QStringLiteral("phases"), QStringLiteral("d-range"),
                                QStringLiteral("scale"),   QStringLiteral("centre"), QStringLiteral("top"),
                                QStringLiteral("format"),  QStringLiteral("calibration"), QStringLiteral("cif")};
    const QStringList flags{QStringLiteral("uncalibrated"), QStringLiteral("double")};
    const QString path = args.takeFirst();
    if (const QString unknown = Options::unknownOption(path, withValue, flags); !unknown.isEmpty())
        return fail(err, unknown);
    if (path.startsWith(QStringLiteral("--"))) return fail(err, Identify::tr("缺少图像文件 FILE"));
    const std::optional<QStringList> cifs = takeListOption(args, QStringLiteral("cif"));
    Options options;
    if (!options.parse(args, withValue, flags)) return fail(err, options.error());
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json") && format != QStringLiteral("csv"))
        return fail(err, Identify::tr("--format 须为 text、json 或 csv"));
    if (cifs && options.has(QStringLiteral("library")))
        return fail(err, Identify::tr("--cif 和 --library 只能给出一个"));
    if (int(options.has(QStringLiteral("scale"))) + int(options.has(QStringLiteral("uncalibrated"))) +
            int(options.has(QStringLiteral("calibration"))) > 1)
        return fail(err, Identify::tr("--scale、--calibration 和 --uncalibrated 只能给出一个"));
    std::optional<store::SavedCalibration> saved;
    if (options.has(QStringLiteral("calibration"))) {
        QString error;
        saved = store::CalibrationStore(store::CalibrationStore::defaultPath())
                    .find(options.value(QStringLiteral("calibration")), &error);
        if (!saved) return fail(err, error);
        if (!(saved->perPixel > 0) || !std::isfinite(saved->perPixel))
            return fail(err, Identify::tr("标定“%1”没有可用的数值").arg(QString::fromStdString(saved->name)));
    }

    // The phases.
    std::vector<library::CrystalPhase> phases;
    std::vector<core::LatticeType> latticeTypes;
    std::vector<QString> sources;
    if (cifs) {
        if (cifs->isEmpty()) return fail(err, Identify::tr("--cif 须给出文件或文件夹"));
        const auto read = loadCifPhases(*cifs, QStringLiteral("identify"), err);
        if (!read) return 2;
        phases = *read;
        sources.assign(phases.size(), QStringLiteral("cif"));
    } else if (options.has(QStringLiteral("library"))) {
        const auto read = libraryPhases(options.value(QStringLiteral("library")), err);
        if (!read) return 2;
        phases = read->phases;
        latticeTypes = read->latticeTypes;
        sources.assign(phases.size(), QStringLiteral("library"));
    } else {
        const QString which = options.value(QStringLiteral("phases"), QStringLiteral("all"));
        if (which != QStringLiteral("all") && which != QStringLiteral("builtin") && which != QStringLiteral("imported"))
            return fail(err, Identify::tr("--phases 须为 all、builtin 或 imported"));
        if (which != QStringLiteral("imported")) {
            phases = library::builtInPhases();
            sources.assign(phases.size(), QStringLiteral("builtin"));
        }
        if (which != QStringLiteral("builtin")) {
            const library::ImportedPhasesRead imported = library::readImportedPhases(library::importedPhasesPath());
            if (!imported.error.isEmpty()) return fail(err, imported.error);
            phases.insert(phases.end(), imported.phases.begin(), imported.phases.end());
            sources.resize(phases.size(), QStringLiteral("imported"));
        }
    }
    if (phases.empty()) return fail(err, Identify::tr("没有可用的物相"));

    // The settings.
    analysis::IdentifySettings settings;
    settings.doubleDiffraction = options.has(QStringLiteral("double"));
    bool topOk = false;
    const int top = options.value(QStringLiteral("top"), QStringLiteral("10")).toInt(&topOk);
    if (!topOk || top < 1) return fail(err, Identify::tr("--top 须为正整数"));
    settings.maxCandidates = static_cast<std::size_t>(std::max(top, 10));
    std::optional<core::PixelPoint> centre;
    if (options.has(QStringLiteral("centre"))) {
        const auto xy = options.list(QStringLiteral("centre"), 2);
        const auto x = xy ? number((*xy)[0]) : std::nullopt, y = xy ? number((*xy)[1]) : std::nullopt;
        if (!x || !y) return fail(err, Identify::tr("--centre 须为 X,Y 两个数"));
        centre = core::PixelPoint{*x, *y};
    }
    if (options.has(QStringLiteral("d-range"))) {
        const auto range = options.list(QStringLiteral("d-range"), 2);
        const auto lo = range ? number((*range)[0]) : std::nullopt, hi = range ? number((*range)[1]) : std::nullopt;
        if (!lo || !hi || !(*lo > 0) || !(*hi > *lo)) return fail(err, Identify::tr("--d-range 须为 0 < DMIN < DMAX"));
        settings.minSpacingNm = *lo;
        settings.maxSpacingNm = *hi;
    }

    const measure::LoadedImage read = measure::loadImage(path);
    if (!read.raster)
        return fail(err, read.tooLarge ? Identify::tr("%1 太大，内存容纳不下。").arg(path) : read.error);
    const core::Raster& raster = *read.raster;
    if (centre && (centre->x < 0 || centre->y < 0 || centre->x > raster.width() - 1 || centre->y > raster.height() - 1))
        return fail(err, Identify::tr("--centre 不在图像上"));

    QString calibrationSource = QStringLiteral("fitted");
    if (saved) {
        settings.calibration = saved->perPixel;
        // A ring standard's own uncertainty, but no less than what the pattern's own conditions change.
        if (saved->perPixelSigma > 0)
            settings.calibrationError =
                std::max(saved->perPixelSigma / saved->perPixel, analysis::kLeastSavedCalibrationError);
        settings.removeDistortion = saved->distortion;
        calibrationSource = QStringLiteral("saved");
        // The file's own calibration beside the saved one; a large disagreement is told.
        if (raster.calibration && raster.calibration->reciprocal && raster.calibration->perPixel > 0) {
            const double off = raster.calibration->perPixel / saved->perPixel - 1;
            err << "saedindex-cli identify: "
                << Identify::tr("文件自带的标定 %1 1/nm 每像素，与标定“%2”相差 %3 %")
                       .arg(QString::number(raster.calibration->perPixel, 'g', 8), QString::fromStdString(saved->name),
                            QString::number(100 * off, 'f', 2))
                << '\n';
            if (std::abs(off) > 0.02)
                err << "saedindex-cli identify: "
                    << Identify::tr("注意：两者相差较大，请核对所选标定是否属于这一相机长度和像素合并") << '\n';
        }
    } else if (options.has(QStringLiteral("scale"))) {
        const auto sl = options.list(QStringLiteral("scale"), 2);
        const auto s = sl ? number((*sl)[0]) : std::nullopt, l = sl ? number((*sl)[1]) : std::nullopt;
        if (!s || !l || !(*s > 0) || !(*l > 0)) return fail(err, Identify::tr("--scale 须为两个正数 S,L"));
        settings.calibration = *s / *l;
        calibrationSource = QStringLiteral("scale");
    } else if (!options.has(QStringLiteral("uncalibrated")) && raster.calibration && raster.calibration->reciprocal &&
               raster.calibration->perPixel > 0) {
        settings.calibration = raster.calibration->perPixel;
        calibrationSource = QStringLiteral("file");
    }

    analysis::PhaseSearch search(phases, latticeTypes);
    const analysis::ImageIdentification result = analysis::identifyImage(raster, search, settings, centre);
    if (result.net.status != analysis::NetStatus::Ok) return fail(err, analysis::netStatusText(result.net.status));
    if (result.candidates.empty()) return fail(err, Identify::tr("没有物相的晶带与该网相符"));
    const analysis::NetFit& net = result.net;
    const std::size_t shown = std::min<std::size_t>(static_cast<std::size_t>(top), result.candidates.size());

    if (format == QStringLiteral("json")) {
        QJsonObject netJson;
        netJson[QStringLiteral("centre")] = QJsonObject{{QStringLiteral("x"), net.centre.x},
                                                        {QStringLiteral("y"), net.centre.y},
                                                        {QStringLiteral("sigma"), net.centreSigmaPx},
                                                        {QStringLiteral("locked"), centre.has_value()}};
        QJsonArray basis;
        for (const auto& [v, length, sigma] : {std::tuple{net.a, net.lengthA(), net.sigmaAPx},
                                               std::tuple{net.b, net.lengthB(), net.sigmaBPx}}) {
            QJsonObject b{{QStringLiteral("x"), v.x}, {QStringLiteral("y"), v.y},
                          {QStringLiteral("lengthPx"), length}, {QStringLiteral("sigmaPx"), sigma}};
            if (settings.calibration) {
                const double d = 1 / (length * *settings.calibration);
                b[QStringLiteral("d")] = d;
                b[QStringLiteral("dSigma")] = d * std::hypot(sigma / length, settings.calibrationError);
            } else {
                b[QStringLiteral("d")] = QJsonValue();
                b[QStringLiteral("dSigma")] = QJsonValue();
            }
            basis.append(b);
        }
        netJson[QStringLiteral("basis")] = basis;
        netJson[QStringLiteral("angle")] = net.angleDeg();
        netJson[QStringLiteral("angleSigma")] = net.sigmaAngleDeg;
        netJson[QStringLiteral("residualPx")] = net.residualPx;
        netJson[QStringLiteral("spotsExplained")] = static_cast<double>(net.spotsExplained);
        netJson[QStringLiteral("spotsDetected")] = static_cast<double>(net.spotsDetected);
        QJsonArray list;
        for (std::size_t i = 0; i < shown; ++i) {
            const analysis::Candidate& c = result.candidates[i];
            const library::CrystalPhase& phase = search.phase(c.phase);
            QJsonArray spots;
            for (const analysis::CandidateSpot& s : c.spots)
                spots.append(QJsonObject{
                    {QStringLiteral("hkl"), array3(s.hkl)},
                    {QStringLiteral("predicted"), QJsonObject{{QStringLiteral("x"), s.x}, {QStringLiteral("y"), s.y}}},
                    {QStringLiteral("detected"), s.detected ? QJsonValue(QJsonObject{{QStringLiteral("x"), s.detected->x},
                                                                                    {QStringLiteral("y"), s.detected->y}})
                                                            : QJsonValue()},
                    {QStringLiteral("intensity"), s.intensity},
                    {QStringLiteral("double"), s.doubleDiffraction}});
            const analysis::ScoreParts& p = c.parts;
            list.append(QJsonObject{
                {QStringLiteral("rank"), static_cast<double>(i + 1)},
                {QStringLiteral("phase"), QString::fromStdString(phase.name)},
                {QStringLiteral("cell"), QJsonArray{phase.cell.aNm, phase.cell.bNm, phase.cell.cNm, phase.cell.alphaDeg,
                                                    phase.cell.betaDeg, phase.cell.gammaDeg}},
                {QStringLiteral("source"), sources[c.phase]},
                {QStringLiteral("spaceGroup"), latticeTypes.empty() ? spaceGroupJson(phase) : QJsonValue()},
                {QStringLiteral("zone"), array3(c.zone)},
                {QStringLiteral("family"), array3(c.family)},
                {QStringLiteral("g1"), array3(c.g1)},
                {QStringLiteral("g2"), array3(c.g2)},
                {QStringLiteral("score"), c.score},
                {QStringLiteral("parts"),
                 QJsonObject{{QStringLiteral("shapeMisfit"), p.shapeMisfit},
                             {QStringLiteral("scaleMisfit"), p.scaleMisfit},
                             {QStringLiteral("geometry"), p.geometry},
                             {QStringLiteral("laue"), p.laue},
                             {QStringLiteral("present"), p.present},
                             {QStringLiteral("explained"), p.explained},
                             {QStringLiteral("intensity"), p.intensity},
                             {QStringLiteral("intensityMisfit"), p.intensityMisfit},
                             {QStringLiteral("intensityFit"), p.intensityFit},
                             {QStringLiteral("absentStrong"), p.absentStrong},
                             {QStringLiteral("predicted"), p.predicted},
                             {QStringLiteral("predictedSeen"), p.predictedSeen},
                             {QStringLiteral("detected"), p.detected},
                             {QStringLiteral("detectedExplained"), p.detectedExplained},
                             {QStringLiteral("explainedByDouble"), p.explainedByDouble}}},
                {QStringLiteral("calibration"), c.calibration},
                {QStringLiteral("cameraConstant"), c.cameraConstant()},
                {QStringLiteral("tie"), c.tie ? QJsonValue(c.tie) : QJsonValue()},
                {QStringLiteral("tieBreak"), c.tie ? QJsonValue(tieBreakKey(c.tieBreak)) : QJsonValue()},
                {QStringLiteral("spots"), spots}});
        }
        QJsonObject root{{QStringLiteral("net"), netJson},
                         {QStringLiteral("calibration"),
                          QJsonObject{{QStringLiteral("value"), settings.calibration ? QJsonValue(*settings.calibration)
                                                                                     : QJsonValue()},
                                      {QStringLiteral("source"), calibrationSource},
                                      {QStringLiteral("name"), saved ? QJsonValue(QString::fromStdString(saved->name))
                                                                     : QJsonValue()},
                                      {QStringLiteral("distortionRemoved"),
                                       saved && !saved->distortion.none()
                                           ? QJsonValue(QJsonObject{{QStringLiteral("ratio"), saved->distortion.ratio},
                                                                    {QStringLiteral("angle"), saved->distortion.angleDeg}})
                                           : QJsonValue()}}},
                         {QStringLiteral("candidates"), list}};
        out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
        return 0;
    }
    if (format == QStringLiteral("csv")) {
        out << "rank,phase,source,spaceGroup,zone,family,score,geometry,shapeMisfit,scaleMisfit,laue,present,explained,"
               "intensity,calibration,cameraConstant,detectedExplained,detected,tie,intensityFit,intensityMisfit\r\n";
        const auto quoted = [](QString t) { return QLatin1Char('"') + t.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'); };
        for (std::size_t i = 0; i < shown; ++i) {
            const analysis::Candidate& c = result.candidates[i];
            const library::CrystalPhase& phase = search.phase(c.phase);
            const analysis::ScoreParts& p = c.parts;
            out << (i + 1) << ',' << quoted(QString::fromStdString(phase.name)) << ',' << sources[c.phase] << ','
                << quoted(QString::fromStdString(library::spaceGroupLabel(phase))) << ',' << indices(c.zone) << ','
                << indices(c.family) << ',' << g(c.score, 6) << ',' << g(p.geometry, 4) << ',' << g(p.shapeMisfit, 4)
                << ',' << g(p.scaleMisfit, 4) << ',' << g(p.laue, 4) << ',' << g(p.present, 4) << ','
                << g(p.explained, 4) << ',' << g(p.intensity, 4) << ',' << g(c.calibration, 6) << ','
                << g(c.cameraConstant(), 6) << ',' << p.detectedExplained << ',' << p.detected << ','
                << (c.tie ? QString::number(c.tie) : QString()) << ',' << g(p.intensityFit, 4) << ','
                << g(p.intensityMisfit, 4) << "\r\n";
        }
        return 0;
    }

    out << Identify::tr("中心 (%1, %2) ± %3 px%4")
               .arg(f(net.centre.x, 2), f(net.centre.y, 2), f(net.centreSigmaPx, 2),
                    centre ? Identify::tr("（固定）") : QString())
        << '\n';
    for (const auto& [name, length, sigma] : {std::tuple{QStringLiteral("a"), net.lengthA(), net.sigmaAPx},
                                              std::tuple{QStringLiteral("b"), net.lengthB(), net.sigmaBPx}}) {
        QString line = Identify::tr("%1 = %2 ± %3 px").arg(name, f(length, 2), f(sigma, 2));
        if (settings.calibration) {
            const double d = 1 / (length * *settings.calibration);
            line += Identify::tr("，d = %1 ± %2 nm").arg(f(d, 4), f(d * std::hypot(sigma / length, settings.calibrationError), 4));
        }
        out << line << '\n';
    }
    out << Identify::tr("夹角 %1 ± %2°，残差 %3 px，网上斑点 %4 / %5")
               .arg(f(net.angleDeg(), 2), f(net.sigmaAngleDeg, 2), f(net.residualPx, 2))
               .arg(net.spotsExplained)
               .arg(net.spotsDetected)
        << '\n';
    out << (settings.calibration ? Identify::tr("标定 %1 1/nm/px（%2）").arg(g(*settings.calibration), calibrationSource)
                                 : Identify::tr("标定未知：按每个候选拟合"))
        << '\n';
    if (saved && !saved->distortion.none())
        out << Identify::tr("已去除标定“%1”的椭圆畸变：长短轴比 %2，长轴 %3°")
                   .arg(QString::fromStdString(saved->name), g(saved->distortion.ratio), f(saved->distortion.angleDeg, 1))
            << '\n';
    for (std::size_t i = 0; i < shown; ++i) {
        const analysis::Candidate& c = result.candidates[i];
        const analysis::ScoreParts& p = c.parts;
        out << Identify::tr("%1. %2 [%3] <%4> 得分 %5（几何 %6，形状偏差 %7σ，标尺偏差 %8σ，劳厄 %9，"
                            "预测可见 %10，解释 %11/%12，强度 %13），标定 %14 1/nm/px，相机常数 %15 px·nm")
                   .arg(i + 1)
                   .arg(QString::fromStdString(search.phase(c.phase).name), indices(c.zone), indices(c.family),
                        f(c.score, 1), f(p.geometry, 2), f(p.shapeMisfit, 2), f(p.scaleMisfit, 2), f(p.laue, 2))
                   .arg(f(p.present, 2))
                   .arg(p.detectedExplained)
                   .arg(p.detected)
                   .arg(f(p.intensityFit, 2), g(c.calibration), g(c.cameraConstant()));
        out << "; a (" << indices(c.g1) << "), b (" << indices(c.g2) << ')';
        if (c.tie) out << Identify::tr("；与第 %1 名并列：%2").arg(c.tie).arg(analysis::tieBreakText(c.tieBreak));
        out << '\n';
    }
    return 0;
}

}  // namespace saed::cli
