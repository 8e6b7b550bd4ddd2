#!/usr/bin/env bash
# A star party end to end: two program instances in two program folders that
# share a third, each on an Xvfb display of its own and with its own lock
# folder. Station A (commander) runs under faketime with its clock 10 minutes
# behind B's; it zooms in, raises the sensitivity and sends "Sync" to
# S000002; station B (receiver S000002), which looked into the folder before,
# must still follow within a poll, and A's commander window must show what B
# applied. Screenshots before and after land in the output folder to be
# looked at.
#
#   scripts/party_e2e.sh [BUILD_BIN] [OUT] [DISPLAY_A] [DISPLAY_B]
# (the displays are the first numbers tried; a taken one moves on)
set -u
bin=${1:-build/bin}
out=${2:-/tmp/party_e2e}
da=${3:-:119}
db=${4:-:129}
bin=$(cd "$bin" && pwd)
rm -rf "$out"
mkdir -p "$out"/A "$out"/B "$out"/share "$out"/runA "$out"/runB
chmod 700 "$out"/runA "$out"/runB
for d in A B; do cp "$bin"/quenlira "$bin"/Star.dat "$bin"/Unsta.dat "$out/$d/"; done
printf 'Mode=3\nFolder=%s/share/\nID01=S000002\n' "$out" >"$out"/A/StarParty.dat
printf 'Mode=2\nFolder=%s/share/\nOwnID=S000002\n' "$out" >"$out"/B/StarParty.dat

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; }
trap cleanup EXIT
. "$(dirname "$0")/xvfb.sh"
start_xvfb 1280x800 "$da" || exit 1
da=$XVFB_DISPLAY; pids+=("$XVFB_WM_PID" "$XVFB_PID")
start_xvfb 1280x800 "$db" || exit 1
db=$XVFB_DISPLAY; pids+=("$XVFB_WM_PID" "$XVFB_PID")
command -v faketime >/dev/null || { echo "party_e2e: faketime is not installed (scripts/setup.sh)"; exit 1; }
# The commander's clock, and only the wall clock, 10 minutes behind.
(cd /tmp && DISPLAY=$da XDG_RUNTIME_DIR=$out/runA QT_QPA_PLATFORM=xcb \
  FAKETIME_DONT_FAKE_MONOTONIC=1 exec faketime -f "-10m" "$out"/A/quenlira) \
  >"$out"/A.log 2>&1 & pids+=($!)
(cd /tmp && DISPLAY=$db XDG_RUNTIME_DIR=$out/runB QT_QPA_PLATFORM=xcb exec "$out"/B/quenlira) \
  >"$out"/B.log 2>&1 & pids+=($!)

win() { DISPLAY=$1 xdotool search --onlyvisible --name "$2" 2>/dev/null | head -1; }
# A screenshot of display $1 into $2: the root, with the window $3 (if
# given) grabbed on its own and pasted over it, as a window opened over
# another can come out black in a grab of the root alone on Xvfb.
shot() {
  local d=$1 f=$2 w=${3:-} tmp args=()
  tmp=$(mktemp -d)
  DISPLAY=$d xwd -root -silent -out "$tmp/root.xwd"
  if [ -n "$w" ]; then
    eval "$(DISPLAY=$d xdotool getwindowgeometry --shell "$w")"
    DISPLAY=$d xwd -id "$w" -silent -out "$tmp/w.xwd" && args=("$tmp/w.xwd" "$X" "$Y")
  fi
  python3 "$(dirname "$0")/xwdshot.py" "$f" "$tmp/root.xwd" "${args[@]}"
  rm -rf "$tmp"
}
for _ in $(seq 1 60); do
  [ -n "$(win "$da" '^Quenlira III$')" ] && [ -n "$(win "$db" '^Quenlira III$')" ] && break
  sleep 1
done
# The first site on both, then the chart windows.
for d in "$da" "$db"; do
  w=$(win "$d" '^Quenlira III$')
  DISPLAY=$d xdotool windowfocus --sync "$w"
  sleep 0.5
  DISPLAY=$d xdotool key Return
done
sleep 6
shot "$da" "$out"/A0.png
shot "$db" "$out"/B0.png

wa=$(win "$da" '^Quenlira III$')
DISPLAY=$da xdotool mousemove --window "$wa" 700 300 click 1
sleep 1
DISPLAY=$da xdotool key --delay 300 Prior Prior KP_Add KP_Add Up
sleep 2
DISPLAY=$da xdotool mousemove --window "$wa" 115 358 click 1 # "COM"
sleep 2
wc=$(win "$da" '^Command$')
[ -z "$wc" ] && { echo "party_e2e: no commander window"; exit 1; }
DISPLAY=$da xdotool mousemove --window "$wc" 118 41 click 1 # "Sync" of row 1
sleep 1
shot "$da" "$out"/A1.png "$wc"
sleep 4 # two polls
shot "$db" "$out"/B1.png

# Goto: A chooses Mars in its search list and sends "Goto"; B, in auto
# drive, shows Mars and opens its navigation window. "Stop" closes it.
DISPLAY=$da xdotool mousemove --window "$wc" 636 311 click 1 # "Close"
sleep 1
DISPLAY=$da xdotool mousemove --window "$wa" 372 101 click 1 # the row "Mars"
sleep 2
DISPLAY=$da xdotool mousemove --window "$wa" 115 358 click 1
sleep 2
wc=$(win "$da" '^Command$')
DISPLAY=$da xdotool mousemove --window "$wc" 156 41 click 1 # "Goto" of row 1
sleep 5
shot "$da" "$out"/A2.png "$wc"
shot "$db" "$out"/B2.png
DISPLAY=$da xdotool mousemove --window "$wc" 194 41 click 1 # "Stop" of row 1
sleep 5
shot "$db" "$out"/B3.png

# B's status file reaches A's commander row within a few seconds.
sleep 8
shot "$da" "$out"/A3.png "$wc"
echo "party_e2e: B's status file:"
cat "$out"/share/Receiver-S000002.txt
grep -q '^Command=STOP$' "$out"/share/Receiver-S000002.txt ||
  { echo "party_e2e: the status file does not say STOP"; exit 1; }
echo "party_e2e: files in the shared folder:"
ls "$out"/share
echo "party_e2e: receiver log:"
cat "$out"/B/Receiver.log
for c in SYNC GOTO STOP; do
  grep -q ": $c$" "$out"/B/Receiver.log || { echo "party_e2e: the receiver applied no $c"; exit 1; }
done
a=$(ls "$out"/share/S000002-*.pty | head -1)
echo "party_e2e: the commander's stamps ($(basename "$a")) are 10 minutes behind B's log times"
echo "party_e2e: screenshots in $out: A0 B0 before, A1 B1 after Sync, A2 B2 after Goto, B3 after Stop, A3 the commander's row"
