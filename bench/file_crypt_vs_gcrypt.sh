#!/usr/bin/env bash
# One 256 MiB file encrypted by quorvane-cli and by a plain libgcrypt loop
# (bench/gcrypt_cbc_loop.c: read 1 MiB, CBC-encrypt, write, sync), best of
# three each, page cache on /dev/shm, with the ratio loop time / our time
# (above 1: we are faster). libgcrypt's own AES uses AES-NI where the
# processor has it, so this is the engine against another engine.
#
# Needs libgcrypt's development files (Debian: libgcrypt20-dev).
# Usage: bench/file_crypt_vs_gcrypt.sh [build folder, default build] [MiB, default 256]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mib=${2:-256}
cli="$(realpath "$build/cli/quorvane-cli")"
[[ -x "$cli" ]] || { echo "build it first: scripts/build.sh release --target quorvane-cli" >&2; exit 1; }
pkg-config --exists libgcrypt || { echo "libgcrypt20-dev is not installed" >&2; exit 1; }

place=/dev/shm
[[ -d "$place" && -w "$place" ]] || place=${TMPDIR:-/tmp}
work=$(mktemp -d "$place/quorvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/loop" bench/gcrypt_cbc_loop.c $(pkg-config --cflags --libs libgcrypt)
printf 'pw\n' >"$work/pw"
head -c $((mib << 20)) /dev/urandom >"$work/in"

source bench/best_of_three.sh
clean() { rm -f "$work/in.aes256" "$work/in.cam256" "$work/out"; }

echo "cipher        ours MB/s   libgcrypt loop MB/s   loop/ours time"
for cipher in aes256 camellia256; do
    ours=$(best_of_three clean "$cli" encrypt --cipher "$cipher" --password-file "$work/pw" "$work/in")
    loop=$(best_of_three clean "$work/loop" "$cipher" "$work/in" "$work/out")
    awk -v c="$cipher" -v o="$ours" -v l="$loop" -v b=$((mib << 20)) \
        'BEGIN { printf "%-12s %10.0f %21.0f %16.2fx\n", c, b / o / 1e6, b / l / 1e6, l / o }'
done
