#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Four shards of one tree cleaned at once through GNU parallel, into one output tree, each with
# a log of its own, give exactly one run's copies, byte for byte, and their logs' bodies
# together hold exactly one run's lines; so do chunks of a page list through parallel --pipe.
# Usage: ShardsWithParallel.sh VARNOW_CLI SAMPLES_DIR
# Exits with 77 (skipped) where GNU parallel is not installed.
set -euo pipefail
program=$1
samples=$2
command -v parallel >/dev/null || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

site=$work/site
for i in $(seq 1 30); do
  mkdir -p "$site/part$((i % 5))/p$i"
  cp -r "$samples/site/." "$site/part$((i % 5))/p$i/"
done
mkdir -p "$site/имена с пробелами"
cp "$samples/site/index.html" "$site/имена с пробелами/страница.htm"

"$program" --quiet --only all --jobs 2 --output "$work/one" "$site" 2>/dev/null ||
  fail "one run failed"

# The copies of a tree, and a log's body (its five header lines left out), sorted.
copies() { (cd "$1" && find . -type f ! -name 'log*.txt' ! -name '*manifest' | LC_ALL=C sort); }
bodies() { for log in "$@"; do tail -n +6 "$log"; done | tr -d '\r' | grep -v '^$' | LC_ALL=C sort; }
same_copies() {
  [[ "$(copies "$work/one")" == "$(copies "$1")" ]] || fail "$2: other files than one run's"
  while read -r file; do
    cmp -s "$work/one/$file" "$1/$file" || fail "$2: $file differs"
  done < <(copies "$work/one")
}
one_log=$work/one$site/log.txt

parallel --will-cite -j 4 "$program" --quiet --only all --jobs 1 --output "$work/sharded" \
  --shard {}/4 --log "$work/shard{}.txt" "$site" ::: 0 1 2 3 2>/dev/null ||
  fail "a shard failed"
same_copies "$work/sharded" "--shard"
[[ "$(bodies "$one_log")" == "$(bodies "$work"/shard?.txt)" ]] ||
  fail "the shards' logs do not hold one run's lines"
for k in 0 1 2 3; do
  [[ -f "$work/shard$k.txt.manifest" ]] || fail "shard $k has no manifest of its own"
done

(cd "$site" && find . -name '*.htm*' -print0) |
  parallel --will-cite --pipe --recend '\0' -N 20 -j 4 "$program" --quiet --only all --jobs 1 \
    --output "$work/piped" --files-from - -0 --log "$work/piece{#}.txt" "$site" 2>/dev/null ||
  fail "a piece of the list failed"
same_copies "$work/piped" "--files-from with parallel --pipe"
[[ "$(bodies "$one_log")" == "$(bodies "$work"/piece*.txt)" ]] ||
  fail "the pieces' logs do not hold one run's lines"
echo "4 shards and $(ls "$work"/piece*.txt | wc -l) pieces: the same copies and lines as one run"
