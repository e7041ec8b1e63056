// The measurement operations on the working data: open, clear, the lines and the dialog's writes.
#include "measure/imagemeasurement.h"

#include <cmath>

#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "model/texts.h"
#include "app/measuredialog.h"

using namespace saed;
using namespace saed::measure;
using model::Caption;
using Kind = model::ScriptedPrompts::Kind;

namespace {

const int kMeasurementFields[] = {22, 23, 24, 25, 26, 30, 31, 32, 33, 34, 35};

struct Fixture {
    model::MainModel model;
    model::ScriptedPrompts prompts;
    ImageMeasurement m{model, prompts};
    QTemporaryDir dir;

    Fixture() { m.setOuterSizeSource([] { return QSize(1180, 800); }); }

    QString writeImage(const QString& name, const QImage& image) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    // A measure-mode line between two image points (twips), with the left button.
    void line(double x1, double y1, double x2, double y2) {
        m.press(Qt::LeftButton, Qt::LeftButton, x1, y1);
        m.move(Qt::LeftButton, x2, y2);
        m.release(Qt::LeftButton, x2, y2);
    }
    void accept(int kind, const QString& value) {
        MeasureDialogLogic dialog(m);
        dialog.choose(kind);
        dialog.accept(value);
    }
};

}  // namespace

TEST(ImageMeasurementTest, openClearsFirstEvenWhenCancelled) {
    Fixture f;
    for (int n : kMeasurementFields) f.model.setText1(n, QStringLiteral("7"));
    for (int n : {0, 27}) f.model.setText1(n, QStringLiteral("7"));
    model::ResultTableModel::Row row;
    row.cells[0] = QStringLiteral("1");
    f.model.resultTable()->build({row, row});
    f.model.setCaption(Caption::Label22, QStringLiteral("2"));
    f.model.setCaption(Caption::Label5, QStringLiteral("summary"));
    f.m.toggleMode();

    f.m.Open();  // no answer queued: cancelled
    ASSERT_EQ(f.prompts.questions().size(), 1u);
    EXPECT_EQ(f.prompts.questions()[0].kind, Kind::OpenImage);
    EXPECT_EQ(f.prompts.questions()[0].text,
              QStringLiteral("所有格式图像|*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png|JPEG图像(*.jpg;*.jpeg)|*.jpg;*.jpeg|"
                             "BMP图像(*.bmp)|*.bmp|GIF图像(*.gif)|*.gif|TIFF图像(*.tif;*.tiff)|*.tif;*.tiff|PNG图像(*.png)|*.png"));
    for (int n : kMeasurementFields) EXPECT_EQ(f.model.Text1(n), QString()) << n;
    for (int n : {0, 27}) EXPECT_EQ(f.model.Text1(n), QStringLiteral("7")) << n;  // not measurement fields
    EXPECT_EQ(f.model.resultTable()->rowCount(), 0);
    EXPECT_EQ(f.model.caption(Caption::Label22), QStringLiteral("0"));
    EXPECT_EQ(f.model.caption(Caption::Label5), model::label5IdleText());
    EXPECT_FALSE(f.m.MeasureMode());
    EXPECT_EQ(f.m.RB(1) + f.m.RB(2) + f.m.RB(3), 0);
    EXPECT_EQ(f.m.SpotVector(2).x, 1.0);
    EXPECT_EQ(f.m.SpotVector(2).y, 1.0);
    EXPECT_TRUE(f.m.picture().isNull());
}

TEST(ImageMeasurementTest, openShowsTheChosenFileCentredAtNaturalSize) {
    Fixture f;
    QImage image(80, 60, QImage::Format_RGB32);
    image.fill(Qt::gray);
    const QString path = f.writeImage(QStringLiteral("spots.png"), image);
    f.prompts.queueImagePath(path);
    f.m.Open();
    EXPECT_EQ(f.model.chosenFile(), path);
    EXPECT_EQ(f.m.picture().size(), QSize(80, 60));
    EXPECT_FLOAT_EQ(f.m.viewport().rect().width, 1200.0f);
    EXPECT_FLOAT_EQ(f.m.viewport().rect().left, 6800.0f);  // centred on (7400, 5150)
    EXPECT_FLOAT_EQ(f.m.viewport().rect().top, 4700.0f);

    // A file that is not an image: a message naming it, and the earlier picture stays.
    QFile junk(f.dir.filePath(QStringLiteral("broken.png")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an image at all");
    junk.close();
    f.model.setText1(22, QStringLiteral("5"));
    f.prompts.queueImagePath(junk.fileName());
    f.m.Open();
    ASSERT_EQ(f.prompts.questions().size(), 3u);
    EXPECT_EQ(f.prompts.questions()[2].kind, Kind::Warn);
    EXPECT_EQ(f.prompts.questions()[2].text, QStringLiteral("无法读取图像文件：broken.png"));
    EXPECT_EQ(f.prompts.questions()[2].title, QString());
    EXPECT_EQ(f.m.picture().size(), QSize(80, 60));
    EXPECT_EQ(f.model.chosenFile(), path);
    EXPECT_EQ(f.model.Text1(22), QString());  // the Clear before the dialog stays done
}

TEST(ImageMeasurementTest, grayscaleTiffOpensAndSixteenBitIsStretched) {
    if (!QImageWriter::supportedImageFormats().contains("tiff")) GTEST_SKIP() << "no TIFF plugin";
    Fixture f;
    QImage deep(64, 4, QImage::Format_Grayscale16);
    for (int y = 0; y < deep.height(); ++y) {
        auto* line = reinterpret_cast<quint16*>(deep.scanLine(y));
        for (int x = 0; x < deep.width(); ++x) line[x] = static_cast<quint16>(1000 + 2000 * x / 63);
    }
    const QImage shown = decodeImage(f.writeImage(QStringLiteral("deep.tif"), deep));
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(qGray(shown.pixel(0, 0)), 0);
    EXPECT_EQ(qGray(shown.pixel(63, 2)), 255);
    EXPECT_NEAR(qGray(shown.pixel(32, 1)), 130, 2);

    QImage flat(10, 10, QImage::Format_Grayscale8);
    flat.fill(77);
    const QImage eight = decodeImage(f.writeImage(QStringLiteral("flat.tif"), flat));
    ASSERT_FALSE(eight.isNull());
    EXPECT_EQ(qGray(eight.pixel(5, 5)), 77);
}

TEST(ImageMeasurementTest, dialogWritesLengthsValuesAndAngles) {
    Fixture f;
    QImage image(80, 60, QImage::Format_Grayscale8);
    image.fill(40);
    ASSERT_TRUE(f.m.openPath(f.writeImage(QStringLiteral("p.png"), image)));
    f.m.toggleMode();

    // Scale bar of 1234.567 px: caption 1234.57, field 1234.56701660156; no angle without R1..R3.
    f.line(0, 0, 1234.567 * 15.0, 0);
    {
        MeasureDialogLogic dialog(f.m);
        EXPECT_EQ(dialog.label2(), QStringLiteral("标尺长度为1234.57像素"));
        EXPECT_EQ(dialog.label1(), QStringLiteral("为       1/nm"));
        EXPECT_EQ(dialog.MeasureKind(), 0);
        dialog.accept(QStringLiteral("5"));  // no choice made: the scale bar
    }
    EXPECT_EQ(f.model.Text1(23), QStringLiteral("1234.56701660156"));
    EXPECT_EQ(f.model.Text1(22), QStringLiteral("5"));
    for (int n : {33, 34, 35}) EXPECT_EQ(f.model.Text1(n), QString());

    // R1 at 0 degrees, R2 at 90, R3 at 45, lines of different lengths.
    f.line(0, 0, 3000, 0);
    {
        MeasureDialogLogic dialog(f.m);
        dialog.choose(1);
        EXPECT_EQ(dialog.label1(), QStringLiteral("为       段"));
        EXPECT_EQ(dialog.label2(), QStringLiteral("R1测量长度为200像素"));
        dialog.accept(QStringLiteral("2"));
    }
    EXPECT_EQ(f.model.Text1(24), QStringLiteral("200"));
    EXPECT_EQ(f.model.Text1(30), QStringLiteral("2"));
    EXPECT_EQ(f.m.SpotVector(1).x, -3000.0);
    f.line(500, 6000, 500, 1500);
    f.accept(2, QStringLiteral("x3"));  // not validated
    EXPECT_EQ(f.model.Text1(31), QStringLiteral("x3"));
    EXPECT_EQ(f.model.Text1(33), QString());
    f.line(3000, 0, 0, 3000);  // R3 at 45 degrees, drawn from its far end
    f.accept(3, QStringLiteral("1"));
    EXPECT_EQ(f.model.Text1(26), QStringLiteral("282.842712402344"));  // 3000 * sqrt(2) / 15 as a single
    EXPECT_EQ(f.model.Text1(32), QStringLiteral("1"));
    EXPECT_EQ(f.m.RB(1) + f.m.RB(2) + f.m.RB(3), 3);
    auto expectAngles = [&f](double a12, double a23, double a13) {
        EXPECT_NEAR(f.model.value(33), a12, 1e-9);
        EXPECT_NEAR(f.model.value(34), a23, 1e-9);
        EXPECT_NEAR(f.model.value(35), a13, 1e-9);
    };
    expectAngles(90.0, 45.0, 45.0);

    // Every later accept re-runs the search, the scale bar's too.
    f.model.setText1(33, QStringLiteral("typed"));
    f.line(0, 0, 1500, 0);
    f.accept(0, QStringLiteral("5"));
    EXPECT_NEAR(f.model.value(33), 90.0, 1e-9);
    EXPECT_EQ(f.model.Text1(23), QStringLiteral("100"));

    // A new R2 replaces only R2: at 60 degrees the angles become 60, 15, 45.
    f.line(0, 0, 1500, -1500 * std::sqrt(3.0));
    f.accept(2, QStringLiteral("1"));
    expectAngles(60.0, 15.0, 45.0);
    EXPECT_EQ(f.m.SpotVector(1).x, -3000.0);

    // An R2 parallel to R1 has no angle: the fields keep what they showed.
    f.line(0, 0, 900, 0);
    f.accept(2, QStringLiteral("1"));
    expectAngles(60.0, 15.0, 45.0);
    EXPECT_EQ(f.model.Text1(25), QStringLiteral("60"));
}
