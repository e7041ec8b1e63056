// SPDX-License-Identifier: BSD-3-Clause
// Whole files read and written in one call, for the tests that prepare files or compare their bytes.
#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

namespace saed::testdata {

// The bytes of the file at `path`; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `bytes` as the whole file at `path`, and gives the path back; empty when it could not.
inline QString writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

}  // namespace saed::testdata
