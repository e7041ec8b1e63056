// SPDX-License-Identifier: BSD-3-Clause
// The library and calc commands of saedindex-cli: what they print, what they refuse, and that
// library and screen read a library file alike.
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/clirun.h"
#include "tests/files.h"

namespace {

using saed::testdata::CliRun;
using saed::testdata::cliArgs;
using saed::testdata::runCli;

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    return saed::testdata::writeFileBytes(dir.filePath(QString::fromLatin1(name)), bytes);
}

const QStringList kScreenPattern = cliArgs("--d 0.2815,0.2815,0.1625 --angles 60,30,30");

}  // namespace

TEST(LibraryCommandTest, builtInAndFileLibrariesAreListedAndAnIncompleteFileIsRefused) {
    const CliRun builtIn = runCli("library --format json");
    ASSERT_EQ(builtIn.status, 0) << builtIn.err.toStdString();
    const QJsonArray phases = builtIn.json()[u"phases"].toArray();
    ASSERT_EQ(phases.size(), 2);
    EXPECT_EQ(phases[0][u"name"].toString(), QStringLiteral("α-Mg"));
    EXPECT_EQ(phases[0][u"gamma"].toString(), QStringLiteral("120.00000"));
    EXPECT_EQ(phases[1][u"record"].toInt(), 2);

    QTemporaryDir dir;
    // GBK with the euro sign as the lone byte 0x80 and bare LF line ends: both commands read it,
    // and no line break enters a name.
    const QByteArray gbk = QByteArray("\xA6\xC1-Mg\x80;\xC1\xF9\xB7\xBD;1.6;0.3;0.3;0.5;90;90;120;\n"
                                      "Al;\xC3\xE6\xD0\xC4;1;0.40495;0.40495;0.40495;90;90;90;\n");
    const QString gbkPath = writeFile(dir, "gbk.txt", gbk);
    const CliRun listed = runCli(cliArgs("library --library") << gbkPath);
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out.section(u'\n', 1, 1), QStringLiteral("  [aa1] α-Mg€"));
    EXPECT_EQ(listed.out.section(u'\n', 3, 3), QStringLiteral("  [aa2] Al"));
    const CliRun screened = runCli((cliArgs("screen --library") << gbkPath << QStringLiteral("--out") << dir.path()) +
                                   kScreenPattern);
    ASSERT_EQ(screened.status, 0) << screened.err.toStdString();
    EXPECT_TRUE(screened.out.startsWith(QStringLiteral("α-Mg€"))) << screened.out.toStdString();

    // Eleven fields: record 2 has two of nine. Neither command uses the file.
    const QString cut = writeFile(dir, "cut.txt", "Al;\xC3\xE6\xD0\xC4;1;0.4;0.4;0.4;90;90;90;\r\nCu;x;");
    for (const char* command : {"library", "screen"}) {
        SCOPED_TRACE(command);
        const CliRun refused = runCli((cliArgs(command) << QStringLiteral("--library") << cut) +
                                      (command == std::string("screen") ? kScreenPattern : QStringList()));
        EXPECT_EQ(refused.status, 2);
        EXPECT_TRUE(refused.out.isEmpty()) << refused.out.toStdString();
        EXPECT_EQ(refused.err, QStringLiteral("saedindex-cli %1: '%2': record 2 is incomplete (2 of nine fields); "
                                              "the library file was not used\n")
                                   .arg(QString::fromLatin1(command), cut));
    }}

TEST(CalcCommandTest, planesOfAluminiumInTextAndJson) {
    const char* const al = "calc --cell 0.40495,0.40495,0.40495,90,90,90 --p1 1,1,-1 --p2 1,-1,1 --p3 2,0,0";
    // (1 1 -1) x (1 -1 1) = (0 -2 -2); cos <R1,R2> = -1/3, cos <R2,R3> = 1/sqrt(3); d = a/sqrt(3), a/2.
    const CliRun text = runCli(al);
    ASSERT_EQ(text.status, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, QStringLiteral("R1 （1 1 -1）\nR2 （1 -1 1）\nR3 （2 0 0）\nZ=[0 -1 -1]\n"
                                       "<R1,R2>=109.471220634491 deg.\n<R2,R3>=54.7356103172453 deg.\n"
                                       "<R1,R3>=54.7356103172453 deg.\nd1=0.2337980 nm\nd2=0.2337980 nm\n"
                                       "d3=0.2024750 nm\n"));
    const CliRun json = runCli(cliArgs(al) << QStringLiteral("--format=json"));
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.json()[u"zoneAxis"].toArray(), (QJsonArray{0, -1, -1}));
    EXPECT_NEAR(json.json()[u"spacingsNm"][2].toDouble(), 0.202475, 1e-12);
    EXPECT_TRUE(json.json()[u"cellValid"].toBool());
}
