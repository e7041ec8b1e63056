#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/cli/commands.h"
#include "tests/core/imagewriters.h"

namespace {

struct CliRun {
    int status = 0;
    QString out, err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

CliRun image(const QStringList& args) {
    CliRun run;
    QTextStream out(&run.out), err(&run.err);
    run.status = saed::cli::runImageCommand(args, out, err);
    return run;
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
