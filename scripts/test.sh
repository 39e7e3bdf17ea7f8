#!/usr/bin/env bash
# Set-up, then build and run every test twice: in the release configuration and
# under AddressSanitizer and UndefinedBehaviorSanitizer. The Windows build's
# tests run under Wine. Then the programs are
# built the way users and packagers build them (plain Release, with g++ and,
# where installed, clang), which must give no warning, and each fuzz target
# runs for a few seconds on its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
# Qt and fontconfig keep caches for the life of the process; leak checking is
# for our code, and the sanitizers' other checks stay fatal.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
# The pipeline's threads hand buffers to each other by hand: ThreadSanitizer
# watches the core and command-line tests for races.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

for config in release asan tsan; do
    dir=build-$config; [ "$config" = release ] && dir=build
    echo "== $config: build"
    scripts/build.sh "$config"
    echo "== $config: tests"
    (cd "$dir" && ctest --output-on-failure -j"$(nproc)") || status=1
done

# A user's build: no -Werror there, so look for warnings in its output.
for config in plain clang; do
    if [ "$config" = clang ] && ! command -v clang++ >/dev/null; then
        echo "== clang: not installed, skipped"
        continue
    fi
    echo "== $config: build of the programs"
    log=$(mktemp)
    if ! scripts/build.sh "$config" --target quorvane quorvane-cli >"$log" 2>&1; then
        cat "$log"; status=1
    elif grep -q "warning:" "$log"; then
        grep -A3 "warning:" "$log"; echo "== $config: warnings in a user's build"; status=1
    fi
    rm -f "$log"
done

# The Windows build, cross-built with MinGW-w64; its tests run under Wine
# (headless: console programs need no display) in a prefix of their own,
# made before the tests start so that none of them waits for it. The
# cross-system test takes the release build's Linux program as its other side.
echo "== windows: build"
if scripts/build.sh windows; then
    echo "== windows: tests under Wine"
    export WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDEBUG=-all
    (unset DISPLAY WAYLAND_DISPLAY; wineboot --init >/dev/null 2>&1 || true
     cd build-windows && ctest --output-on-failure -j"$(nproc)") || status=1
    wineserver -k 2>/dev/null || true
    unset WINEPREFIX WINEDEBUG
else
    status=1
fi

if command -v clang++ >/dev/null; then
    echo "== fuzz: 10 seconds per target"
    scripts/fuzz.sh 10 || status=1
fi
exit $status
