#!/usr/bin/env python3
"""Draws Tavil's application icon, a processor chip, and writes it as an .ico.

The icon holds three 16-colour images (16x16, 32x32 and 64x64) in the standard
Windows palette, each a BITMAPINFOHEADER DIB: a 4-bit colour bitmap followed by
a 1-bit AND mask that makes everything outside the chip transparent.

Usage: make-application-icon.py [output.ico]   (default: resources/tavil.ico)
"""

import pathlib
import struct
import sys

# The standard Windows 16-colour palette as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, OLIVE, SILVER, GREY, YELLOW, WHITE = 0, 3, 7, 8, 11, 15

# Where the parts of the chip lie at each size, in pixels from the top-left
# corner; every range is [first, last]. Pins run along each side at the same
# positions, from pin_reach to the body. Outlines and bevels are `edge` wide.
LAYOUTS = {
    16: dict(edge=1, body=(3, 12), pin_reach=1, pin_width=2, pins=(4, 7, 10),
             die=(6, 9), pin_one_mark=None),
    32: dict(edge=1, body=(6, 25), pin_reach=2, pin_width=2, pins=(7, 11, 15, 19, 23),
             die=(11, 20), pin_one_mark=(8, 9)),
    64: dict(edge=2, body=(12, 51), pin_reach=4, pin_width=4, pins=(14, 22, 30, 38, 46),
             die=(22, 41), pin_one_mark=(17, 20)),
}


def blank_canvas(size):
    """A size x size grid of palette indices; None is a transparent pixel."""
    return [[None] * size for _ in range(size)]


def fill(canvas, left, top, right, bottom, colour):
    """Fills the rectangle [left, right] x [top, bottom]."""
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            canvas[y][x] = colour


def draw_bevelled_square(canvas, first, last, edge, colours):
    """A square of (face, light, shade) colours: its top and left edges light,
    its bottom and right edges shaded, each edge pixels wide."""
    face, light, shade = colours
    fill(canvas, first, first, last, last, shade)
    fill(canvas, first, first, last - edge, last - edge, light)
    fill(canvas, first + edge, first + edge, last - edge, last - edge, face)


def draw_pins(canvas, layout):
    """Draws the pins on all four sides: silver, shaded on the far half."""
    size = len(canvas)
    body_first, body_last = layout["body"]
    reach, width = layout["pin_reach"], layout["pin_width"]
    far = size - 1 - reach
    half = width // 2
    for start in layout["pins"]:
        end = start + width - 1
        for first, last in ((reach, body_first - 1), (body_last + 1, far)):
            fill(canvas, start, first, end, last, SILVER)  # top and bottom
            fill(canvas, start + half, first, end, last, GREY)
            fill(canvas, first, start, last, end, SILVER)  # left and right
            fill(canvas, first, start + half, last, end, GREY)


def draw_body(canvas, layout):
    """The chip's package: a black outline round a bevelled grey face."""
    first, last = layout["body"]
    edge = layout["edge"]
    fill(canvas, first, first, last, last, BLACK)
    draw_bevelled_square(canvas, first + edge, last - edge, edge, (GREY, SILVER, GREY))


def draw_die(canvas, layout):
    """The gold die in the middle of the package."""
    first, last = layout["die"]
    draw_bevelled_square(canvas, first, last, layout["edge"], (YELLOW, WHITE, OLIVE))


def draw_pin_one_mark(canvas, layout):
    """A white dot in the corner where pin 1 is, on the sizes that have room."""
    if layout["pin_one_mark"] is None:
        return
    first, last = layout["pin_one_mark"]
    fill(canvas, first, first, last, last, WHITE)


def draw_chip(size):
    """The whole chip at one size, drawn back to front."""
    layout = LAYOUTS[size]
    canvas = blank_canvas(size)
    draw_pins(canvas, layout)
    draw_body(canvas, layout)
    draw_die(canvas, layout)
    draw_pin_one_mark(canvas, layout)
    return canvas


def padded_row(packed):
    """One bitmap row of packed bytes, padded to a multiple of 4 bytes."""
    return bytes(packed) + bytes(-len(packed) % 4)


def colour_rows(canvas):
    """The 4-bit colour bitmap, bottom row first; transparent pixels are black."""
    rows = []
    for line in reversed(canvas):
        indices = [BLACK if pixel is None else pixel for pixel in line]
        packed = [(indices[x] << 4) | indices[x + 1] for x in range(0, len(indices), 2)]
        rows.append(padded_row(packed))
    return b"".join(rows)


def mask_rows(canvas):
    """The 1-bit AND mask, bottom row first; 1 marks a transparent pixel."""
    rows = []
    for line in reversed(canvas):
        bits = [1 if pixel is None else 0 for pixel in line]
        packed = [sum(bit << (7 - i) for i, bit in enumerate(bits[x:x + 8]))
                  for x in range(0, len(bits), 8)]
        rows.append(padded_row(packed))
    return b"".join(rows)


def dib_image(canvas):
    """One icon image: BITMAPINFOHEADER, palette, colour bitmap and AND mask."""
    size = len(canvas)
    pixels = colour_rows(canvas) + mask_rows(canvas)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(pixels),
                         0, 0, len(PALETTE), 0)
    palette = b"".join(struct.pack("<BBBB", blue, green, red, 0)
                       for red, green, blue in PALETTE)
    return header + palette + pixels


def ico_file(images):
    """The .ico: ICONDIR, one ICONDIRENTRY per image, then the images."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, bodies = b"", b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        bodies += image
        offset += len(image)
    return directory + entries + bodies


def main():
    default = pathlib.Path(__file__).resolve().parent.parent / "resources" / "tavil.ico"
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    images = [(size, dib_image(draw_chip(size))) for size in sorted(LAYOUTS)]
    output.write_bytes(ico_file(images))


if __name__ == "__main__":
    main()
