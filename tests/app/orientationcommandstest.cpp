// SPDX-License-Identifier: BSD-3-Clause
// Four-index input and output of hexagonal cells, the two-pattern tilt check and the orientation,
// run through the saedindex-cli executable as a user runs it.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/fulldisk.h"
#include "tests/files.h"
#include "tests/programrun.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace {

using saed::testdata::ProgramRun;

// saedindex-cli in English on a machine without a display.
ProgramRun runProgram(const QStringList& args) { return saed::testdata::runCliProgram(args, saed::testdata::ProgramOptions().noDisplay()); }
ProgramRun runProgram(const QString& line) { return saed::testdata::runCliProgram(line, saed::testdata::ProgramOptions().noDisplay()); }

const QString kMg = QStringLiteral("--cell 0.32094,0.32094,0.52107,90,90,120 ");

}  // namespace

TEST(FourIndexCommandTest, hexagonalCellsTakeAndGiveFourIndices) {
    // [2 -1 -1 0] is [1 0 0]: its pattern holds (0 1 -1 0) and (0 0 0 2).
    const ProgramRun simulate = runProgram(QStringLiteral("simulate ") + kMg + QStringLiteral("--zone 2,-1,-1,0 --max-g 8"));
    ASSERT_EQ(simulate.status, 0) << simulate.err.toStdString();
    EXPECT_EQ(simulate.json()[u"zone"].toArray(), QJsonArray({1, 0, 0}));
    EXPECT_EQ(simulate.json()[u"uvtw"].toArray(), QJsonArray({2, -1, -1, 0}));
    bool sawBasal = false;
    for (const QJsonValue spot : simulate.json()[u"spots"].toArray()) {
        const QJsonArray hkl = spot[u"hkl"].toArray(), hkil = spot[u"hkil"].toArray();
        ASSERT_EQ(hkil.size(), 4);
        EXPECT_EQ(hkil[2].toInt(), -(hkl[0].toInt() + hkl[1].toInt()));
        EXPECT_EQ(hkil[3], hkl[2]);
        sawBasal = sawBasal || hkil == QJsonArray({0, 0, 0, 2});
    }
    EXPECT_TRUE(sawBasal);

    // The calculator: four-index planes, the zone in both notations.
    const ProgramRun calc = runProgram(QStringLiteral("calc ") + kMg +
                                QStringLiteral("--p1 1,0,-1,0 --p2 0,0,0,2 --p3 1,0,-1,2 --format json"));
    ASSERT_EQ(calc.status, 0) << calc.err.toStdString();
    EXPECT_EQ(calc.json()[u"zoneAxisUvtw"].toArray(), QJsonArray({1, -2, 1, 0}));
    EXPECT_NEAR(calc.json()[u"anglesDeg"][0].toDouble(), 90, 1e-9);

    // The index command's JSON: four indices beside three for a hexagonal cell only.
    const ProgramRun index = runProgram(QStringLiteral("index ") + kMg +
                                 QStringLiteral("--d 0.27794,0.27794,0.16047 --angles 60,30,30 --range 2 --format json"));
    ASSERT_EQ(index.status, 0) << index.err.toStdString();
    const QJsonObject row = index.json()[u"rows"][0].toObject();
    EXPECT_EQ(row[u"hkil"][0].toArray()[2].toInt(), -(row[u"g1"][0].toInt() + row[u"g1"][1].toInt()));
    EXPECT_EQ(row[u"uvtw"].toArray(), row[u"zone"][2].toInt() > 0 ? QJsonArray({0, 0, 0, 1}) : QJsonArray({0, 0, 0, -1}));
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
    // Four indices on a cubic cell, or with an inconsistent i or T, are refused (CliProcessTest).
}

TEST(TiltCommandTest, aSecondPatternOfAluminiumDecidesAndBadInputIsRefused) {
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.json"));
    const QString second = dir.filePath(QStringLiteral("second.json"));
    const QString other = dir.filePath(QStringLiteral("other.json"));
    const auto save = [](const QString& path, const QString& line) {
        const ProgramRun run = runProgram(line);
        return run.status == 0 && !run.rawOut.isEmpty() && !saed::testdata::writeFileBytes(path, run.rawOut).isEmpty();
    };
    const QString al = QStringLiteral("index --cell 0.405,0.405,0.405,90,90,90 --type face --format json ");
    // {220} and {311} at 64.76 degrees: <114> or <011>; the second pattern is a <001>.
    ASSERT_TRUE(save(first, al + QStringLiteral("--d 0.14319,0.12211,0.07794 --angles 64.76,29.50,35.26")));
    ASSERT_TRUE(save(second, al + QStringLiteral("--d 0.2025,0.2025,0.14319 --angles 90,45,45")));
    ASSERT_TRUE(save(other, QStringLiteral("index --cell 0.404,0.404,0.404,90,90,90 --type face --format json "
                                           "--d 0.2025,0.2025,0.14319 --angles 90,45,45")));

    // The zone family a JSON family entry stands for, as sorted absolute indices.
    const auto form = [](const QJsonValue& family) {
        std::array<int, 3> f{};
        for (int i = 0; i < 3; ++i) f[static_cast<std::size_t>(i)] = std::abs(family[u"zone"][i].toInt());
        std::sort(f.begin(), f.end());
        return f;
    };
    const std::array<int, 3> f114{1, 1, 4}, f011{0, 1, 1};
    for (const auto& [angle, keeps, rules] : {std::tuple{QStringLiteral("19.47"), f114, f011},
                                               std::tuple{QStringLiteral("45"), f011, f114}}) {
        SCOPED_TRACE(angle.toStdString());
        const ProgramRun run = runProgram({QStringLiteral("tilt"), first, second, QStringLiteral("--angle"), angle,
                                           QStringLiteral("--tolerance"), QStringLiteral("0.5"),
                                           QStringLiteral("--format"), QStringLiteral("json")});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QJsonArray kept = run.json()[u"kept"].toArray(), ruledOut = run.json()[u"ruledOut"].toArray();
        ASSERT_EQ(kept.size(), 1);
        ASSERT_EQ(ruledOut.size(), 1);
        EXPECT_EQ(form(kept[0]), keeps);
        EXPECT_EQ(form(ruledOut[0]), rules);
        const QJsonArray pairs = run.json()[u"pairs"].toArray();
        ASSERT_FALSE(pairs.isEmpty());
        EXPECT_EQ(pairs[0][u"first"][u"family"], kept[0][u"id"]);
        EXPECT_LE(pairs[0][u"misfit"].toDouble(), pairs[pairs.size() - 1][u"misfit"].toDouble());
    }
    // The text names the ruled-out family.
    const ProgramRun text = runProgram({QStringLiteral("tilt"), first, second, QStringLiteral("--angle=19.47")});
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("ruled out"))) << text.out.toStdString();

    const auto refused = [&](const QStringList& args, const char* said) {
        const ProgramRun run = runProgram(QStringList{QStringLiteral("tilt")} + args);
        EXPECT_EQ(run.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(said))) << run.err.toStdString();
    };
    refused({first, second, QStringLiteral("--angle"), QStringLiteral("190")}, "0 to 180");
    refused({first, other, QStringLiteral("--angle"), QStringLiteral("45")}, "different phases");
    refused({first, second}, "--angle");
    // The lattice type travels in the file as its selector code; a code no selector has is refused.
    const auto withType = [&](const QJsonValue& type) {
        QJsonObject root = QJsonDocument::fromJson(saed::testdata::fileBytes(first)).object();
        QJsonObject input = root[u"input"].toObject();
        EXPECT_EQ(input[u"type"], QJsonValue(3));  // face-centred
        input[u"type"] = type;
        root[u"input"] = input;
        return saed::testdata::writeFileBytes(dir.filePath(QStringLiteral("typed.json")), QJsonDocument(root).toJson());
    };
    refused({withType(9), second, QStringLiteral("--angle"), QStringLiteral("45")}, "input.type");
    refused({withType(2.5), second, QStringLiteral("--angle"), QStringLiteral("45")}, "input.type");
    refused({first, dir.filePath(QStringLiteral("missing.json")), QStringLiteral("--angle"), QStringLiteral("45")},
            "missing.json");
}

TEST(OrientCommandTest, cubicAtZeroZeroOneGivesTheFrameTheNearestZonesAndAPicture) {
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("al.svg"));
    const QString base = QStringLiteral("orient --cell 0.405,0.405,0.405,90,90,90 --type face --g1 2,0,0 --g2 0,2,0 ");
    const ProgramRun run = runProgram(base + QStringLiteral("--r1-angle 0 --max-index 1 --svg ") + svg);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject json = run.json();
    EXPECT_EQ(json[u"zone"].toArray(), QJsonArray({0, 0, 1}));
    EXPECT_EQ(json[u"euler"].toArray(), (QJsonArray{0, 0, 0}));
    EXPECT_EQ(json[u"matrix"][1].toArray(), (QJsonArray{0, 1, 0}));
    const QJsonArray nearest = json[u"nearest"].toArray();
    ASSERT_EQ(nearest.size(), 8);
    // Four <011> at 45 degrees, then four <111> at 54.74; the holder turns alpha and beta to them.
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(nearest[i][u"angle"].toDouble(), i < 4 ? 45 : 54.7356103172, 1e-9) << i;
    for (const QJsonValue zone : nearest) {
        if (zone[u"zone"].toArray() != QJsonArray({0, 1, 1})) continue;
        EXPECT_NEAR(zone[u"deltaAlpha"].toDouble(), 45, 1e-9);
        EXPECT_NEAR(zone[u"deltaBeta"].toDouble(), 0, 1e-9);
    }
    EXPECT_TRUE(saed::testdata::fileBytes(svg).contains(">[0 1 1]</text>"));
    // The PNG is drawn without a display.
    const QString png = dir.filePath(QStringLiteral("al.png"));
    const ProgramRun drawn = runProgram(base + QStringLiteral("--r1-angle 0 --png ") + png);
    EXPECT_EQ(drawn.status, 0) << drawn.err.toStdString();
    EXPECT_TRUE(saed::testdata::fileBytes(png).startsWith("\x89PNG"));

    // Hexagonal: four indices in and out.
    const ProgramRun mg = runProgram(QStringLiteral("orient ") + kMg +
                                     QStringLiteral("--g1 0,1,-1,0 --g2 0,0,0,2 --r1-angle 0 --nearest 2"));
    ASSERT_EQ(mg.status, 0) << mg.err.toStdString();
    EXPECT_EQ(mg.json()[u"uvtw"].toArray(), QJsonArray({2, -1, -1, 0}));
    EXPECT_EQ(mg.json()[u"nearest"][0].toObject()[u"uvtw"].toArray().size(), 4);

    // A full disk: the picture already there stays as it was and the command fails.
    saed::testdata::FullDisk disk;
    if (!disk.problem().isEmpty()) GTEST_SKIP() << disk.problem().toStdString();
    const QString kept = disk.filePath(QStringLiteral("kept.svg"));
    ASSERT_EQ(runProgram(base + QStringLiteral("--r1-angle 0 --svg ") + kept).status, 0);
    const QByteArray bytes = saed::testdata::fileBytes(kept);
    disk.fill();
    const ProgramRun full = runProgram(base + QStringLiteral("--r1-angle 30 --svg ") + kept);
    EXPECT_EQ(full.status, 2);
    EXPECT_TRUE(full.err.contains(QStringLiteral("No space left on device"))) << full.err.toStdString();
    EXPECT_EQ(saed::testdata::fileBytes(kept), bytes);
}

// tilt and orient read the candidates of identify beside a run's rows: the Al candidate of the [1 -1 0]
// sample and a run on Al's <0 0 1>, 90 degrees apart; a tilt they cannot be is ruled out, and
// bad input is told with exit status 2.
namespace {

// A zone of cubic <1 1 0>: any of the symmetry-equivalent ones an identification may choose.
bool isCubic110(const QJsonArray& zone) {
    std::array<int, 3> a{};
    for (int i = 0; i < 3 && i < zone.size(); ++i) a[i] = std::abs(zone[i].toInt());
    std::sort(a.begin(), a.end());
    return zone.size() == 3 && a == std::array<int, 3>{0, 1, 1};
}

}  // namespace

TEST(TiltCommandTest, theCandidatesOfAnIdentificationAreSolutionsForTiltAndOrient) {
    QTemporaryDir dir;
    const QString identified = dir.filePath(QStringLiteral("identified.json"));
    const QString indexed = dir.filePath(QStringLiteral("indexed.json"));
    const QString copper = dir.filePath(QStringLiteral("copper.json"));
    const auto save = [](const QString& path, const QStringList& args) {
        const ProgramRun run = runProgram(args);
        return run.status == 0 && !run.rawOut.isEmpty() && !saed::testdata::writeFileBytes(path, run.rawOut).isEmpty();
    };
    ASSERT_TRUE(save(identified, {QStringLiteral("identify"), QStringLiteral(SAED_SAMPLES "/al-011-pattern.tif"),
                                  QStringLiteral("--phases"), QStringLiteral("builtin"), QStringLiteral("--format"),
                                  QStringLiteral("json")}));
    const QString al001 = QStringLiteral("--spacegroup F_m_-3_m --d 0.202475,0.202475,0.1431715 --angles 90,45,45 "
                                         "--format json");
    ASSERT_TRUE(save(indexed, (QStringLiteral("index --cell 0.40495,0.40495,0.40495,90,90,90 ") + al001)
                                  .split(u' ')
                                  .replaceInStrings(QStringLiteral("_"), QStringLiteral(" "))));
    ASSERT_TRUE(save(copper, (QStringLiteral("index --cell 0.36149,0.36149,0.36149,90,90,90 ") + al001)
                                 .split(u' ')
                                 .replaceInStrings(QStringLiteral("_"), QStringLiteral(" "))));

    const ProgramRun run = runProgram({QStringLiteral("tilt"), identified, indexed, QStringLiteral("--angle"),
                                       QStringLiteral("90"), QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.json()[u"phase"].toString(), QStringLiteral("Al (F m -3 m)"));
    const QJsonArray pairs = run.json()[u"pairs"].toArray();
    ASSERT_FALSE(pairs.isEmpty());
    EXPECT_EQ(pairs[0][u"first"][u"rank"].toInt(), 1);
    EXPECT_FALSE(pairs[0][u"first"].toObject().contains(u"group"));
    const QJsonArray second = pairs[0][u"second"][u"zone"].toArray();  // a <0 0 1> row of the run
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(std::abs(second[0].toInt()) + std::abs(second[1].toInt()) + std::abs(second[2].toInt()), 1);
    ASSERT_EQ(run.json()[u"kept"].toArray().size(), 1);
    EXPECT_TRUE(isCubic110(run.json()[u"kept"][0][u"zone"].toArray()));

    const ProgramRun apart = runProgram({QStringLiteral("tilt"), identified, indexed, QStringLiteral("--angle=30")});
    ASSERT_EQ(apart.status, 0) << apart.err.toStdString();
    EXPECT_TRUE(apart.out.contains(QStringLiteral("phase Al (F m -3 m)"))) << apart.out.toStdString();
    EXPECT_TRUE(apart.out.contains(QStringLiteral("ruled out"))) << apart.out.toStdString();

    const auto refused = [&](const QStringList& args, const char* said) {
        const ProgramRun r = runProgram(QStringList{QStringLiteral("tilt")} + args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(said))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    };
    refused({identified, copper, QStringLiteral("--angle"), QStringLiteral("45")}, "different phases");
    refused({identified, indexed, QStringLiteral("--angle"), QStringLiteral("181")}, "0 to 180");
    refused({identified, indexed, QStringLiteral("--angle=90"), QStringLiteral("--axis=0")}, "no direction in the image");
    refused({identified, indexed, QStringLiteral("--angle=90"), QStringLiteral("--phase=Cu")}, "no candidate of the phase Cu");

    // orient takes a candidate with the directions of its net: a zone of <1 1 0> on the beam, the
    // matrix's beam row along it; a run's row has no direction in the image.
    const ProgramRun oriented = runProgram({QStringLiteral("orient"), identified, QStringLiteral("--candidate=1")});
    ASSERT_EQ(oriented.status, 0) << oriented.err.toStdString();
    const QJsonArray zone = oriented.json()[u"zone"].toArray();
    EXPECT_TRUE(isCubic110(zone));
    const QJsonArray z = oriented.json()[u"matrix"][2].toArray();  // the beam's row: [u v w] / sqrt 2
    ASSERT_EQ(z.size(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(z[i].toDouble(), zone[i].toInt() * std::sqrt(0.5), 1e-9);
    const auto orientRefused = [&](const QStringList& args, const char* said) {
        const ProgramRun r = runProgram(QStringList{QStringLiteral("orient")} + args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(said))) << r.err.toStdString();
    };
    orientRefused({indexed, QStringLiteral("--family=1")}, "no direction in the image");
    orientRefused({identified}, "--candidate");
    orientRefused({identified, QStringLiteral("--candidate=99")}, "99");
}
