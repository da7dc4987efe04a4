// Drawing with the symmetry folds, Modify_Plasma's clamps and switches, the
// random-colour tick and Refresh_Plasma.
#include "plasma_fixture.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <set>

#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "preset/preset_setter.h"
#include "preset/window_caption.h"
#include "slides/colour_slides.h"
#include "slides/slide_objects.h"
#include "text/titles.h"

namespace {

class ModifyPlasmaTest : public PlasmaTest {
protected:
    void SetUp() override {
        PlasmaTest::SetUp();
        app.screen_width = 640;
        app.screen_height = 480;
        app.screen_bpp = 32;
        app.saver_mode = CONFIGURE;
    }

    static int Width_For(float value, int symmetry) {
        plasma_settings.symmetry = symmetry;
        EXPECT_EQ(Modify_Plasma(PLASMA_WIDTH, value, 0), 1);
        EXPECT_EQ(plasma_field_0.width, plasma_settings.plasma_width);
        return plasma_settings.plasma_width;
    }

    static int Height_For(float value, int symmetry) {
        plasma_settings.symmetry = symmetry;
        EXPECT_EQ(Modify_Plasma(PLASMA_HEIGHT, value, 0), 1);
        EXPECT_EQ(plasma_field_0.height, plasma_settings.plasma_height);
        return plasma_settings.plasma_height;
    }
};

TEST_F(ModifyPlasmaTest, PlasmaSizeFollowsTheSymmetry) {
    EXPECT_EQ(Width_For(640, 0), 640);
    EXPECT_EQ(Height_For(480, 0), 480);
    // Bipolar mirrors sideways only: the height stays whole.
    EXPECT_EQ(Width_For(640, 1), 320);
    EXPECT_EQ(Height_For(480, 1), 480);
    EXPECT_EQ(Width_For(640, 2), 320);
    EXPECT_EQ(Height_For(480, 2), 240);
    EXPECT_EQ(Width_For(640, 3), 160);
    EXPECT_EQ(Height_For(480, 3), 120);
    // Unknown symmetry values divide nothing.
    EXPECT_EQ(Width_For(600, 7), 600);
}

TEST_F(ModifyPlasmaTest, PlasmaSizeIsAMultipleOfFourWithinTheScreen) {
    EXPECT_EQ(Width_For(10.0f, 0), 16);
    EXPECT_EQ(Width_For(16.9f, 0), 16);
    EXPECT_EQ(Width_For(23.0f, 0), 20);
    EXPECT_EQ(Width_For(642.0f, 0), 640);
    EXPECT_EQ(Width_For(5000.0f, 0), 640);
    EXPECT_EQ(Height_For(479.0f, 0), 476);
    EXPECT_EQ(Height_For(-50.0f, 0), 16);
    app.screen_width = 1024;
    EXPECT_EQ(Width_For(1023.0f, 0), 1020);
    // Values no integer can hold neither crash nor escape the clamps.
    EXPECT_EQ(Width_For(std::numeric_limits<float>::quiet_NaN(), 0), 16);
    EXPECT_EQ(Width_For(1e30f, 0), 1024);
    EXPECT_EQ(Height_For(-1e30f, 3), 16);
}

TEST_F(ModifyPlasmaTest, ClampsOfTheOtherFields) {
    const auto set = [](int code, float value) { EXPECT_EQ(Modify_Plasma(code, value, 0), 1); };
    PlasmaSettings& s = plasma_settings;
    set(PLASMA_CONTRAST, 0.0f);
    EXPECT_EQ(s.contrast, 1);
    set(PLASMA_CONTRAST, 99.0f);
    EXPECT_EQ(s.contrast, 60);
    set(PLASMA_CONTRAST, 7.9f);
    EXPECT_EQ(s.contrast, 7);
    set(PLASMA_SPEED, 0.5f);
    EXPECT_EQ(s.speed, 1.0);
    set(PLASMA_SPEED, 1000.0f);
    EXPECT_EQ(s.speed, 499.0);
    set(PLASMA_SPEED, 42.5f);
    EXPECT_EQ(s.speed, 42.5);
    set(PLASMA_SPEED, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(s.speed, 1.0);
    set(PLASMA_MULTI_COLOUR, 0.9f);
    EXPECT_EQ(s.multi_colour, 0);
    set(PLASMA_MULTI_COLOUR, 5.0f);
    EXPECT_EQ(s.multi_colour, 1);
    set(PLASMA_COLOUR_BLUE, 300.0f);
    EXPECT_EQ(s.colour_blue, 44);
    set(PLASMA_COLOUR_GREEN, -1.0f);
    EXPECT_EQ(s.colour_green, 255);
    set(PLASMA_COLOUR_RED, 31.7f);
    EXPECT_EQ(s.colour_red, 31);
    set(PLASMA_OVERLAY_SHAPE, 5.0f);
    EXPECT_EQ(s.overlay_shape, 0);
    set(PLASMA_OVERLAY_SHAPE, 4.0f);
    EXPECT_EQ(s.overlay_shape, 4);
    set(PLASMA_OVERLAY_SHAPE, -2.0f);
    EXPECT_EQ(s.overlay_shape, 0);
    set(PLASMA_RIPPLE_FREQUENCY, 2.25f);
    EXPECT_EQ(s.ripple_frequency, 2.25f);
    set(PLASMA_SLIDE_SPEED, 3.5f);
    EXPECT_EQ(s.slide_speed, 3.5);
    set(PLASMA_RESOLUTION, 13.0f);
    EXPECT_EQ(s.resolution, 13);
    set(PLASMA_DIRECTION_CHANGE_FREQUENCY, 250.0f);
    EXPECT_EQ(s.direction_change_frequency, 250);

    // Without a display the kaleidoscope cannot be set up: the failure is
    // reported, the switch stays off and the change carries on.
    set(PLASMA_KALEIDOSCOPE_SWITCH, 1.0f);
    EXPECT_EQ(s.kaleidoscope_on, 0);
    EXPECT_EQ(kaleidoscope_active, 0);
    EXPECT_TRUE(Reported("Modify_Plasma(): Setup_Kaleidoscope FAILED"));

    // On a display both codes set the kaleidoscope up and take it down.
    Open_Display(32, 640, 480);
    app.client_width = 640;
    app.client_height = 480;
    set(PLASMA_KALEIDOSCOPE_SWITCH, 1.0f);
    EXPECT_EQ(s.kaleidoscope_on, 1);
    EXPECT_EQ(kaleidoscope_active, 1);
    set(PLASMA_KALEIDOSCOPE_ON, 0.0f);
    EXPECT_EQ(s.kaleidoscope_on, 0);
    EXPECT_EQ(kaleidoscope_active, 0);
    set(PLASMA_KALEIDOSCOPE_ON, 1.0f);
    EXPECT_EQ(s.kaleidoscope_on, 1);
    EXPECT_EQ(kaleidoscope_active, 1);
}

TEST_F(ModifyPlasmaTest, EveryCodeReachesItsOwnField) {
    struct Case {
        int code;
        int32_t PlasmaSettings::*field;
    };
    const Case cases[] = {
        {PLASMA_COMPLEXITY, &PlasmaSettings::complexity},
        {PLASMA_PREVIEW_ACTIVE, &PlasmaSettings::preview_active},
        {PLASMA_SYMMETRY, &PlasmaSettings::symmetry},
        {PLASMA_COLOUR_LOGIC_AND, &PlasmaSettings::colour_logic_and},
        {PLASMA_BRIGHTEN, &PlasmaSettings::brighten},
        {PLASMA_RED_SHIFT, &PlasmaSettings::red_shift},
        {PLASMA_GREEN_SHIFT, &PlasmaSettings::green_shift},
        {PLASMA_BLUE_SHIFT, &PlasmaSettings::blue_shift},
        {PLASMA_KALEIDOSCOPE_GRANULARITY, &PlasmaSettings::kaleidoscope_granularity},
        {PLASMA_BACKGROUND_MODE, &PlasmaSettings::background_mode},
        {PLASMA_BACKGROUND_VARIABLE, &PlasmaSettings::background_variable},
        {PLASMA_BACKGROUND_BRIGHTNESS, &PlasmaSettings::background_brightness},
        {PLASMA_ZONE_FREQUENCY, &PlasmaSettings::zone_frequency},
        {PLASMA_ZONE_DURATION, &PlasmaSettings::zone_duration},
        {PLASMA_ZONE_MULTICOLOUR, &PlasmaSettings::zone_multicolour},
        {PLASMA_SHAPE_MODE, &PlasmaSettings::shape_mode},
        {PLASMA_SHAPE_SIZE, &PlasmaSettings::shape_size},
        {PLASMA_SHAPE_FREQUENCY, &PlasmaSettings::shape_frequency},
        {PLASMA_BLEND_MODE, &PlasmaSettings::blend_mode},
        {PLASMA_SLIDE_DIRECTION, &PlasmaSettings::slide_direction},
    };
    for (const Case& c : cases) {
        PlasmaSettings before = plasma_settings;
        ASSERT_EQ(Modify_Plasma(c.code, 3.75f, 0), 1);
        before.*(c.field) = 3;  // truncated toward zero
        EXPECT_EQ(std::memcmp(&before, &plasma_settings, sizeof before), 0) << "code " << c.code;
        plasma_settings = before;
    }
}

TEST_F(ModifyPlasmaTest, UnusedCodesChangeNothing) {
    const PlasmaSettings before = plasma_settings;
    for (int code : {9, 27, 28, 42, 100, -1}) {
        EXPECT_EQ(Modify_Plasma(code, 77.0f, 0), 1);
        EXPECT_EQ(std::memcmp(&before, &plasma_settings, sizeof before), 0) << "code " << code;
    }
}

TEST_F(ModifyPlasmaTest, StillPreviewChangesNothing) {
    app.saver_mode = PREVIEW;
    plasma_settings.preview_active = 0;
    const PlasmaSettings before = plasma_settings;
    EXPECT_EQ(Modify_Plasma(PLASMA_CONTRAST, 30.0f, 1), 1);
    EXPECT_EQ(Modify_Plasma(PLASMA_PREVIEW_ACTIVE, 1.0f, 0), 1);
    EXPECT_EQ(std::memcmp(&before, &plasma_settings, sizeof before), 0);
    EXPECT_EQ(plasma_field_0.ring_table, nullptr);

    plasma_settings.preview_active = 1;
    EXPECT_EQ(Modify_Plasma(PLASMA_CONTRAST, 30.0f, 0), 1);
    EXPECT_EQ(plasma_settings.contrast, 30);
}

TEST_F(ModifyPlasmaTest, RebuildMakesThreeFieldsAndClearsHidden) {
    Window window;
    app.main_window = &window;
    dd_config.desktop_bpp = 32;
    ASSERT_EQ(Setup_Windowed_Direct_Draw(640, 480, 32), 1);
    Fill(Hidden, 0x77);
    plasma_settings.plasma_width = 96;
    plasma_settings.plasma_height = 64;
    EXPECT_EQ(Modify_Plasma(PLASMA_CONTRAST, 12.0f, 1), 1);
    for (const PlasmaField* f : {&plasma_field_0, &plasma_field_1, &plasma_field_2}) {
        ASSERT_NE(f->ring_table, nullptr);
        ASSERT_NE(f->wave_table, nullptr);
        EXPECT_EQ(f->width, 96);
        EXPECT_EQ(f->height, 64);
        EXPECT_EQ(f->contrast, 12);
    }
    const Snapshot shot = Read(Hidden);
    EXPECT_EQ(shot.Pixel(0, 0), 0u);
    EXPECT_EQ(shot.Pixel(639, 479), 0u);
}

TEST_F(ModifyPlasmaTest, FailedRebuildIsReportedAndLeavesNoTables) {
    app.screen_bpp = 12;
    EXPECT_EQ(Modify_Plasma(PLASMA_CONTRAST, 12.0f, 1), 0);
    EXPECT_TRUE(Reported("Initialise_Plasma():\n\nUnsupported bpp 12"));
    EXPECT_TRUE(Reported("Modify_Plasma():\n\nUnable to RE-Initialise Plasma"));
    EXPECT_EQ(plasma_settings.contrast, 12);  // the field itself was stored
    EXPECT_EQ(plasma_field_0.ring_table, nullptr);
}

TEST_F(ModifyPlasmaTest, SlidesSwitchTheKaleidoscopeOnWithFreshFields) {
    Open_Display(32, 320, 240);
    app.client_width = 320;
    app.client_height = 240;
    EXPECT_EQ(Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0), 1);
    EXPECT_EQ(plasma_settings.slides_on, 1);
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 1);
    EXPECT_EQ(kaleidoscope_active, 1);
    EXPECT_NE(plasma_field_2.ring_table, nullptr);
    // The slides ride on the plasma the kaleidoscope sized to its tile.
    EXPECT_EQ(slides_active, 1);
    EXPECT_EQ(slide_width, plasma_settings.plasma_width);
    EXPECT_EQ(slide_height, plasma_settings.plasma_height);
    EXPECT_GT(objects_loaded, 0);

    EXPECT_EQ(Modify_Plasma(PLASMA_SLIDES_ON, 0.0f, 0), 1);
    EXPECT_EQ(plasma_settings.slides_on, 0);
    EXPECT_EQ(slides_active, 0);
    EXPECT_EQ(slides[0], nullptr);
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 1);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(ModifyPlasmaTest, SlidesThatCannotBeSetUpAreReported) {
    // No object to carry: the slides cannot be set up.
    Open_Display(32, 320, 240);
    app.client_width = 320;
    app.client_height = 240;
    ASSERT_EQ(std::remove((data_folder_ + "/Data/Bmp/Objects/0.bmp").c_str()), 0);
    EXPECT_EQ(Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0), 0);
    EXPECT_TRUE(Reported("Load_All_Objects(): No Special Effects files (Objects) Loaded"));
    EXPECT_TRUE(Reported("Modify_Plasma(): Setup_Colour_Slides FAILED"));
    EXPECT_EQ(slides_active, 0);
}

TEST_F(ModifyPlasmaTest, OverlayOnMendsAnInvalidShape) {
    Open_Display(32, 320, 240);
    app.client_width = 320;
    app.client_height = 240;
    plasma_settings.overlay_shape = 9;
    EXPECT_EQ(Modify_Plasma(PLASMA_OVERLAY_ON, 0.0f, 0), 1);
    EXPECT_EQ(plasma_settings.overlay_shape, 9);  // off: the shape is left alone
    EXPECT_EQ(scope_active, 0);
    EXPECT_EQ(Modify_Plasma(PLASMA_OVERLAY_ON, 1.0f, 0), 1);
    EXPECT_EQ(plasma_settings.overlay_on, 1);
    EXPECT_EQ(plasma_settings.overlay_shape, 0);
    EXPECT_EQ(scope_active, 1);
    EXPECT_EQ(scope_width, 320);
    EXPECT_EQ(scope_height, 240);

    // Off again takes the overlay down.
    EXPECT_EQ(Modify_Plasma(PLASMA_OVERLAY_ON, 0.0f, 0), 1);
    EXPECT_EQ(scope_active, 0);
    EXPECT_EQ(scope_surface, nullptr);
}

TEST_F(ModifyPlasmaTest, AnOverlayWithoutADisplayIsReportedAndStaysOff) {
    EXPECT_EQ(Modify_Plasma(PLASMA_OVERLAY_ON, 1.0f, 0), 0);
    EXPECT_TRUE(Reported("Modify_Plasma(): Setup_Scope FAILED"));
    EXPECT_EQ(plasma_settings.overlay_on, 0);
    EXPECT_EQ(scope_active, 0);
}

// ---------------------------------------------------------------------------
// Draw_Plasma

class DrawPlasmaTest : public PlasmaTest {
protected:
    // A plasma for the whole drawing area in the given symmetry, built as Refresh_Plasma does.
    void Prepare(int symmetry, int depth = 32) {
        Open_Display(depth, 640, 480);
        plasma_settings.symmetry = symmetry;
        ASSERT_EQ(Modify_Plasma(PLASMA_WIDTH, 640.0f, 0), 1);
        ASSERT_EQ(Modify_Plasma(PLASMA_HEIGHT, 480.0f, 0), 1);
        ASSERT_EQ(Modify_Plasma(PLASMA_SYMMETRY, static_cast<float>(symmetry), 1), 1);
    }

    // Where a folded pixel comes from: the mirrors of the fold, undone.
    static int Unfold(int c, int block, int folds) {
        if (folds >= 2 && c >= 2 * block) c = 4 * block - 1 - c;
        if (folds >= 1 && c >= block) c = 2 * block - 1 - c;
        return c;
    }

    // Every pixel of the area equals its source in the W x H block, and the
    // block itself is not flat.
    static void Expect_Folded(const Snapshot& shot, int W, int H, int x_folds, int y_folds) {
        const int covered_w = W << x_folds, covered_h = H << y_folds;
        for (int y = 0; y < covered_h; ++y)
            for (int x = 0; x < covered_w; ++x)
                ASSERT_EQ(shot.Pixel(x, y), shot.Pixel(Unfold(x, W, x_folds), Unfold(y, H, y_folds))) << x << "," << y;
        std::set<uint32_t> values;
        for (int x = 0; x < W; ++x) values.insert(shot.Pixel(x, H / 2));
        EXPECT_GT(values.size(), 4u);
    }
};

TEST_F(DrawPlasmaTest, EightFoldIsA160By120BlockAt640By480) {
    Prepare(3);
    EXPECT_EQ(plasma_settings.plasma_width, 160);
    EXPECT_EQ(plasma_settings.plasma_height, 120);
    ASSERT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
    Expect_Folded(Read(Hidden), 160, 120, 2, 2);
}

TEST_F(DrawPlasmaTest, BipolarMirrorsOnceSideways) {
    Prepare(1, 16);
    EXPECT_EQ(plasma_settings.plasma_width, 320);
    EXPECT_EQ(plasma_settings.plasma_height, 480);
    ASSERT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
    Expect_Folded(Read(Hidden), 320, 480, 1, 0);
}

TEST_F(DrawPlasmaTest, FourFoldMirrorsBothWays) {
    Prepare(2, 8);
    ASSERT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
    Expect_Folded(Read(Hidden), 320, 240, 1, 1);
}

TEST_F(DrawPlasmaTest, AsymmetricFillsTheWholeArea) {
    Prepare(0, 24);
    plasma_settings.multi_colour = 0;
    Fill(Hidden, 0x99);
    ASSERT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
    const Snapshot shot = Read(Hidden);
    EXPECT_NE(shot.Pixel(639, 479), 0x999999u);
    EXPECT_NE(shot.Pixel(0, 0), 0x999999u);
}

TEST_F(DrawPlasmaTest, UnknownColourModeStillFolds) {
    Prepare(1);
    plasma_settings.multi_colour = 2;
    int pitch = 0;
    uint8_t* pixels = Lock_Surface(Hidden, &pitch);
    ASSERT_NE(pixels, nullptr);
    const uint32_t marker = 0x00ABCDEF;
    std::memcpy(pixels, &marker, 4);
    Unlock_Surface(Hidden);
    ASSERT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
    const Snapshot shot = Read(Hidden);
    EXPECT_EQ(shot.Pixel(0, 0), marker);    // nothing drawn over it
    EXPECT_EQ(shot.Pixel(639, 0), marker);  // and mirrored
}

TEST_F(DrawPlasmaTest, NoTablesDrawsNothingAndSucceeds) {
    Open_Display(32, 640, 480);
    plasma_settings.symmetry = 1;
    Fill(Hidden, 0x12);
    EXPECT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
    EXPECT_EQ(Read(Hidden).Pixel(300, 100), 0x12121212u);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(DrawPlasmaTest, BadDestinations) {
    Prepare(0);
    EXPECT_EQ(Draw_Plasma(nullptr, 0, 0), 0);
    EXPECT_TRUE(Reported("Draw_Plasma() NULL OR LOST DEST"));
    platform_boxes.clear();

    // A lost Hidden comes back with the other global surfaces.
    DD_Lose_All_Surfaces();
    EXPECT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
    EXPECT_FALSE(Hidden->lost);
    EXPECT_TRUE(platform_boxes.empty());

    // Another surface is restored on its own.
    Surface* other = nullptr;
    ASSERT_EQ(Create_SYSTEM_Surface(&other, 640, 480), 1);
    other->lost = true;
    EXPECT_EQ(Draw_Plasma(other, 0, 0), 1);
    EXPECT_FALSE(other->lost);

    dd_faults.restore_fails = true;
    other->lost = true;
    EXPECT_EQ(Draw_Plasma(other, 0, 0), 0);
    EXPECT_TRUE(Reported("Draw_Plasma() NULL OR LOST DEST"));
    Release(other);
}

TEST_F(DrawPlasmaTest, FailedWriterIsNamed) {
    Prepare(0);
    plasma_settings.multi_colour = 1;
    dd_faults.lock_answer = DDERR_INVALIDPARAMS;
    EXPECT_EQ(Draw_Plasma(Hidden, 0, 0), 0);
    EXPECT_TRUE(Reported("Draw_Plasma(): Multi_Colour_Plasma_32 FAILED"));
}

TEST_F(DrawPlasmaTest, FailedFoldIsNamed) {
    Prepare(1);
    dd_faults.blt_answer = DDERR_GENERIC;
    EXPECT_EQ(Draw_Plasma(Hidden, 0, 0), 0);
    EXPECT_TRUE(Reported("Draw_Plasma(): Clip_H_Blit FAILED"));
}

TEST_F(DrawPlasmaTest, PhasesMoveWithTheFrameTime) {
    Prepare(0);
    plasma_settings.slide_ignore_fps = 0;
    plasma_settings.multi_colour = 0;
    auto step = [](double seconds) {
        frame_seconds = seconds;
        const double before = plasma_field_0.phase[4];
        EXPECT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
        return plasma_field_0.phase[4] - before;
    };
    const double short_frame = step(0.01);
    const double long_frame = step(0.02);
    EXPECT_NEAR(long_frame, 2 * short_frame, 1e-5);
    // At 100 frames per second the divisor is the speed itself.
    EXPECT_NEAR(short_frame, plasma_settings.sway * 0.2 / plasma_settings.speed, 1e-5);
    EXPECT_EQ(step(0.0), 0.0);

    // With "Ignore fps" the step is per frame, whatever the frame took.
    plasma_settings.slide_ignore_fps = 1;
    EXPECT_NEAR(step(0.5), plasma_settings.sway * 0.2 / plasma_settings.speed, 1e-5);
}

TEST_F(DrawPlasmaTest, OnlyTheDrawnFieldsMove) {
    Prepare(0);
    plasma_settings.multi_colour = 0;
    const float field_1 = plasma_field_1.phase[0];
    const float field_0 = plasma_field_0.phase[0];
    ASSERT_EQ(Draw_Plasma(Hidden, 0, 0), 1);
    EXPECT_NE(plasma_field_0.phase[0], field_0);
    EXPECT_EQ(plasma_field_1.phase[0], field_1);
}

// ---------------------------------------------------------------------------
// Random colour

class RandomColourTest : public PlasmaTest {
protected:
    static void Tick(double seconds) {
        frame_seconds = seconds;
        Update_Random_Colour();
    }
};

TEST_F(RandomColourTest, NeverAllBlackAndOnlyCeilingOrZero) {
    app.screen_bpp = 32;
    plasma_settings.random_colour_interval = 0.5;
    bool saw_zero_channel = false;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        crt::srand(seed);
        random_colour_countdown = 0.0;
        Tick(0.1);
        const PlasmaSettings& s = plasma_settings;
        ASSERT_TRUE(s.colour_blue || s.colour_green || s.colour_red) << "seed " << seed;
        for (uint8_t c : {s.colour_blue, s.colour_green, s.colour_red}) {
            ASSERT_TRUE(c == 0 || c == 127);
            saw_zero_channel |= c == 0;
        }
        for (int32_t flag : {s.red_shift, s.green_shift, s.blue_shift, s.brighten}) ASSERT_TRUE(flag == 0 || flag == 1);
        ASSERT_EQ(random_colour_countdown, 0.5);
    }
    EXPECT_TRUE(saw_zero_channel);
    EXPECT_EQ(random_colour_ceiling, 127);
}

TEST_F(RandomColourTest, WaitsForTheCountdownAndKeepsTheFirstCeiling) {
    app.screen_bpp = 16;
    plasma_settings.random_colour_interval = 1.0;
    random_colour_countdown = 1.0;
    plasma_settings.colour_blue = plasma_settings.colour_green = plasma_settings.colour_red = 99;
    Tick(0.4);
    EXPECT_DOUBLE_EQ(random_colour_countdown, 0.6);
    EXPECT_EQ(plasma_settings.colour_blue, 99);
    EXPECT_EQ(random_colour_ceiling, 31);
    Tick(0.7);
    EXPECT_NE(plasma_settings.colour_blue + plasma_settings.colour_green + plasma_settings.colour_red, 3 * 99);
    EXPECT_EQ(random_colour_countdown, 1.0);
    for (uint8_t c : {plasma_settings.colour_blue, plasma_settings.colour_green, plasma_settings.colour_red})
        EXPECT_TRUE(c == 0 || c == 31);

    // The ceiling persists when the depth changes.
    app.screen_bpp = 32;
    Tick(2.0);
    EXPECT_EQ(random_colour_ceiling, 31);
}

TEST_F(RandomColourTest, OffWhenTheIntervalIsZero) {
    app.screen_bpp = 32;
    plasma_settings.random_colour_interval = 0.0;
    const PlasmaSettings before = plasma_settings;
    Tick(5.0);
    EXPECT_EQ(std::memcmp(&before, &plasma_settings, sizeof before), 0);
    EXPECT_EQ(random_colour_ceiling, 0);
    EXPECT_EQ(random_colour_countdown, 0.0);
}

TEST_F(RandomColourTest, EightBitsPicksANewPalette) {
    Open_Display(8, 64, 48);
    for (PaletteEntry& e : palette_entries) e = PaletteEntry{};
    Palette_SetEntries(display_palette, 0, 256, palette_entries);
    plasma_settings.random_colour_interval = 2.0;
    const PlasmaSettings before = plasma_settings;
    Tick(0.1);
    EXPECT_EQ(std::memcmp(&before, &plasma_settings, sizeof before), 0);
    EXPECT_EQ(random_colour_countdown, 2.0);
    PaletteEntry loaded[256];
    Palette_GetEntries(display_palette, 0, 256, loaded);
    int lit = 0;
    for (const PaletteEntry& e : loaded) lit += e.red + e.green + e.blue > 0;
    EXPECT_GT(lit, 0);
}

// ---------------------------------------------------------------------------
// Refresh_Plasma

class RefreshPlasmaTest : public PlasmaTest {};

TEST_F(RefreshPlasmaTest, WindowedUsesTheClientAreaAndRebuildsOnce) {
    Open_Display(32, 800, 600);
    window_.client_width = 640;
    window_.client_height = 480;
    plasma_settings.symmetry = 3;
    plasma_settings.contrast = 99;
    plasma_settings.overlay_shape = 9;
    plasma_settings.vsync_setting = 0;
    Fill(Hidden, 0x31);

    ASSERT_EQ(Refresh_Plasma(), 1);
    EXPECT_EQ(app.client_width, 640);
    EXPECT_EQ(app.client_height, 480);
    EXPECT_EQ(plasma_settings.plasma_width, 160);
    EXPECT_EQ(plasma_settings.plasma_height, 120);
    EXPECT_EQ(plasma_settings.contrast, 60);
    EXPECT_EQ(plasma_settings.overlay_shape, 0);
    EXPECT_FALSE(app.vsync);
    EXPECT_STREQ(plasma_settings.title, "default");
    for (const PlasmaField* f : {&plasma_field_0, &plasma_field_1, &plasma_field_2}) {
        ASSERT_NE(f->ring_table, nullptr);
        EXPECT_EQ(f->table_width, 160);
        EXPECT_EQ(f->table_height, 120);
        EXPECT_EQ(f->contrast, 60);
    }
    EXPECT_EQ(Read(Hidden).Pixel(10, 10), 0u);
    // The untitled preset's title starts fading in, across the drawing area.
    ASSERT_NE(title_surface, nullptr);
    EXPECT_EQ(title_state, TITLE_FADE_IN);
    EXPECT_EQ(title_width, 640);
    EXPECT_EQ(title_height, 34);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(RefreshPlasmaTest, SaverUsesTheScreenAndKeepsATitle) {
    Open_Display(16, 800, 600);
    app.saver_mode = SAVER;
    std::strcpy(plasma_settings.title, "Ember");
    plasma_settings.symmetry = 0;
    ASSERT_EQ(Refresh_Plasma(), 1);
    EXPECT_EQ(app.client_width, 800);
    EXPECT_EQ(plasma_settings.plasma_width, 800);
    EXPECT_EQ(plasma_settings.plasma_height, 600);
    EXPECT_STREQ(plasma_settings.title, "Ember");
    EXPECT_TRUE(app.vsync);
    ASSERT_NE(title_surface, nullptr);
    EXPECT_EQ(title_width, 800);
    EXPECT_STREQ(window_caption, " Calvorine:   Ember");
}

TEST_F(RefreshPlasmaTest, SlidesInThePresetSwitchTheKaleidoscopeOn) {
    Open_Display(32, 320, 240);
    plasma_settings.slides_on = 1;
    plasma_settings.kaleidoscope_on = 0;
    ASSERT_EQ(Refresh_Plasma(), 1);
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 1);
    EXPECT_EQ(kaleidoscope_active, 1);
    EXPECT_EQ(slides_active, 1);
    EXPECT_NE(plasma_field_0.ring_table, nullptr);
    EXPECT_TRUE(platform_boxes.empty());

    // A second refresh takes everything down before setting it up again.
    ASSERT_EQ(Refresh_Plasma(), 1);
    EXPECT_EQ(slides_active, 1);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(RefreshPlasmaTest, TheOverlayInThePresetIsSetUpAtTheDrawingArea) {
    Open_Display(32, 320, 240);
    plasma_settings.overlay_on = 1;
    plasma_settings.overlay_shape = 2;
    ASSERT_EQ(Refresh_Plasma(), 1);
    EXPECT_EQ(scope_active, 1);
    EXPECT_EQ(last_scope_shape, 2);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(RefreshPlasmaTest, WithoutItsFontTheTitleFailsTheRefresh) {
    Open_Display(32, 320, 240);
    const std::string font = data_folder_ + "/Data/Bmp/Font.bmp";
    ASSERT_EQ(std::remove(font.c_str()), 0);
    EXPECT_EQ(Refresh_Plasma(), 0);
    EXPECT_TRUE(Reported("Load_Font():font file " + font + " not found"));
    EXPECT_TRUE(Reported("Refresh_Plasma(): Setup_Title FAILED"));
    EXPECT_EQ(title_surface, nullptr);
    // The plasma itself was applied before the title.
    EXPECT_NE(plasma_field_0.ring_table, nullptr);
}

TEST_F(RefreshPlasmaTest, AHostileRecordIsBoundedBeforeItIsApplied) {
    Open_Display(32, 320, 240);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Real {
        const char* name;
        double* field;
        double stored;
        double applied;
    };
    const Real reals[] = {
        {"speed", &plasma_settings.speed, inf, 35.0},
        {"speed below", &plasma_settings.speed, -4.0, 1.0},
        {"slide_speed", &plasma_settings.slide_speed, 1e300, 1e6},
        {"slide_speed nan", &plasma_settings.slide_speed, nan, 10.0},
        {"object_speed", &plasma_settings.object_speed[0], 1e300, 100.0},
        {"object_speed nan", &plasma_settings.object_speed[1], nan, 0.0},
        {"object_animation_speed", &plasma_settings.object_animation_speed[2], -inf, 0.0},
        {"object_animation_speed high", &plasma_settings.object_animation_speed[3], 1e20, 500.0},
        {"random_colour_interval", &plasma_settings.random_colour_interval, inf, 0.0},
        {"sine_density", &plasma_settings.sine_density, -1e300, -1e6},
    };
    for (const Real& real : reals) {
        Set_Default_Plasma_Settings();
        // Strings that never end inside their fields.
        std::memset(plasma_settings.title, 'A', sizeof plasma_settings.title);
        std::memset(plasma_settings.custom_scope_path, 'B', sizeof plasma_settings.custom_scope_path);
        plasma_settings.random_colour_interval = inf;  // no zero right after the title
        plasma_settings.ripple_frequency = std::numeric_limits<float>::quiet_NaN();
        plasma_settings.interference = -std::numeric_limits<float>::infinity();
        plasma_settings.sway = -3e38f;
        *real.field = real.stored;
        EXPECT_EQ(Refresh_Plasma(), 1) << real.name;
        EXPECT_EQ(*real.field, real.applied) << real.name;
        EXPECT_EQ(std::strlen(plasma_settings.title), sizeof plasma_settings.title - 1) << real.name;
        EXPECT_EQ(std::strlen(plasma_settings.custom_scope_path), sizeof plasma_settings.custom_scope_path - 1);
        EXPECT_EQ(plasma_settings.ripple_frequency, 5.4f);
        EXPECT_EQ(plasma_settings.interference, 9.5f);
        EXPECT_EQ(plasma_settings.sway, -1e6f);
    }
}

TEST_F(RefreshPlasmaTest, AnEffectThatWillNotSetUpFailsTheRefreshButTheRestIsApplied) {
    Open_Display(32, 320, 240);
    plasma_settings.overlay_on = 1;
    plasma_settings.overlay_shape = 4;
    std::strcpy(plasma_settings.custom_scope_path, "/nowhere/overlay.bmp");
    std::strcpy(plasma_settings.title, "Dawn");
    EXPECT_EQ(Refresh_Plasma(), 0);
    EXPECT_TRUE(Reported("Modify_Plasma(): Setup_Scope FAILED"));
    EXPECT_TRUE(Reported("Refresh_Plasma(): the preset was not applied whole"));
    EXPECT_EQ(plasma_settings.overlay_on, 0);
    EXPECT_NE(plasma_field_0.ring_table, nullptr);
    EXPECT_NE(title_surface, nullptr);

    // Set up once more, with the overlay it can draw, the refresh succeeds again.
    plasma_settings.overlay_on = 1;
    plasma_settings.overlay_shape = 1;
    EXPECT_EQ(Refresh_Plasma(), 1);

    // In 256 colours no overlay exists: that is the preset as it can be shown.
    Release_Test_Effects();
    Shutdown_Direct_Draw();
    Open_Display(8, 320, 240);
    plasma_settings.overlay_on = 1;
    EXPECT_EQ(Refresh_Plasma(), 1);
    EXPECT_TRUE(app.screen_notice_pending);
}

TEST_F(RefreshPlasmaTest, ClientAreaThatCannotBeRead) {
    app.display_mode = DISPLAY_WINDOWED;
    app.main_window = nullptr;
    app.saver_mode = CONFIGURE;
    EXPECT_EQ(Refresh_Plasma(), 0);
    EXPECT_TRUE(Reported("WM_SIZE: GetClientRect FAILED"));

    platform_boxes.clear();
    app.saver_mode = PREVIEW;
    EXPECT_EQ(Refresh_Plasma(), 0);
    EXPECT_TRUE(platform_boxes.empty());
}

}  // namespace
