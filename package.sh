#!/usr/bin/env bash
# Installs what is missing, builds saedindex in Release and makes a Debian package of it:
# build-release/saedindex_VERSION_ARCH.deb, to install with `sudo apt install ./build-release/saedindex_*.deb`.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSAED_BENCH=OFF
cmake --build build-release -j "$(nproc)" --target saedindex saedindex-cli saed_manpage
(cd build-release && cpack -G DEB)
ls -1 build-release/saedindex_*.deb
