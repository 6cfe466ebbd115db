"""What a Windows image file is built for, from its PE/COFF file header: the
machine and whether it is a DLL. A cabinet for ARM handhelds carries only ARM
images."""

import struct

PE_OFFSET_FIELD = 0x3C
PE_SIGNATURE = b"PE\0\0"
COFF_HEADER = struct.Struct("<HHIIIHH")  # machine ... characteristics
IMAGE_FILE_DLL = 0x2000
ARM_MACHINES = {0x01C0: "ARM", 0x01C2: "ARM Thumb"}


def describe_problem(data, want_dll):
    """None when the bytes are an ARM image, a DLL exactly when `want_dll`;
    otherwise what is wrong."""
    if data[:2] != b"MZ":
        return "not a Windows image (no MZ header)"
    pe_offset = (struct.unpack_from("<I", data, PE_OFFSET_FIELD)[0]
                 if len(data) >= PE_OFFSET_FIELD + 4 else len(data))
    header_end = pe_offset + len(PE_SIGNATURE) + COFF_HEADER.size
    if header_end > len(data) or data[pe_offset:pe_offset + 4] != PE_SIGNATURE:
        return "not a PE image (no PE header where the MZ header points)"
    machine, *_, characteristics = COFF_HEADER.unpack_from(data, pe_offset + len(PE_SIGNATURE))
    if machine not in ARM_MACHINES:
        return f"built for machine {machine:#06x}, not ARM"
    is_dll = bool(characteristics & IMAGE_FILE_DLL)
    if is_dll != want_dll:
        return "a DLL, not a program" if is_dll else "a program, not a DLL"
    return None
