// Saving and importing parameter sets through the store file.
#include "store/parameterstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/mainmodel.h"
#include "app/resulttablemodel.h"
#include "app/scriptedprompts.h"
#include "app/texts.h"
#include "store/textfile.h"

using namespace saed;
using app::Caption;
using app::MainModel;
using app::ScriptedPrompts;
using store::ParameterStore;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Fills every stored field with a text that tells field and set apart.
void fillFields(MainModel& model, const QString& tag, int combo1) {
    for (int n = 0; n < MainModel::kText1Count; ++n) model.setText1(n, QStringLiteral("%1.%2").arg(n).arg(tag));
    model.setCombo1(combo1);
    model.setText6(QStringLiteral("物相") + tag);
}

bool saveAs(const ParameterStore& store, MainModel& model, ScriptedPrompts& prompts, const QString& name) {
    prompts.queueText(name);
    return store.save(model, prompts);
}

class ParameterStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        model.setCombo1Items(app::latticeTypeNames());
    }
    QString storePath() const { return m_dir.filePath(QStringLiteral("Program File/Store.ini")); }

    QTemporaryDir m_dir;
    MainModel model;
    ScriptedPrompts prompts;
};

}  // namespace

TEST_F(ParameterStoreTest, firstMenuCreatesTheStoreAndSaveWritesItsBytes) {
    const ParameterStore store(storePath());
    EXPECT_FALSE(QFile::exists(storePath()));
    const QStringList empty = store.menuCaptions();
    ASSERT_EQ(empty.size(), 4);
    for (const QString& caption : empty) EXPECT_EQ(caption, QStringLiteral("导入图测量数据"));
    EXPECT_TRUE(QFile::exists(storePath()));
    EXPECT_EQ(fileBytes(storePath()), QByteArray());

    // Cancelled or empty names write nothing.
    EXPECT_FALSE(store.save(model, prompts));
    EXPECT_FALSE(saveAs(store, model, prompts, QString()));
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::AskText);
    EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("测量图片的名称为"));
    EXPECT_EQ(prompts.questions()[0].title, QString());
    EXPECT_EQ(fileBytes(storePath()), QByteArray());

    fillFields(model, QStringLiteral("x"), 3);
    model.setText1(4, QStringLiteral("two\nlines"));
    ASSERT_TRUE(saveAs(store, model, prompts, QStringLiteral("样品1")));
    QByteArray expected = store::encodeLines({QStringLiteral("样品1")});
    for (int n = 0; n < 39; ++n)
        expected += store::encodeLines({n == 4 ? QStringLiteral("two lines") : QStringLiteral("%1.x").arg(n)});
    expected += store::encodeLines({QStringLiteral("3"), QStringLiteral("物相x")});
    expected += QByteArray(126, '\0').replace('\0', QByteArray("\r\n"));
    EXPECT_EQ(fileBytes(storePath()), expected);
    EXPECT_EQ(store.menuCaptions().first(), QStringLiteral("导入样品1图测量数据"));
}

TEST_F(ParameterStoreTest, fiveSavesPushTheFirstNameOut) {
    const ParameterStore store(storePath());
    store.menuCaptions();
    for (const char* name : {"一", "二", "三", "四", "五"}) {
        fillFields(model, QString::fromUtf8(name), 1);
        ASSERT_TRUE(saveAs(store, model, prompts, QString::fromUtf8(name)));
    }
    EXPECT_EQ(store.menuCaptions(),
              (QStringList{QStringLiteral("导入五图测量数据"), QStringLiteral("导入四图测量数据"),
                           QStringLiteral("导入三图测量数据"), QStringLiteral("导入二图测量数据")}));
    const auto lines = store::readTextLines(storePath());
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 168);
    EXPECT_FALSE(lines->contains(QStringLiteral("一")));
    EXPECT_EQ(lines->at(167), QStringLiteral("物相二"));
}

TEST_F(ParameterStoreTest, importOfSlotTwo) {
    const ParameterStore store(storePath());
    store.menuCaptions();
    fillFields(model, QStringLiteral("first"), 3);
    model.setText1(27, QStringLiteral("0.01"));
    ASSERT_TRUE(saveAs(store, model, prompts, QStringLiteral("甲")));
    fillFields(model, QStringLiteral("second"), 1);
    ASSERT_TRUE(saveAs(store, model, prompts, QStringLiteral("乙")));

    // The state an import replaces: a table with rows, counts and calculator results.
    app::ResultTableModel::Row row;
    row.cells[0] = QStringLiteral("第001组");
    model.resultTable()->build({row, row});
    model.setCaption(Caption::Label22, QStringLiteral("2"));
    model.setCaption(Caption::Label5, QStringLiteral("0.5000000   0.5000000"));
    model.setCaption(Caption::Label1_47, QStringLiteral("d1= 0.5000000"));
    model.setCaption(Caption::Frame1, QStringLiteral("点阵标尺"));

    QSignalSpy writes(&model, &MainModel::text1Changed);
    const QByteArray before = fileBytes(storePath());
    ASSERT_TRUE(store.importSlot(model, prompts, 2));
    EXPECT_EQ(fileBytes(storePath()), before);  // importing never changes the file

    // Fields 0..38 in index order, then the calculator outputs 18, 19, 20, 15, 16, 17.
    ASSERT_EQ(writes.count(), 39 + 6);
    for (int n = 0; n < 39; ++n) EXPECT_EQ(writes.at(n).at(0).toInt(), n);
    const int outputs[] = {18, 19, 20, 15, 16, 17};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(writes.at(39 + i).at(0).toInt(), outputs[i]);

    for (int n : {0, 5, 6, 14, 21, 22, 26, 27, 30, 35, 38})
        EXPECT_EQ(model.Text1(n), n == 27 ? QStringLiteral("0.01") : QStringLiteral("%1.first").arg(n));
    for (int n = 15; n <= 20; ++n) EXPECT_EQ(model.Text1(n), QStringLiteral("***"));
    EXPECT_EQ(model.Text6(), QStringLiteral("物相first"));
    EXPECT_EQ(model.Combo1(), 3);
    EXPECT_EQ(model.caption(Caption::Frame1), QStringLiteral("点阵标尺◇"));
    EXPECT_EQ(model.caption(Caption::Label1_47), QStringLiteral("d1= ***"));
    EXPECT_EQ(model.caption(Caption::Label1_49), QStringLiteral("d3= ***"));
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_EQ(model.caption(Caption::Label22), QStringLiteral("0"));
    EXPECT_EQ(model.caption(Caption::Label5), app::label5IdleText());
    EXPECT_TRUE(prompts.questions().size() == 2u);  // only the two name prompts
}

TEST_F(ParameterStoreTest, importOfANeverFilledSlotStopsAtTheLatticeType) {
    const ParameterStore store(storePath());
    store.menuCaptions();
    fillFields(model, QStringLiteral("kept"), 2);
    ASSERT_TRUE(saveAs(store, model, prompts, QStringLiteral("甲")));
    app::ResultTableModel::Row row;
    model.resultTable()->build({row});
    model.setCaption(Caption::Label22, QStringLiteral("1"));
    model.setCaption(Caption::Frame1, QStringLiteral("点阵标尺"));

    EXPECT_FALSE(store.importSlot(model, prompts, 3));
    for (int n = 0; n < 39; ++n) EXPECT_EQ(model.Text1(n), QString()) << n;
    EXPECT_EQ(model.Text6(), QString());
    EXPECT_EQ(model.value(27), 0.0);
    // What comes after the lattice-type line keeps its state.
    EXPECT_EQ(model.Combo1(), 2);
    EXPECT_EQ(model.caption(Caption::Frame1), QStringLiteral("点阵标尺"));
    EXPECT_EQ(model.resultTable()->rowCount(), 1);
    EXPECT_EQ(model.caption(Caption::Label22), QStringLiteral("1"));
    EXPECT_TRUE(prompts.questions().size() == 1u);  // no message
}

TEST_F(ParameterStoreTest, storeThatCannotBeWrittenIsTold) {
    // The store's folder is taken by a file, so neither folder nor store can be made.
    QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = m_dir.filePath(QStringLiteral("blocker/Store.ini"));
    const ParameterStore store(path);
    EXPECT_EQ(store.menuCaptions().size(), 4);

    fillFields(model, QStringLiteral("x"), 0);
    EXPECT_FALSE(saveAs(store, model, prompts, QStringLiteral("甲")));
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_EQ(prompts.questions()[1].kind, ScriptedPrompts::Kind::Warn);
    EXPECT_TRUE(prompts.questions()[1].text.contains(QDir::toNativeSeparators(path)));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(fileBytes(m_dir.filePath(QStringLiteral("blocker"))), QByteArray());
}

TEST_F(ParameterStoreTest, longStoreKeepsOnlyItsFirst168Lines) {
    QDir().mkpath(QFileInfo(storePath()).absolutePath());
    QStringList lines;
    for (int i = 1; i <= 2500; ++i) lines.push_back(QStringLiteral("L%1").arg(i));
    ASSERT_TRUE(store::writeTextFileAtomic(storePath(), lines));
    const ParameterStore store(storePath());
    EXPECT_EQ(store.menuCaptions().at(3), QStringLiteral("导入L127图测量数据"));
    ASSERT_TRUE(saveAs(store, model, prompts, QStringLiteral("新")));
    const auto after = store::readTextLines(storePath());
    ASSERT_TRUE(after);
    EXPECT_EQ(after->size(), 168);
    EXPECT_EQ(after->at(42), QStringLiteral("L1"));
    EXPECT_EQ(after->at(167), QStringLiteral("L126"));
}
