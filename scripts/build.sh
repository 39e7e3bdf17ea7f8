#!/usr/bin/env bash
# Configures and builds one configuration. Further arguments are passed to
# `cmake --build` (for example `--target quorvane-cli`).
#   release  build/         the project's own build: programs, tests, benchmarks,
#                           warnings as errors; the programs compiled exactly as
#                           a user's plain Release build compiles them
#   asan     build-asan/    the same under AddressSanitizer + UBSan (no benchmarks)
#   tsan     build-tsan/    the core and command-line tests under ThreadSanitizer
#                           (no window, no benchmarks)
#   app      build-app/     only what scripts/run.sh starts (Release, no tests)
#   plain    build-plain/   the programs as a user or packager builds them:
#                           cmake -DCMAKE_BUILD_TYPE=Release, nothing else
#   clang    build-clang/   the programs in plain Release with clang++
#   windows  build-windows/ quorvane.exe, quorvane-cli.exe and the core,
#                           command-line and window tests, cross-built with
#                           MinGW-w64 (run under Wine); its file service takes
#                           injected faults, for the tests
#   windows32 build-windows32/ quorvane-cli.exe for 32-bit Windows ("0.2.0 (32-bit)"),
#                           as a user gets it; no tests (they would need Wine's
#                           32-bit part, wine32 of the i386 architecture)
set -euo pipefail
cd "$(dirname "$0")/.."

config=${1:-release}
shift || true
programs=(-DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF)
env_cxx=()
case "$config" in
    release) dir=build; flags=(-DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=ON -DQUORVANE_BENCH=ON -DQUORVANE_WERROR=ON) ;;
    asan) dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON -DQUORVANE_TESTS=ON -DQUORVANE_BENCH=OFF -DQUORVANE_WERROR=ON) ;;
    tsan) dir=build-tsan; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_TSAN=ON -DQUORVANE_GUI=OFF -DQUORVANE_TESTS=ON -DQUORVANE_BENCH=OFF -DQUORVANE_WERROR=ON) ;;
    app) dir=build-app; flags=(-DCMAKE_BUILD_TYPE=Release "${programs[@]}") ;;
    plain) dir=build-plain; flags=(-DCMAKE_BUILD_TYPE=Release) ;;
    clang) dir=build-clang; flags=(-DCMAKE_BUILD_TYPE=Release "${programs[@]}"); env_cxx=(env CXX=clang++) ;;
    windows) dir=build-windows
        flags=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
               -DQUORVANE_GUI=ON -DQUORVANE_TESTS=ON -DQUORVANE_BENCH=OFF -DQUORVANE_WERROR=ON
               -DQUORVANE_FAULT_INJECTION=ON) ;;
    windows32) dir=build-windows32
        flags=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-i686.cmake" -DCMAKE_BUILD_TYPE=Release
               -DQUORVANE_GUI=OFF -DQUORVANE_WERROR=ON "${programs[@]}") ;;
    *) echo "usage: $0 [release|asan|tsan|app|plain|clang|windows|windows32] [cmake --build arguments]" >&2; exit 2 ;;
esac

jobs=$(nproc)
# One build at a time on this machine: concurrent builds wait for the lock.
exec 9>/tmp/quorvane-build.lock
flock 9
"${env_cxx[@]}" cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$jobs" "$@"
