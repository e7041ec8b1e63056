// The text-file helper: GB18030 bytes, CR LF line ends, reading GBK files with the euro byte.
#include "store/textfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace saed::store;

namespace {

QByteArray bytes(std::initializer_list<unsigned char> list) {
    QByteArray out;
    for (unsigned char c : list) out.push_back(static_cast<char>(c));
    return out;
}

}  // namespace

TEST(TextFileTest, gbkBytesOfLabelsAndLineEnds) {
    EXPECT_EQ(encodeLines({QStringLiteral("α")}), bytes({0xA6, 0xC1, '\r', '\n'}));
    EXPECT_EQ(encodeLines({QStringLiteral("点阵参数：")}),
              bytes({0xB5, 0xE3, 0xD5, 0xF3, 0xB2, 0xCE, 0xCA, 0xFD, 0xA3, 0xBA, '\r', '\n'}));
    EXPECT_EQ(encodeLines({QStringLiteral("＝"), QString(), QStringLiteral("a")}),
              bytes({0xA3, 0xBD, '\r', '\n', '\r', '\n', 'a', '\r', '\n'}));
    EXPECT_EQ(encodeLines({}), QByteArray());
    // A character outside GBK keeps its four GB18030 bytes instead of becoming "?".
    EXPECT_EQ(encodeLines({QString::fromUcs4(U"\U00020000")}), bytes({0x95, 0x32, 0x82, 0x36, '\r', '\n'}));
}

TEST(TextFileTest, decodesGbkAndGb18030) {
    EXPECT_EQ(decodeText(bytes({0xA6, 0xC1, 0xA3, 0xBD})), QStringLiteral("α＝"));
    // The Windows code page writes the euro sign as the single byte 0x80 ...
    EXPECT_EQ(decodeText(bytes({'a', 0x80, 'b'})), QStringLiteral("a€b"));
    EXPECT_EQ(decodeText(bytes({0x80, 0x80})), QStringLiteral("€€"));
    // ... while 0x80 after a lead byte is the second byte of a pair (U+4E90).
    EXPECT_EQ(decodeText(bytes({0x81, 0x80, 0x80})), QString(QChar(0x4E90)) + QChar(0x20AC));
    EXPECT_EQ(decodeText(bytes({0xA2, 0xE3})), QStringLiteral("€"));
    EXPECT_EQ(decodeText(bytes({0x95, 0x32, 0x82, 0x36, 0x80})), QString::fromUcs4(U"\U00020000€"));
    const QString mixed = QStringLiteral("------α-Mg  简单六方  c/a1.60323  点阵参数：◇第001组");
    EXPECT_EQ(decodeText(encodeLines({mixed}).chopped(2)), mixed);
}

TEST(TextFileTest, readAndWriteFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    EXPECT_EQ(readTextLines(path), QStringList());  // absent: no lines

    ASSERT_TRUE(writeTextFileAtomic(path, {QStringLiteral("样品1"), QString(), QStringLiteral("0.008")}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes({0xD1, 0xF9, 0xC6, 0xB7, '1', '\r', '\n', '\r', '\n', '0', '.', '0', '0', '8', '\r', '\n'}));
    file.close();
    EXPECT_EQ(readTextLines(path), (QStringList{QStringLiteral("样品1"), QString(), QStringLiteral("0.008")}));
    EXPECT_EQ(readTextLines(path, 2), (QStringList{QStringLiteral("样品1"), QString()}));

    ASSERT_TRUE(appendTextLines(path, {QStringLiteral("x")}));
    EXPECT_EQ(readTextLines(path)->size(), 4);

    // Files written elsewhere: LF alone ends a line too, and a last line needs no line end.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes({'a', '\n', 0x80, '\r', '\n', 'c'}));
    file.close();
    EXPECT_EQ(readTextLines(path), (QStringList{QStringLiteral("a"), QStringLiteral("€"), QStringLiteral("c")}));

    // A folder that cannot exist: nothing is written and the caller is told.
    EXPECT_FALSE(writeTextFileAtomic(dir.filePath(QStringLiteral("a.txt/sub/b.txt")), {QStringLiteral("x")}));
    EXPECT_FALSE(appendTextLines(dir.filePath(QStringLiteral("a.txt/sub/b.txt")), {QStringLiteral("x")}));
    EXPECT_FALSE(readTextLines(dir.path()).has_value());  // a folder cannot be read as a file
}
