// SPDX-License-Identifier: BSD-3-Clause
// The library panel, the custom-phase switch, start-up and the exit question in the main window.
#include "library/libraryoperations.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "tests/windowfixture.h"
#include "app/librarypanel.h"

using namespace saed::app;
using namespace saed::model;
using Form1LibraryTest = saed::testdata::MainWindowTest;

namespace {

void click(Form1& window, const char* name) {
    auto* widget = window.findChild<QWidget*>(QString::fromUtf8(name));
    ASSERT_NE(widget, nullptr) << name;
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
}

// The first five tree items in the order they are shown (the root and the two phases of the
// nine-field text): text, then "+" when ticked.
std::vector<std::string> shown(QTreeWidget* tree) {
    std::vector<std::string> items;
    for (QTreeWidgetItemIterator it(tree); *it && items.size() < 5; ++it)
        items.push_back((*it)->text(0).toStdString() +
                        ((*it)->checkState(0) == Qt::Checked ? "+" : ""));
    return items;
}

void focusIn(QWidget* widget) {
    QFocusEvent event(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

TEST(Form1StartUpTest, treeThePanelAndTicksInBothModes) {
    MainModel model;
    model.setFlag(Flag::Frame7Visible, true);
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));
    EXPECT_TRUE(prompts.questions().empty());
    QTreeWidget* tree = window.libraryPanel()->treeView1();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    // The two nine-field phases first, then one node per built-in crystal phase name.
    ASSERT_EQ(root->childCount(), 2 + static_cast<int>(window.libraryPanel()->libraryCrystals().size()));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_FALSE(root->child(0)->isExpanded());
    using Shown = std::vector<std::string>;
    const std::string mg = window.libraryPanel()->phaseTree().node(2).text;
    const std::string lpso = window.libraryPanel()->phaseTree().node(4).text;
    EXPECT_EQ(shown(tree), (Shown{"物相", "α-Mg", mg, "14H LPSO", lpso}));

    window.show();
    auto* frame7 = window.findChild<QGroupBox*>(QStringLiteral("Frame7"));
    click(window, "Label10");
    EXPECT_TRUE(model.flag(Flag::Frame7Visible));
    EXPECT_FALSE(frame7->isHidden());
    click(window, "Label10");
    EXPECT_TRUE(frame7->isHidden());
    click(window, "Label10");
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));
    EXPECT_TRUE(frame7->isHidden());

    // Single choice: the box just ticked is the only one; a phase name comes with its parameter
    // line, which the screening then runs.
    root->child(0)->child(0)->setCheckState(0, Qt::Checked);
    root->child(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(shown(tree), (Shown{"物相", "α-Mg", mg, "14H LPSO+", lpso + "+"}));
    EXPECT_EQ(window.libraryPanel()->phaseTree().selectedRecordNumbers(), std::vector<int>{2});

    // Multiple choice: the root ticks everything, a phase node unticks its parameters only.
    window.findChild<QRadioButton*>(QStringLiteral("Option1_1"))->click();
    EXPECT_TRUE(model.flag(Flag::MultipleChoice));
    root->setCheckState(0, Qt::Checked);
    EXPECT_EQ(shown(tree), (Shown{"物相+", "α-Mg+", mg + "+", "14H LPSO+", lpso + "+"}));
    root->child(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(shown(tree), (Shown{"物相+", "α-Mg", mg, "14H LPSO+", lpso + "+"}));
    const std::vector<int> selected = window.libraryPanel()->phaseTree().selectedRecordNumbers();
    ASSERT_EQ(selected.size(), window.libraryPanel()->libraryCrystals().size() + 1);
    EXPECT_EQ(selected.front(), 2);
    window.findChild<QRadioButton*>(QStringLiteral("Option1_0"))->click();
    EXPECT_FALSE(model.flag(Flag::MultipleChoice));
}

TEST_F(Form1LibraryTest, customPhaseThenExitCancelledLeavesEverythingAsItWas) {
    window.show();
    click(window, "Label20");
    EXPECT_FALSE(model.flag(Flag::LatticeLocked));
    EXPECT_TRUE(model.flag(Flag::LatticeTextRed));
    EXPECT_EQ(window.text6()->text(), QStringLiteral("请输入物相名称"));
    focusIn(window.text6());
    EXPECT_EQ(window.text6()->text(), QStringLiteral("     "));
    model.setText6(QStringLiteral("Al"));
    focusIn(window.text6());
    EXPECT_EQ(model.Text6(), QStringLiteral("Al"));

    click(window, "Label20");
    EXPECT_TRUE(model.flag(Flag::LatticeLocked));
    EXPECT_TRUE(model.flag(Flag::LatticeTextRed));  // the colour stays
    EXPECT_FALSE(window.text6()->hasFrame());

    model.setText1(24, QStringLiteral("141.42"));
    model.setFlag(Flag::Frame7Visible, true);
    QSignalSpy closing(&window, &Form1::secondaryWindowsCloseRequested);
    prompts.queueConfirm(false);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(closing.count(), 0);
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_EQ(prompts.questions()[0].text,
              QString(16, QLatin1Char(' ')) + QStringLiteral("你真的要退出吗? "));
    EXPECT_EQ(prompts.questions()[0].title, QStringLiteral("提示"));
    EXPECT_EQ(model.Text1(24), QStringLiteral("141.42"));
    EXPECT_EQ(model.Text6(), QStringLiteral("Al"));
    EXPECT_TRUE(model.flag(Flag::Frame7Visible));

    prompts.queueConfirm(true);
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closing.count(), 1);
}
