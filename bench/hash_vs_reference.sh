#!/usr/bin/env bash
# Runs the hash benchmark and the reference tools on the same 256 MiB file in
# one go, and prints our MB/s beside `openssl dgst` and the coreutils
# md5sum/sha1sum/sha256sum/sha512sum with the ratios (ours / theirs): one row
# per engine path the processor can run (engine over 1 MiB buffers) and one
# for the file driver on the path the program chooses.
# OpenSSL uses the processor's SHA extensions for SHA-1 and SHA-256 when it
# has them; those rows are also compared with the extensions masked off.
#
# Usage: bench/hash_vs_reference.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
bench="$build/bench/hash_bench"
[[ -x "$bench" ]] || { echo "build it first: scripts/build.sh release --target hash_bench" >&2; exit 1; }
command -v openssl >/dev/null || { echo "openssl is not installed" >&2; exit 1; }

file=$(mktemp /tmp/quorvane-hash-ref.XXXXXX)
trap 'rm -f "$file"' EXIT
head -c $((256 << 20)) /dev/urandom >"$file"
cat "$file" >/dev/null  # into the page cache
size=$(stat -c %s "$file")

# Decimal MB/s of our benchmarks, as "name value" lines.
ours=$(QUORVANE_BENCH_FILE="$file" "$bench" --benchmark_format=csv 2>/dev/null |
    awk -F, '/^"BM_/ { gsub(/"/, "", $1); if ($1 !~ /Engine\//) sub(/\/.*/, "", $1);
                       printf "%s %.1f\n", $1, $6 / 1e6 }')
ours_of() { awk -v n="$1" '$1 == n { print $2 }' <<<"$ours"; }

# Decimal MB/s of a command over the file: the best of three runs.
speed_of() {
    local best=0 start end mbs
    for _ in 1 2 3; do
        start=$(date +%s.%N)
        "$@" "$file" >/dev/null
        end=$(date +%s.%N)
        mbs=$(awk -v s="$size" -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", s / (b - a) / 1e6 }')
        best=$(awk -v x="$best" -v y="$mbs" 'BEGIN { print (y > x ? y : x) }')
    done
    echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# Engine rows are named BM_<Name>Engine/<path>.
paths_of() { awk -v p="BM_$1Engine/" 'index($1, p) == 1 { print substr($1, length(p) + 1) }' <<<"$ours"; }

printf "%-8s %-16s %10s %10s %12s %10s %9s %9s %9s\n" algo path MB/s openssl openssl-noext \
    coreutils /ossl /noext /core
no_sha_ext=":~0x20000000"  # the SHA extensions bit of the leaf-7 flags
for algo in md5 sha1 sha256 sha512; do
    case $algo in
        md5) name=Md5 ;; sha1) name=Sha1 ;; sha256) name=Sha256 ;; sha512) name=Sha512 ;;
    esac
    ossl=$(speed_of openssl dgst "-$algo")
    noext=$(OPENSSL_ia32cap="$no_sha_ext" speed_of openssl dgst "-$algo")
    core=$(speed_of "${algo}sum")
    row() {
        printf "%-8s %-16s %10s %10s %12s %10s %9s %9s %9s\n" "$algo" "$1" "$2" "$ossl" "$noext" \
            "$core" "$(ratio "$2" "$ossl")" "$(ratio "$2" "$noext")" "$(ratio "$2" "$core")"
    }
    for path in $(paths_of "$name"); do row "engine $path" "$(ours_of "BM_${name}Engine/$path")"; done
    row "file driver" "$(ours_of "BM_${name}File")"
done
# Keccak with rate 512 is this program's own; OpenSSL's SHA3-512 (rate 576,
# 72 bytes per permutation against our 64) is the nearest peer.
sha3=$(speed_of openssl dgst -sha3-512)
for path in $(paths_of Keccak); do
    printf "%-8s %-16s %10s %10s   (openssl sha3-512; /ossl %s)\n" keccak "engine $path" \
        "$(ours_of "BM_KeccakEngine/$path")" "$sha3" "$(ratio "$(ours_of "BM_KeccakEngine/$path")" "$sha3")"
done
printf "%-8s %-16s %10s\n" keccak "file driver" "$(ours_of BM_KeccakFile)"
echo "MB/s are 10^6 bytes per second; file of $size bytes in the page cache."
