#!/usr/bin/env bash
# Set-up, then build and run every test twice: in the release configuration and
# under AddressSanitizer and UndefinedBehaviorSanitizer; then, where clang is
# installed, each fuzz target for a few seconds on its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
# Qt and fontconfig keep caches for the life of the process; leak checking is
# for our code, and the sanitizers' other checks stay fatal.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for config in release asan; do
    dir=build; [ "$config" = asan ] && dir=build-asan
    echo "== $config: build"
    scripts/build.sh "$config"
    echo "== $config: tests"
    (cd "$dir" && ctest --output-on-failure -j"$(nproc)") || status=1
done
if command -v clang++ >/dev/null; then
    echo "== fuzz: 10 seconds per target"
    scripts/fuzz.sh 10 || status=1
fi
exit $status
