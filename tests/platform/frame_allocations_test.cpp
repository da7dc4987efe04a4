// A steady run of frames allocates nothing on the presentation and banding
// paths: the scaler keeps its tables, the row bands take the caller's work by
// reference, the copies keep their column maps. Every operator new in this
// program is counted, on every thread.
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "platform/present_scale.h"
#include "platform/row_bands.h"
#include "surface_fixture.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using FrameAllocationTest = FormatTest;

TEST_P(FrameAllocationTest, SteadyFramesAllocateNothing) {
    // A 640 x 480 mode shown on a 1920 x 1080 screen, with bars.
    Surface* mode = Make_Surface(640, 480);
    Surface* copy = Make_Surface(640, 480);
    ASSERT_NE(mode, nullptr);
    ASSERT_NE(copy, nullptr);
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 5) Pixel_Write(mode, x, y, Colour_To_Pixel(mode, RGB(x, y, x ^ y)));
    const int screen_width = 1920, screen_height = 1080, pitch = screen_width * 4;
    std::vector<uint8_t> screen(static_cast<size_t>(pitch) * screen_height);
    const Scaled_Area area = Fit_Keeping_Shape(640, 480, screen_width, screen_height);

    // Work that captures more than a small function object holds in place.
    // Nothing is checked inside a frame: a check may allocate for its message.
    std::vector<long> row_sums(480);
    auto frame = [&](bool first) {
        bool ok = Scale_Surface_To_Image(mode, screen.data(), pitch, screen_width, screen_height, area, first);
        Rect half{0, 0, 320, 480}, whole{0, 0, 640, 480};
        BltFx mirror;
        mirror.effects = DDBLTFX_MIRRORLEFTRIGHT;
        ok = ok && Surface_Blt(copy, &whole, mode, &half, DDBLT_DDFX, &mirror) == DD_OK;
        BltFx fill;
        fill.fill_colour = 3;
        ok = ok && Surface_Blt(copy, &half, nullptr, nullptr, DDBLT_COLORFILL, &fill) == DD_OK;
        long spare[16] = {1};
        Run_Row_Bands(480, 640, [&row_sums, spare](int begin, int end) {
            for (int y = begin; y < end; ++y) row_sums[static_cast<size_t>(y)] = spare[y % 16] + y;
        });
        return ok;
    };
    for (int threads : {1, 3}) {
        row_band_threads = threads;
        // The first frames start the pool and size the kept tables.
        ASSERT_TRUE(frame(true));
        ASSERT_TRUE(frame(false));
        const long before = allocations.load();
        bool ok = true;
        for (int i = 0; i < 5; ++i) ok = frame(false) && ok;
        const long made = allocations.load() - before;
        EXPECT_TRUE(ok);
        EXPECT_EQ(made, 0) << threads << " threads";
    }
    row_band_threads = 0;
    EXPECT_EQ(row_sums[479], 479);
    EXPECT_EQ(row_sums[16], 17);
}

INSTANTIATE_TEST_SUITE_P(Formats, FrameAllocationTest, ::testing::ValuesIn(all_display_formats), Format_Name);

}  // namespace
