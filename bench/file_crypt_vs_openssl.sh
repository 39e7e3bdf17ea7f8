#!/usr/bin/env bash
# Encrypts and decrypts one 256 MiB file held in the page cache with our file
# procedures and with `openssl enc` (same cipher, CBC, -K/-iv) in the same run,
# and prints MB/s (decimal) side by side with the ratio ours / openssl.
# OpenSSL uses AES-NI when the processor has it; the AES rows are also
# compared with OpenSSL forced onto its table-driven code (AES-NI masked off).
#
# The file lives on tmpfs (/dev/shm) when there is one: there it is page cache
# by construction, and the fsync our procedures make before putting the output
# in place costs nothing, so both sides measure ciphering plus page-cache I/O.
#
# Usage: bench/file_crypt_vs_openssl.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
bench="$build/bench/file_crypt_bench"
runs=3
[[ -x "$bench" ]] || { echo "build it first: scripts/build.sh release --target file_crypt_bench" >&2; exit 1; }
command -v openssl >/dev/null || { echo "openssl is not installed" >&2; exit 1; }

place=/dev/shm
[[ -d "$place" && -w "$place" ]] || place=${TMPDIR:-/tmp}
work=$(mktemp -d "$place/quorvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
input="$work/input"
head -c $((256 << 20)) /dev/urandom >"$input"
bytes=$(stat -c %s "$input")
key=603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4
iv=000102030405060708090a0b0c0d0e0f

# Ours: "name MB/s" lines (Encrypting/Aes256, Decrypting/Camellia256, ...),
# once on the paths this processor gets and once on the portable code.
run_ours() {  # extra env settings
    env "$@" QUORVANE_BENCH_FILE="$input" "$bench" --benchmark_format=csv \
        --benchmark_repetitions=$runs --benchmark_report_aggregates_only=true 2>/dev/null |
        awk -F, '/_median"/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); printf "%s %.1f\n", $1, $6 / 1e6 }'
}
ours=$(run_ours)
portable=$(run_ours QUORVANE_CPU=portable)
ours_of() { awk -v n="$1" '$1 == n { print $2 }' <<<"$ours"; }
portable_of() { awk -v n="$1" '$1 == n { print $2 }' <<<"$portable"; }
paths=$("$build/cli/quorvane-cli" --version 2>/dev/null | sed -n 2p)

# Best of $runs wall-clock runs of one openssl command, as MB/s of the input.
openssl_mbs() {  # env-prefix words..., then -- and the openssl arguments
    local best=0 start end rate
    for _ in $(seq $runs); do
        start=$(date +%s.%N)
        env "$@" >/dev/null
        end=$(date +%s.%N)
        rate=$(awk -v b="$bytes" -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", b / (e - s) / 1e6 }')
        best=$(awk -v a="$best" -v b="$rate" 'BEGIN { print (b > a ? b : a) }')
    done
    echo "$best"
}

openssl_pair() {  # cipher, then extra env settings; prints "enc dec"
    local cipher=$1; shift
    openssl enc "-$cipher" -K $key -iv $iv -in "$input" -out "$work/box"
    local enc dec
    enc=$(openssl_mbs "$@" openssl enc "-$cipher" -K $key -iv $iv -in "$input" -out "$work/box")
    dec=$(openssl_mbs "$@" openssl enc -d "-$cipher" -K $key -iv $iv -in "$work/box" -out "$work/out")
    rm -f "$work/box" "$work/out"
    echo "$enc $dec"
}

read -r aes_enc aes_dec <<<"$(openssl_pair aes-256-cbc)"
read -r aes_enc_t aes_dec_t <<<"$(openssl_pair aes-256-cbc OPENSSL_ia32cap='~0x200000200000000')"
read -r cam_enc cam_dec <<<"$(openssl_pair camellia-256-cbc)"

row() {  # label, ours, reference
    awk -v l="$1" -v a="$2" -v b="$3" 'BEGIN {
        printf "%-52s %10.1f %10.1f %8.2f\n", l, a, b, (b > 0 ? a / b : 0) }'
}
echo "256 MiB file in $place, $runs runs each (ours: median, openssl: best); paths: $paths"
printf "%-52s %10s %10s %8s\n" "" "ours MB/s" "openssl" "ratio"
row "AES-256-CBC encrypt file" "$(ours_of Encrypting/Aes256)" "$aes_enc"
row "AES-256-CBC decrypt file" "$(ours_of Decrypting/Aes256)" "$aes_dec"
row "AES-256-CBC encrypt file (openssl without AES-NI)" "$(ours_of Encrypting/Aes256)" "$aes_enc_t"
row "AES-256-CBC decrypt file (openssl without AES-NI)" "$(ours_of Decrypting/Aes256)" "$aes_dec_t"
row "Camellia-256-CBC encrypt file" "$(ours_of Encrypting/Camellia256)" "$cam_enc"
row "Camellia-256-CBC decrypt file" "$(ours_of Decrypting/Camellia256)" "$cam_dec"
row "AES-256-CBC encrypt file, portable (openssl without AES-NI)" "$(portable_of Encrypting/Aes256)" "$aes_enc_t"
row "AES-256-CBC decrypt file, portable (openssl without AES-NI)" "$(portable_of Decrypting/Aes256)" "$aes_dec_t"
row "Camellia-256-CBC encrypt file, portable" "$(portable_of Encrypting/Camellia256)" "$cam_enc"
row "Camellia-256-CBC decrypt file, portable" "$(portable_of Decrypting/Camellia256)" "$cam_dec"
