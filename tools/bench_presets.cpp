// bench_presets: what applying a preset costs. Each iteration loads the next
// bundled preset and applies it (Load_Plasma_Settings, Refresh_Plasma), as
// Presets > Open, the + key and the random-preset timer do, on the memory
// display: at 160 x 120 (the fuzz targets' screen, where the fixed costs
// show) and at 1024 x 768 (the time a random preset takes to appear).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/display.h"
#include "platform/ddraw.h"
#include "platform/window.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "shell/lifecycle.h"

#ifndef CALVORINE_DEMO_DIR
#error "CALVORINE_DEMO_DIR names the folder that holds the bundled Calvorine/"
#endif

namespace {

Window bench_window;
std::vector<std::string> presets;

bool Start(int width, int height) {
    Set_Windows_Directory(CALVORINE_DEMO_DIR);
    app.error_log_enabled = false;
    dd_config.desktop_width = width;
    dd_config.desktop_height = height;
    dd_config.desktop_bpp = 32;
    app.saver_mode = MODE_NONE;
    app.display_mode = DISPLAY_WINDOWED;
    app.system_width = app.screen_width = width;
    app.system_height = app.screen_height = height;
    app.system_bpp = app.screen_bpp = 32;
    bench_window.client_width = width;
    bench_window.client_height = height;
    app.main_window = &bench_window;
    app.client_width = width;
    app.client_height = height;
    app.system_memory_surfaces = true;
    if (!Setup_Windowed_Direct_Draw(width, height, 32)) return false;
    crt::srand(1);
    if (!Setup_Glimmerwheel()) return false;
    Start_Frame_Timer();
    fixed_frame_seconds = 0.02;
    presets.clear();
    for (const auto& entry : std::filesystem::directory_iterator(Data_Folder())) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && (name.ends_with(".DAT") || name.ends_with(".dat"))) presets.push_back(entry.path());
    }
    std::sort(presets.begin(), presets.end());
    return !presets.empty();
}

void BM_Apply_Preset(benchmark::State& state) {
    if (!Start(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))) {
        state.SkipWithError("no display or no bundled presets");
        return;
    }
    size_t next = 0;
    for (auto _ : state) {
        const std::string& path = presets[next++ % presets.size()];
        if (Load_Plasma_Settings(path.c_str())) Refresh_Plasma();
    }
    Shutdown();
}

}  // namespace

BENCHMARK(BM_Apply_Preset)->Args({160, 120})->Args({1024, 768})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
