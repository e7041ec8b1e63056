#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/clirun.h"
#include "tests/core/imagewriters.h"

namespace {

using saed::testdata::CliRun;

CliRun image(const QStringList& args) { return saed::testdata::runCli(QStringList{QStringLiteral("image")} + args); }

const QString kSample = QStringLiteral(SAED_SOURCE_DIR "/samples/al-011-pattern.tif");

}  // namespace

TEST(ImageCommandTest, infoOfADmFileWithAnAngstromCalibration) {
    saed::core::Raster r(3, 2, saed::core::PixelType::Int16);
    r.setValue(0, 0, -7);
    r.setValue(2, 1, 1234);
    saed::testing::DmOptions o;
    o.little = false;
    o.calibration = saed::testing::DmCalibration{0.0125f, u"1/\u00c5", 0, 0};
    const auto bytes = saed::testing::DmWriter(o).write(r);
    const std::string path = (std::filesystem::temp_directory_path() / "saed_imagecommand.dm3").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    const CliRun run = image({QStringLiteral("info"), QString::fromStdString(path), QStringLiteral("--format"),
                           QStringLiteral("json")});
    std::remove(path.c_str());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject j = run.json();
    EXPECT_EQ(j[QStringLiteral("width")].toInt(), 3);
    EXPECT_EQ(j[QStringLiteral("height")].toInt(), 2);
    EXPECT_EQ(j[QStringLiteral("pixelType")].toString(), QStringLiteral("int16"));
    EXPECT_EQ(j[QStringLiteral("min")].toDouble(), -7);
    EXPECT_EQ(j[QStringLiteral("max")].toDouble(), 1234);
    const QJsonObject cal = j[QStringLiteral("calibration")].toObject();
    EXPECT_NEAR(cal[QStringLiteral("perPixel")].toDouble(), 0.125, 1e-7);
    EXPECT_EQ(cal[QStringLiteral("unit")].toString(), QStringLiteral("1/nm"));
}

TEST(ImageCommandTest, spotsRefineAndCentreOnTheSamplePattern) {
    // The sample's truth (samples/al-011-pattern.txt): centre (255.37, 251.81), a spot at
    // (305.6105, 270.0961), g_a and g_b 53.46 px long and 109.47 degrees apart.
    CliRun run = image({QStringLiteral("spots"), kSample, QStringLiteral("--format=json")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QJsonObject j = run.json();
    EXPECT_GE(j[QStringLiteral("spots")].toArray().size(), 40);
    const auto length = [&](const char* name) {
        const QJsonArray v = j[QString::fromLatin1(name)].toArray();
        return std::hypot(v[0].toDouble(), v[1].toDouble());
    };
    EXPECT_NEAR(length("r1"), 53.46, 0.1);
    EXPECT_NEAR(length("r2"), 53.46, 0.1);
    EXPECT_NEAR(length("r3"), 61.73, 0.1);

    run = image({QStringLiteral("refine"), kSample, QStringLiteral("--at"), QStringLiteral("304,271"),
                 QStringLiteral("--format"), QStringLiteral("json")});
    j = run.json();
    EXPECT_NEAR(j[QStringLiteral("x")].toDouble(), 305.6105, 0.1);
    EXPECT_NEAR(j[QStringLiteral("y")].toDouble(), 270.0961, 0.1);

    run = image({QStringLiteral("centre"), kSample, QStringLiteral("--format"), QStringLiteral("json")});
    j = run.json();
    EXPECT_NEAR(j[QStringLiteral("x")].toDouble(), 255.37, 0.1);
    EXPECT_NEAR(j[QStringLiteral("y")].toDouble(), 251.81, 0.1);
}

TEST(ImageCommandTest, picturesQtReadsOpenAsBefore) {
    const CliRun run = image({QStringLiteral("info"), QStringLiteral(SAED_SOURCE_DIR "/samples/al-011.png"),
                              QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject j = run.json();
    EXPECT_EQ(j[QStringLiteral("width")].toInt(), 800);
    EXPECT_EQ(j[QStringLiteral("height")].toInt(), 640);
    EXPECT_TRUE(j[QStringLiteral("calibration")].isNull());
}

TEST(ImageCommandTest, badInputIsStatusTwoWithAMessage) {
    for (const QStringList& args : {QStringList{QStringLiteral("info"), QStringLiteral("/nonexistent/x.dm3")},
                                    QStringList{QStringLiteral("info"), QStringLiteral(SAED_SOURCE_DIR)},
                                    QStringList{QStringLiteral("refine"), kSample},
                                    QStringList{QStringLiteral("refine"), kSample, QStringLiteral("--at"), QStringLiteral("a,b")},
                                    QStringList{QStringLiteral("blur"), kSample}}) {
        const CliRun run = image(args);
        EXPECT_EQ(run.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
}

namespace {

CliRun index(const QStringList& args) { return saed::testdata::runCli(QStringList{QStringLiteral("index")} + args); }

}  // namespace

TEST(ImageCommandTest, indexAutoOnTheSampleGivesTheZoneItWasDrawnAlong) {
    const QStringList al = {QStringLiteral("--cell"), QStringLiteral("0.40495,0.40495,0.40495,90,90,90"),
                            QStringLiteral("--type"), QStringLiteral("face"), QStringLiteral("--range"),
                            QStringLiteral("3")};
    const CliRun run = index(al + QStringList{QStringLiteral("--image"), kSample, QStringLiteral("--auto"),
                                              QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray rows = run.json()[QStringLiteral("rows")].toArray();
    ASSERT_FALSE(rows.isEmpty());
    for (const auto& value : rows) {
        // The zone g1 x g2 of every row is an axis of the <0 1 1> family.
        const QJsonObject row = value.toObject();
        int g[2][3];
        for (int i = 0; i < 3; ++i) {
            g[0][i] = row[QStringLiteral("g1")].toArray()[i].toInt();
            g[1][i] = row[QStringLiteral("g2")].toArray()[i].toInt();
        }
        int z[3] = {g[0][1] * g[1][2] - g[0][2] * g[1][1], g[0][2] * g[1][0] - g[0][0] * g[1][2],
                    g[0][0] * g[1][1] - g[0][1] * g[1][0]};
        int a[3] = {std::abs(z[0]), std::abs(z[1]), std::abs(z[2])};
        std::sort(a, a + 3);
        ASSERT_GT(a[2], 0);
        EXPECT_TRUE(a[0] == 0 && a[1] == a[2]) << QJsonDocument(row).toJson().toStdString();
    }

    // The measured pattern is the image's own: no --angles or --d with it, and --image needs --auto.
    const CliRun doubled = index(al + QStringList{QStringLiteral("--image"), kSample, QStringLiteral("--auto"),
                                                  QStringLiteral("--angles"), QStringLiteral("90,45,45")});
    EXPECT_EQ(doubled.status, 2);
    EXPECT_TRUE(doubled.err.contains(QStringLiteral("--angles"))) << doubled.err.toStdString();
    EXPECT_EQ(index(al + QStringList{QStringLiteral("--image"), kSample}).status, 2);

    // Without a calibration in the file, --scale is asked for.
    saed::core::Raster flat(16, 16, saed::core::PixelType::UInt16);
    const std::string path = (std::filesystem::temp_directory_path() / "saed_uncalibrated.tif").string();
    std::string error;
    ASSERT_TRUE(saed::core::writeTiff(path, flat, error)) << error;
    const CliRun bare = index(al + QStringList{QStringLiteral("--image"), QString::fromStdString(path),
                                               QStringLiteral("--auto")});
    std::remove(path.c_str());
    EXPECT_EQ(bare.status, 2);
    EXPECT_TRUE(bare.err.contains(QStringLiteral("give --scale"))) << bare.err.toStdString();
}
