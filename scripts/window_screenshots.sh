#!/usr/bin/env bash
# Screenshots of the Windows window's four tabs under Wine, for a person to
# check that no text is cut off: build-windows/screenshots/<lang>-<dpi>/tab<N>.png
# in Chinese and English, at 96 dots per inch and at each density given
# (for example `scripts/window_screenshots.sh 144 192`).
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

# No window manager on the virtual display: Wine places its windows itself
# (and does not wait for one to hide them).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

# The screen density Wine gives its programs; the window tests expect 96.
set_dpi() {
    for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    done
    # The session ends here: the next one reads the density anew, and the
    # window must open in one that has a display.
    wineserver -w
}
trap 'set_dpi 96' EXIT

rm -rf screenshots
for dpi in 96 "$@"; do
    set_dpi "$dpi"
    for lang in zh en; do
        folder="screenshots/$lang-$dpi"
        mkdir -p "$folder"
        # Wine's drive Z: is the root of this machine.
        QUORVANE_SCREENSHOTS="Z:${PWD//\//\\}\\${folder//\//\\}" QUORVANE_SCREENSHOTS_LANG=$lang \
            xvfb-run -a -s '-screen 0 1920x1200x24' wine tests/app_quorvane_dlg_win_test.exe \
            --gtest_filter='*OpensWithFourTabs*' >/dev/null
    done
done

# The test writes 24-bit BMP files; PNG is what viewers and reviews take.
python3 - screenshots/*/tab*.bmp <<'PY'
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
rm -f screenshots/*/tab*.bmp
ls "$PWD"/screenshots/*/tab*.png
