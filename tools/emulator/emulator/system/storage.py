"""The object store and the storage cards (note_prj.dll). A card search hands
out a handle of FindFirstFileW's kind, which FindClose ends; it takes the
cards inserted when it begins."""

import struct

from emulator.api import imported
from emulator.system import checks
from emulator.system.files import begin, step

FILE_ATTRIBUTE_DIRECTORY = 0x10
FILE_ATTRIBUTE_TEMPORARY = 0x100  # a storage card's folder
CARD_ATTRIBUTES = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY


@imported("coredll.dll", "GetStoreInformation")
def get_store_information(system, lpsi):
    checks.not_null("GetStoreInformation", "lpsi", lpsi)
    store = system.world.store
    system.mem.write(lpsi, struct.pack("<II", store.total, store.free))
    return 1


@imported("note_prj.dll", "FindFirstFlashCard")
def find_first_flash_card(system, lpFindFlashData):
    checks.not_null("FindFirstFlashCard", "lpFindFlashData", lpFindFlashData)
    return begin(system, [(name, CARD_ATTRIBUTES) for name in system.world.cards], lpFindFlashData)


@imported("note_prj.dll", "FindNextFlashCard")
def find_next_flash_card(system, hFlashCard, lpFindFlashData):
    return step(system, "FindNextFlashCard", hFlashCard, lpFindFlashData)
