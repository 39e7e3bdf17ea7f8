#!/usr/bin/env python3
"""Makes the Windows program icon, app/resources/icons/quorvane.ico, from the
PNG icons beside it, and keeps it in step with them.

Sizes below 256 become 32-bit bitmaps with an alpha channel and a mask, which
every part of Windows draws; 256 stays a PNG (with 8 bits per channel), as
Windows expects for that size. The build only embeds the .ico, so it needs
neither this script nor Python.

  scripts/make_windows_icon.py          rewrite the .ico
  scripts/make_windows_icon.py --check  status 1 when the .ico differs from
                                        what the PNG icons give
"""
import pathlib
import struct
import sys
import zlib

ICONS = pathlib.Path(__file__).resolve().parent.parent / "app" / "resources" / "icons"
SIZES = [16, 24, 32, 48, 64, 128, 256]
OUTPUT = ICONS / "quorvane.ico"


def png_chunks(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos = 8
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_rgba(path):
    """Rows of 8-bit RGBA pixels (bytes) of a non-interlaced RGBA PNG."""
    header, compressed = None, b""
    for kind, body in png_chunks(path.read_bytes()):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
    width, height, depth, colour, _, _, interlace = header
    if colour != 6 or depth not in (8, 16) or interlace:
        raise ValueError(f"{path.name}: only non-interlaced RGBA PNGs are handled")
    step = 4 * depth // 8
    stride = width * step
    raw = zlib.decompress(compressed)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for i in range(stride):
            a = row[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            row[i] = (row[i] + (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) & 0xFF
        previous = row
        if depth == 16:
            row = bytes((((row[i] << 8) | row[i + 1]) * 255 + 32767) // 65535
                        for i in range(0, stride, 2))
        rows.append(bytes(row))
    return width, height, rows


def png_image(width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    pixels = zlib.compress(b"".join(b"\0" + row for row in rows), 9)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", pixels)
            + chunk(b"IEND", b""))


def bitmap_image(width, height, rows):
    colour, mask = b"", b""
    mask_stride = (width + 31) // 32 * 4
    for row in reversed(rows):  # bitmaps go bottom-up
        colour += b"".join(bytes((row[i + 2], row[i + 1], row[i], row[i + 3]))
                           for i in range(0, len(row), 4))
        bits = bytearray(mask_stride)
        for x in range(width):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def icon_file():
    images = []
    for size in SIZES:
        width, height, rows = read_rgba(ICONS / f"quorvane-{size}.png")
        if (width, height) != (size, size):
            raise ValueError(f"quorvane-{size}.png is {width}x{height}")
        make = png_image if size >= 256 else bitmap_image
        images.append((size, make(width, height, rows)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return data + b"".join(image for _, image in images)


def main():
    data = icon_file()
    if "--check" in sys.argv[1:]:
        if not OUTPUT.exists() or OUTPUT.read_bytes() != data:
            print(f"{OUTPUT.name} is not made from the PNG icons: run {sys.argv[0]}")
            return 1
        return 0
    OUTPUT.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
