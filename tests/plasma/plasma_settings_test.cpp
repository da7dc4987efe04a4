// The preset record: its byte layout (the .DAT file format) and the built-in defaults.
#include "plasma_fixture.h"

#include <cstring>

namespace {

class PresetRecordTest : public PlasmaTest {
protected:
    // The record as the bytes a preset file holds.
    static const uint8_t* Bytes() { return reinterpret_cast<const uint8_t*>(&plasma_settings); }
    static int32_t I32_At(size_t offset) {
        int32_t value;
        std::memcpy(&value, Bytes() + offset, 4);
        return value;
    }
    static double F64_At(size_t offset) {
        double value;
        std::memcpy(&value, Bytes() + offset, 8);
        return value;
    }
    static float F32_At(size_t offset) {
        float value;
        std::memcpy(&value, Bytes() + offset, 4);
        return value;
    }
};

TEST_F(PresetRecordTest, DefaultsLandAtTheirFileOffsets) {
    app.screen_bpp = 32;
    app.screen_height = 768;
    Set_Default_Plasma_Settings();

    EXPECT_EQ(sizeof(PlasmaSettings), 10136u);
    EXPECT_EQ(I32_At(0), 1);        // multi_colour
    EXPECT_EQ(I32_At(4), 1);        // resolution
    EXPECT_EQ(I32_At(8), 128);      // plasma_width
    EXPECT_EQ(I32_At(12), 128);     // plasma_height
    EXPECT_EQ(I32_At(16), 4);       // contrast at 32 bits
    EXPECT_EQ(F64_At(24), 35.0);    // speed
    EXPECT_EQ(F32_At(32), 5.4f);    // ripple_frequency
    EXPECT_EQ(F32_At(36), 9.5f);    // interference
    EXPECT_EQ(F32_At(40), 1.6f);    // sway
    EXPECT_EQ(I32_At(44), 50);      // complexity
    EXPECT_EQ(I32_At(52), 1);       // preview_active
    EXPECT_EQ(Bytes()[60], 127);    // colour_blue
    EXPECT_EQ(Bytes()[61], 127);    // colour_green
    EXPECT_EQ(Bytes()[62], 127);    // colour_red
    EXPECT_EQ(I32_At(64), 1);       // colour_logic_and
    EXPECT_EQ(I32_At(84), 192);     // kaleidoscope_granularity for 768 lines
    EXPECT_EQ(I32_At(88), 1);       // brighten
    EXPECT_EQ(F64_At(112), 10.0);   // slide_speed
    EXPECT_EQ(I32_At(6120), 2);     // background_mode
    EXPECT_EQ(I32_At(6124), 1);     // background_variable
    EXPECT_EQ(I32_At(6128), 200);   // background_brightness
    EXPECT_EQ(I32_At(6132), 25);    // zone_frequency
    EXPECT_EQ(I32_At(6136), 6);     // zone_duration
    EXPECT_EQ(I32_At(6140), 1);     // zone_multicolour
    EXPECT_EQ(I32_At(6148), 7);     // shape_size
    EXPECT_EQ(I32_At(6152), 100);   // shape_frequency
    EXPECT_EQ(I32_At(6156), 3);     // slide_direction
    EXPECT_EQ(I32_At(6160), 1000);  // direction_change_frequency
    EXPECT_EQ(I32_At(6164), 1);     // vsync_setting
    EXPECT_EQ(I32_At(6168), 1);     // slide_ignore_fps
    EXPECT_EQ(I32_At(6172), 0);     // plasma_ignore_fps
    EXPECT_EQ(Bytes()[6176], 0);    // empty title
    EXPECT_EQ(F64_At(8368), 0.0);   // random_colour_interval
    EXPECT_EQ(Bytes()[8576], 0);    // empty custom scope path
}

TEST_F(PresetRecordTest, DefaultsZeroEveryOtherByte) {
    std::memset(&plasma_settings, 0xAB, sizeof plasma_settings);
    Set_Default_Plasma_Settings();
    // Reserves and the fields without a default: all zero.
    const std::pair<size_t, size_t> zero_ranges[] = {
        {20, 24},  {48, 52},    {56, 60},     {63, 64},     {68, 84},
        {92, 112}, {120, 6120}, {6144, 6148}, {6172, 8368}, {8376, 10136},
    };
    for (auto [from, to] : zero_ranges)
        for (size_t offset = from; offset < to; ++offset) ASSERT_EQ(Bytes()[offset], 0) << "offset " << offset;
}

TEST_F(PresetRecordTest, ContrastAndGranularityFollowTheDisplay) {
    app.screen_bpp = 16;
    app.screen_height = 768;
    Set_Default_Plasma_Settings();
    EXPECT_EQ(plasma_settings.contrast, 10);
    EXPECT_EQ(plasma_settings.kaleidoscope_granularity, 192);

    app.screen_bpp = 24;
    app.screen_height = 480;
    Set_Default_Plasma_Settings();
    EXPECT_EQ(plasma_settings.contrast, 10);
    EXPECT_EQ(plasma_settings.kaleidoscope_granularity, 2 * ((16 * 15) / 4));

    // Integer divisions all the way: 1000 lines give 31 blocks of 32.
    app.screen_height = 1000;
    Set_Default_Plasma_Settings();
    EXPECT_EQ(plasma_settings.kaleidoscope_granularity, 248);
}

TEST_F(PresetRecordTest, OnlyLoadedObjectsAreSelected) {
    objects_loaded = 3;
    Set_Default_Plasma_Settings();
    objects_loaded = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(plasma_settings.object_frequency[i], 1);
        EXPECT_EQ(plasma_settings.object_selected[i], 1);
        EXPECT_EQ(plasma_settings.object_speed[i], 0.0);
        EXPECT_EQ(plasma_settings.object_animation_speed[i], 0.0);
    }
    EXPECT_EQ(plasma_settings.object_frequency[3], 0);
    EXPECT_EQ(plasma_settings.object_selected[3], 0);

    // A count beyond the table never writes past it.
    objects_loaded = 100000;
    Set_Default_Plasma_Settings();
    objects_loaded = 0;
    EXPECT_EQ(plasma_settings.object_selected[MAX_SLIDE_OBJECTS - 1], 1);
    EXPECT_EQ(plasma_settings.background_mode, 2);
}

}  // namespace
