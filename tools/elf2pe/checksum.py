"""The PE image checksum: the file as 16-bit little-endian words, added with
the carry folded back in, the CheckSum field itself counted as zero, plus
the file's length."""

import array
import sys


def pe_checksum(image: bytes, checksum_offset: int) -> int:
    data = bytearray(image)
    data[checksum_offset:checksum_offset + 4] = bytes(4)
    if len(data) % 2:
        data.append(0)
    words = array.array("H", bytes(data))
    if sys.byteorder == "big":
        words.byteswap()
    total = sum(words)
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF
