// SPDX-License-Identifier: BSD-3-Clause
#include "model/mainmodel.h"

#include <QSignalSpy>

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
    EXPECT_EQ(model.caption(Caption::Label14), QStringLiteral("（* * *）"));
    EXPECT_EQ(model.caption(Caption::Label17), QStringLiteral("Z=[* * *]"));
    EXPECT_EQ(model.caption(Caption::Label1_47), QStringLiteral("d1= ***"));
    EXPECT_EQ(model.caption(Caption::Label1_49), QStringLiteral("d3= ***"));
    EXPECT_EQ(model.caption(Caption::Frame1), QStringLiteral("点阵标尺"));
    EXPECT_EQ(model.caption(Caption::Command6), QStringLiteral("标定计算"));
    EXPECT_TRUE(model.flag(Flag::LatticeLocked));
    EXPECT_FALSE(model.flag(Flag::Frame7Visible));
    EXPECT_FALSE(model.flag(Flag::MultipleChoice));
    const int sliders[6] = {13, 13, 13, 50, 50, 50};
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(model.slider(k), sliders[k - 1]) << k;
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

