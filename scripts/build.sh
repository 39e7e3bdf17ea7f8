#!/usr/bin/env bash
# Configures and builds one configuration: `release` (build/) or `asan`
# (build-asan/, AddressSanitizer and UndefinedBehaviorSanitizer). Further
# arguments are passed to `cmake --build` (for example `--target quorvane-cli`).
set -euo pipefail
cd "$(dirname "$0")/.."

config=${1:-release}
shift || true
case "$config" in
    release) dir=build; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan) dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON -DQUORVANE_BENCH=OFF) ;;
    *) echo "usage: $0 [release|asan] [cmake --build arguments]" >&2; exit 2 ;;
esac

jobs=$(nproc)
# One build at a time on this machine: concurrent builds wait for the lock.
exec 9>/tmp/quorvane-build.lock
flock 9
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$jobs" "$@"
