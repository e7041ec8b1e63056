// saedindex-cli image: what the program reads in a microscope image file, spot centres, the
// direct-beam centre and the detected spots with their lattice vectors.
#include "app/cli/commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <optional>

#include "app/cli/imageread.h"
#include "app/cli/options.h"
#include "core/imagedisplay.h"
#include "core/raster.h"
#include "measure/imagefile.h"
#include "measure/spots.h"

namespace saed::cli {

namespace {

const char kImageUsage[] =
    "usage: saedindex-cli image info FILE [--format text|json]\n"
    "       saedindex-cli image refine FILE --at X,Y [--radius R] [--format text|json]\n"
    "       saedindex-cli image centre FILE [--format text|json]\n"
    "       saedindex-cli image spots FILE [--min-snr S] [--format text|json]\n"
    "\n"
    "Reads a .dm3/.dm4, TIFF or MRC image (or PNG, JPEG, BMP). info: size, pixel type, value range and the\n"
    "calibration the file carries (reciprocal scales in 1/nm, real ones in nm). refine: the\n"
    "sub-pixel centre of the spot near X,Y (radius R pixels, 6 by default). centre: the\n"
    "direct-beam centre from the symmetry of Friedel pairs. spots: the detected spots (those\n"
    "standing at least S times the noise above their surroundings, 6 by default), the centre\n"
    "and the lattice vectors r1, r2 and r3 = r1 + r2.\n"
    "Coordinates are image pixels: x to the right, y down, (0, 0) the centre of the top-left\n"
    "pixel.\n";

QJsonValue pointJson(const measure::ImagePoint& p) {
    return QJsonObject{{QStringLiteral("x"), p.x}, {QStringLiteral("y"), p.y}};
}

QJsonValue vectorJson(const measure::ImagePoint& v) { return QJsonArray{v.x, v.y}; }

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

QString text(double v) { return QString::number(v, 'g', 10); }

}  // namespace

core::ReadResult readAnyImage(const QString& path) {
    measure::LoadedImage loaded = measure::loadImage(path);
    core::ReadResult read;
    read.raster = std::move(loaded.raster);
    if (!read.raster)
        read.error = (loaded.tooLarge ? path + QStringLiteral(" is too large to be held in memory.") : loaded.error).toStdString();
    return read;
}

int runImageCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty() || args.first() == QStringLiteral("--help") || args.first() == QStringLiteral("-h")) {
        out << kImageUsage;
        return args.isEmpty() ? 2 : 0;
    }
    const QString action = args.first();
    const QStringList known{QStringLiteral("info"), QStringLiteral("refine"), QStringLiteral("centre"),
                            QStringLiteral("spots")};
    if (!known.contains(action)) {
        err << "saedindex-cli image: unknown action '" << action << "'\n\n" << kImageUsage;
        return 2;
    }
    if (args.size() < 2 || args[1].startsWith(QStringLiteral("--"))) {
        err << "saedindex-cli image " << action << ": the image FILE is missing\n";
        return 2;
    }
    const QString path = args[1];
    Options options;
    if (!options.parse(args.mid(2),
                       {QStringLiteral("format"), QStringLiteral("at"), QStringLiteral("radius"),
                        QStringLiteral("min-snr")},
                       {})) {
        err << "saedindex-cli image " << action << ": " << options.error() << "\n";
        return 2;
    }
    const auto format = parseOutputFormat(options.value(QStringLiteral("format"), QStringLiteral("text")));
    if (!format || *format == OutputFormat::Tsv) {
        err << "saedindex-cli image: --format is text or json\n";
        return 2;
    }
    const bool json = *format == OutputFormat::Json;

    const measure::LoadedImage read = measure::loadImage(path);
    if (!read.raster) {
        err << "saedindex-cli image: "
            << (read.tooLarge ? path + QStringLiteral(" is too large to be held in memory.") : read.error) << "\n";
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
        lines << QStringLiteral("size %1 x %2").arg(raster.width()).arg(raster.height())
              << QStringLiteral("pixel type %1").arg(result[QStringLiteral("pixelType")].toString())
              << QStringLiteral("values %1 to %2").arg(text(range.low), text(range.high));
        if (raster.calibration) {
            QString line = QStringLiteral("calibration %1 %2 per pixel")
                               .arg(text(raster.calibration->perPixel),
                                    QString::fromLatin1(raster.calibration->unit().data()));
            if (!raster.calibration->reciprocal) line += QStringLiteral(" (real space, not a diffraction calibration)");
            lines << line;
        } else {
            lines << QStringLiteral("calibration none");
        }
    } else if (action == QStringLiteral("refine")) {
        const auto at = options.list(QStringLiteral("at"), 2);
        if (!options.has(QStringLiteral("at")) || !at) {
            err << "saedindex-cli image refine: --at X,Y is needed\n";
            return 2;
        }
        const auto x = number((*at)[0]), y = number((*at)[1]);
        const auto radius = number(options.value(QStringLiteral("radius"), QStringLiteral("6")));
        if (!x || !y || !radius || *radius <= 0) {
            err << "saedindex-cli image refine: --at and --radius take numbers\n";
            return 2;
        }
        const auto spot = measure::refineSpotCentre(raster, {*x, *y}, *radius);
        if (!spot) {
            err << "saedindex-cli image refine: no spot near " << text(*x) << "," << text(*y) << "\n";
            return 2;
        }
        result = pointJson({spot->x, spot->y}).toObject();
        lines << QStringLiteral("spot centre %1 %2").arg(text(spot->x), text(spot->y));
    } else {
        measure::SpotDetectionOptions detection;
        if (const auto snr = number(options.value(QStringLiteral("min-snr"), QStringLiteral("6"))); snr && *snr > 0) {
            detection.minSnr = *snr;
        } else {
            err << "saedindex-cli image: --min-snr takes a positive number\n";
            return 2;
        }
        const auto spots = measure::detectSpots(raster, detection);
        const auto centre = measure::friedelCentre(spots);
        if (action == QStringLiteral("centre")) {
            if (!centre) {
                err << "saedindex-cli image centre: too few opposite spot pairs to find the centre\n";
                return 2;
            }
            result = pointJson(*centre).toObject();
            lines << QStringLiteral("centre %1 %2").arg(text(centre->x), text(centre->y));
        } else {
            QJsonArray list;
            for (const auto& s : spots) {
                list.append(QJsonObject{{QStringLiteral("x"), s.x},
                                        {QStringLiteral("y"), s.y},
                                        {QStringLiteral("intensity"), s.intensity}});
                lines << QStringLiteral("spot %1 %2 %3").arg(text(s.x), text(s.y), text(s.intensity));
            }
            result[QStringLiteral("spots")] = list;
            result[QStringLiteral("centre")] = centre ? pointJson(*centre) : QJsonValue();
            const auto vectors = centre ? measure::chooseLatticeVectors(spots, *centre) : std::nullopt;
            for (const auto& [name, v] : {std::pair{QStringLiteral("r1"), vectors ? vectors->r1 : measure::ImagePoint{}},
                                          std::pair{QStringLiteral("r2"), vectors ? vectors->r2 : measure::ImagePoint{}},
                                          std::pair{QStringLiteral("r3"), vectors ? vectors->r3 : measure::ImagePoint{}}}) {
                result[name] = vectors ? vectorJson(v) : QJsonValue();
                if (vectors)
                    lines << QStringLiteral("%1 %2 %3 (length %4 px)")
                                 .arg(name, text(v.x), text(v.y), text(std::hypot(v.x, v.y)));
            }
            if (centre) lines << QStringLiteral("centre %1 %2").arg(text(centre->x), text(centre->y));
            else lines << QStringLiteral("centre not found");
            if (!vectors) lines << QStringLiteral("lattice vectors not found");
        }
    }

    if (json)
        out << QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented));
    else
        out << lines.join(QLatin1Char('\n')) << "\n";
    return 0;
}

}  // namespace saed::cli
