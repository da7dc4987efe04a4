// The bitmap fonts: each font is a picture holding about ninety glyphs at
// fixed places, and a metric table says where each glyph lies and how wide
// it is. Text is drawn by copying glyph rectangles, masked by the picture's
// colour key. Fonts are known by number 0..9 and load on first use; the
// program itself draws in font 9, the one picture the installation delivers.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ddraw.h"

// Number of fonts the table knows (font numbers 0..9).
constexpr int FONT_TABLE_SIZE = 10;
// Number of glyphs every metric table describes.
constexpr int GLYPH_COUNT = 94;
// The glyph drawn for every character without one of its own.
constexpr int DEFAULT_GLYPH = 92;
// The longest text Draw_Text accepts.
constexpr int MAX_TEXT_LENGTH = 511;
// The font the program draws its titles and frame-rate text in.
constexpr int PROGRAM_FONT = 9;

// Where one glyph lies in its font picture.
struct GlyphMetrics {
    int32_t x;      // left edge in the picture
    int32_t y;      // top edge in the picture
    int32_t width;  // width in pixels; the height is the font's glyph_height
};

// One font of the table.
struct FontRecord {
    int32_t font_number;                      // its own index
    Surface* font_surface;                    // the loaded picture; null until first use
    int32_t picture_width;                    // width of the picture in pixels
    int32_t glyph_height;                     // height of every glyph: 26, 32 or 34
    int32_t spacing_unit;                     // glyph_height / 32: the gap after a glyph
    GlyphMetrics glyph_metrics[GLYPH_COUNT];  // x, y and width of each glyph
};

// The font table, indexed by font number.
extern FontRecord font_table[FONT_TABLE_SIZE];
// Number of fonts loaded.
extern int32_t font_count;

// Metric table A: 26-pixel glyphs in rows 26 pixels apart (font 0).
extern const GlyphMetrics glyph_table_a[GLYPH_COUNT];
// Metric table B: 32-pixel glyphs in rows 64 pixels apart (fonts 1 to 8).
extern const GlyphMetrics glyph_table_b[GLYPH_COUNT];
// Metric table C: 34-pixel glyphs in rows 34 pixels apart (font 9, Font.bmp).
extern const GlyphMetrics glyph_table_c[GLYPH_COUNT];

// The glyph index of a character (digits, letters and the listed signs);
// DEFAULT_GLYPH for every other character, those above 127 included.
int Glyph_Index(char character);
// The picture a font loads from: relative paths for fonts 0 to 8, the data
// folder's Data/Bmp/Font.bmp for font 9; "" for a number outside 0..9.
std::string Font_Picture_Path(int font_number);

// Loads font n's picture, fills its record and counts it; 1 or 0 (reported).
int Load_Font(int font_number);
// Loads again a font whose picture was lost (fonts 1 to 9 only); 1 or 0 (reported).
int Restore_Font(int font_number);
// Releases every font picture and sets font_count to 0 (Shutdown); safe to repeat.
void Release_All_Fonts();
// The x, y and width of the character's glyph in the font; always 1.
int Find_Glyph(char character, const FontRecord* font, int* x, int* y, int* width);
// Draws the text with its first glyph's top left at (x, y) on the
// destination, loading the font on first use; 1 or 0 (reported).
int Draw_Text(Surface* destination, int x, int y, int font_number, const char* text);
// The text's width and height in pixels in the font (loaded on first use); 1 or 0 (reported).
int Calculate_Message_Dimensions(int font_number, const char* text, int* width, int* height);
