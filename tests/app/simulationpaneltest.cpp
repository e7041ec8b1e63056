#include "app/simulationpanel.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    panel.setLatticeTypes({QStringLiteral("P"), QStringLiteral("I"), QStringLiteral("F")}, 2);
    panel.setPhase(QStringLiteral("Al"), {0.405, 0.405, 0.405, 90, 90, 90});
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
