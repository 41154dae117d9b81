#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs every Debian package that building, testing and running Varnow needs; CMake names
# the package of each library it misses (cmake/Dependencies.cmake).
# Safe to run again: when everything is present it only asks dpkg and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev libvulkan-dev
  xvfb xauth x11-utils fonts-dejavu-core adwaita-icon-theme libqt6svg6 qt6-translations-l10n
  clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev man-db lintian
  clang-format xdotool openbox xclip qt6-l10n-tools qt6-tools-dev
  libdtl-dev nlohmann-json3-dev jq
  g++-mingw-w64-x86-64-posix wine wine64
  parallel bash-completion libsimde-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
