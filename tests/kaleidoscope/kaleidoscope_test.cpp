// The kaleidoscope: tile sizes, the stamp, the folded picture at every depth,
// presentation, lost surfaces and the failure reports.
#include "kaleidoscope_fixture.h"

#include <cstring>

namespace {

TEST_F(KaleidoscopeTest, TileSideIsTheGranularityWithinEightyAndHalfTheScreen) {
    struct Case {
        int screen_height, granularity, side;
    } cases[] = {
        {480, 1000, 240},
        {480, 240, 240},
        {480, 200, 200},
        {480, 81, 81},
        {480, 80, 80},
        {480, 12, 80},
        {600, 1000, 288},
        {768, 1000, 384},
        {1024, 1000, 512},
        // Below 160 lines the largest tile would be under 80: the lower bound wins.
        {100, 60, 80},
        {100, 1000, 80},
        {159, 90, 80},
    };
    for (const Case& c : cases) {
        app.screen_height = c.screen_height;
        plasma_settings.kaleidoscope_granularity = c.granularity;
        EXPECT_EQ(Kaleidoscope_Tile_Side(), c.side) << c.screen_height << " " << c.granularity;
    }
}

TEST_F(KaleidoscopeTest, SetupSizesSurfacesAndPlasmaToTheTile) {
    Open(32, 640, 480);
    plasma_settings.kaleidoscope_granularity = 1000;
    ASSERT_EQ(Setup_Kaleidoscope(app.client_width, app.client_height), 1);
    EXPECT_EQ(segment_width, 240);
    EXPECT_EQ(segment_height, 240);
    // An even side turned a quarter needs one pixel more each way.
    EXPECT_EQ(rotated_width, 241);
    EXPECT_EQ(rotated_height, 241);
    ASSERT_NE(Scope_Rotated_90, nullptr);
    EXPECT_EQ(Scope_Rotated_90->width, 241);
    EXPECT_EQ(Scope_Rotated_90->placement, Placement::SYSTEM);
    ASSERT_NE(Triangle_Stamp, nullptr);
    EXPECT_EQ(Triangle_Stamp->width, 240);
    EXPECT_EQ(Triangle_Stamp->height, 240);
    EXPECT_EQ(plasma_settings.plasma_width, 240);
    EXPECT_EQ(plasma_settings.plasma_height, 240);
    EXPECT_NE(plasma_field_0.ring_table, nullptr);
    EXPECT_EQ(plasma_field_0.table_width, 240);
    EXPECT_EQ(kaleidoscope_active, 1);
    EXPECT_EQ(rebuild_pending, 1);
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 1);
    // The clamp is not written back into the preset.
    EXPECT_EQ(plasma_settings.kaleidoscope_granularity, 1000);
    EXPECT_TRUE(Reports().empty());

    // An odd side fits its quarter turn exactly; the plasma keeps to multiples of 4.
    Shutdown_Kaleidoscope();
    plasma_settings.kaleidoscope_granularity = 201;
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    EXPECT_EQ(segment_width, 201);
    EXPECT_EQ(rotated_width, 201);
    EXPECT_EQ(rotated_height, 201);
    EXPECT_EQ(plasma_settings.plasma_width, 200);
}

TEST_F(KaleidoscopeTest, SetupRefusesToRunOverItsSurfacesAndShutdownIsSafe) {
    Open(16);
    Shutdown_Kaleidoscope();  // nothing set up yet
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    Surface* rotated = Scope_Rotated_90;
    Surface* stamp = Triangle_Stamp;
    const int live = DD_Live_Surface_Count();
    EXPECT_EQ(Setup_Kaleidoscope(0, 0), 0);
    EXPECT_EQ(Reports().back(), "Setup_Kaleidoscope(): Scope_Rotated_90 && Triangle_Stamp should be NULL");
    EXPECT_EQ(Scope_Rotated_90, rotated);
    EXPECT_EQ(Triangle_Stamp, stamp);
    EXPECT_EQ(DD_Live_Surface_Count(), live);

    Shutdown_Kaleidoscope();
    EXPECT_EQ(Scope_Rotated_90, nullptr);
    EXPECT_EQ(Triangle_Stamp, nullptr);
    EXPECT_EQ(kaleidoscope_active, 0);
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 1);  // only Modify_Plasma clears the preset's switch
    Shutdown_Kaleidoscope();
}

TEST_F(KaleidoscopeTest, SetupFailuresReportEachStep) {
    Open(32);
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Setup_Kaleidoscope(0, 0), 0);
    EXPECT_EQ(Reports().back(), " Setup_Kaleidoscope():\n\nCreate Surface FAILED\nwidth 113 height 113");
    EXPECT_EQ(kaleidoscope_active, 0);
    Shutdown_Kaleidoscope();

    // The turn's surface is made, the stamp's is not.
    platform_boxes.clear();
    dd_faults.create_surface_after = 1;
    EXPECT_EQ(Setup_Kaleidoscope(0, 0), 0);
    std::vector<std::string> reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], " Create_Triangle_Stamp():\n\nCreate Surface FAILED\nwidth 112 height 112");
    EXPECT_EQ(reports.back(), " Setup_Kaleidoscope():\n\nCreate_Triangle_Stamp FAILED\nwidth 112 height 112");
    EXPECT_NE(Scope_Rotated_90, nullptr);
    Shutdown_Kaleidoscope();

    platform_boxes.clear();
    dd_faults = DeviceFaults{};
    dd_faults.get_dc = DDERR_GENERIC;
    EXPECT_EQ(Setup_Kaleidoscope(0, 0), 0);
    reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], "Create_Triangle_Stamp()\n\n Unable to Acquire device context from surface");
}

class StampTest : public KaleidoscopeTest, public ::testing::WithParamInterface<KaleidoscopeFormat> {};

// The stamp is white on and below the diagonal, black above; white is its
// key above 8 bits, as the display stores white (also 0x7FFF in 5-5-5).
TEST_P(StampTest, StampIsTheLowerLeftHalfWithTheDiagonal) {
    Open(GetParam());
    ASSERT_EQ(Create_Triangle_Stamp(40, 40), 1);
    const uint32_t white = White(Triangle_Stamp);
    ASSERT_NE(white, 0u);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(Get(Triangle_Stamp, x, y), x <= y ? white : 0u) << x << "," << y;
    EXPECT_EQ(Triangle_Stamp->colour_key, GetParam().depth == 8 ? 0u : white);
    Shutdown_Kaleidoscope();
}

INSTANTIATE_TEST_SUITE_P(Formats, StampTest, ::testing::ValuesIn(every_kaleidoscope_format), Kaleidoscope_Format_Name);

class FoldTest : public KaleidoscopeTest, public ::testing::WithParamInterface<KaleidoscopeFormat> {
protected:
    // Draws two kaleidoscope frames (the first rebuilds) and the plasma frame
    // the second one folded, from the same phases, into a surface of its own.
    void Draw_Frame_And_Reference(Surface** reference) {
        ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
        ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
        EXPECT_EQ(rebuild_pending, 0);
        PlasmaField saved[3] = {plasma_field_0, plasma_field_1, plasma_field_2};
        ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
        EXPECT_TRUE(Reports().empty()) << Reports().front();
        std::memcpy(plasma_field_0.phase, saved[0].phase, sizeof saved[0].phase);
        std::memcpy(plasma_field_1.phase, saved[1].phase, sizeof saved[1].phase);
        std::memcpy(plasma_field_2.phase, saved[2].phase, sizeof saved[2].phase);
        *reference = Make(app.screen_width, app.screen_height);
        ASSERT_EQ(Draw_Plasma(*reference, 0, 0), 1);
    }
};

// Above 8 bits the lower-left half (diagonal included) is the plasma and the
// upper-right its mirror image; at 8 bits the upper-right half is kept and
// the erased diagonal takes its kept neighbour's colour. Either way the tile
// is its own mirror image across the diagonal, and the mirrors make the
// square eight-fold symmetric.
TEST_P(FoldTest, TileIsTheMirroredPlasmaAndTheSquareIsEightFold) {
    Open(GetParam());
    plasma_settings.kaleidoscope_granularity = 112;
    plasma_settings.multi_colour = 1;
    Surface* reference = nullptr;
    Draw_Frame_And_Reference(&reference);
    ASSERT_NE(reference, nullptr);
    const int S = segment_width;
    ASSERT_EQ(S, 112);
    const bool palette_mode = GetParam().depth == 8;

    auto expected_tile = [&](int x, int y) {
        if (palette_mode) {
            if (x == y) return x + 1 < S ? Get(reference, x + 1, x) : Get(reference, x, x - 1);
            return x > y ? Get(reference, x, y) : Get(reference, y, x);
        }
        return y >= x ? Get(reference, x, y) : Get(reference, y, x);
    };
    int differing = 0;
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            ASSERT_EQ(Get(Hidden, x, y), expected_tile(x, y)) << x << "," << y;
            if (Get(Hidden, x, y) != Get(Hidden, 0, 0)) ++differing;
        }
    EXPECT_GT(differing, S * S / 2);  // a picture, not one colour

    auto fold = [&](int v) { return v < S ? v : 2 * S - 1 - v; };
    for (int y = 0; y < 2 * S; ++y)
        for (int x = 0; x < 2 * S; ++x) {
            const uint32_t p = Get(Hidden, x, y);
            ASSERT_EQ(p, Get(Hidden, fold(x), fold(y))) << x << "," << y;
            ASSERT_EQ(p, Get(Hidden, y, x)) << x << "," << y;
            ASSERT_EQ(p, Get(Hidden, 2 * S - 1 - y, 2 * S - 1 - x)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Formats, FoldTest, ::testing::ValuesIn(every_kaleidoscope_format), Kaleidoscope_Format_Name);

TEST_F(KaleidoscopeTest, InactiveKaleidoscopeDrawsNothing) {
    Open(32);
    Fill_Pattern(Hidden);
    EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
    for (int y = 0; y < Hidden->height; y += 7)
        for (int x = 0; x < Hidden->width; x += 5) ASSERT_EQ(Get(Hidden, x, y), Pattern(Hidden, x, y));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(KaleidoscopeTest, LostSurfacesAreRebuiltBeforeDrawing) {
    Open(32);
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);

    // The stamp alone lost: both are built anew, the stamp painted again.
    Triangle_Stamp->lost = true;
    ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
    ASSERT_NE(Triangle_Stamp, nullptr);
    EXPECT_FALSE(Triangle_Stamp->lost);
    EXPECT_EQ(Get(Triangle_Stamp, 0, 10), White(Triangle_Stamp));
    EXPECT_EQ(kaleidoscope_active, 1);

    // Everything lost, Hidden included: Hidden comes back through the
    // global restore, the kaleidoscope's own pair is rebuilt.
    DD_Lose_All_Surfaces();
    ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
    EXPECT_FALSE(Hidden->lost);
    EXPECT_FALSE(Scope_Rotated_90->lost);
    EXPECT_TRUE(Reports().empty());
    for (int y = 0; y < 2 * segment_width; y += 3)
        for (int x = 0; x < y; x += 3) ASSERT_EQ(Get(Hidden, x, y), Get(Hidden, y, x));
}

TEST_F(KaleidoscopeTest, DrawFailuresReportTheirStep) {
    Open(32);
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);

    // The rebuild of the first frame after a set-up fails.
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 0);
    EXPECT_EQ(Reports().back(), "Draw_Kaleidoscope(): Setup_Kaleidoscope FAILED");
    dd_faults = DeviceFaults{};
    Shutdown_Kaleidoscope();
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);

    // A lost pair that cannot be rebuilt.
    platform_boxes.clear();
    Scope_Rotated_90->lost = true;
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 0);
    std::vector<std::string> reports = Reports();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[reports.size() - 3], " Setup_Kaleidoscope():\n\nCreate Surface FAILED\nwidth 113 height 113");
    EXPECT_EQ(reports[reports.size() - 2], "Restore_All_Scope_Surfaces(): Setup_Kaleidoscope FAILED");
    EXPECT_EQ(reports.back(), "Draw_Kaleidoscope(): Restore_All_Scope_Surfaces FAILED");
    dd_faults = DeviceFaults{};
    Shutdown_Kaleidoscope();
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);

    // No frame to draw into, or one that cannot be restored.
    EXPECT_EQ(Draw_Kaleidoscope(nullptr, 0, 0), 0);
    EXPECT_EQ(Reports().back(), "Draw_Kaleidoscope(): NULL or LOST DEST");
    Hidden->lost = true;
    dd_faults.restore_fails = true;
    EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 0);
    EXPECT_EQ(Reports().back(), "Draw_Kaleidoscope(): NULL or LOST DEST");
    dd_faults = DeviceFaults{};
    Hidden->lost = false;

    // The plasma cannot be drawn (no lock).
    dd_faults.lock_answer = DDERR_INVALIDOBJECT;
    EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 0);
    EXPECT_EQ(Reports().back(), "Draw_Kaleidoscope():\n\nUnable to draw plasma");
    dd_faults = DeviceFaults{};

    // The copies are refused.
    dd_faults.blt_answer = DDERR_GENERIC;
    EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 0);
    EXPECT_EQ(Reports().back(), "Draw_Kaleidoscope():\n\nUnable to Stamp out half the plasma");
    dd_faults = DeviceFaults{};
}

TEST_F(KaleidoscopeTest, EightBitFailuresOfTheEraseAndTheTurn) {
    Open(8);
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
    dd_faults.get_dc = DDERR_GENERIC;
    EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 0);
    std::vector<std::string> reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], "Create_Triangle_Stamp()\n\n Unable to Acquire device context from surface");
    EXPECT_EQ(reports.back(), "Draw_Kaleidoscope(): Erase_White_Triangle FAILED");
    dd_faults = DeviceFaults{};
    EXPECT_EQ(Erase_White_Triangle(nullptr, 0, 0, 10, 10), 0);

    // The turn's surface held elsewhere cannot be locked.
    Scope_Rotated_90->lock_count = 1;
    EXPECT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 0);
    EXPECT_EQ(Reports().back(), "Draw_Kaleidoscope():\n\nUnable to rotate quadrant 1 90 ");
    Scope_Rotated_90->lock_count = 0;
}

// ---------------------------------------------------------------------------
// Presentation

class PresentTest : public KaleidoscopeTest {
protected:
    // The picture (2S square) in one colour, the rest of Hidden in another.
    void Paint_Picture(uint32_t inside, uint32_t outside) {
        const int side = 2 * segment_width;
        for (int y = 0; y < Hidden->height; ++y)
            for (int x = 0; x < Hidden->width; ++x) Put(Hidden, x, y, x < side && y < side ? inside : outside);
    }
};

TEST_F(PresentTest, FullScreenCentresOrStretchesThePicture) {
    Open(32, 640, 480, true);
    plasma_settings.kaleidoscope_granularity = 1000;
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    ASSERT_EQ(segment_width, 240);
    Fill_Pattern(Hidden);
    app.vsync = true;
    dd_vertical_blank_waits = 0;
    ASSERT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 1);
    EXPECT_EQ(dd_vertical_blank_waits, 1);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const uint32_t expected = (x >= 80 && x < 560) ? Pattern(Hidden, x - 80, y) : 0u;
            ASSERT_EQ(Get(Visible, x, y), expected) << x << "," << y;
        }
    }

    plasma_settings.kaleidoscope_stretch = 1;
    app.vsync = false;
    Paint_Picture(0x123456, 0xABCDEF);
    ASSERT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 1);
    EXPECT_EQ(dd_vertical_blank_waits, 1);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) ASSERT_EQ(Get(Visible, x, y), 0x123456u) << x << "," << y;
}

TEST_F(PresentTest, WindowAlwaysStretchesIntoTheClientArea) {
    Open(16, 640, 480);
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    plasma_settings.kaleidoscope_stretch = 0;  // not looked at in a window
    window_.screen_x = 30;
    window_.screen_y = 20;
    window_.client_width = 200;
    window_.client_height = 150;
    Fill(Visible, 0x1111);
    Paint_Picture(0x4321, 0x7E7E);
    ASSERT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 1);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool inside = x >= 30 && x < 230 && y >= 20 && y < 170;
            ASSERT_EQ(Get(Visible, x, y), inside ? 0x4321u : 0x1111u) << x << "," << y;
        }

    // A client area wider than the screen is cut to the screen's width.
    window_.screen_x = 0;
    window_.screen_y = 0;
    window_.client_width = 900;
    window_.client_height = 100;
    ASSERT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 1);
    EXPECT_EQ(Get(Visible, 639, 99), 0x4321u);

    // An empty client area shows nothing and is no failure.
    Fill(Visible, 0x1111);
    window_.client_height = 0;
    ASSERT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 1);
    EXPECT_EQ(Get(Visible, 5, 5), 0x1111u);
    EXPECT_TRUE(Reports().empty());
}

// A preview pane lower than 160 lines still gets the smallest tile (80), so
// the picture is larger than the frame: what the frame holds is shown.
TEST_F(PresentTest, PictureLargerThanTheFrameShowsWhatTheFrameHolds) {
    Open(32, 152, 112);
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    ASSERT_EQ(segment_width, 80);
    ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
    ASSERT_EQ(Draw_Kaleidoscope(Hidden, 0, 0), 1);
    ASSERT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 1);
    app.display_mode = DISPLAY_FULL_SCREEN;
    ASSERT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 1);
    EXPECT_TRUE(Reports().empty()) << Reports().front();
}

TEST_F(PresentTest, PresentationFailures) {
    Open(32);
    ASSERT_EQ(Setup_Kaleidoscope(0, 0), 1);
    EXPECT_EQ(Stretch_Kaleidoscope(nullptr, Visible), 0);
    EXPECT_EQ(Reports().back(), "Stretch_Kaleidoscope(): NULL source or dest");
    EXPECT_EQ(Stretch_Kaleidoscope(Hidden, nullptr), 0);
    EXPECT_EQ(Reports().back(), "Stretch_Kaleidoscope(): NULL source or dest");

    Hidden->lost = true;
    EXPECT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 0);
    EXPECT_EQ(Reports().back(), "Stretch_Kaleidoscope():Either source or dest is lost");
    Hidden->lost = false;
    Visible->lost = true;
    dd_faults.restore_fails = true;
    EXPECT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 0);
    EXPECT_EQ(Reports().back(), "Stretch_Kaleidoscope():Either source or dest is lost");
    dd_faults.restore_fails = false;
    ASSERT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 1);  // Visible restored
    EXPECT_FALSE(Visible->lost);

    Window* window = app.main_window;
    app.main_window = nullptr;
    EXPECT_EQ(Stretch_Kaleidoscope(Hidden, Visible), 0);
    EXPECT_EQ(Reports().back(), "Stretch Kaleidoscope(): GetClientRect FAILED");
    app.main_window = window;
}

}  // namespace
