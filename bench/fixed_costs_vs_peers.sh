#!/usr/bin/env bash
# The cost that does not grow with the bytes: many small files, one small
# file, and lists of large files, each timed beside its peer in the same run
# (best of three, page cache on /dev/shm), with the ratio peer time / our time
# (above 1: we are faster).
#
#   10 000 x 4 KiB hashed        quorvane-cli hash --algo sha256  vs sha256sum
#   2 000 x 4 KiB encrypted      quorvane-cli encrypt              vs cp -r
#   one 4 KiB file encrypted     quorvane-cli encrypt              vs openssl enc -aes-256-cbc
#   two 128 MiB files encrypted  quorvane-cli encrypt (one per core) vs --jobs 1
#   one 256 MiB file SHA-256     quorvane-cli hash                 vs openssl dgst -sha256
#
# Usage: bench/fixed_costs_vs_peers.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$(realpath "$build/cli/quorvane-cli")"
[[ -x "$cli" ]] || { echo "build it first: scripts/build.sh release --target quorvane-cli" >&2; exit 1; }
for tool in openssl sha256sum; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

place=/dev/shm
[[ -d "$place" && -w "$place" ]] || place=${TMPDIR:-/tmp}
work=$(mktemp -d "$place/quorvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'pw\n' >"$work/pw"

source bench/best_of_three.sh

row() {  # label ours peer peer-name
    awk -v l="$1" -v o="$2" -v p="$3" -v n="$4" \
        'BEGIN { printf "%-34s %9.4f s  %-22s %9.4f s  %6.2fx\n", l, o, n, p, p / o }'
}

echo "work                                    ours        peer                         peer  peer/ours"

mkdir -p "$work/h"
for i in $(seq 1 10000); do head -c 4096 /dev/urandom >"$work/h/$i"; done
files=("$work"/h/*)
ours=$(best_of_three : "$cli" hash --algo sha256 "${files[@]}")
peer=$(best_of_three : sha256sum "${files[@]}")
row "10000 x 4 KiB, SHA-256" "$ours" "$peer" "sha256sum"
rm -rf "$work/h"

mkdir -p "$work/e"
for i in $(seq 1 2000); do head -c 4096 /dev/urandom >"$work/e/$i"; done
clean_containers() { rm -f "$work"/e/*.aes256; }
clean_copy() { rm -rf "$work/copy"; }
efiles=("$work"/e/*)
ours=$(best_of_three clean_containers "$cli" encrypt --password-file "$work/pw" "${efiles[@]}")
clean_containers
peer=$(best_of_three clean_copy cp -r "$work/e" "$work/copy")
row "2000 x 4 KiB, encrypt" "$ours" "$peer" "cp -r"
rm -rf "$work/e" "$work/copy"

head -c 4096 /dev/urandom >"$work/one"
clean_one() { rm -f "$work/one.aes256" "$work/one.ossl"; }
ours=$(best_of_three clean_one "$cli" encrypt --password-file "$work/pw" "$work/one")
peer=$(best_of_three clean_one openssl enc -aes-256-cbc -K "$(printf '%064d' 7)" \
    -iv "$(printf '%032d' 3)" -in "$work/one" -out "$work/one.ossl")
row "one 4 KiB file, encrypt" "$ours" "$peer" "openssl enc"

head -c $((128 << 20)) /dev/urandom >"$work/big1"
head -c $((128 << 20)) /dev/urandom >"$work/big2"
clean_big() { rm -f "$work"/big?.aes256; }
ours=$(best_of_three clean_big "$cli" encrypt --password-file "$work/pw" "$work/big1" "$work/big2")
peer=$(best_of_three clean_big "$cli" encrypt --jobs 1 --password-file "$work/pw" "$work/big1" "$work/big2")
row "two 128 MiB files, encrypt" "$ours" "$peer" "--jobs 1"
clean_big
rm -f "$work"/big?

head -c $((256 << 20)) /dev/urandom >"$work/huge"
ours=$(best_of_three : "$cli" hash --algo sha256 "$work/huge")
peer=$(best_of_three : openssl dgst -sha256 "$work/huge")
row "one 256 MiB file, SHA-256" "$ours" "$peer" "openssl dgst"
ours=$(best_of_three : "$cli" hash --algo sha1 "$work/huge")
peer=$(best_of_three : openssl dgst -sha1 "$work/huge")
row "one 256 MiB file, SHA-1" "$ours" "$peer" "openssl dgst"
