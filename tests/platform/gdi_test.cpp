// Device-context drawing at every display format: pixels, filled shapes and text.
#include <cmath>
#include <numbers>

#include "surface_fixture.h"

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF RED = RGB(255, 0, 0);

// Colours every format holds exactly (the default palette included).
constexpr COLORREF exact_colours[] = {BLACK, WHITE, RED, RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};

using GdiFormatTest = FormatTest;

TEST_P(GdiFormatTest, PixelsLandAtRowTimesPitchAndReadBack) {
    Surface* surface = Make_Surface(13, 7);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    for (int y = 0; y < surface->height; ++y) {
        COLORREF colour = exact_colours[y % std::size(exact_colours)];
        EXPECT_EQ(GDI_SetPixel(dc, 0, y, colour), colour);
        EXPECT_EQ(GDI_SetPixel(dc, surface->width - 1, y, colour), colour);
        EXPECT_EQ(GDI_GetPixel(dc, surface->width - 1, y), colour) << "row " << y;
        EXPECT_EQ(Stored(surface, 0, y), Colour_To_Pixel(surface, colour)) << "row " << y;
    }
    EXPECT_TRUE(Padding_Intact(surface));

    // An inexact colour answers what was really painted, and reads back as that.
    COLORREF painted = GDI_SetPixel(dc, 5, 3, RGB(77, 140, 33));
    EXPECT_NE(painted, CLR_INVALID);
    EXPECT_EQ(GDI_GetPixel(dc, 5, 3), painted);

    for (Point outside : {Point{-1, 0}, Point{0, -1}, Point{13, 0}, Point{0, 7}}) {
        EXPECT_EQ(GDI_GetPixel(dc, outside.x, outside.y), CLR_INVALID);
        EXPECT_EQ(GDI_SetPixel(dc, outside.x, outside.y, WHITE), CLR_INVALID);
    }
    EXPECT_TRUE(Padding_Intact(surface));
}

TEST_P(GdiFormatTest, StoredValuesFollowTheDisplayLayout) {
    Surface* surface = Make_Surface(4, 1);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    GDI_SetPixel(dc, 0, 0, RED);
    GDI_SetPixel(dc, 1, 0, RGB(0, 255, 0));
    GDI_SetPixel(dc, 2, 0, RGB(0, 0, 255));
    uint32_t red = Stored(surface, 0, 0), green = Stored(surface, 1, 0), blue = Stored(surface, 2, 0);
    switch (surface->bits_per_pixel) {
    case 8:
        EXPECT_EQ(red, 180u);  // 36 x 5 in the default cube
        EXPECT_EQ(green, 30u);
        EXPECT_EQ(blue, 5u);
        break;
    case 15:
    case 16:
        if (surface->green_mask == 0x07E0) {
            EXPECT_EQ(red, 0xF800u);
            EXPECT_EQ(green, 0x07E0u);
        } else {
            EXPECT_EQ(red, 0x7C00u);
            EXPECT_EQ(green, 0x03E0u);
        }
        EXPECT_EQ(blue, 0x001Fu);
        break;
    default:  // 24 stores bytes blue, green, red; 32 the word 0x00RRGGBB
        EXPECT_EQ(red, 0xFF0000u);
        EXPECT_EQ(green, 0x00FF00u);
        EXPECT_EQ(blue, 0x0000FFu);
    }
}

TEST_P(GdiFormatTest, DiamondIsFilledWithItsOutline) {
    Surface* surface = Make_Surface(48, 40);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    GDI_Select_Brush(dc, WHITE);
    GDI_Select_Pen(dc, RED);
    const Point diamond[] = {{24, 2}, {44, 20}, {24, 38}, {4, 20}};
    ASSERT_TRUE(GDI_Polygon(dc, diamond, 4));

    EXPECT_EQ(GDI_GetPixel(dc, 24, 20), WHITE);
    EXPECT_EQ(GDI_GetPixel(dc, 10, 20), WHITE);
    EXPECT_EQ(GDI_GetPixel(dc, 24, 35), WHITE);
    for (const Point& corner : diamond) EXPECT_EQ(GDI_GetPixel(dc, corner.x, corner.y), RED);
    EXPECT_EQ(GDI_GetPixel(dc, 34, 11), RED);  // middle of the upper right edge
    EXPECT_EQ(GDI_GetPixel(dc, 24, 1), BLACK);
    EXPECT_EQ(GDI_GetPixel(dc, 45, 20), BLACK);
    EXPECT_EQ(GDI_GetPixel(dc, 8, 8), BLACK);
    EXPECT_EQ(GDI_GetPixel(dc, 40, 34), BLACK);
    EXPECT_TRUE(Padding_Intact(surface));
}

TEST_P(GdiFormatTest, SelfCrossingStarIsFilledWhole) {
    Surface* surface = Make_Surface(80, 80);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    GDI_Select_Brush(dc, WHITE);
    GDI_Select_Pen(dc, WHITE);
    auto at = [](double radius, double degrees) {
        double angle = degrees * std::numbers::pi / 180.0;
        return Point{static_cast<int>(std::lround(40 + radius * std::cos(angle))),
                     static_cast<int>(std::lround(40 + radius * std::sin(angle)))};
    };
    // A pentagram drawn tip to every second tip, so its edges cross.
    Point star[5];
    for (int i = 0; i < 5; ++i) star[i] = at(36, -90 + 144 * i);
    ASSERT_TRUE(GDI_Polygon(dc, star, 5));

    Point centre = at(0, 0), inner = at(8, -54);
    EXPECT_EQ(GDI_GetPixel(dc, centre.x, centre.y), WHITE);
    EXPECT_EQ(GDI_GetPixel(dc, inner.x, inner.y), WHITE);  // inside the crossing, between two tips
    for (int tip = 0; tip < 5; ++tip) {
        Point arm = at(28, -90 + 72 * tip), gap = at(30, -54 + 72 * tip);
        EXPECT_EQ(GDI_GetPixel(dc, arm.x, arm.y), WHITE) << "arm " << tip;
        EXPECT_EQ(GDI_GetPixel(dc, gap.x, gap.y), BLACK) << "gap " << tip;
    }
    EXPECT_TRUE(Padding_Intact(surface));
}

TEST_P(GdiFormatTest, EllipseFillsItsBoxExclusiveOfRightAndBottom) {
    Surface* surface = Make_Surface(50, 34);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    GDI_Select_Brush(dc, WHITE);
    GDI_Select_Pen(dc, RED);
    ASSERT_TRUE(GDI_Ellipse(dc, 4, 2, 44, 30));

    EXPECT_EQ(GDI_GetPixel(dc, 24, 16), WHITE);
    EXPECT_EQ(GDI_GetPixel(dc, 24, 2), RED);  // the box's every side is touched by the outline
    EXPECT_EQ(GDI_GetPixel(dc, 24, 29), RED);
    EXPECT_EQ(GDI_GetPixel(dc, 4, 16), RED);
    EXPECT_EQ(GDI_GetPixel(dc, 43, 16), RED);
    EXPECT_EQ(GDI_GetPixel(dc, 24, 30), BLACK);
    EXPECT_EQ(GDI_GetPixel(dc, 44, 16), BLACK);
    EXPECT_EQ(GDI_GetPixel(dc, 5, 3), BLACK);  // box corner
    EXPECT_TRUE(Padding_Intact(surface));
}

TEST_P(GdiFormatTest, ShapesReachingFarOffTheSurfaceAreClipped) {
    Surface* surface = Make_Surface(30, 20);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    GDI_Select_Brush(dc, WHITE);
    GDI_Select_Pen(dc, WHITE);
    ASSERT_TRUE(GDI_Ellipse(dc, -1000000000, -1000000000, 1000000000, 1000000000));
    EXPECT_EQ(GDI_GetPixel(dc, 0, 0), WHITE);
    EXPECT_EQ(GDI_GetPixel(dc, 29, 19), WHITE);

    GDI_Select_Brush(dc, RED);
    GDI_Select_Pen(dc, RED);
    const Point triangle[] = {{-2000000000, -5}, {2000000000, 10}, {15, 2000000000}};
    ASSERT_TRUE(GDI_Polygon(dc, triangle, 3));
    EXPECT_EQ(GDI_GetPixel(dc, 15, 15), RED);
    EXPECT_EQ(GDI_GetPixel(dc, 29, 0), WHITE);  // above the long edge
    EXPECT_TRUE(Padding_Intact(surface));
}

TEST_P(GdiFormatTest, TransparentTextWritesOnlyInk) {
    Surface* surface = Make_Surface(90, 30);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    GDI_SetTextColor(dc, WHITE);
    GDI_SetBkMode(dc, GDI_TRANSPARENT);
    ASSERT_TRUE(GDI_TextOut(dc, 3, 4, "Hello", 5));

    int ink = 0;
    for (int y = 0; y < surface->height; ++y) {
        for (int x = 0; x < surface->width; ++x) {
            COLORREF colour = GDI_GetPixel(dc, x, y);
            if (colour == BLACK) continue;
            EXPECT_EQ(colour, WHITE) << x << "," << y;
            EXPECT_GE(x, 3);
            EXPECT_GE(y, 4);
            ++ink;
        }
    }
    EXPECT_GT(ink, 20);
    EXPECT_TRUE(Padding_Intact(surface));
}

TEST_P(GdiFormatTest, OpaqueTextPaintsItsCellAndClipsAtTheEdge) {
    Surface* surface = Make_Surface(40, 20);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    GDI_SetTextColor(dc, RED);
    GDI_SetBkMode(dc, GDI_OPAQUE);
    ASSERT_TRUE(GDI_TextOut(dc, 2, 1, "W", 1));
    EXPECT_EQ(GDI_GetPixel(dc, 2, 1), WHITE);  // above the letter: background
    int red = 0;
    for (int y = 0; y < surface->height; ++y)
        for (int x = 0; x < surface->width; ++x) red += GDI_GetPixel(dc, x, y) == RED;
    EXPECT_GT(red, 5);

    // Text running off the right and bottom edges is cut there.
    ASSERT_TRUE(GDI_TextOut(dc, 30, 12, "Wide text", 9));
    EXPECT_TRUE(Padding_Intact(surface));
    EXPECT_EQ(GDI_GetPixel(dc, 39, 12), WHITE);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, GdiFormatTest, ::testing::ValuesIn(all_display_formats), Format_Name);

using GdiTest = SurfaceTest;

TEST_F(GdiTest, EightBitsUseTheDevicePalette) {
    Open_Device(all_display_formats[0]);
    Surface* primary = nullptr;
    SurfaceDesc desc;
    desc.caps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(DD_CreateSurface(device_, desc, &primary), DD_OK);
    surfaces_.push_back(primary);
    PaletteEntry entries[256] = {};
    entries[7] = PaletteEntry{10, 200, 30, 0};
    entries[9] = PaletteEntry{250, 250, 250, 0};
    Palette* palette = nullptr;
    ASSERT_EQ(DD_CreatePalette(device_, DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette), DD_OK);
    ASSERT_EQ(Surface_SetPalette(primary, palette), DD_OK);

    Surface* surface = Make_Surface(8, 8);
    DeviceContext* dc = Context_On(surface);
    ASSERT_TRUE(dc);
    EXPECT_EQ(GDI_SetPixel(dc, 1, 1, RGB(12, 198, 29)), RGB(10, 200, 30));
    EXPECT_EQ(Stored(surface, 1, 1), 7u);
    EXPECT_EQ(GDI_SetPixel(dc, 2, 1, WHITE), RGB(250, 250, 250));
    EXPECT_EQ(Stored(surface, 2, 1), 9u);
    surface->memory[3] = 7;
    EXPECT_EQ(GDI_GetPixel(dc, 3, 0), RGB(10, 200, 30));
    Release(palette);
}

TEST_F(GdiTest, BadArgumentsAreRefused) {
    Open_Device(all_display_formats[5]);
    DeviceContext* dc = Context_On(Make_Surface(8, 8));
    ASSERT_TRUE(dc);
    const Point one[] = {{1, 1}};
    EXPECT_EQ(GDI_GetPixel(nullptr, 0, 0), CLR_INVALID);
    EXPECT_EQ(GDI_SetPixel(nullptr, 0, 0, WHITE), CLR_INVALID);
    EXPECT_FALSE(GDI_Polygon(nullptr, one, 1));
    EXPECT_FALSE(GDI_Polygon(dc, nullptr, 3));
    EXPECT_FALSE(GDI_Polygon(dc, one, 1));
    EXPECT_FALSE(GDI_Ellipse(nullptr, 0, 0, 4, 4));
    EXPECT_FALSE(GDI_TextOut(dc, 0, 0, "x", -1));
    EXPECT_FALSE(GDI_TextOut(dc, 0, 0, nullptr, 3));
    EXPECT_TRUE(GDI_TextOut(dc, 0, 0, "", 0));
    EXPECT_EQ(GDI_Surface_Of(nullptr), nullptr);
}

TEST(PixelFormat, EveryTwoByteValueSurvivesReadingAndWriting) {
    for (uint32_t value = 0; value < 0x10000; ++value) {
        ASSERT_EQ(Colour_To_Pixel(16, 0x07E0, Pixel_To_Colour(16, 0x07E0, value)), value);
        if (value < 0x8000) {
            ASSERT_EQ(Colour_To_Pixel(15, 0x03E0, Pixel_To_Colour(15, 0x03E0, value)), value);
        }
    }
    EXPECT_EQ(Pixel_To_Colour(16, 0x07E0, 0xFFFF), WHITE);
    EXPECT_EQ(Pixel_To_Colour(16, 0x03E0, 0x7FFF), WHITE);
    EXPECT_EQ(Pixel_To_Colour(32, 0, 0xFF123456), RGB(0x12, 0x34, 0x56));
}

TEST(PixelFormat, DefaultPaletteHasBlackFirstAndNoRepeats) {
    const Palette* palette = Pixel_Default_Palette();
    EXPECT_EQ(Pixel_To_Colour(8, 0, 0, palette), BLACK);
    EXPECT_EQ(Pixel_To_Colour(8, 0, 215, palette), WHITE);
    for (int index = 0; index < 256; ++index) {
        COLORREF colour = Pixel_To_Colour(8, 0, index, palette);
        EXPECT_EQ(Pixel_Nearest_Index(palette, colour), index) << index;
    }
}

}  // namespace
