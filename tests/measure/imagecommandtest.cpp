// SPDX-License-Identifier: BSD-3-Clause
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

#include "tests/clirun.h"
#include "tests/files.h"
#include "tools/imagewriters.h"

namespace {

using saed::testdata::CliRun;
using saed::testdata::cliArgs;
using saed::testdata::runCli;

// Runs `image <verb> <file> <options>`.
CliRun image(const char* verb, const QString& file, const char* options = "") {
    return runCli((cliArgs("image") << QString::fromLatin1(verb) << file) + cliArgs(options));
}

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
    QTemporaryDir dir;
    const QString path = saed::testdata::writeFileBytes(
        dir.filePath(QStringLiteral("a.dm3")), QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    const CliRun run = image("info", path, "--format json");
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject j = run.json();
    EXPECT_EQ(j[u"width"].toInt(), 3);
    EXPECT_EQ(j[u"height"].toInt(), 2);
    EXPECT_EQ(j[u"pixelType"].toString(), QStringLiteral("int16"));
    EXPECT_EQ(j[u"min"].toDouble(), -7);
    EXPECT_EQ(j[u"max"].toDouble(), 1234);
    EXPECT_NEAR(j[u"calibration"][u"perPixel"].toDouble(), 0.125, 1e-7);
    EXPECT_EQ(j[u"calibration"][u"unit"].toString(), QStringLiteral("1/nm"));

    // Pictures Qt reads open as before, without a calibration.
    const QJsonObject png = image("info", QStringLiteral(SAED_SOURCE_DIR "/samples/al-011.png"), "--format json").json();
    EXPECT_EQ(png[u"width"].toInt(), 800);
    EXPECT_EQ(png[u"height"].toInt(), 640);
    EXPECT_TRUE(png[u"calibration"].isNull());
}

TEST(ImageCommandTest, spotsRefineAndCentreOnTheSamplePattern) {
    // The sample's truth (samples/al-011-pattern.txt): centre (255.37, 251.81), a spot at
    // (305.6105, 270.0961), g_a and g_b 53.46 px long and 109.47 degrees apart.
    const CliRun run = image("spots", kSample, "--format=json");
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QJsonObject j = run.json();
    EXPECT_GE(j[u"spots"].toArray().size(), 40);
    const auto length = [&](const char* name) {
        const QJsonArray v = j[QString::fromLatin1(name)].toArray();
        return std::hypot(v[0].toDouble(), v[1].toDouble());
    };
    EXPECT_NEAR(length("r1"), 53.46, 0.1);
    EXPECT_NEAR(length("r2"), 53.46, 0.1);
    EXPECT_NEAR(length("r3"), 61.73, 0.1);

    j = image("refine", kSample, "--at 304,271 --format json").json();
    EXPECT_NEAR(j[u"x"].toDouble(), 305.6105, 0.1);
    EXPECT_NEAR(j[u"y"].toDouble(), 270.0961, 0.1);

    j = image("centre", kSample, "--format json").json();
    EXPECT_NEAR(j[u"x"].toDouble(), 255.37, 0.1);
    EXPECT_NEAR(j[u"y"].toDouble(), 251.81, 0.1);
}

TEST(ImageCommandTest, indexAutoOnTheSampleGivesTheZoneItWasDrawnAlong) {
    const QStringList al = cliArgs("index --cell 0.40495,0.40495,0.40495,90,90,90 --type face --range 3 --image")
                           << kSample;
    const CliRun run = runCli(al + cliArgs("--auto --format json"));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray rows = run.json()[u"rows"].toArray();
    ASSERT_FALSE(rows.isEmpty());
    for (const auto& value : rows) {
        // The zone g1 x g2 of every row is an axis of the <0 1 1> family.
        const QJsonObject row = value.toObject();
        int g[2][3];
        for (int i = 0; i < 3; ++i) {
            g[0][i] = row[u"g1"].toArray()[i].toInt();
            g[1][i] = row[u"g2"].toArray()[i].toInt();
        }
        int z[3] = {g[0][1] * g[1][2] - g[0][2] * g[1][1], g[0][2] * g[1][0] - g[0][0] * g[1][2],
                    g[0][0] * g[1][1] - g[0][1] * g[1][0]};
        int a[3] = {std::abs(z[0]), std::abs(z[1]), std::abs(z[2])};
        std::sort(a, a + 3);
        ASSERT_GT(a[2], 0);
        EXPECT_TRUE(a[0] == 0 && a[1] == a[2]) << QJsonDocument(row).toJson().toStdString();
    }

    // Without a calibration in the file, --scale is asked for.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("uncalibrated.tif"));
    std::string error;
    ASSERT_TRUE(saed::core::writeTiff(path.toStdString(), saed::core::Raster(16, 16, saed::core::PixelType::UInt16), error)) << error;
    QStringList bareArgs = al;
    bareArgs.last() = path;
    const CliRun bare = runCli(bareArgs << QStringLiteral("--auto"));
    EXPECT_EQ(bare.status, 2);
    EXPECT_TRUE(bare.err.contains(QStringLiteral("give --scale"))) << bare.err.toStdString();
}
