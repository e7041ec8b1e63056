#include "app/form1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app/guardedapplication.h"
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
