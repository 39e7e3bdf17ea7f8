#!/usr/bin/env bash
# Set-up, then every check, each step timed; each build catches its own kind
# of fault:
#   release  warnings as errors in the programs compiled exactly as a user's
#            plain Release build with g++ compiles them; every test, the
#            package test and the layers' include checks among them
#   asan     every test again under AddressSanitizer + UBSan, leaks included
#   tsan     the core and command-line tests under ThreadSanitizer
#   clang    a user's plain Release build of the programs with clang++: no
#            warning may appear
#   fuzz     each fuzz target for 10 seconds on its corpus (clang)
#   windows  the core, quorvane-cli and quorvane cross-built with MinGW-w64,
#            their tests run under Wine
set -euo pipefail
cd "$(dirname "$0")/.."

began=$SECONDS
status=0
# step NAME COMMAND...: runs one step, then says how it went and how long it
# took. A failed step fails the whole run; the later steps still run.
step() {
    local name=$1 start=$SECONDS outcome=ok
    shift
    echo "== $name"
    "$@" || { outcome=FAILED; status=1; }
    echo "== $name: $outcome in $((SECONDS - start)) s"
    [ "$outcome" = ok ]
}

# In a subshell, so the run stays in the project folder.
tests_in() { (cd "$1" && ctest --output-on-failure -j"$(nproc)"); }

# A user's build has no -Werror: look for warnings in its output.
user_build() {
    local log
    log=$(mktemp)
    if ! scripts/build.sh "$1" --target quorvane quorvane-cli >"$log" 2>&1; then
        cat "$log"; rm -f "$log"; return 1
    fi
    if grep -q "warning:" "$log"; then
        grep -A3 "warning:" "$log"; echo "warnings in a user's build"; rm -f "$log"; return 1
    fi
    rm -f "$log"
}

step setup scripts/setup.sh || exit 1

export QT_QPA_PLATFORM=offscreen
# Leaks are checked; the tests of the window and its program turn that off
# for themselves (Qt and fontconfig keep caches for the life of the process).
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The pipeline's threads hand buffers to each other by hand: ThreadSanitizer
# watches the core and command-line tests for races.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

for config in release asan tsan; do
    dir=build-$config; [ "$config" = release ] && dir=build
    step "$config: build" scripts/build.sh "$config" && step "$config: tests" tests_in "$dir" || true
done

# The Windows build's tests run under Wine (headless: console programs need
# no display; the window tests start a virtual one with xvfb-run) in a prefix
# of their own, made before the tests start so that
# none of them waits for it. The cross-system test takes the release build's
# Linux program as its other side.
windows_tests() {
    (
        export WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDEBUG=-all
        unset DISPLAY WAYLAND_DISPLAY
        wineboot --init >/dev/null 2>&1 || true
        status=0
        (cd build-windows && ctest --output-on-failure -j"$(nproc)") || status=1
        wineserver -k 2>/dev/null || true
        exit $status
    )
}
step "windows: build" scripts/build.sh windows && step "windows: tests under Wine" windows_tests || true

if command -v clang++ >/dev/null; then
    step "clang: a user's build of the programs" user_build clang || true
    step "fuzz: 10 seconds per target" scripts/fuzz.sh 10 || true
else
    echo "== clang: not installed, its build and the fuzz targets skipped"
fi

echo "== all steps: $([ $status -eq 0 ] && echo ok || echo FAILED) in $((SECONDS - began)) s"
exit $status
