// SPDX-License-Identifier: BSD-3-Clause
#include "library/builtinphases.h"

#include <cassert>

#include "library/phasefile.h"

namespace saed::library {

const std::vector<CrystalPhase>& builtInPhases() {
    static const std::vector<CrystalPhase> phases = [] {
        PhaseFileRead read = readPhaseFile(kBuiltInPhasesText, "phases.txt");
        assert(read.ok());  // the tests read every entry
        return std::move(read.phases);
    }();
    return phases;
}

}  // namespace saed::library
