// A desktop PC has no CCCR: the window is a real reservation of address space,
// and the physical copy into it attaches the simulated processor's register.

#include "platform/clock_hardware.h"
#include "platform/sim/sim_processor.h"

#include <windows.h>

CccrMapping mapCccrWindow() {
    void* reservation = VirtualAlloc(nullptr, sizeof(std::uint32_t), MEM_RESERVE, PAGE_NOACCESS);
    const auto address = reinterpret_cast<std::uintptr_t>(reservation);
    if (reservation == nullptr) {
        return CccrMapping{CccrWindow::None, false};
    }
    if (!simRecordCccrReservation(address)) {
        VirtualFree(reservation, 0, MEM_RELEASE);
        return CccrMapping{CccrWindow::None, false};
    }
    return CccrMapping{static_cast<CccrWindow>(address), simCopyCccrPage(address)};
}

void releaseCccrWindow(CccrWindow window) {
    if (window == CccrWindow::None) {
        return;
    }
    const auto address = static_cast<std::uintptr_t>(window);
    simForgetCccrReservation(address);
    VirtualFree(reinterpret_cast<void*>(address), 0, MEM_RELEASE);
}

int liveCccrWindows() {
    return simLiveCccrWindows();
}
