#!/usr/bin/env bash
# Installs what is missing, builds both sides and runs every test:
# the cross-built programs under Wine, the host runtime tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and short fuzz runs.
# Extra arguments go to ctest (for example -R dispatch).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/deps.sh
source scripts/build.sh
nx_build_host
nx_build_win

source scripts/wine-env.sh
nx_display_start
trap 'nx_display_stop || exit 1' EXIT

cd "$root/build/win"
ctest --output-on-failure --timeout 900 "$@"
