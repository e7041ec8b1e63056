// SPDX-License-Identifier: BSD-3-Clause
// The window and saedindex-cli on the same image: the same families, misfits, matches and order,
// whatever the display setting.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "core/imagedisplay.h"
#include "indexing/indexingoperations.h"
#include "measure/imagemeasurement.h"
#include "app/simulationpanel.h"
#include "tests/programrun.h"
#include "tests/windowfixture.h"
#include "app/resultspanel.h"

namespace {

using saed::testdata::MainWindowTest;

const QString kSample = QStringLiteral(SAED_SOURCE_DIR "/samples/al-011-pattern.tif");

// The family lines of `saedindex-cli index --families --format tsv`, each split into its cells.
QList<QStringList> cliFamilies() {
    const saed::testdata::ProgramRun cli = saed::testdata::runCliProgram(
        {QStringLiteral("index"), QStringLiteral("--image"), kSample, QStringLiteral("--auto"), QStringLiteral("--cell"),
         QStringLiteral("0.40495,0.40495,0.40495,90,90,90"), QStringLiteral("--type"), QStringLiteral("face"),
         QStringLiteral("--range"), QStringLiteral("3"), QStringLiteral("--families"), QStringLiteral("--format"),
         QStringLiteral("tsv")},
        saed::testdata::ProgramOptions().systemLanguage());
    QList<QStringList> lines;
    if (cli.status != 0) return lines;
    for (const QString& line : cli.out.split(u'\n', Qt::SkipEmptyParts)) lines.push_back(line.split(u'\t'));
    return lines;
}

class AgreementTest : public MainWindowTest {
protected:
    // Runs the indexing as 标定计算 does and gives the families view's lines, each as its cells
    // (a missing value written "-" as the command line writes it).
    QList<QStringList> windowFamilies() {
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command6")), Qt::LeftButton);
        // The run, then the match against the image, each on a worker.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !window.indexingOperations()->isRunning() && !window.resultsPanel()->isMatching(); }, 60000));
        QList<QStringList> lines;
        const QTreeWidget& tree = *window.resultsPanel()->familyTree();
        for (int i = 0; i < tree.topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < tree.columnCount(); ++c)
                cells << tree.topLevelItem(i)->text(c).replace(QStringLiteral("—"), QStringLiteral("-"));
            lines.push_back(cells);
        }
        return lines;
    }
};

TEST_F(AgreementTest, windowAndCommandLineGiveTheSameFamiliesOnTheSample) {
    const QList<QStringList> cli = cliFamilies();
    ASSERT_GE(cli.size(), 1);
    ASSERT_EQ(cli.front().size(), 9);
    // The command line matched the right zone: a number, not "-".
    bool matched = false;
    cli.front()[8].toDouble(&matched);
    EXPECT_TRUE(matched) << cli.front().join(u' ').toStdString();

    showOn(1);
    saed::measure::ImageMeasurement& image = *window.imageMeasurement();
    ASSERT_TRUE(image.openPath(kSample));
    ASSERT_TRUE(image.autoSpots());
    const char* const cell[] = {"0.40495", "0.40495", "0.40495", "90", "90", "90"};
    for (int n = 0; n < 6; ++n) model.setText1(n, QString::fromLatin1(cell[n]));
    model.setText1(saed::model::Field::Range, QStringLiteral("3"));
    model.setCombo1(saed::core::LatticeType::FaceCentred);
    model.setFlag(saed::model::Flag::LatticeLocked, false);
    EXPECT_EQ(windowFamilies(), cli);

    // Another display changes the picture, never the spots matched.
    saed::core::DisplaySettings logarithmic = image.displaySettings();
    logarithmic.mapping = saed::core::DisplayMapping::Logarithmic;
    logarithmic.lowPercent = 5;
    image.setDisplaySettings(logarithmic);
    EXPECT_EQ(windowFamilies(), cli);

    // A segment count that is not a whole number from 1 is refused: no match, and the note says why.
    model.setText1(saed::model::Field::SegmentsR1, QStringLiteral("0"));
    emit image.measureDialogFinished();
    const QTreeWidget& tree = *window.resultsPanel()->familyTree();
    ASSERT_GT(tree.topLevelItemCount(), 0);
    for (int i = 0; i < tree.topLevelItemCount(); ++i) EXPECT_EQ(tree.topLevelItem(i)->text(8), QStringLiteral("—"));
    window.resultsPanel()->showGroup(1);
    bool told = false;
    for (const QLabel* label : window.simulationPanel()->findChildren<QLabel*>())
        told = told || label->text().contains(QStringLiteral("N 须为不小于 1 的整数"));
    EXPECT_TRUE(told);
}

}  // namespace
