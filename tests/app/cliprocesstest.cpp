// SPDX-License-Identifier: BSD-3-Clause
// saedindex-cli run as a user runs it: failed writes and bad input end with a message and a
// non-zero exit status, and never leave an empty or half-written file behind.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <tuple>

#include <gtest/gtest.h>

#include "tests/fulldisk.h"
#include "tests/files.h"
#include "tests/programrun.h"

namespace {

using CliRun = saed::testdata::ProgramRun;
using saed::testdata::fileBytes;

// Runs saedindex-cli in English with `args`; its standard output goes to `outFile` when given.
CliRun runCli(const QStringList& args, const QString& outFile = QString(), const QString& folder = QString()) {
    return saed::testdata::runCliProgram(args, saed::testdata::ProgramOptions().inFolder(folder).outputTo(outFile));
}
CliRun runCli(const QString& line, const QString& outFile = QString(), const QString& folder = QString()) {
    return saed::testdata::runCliProgram(line, saed::testdata::ProgramOptions().inFolder(folder).outputTo(outFile));
}

const char kCubicPattern[] = "--range 1 --scale 2,100 --r1 100,1 --r2 100,1 --r3 141.42,1 --angles 90,45,45";
const QString kCubicIndex = QStringLiteral("index --cell 0.5,0.5,0.5,90,90,90 ") + QString::fromLatin1(kCubicPattern);

}  // namespace

TEST(CliProcessTest, outputThatCannotBeWrittenFailsTheCommand) {
    // Standard output on a full device: every command says so and exits non-zero.
    for (const QString& line : QStringList{"library", "library --help", "calc --cell 0.5,0.5,0.5,90,90,90 --p1 1,0,0 --p2 0,1,0 --p3 1,1,0",
                             "reflections --cell 0.5,0.5,0.5,90,90,90 --type face --range 1", kCubicIndex,
                             "simulate --cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,0,1"}) {
        const CliRun run = runCli(line, QStringLiteral("/dev/full"));
        EXPECT_EQ(run.status, 2) << line.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("standard output"))) << line.toStdString() << ": " << run.err.toStdString();
    }

    // A full disk: --out files and reports keep what was there and the command fails.
    saed::testdata::FullDisk disk;
    if (!disk.problem().isEmpty()) GTEST_SKIP() << disk.problem().toStdString();
    const QString pattern = disk.filePath(QStringLiteral("pattern.json"));
    const char simulate[] = "simulate --cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,0,1 --out";
    ASSERT_EQ(runCli(QString::fromUtf8(simulate).split(u' ') << pattern).status, 0);
    const QByteArray before = fileBytes(pattern);
    ASSERT_FALSE(before.isEmpty());
    disk.fill();
    const CliRun full = runCli(QString::fromUtf8(simulate).split(u' ') << pattern);
    EXPECT_EQ(full.status, 2);
    EXPECT_TRUE(full.err.contains(QStringLiteral("No space left on device"))) << full.err.toStdString();
    EXPECT_EQ(fileBytes(pattern), before);

    // A report with a solution to write (a primitive cubic phase) finds no room either.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString library = saed::testdata::writeFileBytes(
        elsewhere.filePath(QStringLiteral("cubic.txt")), "C;\xe7\xae\x80\xe5\x8d\x95\xe7\x82\xb9\xe9\x98\xb5;1;0.5;0.5;0.5;90;90;90;");  // 简单点阵
    ASSERT_FALSE(library.isEmpty());
    const QString folder = disk.filePath(QString());
    const QStringList files = QDir(folder).entryList(QDir::Files);
    EXPECT_EQ(runCli(kCubicIndex + QStringLiteral(" --report --out ") + folder).status, 2);
    const CliRun screen = runCli(QStringLiteral("screen --library %1 %2 --out %3")
                                     .arg(library, QString::fromLatin1(kCubicPattern), folder));
    EXPECT_EQ(screen.status, 2);
    EXPECT_TRUE(screen.err.contains(QStringLiteral("No space left on device"))) << screen.err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), files);  // no empty report left behind
}

TEST(CliProcessTest, badInputIsRefusedNamingTheFieldAndPrintsNothing) {
    const QString calc = QStringLiteral("calc --p3 1,1,0 ");
    const QString cell = QStringLiteral(" --p1 1,0,0 --p2 0,1,0");
    const QString index = QStringLiteral("index --cell 0.5,0.5,0.5,90,90,90 ");
    const QString measured = QStringLiteral(" --scale 2,100 --r1 100,1 --r2 100,1 --r3 141.42,1");
    const QString orient = QStringLiteral("orient --cell 0.405,0.405,0.405,90,90,90 --type face --g1 2,0,0 --g2 0,2,0");
    const std::pair<QString, QString> cases[] = {
        // Cells: an angle outside (0, 180) passes for its supplement, junk after a number, a
        // cell too large for its metric, angles that close no cell.
        {calc + QStringLiteral("--cell 0.4,0.4,0.4,200,90,90") + cell, QStringLiteral("alpha = 200")},
        {calc + QStringLiteral("--cell 0.4,0.4,0.4,90,-90,90") + cell, QStringLiteral("beta = -90")},
        {calc + QStringLiteral("--cell 0.4,0.4,0.4,90,90,450") + cell, QStringLiteral("gamma = 450")},
        {calc + QStringLiteral("--cell 0.4abc,0.4,0.4,90,90,90") + cell, QStringLiteral("0.4abc")},
        {calc + QStringLiteral("--cell 1e300,0.4,0.4,90,90,90") + cell, QStringLiteral("a = 1e300")},
        {calc + QStringLiteral("--cell 0.4,0.4,0.4,10,10,170") + cell, QStringLiteral("10°, 10°, 170°")},
        {index + QStringLiteral("--cell 0.5,0.5,0.5,270,90,90 --d 0.5,0.5,0.3535 --angles 90,45,45"), QStringLiteral("--cell")},
        // Options twice or unknown at the end, planes that are none, fractions, parallel planes.
        {calc + QStringLiteral("--cell 0.4,0.4,0.4,90,90,90 --cell 0.5,0.5,0.5,90,90,90") + cell, QStringLiteral("--cell given twice")},
        {calc + QStringLiteral("--cell 0.4,0.4,0.4,90,90,90 --p1 1,0,0 --bogus"), QStringLiteral("unknown option --bogus")},
        {QStringLiteral("calc --cell 0.4,0.4,0.4,90,90,90 --p1 0,0,0 --p2 0,1,0 --p3 1,1,0"), QStringLiteral("--p1: (0 0 0)")},
        {QStringLiteral("calc --cell 0.4,0.4,0.4,90,90,90 --p1 1.5,0,0 --p2 0,1,0 --p3 1,1,0"), QStringLiteral("1.5")},
        {QStringLiteral("calc --cell 0.4,0.4,0.4,90,90,90 --p1 1,0,0 --p2 -2,0,0 --p3 1,1,0"), QStringLiteral("parallel")},
        // Measured values: spacings, scale, counts, tolerances, angles and the range.
        {index + QStringLiteral("--d 0,0.5,0.3535 --angles 90,45,45"), QStringLiteral("--d value 1")},
        {index + QStringLiteral("--scale -2,100 --r1 100,1 --r2 100,1 --r3 141.42,1 --angles 90,45,45"), QStringLiteral("--scale value 1")},
        {index + QStringLiteral("--scale 2,100 --r1 100,0 --r2 100,1 --r3 141.42,1 --angles 90,45,45"), QStringLiteral("--r1 value 2")},
        {index + QStringLiteral("--d 0.5,0.5,0.3535 --angles 90,45,45 --tol-d 1,-1,1"), QStringLiteral("--tol-d value 2")},
        {index + QStringLiteral("--d 0.5,0.5,0.3535 --angles 90,45,45 --tol-angle 1,1,-0.5"), QStringLiteral("--tol-angle value 3")},
        {index + QStringLiteral("--d 0.5,0.5,0.3535 --angles 450,45,45"), QStringLiteral("--angles value 1")},
        {index + QStringLiteral("--d 0.5,0.5,0.3535 --angles 90,-1,45"), QStringLiteral("--angles value 2")},
        {index + QStringLiteral("--range 1.5") + measured + QStringLiteral(" --angles 90,45,45"), QStringLiteral("--range")},
        {QStringLiteral("screen --d 0.5,0.5,0.3535 --angles 90,45,45 --tol-d -1,1,1"), QStringLiteral("--tol-d value 1")},
        {QStringLiteral("image refine ") + QStringLiteral(SAED_SAMPLES "/al-011-pattern.tif --at 100,100 --radius 1e9"),
         QStringLiteral("--radius")},
        // index: a cell value that is no number or one too many, an option twice, a range beyond 99,
        // a scale of 0, no pattern or two of them, an unknown type, families in a CSV.
        {QStringLiteral("index --cell 0.5,0.5,0.5,90,90,x --d 0.5,0.5,0.35 --angles 90,45,45"), QStringLiteral("--cell: 'x' is not a number")},
        {QStringLiteral("index --cell 0.5,0.5,0.5,90,90,90,1 --d 0.5,0.5,0.35 --angles 90,45,45"), QStringLiteral("6 comma-separated values, got 7")},
        {kCubicIndex + QStringLiteral(" --range 120"), QStringLiteral("option --range given twice")},
        {index + QStringLiteral("--range 120 --d 0.5,0.5,0.35 --angles 90,45,45"), QStringLiteral("'120' must be a whole number from 0 to 99")},
        {index + QStringLiteral("--scale 2,0 --r1 100,1 --r2 100,1 --r3 141,1 --angles 90,45,45"), QStringLiteral("--scale value 2 '0' must be above 0")},
        {index + QStringLiteral("--angles 90,45,45"), QStringLiteral("give --d, or --scale")},
        {kCubicIndex + QStringLiteral(" --d 1,1,1"), QStringLiteral("not both")},
        {kCubicIndex + QStringLiteral(" --type hexagonal"), QStringLiteral("--type must be")},
        {kCubicIndex + QStringLiteral(" --format csv --families"), QStringLiteral("--families goes with text or tsv")},
        // calc: a plane index that is no number, edges in metres (no number printed), an edge of 0,
        // five cell values; reflections without a rule; simulate without an axis, with two indices,
        // an edge of 0, no reach, a picture without a file.
        {calc + QStringLiteral("--cell 0.5,0.5,0.5,90,90,90 --p1 1,0,0 --p2 0,1,x"), QStringLiteral("--p2: \"x\" is not a whole number")},
        {calc + QStringLiteral("--cell 5e-10,5e-10,5e-10,90,90,90") + cell, QStringLiteral("the edges 5e-10, 5e-10, 5e-10 nm are too small")},
        {calc + QStringLiteral("--cell 0.5,0,0.5,90,90,90") + cell, QStringLiteral("--cell: b = 0 nm")},
        {QStringLiteral("calc --cell 0.5,0.5,0.5,90,90"), QStringLiteral("are all needed")},
        {QStringLiteral("reflections --cell 1,1,1,90,90,90"), QStringLiteral("give --cif FILE, or --cell with either")},
        {QStringLiteral("simulate --cell 0.405,0.405,0.405,90,90,90 --zone 0,0,0"), QStringLiteral("[0 0 0] is no axis")},
        {QStringLiteral("simulate --cell 0.405,0.405,0.405,90,90,90 --zone 1,1"), QStringLiteral("not \"1,1\"")},
        {QStringLiteral("simulate --cell 0.405,0.405,0,90,90,90 --zone 0,0,1"), QStringLiteral("c = 0 nm")},
        {QStringLiteral("simulate --cell 0.405,0.405,0.405,90,90,90 --zone 0,0,1 --max-g -1"), QStringLiteral("--max-g must be")},
        {QStringLiteral("simulate --cell 0.405,0.405,0.405,90,90,90 --zone 0,0,1 --format png"), QStringLiteral("needs --out FILE")},
        // image: a file or a folder that is no image, refine without a point or with a bad one, an
        // unknown action.
        {QStringLiteral("image info /nonexistent/x.dm3"), QStringLiteral("/nonexistent/x.dm3 does not exist")},
        {QStringLiteral("image info " SAED_SAMPLES), QStringLiteral("is not a file")},
        {QStringLiteral("image refine " SAED_SAMPLES "/al-011-pattern.tif"), QStringLiteral("--at X,Y is needed")},
        {QStringLiteral("image refine " SAED_SAMPLES "/al-011-pattern.tif --at a,b"), QStringLiteral("take numbers")},
        {QStringLiteral("image blur " SAED_SAMPLES "/al-011-pattern.tif"), QStringLiteral("unknown action 'blur'")},
        // Four indices on a cubic cell or with an inconsistent T or i; an orientation without R1's
        // direction; space group 0; a library file that is not there; --out without --report.
        {QStringLiteral("simulate --cell 0.4,0.4,0.4,90,90,90 --zone 2,-1,-1,0"), QStringLiteral("four indices are for hexagonal cells only")},
        {QStringLiteral("simulate --cell 0.32094,0.32094,0.52107,90,90,120 --zone 2,-1,1,0"), QStringLiteral("need T = -(U + V)")},
        {QStringLiteral("calc --cell 0.32094,0.32094,0.52107,90,90,120 --p1 1,0,1,0 --p2 0,0,2 --p3 1,0,2"), QStringLiteral("need i = -(h + k)")},
        {orient, QStringLiteral("give R1's direction with --r1-angle")},
        {QStringLiteral("orient --cell 0.405,0.405,0.405,90,90,90 --g1 1,0,-1,0 --g2 0,0,2 --r1-angle 0"), QStringLiteral("--g1: four indices are for hexagonal")},
        {orient + QStringLiteral(" --r1-angle 0 --indices 4"), QStringLiteral("--indices 4: four indices are for hexagonal")},
        {QStringLiteral("reflections --cell 0.5,0.5,0.5,90,90,90 --spacegroup 0"), QStringLiteral("unknown space group '0'")},
        {QStringLiteral("library --library /nonexistent/none.txt"), QStringLiteral("cannot read '/nonexistent/none.txt'")},
        {index + QStringLiteral("--d 1,1,1 --angles 90,45,45 --out /nonexistent/x"), QStringLiteral("--out names the folder of --report")},
        // The pattern of --image is the image's own: --angles beside --auto, or --image without it.
        {index + QStringLiteral("--image " SAED_SAMPLES "/al-011-pattern.tif --auto --angles 90,45,45"), QStringLiteral("leave out --angles")},
        {index + QStringLiteral("--image " SAED_SAMPLES "/al-011-pattern.tif"), QStringLiteral("--angles is required")},
        // screen: a record the library does not have, a library file that is not there.
        {QStringLiteral("screen --d 0.5,0.5,0.3535 --angles 90,45,45 --phases 9999"), QStringLiteral("'9999' is not a record number")},
        {QStringLiteral("screen --d 0.5,0.5,0.3535 --angles 90,45,45 --library /nonexistent"), QStringLiteral("cannot read '/nonexistent'")},
    };
    for (const auto& [line, named] : cases) {
        const CliRun run = runCli(line);
        EXPECT_EQ(run.status, 2) << line.toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("saedindex-cli ") + line.section(u' ', 0, 0))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(named)) << line.toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << line.toStdString() << "\n" << run.out.toStdString();
    }
}

TEST(CliProcessTest, filesBeyondTheLimitsAreRefusedNamingTheLimit) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&dir](const char* name, const QByteArray& bytes, qint64 size = -1) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        if (size > 0) file.resize(size);  // sparse: no disk taken
        return file.fileName();
    };
    // A TIFF of a few bytes that declares 32768 x 32768 pixels of 8 bits.
    QByteArray tiff("II*\x00\x08\x00\x00\x00", 8);
    const auto entry = [&tiff](quint16 tag, quint16 type, quint32 value) {
        const quint32 count = 1;
        tiff.append(reinterpret_cast<const char*>(&tag), 2).append(reinterpret_cast<const char*>(&type), 2);
        tiff.append(reinterpret_cast<const char*>(&count), 4).append(reinterpret_cast<const char*>(&value), 4);
    };
    const quint16 entries = 9;
    tiff.append(reinterpret_cast<const char*>(&entries), 2);
    for (const auto& [tag, type, value] : {std::tuple<quint16, quint16, quint32>{256, 4, 32768}, {257, 4, 32768}, {258, 3, 8},
                                           {259, 3, 1}, {262, 3, 1}, {273, 4, 122}, {277, 3, 1}, {278, 4, 32768},
                                           {279, 4, 1u << 30}})
        entry(tag, type, value);
    tiff.append(4, '\0');
    const CliRun huge = runCli(QStringList{QStringLiteral("image"), QStringLiteral("info"), write("huge.tif", tiff)});
    EXPECT_EQ(huge.status, 2);
    EXPECT_TRUE(huge.err.contains(QStringLiteral("32768 x 32768 pixels, beyond the limit of 67108864"))) << huge.err.toStdString();

    // A gigabyte that is no image is told so from its first bytes, not as too large.
    const CliRun junk = runCli(QStringList{QStringLiteral("image"), QStringLiteral("info"),
                                           write("junk.dm3", QByteArray("junk"), qint64{1} << 30)});
    EXPECT_EQ(junk.status, 2);
    EXPECT_TRUE(junk.err.contains(QStringLiteral("is not a Digital Micrograph, TIFF or MRC file"))) << junk.err.toStdString();

    // A library text beyond 64 MiB.
    const CliRun library = runCli(QStringList{QStringLiteral("library"), QStringLiteral("--library"),
                                              write("big.txt", QByteArray("Al;"), (qint64{64} << 20) + 1)});
    EXPECT_EQ(library.status, 2);
    EXPECT_TRUE(library.err.contains(QStringLiteral("67108864"))) << library.err.toStdString();
}
