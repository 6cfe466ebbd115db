"""The program's icon from its resources: the RT_GROUP_ICON directory names an
RT_ICON image of each size; each image is a BITMAPINFOHEADER (height counting
the XOR and the AND bitmaps), a palette, the colour rows and the mask rows,
both bottom-up and padded to 32 bits."""

import struct

from emulator.errors import EmulationError
from emulator.pixels import OPAQUE, TRANSPARENT, packed_value

GROUP_HEADER = struct.Struct("<HHH")             # reserved, type (1: icon), count
GROUP_ENTRY = struct.Struct("<BBBBHHIH")         # width, height, colours, reserved, planes, bits, bytes, id
INFO_HEADER = struct.Struct("<IiiHHIIiiII")
ICON_TYPE = 1
BI_RGB = 0
PALETTE_DEPTHS = (1, 4, 8)


def icon_id_of_size(group, size):
    """The RT_ICON id of the group's size x size image, or None."""
    reserved, kind, count = GROUP_HEADER.unpack_from(group, 0)
    if reserved != 0 or kind != ICON_TYPE:
        raise EmulationError(f"an icon group of type {kind} is not an icon directory")
    for index in range(count):
        width, height, *_, icon_id = GROUP_ENTRY.unpack_from(group, GROUP_HEADER.size + index * GROUP_ENTRY.size)
        if (width or 256) == size and (height or 256) == size:
            return icon_id
    return None


def _stride(width, bits_per_pixel):
    return (width * bits_per_pixel + 31) // 32 * 4


def decode_icon_image(image, size):
    """The image's pixels, top row first, as 0xAARRGGBB."""
    (header_size, width, height, planes, depth, compression,
     _, _, _, colours_used, _) = INFO_HEADER.unpack_from(image, 0)
    if (width, height, planes, compression) != (size, 2 * size, 1, BI_RGB):
        raise EmulationError(f"the icon image is {width}x{height}, {planes} planes, compression "
                             f"{compression}; a plain {size}x{2 * size} one was expected")
    if depth not in PALETTE_DEPTHS:
        raise EmulationError(f"icon images of {depth} bits a pixel are not modelled")
    entries = colours_used or 1 << depth
    palette = [OPAQUE | (struct.unpack_from("<I", image, header_size + 4 * i)[0] & 0xFFFFFF)
               for i in range(entries)]
    colour_at = header_size + 4 * entries
    colour_stride, mask_stride = _stride(size, depth), _stride(size, 1)
    mask_at = colour_at + colour_stride * size
    if mask_at + mask_stride * size > len(image):
        raise EmulationError("the icon image ends before its mask does")
    pixels = []
    for y in range(size):
        row = size - 1 - y
        colours = image[colour_at + row * colour_stride :]
        mask = image[mask_at + row * mask_stride :]
        for x in range(size):
            index = packed_value(colours, x, depth)
            if index >= entries:
                raise EmulationError(f"icon pixel {x},{y} names palette entry {index} of {entries}")
            pixels.append(TRANSPARENT if packed_value(mask, x, 1) else palette[index])
    return pixels
