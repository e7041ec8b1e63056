// SPDX-License-Identifier: BSD-3-Clause
// The command line's families, match against an image, and simulate command.
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "tests/clirun.h"
#include "tests/files.h"
#include "tests/programrun.h"
#include "core/lattice.h"
#include "simulation/spotmatch.h"
#include "simulation/zonepattern.h"

namespace {

using saed::testdata::CliRun;

CliRun run(const char* command, const QString& args) {
    return saed::testdata::runCli(saed::testdata::cliArgs(QString::fromLatin1(command) + u' ' + args));
}

const saed::core::Cell kAluminium{0.405, 0.405, 0.405, 90, 90, 90};

}  // namespace

// The aluminium pattern that a three-spot method cannot decide: g1 = (3 1 -1) and g2 = (-1 -3 1)
// of the [1 1 4] zone have the spacings and angle of two {311} and a {220} of [0 1 1] as well.
// An image made from [1 1 4] decides it: that family matches best and comes first, while
// without the image the families sort by misfit alone.
TEST(FamilyCommandTest, imageMatchPutsTheZoneOfTheImageFirst) {
    using namespace saed;
    const core::Hkl g1{3, 1, -1}, g2{-1, -3, 1};
    const core::Hkl g3{g1[0] + g2[0], g1[1] + g2[1], g1[2] + g2[2]};
    const core::SquareMatrix gs = core::ReciprocalMetric(kAluminium);
    const double d1 = *core::Spacing(gs, g1), d2 = *core::Spacing(gs, g2), d3 = *core::Spacing(gs, g3);
    const double a12 = *core::PlaneAngle(gs, g1, g2), a23 = *core::PlaneAngle(gs, g2, g3),
                 a13 = *core::PlaneAngle(gs, g1, g3);

    // The picture: Gaussian spots on a faint, uneven background at the [1 1 4] positions.
    simulation::ImageFrame frame;
    frame.centre = {200.4, 195.7};
    const double r = 50;  // pixels of R1 and R2 (equal spacings)
    const double t = a12 * M_PI / 180;
    frame.r1End = {frame.centre.x + r, frame.centre.y};
    frame.r2End = {frame.centre.x + r * std::cos(t), frame.centre.y + r * std::sin(t)};
    frame.widthPx = frame.heightPx = 400;
    const auto pattern = simulation::simulateZone({kAluminium, simulation::latticeTypeRule(saed::core::LatticeType::FaceCentred), core::ZoneAxis(g1, g2), 40, g1, g2, {}});
    ASSERT_EQ(pattern.error, simulation::PatternError::None);
    const auto spots = simulation::spotsOnImage(pattern.pattern.spots, g1, g2, frame);
    ASSERT_TRUE(spots);
    QImage image(400, 400, QImage::Format_Grayscale8);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) {
            double v = 20 + ((x * 7 + y * 13) % 5);
            for (const simulation::PixelPoint& p : *spots) {
                const double rr = (x - p.x) * (x - p.x) + (y - p.y) * (y - p.y);
                if (rr < 64) v += 180 * std::exp(-rr / 4.5);
            }
            image.scanLine(y)[x] = static_cast<uchar>(std::min(255.0, v));
        }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("al114.png"));
    ASSERT_TRUE(image.save(path));

    const QString pattern3 = QStringLiteral("--cell 0.405,0.405,0.405,90,90,90 --type face --range 3 --d %1,%2,%3 "
                                            "--angles %4,%5,%6 ")
                                 .arg(d1, 0, 'g', 10).arg(d2, 0, 'g', 10).arg(d3, 0, 'g', 10)
                                 .arg(a12, 0, 'g', 10).arg(a23, 0, 'g', 10).arg(a13, 0, 'g', 10);
    const QString image3 = QStringLiteral("--image %1 --centre %2,%3 --r1-end %4,%5 --r2-end %6,%7 ")
                               .arg(path).arg(frame.centre.x).arg(frame.centre.y).arg(frame.r1End.x)
                               .arg(frame.r1End.y).arg(frame.r2End.x).arg(frame.r2End.y);

    const CliRun plain = run("index", pattern3 + QStringLiteral("--format json"));
    ASSERT_EQ(plain.status, 0) << plain.err.toStdString();
    const QJsonObject object = plain.json();
    const QJsonArray families = object[u"families"].toArray();
    ASSERT_GE(families.size(), 2);
    // Every row carries its zone and a family that is listed; the family's rows add up.
    qint64 listedRows = 0;
    for (const QJsonValue& f : families) {
        EXPECT_TRUE(f[u"match"].isNull());
        listedRows += f[u"rows"].toInteger();
    }
    EXPECT_EQ(listedRows, object[u"count"].toInteger());
    const QJsonObject firstRow = object[u"rows"].toArray()[0].toObject();
    const QJsonArray g1Json = firstRow[u"g1"].toArray(), g2Json = firstRow[u"g2"].toArray();
    const core::Uvw zone = core::ZoneAxis({g1Json[0].toInt(), g1Json[1].toInt(), g1Json[2].toInt()},
                                          {g2Json[0].toInt(), g2Json[1].toInt(), g2Json[2].toInt()});
    EXPECT_EQ(firstRow[u"zone"].toArray(), (QJsonArray{qint64(zone[0]), qint64(zone[1]), qint64(zone[2])}));
    EXPECT_GE(firstRow[u"family"].toInt(), 1);

    const CliRun matched = run("index", pattern3 + image3 + QStringLiteral("--format json"));
    ASSERT_EQ(matched.status, 0) << matched.err.toStdString();
    const QJsonArray ranked = matched.json()[u"families"].toArray();
    ASSERT_EQ(ranked.size(), families.size());
    EXPECT_EQ(ranked[0][u"zone"].toArray(), QJsonArray({4, 1, 1}));
    const double best = ranked[0][u"match"].toDouble();
    EXPECT_GT(best, 0.8);
    bool sawZone011 = false;
    for (qsizetype i = 1; i < ranked.size(); ++i) {
        EXPECT_LE(ranked[i][u"match"].toDouble(-1), ranked[i - 1][u"match"].toDouble(-1));
        if (ranked[i][u"zone"].toArray() == QJsonArray({1, 1, 0})) {
            sawZone011 = true;
            EXPECT_LT(ranked[i][u"match"].toDouble(), best - 0.2);
        }
    }
    EXPECT_TRUE(sawZone011);

    // One line per family in text and TSV, in the same order.
    const CliRun tsv = run("index", pattern3 + image3 + QStringLiteral("--families --format tsv"));
    ASSERT_EQ(tsv.status, 0);
    const QStringList lines = tsv.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), ranked.size());
    EXPECT_EQ(lines[0].split(u'\t')[2], QStringLiteral("<4 1 1>"));
    EXPECT_EQ(lines[0].split(u'\t').size(), 9);
    const CliRun text = run("index", pattern3 + QStringLiteral("--families"));
    EXPECT_TRUE(text.out.startsWith(QStringLiteral("family")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("families: %1,").arg(families.size())));

    // The image options go together, and a file that is no image is told.
    EXPECT_EQ(run("index", pattern3 + QStringLiteral("--image ") + path).status, 2);
    const CliRun missing = run("index", pattern3 + QString(image3).replace(path, dir.filePath(QStringLiteral("none.png"))));
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.out.isEmpty());
}

// A run by space group joins rows only under the group's Laue class. Along [0 0 1] the spots
// (1 2 0) and (-2 1 0) at 90 degrees, with (-1 3 0) between them, fit 16 rows of a tetragonal cell
// (48 of a cubic one). Under 4/mmm (m-3m) a row and its mirror image are one solution; under 4/m
// (m-3) (1 2 0) and (2 1 0) are different planes, of different |F|, and their rows stay apart:
// the holohedry of the cell alone would join them. Run through the real program.
TEST(FamilyCommandTest, spaceGroupFamiliesFollowItsLaueClass) {
    struct Case {
        const char* cell;
        const char* group;
        int families;
        int rowsEach;
    };
    for (const Case& c : {Case{"0.5,0.5,0.3,90,90,90", "P 4/m m m", 2, 8}, Case{"0.5,0.5,0.3,90,90,90", "P 4/m", 4, 4},
                          Case{"0.5,0.5,0.5,90,90,90", "P m -3 m", 2, 24}, Case{"0.5,0.5,0.5,90,90,90", "P m -3", 4, 12}}) {
        SCOPED_TRACE(c.group);
        const saed::testdata::ProgramRun r = saed::testdata::runCliProgram(
            {QStringLiteral("index"), QStringLiteral("--cell"), QString::fromLatin1(c.cell), QStringLiteral("--spacegroup"),
             QString::fromLatin1(c.group), QStringLiteral("--range"), QStringLiteral("3"), QStringLiteral("--d"),
             QStringLiteral("0.22361,0.22361,0.15811"), QStringLiteral("--angles"), QStringLiteral("90,45,45"),
             QStringLiteral("--format"), QStringLiteral("json")});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QJsonObject json = r.json();
        const QJsonArray families = json.value(QStringLiteral("families")).toArray();
        ASSERT_EQ(families.size(), c.families);
        for (const auto f : families) EXPECT_EQ(f.toObject().value(QStringLiteral("rows")).toInt(), c.rowsEach);
        if (c.rowsEach != 4) continue;
        // Under 4/m the sense of g1, sign(h k) sign(|h| - |k|), is one within a family.
        std::map<int, std::set<int>> senses;
        for (const auto row : json.value(QStringLiteral("rows")).toArray()) {
            const QJsonArray g1 = row.toObject().value(QStringLiteral("g1")).toArray();
            const int h = g1[0].toInt(), k = g1[1].toInt();
            senses[row.toObject().value(QStringLiteral("family")).toInt()].insert((h * k > 0) == (std::abs(h) > std::abs(k)) ? 1 : -1);
        }
        ASSERT_EQ(senses.size(), 4u);
        for (const auto& [id, sense] : senses) EXPECT_EQ(sense.size(), 1u) << id;
    }
}

// fcc [0 1 1] out to 5 1/nm: the four {111} and the two {200}, g1 = (1 1 -1) along +x and
// +y = [0 1 1] x g1, worked by hand for a = 0.405 nm: |g111| = sqrt(3) / a = 4.2767, (2 0 0) at
// x = 2 / (sqrt(3) a) = 2.8511, y = -sqrt(|g200|^2 - x^2) = -4.0321.
TEST(FamilyCommandTest, simulateWritesTheZonePattern) {
    const QString fcc = QStringLiteral("--cell 0.405,0.405,0.405,90,90,90 --type face --zone 0,1,1 --max-g 5");
    const CliRun json = run("simulate", fcc);
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonObject object = json.json();
    const QJsonArray spots = object[u"spots"].toArray();
    ASSERT_EQ(spots.size(), 6);
    EXPECT_EQ(object[u"g1"].toArray(), QJsonArray({1, 1, -1}));
    // The positions come from the zone pattern; one spot off the x axis shows they reach the JSON.
    ASSERT_EQ(spots[4][u"hkl"].toArray(), QJsonArray({2, 0, 0}));
    EXPECT_NEAR(spots[4][u"x"].toDouble(), 2.8511, 1e-4);
    EXPECT_NEAR(spots[4][u"y"].toDouble(), -4.0321, 1e-4);
    EXPECT_NEAR(spots[4][u"d"].toDouble(), 0.2025, 1e-6);

    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("p.svg")), png = dir.filePath(QStringLiteral("p.png"));
    EXPECT_EQ(run("simulate", fcc + QStringLiteral(" --format svg --out ") + svg).status, 0);
    EXPECT_TRUE(saed::testdata::fileBytes(svg).contains("<svg"));
    EXPECT_EQ(run("simulate", fcc + QStringLiteral(" --format png --out ") + png).status, 0);
    EXPECT_EQ(QImage(png).size(), QSize(600, 600));
}
