// Writes the tray icon as PNG files, enlarged eight times with every pixel a
// square, so that a person can look at the art and the readings:
//     tavil-icon-preview OUTPUT_DIR [READING...]
// writes the application icon at 16, 32 and 64 pixels, and each reading as the
// notification area of the simulated handheld shows it at 16 and 32 pixels.

#include "core/app_state.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_handheld.h"
#include "tests/tools/png_writer.h"
#include "trayicon/tray_icon.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int SCALE = 8;
constexpr int APPLICATION_ICON_SIZES[] = {16, 32, 64};

std::vector<std::uint32_t> enlarged(const SimIconPixels& icon) {
    const int side = icon.size * SCALE;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(side) * side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            pixels[static_cast<std::size_t>(y) * side + x] =
                icon.argb[(y / SCALE) * icon.size + x / SCALE];
        }
    }
    return pixels;
}

bool writeIcon(const SimIconPixels& icon, const std::string& path) {
    if (!writePng(path.c_str(), icon.size * SCALE, icon.size * SCALE, enlarged(icon).data())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

// The icon that the notification area shows for a processor load of `reading`.
SimIconPixels readingIcon(std::int32_t reading, std::uint8_t iconScale) {
    resetSimHandheld(SimProcessorKind::Pxa270);
    appState = AppState{};
    appState.clockFamily = ClockFamily::Pxa27x;
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    appState.iconScale = iconScale;
    appState.cpuLoad = reading;
    addTrayIcon(static_cast<WindowHandle>(1));
    return simNotificationArea.shown;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavil-icon-preview OUTPUT_DIR [READING...]\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const int size : APPLICATION_ICON_SIZES) {
        SimIconPixels icon{};
        if (!decodeIcoImage(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE_SIZE, size, icon)) {
            std::fprintf(stderr, "the application icon has no readable %dx%d image\n", size, size);
            return 1;
        }
        if (!writeIcon(icon, folder + "/tavil-" + std::to_string(size) + ".png")) {
            return 1;
        }
    }
    for (int i = 2; i < argc; ++i) {
        const auto reading = static_cast<std::int32_t>(std::strtol(argv[i], nullptr, 10));
        for (const std::uint8_t scale : {1, 2}) {
            const SimIconPixels icon = readingIcon(reading, scale);
            const std::string name =
                "/reading_" + std::to_string(reading) + "-" + std::to_string(icon.size) + ".png";
            if (!writeIcon(icon, folder + name)) {
                return 1;
            }
        }
    }
    return 0;
}
