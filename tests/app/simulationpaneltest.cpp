// SPDX-License-Identifier: BSD-3-Clause
#include "app/simulationpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>  // for find_if
#include <map>

#include "library/builtinphases.h"
#include "library/spacegroup.h"
#include "model/scriptedprompts.h"

using namespace saed::app;
using saed::model::ScriptedPrompts;

namespace {

QByteArray head(const QString& path, qint64 n) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(n) : QByteArray();
}

}  // namespace

// Both export buttons ask for a path through the prompts with the zone's name proposed, and
// write that file as a real PNG or SVG; Cancel writes nothing, and a path that cannot be written
// is told, not passed over.
TEST(SimulationPanelTest, exportsAskThroughThePromptsAndWriteTheFile) {
    ScriptedPrompts prompts;
    SimulationPanel panel(prompts);
    panel.setLatticeTypes({QStringLiteral("P"), QStringLiteral("I"), QStringLiteral("F")}, saed::core::LatticeType::BodyCentred);
    // Before any cell is typed the tab asks for a phase; it neither names the empty name field
    // nor calls zero lengths a cell that cannot be.
    auto* phase = panel.findChild<QLabel*>(QStringLiteral("SimulationPhase"));
    panel.setPhase(QStringLiteral("NAME"), {});
    EXPECT_EQ(phase->text(), QStringLiteral("物相：—"));
    EXPECT_EQ(panel.statusText(), QStringLiteral("请在“标定计算”页输入点阵参数，或从点阵库选择物相。"));
    EXPECT_FALSE(panel.pattern());
    panel.setPhase(QStringLiteral("Al"), {0.405, 0.405, 0.405, 90, 90, 90});
    EXPECT_TRUE(phase->text().startsWith(QStringLiteral("物相：Al  (0.405, 0.405, 0.405 nm")));
    panel.showZone({0, 1, 1});
    ASSERT_TRUE(panel.pattern());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto* png = panel.findChild<QPushButton*>(QStringLiteral("ExportPng"));
    auto* svg = panel.findChild<QPushButton*>(QStringLiteral("ExportSvg"));
    ASSERT_TRUE(png && svg);

    const QString pngPath = dir.filePath(QStringLiteral("a.png"));
    const QString svgPath = dir.filePath(QStringLiteral("b.svg"));
    prompts.queueSavePath(pngPath);
    prompts.queueSavePath(svgPath);
    png->click();
    svg->click();
    EXPECT_EQ(head(pngPath, 8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    EXPECT_TRUE(head(svgPath, 200).contains("<svg "));
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::SaveFile);
    EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("zone_011.png"));
    EXPECT_EQ(prompts.questions()[1].title, QStringLiteral("导出SVG"));
    EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("SimulationNote"))->text(),
              QStringLiteral("已导出：") + svgPath);

    prompts.clearQuestions();
    const QString cancelled = dir.filePath(QStringLiteral("zone_011.png"));
    png->click();  // nothing queued: Cancel
    EXPECT_FALSE(QFile::exists(cancelled));
    prompts.queueSavePath(dir.filePath(QStringLiteral("missing/c.svg")));
    svg->click();
    ASSERT_EQ(prompts.questions().size(), 3u);
    EXPECT_EQ(prompts.questions()[2].kind, ScriptedPrompts::Kind::Warn);
    EXPECT_TRUE(prompts.questions()[2].text.startsWith(QStringLiteral("无法写入文件")));
}

// Silicon (F d -3 m with its atom at 8a) along [0 1 1]: by space group neither {200} (the d
// glide) nor {222} (|F| = 0 at 8a) is drawn, spot sizes follow |F|, and the lattice type 面心点阵
// lets both back in at the smallest size.
TEST(SimulationPanelTest, spaceGroupRuleAndStructureFactorsOfSilicon) {
    const std::vector<saed::library::CrystalPhase>& builtIn = saed::library::builtInPhases();
    const auto si = std::find_if(builtIn.begin(), builtIn.end(), [](const auto& p) { return p.name == "Si"; });
    ASSERT_NE(si, builtIn.end());
    ASSERT_FALSE(si->atoms.empty());
    ScriptedPrompts prompts;
    SimulationPanel panel(prompts);
    const QStringList types = {QStringLiteral("简单点阵"), QStringLiteral("底心点阵"), QStringLiteral("体心点阵"),
                               QStringLiteral("面心点阵"), QStringLiteral("菱形点阵"), QStringLiteral("按空间群")};
    panel.setLatticeTypes(types, saed::core::LatticeType::Simple);
    panel.setPhase(QStringLiteral("Si"), si->cell);
    const auto rule = saed::library::phaseRule(*si);
    panel.setSpaceGroup(QStringLiteral("F d -3 m (227)"), rule);
    EXPECT_EQ(panel.chosenType(), saed::core::LatticeType::SpaceGroup);
    panel.findChild<QDoubleSpinBox*>(QStringLiteral("SimulationMaxG"))->setValue(7);
    panel.showZone({0, 1, 1});
    ASSERT_TRUE(panel.pattern());
    EXPECT_TRUE(panel.statusText().contains(QStringLiteral("F d -3 m (227)")));

    // |g| = sqrt(h^2 + k^2 + l^2) / a, a = 0.5431 nm: out to 7 1/nm the zone holds {111} (4),
    // {200} (2), {022} (2), {311} (4) and {222} (4).
    // Spots per form, by h^2 + k^2 + l^2.
    const auto forms = [&panel] {
        std::map<int, int> n;
        for (const saed::simulation::Spot& s : panel.pattern()->spots) ++n[s.hkl[0] * s.hkl[0] + s.hkl[1] * s.hkl[1] + s.hkl[2] * s.hkl[2]];
        return n;
    };
    const auto spot = [&panel](const saed::core::Hkl& hkl) -> const saed::simulation::Spot* {
        for (const saed::simulation::Spot& s : panel.pattern()->spots)
            if (s.hkl == hkl) return &s;
        return nullptr;
    };
    EXPECT_EQ(forms(), (std::map<int, int>{{3, 4}, {8, 2}, {11, 4}}));
    const auto* s111 = spot({1, 1, -1});
    const auto* s022 = spot({0, 2, -2});
    ASSERT_TRUE(s111 && s022);
    const double f111 = *rule->structureFactor({1, 1, -1}), f022 = *rule->structureFactor({0, 2, -2});
    EXPECT_GT(f111, 1);
    EXPECT_NEAR(s111->intensity / s022->intensity, (f111 * f111) / (f022 * f022), 1e-9);
    EXPECT_NEAR(spot({-1, 1, -1})->intensity, s111->intensity, 1e-9 * s111->intensity);
    const double i111 = s111->intensity;  // the spots are made anew below

    panel.findChild<QComboBox*>(QStringLiteral("SimulationType"))->setCurrentIndex(3);
    ASSERT_TRUE(panel.pattern());
    EXPECT_EQ(forms(), (std::map<int, int>{{3, 4}, {4, 2}, {8, 2}, {11, 4}, {12, 4}}));
    EXPECT_LT(spot({2, 0, 0})->intensity, 1e-6 * i111);
    EXPECT_FALSE(panel.statusText().contains(QStringLiteral("F d -3 m")));

    // Without a space group the entry is greyed out; chosen anyway, it says why nothing is drawn.
    panel.setSpaceGroup(QString(), nullptr);
    panel.setLatticeTypes(types, saed::core::LatticeType::SpaceGroup);
    EXPECT_FALSE(panel.pattern());
    EXPECT_EQ(panel.statusText(), QStringLiteral("此物相没有空间群，请选择点阵类型。"));
}

// A hexagonal cell's zone is typed as [U V T W] and its spots are labelled (h k i l); an
// inconsistent T is told, not drawn; other cells keep three indices.
TEST(SimulationPanelTest, hexagonalZonesInFourIndices) {
    ScriptedPrompts prompts;
    SimulationPanel panel(prompts);
    panel.setLatticeTypes({QStringLiteral("P")}, saed::core::LatticeType::Simple);
    panel.setPhase(QStringLiteral("Mg"), {0.32094, 0.32094, 0.52107, 90, 90, 120});
    panel.showZone({1, 0, 0});
    // Ticked by the user: the boxes show the same zone in four indices.
    panel.findChild<QCheckBox*>(QStringLiteral("SimulationFourIndex"))->click();
    ASSERT_TRUE(panel.fourIndex());
    auto* t = panel.findChild<QSpinBox*>(QStringLiteral("SimulationZoneT"));
    ASSERT_NE(t, nullptr);
    // The shown zone keeps its direction: [1 0 0] reads [2 -1 -1 0].
    EXPECT_EQ(panel.findChild<QSpinBox*>(QStringLiteral("SimulationZone0"))->value(), 2);
    EXPECT_EQ(t->value(), -1);
    EXPECT_EQ(panel.zone(), (saed::core::Uvw{1, 0, 0}));
    ASSERT_TRUE(panel.pattern());
    EXPECT_TRUE(panel.statusText().contains(QStringLiteral("[2 -1 -1 0]"))) << panel.statusText().toStdString();
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("mg.svg"));
    ASSERT_TRUE(panel.exportSvg(svg));
    EXPECT_TRUE(head(svg, 4000).contains("(0 1 <tspan text-decoration=\"overline\">1</tspan> 0)"));

    t->setValue(1);  // T = 1 with U = 2, V = -1: not a four-index direction
    EXPECT_FALSE(panel.pattern());
    EXPECT_TRUE(panel.statusText().contains(QStringLiteral("T = -(U + V)"))) << panel.statusText().toStdString();

    // A cubic cell: back to three indices, and four cannot be chosen.
    panel.setPhase(QStringLiteral("Al"), {0.405, 0.405, 0.405, 90, 90, 90});
    panel.setFourIndex(true);
    EXPECT_FALSE(panel.fourIndex());
    EXPECT_FALSE(t->isVisible());
}
