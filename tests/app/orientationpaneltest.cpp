// SPDX-License-Identifier: BSD-3-Clause
// The "倾转与取向" tab: a kept result set checked against the current one, the orientation of the
// selected row, a click on the projection, exports, and what it refuses.
#include "app/orientationpanel.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "core/raster.h"
#include "indexing/indexingengine.h"
#include "library/builtinphases.h"
#include "model/scriptedprompts.h"
#include "tests/programrun.h"

namespace {

using namespace saed;

const core::Cell kAluminium{0.405, 0.405, 0.405, 90, 90, 90};

// A face-centred aluminium run as the window hands it over, families told by the zone's form.
app::ResultSet aluminiumRun(const indexing::MeasuredPattern& measured, const core::Cell& cell = kAluminium) {
    indexing::IndexingInput input;
    input.cell = cell;
    input.latticeType = saed::core::LatticeType::FaceCentred;
    input.measured = measured;
    app::ResultSet set{cell, saed::core::LatticeType::FaceCentred, QStringLiteral("Al"), std::make_shared<core::LatticeTypeRule>(saed::core::LatticeType::FaceCentred), {}};
    std::map<std::array<long long, 3>, int> families;
    int group = 0;
    for (const indexing::ResultRow& row : indexing::indexPattern(input)) {
        const core::Uvw zone = core::ZoneAxis(row.g1, row.g2);
        std::array<long long, 3> form{std::llabs(zone[0]), std::llabs(zone[1]), std::llabs(zone[2])};
        std::sort(form.begin(), form.end());
        const int family = families.emplace(form, static_cast<int>(families.size()) + 1).first->second;
        set.rows.push_back({++group, family, row.g1, row.g2, zone, 0});
    }
    return set;
}

template <typename W>
W* child(const QWidget& parent, const char* name) {
    W* widget = parent.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

}  // namespace

TEST(OrientationPanelTest, aKeptPatternAndATiltRuleOutTheWrongZoneAndBadInputIsTold) {
    model::ScriptedPrompts prompts;
    app::OrientationPanel panel(prompts);
    // Nothing kept yet: told, nothing checked.
    EXPECT_FALSE(panel.checkTilt());
    ASSERT_EQ(prompts.questions().size(), 1u);

    const app::ResultSet first = aluminiumRun({{0.143189, 0.122112, 0.0779423}, {64.7606, 29.4962, 35.2644}});
    panel.setCurrent(first, std::nullopt);
    QTest::mouseClick(child<QPushButton>(panel, "KeepButton"), Qt::LeftButton);
    panel.setCurrent(aluminiumRun({{0.2025, 0.2025, 0.143189}, {90, 45, 45}}), std::nullopt);

    // A tilt over 180 degrees is refused with a message, from the keyboard as well.
    auto* angle = child<QLineEdit>(panel, "TiltAngle");
    angle->setText(QStringLiteral("200"));
    prompts.clearQuestions();
    QTest::keyClick(angle, Qt::Key_Return);
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_TRUE(panel.lastTilt().pairs.empty());

    angle->setText(QStringLiteral("19.47"));
    child<QLineEdit>(panel, "TiltTolerance")->setText(QStringLiteral("0.5"));
    QTest::mouseClick(child<QPushButton>(panel, "CheckTiltButton"), Qt::LeftButton);
    const calculator::TiltResult tilt = panel.lastTilt();
    ASSERT_EQ(tilt.keptFamilies.size(), 1u);
    ASSERT_EQ(tilt.ruledOutFamilies.size(), 1u);
    // The kept family is the <114> one.
    const auto kept = std::find_if(first.rows.begin(), first.rows.end(),
                                   [&](const auto& s) { return s.family == tilt.keptFamilies.front(); });
    std::array<long long, 3> form{std::llabs(kept->zone[0]), std::llabs(kept->zone[1]), std::llabs(kept->zone[2])};
    std::sort(form.begin(), form.end());
    EXPECT_EQ(form, (std::array<long long, 3>{1, 1, 4}));
    EXPECT_GT(child<QTreeWidget>(panel, "TiltTree")->topLevelItemCount(), 0);

    // Double-tilt readings 45 degrees apart keep <011> instead.
    child<QRadioButton>(panel, "DoubleTilt")->setChecked(true);
    child<QLineEdit>(panel, "Reading3")->setText(QStringLiteral("45"));
    ASSERT_TRUE(panel.checkTilt());
    EXPECT_NEAR(panel.lastTilt().tiltDeg, 45, 1e-9);
    EXPECT_NE(panel.lastTilt().keptFamilies, tilt.keptFamilies);

    // A second pattern of another phase is refused.
    panel.setCurrent(aluminiumRun({{0.2025, 0.2025, 0.143189}, {90, 45, 45}}, {0.404, 0.404, 0.404, 90, 90, 90}),
                     std::nullopt);
    prompts.clearQuestions();
    EXPECT_FALSE(panel.checkTilt());
    ASSERT_EQ(prompts.questions().size(), 1u);
}

TEST(OrientationPanelTest, theSelectedRowsProjectionAnswersAClickAndExports) {
    model::ScriptedPrompts prompts;
    app::OrientationPanel panel(prompts);
    app::ResultSet set{kAluminium, saed::core::LatticeType::FaceCentred, QStringLiteral("Al"), std::make_shared<core::LatticeTypeRule>(saed::core::LatticeType::FaceCentred),
                       {{1, 1, {2, 0, 0}, {0, 2, 0}, {0, 0, 1}, 0}}};
    panel.setCurrent(set, 0);
    // Without the direction of R1 in the image there is no orientation: told.
    EXPECT_FALSE(panel.updateOrientation());
    ASSERT_EQ(prompts.questions().size(), 1u);
    auto* r1 = child<QLineEdit>(panel, "R1Direction");
    r1->setText(QStringLiteral("0"));
    QTest::keyClick(r1, Qt::Key_Return);
    EXPECT_TRUE(panel.orientationText().contains(QStringLiteral("[0 0 1]"))) << panel.orientationText().toStdString();

    // A click on [0 1 1]'s dot: 45 degrees, all of it alpha about the image's X axis.
    app::StereogramView* view = panel.stereogramView();
    view->resize(400, 400);
    const auto& zones = view->projection().zones;
    const auto z011 = std::find_if(zones.begin(), zones.end(), [](const auto& z) { return z.uvw == core::Uvw{0, 1, 1}; });
    ASSERT_NE(z011, zones.end());
    const double radius = 0.42 * 400;
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(qRound(200 + radius * z011->x), qRound(200 - radius * z011->y)));
    EXPECT_TRUE(panel.clickedText().startsWith(QStringLiteral("[0 1 1]"))) << panel.clickedText().toStdString();
    EXPECT_TRUE(panel.clickedText().contains(QStringLiteral("45.00"))) << panel.clickedText().toStdString();

    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("s.png")), svg = dir.filePath(QStringLiteral("s.svg"));
    prompts.queueSavePath(png);
    QTest::mouseClick(child<QPushButton>(panel, "StereogramPng"), Qt::LeftButton);
    prompts.queueSavePath(svg);
    QTest::mouseClick(child<QPushButton>(panel, "StereogramSvg"), Qt::LeftButton);
    QFile pngFile(png), svgFile(svg);
    ASSERT_TRUE(pngFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pngFile.read(8).startsWith("\x89PNG"));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svgFile.readAll().contains(">[0 1 1]</text>"));
    prompts.clearQuestions();
    EXPECT_FALSE(panel.exportSvg(dir.filePath(QStringLiteral("no/such/folder/s.svg"))));
    EXPECT_EQ(prompts.questions().size(), 1u);

    // A hexagonal cell labels in four indices when asked.
    panel.setCurrent({{0.32094, 0.32094, 0.52107, 90, 90, 120}, saed::core::LatticeType::Simple, QStringLiteral("Mg"),
                      std::make_shared<core::LatticeTypeRule>(saed::core::LatticeType::Simple), {{1, 1, {0, 1, 0}, {0, 0, 2}, {2, 0, 0}, 0}}},
                     0);
    child<QCheckBox>(panel, "FourIndex")->setChecked(true);
    ASSERT_TRUE(panel.updateOrientation());
    EXPECT_TRUE(panel.orientationText().contains(QStringLiteral("[2 -1 -1 0]"))) << panel.orientationText().toStdString();
}

// Either pattern may come from an image, identified against the window's phase: the [1 -1 0]
// sample of aluminium against a run on its <0 0 1> is kept at 90 degrees and ruled out at 30.
TEST(OrientationPanelTest, aPatternFromAnImageIsIdentifiedAgainstTheWindowsPhase) {
    model::ScriptedPrompts prompts;
    app::OrientationPanel panel(prompts);
    const core::Cell al{0.40495, 0.40495, 0.40495, 90, 90, 90};
    panel.setCurrent(aluminiumRun({{0.202475, 0.202475, 0.1431715}, {90, 45, 45}}, al), std::nullopt);
    const QString sample = QStringLiteral(SAED_SAMPLES "/al-011-pattern.tif");
    auto* firstImage = child<QPushButton>(panel, "FirstImageButton");

    // No phase to identify against: told, nothing kept.
    prompts.queueImagePath(sample);
    firstImage->click();
    ASSERT_EQ(prompts.questions().size(), 2u);  // the image, then the message
    EXPECT_FALSE(panel.checkTilt());

    panel.setPatternPhaseSource([&al] {
        app::PatternPhase phase;
        phase.phase.name = "Al";
        phase.phase.cell = al;
        phase.latticeType = saed::core::LatticeType::FaceCentred;
        return std::optional<app::PatternPhase>(phase);
    });
    // The image is identified on a worker: the window keeps answering, the button stops it.
    const auto read = [&] { return QTest::qWaitFor([&] { return !panel.readingImage(); }, 60000); };
    prompts.clearQuestions();
    prompts.queueImagePath(sample);
    firstImage->click();
    ASSERT_TRUE(panel.readingImage());
    EXPECT_FALSE(child<QPushButton>(panel, "SecondImageButton")->isEnabled());
    ASSERT_TRUE(read());
    ASSERT_EQ(prompts.questions().size(), 1u);  // the image only
    EXPECT_TRUE(child<QPushButton>(panel, "SecondImageButton")->isEnabled());
    EXPECT_TRUE(child<QLabel>(panel, "FirstPatternText")->text().contains(QStringLiteral("al-011-pattern.tif")));

    auto* angle = child<QLineEdit>(panel, "TiltAngle");
    angle->setText(QStringLiteral("90"));
    ASSERT_TRUE(panel.checkTilt());
    ASSERT_FALSE(panel.lastTilt().pairs.empty());
    EXPECT_TRUE(panel.lastTilt().ruledOutFamilies.empty());
    EXPECT_TRUE(child<QTreeWidget>(panel, "TiltTree")->topLevelItem(0)->text(0).startsWith(QStringLiteral("候选 ")));
    angle->setText(QStringLiteral("30"));
    ASSERT_TRUE(panel.checkTilt());
    EXPECT_TRUE(panel.lastTilt().keptFamilies.empty());
    EXPECT_FALSE(panel.lastTilt().ruledOutFamilies.empty());

    // Stopped, the second pattern stays what it was.
    QSignalSpy imageRead(&panel, &app::OrientationPanel::imageRead);
    const QString secondBefore = child<QLabel>(panel, "SecondPatternText")->text();
    ASSERT_TRUE(panel.readImagePattern(1, sample));
    EXPECT_FALSE(panel.readImagePattern(0, sample));  // one image at a time
    EXPECT_NE(child<QLabel>(panel, "SecondPatternText")->text(), secondBefore);
    child<QPushButton>(panel, "SecondImageButton")->click();
    ASSERT_TRUE(read());
    ASSERT_EQ(imageRead.size(), 1);
    EXPECT_FALSE(imageRead[0][1].toBool());
    EXPECT_EQ(child<QLabel>(panel, "SecondPatternText")->text(), secondBefore);
    EXPECT_FALSE(child<QPushButton>(panel, "UseCurrentButton")->isEnabled());

    // The same image as the second pattern is kept at 0 degrees; a file that is no image is told.
    ASSERT_TRUE(panel.readImagePattern(1, sample));
    ASSERT_TRUE(read());
    ASSERT_EQ(imageRead.size(), 2);
    EXPECT_TRUE(imageRead[1][1].toBool());
    angle->setText(QStringLiteral("0"));
    ASSERT_TRUE(panel.checkTilt());
    EXPECT_FALSE(panel.lastTilt().keptFamilies.empty());
    prompts.clearQuestions();
    EXPECT_FALSE(panel.readImagePattern(1, QStringLiteral(SAED_SAMPLES "/al-011-pattern.txt")));
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_TRUE(prompts.questions()[0].text.contains(QStringLiteral("al-011-pattern.txt")));
    child<QPushButton>(panel, "UseCurrentButton")->click();
    EXPECT_TRUE(child<QLabel>(panel, "SecondPatternText")->text().contains(QStringLiteral("当前结果")));
}

// Two images checked in the window say what saedindex-cli tilt says of their identifications: the
// aluminium [1 -1 0] sample and the same pattern turned a quarter turn in the image, no tilt
// between them. The zone angle alone keeps them one grain; their orientations, with the holder's
// axis along the image's right, differ by the quarter turn, and the check of both rules it out.
TEST(OrientationPanelTest, twoImagesAreCheckedAsTheTiltCommandChecksThem) {
    QTemporaryDir dir;
    const QString first = QStringLiteral(SAED_SAMPLES "/al-011-pattern.tif");
    const QString turned = dir.filePath(QStringLiteral("turned.tif"));
    {
        const core::ReadResult read = core::readImageFile(first.toStdString());
        ASSERT_TRUE(read.raster) << read.error;
        const core::Raster& a = *read.raster;
        core::Raster b(a.height(), a.width(), a.pixelType());
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) b.setValue(a.height() - 1 - y, x, a.value(x, y));
        b.calibration = a.calibration;
        std::string error;
        ASSERT_TRUE(core::writeTiff(turned.toStdString(), b, error)) << error;
    }
    QStringList json;
    for (const QString& image : {first, turned}) {
        json << dir.filePath(QFileInfo(image).baseName() + QStringLiteral(".json"));
        const testdata::ProgramRun run = testdata::runCliProgram(
            {QStringLiteral("identify"), image, QStringLiteral("--phases"), QStringLiteral("builtin"), QStringLiteral("--top"),
             QStringLiteral("1000"), QStringLiteral("--format"), QStringLiteral("json")});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        QFile file(json.back());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(run.rawOut) == run.rawOut.size());
    }

    model::ScriptedPrompts prompts;
    app::OrientationPanel panel(prompts);
    const auto al = std::find_if(library::builtInPhases().begin(), library::builtInPhases().end(),
                                 [](const library::CrystalPhase& p) { return p.name == "Al"; });
    ASSERT_NE(al, library::builtInPhases().end());
    panel.setCurrent(aluminiumRun({{0.202475, 0.202475, 0.1431715}, {90, 45, 45}}, al->cell), std::nullopt);
    panel.setPatternPhaseSource([al] { return std::optional<app::PatternPhase>(app::PatternPhase{*al, core::LatticeType::SpaceGroup, {}}); });
    // Each image is identified on a worker, one at a time.
    for (const auto& [which, image] : {std::pair{0, first}, std::pair{1, turned}}) {
        ASSERT_TRUE(panel.readImagePattern(which, image));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.readingImage(); }, 60000));
    }
    child<QLineEdit>(panel, "TiltAngle")->setText(QStringLiteral("0"));
    child<QLineEdit>(panel, "HolderAxis")->setText(QStringLiteral("0"));
    auto* orientation = child<QCheckBox>(panel, "TiltOrientation");
    // The pairs as "first zone, second zone, orientation misfit" in sorted order (the window numbers
    // the candidates of its one phase, the command those of every phase), and the families kept.
    const auto windowSays = [&panel] {
        const QTreeWidget* tree = child<QTreeWidget>(panel, "TiltTree");
        const QRegularExpression zone(QStringLiteral("\\[(.*)\\]"));
        QStringList pairs;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tree->topLevelItem(i);
            const QString misfit = item->text(4);
            pairs << zone.match(item->text(0)).captured(1) + u'/' + zone.match(item->text(1)).captured(1) + u'/' +
                         (tree->isColumnHidden(4) || misfit.isEmpty() ? QStringLiteral("-") : misfit);
        }
        pairs.sort();
        return pairs.join(u';') + QStringLiteral(" kept ") + QString::number(panel.lastTilt().keptFamilies.size());
    };
    const auto commandSays = [&json](const QStringList& extra, int second = 1) {
        const testdata::ProgramRun run = testdata::runCliProgram(
            QStringList{QStringLiteral("tilt"), json[0], json[second], QStringLiteral("--phase=Al"), QStringLiteral("--angle=0"),
                        QStringLiteral("--format=json")} + extra);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        const auto zone = [](const QJsonValue& v) {
            QStringList indices;
            for (const auto i : v.toArray()) indices << QString::number(i.toInt());
            return indices.join(u' ');
        };
        QStringList pairs;
        for (const auto p : run.json()[u"pairs"].toArray()) {
            const QJsonObject o = p.toObject();
            pairs << zone(o[u"first"][u"zone"]) + u'/' + zone(o[u"second"][u"zone"]) + u'/' +
                         (o.contains(u"orientationMisfit") ? QString::number(o[u"orientationMisfit"].toDouble(), 'f', 2)
                                                           : QStringLiteral("-"));
        }
        pairs.sort();
        return pairs.join(u';') + QStringLiteral(" kept ") + QString::number(run.json()[u"kept"].toArray().size());
    };
    ASSERT_TRUE(panel.checkTilt());
    const QString angleOnly = windowSays();
    EXPECT_FALSE(panel.lastTilt().pairs.empty());
    EXPECT_EQ(angleOnly, commandSays({}));
    orientation->setChecked(true);
    ASSERT_TRUE(panel.checkTilt());
    EXPECT_EQ(windowSays(), commandSays({QStringLiteral("--axis=0")}));
    EXPECT_NE(windowSays(), angleOnly);
    EXPECT_TRUE(panel.lastTilt().keptFamilies.empty());
    EXPECT_FALSE(child<QTreeWidget>(panel, "TiltTree")->isColumnHidden(4));
    // The same image twice is one orientation: kept, with the same small misfit on both sides.
    ASSERT_TRUE(panel.readImagePattern(1, first));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.readingImage(); }, 60000));
    ASSERT_TRUE(panel.checkTilt());
    EXPECT_EQ(panel.lastTilt().keptFamilies.size(), 1u);
    EXPECT_EQ(windowSays(), commandSays({QStringLiteral("--axis=0")}, 0));

    // The current result set has no directions in an image: told, nothing checked.
    panel.useCurrentAsSecond();
    prompts.clearQuestions();
    EXPECT_FALSE(panel.checkTilt());
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_TRUE(prompts.questions()[0].text.contains(QStringLiteral("第二张花样没有图像中的方向")));
}
