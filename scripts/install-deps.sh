#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running saedindex need, when missing.
set -euo pipefail

packages=(g++ make cmake qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
          qt6-qpa-plugins libqt6widgets6 libgtest-dev libbenchmark-dev fonts-wqy-microhei
          gemmi-dev tao-pegtl-dev)
if [ "${1:-}" = "--window-tools" ]; then
    # For looking at the window without a desktop.
    packages+=(xvfb xauth)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
