"""Icon pixels as the trace shows them: square, row by row from the top, each
0xAARRGGBB, transparent pixels (AND mask 1) all zero, the rest opaque."""

OPAQUE = 0xFF000000
TRANSPARENT = 0x00000000


def packed_value(row, x, bits_per_pixel):
    """Pixel x of a packed row of 1, 4 or 8 bits a pixel, the leftmost in the
    highest bits."""
    bit = x * bits_per_pixel
    shift = 8 - bits_per_pixel - bit % 8
    return (row[bit // 8] >> shift) & ((1 << bits_per_pixel) - 1)


def pixel_rows(size, argb):
    """The trace's lines for an icon: `size` rows of `size` AARRGGBB words."""
    return [" ".join(f"{pixel:08X}" for pixel in argb[y * size : (y + 1) * size])
            for y in range(size)]
