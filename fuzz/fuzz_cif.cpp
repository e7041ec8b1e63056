// SPDX-License-Identifier: BSD-3-Clause
// Fuzz target for the CIF reader and the phase file reader: whatever the bytes, reading ends
// with phases or a message, and what was read survives writing and reading again.
// Built with -DSAED_FUZZ=ON under clang it is a libFuzzer target; otherwise (SAED_FUZZ_REPLAY)
// a driver that replays every file of the folders or files given on the command line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "library/cifimport.h"
#include "library/phasefile.h"
#include "library/spacegroup.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void exercise(const saed::library::CrystalPhase& phase) {
    const saed::library::SpaceGroupRule rule(phase);
    for (int h = -2; h <= 2; ++h)
        for (int l = -2; l <= 2; ++l) (void)rule.admits({h, 1, l});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace saed::library;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const CifImport cif = readCifText(text, "fuzz.cif");
    check(cif.ok() != cif.phases.empty());
    for (const CrystalPhase& p : cif.phases) exercise(p);
    if (cif.ok()) {
        const CifImport again = readCifText(writeCif(cif.phases), "again.cif");
        check(again.ok() && again.phases.size() == cif.phases.size());
    }

    const PhaseFileRead file = readPhaseFile(text, "fuzz.phases");
    check(file.ok() || file.phases.empty());
    for (const CrystalPhase& p : file.phases) exercise(p);
    if (file.ok()) {
        const PhaseFileRead again = readPhaseFile(writePhaseFile(file.phases), "again.phases");
        check(again.ok() && again.phases.size() == file.phases.size());
    }
    return 0;
}

#ifdef SAED_FUZZ_REPLAY
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        std::cerr << "no corpus files given\n";
        return 2;
    }
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << "replayed " << files.size() << " inputs\n";
    return 0;
}
#endif
