#!/usr/bin/env bash
# Starts the built program under Xvfb in a fresh folder, chooses the first
# site, and prints how long the start took and the resident memory.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${QUENLIRA_BUILD_DIR:-build}/bin
work=$(mktemp -d)
xvfb="" pid=""
trap 'kill $pid $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$bin/quenlira" "$bin/Star.dat" "$bin/Unsta.dat" "$work/"
# The deep star layer and the Hipparcos numbers, when the build has them.
for f in Tycho.dat Starhip.dat; do
  if [ -f "$bin/$f" ]; then cp "$bin/$f" "$work/"; fi
done
# QUENLIRA_MINOR=FILE: an element file (a full MPCORB.DAT, say) in the folder Minor/.
if [ -n "${QUENLIRA_MINOR:-}" ]; then mkdir -p "$work/Minor" && cp "$QUENLIRA_MINOR" "$work/Minor/"; fi
. scripts/xvfb.sh
start_xvfb 1920x1080
display=$XVFB_DISPLAY xvfb="$XVFB_WM_PID $XVFB_PID"
for run in 1 2 3; do
  rm -f "$work/Sysinfo.dat"
  DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work QUENLIRA_TIMING=1 \
    "$work/quenlira" 2>"$work/log" &
  pid=$!
  for _ in $(seq 50); do
    win=$(DISPLAY=$display xdotool search --onlyvisible --name '^Quenlira III$' 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { echo "run $run: no opening window" >&2; exit 1; }
  DISPLAY=$display xdotool windowfocus --sync "$win" key Return
  for _ in $(seq 50); do grep -q "charts drawn" "$work/log" && break; sleep 0.1; done
  grep -E "opening|charts" "$work/log" | sed "s/^/run $run: /"
  kill "$pid"; wait "$pid" 2>/dev/null || true
done
