// Big pictures are drawn in row bands on every core: each banded drawer must
// give the bytes one band gives, at the depths it draws, on a picture above
// the size where banding starts and on a small odd one.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/pixel_effects.h"
#include "kaleidoscope_fixture.h"
#include "platform/row_bands.h"
#include "slides/sine_waves.h"

namespace {

enum class Drawer { FADE, SINE, MULTI_SINE, KALEIDOSCOPE, COLOUR_FILL };

struct Band_Case {
    Drawer drawer;
    KaleidoscopeFormat format;
    int width, height;
    const char* name;
};

constexpr KaleidoscopeFormat D8{8, 0x07E0, 0, ""}, D15{15, 0x03E0, 0, ""}, D16{16, 0x07E0, 0, ""};
constexpr KaleidoscopeFormat D24{24, 0x07E0, 0, ""}, D32{32, 0x07E0, 8, ""};

// 704 x 480 is above the banding threshold; 37 x 23 and 331 x 243 are odd.
const Band_Case band_cases[] = {
    {Drawer::FADE, D16, 704, 480, "Fade16Big"},
    {Drawer::FADE, D15, 37, 23, "Fade15Odd"},
    {Drawer::FADE, D32, 704, 480, "Fade32Big"},
    {Drawer::SINE, D16, 704, 480, "Sine16Big"},
    {Drawer::SINE, D32, 37, 23, "Sine32Odd"},
    {Drawer::MULTI_SINE, D16, 37, 23, "MultiSine16Odd"},
    {Drawer::MULTI_SINE, D32, 704, 480, "MultiSine32Big"},
    {Drawer::KALEIDOSCOPE, D8, 704, 480, "Kaleidoscope8Big"},
    {Drawer::KALEIDOSCOPE, D16, 331, 243, "Kaleidoscope16Odd"},
    {Drawer::KALEIDOSCOPE, D32, 704, 480, "Kaleidoscope32Big"},
    {Drawer::COLOUR_FILL, D8, 37, 23, "Fill8Odd"},
    {Drawer::COLOUR_FILL, D24, 704, 480, "Fill24Big"},
    {Drawer::COLOUR_FILL, D32, 37, 23, "Fill32Odd"},
};

class RowBandsTest : public KaleidoscopeTest, public ::testing::WithParamInterface<Band_Case> {
protected:
    void TearDown() override {
        row_band_threads = 0;
        KaleidoscopeTest::TearDown();
    }

    // Draws from the same start with `threads` threads; the surface's bytes.
    std::vector<uint8_t> Draw(int threads, std::vector<uint8_t>* start) {
        const Band_Case& c = GetParam();
        const int w = c.width, h = c.height;
        crt::srand(77);
        random_colour_countdown = 0.0;
        random_colour_ceiling = 0;
        last_shift_palette = -1;
        row_band_threads = threads;
        Surface* surface = Hidden;
        switch (c.drawer) {
        case Drawer::FADE:
            Fill_Pattern(Hidden);
            *start = Hidden->memory;
            EXPECT_EQ(Fade(Hidden, 3, 2, w - 5, h - 3, 40, 30, 20), 1);
            break;
        case Drawer::SINE:
        case Drawer::MULTI_SINE:
            Fill_Pattern(Hidden);
            *start = Hidden->memory;
            sine_wave_16_state = multi_sine_wave_16_state = sine_wave_32_state = multi_sine_wave_32_state = {};
            plasma_settings.sine_multicolour = c.drawer == Drawer::MULTI_SINE;
            plasma_settings.sine_pixels_per_frame = 12;
            plasma_settings.sine_amplitude = h / 3;
            plasma_settings.sine_variance = 5;
            plasma_settings.sine_band_width = 24;
            plasma_settings.sine_density = 0.05;
            plasma_settings.sine_clear_screen = 0;
            EXPECT_EQ(Sine_Wave(Hidden, w, h), 1);
            break;
        case Drawer::KALEIDOSCOPE:
            Shutdown_Kaleidoscope();
            Shutdown_Plasma();
            *start = Hidden->memory;
            plasma_settings.kaleidoscope_granularity = 16 * (h / 32);
            EXPECT_EQ(Setup_Kaleidoscope(0, 0), 1);
            EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
            EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
            break;
        case Drawer::COLOUR_FILL: {
            Fill_Pattern(Hidden);
            *start = Hidden->memory;
            Rect inside{2, 1, w - 1, h - 2};
            BltFx fill;
            fill.fill_colour = 0x5A3C1E;
            EXPECT_EQ(Surface_Blt(Hidden, &inside, nullptr, nullptr, DDBLT_COLORFILL, &fill), DD_OK);
            break;
        }
        }
        row_band_threads = 0;
        EXPECT_TRUE(Reports().empty()) << Reports().front();
        return surface->memory;
    }
};

TEST_P(RowBandsTest, BandsGiveTheBytesOfOneBand) {
    Open(GetParam().format, GetParam().width, GetParam().height);
    std::vector<uint8_t> start;
    const std::vector<uint8_t> one_band = Draw(1, &start);
    EXPECT_NE(one_band, start);  // the drawer drew something
    std::vector<uint8_t> unused;
    EXPECT_EQ(Draw(3, &unused), one_band) << "three bands";
    EXPECT_EQ(Draw(0, &unused), one_band) << "one band per core";
}

INSTANTIATE_TEST_SUITE_P(Drawers, RowBandsTest, ::testing::ValuesIn(band_cases),
                         [](const ::testing::TestParamInfo<Band_Case>& info) { return std::string(info.param.name); });

}  // namespace
