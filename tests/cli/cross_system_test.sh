#!/bin/sh
# The Windows build of quorvane-cli under Wine against the Linux build:
# containers made on either system open on the other, under names with
# Chinese characters and spaces; digests equal sha256sum's with LF line ends;
# base64 decodes byte-exact to standard output; wipe removes the file.
#   cross_system_test.sh WINDOWS_CLI_EXE LINUX_CLI
# Exits 77 (skipped) when Wine or the Linux build is missing.
set -u
win_exe=$1
linux_cli=$2
command -v wine >/dev/null 2>&1 || { echo "wine is not installed"; exit 77; }
[ -x "$linux_cli" ] || { echo "no Linux build at $linux_cli"; exit 77; }
: "${WINEPREFIX:?WINEPREFIX must name the tests' own Wine prefix}"
export WINEDEBUG=-all
win() { wine "$win_exe" "$@"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

printf 'pass 口令\n' > pw.txt
head -c 2500001 /dev/urandom > '数据 文件.bin'
printf 'hello\r\nworld\n' > '中文 名字.txt'

# Windows encrypts, Linux decrypts; both ciphers.
for cipher in aes256 camellia256; do
    ext=$([ $cipher = aes256 ] && echo aes256 || echo cam256)
    mkdir w-$cipher l-$cipher
    cp '数据 文件.bin' '中文 名字.txt' w-$cipher/
    (cd w-$cipher && win encrypt --cipher $cipher --password-file ../pw.txt '数据 文件.bin' '中文 名字.txt' 2>/dev/null) ||
        fail "Windows encrypt ($cipher)"
    for name in '数据 文件.bin' '中文 名字.txt'; do
        cp "w-$cipher/$name.$ext" l-$cipher/
        (cd l-$cipher && "$linux_cli" decrypt --cipher $cipher --password-file ../pw.txt "$name.$ext" 2>/dev/null) ||
            fail "Linux decrypt of a Windows container ($cipher, $name)"
        cmp -s "$name" "l-$cipher/$name" || fail "Windows -> Linux bytes ($cipher, $name)"
    done
    # Linux encrypts, Windows decrypts.
    mkdir lw-$cipher
    cp '数据 文件.bin' lw-$cipher/
    (cd lw-$cipher && "$linux_cli" encrypt --cipher $cipher --password-file ../pw.txt '数据 文件.bin' 2>/dev/null &&
        rm '数据 文件.bin' && win decrypt --cipher $cipher --password-file ../pw.txt "数据 文件.bin.$ext" 2>/dev/null) ||
        fail "Linux encrypt, Windows decrypt ($cipher)"
    cmp -s '数据 文件.bin' "lw-$cipher/数据 文件.bin" || fail "Linux -> Windows bytes ($cipher)"
done

# Digests: the same lines as sha256sum, LF line ends, names kept whole.
win hash --algo sha256 '数据 文件.bin' '中文 名字.txt' > ours.txt 2>/dev/null || fail "hash"
sha256sum '数据 文件.bin' '中文 名字.txt' > theirs.txt
cmp -s ours.txt theirs.txt || fail "hash differs from sha256sum: $(od -c ours.txt | head -3)"

# Base64: decoding to standard output is byte-exact (no CR added), from a
# file and from standard input; encoding agrees with the Linux build.
base64 '数据 文件.bin' > data.b64
win base64 decode data.b64 > decoded.bin 2>/dev/null || fail "base64 decode"
cmp -s decoded.bin '数据 文件.bin' || fail "base64 decode to standard output is not byte-exact"
win base64 decode < data.b64 > decoded2.bin 2>/dev/null
cmp -s decoded2.bin '数据 文件.bin' || fail "base64 decode from standard input"
win base64 encode '中文 名字.txt' > w.b64 2>/dev/null
"$linux_cli" base64 encode '中文 名字.txt' > l.b64
cmp -s w.b64 l.b64 || fail "base64 encode differs between the systems"

# Wipe: the file is gone and nothing is left beside it.
cp '中文 名字.txt' '要 擦除.txt'
win wipe --yes '要 擦除.txt' 2>/dev/null || fail "wipe"
[ ! -e '要 擦除.txt' ] || fail "wiped file still there"
ls -A | grep -q quorvane && fail "leftover temporary files: $(ls -A | grep quorvane)"

# --version names the fast paths.
win --version | grep -q '^aes: ' || fail "--version names no fast paths"

[ $failures -eq 0 ] && echo "cross-system checks passed"
[ $failures -eq 0 ]
