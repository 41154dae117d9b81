#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Ends the Wine server of a prefix and removes the folder it kept its socket in. Wine keeps
# that folder at TMPDIR/wine-XXXXXX/server-DEV-INODE, the last part named after the prefix's
# device and inode, and never removes it, so every test run would leave one behind in /tmp.
#
#   StopWine.sh PREFIX [WINESERVER]
set -uo pipefail
prefix=$1
wineserver=${2:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
WINEPREFIX="$prefix" "$wineserver" -k 2>/dev/null
[[ -d "$prefix" ]] || exit 0
server="server-$(stat -c %D "$prefix")-$(printf '%x' "$(stat -c %i "$prefix")")"
for dir in "${TMPDIR:-/tmp}"/wine-*/"$server"; do
  [[ -d "$dir" ]] || continue
  rm -rf "$dir"
  rmdir "$(dirname "$dir")" 2>/dev/null
done
exit 0
