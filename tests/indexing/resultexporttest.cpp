// SPDX-License-Identifier: BSD-3-Clause
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonObject>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "app/resultspanel.h"
#include "indexing/indexingoperations.h"
#include "indexing/resultexport.h"
#include "indexingtestdata.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "tests/clirun.h"
#include "tests/files.h"

namespace {

using saed::testdata::CliRun;
using saed::testdata::fileBytes;

CliRun runIndex(const QString& args, const QStringList& more = {}) {
    return saed::testdata::runCli(QStringList{QStringLiteral("index")} + args.split(u' ', Qt::SkipEmptyParts) + more);
}

const QString kCubic = QStringLiteral("--cell 0.5,0.5,0.5,90,90,90 --range 1 --scale 2,100 --r1 100,1 --r2 100,1 "
                                      "--r3 141.42,1 --angles 90,45,45 ");

// The CSV's lines without the byte-order mark, split at CR LF (none may end in a bare LF).
QStringList csvLines(const QString& csv) {
    QStringList lines = csv.mid(1).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeLast(), QString());  // the last line ends with CR LF too
    return lines;
}

}  // namespace

TEST(ResultExportTest, csvOfTheWorkedExampleQuotingAndMarksAgreeWithJson) {
    // Chinese, the default: captions and labels as the Chinese table shows them.
    const CliRun csv = runIndex(kCubic + QStringLiteral("--format csv --lang zh"));
    ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
    const QByteArray bytes = csv.out.toUtf8();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
    const QStringList lines = csvLines(csv.out);
    ASSERT_EQ(lines.size(), 25);
    // The captions hold commas inside the angle names: those fields are quoted.
    EXPECT_EQ(lines[0], QStringLiteral("组号,h1,k1,l1,+,h2,k2,l2,＝,h3,k3,l3,◇,d1 (nm),d2 (nm),d3 (nm),◇,"
                                       "\"<R1,R2> (°)\",\"<R2,R3> (°)\",\"<R1,R3> (°)\",晶带轴,失配度,二次衍射,解族"));
    EXPECT_EQ(lines[1], QStringLiteral("第001组,-1,0,0,+,0,-1,0,＝,-1,-1,0,◇,0.5000000,0.5000000,0.3535534,◇,"
                                       "90.0000,45.0000,45.0000,[0 0 1],0.000,,1"));
    EXPECT_TRUE(lines[24].startsWith(QStringLiteral("第024组,")));
    // English: the captions and labels follow, the numbers do not change.
    const QStringList english = csvLines(runIndex(kCubic + QStringLiteral("--format csv")).out);
    ASSERT_EQ(english.size(), 25);
    EXPECT_TRUE(english[0].startsWith(QStringLiteral("Group,h1,k1,l1,+,"))) << english[0].toStdString();
    EXPECT_TRUE(english[0].endsWith(QStringLiteral(",Zone axis,Misfit,Double diffraction,Family")));
    EXPECT_EQ(english[1], QString(lines[1]).replace(QStringLiteral("第001组"), QStringLiteral("#001")));

    using saed::indexing::csvField;
    EXPECT_EQ(csvField(QStringLiteral("2,000.0000000")), QStringLiteral("\"2,000.0000000\""));
    EXPECT_EQ(csvField(QStringLiteral("a \"b\"")), QStringLiteral("\"a \"\"b\"\"\""));
    EXPECT_EQ(csvField(QStringLiteral("x\ny")), QStringLiteral("\"x\ny\""));
    EXPECT_EQ(csvField(QStringLiteral("第001组")), QStringLiteral("第001组"));

    // Spacings of 1000 nm and more carry a thousands separator and so are quoted.
    const CliRun wide = runIndex(QStringLiteral("--cell 2000,2000,2000,90,90,90 --range 1 --d 2000,2000,1414.2136 "
                                                "--angles 90,45,45 --format csv"));
    ASSERT_EQ(wide.status, 0) << wide.err.toStdString();
    EXPECT_TRUE(csvLines(wide.out)[1].contains(QStringLiteral(",◇,\"2,000.0000000\",\"2,000.0000000\",\"1,414.2135624\",◇,")));

    // Zone, double-diffraction mark and family stand where the JSON of the same run puts them.
    const QStringList titanium{QStringLiteral("--spacegroup"), QStringLiteral("P 63/m m c")};
    const QString pattern = QStringLiteral("--cell 0.29506,0.29506,0.46835,90,90,120 --double --range 3 "
                                           "--d 0.46835,0.25551,0.22135 --angles 90,30.04,59.96 --format ");
    const CliRun tiCsv = runIndex(pattern + QStringLiteral("csv"), titanium);
    const CliRun tiJson = runIndex(pattern + QStringLiteral("json"), titanium);
    ASSERT_EQ(tiCsv.status, 0) << tiCsv.err.toStdString();
    const QJsonArray rows = tiJson.json()[u"rows"].toArray();
    const QStringList tiLines = csvLines(tiCsv.out);
    ASSERT_EQ(tiLines.size(), rows.size() + 1);
    int marked = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        const QStringList fields = tiLines[i + 1].split(u',');
        ASSERT_EQ(fields.size(), 24);
        const QJsonArray z = row[u"zone"].toArray();
        EXPECT_EQ(fields[20], QStringLiteral("[%1 %2 %3]").arg(z[0].toInt()).arg(z[1].toInt()).arg(z[2].toInt()));
        EXPECT_EQ(fields[22], row[u"double"].toBool() ? QStringLiteral("※") : QString());
        EXPECT_EQ(fields[23], QString::number(row[u"family"].toInt()));
        marked += row[u"double"].toBool() ? 1 : 0;
    }
    EXPECT_GT(marked, 0);
}

// The window's exports: the same JSON and CSV bytes as the command line for the same pattern,
// whatever order the table shows; a cancelled dialog writes nothing, a failed write is told.
TEST(ResultExportTest, windowWritesWhatTheCommandLineWrites) {
    using namespace saed;
    model::MainModel model;
    model::ScriptedPrompts prompts;
    app::Form1 window(model, prompts);
    testdata::fillCubicExample(model);
    window.indexingOperations()->runFromButton();
    ASSERT_EQ(model.resultTable()->rowCount(), 24);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    // Cancel: one save question proposing a .csv name, no file.
    prompts.clearQuestions();
    EXPECT_FALSE(window.resultsPanel()->exportResults(false));
    ASSERT_EQ(prompts.questions().size(), 1u);
    EXPECT_EQ(prompts.questions()[0].kind, model::ScriptedPrompts::Kind::SaveFile);
    EXPECT_TRUE(prompts.questions()[0].text.endsWith(QStringLiteral(".csv")));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());

    const QString csvPath = folder.filePath(QStringLiteral("out.csv"));
    prompts.queueSavePath(csvPath);
    ASSERT_TRUE(window.resultsPanel()->exportResults(false));
    EXPECT_EQ(fileBytes(csvPath), runIndex(kCubic + QStringLiteral("--format csv --lang zh")).out.toUtf8());

    // Sorted by h1 descending the CSV follows the table, the JSON keeps the run's group order.
    window.listView1()->horizontalHeader()->sectionClicked(1);
    const model::ResultTableModel& table = *model.resultTable();
    ASSERT_NE(table.group(0), 1);
    const QString jsonPath = folder.filePath(QStringLiteral("out.json"));
    prompts.queueSavePath(jsonPath);
    prompts.queueSavePath(csvPath);
    ASSERT_TRUE(window.resultsPanel()->exportResults(true));
    ASSERT_TRUE(window.resultsPanel()->exportResults(false));
    EXPECT_EQ(fileBytes(jsonPath), runIndex(kCubic + QStringLiteral("--format json")).out.toUtf8());
    EXPECT_TRUE(QString::fromUtf8(fileBytes(csvPath)).split(QStringLiteral("\r\n"))[1].startsWith(table.cell(0, 0) + u','));

    // A folder that does not exist: told with the path, nothing written, no stray file.
    prompts.clearQuestions();
    const QString missing = folder.filePath(QStringLiteral("no/such/out.json"));
    prompts.queueSavePath(missing);
    EXPECT_FALSE(window.resultsPanel()->exportResults(true));
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_EQ(prompts.questions()[1].kind, model::ScriptedPrompts::Kind::Warn);
    EXPECT_TRUE(prompts.questions()[1].text.contains(QDir::toNativeSeparators(missing)));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
}
