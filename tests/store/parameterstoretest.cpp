// SPDX-License-Identifier: BSD-3-Clause
// Saving and importing parameter sets through the store file.
#include "store/parameterstore.h"

#include <sys/wait.h>  // for waitpid
#include <unistd.h>    // for fork, _exit

#include <atomic>
#include <future>
#include <numeric>  // for iota
#include <thread>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "model/mainmodel.h"
#include "model/resulttablemodel.h"
#include "model/scriptedprompts.h"
#include "model/texts.h"
#include "store/textfile.h"
#include "tests/fulldisk.h"
#include "tests/files.h"

using namespace saed;
using model::Caption;
using model::MainModel;
using model::ScriptedPrompts;

namespace {

using testdata::fileBytes;

class ParameterStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        model.setCombo1Items(model::latticeTypeNames());
    }
    QString storePath() const { return m_dir.filePath(QStringLiteral("Program File/Store.ini")); }

    // Fills every stored field with a text that tells field and set apart.
    void fill(const QString& tag, core::LatticeType combo1) {
        for (int n = 0; n < MainModel::kText1Count; ++n) model.setText1(n, QStringLiteral("%1.%2").arg(n).arg(tag));
        model.setCombo1(combo1);
        model.setText6(QStringLiteral("物相") + tag);
    }
    bool save(const QString& name) {
        prompts.queueText(name);
        return parameters.save(model, prompts);
    }
    bool saveSet(const QString& name, core::LatticeType combo1 = core::LatticeType::BaseCentred) {
        fill(name, combo1);
        return save(name);
    }

    QTemporaryDir m_dir;
    store::ParameterStore parameters{storePath()};
    MainModel model;
    ScriptedPrompts prompts;
};

}  // namespace

TEST_F(ParameterStoreTest, firstMenuCreatesTheStoreAndSaveWritesItsBytes) {
    EXPECT_EQ(parameters.menuCaptions(), QStringList(4, QStringLiteral("导入图测量数据")));
    EXPECT_TRUE(QFile::exists(storePath()));

    // Cancelled or empty names write nothing.
    EXPECT_FALSE(parameters.save(model, prompts));
    EXPECT_FALSE(save(QString()));
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_EQ(prompts.questions()[0].kind, ScriptedPrompts::Kind::AskText);
    EXPECT_EQ(prompts.questions()[0].text, QStringLiteral("测量图片的名称为"));
    EXPECT_EQ(fileBytes(storePath()), QByteArray());

    fill(QStringLiteral("x"), core::LatticeType::FaceCentred);
    model.setText1(4, QStringLiteral("two\nlines"));
    ASSERT_TRUE(save(QStringLiteral("样品1")));
    QStringList expected{QStringLiteral("样品1")};
    for (int n = 0; n < 39; ++n) expected.push_back(n == 4 ? QStringLiteral("two lines") : QStringLiteral("%1.x").arg(n));
    expected << QStringLiteral("3") << QStringLiteral("物相x");
    EXPECT_EQ(fileBytes(storePath()), store::encodeLines(expected) + QByteArray(126, '\0').replace('\0', "\r\n"));
    EXPECT_EQ(parameters.menuCaptions().first(), QStringLiteral("导入样品1图测量数据"));
}

TEST_F(ParameterStoreTest, fiveSavesPushTheFirstNameOut) {
    for (const char* name : {"一", "二", "三", "四", "五"}) ASSERT_TRUE(saveSet(QString::fromUtf8(name)));
    EXPECT_EQ(parameters.menuCaptions(),
              (QStringList{QStringLiteral("导入五图测量数据"), QStringLiteral("导入四图测量数据"),
                           QStringLiteral("导入三图测量数据"), QStringLiteral("导入二图测量数据")}));
    const auto lines = store::readTextLines(storePath());
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 168);
    EXPECT_FALSE(lines->contains(QStringLiteral("一")));
    EXPECT_EQ(lines->at(127), QStringLiteral("0.二"));
    EXPECT_EQ(lines->at(167), QStringLiteral("物相二"));
}

TEST_F(ParameterStoreTest, importOfANeverFilledSlotAndOfSlotTwo) {
    ASSERT_TRUE(saveSet(QStringLiteral("甲"), core::LatticeType::FaceCentred));
    ASSERT_TRUE(saveSet(QStringLiteral("乙")));
    model.resultTable()->buildResults({saed::core::ResultRow{}}, QColor(225, 0, 0));
    model.setCaption(Caption::Label22, QStringLiteral("1"));
    model.setCaption(Caption::Frame1, QStringLiteral("点阵标尺"));
    model.setCaption(Caption::Label5, QStringLiteral("0.5000000   0.5000000"));
    model.setCaption(Caption::Label1_47, QStringLiteral("d1= 0.5000000"));

    // Slot 3 was never filled: its texts are written and the import stops at its lattice-type
    // line, so what comes after keeps its state, without a message.
    EXPECT_FALSE(parameters.importSlot(model, prompts, 3));
    for (int n = 0; n < 39; ++n) EXPECT_EQ(model.Text1(n), QString()) << n;
    EXPECT_EQ(model.Text6(), QString());
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::BaseCentred);
    EXPECT_EQ(model.caption(Caption::Frame1), QStringLiteral("点阵标尺"));
    EXPECT_EQ(model.resultTable()->rowCount(), 1);
    EXPECT_EQ(model.caption(Caption::Label22), QStringLiteral("1"));

    QSignalSpy writes(&model, &MainModel::text1Changed);
    const QByteArray before = fileBytes(storePath());
    ASSERT_TRUE(parameters.importSlot(model, prompts, 2));
    EXPECT_EQ(fileBytes(storePath()), before);  // importing never changes the file

    // Fields 0..38 in index order, then the calculator outputs 18, 19, 20, 15, 16, 17.
    std::vector<int> order(39);
    std::iota(order.begin(), order.end(), 0);
    order.insert(order.end(), {18, 19, 20, 15, 16, 17});
    std::vector<int> seen;
    for (const auto& write : writes) seen.push_back(write.at(0).toInt());
    EXPECT_EQ(seen, order);

    for (int n : {0, 14, 21, 27, 38}) EXPECT_EQ(model.Text1(n), QStringLiteral("%1.甲").arg(n));
    for (int n = 15; n <= 20; ++n) EXPECT_EQ(model.Text1(n), QStringLiteral("***"));
    EXPECT_EQ(model.Text6(), QStringLiteral("物相甲"));
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::FaceCentred);
    EXPECT_EQ(model.caption(Caption::Frame1), QStringLiteral("点阵标尺◇"));
    EXPECT_EQ(model.caption(Caption::Label1_47), QStringLiteral("d1= ***"));
    EXPECT_EQ(model.caption(Caption::Label1_49), QStringLiteral("d3= ***"));
    EXPECT_EQ(model.resultTable()->rowCount(), 0);
    EXPECT_EQ(model.caption(Caption::Label22), QStringLiteral("0"));
    EXPECT_EQ(model.caption(Caption::Label5), model::label5IdleText());
    EXPECT_EQ(prompts.questions().size(), 2u);  // only the two name prompts
}

TEST_F(ParameterStoreTest, storeThatCannotBeWrittenIsToldAndKeepsItsSets) {
    // The store's folder is taken by a file, so neither folder nor store can be made.
    ASSERT_FALSE(testdata::writeFileBytes(m_dir.filePath(QStringLiteral("blocker")), {}).isEmpty());
    const QString path = m_dir.filePath(QStringLiteral("blocker/Store.ini"));
    parameters = store::ParameterStore(path);
    EXPECT_EQ(parameters.menuCaptions().size(), 4);
    EXPECT_FALSE(saveSet(QStringLiteral("甲")));
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_EQ(prompts.questions()[1].kind, ScriptedPrompts::Kind::Warn);
    EXPECT_TRUE(prompts.questions()[1].text.contains(QDir::toNativeSeparators(path)));
    EXPECT_EQ(fileBytes(m_dir.filePath(QStringLiteral("blocker"))), QByteArray());

    // A full disk: the save is refused with the system's reason and the four sets stay.
    testdata::FullDisk disk;
    if (!disk.problem().isEmpty()) GTEST_SKIP() << disk.problem().toStdString();
    parameters = store::ParameterStore(disk.filePath(QStringLiteral("Store.ini")));
    for (const char* name : {"一", "二", "三", "四"}) ASSERT_TRUE(saveSet(QString::fromUtf8(name)));
    const QByteArray sets = fileBytes(parameters.path());
    disk.fill(1);  // room for the lock file, none for the new store
    prompts.clearQuestions();
    EXPECT_FALSE(saveSet(QStringLiteral("五")));
    ASSERT_EQ(prompts.questions().size(), 2u);
    EXPECT_TRUE(prompts.questions()[1].text.contains(QDir::toNativeSeparators(parameters.path())));
    EXPECT_TRUE(prompts.questions()[1].text.contains(QStringLiteral("No space left on device")))
        << prompts.questions()[1].text.toStdString();
    EXPECT_EQ(fileBytes(parameters.path()), sets);
    EXPECT_EQ(QDir(QFileInfo(parameters.path()).absolutePath()).entryList(QDir::Files).size(), 2);  // no temporary left
    // With not even the lock file's room, the save says so too.
    disk.fill();
    EXPECT_FALSE(saveSet(QStringLiteral("六")));
    ASSERT_EQ(prompts.questions().size(), 4u);
    EXPECT_TRUE(prompts.questions()[3].text.contains(QStringLiteral("No space left on device")))
        << prompts.questions()[3].text.toStdString();
    EXPECT_EQ(fileBytes(parameters.path()), sets);
}

TEST_F(ParameterStoreTest, olderLinesMoveDownByteForByteAndOnlyTheFirst168Count) {
    QDir().mkpath(QFileInfo(storePath()).absolutePath());
    // Lines that are no GB18030 (UTF-8, a lone lead byte), the euro byte, a line ended by LF
    // alone, and far more lines than the store holds.
    QList<QByteArray> old{QStringLiteral("样品α").toUtf8(), QByteArray("\x81"), QByteArray("\x80"), "lf"};
    for (int i = 5; i <= 2500; ++i) old.push_back(QStringLiteral("L%1").arg(i).toLatin1());
    ASSERT_FALSE(testdata::writeFileBytes(storePath(), old.mid(0, 3).join("\r\n") + "\r\nlf\n" + old.mid(4).join("\r\n")).isEmpty());
    EXPECT_EQ(parameters.menuCaptions().at(3), QStringLiteral("导入L127图测量数据"));

    ASSERT_TRUE(saveSet(QStringLiteral("新")));
    const QByteArray after = fileBytes(storePath());
    qsizetype oldStart = 0;
    for (int n = 0; n < 42; ++n) oldStart = after.indexOf("\r\n", oldStart) + 2;
    EXPECT_EQ(after.mid(oldStart), old.mid(0, 126).join("\r\n") + "\r\n");
    EXPECT_EQ(parameters.menuCaptions().at(0), QStringLiteral("导入新图测量数据"));
}

TEST_F(ParameterStoreTest, saveWaitsForAnotherInstanceAndKeepsItsSet) {
    ASSERT_TRUE(saveSet(QStringLiteral("甲")));
    fill(QStringLiteral("乙"), core::LatticeType::BaseCentred);
    // The name prompt tells when the save has begun; it then goes for the lock.
    struct TellingPrompts : ScriptedPrompts {
        std::promise<void> asked;
        std::optional<QString> askText(const QString& prompt, const QString& title, const QString& text) override {
            auto answer = ScriptedPrompts::askText(prompt, title, text);
            asked.set_value();
            return answer;
        }
    } telling;
    telling.queueText(QStringLiteral("乙"));

    // Another instance holds the lock while it saves "丙": this save waits for it and then
    // reads the store the other one wrote.
    auto lines = store::readTextLines(storePath());
    ASSERT_TRUE(lines);
    const QStringList otherStore = QStringList(42, QStringLiteral("丙")) + lines->mid(0, 126);
    QLockFile other(storePath() + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));
    std::atomic<bool> saved = false;
    std::thread saving([&] { saved = parameters.save(model, telling); });
    telling.asked.get_future().wait();
    EXPECT_FALSE(saved);
    ASSERT_TRUE(store::writeTextFileAtomic(storePath(), otherStore));
    other.unlock();
    saving.join();

    EXPECT_TRUE(saved);
    EXPECT_EQ(parameters.menuCaptions(),
              (QStringList{QStringLiteral("导入乙图测量数据"), QStringLiteral("导入丙图测量数据"),
                           QStringLiteral("导入甲图测量数据"), QStringLiteral("导入图测量数据")}));
}

TEST_F(ParameterStoreTest, lockOfAGoneProcessOrAnEmptyLockIsStaleAtOnce) {
    // A lock file left empty by a process killed before it wrote its name, and one naming a
    // process that has ended: the save takes the lock instead of failing after its long wait.
    const pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const QByteArray gone = QByteArray::number(child) + "\nsaedindex\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    for (const QByteArray& content : {QByteArray(), gone}) {
        const QString lock = storePath() + QStringLiteral(".lock");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(storePath()).absolutePath()));
        ASSERT_FALSE(testdata::writeFileBytes(lock, content).isEmpty());
        EXPECT_TRUE(saveSet(QStringLiteral("甲%1").arg(content.size()))) << content.constData();
        EXPECT_FALSE(QFile::exists(lock));
    }
    EXPECT_EQ(parameters.menuCaptions().mid(0, 2),
              (QStringList{QStringLiteral("导入甲%1图测量数据").arg(gone.size()), QStringLiteral("导入甲0图测量数据")}));
}

TEST_F(ParameterStoreTest, spaceGroupEntryIsStoredAsItsLatticeType) {
    model.setSpaceGroup(QStringLiteral("F d -3 m:1 (227)"), nullptr);
    ASSERT_TRUE(saveSet(QStringLiteral("Si"), core::LatticeType::SpaceGroup));
    model.setCombo1(core::LatticeType::Simple);
    ASSERT_TRUE(parameters.importSlot(model, prompts, 1));
    EXPECT_EQ(model.Combo1(), saed::core::LatticeType::FaceCentred);
    for (const auto& [text, type] : {std::pair{"I m -3 m", core::LatticeType::BodyCentred},
                                   {"C 1 2/m 1", core::LatticeType::BaseCentred},
                                   {"A m a 2", core::LatticeType::BaseCentred},
                                   {"R -3 m:H", core::LatticeType::Simple},
                                   {"", core::LatticeType::Simple}})
        EXPECT_EQ(model::latticeTypeOfSpaceGroup(QString::fromUtf8(text)), type) << text;
}
