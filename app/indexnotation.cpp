// SPDX-License-Identifier: BSD-3-Clause
#include "app/indexnotation.h"

#include <QSettings>

#include "app/settingsfile.h"

#include "core/millerbravais.h"

namespace saed::app {

namespace {

const QString kFourIndexKey = QStringLiteral("display/fourIndex");

}  // namespace

QString planeIndices(const core::Hkl& plane, bool four) {
    return QString::fromStdString(four ? core::indexText(core::toFourIndex(plane)) : core::indexText(plane));
}

QString zoneIndices(const core::Uvw& zone, bool four) {
    return QString::fromStdString(four ? core::indexText(core::toFourIndex(zone)) : core::indexText(zone));
}

QString planeText(const core::Hkl& plane, bool four, QChar open, QChar close) {
    return open + planeIndices(plane, four) + close;
}

QString zoneText(const core::Uvw& zone, bool four, QChar open, QChar close) {
    return open + zoneIndices(zone, four) + close;
}

bool savedFourIndex(const QString& path) {
    const QSettings settings(path, QSettings::IniFormat);
    return settings.value(kFourIndexKey, false).toBool();
}

bool saveFourIndex(bool on, const QString& path) {
    return writeSettings(path, {{kFourIndexKey, on}});
}

}  // namespace saed::app
