// The kaleidoscope and the scope overlay on the memory-only display: the
// device made as the program makes it, the preset at its defaults, a fixed
// random seed, raw pixel access and the reports made.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_generator.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/file_dialog.h"
#include "platform/pixel_format.h"
#include "platform/system.h"
#include "test_support.h"

// A display format: depth, the 16-bit layout, padding after every row.
struct KaleidoscopeFormat {
    int depth;
    uint32_t green_mask;
    int pitch_padding;
    const char* name;
};

inline const KaleidoscopeFormat every_kaleidoscope_format[] = {
    {8, 0x07E0, 0, "Depth8"},        {15, 0x03E0, 0, "Depth15"},        {16, 0x07E0, 0, "Depth16_565"},
    {16, 0x03E0, 0, "Depth16_555"},  {24, 0x07E0, 0, "Depth24"},        {32, 0x07E0, 0, "Depth32"},
    {8, 0x07E0, 3, "Depth8_Padded"}, {32, 0x07E0, 8, "Depth32_Padded"},
};

inline void PrintTo(const KaleidoscopeFormat& format, std::ostream* out) { *out << format.name; }

inline std::string Kaleidoscope_Format_Name(const ::testing::TestParamInfo<KaleidoscopeFormat>& info) {
    return info.param.name;
}

class KaleidoscopeTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Reset_Trace_Flags();
        Platform_Reset_File_Dialog();
        Shutdown_Plasma();
        crt::srand(4242);
        app.screen_width = 640;
        app.screen_height = 480;
        app.saver_mode = CONFIGURE;
        Set_Default_Plasma_Settings();
        random_colour_countdown = 0.0;
        random_colour_ceiling = 0;
        last_shift_palette = -1;
        frame_seconds = 0.01;
        last_scope_shape = SCOPE_ELLIPSE;
    }

    void TearDown() override {
        Shutdown_Scope();
        Release_Custom_Scope_Pictures();
        Shutdown_Kaleidoscope();
        rebuild_pending = 0;
        Shutdown_Plasma();
        plasma_field_0 = plasma_field_1 = plasma_field_2 = PlasmaField{};
        for (Surface* surface : made_) Release(surface);
        made_.clear();
        Shutdown_Direct_Draw();
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        Platform_Reset_File_Dialog();
        ProgramTest::TearDown();
    }

    // A display at a format, windowed unless asked, Hidden width x height.
    // At 8 bits the palette starts as a grey ramp (entry 0 black); the
    // plasma picks its own palette when it is built.
    void Open(const KaleidoscopeFormat& format, int width = 320, int height = 240, bool full_screen = false) {
        dd_config.desktop_width = std::max(width, 1024);
        dd_config.desktop_height = std::max(height, 768);
        dd_config.desktop_bpp = format.depth;
        dd_config.green_mask_15 = format.green_mask;
        dd_config.green_mask_16 = format.green_mask;
        dd_config.pitch_padding = format.pitch_padding;
        app.screen_width = width;
        app.screen_height = height;
        app.screen_bpp = format.depth;
        app.client_width = width;
        app.client_height = height;
        app.main_window = &window_;
        window_.client_width = width;
        window_.client_height = height;
        for (int i = 0; i < 256; ++i) palette_entries[i] = PaletteEntry{uint8_t(i), uint8_t(i), uint8_t(i), 0};
        if (full_screen)
            ASSERT_EQ(Setup_Direct_Draw(width, height, format.depth), 1);
        else
            ASSERT_EQ(Setup_Windowed_Direct_Draw(width, height, format.depth), 1);
        platform_boxes.clear();
    }
    void Open(int depth, int width = 320, int height = 240, bool full_screen = false) {
        Open(KaleidoscopeFormat{depth, 0x07E0, 0, ""}, width, height, full_screen);
    }

    // A cleared system-memory surface, released at the end of the test.
    Surface* Make(int width, int height) {
        Surface* surface = nullptr;
        EXPECT_EQ(Create_SYSTEM_Surface(&surface, width, height), 1);
        if (surface) made_.push_back(surface);
        return surface;
    }

    static uint32_t Get(const Surface* surface, int x, int y) { return Pixel_Read(surface, x, y); }
    static void Put(Surface* surface, int x, int y, uint32_t value) { Pixel_Write(surface, x, y, value); }
    static uint32_t White(const Surface* surface) { return Colour_To_Pixel(surface, RGB(255, 255, 255)); }

    // A non-zero value for each position, different from its neighbours.
    static uint32_t Pattern(const Surface* surface, int x, int y) {
        uint32_t mask = 0xFFFFFF;
        if (surface->bits_per_pixel == 8) mask = 0xFF;
        if (surface->bits_per_pixel == 15 || surface->bits_per_pixel == 16) mask = 0x7FFF;
        return (static_cast<uint32_t>(x * 37 + y * 101 + 1) * 2654435761u >> 8) % mask + 1;
    }
    static void Fill_Pattern(Surface* surface) {
        for (int y = 0; y < surface->height; ++y)
            for (int x = 0; x < surface->width; ++x) Put(surface, x, y, Pattern(surface, x, y));
    }
    static void Fill(Surface* surface, uint32_t value) {
        for (int y = 0; y < surface->height; ++y)
            for (int x = 0; x < surface->width; ++x) Put(surface, x, y, value);
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

    Window window_;
    std::vector<Surface*> made_;
};
