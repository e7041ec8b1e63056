// SPDX-License-Identifier: BSD-3-Clause
#include "app/settingsfile.h"

#include <atomic>
#include <cstdio>  // for rename, which replaces the target in one step
#include <memory>

#include <QCoreApplication>  // for translate, applicationPid
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include "store/filelock.h"

namespace saed::app {

namespace {

// Whether the last write failed and has been told; a write that works makes the next failure
// news again.
std::atomic<bool> g_failureTold{false};

// A value as the settings file gives it back: a one-entry list reads back as its entry, a
// bool as "true" or "false".
QString readBack(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList)
        return value.toStringList().join(QChar(0x1F));
    return value.toString();
}

bool write(const QString& path, const QVariantMap& changes) {
    // Another running window's change made meanwhile is read under the lock and kept. The wait
    // is short: the window's thread waits.
    const std::unique_ptr<QLockFile> lock = store::lockForRewrite(path, 2000);
    if (!lock) return false;
    QVariantMap wanted;
    {
        const QSettings old(path, QSettings::IniFormat);
        if (old.status() != QSettings::NoError) return false;
        for (const QString& key : old.allKeys()) wanted.insert(key, old.value(key));
    }
    for (auto it = changes.begin(); it != changes.end(); ++it) wanted.insert(it.key(), it.value());

    // The draft is read back under a name never used before in this process: the settings
    // reader keeps what it wrote to a name and would give that back, not what the disk holds.
    static std::atomic<int> serial{0};
    const QString stem = path + QStringLiteral(".%1-%2").arg(QCoreApplication::applicationPid()).arg(++serial);
    const QString draft = stem + QStringLiteral(".new");
    const QString checked = stem + QStringLiteral(".checked");
    bool written = false;
    {
        QSettings out(draft, QSettings::IniFormat);
        for (auto it = wanted.begin(); it != wanted.end(); ++it) out.setValue(it.key(), it.value());
        out.sync();
        written = out.status() == QSettings::NoError;
    }
    written = written && QFile::rename(draft, checked);
    if (written) {
        const QSettings check(checked, QSettings::IniFormat);
        written = check.status() == QSettings::NoError && check.allKeys().size() == wanted.size();
        for (auto it = wanted.begin(); written && it != wanted.end(); ++it)
            written = readBack(check.value(it.key())) == readBack(it.value());
    }
    // The checked file takes the old one's place in one step, which needs no more room.
    written = written && std::rename(QFile::encodeName(checked).constData(), QFile::encodeName(path).constData()) == 0;
    QFile::remove(draft);
    QFile::remove(checked);
    return written;
}

}  // namespace

bool writeSettings(const QString& path, const QVariantMap& changes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool ok = write(path, changes);
    if (ok) g_failureTold = false;
    return ok;
}

QString settingsFailureNotice(const QString& path) {
    if (g_failureTold.exchange(true)) return {};
    return QCoreApplication::translate("saed::app::Settings",
                                       "无法保存设置（最近打开的图像、文件夹、界面选项），磁盘可能已满：%1")
        .arg(QDir::toNativeSeparators(path));
}

}  // namespace saed::app
