// SPDX-License-Identifier: BSD-3-Clause
// The command line's language: Chinese by default, English by --lang, help columns that line up
// in both, and data output that is the same byte for byte in either.
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "app/cli/tablewriter.h"
#include "tests/clirun.h"
#include "tests/programrun.h"

namespace {

using saed::model::Language;
using saed::testdata::CliRun;
using saed::testdata::runCliIn;
using saed::testdata::cliArgs;

const char kCubic[] = "index --cell 0.5,0.5,0.5,90,90,90 --range 1 --d 0.5,0.5,0.35355 --angles 90,45,45";
const QStringList kCommands = cliArgs("index calc library screen reflections image simulate");

// The terminal column where each option line's description starts, by the option's text.
QMap<QString, int> descriptionColumns(const QString& help) {
    static const QRegularExpression optionLine(QStringLiteral("^(  --\\S+(?: \\S+)*?)( {2,})\\S"));
    QMap<QString, int> columns;
    for (const QString& line : help.split(u'\n')) {
        const QRegularExpressionMatch m = optionLine.match(line);
        if (m.hasMatch()) columns.insert(m.captured(1), saed::cli::displayWidth(m.captured(1) + m.captured(2)));
    }
    return columns;
}

}  // namespace

// The program run with a system that names no language: see IndexCommandTest for its errors.
TEST(CliLanguageTest, chineseIsTheDefaultForTheUsageAndTables) {
    const CliRun usage = runCliIn(Language::Chinese, {});
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.err.startsWith(QStringLiteral("用法：saedindex-cli 命令 [选项] [--lang zh|en]\n"))) << usage.err.toStdString();
    EXPECT_TRUE(usage.err.contains(QStringLiteral("\n  index    用一个物相标定实测的衍射斑点花样\n")));

    const CliRun table = runCliIn(Language::Chinese, cliArgs(kCubic) << QStringLiteral("--families"));
    ASSERT_EQ(table.status, 0) << table.err.toStdString();
    EXPECT_TRUE(table.out.startsWith(QStringLiteral("解族 代表行  晶带轴族 {hkl}1 "))) << table.out.toStdString();
    EXPECT_TRUE(table.out.endsWith(QStringLiteral("\n解族：1，行：24\n")));
}

TEST(CliLanguageTest, langChoosesEnglishAnywhereAndABadValueIsRefused) {
    const CliRun before = runCliIn(Language::Chinese, cliArgs("--lang en calc --help"));
    EXPECT_EQ(before.status, 0);
    EXPECT_TRUE(before.out.startsWith(QStringLiteral("usage: saedindex-cli calc --cell"))) << before.out.toStdString();
    const CliRun after = runCliIn(Language::Chinese, cliArgs("calc --cell 1,1,1,90,90,90 --lang=en --p1 1,0,0"));
    EXPECT_EQ(after.status, 2);
    EXPECT_TRUE(after.err.startsWith(QStringLiteral("saedindex-cli calc: --cell, --p1, --p2 and --p3 are all needed\n")))
        << after.err.toStdString();
    // --lang zh wins over an English system; the choice does not outlive its run.
    EXPECT_TRUE(runCliIn(Language::English, cliArgs("--lang zh")).err.startsWith(QStringLiteral("用法：")));
    // Without a command the usage is an error: stderr and status 2; --version answers.
    EXPECT_TRUE(runCliIn(Language::Chinese, {}).out.isEmpty());
    const CliRun version = runCliIn(Language::English, cliArgs("--version"));
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("saedindex-cli " SAED_VERSION "\n"));

    const CliRun refused = runCliIn(Language::English, cliArgs("index --lang de --help"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(refused.err, QStringLiteral("saedindex-cli: --lang accepts only zh or en, not “de”\n"));
    EXPECT_EQ(runCliIn(Language::Chinese, cliArgs("index --lang")).status, 2);
}

TEST(CliLanguageTest, everyHelpKeepsItsColumnsInBothLanguages) {
    for (const QString& command : kCommands) {
        SCOPED_TRACE(command.toStdString());
        const CliRun zh = runCliIn(Language::Chinese, {command, QStringLiteral("--help")});
        const CliRun en = runCliIn(Language::English, {command, QStringLiteral("--help")});
        ASSERT_EQ(zh.status, 0);
        ASSERT_EQ(en.status, 0);
        EXPECT_TRUE(zh.out.startsWith(QStringLiteral("用法：saedindex-cli ") + command));
        EXPECT_TRUE(en.out.startsWith(QStringLiteral("usage: saedindex-cli ") + command));
        // The same options, each with its description in the same terminal column, and no line
        // wider than a hundred columns.
        EXPECT_EQ(descriptionColumns(zh.out), descriptionColumns(en.out));
        for (const QString& line : zh.out.split(u'\n') + en.out.split(u'\n'))
            EXPECT_LE(saed::cli::displayWidth(line), 100) << line.toStdString();
    }
}

// The report of --report is checked in both languages against its golden file in the store tests.
TEST(CliLanguageTest, dataOutputIsTheSameInBothLanguages) {
    const QStringList runs = {
        QString::fromUtf8(kCubic) + QStringLiteral(" --format tsv"),
        QString::fromUtf8(kCubic) + QStringLiteral(" --format tsv --families"),
        QString::fromUtf8(kCubic) + QStringLiteral(" --format json"),
        QStringLiteral("reflections --cell 0.29506,0.29506,0.46835,90,90,120 --type simple --range 1 --format json"),
        QStringLiteral("calc --cell 0.405,0.405,0.405,90,90,90 --p1 1,1,1 --p2 2,0,0 --p3 3,1,1 --format json"),
        QStringLiteral("library --format json"),
        QStringLiteral("simulate --cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,1,1")};
    for (const QString& line : runs) {
        SCOPED_TRACE(line.toStdString());
        const QStringList args = line.split(u' ');
        const CliRun zh = runCliIn(Language::Chinese, args);
        const CliRun en = runCliIn(Language::English, args);
        ASSERT_EQ(zh.status, 0) << zh.err.toStdString();
        EXPECT_EQ(en.status, 0);
        EXPECT_FALSE(zh.out.isEmpty());
        EXPECT_EQ(zh.out.toUtf8(), en.out.toUtf8());
    }

}

// The window program answers --version, --help and an unknown option on the terminal: no
// display is needed, and no window opens.
TEST(CliLanguageTest, windowProgramAnswersOnTheTerminal) {
    const auto run = [](const char* line) {
        return saed::testdata::runExecutable(QStringLiteral(SAEDINDEX), cliArgs(line),
                                             saed::testdata::ProgramOptions().noDisplay());
    };
    const auto version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.rawOut, QByteArray("saedindex " SAED_VERSION "\n"));
    const auto help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.rawOut.startsWith("usage: saedindex [--lang zh|en] [IMAGE]\n"));
    const auto chinese = run("--lang zh --help");
    EXPECT_EQ(chinese.status, 0);
    EXPECT_TRUE(chinese.out.startsWith(QStringLiteral("用法：saedindex [--lang zh|en]")));
    const auto bogus = run("--bogus image.tif");
    EXPECT_EQ(bogus.status, 2);
    EXPECT_TRUE(bogus.out.isEmpty());
    EXPECT_TRUE(bogus.err.startsWith(QStringLiteral("saedindex: unknown option --bogus\n\nusage: saedindex")));
}

// In English the library tree reads English where the program knows the words (the files keep
// the library's own); every command refuses an unknown option as unknown, wherever it stands.
TEST(CliLanguageTest, englishLibraryWordsAndAnUnknownOption) {
    const CliRun library = runCliIn(Language::English, cliArgs("library"));
    ASSERT_EQ(library.status, 0) << library.err.toStdString();
    EXPECT_TRUE(library.out.startsWith(QStringLiteral("Phases\n"))) << library.out.toStdString();
    EXPECT_TRUE(library.out.contains(QStringLiteral(",γ=120.00000,simple hexagonal,c/a:1.60323\n")));
    EXPECT_TRUE(library.out.contains(QStringLiteral(",unknown,c/a:11.59718\n")));
    EXPECT_EQ(runCliIn(Language::Chinese, cliArgs("library")).out.count(QStringLiteral("简单六方")), 1);
    // Every command through the real program, the unknown option as the last word and before
    // the command's own words; nothing goes to the output.
    for (const char* command : {"index --d 1,1,1", "calc --p1 1,0,0", "library --format json", "screen --d 1,1,1",
                                "reflections --cell 0.4,0.4,0.4,90,90,90", "simulate --zone 0,0,1",
                                "identify x.tif --top 3", "tilt a.json", "orient a.json", "rings x.tif --log",
                                "calibrate x.tif --standard Au", "image spots x.tif", "calibrations list"}) {
        QStringList last = cliArgs(command);
        QStringList middle = last;
        last << QStringLiteral("--bogus");
        middle.insert(1, QStringLiteral("--bogus"));
        for (const QStringList& args : {last, middle}) {
            const auto bogus = saed::testdata::runCliProgram(args);
            EXPECT_EQ(bogus.status, 2) << args.join(u' ').toStdString();
            EXPECT_TRUE(bogus.err.contains(QStringLiteral(": unknown option --bogus\n"))) << bogus.err.toStdString();
            EXPECT_TRUE(bogus.out.isEmpty()) << bogus.out.toStdString();
        }
    }
}
