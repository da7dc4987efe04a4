// The bitmap fonts: the metric tables, lazy loading of the font pictures and
// text drawn glyph by glyph with one masked rectangle copy each.
#include "text/font.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/resolution.h"
#include "graphics/bitmap_files.h"
#include "graphics/blits.h"
#include "graphics/surface.h"

FontRecord font_table[FONT_TABLE_SIZE] = {};
int32_t font_count = 0;

// Font 9: Font.bmp of the installation, seven rows of 34-pixel glyphs.
const GlyphMetrics glyph_table_c[GLYPH_COUNT] = {
    {5, 0, 10},    {22, 0, 8},     {36, 0, 11},    {52, 0, 11},    {71, 0, 11},    {87, 0, 10},    {104, 0, 10},
    {119, 0, 12},  {138, 0, 8},    {152, 0, 10},   {169, 0, 12},   {187, 0, 8},    {201, 0, 6},    {214, 0, 9},
    {230, 0, 6},   {243, 0, 10},   {257, 0, 13},   {275, 0, 11},   {291, 0, 6},    {299, 0, 7},    {4, 34, 10},
    {20, 34, 4},   {31, 34, 18},   {55, 34, 12},   {73, 34, 9},    {88, 34, 10},   {104, 34, 9},   {119, 34, 9},
    {135, 34, 6},  {148, 34, 7},   {162, 34, 11},  {180, 34, 11},  {197, 34, 17},  {218, 34, 11},  {233, 34, 12},
    {251, 34, 9},  {266, 34, 28},  {0, 68, 21},    {28, 68, 15},   {49, 68, 31},   {85, 68, 14},   {106, 68, 16},
    {125, 68, 18}, {150, 68, 18},  {174, 68, 17},  {193, 68, 18},  {218, 68, 21},  {0, 102, 29},   {36, 102, 32},
    {75, 102, 32}, {113, 102, 26}, {145, 102, 23}, {174, 102, 25}, {205, 102, 19}, {2, 136, 29},   {37, 136, 17},
    {60, 136, 16}, {83, 136, 15},  {104, 136, 22}, {133, 136, 20}, {153, 136, 23}, {179, 136, 22}, {206, 136, 10},
    {222, 136, 4}, {232, 136, 13}, {5, 170, 15},   {27, 170, 10},  {43, 170, 15},  {65, 170, 5},   {76, 170, 21},
    {103, 170, 7}, {115, 170, 7},  {128, 170, 7},  {136, 170, 12}, {148, 170, 8},  {162, 170, 6},  {175, 170, 6},
    {188, 170, 2}, {196, 170, 6},  {209, 170, 3},  {218, 170, 8},  {233, 170, 6},  {246, 170, 7},  {258, 170, 4},
    {267, 170, 3}, {275, 170, 17}, {298, 170, 4},  {5, 204, 4},    {15, 204, 6},   {28, 204, 6},   {41, 204, 17},
    {64, 204, 6},  {77, 204, 6},   {90, 204, 8},
};

// The 26-pixel font: table C's layout scaled to 26 pixels, rows packed
// 26 pixels apart, so one artwork grid serves every size.
const GlyphMetrics glyph_table_a[GLYPH_COUNT] = {
    {4, 0, 8},     {17, 0, 6},     {28, 0, 8},    {40, 0, 8},     {54, 0, 8},     {67, 0, 8},     {80, 0, 8},
    {91, 0, 9},    {106, 0, 6},    {116, 0, 8},   {129, 0, 9},    {143, 0, 6},    {154, 0, 5},    {164, 0, 7},
    {176, 0, 5},   {186, 0, 8},    {197, 0, 10},  {210, 0, 8},    {223, 0, 5},    {229, 0, 5},    {3, 26, 8},
    {15, 26, 3},   {24, 26, 14},   {42, 26, 9},   {56, 26, 7},    {67, 26, 8},    {80, 26, 7},    {91, 26, 7},
    {103, 26, 5},  {113, 26, 5},   {124, 26, 8},  {138, 26, 8},   {151, 26, 13},  {167, 26, 8},   {178, 26, 9},
    {192, 26, 7},  {203, 26, 21},  {0, 52, 16},   {21, 52, 11},   {37, 52, 24},   {65, 52, 11},   {81, 52, 12},
    {96, 52, 14},  {115, 52, 14},  {133, 52, 13}, {148, 52, 14},  {167, 52, 16},  {0, 78, 22},    {28, 78, 24},
    {57, 78, 24},  {86, 78, 20},   {111, 78, 18}, {133, 78, 19},  {157, 78, 15},  {2, 104, 22},   {28, 104, 13},
    {46, 104, 12}, {63, 104, 11},  {80, 104, 17}, {102, 104, 15}, {117, 104, 18}, {137, 104, 17}, {158, 104, 8},
    {170, 104, 3}, {177, 104, 10}, {4, 130, 11},  {21, 130, 8},   {33, 130, 11},  {50, 130, 4},   {58, 130, 16},
    {79, 130, 5},  {88, 130, 5},   {98, 130, 5},  {104, 130, 9},  {113, 130, 6},  {124, 130, 5},  {134, 130, 5},
    {144, 130, 2}, {150, 130, 5},  {160, 130, 2}, {167, 130, 6},  {178, 130, 5},  {188, 130, 5},  {197, 130, 3},
    {204, 130, 2}, {210, 130, 13}, {228, 130, 3}, {4, 156, 3},    {11, 156, 5},   {21, 156, 5},   {31, 156, 13},
    {49, 156, 5},  {59, 156, 5},   {69, 156, 6},
};

// The 32-pixel fonts: table C's layout scaled to 32 pixels, in rows 64
// pixels apart.
const GlyphMetrics glyph_table_b[GLYPH_COUNT] = {
    {5, 0, 9},      {21, 0, 8},     {34, 0, 10},    {49, 0, 10},    {67, 0, 10},    {82, 0, 9},     {98, 0, 9},
    {112, 0, 11},   {130, 0, 8},    {143, 0, 9},    {159, 0, 11},   {176, 0, 8},    {189, 0, 6},    {201, 0, 8},
    {216, 0, 6},    {229, 0, 9},    {242, 0, 12},   {259, 0, 10},   {274, 0, 6},    {281, 0, 7},    {4, 64, 9},
    {19, 64, 4},    {29, 64, 17},   {52, 64, 11},   {69, 64, 8},    {83, 64, 9},    {98, 64, 8},    {112, 64, 8},
    {127, 64, 6},   {139, 64, 7},   {152, 64, 10},  {169, 64, 10},  {185, 64, 16},  {205, 64, 10},  {219, 64, 11},
    {236, 64, 8},   {250, 64, 26},  {0, 128, 20},   {26, 128, 14},  {46, 128, 29},  {80, 128, 13},  {100, 128, 15},
    {118, 128, 17}, {141, 128, 17}, {164, 128, 16}, {182, 128, 17}, {205, 128, 20}, {0, 192, 27},   {34, 192, 30},
    {71, 192, 30},  {106, 192, 24}, {136, 192, 22}, {164, 192, 24}, {193, 192, 18}, {2, 256, 27},   {35, 256, 16},
    {56, 256, 15},  {78, 256, 14},  {98, 256, 21},  {125, 256, 19}, {144, 256, 22}, {168, 256, 21}, {194, 256, 9},
    {209, 256, 4},  {218, 256, 12}, {5, 320, 14},   {25, 320, 9},   {40, 320, 14},  {61, 320, 5},   {72, 320, 20},
    {97, 320, 7},   {108, 320, 7},  {120, 320, 7},  {128, 320, 11}, {139, 320, 8},  {152, 320, 6},  {165, 320, 6},
    {177, 320, 2},  {184, 320, 6},  {197, 320, 3},  {205, 320, 8},  {219, 320, 6},  {232, 320, 7},  {243, 320, 4},
    {251, 320, 3},  {259, 320, 16}, {280, 320, 4},  {5, 384, 4},    {14, 384, 6},   {26, 384, 6},   {39, 384, 16},
    {60, 384, 6},   {72, 384, 6},   {85, 384, 8},
};

// What each font number loads. Fonts 0 to 8 are looked up beside the
// program; only font 9 is installed, in the data folder.
struct FontDescription {
    const char* picture;  // relative path, or null for the data folder's Font.bmp
    int32_t glyph_height;
    const GlyphMetrics* metrics;
};

static const FontDescription font_descriptions[FONT_TABLE_SIZE] = {
    {"include/fonts/gold_26.bmp", 26, glyph_table_a},        {"include/fonts/silver_32.bmp", 32, glyph_table_b},
    {"include/fonts/gold_32.bmp", 32, glyph_table_b},        {"include/fonts/red_32.bmp", 32, glyph_table_b},
    {"include/fonts/blue_32.bmp", 32, glyph_table_b},        {"include/fonts/grey_32.bmp", 32, glyph_table_b},
    {"include/fonts/dark_silver_32.bmp", 32, glyph_table_b}, {"include/fonts/dark_gold_32.bmp", 32, glyph_table_b},
    {"include/fonts/dark_red_32.bmp", 32, glyph_table_b},    {nullptr, 34, glyph_table_c},
};

// Glyph heights are multiples of this many pixels per unit of spacing.
static constexpr int32_t PIXELS_PER_SPACING_UNIT = 32;

static bool Valid_Font_Number(int font_number) { return font_number >= 0 && font_number < FONT_TABLE_SIZE; }

static bool Is_Lost(Surface* surface) { return Surface_IsLost(surface) == DDERR_SURFACELOST; }

int Glyph_Index(char character) {
    // Characters above 127 are negative here and fall through to the default.
    const signed char c = static_cast<signed char>(character);
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return 10 + (c - 'a');
    if (c >= 'A' && c <= 'Z') return 36 + (c - 'A');
    switch (c) {
    case '!': return 63;
    case '@': return 64;
    case '#': return 65;
    case '$': return 66;
    case '%': return 67;
    case '^': return 68;
    case '&': return 69;
    case '(': return 71;
    case ')': return 72;
    case '_': return 73;
    case '+': return 74;
    case '{': return 75;
    case '}': return 76;
    case '|': return 77;
    case '"': return 78;
    case ':': return 79;
    case '?': return 80;
    case '>': return 81;
    case '<': return 82;
    case ',': return 83;
    case '.': return 84;
    case '/': return 85;
    case ';': return 86;
    case '[': return 88;
    case ']': return 89;
    case '=': return 91;
    case '`': return 93;
    default: return DEFAULT_GLYPH;
    }
}

std::string Font_Picture_Path(int font_number) {
    if (!Valid_Font_Number(font_number)) return "";
    const char* picture = font_descriptions[font_number].picture;
    return picture ? std::string(picture) : Data_Folder() + "/Data/Bmp/Font.bmp";
}

int Load_Font(int font_number) {
    if (!Valid_Font_Number(font_number)) {
        Report_Formatted("Load_Font():Illegal font number %d", font_number);
        return 0;
    }
    FontRecord& font = font_table[font_number];
    const FontDescription& description = font_descriptions[font_number];
    font.font_number = font_number;

    const std::string path = Font_Picture_Path(font_number);
    if (!File_Exists(path.c_str())) {
        Report_Formatted("Load_Font():font file %s not found", path.c_str());
        return 0;
    }
    // The picture may have been copied from a system that ignores case.
    const std::string on_disk = Match_Path_Case(path);
    int width = 0, height = 0;
    // A font picture larger than the largest mode is no font of ours; its
    // size is checked before any of it is read.
    if (Read_Bitmap_Size(on_disk.c_str(), &width, &height) &&
        (width > LARGEST_MODE_WIDTH || height > LARGEST_MODE_HEIGHT)) {
        Report_Formatted("Load_Font():font file %s is %d x %d, larger than the largest display mode", path.c_str(),
                         width, height);
        return 0;
    }
    Surface* picture = app.system_memory_surfaces ? Load_SYSTEM_Bitmap(on_disk.c_str(), &width, &height)
                                                  : Load_Bitmap(on_disk.c_str(), &width, &height);
    if (!picture) {
        Report_Formatted("Load_Font():Unable to load font file %s", path.c_str());
        return 0;
    }
    // Loading a font that is already loaded replaces its picture: the old
    // one is not leaked and the font is not counted twice.
    if (font.font_surface) {
        Release(font.font_surface);
        --font_count;
    }
    font.font_surface = picture;
    font.picture_width = width;
    font.glyph_height = description.glyph_height;
    font.spacing_unit = description.glyph_height / PIXELS_PER_SPACING_UNIT;
    std::memcpy(font.glyph_metrics, description.metrics, sizeof font.glyph_metrics);
    ++font_count;
    return 1;
}

int Restore_Font(int font_number) {
    if (font_number < 1 || font_number >= FONT_TABLE_SIZE) {
        Report_Formatted("Restore_Font(): Bad font num %d", font_number);
        return 0;
    }
    FontRecord& font = font_table[font_number];
    // A lost picture holds nothing worth keeping; the font counts as
    // unloaded until the new picture is in.
    if (font.font_surface) {
        Release(font.font_surface);
        font.font_surface = nullptr;
        --font_count;
    }
    if (!Load_Font(font_number)) {
        Report_Error("Restore_Font():Unable to load font #d");
        return 0;
    }
    return 1;
}

void Release_All_Fonts() {
    for (FontRecord& font : font_table) {
        Release(font.font_surface);
        font.font_surface = nullptr;
    }
    font_count = 0;
}

int Find_Glyph(char character, const FontRecord* font, int* x, int* y, int* width) {
    GlyphMetrics glyph{0, 0, 0};
    if (font) glyph = font->glyph_metrics[Glyph_Index(character)];
    if (x) *x = glyph.x;
    if (y) *y = glyph.y;
    if (width) *width = glyph.width;
    return 1;
}

// A blank is as wide as the glyph before it plus three spacing units. A
// text that starts with blanks has no glyph before them: they count as if a
// digit stood there, as wide as the blanks that right-align numbers.
static int32_t Width_Before_First_Glyph(const FontRecord& font) { return font.glyph_metrics[0].width; }

int Draw_Text(Surface* destination, int x, int y, int font_number, const char* text) {
    if (!text || !text[0]) {
        Report_Error("Draw_Text():Illegal Message");
        return 0;
    }
    if (!Valid_Font_Number(font_number)) {
        Report_Formatted("Draw_Text():Illegal Font # %d", font_number);
        return 0;
    }
    if (!destination) {
        Report_Formatted("Draw_Text():Invalid Destination Surface cannot write: %s", text);
        return 0;
    }
    if (Is_Lost(destination)) {
        bool restored = destination != Hidden || Restore_All_Surfaces();
        restored = restored && Surface_Restore(destination) == DD_OK;
        if (!restored) {
            Report_Formatted("Draw_Text():Invalid Destination Surface cannot write: %s", text);
            return 0;
        }
    }
    const size_t length = std::strlen(text);
    if (length > static_cast<size_t>(MAX_TEXT_LENGTH)) {
        Report_Formatted("Draw_Text():Illegal Message Length %d\nfor message %s", static_cast<int>(length), text);
        return 0;
    }

    FontRecord& font = font_table[font_number];
    if (!font.font_surface) {
        if (!Load_Font(font_number)) {
            Report_Formatted("Draw_Text():Invalid Font Surface - surface is NULL & Unable to Load the font_num %d",
                             font_number);
            return 0;
        }
    } else if (Is_Lost(font.font_surface) && !Restore_Font(font_number)) {
        Report_Error("Draw_Text():Invalid Font Surface: lost font");
        return 0;
    }

    // Hidden is clipped to the screen the frame is composed for; any other
    // surface to its own size.
    int clip_width = app.screen_width, clip_height = app.screen_height;
    if (destination != Hidden && !Grab_Surface_Dimensions(destination, &clip_width, &clip_height)) {
        Report_Error("Draw_Text(): Grab_Surface_Dimensions FAILED");
        return 0;
    }

    const int unit = font.spacing_unit;
    int pen = x;
    int previous_width = Width_Before_First_Glyph(font);
    for (size_t i = 0; i < length; ++i) {
        const char character = text[i];
        if (character == ' ') {
            pen += 2 * unit;
            pen += unit + previous_width;
            continue;
        }
        int glyph_x = 0, glyph_y = 0, glyph_width = 0;
        Find_Glyph(character, &font, &glyph_x, &glyph_y, &glyph_width);
        if (!Masked_Clip_Blit_Ex(font.font_surface, destination, glyph_x, glyph_y, pen, y, glyph_width,
                                 font.glyph_height, clip_width, clip_height)) {
            Report_Formatted("Draw_Text():Unable to draw character %c\nsource (%d,%d)\ndest (%d,%d)\nw,h -> (%d,%d)",
                             character, glyph_x, glyph_y, pen, y, glyph_width, font.glyph_height);
            return 0;
        }
        pen += glyph_width + unit;
        previous_width = glyph_width;
    }
    return 1;
}

int Calculate_Message_Dimensions(int font_number, const char* text, int* width, int* height) {
    if (!Valid_Font_Number(font_number)) {
        Report_Formatted("Calculate_Message_Dimensions():Illegal Font # %d", font_number);
        return 0;
    }
    FontRecord& font = font_table[font_number];
    if (!font.font_surface && !Load_Font(font_number)) {
        Report_Formatted(
            "Calculate_Message_Dimensions():Invalid Font Surface - surface is NULL & Unable to Load "
            "the font_num %d",
            font_number);
        return 0;
    }

    // Each glyph is measured with two units after it where Draw_Text
    // advances by one: the measure is a little generous, never short.
    const int unit = font.spacing_unit;
    int total = 0;
    int previous_width = Width_Before_First_Glyph(font);
    for (const char* c = text ? text : ""; *c; ++c) {
        if (*c == ' ') {
            total += unit + previous_width + 2 * unit;
            continue;
        }
        int glyph_width = 0;
        Find_Glyph(*c, &font, nullptr, nullptr, &glyph_width);
        total += glyph_width + 2 * unit;
        previous_width = glyph_width;
    }
    if (width) *width = total;
    if (height) *height = font.glyph_height;
    return 1;
}
