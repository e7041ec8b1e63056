// SPDX-License-Identifier: BSD-3-Clause
#include "app/indexnotation.h"

#include <QRegularExpression>
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

QString labelInNotation(const QString& label, bool four) {
    if (!four) return label;
    static const QRegularExpression plane(QStringLiteral("^（([-+]?\\d{1,9}) ([-+]?\\d{1,9}) ([-+]?\\d{1,9})）$"));
    static const QRegularExpression zone(QStringLiteral("^Z=\\[([-+]?\\d{1,9}) ([-+]?\\d{1,9}) ([-+]?\\d{1,9})\\]$"));
    if (const QRegularExpressionMatch m = plane.match(label); m.hasMatch())
        return planeText({m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()}, true,
                         u'（', u'）');
    if (const QRegularExpressionMatch m = zone.match(label); m.hasMatch()) {
        const core::Uvw axis{m.captured(1).toLongLong(), m.captured(2).toLongLong(), m.captured(3).toLongLong()};
        if (!(axis == core::Uvw{0, 0, 0})) return QStringLiteral("Z=") + zoneText(axis, true);
    }
    return label;
}

bool savedFourIndex(const QString& path) {
    const QSettings settings(path, QSettings::IniFormat);
    return settings.value(kFourIndexKey, false).toBool();
}

bool saveFourIndex(bool on, const QString& path) {
    return writeSettings(path, {{kFourIndexKey, on}});
}

}  // namespace saed::app
