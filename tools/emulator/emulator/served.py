"""Every module of imported functions the harness serves; importing this
registers them all."""

from emulator import clock_hardware  # noqa: F401
from emulator.system import (crt, dialogs, display, files, graphics, menus,  # noqa: F401
                             message_boxes, mutex, notification_icon, power_memory, processes,
                             registry, resources, storage, system_info, windows)
