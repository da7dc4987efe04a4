#include "base/resolution.h"

#include "platform/system.h"
#include "test_support.h"

class ResolutionTest : public ProgramTest {};

TEST_F(ResolutionTest, EveryCodeDecodesToItsSizeAndDepth) {
    const int widths[5] = {320, 640, 800, 1024, 1280};
    const int heights[5] = {240, 480, 600, 768, 1024};
    const int depths[4] = {32, 24, 16, 8};
    for (int code = 0; code < RESOLUTION_COUNT; code++) {
        int width = 0, height = 0, bpp = 0;
        ASSERT_EQ(Decode_Resolution(code, &width, &height, &bpp), 1) << code;
        EXPECT_EQ(width, widths[code % 5]) << code;
        EXPECT_EQ(height, heights[code % 5]) << code;
        EXPECT_EQ(bpp, depths[code / 5]) << code;
    }
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(ResolutionTest, LabelsLineUpInTheDialogList) {
    EXPECT_STREQ(resolution_table[0].label, "320  x 240  x 32");
    EXPECT_STREQ(resolution_table[3].label, "1024 x 768  x 32");
    EXPECT_STREQ(resolution_table[9].label, "1280 x 1024 x 24");
    EXPECT_STREQ(resolution_table[11].label, "640  x 480  x 16");
    EXPECT_STREQ(resolution_table[15].label, "320  x 240  x 8");
    EXPECT_STREQ(resolution_table[19].label, "1280 x 1024 x 8");
    // Every label names its own row's mode.
    for (const Resolution_Entry& entry : resolution_table) {
        int width, height, bpp;
        ASSERT_EQ(sscanf(entry.label, "%d x %d x %d", &width, &height, &bpp), 3);
        EXPECT_EQ(width, entry.width);
        EXPECT_EQ(height, entry.height);
        EXPECT_EQ(bpp, entry.bpp);
    }
}

TEST_F(ResolutionTest, InvalidCodesAreReportedAndChangeNothing) {
    for (int code : {20, -1, 1000}) {
        int width = 7, height = 8, bpp = 9;
        Platform_Reset_Records();
        EXPECT_EQ(Decode_Resolution(code, &width, &height, &bpp), 0);
        EXPECT_EQ(width, 7);
        EXPECT_EQ(height, 8);
        EXPECT_EQ(bpp, 9);
        ASSERT_EQ(platform_boxes.size(), 1u);
        EXPECT_EQ(platform_boxes[0].text, "Decode_Resolution(): Invalid resolution " + std::to_string(code));
        EXPECT_EQ(platform_boxes[0].caption, "Error");
    }
}
