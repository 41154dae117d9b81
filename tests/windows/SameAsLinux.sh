#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# varnow-cli.exe under Wine cleans a tree as the Linux build does: every copy byte for byte,
# and log.txt's lines page by page, which differ only in the path form (Z:\..., "\") and the
# header's date and time. The tree has Cyrillic names, nested folders, the sample site and
# pages made to give every procedure work.
#
#   SameAsLinux.sh LINUX_CLI WINDOWS_EXE SAMPLES
# Exits 77 (skipped) where the Windows build or Wine is not there.
set -euo pipefail
linux_cli=$1 windows_exe=$2 samples=$3
if [[ ! -x "$windows_exe" ]] || ! command -v wine >/dev/null; then
  echo "no Windows build at $windows_exe, or no wine: skipped"
  exit 77
fi
prefix="$(dirname "$(dirname "$windows_exe")")/wine-prefix"
work=$(mktemp -d)
# The Wine server would outlive the test, holding its output open: it is ended with it.
trap '"$(dirname "$0")/StopWine.sh" "$prefix"; rm -rf "$work"' EXIT

site="$work/site"
mkdir -p "$site/новости/2024" "$site/Раздел с пробелом" "$site/deep/a/b/c"
cp -r "$samples/site/." "$site/"
printf '<html><head><script>var a = 1;</script><style>p{}</style></head>\r\n<body bgcolor=white>' >"$site/новости/2024/Статья.htm"
printf '<table border=1 width=100%%><tr><td><span class=x>текст</span></td></tr></table>' >>"$site/новости/2024/Статья.htm"
printf '<p class=MsoNormal style="x">Word</p><o:p></o:p><font size=2>f</font>' >"$site/Раздел с пробелом/Страница.HTML"
printf '<a href=x target=_blank onmouseover="go()">link</a><iframe src=a></iframe>' >"$site/deep/a/b/c/page.htm"
printf '<noscript>n</noscript>\n\xcf\xf0\xe8\xe2\xe5\xf2 in cp1251\n' >"$site/deep/cp1251.htm"
printf 'not a page' >"$site/deep/readme.txt"

"$linux_cli" -q --only all --output "$work/linux" "$site"
# The same tree as Windows names it: Wine's drive Z: is the root.
windows_site="Z:${site//\//\\}"
windows_out="Z:${work//\//\\}\\windows"
WINEPREFIX="$prefix" WINEDEBUG=-all wine "$windows_exe" -q --only all --output "$windows_out" \
  "$windows_site"

linux_tree="$work/linux$site"
windows_tree="$work/windows$site"
status=0
(cd "$linux_tree" && find . -type f ! -name log.txt ! -name .varnow-manifest | LC_ALL=C sort) >"$work/linux.list"
(cd "$windows_tree" && find . -type f ! -name log.txt ! -name .varnow-manifest | LC_ALL=C sort) >"$work/windows.list"
if ! diff "$work/linux.list" "$work/windows.list"; then
  echo "the two builds wrote different files" >&2
  status=1
fi
while IFS= read -r file; do
  if ! cmp -s "$linux_tree/$file" "$windows_tree/$file"; then
    echo "the copies of $file differ" >&2
    status=1
  fi
done <"$work/linux.list"

# log.txt: the header's first line and counts, and the body's lines in the Linux path form.
body() { tail -n +5 "$1"; }
windows_prefix="${windows_site//\\/\\\\}\\\\"
body "$linux_tree/log.txt" | sed "s|^$site/||" | LC_ALL=C sort >"$work/linux.log"
body "$windows_tree/log.txt" | sed "s|^$windows_prefix||; s|\\\\|/|g" | LC_ALL=C sort >"$work/windows.log"
if ! diff "$work/linux.log" "$work/windows.log"; then
  echo "log.txt's lines differ beyond the path form" >&2
  status=1
fi
for line in 1 3 4; do
  if [[ "$(sed -n "${line}p" "$linux_tree/log.txt")" != "$(sed -n "${line}p" "$windows_tree/log.txt")" ]]; then
    echo "log.txt's header line $line differs" >&2
    status=1
  fi
done
if [[ $(wc -l <"$work/linux.log") -lt 10 ]]; then
  echo "the tree gave too few changes to compare" >&2
  status=1
fi
[[ $status -eq 0 ]] && echo "$(wc -l <"$work/linux.list") copies and $(wc -l <"$work/linux.log") log lines the same"
exit $status
