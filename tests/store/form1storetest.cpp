// The store's controls in the main window: the pop-up menu of the image-measurement panel and the
// export entry of the result table.
#include "app/form1.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/mainmodel.h"
#include "app/scriptedprompts.h"
#include "store/parameterstore.h"
#include "store/textfile.h"

using namespace saed::app;
using saed::store::ParameterStore;

namespace {

QAction* action(QMenu* menu, const char* name) {
    return menu->findChild<QAction*>(QString::fromUtf8(name));
}

}  // namespace

TEST(Form1StoreTest, menuSavesAndImportsASet) {
    QFile::remove(ParameterStore::defaultPath());
    MainModel model;
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
    window.show();
    auto* frame3 = window.findChild<QGroupBox*>(QStringLiteral("Frame3"));
    auto* pop3 = window.findChild<QMenu*>(QStringLiteral("pop3"));
    ASSERT_TRUE(frame3 && pop3);
    ASSERT_EQ(pop3->actions().size(), 5);
    EXPECT_EQ(pop3->actions()[0]->text(), QStringLiteral("保存计算参数"));

    // The first right-button press creates the store; the captions show the empty slots.
    emit frame3->customContextMenuRequested(QPoint(10, 10));
    EXPECT_TRUE(pop3->isVisible());
    EXPECT_TRUE(QFile::exists(ParameterStore::defaultPath()));
    EXPECT_EQ(action(pop3, "pop31")->text(), QStringLiteral("导入图测量数据"));
    pop3->hide();

    model.setText1(0, QStringLiteral("0.32094"));
    model.setCombo1(4);
    model.setText6(QStringLiteral("α-Mg"));
    prompts.queueText(QStringLiteral("样品1"));
    action(pop3, "pop30")->trigger();
    model.setText1(0, QStringLiteral("0.4"));
    prompts.queueText(QStringLiteral("样品2"));
    action(pop3, "pop30")->trigger();

    emit frame3->customContextMenuRequested(QPoint(10, 10));
    EXPECT_EQ(action(pop3, "pop31")->text(), QStringLiteral("导入样品2图测量数据"));
    EXPECT_EQ(action(pop3, "pop32")->text(), QStringLiteral("导入样品1图测量数据"));
    EXPECT_EQ(action(pop3, "pop34")->text(), QStringLiteral("导入图测量数据"));
    pop3->hide();

    model.setText1(0, QStringLiteral("9"));
    model.setCombo1(0);
    action(pop3, "pop32")->trigger();
    EXPECT_EQ(model.Text1(0), QStringLiteral("0.32094"));
    EXPECT_EQ(model.Combo1(), 4);
    EXPECT_EQ(model.Text6(), QStringLiteral("α-Mg"));
    EXPECT_EQ(window.text1(0)->text(), QStringLiteral("0.32094"));
    QFile::remove(ParameterStore::defaultPath());
}

TEST(Form1StoreTest, exportEntryWritesAReportAndShowsItsPath) {
    MainModel model;
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
    QSignalSpy status(&model, &MainModel::statusMessage);
    auto* entry = window.findChild<QAction*>(QStringLiteral("daochujieguo3"));
    ASSERT_TRUE(entry);
    entry->trigger();
    ASSERT_EQ(status.count(), 1);
    const QString path = status.at(0).at(0).toString();
    EXPECT_TRUE(path.contains(QStringLiteral("标定结果")));
    const auto lines = saed::store::readTextLines(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 3);  // no scale bar measured yet: the lattice lines only
    EXPECT_EQ(lines->at(0), QStringLiteral("------NAME点阵参数："));
    EXPECT_TRUE(QFile::remove(path));
}

TEST(Form1StoreTest, screeningButtonRunsTheTickedPhase) {
    MainModel model;
    ScriptedPrompts prompts;
    Form1 window(model, prompts);
    model.setFlag(Flag::Frame7Visible, true);
    QSignalSpy magnifier(&window, &Form1::magnifierCloseRequested);
    // Single choice: the parameter node of 14H LPSO ticked in the tree.
    const QList<QTreeWidgetItem*> found =
        window.treeView1()->findItems(QStringLiteral("a=0.32500"), Qt::MatchStartsWith | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    found[0]->setCheckState(0, Qt::Checked);
    auto* command13 = window.findChild<QPushButton*>(QStringLiteral("Command13"));
    ASSERT_TRUE(command13);
    command13->click();
    EXPECT_EQ(magnifier.count(), 1);
    EXPECT_EQ(model.Text6(), QStringLiteral("14H LPSO  未知  c/a11.59718"));
    EXPECT_EQ(model.Text1(2), QStringLiteral("3.72200"));
    EXPECT_EQ(model.Combo1(), 0);
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));
    EXPECT_EQ(command13->text(), QStringLiteral("计算选中项"));
    // The empty measurement fields stop the run at its numeric test, with its message.
    ASSERT_FALSE(prompts.questions().empty());
    EXPECT_EQ(prompts.questions().back().kind, ScriptedPrompts::Kind::Warn);
}
