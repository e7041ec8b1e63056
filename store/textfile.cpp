// SPDX-License-Identifier: BSD-3-Clause
// The program's text files: GB18030 with CR LF line ends.
#include "store/textfile.h"

#include <algorithm>  // for min
#include <cerrno>     // for ENOSPC
#include <cstring>    // for strerror

#include <QCoreApplication>  // for translate
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace saed::store {

QByteArray encodeLines(const QStringList& lines) {
    QStringEncoder encoder("GB18030");
    QByteArray bytes;
    for (const QString& line : lines) {
        // GB18030 writes the euro sign as A2 E3; the code page of the files' readers has 0x80.
        const QStringList parts = line.split(QChar(0x20AC));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) bytes += '\x80';
            bytes += encoder.encode(parts[i]);
        }
        bytes += "\r\n";
    }
    return bytes;
}

QString decodeText(const QByteArray& bytes) {
    // GB18030 has no single byte 0x80, while the Windows code page writes the euro sign so.
    // A byte 0x80 can also be the second byte of a pair, so the lead bytes are followed.
    QStringDecoder decoder("GB18030");
    QString text;
    qsizetype start = 0;
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
        } else if (b == 0x80) {
            text += decoder.decode(QByteArrayView(bytes).sliced(start, i - start));
            text += QChar(0x20AC);
            start = ++i;
        } else if (b == 0xFF) {
            ++i;
        } else if (i + 1 < n && bytes[i + 1] >= '0' && bytes[i + 1] <= '9') {
            i += 4;  // four-byte sequence of GB18030
        } else {
            i += 2;
        }
    }
    text += decoder.decode(QByteArrayView(bytes).sliced(start, std::min(i, n) - start));
    return text;
}

QString decodeLibraryText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = decodeText(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

std::optional<QList<QByteArray>> readRawLines(const QString& path, int maxLines) {
    QFile file(path);
    if (!file.exists()) return QList<QByteArray>();
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QList<QByteArray> lines;
    while ((maxLines < 0 || lines.size() < maxLines) && !file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n')) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        lines.push_back(line);
    }
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return lines;
}

std::optional<QStringList> readTextLines(const QString& path, int maxLines) {
    const auto raw = readRawLines(path, maxLines);
    if (!raw) return std::nullopt;
    QStringList lines;
    lines.reserve(raw->size());
    for (const QByteArray& line : *raw) lines.push_back(decodeText(line));
    return lines;
}

bool writeTextFileAtomic(const QString& path, const QStringList& lines) {
    return writeFileAtomic(path, encodeLines(lines));
}

bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    // commit() can report success after a buffered write failed (a full disk) and then rename an
    // empty file over the old one: every step is checked, and the buffer flushed, before it.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
                         file.error() == QFileDevice::NoError && file.size() == bytes.size();
    if (!written || !file.commit()) {
        const bool told = file.error() != QFileDevice::NoError && file.errorString() != QStringLiteral("Unknown error");
        QString reason = file.errorString();
        file.cancelWriting();
        if (!told) {
            // A write cut short by a full disk is not always told by the file: the disk says it.
            const QStorageInfo disk(QFileInfo(path).absolutePath());
            reason = disk.isValid() && disk.bytesAvailable() < bytes.size() + 4096
                         ? QString::fromLocal8Bit(std::strerror(ENOSPC))
                         : QCoreApplication::translate("saed::store::TextFile", "只写入了 %1 字节中的一部分")
                               .arg(bytes.size());
        }
        if (error != nullptr) *error = reason;
        return false;
    }
    return true;
}

bool appendTextLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const QByteArray bytes = encodeLines(lines);
    return file.write(bytes) == bytes.size() && file.flush();
}

QStringList fromStd(const std::vector<std::string>& lines) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) out.push_back(QString::fromStdString(line));
    return out;
}

std::vector<std::string> toStd(const QStringList& lines) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines) out.push_back(line.toStdString());
    return out;
}

}  // namespace saed::store
