#!/usr/bin/env bash
# Installs what is missing, builds the demo and runs it.
# With a usable $DISPLAY the demo opens there until you close it. Without one
# it runs on a private headless display, a screenshot is saved to the file
# named by the first argument (default build/demo.png), and the demo is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
shot=${1:-$root/build/demo.png}

scripts/deps.sh
source scripts/build.sh
cmake -S "$root" -B "$root/build/win" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win" --target demo -j "$NX_JOBS"

source scripts/wine-env.sh
if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  nx_wine_prefix
  rc=0
  wine "$root/build/win/demo.exe" || rc=$?
  # Nothing of the project's prefix outlives the demo (Wine's own services
  # included); a prefix of the user's own is left as it is.
  if [[ "$WINEPREFIX" == "$root/.wine/prefix" ]]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  exit "$rc"
fi

nx_display_start
trap 'nx_display_stop || exit 1' EXIT
wine "$root/build/win/demo.exe" &
pid=$!
title="KINETIC SCROLL TEST FOR WBROWSE IN NXH 9.08"
for _ in $(seq 300); do
  xdotool search --name "^$title\$" >/dev/null 2>&1 && break
  sleep 0.1
done
# Shot once the demo has painted and come to rest.
nx_wait_idle "$pid"
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
echo "Screenshot: $shot"
xdotool key --clearmodifiers alt+F4
wait "$pid"
