// SPDX-License-Identifier: BSD-3-Clause
// Plane and direction indices as the window shows them: three, or for a hexagonal cell with
// the four-index setting on, the Miller-Bravais four; and the setting kept for the next start.
#pragma once

#include <QString>

#include "core/lattice.h"

namespace saed::app {

// "h k l" or "h k i l".
QString planeIndices(const core::Hkl& plane, bool four);
// "u v w" or "U V T W" (smallest whole numbers).
QString zoneIndices(const core::Uvw& zone, bool four);
// The same between brackets: "(1 0 -1 0)", "[2 -1 -1 0]", "{1 0 -1 0}", "<2 -1 -1 0>".
QString planeText(const core::Hkl& plane, bool four, QChar open = u'(', QChar close = u')');
QString zoneText(const core::Uvw& zone, bool four, QChar open = u'[', QChar close = u']');
// A calculator label of whole indices, the plane "（h k l）" or the zone "Z=[u v w]", in the
// notation shown: "（h k i l）" and "Z=[U V T W]" when `four`; any other text as it is.
QString labelInNotation(const QString& label, bool four);

// The four-index setting kept in `path` (the window's settings file); off when none is kept.
bool savedFourIndex(const QString& path);
// Keeps the setting in `path`; false when the file cannot be written.
bool saveFourIndex(bool on, const QString& path);

}  // namespace saed::app
