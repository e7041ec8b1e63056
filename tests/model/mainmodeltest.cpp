// SPDX-License-Identifier: BSD-3-Clause
#include "model/mainmodel.h"

#include <QSignalSpy>

#include <tuple>
#include <utility>  // for pair

#include <gtest/gtest.h>

#include "model/resulttablemodel.h"
#include "model/texts.h"

using namespace saed::model;

TEST(MainModelTest, defaultsAtStart) {
    MainModel model;
    EXPECT_EQ(model.Text1(21), QStringLiteral("5"));
    EXPECT_EQ(model.value(21), 5.0);
    for (int n : {27, 28, 29}) EXPECT_EQ(model.Text1(n), QStringLiteral("0.008")) << n;
    for (int n : {36, 37, 38}) EXPECT_EQ(model.Text1(n), QStringLiteral("2")) << n;
    for (int n = 15; n <= 20; ++n) EXPECT_EQ(model.Text1(n), QStringLiteral("***")) << n;
    for (int n : {0, 1, 2, 3, 4, 5, 6, 14, 22, 23, 24, 25, 26, 30, 31, 32, 33, 34, 35})
        EXPECT_TRUE(model.Text1(n).isEmpty()) << n;
    EXPECT_EQ(model.Text6(), QStringLiteral("NAME"));
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::None);
    EXPECT_EQ(model.caption(Caption::Label22), QStringLiteral("0"));
    EXPECT_EQ(model.caption(Caption::Label5),
              QString::fromUtf8("   ***\u3000    \u3000***      \u3000\u3000***       \u3000\u3000***   \u3000 \u3000***    \u3000 ***"));
    const std::pair<Caption, const char*> captions[] = {{Caption::Label14, "（* * *）"}, {Caption::Label17, "Z=[* * *]"},
        {Caption::Label1_47, "d1= ***"}, {Caption::Label1_49, "d3= ***"}, {Caption::Frame1, "点阵标尺"},
        {Caption::Command6, "标定计算"}};
    for (const auto& [caption, text] : captions) EXPECT_EQ(model.caption(caption), QString::fromUtf8(text)) << text;
    EXPECT_EQ(std::tuple(model.flag(Flag::LatticeLocked), model.flag(Flag::Frame7Visible), model.flag(Flag::MultipleChoice)),
              std::tuple(true, false, false));
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(model.slider(k), k <= 3 ? 13 : 50) << k;
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_EQ(model.resultTable()->columnCount(), 0);  // no headers before the first run
}

TEST(MainModelTest, oneNotificationPerRealChange) {
    MainModel model;
    QSignalSpy spy(&model, &MainModel::text1Changed);
    model.setText1(27, QStringLiteral("0.01"));
    model.setText1(27, QStringLiteral("0.01"));  // unchanged: no notification
    model.setText1(3, QStringLiteral("90"));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 27);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 3);

    model.setText1(0, QStringLiteral("abc"));
    EXPECT_EQ(model.value(0), 0.0);
    EXPECT_FALSE(model.isNumeric(0));
    model.setText1(0, QString());
    EXPECT_EQ(model.value(0), 0.0);
    EXPECT_FALSE(model.isNumeric(0));
    model.setText1(0, QStringLiteral(" 0.32094"));
    EXPECT_TRUE(model.isNumeric(0));
    EXPECT_EQ(model.value(0), 0.32094);
}

TEST(MainModelTest, comboAndSliderBounds) {
    MainModel model;
    model.setCombo1Items(latticeTypeNames());
    model.setCombo1(saed::core::LatticeType::FaceCentred);
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::FaceCentred);
    model.setCombo1Items(latticeTypeNames().mid(0, 5));  // a list without the space-group entry
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::FaceCentred);
    model.setCombo1(saed::core::LatticeType::SpaceGroup);
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::None);
    model.setSlider(1, 130);
    EXPECT_EQ(model.slider(1), 100);
    model.setSlider(4, -3);
    EXPECT_EQ(model.slider(4), 0);
}

