// SPDX-License-Identifier: BSD-3-Clause
// The rings view on a synthetic gold pattern: the same figures as saedindex-cli rings on the
// same file, the profile CSV byte for byte, the calibration saved through the prompts, and a
// spot pattern refused with its reason.
#include "app/ringsview.h"

#include <cmath>

#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "analysis/ringindexing.h"
#include "library/builtinphases.h"
#include "measure/imagemeasurement.h"
#include "model/mainmodel.h"
#include "model/scriptedprompts.h"
#include "store/calibrationstore.h"
#include "tests/programrun.h"
#include "tools/patterngenerator.h"
#include "tools/ringgenerator.h"

namespace {

using namespace saed;

struct Fixture {
    QTemporaryDir dir;
    model::MainModel model;
    model::ScriptedPrompts prompts;
    measure::ImageMeasurement measurement{model, prompts};
    app::RingsView view{model, measurement, prompts, [] { return library::builtInPhases(); },
                        dir.filePath(QStringLiteral("Calibrations.ini"))};

    // Gold rings under a 3 % distortion, the camera constant in the file.
    QString goldImage() {
        tools::RingSpec spec;
        spec.perPixel = 0.0125;
        spec.distortion = {1.03, 50.0};
        const library::CrystalPhase* gold = nullptr;
        for (const auto& p : library::builtInPhases())
            if (p.name == "Au") gold = &p;
        const std::vector<std::vector<analysis::PowderLine>> lines{analysis::powderLines(*gold, spec.perPixel * spec.width)};
        const QString path = dir.filePath(QStringLiteral("au.tif"));
        std::string error;
        const std::vector<double> weights{1.0};
        EXPECT_TRUE(core::writeTiff(path.toStdString(), tools::makeRings(spec, lines, weights).raster, error)) << error;
        return path;
    }

    QByteArray cli(const QStringList& args) {
        const testdata::ProgramRun run = testdata::runCliProgram(
            args, testdata::ProgramOptions().systemLanguage().configIn(dir.filePath(QStringLiteral("config"))));
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return run.rawOut;
    }
};

}  // namespace

TEST(RingsViewTest, sameFiguresAsTheRingsCommandAndTheCalibrationSaved) {
    Fixture f;
    const QString gold = f.goldImage();
    ASSERT_TRUE(f.measurement.openPath(gold));
    std::vector<app::RingEllipse> drawn;
    QObject::connect(&f.view, &app::RingsView::ringsChanged, [&](const std::vector<app::RingEllipse>& e) { drawn = e; });
    ASSERT_TRUE(f.view.measureRings());
    EXPECT_FALSE(f.view.measureRings());  // one measurement at a time
    f.view.waitForMeasurement();
    ASSERT_TRUE(f.view.pattern() && f.view.reading());
    const analysis::RingPattern& p = *f.view.pattern();
    EXPECT_EQ(drawn.size(), p.rings.size());

    const QJsonObject o = QJsonDocument::fromJson(f.cli({QStringLiteral("rings"), gold, QStringLiteral("--format"),
                                                         QStringLiteral("json")})).object();
    EXPECT_DOUBLE_EQ(o[QStringLiteral("centre")].toObject()[QStringLiteral("x")].toDouble(), p.centreX);
    EXPECT_DOUBLE_EQ(o[QStringLiteral("centre")].toObject()[QStringLiteral("y")].toDouble(), p.centreY);
    EXPECT_DOUBLE_EQ(o[QStringLiteral("distortion")].toObject()[QStringLiteral("axisRatio")].toDouble(), p.distortion.ratio);
    const QJsonArray rings = o[QStringLiteral("rings")].toArray();
    ASSERT_EQ(rings.size(), static_cast<qsizetype>(p.rings.size()));
    for (qsizetype i = 0; i < rings.size(); ++i) {
        const QJsonObject r = rings[i].toObject();
        const auto& label = f.view.reading()->labels[static_cast<std::size_t>(i)];
        EXPECT_DOUBLE_EQ(r[QStringLiteral("radiusPx")].toDouble(), p.rings[static_cast<std::size_t>(i)].radiusPx) << i;
        EXPECT_EQ(r[QStringLiteral("hkl")].toString().toStdString(), label ? label->hkl : std::string()) << i;
        EXPECT_EQ(r[QStringLiteral("phase")].toString().toStdString(), label ? label->phase : std::string()) << i;
    }
    const QJsonArray phases = o[QStringLiteral("phases")].toArray();
    ASSERT_FALSE(phases.isEmpty());
    EXPECT_EQ(phases[0].toObject()[QStringLiteral("name")].toString(), QStringLiteral("Au"));
    EXPECT_EQ(f.view.rankedPhases()[f.view.reading()->ranking.ranked.front().phase].name, "Au");
    EXPECT_TRUE(f.view.summaryText().contains(QStringLiteral("Au (1 1 1)"))) << f.view.summaryText().toStdString();

    // The text: the command's centre, distortion and ring figures are the view's, and each
    // uncertainty ends on the last digit of its figure (a radius and its uncertainty to 0.001 px,
    // an axis ratio and its to 0.00001), "< 0.01" where it is smaller than that digit.
    const QStringList cliLines = QString::fromUtf8(f.cli({QStringLiteral("rings"), gold})).split(u'\n');
    const QStringList viewLines = f.view.summaryText().split(u'\n');
    ASSERT_GT(cliLines.size(), 2);
    EXPECT_EQ(cliLines[0], viewLines[0]);
    EXPECT_TRUE(cliLines[1].startsWith(viewLines[1])) << cliLines[1].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^中心 \\d+\\.\\d\\d, \\d+\\.\\d\\d 像素（± (< )?\\d+\\.\\d\\d, (< )?\\d+\\.\\d\\d）$"))
                    .match(viewLines[0]).hasMatch()) << viewLines[0].toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("轴比 \\d\\.\\d{5} ± (< )?\\d\\.\\d{5}，长轴 \\d+\\.\\d\\d° ± (< )?\\d+\\.\\d\\d°"))
                    .match(viewLines[1]).hasMatch()) << viewLines[1].toStdString();
    const QRegularExpression ringLine(QStringLiteral("^\\d+  \\d+\\.\\d{3}  (< )?\\d+\\.\\d{3}  \\d+\\.\\d\\d  "));
    std::size_t ringLines = 0;
    for (const QString& line : viewLines) {
        const QRegularExpressionMatch m = ringLine.match(line);
        if (!m.hasMatch()) continue;
        ++ringLines;
        EXPECT_TRUE(cliLines.filter(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(m.captured(0)))).size() == 1)
            << line.toStdString();
    }
    EXPECT_EQ(ringLines, p.rings.size()) << f.view.summaryText().toStdString();

    // The profile CSV is the command's, byte for byte, also where the locale writes a decimal
    // comma; the plot is written in both formats.
    const QString csv = f.dir.filePath(QStringLiteral("profile.csv"));
    ASSERT_TRUE(f.view.writeProfile(csv));
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    EXPECT_EQ(bytes, f.cli({QStringLiteral("rings"), gold, QStringLiteral("--format"), QStringLiteral("csv")}));
    qputenv("LC_NUMERIC", "de_DE.UTF-8");
    EXPECT_EQ(bytes, f.cli({QStringLiteral("rings"), gold, QStringLiteral("--format"), QStringLiteral("csv")}));
    qunsetenv("LC_NUMERIC");
    f.view.logarithmicSwitch()->setChecked(true);
    for (const char* name : {"plot.svg", "plot.png"}) {
        const QString path = f.dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(f.view.writePlot(path)) << name;
        EXPECT_GT(QFile(path).size(), 1000) << name;
    }

    // Calibrated from gold and saved under the answers given; a bad number saves nothing.
    for (const char* answer : {"cam", "", "200", "abc"}) f.prompts.queueText(QString::fromUtf8(answer));
    EXPECT_FALSE(f.view.calibrateFromStandard());
    EXPECT_FALSE(QFile::exists(f.dir.filePath(QStringLiteral("Calibrations.ini"))));
    EXPECT_TRUE(f.prompts.questions().back().text.contains(QStringLiteral("abc")));
    for (const char* answer : {"cam", "JEM", "200", "250", ""}) f.prompts.queueText(QString::fromUtf8(answer));
    ASSERT_TRUE(f.view.calibrateFromStandard());
    const auto saved = store::CalibrationStore(f.dir.filePath(QStringLiteral("Calibrations.ini"))).find(QStringLiteral("cam"));
    ASSERT_TRUE(saved);
    EXPECT_NEAR(saved->perPixel, 0.0125, 0.0125 * 0.002);
    EXPECT_NEAR(saved->distortion.ratio, 1.03, 0.002);
    EXPECT_EQ(saved->microscope, "JEM");
    EXPECT_EQ(saved->voltageKv, 200);
    EXPECT_EQ(saved->cameraLengthMm, 250);
    EXPECT_EQ(saved->binning, 1);
    EXPECT_EQ(saved->standard, "Au");
}

TEST(RingsViewTest, aSpotPatternIsRefusedWithItsReason) {
    Fixture f;
    EXPECT_FALSE(f.view.measureRings());  // no image
    EXPECT_EQ(f.view.statusText(), QStringLiteral("请先打开图像"));
    const QString spots = f.dir.filePath(QStringLiteral("spots.tif"));
    std::string error;
    ASSERT_TRUE(core::writeTiff(spots.toStdString(), tools::makePattern({}).raster, error));
    ASSERT_TRUE(f.measurement.openPath(spots));
    ASSERT_TRUE(f.view.measureRings());
    f.view.waitForMeasurement();
    EXPECT_FALSE(f.view.pattern());
    EXPECT_TRUE(f.view.statusText().contains(QStringLiteral("斑点花样"))) << f.view.statusText().toStdString();
    EXPECT_FALSE(f.view.calibrateFromStandard());
    EXPECT_TRUE(f.prompts.questions().empty());
}
