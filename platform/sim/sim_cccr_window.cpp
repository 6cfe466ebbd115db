// The CCCR window of the simulated handheld: reservations at made-up addresses.

#include "platform/clock_hardware.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_processor.h"

namespace {

constexpr std::uintptr_t FIRST_RESERVATION = 0x00A00000;
constexpr std::uintptr_t RESERVATION_STRIDE = 0x10000;

} // namespace

CccrMapping mapCccrWindow() {
    const std::uintptr_t address =
        FIRST_RESERVATION + RESERVATION_STRIDE * simHandheld.cccrReservationsMade++;
    if (!simRecordCccrReservation(address)) {
        return CccrMapping{CccrWindow::None, false};
    }
    return CccrMapping{static_cast<CccrWindow>(address), simCopyCccrPage(address)};
}

void releaseCccrWindow(CccrWindow window) {
    simForgetCccrReservation(static_cast<std::uintptr_t>(window));
}
