// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli rings, calibrate and calibrations: ring patterns of polycrystals read and
// indexed, the camera constant and distortion from a ring standard, and the saved calibrations.
#include "app/cli/commands.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <optional>

#include "analysis/ringindexing.h"
#include "analysis/ringpattern.h"
#include "analysis/ringplot.h"
#include "analysis/ringreading.h"
#include "app/cli/crystaloptions.h"
#include "app/cli/imageread.h"
#include "app/cli/options.h"
#include "app/ringplotpainter.h"
#include "library/builtinphases.h"
#include "store/calibrationstore.h"
#include "store/textfile.h"

namespace saed::cli {

namespace {

struct Rings {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Rings)
};

const char kRingsUsage[] = QT_TRANSLATE_NOOP("saed::cli::Rings",
    "用法：saedindex-cli rings FILE [--centre X,Y] [--mask X0,Y0,X1,Y1[;...]] [--assume-rings]\n"
    "                          [--calibration NAME] [--phases NAME,...] [--cif FILE|DIR ...]\n"
    "                          [--format text|json|csv] [--plot OUT.png|OUT.svg [--log]]\n"
    "\n"
    "读取多晶的衍射环花样：中心、各环共有的椭圆畸变（轴比和长轴方向）、去除畸变后的径向\n"
    "强度分布及其背底、各环的半径和宽度（含不确定度），再用物相（默认全部内置物相）标定各环：\n"
    "按晶面间距和 |F|²×多重性解释各环的程度给物相排名，给各环标出 (hkl) 和 d，列出无法解释\n"
    "的环；剩余的环由第二个物相解释时报告为混合物。\n"
    "\n"
    "  --centre X,Y       给定中心（图像像素）；默认由图像求出\n"
    "  --mask ...         不参与测量的矩形，像素 X0,Y0,X1,Y1，多个以 ; 分隔；挡针和饱和像素\n"
    "                     自动去除\n"
    "  --assume-rings     即使环不连续（织构）也按环花样处理\n"
    "  --calibration NAME 相机常数取自保存的标定（saedindex-cli calibrations list）；默认取\n"
    "                     文件自带的标定，都没有时每个物相各自拟合相机常数\n"
    "  --phases A,B       只用这些内置物相；--cif 用 CIF 文件中的物相\n"
    "  --format           text（默认）、json（键见 docs/rings-json.md）或 csv（径向分布）\n"
    "  --plot OUT         径向分布图（PNG 或 SVG，按扩展名），标出第一物相各环的 (hkl)；\n"
    "                     --log 使强度取对数坐标\n"
    "\n"
    "示例：\n"
    "  saedindex-cli rings au-rings.tif --plot au-profile.svg\n");

const char kCalibrateUsage[] = QT_TRANSLATE_NOOP("saed::cli::Rings",
    "用法：saedindex-cli calibrate FILE (--standard PHASE | --cif FILE) [--centre X,Y]\n"
    "                              [--mask X0,Y0,X1,Y1[;...]] [--format text|json]\n"
    "                              [--save NAME [--replace] [--voltage KV] [--camera-length MM]\n"
    "                              [--magnification M] [--binning N] [--microscope TEXT]]\n"
    "\n"
    "用标样（如金、铝、硅的多晶膜）的衍射环求相机常数（每像素 1/nm）和椭圆畸变：各环半径与\n"
    "标样最强的衍射（|F|²×多重性）相配，最小二乘拟合相机常数，给出各环残差和不确定度。\n"
    "各环与标样不符时报告不符，不保存。--save 把标定以 NAME 存入配置文件夹中的\n"
    "Calibrations.ini，此后 index --calibration NAME 和 rings --calibration NAME 可用。\n"
    "\n"
    "  --standard PHASE   内置物相的名称（saedindex-cli library 列出），如 Au、Al、Si\n"
    "  --cif FILE         标样取自 CIF 文件的第一个物相\n"
    "  --replace          替换同名的标定\n"
    "\n"
    "示例：\n"
    "  saedindex-cli calibrate au-rings.tif --standard Au --save \"200kV 250mm\" --voltage 200 \\\n"
    "      --camera-length 250\n");

const char kCalibrationsUsage[] = QT_TRANSLATE_NOOP("saed::cli::Rings",
    "用法：saedindex-cli calibrations list [--format text|json]\n"
    "      saedindex-cli calibrations show NAME [--format text|json]\n"
    "      saedindex-cli calibrations remove NAME\n"
    "\n"
    "保存的标定（配置文件夹中的 Calibrations.ini）：列出、显示一个、删除一个。\n");

QString text(double v, int digits = 6) { return QString::number(v, 'g', digits); }
QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }
// An uncertainty to the last digit of its figure, which has `decimals` decimals.
QString sigma(double v, int decimals) { return QString::fromStdString(analysis::ringUncertainty(v, decimals)); }
// The camera constant to eight significant digits, and its uncertainty to the same last digit.
QString constant(double perPixel) {
    return QString::fromStdString(analysis::ringFigure(perPixel, analysis::significantDecimals(perPixel, 8)));
}
QString constantSigma(double perPixel, double v) { return sigma(v, analysis::significantDecimals(perPixel, 8)); }

int fail(QTextStream& err, const QString& command, const QString& message) {
    err << "saedindex-cli " << command << ": " << message << '\n';
    err.flush();
    return 2;
}

QString failureText(analysis::RingFailure f) {
    switch (f) {
    case analysis::RingFailure::NoCentre:
        return Rings::tr("找不到可用的中心；请用 --centre X,Y 给出图像内的中心");
    case analysis::RingFailure::NoRings:
        return Rings::tr("图像中没有高出背底的衍射环");
    case analysis::RingFailure::NotRings:
        return Rings::tr("这是斑点花样，不是连续的衍射环（斑点花样请用 index --image FILE --auto）；"
                         "若确为织构的环，加 --assume-rings");
    case analysis::RingFailure::OneRing:
        return Rings::tr("只有一个衍射环：求不出畸变和相机常数");
    case analysis::RingFailure::None: break;
    }
    return QString();
}

std::optional<double> number(const QString& s) {
    bool ok = false;
    const double v = s.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// The image and its rings: the options --centre, --mask and --assume-rings; the reason on
// stderr when there is no ring pattern.
struct Measured {
    core::Raster raster;
    analysis::RingPattern pattern;
};

std::optional<Measured> measure(const QString& path, Options& options, const QString& command, QTextStream& err) {
    analysis::RingOptions ro;
    if (options.has(QStringLiteral("centre"))) {
        const auto c = options.list(QStringLiteral("centre"), 2);
        const auto x = c ? number((*c)[0]) : std::nullopt, y = c ? number((*c)[1]) : std::nullopt;
        if (!x || !y) {
            fail(err, command, Rings::tr("--centre 须为 X,Y 两个数"));
            return std::nullopt;
        }
        ro.centreX = *x;
        ro.centreY = *y;
    }
    if (options.has(QStringLiteral("mask"))) {
        for (const QString& part : options.value(QStringLiteral("mask")).split(u';', Qt::SkipEmptyParts)) {
            const QStringList v = part.split(u',');
            std::array<double, 4> r{};
            bool ok = v.size() == 4;
            for (int i = 0; ok && i < 4; ++i) {
                const auto n = number(v[i]);
                ok = n && std::abs(*n) < 1e9;
                if (ok) r[static_cast<std::size_t>(i)] = *n;
            }
            if (!ok) {
                fail(err, command, Rings::tr("--mask：“%1”须为 X0,Y0,X1,Y1 四个数").arg(part));
                return std::nullopt;
            }
            ro.masks.push_back({static_cast<int>(std::floor(r[0])), static_cast<int>(std::floor(r[1])),
                                static_cast<int>(std::ceil(r[2])), static_cast<int>(std::ceil(r[3]))});
        }
    }
    ro.assumeRings = options.has(QStringLiteral("assume-rings"));
    core::ReadResult read = readAnyImage(path);
    if (!read.raster) {
        fail(err, command, QString::fromStdString(read.error));
        return std::nullopt;
    }
    Measured m{std::move(*read.raster), {}};
    m.pattern = analysis::measureRings(m.raster, ro);
    if (m.pattern.failure != analysis::RingFailure::None) {
        fail(err, command, path + QStringLiteral(": ") + failureText(m.pattern.failure));
        return std::nullopt;
    }
    return m;
}

QJsonObject centreJson(const analysis::RingPattern& p) {
    return {{QStringLiteral("x"), p.centreX},
            {QStringLiteral("y"), p.centreY},
            {QStringLiteral("sigmaX"), p.centreSigmaXPx},
            {QStringLiteral("sigmaY"), p.centreSigmaYPx}};
}

QJsonObject distortionJson(const analysis::RingPattern& p) {
    return {{QStringLiteral("axisRatio"), p.distortion.ratio},
            {QStringLiteral("axisRatioSigma"), p.ratioSigma},
            {QStringLiteral("axisAngleDeg"), p.distortion.angleDeg},
            {QStringLiteral("axisAngleSigmaDeg"), p.angleSigmaDeg}};
}

QStringList patternLines(const analysis::RingPattern& p) {
    return {Rings::tr("中心 %1, %2 像素（± %3, %4）")
                .arg(fixed(p.centreX, 2), fixed(p.centreY, 2), sigma(p.centreSigmaXPx, 2), sigma(p.centreSigmaYPx, 2)),
            Rings::tr("椭圆畸变：轴比 %1 ± %2，长轴 %3° ± %4°（自 +x 轴转向 +y，图像 y 向下）")
                .arg(fixed(p.distortion.ratio, 5), sigma(p.ratioSigma, 5), fixed(p.distortion.angleDeg, 2),
                     sigma(p.angleSigmaDeg, 2))};
}

QString hkl(const analysis::PowderLine& line) { return QString::fromStdString(analysis::lineLabel(line)); }

bool writePlot(const QString& path, const analysis::RingPattern& p, std::optional<double> perPixel,
               const std::vector<analysis::PowderLine>* lines, bool logarithmic, const QString& command,
               QTextStream& err) {
    const analysis::RingPlotInput in = analysis::ringPlotInput(
        p, perPixel, lines, logarithmic, Rings::tr("半径（像素）").toStdString(),
        (logarithmic ? Rings::tr("平均强度（对数）") : Rings::tr("平均强度")).toStdString());
    const analysis::RingPlotLayout layout = analysis::layoutRingPlot(in);
    QByteArray bytes;
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        bytes = QByteArray::fromStdString(analysis::ringPlotSvg(layout));
    } else if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        // Text on a picture needs the fonts of a graphical application.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
            fail(err, command, Rings::tr("这里无法绘制 PNG（没有图形环境）；请用 .svg"));
            return false;
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!app::ringPlotImage(layout).save(&buffer, "PNG")) {
            fail(err, command, Rings::tr("无法生成 PNG 图"));
            return false;
        }
    } else {
        fail(err, command, Rings::tr("--plot 的文件须以 .png 或 .svg 结尾"));
        return false;
    }
    QString why;
    if (!store::writeFileAtomic(path, bytes, &why)) {
        fail(err, command, Rings::tr("无法写入 %1：%2").arg(path, why));
        return false;
    }
    return true;
}

// The file's own reciprocal calibration, if any.
std::optional<double> fileCalibration(const core::Raster& raster) {
    if (raster.calibration && raster.calibration->reciprocal && raster.calibration->perPixel > 0)
        return raster.calibration->perPixel;
    return std::nullopt;
}

const library::CrystalPhase* builtInPhase(const QString& name) {
    for (const auto& p : library::builtInPhases())
        if (QString::fromStdString(p.name).compare(name, Qt::CaseInsensitive) == 0) return &p;
    return nullptr;
}

QJsonObject calibrationJson(const store::SavedCalibration& c) {
    return {{QStringLiteral("name"), QString::fromStdString(c.name)},
            {QStringLiteral("microscope"), QString::fromStdString(c.microscope)},
            {QStringLiteral("voltageKv"), c.voltageKv},
            {QStringLiteral("cameraLengthMm"), c.cameraLengthMm},
            {QStringLiteral("magnification"), c.magnification},
            {QStringLiteral("binning"), c.binning},
            {QStringLiteral("perPixel"), c.perPixel},
            {QStringLiteral("perPixelSigma"), c.perPixelSigma},
            {QStringLiteral("axisRatio"), c.distortion.ratio},
            {QStringLiteral("axisRatioSigma"), c.ratioSigma},
            {QStringLiteral("axisAngleDeg"), c.distortion.angleDeg},
            {QStringLiteral("axisAngleSigmaDeg"), c.angleSigmaDeg},
            {QStringLiteral("date"), QString::fromStdString(c.date)},
            {QStringLiteral("standard"), QString::fromStdString(c.standard)},
            {QStringLiteral("standardFile"), QString::fromStdString(c.standardFile)}};
}

QStringList calibrationLinesText(const store::SavedCalibration& c) {
    QStringList lines;
    lines << Rings::tr("标定 %1").arg(QString::fromStdString(c.name))
          << Rings::tr("  相机常数 %1 ± %2 1/nm 每像素（10 1/nm = %3 像素）")
                 .arg(constant(c.perPixel), constantSigma(c.perPixel, c.perPixelSigma), fixed(10.0 / c.perPixel, 3))
          << Rings::tr("  椭圆畸变 轴比 %1 ± %2，长轴 %3° ± %4°")
                 .arg(fixed(c.distortion.ratio, 5), sigma(c.ratioSigma, 5), fixed(c.distortion.angleDeg, 2),
                      sigma(c.angleSigmaDeg, 2));
    if (!c.microscope.empty()) lines << Rings::tr("  显微镜 %1").arg(QString::fromStdString(c.microscope));
    if (c.voltageKv > 0) lines << Rings::tr("  加速电压 %1 kV").arg(text(c.voltageKv));
    if (c.cameraLengthMm > 0) lines << Rings::tr("  相机长度 %1 mm").arg(text(c.cameraLengthMm));
    if (c.magnification > 0) lines << Rings::tr("  放大倍数 %1").arg(text(c.magnification));
    lines << Rings::tr("  像素合并 %1").arg(c.binning)
          << Rings::tr("  标样 %1，图像 %2").arg(QString::fromStdString(c.standard), QString::fromStdString(c.standardFile))
          << Rings::tr("  日期 %1").arg(QString::fromStdString(c.date));
    return lines;
}

bool wantsHelp(const QStringList& args) {
    return args.isEmpty() || args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h");
}

}  // namespace

int runRingsCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString command = QStringLiteral("rings");
    if (wantsHelp(args)) {
        out << Rings::tr(kRingsUsage);
        return args.isEmpty() ? 2 : 0;
    }
    const QStringList withValue{QStringLiteral("centre"), QStringLiteral("mask"),   QStringLiteral("calibration"),
                                QStringLiteral("phases"), QStringLiteral("format"), QStringLiteral("plot"),
                                QStringLiteral("cif")};
    const QStringList flags{QStringLiteral("assume-rings"), QStringLiteral("log")};
    if (const QString unknown = Options::unknownOption(args.first(), withValue, flags); !unknown.isEmpty())
        return fail(err, command, unknown);
    if (args.first().startsWith(QStringLiteral("--"))) return fail(err, command, Rings::tr("缺少图像文件 FILE"));
    const QString path = args.first();
    QStringList rest = args.mid(1);
    const auto cif = takeListOption(rest, QStringLiteral("cif"));
    Options options;
    if (!options.parse(rest, withValue, flags)) return fail(err, command, options.error());
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json") && format != QStringLiteral("csv"))
        return fail(err, command, Rings::tr("--format 须为 text、json 或 csv"));
    if (options.has(QStringLiteral("log")) && !options.has(QStringLiteral("plot")))
        return fail(err, command, Rings::tr("--log 只与 --plot 同用"));

    // The phases to rank.
    std::vector<library::CrystalPhase> phases;
    if (cif) {
        if (cif->isEmpty()) return fail(err, command, Rings::tr("--cif 须给出文件或文件夹"));
        auto read = loadCifPhases(*cif, command, err);
        if (!read) return 2;
        phases = std::move(*read);
    }
    if (options.has(QStringLiteral("phases"))) {
        for (const QString& name : options.value(QStringLiteral("phases")).split(u',', Qt::SkipEmptyParts)) {
            const auto* p = builtInPhase(name.trimmed());
            if (!p) return fail(err, command, Rings::tr("没有名为“%1”的内置物相（saedindex-cli library 列出内置物相）").arg(name.trimmed()));
            phases.push_back(*p);
        }
    }
    if (!cif && !options.has(QStringLiteral("phases"))) phases = library::builtInPhases();
    if (phases.empty()) return fail(err, command, Rings::tr("没有可用的物相"));

    // The camera constant: a saved calibration, else the file's, else none.
    std::optional<store::SavedCalibration> saved;
    if (options.has(QStringLiteral("calibration"))) {
        QString error;
        saved = store::CalibrationStore(store::CalibrationStore::defaultPath()).find(options.value(QStringLiteral("calibration")), &error);
        if (!saved) return fail(err, command, error);
    }
    auto measured = measure(path, options, command, err);
    if (!measured) return 2;
    const analysis::RingPattern& p = measured->pattern;
    std::optional<double> perPixel;
    double relSigma = 0.01;
    QString source = QStringLiteral("none");
    if (saved) {
        perPixel = saved->perPixel;
        relSigma = std::max(0.002, saved->perPixelSigma / saved->perPixel);
        source = QStringLiteral("calibration");
    } else if (const auto f = fileCalibration(measured->raster)) {
        perPixel = *f;
        source = QStringLiteral("file");
    }

    // The ranking and the labels as the window's rings view has them.
    const analysis::RingReading reading = analysis::readRings(p, phases, perPixel, relSigma);
    const analysis::RingPhaseRanking& ranking = reading.ranking;
    const bool ranked = reading.ranked;
    const std::vector<analysis::PowderLine>& firstLines = reading.firstLines;
    const std::optional<double> kFirst = reading.firstPerPixel;
    struct Label {
        QString phase, hkl;
        double dNm = 0;
    };
    std::vector<std::optional<Label>> labels;
    for (const auto& l : reading.labels)
        labels.push_back(l ? std::optional<Label>(Label{QString::fromStdString(l->phase), QString::fromStdString(l->hkl), l->dNm})
                           : std::nullopt);

    if (options.has(QStringLiteral("plot")) &&
        !writePlot(options.value(QStringLiteral("plot")), p, kFirst ? kFirst : perPixel, ranked ? &firstLines : nullptr,
                   options.has(QStringLiteral("log")), command, err))
        return 2;

    if (format == QStringLiteral("csv")) {
        // UTF-8 with a byte order mark, as the index CSV.
        out << QChar(0xFEFF) << QString::fromStdString(analysis::ringProfileCsv(p, kFirst ? kFirst : perPixel));
        return 0;
    }
    const std::size_t shown = std::min<std::size_t>(10, ranking.ranked.size());
    if (format == QStringLiteral("json")) {
        QJsonObject o;
        o[QStringLiteral("file")] = path;
        o[QStringLiteral("width")] = measured->raster.width();
        o[QStringLiteral("height")] = measured->raster.height();
        o[QStringLiteral("centre")] = centreJson(p);
        o[QStringLiteral("distortion")] = distortionJson(p);
        o[QStringLiteral("cameraConstant")] = QJsonObject{
            {QStringLiteral("perPixel"), perPixel ? QJsonValue(*perPixel) : QJsonValue()},
            {QStringLiteral("source"), source},
            {QStringLiteral("calibration"), saved ? QJsonValue(QString::fromStdString(saved->name)) : QJsonValue()}};
        QJsonArray rings;
        for (std::size_t i = 0; i < p.rings.size(); ++i) {
            const auto& r = p.rings[i];
            const double g = kFirst ? *kFirst * r.radiusPx : 0;
            rings.append(QJsonObject{
                {QStringLiteral("radiusPx"), r.radiusPx},
                {QStringLiteral("radiusSigmaPx"), r.radiusSigmaPx},
                {QStringLiteral("widthPx"), r.widthPx},
                {QStringLiteral("semiMajorPx"), r.semiMajorPx},
                {QStringLiteral("semiMinorPx"), r.semiMinorPx},
                {QStringLiteral("height"), r.height},
                {QStringLiteral("intensity"), r.intensity},
                {QStringLiteral("coverage"), r.coverage},
                {QStringLiteral("gInvNm"), kFirst ? QJsonValue(g) : QJsonValue()},
                {QStringLiteral("dNm"), kFirst ? QJsonValue(1.0 / g) : QJsonValue()},
                {QStringLiteral("phase"), labels[i] ? QJsonValue(labels[i]->phase) : QJsonValue()},
                {QStringLiteral("hkl"), labels[i] ? QJsonValue(labels[i]->hkl) : QJsonValue()},
                {QStringLiteral("lineDNm"), labels[i] ? QJsonValue(labels[i]->dNm) : QJsonValue()}});
        }
        o[QStringLiteral("rings")] = rings;
        QJsonArray ph;
        for (std::size_t n = 0; n < shown; ++n) {
            const auto& f = ranking.ranked[n];
            ph.append(QJsonObject{{QStringLiteral("name"), QString::fromStdString(phases[f.phase].name)},
                                  {QStringLiteral("score"), f.score},
                                  {QStringLiteral("matchedRings"), f.matched},
                                  {QStringLiteral("explained"), f.explained},
                                  {QStringLiteral("missing"), f.missing},
                                  {QStringLiteral("scale"), f.scale},
                                  {QStringLiteral("rmsRelative"), f.rmsRelative}});
        }
        o[QStringLiteral("phases")] = ph;
        QJsonArray left;
        for (int i : ranking.unexplained) left.append(i + 1);
        o[QStringLiteral("unexplainedRings")] = left;
        if (ranking.second) {
            QJsonArray second;
            for (std::size_t i = 0; i < ranking.second->rings.size(); ++i)
                if (ranking.second->rings[i].line >= 0 && ranking.ranked.front().rings[i].line < 0)
                    second.append(static_cast<int>(i) + 1);
            o[QStringLiteral("mixture")] = QJsonObject{
                {QStringLiteral("name"), QString::fromStdString(phases[ranking.second->phase].name)},
                {QStringLiteral("score"), ranking.second->score},
                {QStringLiteral("rings"), second}};
        } else {
            o[QStringLiteral("mixture")] = QJsonValue();
        }
        out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented));
        return 0;
    }

    QStringList lines = patternLines(p);
    if (saved)
        lines << Rings::tr("相机常数 %1 1/nm 每像素，取自保存的标定“%2”")
                     .arg(text(*perPixel, 8), QString::fromStdString(saved->name));
    else if (perPixel)
        lines << Rings::tr("相机常数 %1 1/nm 每像素，取自文件").arg(text(*perPixel, 8));
    else
        lines << Rings::tr("图像没有标定：每个物相各自拟合相机常数，同一点阵类型的立方物相无法由间距区分");
    lines << QString() << Rings::tr("环  半径/像素  不确定度  宽度/像素  |g|/(1/nm)  d/nm  连续度  物相 (hkl)");
    for (std::size_t i = 0; i < p.rings.size(); ++i) {
        const auto& r = p.rings[i];
        const QString g = kFirst ? fixed(*kFirst * r.radiusPx, 4) : QStringLiteral("-");
        const QString d = kFirst ? fixed(1.0 / (*kFirst * r.radiusPx), 5) : QStringLiteral("-");
        const QString label = labels[i] ? labels[i]->phase + QLatin1Char(' ') + labels[i]->hkl : Rings::tr("（无法解释）");
        lines << QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8")
                     .arg(i + 1)
                     .arg(fixed(r.radiusPx, 3), sigma(r.radiusSigmaPx, 3), fixed(r.widthPx, 2), g, d,
                          fixed(r.coverage, 2), label);
    }
    lines << QString() << Rings::tr("物相排名（得分 0 到 1）：");
    for (std::size_t n = 0; n < shown; ++n) {
        const auto& f = ranking.ranked[n];
        lines << Rings::tr("%1  %2  得分 %3  解释 %4/%5 个环  缺失的强环占 %6 %")
                     .arg(n + 1)
                     .arg(QString::fromStdString(phases[f.phase].name), fixed(f.score, 3))
                     .arg(f.matched)
                     .arg(p.rings.size())
                     .arg(fixed(100 * f.missing, 0));
    }
    if (ranking.second)
        lines << Rings::tr("混合物：%1 解释了 %2 留下的环")
                     .arg(QString::fromStdString(phases[ranking.second->phase].name),
                          QString::fromStdString(phases[ranking.ranked.front().phase].name));
    if (!ranking.unexplained.empty()) {
        QStringList numbers;
        for (int i : ranking.unexplained) numbers << QString::number(i + 1);
        lines << Rings::tr("无法解释的环：%1").arg(numbers.join(QStringLiteral(", ")));
    }
    out << lines.join(QLatin1Char('\n')) << '\n';
    return 0;
}

int runCalibrateCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString command = QStringLiteral("calibrate");
    if (wantsHelp(args)) {
        out << Rings::tr(kCalibrateUsage);
        return args.isEmpty() ? 2 : 0;
    }
    const QStringList withValue{QStringLiteral("standard"), QStringLiteral("cif"), QStringLiteral("centre"),
                                QStringLiteral("mask"), QStringLiteral("format"), QStringLiteral("save"),
                                QStringLiteral("voltage"), QStringLiteral("camera-length"),
                                QStringLiteral("magnification"), QStringLiteral("binning"),
                                QStringLiteral("microscope")};
    const QStringList flags{QStringLiteral("replace"), QStringLiteral("assume-rings")};
    if (const QString unknown = Options::unknownOption(args.first(), withValue, flags); !unknown.isEmpty())
        return fail(err, command, unknown);
    if (args.first().startsWith(QStringLiteral("--"))) return fail(err, command, Rings::tr("缺少图像文件 FILE"));
    const QString path = args.first();
    Options options;
    if (!options.parse(args.mid(1), withValue, flags)) return fail(err, command, options.error());
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json"))
        return fail(err, command, Rings::tr("--format 须为 text 或 json"));
    if (options.has(QStringLiteral("standard")) == options.has(QStringLiteral("cif")))
        return fail(err, command, Rings::tr("--standard 与 --cif 须给出且只给出其一"));
    const bool saving = options.has(QStringLiteral("save"));
    for (const char* o : {"voltage", "camera-length", "magnification", "binning", "microscope", "replace"})
        if (!saving && options.has(QString::fromLatin1(o)))
            return fail(err, command, Rings::tr("--%1 只与 --save 同用").arg(QString::fromLatin1(o)));

    // Everything that can be wrong with the options is found before the image is read.
    store::SavedCalibration saved;
    if (saving) {
        saved.name = options.value(QStringLiteral("save")).toStdString();
        switch (store::calibrationNameProblem(saved.name)) {
        case store::NameProblem::None: break;
        case store::NameProblem::Empty: return fail(err, command, Rings::tr("--save：标定名称不能为空"));
        case store::NameProblem::BadCharacter: return fail(err, command, Rings::tr("--save：标定名称不能含换行、[、] 或 ="));
        case store::NameProblem::Blanks: return fail(err, command, Rings::tr("--save：标定名称首尾不能有空格"));
        }
        const auto positive = [&](const char* name, double& target) {
            if (!options.has(QString::fromLatin1(name))) return true;
            const auto v = number(options.value(QString::fromLatin1(name)));
            if (!v || !(*v > 0)) return false;
            target = *v;
            return true;
        };
        double binning = 1;
        for (auto [name, target] : {std::pair{"voltage", &saved.voltageKv}, std::pair{"camera-length", &saved.cameraLengthMm},
                                    std::pair{"magnification", &saved.magnification}, std::pair{"binning", &binning}})
            if (!positive(name, *target)) return fail(err, command, Rings::tr("--%1 须为正数").arg(QString::fromLatin1(name)));
        if (binning != std::floor(binning) || binning > 64) return fail(err, command, Rings::tr("--binning 须为 1 到 64 的整数"));
        saved.binning = static_cast<int>(binning);
        saved.microscope = options.value(QStringLiteral("microscope")).toStdString();
    }
    library::CrystalPhase standard;
    if (options.has(QStringLiteral("standard"))) {
        const auto* p = builtInPhase(options.value(QStringLiteral("standard")));
        if (!p)
            return fail(err, command, Rings::tr("没有名为“%1”的内置物相（saedindex-cli library 列出内置物相）")
                                          .arg(options.value(QStringLiteral("standard"))));
        standard = *p;
    } else {
        const auto read = loadCifPhases({options.value(QStringLiteral("cif"))}, command, err);
        if (!read) return 2;
        if (read->empty()) return fail(err, command, Rings::tr("--cif：%1 中没有物相").arg(options.value(QStringLiteral("cif"))));
        standard = read->front();
    }

    auto measured = measure(path, options, command, err);
    if (!measured) return 2;
    const analysis::RingPattern& p = measured->pattern;
    const auto lines = analysis::linesForPattern(standard, p, std::nullopt);
    const analysis::RingCalibration c = analysis::calibrateRings(p, lines);
    const QString standardName = QString::fromStdString(standard.name);
    if (!c.matches) {
        QString why;
        if (c.matched == 0) why = Rings::tr("没有一个环与它的衍射相配");
        else
            why = Rings::tr("只有 %1/%2 个环相配，解释了 %3 % 的环强度，缺失的强衍射占 %4 %")
                      .arg(c.matched)
                      .arg(p.rings.size())
                      .arg(fixed(100 * c.explained, 0), fixed(100 * c.missing, 0));
        return fail(err, command, Rings::tr("%1 的衍射环与标样 %2 不符：%3；未保存标定").arg(path, standardName, why));
    }

    const std::optional<double> own = fileCalibration(measured->raster);
    saved.perPixel = c.perPixel;
    saved.perPixelSigma = c.perPixelSigma;
    saved.distortion = p.distortion;
    saved.ratioSigma = p.ratioSigma;
    saved.angleSigmaDeg = p.angleSigmaDeg;
    saved.date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    saved.standard = standard.name;
    saved.standardFile = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
    const double disagreement = own ? *own / c.perPixel - 1 : 0.0;
    // Beyond this the file's camera length or unit is likely wrong, or the standard is.
    constexpr double kLargeDisagreement = 0.02;

    if (saving) {
        QString error;
        if (!store::CalibrationStore(store::CalibrationStore::defaultPath())
                 .save(saved, options.has(QStringLiteral("replace")), &error))
            return fail(err, command, error);
    }

    if (format == QStringLiteral("json")) {
        QJsonObject o;
        o[QStringLiteral("file")] = path;
        o[QStringLiteral("standard")] = standardName;
        o[QStringLiteral("centre")] = centreJson(p);
        o[QStringLiteral("distortion")] = distortionJson(p);
        o[QStringLiteral("perPixel")] = c.perPixel;
        o[QStringLiteral("perPixelSigma")] = c.perPixelSigma;
        o[QStringLiteral("rmsRelative")] = c.rmsRelative;
        o[QStringLiteral("fileCalibration")] = own ? QJsonValue(*own) : QJsonValue();
        o[QStringLiteral("fileDisagreement")] = own ? QJsonValue(disagreement) : QJsonValue();
        QJsonArray rings;
        for (std::size_t i = 0; i < p.rings.size(); ++i) {
            const auto& m = c.rings[i];
            const auto* l = m.line >= 0 ? &lines[static_cast<std::size_t>(m.line)] : nullptr;
            rings.append(QJsonObject{{QStringLiteral("radiusPx"), p.rings[i].radiusPx},
                                     {QStringLiteral("radiusSigmaPx"), p.rings[i].radiusSigmaPx},
                                     {QStringLiteral("gInvNm"), m.gInvNm},
                                     {QStringLiteral("hkl"), l ? QJsonValue(hkl(*l)) : QJsonValue()},
                                     {QStringLiteral("dNm"), l ? QJsonValue(l->dNm) : QJsonValue()},
                                     {QStringLiteral("residualInvNm"), l ? QJsonValue(m.residualInvNm) : QJsonValue()}});
        }
        o[QStringLiteral("rings")] = rings;
        o[QStringLiteral("saved")] = saving ? QJsonValue(calibrationJson(saved)) : QJsonValue();
        out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented));
        return 0;
    }
    QStringList t = patternLines(p);
    t << Rings::tr("标样 %1：相机常数 %2 ± %3 1/nm 每像素（10 1/nm = %4 像素），相对残差均方根 %5")
             .arg(standardName, constant(c.perPixel), constantSigma(c.perPixel, c.perPixelSigma), fixed(10.0 / c.perPixel, 3),
                  text(c.rmsRelative, 2));
    if (own) {
        t << Rings::tr("文件自带的标定：%1 1/nm 每像素，与此相差 %2 %").arg(text(*own, 8), fixed(100 * disagreement, 2));
        if (std::abs(disagreement) > kLargeDisagreement)
            t << Rings::tr("注意：两者相差较大，请核对相机长度、像素合并或标样");
    }
    t << QString() << Rings::tr("环  半径/像素  (hkl)  d/nm  |g|/(1/nm)  残差/(1/nm)");
    for (std::size_t i = 0; i < p.rings.size(); ++i) {
        const auto& m = c.rings[i];
        if (m.line < 0) {
            t << QStringLiteral("%1  %2  %3").arg(i + 1).arg(fixed(p.rings[i].radiusPx, 3), Rings::tr("（不属于标样）"));
            continue;
        }
        const auto& l = lines[static_cast<std::size_t>(m.line)];
        t << QStringLiteral("%1  %2  %3  %4  %5  %6")
                 .arg(i + 1)
                 .arg(fixed(p.rings[i].radiusPx, 3), hkl(l), fixed(l.dNm, 5), fixed(m.gInvNm, 4), text(m.residualInvNm, 2));
    }
    if (saving) t << QString() << Rings::tr("已保存为标定“%1”").arg(QString::fromStdString(saved.name));
    out << t.join(QLatin1Char('\n')) << '\n';
    return 0;
}

int runCalibrationsCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString command = QStringLiteral("calibrations");
    if (wantsHelp(args)) {
        out << Rings::tr(kCalibrationsUsage);
        return args.isEmpty() ? 2 : 0;
    }
    const QString action = args.first();
    if (const QString unknown = Options::unknownOption(action, {}, {}); !unknown.isEmpty())
        return fail(err, command, unknown);
    if (action != QStringLiteral("list") && action != QStringLiteral("show") && action != QStringLiteral("remove"))
        return fail(err, command, Rings::tr("未知操作“%1”；须为 list、show 或 remove").arg(action));
    QStringList rest = args.mid(1);
    QString name;
    if (action != QStringLiteral("list")) {
        if (!rest.isEmpty()) {
            if (const QString unknown = Options::unknownOption(rest.first(), {QStringLiteral("format")}, {});
                !unknown.isEmpty())
                return fail(err, command, unknown);
        }
        if (rest.isEmpty() || rest.first().startsWith(QStringLiteral("--")))
            return fail(err, command, Rings::tr("%1 须给出标定名称 NAME").arg(action));
        name = rest.takeFirst();
    }
    Options options;
    if (!options.parse(rest, {QStringLiteral("format")}, {})) return fail(err, command, options.error());
    const QString format = options.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QStringLiteral("text") && format != QStringLiteral("json"))
        return fail(err, command, Rings::tr("--format 须为 text 或 json"));
    const store::CalibrationStore store(store::CalibrationStore::defaultPath());
    QString error;
    if (action == QStringLiteral("remove")) {
        if (options.has(QStringLiteral("format"))) return fail(err, command, Rings::tr("remove 不接受 --format"));
        if (!store.remove(name, &error)) return fail(err, command, error);
        err << "saedindex-cli calibrations: " << Rings::tr("已删除标定“%1”").arg(name) << '\n';
        return 0;
    }
    std::vector<store::SavedCalibration> shown;
    if (action == QStringLiteral("list")) {
        const auto all = store.list(&error);
        if (!all) return fail(err, command, error);
        shown = *all;
    } else {
        const auto one = store.find(name, &error);
        if (!one) return fail(err, command, error);
        shown.push_back(*one);
    }
    if (format == QStringLiteral("json")) {
        QJsonArray list;
        for (const auto& c : shown) list.append(calibrationJson(c));
        if (action == QStringLiteral("show"))
            out << QString::fromUtf8(QJsonDocument(list.first().toObject()).toJson(QJsonDocument::Indented));
        else
            out << QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("calibrations"), list}}).toJson(QJsonDocument::Indented));
        return 0;
    }
    QStringList t;
    if (action == QStringLiteral("list")) {
        if (shown.empty()) t << Rings::tr("没有保存的标定（%1）").arg(QDir::toNativeSeparators(store.path()));
        for (const auto& c : shown)
            t << Rings::tr("%1  每像素 %2 1/nm  轴比 %3  %4")
                     .arg(QString::fromStdString(c.name), text(c.perPixel, 8), fixed(c.distortion.ratio, 4),
                          QString::fromStdString(c.date));
    } else {
        t = calibrationLinesText(shown.front());
    }
    out << t.join(QLatin1Char('\n')) << '\n';
    return 0;
}

}  // namespace saed::cli
