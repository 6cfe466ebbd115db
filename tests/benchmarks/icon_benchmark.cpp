// How long the tray icon takes to draw a reading, and to find that it need not.

#include "core/app_state.h"
#include "platform/sim/sim_handheld.h"
#include "trayicon/icon_renderer.h"
#include "trayicon/reading_icon.h"
#include "trayicon/tray_icon.h"

#include <benchmark/benchmark.h>

namespace {

void composeAtSize(benchmark::State& state, int size) {
    std::int32_t reading = 0;
    for (auto _ : state) {
        IconImage image = composeReadingIcon(reading, 11, 12, size);
        benchmark::DoNotOptimize(image);
        reading = (reading + 7) % 2000;
    }
}

void BM_ComposeSmallIcon(benchmark::State& state) {
    composeAtSize(state, SMALL_ICON_SIZE);
}
void BM_ComposeLargeIcon(benchmark::State& state) {
    composeAtSize(state, LARGE_ICON_SIZE);
}

// A handheld just started, its icon showing the processor load.
void showLoadIcon() {
    appState = AppState{};
    resetSimHandheld(SimProcessorKind::Pxa270);
    appState.iconView = static_cast<std::uint32_t>(IconView::Load);
    addTrayIcon(static_cast<WindowHandle>(1));
}

void BM_RefreshUnchangedReading(benchmark::State& state) {
    showLoadIcon();
    for (auto _ : state) {
        refreshTrayIcon();
    }
}

void BM_RefreshChangingReading(benchmark::State& state) {
    showLoadIcon();
    for (auto _ : state) {
        appState.cpuLoad = (appState.cpuLoad + 1) % 101;
        refreshTrayIcon();
    }
}

} // namespace

BENCHMARK(BM_ComposeSmallIcon);
BENCHMARK(BM_ComposeLargeIcon);
BENCHMARK(BM_RefreshUnchangedReading);
BENCHMARK(BM_RefreshChangingReading);
BENCHMARK_MAIN();
