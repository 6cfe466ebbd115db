"""Bitmaps and icons. An icon keeps its pixels (0xAARRGGBB, top row first) from
when it was made, so the bitmaps it was made of may go at once. A 4-bit bitmap
made by CreateBitmap takes the system's 16-colour palette; a 1-bit one is
black (0) and white (1); rows are padded to 16 bits, top row first."""

import struct
from dataclasses import dataclass

from emulator import resources
from emulator.api import imported, to_signed
from emulator.errors import ApiMisuse, EmulationError
from emulator.icon_resource import decode_icon_image, icon_id_of_size
from emulator.pixels import OPAQUE, TRANSPARENT, packed_value
from emulator.system import checks
from emulator.system.resources import resource_bytes, resource_id

IMAGE_ICON = 1
PALETTE_16 = (0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
              0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF)
BITMAP_DEPTHS = (1, 4)
ICONINFO = struct.Struct("<IIIII")  # fIcon, xHotspot, yHotspot, hbmMask, hbmColor


@dataclass
class Bitmap:
    width: int
    height: int
    depth: int
    bits: bytes

    def value(self, x, y):
        stride = (self.width * self.depth + 15) // 16 * 2
        return packed_value(self.bits[y * stride :], x, self.depth)

    def colour(self, x, y):
        index = self.value(x, y)
        return OPAQUE | PALETTE_16[index if self.depth == 4 else 15 * index]


@dataclass
class Icon:
    size: int
    argb: list


def icon_of(system, function, argument, handle):
    return checks.live(system, function, argument, handle, "icon")


@imported("coredll.dll", "CreateBitmap")
def create_bitmap(system, nWidth, nHeight, cPlanes, cBitsPerPel, lpvBits):
    width, height = to_signed(nWidth), to_signed(nHeight)
    if width <= 0 or height <= 0 or cPlanes != 1:
        raise ApiMisuse(f"CreateBitmap: a {width}x{height} bitmap of {cPlanes} planes")
    if cBitsPerPel not in BITMAP_DEPTHS:
        raise EmulationError(f"CreateBitmap: bitmaps of {cBitsPerPel} bits a pixel are not modelled")
    size = (width * cBitsPerPel + 15) // 16 * 2 * height
    bits = bytes(size) if lpvBits == 0 else system.mem.read(lpvBits, size)
    return system.handles.new("bitmap", Bitmap(width, height, cBitsPerPel, bits))


@imported("coredll.dll", "DeleteObject")
def delete_object(system, hObject):
    checks.live(system, "DeleteObject", "hObject", hObject, "bitmap")
    system.handles.close(hObject, "bitmap")
    return 1


@imported("coredll.dll", "CreateIconIndirect")
def create_icon_indirect(system, piconinfo):
    checks.not_null("CreateIconIndirect", "piconinfo", piconinfo)
    is_icon, _, _, mask_handle, colour_handle = ICONINFO.unpack(system.mem.read(piconinfo, ICONINFO.size))
    if not is_icon or colour_handle == 0:
        raise EmulationError("CreateIconIndirect: cursors and monochrome icons are not modelled")
    mask = checks.live(system, "CreateIconIndirect", "piconinfo->hbmMask", mask_handle, "bitmap")
    colour = checks.live(system, "CreateIconIndirect", "piconinfo->hbmColor", colour_handle, "bitmap")
    if (mask.width, mask.height, mask.depth) != (colour.width, colour.height, 1):
        raise ApiMisuse(f"CreateIconIndirect: the mask is {mask.width}x{mask.height} of {mask.depth} bits, "
                        f"the colour bitmap {colour.width}x{colour.height}")
    if colour.width != colour.height:
        raise EmulationError("CreateIconIndirect: icons that are not square are not modelled")
    size = colour.width
    argb = [TRANSPARENT if mask.value(x, y) else colour.colour(x, y) for y in range(size) for x in range(size)]
    return system.handles.new("icon", Icon(size, argb))


@imported("coredll.dll", "DestroyIcon")
def destroy_icon(system, hIcon):
    icon_of(system, "DestroyIcon", "hIcon", hIcon)
    system.handles.close(hIcon, "icon")
    return 1


@imported("coredll.dll", "LoadImageW")
def load_image(system, hinst, lpszName, uType, cxDesired, cyDesired, fuLoad):
    """The image of the requested size from the icon group; scaling another
    size, file images and other types are not modelled."""
    if uType != IMAGE_ICON or fuLoad != 0:
        raise EmulationError(f"LoadImageW: type {uType} with flags 0x{fuLoad:08X} is not modelled")
    if cxDesired != cyDesired or cxDesired == 0:
        raise EmulationError(f"LoadImageW: a {cxDesired}x{cyDesired} icon is not modelled")
    name = resource_id(system, "LoadImageW", "lpszName", lpszName)
    group = resource_bytes(system, "LoadImageW", hinst, name, resources.RT_GROUP_ICON)
    if group is None:
        return 0
    icon_id = icon_id_of_size(group, cxDesired)
    if icon_id is None:
        raise EmulationError(f"LoadImageW: icon {name} has no {cxDesired}x{cxDesired} image; scaling is not modelled")
    image = resource_bytes(system, "LoadImageW", hinst, icon_id, resources.RT_ICON)
    if image is None:
        raise EmulationError(f"LoadImageW: icon group {name} names image {icon_id}, which the image lacks")
    return system.handles.new("icon", Icon(cxDesired, decode_icon_image(image, cxDesired)))
