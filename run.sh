#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Installs what is missing, builds saedindex in Release and starts it (with the sample pattern
# when no image is given).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSAED_BENCH=OFF
cmake --build build-release -j "$(nproc)" --target saedindex saedindex-cli

image="${1:-}"
if [ -z "$image" ] && [ -f samples/al-011.png ]; then image=samples/al-011.png; fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found. On a machine without a desktop, start it under a virtual display:"
    echo "  sudo apt-get install xvfb && xvfb-run -a ./build-release/app/saedindex ${image}"
    exit 2
fi
exec ./build-release/app/saedindex ${image:+"$image"}
