// Sine waves: band levels and where they are stored at every depth, edge
// clipping, the walk's bounds, flat waves for a zero amplitude and a still
// walk for a zero variance, re-randomising, the depth dispatch and its
// failure texts, and the device-context drawer of depths 8 and 24.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "base/random.h"
#include "graphics/graphics_fixture.h"
#include "plasma/plasma_settings.h"
#include "platform/gdi.h"
#include "slides/sine_waves.h"

namespace {

constexpr float D = 0.017453292f;

class SineWaveTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        crt::srand(7);
        Set_Default_Plasma_Settings();
        sine_wave_16_state = sine_wave_32_state = WaveState{};
        multi_sine_wave_16_state = multi_sine_wave_32_state = sine_wave_gdi_state = WaveState{};
        sine_rerandomise = 0;
        Settings(1, 0, 0, 8, 0.0);
    }

    static void Settings(int passes, int amplitude, int variance, int band, double density) {
        plasma_settings.sine_pixels_per_frame = passes;
        plasma_settings.sine_amplitude = amplitude;
        plasma_settings.sine_variance = variance;
        plasma_settings.sine_band_width = band;
        plasma_settings.sine_density = density;
        plasma_settings.sine_clear_screen = 0;
        plasma_settings.sine_multicolour = 0;
    }

    // Fixes a drawer's terms: no first-use draws, and with variance 0 no walk.
    static void Pin(WaveState& state, double a0, double a1, double a2, int wave = 0) {
        state.term_amplitude[wave * 3 + 0] = a0;
        state.term_amplitude[wave * 3 + 1] = a1;
        state.term_amplitude[wave * 3 + 2] = a2;
        state.amplitude_drawn = state.step_drawn = 0x1FF;
    }

    // The band's first row at column x with the phase at 0.
    static int Top(double a0, double a1, double a2, int x, int height) {
        const double a = static_cast<double>(x) * D;
        return static_cast<int>(std::trunc(a0 * std::sin(8.0 * a) + a1 * std::sin(a) + a2 * std::sin(4.0 * a))) +
               (2 * height) / 5;
    }
};

// 32-bit levels: j q up to the middle, (B - j) q after it, in the red byte.
uint32_t Level_32(int j, int band) {
    const int q = 256 / (band > 1 ? band : 1);
    const int level = (j < band / 2 ? j : band - j) * q;
    return static_cast<uint32_t>(level > 255 ? 255 : level);
}
uint32_t Level_16(int j, int band, float factor = 1.0f) {
    const float q = 32.0f / static_cast<float>(band > 1 ? band : 1);
    return static_cast<uint32_t>(static_cast<float>(j < band / 2 ? j : band - j) * q * factor);
}

// A zero amplitude lays the band flat on the rest line, 40 percent down;
// every depth stores its level in its own way.
class SineWaveDepthTest : public SineWaveTest, public ::testing::WithParamInterface<GraphicsFormat> {};

TEST_P(SineWaveDepthTest, FlatBandOnTheRestLineAtEveryDepth) {
    Open_Display(GetParam());
    plasma_settings.sine_variance = 5;  // the walk runs, but the amplitude bound holds it flat
    plasma_settings.sine_pixels_per_frame = 10;
    Pin(sine_wave_gdi_state, 0, 0, 0);  // depths 8 and 24 have their own fixed bound
    Surface* s = Make(64, 50);
    ASSERT_EQ(Sine_Wave(s, 64, 50), 1);
    const int c = 20;
    const int depth = GetParam().depth;
    for (int x = 0; x < 64; ++x) {
        for (int y = 0; y < 50; ++y) {
            uint32_t expected = 0;
            if (depth == 32 && y >= c && y < c + 8) {
                expected = Level_32(y - c, 8) << 16;
            } else if ((depth == 15 || depth == 16) && y >= c && y < c + 8) {
                expected = Level_16(y - c, 8) << (s->green_mask == 0x07E0 ? 11 : 10);
            } else if ((depth == 8 || depth == 24) && y == c) {
                expected = Colour_To_Pixel(s, RGB(255, 0, 0));  // one red pixel per column
            }
            ASSERT_EQ(Get(s, x, y), expected) << "x " << x << " y " << y;
        }
    }
    EXPECT_EQ(s->lock_count, 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, SineWaveDepthTest, ::testing::ValuesIn(every_graphics_format), Graphics_Format_Name);

TEST_F(SineWaveTest, BandLevelsPeakInTheMiddleAndNarrowBandsStayVisible) {
    Open_Display(every_graphics_format[5]);  // 32
    Surface* s = Make(16, 50);
    for (int band : {5, 8, 2}) {
        plasma_settings.sine_band_width = band;
        ASSERT_EQ(Sine_Wave_32(s, 16, 50), 1);
        for (int j = 0; j < band; ++j) EXPECT_EQ(Get(s, 3, 20 + j), Level_32(j, band) << 16) << band << " " << j;
    }
    EXPECT_EQ(Get(s, 3, 20), 0u);  // width 2: levels 0 and 128
    EXPECT_EQ(Get(s, 3, 21), 128u << 16);
    // One row would work out at 256 and lose its colour: it is held at full red.
    plasma_settings.sine_band_width = 1;
    ASSERT_EQ(Sine_Wave_32(s, 16, 50), 1);
    EXPECT_EQ(Get(s, 3, 20), 0xFF0000u);
    Restart();
    Open_Display(every_graphics_format[2]);  // 5-6-5
    Surface* t = Make(16, 50);
    ASSERT_EQ(Sine_Wave_16(t, 16, 50), 1);
    EXPECT_EQ(Get(t, 3, 20), 31u << 11);
}

TEST_F(SineWaveTest, MultiWavesMixWhereTheyMeetAndKeepOtherChannels) {
    Open_Display(every_graphics_format[5]);  // 32
    plasma_settings.sine_multicolour = 1;
    plasma_settings.sine_amplitude = 100;
    Surface* s = Make(128, 60);
    Fill(s, 0x00404040);
    // At column 0 every term is 0: the three bands coincide. At column 90
    // only the middle term counts, and the green wave sits 20 rows lower.
    Pin(multi_sine_wave_32_state, 0, 0, 0, 0);
    Pin(multi_sine_wave_32_state, 0, 20.5, 0, 1);
    Pin(multi_sine_wave_32_state, 0, -10.5, 0, 2);
    ASSERT_EQ(Sine_Wave(s, 128, 60), 1);
    const int c = 24;
    for (int j = 0; j < 8; ++j) {
        const uint32_t l = Level_32(j, 8);
        EXPECT_EQ(Get(s, 0, c + j), l << 16 | l << 8 | l);
    }
    const int green_top = Top(0, 20.5, 0, 90, 60);
    const int blue_top = Top(0, -10.5, 0, 90, 60);
    ASSERT_EQ(green_top, c + 20);
    for (int j = 1; j < 8; ++j) {
        EXPECT_EQ(Get(s, 90, c + j), Level_32(j, 8) << 16);  // red band alone replaces the pixel
        EXPECT_EQ(Get(s, 90, green_top + j), 0x00400040u | Level_32(j, 8) << 8);
        EXPECT_EQ(Get(s, 90, blue_top + j), 0x00404000u | Level_32(j, 8));
    }
}

TEST_F(SineWaveTest, MultiWaves16OrGreenAndBlueIntoThePixel) {
    for (int format : {2, 3}) {  // 5-6-5, then 5-5-5
        Restart();
        Open_Display(every_graphics_format[format]);
        plasma_settings.sine_multicolour = 1;
        Surface* s = Make(32, 50);
        ASSERT_EQ(Sine_Wave(s, 32, 50), 1);
        const bool six = s->green_mask == 0x07E0;
        for (int j = 0; j < 8; ++j) {
            const uint32_t red = Level_16(j, 8) << (six ? 11 : 10);
            const uint32_t green = Level_16(j, 8, six ? 2.0f : 1.0f) << 5;
            EXPECT_EQ(Get(s, 5, 20 + j), red | green | Level_16(j, 8)) << format << " " << j;
        }
    }
}

TEST_F(SineWaveTest, BandsAreClippedAtTheTopAndBottomEdges) {
    Open_Display(every_graphics_format[5]);
    plasma_settings.sine_amplitude = 100;
    plasma_settings.sine_band_width = 12;
    Surface* s = Make(128, 40);
    const int c = 16;
    // Column 90: the band starts 5 rows above the top; only its lower rows show.
    Pin(sine_wave_32_state, 0, -(c + 5.5), 0);
    Fill(s, 0x00000001);
    ASSERT_EQ(Sine_Wave_32(s, 128, 40), 1);
    ASSERT_EQ(Top(0, -(c + 5.5), 0, 90, 40), -5);
    for (int y = 0; y < 7; ++y) EXPECT_EQ(Get(s, 90, y), Level_32(y + 5, 12) << 16);
    EXPECT_EQ(Get(s, 90, 7), 1u);
    // Now it starts 3 rows above the bottom edge and stops there.
    Pin(sine_wave_32_state, 0, 40 - c - 3 + 0.5, 0);
    Fill(s, 0x00000001);
    ASSERT_EQ(Sine_Wave_32(s, 128, 40), 1);
    EXPECT_EQ(Get(s, 90, 36), 1u);
    for (int j = 0; j < 3; ++j) EXPECT_EQ(Get(s, 90, 37 + j), Level_32(j, 12) << 16);
    // A band wholly off the surface paints nothing at all in that column.
    Pin(sine_wave_32_state, 0, 1e9, 0);
    Fill(s, 0x00000001);
    ASSERT_EQ(Sine_Wave_32(s, 128, 40), 1);
    for (int y = 0; y < 40; ++y) EXPECT_EQ(Get(s, 90, y), 1u);
}

// Surfaces whose pitch is a multiple of 1 KiB are painted in blocks of
// columns; the picture must be the one a column-by-column walk gives.
TEST_F(SineWaveTest, BlockPaintingMatchesColumnPainting) {
    for (int multi = 0; multi < 2; ++multi) {
        for (int format : {5, 2}) {  // 32 bits: 256 wide is a 1 KiB pitch; 16 bits: 512 wide
            Restart();
            Open_Display(every_graphics_format[format], 600, 100);
            const int width = format == 5 ? 256 : 512;
            Surface* blocks = Make(width, 90);
            ASSERT_EQ(blocks->pitch % 1024, 0);
            dd_config.pitch_padding = 4;
            Surface* columns = Make(width, 90);
            ASSERT_NE(columns->pitch % 1024, 0);
            Settings(40, 60, 30, 20, 0.05);  // steep enough for both kinds of block
            plasma_settings.sine_multicolour = multi;
            Fill(blocks, 0x0101);
            Fill(columns, 0x0101);
            for (Surface* s : {blocks, columns}) {
                crt::srand(11);
                sine_wave_16_state = sine_wave_32_state = WaveState{};
                multi_sine_wave_16_state = multi_sine_wave_32_state = WaveState{};
                for (int call = 0; call < 5; ++call) ASSERT_EQ(Sine_Wave(s, width, 90), 1);
            }
            int painted = 0;
            for (int y = 0; y < 90; ++y)
                for (int x = 0; x < width; ++x) {
                    ASSERT_EQ(Get(blocks, x, y), Get(columns, x, y)) << multi << " " << format << " " << x << "," << y;
                    painted += Get(blocks, x, y) != 0x0101;
                }
            EXPECT_GT(painted, width * 20);
        }
    }
}

TEST_F(SineWaveTest, WalkStaysNearItsBoundsAndStepsBackFromThem) {
    Open_Display(every_graphics_format[5]);
    Settings(256, 20, 50, 4, 0.01);
    Surface* s = Make(64, 64);
    double low = 0, high = 0;
    for (int call = 0; call < 40; ++call) {
        ASSERT_EQ(Sine_Wave_32(s, 64, 64), 1);
        for (int i = 0; i < 3; ++i) {
            low = std::min(low, sine_wave_32_state.term_amplitude[i]);
            high = std::max(high, sine_wave_32_state.term_amplitude[i]);
        }
    }
    // A step is at most (V - 1) x 0.1 = 4.9 pixels, so the terms never leave
    // 0..A by more than one step.
    EXPECT_GE(low, -4.9 - 1e-9);
    EXPECT_LE(high, 20 + 4.9 + 1e-9);
    EXPECT_GT(high, 15);  // ... and they did walk
    EXPECT_NEAR(sine_wave_32_state.wave_phase, 40 * 256 * 0.01, 1e-6);

    // Above the bound the first term steps back by tenths, the others by hundredths.
    Pin(sine_wave_32_state, 30, 30, -3);
    sine_wave_32_state.term_step[0] = sine_wave_32_state.term_step[1] = 0.0;
    sine_wave_32_state.term_step[2] = 0.0;
    plasma_settings.sine_pixels_per_frame = 1;
    ASSERT_EQ(Sine_Wave_32(s, 64, 64), 1);
    const double* step = sine_wave_32_state.term_step;
    EXPECT_LE(step[0], 0.0);
    EXPECT_NEAR(step[0] * 10, std::round(step[0] * 10), 1e-9);  // whole tenths
    EXPECT_LE(step[1], 0.0);
    EXPECT_GE(step[1], -0.49 - 1e-9);
    EXPECT_GE(step[2], 0.0);  // below 0: a climbing step
    EXPECT_LE(step[2], 0.49 + 1e-9);
}

TEST_F(SineWaveTest, ZeroVarianceHoldsTheWaveStillAndZeroAmplitudeLaysItFlat) {
    Open_Display(every_graphics_format[5]);
    Settings(50, 30, 0, 4, 0.02);  // variance 0: the built-in default
    Surface* s = Make(64, 64);
    ASSERT_EQ(Sine_Wave_32(s, 64, 64), 1);
    WaveState first = sine_wave_32_state;
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(first.term_amplitude[i], 0);
        EXPECT_LT(first.term_amplitude[i], 30);
        EXPECT_EQ(first.term_step[i], 0.0);
    }
    for (int call = 0; call < 10; ++call) ASSERT_EQ(Sine_Wave_32(s, 64, 64), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sine_wave_32_state.term_amplitude[i], first.term_amplitude[i]);
    EXPECT_GT(sine_wave_32_state.wave_phase, first.wave_phase);  // the phase still moves

    // Amplitude 0 with any variance: the terms stay 0 and the band is flat.
    Settings(50, 0, 40, 4, 0.02);
    sine_rerandomise = 1;
    ASSERT_EQ(Sine_Wave_32(s, 64, 64), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sine_wave_32_state.term_amplitude[i], 0.0);
    // Both 0, the built-in defaults, on the multi-wave drawer: no fault, a flat band.
    Settings(5, 0, 0, 4, 0.0);
    plasma_settings.sine_multicolour = 1;
    Clear(s);
    ASSERT_EQ(Sine_Wave(s, 64, 64), 1);
    for (int x = 0; x < 64; ++x) EXPECT_EQ(Get(s, x, 25 + 2), Get(s, 0, 25 + 2));
    EXPECT_NE(Get(s, 0, 27), 0u);
}

TEST_F(SineWaveTest, NoPassesClearsWhenAskedAndDrawsNothing) {
    Open_Display(every_graphics_format[5]);
    plasma_settings.sine_pixels_per_frame = 0;
    Surface* s = Make(16, 16);
    Fill(s, 0x123456);
    ASSERT_EQ(Sine_Wave(s, 16, 16), 1);
    EXPECT_EQ(Get(s, 4, 6), 0x123456u);
    plasma_settings.sine_clear_screen = 1;
    ASSERT_EQ(Sine_Wave(s, 16, 16), 1);
    EXPECT_EQ(Get(s, 4, 6), 0u);
    EXPECT_EQ(s->lock_count, 0);
    EXPECT_EQ(sine_wave_32_state.amplitude_drawn, 0u);  // nothing was drawn, not even the terms
    // A preset asking for millions of passes is held to the dialog's 256.
    plasma_settings.sine_pixels_per_frame = 2000000000;
    plasma_settings.sine_density = 1.0;
    ASSERT_EQ(Sine_Wave(s, 16, 16), 1);
    EXPECT_DOUBLE_EQ(sine_wave_32_state.wave_phase, 256.0);
}

TEST_F(SineWaveTest, OkRerandomisesOnlyTheDrawerThatRunsNext) {
    Open_Display(every_graphics_format[5]);
    Settings(1, 200, 10, 4, 0.0);
    Surface* s = Make(16, 16);
    ASSERT_EQ(Sine_Wave_32(s, 16, 16), 1);
    multi_sine_wave_16_state.term_amplitude[0] = 77.0;
    multi_sine_wave_16_state.amplitude_drawn = 0x1FF;
    const WaveState before = sine_wave_32_state;
    sine_rerandomise = 1;
    ASSERT_EQ(Sine_Wave_32(s, 16, 16), 1);
    EXPECT_EQ(sine_rerandomise, 0);
    int changed = 0;
    for (int i = 0; i < 3; ++i) changed += sine_wave_32_state.term_amplitude[i] != before.term_amplitude[i];
    EXPECT_GE(changed, 2);  // fresh draws in 0..199 (one may be walked as well)
    EXPECT_EQ(multi_sine_wave_16_state.term_amplitude[0], 77.0);
}

TEST_F(SineWaveTest, EachDrawerKeepsItsOwnWalk) {
    Open_Display(every_graphics_format[5]);
    Settings(3, 50, 10, 4, 0.1);
    Surface* s = Make(32, 32);
    ASSERT_EQ(Sine_Wave(s, 32, 32), 1);
    EXPECT_NE(sine_wave_32_state.amplitude_drawn, 0u);
    EXPECT_EQ(multi_sine_wave_32_state.amplitude_drawn, 0u);
    plasma_settings.sine_multicolour = 1;
    ASSERT_EQ(Sine_Wave(s, 32, 32), 1);
    EXPECT_EQ(multi_sine_wave_32_state.amplitude_drawn, 0x1FFu);
    EXPECT_NEAR(sine_wave_32_state.wave_phase, 0.3, 1e-9);
    EXPECT_NEAR(multi_sine_wave_32_state.wave_phase, 0.3, 1e-9);
    EXPECT_EQ(sine_wave_16_state.amplitude_drawn | multi_sine_wave_16_state.amplitude_drawn, 0u);
}

// Each depth reports its own drawer's failure; a lost or empty target fails
// silently in the drawer and is reported by Sine_Wave.
TEST_F(SineWaveTest, FailuresNameTheDrawer) {
    struct Case {
        int format;
        int multi;
        const char* text;
    };
    const Case cases[] = {
        {5, 0, "Sine_Wave(): Sine_Wave_32 FAILED"},
        {5, 1, "Sine_Wave(): MULTI_Sine_Wave_32 FAILED"},
        {2, 0, "Sine_Wave(): Sine_Wave_16 FAILED"},
        {1, 1, "Sine_Wave(): MULTI_Sine_Wave_16 FAILED"},
        {0, 0, "Sine_Wave() Unable to Acquire dest device context from surface"},
        {4, 1, "Sine_Wave() Unable to Acquire dest device context from surface"},
    };
    for (const Case& c : cases) {
        Restart();
        Open_Display(every_graphics_format[c.format]);
        plasma_settings.sine_multicolour = c.multi;
        Surface* s = Make(16, 16);
        s->lost = true;
        EXPECT_EQ(Sine_Wave(s, 16, 16), 0);
        EXPECT_EQ(Last_Report(), c.text);
        s->lost = false;
        platform_boxes.clear();
        if (c.format == 0 || c.format == 4) continue;
        EXPECT_EQ(Sine_Wave(s, 0, 16), 0);
        EXPECT_EQ(Last_Report(), c.text);
        EXPECT_EQ(Sine_Wave(nullptr, 16, 16), 0);
        EXPECT_EQ(platform_boxes.size(), 2u);
    }
}

TEST_F(SineWaveTest, LockFailureIsReportedByTheDrawer) {
    Open_Display(every_graphics_format[2]);
    Surface* s = Make(16, 16);
    dd_faults.lock_answer = DDERR_INVALIDPARAMS;
    EXPECT_EQ(Sine_Wave(s, 16, 16), 0);
    EXPECT_TRUE(Reported("Sine_Wave_16(): Lock Surface FAILED"));
    EXPECT_EQ(Last_Report(), "Sine_Wave(): Sine_Wave_16 FAILED");
    plasma_settings.sine_multicolour = 1;
    EXPECT_EQ(Sine_Wave(s, 16, 16), 0);
    EXPECT_TRUE(Reported("Multi_Sine_Wave_16(): Lock Surface FAILED"));
    dd_faults.lock_answer = DD_OK;
    EXPECT_EQ(s->lock_count, 0);
}

TEST_F(SineWaveTest, DeviceContextDrawerPlotsAtMost32RedPixelsPerColumn) {
    Open_Display(every_graphics_format[4]);  // 24
    Settings(200, 400, 90, 50, 0.5);         // all ignored but the clear
    Surface* s = Make(100, 60);
    ASSERT_EQ(Sine_Wave(s, 100, 60), 1);
    const uint32_t red = 0xFF0000;
    int columns_drawn = 0;
    for (int x = 0; x < 100; ++x) {
        int count = 0;
        for (int y = 0; y < 60; ++y) {
            const uint32_t p = Get(s, x, y);
            ASSERT_TRUE(p == 0 || p == red);
            count += p == red;
        }
        EXPECT_LE(count, 32);
        columns_drawn += count > 0;
    }
    EXPECT_GT(columns_drawn, 50);
    for (int i = 0; i < 3; ++i) EXPECT_LT(sine_wave_gdi_state.term_amplitude[i], 20 + 32 * 0.3 + 1e-9);
    EXPECT_NEAR(sine_wave_gdi_state.wave_phase, 32 * 100 * 0.003125 * 0.005, 1e-12);
    // Too short to have an amplitude (height / 3 = 0): flat, no fault.
    Surface* low = Make(20, 2);
    sine_wave_gdi_state = WaveState{};
    ASSERT_EQ(Sine_Wave(low, 20, 2), 1);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(Get(low, x, 0), red);
}

TEST_F(SineWaveTest, DeviceContextDrawerReportsAPixelOffTheSurface) {
    Open_Display(every_graphics_format[0]);  // 8
    Surface* s = Make(30, 40);
    Pin(sine_wave_gdi_state, 0, 0, 0);  // flat on row 16
    EXPECT_EQ(Sine_Wave(s, 31, 40), 0);
    EXPECT_EQ(Last_Report(), "Sine_Wave() Unable to SetPixel at (30,16)\non surface of w = 31 h = 40");
    EXPECT_EQ(s->lock_count, 0);  // the context was given back
    EXPECT_EQ(Get(s, 29, 16), Colour_To_Pixel(s, RGB(255, 0, 0)));
}

}  // namespace
