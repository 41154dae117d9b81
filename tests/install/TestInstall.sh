#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix and checks that every file is there and valid;
# then builds the Debian package, unpacks it into a temporary root and runs the programs it
# holds. Usage: TestInstall.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/varnow bin/varnow-cli share/applications/org.example.varnow.desktop \
    share/icons/hicolor/scalable/apps/varnow.svg share/metainfo/org.example.varnow.metainfo.xml \
    share/man/man1/varnow-cli.1.gz share/man/man1/varnow.1.gz share/man/ru/man1/varnow-cli.1.gz \
    share/man/ru/man1/varnow.1.gz share/doc/varnow/copyright \
    share/doc/varnow/changelog.Debian.gz share/bash-completion/completions/varnow-cli; do
  [[ -f "$prefix/$file" ]] || fail "not installed: $file"
done
desktop-file-validate "$prefix/share/applications/org.example.varnow.desktop" ||
  fail "the menu entry is not valid"
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.varnow.metainfo.xml" ||
  fail "the AppStream metadata is not valid"
# Each page in English and in Russian, each in its own language.
for page in man1/varnow-cli man1/varnow ru/man1/varnow-cli ru/man1/varnow; do
  warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$prefix/share/man/$page.1.gz" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "the man page $page: $warnings"
  heading=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$prefix/share/man/$page.1.gz" 2>/dev/null |
    sed -n 3p)
  case $page in
    ru/*) [[ $heading == "ИМЯ" ]] || fail "the Russian page $page begins: $heading" ;;
    *) [[ $heading == "NAME" ]] || fail "the English page $page begins: $heading" ;;
  esac
done

# Installed, the programs keep their settings in the user's folder, never beside themselves.
home=$work/home
mkdir -p "$home"
help=$(env -u XDG_CONFIG_HOME HOME="$home" "$prefix/bin/varnow-cli" --help)
grep -qF "here: $home/.config/varnow/varnow.ini" <<<"$help" || fail "--help names: $help"
help=$(HOME="$home" XDG_CONFIG_HOME="$work/config" "$prefix/bin/varnow-cli" --help)
grep -qF "here: $work/config/varnow/varnow.ini" <<<"$help" || fail "--help names: $help"
mkdir -p "$work/site" "$home/.config/varnow"
printf '<script>x</script>a' >"$work/site/a.htm"
printf '[Main]\r\nStorePatch=%s\r\nRmScript=-1\r\nRmNoscript=0\r\nRmIframe=0\r\nRmonMouseOver=0\r\nRmSpan=0\r\nRmStyle=0\r\nRmMSWord=0\r\nRmTable=0\r\nRmBody=0\r\nRmBanner=0\r\nRmFont=0\r\nRmBlank=0\r\n' \
  "$work/out" >"$home/.config/varnow/varnow.ini"
env -u XDG_CONFIG_HOME HOME="$home" "$prefix/bin/varnow-cli" --quiet "$work/site" 2>/dev/null ||
  fail "the installed varnow-cli did not run with the user's settings"
[[ "$(cat "$work/out$work/site/a.htm")" == "a" ]] || fail "the user's settings were not used"
[[ "$(ls "$prefix/bin")" == $'varnow\nvarnow-cli' ]] || fail "something was written beside the programs"
# The window's --help and --version need no display.
[[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/varnow" --version)" == "Varnow 0.9.9" ]] ||
  fail "varnow --version did not print its version"
grep -q "Usage: varnow" <<<"$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/varnow" --help)" ||
  fail "varnow --help did not print its usage"

# The Debian package.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null) ||
  fail "cpack -G DEB failed"
deb=$(ls "$work"/package/varnow_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
grep -q "libqt6widgets6" <<<"$depends" || fail "Depends lacks Qt: $depends"
dpkg-deb -x "$deb" "$work/root"
for file in usr/bin/varnow usr/bin/varnow-cli usr/share/applications/org.example.varnow.desktop \
    usr/share/metainfo/org.example.varnow.metainfo.xml usr/share/man/man1/varnow-cli.1.gz \
    usr/share/man/ru/man1/varnow-cli.1.gz usr/share/bash-completion/completions/varnow-cli; do
  [[ -f "$work/root/$file" ]] || fail "not in the package: $file"
done
version=$("$work/root/usr/bin/varnow-cli" --version)
[[ "$version" == "Varnow 0.9.9" ]] || fail "the packaged varnow-cli said: $version"
[[ "$(dpkg-deb -f "$deb" Version)" == "0.9.9-1" ]] || fail "the package's version: $(dpkg-deb -f "$deb" Version)"

# Debian's own checker: no error and no warning (informational tags may stay). It leaves its
# caches in TMPDIR, so they go with the work folder.
if command -v lintian >/dev/null; then
  report=$(TMPDIR=$work lintian "$deb" 2>&1 | grep -v "running with root privileges" || true)
  [[ -z "$report" ]] || fail "lintian: $report"
else
  echo "lintian is not installed (scripts/install-deps.sh installs it): the package was not checked"
  exit 77
fi
echo "installed and packaged: $(basename "$deb"), Depends: $depends"
