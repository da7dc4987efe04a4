// The bitmap font: glyph lookup, measures and pen advances, drawing at
// every depth, the length limit, lazy loading, lost pictures, pictures too
// small for their glyphs, and the picture the font maker draws.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "graphics/blits.h"
#include "text_fixture.h"

namespace {

using FontTest = TextTest;

// The pixel of Hidden's row y at each x in [from, to), as the glyph it shows
// (-1 for the background 0, -2 for anything else).
std::vector<int> Glyphs_Along(Surface* surface, int y, int from, int to) {
    std::vector<int> glyphs;
    for (int x = from; x < to; ++x) {
        const uint32_t pixel = Pixel_Read(surface, x, y);
        int found = pixel == 0 ? -1 : -2;
        for (int i = 0; i < GLYPH_COUNT; ++i)
            if (pixel == Glyph_Colour(i)) found = i;
        glyphs.push_back(found);
    }
    return glyphs;
}

TEST(GlyphIndex, FollowsTheCharacterTable) {
    EXPECT_EQ(Glyph_Index('0'), 0);
    EXPECT_EQ(Glyph_Index('9'), 9);
    EXPECT_EQ(Glyph_Index('a'), 10);
    EXPECT_EQ(Glyph_Index('z'), 35);
    EXPECT_EQ(Glyph_Index('A'), 36);
    EXPECT_EQ(Glyph_Index('Z'), 61);
    const std::string signs = "!@#$%^&()_+{}|\":?><,./;[]=`";
    const int indices[] = {63, 64, 65, 66, 67, 68, 69, 71, 72, 73, 74, 75, 76, 77,
                           78, 79, 80, 81, 82, 83, 84, 85, 86, 88, 89, 91, 93};
    ASSERT_EQ(signs.size(), std::size(indices));
    for (size_t i = 0; i < signs.size(); ++i) EXPECT_EQ(Glyph_Index(signs[i]), indices[i]) << signs[i];
    for (char other : {'\'', '*', '-', '\\', '~', '\t', static_cast<char>(200), static_cast<char>(128)})
        EXPECT_EQ(Glyph_Index(other), DEFAULT_GLYPH) << int(static_cast<unsigned char>(other));

    FontRecord font{};
    std::memcpy(font.glyph_metrics, glyph_table_c, sizeof font.glyph_metrics);
    int x = 0, y = 0, width = 0;
    EXPECT_EQ(Find_Glyph('\'', &font, &x, &y, &width), 1);
    EXPECT_EQ(x, 77);
    EXPECT_EQ(y, 204);
    EXPECT_EQ(width, 6);
    EXPECT_EQ(Find_Glyph('H', &font, &x, &y, &width), 1);
    EXPECT_EQ(x, 150);
    EXPECT_EQ(y, 68);
    EXPECT_EQ(width, 18);
}

TEST(GlyphTables, EveryGlyphLiesInItsRowAndApartFromTheOthers) {
    const struct {
        const GlyphMetrics* table;
        int glyph_height;
        int row_pitch;
    } tables[] = {{glyph_table_a, 26, 26}, {glyph_table_b, 32, 64}, {glyph_table_c, 34, 34}};
    for (const auto& t : tables) {
        for (int i = 0; i < GLYPH_COUNT; ++i) {
            const GlyphMetrics& g = t.table[i];
            EXPECT_GT(g.width, 0) << i;
            EXPECT_GE(g.x, 0) << i;
            EXPECT_EQ(g.y % t.row_pitch, 0) << i;
            for (int j = i + 1; j < GLYPH_COUNT; ++j) {
                const GlyphMetrics& o = t.table[j];
                EXPECT_FALSE(o.y == g.y && o.x < g.x + g.width && g.x < o.x + o.width) << i << " and " << j;
            }
        }
    }
}

TEST_F(FontTest, HiMeasuresAndDrawsWhereTheSpacingSays) {
    Open(depth_32);
    Install_Font();
    int width = 0, height = 0;
    ASSERT_EQ(Calculate_Message_Dimensions(9, "Hi", &width, &height), 1);
    EXPECT_EQ(width, 28);
    EXPECT_EQ(height, 34);
    EXPECT_EQ(font_count, 1);

    Fill(Hidden, 0);
    ASSERT_EQ(Draw_Text(Hidden, 10, 5, 9, "Hi"), 1);
    // H (glyph 43, 18 wide) from x 10, one unit of gap, i (glyph 18, 6 wide) from 29.
    std::vector<int> expected(18, 43);
    expected.push_back(-1);
    expected.insert(expected.end(), 6, 18);
    expected.push_back(-1);
    EXPECT_EQ(Glyphs_Along(Hidden, 20, 10, 36), expected);
    // Rows: 34 from y 5; the cell's key pixel at its top left is not copied.
    EXPECT_EQ(Get(Hidden, 12, 4), 0u);
    EXPECT_EQ(Get(Hidden, 12, 5), Glyph_Colour(43));
    EXPECT_EQ(Get(Hidden, 12, 38), Glyph_Colour(43));
    EXPECT_EQ(Get(Hidden, 12, 39), 0u);
    EXPECT_EQ(Get(Hidden, 10, 5), 0u);
    EXPECT_EQ(Get(Hidden, 29, 5), 0u);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(FontTest, BlanksAdvanceByThePreviousGlyphAndThreeUnits) {
    Open(depth_32);
    Install_Font();
    Fill(Hidden, 0);
    // f p s at 0, 11 and 22; each blank after the s (6 wide) moves the pen by 9.
    ASSERT_EQ(Draw_Text(Hidden, 0, 0, 9, "fps   5"), 1);
    const std::vector<int> row = Glyphs_Along(Hidden, 10, 0, 70);
    EXPECT_EQ(row[0], 15);
    EXPECT_EQ(row[11], 25);
    EXPECT_EQ(row[22], 28);
    EXPECT_EQ(row[27], 28);
    for (int x = 28; x < 56; ++x) EXPECT_EQ(row[x], -1) << x;
    EXPECT_EQ(row[56], 5);
    int width = 0, height = 0;
    ASSERT_EQ(Calculate_Message_Dimensions(9, "fps   5", &width, &height), 1);
    EXPECT_EQ(width, 12 + 12 + 8 + 3 * 9 + 12);

    // Before any glyph a blank counts as following a digit zero (10 wide).
    Fill(Hidden, 0);
    ASSERT_EQ(Draw_Text(Hidden, 0, 0, 9, " H"), 1);
    EXPECT_EQ(Glyphs_Along(Hidden, 10, 12, 14), (std::vector<int>{-1, 43}));
    ASSERT_EQ(Calculate_Message_Dimensions(9, " H", &width, &height), 1);
    EXPECT_EQ(width, 13 + 20);
    ASSERT_EQ(Calculate_Message_Dimensions(9, "", &width, &height), 1);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 34);
}

TEST_F(FontTest, OtherCharactersDrawTheCatchAllGlyph) {
    Open(depth_32);
    Install_Font();
    Fill(Hidden, 0);
    const char text[] = {'\'', '-', static_cast<char>(233), '\0'};
    ASSERT_EQ(Draw_Text(Hidden, 0, 0, 9, text), 1);
    // Glyph 92 is 6 wide: three copies at 0, 7 and 14.
    EXPECT_EQ(Glyphs_Along(Hidden, 3, 0, 21),
              (std::vector<int>{92, 92, 92, 92, 92, 92, -1, 92, 92, 92, 92, 92, 92, -1, 92, 92, 92, 92, 92, 92, -1}));
}

TEST_F(FontTest, TextIsClippedToHiddensScreenAndToOtherSurfacesOwnSize) {
    Open(depth_32);
    Install_Font();
    Fill(Hidden, 0);
    // Running off the right and the bottom is no failure.
    EXPECT_EQ(Draw_Text(Hidden, 120, 80, 9, "HHHH"), 1);
    EXPECT_EQ(Get(Hidden, 127, 95), Glyph_Colour(43));
    EXPECT_EQ(Draw_Text(Hidden, -10, -10, 9, "H"), 1);
    EXPECT_EQ(Get(Hidden, 0, 0), Glyph_Colour(43));

    Surface* small = Make(16, 8);
    EXPECT_EQ(Draw_Text(small, 0, 0, 9, "HHHH"), 1);
    EXPECT_EQ(Get(small, 15, 7), Glyph_Colour(43));
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(FontTest, FiveHundredElevenCharactersAreDrawnAndOneMoreIsRefused) {
    Open(depth_32);
    Install_Font();
    Fill(Hidden, 0);
    const std::string longest(511, 'i');
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, longest.c_str()), 1);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_EQ(Get(Hidden, 1, 1), Glyph_Colour(18));

    Fill(Hidden, 0);
    const std::string too_long(512, 'i');
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, too_long.c_str()), 0);
    // The error box shows the first 511 characters of the report.
    const std::string report = "Draw_Text():Illegal Message Length 512\nfor message " + too_long;
    EXPECT_EQ(Reports(), std::vector<std::string>{report.substr(0, 511)});
    EXPECT_EQ(Get(Hidden, 1, 1), 0u);
}

TEST_F(FontTest, RefusalsAreReportedInTheirOrderAndDrawNothing) {
    Open(depth_32);
    Install_Font();
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, ""), 0);
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, nullptr), 0);
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 10, "Hi"), 0);
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, -1, ""), 0);
    EXPECT_EQ(Draw_Text(nullptr, 0, 0, 9, "Hi"), 0);
    EXPECT_EQ(Calculate_Message_Dimensions(10, "Hi", nullptr, nullptr), 0);
    EXPECT_EQ(Load_Font(10), 0);
    EXPECT_EQ(Reports(), (std::vector<std::string>{
                             "Draw_Text():Illegal Message",
                             "Draw_Text():Illegal Message",
                             "Draw_Text():Illegal Font # 10",
                             "Draw_Text():Illegal Message",
                             "Draw_Text():Invalid Destination Surface cannot write: Hi",
                             "Calculate_Message_Dimensions():Illegal Font # 10",
                             "Load_Font():Illegal font number 10",
                         }));
    EXPECT_EQ(font_count, 0);
    EXPECT_EQ(font_table[9].font_surface, nullptr);
}

TEST_F(FontTest, AMissingPictureFailsTheFirstTextAndLoadsOnceItIsThere) {
    Open(depth_32);
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, "Hi"), 0);
    EXPECT_EQ(Reports(), (std::vector<std::string>{
                             "Load_Font():font file " + Font_Path() + " not found",
                             "Draw_Text():Invalid Font Surface - surface is NULL & Unable to Load the font_num 9",
                         }));
    platform_boxes.clear();
    int width = -1, height = -1;
    EXPECT_EQ(Calculate_Message_Dimensions(9, "Hi", &width, &height), 0);
    EXPECT_EQ(Reports().back(),
              "Calculate_Message_Dimensions():Invalid Font Surface - surface is NULL & Unable to "
              "Load the font_num 9");

    // A file that is no picture is found but cannot be loaded.
    {
        FILE* file = std::fopen(Font_Path().c_str(), "wb");
        std::fputs("not a bitmap", file);
        std::fclose(file);
    }
    platform_boxes.clear();
    EXPECT_EQ(Load_Font(9), 0);
    EXPECT_EQ(Reports().back(), "Load_Font():Unable to load font file " + Font_Path());
    EXPECT_EQ(font_count, 0);

    // A small file that claims a picture larger than the largest mode is
    // refused from its headers, before anything is made for it.
    ASSERT_TRUE(Write_Claimed_Bitmap(Font_Path(), 4000, 4000));
    platform_boxes.clear();
    EXPECT_EQ(Load_Font(9), 0);
    EXPECT_EQ(Reports().back(),
              "Load_Font():font file " + Font_Path() + " is 4000 x 4000, larger than the largest display mode");
    EXPECT_EQ(font_count, 0);

    // The data folder's picture is found whatever the case of its name.
    std::filesystem::remove(Font_Path());
    Write_Font_Picture(Font_Folder() + "/FONT.BMP", glyph_table_c, 34);
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, "Hi"), 1);
    EXPECT_EQ(font_count, 1);
    EXPECT_EQ(font_table[9].picture_width, 320);
    EXPECT_EQ(font_table[9].glyph_height, 34);
    EXPECT_EQ(font_table[9].spacing_unit, 1);
    EXPECT_EQ(font_table[9].font_number, 9);
}

TEST_F(FontTest, APictureTooSmallForItsGlyphsReportsTheGlyphAndKeepsWhatWasDrawn) {
    Open(depth_32);
    Install_Font(100, 40);  // holds glyphs 0..6 of the first row only
    Fill(Hidden, 0);
    EXPECT_EQ(Draw_Text(Hidden, 10, 5, 9, "0H1"), 0);
    ASSERT_FALSE(platform_boxes.empty());
    EXPECT_EQ(Reports().back(), "Draw_Text():Unable to draw character H\nsource (150,68)\ndest (21,5)\nw,h -> (18,34)");
    EXPECT_EQ(Get(Hidden, 12, 10), Glyph_Colour(0));
    EXPECT_EQ(Get(Hidden, 25, 10), 0u);
    // The font stays loaded and usable for the glyphs it has.
    EXPECT_EQ(Draw_Text(Hidden, 0, 50, 9, "012345"), 1);
}

TEST_F(FontTest, LostPicturesAreLoadedAgainExceptFontZero) {
    Open(depth_32);
    Install_Font();
    const std::string old_directory = std::filesystem::current_path();
    std::filesystem::current_path(windows_.path());
    std::filesystem::create_directories("include/fonts");
    Write_Font_Picture("include/fonts/gold_26.bmp", glyph_table_a, 26, 240, 182);

    ASSERT_EQ(Draw_Text(Hidden, 0, 0, 9, "Hi"), 1);
    ASSERT_EQ(Draw_Text(Hidden, 0, 0, 0, "Hi"), 1);
    EXPECT_EQ(font_count, 2);
    EXPECT_EQ(font_table[0].spacing_unit, 0);
    EXPECT_EQ(font_table[0].glyph_height, 26);
    const int live = DD_Live_Surface_Count();

    DD_Lose_All_Surfaces();
    Fill(Hidden, 0);  // restores Hidden's memory through the lock
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, "H"), 1);
    EXPECT_EQ(Get(Hidden, 1, 1), Glyph_Colour(43));
    EXPECT_EQ(font_count, 2);
    EXPECT_EQ(DD_Live_Surface_Count(), live);

    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 0, "H"), 0);
    EXPECT_EQ(Reports(), (std::vector<std::string>{"Restore_Font(): Bad font num 0",
                                                   "Draw_Text():Invalid Font Surface: lost font"}));
    EXPECT_EQ(Restore_Font(10), 0);
    EXPECT_EQ(Reports().back(), "Restore_Font(): Bad font num 10");

    // A picture gone from the disk cannot come back.
    platform_boxes.clear();
    font_table[9].font_surface->lost = true;
    std::filesystem::remove(Font_Path());
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, "H"), 0);
    EXPECT_EQ(Reports(), (std::vector<std::string>{"Load_Font():font file " + Font_Path() + " not found",
                                                   "Restore_Font():Unable to load font #d",
                                                   "Draw_Text():Invalid Font Surface: lost font"}));
    EXPECT_EQ(font_table[9].font_surface, nullptr);
    EXPECT_EQ(font_count, 1);
    std::filesystem::current_path(old_directory);
}

TEST_F(FontTest, ALostDestinationIsRestoredFirst) {
    Open(depth_32);
    Install_Font();
    ASSERT_EQ(Load_Font(9), 1);
    Hidden->lost = true;
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, "H"), 1);
    EXPECT_FALSE(Hidden->lost);

    Surface* other = Make(32, 32);
    other->lost = true;
    dd_faults.restore_fails = true;
    EXPECT_EQ(Draw_Text(other, 0, 0, 9, "H"), 0);
    EXPECT_EQ(Reports().back(), "Draw_Text():Invalid Destination Surface cannot write: H");
    other->lost = false;
}

TEST_F(FontTest, LoadingAgainReplacesThePictureAndReleasingIsSafeToRepeat) {
    Open(depth_32);
    Install_Font();
    const int before = DD_Live_Surface_Count();
    ASSERT_EQ(Load_Font(9), 1);
    ASSERT_EQ(Load_Font(9), 1);
    EXPECT_EQ(font_count, 1);
    EXPECT_EQ(DD_Live_Surface_Count(), before + 1);
    EXPECT_EQ(font_table[9].font_surface->placement, Placement::VIDEO);

    Release_All_Fonts();
    Release_All_Fonts();
    EXPECT_EQ(font_count, 0);
    EXPECT_EQ(font_table[9].font_surface, nullptr);
    EXPECT_EQ(DD_Live_Surface_Count(), before);

    // After a rebuild the font comes back on first use, where the saver keeps its surfaces.
    app.system_memory_surfaces = true;
    ASSERT_EQ(Draw_Text(Hidden, 0, 0, 9, "H"), 1);
    EXPECT_EQ(font_table[9].font_surface->placement, Placement::SYSTEM);
}

using FontFormatTest = TextTest;

class FontEveryFormat : public FontFormatTest, public ::testing::WithParamInterface<GraphicsFormat> {};

TEST_P(FontEveryFormat, GlyphsLandInTheirColumns) {
    Open(GetParam());
    Install_Font();
    Fill(Hidden, 0);
    ASSERT_EQ(Draw_Text(Hidden, 10, 5, 9, "Hi"), 1);
    const uint32_t background = Get(Hidden, 0, 0);
    for (int x = 11; x < 28; ++x) EXPECT_NE(Get(Hidden, x, 20), background) << x;
    for (int x = 29; x < 35; ++x) EXPECT_NE(Get(Hidden, x, 20), background) << x;
    // The key shows the background through wherever the palette has black at 0.
    if (GetParam().depth != 8) {
        EXPECT_EQ(Get(Hidden, 28, 20), background);
        EXPECT_EQ(Get(Hidden, 35, 20), background);
        EXPECT_EQ(Get(Hidden, 10, 5), background);
    }
    EXPECT_TRUE(platform_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, FontEveryFormat, ::testing::ValuesIn(every_graphics_format), Graphics_Format_Name);

#ifdef MAKE_FONT_PATH
// The font maker's picture: it loads as font 9, every glyph has ink in its
// cell, and nothing but key lies outside the cells.
TEST_F(FontTest, TheFontMakersPictureHoldsEveryGlyphInItsCell) {
    const std::string command = std::string(MAKE_FONT_PATH) + " '" + Font_Path() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    Open(depth_32, 320, 240);
    ASSERT_EQ(Load_Font(9), 1);
    Surface* picture = font_table[9].font_surface;
    ASSERT_EQ(picture->width, 320);
    ASSERT_GE(picture->height, 7 * 34);
    std::vector<int> ink(GLYPH_COUNT, 0);
    int stray = 0;
    for (int y = 0; y < picture->height; ++y) {
        for (int x = 0; x < picture->width; ++x) {
            if (Get(picture, x, y) == 0) continue;
            const int glyph = Glyph_At(glyph_table_c, 34, x, y);
            if (glyph < 0)
                ++stray;
            else
                ++ink[glyph];
        }
    }
    EXPECT_EQ(stray, 0);
    for (int i = 0; i < GLYPH_COUNT; ++i) EXPECT_GE(ink[i], 8) << "glyph " << i;

    Fill(Hidden, 0);
    EXPECT_EQ(Draw_Text(Hidden, 0, 0, 9, "The Quick Brown Fox 0123456789 !?"), 1);
    EXPECT_TRUE(platform_boxes.empty());
}
#endif

}  // namespace
