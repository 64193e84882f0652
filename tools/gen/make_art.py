#!/usr/bin/env python3
"""Draws the installer's artwork, byte for byte the same on every run.

    make_art.py OUTDIR

writes banner.bmp (80 x 413, 8 bits per pixel), folder.bmp and folder_selected.bmp (16 x 14,
8 bits per pixel, a closed yellow folder on white, the selected one lighter) and installer.ico
(32 x 32 and 16 x 16) into OUTDIR.
"""
import math
import struct
import sys
from pathlib import Path


def bmp8(width, height, palette, pixels):
    """An 8-bit bottom-up BMP file. pixels[y][x] are palette indexes, row 0 at the top."""
    assert len(palette) <= 256
    palette = list(palette) + [(0, 0, 0)] * (256 - len(palette))
    stride = (width + 3) & ~3
    rows = b"".join(bytes(pixels[y]) + b"\0" * (stride - width) for y in reversed(range(height)))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + colours + rows


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def banner():
    """A harbour at dusk: sky, a lighthouse with its beam, the sea and a quay, in 80 x 413."""
    width, height = 80, 413
    sky_top, sky_low = (18, 32, 74), (196, 120, 82)
    sea_top, sea_low = (22, 62, 96), (6, 20, 38)
    palette = [lerp(sky_top, sky_low, i / 127) for i in range(128)]   # 0..127 sky
    palette += [lerp(sea_top, sea_low, i / 63) for i in range(64)]    # 128..191 sea
    fixed = {"white": 192, "tower": 193, "stripe": 194, "light": 195, "quay": 196, "crest": 197, "beam": 198}
    palette += [(250, 250, 244), (226, 222, 210), (170, 38, 34), (255, 236, 150), (54, 48, 44),
                (150, 190, 214), (236, 206, 148)]
    horizon = 290
    pixels = [[0] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            if y < horizon:
                pixels[y][x] = min(127, y * 128 // horizon)
            else:
                pixels[y][x] = 128 + min(63, (y - horizon) * 64 // (height - horizon))
                if (x * 7 + y * 3) % 23 == 0 and (y // 6) % 2 == 0:
                    pixels[y][x] = fixed["crest"]
    # the beam, a soft wedge to the left of the lamp
    lamp_x, lamp_y = 52, 150
    for y in range(lamp_y - 14, lamp_y + 15):
        for x in range(0, lamp_x):
            if abs(y - lamp_y) <= (lamp_x - x) * 0.28 and (x + y) % 2 == 0:
                pixels[y][x] = fixed["beam"]
    # the lighthouse, narrowing upwards, with red stripes
    for y in range(lamp_y + 8, horizon + 6):
        half = 5 + (y - lamp_y) * 6 // (horizon - lamp_y)
        for x in range(lamp_x - half, lamp_x + half + 1):
            stripe = ((y - lamp_y) // 18) % 2 == 1
            pixels[y][x] = fixed["stripe"] if stripe else fixed["tower"]
    for y in range(lamp_y - 6, lamp_y + 8):
        for x in range(lamp_x - 5, lamp_x + 6):
            pixels[y][x] = fixed["light"]
    for y in range(lamp_y - 12, lamp_y - 6):
        half = (y - (lamp_y - 12)) + 1
        for x in range(lamp_x - half, lamp_x + half + 1):
            pixels[y][x] = fixed["stripe"]
    # the quay
    for y in range(horizon + 40, horizon + 52):
        for x in range(0, 46 - (y - horizon - 40)):
            pixels[y][x] = fixed["quay"]
    # stars
    for i in range(40):
        x = (i * 37 + 11) % width
        y = (i * 53 + 7) % 120
        pixels[y][x] = fixed["white"]
    return bmp8(width, height, palette, pixels)


FOLDER_SHAPE = [
    "................",
    "..######........",
    ".#aaaaaa#.......",
    ".#aaaaaaa######.",
    ".#bbbbbbbbbbbb#.",
    ".#bbbbbbbbbbbb#.",
    ".#bbbbbbbbbbbb#.",
    ".#bbbbbbbbbbbb#.",
    ".#bbbbbbbbbbbb#.",
    ".#bbbbbbbbbbbb#.",
    ".#cccccccccccc#.",
    ".##############.",
    "................",
    "................",
]


def folder(selected):
    if selected:
        colours = {".": (255, 255, 255), "#": (168, 128, 24), "a": (255, 244, 160), "b": (255, 236, 120),
                   "c": (250, 214, 84)}
    else:
        colours = {".": (255, 255, 255), "#": (120, 88, 8), "a": (236, 204, 96), "b": (224, 184, 48),
                   "c": (196, 152, 24)}
    keys = list(colours)
    palette = [colours[k] for k in keys]
    pixels = [[keys.index(ch) for ch in row] for row in FOLDER_SHAPE]
    return bmp8(16, 14, palette, pixels)


def icon_image(size):
    """A 32-bit icon image (BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask)."""
    rows = []
    centre = (size - 1) / 2
    for y in reversed(range(size)):
        row = b""
        for x in range(size):
            d = math.hypot(x - centre, y - centre) / (size / 2)
            if d > 0.98:
                row += b"\0\0\0\0"
                continue
            sea = y > size * 0.62
            r, g, b = (22, 62, 110) if sea else lerp((30, 44, 96), (214, 136, 88), y / size)
            tower = abs(x - size * 0.62) < size * 0.08 and size * 0.25 < y <= size * 0.66
            if tower:
                r, g, b = (236, 232, 220) if (int(y / (size / 8)) % 2) else (176, 40, 36)
            row += bytes((b, g, r, 255))
        rows.append(row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(b"".join(rows)) + len(mask), 0, 0, 0, 0)
    return header + b"".join(rows) + mask


def icon():
    images = [icon_image(32), icon_image(16)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in zip((32, 16), images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(images)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "banner.bmp").write_bytes(banner())
    (out / "folder.bmp").write_bytes(folder(False))
    (out / "folder_selected.bmp").write_bytes(folder(True))
    (out / "installer.ico").write_bytes(icon())


if __name__ == "__main__":
    main()
