"""What the scenario's driver does to the user interface and reads of it."""

from emulator.system.dialogs import open_dialogs, press_ok as press_dialog_ok
from emulator.system.menus import menu_entries
from emulator.system.windows import post_message, post_quit as post_quit_message

__all__ = ["menu_entries", "open_dialogs", "post_message", "post_quit_message", "press_dialog_ok"]
