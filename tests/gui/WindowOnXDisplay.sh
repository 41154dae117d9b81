#!/usr/bin/env bash
# Starts the real program on a real X display (a private Xvfb) and checks that its main
# window appears with its caption. The program is copied into a temporary folder first, so
# that the settings file it keeps beside itself is made there.
# Usage: WindowOnXDisplay.sh PROGRAM
set -euo pipefail

program=$1
caption='Varnow [0.9.9]'
# The main window itself, not the helper windows that carry the application's name: its
# line in the tree names the program's window class.
pattern="\"$caption\": (\"varnow\" "
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/varnow"

export VARNOW_WORK=$work VARNOW_PATTERN=$pattern
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# -a picks a free display number; the server lives only as long as the inner script.
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
  set -u
  "$VARNOW_WORK/varnow" >"$VARNOW_WORK/out.txt" 2>&1 &
  pid=$!
  found=0
  for _ in $(seq 1 150); do
    if xwininfo -root -tree 2>/dev/null | grep -F -q "$VARNOW_PATTERN"; then
      found=1
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if ((found)); then
    xwininfo -root -tree | grep -F "$VARNOW_PATTERN" | head -n 1
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if ((!found)); then
    echo "no main window appeared; the program said:"
    cat "$VARNOW_WORK/out.txt"
    exit 1
  fi
'
echo "window \"$caption\" shown"
