// SPDX-License-Identifier: BSD-3-Clause
#include "library/crystallibrary.h"

#include <algorithm>  // for find

#include <QCoreApplication>  // for translate
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "library/cifimport.h"
#include "library/phasefile.h"
#include "store/textfile.h"

namespace saed::library {

namespace {

// A CIF of the largest cell this program computes with is a few megabytes; a larger file is
// refused before it is read.
constexpr qint64 kMaxCifBytes = qint64{64} << 20;

void readOneCif(const QString& path, CifPathsRead& out) {
    if (const qint64 size = QFileInfo(path).size(); size > kMaxCifBytes) {
        out.errors.push_back(QCoreApplication::translate("saed::library::CrystalLibrary", "%1：文件有 %2 字节，超过 CIF 文件的上限 %3 字节")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(size)
                                 .arg(kMaxCifBytes));
        return;
    }
    const CifImport read = readCifFile(QFile::encodeName(path).toStdString());
    if (!read.ok()) {
        out.errors.push_back(QString::fromStdString(read.error));
        return;
    }
    for (const std::string& w : read.warnings) out.warnings.push_back(QString::fromStdString(w));
    out.phases.insert(out.phases.end(), read.phases.begin(), read.phases.end());
}

}  // namespace

CifPathsRead readCifPaths(const QStringList& paths) {
    CifPathsRead out;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            readOneCif(path, out);
            continue;
        }
        const QStringList names =
            QDir(path).entryList({QStringLiteral("*.cif"), QStringLiteral("*.CIF"), QStringLiteral("*.Cif")},
                                 QDir::Files | QDir::Readable, QDir::Name);
        if (names.isEmpty())
            out.errors.push_back(QDir::toNativeSeparators(path) +
                                 QCoreApplication::translate("saed::library::CrystalLibrary",
                                                             ": 文件夹中没有CIF文件"));
        for (const QString& name : names) readOneCif(QDir(path).filePath(name), out);
    }
    return out;
}

QString importedPhasesPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/ImportedPhases.txt");
}

ImportedPhasesRead readImportedPhases(const QString& path) {
    ImportedPhasesRead out;
    QFile file(path);
    if (!file.exists()) return out;
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
        return out;
    }
    const QByteArray bytes = file.readAll();
    const PhaseFileRead read = readPhaseFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                             QDir::toNativeSeparators(path).toStdString());
    if (!read.ok()) {
        out.error = QString::fromStdString(read.error);
        return out;
    }
    out.phases = read.phases;
    return out;
}

bool writeImportedPhases(const QString& path, const std::vector<CrystalPhase>& phases, QString* error) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    const std::string text = writePhaseFile(phases);
    return store::writeFileAtomic(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())), error);
}

std::size_t mergePhases(std::vector<CrystalPhase>& phases, const std::vector<CrystalPhase>& added) {
    std::size_t count = 0;
    for (const CrystalPhase& phase : added) {
        if (std::find(phases.begin(), phases.end(), phase) != phases.end()) continue;
        phases.push_back(phase);
        ++count;
    }
    return count;
}

}  // namespace saed::library
