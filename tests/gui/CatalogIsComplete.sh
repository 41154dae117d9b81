#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The window's English catalog has every text of the sources, each translated: the catalog is
# brought up to date with the sources in a scratch copy (as the update_translations target
# does), and lrelease must find no text unfinished or untranslated.
# Usage: CatalogIsComplete.sh LUPDATE LRELEASE CATALOG SOURCE_FOLDER
set -euo pipefail
lupdate=$1 lrelease=$2 catalog=$3 sources=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$catalog" "$scratch/catalog.ts"
mapfile -t files < <(find "$sources" -name '*.cpp' -o -name '*.h')
"$lupdate" -silent -source-language ru -target-language en -no-obsolete -locations none \
  "${files[@]}" -ts "$scratch/catalog.ts"
report=$("$lrelease" "$scratch/catalog.ts" -qm "$scratch/catalog.qm")
echo "$report"
if ! grep -q ' 0 unfinished)' <<<"$report" || grep -q 'untranslated' <<<"$report"; then
  echo "the catalog $catalog lacks English for some text: run the update_translations target" \
    "and translate what it marks unfinished" >&2
  exit 1
fi
