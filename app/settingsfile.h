// SPDX-License-Identifier: BSD-3-Clause
// Writes of the window's settings file (language, four indices, recent images, the reports and
// export folders) that never leave it cut short: a full disk keeps the file as it was.
#pragma once

#include <QString>
#include <QVariantMap>

namespace saed::app {

// Sets `changes` (key -> value) in the settings file at `path`, keeping every other key, under the
// file's lock as every running window takes it. The new file is written beside the old one and
// read back before it replaces it, since the settings writer may report a write cut short by a
// full disk as done; false, with the old file left whole, when it cannot be written or reads
// back otherwise.
bool writeSettings(const QString& path, const QVariantMap& changes);

// The status-bar message for a settings write that failed, the first time since the last one
// that worked, and empty after that: a full disk is told once, not at every image opened.
QString settingsFailureNotice(const QString& path);

}  // namespace saed::app
