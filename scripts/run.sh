#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the desktop program (and varnow-cli beside it) and starts the program. Its settings
# file is build/bin/varnow.ini, beside the program; it is made the first time the settings
# dialog's OK is pressed or the program ends. The command-line demo on the sample site is
# scripts/run-cli-sample.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset default >/dev/null
cmake --build --preset default --target varnow varnow-cli

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display to show the window on: start this from a desktop session" >&2
  echo "(or on a virtual one: xvfb-run -a build/bin/varnow)." >&2
  exit 1
fi
exec build/bin/varnow
