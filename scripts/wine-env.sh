# Sourced by the scripts: a project-local 32-bit Wine prefix and a private
# headless display with Wine's virtual desktop.
#   nx_wine_prefix         create (once) and export the prefix
#   nx_display_start [WxH] start Xvfb, a persistent wineserver, the desktop and its keeper
#   nx_display_stop        stop what nx_display_start started and every Wine
#                          process of the prefix; fails if any is left
#   nx_wait_idle pid [s]   wait until a program is done with its input
NX_ROOT=${NX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
NX_DESKTOP=${NX_DESKTOP:-1280x800}

nx_wine_prefix() {
  export WINEARCH=win32
  export WINEPREFIX=${WINEPREFIX:-$NX_ROOT/.wine/prefix}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=${WINEDEBUG:--all}
  # The marker holds the version of the set-up below: a prefix made by an
  # older one is made again.
  local marker=$WINEPREFIX/.nx-ready
  [[ $(cat "$marker" 2>/dev/null) == 2 ]] && return 0
  # A prefix of the user's own (not ours and never marked by us) is used as
  # it is: only a prefix this set-up made may be wiped and made again.
  if [[ "$WINEPREFIX" != "$NX_ROOT/.wine/prefix" && ! -e "$marker" && -n "$(ls -A "$WINEPREFIX" 2>/dev/null)" ]]; then
    return 0
  fi
  echo "Creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  DISPLAY= wine wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  # A virtual desktop: no window manager wait, and maximizing works.
  DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
  DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d "$NX_DESKTOP" /f >/dev/null 2>&1
  # No game controllers: through SDL the HID bus polls for them about a
  # thousand times a second, and under load those wake-ups keep a program
  # from ever looking at rest (nx_wait_idle).
  DISPLAY= wine reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v 'Enable SDL' /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  wineserver -w
  # Debian's Wine does not find its own fonts by itself.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$fonts/"; done
  echo 2 >"$marker"
}

NX_STARTED_PIDS=()

nx_display_start() {
  local size=${1:-$NX_DESKTOP}
  nx_wine_prefix
  local fifo
  fifo=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  NX_STARTED_PIDS+=($!)
  local n=0
  while [[ ! -s "$fifo" && $n -lt 100 ]]; do sleep 0.1; n=$((n + 1)); done
  export DISPLAY=":$(head -n1 "$fifo")"
  rm -f "$fifo"
  wineserver -f -p >/dev/null 2>&1 &
  NX_STARTED_PIDS+=($!)
  wine explorer "/desktop=Default,$size" >/dev/null 2>&1 &
  NX_STARTED_PIDS+=($!)
  # The desktop is ready once its X window exists.
  n=0
  until xwininfo -root -children 2>/dev/null | grep -q 'Wine desktop' || [[ $n -ge 100 ]]; do
    sleep 0.1
    n=$((n + 1))
  done
  nx_desktop_keeper_start
}

# Wine closes its virtual desktop about a second after the last program on it
# has ended, and a program starting in that second finds no working desktop
# (its window classes and dialogs fail). A keeper program stays on the desktop,
# with no window shown, until the display stops.
nx_desktop_keeper_start() {
  NX_KEEPER_DIR=$(mktemp -d)
  if ! i686-w64-mingw32-gcc -O2 -mwindows -o "$NX_KEEPER_DIR/nx-desktop-keeper.exe" \
      "$NX_ROOT/scripts/desktop-keeper.c" >/dev/null 2>&1; then
    echo "warning: the desktop keeper could not be built; the Wine desktop may close between programs" >&2
    return 0
  fi
  wine "$NX_KEEPER_DIR/nx-desktop-keeper.exe" >/dev/null 2>&1 &
  NX_STARTED_PIDS+=($!)
}

# The Wine processes of this prefix still running (matched by the prefix in
# their environment, so other trees' prefixes are never touched).
nx_prefix_pids() {
  local file pid
  for file in $(grep -lszxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ); do
    pid=${file#/proc/}
    pid=${pid%/environ}
    [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == */wine* ]] && echo "$pid"
  done
  return 0
}

# The X server started for this prefix (it carries the prefix too).
nx_xserver_pids() {
  local file pid
  for file in $(grep -lszxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ); do
    pid=${file#/proc/}
    pid=${pid%/environ}
    [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == */Xvfb ]] && echo "$pid"
  done
  return 0
}

# Waits (up to $2 seconds) until program $1 has taken in everything sent to
# it so far and is done with it: the X server has delivered the input (a
# round trip through it), and then for a quiet spell of 250 ms the program
# used no processor time while neither it nor any process of the prefix
# (the wineserver, the desktop) nor the X server was runnable or waiting for
# the disk. A program in the middle of anything wakes up within the spell
# (a glide sleeps at most 120 ms between steps), and one starved of
# processor time, or waiting on a starved server, shows as runnable, so how
# fast or busy the machine is never decides what a screenshot shows. Under
# Wine a window that tracks the pointer polls it every 400 ms (the hover
# time): the spell fits between two polls.
nx_wait_idle() {
  local pid=$1 seconds=${2:-60}
  xdotool getmouselocation >/dev/null
  # shellcheck disable=SC2046
  python3 - "$pid" "$seconds" $(nx_prefix_pids) $(nx_xserver_pids) <<'PY'
import glob, sys, time

pid, seconds, others = sys.argv[1], float(sys.argv[2]), sys.argv[3:]

def cpu():
    total = 0
    for f in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            total += int(open(f).read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total

def waiting():
    for p in [pid] + others:
        for f in glob.glob(f"/proc/{p}/task/*/status"):
            try:
                for line in open(f):
                    if line.startswith("State:"):
                        if line.split()[1] in ("R", "D"):
                            return True
                        break
            except OSError:
                pass
    return False

end = time.monotonic() + seconds
last, since = cpu(), time.monotonic()
while time.monotonic() < end:
    time.sleep(0.01)
    now, used = time.monotonic(), cpu()
    if not glob.glob(f"/proc/{pid}/task"):
        sys.exit("the program has ended")
    if used != last or waiting():
        last, since = used, now
    elif now - since >= 0.25:
        sys.exit(0)
sys.exit(f"the program did not come to rest within {seconds:g} s")
PY
}

# Stops what nx_display_start started and every process of the prefix (the
# services and device hosts Wine starts by itself too), waits for them to go
# and fails when any is left.
nx_display_stop() {
  local pid left n=0
  if [[ -n "${WINEPREFIX:-}" ]]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  for pid in "${NX_STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${NX_STARTED_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  NX_STARTED_PIDS=()
  if [[ -n "${NX_KEEPER_DIR:-}" ]]; then
    rm -rf "$NX_KEEPER_DIR"
    NX_KEEPER_DIR=
  fi
  [[ -n "${WINEPREFIX:-}" ]] || return 0
  # A program still starting when the server went down brings up a new
  # server and its services, so keep stopping the prefix until it is empty.
  while left=$(nx_prefix_pids) && [[ -n $left ]] && ((n < 600)); do
    if ((n % 20 == 19)); then
      wineserver -k >/dev/null 2>&1 || true
    fi
    sleep 0.1
    n=$((n + 1))
  done
  [[ -n $left ]] || return 0
  echo "Wine processes of $WINEPREFIX still running after stopping it (killed):" >&2
  for pid in $left; do echo "  $pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2; done
  kill -9 $left 2>/dev/null || true
  n=0
  while left=$(nx_prefix_pids) && [[ -n $left ]] && ((n < 100)); do
    sleep 0.1
    n=$((n + 1))
  done
  [[ -z $left ]]
}
