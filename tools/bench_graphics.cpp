// bench_graphics: what the per-frame copies and fades cost on screen-sized
// rectangles at 1024 x 768 x 32 on the memory-only display.
//
// The surfaces are made once, as the saver makes them at set-up; each
// iteration is one call, as in a frame. The fades are measured on a fresh
// picture each time (restored outside the timing), because a faded picture
// turns black and black pixels cost nothing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>

#include "base/app_state.h"
#include "graphics/blits.h"
#include "graphics/display.h"
#include "graphics/pixel_effects.h"
#include "graphics/surface.h"
#include "platform/ddraw.h"

namespace {

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;
constexpr int SCREEN_DEPTH = 32;

Surface* source_32 = nullptr;   // the picture copied from (colour key 0, some black pixels)
Surface* dest_32 = nullptr;     // where the copies land
Surface* picture_32 = nullptr;  // a pristine picture the fade surface is restored from
Surface* fade_32 = nullptr;
Surface* picture_16 = nullptr;  // the same at 16 bits (5-6-5) for Fade_16
Surface* fade_16 = nullptr;

// Fills a surface with a varied picture in which one pixel in sixteen is black.
void Paint(Surface* surface) {
    int pitch = 0;
    uint8_t* pixels = Lock_Surface(surface, &pitch);
    if (!pixels) return;
    const int bytes = surface->bits_per_pixel == 32 ? 4 : 2;
    for (int y = 0; y < surface->height; ++y) {
        uint8_t* row = pixels + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < surface->width; ++x) {
            uint32_t value = ((x * 2654435761u) ^ (y * 40503u)) & (bytes == 4 ? 0xFFFFFFu : 0xFFFFu);
            if ((x + y) % 16 == 0) value = 0;
            for (int b = 0; b < bytes; ++b) row[x * bytes + b] = static_cast<uint8_t>(value >> (8 * b));
        }
    }
    Unlock_Surface(surface);
}

bool Make(Surface** surface, int width, int height) { return Create_SYSTEM_Surface(surface, width, height) == 1; }

// The display device the saver builds in a window, at the benchmark's mode.
bool Open_Display() {
    dd_config.desktop_width = SCREEN_WIDTH;
    dd_config.desktop_height = SCREEN_HEIGHT;
    dd_config.desktop_bpp = SCREEN_DEPTH;
    app.screen_width = SCREEN_WIDTH;
    app.screen_height = SCREEN_HEIGHT;
    app.screen_bpp = SCREEN_DEPTH;
    if (DirectDrawCreate(&Direct_Draw) != DD_OK) return false;
    if (DD_QueryInterface(Direct_Draw, &Direct_Draw_Interface) != DD_OK) return false;
    if (DD_SetCooperativeLevel(Direct_Draw_Interface, nullptr, DDSCL_NORMAL) != DD_OK) return false;
    if (!Make(&source_32, SCREEN_WIDTH, SCREEN_HEIGHT) || !Make(&dest_32, SCREEN_WIDTH, SCREEN_HEIGHT) ||
        !Make(&picture_32, SCREEN_WIDTH, SCREEN_HEIGHT) || !Make(&fade_32, SCREEN_WIDTH, SCREEN_HEIGHT))
        return false;
    // The 16-bit fade needs 16-bit surfaces: made while the device says 16.
    dd_config.desktop_bpp = 16;
    const bool made_16 = Make(&picture_16, SCREEN_WIDTH, SCREEN_HEIGHT) && Make(&fade_16, SCREEN_WIDTH, SCREEN_HEIGHT);
    dd_config.desktop_bpp = SCREEN_DEPTH;
    if (!made_16) return false;
    for (Surface* surface : {source_32, picture_32, picture_16}) Paint(surface);
    return true;
}

void Close_Display() {
    for (Surface** surface : {&source_32, &dest_32, &picture_32, &fade_32, &picture_16, &fade_16}) {
        Release(*surface);
        *surface = nullptr;
    }
    Shutdown_Direct_Draw();
}

void Count_Pixels(benchmark::State& state, int64_t per_iteration) {
    state.SetItemsProcessed(state.iterations() * per_iteration);
}

constexpr int64_t SCREEN_PIXELS = int64_t(SCREEN_WIDTH) * SCREEN_HEIGHT;

void BM_Fast_Blit(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Fast_Blit(source_32, dest_32, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT));
    Count_Pixels(state, SCREEN_PIXELS);
}

// The clipping copies are handed the whole screen one column and one row off
// the corner, so every call clips on two edges before its one device call.
void BM_Clip_Blit(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Clip_Blit(source_32, dest_32, 0, 0, -1, -1, SCREEN_WIDTH, SCREEN_HEIGHT));
    Count_Pixels(state, SCREEN_PIXELS);
}

void BM_Clip_H_Blit(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Clip_H_Blit(source_32, dest_32, 0, 0, -1, -1, SCREEN_WIDTH, SCREEN_HEIGHT));
    Count_Pixels(state, SCREEN_PIXELS);
}

void BM_Clip_V_Blit(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Clip_V_Blit(source_32, dest_32, 0, 0, -1, -1, SCREEN_WIDTH, SCREEN_HEIGHT));
    Count_Pixels(state, SCREEN_PIXELS);
}

void BM_Masked_Clip_Blit(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Masked_Clip_Blit(source_32, dest_32, 0, 0, -1, -1, SCREEN_WIDTH, SCREEN_HEIGHT));
    Count_Pixels(state, SCREEN_PIXELS);
}

// Half the screen stretched over the whole of it, as a stretched presentation does.
void BM_Stretch_Blit(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Stretch_Blit(source_32, dest_32, 0, 0, 0, 0, SCREEN_WIDTH / 2, SCREEN_HEIGHT / 2,
                                              SCREEN_WIDTH, SCREEN_HEIGHT));
    Count_Pixels(state, SCREEN_PIXELS);
}

// A slide's fade: value, hue and saturation steps of a typical preset.
void Fade_Benchmark(benchmark::State& state, Surface* picture, Surface* surface,
                    int (*fade)(Surface*, int, int, int, int, int, int, int)) {
    for (auto _ : state) {
        state.PauseTiming();
        Fast_Blit(picture, surface, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
        state.ResumeTiming();
        benchmark::DoNotOptimize(fade(surface, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 12, 3, 8));
    }
    Count_Pixels(state, SCREEN_PIXELS);
}

void BM_Fade_32(benchmark::State& state) { Fade_Benchmark(state, picture_32, fade_32, Fade_32); }
void BM_Fade_16(benchmark::State& state) { Fade_Benchmark(state, picture_16, fade_16, Fade_16); }

BENCHMARK(BM_Fast_Blit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Clip_Blit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Clip_H_Blit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Clip_V_Blit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Masked_Clip_Blit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Stretch_Blit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fade_32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fade_16)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!Open_Display()) {
        std::fprintf(stderr, "bench_graphics: the display device could not be built\n");
        Close_Display();
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Close_Display();
    return 0;
}
