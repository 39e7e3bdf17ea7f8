#!/usr/bin/env bash
# Runs the block-cipher benchmark and `openssl speed` for the same ciphers in
# one go, and prints our CBC figures beside OpenSSL's with the ratio.
# OpenSSL uses AES-NI for AES when the processor has it; the AES rows are also
# compared with OpenSSL forced onto its table-driven code (AES-NI masked off).
#
# Usage: bench/ciphers_vs_openssl.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
bench="$build/bench/ciphers_bench"
seconds=2
bytes=16384
[[ -x "$bench" ]] || { echo "build it first: scripts/build.sh release --target ciphers_bench" >&2; exit 1; }
command -v openssl >/dev/null || { echo "openssl is not installed" >&2; exit 1; }

# Decimal MB/s of our four benchmarks, as "name value" lines.
ours=$("$bench" --benchmark_format=csv --benchmark_min_time=${seconds} 2>/dev/null |
    awk -F, '/^"BM_/ { gsub(/"/, "", $1); printf "%s %.1f\n", $1, $6 / 1e6 }')

# Decimal MB/s from `openssl speed` (which prints thousands of bytes per second).
openssl_speed() {  # cipher, then extra words for openssl speed; env passes through
    local cipher=$1; shift
    openssl speed "$@" -evp "$cipher" -bytes "$bytes" -seconds "$seconds" 2>/dev/null |
        awk -v c="$cipher" 'tolower($1) == c { v = $NF; sub(/k$/, "", v); printf "%.1f", v / 1000 }'
}

ours_of() { awk -v n="$1" '$1 == n { print $2 }' <<<"$ours"; }

row() {  # label, ours, reference
    awk -v l="$1" -v a="$2" -v b="$3" 'BEGIN {
        printf "%-44s %10.1f %10.1f %8.2f\n", l, a, b, (b > 0 ? a / b : 0) }'
}

no_aesni="~0x200000200000000"
aes_enc=$(openssl_speed aes-256-cbc)
aes_dec=$(openssl_speed aes-256-cbc -decrypt)
aes_enc_tables=$(OPENSSL_ia32cap="$no_aesni" openssl_speed aes-256-cbc)
aes_dec_tables=$(OPENSSL_ia32cap="$no_aesni" openssl_speed aes-256-cbc -decrypt)
cam_enc=$(openssl_speed camellia-256-cbc)
cam_dec=$(openssl_speed camellia-256-cbc -decrypt)

echo "$(openssl version); openssl speed -evp <cipher> -bytes $bytes -seconds $seconds"
printf "%-44s %10s %10s %8s\n" "CBC, MB/s (10^6 bytes/s)" "ours" "openssl" "ratio"
row "AES-256 encrypt vs openssl (AES-NI)" "$(ours_of BM_Aes256CbcEncrypt)" "$aes_enc"
row "AES-256 decrypt vs openssl (AES-NI)" "$(ours_of BM_Aes256CbcDecrypt)" "$aes_dec"
row "AES-256 encrypt vs openssl (no AES-NI)" "$(ours_of BM_Aes256CbcEncrypt)" "$aes_enc_tables"
row "AES-256 decrypt vs openssl (no AES-NI)" "$(ours_of BM_Aes256CbcDecrypt)" "$aes_dec_tables"
row "Camellia-256 encrypt vs openssl" "$(ours_of BM_Camellia256CbcEncrypt)" "$cam_enc"
row "Camellia-256 decrypt vs openssl" "$(ours_of BM_Camellia256CbcDecrypt)" "$cam_dec"
