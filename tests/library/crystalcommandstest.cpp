// SPDX-License-Identifier: BSD-3-Clause
// Crystal phases in the command line and the window: reflections, index by space group with
// double diffraction, CIF listing and screening, and CIF import into the library panel.
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "tests/clirun.h"
#include "tests/files.h"
#include "tests/fulldisk.h"
#include "tests/programrun.h"
#include "tests/windowfixture.h"

#include "app/form1.h"
#include "app/librarypanel.h"
#include "library/crystallibrary.h"
#include "library/libraryoperations.h"
#include "library/phasefile.h"
#include "library/phasetexts.h"
#include "library/phaselibrary.h"
#include "model/resulttablemodel.h"

using namespace saed;

namespace {

using testdata::CliRun;
using testdata::cliArgs;
using testdata::runCli;
using CrystalLibraryTest = testdata::MainWindowTest;

QString data(const char* name) { return QStringLiteral(SAED_TEST_DATA "/") + QString::fromLatin1(name); }

// α-Ti by space group, and its [1 1 -2 0] pattern with the forbidden (0 0 1).
QStringList titanium(const char* command) {
    return cliArgs(command) + cliArgs("--cell 0.29506,0.29506,0.46835,90,90,120 --spacegroup")
           << QStringLiteral("P 63/m m c");
}
const QStringList kTitaniumPattern = cliArgs("--range 3 --d 0.46835,0.255529,0.224315 --angles 90,28.62,61.38");

QJsonObject reflection(const QJsonArray& list, int h, int k, int l) {
    for (const QJsonValue& v : list)
        if (v[u"hkl"].toArray() == QJsonArray{h, k, l}) return v.toObject();
    return {};
}

}  // namespace

TEST(CrystalCommandsTest, titaniumBasalReflectionAbsentAllowedAndDouble) {
    const CliRun r = runCli(titanium("reflections") + cliArgs("--range 2 --format json"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray list = r.json()[u"reflections"].toArray();
    EXPECT_EQ(list.size(), 124);  // 5^3 - 1
    const QJsonObject basal = reflection(list, 0, 0, 1), second = reflection(list, 0, 0, 2);
    EXPECT_FALSE(basal[u"allowed"].toBool());
    EXPECT_TRUE(basal[u"double"].toBool());
    EXPECT_TRUE(basal[u"F"].isNull());  // no atoms given
    EXPECT_TRUE(second[u"allowed"].toBool());
    EXPECT_FALSE(second[u"double"].toBool());
    EXPECT_NEAR(second[u"d"].toDouble(), 0.234175, 1e-9);
    EXPECT_EQ(r.json()[u"spaceGroup"][u"number"].toInt(), 194);

    // With atoms from a CIF, |F| comes too: Si (2 2 2) is out only through |F| = 0.
    const CliRun si = runCli(cliArgs("reflections --format=json --cif") << data("si-uncertainty.cif"));
    ASSERT_EQ(si.status, 0) << si.err.toStdString();
    const QJsonArray siList = si.json()[u"reflections"].toArray();
    EXPECT_FALSE(reflection(siList, 2, 2, 2)[u"allowed"].toBool());
    EXPECT_LT(reflection(siList, 2, 2, 2)[u"F"].toDouble(), 1e-6);
    EXPECT_GT(reflection(siList, 1, 1, 1)[u"F"].toDouble(), 1);

    // Text output, a lattice type instead of a space group, and bad input.
    const CliRun typed = runCli("reflections --cell 0.4,0.4,0.4,90,90,90 --type face --range 1");
    ASSERT_EQ(typed.status, 0);
    EXPECT_TRUE(typed.out.contains(QStringLiteral("  -1  -1  -1  0.230940      yes         -\n")));
    EXPECT_TRUE(typed.out.contains(QStringLiteral("  -1   0   0  0.400000       no         -\n")));
    const CliRun unknown = runCli(cliArgs("reflections --cell 1,1,1,90,90,90 --spacegroup") << QStringLiteral("Q 9"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("unknown space group 'Q 9'")));
}

TEST(CrystalCommandsTest, indexBySpaceGroupFindsTheTextbookTitaniumPatternOnlyWithDouble) {
    const QStringList base = titanium("index") + kTitaniumPattern;
    const CliRun without = runCli(base);
    ASSERT_EQ(without.status, 0) << without.err.toStdString();
    EXPECT_TRUE(without.out.endsWith(QStringLiteral("rows: 0\n")));

    const CliRun text = runCli(base + cliArgs("--double"));
    ASSERT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("#001 ※")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("rows: 12\n※ 12 rows use a forbidden reflection")));

    const QJsonObject root = runCli(base + cliArgs("--double --format json")).json();
    EXPECT_EQ(root[u"input"][u"spaceGroup"].toString(), QStringLiteral("P 63/m m c (194)"));
    EXPECT_EQ(root[u"input"][u"type"].toInt(), 5);
    const QJsonArray rows = root[u"rows"].toArray();
    ASSERT_EQ(rows.size(), 12);
    for (const QJsonValue& row : rows) EXPECT_TRUE(row[u"double"].toBool());

    // The same phase from a CIF; --cif and --cell exclude each other.
    const CliRun cif = runCli((cliArgs("index --double --cif") << data("hexagonal-monoclinic.cif")) + kTitaniumPattern);
    ASSERT_EQ(cif.status, 0) << cif.err.toStdString();
    EXPECT_TRUE(cif.out.contains(QStringLiteral("rows: 12\n")));
    EXPECT_TRUE(cif.err.contains(QStringLiteral("holds 2 phases")));
    EXPECT_EQ(runCli(base + QStringList{QStringLiteral("--cif"), data("si-uncertainty.cif")}).status, 2);

    // A cubic cell under a hexagonal group is refused with what the group asks.
    const CliRun contradicting = runCli((cliArgs("index --cell 0.5,0.5,0.5,90,90,90 --spacegroup") << QStringLiteral("P 63/m m c"))
                                        + kTitaniumPattern);
    EXPECT_EQ(contradicting.status, 2);
    EXPECT_TRUE(contradicting.out.isEmpty());
    EXPECT_TRUE(contradicting.err.startsWith(QStringLiteral("saedindex-cli index: --cell does not fit space group P 63/m m c: "
                                                            "its cell has a = b, α = β = 90°, γ = 120°\n")))
        << contradicting.err.toStdString();
}

TEST(CrystalCommandsTest, libraryAndScreenFromCifFilesAndFolders) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"hexagonal-monoclinic.cif", "si-uncertainty.cif"})
        ASSERT_TRUE(QFile::copy(data(name), folder.filePath(QString::fromLatin1(name))));

    const CliRun listed = runCli(cliArgs("library --format json --cif") << folder.path());
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    const QJsonArray phases = listed.json()[u"phases"].toArray();
    ASSERT_EQ(phases.size(), 3);
    EXPECT_EQ(phases[0][u"name"].toString(), QStringLiteral("α-Ti"));
    EXPECT_EQ(phases[1][u"spaceGroup"][u"number"].toInt(), 14);
    EXPECT_EQ(phases[2][u"spaceGroup"][u"hm"].toString(), QStringLiteral("F d -3 m:1"));
    EXPECT_EQ(phases[2][u"atoms"].toInt(), 1);
    EXPECT_EQ(phases[2][u"cell"].toArray()[0].toDouble(), 0.54307);

    const CliRun screened = runCli((cliArgs("screen --double --format json --out") << folder.path() << QStringLiteral("--cif")
                                    << data("si-uncertainty.cif") << folder.path()) + kTitaniumPattern);
    ASSERT_EQ(screened.status, 0) << screened.err.toStdString();
    const QJsonArray ranked = screened.json()[u"phases"].toArray();
    ASSERT_EQ(ranked.size(), 4);
    EXPECT_EQ(ranked[0][u"record"].toInt(), 2);  // alpha-Ti, after the first file's Si
    EXPECT_EQ(ranked[0][u"best"][u"forms"].toArray()[0].toArray(), (QJsonArray{0, 0, 1}));
    EXPECT_TRUE(ranked[0][u"best"][u"double"].toBool());
    for (int i = 1; i < 4; ++i) EXPECT_TRUE(ranked[i][u"best"].isNull());
    EXPECT_EQ(ranked[1][u"record"].toInt(), 1);  // no solution: in screening order
    EXPECT_TRUE(QFile::exists(screened.json()[u"report"].toString()));

    // A file that is not CIF is named with the reason and skipped; the others are listed with
    // their sites and the atoms these fill in the cell. With nothing readable the status is 2.
    const QString bad = testdata::writeFileBytes(folder.filePath(QStringLiteral("broken.cif")), "data_x\nloop_\n_a\n'unterminated\n");
    ASSERT_FALSE(bad.isEmpty());
    const CliRun skipped = runCli(cliArgs("library --cif") << folder.path());
    EXPECT_EQ(skipped.status, 0);
    EXPECT_EQ(skipped.out.count(u'\n'), 3);
    EXPECT_TRUE(skipped.out.contains(QStringLiteral("\t1 atom site\t8 atoms in the cell\n"))) << skipped.out.toStdString();
    EXPECT_TRUE(skipped.err.contains(QStringLiteral("warning: skipped ") + folder.filePath(QStringLiteral("broken.cif")) +
                                     QStringLiteral(": not a readable CIF (line 4")))
        << skipped.err.toStdString();
    const CliRun skippedJson = runCli(cliArgs("library --format json --cif") << folder.path());
    EXPECT_EQ(skippedJson.json()[u"phases"].toArray()[2][u"atomsPerCell"].toInt(), 8);
    const CliRun failed = runCli(cliArgs("library --cif") << bad);
    EXPECT_EQ(failed.status, 2);
    EXPECT_TRUE(failed.out.isEmpty());
    EXPECT_TRUE(failed.err.contains(QStringLiteral("broken.cif"))) << failed.err.toStdString();
}

// Si [0 1 1] out to 7 1/nm (a = 0.54307 nm): by space group alone {111} (4), {022} (2), {311} (4)
// and {222} (4) with intensity 1, {200} gone by the d glide; from the CIF's atoms {222} goes too
// (|F| = 0 at 8a) and the intensities are |F|^2, alike within a form. Both keep the lattice
// type's JSON keys; --type does not go with a space group.
TEST(CrystalCommandsTest, simulateBySpaceGroupAndFromCif) {
    const QStringList zone = cliArgs("--zone 0,1,1 --max-g 7");
    const auto byForm = [](const QJsonArray& spots) {
        std::map<int, std::vector<double>> forms;  // h^2 + k^2 + l^2 -> intensities
        for (const QJsonValue& s : spots) {
            const QJsonArray hkl = s[u"hkl"].toArray();
            int squares = 0;
            for (int i = 0; i < 3; ++i) squares += hkl[i].toInt() * hkl[i].toInt();
            forms[squares].push_back(s[u"intensity"].toDouble());
        }
        return forms;
    };
    const CliRun group = runCli((cliArgs("simulate --cell 0.54307,0.54307,0.54307,90,90,90 --spacegroup")
                                 << QStringLiteral("F d -3 m")) + zone);
    ASSERT_EQ(group.status, 0) << group.err.toStdString();
    const QJsonObject plain = group.json();
    for (const char* key : {"zone", "g1", "maxG", "count", "spots"}) EXPECT_TRUE(plain.contains(QLatin1String(key))) << key;
    auto forms = byForm(plain[u"spots"].toArray());
    EXPECT_EQ(forms, (std::map<int, std::vector<double>>{{3, {1, 1, 1, 1}}, {8, {1, 1}}, {11, {1, 1, 1, 1}}, {12, {1, 1, 1, 1}}}));

    const CliRun cif = runCli((cliArgs("simulate --cif") << data("si-uncertainty.cif")) + zone);
    ASSERT_EQ(cif.status, 0) << cif.err.toStdString();
    EXPECT_EQ(cif.json()[u"count"].toInt(), 10);
    forms = byForm(cif.json()[u"spots"].toArray());
    ASSERT_EQ(forms.size(), 3u);
    EXPECT_EQ(forms.count(12), 0u);
    for (const auto& [squares, intensities] : forms)
        for (double i : intensities) EXPECT_NEAR(i, intensities[0], 1e-9 * intensities[0]) << squares;
    // |F| falls off with |g|: {111} strongest, and no spot left at the default 1.
    EXPECT_GT(forms[3][0], forms[8][0]);
    EXPECT_GT(forms[8][0], forms[11][0]);
    EXPECT_NE(forms[11][0], 1.0);

    const CliRun both = runCli((cliArgs("simulate --type face --cif") << data("si-uncertainty.cif")) + zone);
    EXPECT_EQ(both.status, 2);
    EXPECT_TRUE(both.out.isEmpty());
    EXPECT_TRUE(both.err.contains(QStringLiteral("--type"))) << both.err.toStdString();
}

// The real program, as a script on a machine without a display runs it: the picture's labels
// need fonts, which must not abort the program.
TEST(CrystalCommandsTest, simulatePngWithoutADisplay) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("a.png"));
    const saed::testdata::ProgramRun run = saed::testdata::runCliProgram(
        cliArgs("simulate --cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,1,1 --format png --out") << png,
        saed::testdata::ProgramOptions().noDisplay());
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    QImage image(png);
    EXPECT_EQ(image.size(), QSize(600, 600));
}

// Under a locale that writes a decimal comma the program's spacings keep their point.
TEST(CrystalCommandsTest, reflectionsKeepTheDecimalPointUnderACommaLocale) {
    qputenv("LC_NUMERIC", "de_DE.UTF-8");
    const saed::testdata::ProgramRun run =
        saed::testdata::runCliProgram(cliArgs("reflections --cell 0.29506,0.29506,0.46835,90,90,120 --type simple --range 1"));
    qunsetenv("LC_NUMERIC");
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("0.468350"))) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("0,468350"))) << run.out.toStdString();
}

TEST_F(CrystalLibraryTest, importedPhasesKeptAtomicallyAndBadCifsChangeNothing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString kept = folder.filePath(QStringLiteral("config/ImportedPhases.txt"));
    window.libraryPanel()->setImportedPhasesPath(kept);
    const int before = window.libraryPanel()->phaseTree().recordCount();
    EXPECT_EQ(before, 2 + static_cast<int>(window.libraryPanel()->libraryCrystals().size()));

    // "CIF文件…" asks for the files; two blocks are offered and the user keeps the second only.
    auto* importFiles = window.findChild<QAction*>(QStringLiteral("ImportCifFiles"));
    ASSERT_TRUE(importFiles);
    prompts.queueFilePaths({data("hexagonal-monoclinic.cif")});
    prompts.queueChoice(std::vector<bool>{false, true});
    importFiles->trigger();
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_EQ(prompts.questions()[0].kind, model::ScriptedPrompts::Kind::OpenFiles);
    EXPECT_EQ(prompts.questions()[0].title, QStringLiteral("导入CIF文件"));
    const QStringList offered = prompts.questions()[1].items;
    ASSERT_EQ(offered.size(), 2);
    EXPECT_TRUE(offered[0].startsWith(QStringLiteral("α-Ti")));
    EXPECT_TRUE(prompts.questions()[1].text.startsWith(QStringLiteral("读到2个数据块")));
    ASSERT_EQ(window.libraryPanel()->phaseTree().recordCount(), before + 1);
    EXPECT_EQ(window.libraryPanel()->phaseTree().field(before + 1, 1), "Baddeleyite");
    const library::ImportedPhasesRead read = library::readImportedPhases(kept);
    ASSERT_TRUE(read.error.isEmpty());
    ASSERT_EQ(read.phases.size(), 1u);
    EXPECT_EQ(read.phases[0], window.libraryPanel()->libraryCrystals().back());

    // Cancelling the blocks, or the same block again, adds nothing; a broken file is told by
    // name and changes nothing.
    importFiles->trigger();  // the file dialog cancelled
    prompts.queueFilePaths({data("hexagonal-monoclinic.cif")});
    importFiles->trigger();  // the blocks cancelled
    prompts.queueFilePaths({data("hexagonal-monoclinic.cif")});
    prompts.queueChoice(std::vector<bool>{false, true});
    importFiles->trigger();
    EXPECT_EQ(prompts.questions().size(), 7u);
    EXPECT_EQ(window.libraryPanel()->phaseTree().recordCount(), before + 1);
    prompts.clearQuestions();
    const QString bad = testdata::writeFileBytes(folder.filePath(QStringLiteral("broken.cif")), "data_x\n_cell_length_a 'open\n");
    const QByteArray bytes = testdata::fileBytes(kept);
    window.libraryPanel()->importCifPaths({bad});
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_TRUE(prompts.questions()[0].text.contains(QStringLiteral("broken.cif")));
    EXPECT_EQ(window.libraryPanel()->phaseTree().recordCount(), before + 1);
    EXPECT_EQ(testdata::fileBytes(kept), bytes);

    // An unreadable kept file is told at start and copied aside before the next import writes.
    ASSERT_FALSE(testdata::writeFileBytes(kept, "phase\nnot a phase file\n").isEmpty());
    testdata::MainWindow second;
    second.window.libraryPanel()->setImportedPhasesPath(kept);
    ASSERT_EQ(second.prompts.questions().size(), 1u);
    EXPECT_TRUE(second.prompts.questions()[0].text.contains(QStringLiteral("ImportedPhases.txt, line ")))
        << second.prompts.questions()[0].text.toStdString();
    second.window.libraryPanel()->importCifPaths({data("si-uncertainty.cif")});
    EXPECT_TRUE(QFile::exists(kept + QStringLiteral(".unreadable")));
    EXPECT_EQ(library::readImportedPhases(kept).phases.size(), 1u);
}

TEST(ImportedPhasesTest, twoWindowsKeepEachOthersPhasesAndAFullDiskKeepsTheFile) {
    struct Window {
        model::MainModel model;
        model::ScriptedPrompts prompts;
        std::vector<std::string> imported() const {
            std::vector<std::string> names;
            for (const library::CrystalPhase& p : library::phaseLibrary(model)->importedPhases()) names.push_back(p.name);
            return names;
        }
    };
    const auto open = [](Window& w, const QString& kept) {
        library::phaseLibrary(w.model)->setImportedPath(kept);
        ASSERT_TRUE(library::loadPhaseLibrary(w.model, w.prompts));
    };
    const auto inFile = [](const QString& kept) {
        std::vector<std::string> names;
        for (const library::CrystalPhase& p : library::readImportedPhases(kept).phases) names.push_back(p.name);
        return names;
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString kept = folder.filePath(QStringLiteral("ImportedPhases.txt"));
    Window a, b;
    open(a, kept);
    open(b, kept);

    // B imports silicon; A, which never saw it, then imports two phases: none is lost, and A
    // shows silicon too.
    library::importCifPaths(b.model, b.prompts, {data("si-uncertainty.cif")});
    ASSERT_EQ(b.imported().size(), 1u);
    const std::string silicon = b.imported()[0];
    a.prompts.queueChoice(std::vector<bool>{true, true});  // both blocks of the file
    library::importCifPaths(a.model, a.prompts, {data("hexagonal-monoclinic.cif")});
    a.prompts.clearQuestions();
    const std::vector<std::string> three{silicon, "α-Ti", "Baddeleyite"};
    EXPECT_EQ(inFile(kept), three);
    EXPECT_EQ(a.imported(), three);

    // B deletes silicon, the last record it shows: the two phases A imported stay.
    const int node = library::phaseLibrary(b.model)->tree().find("bb" + std::to_string(library::phaseLibrary(b.model)->tree().recordCount()));
    b.prompts.queueConfirm(true);
    EXPECT_EQ(library::removeImportedPhases(b.model, b.prompts, node), 1);
    EXPECT_EQ(inFile(kept), (std::vector<std::string>{"α-Ti", "Baddeleyite"}));
    EXPECT_EQ(b.imported(), inFile(kept));
    EXPECT_TRUE(a.prompts.questions().empty());

    // On a full disk the import is refused with the system's reason and the file keeps its bytes.
    testdata::FullDisk disk;
    if (!disk.problem().isEmpty()) GTEST_SKIP() << disk.problem().toStdString();
    Window c;
    const QString full = disk.filePath(QStringLiteral("ImportedPhases.txt"));
    open(c, full);
    library::importCifPaths(c.model, c.prompts, {data("si-uncertainty.cif")});
    const QByteArray bytes = testdata::fileBytes(full);
    disk.fill(1);  // room for the lock file only
    const int records = library::phaseLibrary(c.model)->tree().recordCount();
    c.prompts.queueChoice(std::vector<bool>{true, true});
    library::importCifPaths(c.model, c.prompts, {data("hexagonal-monoclinic.cif")});
    ASSERT_EQ(c.prompts.questions().size(), 2u);  // the blocks, then the refusal
    EXPECT_TRUE(c.prompts.questions()[1].text.contains(QStringLiteral("No space left on device")))
        << c.prompts.questions()[1].text.toStdString();
    EXPECT_EQ(testdata::fileBytes(full), bytes);
    EXPECT_EQ(library::phaseLibrary(c.model)->tree().recordCount(), records);
}

TEST_F(CrystalLibraryTest, spaceGroupOnSelectionImportedPhasesRemovedAfterConfirmingAndToldApartInTheRanking) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString kept = folder.filePath(QStringLiteral("ImportedPhases.txt"));
    window.libraryPanel()->setImportedPhasesPath(kept);
    const int before = window.libraryPanel()->phaseTree().recordCount();
    prompts.queueChoice(std::vector<bool>{true, true});
    window.libraryPanel()->importCifPaths({data("hexagonal-monoclinic.cif")});
    prompts.clearQuestions();
    ASSERT_EQ(window.libraryPanel()->phaseTree().recordCount(), before + 2);
    QTreeWidget* tree = window.libraryPanel()->treeView1();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    auto* groupLabel = window.findChild<QLabel*>(QStringLiteral("TreeSpaceGroup"));
    ASSERT_TRUE(groupLabel);

    // Selecting a phase shows its space group before it is loaded; a nine-field phase has none.
    const library::CrystalPhase baddeleyite = window.libraryPanel()->libraryCrystals().back();
    const QString group = QString::fromStdString(library::spaceGroupLabel(baddeleyite));
    ASSERT_FALSE(group.isEmpty());
    tree->setCurrentItem(root->child(root->childCount() - 1));
    EXPECT_EQ(groupLabel->text(), QStringLiteral("空间群：") + group);
    EXPECT_TRUE(model.spaceGroupText().isEmpty());
    root->child(0)->child(0)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(groupLabel->text(), QStringLiteral("空间群：无（按点阵类型消光）"));

    // A built-in phase stays: the Delete key asks nothing and says why.
    QSignalSpy status(&model, &model::MainModel::statusMessage);
    tree->setCurrentItem(root->child(2));
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_TRUE(prompts.questions().empty());
    EXPECT_EQ(window.libraryPanel()->phaseTree().recordCount(), before + 2);
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toString(), QStringLiteral("内置物相不能删除，只能删除导入的物相。"));

    // An imported phase goes only once the user confirms; the kept file is written again.
    tree->setCurrentItem(root->child(root->childCount() - 1));
    prompts.queueConfirm(false);
    QTest::keyClick(tree, Qt::Key_Delete);
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].kind, model::ScriptedPrompts::Kind::Confirm);
    EXPECT_TRUE(prompts.questions()[0].text.contains(QStringLiteral("“Baddeleyite”")));
    EXPECT_EQ(library::readImportedPhases(kept).phases.size(), 2u);
    prompts.queueConfirm(true);
    QTest::keyClick(tree, Qt::Key_Delete);
    EXPECT_EQ(window.libraryPanel()->phaseTree().recordCount(), before + 1);
    const library::ImportedPhasesRead left = library::readImportedPhases(kept);
    ASSERT_EQ(left.phases.size(), 1u);
    EXPECT_EQ(left.phases[0], window.libraryPanel()->libraryCrystals().back());
    EXPECT_NE(left.phases[0].name, baddeleyite.name);

    // The ranking tells an imported phase from a built-in one by its source.
    window.findChild<QRadioButton*>(QStringLiteral("Option1_1"))->click();
    root = tree->topLevelItem(0);
    root->child(2)->setCheckState(0, Qt::Checked);
    root->child(root->childCount() - 1)->setCheckState(0, Qt::Checked);
    QSignalSpy finished(window.libraryPanel()->screeningRun(), &analysis::ScreeningRun::finished);
    window.findChild<QPushButton*>(QStringLiteral("Command13"))->click();
    ASSERT_TRUE(finished.wait(10000));
    ASSERT_TRUE(window.libraryPanel()->rankingWindow());
    auto* ranking = window.libraryPanel()->rankingWindow()->findChild<QTableWidget*>(QStringLiteral("RankingTable"));
    ASSERT_EQ(ranking->rowCount(), 2);
    EXPECT_EQ(ranking->horizontalHeaderItem(2)->text(), QStringLiteral("来源"));
    // No pattern was measured: both have no solution and keep the screening order.
    EXPECT_EQ(ranking->item(0, 2)->text(), QStringLiteral("内置"));
    EXPECT_EQ(ranking->item(1, 2)->text(), QStringLiteral("导入"));
    EXPECT_TRUE(ranking->item(1, 1)->text().startsWith(QString::fromStdString(left.phases[0].name)));
    // The (empty) report's path went to the status bar.
    EXPECT_TRUE(QFile::remove(status.last().at(0).toString()));
}

TEST(ResultTableMarkTest, doubleDiffractionRowsMarkedOnScreenOnly) {
    model::ResultTableModel table;
    indexing::ResultRow plain{{1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0.3, 0.3, 0.2}, {90, 45, 45}, false};
    indexing::ResultRow twice = plain;
    twice.doubleDiffraction = true;
    table.buildResults({plain, twice}, QColor(225, 0, 0));
    EXPECT_FALSE(table.usesDoubleDiffraction(0));
    EXPECT_TRUE(table.usesDoubleDiffraction(1));
    EXPECT_EQ(table.cell(1, 0), QStringLiteral("第002组"));  // reports keep their bytes
    EXPECT_EQ(table.data(table.index(1, 0)).toString(), QStringLiteral("第002组 ※"));
    EXPECT_EQ(table.data(table.index(0, 0)).toString(), QStringLiteral("第001组"));
    EXPECT_FALSE(table.data(table.index(1, 5), Qt::ToolTipRole).toString().isEmpty());
    EXPECT_FALSE(table.data(table.index(0, 5), Qt::ToolTipRole).isValid());
}
