#!/usr/bin/env bash
# Screenshots of the Windows window's four tabs under Wine, for a person to
# check that no text is cut off: build-windows/screenshots/tab<N>.png.
# Needs `scripts/build.sh windows` first, and xvfb-run. Chinese texts need a
# font with Chinese glyphs; the Wine prefix of the window tests links one to
# the dialog fonts (Noto Sans CJK, from fonts-noto-cjk).
set -euo pipefail
cd "$(dirname "$0")/../build-windows"

export WINEPREFIX="$PWD/wine-prefix-window" WINEDEBUG=-all
wineboot --init >/dev/null 2>&1 || true
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
    wine reg add "$link" /v "$face" /t REG_MULTI_SZ \
        /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK SC' /f >/dev/null 2>&1
done
# The session ends here: the window must open in one that has a display.
wineserver -w

mkdir -p screenshots
# Wine's drive Z: is the root of this machine.
QUORVANE_SCREENSHOTS="Z:${PWD//\//\\}\\screenshots" \
    xvfb-run -a -s '-screen 0 1280x800x24' wine tests/app_quorvane_dlg_win_test.exe \
    --gtest_filter='*OpensWithFourTabs*' >/dev/null

# The test writes 24-bit BMP files; PNG is what viewers and reviews take.
python3 - screenshots/tab*.bmp <<'PY'
import struct, sys, zlib
for name in sys.argv[1:]:
    data = open(name, "rb").read()
    offset = struct.unpack("<I", data[10:14])[0]
    width, height = struct.unpack("<ii", data[18:26])
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):  # bottom-up
        line = data[offset + (height - 1 - y) * stride:][:width * 3]
        rows.append(b"\0" + bytes(c for x in range(width) for c in line[x * 3:x * 3 + 3][::-1]))
    chunk = lambda kind, body: (struct.pack(">I", len(body)) + kind + body +
                                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(b"".join(rows))) + chunk(b"IEND", b""))
    open(name[:-4] + ".png", "wb").write(png)
PY
rm -f screenshots/tab*.bmp
ls "$PWD"/screenshots/tab*.png
