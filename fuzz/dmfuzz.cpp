// SPDX-License-Identifier: BSD-3-Clause
// Fuzz target: any bytes given to the dm reader end in an image or a message, never a fault.
#include <cstddef>
#include <cstdint>

#include "fuzz/exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    saed::fuzz::exercise(saed::core::readDm(data, size));
    return 0;
}
