// saedindex-cli run as a user runs it: failed writes and bad input end with a message and a
// non-zero exit status, and never leave an empty or half-written file behind.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/fulldisk.h"

namespace {

struct CliRun {
    int status = -1;
    QString err;
};

// Runs saedindex-cli in English with `args`; its standard output goes to `outFile` when given.
CliRun runCli(const QStringList& args, const QString& outFile = QString(), const QString& folder = QString()) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    cli.setProcessEnvironment(environment);
    if (!outFile.isEmpty()) cli.setStandardOutputFile(outFile);
    if (!folder.isEmpty()) cli.setWorkingDirectory(folder);
    cli.start(QStringLiteral(SAEDINDEX_CLI), args);
    CliRun run;
    if (cli.waitForFinished(60000) && cli.exitStatus() == QProcess::NormalExit) run.status = cli.exitCode();
    run.err = QString::fromUtf8(cli.readAllStandardError());
    return run;
}
CliRun runCli(const QString& line, const QString& outFile = QString(), const QString& folder = QString()) {
    return runCli(line.split(u' ', Qt::SkipEmptyParts), outFile, folder);
}

const char kCubicPattern[] = "--range 1 --scale 2,100 --r1 100,1 --r2 100,1 --r3 141.42,1 --angles 90,45,45";
const QString kCubicIndex = QStringLiteral("index --cell 0.5,0.5,0.5,90,90,90 ") + QString::fromLatin1(kCubicPattern);

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(absent)");
}

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
    const QByteArray before = bytesOf(pattern);
    ASSERT_FALSE(before.isEmpty());
    disk.fill();
    const CliRun full = runCli(QString::fromUtf8(simulate).split(u' ') << pattern);
    EXPECT_EQ(full.status, 2);
    EXPECT_TRUE(full.err.contains(QStringLiteral("No space left on device"))) << full.err.toStdString();
    EXPECT_EQ(bytesOf(pattern), before);

    // A report with a solution to write (a primitive cubic phase) finds no room either.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    QFile library(elsewhere.filePath(QStringLiteral("cubic.txt")));
    ASSERT_TRUE(library.open(QIODevice::WriteOnly));
    library.write("C;\xe7\xae\x80\xe5\x8d\x95\xe7\x82\xb9\xe9\x98\xb5;1;0.5;0.5;0.5;90;90;90;");  // 简单点阵
    library.close();
    const QString folder = disk.filePath(QString());
    const QStringList files = QDir(folder).entryList(QDir::Files);
    EXPECT_EQ(runCli(kCubicIndex + QStringLiteral(" --report --out ") + folder).status, 2);
    const CliRun screen = runCli(QStringLiteral("screen --library %1 %2 --out %3")
                                     .arg(library.fileName(), QString::fromLatin1(kCubicPattern), folder));
    EXPECT_EQ(screen.status, 2);
    EXPECT_TRUE(screen.err.contains(QStringLiteral("No space left on device"))) << screen.err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), files);  // no empty report left behind
}
