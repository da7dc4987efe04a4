// Colours and pixel values of the display formats.
//
// A COLORREF (0x00BBGGRR) packs into a pixel value of each format and back:
//   8      an index into a palette: the nearest entry of the device's current
//          palette, or of the fixed default palette when the device has none
//   15/16  5-6-5 when the green mask is 0x07E0, else 5-5-5 (bit 15 unused);
//          the depth number alone never decides the layout
//   24     three bytes blue, green, red (the value 0x00RRGGBB)
//   32     0x00RRGGBB, bits 24-31 zero
// Packing truncates each channel to its field; unpacking repeats a field's
// high bits into the low ones, so a full field reads back as 255 and every
// pixel value survives an unpack and a pack unchanged.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/ddraw.h"
#include "platform/gdi.h"

// ---------------------------------------------------------------------------
// The per-depth primitives every pixel loop shares (the device's blits, the
// effects, the sine waves, the presentation). Rows may be padded to any
// pitch, so words are never assumed to be aligned; the host is little-endian.

// Bytes one pixel takes at a depth (1, 2, 2, 3, 4 for 8, 15, 16, 24, 32); 0 for any other depth.
inline int Pixel_Bytes(int bits_per_pixel) {
    switch (bits_per_pixel) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

// The 16-bit word at p.
inline uint16_t Read_16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
// Stores a 16-bit word at p.
inline void Write_16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
// The 32-bit word at p.
inline uint32_t Read_32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
// Stores a 32-bit word at p.
inline void Write_32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// The raw value of a pixel `bytes` wide (1 to 4) at p.
inline uint32_t Read_Pixel_Value(const uint8_t* p, int bytes) {
    switch (bytes) {
    case 1: return p[0];
    case 2: return uint32_t(p[0]) | uint32_t(p[1]) << 8;
    case 3: return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    default: return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
}
// Stores the low `bytes` bytes (1 to 4) of a raw pixel value at p.
inline void Write_Pixel_Value(uint8_t* p, int bytes, uint32_t value) {
    std::memcpy(p, &value, static_cast<size_t>(bytes));
}

// Widens a field of `bits` bits to eight by repeating its high bits, so 0
// stays 0 and a full field becomes 255.
inline uint32_t Expand_Field(uint32_t value, int bits) {
    uint32_t wide = value << (8 - bits);
    return wide | (wide >> bits);
}
// True when a two-byte format is 5-6-5 (green mask exactly 0x07E0).
bool Pixel_Is_565(uint32_t green_mask);

// The fixed 256-colour palette used at 8 bits while the device has none:
// entries 0-215 a 6 x 6 x 6 cube (levels 0, 51, 102, 153, 204, 255; index =
// 36 r + 6 g + b, so 0 is black and 215 white), entries 216-255 forty greys
// strictly between black and white (level 255 (i + 1) / 41 for entry 216 + i).
const Palette* Pixel_Default_Palette();
// The palette colours map to at 8 bits: DD_Current_Palette(), else the default one.
const Palette* Pixel_Mapping_Palette();
// Index of the palette entry nearest a colour (squared RGB distance, lowest index on a tie).
uint8_t Pixel_Nearest_Index(const Palette* palette, COLORREF colour);

// A colour as a pixel value of a format; at 8 bits `palette` (null: the mapping palette) is searched.
uint32_t Colour_To_Pixel(int bits_per_pixel, uint32_t green_mask, COLORREF colour, const Palette* palette = nullptr);
// A pixel value of a format as a colour; at 8 bits the entry of `palette` (null: the mapping palette).
COLORREF Pixel_To_Colour(int bits_per_pixel, uint32_t green_mask, uint32_t pixel, const Palette* palette = nullptr);
// The same in a surface's own format, with the mapping palette at 8 bits.
uint32_t Colour_To_Pixel(const Surface* surface, COLORREF colour);
// The same in a surface's own format, with the mapping palette at 8 bits.
COLORREF Pixel_To_Colour(const Surface* surface, uint32_t pixel);

// True when the surface has a known format and memory for all its rows at its pitch.
bool Pixel_Surface_Usable(const Surface* surface);
// The raw pixel value at (x, y); the caller keeps the point inside a usable surface.
uint32_t Pixel_Read(const Surface* surface, int x, int y);
// Stores a raw pixel value at (x, y); the caller keeps the point inside a usable surface.
void Pixel_Write(Surface* surface, int x, int y, uint32_t pixel);
