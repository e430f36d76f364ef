#!/usr/bin/env bash
# Runs a command on a private display with the Wine desktop:
#   scripts/with-display.sh wine build/win/nx_dispatch_tests.exe
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
nx_display_start
trap 'nx_display_stop || exit 1' EXIT
"$@"
