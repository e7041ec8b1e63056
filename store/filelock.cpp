// SPDX-License-Identifier: BSD-3-Clause
// The rewrite lock of the program's files.
#include "store/filelock.h"

#include <algorithm>  // for min, max

#include <QCoreApplication>  // for translate
#include <QDateTime>
#include <QDir>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

namespace saed::store {

namespace {

// An owner writes its process id within microseconds of creating its lock file: one that has been
// empty this long was left by a process killed in between.
constexpr qint64 kEmptyLockAgeMs = 100;

bool isEmptyAndOld(const QString& lockPath) {
    const QFileInfo info(lockPath);
    return info.exists() && info.size() == 0 &&
           info.lastModified().msecsTo(QDateTime::currentDateTime()) >= kEmptyLockAgeMs;
}

void removeEmptyLock(const QString& lockPath) {
    if (!isEmptyAndOld(lockPath)) return;
    // Two instances must not both remove it: the second could remove the lock the first has just
    // taken. The check is made again under a lock of its own.
    QLockFile removing(lockPath + QStringLiteral(".rmlock"));
    if (removing.tryLock(0) && isEmptyAndOld(lockPath)) QFile::remove(lockPath);
}

// Why a lock file cannot be made in its folder: the system's words for a trial write beside it.
QString whyNoLockFile(const QString& lockPath) {
    QFile trial(lockPath + QStringLiteral(".trial"));
    QString reason;
    if (!trial.open(QIODevice::WriteOnly) || trial.write("0", 1) != 1 || !trial.flush()) reason = trial.errorString();
    trial.close();
    trial.remove();
    return QCoreApplication::translate("saed::store::FileLock", "无法创建锁文件 %1：%2")
        .arg(QDir::toNativeSeparators(lockPath), reason.isEmpty() ? QStringLiteral("?") : reason);
}

}  // namespace

std::unique_ptr<QLockFile> lockForRewrite(const QString& path, int waitMs, QString* error) {
    const QString lockPath = path + QStringLiteral(".lock");
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Qt itself finds a lock stale whose process is gone; an empty one only after its stale time.
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (lock->tryLock(static_cast<int>(std::min<qint64>(kEmptyLockAgeMs, std::max<qint64>(0, deadline.remainingTime())))))
            return lock;
        if (lock->error() != QLockFile::LockFailedError) {
            if (error != nullptr) *error = whyNoLockFile(lockPath);
            return nullptr;
        }
        removeEmptyLock(lockPath);
        if (deadline.hasExpired()) {
            if (error != nullptr)
                *error = QCoreApplication::translate("saed::store::FileLock", "另一个运行中的程序一直在写入该文件（锁文件 %1）")
                             .arg(QDir::toNativeSeparators(lockPath));
            return nullptr;
        }
    }
}

}  // namespace saed::store
