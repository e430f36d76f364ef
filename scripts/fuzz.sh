#!/usr/bin/env bash
# Runs one host fuzz target for a bounded time: fuzz.sh NAME SECONDS
# Seeds come from tests/fuzz/NAME/ when present; crashes land in build/host/fuzz-NAME/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
name=$1
seconds=${2:-20}
bin="$root/build/host/fuzz_$name"
work="$root/build/host/fuzz-$name"
mkdir -p "$work/corpus"
seeds=()
[[ -d "$root/tests/fuzz/$name" ]] && seeds+=("$root/tests/fuzz/$name")
cd "$work"
exec "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/" corpus "${seeds[@]}"
