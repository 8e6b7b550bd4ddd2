# Sourced by the scripts that run the program under Xvfb, as the tests'
# own helper does it: a display number nobody holds, a server that does not
# reset when its last client leaves, and a wait until it answers.
#
#   start_xvfb SIZE [FIRST]   sets XVFB_DISPLAY and XVFB_PID, or fails
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
        DISPLAY=$XVFB_DISPLAY xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.1
      done
      kill "$XVFB_PID" 2>/dev/null
    fi
    n=$((n + 1))
  done
  echo "no Xvfb display could be started" >&2
  return 1
}
