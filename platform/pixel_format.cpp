#include "platform/pixel_format.h"

#include <cstddef>

constexpr uint32_t GREEN_MASK_565 = 0x07E0;
constexpr int CUBE_LEVELS = 6;
constexpr int CUBE_STEP = 51;  // 255 / (CUBE_LEVELS - 1)
constexpr int CUBE_SIZE = CUBE_LEVELS * CUBE_LEVELS * CUBE_LEVELS;
constexpr int GREY_COUNT = 256 - CUBE_SIZE;  // greys evenly between black and white, none equal to a cube grey

bool Pixel_Is_565(uint32_t green_mask) { return green_mask == GREEN_MASK_565; }

static Palette Build_Default_Palette() {
    Palette palette;
    for (int index = 0; index < CUBE_SIZE; ++index) {
        PaletteEntry& entry = palette.entries[index];
        entry.red = static_cast<uint8_t>(index / (CUBE_LEVELS * CUBE_LEVELS) * CUBE_STEP);
        entry.green = static_cast<uint8_t>(index / CUBE_LEVELS % CUBE_LEVELS * CUBE_STEP);
        entry.blue = static_cast<uint8_t>(index % CUBE_LEVELS * CUBE_STEP);
    }
    for (int index = CUBE_SIZE; index < 256; ++index) {
        uint8_t level = static_cast<uint8_t>((index - CUBE_SIZE + 1) * 255 / (GREY_COUNT + 1));
        palette.entries[index] = PaletteEntry{level, level, level, 0};
    }
    return palette;
}

const Palette* Pixel_Default_Palette() {
    static const Palette palette = Build_Default_Palette();
    return &palette;
}

const Palette* Pixel_Mapping_Palette() {
    const Palette* current = DD_Current_Palette();
    return current ? current : Pixel_Default_Palette();
}

uint8_t Pixel_Nearest_Index(const Palette* palette, COLORREF colour) {
    if (!palette) palette = Pixel_Mapping_Palette();
    int red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    int best = 0;
    int best_distance = 1 << 30;
    for (int index = 0; index < 256; ++index) {
        const PaletteEntry& entry = palette->entries[index];
        int dr = entry.red - red, dg = entry.green - green, db = entry.blue - blue;
        int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = index;
            if (distance == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}

uint32_t Colour_To_Pixel(int bits_per_pixel, uint32_t green_mask, COLORREF colour, const Palette* palette) {
    uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    switch (bits_per_pixel) {
    case 8: return Pixel_Nearest_Index(palette, colour);
    case 15:
    case 16:
        if (Pixel_Is_565(green_mask)) return (red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3);
        return (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3);
    case 24:
    case 32: return red << 16 | green << 8 | blue;
    default: return 0;
    }
}

COLORREF Pixel_To_Colour(int bits_per_pixel, uint32_t green_mask, uint32_t pixel, const Palette* palette) {
    switch (bits_per_pixel) {
    case 8: {
        if (!palette) palette = Pixel_Mapping_Palette();
        const PaletteEntry& entry = palette->entries[pixel & 0xFF];
        return RGB(entry.red, entry.green, entry.blue);
    }
    case 15:
    case 16:
        if (Pixel_Is_565(green_mask)) {
            return RGB(Expand_Field((pixel >> 11) & 0x1F, 5), Expand_Field((pixel >> 5) & 0x3F, 6),
                       Expand_Field(pixel & 0x1F, 5));
        }
        return RGB(Expand_Field((pixel >> 10) & 0x1F, 5), Expand_Field((pixel >> 5) & 0x1F, 5),
                   Expand_Field(pixel & 0x1F, 5));
    case 24:
    case 32: return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    default: return 0;
    }
}

uint32_t Colour_To_Pixel(const Surface* surface, COLORREF colour) {
    return Colour_To_Pixel(surface->bits_per_pixel, surface->green_mask, colour, nullptr);
}

COLORREF Pixel_To_Colour(const Surface* surface, uint32_t pixel) {
    return Pixel_To_Colour(surface->bits_per_pixel, surface->green_mask, pixel, nullptr);
}

bool Pixel_Surface_Usable(const Surface* surface) {
    if (!surface || surface->width <= 0 || surface->height <= 0) return false;
    int bytes = Pixel_Bytes(surface->bits_per_pixel);
    if (bytes == 0 || surface->pitch < surface->width * bytes) return false;
    // The last row needs only its pixels, not the padding after them.
    size_t needed = static_cast<size_t>(surface->height - 1) * static_cast<size_t>(surface->pitch) +
                    static_cast<size_t>(surface->width) * static_cast<size_t>(bytes);
    return surface->memory.size() >= needed;
}

static const uint8_t* Pixel_Address(const Surface* surface, int x, int y) {
    return surface->memory.data() + static_cast<size_t>(y) * static_cast<size_t>(surface->pitch) +
           static_cast<size_t>(x) * static_cast<size_t>(Pixel_Bytes(surface->bits_per_pixel));
}

uint32_t Pixel_Read(const Surface* surface, int x, int y) {
    return Read_Pixel_Value(Pixel_Address(surface, x, y), Pixel_Bytes(surface->bits_per_pixel));
}

void Pixel_Write(Surface* surface, int x, int y, uint32_t pixel) {
    surface->memory.Before_Write();
    Write_Pixel_Value(const_cast<uint8_t*>(Pixel_Address(surface, x, y)), Pixel_Bytes(surface->bits_per_pixel), pixel);
}
