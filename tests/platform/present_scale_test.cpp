// Presentation scaling: where the picture lands on screens of every shape,
// and that every screen pixel shows the nearest source pixel at every depth,
// drawn whole or in bands.
#include <cstring>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/present_scale.h"
#include "platform/row_bands.h"
#include "surface_fixture.h"

namespace {

TEST(FitKeepingShape, BarsWhereTheShapesDiffer) {
    struct Row {
        int source_w, source_h, screen_w, screen_h;
        Scaled_Area expected;
    } rows[] = {
        {640, 480, 1920, 1080, {240, 0, 1440, 1080}},  // 4:3 on 16:9: bars at the sides
        {640, 480, 1280, 1024, {0, 32, 1280, 960}},    // 4:3 on 5:4: bars above and below
        {640, 480, 640, 480, {0, 0, 640, 480}},        // one to one
        {320, 240, 1281, 721, {160, 0, 961, 721}},     // odd sizes round down, centred
        {640, 480, 3840, 2160, {480, 0, 2880, 2160}},
        {1, 1, 7, 3, {2, 0, 3, 3}},
        {0, 480, 640, 480, {0, 0, 0, 0}},  // nothing to show
    };
    for (const Row& r : rows) {
        Scaled_Area a = Fit_Keeping_Shape(r.source_w, r.source_h, r.screen_w, r.screen_h);
        EXPECT_EQ(a.x, r.expected.x) << r.source_w << "x" << r.source_h << " on " << r.screen_w << "x" << r.screen_h;
        EXPECT_EQ(a.y, r.expected.y) << r.screen_w << "x" << r.screen_h;
        EXPECT_EQ(a.width, r.expected.width) << r.screen_w << "x" << r.screen_h;
        EXPECT_EQ(a.height, r.expected.height) << r.screen_w << "x" << r.screen_h;
    }
}

using PresentScaleTest = FormatTest;

TEST_P(PresentScaleTest, EveryScreenPixelShowsTheNearestSourcePixelWholeOrInBands) {
    Surface* surface = Make_Surface(13, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            Pixel_Write(surface, x, y, Colour_To_Pixel(surface, RGB(x * 19, y * 36, (x * y * 7) & 0xFF)));

    struct Screen {
        int width, height;
    } screens[] = {{13, 7}, {40, 21}, {31, 30}, {100, 17}};
    for (const Screen& screen : screens) {
        const Scaled_Area area = Fit_Keeping_Shape(13, 7, screen.width, screen.height);
        const int pitch = screen.width * 4 + 8;
        std::vector<uint8_t> whole(static_cast<size_t>(pitch) * screen.height, 0x5A);
        row_band_threads = 1;
        ASSERT_TRUE(Scale_Surface_To_Image(surface, whole.data(), pitch, screen.width, screen.height, area, true));
        std::vector<uint8_t> banded(whole.size(), 0x5A);
        row_band_threads = 3;
        ASSERT_TRUE(Scale_Surface_To_Image(surface, banded.data(), pitch, screen.width, screen.height, area, true));
        row_band_threads = 0;
        EXPECT_EQ(whole, banded) << screen.width << "x" << screen.height;

        for (int y = 0; y < screen.height; ++y) {
            for (int x = 0; x < screen.width; ++x) {
                uint32_t shown;
                std::memcpy(&shown, whole.data() + static_cast<size_t>(y) * pitch + 4 * x, 4);
                const bool inside = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
                uint32_t expected = 0xFF000000u;
                if (inside) {
                    const int sx = (x - area.x) * 13 / area.width, sy = (y - area.y) * 7 / area.height;
                    const COLORREF c = Pixel_To_Colour(surface, Pixel_Read(surface, sx, sy));
                    expected |= (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
                }
                ASSERT_EQ(shown, expected)
                    << "screen " << screen.width << "x" << screen.height << " at " << x << "," << y;
            }
            // The row's padding is the caller's: never written.
            EXPECT_EQ(whole[static_cast<size_t>(y) * pitch + screen.width * 4], 0x5A);
        }
    }
}

// The emulated 640 x 480 mode and anything smaller is drawn on the caller's
// thread in one band (waking the pool costs more there); bigger pictures are
// cut into bands for every core, which the caller takes itself when the
// helpers are not there first.
TEST(RowBands, OnlyPicturesBiggerThanTheEmulatedModeUseThePool) {
    const bool several_cores = std::thread::hardware_concurrency() > 1;
    struct Row {
        int rows;
        long pixels_per_row;
        bool pooled;
    } rows[] = {{480, 640, false}, {240, 320, false}, {481, 640, several_cores}, {1080, 1920, several_cores}};
    row_band_threads = 0;
    for (const Row& r : rows) {
        Row_Bands_Reset_Payoff();
        std::mutex lock;
        std::set<std::thread::id> threads;
        int bands = 0;
        Run_Row_Bands(r.rows, r.pixels_per_row, [&](int, int) {
            std::lock_guard<std::mutex> hold(lock);
            threads.insert(std::this_thread::get_id());
            ++bands;
        });
        EXPECT_EQ(bands > 1, r.pooled) << r.rows << " rows of " << r.pixels_per_row;
        if (!r.pooled) {
            EXPECT_EQ(threads.size(), 1u) << r.rows << " rows of " << r.pixels_per_row;
        }
        EXPECT_EQ(threads.count(std::this_thread::get_id()), 1u) << "the caller draws a band itself";
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PresentScaleTest, ::testing::ValuesIn(all_display_formats), Format_Name);

}  // namespace
