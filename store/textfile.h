// SPDX-License-Identifier: BSD-3-Clause
// The program's text files: GB18030 (a superset of GBK) with CR LF after every line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace saed::store {

// The bytes of `lines` in GB18030, each line followed by CR LF; "€" is the single byte 0x80, as
// the Chinese code page of Windows writes it.
QByteArray encodeLines(const QStringList& lines);

// Text of GBK or GB18030 bytes; a byte 0x80 standing alone reads as the euro sign, as the
// Chinese code page of Windows writes it.
QString decodeText(const QByteArray& bytes);

// Text of a library file: UTF-8 when the bytes are valid UTF-8, otherwise GBK or GB18030 as
// decodeText reads them; a byte order mark at the start is dropped.
QString decodeLibraryText(const QByteArray& bytes);

// The bytes of each line of a file, each ending at LF (a CR before it dropped); at most
// `maxLines` lines when maxLines >= 0. None when the file exists but cannot be read; an absent
// file gives no lines.
std::optional<QList<QByteArray>> readRawLines(const QString& path, int maxLines = -1);

// Lines of a text file, each ending at LF (a CR before it dropped); at most `maxLines` lines
// when maxLines >= 0, the rest of the file unread. None when the file exists but cannot be read;
// an absent file gives no lines.
std::optional<QStringList> readTextLines(const QString& path, int maxLines = -1);

// Replaces the file at `path` with `lines`, atomically: a failure leaves the old file whole.
bool writeTextFileAtomic(const QString& path, const QStringList& lines);
// The same for raw bytes; `error`, when given, says why a write failed.
bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Appends `lines` to the file at `path`, creating it when absent.
bool appendTextLines(const QString& path, const QStringList& lines);

// Conversions between QString and the UTF-8 std::string of the Qt-free code.
inline std::string toStd(const QString& text) { return text.toStdString(); }
inline QString fromStd(const std::string& text) { return QString::fromStdString(text); }
QStringList fromStd(const std::vector<std::string>& lines);
std::vector<std::string> toStd(const QStringList& lines);

}  // namespace saed::store
