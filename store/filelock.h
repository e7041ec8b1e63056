// SPDX-License-Identifier: BSD-3-Clause
// A lock that serialises the rewrites of one of the program's files among running instances.
#pragma once

#include <memory>

#include <QLockFile>
#include <QString>

namespace saed::store {

// How long a save waits for another instance's lock before it gives up.
constexpr int kLockWaitMs = 10000;

// Takes the lock of the file at `path` (the file "<path>.lock"), waiting up to `waitMs` for
// another instance to release it; none when it could not be taken. A lock left by a process that
// is gone, or an empty lock file (its owner killed before it wrote its name), is stale at once.
// `error`, when given, says why the lock was not taken.
std::unique_ptr<QLockFile> lockForRewrite(const QString& path, int waitMs = kLockWaitMs, QString* error = nullptr);

}  // namespace saed::store
