// SPDX-License-Identifier: BSD-3-Clause
#include <QJsonArray>
#include <QJsonObject>
#include <QTextStream>
#include <QVariant>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app/cli/commands.h"
#include "indexing/indexingoperations.h"
#include "tests/clirun.h"
#include "tests/programrun.h"

namespace {

using saed::testdata::CliRun;

// Runs the index command on space-separated arguments.
CliRun runIndex(const QString& args) {
    return saed::testdata::runCli(QStringList{QStringLiteral("index")} + args.split(u' ', Qt::SkipEmptyParts));
}

const QString kCubic = QStringLiteral("--cell 0.5,0.5,0.5,90,90,90 --range 1 --scale 2,100 --r1 100,1 --r2 100,1 "
                                      "--r3 141.42,1 --angles 90,45,45 ");
const QString kCubicCell = QStringLiteral("--cell 0.5,0.5,0.5,90,90,90 --angles 90,45,45 ");

}  // namespace

TEST(IndexCommandTest, reproducesTheCubicExampleInEveryFormat) {
    const CliRun tsv = runIndex(kCubic + QStringLiteral("--format tsv"));
    ASSERT_EQ(tsv.status, 0) << tsv.err.toStdString();
    const QStringList lines = tsv.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 24);
    EXPECT_EQ(lines[0], QStringLiteral("第001组\t-1\t0\t0\t+\t0\t-1\t0\t＝\t-1\t-1\t0\t◇\t0.5000000\t0.5000000\t"
                                       "0.3535534\t◇\t90.0000\t45.0000\t45.0000"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("第002组\t-1\t0\t0\t+\t0\t0\t-1\t＝\t-1\t0\t-1\t")));
    // Measured spacings instead of the scale bar give the same table.
    EXPECT_EQ(runIndex(kCubicCell + QStringLiteral("--range 1 --d 0.5,0.5,0.3535568 --format tsv")).out, tsv.out);

    const CliRun text = runIndex(kCubic);
    ASSERT_EQ(text.status, 0);
    const QStringList textLines = text.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(textLines.size(), 26);
    EXPECT_TRUE(textLines[0].startsWith(QStringLiteral("Group")));
    EXPECT_EQ(textLines[25], QStringLiteral("rows: 24"));
    // Columns line up: the spacing of the first and the last row start at the same place.
    EXPECT_EQ(textLines[24].indexOf(QStringLiteral("0.5000000")), textLines[1].indexOf(QStringLiteral("0.5000000")));

    const CliRun json = runIndex(kCubic + QStringLiteral("--format=json"));
    ASSERT_EQ(json.status, 0);
    const QJsonObject doc = json.json();
    EXPECT_NEAR(doc[u"measured"][u"d3"].toDouble(), 50 / 141.42, 1e-15);
    const QJsonArray rows = doc[u"rows"].toArray();
    ASSERT_EQ(rows.size(), 24);
    const QJsonObject first = rows[0].toObject();
    EXPECT_EQ(first[u"group"].toInt(), 1);
    EXPECT_EQ(first[u"g1"].toArray(), (QJsonArray{-1, 0, 0}));
    EXPECT_EQ(first[u"g3"].toArray(), (QJsonArray{-1, -1, 0}));
    EXPECT_EQ(first[u"angles"].toArray(), (QJsonArray{90.0, 45.0, 45.0}));
    EXPECT_EQ(doc[u"input"][u"range"].toInt(), 1);
}

// Refused input is the real program's (CliProcessTest); here a run without a solution and the help.
TEST(IndexCommandTest, noSolutionAndTheHelp) {
    // No solution: status 0, an empty table.
    const CliRun none = runIndex(kCubic + QStringLiteral("--type face --format tsv"));
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_TRUE(none.err.isEmpty());
    const CliRun noneText = runIndex(kCubic + QStringLiteral("--type 3"));
    EXPECT_EQ(noneText.status, 0);
    EXPECT_TRUE(noneText.out.endsWith(QStringLiteral("rows: 0\n")));

    const CliRun help = runIndex(QStringLiteral("--help"));
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--cell", "--type", "--range", "--scale", "--r1", "--r2", "--r3", "--d", "--angles",
                               "--tol-d", "--tol-angle", "--format", "example"})
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(option))) << option;
}

TEST(IndexCommandTest, theProgramRefusesBadInputInTheSystemsLanguage) {
    using saed::testdata::ProgramOptions;
    using saed::testdata::ProgramRun;
    // A system that names no language of the program: Chinese.
    const auto run = [](const QString& args, const ProgramOptions& options = ProgramOptions().systemLanguage()) {
        return saed::testdata::runCliProgram(QStringLiteral("index ") + args, options);
    };
    const ProgramRun unknown = run(QStringLiteral("--colour red"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, QStringLiteral("saedindex-cli index: 未知选项 --colour\n用法见 saedindex-cli index --help。\n"));
    // LANGUAGE names English first.
    const ProgramRun english = run(QStringLiteral("--colour red"), ProgramOptions().inLanguage(QStringLiteral("de:en_GB")));
    EXPECT_EQ(english.status, 2);
    EXPECT_TRUE(english.err.startsWith(QStringLiteral("saedindex-cli index: unknown option --colour\n")));

    const ProgramRun refused = run(QStringLiteral("--cell 0.5,0,0.5,90,90,90 --d 0.5,0.5,0.35 --angles 90,45,45"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--cell：b = 0 nm")));
}

TEST(IndexCommandTest, anExceptionOrAnUnknownCommandIsToldWithStatusTwo) {
    saed::testdata::useCliLanguage(saed::model::Language::English);
    QString text;
    QTextStream err(&text);
    const QString name = QStringLiteral("saedindex-cli index");
    EXPECT_EQ(saed::cli::runGuarded([]() -> int { throw std::bad_alloc(); }, err, name), 2);
    EXPECT_EQ(saed::cli::runGuarded([]() -> int { throw std::logic_error("no cell"); }, err, name), 2);
    EXPECT_EQ(saed::cli::runGuarded([] { return 0; }, err, name), 0);
    err.flush();
    EXPECT_TRUE(text.startsWith(QStringLiteral("saedindex-cli index: out of memory")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nsaedindex-cli index: internal error: no cell")));
    QString out;
    QTextStream outStream(&out);
    EXPECT_EQ(saed::cli::runCommandLine({QStringLiteral("indx")}, outStream, err), 2);
    // The windows of the tests after this one read in Chinese again.
    saed::testdata::useCliLanguage(saed::model::Language::Chinese);
}

TEST(IndexCommandTest, aRunCutAtTheRowLimitIsToldWithStatusTwoAndNoTable) {
    const CliRun cut = runIndex(kCubic + QStringLiteral("--format tsv --max-rows 10"));
    EXPECT_EQ(cut.status, 2);
    EXPECT_TRUE(cut.out.isEmpty());
    // The message as the English run words it.
    saed::testdata::useCliLanguage(saed::model::Language::English);
    const QString told = saed::indexing::rowLimitNoRowsMessage(10);
    saed::testdata::useCliLanguage(saed::model::Language::Chinese);
    EXPECT_TRUE(cut.err.contains(told)) << cut.err.toStdString();
    // 24 rows fit under a limit of 24: a complete run.
    const CliRun whole = runIndex(kCubic + QStringLiteral("--format tsv --max-rows 24"));
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(whole.out.count(QLatin1Char('\n')), 24);
    EXPECT_EQ(runIndex(kCubic + QStringLiteral("--max-rows 0")).status, 2);
}
