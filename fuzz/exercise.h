// SPDX-License-Identifier: BSD-3-Clause
// What every fuzz target does with a reader's answer: touch every pixel and make the display,
// so that a raster whose size and bytes disagree is found.
#pragma once

#include <cstdlib>   // for abort

#include "core/imagedisplay.h"
#include "core/raster.h"

namespace saed::fuzz {

inline void exercise(const core::ReadResult& result) {
    if (!result.raster) {
        if (result.error.empty()) std::abort();   // a failure must say why
        return;
    }
    const core::Raster& r = *result.raster;
    const std::size_t expected = static_cast<std::size_t>(r.width()) * r.height() * core::bytesPerPixel(r.pixelType());
    if (r.empty() || r.bytes().size() != expected) std::abort();
    const auto display = core::makeDisplay(r, core::defaultDisplaySettings(r));
    if (display.size() != static_cast<std::size_t>(r.width()) * r.height()) std::abort();
}

}  // namespace saed::fuzz
