#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (own build folder build-fuzz) and
# runs each for the given number of seconds (default 60) on its corpus under
# fuzz/corpus/<target>. New inputs found go to build-fuzz/corpus/<target>, so
# the corpus in the tree stays small; a crash leaves its input in
# build-fuzz/crashes and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
targets=(container_decrypt base64_decode checksum_line password_key)

CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_FUZZ=ON \
    -DQUORVANE_GUI=OFF -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF -DQUORVANE_WERROR=ON >/dev/null
flock /tmp/quorvane-build.lock cmake --build build-fuzz -j2 \
    --target "${targets[@]/%/_fuzz}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build-fuzz/crashes
status=0
for t in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$t"
    echo "== $t: ${seconds}s"
    # The container target works on files of up to about 1 MiB.
    max_len=4096
    [ "$t" = container_decrypt ] && max_len=1100
    if ! "build-fuzz/fuzz/${t}_fuzz" -max_total_time="$seconds" -max_len="$max_len" \
        -print_final_stats=0 -artifact_prefix="build-fuzz/crashes/$t-" \
        "build-fuzz/corpus/$t" "fuzz/corpus/$t" 2>"build-fuzz/$t.log"; then
        echo "$t: FAILED (see build-fuzz/$t.log and build-fuzz/crashes)"
        tail -30 "build-fuzz/$t.log"
        status=1
    else
        tail -1 "build-fuzz/$t.log"
    fi
done
exit $status
