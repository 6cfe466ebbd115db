// The clock hardware of the handheld itself (Windows CE on XScale). Built only
// for the device: the coprocessor instructions are in coprocessor_arm.s, the
// CCCR is reached through a 4-byte window copied from physical 0x41300000, and
// the fault guard is fault_guard_arm.s.

#include "platform/clock_hardware.h"
#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/live_counts.h"

// The routines of coprocessor_arm.s.
extern "C" {
DWORD readMainIdRegister();
DWORD readCacheTypeRegister();
DWORD readCclkcfgRegister();
void writeCclkcfgRegister(DWORD value);
}

namespace {

// The physical address 0x41300000 in the 256-byte units of PAGE_PHYSICAL.
constexpr DWORD CCCR_PHYSICAL_PAGE = 0x41300000 / 256;
constexpr DWORD CCCR_WINDOW_PROTECTION = PAGE_READWRITE | PAGE_NOCACHE | PAGE_PHYSICAL;
int reservations = 0;

volatile DWORD* registerAt(CccrWindow window) {
    return reinterpret_cast<volatile DWORD*>(static_cast<std::uintptr_t>(window));
}

} // namespace

std::uint32_t readMainId() {
    return readMainIdRegister();
}
std::uint32_t readCacheType() {
    return readCacheTypeRegister();
}
std::uint32_t readCclkcfg() {
    return readCclkcfgRegister();
}
void writeCclkcfg(std::uint32_t value) {
    writeCclkcfgRegister(value);
}
void setKernelMode(bool on) {
    SetKMode(on ? TRUE : FALSE);
}

CccrMapping mapCccrWindow() {
    // A failed reservation shows up as a failed copy into a null window.
    void* window = VirtualAlloc(nullptr, sizeof(DWORD), MEM_RESERVE, PAGE_NOACCESS);
    reservations += window != nullptr ? 1 : 0;
    const bool mapped = VirtualCopy(window, reinterpret_cast<LPVOID>(CCCR_PHYSICAL_PAGE),
                                    sizeof(DWORD), CCCR_WINDOW_PROTECTION) != FALSE;
    return CccrMapping{static_cast<CccrWindow>(reinterpret_cast<std::uintptr_t>(window)), mapped};
}

void releaseCccrWindow(CccrWindow window) {
    if (window != CccrWindow::None) {
        VirtualFree(reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)), 0, MEM_RELEASE);
        --reservations;
    }
}

std::uint32_t loadCccr(CccrWindow window) {
    return *registerAt(window);
}
void storeCccr(CccrWindow window, std::uint32_t image) {
    *registerAt(window) = image;
}

int liveCccrWindows() {
    return reservations;
}
