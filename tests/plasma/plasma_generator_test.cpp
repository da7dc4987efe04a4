// The plasma generator: tables, phases, the writers at every depth against
// values worked out here from the rules, and the 8-bit palettes.
#include "plasma_fixture.h"

#include "platform/row_bands.h"

#include <algorithm>

namespace {

// ---------------------------------------------------------------------------
// Reference: what a writer must produce, computed the long way round.

struct Origins {
    size_t a, b, c, e;  // byte offsets in the tables
};

Origins Reference_Origins(const PlasmaField& f) {
    const int hw = f.width / 2, hh = f.height / 2;
    const size_t stride = 2 * static_cast<size_t>(f.width);
    auto at = [&](double column_wave, double row_wave) {
        const int column = static_cast<int>(std::trunc(column_wave * hw)) + hw;
        const int row = static_cast<int>(std::trunc(row_wave * hh)) + hh;
        return column + row * stride;
    };
    const float* p = f.phase;
    return {at(std::sin(p[0]), std::cos(p[1])), at(std::cos(p[2]), std::sin(p[3])), at(std::cos(p[4]), std::sin(p[5])),
            at(std::cos(p[6]), std::sin(p[7]))};
}

// Raw sum of the four windows at plasma row j, table column offset i.
int Reference_Sum(const PlasmaField& f, int j, int i) {
    const Origins o = Reference_Origins(f);
    const size_t row = static_cast<size_t>(j) * 2 * f.width + i;
    return (f.wave_table[o.a + row] + f.ring_table[o.b + row] + f.wave_table[o.c + row] + f.wave_table[o.e + row]) %
           256;
}

// The 8-bit pixel at block column p of row j: four little-endian words added with carries.
uint8_t Reference_8(const PlasmaField& f, int j, int p) {
    const Origins o = Reference_Origins(f);
    const size_t row = static_cast<size_t>(j) * 2 * f.width + 4 * (p / 4);
    auto word = [&](const uint8_t* table, size_t origin) {
        uint64_t w = 0;
        for (int m = 0; m < 4; ++m) w += static_cast<uint64_t>(table[origin + row + m]) << (8 * m);
        return w;
    };
    const uint64_t total =
        (word(f.wave_table, o.a) + word(f.ring_table, o.b) + word(f.wave_table, o.c) + word(f.wave_table, o.e)) %
        4294967296ull;
    const int b = static_cast<int>((total >> (8 * (p % 4))) & 0xFF);
    return static_cast<uint8_t>(((b >= 128 ? 255 - b : b) * 2) % 256);
}

int Reference_Channel(int v, int colour, int shift) {
    const int mixed = plasma_settings.colour_logic_and ? (v & colour) : (v | colour);
    return mixed >> shift;
}

// 24/32 bits: the packed value P of raw sums for blue, green, red.
uint32_t Reference_P(int blue_sum, int green_sum, int red_sum) {
    auto fold = [](int v) { return v >= 128 ? 255 - v : v; };
    const PlasmaSettings& s = plasma_settings;
    const uint32_t blue = Reference_Channel(fold(blue_sum), s.colour_blue, s.blue_shift);
    const uint32_t green = Reference_Channel(fold(green_sum), s.colour_green, s.green_shift);
    const uint32_t red = Reference_Channel(fold(red_sum), s.colour_red, s.red_shift);
    uint32_t p = (red << 16) | (green << 8) | blue;
    if (s.brighten) p <<= 1;
    return p;
}

// 15/16 bits, with the format as the surface has it.
uint32_t Reference_16(int blue_sum, int green_sum, int red_sum, bool layout_565, int green_mask) {
    auto fold = [](int v) { return (v & 32) ? 255 - v : v; };
    const PlasmaSettings& s = plasma_settings;
    const uint32_t blue = Reference_Channel(fold(blue_sum), s.colour_blue & 31, s.blue_shift);
    const uint32_t green = Reference_Channel(fold(green_sum), s.colour_green & green_mask, s.green_shift);
    const uint32_t red = Reference_Channel(fold(red_sum), s.colour_red & 31, s.red_shift);
    const uint32_t pixel = layout_565 ? (red << 11) | (green << 6) | blue : (red << 10) | (green << 5) | blue;
    return pixel & 0xFFFF;
}

// ---------------------------------------------------------------------------
// Tables and phases

class PlasmaTableTest : public PlasmaTest {};

TEST_F(PlasmaTableTest, TablesAreMirroredBothWays) {
    app.screen_bpp = 32;
    plasma_settings.contrast = 3;
    Build(&plasma_field_0, 48, 20);
    const PlasmaField& f = plasma_field_0;
    const int W = 48, H = 20;
    for (int r = 0; r < 2 * H; ++r) {
        for (int c = 0; c < 2 * W; ++c) {
            const size_t cell = r * 2 * W + c;
            ASSERT_EQ(f.ring_table[cell], f.ring_table[r * 2 * W + (2 * W - 1 - c)]) << r << "," << c;
            ASSERT_EQ(f.ring_table[cell], f.ring_table[(2 * H - 1 - r) * 2 * W + c]) << r << "," << c;
            ASSERT_EQ(f.wave_table[cell], f.wave_table[r * 2 * W + (2 * W - 1 - c)]) << r << "," << c;
            ASSERT_EQ(f.wave_table[cell], f.wave_table[(2 * H - 1 - r) * 2 * W + c]) << r << "," << c;
        }
    }
}

TEST_F(PlasmaTableTest, KnownValuesAtTheDefaults) {
    app.screen_bpp = 32;
    plasma_settings.contrast = 4;
    Build(&plasma_field_0, 128, 128);
    const PlasmaField& f = plasma_field_0;
    // The far corner: trunc((sqrt(128^2 + 128^2 + 16) - 4) x 5.4 / 4) = 239, the largest ring value.
    EXPECT_EQ(f.ring_table[0], 239);
    EXPECT_EQ(*std::max_element(f.ring_table, f.ring_table + 4 * 128 * 128), 239);
    // Next to the centre: sqrt(18) - 4 is about 0.243, so the ring starts at 0.
    EXPECT_EQ(f.ring_table[127 * 256 + 127], 0);
    // A wave cell worked out by hand: r = 100, c = 90 gives dx = 38, dy = 28.
    const double d = std::sqrt(38.0 * 38 + 28 * 28 + 16) - 4;
    EXPECT_EQ(f.wave_table[100 * 256 + 90], static_cast<int>((std::sin(d / 9.5f) + 1.0) * 50 / 4));
    EXPECT_EQ(f.width, 128);
    EXPECT_EQ(f.contrast, 4);
}

TEST_F(PlasmaTableTest, ContrastOneWrapsTheRings) {
    app.screen_bpp = 32;
    plasma_settings.contrast = 1;
    Build(&plasma_field_0, 128, 128);
    const double d = std::sqrt(128.0 * 128 * 2 + 16) - 4;
    EXPECT_EQ(plasma_field_0.ring_table[0], static_cast<int>(std::trunc(d * 5.4f)) % 256);
    // Wrapped rings repeat: the top row runs through every value more than once.
    const uint8_t* top = plasma_field_0.ring_table;
    EXPECT_LT(*std::min_element(top, top + 128), 10);
    EXPECT_GT(*std::max_element(top, top + 128), 245);
}

TEST_F(PlasmaTableTest, ThreeFieldsShareTablesButNotPhases) {
    app.screen_bpp = 16;
    Build(&plasma_field_0, 64, 32);
    Build(&plasma_field_1, 64, 32);
    Build(&plasma_field_2, 64, 32);
    EXPECT_EQ(std::memcmp(plasma_field_0.ring_table, plasma_field_1.ring_table, 4 * 64 * 32), 0);
    EXPECT_EQ(std::memcmp(plasma_field_0.wave_table, plasma_field_2.wave_table, 4 * 64 * 32), 0);
    EXPECT_NE(std::memcmp(plasma_field_0.phase, plasma_field_1.phase, sizeof plasma_field_0.phase), 0);
}

TEST_F(PlasmaTableTest, FieldsBuiltFromOtherSettingsGetTheirOwnTables) {
    app.screen_bpp = 32;
    plasma_settings.contrast = 4;
    Build(&plasma_field_0, 128, 128);
    plasma_settings.contrast = 8;
    Build(&plasma_field_1, 128, 128);
    EXPECT_EQ(plasma_field_1.ring_table[0], 119);  // trunc(956.0 / 8)
    plasma_settings.ripple_frequency = 2.7f;
    Build(&plasma_field_2, 128, 128);
    EXPECT_EQ(plasma_field_2.ring_table[0], 59);  // trunc(478.0 / 8)
    Build(&plasma_field_2, 128, 64);
    EXPECT_EQ(plasma_field_2.ring_table[0], static_cast<int>((std::sqrt(128.0 * 128 + 64 * 64 + 16) - 4) * 2.7f / 8));
    EXPECT_EQ(plasma_field_0.ring_table[0], 239);
}

TEST_F(PlasmaTableTest, PhasesComeFromTheGenerator) {
    app.screen_bpp = 24;
    crt::srand(777);
    int drawn[8];
    for (int& r : drawn) r = crt::rand() % 65536;
    crt::srand(777);
    Build(&plasma_field_0, 16, 16);
    for (int i = 0; i < 8; ++i) {
        const float expected = static_cast<float>(drawn[i] * (i % 2 == 0 ? 1.0 : -1.0) / 16384.0);
        EXPECT_EQ(plasma_field_0.phase[i], expected) << i;
        if (i % 2 == 0) {
            EXPECT_TRUE(plasma_field_0.phase[i] >= 0.0f && plasma_field_0.phase[i] < 2.0f);
        } else {
            EXPECT_TRUE(plasma_field_0.phase[i] <= 0.0f && plasma_field_0.phase[i] > -2.0f);
        }
    }
}

TEST_F(PlasmaTableTest, UnsupportedDepthAllocatesNothing) {
    app.screen_bpp = 12;
    plasma_settings.plasma_width = 32;
    plasma_settings.plasma_height = 32;
    EXPECT_EQ(Setup_Plasma(&plasma_field_0), 0);
    EXPECT_TRUE(Reported("Initialise_Plasma():\n\nUnsupported bpp 12"));
    EXPECT_EQ(plasma_field_0.ring_table, nullptr);
    EXPECT_EQ(plasma_field_0.wave_table, nullptr);
}

TEST_F(PlasmaTableTest, ImpossibleSizeReportsTheFirstTable) {
    app.screen_bpp = 32;
    plasma_settings.plasma_width = 1 << 20;
    plasma_settings.plasma_height = 1 << 20;
    EXPECT_EQ(Setup_Plasma(&plasma_field_0), 0);
    EXPECT_TRUE(Reported("Setup_Plasma():\n\nUnable to allocate memory for plasma table 1"));
    EXPECT_EQ(plasma_field_0.ring_table, nullptr);
    EXPECT_EQ(plasma_field_0.wave_table, nullptr);
    Shutdown_Plasma();  // nothing to free twice
}

TEST_F(PlasmaTableTest, RebuildWithoutShutdownDoesNotKeepOldTables) {
    app.screen_bpp = 32;
    Build(&plasma_field_0, 32, 32);
    Build(&plasma_field_0, 64, 16);
    EXPECT_EQ(plasma_field_0.table_width, 64);
    EXPECT_EQ(plasma_field_0.table_height, 16);
    Shutdown_Plasma();
    EXPECT_EQ(plasma_field_0.ring_table, nullptr);
    EXPECT_EQ(plasma_field_0.wave_table, nullptr);
}

// ---------------------------------------------------------------------------
// Writers

class PlasmaWriterTest : public PlasmaTest {
protected:
    static constexpr int W = 64, H = 40, X = 8, Y = 6;

    // Colour settings that exercise masks, shifts and both logics.
    void Colours(bool logic_and) {
        plasma_settings.colour_blue = 0x5A;
        plasma_settings.colour_green = 0x3C;
        plasma_settings.colour_red = 0x7F;
        plasma_settings.colour_logic_and = logic_and ? 1 : 0;
        plasma_settings.red_shift = 1;
        plasma_settings.green_shift = 0;
        plasma_settings.blue_shift = 0;
        plasma_settings.brighten = 1;
    }

    // Every pixel of the block against `expected` (block column, row); the
    // surroundings keep the fill byte.
    template <typename Expected>
    void Check_Block(const Snapshot& shot, uint32_t untouched, Expected expected) {
        for (int y = 0; y < shot.height; ++y) {
            for (int x = 0; x < shot.width; ++x) {
                const bool inside = x >= X && x < X + W && y >= Y && y < Y + H;
                const uint32_t want = inside ? expected(x - X, y - Y) : untouched;
                ASSERT_EQ(shot.Pixel(x, y), want) << "pixel " << x << "," << y;
            }
        }
    }
};

TEST_F(PlasmaWriterTest, EightBitsFourPixelsPerWordWithCarries) {
    Open_Display(8, 96, 64, 0x07E0, 3);
    Build(&plasma_field_0, W, H);
    Fill(Hidden, 0xEE);
    ASSERT_EQ(Process_Plasma_8(&plasma_field_0, Hidden, 35.0, X, Y), 1);
    Check_Block(Read(Hidden), 0xEE, [&](int p, int j) { return Reference_8(plasma_field_0, j, p); });
    // Every plasma pixel is an even palette index.
    const Snapshot shot = Read(Hidden);
    for (int p = 0; p < W; ++p) EXPECT_EQ(shot.Pixel(X + p, Y) % 2, 0u);
}

struct SixteenCase {
    int depth;
    uint32_t green_mask_16;
    int pitch_padding;
    bool logic_and;
    const char* name;
};
void PrintTo(const SixteenCase& c, std::ostream* out) { *out << c.name; }

class PlasmaWriter16Test : public PlasmaWriterTest, public ::testing::WithParamInterface<SixteenCase> {};

TEST_P(PlasmaWriter16Test, SingleAndMultiColourFollowTheLayout) {
    const SixteenCase& c = GetParam();
    Open_Display(c.depth, 96, 64, c.green_mask_16, c.pitch_padding);
    const bool layout_565 = Hidden->green_mask == 0x07E0;
    Colours(c.logic_and);
    Build(&plasma_field_0, W, H);
    Build(&plasma_field_1, W, H);
    Build(&plasma_field_2, W, H);

    Fill(Hidden, 0x11);
    ASSERT_EQ(Process_Plasma_16(&plasma_field_0, Hidden, 35.0, X, Y), 1);
    EXPECT_EQ(format_565, layout_565 ? 1 : 0);
    Check_Block(Read(Hidden), 0x1111, [&](int p, int j) {
        const int v = Reference_Sum(plasma_field_0, j, p / 4);
        return Reference_16(v, v, v, layout_565, 31);
    });

    Fill(Hidden, 0x11);
    ASSERT_EQ(Multi_Colour_Plasma_16(&plasma_field_0, &plasma_field_1, &plasma_field_2, Hidden, 35.0, 20.0, 5.0, X, Y),
              1);
    // The colour byte keeps six green bits only where the layout has them.
    Check_Block(Read(Hidden), 0x1111, [&](int p, int j) {
        return Reference_16(Reference_Sum(plasma_field_0, j, p / 4), Reference_Sum(plasma_field_1, j, p / 4),
                            Reference_Sum(plasma_field_2, j, p / 4), layout_565, layout_565 ? 63 : 31);
    });
}

INSTANTIATE_TEST_SUITE_P(Formats, PlasmaWriter16Test,
                         ::testing::Values(SixteenCase{16, 0x07E0, 0, true, "Depth16_565_And"},
                                           SixteenCase{16, 0x07E0, 0, false, "Depth16_565_Or"},
                                           SixteenCase{16, 0x03E0, 0, true, "Depth16_555_And"},
                                           SixteenCase{16, 0x03E0, 6, false, "Depth16_555_Or_Padded"},
                                           SixteenCase{15, 0x07E0, 0, true, "Depth15_And"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlasmaWriterTest, SixteenBitsAndLogicKeepsGreenBelowBitEleven) {
    Open_Display(16, 96, 64);
    plasma_settings.colour_logic_and = 1;
    plasma_settings.red_shift = plasma_settings.green_shift = plasma_settings.blue_shift = 0;
    Build(&plasma_field_0, W, H);
    ASSERT_EQ(Process_Plasma_16(&plasma_field_0, Hidden, 35.0, X, Y), 1);
    const Snapshot shot = Read(Hidden);
    for (int j = 0; j < H; ++j)
        for (int p = 0; p < W; ++p) {
            const uint32_t pixel = shot.Pixel(X + p, Y + j);
            // Red and green carry the same value: red at bit 11 up, green at bit 6 up.
            ASSERT_EQ((pixel >> 6) & 0x1F, pixel >> 11);
            ASSERT_EQ(pixel & 0x20, 0u);
        }
}

struct DeepCase {
    int depth;
    int pitch_padding;
    bool logic_and;
    const char* name;
};
void PrintTo(const DeepCase& c, std::ostream* out) { *out << c.name; }

class PlasmaWriterDeepTest : public PlasmaWriterTest, public ::testing::WithParamInterface<DeepCase> {};

TEST_P(PlasmaWriterDeepTest, SingleAndMultiColourPackTheChannels) {
    const DeepCase& c = GetParam();
    Open_Display(c.depth, 96, 64, 0x07E0, c.pitch_padding);
    Colours(c.logic_and);
    Build(&plasma_field_0, W, H);
    Build(&plasma_field_1, W, H);
    Build(&plasma_field_2, W, H);
    const uint32_t mask = c.depth == 24 ? 0xFFFFFFu : 0xFFFFFFFFu;
    const uint32_t untouched = 0x22222222u & mask;

    Fill(Hidden, 0x22);
    const int single = c.depth == 24 ? Process_Plasma_24(&plasma_field_0, Hidden, 35.0, X, Y)
                                     : Process_Plasma_32(&plasma_field_0, Hidden, 35.0, X, Y);
    ASSERT_EQ(single, 1);
    Check_Block(Read(Hidden), untouched, [&](int p, int j) {
        const int v = Reference_Sum(plasma_field_0, j, p / 4);
        return Reference_P(v, v, v) & mask;
    });

    Fill(Hidden, 0x22);
    const int multi =
        c.depth == 24
            ? Multi_Colour_Plasma_24(&plasma_field_0, &plasma_field_1, &plasma_field_2, Hidden, 35.0, 35.0, 35.0, X, Y)
            : Multi_Colour_Plasma_32(&plasma_field_0, &plasma_field_1, &plasma_field_2, Hidden, 35.0, 35.0, 35.0, X, Y);
    ASSERT_EQ(multi, 1);
    Check_Block(Read(Hidden), untouched, [&](int p, int j) {
        return Reference_P(Reference_Sum(plasma_field_0, j, p / 4), Reference_Sum(plasma_field_1, j, p / 4),
                           Reference_Sum(plasma_field_2, j, p / 4)) &
               mask;
    });
}

INSTANTIATE_TEST_SUITE_P(Formats, PlasmaWriterDeepTest,
                         ::testing::Values(DeepCase{24, 0, true, "Depth24_And"},
                                           DeepCase{24, 5, false, "Depth24_Or_Padded"},
                                           DeepCase{32, 0, true, "Depth32_And"},
                                           DeepCase{32, 12, false, "Depth32_Or_Padded"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every shift from none to a whole byte, both logics, with and without
// brighten, along rows of 25 steps (a run of sixteen and a rest).
TEST_F(PlasmaWriterTest, ThirtyTwoBitsFollowTheReferenceForEveryShift) {
    constexpr int WIDE = 100;
    struct Mix {
        int blue, green, red;
        int blue_shift, green_shift, red_shift;
        bool logic_and, brighten;
    };
    const Mix mixes[] = {
        {0x00, 0xFF, 0x80, 0, 1, 2, false, false},
        {0xFF, 0x5A, 0x3C, 3, 4, 5, true, true},
        {0x81, 0x7F, 0xFF, 6, 7, 8, false, true},
        {0xC3, 0x00, 0xFF, 8, 0, 0, true, true},
    };
    Open_Display(32, 128, 48, 0x07E0, 12);
    Build(&plasma_field_0, WIDE, H);
    Build(&plasma_field_1, WIDE, H);
    Build(&plasma_field_2, WIDE, H);
    PlasmaSettings& s = plasma_settings;
    for (const Mix& m : mixes) {
        s.colour_blue = m.blue, s.colour_green = m.green, s.colour_red = m.red;
        s.blue_shift = m.blue_shift, s.green_shift = m.green_shift, s.red_shift = m.red_shift;
        s.colour_logic_and = m.logic_and, s.brighten = m.brighten;
        for (bool multi : {false, true}) {
            Fill(Hidden, 0x22);
            ASSERT_EQ(multi ? Multi_Colour_Plasma_32(&plasma_field_0, &plasma_field_1, &plasma_field_2, Hidden, 35.0,
                                                     35.0, 35.0, X, Y)
                            : Process_Plasma_32(&plasma_field_0, Hidden, 35.0, X, Y),
                      1);
            const Snapshot shot = Read(Hidden);
            for (int j = 0; j < H; ++j)
                for (int p = 0; p < WIDE; ++p) {
                    const int blue = Reference_Sum(plasma_field_0, j, p / 4);
                    const int green = multi ? Reference_Sum(plasma_field_1, j, p / 4) : blue;
                    const int red = multi ? Reference_Sum(plasma_field_2, j, p / 4) : blue;
                    ASSERT_EQ(shot.Pixel(X + p, Y + j), Reference_P(blue, green, red))
                        << "mix " << (&m - mixes) << (multi ? " multi" : " single") << " pixel " << p << "," << j;
                }
            EXPECT_EQ(shot.Pixel(X + WIDE, Y), 0x22222222u);
        }
    }
}

TEST_F(PlasmaWriterTest, PlainColoursGiveTheFoldedValueAndBrightenDoublesIt) {
    Open_Display(32, 96, 64);
    plasma_settings.red_shift = plasma_settings.green_shift = plasma_settings.blue_shift = 0;
    plasma_settings.brighten = 0;
    Build(&plasma_field_0, W, H);
    ASSERT_EQ(Process_Plasma_32(&plasma_field_0, Hidden, 35.0, 0, 0), 1);
    Snapshot shot = Read(Hidden);
    for (int p = 0; p < W; ++p) {
        const uint32_t pixel = shot.Pixel(p, 0);
        const uint32_t v = pixel & 0xFF;
        ASSERT_LE(v, 127u);
        ASSERT_EQ(pixel, (v << 16) | (v << 8) | v);
    }
    plasma_settings.brighten = 1;
    ASSERT_EQ(Process_Plasma_32(&plasma_field_0, Hidden, 35.0, 0, 0), 1);
    shot = Read(Hidden);
    for (int p = 0; p < W; ++p) {
        const uint32_t v = shot.Pixel(p, 0) & 0xFF;
        ASSERT_EQ(v % 2, 0u);
        ASSERT_LE(v, 254u);
    }
}

TEST_F(PlasmaWriterTest, PhasesAdvanceByTheirStepsEvenWhenTheLockFails) {
    Open_Display(32, 96, 64);
    plasma_settings.sway = 1.6f;
    Build(&plasma_field_0, W, H);
    float before[8];
    std::memcpy(before, plasma_field_0.phase, sizeof before);
    const double steps[8] = {0.0425, -0.05, 0.15, -0.1, 0.2, -0.075, 0.175, -0.025};

    dd_faults.lock_answer = DDERR_INVALIDPARAMS;
    EXPECT_EQ(Process_Plasma_32(&plasma_field_0, Hidden, 7.0, 0, 0), 0);
    EXPECT_TRUE(Reported("Process Plasma_32():\n\nUnable to Lock destination surface"));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(plasma_field_0.phase[i], static_cast<float>(before[i] + 1.6f * steps[i] / 7.0)) << i;

    // An infinite divisor (a frame of no time) leaves them where they are.
    dd_faults.lock_answer = DD_OK;
    std::memcpy(before, plasma_field_0.phase, sizeof before);
    EXPECT_EQ(Process_Plasma_32(&plasma_field_0, Hidden, INFINITY, 0, 0), 1);
    EXPECT_EQ(std::memcmp(before, plasma_field_0.phase, sizeof before), 0);
}

TEST_F(PlasmaWriterTest, EveryWriterNamesItselfWhenTheLockFails) {
    Open_Display(32, 96, 64);
    Build(&plasma_field_0, W, H);
    Build(&plasma_field_1, W, H);
    Build(&plasma_field_2, W, H);
    dd_faults.lock_answer = DDERR_INVALIDPARAMS;
    PlasmaField* f0 = &plasma_field_0;
    PlasmaField* f1 = &plasma_field_1;
    PlasmaField* f2 = &plasma_field_2;
    const std::string generic = "Process Plasma():\n\nUnable to Lock destination surface";
    struct Case {
        int result;
        std::string text;
    };
    const Case cases[] = {
        {Process_Plasma_8(f0, Hidden, 35.0, 0, 0), generic},
        {Process_Plasma_16(f0, Hidden, 35.0, 0, 0), generic},
        {Process_Plasma_24(f0, Hidden, 35.0, 0, 0), "Process Plasma_24():\n\nUnable to Lock destination surface"},
        {Multi_Colour_Plasma_16(f0, f1, f2, Hidden, 35.0, 35.0, 35.0, 0, 0), generic},
        {Multi_Colour_Plasma_24(f0, f1, f2, Hidden, 35.0, 35.0, 35.0, 0, 0),
         "Multi Plasma_24():\n\nUnable to Lock destination surface"},
        {Multi_Colour_Plasma_32(f0, f1, f2, Hidden, 35.0, 35.0, 35.0, 0, 0), generic},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, 0);
        EXPECT_TRUE(Reported(c.text)) << c.text;
    }
    EXPECT_EQ(Hidden->lock_count, 0);
}

TEST_F(PlasmaWriterTest, EmptyFieldLocksAndDrawsNothing) {
    Open_Display(32, 96, 64);
    Build(&plasma_field_0, 32, 0);
    Fill(Hidden, 0x33);
    EXPECT_EQ(Process_Plasma_32(&plasma_field_0, Hidden, 35.0, 0, 0), 1);
    EXPECT_EQ(Hidden->lock_count, 0);
    const Snapshot shot = Read(Hidden);
    EXPECT_EQ(shot.Pixel(0, 0), 0x33333333u);
}

TEST_F(PlasmaWriterTest, BlockReachingPastTheSurfaceIsCut) {
    Open_Display(24, 40, 30);
    Build(&plasma_field_0, 64, 48);
    Fill(Hidden, 0x44);
    // Larger than the surface and hanging over its left and top edges.
    ASSERT_EQ(Process_Plasma_24(&plasma_field_0, Hidden, 35.0, -6, -5), 1);
    const Snapshot shot = Read(Hidden);
    // The first whole step starts at block column 8, surface column 2.
    for (int y = 0; y < 30; ++y)
        for (int x = 2; x < 38; ++x) {
            const int v = Reference_Sum(plasma_field_0, y + 5, (x + 6) / 4);
            ASSERT_EQ(shot.Pixel(x, y), Reference_P(v, v, v) & 0xFFFFFF) << x << "," << y;
        }
    EXPECT_EQ(shot.Pixel(0, 0), 0x444444u);  // part of a step cut by the edge
    EXPECT_EQ(shot.Pixel(39, 29), 0x444444u);
}

TEST_F(PlasmaWriterTest, WidthChangedBeforeTheRebuildNeverReadsPastTheTables) {
    Open_Display(32, 256, 64);
    Build(&plasma_field_0, 32, 16);
    plasma_field_0.width = 200;  // as Modify_Plasma does ahead of a rebuild
    plasma_field_0.height = 60;
    Fill(Hidden, 0x55);
    ASSERT_EQ(Process_Plasma_32(&plasma_field_0, Hidden, 35.0, 0, 0), 1);
    const Snapshot shot = Read(Hidden);
    EXPECT_EQ(shot.Pixel(32, 0), 0x55555555u);
    EXPECT_EQ(shot.Pixel(0, 16), 0x55555555u);
}

// ---------------------------------------------------------------------------
// Palettes

class PlasmaPaletteTest : public PlasmaTest {
protected:
    void SetUp() override {
        PlasmaTest::SetUp();
        Open_Display(8, 64, 48);
    }

    static PaletteEntry Loaded(int index) {
        PaletteEntry entry;
        Palette_GetEntries(display_palette, index, 1, &entry);
        return entry;
    }

    // A seed whose first draw picks ramp palette k.
    static unsigned Seed_For(int k) {
        for (unsigned seed = 1;; ++seed) {
            crt::srand(seed);
            if (crt::rand() % 11 == k) return seed;
        }
    }

    static void Expect_Entry(int index, int red, int green, int blue, int flags) {
        const PaletteEntry e = Loaded(index);
        EXPECT_EQ(e.red, red) << "entry " << index;
        EXPECT_EQ(e.green, green) << "entry " << index;
        EXPECT_EQ(e.blue, blue) << "entry " << index;
        EXPECT_EQ(e.flags, flags) << "entry " << index;
    }
};

TEST_F(PlasmaPaletteTest, RampPalettesFollowTheirBands) {
    crt::srand(Seed_For(0));
    Choose_Plasma_Palette();
    Expect_Entry(10, 10, 0, 0, 0);
    Expect_Entry(64 + 10, 53, 10, 0, 0);
    Expect_Entry(128 + 63, 0, 0, 63, 0);
    Expect_Entry(192 + 5, 0, 0, 58, 0);

    crt::srand(Seed_For(5));
    Choose_Plasma_Palette();
    Expect_Entry(7, 7, 0, 3, 0);
    Expect_Entry(64 + 7, 28, 0, 56, 0);
    Expect_Entry(128 + 7, 56, 0, 28, 0);

    crt::srand(Seed_For(7));
    Choose_Plasma_Palette();
    Expect_Entry(64 + 63, 254, 254, 0, 0);
    Expect_Entry(128 + 1, 248, 248, 0, 0);
    Expect_Entry(192 + 0, 0, 0, 126, 0);
    EXPECT_EQ(palette_entries[129].red, 248);
}

TEST_F(PlasmaPaletteTest, ShiftPalettesShiftEachHalf) {
    Set_Shift_Palette(6);  // 2 0 2 | 2 5 0
    EXPECT_EQ(last_shift_palette, 6);
    Expect_Entry(100, 25, 0, 25, 4);
    Expect_Entry(200, 50, 6, 0, 4);
    Set_Shift_Palette(9);  // 3 3 2 | 1 1 1
    Expect_Entry(127, 15, 15, 31, 4);
    Expect_Entry(255, 127, 127, 127, 4);
    Set_Shift_Palette(25);  // out of range: palette 0, 2 0 0 | 2 1 0
    EXPECT_EQ(last_shift_palette, 0);
    Expect_Entry(64, 16, 0, 0, 4);
    Expect_Entry(130, 32, 65, 0, 4);
}

TEST_F(PlasmaPaletteTest, RandomShiftPaletteNeverRepeatsTheLast) {
    int previous = last_shift_palette;
    for (int i = 0; i < 60; ++i) {
        Set_Shift_Palette(-1);
        ASSERT_GE(last_shift_palette, 0);
        ASSERT_LT(last_shift_palette, SHIFT_PALETTE_COUNT);
        ASSERT_NE(last_shift_palette, previous);
        previous = last_shift_palette;
    }
    // The eleventh choice of Choose_Plasma_Palette is a random shift palette.
    crt::srand(Seed_For(10));
    const int before = last_shift_palette;
    Choose_Plasma_Palette();
    EXPECT_NE(last_shift_palette, before);
    EXPECT_EQ(Loaded(200).flags, 4);
}

TEST_F(PlasmaPaletteTest, SetupPicksAPaletteAtEightBits) {
    for (int i = 0; i < 256; ++i) palette_entries[i] = PaletteEntry{};
    Palette_SetEntries(display_palette, 0, 256, palette_entries);
    Build(&plasma_field_0, 32, 32);
    int lit = 0;
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry e = Loaded(i);
        lit += e.red + e.green + e.blue > 0;
    }
    EXPECT_GT(lit, 0);
}

TEST_F(PlasmaPaletteTest, NothingHappensWithoutAPalette) {
    Palette* palette = display_palette;
    display_palette = nullptr;
    palette_entries[5] = PaletteEntry{1, 2, 3, 0};
    EXPECT_EQ(Choose_Plasma_Palette(), 1);
    EXPECT_EQ(Set_Shift_Palette(3), 1);
    display_palette = palette;
    EXPECT_EQ(palette_entries[5].red, 1);
    EXPECT_EQ(last_shift_palette, -1);
}

}  // namespace

// Big pictures are drawn in row bands on every core: the bands must give
// the bytes one band gives, at every depth, single and multi-colour.
TEST_F(PlasmaWriterTest, RowBandsGiveTheBytesOfOneBand) {
    for (int depth : {8, 16, 24, 32}) {
        Open_Display(depth, 96, 64, 0x07E0, 5);
        Colours(false);
        Build(&plasma_field_0, W, H);
        Build(&plasma_field_1, W, H);
        Build(&plasma_field_2, W, H);
        const PlasmaField saved[3] = {plasma_field_0, plasma_field_1, plasma_field_2};
        auto draw = [&](int threads, bool multi) {
            row_band_threads = threads;
            plasma_field_0 = saved[0];
            plasma_field_1 = saved[1];
            plasma_field_2 = saved[2];
            Fill(Hidden, 0x22);
            int drawn = 0;
            switch (depth) {
            case 8: drawn = Process_Plasma_8(&plasma_field_0, Hidden, 35.0, X, Y); break;
            case 16:
                drawn = multi ? Multi_Colour_Plasma_16(&plasma_field_0, &plasma_field_1, &plasma_field_2, Hidden, 35.0,
                                                       35.0, 35.0, X, Y)
                              : Process_Plasma_16(&plasma_field_0, Hidden, 35.0, X, Y);
                break;
            case 24:
                drawn = multi ? Multi_Colour_Plasma_24(&plasma_field_0, &plasma_field_1, &plasma_field_2, Hidden, 35.0,
                                                       35.0, 35.0, X, Y)
                              : Process_Plasma_24(&plasma_field_0, Hidden, 35.0, X, Y);
                break;
            default:
                drawn = multi ? Multi_Colour_Plasma_32(&plasma_field_0, &plasma_field_1, &plasma_field_2, Hidden, 35.0,
                                                       35.0, 35.0, X, Y)
                              : Process_Plasma_32(&plasma_field_0, Hidden, 35.0, X, Y);
                break;
            }
            row_band_threads = 0;
            EXPECT_EQ(drawn, 1);
            return Read(Hidden).bytes;
        };
        for (bool multi : {false, true}) {
            const std::vector<uint8_t> one_band = draw(1, multi);
            EXPECT_EQ(draw(3, multi), one_band) << depth << (multi ? " multi" : " single");
            EXPECT_EQ(draw(7, multi), one_band) << depth << (multi ? " multi" : " single");
        }
        Shutdown_Plasma();
        plasma_field_0 = plasma_field_1 = plasma_field_2 = PlasmaField{};
        Shutdown_Direct_Draw();
    }
}
