// Four-index input and output of hexagonal cells, the two-pattern tilt check and the orientation,
// run through the saedindex-cli executable as a user runs it.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

ProgramRun runProgram(const QStringList& args) {
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(SAEDINDEX_CLI), args);
    ProgramRun run;
    if (!cli.waitForFinished(60000)) return run;
    run.status = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = QString::fromUtf8(cli.readAllStandardOutput());
    run.err = QString::fromUtf8(cli.readAllStandardError());
    return run;
}

ProgramRun runProgram(const QString& line) { return runProgram(line.split(u' ', Qt::SkipEmptyParts)); }

QJsonArray ints(std::initializer_list<int> values) {
    QJsonArray array;
    for (int v : values) array.append(v);
    return array;
}

const QString kMg = QStringLiteral("--cell 0.32094,0.32094,0.52107,90,90,120 ");

}  // namespace

TEST(FourIndexCommandTest, hexagonalCellsTakeAndGiveFourIndicesOthersRefuseThem) {
    // [2 -1 -1 0] is [1 0 0]: its pattern holds (0 1 -1 0) and (0 0 0 2).
    const ProgramRun simulate = runProgram(QStringLiteral("simulate ") + kMg + QStringLiteral("--zone 2,-1,-1,0 --max-g 8"));
    ASSERT_EQ(simulate.status, 0) << simulate.err.toStdString();
    EXPECT_EQ(simulate.json()[u"zone"].toArray(), ints({1, 0, 0}));
    EXPECT_EQ(simulate.json()[u"uvtw"].toArray(), ints({2, -1, -1, 0}));
    bool sawBasal = false;
    for (const QJsonValue spot : simulate.json()[u"spots"].toArray()) {
        const QJsonArray hkl = spot[u"hkl"].toArray(), hkil = spot[u"hkil"].toArray();
        ASSERT_EQ(hkil.size(), 4);
        EXPECT_EQ(hkil[2].toInt(), -(hkl[0].toInt() + hkl[1].toInt()));
        EXPECT_EQ(hkil[3], hkl[2]);
        sawBasal = sawBasal || hkil == ints({0, 0, 0, 2});
    }
    EXPECT_TRUE(sawBasal);

    // The calculator: four-index planes, the zone in both notations.
    const ProgramRun calc = runProgram(QStringLiteral("calc ") + kMg +
                                QStringLiteral("--p1 1,0,-1,0 --p2 0,0,0,2 --p3 1,0,-1,2 --format json"));
    ASSERT_EQ(calc.status, 0) << calc.err.toStdString();
    EXPECT_EQ(calc.json()[u"zoneAxisUvtw"].toArray(), ints({1, -2, 1, 0}));
    EXPECT_NEAR(calc.json()[u"anglesDeg"][0].toDouble(), 90, 1e-9);

    // The index command's JSON: four indices beside three for a hexagonal cell only.
    const ProgramRun index = runProgram(QStringLiteral("index ") + kMg +
                                 QStringLiteral("--d 0.27794,0.27794,0.16047 --angles 60,30,30 --range 2 --format json"));
    ASSERT_EQ(index.status, 0) << index.err.toStdString();
    const QJsonObject row = index.json()[u"rows"][0].toObject();
    EXPECT_EQ(row[u"hkil"][0].toArray()[2].toInt(), -(row[u"g1"][0].toInt() + row[u"g1"][1].toInt()));
    EXPECT_EQ(row[u"uvtw"].toArray(), row[u"zone"][2].toInt() > 0 ? ints({0, 0, 0, 1}) : ints({0, 0, 0, -1}));
    EXPECT_TRUE(index.json()[u"families"][0].toObject().contains(u"uvtw"));
    const ProgramRun cubic = runProgram(QStringLiteral("index --cell 0.5,0.5,0.5,90,90,90 --d 0.5,0.5,0.35355 --angles "
                                                "90,45,45 --range 1 --format json"));
    ASSERT_EQ(cubic.status, 0);
    EXPECT_FALSE(cubic.json()[u"rows"][0].toObject().contains(u"hkil"));
    // The TSV keeps its three indices.
    const ProgramRun tsv = runProgram(QStringLiteral("index ") + kMg +
                               QStringLiteral("--d 0.27794,0.27794,0.16047 --angles 60,30,30 --range 2 --format tsv"));
    const QStringList first = tsv.out.section(u'\n', 0, 0).split(u'\t');
    ASSERT_GT(first.size(), 4);
    EXPECT_EQ(first[4], QStringLiteral("+")) << tsv.out.toStdString();

    // Refusals: four indices on a cubic cell, an inconsistent i or T.
    const ProgramRun cubicFour = runProgram(QStringLiteral("simulate --cell 0.4,0.4,0.4,90,90,90 --zone 2,-1,-1,0"));
    EXPECT_EQ(cubicFour.status, 2);
    EXPECT_TRUE(cubicFour.err.contains(QStringLiteral("hexagonal"))) << cubicFour.err.toStdString();
    const ProgramRun badT = runProgram(QStringLiteral("simulate ") + kMg + QStringLiteral("--zone 2,-1,1,0"));
    EXPECT_EQ(badT.status, 2);
    EXPECT_TRUE(badT.err.contains(QStringLiteral("T = -(U + V)"))) << badT.err.toStdString();
    const ProgramRun badI = runProgram(QStringLiteral("calc ") + kMg + QStringLiteral("--p1 1,0,1,0 --p2 0,0,2 --p3 1,0,2"));
    EXPECT_EQ(badI.status, 2);
    EXPECT_TRUE(badI.err.contains(QStringLiteral("i = -(h + k)"))) << badI.err.toStdString();
}
