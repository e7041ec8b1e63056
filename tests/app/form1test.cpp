// SPDX-License-Identifier: BSD-3-Clause
#include "app/form1.h"
#include "app/elidedlabel.h"
#include "app/librarypanel.h"
#include "app/resultspanel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QFileInfo>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>
#include <QComboBox>
#include <QFile>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>  // for any_of, sort
#include <cstdlib>    // for abs
#include <new>
#include <stdexcept>

#include "app/guardedapplication.h"
#include "app/programmenu.h"
#include "app/indexnotation.h"
#include "app/simulationpanel.h"
#include "app/translations.h"
#include "indexing/indexingoperations.h"
#include "indexing/resultexport.h"
#include "measure/imagemeasurement.h"
#include "store/reports.h"
#include "tests/fulldisk.h"
#include "analysis/screening.h"
#include "model/language.h"
#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "model/texts.h"
#include "tests/windowfixture.h"
#include "tests/files.h"

using namespace saed::app;
using namespace saed::model;
using Form1Test = saed::testdata::MainWindowTest;

TEST_F(Form1Test, startStateAndFieldsBoundBothWays) {
    QStringList tabs;
    for (int i = 0; i < window.tabs()->count(); ++i) tabs << window.tabs()->tabText(i);
    EXPECT_EQ(tabs.join(u'|'), QStringLiteral("斑点测量|标定计算|衍射模拟|倾转与取向"));
    EXPECT_EQ(window.combo1()->currentText(), QStringLiteral("简单点阵"));
    ASSERT_EQ(window.combo1()->count(), 6);
    EXPECT_EQ(window.combo1()->itemText(5), QStringLiteral("按空间群"));
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::Simple);
    EXPECT_FALSE(window.text1(0)->isEnabled());
    EXPECT_FALSE(window.text6()->isEnabled());
    EXPECT_TRUE(window.text1(21)->isEnabled());
    EXPECT_EQ(window.text1(21)->text(), QStringLiteral("5"));

    window.show();
    QLineEdit* range = window.text1(21);
    range->selectAll();
    QTest::keyClicks(range, QStringLiteral("12"));
    EXPECT_EQ(model.Text1(21), QStringLiteral("12"));
    model.setText1(24, QStringLiteral("141.42"));
    EXPECT_EQ(window.text1(24)->text(), QStringLiteral("141.42"));
    model.setFlag(Flag::LatticeLocked, false);
    EXPECT_TRUE(window.text1(0)->isEnabled());
    EXPECT_TRUE(window.text6()->hasFrame());

    // The name field grows with its name.
    const int narrow = window.text6()->width();
    model.setText6(QStringLiteral("a much longer phase name than before"));
    EXPECT_EQ(window.text6()->text(), QStringLiteral("a much longer phase name than before"));
    EXPECT_GT(window.text6()->width(), narrow);

    model.setSlider(2, 77);
    EXPECT_EQ(window.slider(2)->value(), 77);
    model.setCombo1(saed::core::LatticeType::Rhombic);
    EXPECT_EQ(window.combo1()->currentText(), QStringLiteral("菱形点阵"));
    EXPECT_TRUE(window.combo1()->itemData(4, Qt::ToolTipRole).toString().contains(QStringLiteral("“按空间群”")));
    window.combo1()->setCurrentIndex(2);
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::BodyCentred);
}

TEST_F(Form1Test, longValuesNeverWidenTheWindowAndShowWholeInTooltips) {
    showOn(1);
    // Every control has room on a 1024 x 768 screen, title bar and task bar left aside.
    EXPECT_LE(window.minimumSizeHint().width(), 1024);
    EXPECT_LE(window.minimumSizeHint().height(), 700);
    const int width = window.width();
    const int minimumWidth = window.minimumSizeHint().width();

    // The cubic example with a huge first angle: the run writes Label5 about 400 characters long.
    saed::testdata::fillCubicExample(model);
    model.setText1(33, QStringLiteral("1e308"));
    window.indexingOperations()->RunIndexing();
    const QString summary = model.caption(Caption::Label5);
    ASSERT_GT(summary.size(), 300);
    QApplication::processEvents();
    EXPECT_EQ(window.width(), width);
    EXPECT_EQ(window.minimumSizeHint().width(), minimumWidth);
    auto* label5 = window.findChild<QLabel*>(QStringLiteral("Label5"));
    ASSERT_NE(label5, nullptr);
    EXPECT_TRUE(label5->text().endsWith(QChar(0x2026))) << label5->text().toStdString();
    // The tooltip wraps: it may break after each thousands separator.
    QTextDocument tip;
    tip.setHtml(label5->toolTip());
    EXPECT_EQ(tip.toPlainText().remove(QChar(0x200B)), summary);
    // A short text shows whole, with no tooltip.
    model.setCaption(Caption::Label5, QStringLiteral("0.5000000"));
    EXPECT_EQ(label5->text(), QStringLiteral("0.5000000"));
    EXPECT_TRUE(label5->toolTip().isEmpty());

    // The measured fields keep their width: a value an operation writes shows to 0.01 px (an
    // angle to 0.0001°, rounded on its decimal digits), the whole value in the tooltip, the
    // model and the run; what the user types stays as typed.
    const QString longLength = QStringLiteral("256.61234567890123456789");
    model.setText1(24, longLength);
    EXPECT_EQ(window.text1(24)->text(), QStringLiteral("256.61"));
    EXPECT_EQ(window.text1(24)->toolTip(), longLength);
    EXPECT_EQ(model.Text1(24), longLength);
    EXPECT_EQ(window.width(), width);
    const std::pair<int, const char*> shown[] = {{33, "54.73561031724535"}, {33, "54.7356"}, {34, "0.00005"},
                                                 {25, "99.995"}, {25, "0.125"}, {25, "1e308"}, {25, "12.5abc"}};
    const char* expected[] = {"54.7356", "54.7356", "0.0001", "100.00", "0.13", "1e308", "12.5abc"};
    for (std::size_t i = 0; i < std::size(shown); ++i) {
        model.setText1(shown[i].first, QString::fromLatin1(shown[i].second));
        EXPECT_EQ(window.text1(shown[i].first)->text(), QString::fromLatin1(expected[i])) << shown[i].second;
    }
    saed::testdata::fillCubicExample(model);
    model.setText1(24, QStringLiteral("100.004"));  // d1 = 1 * (100 / 2) / 100.004 nm
    EXPECT_EQ(window.text1(24)->text(), QStringLiteral("100.00"));
    window.indexingOperations()->RunIndexing();
    EXPECT_TRUE(model.caption(Caption::Label5).startsWith(QStringLiteral("0.4999800 "))) << model.caption(Caption::Label5).toStdString();
    QLineEdit* r1 = window.text1(24);
    r1->setFocus();
    r1->selectAll();
    QTest::keyClicks(r1, QStringLiteral("100.004"));
    EXPECT_EQ(r1->text(), QStringLiteral("100.004"));
    EXPECT_EQ(model.Text1(24), QStringLiteral("100.004"));
}

// A Si [0 1 1] pattern: a = 0.5431021 nm; scale bar 2 1/nm over 100 px: |g111| = sqrt(3) / a is
// 159.459 px and |g022| = sqrt(8) / a is 260.395 px. g1 = (1 1 -1), g2 = (-1 1 -1), g3 = (0 2 -2).
static void typeSiliconPattern(MainModel& model) {
    const char* fields[][2] = {{"21", "2"},  {"22", "2"},  {"23", "100"}, {"24", "159.459"}, {"25", "159.459"},
                               {"26", "260.395"}, {"30", "1"}, {"31", "1"}, {"32", "1"}, {"33", "70.5288"},
                               {"34", "35.2644"}, {"35", "35.2644"}};
    for (const auto& f : fields) model.setText1(QString::fromLatin1(f[0]).toInt(), QString::fromLatin1(f[1]));
}

// A screening leaves the last phase's rows in the table; the families view follows them. A run
// refused for its input and a new image empty the table: the families view and the match note
// with it, never the families of rows that are gone.
TEST_F(Form1Test, screeningFillsTheFamiliesOfItsRows) {
    typeSiliconPattern(model);
    const QList<QTreeWidgetItem*> si =
        window.libraryPanel()->treeView1()->findItems(QStringLiteral("Si"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(si.size(), 1);
    ASSERT_GT(si[0]->childCount(), 0);
    si[0]->child(0)->setCheckState(0, Qt::Checked);
    QSignalSpy finished(window.libraryPanel()->screeningRun(), &saed::analysis::ScreeningRun::finished);
    window.findChild<QPushButton*>(QStringLiteral("Command13"))->click();
    ASSERT_TRUE(finished.wait(20000));
    const int rows = model.resultTable()->rowCount();
    ASSERT_GT(rows, 0);
    int familyRows = 0;
    for (int i = 0; i < window.resultsPanel()->familyTree()->topLevelItemCount(); ++i)
        familyRows += window.resultsPanel()->familyTree()->topLevelItem(i)->text(6).toInt();
    EXPECT_EQ(familyRows, rows);

    QTreeWidget* families = window.resultsPanel()->familyTree();
    QSignalSpy notes(window.resultsPanel(), &ResultsPanel::noteChanged);
    model.setText1(Field::LengthR1, QStringLiteral("x"));
    window.indexingOperations()->startRunFromButton();
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_EQ(families->topLevelItemCount(), 0);
    ASSERT_FALSE(notes.isEmpty());
    EXPECT_TRUE(notes.last().at(0).toString().isEmpty());

    model.setText1(Field::LengthR1, QStringLiteral("159.459"));
    QSignalSpy ran(window.indexingOperations(), &saed::indexing::IndexingOperations::runFinished);
    window.indexingOperations()->startRunFromButton();
    ASSERT_TRUE(ran.wait(20000));
    ASSERT_GT(families->topLevelItemCount(), 0);
    notes.clear();
    ASSERT_TRUE(window.imageMeasurement()->openPath(QStringLiteral(SAED_SAMPLES "/al-011-pattern.tif")));
    EXPECT_EQ(families->topLevelItemCount(), 0);
    ASSERT_FALSE(notes.isEmpty());
    EXPECT_TRUE(notes.last().at(0).toString().isEmpty());
}

// A Si [0 1 1] pattern screened against Si and Ge: opening Si from the ranking list shows it in
// the simulation tab by its space group, along the zone of its best family, without {200} and
// {222}; a lattice field changed in the window takes the tab back to the window's phase.
TEST_F(Form1Test, rankedPhaseOpensInTheSimulationTab) {
    typeSiliconPattern(model);
    const auto& crystals = window.libraryPanel()->libraryCrystals();
    const auto recordOf = [&crystals](const char* name) {
        for (std::size_t i = 0; i < crystals.size(); ++i)
            if (crystals[i].name == name) return 3 + static_cast<int>(i);  // after the two nine-field records
        return -1;
    };
    const int si = recordOf("Si"), ge = recordOf("Ge");
    ASSERT_GT(si, 0);
    ASSERT_GT(ge, 0);
    window.findChild<QRadioButton*>(QStringLiteral("Option1_1"))->click();
    for (int record : {si, ge}) {
        const int node = window.libraryPanel()->phaseTree().find("bb" + std::to_string(record));
        ASSERT_GE(node, 0);
        for (QTreeWidgetItemIterator it(window.libraryPanel()->treeView1()); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == node) (*it)->setCheckState(0, Qt::Checked);
    }
    QSignalSpy status(&model, &MainModel::statusMessage);
    QSignalSpy finished(window.libraryPanel()->screeningRun(), &saed::analysis::ScreeningRun::finished);
    window.findChild<QPushButton*>(QStringLiteral("Command13"))->click();
    ASSERT_TRUE(finished.wait(20000));  // the phases run on the worker
    for (const QList<QVariant>& message : status) QFile::remove(message.at(0).toString());  // the report
    ASSERT_NE(window.libraryPanel()->rankingWindow(), nullptr);

    window.tabs()->setCurrentIndex(0);
    emit window.phaseSimulationRequested(si);
    SimulationPanel* panel = window.simulationPanel();
    EXPECT_EQ(window.tabs()->currentWidget(), panel);
    EXPECT_EQ(panel->chosenType(), saed::core::LatticeType::SpaceGroup);
    saed::core::Uvw zone = panel->zone();
    for (auto& v : zone) v = std::abs(v);
    std::sort(zone.begin(), zone.end());
    EXPECT_EQ(zone, (saed::core::Uvw{0, 1, 1}));
    ASSERT_TRUE(panel->pattern());
    EXPECT_TRUE(panel->statusText().contains(QStringLiteral("F d -3 m")));
    for (const saed::simulation::Spot& s : panel->pattern()->spots) {
        const int squares = s.hkl[0] * s.hkl[0] + s.hkl[1] * s.hkl[1] + s.hkl[2] * s.hkl[2];
        EXPECT_TRUE(squares != 4 && squares != 12) << s.hkl[0] << s.hkl[1] << s.hkl[2];
    }
    const QString siText = panel->findChild<QLabel*>(QStringLiteral("SimulationPhase"))->text();
    EXPECT_TRUE(siText.contains(QStringLiteral("Si"))) << siText.toStdString();

    model.setCombo1(saed::core::LatticeType::FaceCentred);
    model.setText1(0, QStringLiteral("0.405"));
    EXPECT_EQ(panel->chosenType(), saed::core::LatticeType::FaceCentred);
    EXPECT_TRUE(panel->findChild<QLabel*>(QStringLiteral("SimulationPhase"))->text().contains(QStringLiteral("0.405")));
}

TEST(TranslationsTest, qtButtonsAndDialogsReadInChinese) {
    ASSERT_TRUE(installQtTranslations(*qApp)) << "Qt's translations (qt6-translations-l10n) are not installed";
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), QStringLiteral("你真的要退出吗? "),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    QInputDialog prompt;
    prompt.show();
    QStringList buttons;
    for (const QPushButton* button : prompt.findChildren<QPushButton*>()) buttons << button->text();
    EXPECT_TRUE(buttons.contains(QStringLiteral("确定"))) << buttons.join(u',').toStdString();
    prompt.hide();

    // Another language replaces the Chinese texts; one Qt does not have leaves them English.
    EXPECT_FALSE(installQtTranslations(*qApp, QLocale(QLocale::Zulu, QLocale::SouthAfrica)));
    QMessageBox english(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok);
    EXPECT_EQ(english.button(QMessageBox::Ok)->text().remove(u'&'), QStringLiteral("OK"));
}

namespace {

bool hasChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

// Every text a widget of `window` shows or offers: titles, captions, tooltips, prefixes, combo
// entries, tab titles, tree headers and menu entries, each with where it was found.
QStringList shownTexts(const Form1& window) {
    QStringList texts;
    auto add = [&texts](const QObject* where, const QString& text) {
        texts << QString::fromLatin1(where->metaObject()->className()) + u'/' + where->objectName() +
                     QStringLiteral(": ") + text;
    };
    add(&window, window.windowTitle());
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        add(w, w->toolTip());
        add(w, w->windowTitle());
        if (const auto* label = qobject_cast<const QLabel*>(w)) add(w, label->text());
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) add(w, button->text());
        if (const auto* box = qobject_cast<const QGroupBox*>(w)) add(w, box->title());
        if (const auto* spin = qobject_cast<const QDoubleSpinBox*>(w)) add(w, spin->prefix() + spin->suffix());
        if (const auto* spin = qobject_cast<const QSpinBox*>(w)) add(w, spin->prefix() + spin->suffix());
        if (const auto* combo = qobject_cast<const QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i) add(w, combo->itemText(i));
        if (const auto* tabs = qobject_cast<const QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i) add(w, tabs->tabText(i));
        if (const auto* tree = qobject_cast<const QTreeWidget*>(w))
            for (int c = 0; c < tree->columnCount(); ++c)
                add(w, tree->headerItem()->text(c) + u' ' + tree->headerItem()->toolTip(c));
    }
    // The language menu names each language in its own words.
    for (const QAction* action : window.findChildren<QAction*>())
        if (!action->objectName().startsWith(u"Language_")) add(action, action->text() + u' ' + action->toolTip());
    return texts;
}

// Makes the English catalogues current for one test and puts the Chinese source texts back.
struct EnglishForOneTest {
    EnglishForOneTest() { ok = installProgramTranslations(*qApp, Language::English); }
    ~EnglishForOneTest() { installProgramTranslations(*qApp, Language::Chinese); }
    bool ok = false;
};

// The window made after the English catalogues are installed.
class Form1EnglishTest : protected EnglishForOneTest, public Form1Test {};

}  // namespace

TEST_F(Form1EnglishTest, theEnglishWindowShowsNoChineseAndStillFits) {
    ASSERT_TRUE(ok);
    showOn(1);

    const QStringList texts = shownTexts(window);
    QStringList chinese;
    for (const QString& text : texts)
        if (hasChinese(text)) chinese << text;
    EXPECT_TRUE(chinese.isEmpty()) << chinese.join(u'\n').toStdString();
    // The check looks where the texts are: the tabs, a caption from the model, a lattice type.
    EXPECT_EQ(window.tabs()->tabText(1), QStringLiteral("Indexing"));
    EXPECT_TRUE(texts.contains(QStringLiteral("QPushButton/Command6: Index"))) << texts.filter(QStringLiteral("Command6")).join(u' ').toStdString();
    EXPECT_EQ(window.combo1()->itemText(2), QStringLiteral("Body-centred"));
    // The result table's headers; the model keeps its captions and entries in Chinese.
    for (int c = 0; c < ResultTableModel::kAllColumns; ++c) {
        for (const int role : {Qt::DisplayRole, Qt::ToolTipRole})
            EXPECT_FALSE(hasChinese(model.resultTable()->headerData(c, Qt::Horizontal, role).toString())) << c;
    }
    EXPECT_EQ(model.caption(Caption::Command6), QStringLiteral("标定计算"));
    EXPECT_EQ(model.Combo1Items().at(2), QStringLiteral("体心点阵"));

    // The request to name a typed-in phase reads in English; the model, and so a report, keep it.
    model.setFlag(Flag::LatticeLocked, false);
    model.setText6(phaseNameRequest());
    EXPECT_EQ(window.text6()->text(), QStringLiteral("Enter the name of the phase"));
    EXPECT_EQ(model.Text6(), QStringLiteral("请输入物相名称"));
    model.setFlag(Flag::LatticeLocked, true);  // as after a run
    EXPECT_EQ(window.text6()->text(), QStringLiteral("Enter the name of the phase"));
    model.setFlag(Flag::LatticeLocked, false);

    // English words are longer: the window still fits a 1024 x 768 screen, with a crystal phase's
    // long label too, whose lattice type reads in English while the model keeps it in Chinese.
    model.setText6(QStringLiteral("CuO (tenorite)  底心点阵 C 1 2/c 1 (15)  c/a1.0950"));
    model.setFlag(Flag::LatticeLocked, true);
    EXPECT_EQ(window.text6()->text(), QStringLiteral("CuO (tenorite)  Base-centred C 1 2/c 1 (15)  c/a1.0950"));
    EXPECT_EQ(window.text6()->toolTip(), window.text6()->text());
    QApplication::processEvents();
    EXPECT_LE(window.minimumSizeHint().width(), 1024);
    EXPECT_LE(window.minimumSizeHint().height(), 700);
}

TEST(TranslationsTest, theLanguageChosenInTheWindowIsKeptForTheNextStart) {
    QStandardPaths::setTestModeEnabled(true);
    const QString path = settingsPath();
    QFile::remove(path);
    EXPECT_FALSE(savedLanguage(path));
    EXPECT_EQ(startLanguage(std::nullopt, path), systemLanguage());
    EXPECT_EQ(startLanguage(Language::English, path), Language::English);

    MainModel model;
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
    auto* english = window.findChild<QAction*>(QStringLiteral("Language_en"));
    auto* chinese = window.findChild<QAction*>(QStringLiteral("Language_zh"));
    ASSERT_TRUE(english && chinese);
    EXPECT_EQ(english->text(), QStringLiteral("English"));
    EXPECT_EQ(chinese->text(), QStringLiteral("中文"));
    english->trigger();
    // This start speaks Chinese: the choice applies at the next one, and the user is told.
    EXPECT_EQ(savedLanguage(path), Language::English);
    EXPECT_EQ(startLanguage(std::nullopt, path), Language::English);
    EXPECT_EQ(startLanguage(Language::Chinese, path), Language::Chinese);
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_TRUE(prompts.questions()[0].text.contains(QStringLiteral("English")));
    chinese->trigger();
    EXPECT_EQ(savedLanguage(path), Language::Chinese);
    EXPECT_EQ(prompts.questions().size(), 1u);

    // An unknown code is no choice; a settings file that cannot be written is told.
    QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("language"), QStringLiteral("de"));
    EXPECT_FALSE(savedLanguage(path));
    QTemporaryDir dir;
    const QString blocked = dir.filePath(QStringLiteral("file/saedindex.ini"));
    QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
    EXPECT_FALSE(saveLanguage(Language::English, blocked));
    QFile::remove(path);
}

TEST(GuardedApplicationTest, anExceptionIsToldAndTheEventLoopGoesOn) {
    ScriptedPrompts prompts;
    EXPECT_TRUE(deliverGuarded([] { return true; }, prompts));
    EXPECT_TRUE(prompts.questions().empty());
    EXPECT_FALSE(deliverGuarded([]() -> bool { throw std::bad_alloc(); }, prompts));
    EXPECT_FALSE(deliverGuarded([]() -> bool { throw std::runtime_error("bad index 7"); }, prompts));
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_TRUE(prompts.questions()[0].text.contains(QStringLiteral("内存不足")));
    EXPECT_TRUE(prompts.questions()[1].text.contains(QStringLiteral("bad index 7")));
}

// Magnesium: 1/d of (-1 0 0), (0 0 -2) and (-1 0 -2) at 10 px per 1/nm, with their angles.
static void typeMagnesiumPattern(MainModel& model) {
    model.setFlag(Flag::LatticeLocked, false);
    const char* fields[][2] = {{"0", "0.32094"}, {"1", "0.32094"}, {"2", "0.52105"}, {"3", "90"},  {"4", "90"},
                               {"5", "120"},     {"21", "3"},      {"22", "10"},     {"23", "100"}, {"24", "35.979"},
                               {"25", "38.382"}, {"26", "52.609"}, {"30", "1"},      {"31", "1"},  {"32", "1"},
                               {"33", "90"},     {"34", "43.15"},  {"35", "46.85"}};
    for (const auto& f : fields) model.setText1(QString::fromLatin1(f[0]).toInt(), QString::fromLatin1(f[1]));
}

// One switch beside γ sets three or four indices for every view of a hexagonal cell; the
// report and the CSV stay byte for byte what they are with three, and the calculator refuses
// an i that is not -(h + k).
TEST_F(Form1Test, fourIndicesOnDisplayForAHexagonalCellWhileFilesKeepThree) {
    showOn(1);
    typeMagnesiumPattern(model);
    window.indexingOperations()->RunIndexing();
    ResultTableModel& table = *model.resultTable();
    ASSERT_EQ(table.rowCount(), 12);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const saed::store::ReportTarget target{{dir.path()}, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))};
    const auto report = [&] { return saed::testdata::fileBytes(saed::store::exportResultReport(model, prompts, target).value_or(QString())); };
    const QByteArray threeReport = report();
    const QString threeCsv = saed::indexing::resultCsv(table);
    ASSERT_FALSE(threeReport.isEmpty());
    EXPECT_EQ(table.columnCount(), ResultTableModel::kAllColumns);

    auto* setting = window.findChild<QCheckBox*>(QStringLiteral("FourIndexSetting"));
    ASSERT_NE(setting, nullptr);
    ASSERT_TRUE(setting->isEnabled());
    setting->click();
    ASSERT_TRUE(model.fourIndex());
    EXPECT_TRUE(window.simulationPanel()->fourIndex());  // one setting, not one per tab
    ASSERT_EQ(table.columnCount(), ResultTableModel::kAllColumns + 1);
    const int r = table.rowOfGroup(1);  // (-1 0 0) (0 0 -2) (-1 0 -2), zone [0 -1 0]
    EXPECT_EQ(table.data(table.index(r, ResultTableModel::kZoneColumn)).toString(), QStringLiteral("[1 -2 1 0]"));
    EXPECT_EQ(table.data(table.index(r, ResultTableModel::kZoneColumn), ResultTableModel::kFileTextRole).toString(),
              QStringLiteral("[0 -1 0]"));
    EXPECT_EQ(table.data(table.index(r, ResultTableModel::kFourIndexColumn)).toString(),
              QStringLiteral("(-1 0 1 0)  (0 0 0 -2)  (-1 0 1 -2)"));
    EXPECT_EQ(table.cell(r, 1), QStringLiteral("-1"));
    EXPECT_EQ(report(), threeReport);
    EXPECT_EQ(saed::indexing::resultCsv(table), threeCsv);

    // The families view: zones <U V T W> and forms {h k i l}.
    QTreeWidget* families = window.resultsPanel()->familyTree();
    ASSERT_GT(families->topLevelItemCount(), 0);
    EXPECT_EQ(families->headerItem()->text(3), QStringLiteral("{hkil}1"));
    for (int c : {2, 3, 4, 5})
        EXPECT_EQ(families->topLevelItem(0)->text(c).split(u' ').size(), 4) << families->topLevelItem(0)->text(c).toStdString();
    families->expandItem(families->topLevelItem(0));
    ASSERT_GT(families->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(families->topLevelItem(0)->child(0)->text(3).split(u' ').size(), 4);

    // The calculator takes (h k i l): a typed i must be -(h + k).
    auto* i1 = window.findChild<QLineEdit*>(QStringLiteral("CalculatorI1"));
    ASSERT_NE(i1, nullptr);
    EXPECT_FALSE(i1->isHidden());
    const char* planes[3][3] = {{"1", "0", "0"}, {"0", "1", "0"}, {"0", "0", "1"}};
    const Field first[3] = {Field::H1, Field::K1, Field::L1};
    for (int j = 0; j < 3; ++j)
        for (int a = 0; a < 3; ++a) model.setText1(fieldNumber(first[a], j), QString::fromLatin1(planes[j][a]));
    EXPECT_EQ(i1->placeholderText(), QStringLiteral("-1"));
    auto* calculate = window.findChild<QPushButton*>(QStringLiteral("Command5"));
    ASSERT_NE(calculate, nullptr);
    const std::size_t asked = prompts.questions().size();
    i1->setText(QStringLiteral("1"));
    calculate->click();
    ASSERT_EQ(prompts.questions().size(), asked + 1);
    EXPECT_TRUE(prompts.questions().back().text.contains(QStringLiteral("i = -(h + k)")));
    EXPECT_TRUE(prompts.questions().back().text.contains(QStringLiteral("-1")));
    EXPECT_NE(model.Text1(Field::ZoneW), QStringLiteral("1"));  // nothing calculated
    i1->setText(QStringLiteral("-1"));
    calculate->click();
    EXPECT_EQ(prompts.questions().size(), asked + 1);
    EXPECT_EQ(model.Text1(Field::ZoneW), QStringLiteral("1"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("CalculatorZoneFour"))->text(), QStringLiteral("= [0 0 0 1]"));
    // The schematic labels its spots and zone with four indices, as the table; the captions keep three.
    const auto schematic = [this](const char* name) {
        return window.findChild<saed::app::ElidedLabel*>(QString::fromLatin1(name))->fullText();
    };
    EXPECT_EQ(schematic("Label16"), QStringLiteral("（1 0 -1 0）"));
    EXPECT_EQ(schematic("Label15"), QStringLiteral("（0 1 -1 0）"));
    EXPECT_EQ(schematic("Label14"), QStringLiteral("（0 0 0 1）"));
    EXPECT_EQ(schematic("Label17"), QStringLiteral("Z=[0 0 0 1]"));
    EXPECT_EQ(model.caption(saed::model::Caption::Label16), QStringLiteral("（1 0 0）"));

    // A cubic cell shows three indices and keeps the setting; switching it off anywhere is one switch.
    model.setText1(Field::Gamma, QStringLiteral("90"));
    EXPECT_FALSE(setting->isEnabled());
    EXPECT_TRUE(setting->isChecked());
    EXPECT_TRUE(i1->isHidden());
    EXPECT_EQ(schematic("Label16"), QStringLiteral("（1 0 0）"));
    EXPECT_EQ(schematic("Label17"), QStringLiteral("Z=[0 0 1]"));
    model.setText1(Field::Gamma, QStringLiteral("120"));
    auto* simulationSwitch = window.simulationPanel()->findChild<QCheckBox*>(QStringLiteral("SimulationFourIndex"));
    ASSERT_TRUE(simulationSwitch->isEnabled());
    simulationSwitch->click();
    EXPECT_FALSE(model.fourIndex());
    EXPECT_FALSE(setting->isChecked());
    EXPECT_EQ(table.columnCount(), ResultTableModel::kAllColumns);
}

// The window as a desktop program: an image dropped on it opens and names the title and the
// recent images; Ctrl+S writes the report into the folder chosen in 文件, shown in the status
// bar; About names the version, the licence and the libraries; Ctrl+Q asks before closing.
TEST_F(Form1Test, dropTitleRecentImagesReportFolderAndAbout) {
    QFile::remove(settingsPath());
    showOn(0);
    const QString image = QStringLiteral(SAED_SAMPLES "/al-011-pattern.tif");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(image)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_EQ(model.chosenFile(), image);
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("al-011-pattern.tif — ")));
    EXPECT_EQ(recentImages(settingsPath()), QStringList{QFileInfo(image).absoluteFilePath()});
    auto* menu = window.findChild<ProgramMenu*>();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->recentMenu()->actions().size(), 1);
    EXPECT_EQ(menu->recentMenu()->actions().first()->text(), QStringLiteral("&1  al-011-pattern.tif"));

    // Recent images: newest first, each once, at most eight.
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(addRecentImage(QStringLiteral("/data/p%1.tif").arg(i), settingsPath()));
    addRecentImage(QStringLiteral("/data/p5.tif"), settingsPath());
    const QStringList recent = recentImages(settingsPath());
    ASSERT_EQ(recent.size(), kRecentImages);
    EXPECT_EQ(recent.first(), QStringLiteral("/data/p5.tif"));
    EXPECT_EQ(recent.at(1), QStringLiteral("/data/p9.tif"));
    EXPECT_EQ(recent.count(QStringLiteral("/data/p5.tif")), 1);

    // The report goes where the user chose, never beside the program.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString reports = dir.filePath(QStringLiteral("reports"));  // made when missing
    prompts.queueFolderPath(reports);
    window.findChild<QAction*>(QStringLiteral("ReportFolder"))->trigger();
    EXPECT_EQ(chosenReportFolder(settingsPath()), reports);
    EXPECT_TRUE(window.statusBar()->currentMessage().contains(QDir::toNativeSeparators(reports)));
    auto* save = window.findChild<QAction*>(QStringLiteral("SaveReport"));
    EXPECT_EQ(save->shortcut(), QKeySequence(QKeySequence::Save));
    save->trigger();
    const QStringList written = QDir(reports).entryList(QDir::Files);
    ASSERT_EQ(written.size(), 1);
    EXPECT_TRUE(window.statusBar()->currentMessage().endsWith(written.first()));
    EXPECT_FALSE(saed::store::defaultReportTarget().folders.contains(QCoreApplication::applicationDirPath()));

    const std::size_t asked = prompts.questions().size();
    window.findChild<QAction*>(QStringLiteral("About"))->trigger();
    ASSERT_EQ(prompts.questions().size(), asked + 1);
    const QString about = prompts.questions().back().text;
    for (const QString& part : {QStringLiteral(SAED_VERSION), QStringLiteral("BSD-3-Clause"),
                                QStringLiteral("Qt ") + QString::fromLatin1(qVersion()), QStringLiteral("gemmi "),
                                QStringLiteral("LIBTIFF")})
        EXPECT_TRUE(about.contains(part)) << part.toStdString();

    prompts.queueConfirm(false);
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(window.isVisible());  // the exit question was answered Cancel
    EXPECT_EQ(prompts.questions().back().kind, ScriptedPrompts::Kind::Confirm);
    QFile::remove(settingsPath());
}

// A full disk leaves the settings file as it was, byte for byte, although the settings writer
// reports a write cut short as done; the status bar says so once, and again only after a write
// that worked.
TEST(SettingsFileTest, aFullDiskKeepsTheSettingsAndIsToldOnce) {
    const saed::testdata::FullDisk disk;
    if (!disk.problem().isEmpty()) GTEST_SKIP() << disk.problem().toStdString();
    const QString settings = disk.filePath(QStringLiteral("saedindex.ini"));
    ASSERT_TRUE(saveLanguage(Language::English, settings));
    ASSERT_TRUE(saveReportFolder(QStringLiteral("/data/reports"), settings));
    ASSERT_TRUE(addRecentImage(QStringLiteral("/data/first.tif"), settings));
    const auto bytes = [&settings] {
        QFile file(settings);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();

    disk.fill(2);  // room for part of a long list of recent images, not for all of it
    ScriptedPrompts prompts;
    ProgramMenu menu(prompts, settings);
    QSignalSpy status(&menu, &ProgramMenu::statusRequested);
    const QString longName = QStringLiteral("/data/") + QString(5000, u'a') + QStringLiteral(".tif");
    menu.imageOpened(longName);
    menu.imageOpened(longName + QStringLiteral("2"));
    disk.fill();
    EXPECT_FALSE(saveFourIndex(true, settings));
    EXPECT_EQ(bytes(), before);
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status.at(0).at(0).toString().contains(settings)) << status.at(0).at(0).toString().toStdString();
    EXPECT_EQ(recentImages(settings), QStringList{QStringLiteral("/data/first.tif")});
    EXPECT_EQ(chosenReportFolder(settings), QStringLiteral("/data/reports"));
    EXPECT_EQ(savedLanguage(settings), Language::English);
    EXPECT_EQ(QDir(QFileInfo(settings).path()).entryList({QStringLiteral("*.new")}, QDir::Files), QStringList());

    ASSERT_TRUE(QFile::remove(disk.filePath(QStringLiteral("filler"))));
    menu.imageOpened(QStringLiteral("/data/second.tif"));
    EXPECT_EQ(recentImages(settings).size(), 2);
    disk.fill(2);
    menu.imageOpened(longName);
    EXPECT_EQ(status.size(), 2);
}
