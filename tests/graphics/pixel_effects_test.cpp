// Pixel effects: the colour conversions' known values, rotation boxes and
// rotation at every depth, the hue turn, fades and the two blends.
#include <gtest/gtest.h>

#include <string>

#include "graphics/pixel_effects.h"
#include "graphics_fixture.h"

namespace {

TEST(ColourModels, RgbToHsvKnownValues) {
    float h, s, v;
    RGB_To_HSV(1, 0, 0, &h, &s, &v);
    EXPECT_FLOAT_EQ(h, 0);
    EXPECT_FLOAT_EQ(s, 1);
    EXPECT_FLOAT_EQ(v, 1);
    RGB_To_HSV(0, 0, 1, &h, &s, &v);
    EXPECT_FLOAT_EQ(h, 240);
    RGB_To_HSV(1, 0, 1, &h, &s, &v);  // the first component wins a tie and the hue wraps
    EXPECT_FLOAT_EQ(h, 300);
    RGB_To_HSV(0.5f, 0.5f, 0.5f, &h, &s, &v);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(h, -1);
    EXPECT_FLOAT_EQ(v, 0.5f);
    RGB_To_HSV(0, 0, 0, &h, &s, &v);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(v, 0);
}

TEST(ColourModels, HsvToRgbRows) {
    float a, b, c;
    HSV_To_RGB(&a, &b, &c, 123, 0, 0.25f);
    EXPECT_EQ(a, 0.25f);
    EXPECT_EQ(b, 0.25f);
    EXPECT_EQ(c, 0.25f);
    HSV_To_RGB(&a, &b, &c, 300, 1, 1);  // i = 5: (V, p, q), with f a hair above 0
    EXPECT_FLOAT_EQ(a, 1);
    EXPECT_FLOAT_EQ(b, 0);
    EXPECT_NEAR(c, 1, 1e-6);
    HSV_To_RGB(&a, &b, &c, 180, 1, 1);  // i = 3: (p, q, V)
    EXPECT_FLOAT_EQ(a, 0);
    EXPECT_FLOAT_EQ(b, 1);
    EXPECT_FLOAT_EQ(c, 1);
}

TEST(ColourModels, HlsToRgbIntegerScale) {
    Reset_Program_State();
    app.screen_bpp = 32;
    EXPECT_EQ(HLS_To_RGB(0, 252, 0), 0xFFFFFFu);
    EXPECT_EQ(HLS_To_RGB(0, 126, 252), 0x0000FFu);  // pure red
    // Just below a third of the circle the blue channel's hue runs below 0
    // and must come round to the top of the circle, leaving blue at its floor.
    EXPECT_EQ(HLS_To_RGB(83, 126, 252), 6u | 255u << 8);
    EXPECT_EQ(Hue_To_RGB(0, 252, 300), 252);  // 300 comes round to 48
    EXPECT_EQ(Hue_To_RGB(10, 52, -84), 10);   // -84 comes round to 168
    app.screen_bpp = 16;
    EXPECT_EQ(HLS_To_RGB(0, 252, 0), 0xFFFFFFu) << "the same colours at 16 bits";
    EXPECT_EQ(HLS_To_RGB(0, 126, 252), 0x0000FFu);
    Reset_Program_State();
}

TEST(ColourModels, RoundFloat) {
    EXPECT_EQ(Round_Float(2.5f), 2);
    EXPECT_EQ(Round_Float(2.6f), 3);
    EXPECT_EQ(Round_Float(-1.7f), -1);
    EXPECT_EQ(Round_Float(0.0f), 0);
}

TEST(Rotation, RotatedBoxes) {
    int w = 0, h = 0;
    EXPECT_EQ(Rotated_Dimensions(100, 50, &w, &h, 0.0f), 1);
    EXPECT_EQ(w, 101);
    EXPECT_EQ(h, 51);
    Rotated_Dimensions(100, 50, &w, &h, 1.57f);
    EXPECT_EQ(w, 51);
    EXPECT_EQ(h, 101);
}

using EffectFormatTest = GraphicsFormatTest;

TEST_P(EffectFormatTest, RotationAtZeroCopiesWithAZeroColumnAndRow) {
    Surface* source = Make(16, 12);
    Surface* dest = Make(20, 16);
    Fill_Pattern(source);
    const uint32_t mark = Pattern(dest, 50, 50);
    Fill(dest, mark);
    int w = 0, h = 0;
    ASSERT_EQ(Rotate_Surface_Ex(source, dest, 10, 6, &w, &h, 0.0f, 2, 3, 4, 5), 1);
    ASSERT_EQ(w, 11);
    ASSERT_EQ(h, 7);
    for (int r = 0; r < 7; ++r)
        for (int k = 0; k < 11; ++k) {
            const uint32_t expected = (k < 10 && r < 6) ? Get(source, 2 + k, 3 + r) : 0;
            ASSERT_EQ(Get(dest, 4 + k, 5 + r), expected) << k << "," << r;
        }
    EXPECT_EQ(Get(dest, 3, 5), mark);
    EXPECT_EQ(Get(dest, 15, 12), mark);
    EXPECT_EQ(source->lock_count + dest->lock_count, 0);
}

TEST_P(EffectFormatTest, QuarterTurnPutsTheLeftColumnOnTop) {
    Surface* source = Make(8, 8);
    Surface* dest = Make(9, 9);
    const uint32_t left = Pattern(source, 1, 1), rest = Pattern(source, 2, 5);
    Fill(source, rest);
    for (int y = 0; y < 8; ++y) Put(source, 0, y, left);
    int w = 0, h = 0;
    ASSERT_EQ(Rotate_Surface_Ex(source, dest, 8, 8, &w, &h, 1.57f, 0, 0, 0, 0), 1);
    ASSERT_EQ(w, 9);
    ASSERT_EQ(h, 9);
    // Every box pixel is written: the left column becomes the top row and
    // the one column of the box that the turned region misses is 0.
    int left_count = 0, zero_count = 0;
    for (int r = 0; r < 9; ++r)
        for (int k = 0; k < 9; ++k) {
            const uint32_t v = Get(dest, k, r);
            ASSERT_TRUE(v == left || v == rest || v == 0) << k << "," << r;
            if (v == left) {
                ++left_count;
                EXPECT_EQ(r, 0);
            }
            if (v == 0) {
                ++zero_count;
                EXPECT_TRUE(k == 0 || k == 8) << k << "," << r;
            }
        }
    EXPECT_EQ(left_count, 8);
    EXPECT_EQ(zero_count, 8);
}

INSTANTIATE_TEST_SUITE_P(Formats, EffectFormatTest, ::testing::ValuesIn(every_graphics_format), Graphics_Format_Name);

class EffectTest : public GraphicsTest {
protected:
    void Open(int depth, uint32_t green_mask_16 = 0x07E0) {
        Open_Display(GraphicsFormat{depth, green_mask_16, 3, "custom"});
    }
};

TEST_F(EffectTest, RotationFailuresGiveEverySurfaceBack) {
    Open(24);
    Surface* source = Make(8, 8);
    Surface* dest = Make(16, 16);
    int w = 0, h = 0;
    // The region runs past the source's right edge: the read at x = 8 fails.
    EXPECT_EQ(Rotate_Surface_Ex(source, dest, 8, 8, &w, &h, 0.0f, 4, 0, 0, 0), 0);
    EXPECT_TRUE(Reported("Rotate_Generic_Surface_Ex(): GetPixel @ (8,&d) FAILED"));
    EXPECT_EQ(Last_Report(), "Rotate_Surface_Ex(): Rotate_Generic_Surface_Ex FAILED");
    EXPECT_EQ(source->lock_count + dest->lock_count, 0);
    EXPECT_EQ(Rotate_Generic_Surface_Ex(source, dest, 8, 8, &w, &h, 0.0f, 0, 0, 8, 0), 0);
    EXPECT_EQ(Last_Report(), "Rotate_Generic_Surface_Ex(): SetPixel 0 @ (16,0) on a (9x9) surface FAILED");

    app.screen_bpp = 32;
    ASSERT_NE(Lock_Surface(dest), nullptr);
    EXPECT_EQ(Rotate_Surface_Ex(source, dest, 8, 8, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_EQ(Last_Report(), "Rotate_Surface_Ex():Unable to Lock dest surface");
    Unlock_Surface(dest);
    EXPECT_EQ(Rotate_Surface_Ex(dest, dest, 8, 8, &w, &h, 0.0f, 0, 0, 0, 0), 0);
    EXPECT_EQ(Last_Report(), "Rotate_Surface_Ex():Unable to Lock source image surface");
    EXPECT_EQ(dest->lock_count, 0);
}

TEST_F(EffectTest, AlterHueTurnsColoursAndKeepsGreys) {
    for (int depth : {15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        Open(depth);
        Surface* source = Make(8, 4);
        Surface* dest = Make(8, 4);
        Put(source, 0, 0, Colour_To_Pixel(source, RGB(255, 0, 0)));
        Put(source, 1, 0, Colour_To_Pixel(source, RGB(255, 255, 255)));
        ASSERT_EQ(Alter_Hue(source, dest, 0, 0, 0, 0, 2, 2, 128), 1);
        // Half a turn from red: the sextant 3.0000002 leaves green a hair short of full.
        EXPECT_EQ(Get(dest, 0, 0), Colour_To_Pixel(dest, RGB(0, 254, 255)));
        EXPECT_EQ(Get(dest, 1, 0), Colour_To_Pixel(dest, RGB(255, 255, 255)));
        EXPECT_EQ(Get(dest, 0, 1), 0u);
        EXPECT_EQ(source->lock_count + dest->lock_count, 0);
        Restart();
    }
}

TEST_F(EffectTest, AlterHueKeepsEveryGreyAndReportsItsFailures) {
    Open(32);
    Surface* surface = Make(256, 2);
    for (int i = 0; i < 256; ++i) Put(surface, i, 0, uint32_t(i) * 0x010101u);
    ASSERT_EQ(Alter_Hue(surface, surface, 0, 0, 0, 0, 256, 1, 77), 1);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(Get(surface, i, 0), uint32_t(i) * 0x010101u) << i;

    EXPECT_EQ(Alter_Hue(nullptr, surface, 0, 0, 0, 0, 2, 2, 1), 0);
    EXPECT_EQ(Alter_Hue(surface, surface, 0, 0, 0, 0, 0, 2, 1), 0);
    EXPECT_TRUE(platform_boxes.empty());
    Surface* small = Make(8, 8);
    EXPECT_EQ(Alter_Hue(small, surface, 6, 0, 0, 0, 4, 2, 1), 0);
    EXPECT_EQ(Last_Report(), "Alter Hue() Unable to GetPixel at (2,0)\non surface of w = 4 h = 2");
    EXPECT_EQ(Alter_Hue(surface, small, 0, 0, 7, 7, 2, 2, 1), 0);
    EXPECT_EQ(Last_Report(), "Alter Hue() Unable to SetPixel at (0,1)\non surface of w = 2 h = 2");
    EXPECT_EQ(small->lock_count + surface->lock_count, 0);
}

TEST_F(EffectTest, FadeWithNoStepsKeepsPureColoursAndTruncatesOnce) {
    Open(32);
    Surface* s32 = Make(8, 8);
    const uint32_t colours[] = {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000};
    for (int i = 0; i < 4; ++i) Put(s32, i, 0, colours[i]);
    ASSERT_EQ(Fade(s32, 0, 0, 8, 8, 0, 0, 0), 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Get(s32, i, 0), colours[i]);
    // Hue pulled down from green (120) to red (0); the first component is bits 0-7.
    ASSERT_EQ(Fade_32(s32, 2, 0, 1, 1, 0, 120, 0), 1);
    EXPECT_EQ(Get(s32, 2, 0), 0x0000FFu);
    ASSERT_EQ(Fade_32(s32, 0, 0, 8, 8, 255, 0, 0), 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Get(s32, i, 0), 0u);

    for (uint32_t mask : {0x07E0u, 0x03E0u}) {
        SCOPED_TRACE(mask);
        Restart();
        Open(16, mask);
        Surface* s16 = Make(8, 8);
        const int top = mask == 0x07E0 ? 11 : 10;
        const uint32_t white = mask == 0x07E0 ? 0xFFFF : 0x7FFF;
        Put(s16, 0, 0, white);
        Put(s16, 1, 0, 30u << top);
        ASSERT_EQ(Fade(s16, 0, 0, 8, 8, 0, 0, 0), 1);
        EXPECT_EQ(Get(s16, 0, 0), white);
        EXPECT_EQ(Get(s16, 1, 0), 29u << top);
        EXPECT_EQ(Get(s16, 2, 0), 0u);
    }
}

TEST_F(EffectTest, FadeOnlyWhereItCanAndReportsLockFailures) {
    for (int depth : {8, 24}) {
        Open(depth);
        Surface* surface = Make(8, 8);
        Fill_Pattern(surface);
        const uint32_t before = Get(surface, 3, 3);
        EXPECT_EQ(Fade(surface, 0, 0, 8, 8, 100, 100, 100), 1);
        EXPECT_EQ(Get(surface, 3, 3), before);
        Restart();
    }
    Open(32);
    Surface* surface = Make(8, 8);
    Fill(surface, 0xFFFFFF);
    // A rectangle past the surface's edges fades only what lies on the surface.
    EXPECT_EQ(Fade(surface, 4, -2, 100, 100, 255, 0, 0), 1);
    EXPECT_EQ(Get(surface, 4, 0), 0u);
    EXPECT_EQ(Get(surface, 7, 7), 0u);
    EXPECT_EQ(Get(surface, 3, 0), 0xFFFFFFu);
    EXPECT_EQ(Fade_16(nullptr, 0, 0, 8, 8, 1, 1, 1), 0);
    EXPECT_TRUE(platform_boxes.empty());
    ASSERT_NE(Lock_Surface(surface), nullptr);
    EXPECT_EQ(Fade(surface, 0, 0, 8, 8, 1, 1, 1), 0);
    EXPECT_TRUE(Reported("Fade_32(): Lock Surface FAILED"));
    EXPECT_EQ(Last_Report(), "Fade(): Fade_32 FAILED");
    Unlock_Surface(surface);
}

// Blends at 32 bits and at 16 bits in both layouts, with pixels built from
// components: first (red in the formulas), second, third.
struct BlendCase {
    int depth;
    uint32_t mask;
};

class BlendTest : public EffectTest, public ::testing::WithParamInterface<BlendCase> {
protected:
    void SetUp() override {
        EffectTest::SetUp();
        Open(GetParam().depth, GetParam().mask);
    }
    uint32_t Pixel(int first, int second, int third) const {
        if (GetParam().depth == 32) return uint32_t(third) << 16 | uint32_t(second) << 8 | uint32_t(first);
        if (GetParam().mask == 0x07E0) return uint32_t(first) << 11 | uint32_t(second) << 5 | uint32_t(third);
        return uint32_t(first) << 10 | uint32_t(second) << 5 | uint32_t(third);
    }
    int Full(bool second) const {
        return GetParam().depth == 32 ? 255 : (second && GetParam().mask == 0x07E0 ? 63 : 31);
    }
};

TEST_P(BlendTest, ColourBlendAveragesAndLeavesBlackSourcesOut) {
    Surface* source = Make(8, 2);
    Surface* dest = Make(8, 2);
    Put(source, 0, 0, Pixel(Full(false), 0, 0));
    Put(dest, 0, 0, Pixel(0, 0, Full(false)));
    Put(dest, 1, 0, Pixel(0, 0, Full(false)));   // under a black source pixel
    Put(source, 2, 0, Pixel(0, Full(true), 0));  // over a black destination pixel
    ASSERT_EQ(Colour_Blend_Blit(source, dest, 0, 0, 0, 0, 8, 2, 100, 100), 1);
    EXPECT_EQ(Get(dest, 0, 0), Pixel(0, Full(true), 0));  // hues 0 and 240 average to 120
    EXPECT_EQ(Get(dest, 1, 0), Pixel(0, 0, Full(false)));
    EXPECT_EQ(Get(dest, 2, 0), Pixel(0, Full(true), 0));
    EXPECT_EQ(source->lock_count + dest->lock_count, 0);
}

TEST_P(BlendTest, LightBlendAddsValueAndTreatsBlackByDepth) {
    Surface* source = Make(8, 2);
    Surface* dest = Make(8, 2);
    const int half = Full(false) / 2 + 1;
    Put(dest, 0, 0, Pixel(half, 0, 0));
    Put(source, 0, 0, Pixel(half, half, half));
    Put(source, 1, 0, Pixel(0, 0, Full(false)));
    ASSERT_EQ(Light_Blend_Blit(source, dest, 0, 0, 0, 0, 2, 1, 100, 100), 1);
    EXPECT_EQ(Get(dest, 0, 0), Pixel(Full(false), 0, 0));
    // Over black: copied at 16 bits, left black at 32.
    EXPECT_EQ(Get(dest, 1, 0), GetParam().depth == 32 ? 0u : Pixel(0, 0, Full(false)));
}

TEST_P(BlendTest, BlendsClipAndReportLockFailures) {
    Surface* source = Make(32, 2);
    Surface* dest = Make(32, 2);
    Fill(source, Pixel(Full(false), 0, 0));
    // Clip width 20: a 10-wide rectangle at x = 15 keeps 5 columns.
    ASSERT_EQ(Colour_Blend_Blit(source, dest, 0, 0, 15, 0, 10, 1, 20, 20), 1);
    EXPECT_EQ(Get(dest, 19, 0), Pixel(Full(false), 0, 0));
    EXPECT_EQ(Get(dest, 20, 0), 0u);
    EXPECT_EQ(Colour_Blend_Blit(source, dest, 0, 0, 20, 0, 10, 1, 20, 20), 1);
    EXPECT_TRUE(platform_boxes.empty());

    const std::string bits = GetParam().depth == 32 ? "32" : "16";
    ASSERT_NE(Lock_Surface(source), nullptr);
    EXPECT_EQ(Light_Blend_Blit(source, dest, 0, 0, 0, 0, 4, 1, 20, 20), 0);
    EXPECT_TRUE(Reported(bits == "32" ? "Light_Blend_Blit():Unable to Lock source image surface"
                                      : "Light_Blend_Blit_16():Unable to Lock source image surface"));
    EXPECT_EQ(Last_Report(), "Light_Blend_Blit(): " + bits + " bit blend FAILED");
    EXPECT_EQ(dest->lock_count, 0);
    EXPECT_EQ(Colour_Blend_Blit(dest, source, 0, 0, 0, 0, 4, 1, 20, 20), 0);
    EXPECT_TRUE(Reported("Colour_Blend_Blit():Unable to Lock dest surface"));
    EXPECT_EQ(Last_Report(), "Colour_Blend_Blit(): " + bits + " bit blend FAILED");
    Unlock_Surface(source);
}

INSTANTIATE_TEST_SUITE_P(Depths, BlendTest,
                         ::testing::Values(BlendCase{32, 0x07E0}, BlendCase{16, 0x07E0}, BlendCase{16, 0x03E0},
                                           BlendCase{15, 0x03E0}),
                         [](const ::testing::TestParamInfo<BlendCase>& info) {
                             return "Depth" + std::to_string(info.param.depth) +
                                    (info.param.mask == 0x07E0 ? "_565" : "_555");
                         });

TEST_F(EffectTest, BlendsAtEightAndTwentyFourBitsChangeNothing) {
    for (int depth : {8, 24}) {
        Open(depth);
        Surface* source = Make(4, 4);
        Surface* dest = Make(4, 4);
        Fill_Pattern(source);
        EXPECT_EQ(Colour_Blend_Blit(source, dest, 0, 0, 0, 0, 4, 4, 4, 4), 1);
        EXPECT_EQ(Light_Blend_Blit(source, dest, 0, 0, 0, 0, 4, 4, 4, 4), 1);
        EXPECT_EQ(Get(dest, 1, 1), 0u);
        Restart();
    }
}

}  // namespace
