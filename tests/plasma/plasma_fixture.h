// A plasma engine on the memory-only display: the device made as the
// program makes it, the preset at its defaults, a fixed random seed, a data
// folder with the font and objects the effects need, and helpers that read
// Hidden's raw pixels and the reports made.
#pragma once

#include "base/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/frame_clock.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_generator.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "test_support.h"

// A copy of a surface's memory, read once, with its pixel layout.
struct Snapshot {
    std::vector<uint8_t> bytes;
    int pitch = 0;
    int bytes_per_pixel = 0;
    int width = 0, height = 0;

    uint32_t Pixel(int x, int y) const {
        const uint8_t* p = bytes.data() + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytes_per_pixel;
        uint32_t value = 0;
        for (int k = 0; k < bytes_per_pixel; ++k) value |= static_cast<uint32_t>(p[k]) << (8 * k);
        return value;
    }
};

class PlasmaTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        data_folder_ = Make_Test_Data_Folder(windows_.path());
        Use_Windows_Directory(windows_.path());
        Shutdown_Plasma();
        crt::srand(12345);
        Set_Default_Plasma_Settings();
        random_colour_countdown = 0.0;
        random_colour_ceiling = 0;
        last_shift_palette = -1;
        frame_seconds = 0.01;
    }

    void TearDown() override {
        Release_Test_Effects();
        plasma_field_0 = plasma_field_1 = plasma_field_2 = PlasmaField{};
        Shutdown_Direct_Draw();
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        Use_Windows_Directory("");
        ProgramTest::TearDown();
    }

    // The windowed display at a depth; Hidden is width x height.
    void Open_Display(int depth, int width = 640, int height = 480, uint32_t green_mask_16 = 0x07E0,
                      int pitch_padding = 0) {
        dd_config.desktop_width = std::max(width, 1024);
        dd_config.desktop_height = std::max(height, 768);
        dd_config.desktop_bpp = depth;
        dd_config.green_mask_16 = green_mask_16;
        dd_config.pitch_padding = pitch_padding;
        app.screen_width = width;
        app.screen_height = height;
        app.screen_bpp = depth;
        app.main_window = &window_;
        app.saver_mode = CONFIGURE;
        ASSERT_EQ(Setup_Windowed_Direct_Draw(width, height, depth), 1);
    }

    static Snapshot Read(Surface* surface) {
        Snapshot shot;
        shot.width = surface->width;
        shot.height = surface->height;
        shot.bytes_per_pixel = (surface->bits_per_pixel + 7) / 8;
        uint8_t* pixels = Lock_Surface(surface, &shot.pitch);
        EXPECT_NE(pixels, nullptr);
        if (!pixels) return shot;
        shot.bytes.assign(pixels, pixels + static_cast<size_t>(shot.pitch) * surface->height);
        Unlock_Surface(surface);
        return shot;
    }

    // Fills a surface with one byte value, so untouched pixels can be told apart.
    static void Fill(Surface* surface, uint8_t value) {
        int pitch = 0;
        uint8_t* pixels = Lock_Surface(surface, &pitch);
        ASSERT_NE(pixels, nullptr);
        std::memset(pixels, value, static_cast<size_t>(pitch) * surface->height);
        Unlock_Surface(surface);
    }

    static std::vector<std::string> Reports() {
        std::vector<std::string> texts;
        for (const Recorded_Box& box : platform_boxes) texts.push_back(box.text);
        return texts;
    }

    static bool Reported(const std::string& text) {
        for (const Recorded_Box& box : platform_boxes)
            if (box.text == text) return true;
        return false;
    }

    // Builds one field at W x H with the current settings.
    static void Build(PlasmaField* field, int width, int height) {
        plasma_settings.plasma_width = width;
        plasma_settings.plasma_height = height;
        ASSERT_EQ(Setup_Plasma(field), 1);
    }

    TempFolder windows_;
    std::string data_folder_;
    Window window_;
};
