// SPDX-License-Identifier: BSD-3-Clause
// The rings, calibrate and calibrations commands as a user runs them: the real saedindex-cli on
// synthetic images, with a configuration folder of the test's own.
#include <gtest/gtest.h>

#include <QDir>

#include <cmath>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "analysis/ringindexing.h"
#include "library/builtinphases.h"
#include "tests/clirun.h"
#include "tests/programrun.h"
#include "tools/patterngenerator.h"
#include "tools/ringgenerator.h"

namespace {

using namespace saed;

using CliOut = testdata::ProgramRun;

class RingsCommandTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // saedindex-cli on a system that names no language, with the test's configuration folder.
    CliOut run(const QStringList& args) {
        return testdata::runCliProgram(
            args, testdata::ProgramOptions().systemLanguage().configIn(m_dir.filePath(QStringLiteral("config"))));
    }

    // A ring image of built-in phases written as a TIFF with the camera constant in it.
    QString ringImage(const QString& name, const std::vector<std::string>& phases, tools::RingSpec spec = {},
                      std::size_t lineCount = 0) {
        std::vector<std::vector<analysis::PowderLine>> lines;
        std::vector<double> weights;
        for (const auto& p : library::builtInPhases())
            for (const auto& n : phases)
                if (p.name == n) {
                    lines.push_back(analysis::powderLines(p, spec.perPixel * spec.width));
                    if (lineCount) lines.back().resize(lineCount);
                    weights.push_back(1.0);
                }
        const QString path = m_dir.filePath(name);
        std::string error;
        EXPECT_TRUE(core::writeTiff(path.toStdString(), tools::makeRings(spec, lines, weights).raster, error)) << error;
        return path;
    }

    QString storePath() const { return m_dir.filePath(QStringLiteral("config/saedindex/saedindex/Calibrations.ini")); }
    QByteArray storeBytes() const {
        QFile f(storePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("absent");
    }

    QTemporaryDir m_dir;
};

// Gold at 3.5 % distortion: calibrated, saved, listed, used by rings, removed.
TEST_F(RingsCommandTest, calibrateSaveAndUse) {
    tools::RingSpec spec;
    spec.distortion = {1.035, 70.0};
    const QString gold = ringImage(QStringLiteral("au.tif"), {"Au"}, spec);

    CliOut r = run({QStringLiteral("calibrate"), gold, QStringLiteral("--standard"), QStringLiteral("au"),
                 QStringLiteral("--save"), QStringLiteral("200kV 250mm"), QStringLiteral("--voltage"), QStringLiteral("200"),
                 QStringLiteral("--camera-length"), QStringLiteral("250"), QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QJsonObject o = r.json();
    EXPECT_NEAR(o[QStringLiteral("perPixel")].toDouble() / spec.perPixel, 1.0, 0.002);
    EXPECT_NEAR(o[QStringLiteral("distortion")].toObject()[QStringLiteral("axisRatio")].toDouble(), 1.035, 0.002);
    EXPECT_EQ(o[QStringLiteral("rings")].toArray()[0].toObject()[QStringLiteral("hkl")].toString(), QStringLiteral("(1 1 1)"));
    EXPECT_EQ(o[QStringLiteral("saved")].toObject()[QStringLiteral("cameraLengthMm")].toDouble(), 250.0);
    EXPECT_TRUE(storeBytes().startsWith("[200kV 250mm]\r\n"));

    r = run({QStringLiteral("calibrations"), QStringLiteral("show"), QStringLiteral("200kV 250mm"), QStringLiteral("--format"),
             QStringLiteral("json")});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.json()[QStringLiteral("standard")].toString(), QStringLiteral("Au"));
    EXPECT_EQ(r.json()[QStringLiteral("voltageKv")].toDouble(), 200.0);

    // The same name again is refused without --replace; the store keeps its bytes.
    const QByteArray before = storeBytes();
    r = run({QStringLiteral("calibrate"), gold, QStringLiteral("--standard"), QStringLiteral("Au"), QStringLiteral("--save"),
             QStringLiteral("200kV 250mm")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(storeBytes(), before);

    // rings under the saved calibration: gold first, its rings labelled; the CSV of the profile.
    r = run({QStringLiteral("rings"), gold, QStringLiteral("--calibration"), QStringLiteral("200kV 250mm"),
             QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--plot"), m_dir.filePath(QStringLiteral("p.svg"))});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    o = r.json();
    EXPECT_EQ(o[QStringLiteral("phases")].toArray()[0].toObject()[QStringLiteral("name")].toString(), QStringLiteral("Au"));
    EXPECT_EQ(o[QStringLiteral("cameraConstant")].toObject()[QStringLiteral("source")].toString(), QStringLiteral("calibration"));
    const QJsonObject ring2 = o[QStringLiteral("rings")].toArray()[1].toObject();
    EXPECT_EQ(ring2[QStringLiteral("hkl")].toString(), QStringLiteral("(2 0 0)"));
    EXPECT_NEAR(ring2[QStringLiteral("dNm")].toDouble(), 0.40782 / 2, 0.0004);
    EXPECT_TRUE(o[QStringLiteral("unexplainedRings")].toArray().isEmpty());
    QFile svg(m_dir.filePath(QStringLiteral("p.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains(">(2 2 0)</text>"));

    r = run({QStringLiteral("rings"), gold, QStringLiteral("--format"), QStringLiteral("csv")});
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.rawOut.startsWith("\xEF\xBB\xBFradius_px,g_inv_nm,mean,background,pixels\r\n"));

    r = run({QStringLiteral("calibrations"), QStringLiteral("remove"), QStringLiteral("200kV 250mm")});
    EXPECT_EQ(r.status, 0);
    r = run({QStringLiteral("calibrations"), QStringLiteral("list"), QStringLiteral("--format"), QStringLiteral("json")});
    EXPECT_TRUE(r.json()[QStringLiteral("calibrations")].toArray().isEmpty());
}

// Bad input: a clear message, exit 2 and nothing written to the store.
TEST_F(RingsCommandTest, badInputWritesNothing) {
    tools::RingSpec spec;
    const QString gold = ringImage(QStringLiteral("au.tif"), {"Au"}, spec);
    const QString one = ringImage(QStringLiteral("one.tif"), {"Au"}, spec, 1);
    const QString spots = m_dir.filePath(QStringLiteral("spots.tif"));
    std::string error;
    ASSERT_TRUE(core::writeTiff(spots.toStdString(), tools::makePattern({}).raster, error));

    const auto refused = [&](const QStringList& args, const QString& says) {
        const CliOut r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(says)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(QFile::exists(storePath()));
    };
    const QString save = QStringLiteral("--save");
    refused({QStringLiteral("rings"), spots}, QStringLiteral("斑点花样"));
    refused({QStringLiteral("calibrate"), spots, QStringLiteral("--standard"), QStringLiteral("Au"), save, QStringLiteral("x")},
            QStringLiteral("斑点花样"));
    refused({QStringLiteral("calibrate"), one, QStringLiteral("--standard"), QStringLiteral("Au"), save, QStringLiteral("x")},
            QStringLiteral("只有一个衍射环"));
    refused({QStringLiteral("calibrate"), gold, QStringLiteral("--standard"), QStringLiteral("α-Fe (ferrite)"), save,
             QStringLiteral("x")},
            QStringLiteral("不符"));
    refused({QStringLiteral("rings"), gold, QStringLiteral("--centre"), QStringLiteral("-40,12")}, QStringLiteral("中心"));
    refused({QStringLiteral("calibrate"), gold, QStringLiteral("--standard"), QStringLiteral("Unobtainium")},
            QStringLiteral("Unobtainium"));
    refused({QStringLiteral("calibrate"), gold, QStringLiteral("--standard"), QStringLiteral("Au"), save, QStringLiteral("a]b")},
            QStringLiteral("标定名称"));
    refused({QStringLiteral("rings"), m_dir.filePath(QStringLiteral("none.tif"))}, QStringLiteral("none.tif"));
    refused({QStringLiteral("rings"), gold, QStringLiteral("--calibration"), QStringLiteral("nosuch")}, QStringLiteral("nosuch"));
    refused({QStringLiteral("rings"), gold, QStringLiteral("--plot"), m_dir.filePath(QStringLiteral("nodir/p.svg"))},
            QStringLiteral("p.svg"));
}

// An aluminium spot pattern recorded under a 5 % distortion: with the calibration saved from a
// gold standard recorded under the same distortion it indexes with the default tolerances to
// the rows of the undistorted pattern; as recorded, it does not.
TEST_F(RingsCommandTest, savedCalibrationRemovesTheDistortion) {
    const core::EllipticDistortion distortion{1.05, 37.0};
    tools::RingSpec spec;
    spec.perPixel = 0.08;
    spec.distortion = distortion;
    const QString gold = ringImage(QStringLiteral("au.tif"), {"Au"}, spec);
    CliOut r = run({QStringLiteral("calibrate"), gold, QStringLiteral("--standard"), QStringLiteral("Au"),
                    QStringLiteral("--save"), QStringLiteral("cam")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    // The pattern as the camera would record it: each pixel sampled where the distortion takes it from.
    const tools::Pattern truth = tools::makePattern({});
    const core::Raster& in = truth.raster;
    const core::Raster out =
        tools::recordedUnder(in, distortion, tools::PatternSpec{}.centreX, tools::PatternSpec{}.centreY);
    std::string error;
    const QString plain = m_dir.filePath(QStringLiteral("plain.tif")), recorded = m_dir.filePath(QStringLiteral("recorded.tif"));
    ASSERT_TRUE(core::writeTiff(plain.toStdString(), in, error));
    ASSERT_TRUE(core::writeTiff(recorded.toStdString(), out, error));

    const auto rows = [&](const QString& image, bool calibrated) {
        QStringList args{QStringLiteral("index"), QStringLiteral("--cell"), QStringLiteral("0.40495,0.40495,0.40495,90,90,90"),
                         QStringLiteral("--type"), QStringLiteral("face"), QStringLiteral("--range"), QStringLiteral("3"),
                         QStringLiteral("--image"), image, QStringLiteral("--auto"), QStringLiteral("--format"), QStringLiteral("tsv")};
        if (calibrated) args << QStringLiteral("--calibration") << QStringLiteral("cam");
        const CliOut c = run(args);
        EXPECT_EQ(c.status, 0) << c.err.toStdString();
        return c;
    };
    const CliOut reference = rows(plain, false);
    EXPECT_EQ(reference.out.count(u'\n'), 24);
    const CliOut corrected = rows(recorded, true);
    EXPECT_EQ(corrected.out, reference.out);
    EXPECT_TRUE(corrected.err.contains(QStringLiteral("cam"))) << corrected.err.toStdString();
    EXPECT_NE(rows(recorded, false).out, reference.out);

    // image spots takes the calibration too: the vectors of the recorded pattern come out as
    // those of the undistorted one, with their |g|.
    const auto spots = [&](const QString& image, bool calibrated) {
        QStringList args{QStringLiteral("image"), QStringLiteral("spots"), image, QStringLiteral("--format"), QStringLiteral("json")};
        if (calibrated) args << QStringLiteral("--calibration") << QStringLiteral("cam");
        const CliOut c = run(args);
        EXPECT_EQ(c.status, 0) << c.err.toStdString();
        return c.json();
    };
    const QJsonObject truthSpots = spots(plain, false), seen = spots(recorded, true);
    for (const char* name : {"r1", "r2", "r3"}) {
        const QJsonArray a = truthSpots[QString::fromLatin1(name)].toArray(), b = seen[QString::fromLatin1(name)].toArray();
        ASSERT_EQ(b.size(), 2) << name;
        EXPECT_NEAR(std::hypot(b[0].toDouble(), b[1].toDouble()), std::hypot(a[0].toDouble(), a[1].toDouble()), 0.05) << name;
        EXPECT_NEAR(seen[QString::fromLatin1(name) + QStringLiteral("InvNm")].toDouble(),
                    0.08 * std::hypot(a[0].toDouble(), a[1].toDouble()), 0.01) << name;
    }
    EXPECT_EQ(seen[QStringLiteral("calibration")].toObject()[QStringLiteral("name")].toString(), QStringLiteral("cam"));
    EXPECT_EQ(run({QStringLiteral("image"), QStringLiteral("info"), recorded, QStringLiteral("--calibration"), QStringLiteral("cam")}).status, 2);
}

// The plot as a PNG where the program can draw (the window's process).
TEST_F(RingsCommandTest, plotPng) {
    tools::RingSpec spec;
    const QString gold = ringImage(QStringLiteral("au.tif"), {"Au"}, spec);
    const QString png = m_dir.filePath(QStringLiteral("p.png"));
    const auto r = testdata::runCli({QStringLiteral("rings"), gold, QStringLiteral("--plot"), png, QStringLiteral("--log")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(png);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("\x89PNG"));
    if (qEnvironmentVariableIsSet("SAED_KEEP_PLOT")) QFile::copy(png, qEnvironmentVariable("SAED_KEEP_PLOT"));
}

}  // namespace
