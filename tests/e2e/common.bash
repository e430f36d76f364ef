# Shared by the end-to-end scripts (sourced). Expects DISPLAY and WINEPREFIX
# from the CTest run (scripts/test.sh) or scripts/with-display.sh.
set -euo pipefail
NX_BUILD=${1:?build directory}
TITLE="KINETIC SCROLL TEST FOR WBROWSE IN NXH 9.08"

fail() {
  echo "FAIL: $*" >&2
  # What was on the screen, for failures that do not reproduce.
  echo "windows: $(xdotool search --name . getwindowname %@ 2>/dev/null | sort -u | paste -sd '|')" >&2
  echo "processes: $(pgrep -a -f '\.exe' 2>/dev/null | cut -c1-80 | paste -sd '|')" >&2
  exit 1
}

# wait_idle <pid> [seconds]: see nx_wait_idle.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
wait_idle() { nx_wait_idle "$@"; }

# The helpers below drive the program whose process id the script keeps in
# $pid.

# Waits until the program has taken in all it was sent and is done with it.
settle() { wait_idle "$pid" || fail "the program did not come to rest"; }

# Presses keys (or types text with -t) and waits until the program took them in.
key() {
  if [[ "$1" == -t ]]; then
    xdotool type --delay 60 "$2"
  else
    xdotool key --clearmodifiers "$@"
  fi
  wait_idle "$pid" || fail "the program did not come to rest after $*"
}

# Saves the screen as $work/$1.png.
shot() { import -window root "$work/$1.png"; }

# Sends input (xdotool's arguments after $1), waits until the program is done
# with it, and saves the screen as $work/$1.png.
act() {
  local name=$1
  shift
  xdotool "$@"
  settle
  shot "$name"
}

# Runs sample $1 from a new empty folder, $work (the current folder from
# then on); the end of the script stops it and removes the folder.
start_in_empty_folder() {
  NX_BUILD=$(cd "$NX_BUILD" && pwd)
  work=$(mktemp -d)
  cd "$work"
  wine "$NX_BUILD/samples/$1.exe" &
  pid=$!
  trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
}

# Gives X window $1 the keyboard.
activate() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus "$1" || true; }

# Waits up to $2 seconds for a window named exactly $1; prints its X id.
wait_window() {
  local name=$1 seconds=${2:-20} id=""
  for ((i = 0; i < seconds * 10; i++)); do
    id=$(xdotool search --name "^${name}\$" 2>/dev/null | head -n1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to two minutes until no window is named exactly $1.
wait_gone() {
  for _ in $(seq 1200); do
    xdotool search --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$1' stays open"
}

# "WxH+X+Y" of an X window, as xwininfo reports its absolute geometry.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
                          /^  Width/{w=$NF} /^  Height/{h=$NF} END{printf "%sx%s+%s+%s\n", w, h, x, y}'
}

# Waits for a process and sets EXIT_CODE to its exit code (124 after $2
# seconds). Call it directly: only the shell that started the process can
# collect its code.
wait_exit_rc() {
  local pid=$1 seconds=${2:-20} i
  EXIT_CODE=124
  for ((i = 0; i < seconds * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      EXIT_CODE=0
      wait "$pid" || EXIT_CODE=$?
      return 0
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
}

# Closes the demo (process $1) with Alt+F4 and checks it ends with exit code 0.
close_demo() {
  xdotool key --clearmodifiers alt+F4
  wait_exit_rc "$1" 120
  trap - EXIT
  [[ "$EXIT_CODE" == 0 ]] || fail "exit code $EXIT_CODE"
  echo "closed with exit code 0"
}
