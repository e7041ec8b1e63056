// SPDX-License-Identifier: BSD-3-Clause
// The measurement operations on the working data: open, clear, the lines and the dialog's writes.
#include "measure/imagemeasurement.h"

#include <algorithm>  // for max
#include <cmath>

#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "model/texts.h"
#include "tests/files.h"
#include "measure/measuredialoglogic.h"
#include "indexing/indexingoperations.h"
#include "tools/imagewriters.h"
#include "tools/patterngenerator.h"

using namespace saed;
using namespace saed::measure;
using saed::measure::MeasureDialogLogic;
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
    f.model.resultTable()->buildResults({saed::core::ResultRow{}, saed::core::ResultRow{}}, QColor(225, 0, 0));
    f.model.setCaption(Caption::Label22, QStringLiteral("2"));
    f.model.setCaption(Caption::Label5, QStringLiteral("summary"));
    f.m.toggleMode();

    f.m.Open();  // no answer queued: cancelled
    ASSERT_EQ(f.prompts.questions().size(), 1u);
    EXPECT_EQ(f.prompts.questions()[0].kind, Kind::OpenImage);
    EXPECT_EQ(f.prompts.questions()[0].text,
              QStringLiteral("所有格式图像|*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png;*.dm3;*.dm4;*.mrc;*.map;*.st;*.ccp4|"
                             "JPEG图像(*.jpg;*.jpeg)|*.jpg;*.jpeg|BMP图像(*.bmp)|*.bmp|GIF图像(*.gif)|*.gif|"
                             "TIFF图像(*.tif;*.tiff)|*.tif;*.tiff|PNG图像(*.png)|*.png|"
                             "显微镜图像(*.dm3;*.dm4;*.mrc)|*.dm3;*.dm4;*.mrc;*.map;*.st;*.ccp4"));
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
    f.model.setText1(22, QStringLiteral("5"));
    f.prompts.queueImagePath(testdata::writeFileBytes(f.dir.filePath(QStringLiteral("broken.png")), "not an image at all"));
    f.m.Open();
    ASSERT_EQ(f.prompts.questions().size(), 3u);
    EXPECT_EQ(f.prompts.questions()[2].kind, Kind::Warn);
    // The reader's reason follows the file name, as on the command line.
    EXPECT_TRUE(f.prompts.questions()[2].text.startsWith(QStringLiteral("无法读取图像文件：broken.png\n")))
        << f.prompts.questions()[2].text.toStdString();
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

namespace {

const QString kSample = QStringLiteral(SAED_SOURCE_DIR "/samples/al-011-pattern.tif");

// Two spots of the sample and its direct beam (samples/al-011-pattern.txt), image pixels.
constexpr saed::core::PixelPoint kSpot01{221.3829, 293.0819};
constexpr saed::core::PixelPoint kSpot10{305.6105, 270.0961};
constexpr saed::core::PixelPoint kCentre{255.37, 251.81};

double distance(saed::core::PixelPoint a, saed::core::PixelPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// A PNG whose header says width x height, with an empty picture after it.
QByteArray pngHeader(quint32 width, quint32 height) {
    const auto chunk = [](const QByteArray& typeAndData) {
        quint32 crc = 0xFFFFFFFFu;
        for (char c : typeAndData) {
            crc ^= static_cast<quint8>(c);
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        crc ^= 0xFFFFFFFFu;
        QByteArray out;
        for (quint32 v : {static_cast<quint32>(typeAndData.size() - 4), crc}) {
            for (int shift = 24; shift >= 0; shift -= 8) out.append(static_cast<char>((v >> shift) & 0xFF));
            if (out.size() == 4) out += typeAndData;
        }
        return out;
    };
    QByteArray ihdr("IHDR");
    for (quint32 v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) ihdr.append(static_cast<char>((v >> shift) & 0xFF));
    ihdr.append("\x08\x00\x00\x00\x00", 5);  // 8-bit grey, no interlace
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk(ihdr) + chunk("IDAT") + chunk("IEND");
}

}  // namespace

TEST(ImageMeasurementTest, microscopeFilesFillTheCalibrationOrSayWhyNot) {
    Fixture f;
    QStringList status;
    QObject::connect(&f.model, &model::MainModel::statusMessage, [&](const QString& t) { status << t; });
    ASSERT_TRUE(f.m.openPath(kSample));
    ASSERT_TRUE(f.m.raster() && f.m.raster()->calibration);
    EXPECT_EQ(f.model.Text1(22), QStringLiteral("10"));
    EXPECT_NEAR(f.model.value(23), 10.0 / f.m.raster()->calibration->perPixel, 1e-9);
    ASSERT_FALSE(status.isEmpty());
    EXPECT_TRUE(status.last().startsWith(QStringLiteral("标尺取自图像文件"))) << status.last().toStdString();

    // A real-space scale leaves the fields alone and says why.
    core::Raster raster(8, 6, core::PixelType::Float32);
    raster.setValue(3, 2, 5.0);
    saed::testing::DmOptions o;
    o.calibration = saed::testing::DmCalibration{0.5f, u"nm", 0, 0};
    const saed::testing::Bytes bytes = saed::testing::DmWriter(o).write(raster);
    ASSERT_TRUE(f.m.openPath(testdata::writeFileBytes(
        f.dir.filePath(QStringLiteral("real.dm3")),
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())))));
    EXPECT_EQ(f.m.picture().size(), QSize(8, 6));
    EXPECT_EQ(f.model.Text1(22), QString());
    EXPECT_EQ(f.model.Text1(23), QString());
    EXPECT_TRUE(status.last().contains(QStringLiteral("不是衍射标定"))) << status.last().toStdString();

    // An image beyond what can be held is told as too large, not as unreadable, with the limit.
    EXPECT_FALSE(f.m.openPath(testdata::writeFileBytes(f.dir.filePath(QStringLiteral("huge.png")), pngHeader(70000, 70000))));
    ASSERT_FALSE(f.prompts.questions().empty());
    const QString told = f.prompts.questions().back().text;
    EXPECT_TRUE(told.startsWith(QStringLiteral("图像太大，无法打开：huge.png\n"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("70000 x 70000 pixels, beyond the limit of 67108864"))) << told.toStdString();
}

TEST(ImageMeasurementTest, lengthsAreImagePixelsAtEveryZoomAndEndsSnapToSpots) {
    Fixture f;
    ASSERT_TRUE(f.m.openPath(kSample));
    const double truth = distance(kSpot01, kSpot10);
    // Ends placed a pixel or two off the spots, in image pixels.
    const saed::core::PixelPoint from{kSpot01.x + 1.4, kSpot01.y - 1.2};
    const saed::core::PixelPoint to{kSpot10.x - 1.1, kSpot10.y + 1.6};
    const auto measure = [&] {
        const Vector2 a = f.m.toImageTwips(from), b = f.m.toImageTwips(to);
        f.line(a.x, a.y, b.x, b.y);
        return f.m.MeasuredLengthPx();
    };
    f.m.toggleMode();
    EXPECT_NEAR(measure(), truth, 0.1);  // natural size, snapped
    f.m.setSnapping(false);
    EXPECT_NEAR(measure(), distance(from, to), 1e-3);
    f.m.setSnapping(true);

    f.m.toggleMode();
    for (int i = 0; i < 3; ++i) f.m.zoomIn();
    EXPECT_NEAR(f.m.zoomFactor(), 1.953125, 1e-6);
    f.m.toggleMode();
    EXPECT_NEAR(measure(), truth, 0.1);  // the same spacing zoomed in
    f.m.setSnapping(false);
    EXPECT_NEAR(measure(), distance(from, to), 1e-3);
    f.m.setSnapping(true);

    // With the direct beam found, a click on a spot measures it from the centre.
    ASSERT_TRUE(f.m.findCentre());
    EXPECT_LT(distance(*f.m.centre(), kCentre), 0.2);
    const Vector2 click = f.m.toImageTwips({kSpot10.x + 1.0, kSpot10.y - 1.0});
    f.line(click.x, click.y, click.x, click.y);
    EXPECT_NEAR(f.m.MeasuredLengthPx(), distance(kCentre, kSpot10), 0.2);
    EXPECT_TRUE(f.m.pointerStatus(click).startsWith(QStringLiteral("缩放 195%   像素 (306.6, 269.1)   |g| = ")))
        << f.m.pointerStatus(click).toStdString();
}

TEST(ImageMeasurementTest, automaticSpotsFillTheFieldsAsThreeAcceptedLines) {
    Fixture f;
    EXPECT_FALSE(f.m.autoSpots());  // no image yet
    ASSERT_TRUE(f.m.openPath(kSample));
    ASSERT_TRUE(f.m.autoSpots());
    EXPECT_GE(f.m.spots().size(), 40u);
    const double g111 = distance(kCentre, kSpot10);
    EXPECT_NEAR(f.model.value(24), g111, 0.1);
    EXPECT_NEAR(f.model.value(25), g111, 0.1);
    for (int n : {30, 31, 32}) EXPECT_EQ(f.model.Text1(n), QStringLiteral("1")) << n;
    // R3 = R1 + R2 lies between them: <R1,R2> = <R2,R3> + <R1,R3>.
    EXPECT_NEAR(f.model.value(33), f.model.value(34) + f.model.value(35), 1e-6);
    EXPECT_EQ(f.m.RB(1) + f.m.RB(2) + f.m.RB(3), 3);
    int shown = 0;
    for (const Segment& mark : f.m.marks().line2) shown += mark.visible ? 1 : 0;
    EXPECT_EQ(shown, 3);
    f.m.Clear();
    EXPECT_FALSE(f.m.centre().has_value());
    EXPECT_TRUE(f.m.spots().empty());
}

TEST(ImageMeasurementTest, aCentreSetByClickOrDragIsLockedAndAutomaticSpotsKeepIt) {
    Fixture f;
    ASSERT_TRUE(f.m.openPath(kSample));
    const auto click = [&](saed::core::PixelPoint p) {
        const Vector2 t = f.m.toImageTwips(p);
        f.m.press(Qt::LeftButton, Qt::LeftButton, t.x, t.y);
        f.m.release(Qt::LeftButton, t.x, t.y);
    };
    // "设为中心": a click near the beam lands on its sub-pixel centre and locks it, once.
    f.m.setCentreMode(true);
    const ImageRect before = f.m.viewport().rect();
    click({kCentre.x + 1.5, kCentre.y - 1.0});
    ASSERT_TRUE(f.m.centre());
    EXPECT_LT(distance(*f.m.centre(), kCentre), 0.3);
    EXPECT_TRUE(f.m.centreLocked());
    EXPECT_FALSE(f.m.centreMode());

    // Dragging the cross (move mode) puts it where it is let go, locked, and does not pan.
    const saed::core::PixelPoint set = *f.m.centre();
    const saed::core::PixelPoint dragged{set.x + 1.0, set.y - 0.5};
    const Vector2 from = f.m.toImageTwips(set), to = f.m.toImageTwips(dragged);
    ASSERT_TRUE(f.m.onCentre(from));
    f.m.press(Qt::LeftButton, Qt::LeftButton, from.x, from.y);
    f.m.move(Qt::LeftButton, to.x, to.y);
    f.m.release(Qt::LeftButton, to.x, to.y);
    EXPECT_LT(distance(*f.m.centre(), dragged), 1e-6);
    EXPECT_TRUE(f.m.centreLocked());
    EXPECT_EQ(f.m.viewport().rect().left, before.left);
    EXPECT_EQ(f.m.viewport().rect().top, before.top);

    // 自动找斑点 draws R1..R3 from the locked centre and leaves it where it is.
    ASSERT_TRUE(f.m.autoSpots());
    EXPECT_LT(distance(*f.m.centre(), dragged), 1e-9);
    ASSERT_TRUE(f.m.spotLine(1));
    EXPECT_NEAR(f.m.spotLine(1)->x0, dragged.x, 1e-9);
    EXPECT_NEAR(f.m.spotLine(1)->y0, dragged.y, 1e-9);
    // Unlocked, it refines the centre with the lattice again.
    f.m.setCentreLocked(false);
    ASSERT_TRUE(f.m.autoSpots());
    EXPECT_LT(distance(*f.m.centre(), kCentre), 0.3);
    EXPECT_GT(distance(*f.m.centre(), dragged), 0.5);

    f.m.setCentre(kCentre, true);
    f.m.Clear();
    EXPECT_FALSE(f.m.centreLocked());
    EXPECT_FALSE(f.m.centre());
}

namespace {

// The rows of an indexing run of aluminium (face-centred, N = 3) on the measured fields.
QStringList aluminiumRows(model::MainModel& model, model::Prompts& prompts) {
    model.setCombo1Items(model::latticeTypeNames());
    model.setCombo1(saed::core::LatticeType::FaceCentred);
    const char* const cell[] = {"0.40495", "0.40495", "0.40495", "90", "90", "90"};
    for (int n = 0; n < 6; ++n) model.setText1(n, QString::fromLatin1(cell[n]));
    model.setText1(21, QStringLiteral("3"));
    indexing::IndexingOperations run(model, prompts);
    run.RunIndexing();
    QStringList rows;
    const model::ResultTableModel& table = *model.resultTable();
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model::ResultTableModel::kColumns; ++c) cells << table.cell(r, c);
        rows << cells.join(u'\t');
    }
    return rows;
}

}  // namespace

// A pattern recorded under a 5 % distortion, with the calibration that holds it chosen, measures
// and indexes as the undistorted pattern does; the hand-drawn lines lose it too, along the major
// axis and across it; choosing none gives back the lengths as recorded.
TEST(ImageMeasurementTest, chosenCalibrationRemovesItsDistortionFromEveryMeasuredVector) {
    const core::EllipticDistortion distortion{1.05, 37.0};
    const tools::Pattern truth = tools::makePattern({});
    Fixture f;
    std::string error;
    const QString plain = f.dir.filePath(QStringLiteral("plain.tif")), recorded = f.dir.filePath(QStringLiteral("recorded.tif"));
    ASSERT_TRUE(core::writeTiff(plain.toStdString(), truth.raster, error)) << error;
    ASSERT_TRUE(core::writeTiff(recorded.toStdString(), tools::recordedUnder(truth.raster, distortion, tools::PatternSpec{}.centreX, tools::PatternSpec{}.centreY), error)) << error;

    ASSERT_TRUE(f.m.openPath(plain));
    ASSERT_TRUE(f.m.autoSpots());
    std::array<double, 6> reference{};
    for (int i = 0; i < 3; ++i) reference[i] = f.model.value(24 + i), reference[i + 3] = f.model.value(33 + i);
    const QStringList referenceRows = aluminiumRows(f.model, f.prompts);
    ASSERT_GT(referenceRows.size(), 0);

    const ChosenCalibration cam{QStringLiteral("cam"), 0.08, distortion, 0.0};
    f.m.setChosenCalibration(cam);
    ASSERT_TRUE(f.m.openPath(recorded));
    ASSERT_TRUE(f.m.autoSpots());
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(f.model.value(24 + i), reference[i], 0.05) << "R" << i + 1;
        EXPECT_NEAR(f.model.value(33 + i), reference[i + 3], 0.05) << "angle " << i;
    }
    EXPECT_EQ(aluminiumRows(f.model, f.prompts), referenceRows);
    EXPECT_TRUE(f.model.calibrationNote().startsWith(QStringLiteral("cam（0.08 1/nm/px"))) << f.model.calibrationNote().toStdString();

    // None chosen: the vectors as the image shows them, which index otherwise.
    f.m.setChosenCalibration(std::nullopt);
    EXPECT_TRUE(f.model.calibrationNote().isEmpty());
    double largest = 0;
    for (int i = 0; i < 3; ++i) largest = std::max(largest, std::abs(f.model.value(24 + i) - reference[i]));
    EXPECT_GT(largest, 0.5);
    EXPECT_NE(aluminiumRows(f.model, f.prompts), referenceRows);

    // Lines drawn by hand: 100 px along the major axis shrink by sqrt(1.05), across it they grow.
    f.m.setSnapping(false);
    f.m.setChosenCalibration(cam);
    f.m.toggleMode();
    const double t = distortion.angleDeg * M_PI / 180.0, c = std::cos(t) * 1500, s = std::sin(t) * 1500;
    const double x0 = 3000, y0 = 3000;
    f.line(x0, y0, x0 + c, y0 + s);
    f.accept(1, QStringLiteral("1"));
    f.line(x0, y0, x0 - s, y0 + c);
    f.accept(2, QStringLiteral("1"));
    EXPECT_NEAR(f.model.value(24), 100.0 / std::sqrt(1.05), 1e-3);
    EXPECT_NEAR(f.model.value(25), 100.0 * std::sqrt(1.05), 1e-3);
    // Choosing none afterwards writes the lengths as drawn.
    f.m.setChosenCalibration(std::nullopt);
    EXPECT_NEAR(f.model.value(24), 100.0, 1e-3);
    EXPECT_NEAR(f.model.value(25), 100.0, 1e-3);
}

// The file's own calibration is shown beside the chosen one; a large difference is told, a small
// one is not; choosing none gives the file's scale bar back, and a new image keeps the choice.
TEST(ImageMeasurementTest, fileCalibrationBesideTheChosenOne) {
    Fixture f;
    QStringList shown;
    QObject::connect(&f.m, &ImageMeasurement::calibrationComparisonChanged, [&](const QString& t) { shown << t; });
    ASSERT_TRUE(f.m.openPath(kSample));
    const double file = f.m.raster()->calibration->perPixel;

    f.m.setChosenCalibration(ChosenCalibration{QStringLiteral("near"), file / 1.004, {}, 0.0});
    EXPECT_EQ(f.model.Text1(22), QStringLiteral("10"));
    EXPECT_NEAR(f.model.value(23), 10.0 * 1.004 / file, 1e-9);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.last().contains(QStringLiteral("（+0.40 %）"))) << shown.last().toStdString();
    EXPECT_TRUE(f.prompts.questions().empty());

    f.m.setChosenCalibration(ChosenCalibration{QStringLiteral("far"), file / 0.9, {}, 0.0});
    ASSERT_EQ(f.prompts.questions().size(), 1u);
    const QString told = f.prompts.questions().back().text;
    EXPECT_TRUE(told.contains(QStringLiteral("“far”")) && told.contains(QStringLiteral("相差 -10.00 %"))) << told.toStdString();
    EXPECT_NEAR(f.model.value(23), 10.0 * 0.9 / file, 1e-9);

    // Opened again, the image keeps the chosen calibration and tells the difference again.
    ASSERT_TRUE(f.m.openPath(kSample));
    EXPECT_NEAR(f.model.value(23), 10.0 * 0.9 / file, 1e-9);
    EXPECT_EQ(f.prompts.questions().size(), 2u);

    f.m.setChosenCalibration(std::nullopt);
    EXPECT_NEAR(f.model.value(23), 10.0 / file, 1e-9);
    EXPECT_TRUE(shown.last().isEmpty());
}
