#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Installs the Debian packages that building, testing and running saedindex need, when missing.
set -euo pipefail

packages=(g++ make cmake qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools qt6-image-formats-plugins
          qt6-qpa-plugins qt6-translations-l10n libqt6widgets6 libgtest-dev libbenchmark-dev libtiff-dev fonts-wqy-microhei
          locales desktop-file-utils appstream man-db dpkg-dev
          gemmi-dev tao-pegtl-dev)
if [ "${1:-}" = "--window-tools" ]; then
    # For looking at the window without a desktop.
    packages+=(xvfb xauth)
fi
if [ "${1:-}" = "--fuzz" ]; then
    # For the libFuzzer targets of fuzz/ (a clang build folder of its own).
    packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

# The tests read and write numbers under a decimal-comma locale as well; without it they say
# they were skipped.
make_test_locale() {
    locale -a 2>/dev/null | grep -qix 'de_DE.utf8' && return 0
    command -v localedef >/dev/null || return 0
    [ -z "$sudo" ] || command -v sudo >/dev/null || return 0
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 ||
        echo "Could not make the locale de_DE.UTF-8; its tests will be skipped." >&2
}

if [ ${#missing[@]} -eq 0 ]; then
    make_test_locale
    exit 0
fi
if [ -n "$sudo" ] && ! command -v sudo >/dev/null; then
    echo "Please install as root: ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
make_test_locale
