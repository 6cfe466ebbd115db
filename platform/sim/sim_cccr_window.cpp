// The CCCR window of the simulated handheld: reservations at made-up addresses.

#include "platform/clock_hardware.h"
#include "platform/sim/sim_processor.h"

namespace {

constexpr std::uintptr_t FIRST_RESERVATION = 0x00A00000;
constexpr std::uintptr_t RESERVATION_STRIDE = 0x10000;
std::uintptr_t nextReservation = FIRST_RESERVATION;

} // namespace

CccrMapping mapCccrWindow() {
    const std::uintptr_t address = nextReservation;
    nextReservation += RESERVATION_STRIDE;
    if (!simRecordCccrReservation(address)) {
        return CccrMapping{CccrWindow::None, false};
    }
    return CccrMapping{static_cast<CccrWindow>(address), simCopyCccrPage(address)};
}

void releaseCccrWindow(CccrWindow window) {
    simForgetCccrReservation(static_cast<std::uintptr_t>(window));
}
