// Surfaces made through the memory-only device, in every display format, with
// padding after each row so that a writer stepping by the width instead of the
// pitch is caught: the padding is filled with a mark that must survive.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ddraw.h"
#include "platform/device_context.h"
#include "platform/gdi.h"
#include "platform/pixel_format.h"
#include "platform/system.h"
#include "test_support.h"

struct DisplayFormat {
    int bits_per_pixel;
    uint32_t green_mask_16;  // the layout a 16-bit display reports
    const char* name;
};

// 8, 15, 16 in both layouts, 24 and 32.
inline const DisplayFormat all_display_formats[] = {
    {8, 0x07E0, "Depth8"},       {15, 0x07E0, "Depth15"}, {16, 0x07E0, "Depth16_565"},
    {16, 0x03E0, "Depth16_555"}, {24, 0x07E0, "Depth24"}, {32, 0x07E0, "Depth32"},
};

// Names a format in failure messages.
inline void PrintTo(const DisplayFormat& format, std::ostream* out) { *out << format.name; }

inline std::string Format_Name(const ::testing::TestParamInfo<DisplayFormat>& info) { return info.param.name; }

constexpr int ROW_PADDING = 12;
constexpr uint8_t PADDING_MARK = 0xA5;

class SurfaceTest : public ProgramTest {
protected:
    // Builds the device for a display of the given format.
    void Open_Device(const DisplayFormat& format) {
        dd_config.desktop_bpp = format.bits_per_pixel;
        dd_config.green_mask_16 = format.green_mask_16;
        dd_config.pitch_padding = ROW_PADDING;
        ASSERT_EQ(DirectDrawCreate(&first_), DD_OK);
        ASSERT_EQ(DD_QueryInterface(first_, &device_), DD_OK);
        ASSERT_EQ(DD_SetCooperativeLevel(device_, &window_, DDSCL_NORMAL), DD_OK);
    }

    // An off-screen surface with its row padding marked, and a context on it.
    Surface* Make_Surface(int width, int height) {
        Surface* surface = nullptr;
        SurfaceDesc desc;
        desc.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.width = width;
        desc.height = height;
        EXPECT_EQ(DD_CreateSurface(device_, desc, &surface), DD_OK);
        if (!surface) return nullptr;
        EXPECT_GT(surface->pitch, width * Pixel_Bytes(surface->bits_per_pixel));
        surfaces_.push_back(surface);
        for (int y = 0; y < height; ++y)
            for (int i = width * Pixel_Bytes(surface->bits_per_pixel); i < surface->pitch; ++i)
                surface->memory[static_cast<size_t>(y) * surface->pitch + i] = PADDING_MARK;
        return surface;
    }

    DeviceContext* Context_On(Surface* surface) {
        DeviceContext* dc = nullptr;
        EXPECT_EQ(Surface_GetDC(surface, &dc), DD_OK);
        if (dc) contexts_.push_back(dc);
        return dc;
    }

    static bool Padding_Intact(const Surface* surface) {
        for (int y = 0; y < surface->height; ++y)
            for (int i = surface->width * Pixel_Bytes(surface->bits_per_pixel); i < surface->pitch; ++i)
                if (surface->memory[static_cast<size_t>(y) * surface->pitch + i] != PADDING_MARK) return false;
        return true;
    }

    // The stored value at (x, y), read byte by byte at y * pitch.
    static uint32_t Stored(const Surface* surface, int x, int y) {
        const int bytes = Pixel_Bytes(surface->bits_per_pixel);
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= uint32_t(surface->memory[static_cast<size_t>(y) * surface->pitch + x * bytes + i]) << (8 * i);
        return value;
    }

    void TearDown() override {
        for (DeviceContext* dc : contexts_) Surface_ReleaseDC(dc->surface, dc);
        for (Surface* surface : surfaces_) Release(surface);
        Release(device_);
        Release(first_);
        ProgramTest::TearDown();
    }

    Window window_;
    DirectDrawDevice* first_ = nullptr;
    DirectDrawDevice* device_ = nullptr;
    std::vector<Surface*> surfaces_;
    std::vector<DeviceContext*> contexts_;
};

class FormatTest : public SurfaceTest, public ::testing::WithParamInterface<DisplayFormat> {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        Open_Device(GetParam());
    }
};
