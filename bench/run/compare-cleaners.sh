#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The same tree cleaned by other tools, for comparison with bench_run's figures:
#   bench/run/compare-cleaners.sh SITE
# HTML Tidy (one process per page, as a script over a tree runs it) and lxml's Cleaner (one
# Python process for the whole tree), each writing a cleaned copy of every page into a scratch
# folder. Needs the Debian packages tidy and python3-lxml; prints each tool's wall time.
set -euo pipefail
site=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if command -v tidy >/dev/null; then
  start=$(date +%s.%N)
  (cd "$site" && find . -type f \( -iname '*.htm' -o -iname '*.html' \) -print0 |
    while IFS= read -r -d '' page; do
      mkdir -p "$scratch/tidy/$(dirname "$page")"
      tidy -q -asxhtml --show-warnings no --force-output yes -o "$scratch/tidy/$page" "$page" \
        2>/dev/null || true
    done)
  echo "tidy:  $(echo "$(date +%s.%N) - $start" | bc) s"
fi

if /usr/bin/python3 -c 'import lxml.html.clean' 2>/dev/null; then
  start=$(date +%s.%N)
  /usr/bin/python3 - "$site" "$scratch/lxml" <<'PY'
import os, sys
from lxml.html.clean import Cleaner
import lxml.html
site, out = sys.argv[1], sys.argv[2]
cleaner = Cleaner(scripts=True, javascript=True, style=True, embedded=True, frames=True)
for folder, _, names in os.walk(site):
    for name in names:
        if not name.lower().endswith(('.htm', '.html')):
            continue
        path = os.path.join(folder, name)
        target = os.path.join(out, os.path.relpath(path, site))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(path, 'rb') as f:
            data = f.read()
        try:
            cleaned = lxml.html.tostring(cleaner.clean_html(lxml.html.fromstring(data)))
        except Exception:
            cleaned = data
        with open(target, 'wb') as f:
            f.write(cleaned)
PY
  echo "lxml:  $(echo "$(date +%s.%N) - $start" | bc) s"
fi
