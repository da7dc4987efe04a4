// A display device built the way the program builds it (device, interface,
// shared cooperative level, the screen size and depth in the application
// state) at each display format, with helpers to make surfaces and to read
// and write their raw pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "platform/ddraw.h"
#include "platform/pixel_format.h"
#include "platform/system.h"
#include "test_support.h"

// A display format: depth, the 16-bit layout and the bytes added after every row.
struct GraphicsFormat {
    int depth;
    uint32_t green_mask_16;
    int pitch_padding;
    const char* name;
};

// 8, 15, 16 in both layouts, 24 and 32, and padded rows at two depths.
inline const GraphicsFormat every_graphics_format[] = {
    {8, 0x07E0, 0, "Depth8"},          {15, 0x07E0, 0, "Depth15"},         {16, 0x07E0, 0, "Depth16_565"},
    {16, 0x03E0, 0, "Depth16_555"},    {24, 0x07E0, 0, "Depth24"},         {32, 0x07E0, 0, "Depth32"},
    {16, 0x07E0, 6, "Depth16_Padded"}, {32, 0x07E0, 12, "Depth32_Padded"}, {8, 0x07E0, 5, "Depth8_Padded"},
};

inline std::string Graphics_Format_Name(const ::testing::TestParamInfo<GraphicsFormat>& info) {
    return info.param.name;
}

class GraphicsTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Reset_Trace_Flags();
    }

    void TearDown() override {
        for (Surface* surface : made_) Release(surface);
        made_.clear();
        Release(Scratch_Pad);
        Scratch_Pad = nullptr;
        Shutdown_Direct_Draw();
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        ProgramTest::TearDown();
    }

    // Ends this display and starts from a fresh program state, for tests
    // that walk through several depths.
    void Restart() {
        GraphicsTest::TearDown();
        GraphicsTest::SetUp();
    }

    // The windowed display at a format: Visible (with a clipper), Hidden,
    // and at 8 bits a palette of distinct colours (entry i = (i, 255 - i, i / 2)).
    void Open_Display(const GraphicsFormat& format, int width = 128, int height = 96) {
        dd_config.desktop_width = width;
        dd_config.desktop_height = height;
        dd_config.desktop_bpp = format.depth;
        dd_config.green_mask_16 = format.green_mask_16;
        dd_config.pitch_padding = format.pitch_padding;
        app.screen_width = width;
        app.screen_height = height;
        app.screen_bpp = format.depth;
        app.main_window = &window_;
        for (int i = 0; i < 256; ++i) {
            palette_entries[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
        }
        ASSERT_EQ(Setup_Windowed_Direct_Draw(width, height, format.depth), 1);
        platform_boxes.clear();
    }

    // A cleared system-memory surface, released at the end of the test.
    Surface* Make(int width, int height) {
        Surface* surface = nullptr;
        EXPECT_EQ(Create_SYSTEM_Surface(&surface, width, height), 1);
        if (surface) made_.push_back(surface);
        return surface;
    }

    // Every value of the format that is a colour, as a mask.
    static uint32_t Value_Mask(const Surface* surface) {
        switch (surface->bits_per_pixel) {
        case 8: return 0xFF;
        case 15: return 0x7FFF;
        case 16: return surface->green_mask == 0x07E0 ? 0xFFFF : 0x7FFF;
        default: return 0xFFFFFF;
        }
    }

    // A non-zero value for each position, distinct over small surfaces.
    static uint32_t Pattern(const Surface* surface, int x, int y) {
        const uint32_t mask = Value_Mask(surface);
        return (static_cast<uint32_t>(x * 37 + y * 101 + 1) * 2654435761u >> 8) % mask + 1;
    }

    static uint32_t Get(const Surface* surface, int x, int y) { return Pixel_Read(surface, x, y); }
    static void Put(Surface* surface, int x, int y, uint32_t value) { Pixel_Write(surface, x, y, value); }

    static void Fill_Pattern(Surface* surface) {
        for (int y = 0; y < surface->height; ++y)
            for (int x = 0; x < surface->width; ++x) Put(surface, x, y, Pattern(surface, x, y));
    }
    static void Fill(Surface* surface, uint32_t value) {
        for (int y = 0; y < surface->height; ++y)
            for (int x = 0; x < surface->width; ++x) Put(surface, x, y, value);
    }

    // The text of the last report (a box while the log is off), or "".
    static std::string Last_Report() { return platform_boxes.empty() ? "" : platform_boxes.back().text; }
    static bool Reported(const std::string& text) {
        for (const Recorded_Box& box : platform_boxes)
            if (box.text == text) return true;
        return false;
    }

    Window window_;
    std::vector<Surface*> made_;
};

class GraphicsFormatTest : public GraphicsTest, public ::testing::WithParamInterface<GraphicsFormat> {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        Open_Display(GetParam());
    }
};
