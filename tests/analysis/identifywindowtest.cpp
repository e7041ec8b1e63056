// SPDX-License-Identifier: BSD-3-Clause
// "识别物相" in the window: the same ranking as saedindex-cli identify on one image, the candidate
// over the image and in the simulation, the three-spot table filled from it, cancel and bad input.
#include <cmath>
#include <numbers>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "analysis/identifyrun.h"
#include "app/identifypanel.h"
#include "app/imagepage.h"
#include "app/imageview.h"
#include "app/simulationpanel.h"
#include "core/millerbravais.h"
#include "tests/programrun.h"
#include "library/builtinphases.h"
#include "library/phaselibrary.h"
#include "measure/imagemeasurement.h"
#include "tests/windowfixture.h"
#include "tools/cameraimage.h"

namespace {

using saed::testdata::MainWindowTest;

// saedindex-cli identify as a user runs it, in English, with an empty configuration folder.
QJsonObject cliIdentify(const QString& path) {
    QTemporaryDir config;
    const saed::testdata::ProgramRun run = saed::testdata::runCliProgram(
        {QStringLiteral("identify"), path, QStringLiteral("--phases"), QStringLiteral("builtin"), QStringLiteral("--top"),
         QStringLiteral("50"), QStringLiteral("--format"), QStringLiteral("json")},
        saed::testdata::ProgramOptions().configIn(config.path()));
    return run.status == 0 ? run.json() : QJsonObject();
}

class IdentifyWindowTest : public MainWindowTest {
protected:
    QTemporaryDir dir;

    saed::app::IdentifyPanel& panel() { return *window.imagePage()->identifyPanel(); }

    QString writeImage(const saed::core::Raster& raster) {
        const QString path = dir.filePath(QStringLiteral("pattern.tif"));
        std::string error;
        EXPECT_TRUE(saed::core::writeTiff(path.toStdString(), raster, error)) << error;
        return path;
    }
    // Ticks exactly the built-in crystal phases, as --phases builtin takes them.
    void tickBuiltIn() {
        saed::library::PhaseLibrary& library = *saed::library::phaseLibrary(model);
        const int first = library.nineFieldRecords() + 1;
        for (int r = first; r < first + library.builtInCount(); ++r) {
            const int node = library.tree().find("bb" + std::to_string(r));
            ASSERT_GE(node, 0) << r;
            library.tickChanged(node, true, true);
        }
    }
    bool waitForRun() {
        return QTest::qWaitFor([&] { return !panel().run().isRunning(); }, 120000);
    }
};

TEST_F(IdentifyWindowTest, rankedAsTheCommandLineAndTheChosenCandidateIsShownAndFilled) {
    const auto& phases = saed::library::builtInPhases();
    std::size_t al = 0;
    while (phases[al].name != "Al") ++al;
    saed::tools::CameraSpec spec = saed::tools::randomCameraSpec({0, 1, 1}, 21);
    spec.calibrationError = 0.01;
    const auto made = saed::tools::makeCameraImage(phases[al], spec);
    ASSERT_TRUE(made);
    const QString path = writeImage(made->raster);
    showOn(0);
    tickBuiltIn();
    ASSERT_TRUE(window.imageMeasurement()->openPath(path));

    // Enter in a field of the page ends the typing there and starts nothing.
    QDoubleSpinBox* field = nullptr;
    for (auto* box : window.findChild<saed::app::ImagePage*>()->findChildren<QDoubleSpinBox*>())
        if (box->isEnabled()) field = box;
    ASSERT_NE(field, nullptr);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(panel().run().isRunning());
    window.setFocus();

    // Enter starts it; the button (now "stop") stops it before the worker's answer is taken.
    QTest::keyClick(&window, Qt::Key_Return);
    ASSERT_TRUE(panel().run().isRunning());
    QTest::mouseClick(panel().identifyButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForRun());
    EXPECT_FALSE(panel().outcome());
    EXPECT_EQ(panel().candidateList()->topLevelItemCount(), 0);

    QTest::mouseClick(panel().identifyButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForRun());
    ASSERT_TRUE(panel().outcome());
    const auto& outcome = *panel().outcome();
    const auto& candidates = outcome.result.candidates;

    const QJsonObject cli = cliIdentify(path);
    const QJsonArray list = cli[u"candidates"].toArray();
    ASSERT_FALSE(list.isEmpty());
    ASSERT_EQ(static_cast<qsizetype>(candidates.size()), list.size());
    ASSERT_EQ(panel().candidateList()->topLevelItemCount(), list.size());
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject c = list[i].toObject();
        const auto& w = candidates[static_cast<std::size_t>(i)];
        EXPECT_EQ(QString::fromStdString(outcome.phases.phases[w.phase].name), c[u"phase"].toString()) << i;
        EXPECT_EQ(panel().candidateList()->topLevelItem(static_cast<int>(i))->text(1), c[u"phase"].toString()) << i;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(w.zone[k], c[u"zone"][k].toInteger()) << i;
        EXPECT_NEAR(w.score, c[u"score"].toDouble(), 1e-6) << i;
    }
    // The fitted beam is shown, not locked.
    ASSERT_TRUE(window.imageMeasurement()->centre());
    EXPECT_NEAR(window.imageMeasurement()->centre()->x, made->centreX, 0.5);
    EXPECT_FALSE(window.imageMeasurement()->centreLocked());

    // The second candidate: its spots over the image, its pattern turned as the image lies.
    QTreeWidget& tree = *panel().candidateList();
    tree.setCurrentItem(tree.topLevelItem(1));
    const auto& second = candidates[1];
    const saed::app::ImageView& view = *window.imagePage()->imageView();
    ASSERT_EQ(view.candidatePredicted().size(), second.spots.size());
    EXPECT_NEAR(view.candidatePredicted()[0].at.x(), second.spots[0].x, 1e-9);
    EXPECT_FALSE(view.candidateDetected().empty());
    const saed::app::SimulationPanel& simulation = *window.simulationPanel();
    EXPECT_EQ(simulation.zone(), second.zone);
    const auto& net = outcome.result.net;
    EXPECT_NEAR(simulation.turn(), std::atan2(-net.a.y, net.a.x) * 180 / std::numbers::pi, 1e-9);
    // g1 lies where the net's a lies on screen (y up): its turned position points along a.
    ASSERT_TRUE(simulation.pattern());
    for (const auto& spot : simulation.pattern()->spots) {
        if (spot.hkl != second.g1) continue;
        EXPECT_NEAR(std::atan2(spot.yInvNm, spot.xInvNm), std::atan2(-net.a.y, net.a.x), 1e-6);
    }
    QTest::mouseClick(window.imagePage()->findChild<QPushButton*>(QStringLiteral("identifySimulate")), Qt::LeftButton);
    EXPECT_EQ(window.tabs()->currentWidget(), window.simulationPanel());
    window.tabs()->setCurrentIndex(0);

    // The three-spot table from the chosen candidate: its phase's cell, R1 on a, R2 on b.
    QTest::mouseClick(panel().fillButton(), Qt::LeftButton);
    EXPECT_NEAR(model.value(saed::model::Field::A), outcome.phases.phases[second.phase].cell.aNm, 1e-6);
    EXPECT_NEAR(model.value(saed::model::Field::LengthR1), net.lengthA(), 1e-3);
    EXPECT_NEAR(model.value(saed::model::Field::LengthR2), net.lengthB(), 1e-3);
    EXPECT_EQ(model.Text1(saed::model::Field::SegmentsR1), QStringLiteral("1"));

    // A new image takes the candidates away.
    ASSERT_TRUE(window.imageMeasurement()->openPath(path));
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_TRUE(view.candidatePredicted().empty());
}

TEST_F(IdentifyWindowTest, theCentreMovesLocksAndFreesFromTheKeyboard) {
    const auto& phases = saed::library::builtInPhases();
    const auto made = saed::tools::makeCameraImage(phases.front(), saed::tools::randomCameraSpec({0, 0, 1}, 5));
    ASSERT_TRUE(made);
    showOn(0);
    saed::measure::ImageMeasurement& m = *window.imageMeasurement();
    ASSERT_TRUE(m.openPath(writeImage(made->raster)));
    saed::app::ImageView* view = window.imagePage()->imageView();
    auto* lock = window.imagePage()->findChild<QCheckBox*>(QStringLiteral("lockCentre"));
    auto* setCentre = window.imagePage()->findChild<QPushButton*>(QStringLiteral("setCentre"));
    ASSERT_NE(lock, nullptr);
    ASSERT_NE(setCentre, nullptr);
    // A click on the image gives it the keys.
    QTest::mouseClick(view, Qt::RightButton, {}, view->rect().center());
    ASSERT_TRUE(view->hasFocus());
    QSignalSpy status(&model, &saed::model::MainModel::statusMessage);

    // Without a centre the keys move nothing and say how to get one.
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_FALSE(m.centre());
    ASSERT_FALSE(status.isEmpty());

    // A tenth of a pixel a press, a whole pixel with Shift; the moved centre is locked.
    m.setCentre({100.25, 80.5}, false);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Down);
    ASSERT_TRUE(m.centre());
    EXPECT_NEAR(m.centre()->x, 99.45, 1e-9);
    EXPECT_NEAR(m.centre()->y, 79.6, 1e-9);
    EXPECT_TRUE(m.centreLocked());
    EXPECT_TRUE(lock->isChecked());
    EXPECT_TRUE(status.last().at(0).toString().contains(QStringLiteral("(99.45, 79.60)")));

    // L frees and locks it again, the check box following.
    QTest::keyClick(view, Qt::Key_L);
    EXPECT_FALSE(m.centreLocked());
    EXPECT_FALSE(lock->isChecked());
    QTest::keyClick(view, Qt::Key_L);
    EXPECT_TRUE(m.centreLocked());
    EXPECT_TRUE(lock->isChecked());

    // Escape leaves "设为中心" and the centre where it was.
    QTest::mouseClick(setCentre, Qt::LeftButton);
    ASSERT_TRUE(m.centreMode());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_FALSE(m.centreMode());
    EXPECT_FALSE(setCentre->isChecked());
    EXPECT_NEAR(m.centre()->x, 99.45, 1e-9);
}

TEST_F(IdentifyWindowTest, aBlankImageIsToldNotListedEmpty) {
    saed::core::Raster blank(256, 256, saed::core::PixelType::UInt16);
    const QString path = writeImage(blank);
    showOn(0);
    QSignalSpy status(&model, &saed::model::MainModel::statusMessage);
    QTest::mouseClick(panel().identifyButton(), Qt::LeftButton);  // no image yet
    ASSERT_FALSE(status.isEmpty());
    EXPECT_FALSE(panel().run().isRunning());
    ASSERT_TRUE(window.imageMeasurement()->openPath(path));
    status.clear();
    QTest::mouseClick(panel().identifyButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForRun());
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.last().at(0).toString().right(saed::analysis::netStatusText(saed::analysis::NetStatus::NoSpots).size()),
              saed::analysis::netStatusText(saed::analysis::NetStatus::NoSpots));
    EXPECT_EQ(panel().candidateList()->topLevelItemCount(), 0);
}

TEST_F(IdentifyWindowTest, aChosenCalibrationGivesTheScaleAndItsDistortionIsTakenOff) {
    const auto& phases = saed::library::builtInPhases();
    std::size_t al = 0;
    while (phases[al].name != "Al") ++al;
    // [0 0 1] of Al drawn 4 % longer along 30 degrees: a square net only once that is taken off.
    saed::tools::CameraSpec spec = saed::tools::randomCameraSpec({0, 0, 1}, 5);
    spec.ellipticity = 0.04;
    spec.ellipseAxisDeg = 30;
    spec.rotationDeg = 0;
    const auto made = saed::tools::makeCameraImage(phases[al], spec);
    ASSERT_TRUE(made);
    showOn(0);
    ASSERT_TRUE(window.imageMeasurement()->openPath(writeImage(made->raster)));
    saed::measure::ChosenCalibration chosen;
    chosen.name = QStringLiteral("tem");
    chosen.perPixel = made->trueCalibration * (1 + spec.ellipticity / 2) / std::sqrt(1 + spec.ellipticity);
    chosen.distortion = {1 + spec.ellipticity, spec.ellipseAxisDeg};
    window.imageMeasurement()->setChosenCalibration(chosen);
    QTest::mouseClick(panel().identifyButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForRun());
    ASSERT_TRUE(panel().outcome());
    const auto& outcome = *panel().outcome();
    EXPECT_EQ(outcome.settings.calibration, chosen.perPixel);
    EXPECT_EQ(outcome.settings.removeDistortion, chosen.distortion);
    EXPECT_NEAR(outcome.result.net.angleDeg(), 90, 0.5);
    EXPECT_LT(std::abs(outcome.result.net.lengthA() / outcome.result.net.lengthB() - 1), 0.01);
    // The table gets R1 and R2 as the image shows them, and the measurement takes the distortion
    // out of them again: equal lengths, as the undistorted net's.
    QTest::mouseClick(panel().fillButton(), Qt::LeftButton);
    EXPECT_NEAR(model.value(saed::model::Field::LengthR1) / model.value(saed::model::Field::LengthR2), 1, 0.01);
}

}  // namespace

// With four indices on, a hexagonal candidate's zones and the labels over the image read
// [U V T W] and (h k i l); a cubic one's stay three.
TEST_F(IdentifyWindowTest, hexagonalCandidatesFollowTheFourIndexSetting) {
    const auto& phases = saed::library::builtInPhases();
    std::size_t mg = 0;
    while (phases[mg].name != "Mg") ++mg;
    saed::tools::CameraSpec spec = saed::tools::randomCameraSpec({1, 0, 0}, 5);
    spec.calibrationError = 0.01;
    const auto made = saed::tools::makeCameraImage(phases[mg], spec);
    ASSERT_TRUE(made);
    showOn(0);
    tickBuiltIn();
    ASSERT_TRUE(window.imageMeasurement()->openPath(writeImage(made->raster)));
    QTest::mouseClick(panel().identifyButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForRun());
    ASSERT_TRUE(panel().outcome());
    const auto& outcome = *panel().outcome();
    QTreeWidget& tree = *panel().candidateList();
    int row = -1;
    for (int i = 0; i < tree.topLevelItemCount() && row < 0; ++i)
        if (outcome.phases.phases[outcome.result.candidates[static_cast<std::size_t>(i)].phase].name == "Mg") row = i;
    ASSERT_GE(row, 0);
    tree.setCurrentItem(tree.topLevelItem(row));
    const saed::app::ImageView& view = *window.imagePage()->imageView();
    ASSERT_FALSE(view.candidatePredicted().empty());
    const auto count = [](const QString& text) { return text.split(u' ', Qt::SkipEmptyParts).size(); };
    EXPECT_EQ(count(tree.topLevelItem(row)->text(3)), 3);
    EXPECT_EQ(count(view.candidatePredicted()[0].label), 3);

    model.setFourIndex(true);
    EXPECT_EQ(count(tree.topLevelItem(row)->text(3)), 4) << tree.topLevelItem(row)->text(3).toStdString();
    EXPECT_EQ(count(tree.topLevelItem(row)->text(2)), 4);
    EXPECT_EQ(count(view.candidatePredicted()[0].label), 4);
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        const auto& cell = outcome.phases.phases[outcome.result.candidates[static_cast<std::size_t>(i)].phase].cell;
        if (!saed::core::isHexagonalCell(cell)) {
            EXPECT_EQ(count(tree.topLevelItem(i)->text(3)), 3) << i;
        }
    }
}
