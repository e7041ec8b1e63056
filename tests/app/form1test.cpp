#include "app/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTextDocument>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>  // for sort
#include <cstdlib>    // for abs
#include <new>
#include <stdexcept>

#include "app/guardedapplication.h"
#include "app/simulationpanel.h"
#include "app/translations.h"
#include "indexing/indexingoperations.h"
#include "model/mainmodel.h"
#include "model/scriptedprompts.h"

using namespace saed::app;
using namespace saed::model;

TEST(Form1Test, tabsAndStartState) {
    MainModel model;
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
    ASSERT_EQ(window.tabs()->count(), 3);
    EXPECT_EQ(window.tabs()->tabText(0), QStringLiteral("斑点测量"));
    EXPECT_EQ(window.tabs()->tabText(1), QStringLiteral("标定计算"));
    EXPECT_EQ(window.tabs()->tabText(2), QStringLiteral("衍射模拟"));
    EXPECT_EQ(window.combo1()->currentText(), QStringLiteral("简单点阵"));
    ASSERT_EQ(window.combo1()->count(), 6);
    EXPECT_EQ(window.combo1()->itemText(5), QStringLiteral("按空间群"));
    EXPECT_EQ(model.Combo1(), 0);
    EXPECT_FALSE(window.text1(0)->isEnabled());
    EXPECT_FALSE(window.text6()->isEnabled());
    EXPECT_TRUE(window.text1(21)->isEnabled());
    EXPECT_EQ(window.text1(21)->text(), QStringLiteral("5"));
    EXPECT_EQ(window.slider(1)->value(), 13);
    EXPECT_EQ(window.slider(6)->value(), 50);
}

TEST(Form1Test, fieldsAreBoundBothWays) {
    MainModel model;
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
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
    model.setCombo1(4);
    EXPECT_EQ(window.combo1()->currentText(), QStringLiteral("菱形点阵"));
    window.combo1()->setCurrentIndex(2);
    EXPECT_EQ(model.Combo1(), 2);
}

TEST(Form1Test, longValuesNeverWidenTheWindowAndShowWholeInTooltips) {
    MainModel model;
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
    window.show();
    window.tabs()->setCurrentIndex(1);
    QApplication::processEvents();
    // Every control has room on a 1024 x 768 screen, title bar and task bar left aside.
    EXPECT_LE(window.minimumSizeHint().width(), 1024);
    EXPECT_LE(window.minimumSizeHint().height(), 700);
    const int width = window.width();
    const int minimumWidth = window.minimumSizeHint().width();

    // The cubic example with a huge first angle: the run writes Label5 about 400 characters long.
    const char* fields[][2] = {{"0", "0.5"},  {"1", "0.5"},   {"2", "0.5"},  {"3", "90"}, {"4", "90"},
                               {"5", "90"},   {"21", "1"},    {"22", "2"},   {"23", "100"}, {"24", "100"},
                               {"25", "100"}, {"26", "141.42"}, {"30", "1"}, {"31", "1"}, {"32", "1"},
                               {"33", "1e308"}, {"34", "45"}, {"35", "45"}};
    for (const auto& f : fields) model.setText1(QString::fromLatin1(f[0]).toInt(), QString::fromLatin1(f[1]));
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

    // The measured fields keep their width; their tooltip holds the whole value.
    const QString longLength = QStringLiteral("256.61234567890123456789");
    model.setText1(24, longLength);
    EXPECT_EQ(window.text1(24)->toolTip(), longLength);
    EXPECT_EQ(window.width(), width);
}

// A Si [0 1 1] pattern screened against Si and Ge: opening Si from the ranking list shows it in
// the simulation tab by its space group, along the zone of its best family, without {200} and
// {222}; a lattice field changed in the window takes the tab back to the window's phase.
TEST(Form1Test, rankedPhaseOpensInTheSimulationTab) {
    MainModel model;
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
    // a = 0.5431021 nm; scale bar 2 1/nm over 100 px: |g111| = sqrt(3) / a is 159.459 px and
    // |g022| = sqrt(8) / a is 260.395 px. g1 = (1 1 -1), g2 = (-1 1 -1), g3 = g1 + g2 = (0 2 -2).
    const char* fields[][2] = {{"21", "2"},  {"22", "2"},  {"23", "100"}, {"24", "159.459"}, {"25", "159.459"},
                               {"26", "260.395"}, {"30", "1"}, {"31", "1"}, {"32", "1"}, {"33", "70.5288"},
                               {"34", "35.2644"}, {"35", "35.2644"}};
    for (const auto& f : fields) model.setText1(QString::fromLatin1(f[0]).toInt(), QString::fromLatin1(f[1]));
    const auto& crystals = window.libraryCrystals();
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
        const int node = window.phaseTree().find("bb" + std::to_string(record));
        ASSERT_GE(node, 0);
        for (QTreeWidgetItemIterator it(window.treeView1()); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == node) (*it)->setCheckState(0, Qt::Checked);
    }
    QSignalSpy status(&model, &MainModel::statusMessage);
    window.findChild<QPushButton*>(QStringLiteral("Command13"))->click();
    for (const QList<QVariant>& message : status) QFile::remove(message.at(0).toString());  // the report
    ASSERT_NE(window.rankingWindow(), nullptr);

    window.tabs()->setCurrentIndex(0);
    emit window.phaseSimulationRequested(si);
    SimulationPanel* panel = window.simulationPanel();
    EXPECT_EQ(window.tabs()->currentWidget(), panel);
    EXPECT_EQ(panel->chosenType(), SimulationPanel::kSpaceGroupEntry);
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

    model.setCombo1(3);
    model.setText1(0, QStringLiteral("0.405"));
    EXPECT_EQ(panel->chosenType(), 3);
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
