# Sourced by the scripts that run the program under Xvfb, as the tests'
# own helper does it: a display number nobody holds, a server that does not
# reset when its last client leaves, a wait until it answers, and the openbox
# window manager on it, as a desktop has one (it ends with the server).
#
#   start_xvfb SIZE [FIRST]   sets XVFB_DISPLAY, XVFB_PID and XVFB_WM_PID, or fails
start_xvfb() {
  local size=$1 n=${2:-$((600 + $$ % 300))}
  n=${n#:}
  for _ in $(seq 40); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
      XVFB_PID=$!
      XVFB_DISPLAY=":$n"
      for _ in $(seq 100); do
        kill -0 "$XVFB_PID" 2>/dev/null || break
        if DISPLAY=$XVFB_DISPLAY xdotool getdisplaygeometry >/dev/null 2>&1; then
          start_wm && return 0
          kill "$XVFB_PID" 2>/dev/null
          return 1
        fi
        sleep 0.1
      done
      kill "$XVFB_PID" 2>/dev/null
    fi
    n=$((n + 1))
  done
  echo "no Xvfb display could be started" >&2
  return 1
}

# Starts openbox on XVFB_DISPLAY and waits until it has taken the screen.
start_wm() {
  command -v openbox >/dev/null || { echo "openbox is not installed (scripts/setup.sh)" >&2; return 1; }
  DISPLAY=$XVFB_DISPLAY openbox --sm-disable >/dev/null 2>&1 &
  XVFB_WM_PID=$!
  for _ in $(seq 100); do
    kill -0 "$XVFB_WM_PID" 2>/dev/null || break
    DISPLAY=$XVFB_DISPLAY xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "openbox did not start on $XVFB_DISPLAY" >&2
  return 1
}
