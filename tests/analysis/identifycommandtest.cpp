// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "analysis/identify.h"
#include "library/builtinphases.h"
#include "store/calibrationstore.h"
#include "tools/cameraimage.h"
#include "tests/programrun.h"

namespace {

using saed::testdata::ProgramRun;

// The configuration folder the command runs with.
QString configPath() {
    static QTemporaryDir config;
    return config.path();
}

// Runs the real saedindex-cli identify as a user does, in English, with its own configuration folder.
ProgramRun runIdentify(const QStringList& args) {
    return saed::testdata::runCliProgram(QStringList{QStringLiteral("identify")} + args,
                                         saed::testdata::ProgramOptions().configIn(configPath()));
}

QString writeImage(const QTemporaryDir& dir, const char* name, const saed::core::Raster& raster) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    std::string error;
    EXPECT_TRUE(saed::core::writeTiff(path.toStdString(), raster, error)) << error;
    return path;
}

}  // namespace

TEST(IdentifyCommandTest, rankingEqualsTheEngineAndBadImagesAreRefused) {
    QTemporaryDir dir;
    const auto& phases = saed::library::builtInPhases();
    std::size_t al = 0;
    while (phases[al].name != "Al") ++al;
    saed::tools::CameraSpec spec = saed::tools::randomCameraSpec({0, 1, 1}, 21);
    spec.calibrationError = 0.01;
    const auto made = saed::tools::makeCameraImage(phases[al], spec);
    ASSERT_TRUE(made);
    const QString path = writeImage(dir, "al.tif", made->raster);

    const ProgramRun run = runIdentify({path, QStringLiteral("--phases"), QStringLiteral("builtin"),
                                        QStringLiteral("--top"), QStringLiteral("5"), QStringLiteral("--format"),
                                        QStringLiteral("json")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject j = run.json();
    const QJsonObject net = j[u"net"].toObject();
    EXPECT_NEAR(net[u"centre"][u"x"].toDouble(), made->centreX, 0.5);
    EXPECT_NEAR(net[u"centre"][u"y"].toDouble(), made->centreY, 0.5);
    EXPECT_EQ(net[u"basis"].toArray().size(), 2);
    EXPECT_NEAR(net[u"basis"][0][u"d"].toDouble(), 0.2338 * (1 - 0.01), 0.006);  // (1 1 1) of Al, read at the file's scale
    EXPECT_GT(net[u"spotsExplained"].toInt(), 20);
    EXPECT_EQ(j[u"calibration"][u"source"].toString(), QStringLiteral("file"));

    // The command ranks as the engine does on the same file and settings.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const saed::core::ReadResult back =
        saed::core::readTiff(reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
    ASSERT_TRUE(back.raster && back.raster->calibration);
    saed::analysis::PhaseSearch search(phases);
    saed::analysis::IdentifySettings settings;
    settings.calibration = back.raster->calibration->perPixel;
    const auto engine = saed::analysis::identifyImage(*back.raster, search, settings);
    const QJsonArray candidates = j[u"candidates"].toArray();
    ASSERT_EQ(candidates.size(), 5);
    for (int k = 0; k < 5; ++k) {
        const QJsonObject c = candidates[k].toObject();
        const auto& e = engine.candidates[static_cast<std::size_t>(k)];
        EXPECT_EQ(c[u"rank"].toInt(), k + 1);
        EXPECT_EQ(c[u"phase"].toString().toStdString(), phases[e.phase].name);
        EXPECT_EQ(c[u"source"].toString(), QStringLiteral("builtin"));
        EXPECT_EQ(c[u"family"].toArray(), (QJsonArray{static_cast<double>(e.family[0]), static_cast<double>(e.family[1]),
                                                      static_cast<double>(e.family[2])}));
        EXPECT_DOUBLE_EQ(c[u"score"].toDouble(), e.score);
        EXPECT_DOUBLE_EQ(c[u"parts"][u"geometry"].toDouble(), e.parts.geometry);
        EXPECT_EQ(c[u"spots"].toArray().size(), static_cast<int>(e.spots.size()));
    }
    const QJsonObject spot = candidates[0][u"spots"][0].toObject();
    EXPECT_EQ(spot[u"hkl"].toArray().size(), 3);
    EXPECT_TRUE(spot[u"predicted"].isObject());

    // A centre set by hand is kept; the scale given overrides the file's.
    const ProgramRun locked = runIdentify({path, QStringLiteral("--phases"), QStringLiteral("builtin"),
                                           QStringLiteral("--centre"), QString::number(made->centreX + 0.6, 'g', 17) + QLatin1Char(',') + QString::number(made->centreY, 'g', 17),
                                           QStringLiteral("--scale"), QStringLiteral("10,80"), QStringLiteral("--format"),
                                           QStringLiteral("json")});
    ASSERT_EQ(locked.status, 0) << locked.err.toStdString();
    EXPECT_NEAR(locked.json()[u"net"][u"centre"][u"x"].toDouble(), made->centreX + 0.6, 1e-9);
    EXPECT_TRUE(locked.json()[u"net"][u"centre"][u"locked"].toBool());
    EXPECT_DOUBLE_EQ(locked.json()[u"calibration"][u"value"].toDouble(), 0.125);

    // The same direct beam for `image centre`, and a centre given by hand for `index --auto`.
    const ProgramRun image = saed::testdata::runCliProgram(
        {QStringLiteral("image"), QStringLiteral("centre"), path, QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(image.status, 0) << image.err.toStdString();
    const QJsonObject found = image.json();
    EXPECT_NEAR(found[u"x"].toDouble(), made->centreX, 0.5);
    EXPECT_NEAR(found[u"y"].toDouble(), made->centreY, 0.5);
    const QString given = QString::number(made->centreX + 0.4, 'f', 3) + QLatin1Char(',') + QString::number(made->centreY, 'f', 3);
    const ProgramRun index = saed::testdata::runCliProgram(
        {QStringLiteral("index"), QStringLiteral("--cell"), QStringLiteral("0.40495,0.40495,0.40495,90,90,90"),
         QStringLiteral("--type"), QStringLiteral("face"), QStringLiteral("--image"), path, QStringLiteral("--auto"),
         QStringLiteral("--centre"), given, QStringLiteral("--format"), QStringLiteral("tsv")},
        saed::testdata::ProgramOptions().systemLanguage());
    EXPECT_EQ(index.status, 0) << index.err.toStdString();
    EXPECT_TRUE(index.out.startsWith(QStringLiteral("第001组"))) << index.out.toStdString();

    // CSV: one header and one line per candidate.
    const ProgramRun csv = runIdentify({path, QStringLiteral("--phases"), QStringLiteral("builtin"),
                                        QStringLiteral("--top"), QStringLiteral("3"), QStringLiteral("--format"),
                                        QStringLiteral("csv")});
    ASSERT_EQ(csv.status, 0);
    const QStringList lines = csv.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("rank,phase,source,spaceGroup,zone,family,score")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1,\"%1\",builtin,").arg(QString::fromStdString(phases[engine.candidates[0].phase].name))));

    // Images without a net, and bad options: a message on stderr and status 2.
    saed::core::Raster blank(256, 256, saed::core::PixelType::UInt16);
    saed::core::Raster saturated(256, 256, saed::core::PixelType::UInt16);
    saed::core::Raster row(256, 256, saed::core::PixelType::UInt16);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            saturated.setValue(x, y, 65535);
            double v = 100;
            for (int m = -5; m <= 5; ++m)
                v += 5000 * std::exp(-(std::pow(x - 128.3 - 19.0 * m, 2) + std::pow(y - 120.6 - 7.0 * m, 2)) / 5.0);
            row.setValue(x, y, v);
        }
    const QString emptyFolder = dir.filePath(QStringLiteral("none"));
    QDir().mkpath(emptyFolder);
    struct Bad {
        QStringList args;
        const char* says;
    };
    for (const Bad& bad : {Bad{{writeImage(dir, "blank.tif", blank)}, "no spots"},
                           Bad{{writeImage(dir, "saturated.tif", saturated)}, "no spots"},
                           Bad{{writeImage(dir, "row.tif", row)}, "one row"},
                           Bad{{path, QStringLiteral("--cif"), emptyFolder}, "no CIF"},
                           Bad{{path, QStringLiteral("--phases"), QStringLiteral("imported")}, "no phase"},
                           Bad{{path, QStringLiteral("--centre"), QStringLiteral("-5,10")}, "--centre"},
                           Bad{{path, QStringLiteral("--top"), QStringLiteral("0")}, "--top"},
                           Bad{{path, QStringLiteral("--scale"), QStringLiteral("1,1"), QStringLiteral("--uncalibrated")}, "--scale"},
                           Bad{{dir.filePath(QStringLiteral("missing.tif"))}, "identify:"}}) {
        const ProgramRun r = runIdentify(bad.args);
        EXPECT_EQ(r.status, 2) << bad.says;
        EXPECT_TRUE(r.out.isEmpty()) << bad.says;
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(bad.says), Qt::CaseInsensitive)) << r.err.toStdString();
    }
}

TEST(IdentifyCommandTest, aSavedCalibrationGivesTheScaleAndItsDistortionIsTakenOffTheSpots) {
    QTemporaryDir dir;
    const auto& phases = saed::library::builtInPhases();
    std::size_t al = 0;
    while (phases[al].name != "Al") ++al;
    // [0 0 1] of Al: a square net of (2 0 0), drawn 4 % longer along 30 degrees, and a file
    // calibration 3 % off.
    saed::tools::CameraSpec spec = saed::tools::randomCameraSpec({0, 0, 1}, 5);
    spec.ellipticity = 0.04;
    spec.ellipseAxisDeg = 30;
    spec.calibrationError = 0.03;
    spec.rotationDeg = 0;  // (2 0 0) along x: the two basis vectors stretched 2 % apart
    const auto made = saed::tools::makeCameraImage(phases[al], spec);
    ASSERT_TRUE(made);
    const QString path = writeImage(dir, "al001.tif", made->raster);

    // The calibration a ring standard under the same lenses gives: per corrected pixel (the
    // correction keeps areas), with the distortion.
    saed::store::SavedCalibration saved;
    saved.name = "tem-100cm";
    saved.perPixel = made->trueCalibration * (1 + spec.ellipticity / 2) / std::sqrt(1 + spec.ellipticity);
    saved.perPixelSigma = 0.002 * saved.perPixel;
    saved.distortion = {1 + spec.ellipticity, spec.ellipseAxisDeg};
    QString error;
    ASSERT_TRUE(saed::store::CalibrationStore(configPath() + QStringLiteral("/saedindex/saedindex/Calibrations.ini"))
                    .save(saved, true, &error))
        << error.toStdString();

    const double d200 = 0.40495 / 2;
    const auto spacings = [](const QJsonObject& j) {
        const QJsonArray basis = j[u"net"][u"basis"].toArray();
        return std::pair{basis[0][u"d"].toDouble(), basis[1][u"d"].toDouble()};
    };
    const ProgramRun run = runIdentify({path, QStringLiteral("--phases"), QStringLiteral("builtin"),
                                        QStringLiteral("--calibration"), QStringLiteral("tem-100cm"),
                                        QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject j = run.json();
    EXPECT_EQ(j[u"calibration"][u"source"].toString(), QStringLiteral("saved"));
    EXPECT_EQ(j[u"calibration"][u"name"].toString(), QStringLiteral("tem-100cm"));
    EXPECT_DOUBLE_EQ(j[u"calibration"][u"value"].toDouble(), saved.perPixel);
    EXPECT_DOUBLE_EQ(j[u"calibration"][u"distortionRemoved"][u"ratio"].toDouble(), 1.04);
    EXPECT_TRUE(run.err.contains(QStringLiteral("tem-100cm")) && run.err.contains(QStringLiteral("2.98")))
        << run.err.toStdString();  // the file's own calibration told beside the saved one
    const auto [d1, d2] = spacings(j);
    // Within what 1 px of noise on each spot leaves of a net on some sixty spots.
    EXPECT_NEAR(d1, d200, 0.01 * d200);
    EXPECT_NEAR(d2, d200, 0.01 * d200);
    EXPECT_LT(std::abs(d1 / d2 - 1), 0.01);
    EXPECT_NEAR(j[u"net"][u"angle"].toDouble(), 90, 0.5);
    // The saturated beam still counts with the spots once the distortion is off: its uncertainty
    // stays that of the two together.
    const QJsonObject centre = j[u"net"][u"centre"].toObject();
    EXPECT_LT(std::hypot(centre[u"x"].toDouble() - made->centreX, centre[u"y"].toDouble() - made->centreY),
              3 * std::sqrt(2.0) * centre[u"sigma"].toDouble());
    EXPECT_LT(centre[u"sigma"].toDouble(), 0.1);  // the spots alone leave about 0.13
    // The candidates' spots lie on the image as it is: the detected ones where the spots were found.
    const QJsonArray spots = j[u"candidates"][0][u"spots"].toArray();
    ASSERT_FALSE(spots.isEmpty());
    for (const QJsonValue s : spots) {
        if (s[u"detected"].isNull()) continue;
        EXPECT_NEAR(s[u"predicted"][u"x"].toDouble(), s[u"detected"][u"x"].toDouble(), 2.5);
        EXPECT_NEAR(s[u"predicted"][u"y"].toDouble(), s[u"detected"][u"y"].toDouble(), 2.5);
    }

    // Without it the same spots give a net out of square: (2 0 0) and (0 2 0) 2 % apart in length
    // and some 2 degrees off a right angle.
    const ProgramRun raw = runIdentify({path, QStringLiteral("--phases"), QStringLiteral("builtin"),
                                        QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(raw.status, 0);
    const auto [r1, r2] = spacings(raw.json());
    EXPECT_GT(std::abs(r1 / r2 - 1), 0.02);
    EXPECT_GT(std::abs(raw.json()[u"net"][u"angle"].toDouble() - 90), 1.2);

    for (const QStringList& bad : {QStringList{path, QStringLiteral("--calibration"), QStringLiteral("none-such")},
                                   QStringList{path, QStringLiteral("--calibration"), QStringLiteral("tem-100cm"),
                                               QStringLiteral("--scale"), QStringLiteral("10,80")}}) {
        const ProgramRun r = runIdentify(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("none-such")) || r.err.contains(QStringLiteral("--scale"))) << r.err.toStdString();
    }
}

TEST(IdentifyCommandTest, screenRanksTheLibraryAndTheBuiltInPhasesByTheIdentificationScore) {
    QTemporaryDir dir;
    const auto& phases = saed::library::builtInPhases();
    std::size_t al = 0;
    while (phases[al].name != "Al") ++al;
    const auto made = saed::tools::makeCameraImage(phases[al], saed::tools::randomCameraSpec({1, 1, 2}, 9));
    ASSERT_TRUE(made);
    const QString path = writeImage(dir, "al112.tif", made->raster);
    const auto runScreen = [](const QStringList& args) {
        return saed::testdata::runCliProgram(QStringList{QStringLiteral("screen")} + args);
    };

    const ProgramRun screened = runScreen({QStringLiteral("--pattern"), path, QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(screened.status, 0) << screened.err.toStdString();
    const QJsonArray ranked = screened.json()[u"phases"].toArray();
    // The two records of the library, then every built-in crystal phase, each once.
    ASSERT_EQ(ranked.size(), 2 + static_cast<qsizetype>(phases.size()));
    const ProgramRun identified = runIdentify({path, QStringLiteral("--phases"), QStringLiteral("builtin"),
                                               QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(identified.status, 0);
    const QJsonObject first = identified.json()[u"candidates"][0].toObject();
    EXPECT_TRUE(ranked[0][u"description"].toString().startsWith(first[u"phase"].toString()));
    EXPECT_NEAR(ranked[0][u"best"][u"score"].toDouble(), first[u"score"].toDouble(), 1e-9);
    EXPECT_EQ(ranked[0][u"best"][u"zone"].toArray(), first[u"zone"].toArray());
    for (qsizetype i = 1; i < ranked.size(); ++i) {
        const double before = ranked[i - 1][u"best"].isNull() ? -1 : ranked[i - 1][u"best"][u"score"].toDouble();
        const double here = ranked[i][u"best"].isNull() ? -1 : ranked[i][u"best"][u"score"].toDouble();
        EXPECT_GE(before, here) << i;
    }

    // Text: rank, description, score, zone; --phases numbers the built-in phases after the library's.
    const ProgramRun text = runScreen({QStringLiteral("--pattern"), path, QStringLiteral("--phases"),
                                       QStringLiteral("1,%1").arg(3 + al)});
    ASSERT_EQ(text.status, 0) << text.err.toStdString();
    const QStringList lines = text.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("1\tAl"))) << lines[0].toStdString();
    EXPECT_EQ(lines[0].split(u'\t').size(), 4);

    saed::core::Raster blank(256, 256, saed::core::PixelType::UInt16);
    const QString blankPath = writeImage(dir, "blank.tif", blank);
    for (const QStringList& bad : {QStringList{QStringLiteral("--pattern"), blankPath},
                                   QStringList{QStringLiteral("--pattern"), path, QStringLiteral("--d"), QStringLiteral("0.2,0.2,0.1")},
                                   QStringList{QStringLiteral("--pattern"), dir.filePath(QStringLiteral("none.tif"))}}) {
        const ProgramRun r = runScreen(bad);
        EXPECT_EQ(r.status, 2) << bad.join(u' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
}
