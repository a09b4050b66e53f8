#!/usr/bin/env python3
"""Builds the log window's category icons from the pixel art below.

Writes resources/log_icons.bmp (a 128x16 strip of eight 16x16 icons, 4 bits per pixel, the
standard 16-colour palette; white is the image list's transparent colour) and
docs/log_icons.png (the strip enlarged, for the README). Same input, same bytes:

    python3 scripts/make_log_icons.py
"""
import os
import struct
import sys
import zlib

# The standard 16-colour palette, in its usual order, and the letter each colour has below.
PALETTE = [
    ("K", (0, 0, 0)),        # black
    ("M", (128, 0, 0)),      # maroon
    ("G", (0, 128, 0)),      # green
    ("O", (128, 128, 0)),    # olive
    ("N", (0, 0, 128)),      # navy
    ("P", (128, 0, 128)),    # purple
    ("T", (0, 128, 128)),    # teal
    ("L", (192, 192, 192)),  # light grey
    ("D", (128, 128, 128)),  # dark grey
    ("R", (255, 0, 0)),      # red
    ("E", (0, 255, 0)),      # lime
    ("Y", (255, 255, 0)),    # yellow
    ("B", (0, 0, 255)),      # blue
    ("F", (255, 0, 255)),    # magenta
    ("C", (0, 255, 255)),    # cyan
    (".", (255, 255, 255)),  # white: transparent in the image list
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}

# In image-index order: the row's image index is the line's category.
ICONS = [
    ("arrow", [  # 0: no category
        "................",
        "................",
        "................",
        ".....LL.........",
        ".....LKL........",
        ".....LKKL.......",
        ".....LKKKL......",
        ".....LKKKKL.....",
        ".....LKKKKL.....",
        ".....LKKKL......",
        ".....LKKL.......",
        ".....LKL........",
        ".....LL.........",
        "................",
        "................",
        "................",
    ]),
    ("warning", [  # 1
        "LLLLLLLLLLLLLLLL",
        "LCCCCCCCCCCCCCCL",
        "LCCCCCCCCCCCCCCL",
        "LCYYKCCCCCCYYKCL",
        "LCYYKCCCCCCYYKCL",
        "LCYYKCCCCCCYYKCL",
        "LCYYKCCYYKCYYKCL",
        "LCYYKCCYYKCYYKCL",
        "LCYYKCYYYYKYYKCL",
        "LCYYKYYKYYKYYKCL",
        "LCYYYYKCCYYYYKCL",
        "LCYYYKKCCCYYYKCL",
        "LCYYKKCCCCCYYKCL",
        "LCCKKCCCCCCCKKCL",
        "LCCCCCCCCCCCCCCL",
        "LLLLLLLLLLLLLLLL",
    ]),
    ("error", [  # 2
        "LLLLLLLLLLLLLLLL",
        "LRRRRRRRRRRRRRRL",
        "LRRRRRRYYRRRRRRL",
        "LRRRRRYYYYRRRRRL",
        "LRRRRRYYYYRRRRRL",
        "LRRRRRYYYYRRRRRL",
        "LRRRRRYYYYRRRRRL",
        "LRRRRRRYYRRRRRRL",
        "LRRRRRRYYRRRRRRL",
        "LRRRRRRYYRRRRRRL",
        "LRRRRRRRRRRRRRRL",
        "LRRRRRRYYRRRRRRL",
        "LRRRRRRYYRRRRRRL",
        "LRRRRRRRRRRRRRRL",
        "LRRRRRRRRRRRRRRL",
        "LLLLLLLLLLLLLLLL",
    ]),
    ("event", [  # 3
        "..KKKK..........",
        ".KCCCCK.FFFFF...",
        "KCCCCCCK.....F..",
        "KCCCCCCK.....F..",
        "KCCCCCCK.....F..",
        "KCCCCCCK...FFFFF",
        ".KCCCCK.....FFF.",
        "..KKKK.......F..",
        "..F.............",
        ".FFF.....KKKK...",
        "FFFFF...KGGGGK..",
        "..F....KGGGGGGK.",
        "..F....KGGGGGGK.",
        "..F....KGGGGGGK.",
        "...FFFFKGGGGGGK.",
        "........KGGGGK..",
    ]),
    ("distrib", [  # 4
        "LLLLLLLLLLLLLLLL",
        "L..............L",
        "L..............L",
        "L..............L",
        "L..............L",
        "L...B......B...L",
        "L..BB......BB..L",
        "L.BBBTTTTTTBBB.L",
        "L.BBBTTTTTTBBB.L",
        "L..BB......BB..L",
        "L...B......B...L",
        "L..............L",
        "L..............L",
        "L..............L",
        "L..............L",
        "LLLLLLLLLLLLLLLL",
    ]),
    ("sound", [  # 5
        "LLLLLLLLLLLLLLLL",
        "L..............L",
        "L.......KK.....L",
        "LLLLLLLLKKKLLLLL",
        "L.......K.KK...L",
        "L.......K..KK..L",
        "LLLLLLLLKLLLKLLL",
        "L.......K...K..L",
        "L.......K......L",
        "LLLLLLLLKLLLLLLL",
        "L....KKKK......L",
        "L...KKKKK......L",
        "LLLLKKKKKLLLLLLL",
        "L....KKK.......L",
        "L..............L",
        "LLLLLLLLLLLLLLLL",
    ]),
    ("tracking", [  # 6
        "LLLLLLLLLLLLLLLL",
        "L..............L",
        "L.........BB...L",
        "L........BBBB..L",
        "L........BBBB..L",
        "L.......D.BB...L",
        "L......D.......L",
        "L..............L",
        "L.....D........L",
        "L....D.........L",
        "L.KKK..........L",
        "L.KKK..........L",
        "L.KKK..........L",
        "L..............L",
        "L..............L",
        "LLLLLLLLLLLLLLLL",
    ]),
    ("profiler", [  # 7
        "LLLLLLLLLLLLLLLL",
        "LLYLLLLYLLLLLYLL",
        "LLLYLLLYLLLLYLLL",
        "LLLLYLKKKKLYLLLL",
        "LLLLLKK..KKLLLLL",
        "LYYYK...K..KYYYL",
        "LLLLK...K..KLLLL",
        "LLLK....K...KLLL",
        "LLLK....KKK.KLLL",
        "LLLK........KLLL",
        "LLLLK......KLLLL",
        "LYYYK......KYYYL",
        "LLLLLKK..KKLLLLL",
        "LLLLYLKKKKLYLLLL",
        "LLLYLLLYLLLLYLLL",
        "LLYLLLLYLLLLLYLL",
    ]),
]

SIZE = 16


def strip_pixels():
    """Rows top to bottom of the whole strip, as palette indices."""
    for name, art in ICONS:
        if len(art) != SIZE or any(len(row) != SIZE for row in art):
            sys.exit(f"{name}: every icon is {SIZE}x{SIZE}")
        for row in art:
            for letter in row:
                if letter not in INDEX:
                    sys.exit(f"{name}: unknown colour letter {letter!r}")
    return [[INDEX[letter] for _, art in ICONS for letter in art[y]] for y in range(SIZE)]


def bmp_bytes(pixels):
    width, height = len(pixels[0]), len(pixels)
    stride = (width * 4 + 31) // 32 * 4
    rows = []
    for row in reversed(pixels):  # bottom-up
        packed = bytes((row[x] << 4) | row[x + 1] for x in range(0, width, 2))
        rows.append(packed + b"\0" * (stride - len(packed)))
    image = b"".join(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(image), 2835, 2835, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    return header + info + palette + image


def png_bytes(pixels, scale, gap):
    """The icons enlarged `scale` times, `gap` grey pixels between them, as an RGB PNG."""
    colours = [rgb for _, rgb in PALETTE]
    count = len(ICONS)
    width = count * SIZE * scale + (count + 1) * gap
    height = SIZE * scale + 2 * gap
    background = (160, 160, 160)
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # no filter
        sy = (y - gap) // scale if gap <= y < gap + SIZE * scale else None
        for x in range(width):
            rgb = background
            if sy is not None:
                icon, within = divmod(x - gap, SIZE * scale + gap)
                if 0 <= icon < count and within < SIZE * scale:
                    rgb = colours[pixels[sy][icon * SIZE + within // scale]]
            raw.extend(rgb)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    pixels = strip_pixels()
    with open(os.path.join(root, "resources", "log_icons.bmp"), "wb") as out:
        out.write(bmp_bytes(pixels))
    os.makedirs(os.path.join(root, "docs"), exist_ok=True)
    with open(os.path.join(root, "docs", "log_icons.png"), "wb") as out:
        out.write(png_bytes(pixels, scale=8, gap=8))


if __name__ == "__main__":
    main()
