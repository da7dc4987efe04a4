// The rectangle copies: clipping on every edge, mirrors, keys, stretching,
// the operand checks, the device's answers and their texts.
#include <gtest/gtest.h>

#include <string>

#include "graphics/blits.h"
#include "graphics_fixture.h"

namespace {

using BlitFormatTest = GraphicsFormatTest;

// Screen 128 x 96; sources and destinations are larger than the copies.
TEST_P(BlitFormatTest, ClippingCutsEveryEdgeAndMovesTheSource) {
    Surface* source = Make(128, 96);
    Surface* dest = Make(128, 96);
    Fill_Pattern(source);

    // Left: dx = -10, w = 100 copies 90 columns to x = 0 from source column sx + 10.
    ASSERT_EQ(Clip_Blit(source, dest, 5, 3, -10, 0, 100, 4), 1);
    for (int x = 0; x < 90; ++x) ASSERT_EQ(Get(dest, x, 0), Get(source, 15 + x, 3)) << x;
    EXPECT_EQ(Get(dest, 90, 0), 0u);

    // Top, at the same time as the right edge: ending exactly at the limit is copied whole.
    Fill(dest, 0);
    ASSERT_EQ(Clip_Blit(source, dest, 0, 10, 118, -6, 10, 10), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(Get(dest, 118 + x, y), Get(source, x, 16 + y));
    EXPECT_EQ(Get(dest, 118, 4), 0u);

    // Right and bottom: the part past the limit is dropped.
    Fill(dest, 0);
    ASSERT_EQ(Clip_Blit(source, dest, 0, 0, 120, 90, 20, 20), 1);
    EXPECT_EQ(Get(dest, 127, 95), Get(source, 7, 5));
    EXPECT_EQ(Get(dest, 119, 95), 0u);

    // Wholly outside on any side: success with nothing drawn.
    Fill(dest, 0);
    EXPECT_EQ(Clip_Blit(source, dest, 0, 0, 128, 0, 10, 10), 1);
    EXPECT_EQ(Clip_Blit(source, dest, 0, 0, 0, 96, 10, 10), 1);
    EXPECT_EQ(Clip_Blit(source, dest, 0, 0, -10, 0, 10, 10), 1);
    EXPECT_EQ(Clip_Blit(source, dest, 0, 0, 0, -10, 10, 10), 1);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x) ASSERT_EQ(Get(dest, x, y), 0u);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_P(BlitFormatTest, MirrorsReverseTheClippedRectangle) {
    Surface* source = Make(64, 32);
    Surface* dest = Make(128, 96);
    Fill_Pattern(source);

    ASSERT_EQ(Clip_H_Blit(source, dest, 2, 1, 0, 0, 8, 3), 1);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 8; ++i) ASSERT_EQ(Get(dest, i, y), Get(source, 2 + 7 - i, 1 + y));
    ASSERT_EQ(Clip_V_Blit(source, dest, 2, 1, 20, 0, 8, 3), 1);
    for (int j = 0; j < 3; ++j)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(Get(dest, 20 + x, j), Get(source, 2 + x, 1 + 2 - j));

    // Cut on the left: the source starts 3 columns later and is 5 wide, then mirrored.
    ASSERT_EQ(Clip_H_Blit(source, dest, 2, 1, -3, 10, 8, 1), 1);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(Get(dest, i, 10), Get(source, 5 + 4 - i, 1));
}

TEST_P(BlitFormatTest, SourceKeySkipsKeyedPixelsOnlyInMaskedCopies) {
    Surface* source = Make(16, 4);
    Surface* dest = Make(128, 96);
    Fill_Pattern(source);
    Put(source, 3, 0, 0);  // the key of every new surface is 0
    const uint32_t under = Pattern(dest, 99, 99);
    Fill(dest, under);

    ASSERT_EQ(Masked_Clip_Blit(source, dest, 0, 0, 0, 0, 16, 1), 1);
    EXPECT_EQ(Get(dest, 3, 0), under);
    EXPECT_EQ(Get(dest, 4, 0), Get(source, 4, 0));
    ASSERT_EQ(Masked_H_Blit(source, dest, 0, 0, 0, 1, 16, 1), 1);
    EXPECT_EQ(Get(dest, 12, 1), under);
    EXPECT_EQ(Get(dest, 11, 1), Get(source, 4, 0));
    ASSERT_EQ(Clip_Blit(source, dest, 0, 0, 0, 2, 16, 1), 1);
    EXPECT_EQ(Get(dest, 3, 2), 0u);

    // A given clip area of 100: a 16-wide copy at dx = 90 keeps 10 columns.
    Fill(dest, under);
    ASSERT_EQ(Masked_Clip_Blit_Ex(source, dest, 0, 0, 90, 0, 16, 1, 100, 50), 1);
    EXPECT_EQ(Get(dest, 99, 0), Get(source, 9, 0));
    EXPECT_EQ(Get(dest, 100, 0), under);
}

TEST_P(BlitFormatTest, StretchFillsTheWholeDestinationFromTheWholeSource) {
    Surface* source = Make(8, 6);
    Surface* dest = Make(128, 96);
    Fill_Pattern(source);
    ASSERT_EQ(Stretch_Blit(source, dest, 0, 0, 4, 4, 8, 6, 16, 18), 1);
    EXPECT_EQ(Get(dest, 4, 4), Get(source, 0, 0));
    EXPECT_EQ(Get(dest, 19, 21), Get(source, 7, 5));
    EXPECT_EQ(Get(dest, 20, 21), 0u);
    EXPECT_EQ(Get(dest, 19, 22), 0u);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(Get(dest, 4 + x, 4 + y), Get(source, x / 2, y / 3));
}

TEST_P(BlitFormatTest, UnclippedCopiesCopyOrReportACrossedEdge) {
    Surface* source = Make(32, 32);
    Surface* dest = Make(40, 40);
    Fill_Pattern(source);
    ASSERT_EQ(Blit(source, dest, 1, 2, 3, 4, 30, 30), 1);
    ASSERT_EQ(Fast_Blit(source, dest, 0, 0, 0, 0, 2, 2), 1);
    EXPECT_EQ(Get(dest, 32, 33), Get(source, 30, 31));
    EXPECT_EQ(Get(dest, 1, 1), Get(source, 1, 1));

    Fill(dest, 0);
    EXPECT_EQ(Blit(source, dest, 0, 0, 20, 20, 30, 30), 0);
    EXPECT_EQ(Last_Report(),
              "Blit(): DEFAULTblitting from (0,0)\nto (20,20)\nwidth = 30\nheight = 30"
              "Perhaps you have crossed the surface boundary?");
    EXPECT_EQ(Fast_Blit(source, dest, 0, 0, 35, 1, 8, 8), 0);
    EXPECT_EQ(Last_Report(),
              "Fast_Blit(): DEFAULT blitting from (0,0)\nto (35,1)\nwidth = 8\nheight = 8"
              "Perhaps you have crossed the surface boundary?");
    EXPECT_EQ(Get(dest, 35, 1), 0u);
    EXPECT_EQ(Get(dest, 20, 20), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, BlitFormatTest, ::testing::ValuesIn(every_graphics_format), Graphics_Format_Name);

class BlitTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        Open_Display(GraphicsFormat{32, 0x07E0, 0, "Depth32"});
        source = Make(32, 32);
        dest = Make(32, 32);
        Fill_Pattern(source);
    }
    Surface* source = nullptr;
    Surface* dest = nullptr;
};

TEST_F(BlitTest, EachCopyReportsItsDefaultTextForARectangleOffItsSurface) {
    // The clip area is the 128 x 96 screen; these 32 x 32 surfaces are smaller.
    EXPECT_EQ(Clip_V_Blit(source, dest, 0, 0, 30, 1, 4, 2), 0);
    EXPECT_EQ(Last_Report(),
              "Clip_V_Blit(): DEFAULTblitting from (0,0)\nto (30,1)\nwidth = 4\nheight = 2"
              "Perhaps you have crossed the surface boundary?");
    EXPECT_EQ(Clip_Blit(source, dest, 30, 0, 0, 0, 4, 2), 0);
    EXPECT_EQ(Last_Report(), "Clip_Blit(): DDERR_INVALIDRECT ");
    EXPECT_EQ(Masked_Clip_Blit(source, dest, 0, 0, -2, 40, 4, 2), 0);
    EXPECT_EQ(Last_Report(),
              "Masked_Clip_Blit(): DEFAULT blitting from tl(2,0) br (4,2)\nto tl (0,40) br (2,42)\nwidth = 2\n"
              "height = 2source dimension w 32 h 32\ndest dimensions w32 h32");
    EXPECT_EQ(Masked_Clip_Blit_Ex(source, dest, 0, 0, 31, 0, 4, 2, 64, 64), 0);
    EXPECT_EQ(Last_Report(),
              "Masked_Clip_Blit_Ex(): DEFAULTblitting from tl(0,0) br (4,2)\nto tl (31,0) br (35,2)\nwidth = 4\n"
              "height = 2source dimension w 32 h 32\ndest dimensions w32 h32");
    EXPECT_EQ(Stretch_Blit(source, dest, 0, 0, 0, 0, 32, 32, 33, 10), 0);
    EXPECT_EQ(Last_Report(),
              "Stretch_Blit(): DEFAULTblitting from tl(0,0); br (32,32)\nto lt(0,0); br (33,10)\nsource width = 32\n"
              "source height = 32\ndest_width = 33\ndest_height = 10Perhaps you have crossed the surface boundary?");
}

TEST_F(BlitTest, OperandChecksComeBeforeAnyCopy) {
    const long calls_before = dd_blt_calls;
    EXPECT_EQ(Blit(source, dest, 0, 0, 0, 0, 0, 5), 0);
    EXPECT_EQ(Stretch_Blit(source, dest, 0, 0, 0, 0, 5, 5, 5, -1), 0);
    EXPECT_EQ(Masked_Clip_Blit_Ex(source, dest, 0, 0, 0, 0, 5, 5, 0, 5), 0);
    EXPECT_TRUE(platform_boxes.empty());

    EXPECT_EQ(Clip_H_Blit(nullptr, nullptr, 0, 0, 0, 0, 5, 5), 0);
    EXPECT_EQ(Last_Report(), "Clip_H_Blit():FAILED due to BAD dest surface (either lost or NULL)\n");
    EXPECT_EQ(Fast_Blit(nullptr, dest, 0, 0, 0, 0, 5, 5), 0);
    EXPECT_EQ(Last_Report(), "Fast_Blit():FAILED due to BAD source 0 surface (either lost or NULL)\n");
    source->lost = true;
    EXPECT_EQ(Masked_H_Blit(source, dest, 0, 0, 0, 0, 5, 5), 0);
    EXPECT_EQ(Last_Report(), "Masked_H_Blit():FAILED due to BAD source " + std::to_string(source->id) +
                                 " surface (either lost or NULL)\n");
    EXPECT_EQ(dd_blt_calls, calls_before);
}

TEST_F(BlitTest, LockedOperandsAreReportedNotRetried) {
    ASSERT_NE(Lock_Surface(dest), nullptr);
    EXPECT_EQ(Clip_H_Blit(source, dest, 0, 0, 0, 0, 5, 5), 0);
    EXPECT_EQ(Last_Report(), "Clip_H_Blit(): DDERR_LOCKEDSURFACES I think you need to free a surface!");
    EXPECT_EQ(Fast_Blit(source, dest, 0, 0, 0, 0, 5, 5), 0);
    EXPECT_EQ(Last_Report(), "Fast_Blit(): DDERR_LOCKEDSURFACES \n I think you need to free a surface!");
    Unlock_Surface(dest);
}

TEST_F(BlitTest, BusyAndLostAnswersAreRetriedWithinABound) {
    const long calls_before = dd_blt_calls;
    dd_faults.blt_busy = 3;
    dd_faults.blt_still_drawing = 2;
    ASSERT_EQ(Blit(source, dest, 0, 0, 0, 0, 4, 4), 1);
    EXPECT_EQ(dd_blt_calls - calls_before, 6);
    EXPECT_EQ(Get(dest, 3, 3), Get(source, 3, 3));

    // A device that never stops being busy is given up on, not waited for forever.
    dd_faults.blt_answer = DDERR_SURFACEBUSY;
    EXPECT_EQ(Clip_Blit(source, dest, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Last_Report(),
              "Clip_Blit(): DEFAULT blitting from source x,y (0,0) to dest x,y (0,0) width = 4 height = 4");
    dd_faults.blt_answer = DD_OK;

    // Lost during the copy: the global surfaces come back and the copy is made.
    Fill_Pattern(Hidden);
    dd_faults.lose_on_blt = 1;
    ASSERT_EQ(Clip_Blit(Hidden, Visible, 0, 0, 0, 0, 4, 4), 1);
    EXPECT_EQ(Get(Visible, 2, 2), Get(Hidden, 2, 2));
    // Surfaces outside the three globals stay lost: bounded, then the default text.
    dd_faults.lose_on_blt = 1;
    EXPECT_EQ(Clip_V_Blit(source, dest, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Last_Report(),
              "Clip_V_Blit(): DEFAULTblitting from (0,0)\nto (0,0)\nwidth = 4\nheight = 4"
              "Perhaps you have crossed the surface boundary?");
    source->lost = dest->lost = false;

    dd_faults.restore_fails = true;
    dd_faults.lose_on_blt = 1;
    EXPECT_EQ(Blit(Hidden, dest, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Last_Report(), "Blit(): DDER_SURFACELOST and can't be restored");
    dd_faults.lose_on_blt = 1;
    Hidden->lost = dest->lost = false;
    EXPECT_EQ(Fast_Blit(Hidden, dest, 0, 0, 0, 0, 4, 4), 0);
    EXPECT_EQ(Last_Report(), "Fast_Blit(): DDER_SURFACELOST \n surface can't be restored");
}

TEST_F(BlitTest, ClipAndFastCopiesTellTheirOwnAnswersApart) {
    const std::pair<HRESULT, const char*> answers[] = {
        {DDERR_NOCLIPLIST, "Clip_Blit(): DDERR_NOCLIPLIST "},
        {DDERR_INVALIDCLIPLIST, "Clip_Blit(): DDERR_INVALIDCLIPLIST"},
        {DDERR_INVALIDOBJECT, "Clip_Blit(): DDERR_INVALIDOBJECT"},
        {DDERR_INVALIDPARAMS, "Clip_Blit(): DDERR_INVALIDPARAMS "},
        {DDERR_UNSUPPORTED, "Clip_Blit(): DDERR_UNSUPPORTED "},
        {DDERR_GENERIC, "Clip_Blit(): GENERIC blitting from source x,y (1,2) to dest x,y (3,4) width = 5 height = 6"},
    };
    for (const auto& [answer, text] : answers) {
        dd_faults.blt_answer = answer;
        EXPECT_EQ(Clip_Blit(source, dest, 1, 2, 3, 4, 5, 6), 0);
        EXPECT_EQ(Last_Report(), text);
    }
    dd_faults.blt_answer = DD_OK;
    // The windowed screen carries a clipper: the fast copy cannot go there.
    EXPECT_EQ(Fast_Blit(Hidden, Visible, 0, 0, 0, 0, 8, 8), 0);
    EXPECT_EQ(Last_Report(), "Fast_Blit(): DDERR_UNSUPPORTED \n Cannot Blit to Clipped Surface");
}

TEST_F(BlitTest, WaitForBlitterWaitsOutDrawingAndReportsTheRest) {
    dd_faults.blt_status_still_drawing = 5;
    EXPECT_EQ(Wait_For_Blitter(dest), 1);
    dd_faults.blt_status_answer = DDERR_NOBLTHW;
    EXPECT_EQ(Wait_For_Blitter(dest), 0);
    EXPECT_EQ(Last_Report(),
              "Wait_For_Blitter(): DDERR_NOBLTHW \n This system has no blitter hardware.\n"
              "Where's the video card?");
    dd_faults.blt_status_answer = DDERR_WASSTILLDRAWING;
    EXPECT_EQ(Wait_For_Blitter(dest), 0);
    dd_faults.blt_status_answer = DD_OK;
    Hidden->lost = true;
    dd_faults.restore_fails = true;
    EXPECT_EQ(Wait_For_Blitter(Hidden), 0);
    EXPECT_EQ(Last_Report(), "Wait_For_Blitter(): DDER_SURFACELOST \n surface can't be restored");
    EXPECT_EQ(Wait_For_Blitter(nullptr), 0);
}

}  // namespace
