#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Installs what is missing, builds saedindex in Release and makes a Debian package of it:
# build-release/saedindex_VERSION_ARCH.deb, to install with `sudo apt install ./build-release/saedindex_*.deb`.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

# Debian's hardening (fortified sources, stack protector, full RELRO with immediate binding, PIE).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"

# Only what the package holds is built: installing does not build the tests and tools first.
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSAED_BENCH=OFF \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
      -DCMAKE_CXX_FLAGS="$cflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build build-release -j "$(nproc)" --target saedindex saedindex-cli saed_manpage saed_changelog
(cd build-release && cpack -G DEB)
ls -1 build-release/saedindex_*.deb
