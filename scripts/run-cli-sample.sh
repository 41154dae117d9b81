#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds varnow-cli and cleans the sample site that ships in samples/ with the sample settings
# (every procedure on, one banner pair). The cleaned copies and log.txt go below
# build/sample-output/, mirroring the sample site's full path.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset default >/dev/null
cmake --build --preset default --target varnow-cli

output="$PWD/build/sample-output"
rm -rf "$output"
build/bin/varnow-cli --settings samples/varnow.ini --output "$output" samples/site
echo
echo "Cleaned copies: $output$PWD/samples/site"
