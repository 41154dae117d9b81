#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The full check CI runs: the sources' format and licence lines; then the Windows build
# (mingw-w64) and its tests under Wine; then the whole test suite twice, a normal build (whose
# tests hold the Windows command line to the Linux one) and one under AddressSanitizer and
# UndefinedBehaviorSanitizer; then the
# batch run's and the command line's tests under ThreadSanitizer (the parallel run); then the
# fuzz targets, built with clang, a few seconds each from their seed corpus. Every build treats
# warnings as errors. Exits non-zero on any failure.
#
#   scripts/test.sh --quick   the everyday loop: the normal build and its tests only
set -euo pipefail
cd "$(dirname "$0")/.."

# windows first: the default preset's tests compare its command line with the Linux one.
presets=(windows default asan tsan fuzz)
if [[ "${1:-}" == "--quick" ]]; then
  presets=(default)
elif [[ $# -gt 0 ]]; then
  echo "usage: scripts/test.sh [--quick]" >&2
  exit 2
fi

scripts/install-deps.sh

if [[ ${#presets[@]} -gt 1 ]]; then
  echo "== format and licence lines"
  mapfile -t sources < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
    'bench/*.cpp' 'bench/*.h')
  clang-format --dry-run --Werror "${sources[@]}"
  for file in "${sources[@]}"; do
    head -n 1 "$file" | grep -qx '// SPDX-License-Identifier: MIT' ||
      { echo "$file: the first line is not the SPDX licence line" >&2; exit 1; }
  done
fi

jobs=$(nproc)
for preset in "${presets[@]}"; do
  echo "== ${preset}: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== ${preset}: tests"
  ctest --preset "$preset"
done
echo "== all tests passed"
