#!/usr/bin/env bash
# Runs the Base64 benchmark, then times quorvane-cli base64 beside coreutils
# base64 on the same 64 MiB file. Needs a release build (scripts/build.sh
# release --target base64_bench quorvane-cli).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/cli/quorvane-cli"

"$build/bench/base64_bench" --benchmark_min_time=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((64 << 20)) /dev/urandom >"$work/data.bin"
base64 -w0 "$work/data.bin" >"$work/data.b64"

timed() {
    local label=$1
    shift
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    awk -v l="$label" -v s="$start" -v e="$end" 'BEGIN { printf "%-28s %7.1f MB/s\n", l, 64 / (e - s) * 1.048576 }'
}

timed "coreutils base64 -w0" base64 -w0 "$work/data.bin"
timed "quorvane-cli base64 encode" "$cli" base64 encode "$work/data.bin"
timed "coreutils base64 -d" base64 -d "$work/data.b64"
timed "quorvane-cli base64 decode" "$cli" base64 decode "$work/data.b64"
