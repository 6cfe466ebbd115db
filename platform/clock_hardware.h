#pragma once
// The processor's clock hardware: identification registers of coprocessor 15,
// CCLKCFG of coprocessor 14, the kernel-mode switch and the 4-byte window onto
// the CCCR at physical 0x41300000.
//
// Any coprocessor access and the CCCR store may raise a processor fault. Run such
// steps through runFaultGuarded: a fault inside abandons the step at once and
// makes runFaultGuarded return false, as structured exception handling does on
// the device.

#include <cstdint>

std::uint32_t readMainId();
std::uint32_t readCacheType();
std::uint32_t readCclkcfg();
void writeCclkcfg(std::uint32_t value);
void setKernelMode(bool on);
void errorBeep();

// The virtual address reserved for the window; None when even the reservation failed.
enum class CccrWindow : std::uintptr_t { None = 0 };

// A reservation is made first and the physical page copied into it second; when
// the copy fails the reservation still exists and must be released.
struct CccrMapping {
    CccrWindow window;
    bool mapped;
};

CccrMapping mapCccrWindow();
void releaseCccrWindow(CccrWindow window);
std::uint32_t loadCccr(CccrWindow window);
void storeCccr(CccrWindow window, std::uint32_t image);

using GuardedStep = void (*)(void* context);

// Runs step(context); false when a processor fault was caught inside it.
bool runFaultGuarded(GuardedStep step, void* context);

template <typename Step> bool underFaultGuard(Step& step) {
    return runFaultGuarded([](void* context) { (*static_cast<Step*>(context))(); }, &step);
}
