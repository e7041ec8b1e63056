// SPDX-License-Identifier: BSD-3-Clause
// Reading an image for the command line: the program's own readers, then the formats Qt reads.
#pragma once

#include <QString>

#include "core/raster.h"

namespace saed::cli {

// The image at `path` as a raster; no raster, with the message of the file's reader, when
// neither the program's readers nor Qt can read it.
core::ReadResult readAnyImage(const QString& path);

}  // namespace saed::cli
