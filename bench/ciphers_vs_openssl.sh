#!/usr/bin/env bash
# Runs the CBC benchmark (every path this processor has) and `openssl speed`
# for the same ciphers in one go, and prints each of our paths beside
# OpenSSL with the ratio. OpenSSL uses AES-NI for AES when the processor has
# it; the portable AES rows are compared with OpenSSL forced onto its
# table-driven code (AES-NI masked off) as well.
#
# Usage: bench/ciphers_vs_openssl.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
bench="$build/bench/ciphers_bench"
seconds=2
bytes=1048576
[[ -x "$bench" ]] || { echo "build it first: scripts/build.sh release --target ciphers_bench" >&2; exit 1; }
command -v openssl >/dev/null || { echo "openssl is not installed" >&2; exit 1; }

# Decimal MB/s of our benchmarks, as "name value" lines
# (name = <cipher>Cbc<direction>/<path>).
ours=$("$bench" --benchmark_format=csv --benchmark_min_time=${seconds} 2>/dev/null |
    awk -F, '/^"[A-Z]/ { gsub(/"/, "", $1); printf "%s %.1f\n", $1, $6 / 1e6 }')

# Decimal MB/s from `openssl speed` (which prints thousands of bytes per second).
openssl_speed() {  # cipher, then extra words for openssl speed; env passes through
    local cipher=$1; shift
    openssl speed "$@" -evp "$cipher" -bytes "$bytes" -seconds "$seconds" 2>/dev/null |
        awk -v c="$cipher" 'tolower($1) == c { v = $NF; sub(/k$/, "", v); printf "%.1f", v / 1000 }'
}

row() {  # label, ours, reference
    awk -v l="$1" -v a="$2" -v b="$3" 'BEGIN {
        printf "%-52s %10.1f %10.1f %8.2f\n", l, a, b, (b > 0 ? a / b : 0) }'
}

no_aesni="~0x200000200000000"
declare -A reference=(
    [Aes256CbcEncrypt]=$(openssl_speed aes-256-cbc)
    [Aes256CbcDecrypt]=$(openssl_speed aes-256-cbc -decrypt)
    [Camellia256CbcEncrypt]=$(openssl_speed camellia-256-cbc)
    [Camellia256CbcDecrypt]=$(openssl_speed camellia-256-cbc -decrypt)
)
declare -A tables=(
    [Aes256CbcEncrypt]=$(OPENSSL_ia32cap="$no_aesni" openssl_speed aes-256-cbc)
    [Aes256CbcDecrypt]=$(OPENSSL_ia32cap="$no_aesni" openssl_speed aes-256-cbc -decrypt)
)

echo "$(openssl version); openssl speed -evp <cipher> [-decrypt] -bytes $bytes -seconds $seconds"
printf "%-52s %10s %10s %8s\n" "CBC over 1 MiB, MB/s (10^6 bytes/s)" "ours" "openssl" "ratio"
while read -r name value; do
    test=${name%%/*} path=${name#*/}
    row "$test $path" "$value" "${reference[$test]}"
    if [[ $path == portable && -n ${tables[$test]:-} ]]; then
        row "$test $path vs openssl without AES-NI" "$value" "${tables[$test]}"
    fi
done <<<"$ours"
