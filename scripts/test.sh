#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs the whole test suite twice: a normal build, then one under
# AddressSanitizer and UndefinedBehaviorSanitizer; then the batch run's and the command line's
# tests under ThreadSanitizer (the parallel run); then builds the fuzz targets with clang and
# gives each a few seconds from its seed corpus. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
for preset in default asan tsan fuzz; do
  echo "== ${preset}: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== ${preset}: tests"
  ctest --preset "$preset"
done
echo "== all tests passed"
