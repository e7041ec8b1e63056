// SPDX-License-Identifier: BSD-3-Clause
// The measurement windows driven by real pointer events: the image view, the Measure dialog, the
// magnifier, and the main window's events that close or hide them.
#include <QLabel>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/windowfixture.h"
#include "app/form2.h"
#include "app/form3.h"
#include "measure/imagemeasurement.h"
#include "app/imageview.h"
#include "app/measurewindows.h"

using namespace saed;
using namespace saed::measure;
using namespace saed::app;

namespace {

// Every test starts with a 400 x 300 grey picture opened in the shown main window.
class MeasureWindowTest : public testdata::MainWindowTest {
protected:
    QTemporaryDir dir;
    ImageMeasurement* m = window.imageMeasurement();
    ImageView* view = window.findChild<ImageView*>();
    MeasureWindows* windows = window.findChild<MeasureWindows*>();

    MeasureWindowTest() {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QImage image(400, 300, QImage::Format_Grayscale8);
        image.fill(30);
        const QString path = dir.filePath(QStringLiteral("pattern.png"));
        image.save(path);
        prompts.queueImagePath(path);
        click(QStringLiteral("打开"));
    }
    QPushButton* button(const QString& caption) const {
        for (QPushButton* b : window.findChildren<QPushButton*>())
            if (b->text() == caption) return b;
        ADD_FAILURE() << "no button " << caption.toStdString();
        return nullptr;
    }
    void click(const QString& caption) { QTest::mouseClick(button(caption), Qt::LeftButton); }
    bool zoomEnabled() const {
        return button(QStringLiteral("放大"))->isEnabled() && button(QStringLiteral("缩小"))->isEnabled();
    }
    // A point of the image given in image pixels, in the view's coordinates.
    QPoint onImage(int x, int y) const {
        const ImageRect& r = m->viewport().rect();
        return QPoint(qRound(r.left / 15.0f) + x, qRound(r.top / 15.0f) + y);
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(view, button, {}, from);
        QTest::mouseMove(view, (from + to) / 2);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, button, {}, to);
    }
    bool dialogGone() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return windows->measureDialog() == nullptr;
    }
};

}  // namespace

TEST_F(MeasureWindowTest, openMeasureThroughTheDialogCancelAndClear) {
    ASSERT_TRUE(m != nullptr && view != nullptr && windows != nullptr);
    EXPECT_EQ(m->picture().size(), QSize(400, 300));

    // Measure mode disables zoom; a pointer moving with no button draws nothing.
    QPushButton* measure = button(QStringLiteral("测量"));
    QTest::mouseClick(measure, Qt::LeftButton);
    EXPECT_TRUE(m->MeasureMode());
    EXPECT_EQ(measure->text(), QStringLiteral("移动"));
    EXPECT_FALSE(button(QStringLiteral("放大"))->isEnabled());
    EXPECT_FALSE(button(QStringLiteral("缩小"))->isEnabled());
    QTest::mouseMove(view, onImage(5, 5));
    EXPECT_FALSE(m->marks().line1.visible);

    // A 300-pixel line (180 by 240) opens the dialog and shows the magnifier.
    const QPoint start = onImage(20, 50);
    drag(start, onImage(200, 290));
    EXPECT_EQ(m->MeasuredLengthPx(), 300.0);
    EXPECT_NEAR(m->marks().line2[0].x1 / 15.0, start.x(), 1.0);
    EXPECT_NEAR(m->marks().line2[0].y1 / 15.0, start.y(), 1.0);
    ASSERT_NE(windows->magnifier(), nullptr);
    EXPECT_TRUE(windows->magnifier()->isVisible());
    Form2* dialog = windows->measureDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("测量"));
    EXPECT_EQ(dialog->label2()->text(), QStringLiteral("标尺长度为300像素"));
    for (int k = 0; k < 4; ++k) EXPECT_FALSE(dialog->option1(k)->isChecked());

    QTest::mouseClick(dialog->option1(1), Qt::LeftButton);
    EXPECT_TRUE(dialog->image1(1)->isVisible());
    EXPECT_FALSE(dialog->image1(0)->isVisible());
    QTest::keyClicks(dialog->text1(), QStringLiteral("3"));
    QTest::mouseClick(dialog->command1(), Qt::LeftButton);
    EXPECT_TRUE(dialogGone());
    EXPECT_EQ(window.text1(24)->text(), QStringLiteral("300"));
    EXPECT_EQ(model.Text1(30), QStringLiteral("3"));
    EXPECT_TRUE(m->marks().line2[0].visible);

    // Right-button drags neither draw nor open the dialog.
    drag(onImage(10, 10), onImage(100, 100), Qt::RightButton);
    EXPECT_EQ(windows->measureDialog(), nullptr);
    EXPECT_FALSE(m->marks().line2[1].visible);

    // "取消" takes the line back and writes nothing.
    drag(onImage(50, 50), onImage(50, 150));
    dialog = windows->measureDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(m->marks().line2[1].visible);
    QTest::mouseClick(dialog->option1(2), Qt::LeftButton);
    QTest::mouseClick(dialog->command2(), Qt::LeftButton);
    EXPECT_TRUE(dialogGone());
    EXPECT_FALSE(m->marks().line2[1].visible);
    EXPECT_FALSE(m->marks().line1.visible);
    EXPECT_TRUE(m->marks().line2[0].visible);
    EXPECT_EQ(model.Text1(25), QString());
    EXPECT_EQ(m->RB(2), 0);

    // A click in place is a zero-length line, and the dialog still opens.
    QTest::mouseClick(view, Qt::LeftButton, {}, onImage(80, 80));
    EXPECT_EQ(m->MeasuredLengthPx(), 0.0);
    ASSERT_NE(windows->measureDialog(), nullptr);
    EXPECT_EQ(windows->measureDialog()->label2()->text(), QStringLiteral("标尺长度为0像素"));

    // "清屏" empties the fields and returns to move mode with zoom enabled.
    click(QStringLiteral("清屏"));
    EXPECT_EQ(model.Text1(24), QString());
    EXPECT_FALSE(m->MeasureMode());
    EXPECT_EQ(measure->text(), QStringLiteral("测量"));
    EXPECT_TRUE(zoomEnabled());
}

TEST_F(MeasureWindowTest, zoomDragRestoreAndClearInMoveMode) {
    const ImageRect opened = m->viewport().rect();
    click(QStringLiteral("放大"));
    EXPECT_FLOAT_EQ(m->viewport().rect().width, 7500.0f);
    click(QStringLiteral("测量"));
    drag(onImage(20, 20), onImage(120, 20));
    windows->closeMeasureDialog();
    click(QStringLiteral("移动"));
    EXPECT_FALSE(zoomEnabled());  // only restore and clear enable zoom again

    // The right button, then both buttons: nothing moves.
    const ImageRect before = m->viewport().rect();
    const MarkSet marks = m->marks();
    const QPoint grab = onImage(200, 150);
    QTest::mousePress(view, Qt::RightButton, {}, grab);
    QTest::mouseMove(view, grab + QPoint(40, 40));
    QTest::mousePress(view, Qt::LeftButton, {}, grab + QPoint(40, 40));
    QTest::mouseMove(view, grab + QPoint(80, 0));
    QTest::mouseRelease(view, Qt::RightButton, {}, grab + QPoint(80, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, grab + QPoint(80, 0));
    EXPECT_EQ(m->viewport().rect().left, before.left);
    EXPECT_EQ(m->viewport().rect().top, before.top);

    // The left button drags the image and every mark, hidden ones too.
    drag(grab, grab + QPoint(30, -20));
    EXPECT_FLOAT_EQ(m->viewport().rect().left, before.left + 450.0f);
    EXPECT_FLOAT_EQ(m->viewport().rect().top, before.top - 300.0f);
    EXPECT_FLOAT_EQ(m->marks().line2[0].x1, marks.line2[0].x1 + 450.0f);
    EXPECT_FLOAT_EQ(m->marks().line2[0].y1, marks.line2[0].y1 - 300.0f);
    EXPECT_FLOAT_EQ(m->marks().line2[2].x2, marks.line2[2].x2 + 450.0f);
    EXPECT_FALSE(m->marks().line1.visible);
    EXPECT_EQ(windows->measureDialog(), nullptr);

    // Restore shows the picture as Open did and hides the marks.
    click(QStringLiteral("还原"));
    EXPECT_EQ(m->viewport().rect().left, opened.left);
    EXPECT_EQ(m->viewport().rect().top, opened.top);
    EXPECT_EQ(m->viewport().rect().width, opened.width);
    EXPECT_TRUE(zoomEnabled());
    EXPECT_FALSE(m->marks().line2[0].visible);

    // Clear leaves a zoomed, moved picture where it is.
    click(QStringLiteral("缩小"));
    drag(grab, grab + QPoint(10, 10));
    const ImageRect moved = m->viewport().rect();
    click(QStringLiteral("清屏"));
    EXPECT_EQ(m->viewport().rect().left, moved.left);
    EXPECT_EQ(m->viewport().rect().width, moved.width);
    EXPECT_FALSE(m->picture().isNull());
}

TEST_F(MeasureWindowTest, windowEventsCloseTheDialogWithoutWritingAndExitUnloadsBoth) {
    click(QStringLiteral("测量"));
    auto openDialog = [this](int y) {
        drag(onImage(10, y), onImage(110, y));
        Form2* dialog = windows->measureDialog();
        EXPECT_NE(dialog, nullptr);
        if (dialog != nullptr) {
            QTest::mouseClick(dialog->option1(2), Qt::LeftButton);
            dialog->text1()->setText(QStringLiteral("4"));
        }
    };

    openDialog(20);
    window.tabs()->setCurrentIndex(1);
    EXPECT_EQ(windows->measureDialog(), nullptr);
    window.tabs()->setCurrentIndex(0);
    EXPECT_EQ(model.Text1(25), QString());
    EXPECT_EQ(model.Text1(31), QString());
    EXPECT_TRUE(m->marks().line2[0].visible);  // the marks stay

    openDialog(40);
    QMimeData data;
    data.setText(QStringLiteral("x"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &drop);
    EXPECT_EQ(windows->measureDialog(), nullptr);

    openDialog(60);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), window.mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(windows->measureDialog(), nullptr);
    EXPECT_EQ(model.Text1(25), QString());
    EXPECT_TRUE(m->marks().line2[2].visible);
    EXPECT_EQ(m->RB(2), 0);

    // Exit unloads the magnifier, then the dialog.
    openDialog(80);
    ASSERT_NE(windows->magnifier(), nullptr);
    ASSERT_NE(windows->measureDialog(), nullptr);
    QString order;
    QObject::connect(windows->magnifier(), &QObject::destroyed, [&order] { order += QStringLiteral("3"); });
    QObject::connect(windows->measureDialog(), &QObject::destroyed, [&order] { order += QStringLiteral("2"); });
    emit window.secondaryWindowsCloseRequested();
    EXPECT_EQ(windows->magnifier(), nullptr);
    EXPECT_EQ(windows->measureDialog(), nullptr);
    EXPECT_EQ(order, QStringLiteral("32"));
}

TEST_F(MeasureWindowTest, magnifierShowsOverTheImageAndHidesOverTheTabStrip) {
    QTest::mouseMove(view, onImage(100, 100));
    Form3* magnifier = windows->magnifier();
    ASSERT_NE(magnifier, nullptr);
    EXPECT_TRUE(magnifier->isVisible());
    EXPECT_TRUE(magnifier->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(magnifier->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(magnifier->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(magnifier->MagnifyFactor(), 1.5f);
    EXPECT_EQ(magnifier->ViewHeight(), 193);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(magnifier));
    QTest::mouseClick(magnifier->option1(3), Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_EQ(magnifier->MagnifyFactor(), 6.0f);
    magnifier->DrawMagnified(500, 400);
    EXPECT_EQ(magnifier->lastCopy().sourceWidth, 37);
    EXPECT_EQ(magnifier->lastCopy().destWidth, 222);
    // The caption follows the pointer on the timer.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return magnifier->windowTitle().startsWith(QStringLiteral("放大镜 坐标(")); }, 5000));

    // Over the tab bar: hidden but loaded; over a toolbar button it stays.
    QTabBar* bar = window.tabs()->tabBar();
    QTest::mouseMove(bar, bar->tabRect(0).center());
    EXPECT_EQ(windows->magnifier(), magnifier);
    EXPECT_FALSE(magnifier->isVisible());
    QTest::mouseMove(view, onImage(120, 100));
    EXPECT_TRUE(magnifier->isVisible());
    QTest::mouseMove(button(QStringLiteral("还原")), QPoint(5, 5));
    EXPECT_TRUE(magnifier->isVisible());

    // A run starting unloads it; the next move makes a fresh one at factor 1.5.
    emit window.magnifierCloseRequested();
    EXPECT_EQ(windows->magnifier(), nullptr);
    QTest::mouseMove(view, onImage(130, 100));
    ASSERT_NE(windows->magnifier(), nullptr);
    EXPECT_EQ(windows->magnifier()->MagnifyFactor(), 1.5f);
    EXPECT_TRUE(windows->magnifier()->option1(0)->isChecked());
}

TEST_F(MeasureWindowTest, dialogOpensBesideThePictureAndOpenOrClearCloseItWithoutWriting) {
    // Room on the right of the picture: beside it, nothing covered.
    const QRect screen(0, 0, 1280, 1024);
    const QSize dialog(260, 190);
    const QPoint right = measureDialogPlace(QRect(100, 100, 700, 600), dialog, screen);
    EXPECT_EQ(right, QPoint(808, 100));
    // A picture filling the screen but its top right corner: that corner.
    const QPoint corner = measureDialogPlace(QRect(0, 200, 1280, 824), dialog, screen);
    EXPECT_FALSE(QRect(corner, dialog).intersects(QRect(0, 200, 1280, 824)));
    // Everything covered: the dialog still lies wholly on the screen.
    const QPoint inside = measureDialogPlace(screen, dialog, screen);
    EXPECT_TRUE(screen.contains(QRect(inside, dialog)));

    click(QStringLiteral("测量"));
    drag(onImage(50, 50), onImage(150, 50));
    ASSERT_NE(windows->measureDialog(), nullptr);
    windows->measureDialog()->text1()->setText(QStringLiteral("5"));
    click(QStringLiteral("清屏"));
    EXPECT_TRUE(dialogGone());
    EXPECT_EQ(model.Text1(23), QString());

    click(QStringLiteral("测量"));
    drag(onImage(50, 50), onImage(150, 80));
    ASSERT_NE(windows->measureDialog(), nullptr);
    click(QStringLiteral("打开"));  // cancelled: the earlier picture stays
    EXPECT_TRUE(dialogGone());
    EXPECT_EQ(model.Text1(23), QString());
}
