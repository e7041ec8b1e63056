// SPDX-License-Identifier: BSD-3-Clause
// The calibration store: its lines read back to the same calibrations, saves and removals under
// the lock, a locked or unreadable store left as it was, and the removal of a distortion.
#include <gtest/gtest.h>

#include <cmath>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include "store/calibrationstore.h"
#include "store/textfile.h"
#include "tests/fulldisk.h"
#include "tests/files.h"

namespace saed::store {
namespace {

SavedCalibration sample(const std::string& name) {
    SavedCalibration c;
    c.name = name;
    c.microscope = "JEM-2100 二号机";
    c.voltageKv = 200;
    c.cameraLengthMm = 250;
    c.binning = 2;
    c.perPixel = 0.0123456789012345;
    c.perPixelSigma = 1.5e-6;
    c.distortion = {1.0473, 137.25};
    c.ratioSigma = 3e-4;
    c.angleSigmaDeg = 0.4;
    c.date = "2026-12-07 13:40:00";
    c.standard = "Au";
    c.standardFile = "/data/金标样.tif";
    return c;
}

TEST(CalibrationStoreTest, linesRoundTripAndBadLines) {
    const std::vector<SavedCalibration> all{sample("200kV 250mm"), sample("第二台")};
    int bad = -1;
    const auto back = parseCalibrations(calibrationLines(all), bad);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);  // every double to the last bit
    EXPECT_EQ(bad, 0);

    auto lines = calibrationLines(all);
    lines.insert(lines.begin() + 3, "futureKey=kept out");  // a later version's key reads
    EXPECT_TRUE(parseCalibrations(lines, bad));
    lines[4] = "voltageKv=2OO";
    EXPECT_FALSE(parseCalibrations(lines, bad));
    EXPECT_EQ(bad, 5);
    EXPECT_FALSE(parseCalibrations({"[a]", "perPixel=0.01", "[a]", "perPixel=0.02"}, bad));  // a name twice
    EXPECT_FALSE(parseCalibrations({"[a]", "microscope=x"}, bad));                            // no value
    EXPECT_EQ(bad, 1);
    EXPECT_EQ(std::vector({calibrationNameProblem(" a"), calibrationNameProblem("a]b"), calibrationNameProblem("a\nb"),
                           calibrationNameProblem("")}),
              std::vector({NameProblem::Blanks, NameProblem::BadCharacter, NameProblem::BadCharacter, NameProblem::Empty}));
}

TEST(CalibrationStoreTest, saveFindRemoveUnderTheLock) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/Calibrations.ini"));
    const CalibrationStore store(path);
    QString error;
    ASSERT_TRUE(store.list(&error));  // absent: empty
    EXPECT_TRUE(store.list()->empty());
    ASSERT_TRUE(store.save(sample("A"), false, &error)) << error.toStdString();
    ASSERT_TRUE(store.save(sample("B"), false, &error));
    EXPECT_FALSE(store.save(sample("A"), false, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("A")));
    SavedCalibration changed = sample("A");
    changed.perPixel = 0.02;
    ASSERT_TRUE(store.save(changed, true, &error));
    ASSERT_TRUE(store.find(QStringLiteral("A")));
    EXPECT_EQ(store.find(QStringLiteral("A"))->perPixel, 0.02);
    EXPECT_EQ(store.list()->size(), 2u);
    // GB18030 lines ending CR LF, as every text file of the program.
    const QByteArray bytes = testdata::fileBytes(path);
    EXPECT_TRUE(bytes.startsWith("[A]\r\n"));
    EXPECT_TRUE(bytes.contains("microscope=JEM-2100 \xb6\xfe\xba\xc5\xbb\xfa\r\n"));

    // Another program holds the lock: nothing is written.
    {
        QLockFile other(path + QStringLiteral(".lock"));
        ASSERT_TRUE(other.tryLock());
        const CalibrationStore quick(path, 200);
        EXPECT_FALSE(quick.remove(QStringLiteral("B"), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("Calibrations.ini")));
    }
    EXPECT_EQ(testdata::fileBytes(path), bytes);

    ASSERT_TRUE(store.remove(QStringLiteral("B"), &error));
    EXPECT_FALSE(store.remove(QStringLiteral("B"), &error));
    EXPECT_FALSE(store.find(QStringLiteral("B"), &error));
    EXPECT_EQ(store.list()->size(), 1u);

    // A store damaged by hand is named with its line and not overwritten.
    ASSERT_TRUE(writeTextFileAtomic(path, {QStringLiteral("[A]"), QStringLiteral("perPixel=abc")}));
    EXPECT_FALSE(store.save(sample("C"), false, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("2"))) << error.toStdString();
    EXPECT_EQ(readTextLines(path)->size(), 2);
}

// A vector recorded under a 5 % distortion comes back to its true length and direction.
TEST(CalibrationStoreTest, removesTheDistortion) {
    SavedCalibration c = sample("A");
    c.distortion = {1.05, 30.0};
    for (double angle = 0; angle < 360; angle += 17) {
        const double tx = 100 * std::cos(angle * M_PI / 180), ty = 100 * std::sin(angle * M_PI / 180);
        double x = tx, y = ty;
        c.distortion.distort(x, y);
        removeDistortion(c, x, y);
        EXPECT_NEAR(x, tx, 1e-9);
        EXPECT_NEAR(y, ty, 1e-9);
    }
    // Along the major axis a recorded length is sqrt(1.05) too long; across it, too short.
    double x = 100 * std::cos(M_PI / 6), y = 100 * std::sin(M_PI / 6);
    removeDistortion(c, 10, 20, x += 10, y += 20);
    EXPECT_NEAR(std::hypot(x - 10, y - 20), 100 / std::sqrt(1.05), 1e-9);
}

// A full disk: a save or removal is refused naming the system's reason, and the store keeps its
// bytes with no temporary file left beside it.
TEST(CalibrationStoreTest, aFullDiskSaysWhyAndKeepsTheStore) {
    testdata::FullDisk disk;
    if (!disk.problem().isEmpty()) GTEST_SKIP() << disk.problem().toStdString();
    const CalibrationStore store(disk.filePath(QStringLiteral("Calibrations.ini")));
    QString error;
    // More than two pages, so that the new store cannot fit where the old one's first page would.
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(store.save(sample("camera " + std::to_string(i)), false, &error)) << i;
    const QByteArray bytes = testdata::fileBytes(store.path());
    ASSERT_GT(bytes.size(), 8192);
    disk.fill(1);  // room for the lock file, none for the new store
    EXPECT_FALSE(store.save(sample("new"), false, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("No space left on device"))) << error.toStdString();
    EXPECT_FALSE(store.remove(QStringLiteral("camera 0"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("No space left on device"))) << error.toStdString();
    EXPECT_EQ(testdata::fileBytes(store.path()), bytes);
    EXPECT_EQ(QDir(QFileInfo(store.path()).absolutePath()).entryList(QDir::Files),
              QStringList({QStringLiteral("Calibrations.ini"), QStringLiteral("filler")}));
}

}  // namespace
}  // namespace saed::store
