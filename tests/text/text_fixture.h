// The text tests' display and data folder: a windowed display at a format,
// a temporary Windows directory whose data folder holds a font picture, and
// a picture maker whose glyph cells are solid colours told apart by index.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/data_folder.h"
#include "graphics/graphics_fixture.h"
#include "preset/window_caption.h"
#include "text/font.h"
#include "text/titles.h"

// The colour (0x00RRGGBB) of glyph cell i in the test pictures: never black,
// different for every glyph.
inline uint32_t Glyph_Colour(int index) {
    return static_cast<uint32_t>(40 + 2 * index) << 16 | static_cast<uint32_t>(200 - index) << 8 |
           static_cast<uint32_t>(100 + index);
}

// Writes an uncompressed 24-bit BMP whose pixel (x, y) is colour(x, y) (0x00RRGGBB).
inline void Write_Picture(const std::string& path, int width, int height,
                          const std::function<uint32_t(int, int)>& colour) {
    const int row_size = (3 * width + 3) & ~3;
    std::vector<uint8_t> bytes(54 + static_cast<size_t>(row_size) * height, 0);
    auto put = [&bytes](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, width, 4);
    put(22, height, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t at = 54 + static_cast<size_t>(height - 1 - y) * row_size + 3 * static_cast<size_t>(x);
            put(at, colour(x, y), 3);
        }
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The glyph index whose cell of `table` holds (x, y), or -1.
inline int Glyph_At(const GlyphMetrics* table, int glyph_height, int x, int y) {
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        const GlyphMetrics& g = table[i];
        if (x >= g.x && x < g.x + g.width && y >= g.y && y < g.y + glyph_height) return i;
    }
    return -1;
}

// A font picture laid out by `table`: every glyph cell filled with its
// Glyph_Colour except its top-left pixel, which is black (the key), as is
// everything between the cells.
inline void Write_Font_Picture(const std::string& path, const GlyphMetrics* table, int glyph_height, int width = 320,
                               int height = 238) {
    Write_Picture(path, width, height, [&](int x, int y) -> uint32_t {
        const int glyph = Glyph_At(table, glyph_height, x, y);
        if (glyph < 0) return 0;
        if (x == table[glyph].x && y == table[glyph].y) return 0;
        return Glyph_Colour(glyph);
    });
}

class TextTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        Set_Windows_Directory(windows_.path());
        std::filesystem::create_directories(Font_Folder());
        transition_mode = NO_TRANSITION;
        transition_width = transition_height = 0.0;
        preset_switched = false;
        window_caption[0] = '\0';
    }

    void TearDown() override {
        Destroy_Title();
        Release_All_Fonts();
        transition_mode = NO_TRANSITION;
        preset_switched = false;
        Set_Windows_Directory("");
        GraphicsTest::TearDown();
    }

    std::string Font_Folder() const { return windows_.path() + "/Calvorine/Data/Bmp"; }
    std::string Font_Path() const { return Font_Folder() + "/Font.bmp"; }

    // Font 9's picture in the data folder, the test layout.
    void Install_Font(int width = 320, int height = 238) {
        Write_Font_Picture(Font_Path(), glyph_table_c, 34, width, height);
    }

    // The display at a format with the client area as large as the screen.
    void Open(const GraphicsFormat& format, int width = 128, int height = 96) {
        Open_Display(format, width, height);
        window_.client_width = width;
        window_.client_height = height;
        app.client_width = width;
        app.client_height = height;
    }

    static std::vector<std::string> Reports() {
        std::vector<std::string> texts;
        for (const Recorded_Box& box : platform_boxes) texts.push_back(box.text);
        return texts;
    }

    TempFolder windows_;
};

// The 32-bit display every exact-colour test uses.
inline const GraphicsFormat depth_32 = {32, 0x07E0, 0, "Depth32"};
