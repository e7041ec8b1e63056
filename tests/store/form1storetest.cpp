// SPDX-License-Identifier: BSD-3-Clause
// The store's controls in the main window: the pop-up menu of the image-measurement panel, the
// export entry of the result table and the screening button.
#include "app/form1.h"
#include "app/librarypanel.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "model/language.h"
#include "store/parameterstore.h"
#include "store/textfile.h"
#include "tests/windowfixture.h"

using namespace saed::app;
using namespace saed::model;
using saed::store::ParameterStore;

namespace {

class Form1StoreTest : public saed::testdata::MainWindowTest {
protected:
    QAction* action(const char* name) { return window.findChild<QAction*>(QString::fromUtf8(name)); }
};

}  // namespace

TEST_F(Form1StoreTest, menuSavesAndImportsASet) {
    QFile::remove(ParameterStore::defaultPath());
    window.show();
    auto* frame3 = window.findChild<QGroupBox*>(QStringLiteral("Frame3"));
    auto* pop3 = window.findChild<QMenu*>(QStringLiteral("pop3"));
    ASSERT_TRUE(frame3 && pop3);
    ASSERT_EQ(pop3->actions().size(), 5);
    EXPECT_EQ(action("pop30")->text(), QStringLiteral("保存计算参数"));

    model.setText1(0, QStringLiteral("0.32094"));
    model.setCombo1(saed::core::LatticeType::Rhombic);
    model.setText6(QStringLiteral("α-Mg"));
    for (const char* name : {"样品1", "样品2"}) {
        prompts.queueText(QString::fromUtf8(name));
        action("pop30")->trigger();
        model.setText1(0, QStringLiteral("0.4"));
    }
    // A right-button press shows the menu with the captions read afresh.
    emit frame3->customContextMenuRequested(QPoint(10, 10));
    EXPECT_TRUE(pop3->isVisible());
    EXPECT_EQ(action("pop31")->text(), QStringLiteral("导入样品2图测量数据"));
    EXPECT_EQ(action("pop32")->text(), QStringLiteral("导入样品1图测量数据"));
    EXPECT_EQ(action("pop34")->text(), QStringLiteral("导入图测量数据"));
    pop3->hide();
    // In English the empty slots are numbered, so no two entries read alike.
    {
        struct Restore {
            ~Restore() { saed::model::installProgramTranslations(*QCoreApplication::instance(), saed::model::Language::Chinese); }
        } restore;
        ASSERT_TRUE(saed::model::installProgramTranslations(*QCoreApplication::instance(), saed::model::Language::English));
        emit frame3->customContextMenuRequested(QPoint(10, 10));
        EXPECT_EQ(action("pop32")->text(), QStringLiteral("Load measurements 样品1"));
        EXPECT_EQ(action("pop33")->text(), QStringLiteral("Load measurements: slot 3 (empty)"));
        EXPECT_EQ(action("pop34")->text(), QStringLiteral("Load measurements: slot 4 (empty)"));
        pop3->hide();
    }

    model.setCombo1(saed::core::LatticeType::Simple);
    action("pop32")->trigger();
    EXPECT_EQ(window.text1(0)->text(), QStringLiteral("0.32094"));
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::Rhombic);
    EXPECT_EQ(model.Text6(), QStringLiteral("α-Mg"));
    QFile::remove(ParameterStore::defaultPath());
}

TEST_F(Form1StoreTest, exportEntryWritesAReportAndShowsItsPath) {
    QSignalSpy status(&model, &MainModel::statusMessage);
    ASSERT_TRUE(action("daochujieguo3"));
    action("daochujieguo3")->trigger();
    ASSERT_EQ(status.count(), 1);
    const QString path = status.at(0).at(0).toString();
    const auto lines = saed::store::readTextLines(path);
    // No scale bar measured yet: the lattice lines only.
    EXPECT_EQ(lines, (QStringList{QStringLiteral("------NAME点阵参数："), QStringLiteral("a=nm   b=nm   c=nm"),
                                  QStringLiteral("α=deg.  β=deg.  γ=deg.")}));
    EXPECT_TRUE(QFile::remove(path));
}

TEST_F(Form1StoreTest, screeningButtonRunsTheTickedPhase) {
    model.setFlag(Flag::Frame7Visible, true);
    QSignalSpy magnifier(&window, &Form1::magnifierCloseRequested);
    // Single choice: the parameter node of 14H LPSO ticked in the tree.
    const QList<QTreeWidgetItem*> found =
        window.libraryPanel()->treeView1()->findItems(QStringLiteral("a=0.32500"), Qt::MatchStartsWith | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    found[0]->setCheckState(0, Qt::Checked);
    auto* command13 = window.findChild<QPushButton*>(QStringLiteral("Command13"));
    ASSERT_TRUE(command13);
    QSignalSpy finished(window.libraryPanel()->screeningRun(), &saed::analysis::ScreeningRun::finished);
    command13->click();
    // The phase runs from the event loop; the buttons wait meanwhile.
    EXPECT_FALSE(command13->isEnabled());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(command13->isEnabled());
    EXPECT_EQ(magnifier.count(), 1);
    EXPECT_EQ(model.Text6(), QStringLiteral("14H LPSO  未知  c/a11.59718"));
    EXPECT_EQ(model.Text1(2), QStringLiteral("3.72200"));
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));
    EXPECT_EQ(command13->text(), QStringLiteral("计算选中项"));
    // The empty measurement fields stop the run at its numeric test, with its message.
    ASSERT_FALSE(prompts.questions().empty());
    EXPECT_EQ(prompts.questions().back().kind, ScriptedPrompts::Kind::Warn);
}
