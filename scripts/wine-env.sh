# Sourced by the scripts: a project-local 32-bit Wine prefix and a private
# headless display with Wine's virtual desktop.
#   nx_wine_prefix         create (once) and export the prefix
#   nx_display_start [WxH] start Xvfb, a persistent wineserver and the desktop keeper
#   nx_display_stop        stop exactly what nx_display_start started
NX_ROOT=${NX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
NX_DESKTOP=${NX_DESKTOP:-1280x800}

nx_wine_prefix() {
  export WINEARCH=win32
  export WINEPREFIX=${WINEPREFIX:-$NX_ROOT/.wine/prefix}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=${WINEDEBUG:--all}
  if [[ ! -f "$WINEPREFIX/.nx-ready" ]]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    DISPLAY= wine wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    # A virtual desktop: no window manager wait, and maximizing works.
    DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d "$NX_DESKTOP" /f >/dev/null 2>&1
    wineserver -w
    # Debian's Wine does not find its own fonts by itself.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$fonts/"; done
    touch "$WINEPREFIX/.nx-ready"
  fi
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
}

nx_display_stop() {
  local pid
  for pid in "${NX_STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${NX_STARTED_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  NX_STARTED_PIDS=()
}
