// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli image: what the program reads in a microscope image file, spot centres, the
// direct-beam centre and the detected spots with their lattice vectors.
#include "app/cli/commands.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <optional>

#include "analysis/netfit.h"
#include "app/cli/imageread.h"
#include "app/cli/options.h"
#include "core/imagedisplay.h"
#include "core/raster.h"
#include "measure/imagefile.h"
#include "measure/spots.h"
#include "store/calibrationstore.h"

namespace saed::cli {

namespace {

struct Image {
    Q_DECLARE_TR_FUNCTIONS(saed::cli::Image)
};

const char kImageUsage[] = QT_TRANSLATE_NOOP("saed::cli::Image",
    "用法：saedindex-cli image info FILE [--format text|json]\n"
    "      saedindex-cli image refine FILE --at X,Y [--radius R] [--format text|json]\n"
    "      saedindex-cli image centre FILE [--calibration NAME] [--format text|json]\n"
    "      saedindex-cli image spots FILE [--min-snr S] [--calibration NAME] [--format text|json]\n"
    "\n"
    "读取 .dm3/.dm4、TIFF 或 MRC 图像（或 PNG、JPEG、BMP）。info：尺寸、像素类型、数值范围和\n"
    "文件所带的标定（倒易空间标尺单位 1/nm，实空间标尺单位 nm）。refine：X,Y 附近斑点的亚像素\n"
    "中心（半径 R 像素，默认 6）。centre：由 Friedel 对的对称性求出的透射斑中心。spots：检出的\n"
    "斑点（高出周围至少 S 倍噪声者，默认 6）、中心，以及点阵矢量 r1、r2 和 r3 = r1 + r2。\n"
    "坐标为图像像素：x 向右，y 向下，(0, 0) 为左上角像素的中心。\n"
    "--calibration NAME：保存的标定（saedindex-cli calibrate --save）；spots 给出去除其椭圆畸变后的\n"
    "r1、r2、r3 及其 |g|（1/nm）；斑点和中心仍为图像上的位置。\n");

QJsonValue pointJson(const core::PixelPoint& p) {
    return QJsonObject{{QStringLiteral("x"), p.x}, {QStringLiteral("y"), p.y}};
}

QJsonValue vectorJson(const core::PixelPoint& v) { return QJsonArray{v.x, v.y}; }

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

QString text(double v) { return QString::number(v, 'g', 10); }

constexpr double kMaxRefineRadiusPx = 64;

}  // namespace

core::ReadResult readAnyImage(const QString& path) {
    measure::LoadedImage loaded = measure::loadImage(path);
    core::ReadResult read;
    read.raster = std::move(loaded.raster);
    if (!read.raster)
        read.error = (loaded.tooLarge && loaded.error.isEmpty() ? QCoreApplication::translate("saed::cli::Image", "%1 太大，内存容纳不下。").arg(path) : loaded.error).toStdString();
    return read;
}

int runImageCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty() || args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h")) {
        out << Image::tr(kImageUsage);
        return args.isEmpty() ? 2 : 0;
    }
    const QString action = args.first();
    const QStringList known{QStringLiteral("info"), QStringLiteral("refine"), QStringLiteral("centre"),
                            QStringLiteral("spots")};
    if (const QString unknown = Options::unknownOption(action, {}, {}); !unknown.isEmpty()) {
        err << "saedindex-cli image: " << unknown << '\n';
        return 2;
    }
    if (!known.contains(action)) {
        err << "saedindex-cli image: " << Image::tr("未知操作“%1”").arg(action) << "\n\n" << Image::tr(kImageUsage);
        return 2;
    }
    const QStringList withValue{QStringLiteral("format"), QStringLiteral("at"), QStringLiteral("radius"),
                                QStringLiteral("min-snr"), QStringLiteral("calibration")};
    if (args.size() >= 2) {
        if (const QString unknown = Options::unknownOption(args[1], withValue, {}); !unknown.isEmpty()) {
            err << "saedindex-cli image " << action << ": " << unknown << '\n';
            return 2;
        }
    }
    if (args.size() < 2 || args[1].startsWith(QStringLiteral("--"))) {
        err << "saedindex-cli image " << action << ": " << Image::tr("缺少图像文件 FILE") << '\n';
        return 2;
    }
    const QString path = args[1];
    Options options;
    if (!options.parse(args.mid(2), withValue, {})) {
        err << "saedindex-cli image " << action << ": " << options.error() << "\n";
        return 2;
    }
    const auto format = parseOutputFormat(options.value(QStringLiteral("format"), QStringLiteral("text")));
    if (!format || *format == OutputFormat::Tsv) {
        err << "saedindex-cli image: " << Image::tr("--format 须为 text 或 json") << '\n';
        return 2;
    }
    const bool json = *format == OutputFormat::Json;
    // A saved calibration: its distortion comes out of the lattice vectors, its camera constant
    // gives their |g|. Only the commands that find the pattern take one.
    std::optional<store::SavedCalibration> saved;
    if (options.has(QStringLiteral("calibration"))) {
        if (action != QStringLiteral("spots") && action != QStringLiteral("centre")) {
            err << "saedindex-cli image " << action << ": " << Image::tr("--calibration 只用于 spots 和 centre") << '\n';
            return 2;
        }
        QString error;
        saved = store::CalibrationStore(store::CalibrationStore::defaultPath())
                    .find(options.value(QStringLiteral("calibration")), &error);
        if (!saved) {
            err << "saedindex-cli image " << action << ": " << error << '\n';
            return 2;
        }
    }

    const measure::LoadedImage read = measure::loadImage(path);
    if (!read.raster) {
        err << "saedindex-cli image: "
            << (read.tooLarge && read.error.isEmpty() ? Image::tr("%1 太大，内存容纳不下。").arg(path) : read.error) << "\n";
        return 2;
    }
    const core::Raster& raster = *read.raster;
    QJsonObject result;
    QStringList lines;

    if (action == QStringLiteral("info")) {
        const core::ValueRange range = core::valueExtremes(raster);
        result[QStringLiteral("width")] = raster.width();
        result[QStringLiteral("height")] = raster.height();
        result[QStringLiteral("pixelType")] = QString::fromLatin1(core::pixelTypeName(raster.pixelType()).data());
        result[QStringLiteral("min")] = range.low;
        result[QStringLiteral("max")] = range.high;
        QJsonValue calibration;   // null
        if (raster.calibration) {
            calibration = QJsonObject{
                {QStringLiteral("perPixel"), raster.calibration->perPixel},
                {QStringLiteral("unit"), QString::fromLatin1(raster.calibration->unit().data())}};
        }
        result[QStringLiteral("calibration")] = calibration;
        lines << Image::tr("尺寸 %1 x %2").arg(raster.width()).arg(raster.height())
              << Image::tr("像素类型 %1").arg(result[QStringLiteral("pixelType")].toString())
              << Image::tr("数值 %1 到 %2").arg(text(range.low), text(range.high));
        if (raster.calibration) {
            QString line = Image::tr("标定：每像素 %1 %2")
                               .arg(text(raster.calibration->perPixel),
                                    QString::fromLatin1(raster.calibration->unit().data()));
            if (!raster.calibration->reciprocal) line += Image::tr("（实空间标尺，不是衍射标定）");
            lines << line;
        } else {
            lines << Image::tr("标定：无");
        }
    } else if (action == QStringLiteral("refine")) {
        const auto at = options.list(QStringLiteral("at"), 2);
        if (!options.has(QStringLiteral("at")) || !at) {
            err << "saedindex-cli image refine: " << Image::tr("须给出 --at X,Y") << '\n';
            return 2;
        }
        const auto x = number((*at)[0]), y = number((*at)[1]);
        const auto radius = number(options.value(QStringLiteral("radius"), QStringLiteral("6")));
        if (!x || !y || !radius) {
            err << "saedindex-cli image refine: " << Image::tr("--at 和 --radius 须为数") << '\n';
            return 2;
        }
        // A spot is a few pixels across: a wider search would take the brightest spot anywhere.
        if (!(*radius > 0 && *radius <= kMaxRefineRadiusPx)) {
            err << "saedindex-cli image refine: "
                << Image::tr("--radius %1：须大于 0 且不超过 %2 像素").arg(text(*radius)).arg(kMaxRefineRadiusPx) << '\n';
            return 2;
        }
        const auto spot = measure::refineSpotCentre(raster, {*x, *y}, *radius);
        if (!spot) {
            err << "saedindex-cli image refine: " << Image::tr("%1,%2 附近没有斑点").arg(text(*x), text(*y)) << '\n';
            return 2;
        }
        result = pointJson({spot->x, spot->y}).toObject();
        lines << Image::tr("斑点中心 %1 %2").arg(text(spot->x), text(spot->y));
    } else {
        measure::SpotDetectionOptions detection;
        if (const auto snr = number(options.value(QStringLiteral("min-snr"), QStringLiteral("6"))); snr && *snr > 0) {
            detection.minSnr = *snr;
        } else {
            err << "saedindex-cli image: " << Image::tr("--min-snr 须为正数") << '\n';
            return 2;
        }
        const auto spots = measure::detectSpots(raster, detection);
        // The lattice point about which the spots of the net fitted to them all pair up best;
        // the Friedel pairs alone where they form no net.
        std::optional<core::PixelPoint> centre = analysis::netCentre(raster, spots);
        if (!centre) centre = measure::friedelCentre(spots);
        if (action == QStringLiteral("centre")) {
            if (!centre) {
                err << "saedindex-cli image centre: " << Image::tr("相对的斑点对太少，找不出中心") << '\n';
                return 2;
            }
            result = pointJson(*centre).toObject();
            lines << Image::tr("中心 %1 %2").arg(text(centre->x), text(centre->y));
            // The distortion is one about the centre: it does not move it.
            if (saved) lines << Image::tr("（椭圆畸变以中心为准，不移动中心）");
        } else {
            QJsonArray list;
            for (const auto& s : spots) {
                list.append(QJsonObject{{QStringLiteral("x"), s.x},
                                        {QStringLiteral("y"), s.y},
                                        {QStringLiteral("intensity"), s.intensity}});
                lines << Image::tr("斑点 %1 %2 %3").arg(text(s.x), text(s.y), text(s.intensity));
            }
            result[QStringLiteral("spots")] = list;
            result[QStringLiteral("centre")] = centre ? pointJson(*centre) : QJsonValue();
            auto vectors = centre ? measure::chooseLatticeVectors(spots, *centre) : std::nullopt;
            // Without the saved distortion: r1 and r2 corrected, r3 their sum, as index --auto has them.
            if (vectors && saved) {
                saved->distortion.correct(vectors->r1.x, vectors->r1.y);
                saved->distortion.correct(vectors->r2.x, vectors->r2.y);
                vectors->r3 = {vectors->r1.x + vectors->r2.x, vectors->r1.y + vectors->r2.y};
            }
            for (const auto& [name, v] : {std::pair{QStringLiteral("r1"), vectors ? vectors->r1 : core::PixelPoint{}},
                                          std::pair{QStringLiteral("r2"), vectors ? vectors->r2 : core::PixelPoint{}},
                                          std::pair{QStringLiteral("r3"), vectors ? vectors->r3 : core::PixelPoint{}}}) {
                result[name] = vectors ? vectorJson(v) : QJsonValue();
                if (vectors && saved) {
                    const double g = saved->perPixel * std::hypot(v.x, v.y);
                    result[name + QStringLiteral("InvNm")] = g;
                    lines << Image::tr("%1 %2 %3（长 %4 px，|g| %5 1/nm）")
                                 .arg(name, text(v.x), text(v.y), text(std::hypot(v.x, v.y)), text(g));
                } else if (vectors) {
                    lines << Image::tr("%1 %2 %3（长 %4 px）")
                                 .arg(name, text(v.x), text(v.y), text(std::hypot(v.x, v.y)));
                }
            }
            if (saved)
                result[QStringLiteral("calibration")] = QJsonObject{
                    {QStringLiteral("name"), QString::fromStdString(saved->name)},
                    {QStringLiteral("perPixel"), saved->perPixel},
                    {QStringLiteral("axisRatio"), saved->distortion.ratio},
                    {QStringLiteral("axisAngleDeg"), saved->distortion.angleDeg}};
            if (centre) lines << Image::tr("中心 %1 %2").arg(text(centre->x), text(centre->y));
            else lines << Image::tr("未找到中心");
            if (!vectors) lines << Image::tr("未找到点阵矢量");
        }
    }

    if (json)
        out << QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented));
    else
        out << lines.join(QLatin1Char('\n')) << "\n";
    return 0;
}

}  // namespace saed::cli
