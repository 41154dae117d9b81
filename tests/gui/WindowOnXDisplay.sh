#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the real program on a real X display (a private Xvfb of 1280x800, with openbox as its
# window manager, so that focus, frames and placement are those a user has) and checks that
# its main window appears with its caption; then runs the checks that need a real display
# (window titles as the window system holds them, the banner editor by keyboard, the summary
# beside the log, every window on the screen at scale factors 1 and 2, Qt's texts in
# Russian). The program is copied into a temporary folder first, so that the settings file it
# keeps beside itself is made there.
# Usage: WindowOnXDisplay.sh PROGRAM CHECKS
set -euo pipefail

program=$1
checks=$2
caption='Varnow [0.9.9]'
# The main window itself, not the helper windows that carry the application's name: its
# line in the tree names the program's window class.
pattern="\"$caption\": (\"varnow\" "
work=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
  [[ -n "$wm_pid" ]] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp "$program" "$work/varnow"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR
# Under the sanitizers: what the desktop's libraries keep to the end is not the program's leak.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan-x-display.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# The server picks a free display itself and writes its number to us: no race with another
# server starting at the same moment.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.txt" &
xvfb_pid=$!
read -r -t 30 number <"$work/display" || { echo "Xvfb did not start:"; cat "$work/xvfb.txt"; exit 1; }
export DISPLAY=":$number"

# The window manager, ready once it has said so on the root window.
command -v openbox >/dev/null || { echo "openbox is not installed (scripts/install-deps.sh installs it)"; exit 1; }
openbox --sm-disable >"$work/openbox.txt" 2>&1 &
wm_pid=$!
# What the X tools print is taken whole before it is searched. Piped into grep -q under
# pipefail, a tool still writing when grep stops at the match dies of a broken pipe, the pipe
# counts as failed, and the match goes unseen (the window then seemed to take up to 30 s).
wm_ready() { grep -q "window id" <<<"$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null || true)"; }
window_line() { grep -F "$pattern" <<<"$(xwininfo -root -tree 2>/dev/null || true)"; }
for _ in $(seq 1 100); do
  wm_ready && break
  sleep 0.1
done
wm_ready || { echo "openbox did not start:"; cat "$work/openbox.txt"; exit 1; }

"$work/varnow" >"$work/out.txt" 2>&1 &
pid=$!
found=0
for _ in $(seq 1 150); do
  if line=$(window_line); then
    found=1
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if ((found)); then
  head -n 1 <<<"$line"
fi
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
if ((!found)); then
  echo "no main window appeared; the program said:"
  cat "$work/out.txt"
  exit 1
fi
echo "window \"$caption\" shown"

"$checks" -platform xcb
# 1280x800 at scale factor 2 is a 640x400 screen: smaller than the designed windows.
QT_SCALE_FACTOR=2 "$checks" -platform xcb mainWindowLiesOnTheScreen everyWindowFitsTheScreen
