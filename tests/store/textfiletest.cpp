// SPDX-License-Identifier: BSD-3-Clause
// The text-file helper: GB18030 bytes, CR LF line ends, reading GBK files with the euro byte.
#include "store/textfile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/files.h"

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
    // A character outside GBK keeps its four GB18030 bytes instead of becoming "?".
    EXPECT_EQ(encodeLines({QString::fromUcs4(U"\U00020000")}), bytes({0x95, 0x32, 0x82, 0x36, '\r', '\n'}));
    // The euro sign is the single byte 0x80 of the Windows code page, and reads back as itself.
    EXPECT_EQ(encodeLines({QStringLiteral("€5,α€")}), bytes({0x80, '5', ',', 0xA6, 0xC1, 0x80, '\r', '\n'}));
    EXPECT_EQ(decodeText(encodeLines({QStringLiteral("€€")})), QStringLiteral("€€\r\n"));
}

TEST(TextFileTest, decodesGbkAndGb18030) {
    const std::pair<QByteArray, QString> cases[] = {
        {bytes({0xA6, 0xC1, 0xA3, 0xBD}), QStringLiteral("α＝")},
        // The Windows code page writes the euro sign as the single byte 0x80 ...
        {bytes({'a', 0x80, 'b'}), QStringLiteral("a€b")},
        {bytes({0x80, 0x80}), QStringLiteral("€€")},
        // ... while 0x80 after a lead byte is the second byte of a pair (U+4E90).
        {bytes({0x81, 0x80, 0x80}), QString(QChar(0x4E90)) + QChar(0x20AC)},
        {bytes({0xA2, 0xE3}), QStringLiteral("€")},
        {bytes({0x95, 0x32, 0x82, 0x36, 0x80}), QString::fromUcs4(U"\U00020000€")},
    };
    for (const auto& [in, text] : cases) EXPECT_EQ(decodeText(in), text) << in.toHex().constData();

    // Library files: valid UTF-8 (its byte order mark dropped) as UTF-8, anything else as GBK.
    EXPECT_EQ(decodeLibraryText(QStringLiteral("\uFEFFα-Mg;€").toUtf8()), QStringLiteral("α-Mg;€"));
    EXPECT_EQ(decodeLibraryText(bytes({0xA6, 0xC1, '-', 'M', 'g', ';', 0x80})), QStringLiteral("α-Mg;€"));
}

TEST(TextFileTest, readAndWriteFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    EXPECT_EQ(readTextLines(path), QStringList());  // absent: no lines

    const QStringList lines{QStringLiteral("样品1"), QString(), QStringLiteral("0.008")};
    ASSERT_TRUE(writeTextFileAtomic(path, lines));
    EXPECT_EQ(saed::testdata::fileBytes(path), encodeLines(lines));
    EXPECT_EQ(readTextLines(path), lines);
    EXPECT_EQ(readTextLines(path, 2), lines.mid(0, 2));
    ASSERT_TRUE(appendTextLines(path, {QStringLiteral("x")}));
    EXPECT_EQ(readTextLines(path), lines + QStringList{QStringLiteral("x")});

    // Files written elsewhere: LF alone ends a line too, and a last line needs no line end.
    ASSERT_FALSE(saed::testdata::writeFileBytes(path, bytes({'a', '\n', 0x80, '\r', '\n', 'c'})).isEmpty());
    EXPECT_EQ(readTextLines(path), (QStringList{QStringLiteral("a"), QStringLiteral("€"), QStringLiteral("c")}));

    // A folder that cannot exist: nothing is written and the caller is told.
    const QString impossible = dir.filePath(QStringLiteral("a.txt/sub/b.txt"));
    EXPECT_FALSE(writeTextFileAtomic(impossible, {QStringLiteral("x")}));
    EXPECT_FALSE(appendTextLines(impossible, {QStringLiteral("x")}));
    EXPECT_FALSE(readTextLines(dir.path()).has_value());  // a folder cannot be read as a file
}
