#!/usr/bin/env bash
# All five digests of one 256 MiB file in the page cache: `quorvane-cli hash
# --all` (one read, engines spread over the cores) beside the five peer tools
# run one after another (md5sum, openssl sha1/sha256/sha512, openssl
# sha3-512 for the Keccak sponge), in the same run; best of 3 wall-clock runs.
# Also each digest alone beside its peer.
#
# Usage: bench/hash_all_vs_peers.sh [build folder, default build] [other quorvane-cli]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/cli/quorvane-cli"
other=${2:-}
[[ -x "$cli" ]] || { echo "build it first: scripts/build.sh release --target quorvane-cli" >&2; exit 1; }

place=/dev/shm
[[ -d "$place" && -w "$place" ]] || place=${TMPDIR:-/tmp}
work=$(mktemp -d "$place/quorvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
input="$work/input"
head -c $((256 << 20)) /dev/urandom >"$input"
bytes=$(stat -c %s "$input")

best_mbs() {  # command...: best of 3 runs as MB/s of the input
    local best=0 start end rate
    for _ in 1 2 3; do
        start=$(date +%s.%N); "$@" >/dev/null; end=$(date +%s.%N)
        rate=$(awk -v b="$bytes" -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", b / (e - s) / 1e6 }')
        best=$(awk -v a="$best" -v b="$rate" 'BEGIN { print (b > a ? b : a) }')
    done
    echo "$best"
}
peers_in_turn() {
    md5sum "$input"; openssl dgst -sha1 "$input"; openssl dgst -sha256 "$input"
    openssl dgst -sha512 "$input"; openssl dgst -sha3-512 "$input"
}
row() { awk -v l="$1" -v a="$2" -v b="$3" 'BEGIN { printf "%-34s %10.1f %10.1f %8.2f\n", l, a, b, a / b }'; }

echo "256 MiB file in $place; $("$cli" --version | sed -n 3p)"
printf "%-34s %10s %10s %8s\n" "MB/s of file" "ours" "peer" "ratio"
row "all five (--all) vs peers in turn" "$(best_mbs "$cli" hash --all "$input")" "$(best_mbs peers_in_turn)"
[[ -n "$other" ]] && row "all five, other build vs peers" "$(best_mbs "$other" hash --all "$input")" "$(best_mbs peers_in_turn)"
for pair in md5:md5sum sha1:"openssl dgst -sha1" sha256:"openssl dgst -sha256" \
            sha512:"openssl dgst -sha512" keccak:"openssl dgst -sha3-512"; do
    algo=${pair%%:*}; peer=${pair#*:}
    # shellcheck disable=SC2086
    row "$algo vs ${peer}" "$(best_mbs "$cli" hash --algo "$algo" "$input")" "$(best_mbs $peer "$input")"
    [[ -n "$other" ]] && row "$algo, other build" "$(best_mbs "$other" hash --algo "$algo" "$input")" "$(best_mbs $peer "$input")"
done
