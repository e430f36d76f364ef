#!/usr/bin/env bash
# Builds the cross build and runs the browse benchmark once, under Wine on a
# private headless display with Wine's 1280x800 virtual desktop. Extra
# arguments go to nx_bench, for example --quick or --json FILE; without
# --json the results go to build/bench-results.json. Large DBF tables are
# created once and kept in the Wine prefix's temporary folder (--cache FOLDER
# puts them elsewhere).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/deps.sh
source scripts/build.sh
nx_build_win

args=("$@")
[[ " $* " == *" --json "* ]] || args+=(--json "$root/build/bench-results.json")
machine="$(wine --version 2>/dev/null || echo wine) on Debian $(cat /etc/debian_version 2>/dev/null || echo '?'),"
machine+=" $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'),"
machine+=" load average at start $(cut -d' ' -f1-3 /proc/loadavg)"

source scripts/wine-env.sh
nx_display_start
trap 'nx_display_stop || exit 1' EXIT
wine "$root/build/win/bench/nx_bench.exe" --machine "$machine" "${args[@]}"
