// The scope overlay: mask sizes, the four drawn shapes, the key at every
// depth, the 8-bit notice, custom overlays, the file dialog and lost masks.
#include "kaleidoscope_fixture.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "base/data_folder.h"
#include "graphics/bitmap_files.h"

namespace {

class ScopeTest : public KaleidoscopeTest {
protected:
    // Number of white (open) pixels of the mask.
    static int Open_Pixels() {
        int count = 0;
        const uint32_t white = White(scope_surface);
        for (int y = 0; y < scope_surface->height; ++y)
            for (int x = 0; x < scope_surface->width; ++x) count += Get(scope_surface, x, y) == white;
        return count;
    }
    static bool Open_At(int x, int y) { return Get(scope_surface, x, y) == White(scope_surface); }
    static bool Shut_At(int x, int y) { return Get(scope_surface, x, y) == 0; }

    // Every mask pixel is either the opening (white) or the cover (black).
    static void Expect_Only_White_And_Black() {
        const uint32_t white = White(scope_surface);
        for (int y = 0; y < scope_surface->height; ++y)
            for (int x = 0; x < scope_surface->width; ++x) {
                const uint32_t p = Get(scope_surface, x, y);
                ASSERT_TRUE(p == 0 || p == white) << x << "," << y;
            }
    }
};

TEST_F(ScopeTest, MaskSizeFollowsTheDrawingAreaOrTheKaleidoscope) {
    Open(32, 640, 480);
    struct Case {
        int width, height, mask_width, mask_height;
    } cases[] = {{10, 10, 16, 16}, {300, 200, 300, 200}, {1000, 900, 640, 480}, {16, 17, 16, 17}, {-5, 0, 16, 16}};
    for (const Case& c : cases) {
        ASSERT_EQ(Setup_Scope(c.width, c.height, SCOPE_ELLIPSE), 1);
        EXPECT_EQ(scope_width, c.mask_width);
        EXPECT_EQ(scope_height, c.mask_height);
        EXPECT_EQ(scope_surface->width, c.mask_width);
        EXPECT_EQ(scope_surface->height, c.mask_height);
        EXPECT_EQ(scope_surface->placement, Placement::SYSTEM);
        Shutdown_Scope();
    }
    // With the kaleidoscope on the mask is its whole picture, whatever is asked.
    plasma_settings.kaleidoscope_on = 1;
    plasma_settings.plasma_width = 240;
    plasma_settings.plasma_height = 240;
    ASSERT_EQ(Setup_Scope(100, 50, SCOPE_CIRCLE), 1);
    EXPECT_EQ(scope_width, 480);
    EXPECT_EQ(scope_height, 480);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(ScopeTest, SetupStateAndShutdown) {
    Open(16);
    ASSERT_EQ(Setup_Scope(200, 100, SCOPE_LAST_SHAPE), 1);  // the ellipse right after start
    EXPECT_EQ(last_scope_shape, SCOPE_ELLIPSE);
    EXPECT_EQ(plasma_settings.overlay_shape, SCOPE_ELLIPSE);
    EXPECT_EQ(scope_active, 1);
    EXPECT_EQ(plasma_settings.overlay_on, 1);

    Surface* mask = scope_surface;
    EXPECT_EQ(Setup_Scope(200, 100, SCOPE_STAR), 0);
    EXPECT_EQ(Reports().back(), "Setup_Scope(): Scope Surface should be NULL");
    EXPECT_EQ(scope_surface, mask);

    Shutdown_Scope();
    EXPECT_EQ(scope_surface, nullptr);
    EXPECT_EQ(scope_active, 0);
    EXPECT_EQ(plasma_settings.overlay_on, 0);
    ASSERT_EQ(Setup_Scope(200, 100, SCOPE_DIAMOND), 1);
    Shutdown_Scope();
    ASSERT_EQ(Setup_Scope(200, 100, SCOPE_LAST_SHAPE), 1);
    EXPECT_EQ(plasma_settings.overlay_shape, SCOPE_DIAMOND);
    EXPECT_EQ(Shutdown_Scope(), 1);
    EXPECT_EQ(Shutdown_Scope(), 1);
}

TEST_F(ScopeTest, EightBitsRaiseOnlyTheNotice) {
    Open(8);
    EXPECT_EQ(Setup_Scope(200, 100, SCOPE_CIRCLE), 0);
    EXPECT_TRUE(Reports().empty());
    EXPECT_TRUE(app.screen_notice_pending);
    EXPECT_EQ(app.screen_notice_text, "The scope does not function in 256 colour mode");
    EXPECT_EQ(scope_surface, nullptr);
    EXPECT_EQ(scope_active, 0);
    EXPECT_EQ(plasma_settings.overlay_on, 0);
}

TEST_F(ScopeTest, ShapesOpenTheirAreaAndCoverTheRest) {
    Open(32, 640, 480);
    const int W = 320, H = 200;
    const double pi = 3.14159265358979;

    ASSERT_EQ(Setup_Scope(W, H, SCOPE_ELLIPSE), 1);
    Expect_Only_White_And_Black();
    EXPECT_NEAR(Open_Pixels(), pi / 4 * W * H, 0.02 * W * H);
    EXPECT_TRUE(Open_At(W / 2, H / 2) && Open_At(2, H / 2) && Open_At(W / 2, 1));
    EXPECT_TRUE(Shut_At(0, 0) && Shut_At(W - 1, H - 1) && Shut_At(20, 20));
    Shutdown_Scope();

    // A circle of the smaller side, centred.
    ASSERT_EQ(Setup_Scope(W, H, SCOPE_CIRCLE), 1);
    Expect_Only_White_And_Black();
    EXPECT_NEAR(Open_Pixels(), pi / 4 * H * H, 0.02 * H * H);
    EXPECT_TRUE(Open_At(W / 2, 1) && Open_At(W / 2 - H / 2 + 2, H / 2) && Open_At(W / 2 + H / 2 - 2, H / 2));
    EXPECT_TRUE(Shut_At(W / 2 - H / 2 - 3, H / 2) && Shut_At(W / 2 + H / 2 + 2, H / 2));
    Shutdown_Scope();

    ASSERT_EQ(Setup_Scope(W, H, SCOPE_DIAMOND), 1);
    Expect_Only_White_And_Black();
    EXPECT_NEAR(Open_Pixels(), W * H / 2.0, 0.02 * W * H);
    EXPECT_TRUE(Open_At(W / 2, 0) && Open_At(W - 1, H / 2) && Open_At(W / 2, H - 1) && Open_At(0, H / 2));
    EXPECT_TRUE(Shut_At(W / 4 - 4, H / 4 - 4) && Shut_At(3 * W / 4 + 4, 3 * H / 4 + 4));
    Shutdown_Scope();

    // Two triangles: the tips of both, the middle, not the corners nor
    // the notches between the points.
    ASSERT_EQ(Setup_Scope(W, H, SCOPE_STAR), 1);
    Expect_Only_White_And_Black();
    EXPECT_TRUE(Open_At(W / 2, H / 32 + 1) && Open_At(W / 2, H - H / 32 - 4) && Open_At(W / 2, H / 2));
    EXPECT_TRUE(Open_At(H / 8 + 1, 2 * H / 8) && Open_At(W - H / 8 - 1, H - 2 * H / 8));
    EXPECT_TRUE(Shut_At(0, 0) && Shut_At(W / 2, 0) && Shut_At(W / 2, H - 1) && Shut_At(W - 1, H / 2));
    Shutdown_Scope();

    // Any other shape opens nothing.
    ASSERT_EQ(Setup_Scope(W, H, 9), 1);
    EXPECT_EQ(Open_Pixels(), 0);
}

// With the kaleidoscope on, S = 240 on a 1024 x 768 screen: the circle's box
// is 360 wide and 480 high, centred in the 480 x 480 mask.
TEST_F(ScopeTest, KaleidoscopeCircleIsNarrowedByTheScreensAspect) {
    Open(32, 1024, 768);
    plasma_settings.kaleidoscope_on = 1;
    plasma_settings.plasma_width = 240;
    plasma_settings.plasma_height = 240;
    ASSERT_EQ(Setup_Scope(1024, 768, SCOPE_CIRCLE), 1);
    ASSERT_EQ(scope_width, 480);
    int left = 480, right = -1;
    for (int x = 0; x < 480; ++x)
        if (Open_At(x, 240)) left = std::min(left, x), right = std::max(right, x);
    EXPECT_EQ(left, 60);
    EXPECT_EQ(right, 419);
    EXPECT_TRUE(Open_At(240, 0) && Open_At(240, 479));
}

class ScopeFormatTest : public ScopeTest, public ::testing::WithParamInterface<KaleidoscopeFormat> {};

// The opening shows the picture, the rest is covered black, at every depth
// the overlay works at (5-5-5 white included).
TEST_P(ScopeFormatTest, MaskCoversAllButTheOpening) {
    if (GetParam().depth == 8) GTEST_SKIP() << "no overlay at 8 bits";
    Open(GetParam());
    ASSERT_EQ(Setup_Scope(120, 80, SCOPE_DIAMOND), 1);
    EXPECT_EQ(scope_surface->colour_key, White(scope_surface));
    Fill_Pattern(Hidden);
    ASSERT_EQ(Draw_Scope(Hidden, 55, 77), 1);  // x and y are not used
    for (int y = 0; y < Hidden->height; ++y)
        for (int x = 0; x < Hidden->width; ++x) {
            const bool covered = x < 120 && y < 80 && Shut_At(x, y);
            ASSERT_EQ(Get(Hidden, x, y), covered ? 0u : Pattern(Hidden, x, y)) << x << "," << y;
        }
    EXPECT_TRUE(Reports().empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, ScopeFormatTest, ::testing::ValuesIn(every_kaleidoscope_format),
                         Kaleidoscope_Format_Name);

TEST_F(ScopeTest, InactiveOverlayDrawsNothing) {
    Open(32);
    Fill_Pattern(Hidden);
    EXPECT_EQ(Draw_Scope(Hidden, 0, 0), 1);
    EXPECT_EQ(Get(Hidden, 0, 0), Pattern(Hidden, 0, 0));
}

TEST_F(ScopeTest, LostMaskIsRebuiltAtTheNextDraw) {
    Open(24);
    app.client_width = 100;
    app.client_height = 60;
    ASSERT_EQ(Setup_Scope(100, 60, SCOPE_ELLIPSE), 1);
    DD_Lose_All_Surfaces();
    Hidden->lost = false;
    Fill_Pattern(Hidden);
    ASSERT_EQ(Draw_Scope(Hidden, 0, 0), 1);
    ASSERT_NE(scope_surface, nullptr);
    EXPECT_FALSE(scope_surface->lost);
    EXPECT_EQ(scope_active, 1);
    EXPECT_EQ(Get(Hidden, 0, 0), 0u);
    EXPECT_EQ(Get(Hidden, 50, 30), Pattern(Hidden, 50, 30));

    // Rebuilding fails: reported, the frame fails, nothing is left behind.
    scope_surface->lost = true;
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Draw_Scope(Hidden, 0, 0), 0);
    std::vector<std::string> reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], " Setup_Scope():\n\nCreate Surface FAILED\nwidth 100 height 60");
    EXPECT_EQ(reports.back(), "Draw_Scope(): Setup_Scope FAILED");
    EXPECT_EQ(scope_surface, nullptr);
    EXPECT_EQ(scope_active, 0);
    dd_faults = DeviceFaults{};

    ASSERT_EQ(Setup_Scope(100, 60, SCOPE_ELLIPSE), 1);
    dd_faults.blt_answer = DDERR_GENERIC;
    EXPECT_EQ(Draw_Scope(Hidden, 0, 0), 0);
    EXPECT_EQ(Reports().back(), "Draw_Scope():\n\nMasked_Clip_Blit FAILED");
}

TEST_F(ScopeTest, NoDeviceContextFailsTheSetup) {
    Open(32);
    dd_faults.get_dc = DDERR_GENERIC;
    EXPECT_EQ(Setup_Scope(100, 100, SCOPE_STAR), 0);
    std::vector<std::string> reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], "Draw_GDI_Scope()\n\n Unable to Acquire device context from surface");
    EXPECT_EQ(reports.back(), "Setup_Scope: Draw_GDI_Scope FAILED");
    EXPECT_EQ(scope_surface, nullptr);
    EXPECT_EQ(scope_active, 0);
}

// ---------------------------------------------------------------------------
// Custom overlays

class CustomScopeTest : public ScopeTest {
protected:
    // Writes a 40 x 24 overlay: red all round, white in the middle half.
    std::string Write_Overlay(const std::string& name) {
        Surface* picture = Make(40, 24);
        const uint32_t red = Colour_To_Pixel(picture, RGB(255, 0, 0));
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 40; ++x)
                Put(picture, x, y, (x >= 10 && x < 30 && y >= 6 && y < 18) ? White(picture) : red);
        const std::string path = folder_.file(name);
        EXPECT_EQ(Save_Bitmap(picture, path.c_str()), 1);
        return path;
    }
    static void Set_Path(const std::string& path) {
        std::snprintf(plasma_settings.custom_scope_path, sizeof plasma_settings.custom_scope_path, "%s", path.c_str());
    }

    TempFolder folder_;
};

TEST_F(CustomScopeTest, BitmapIsStretchedOverTheMaskAndFramesThePicture) {
    Open(16, 320, 240);
    Set_Path(Write_Overlay("frame.bmp"));
    ASSERT_EQ(Setup_Scope(200, 120, SCOPE_CUSTOM), 1);
    EXPECT_EQ(plasma_settings.overlay_shape, SCOPE_CUSTOM);
    Fill_Pattern(Hidden);
    ASSERT_EQ(Draw_Scope(Hidden, 0, 0), 1);
    const uint32_t red = Colour_To_Pixel(Hidden, RGB(255, 0, 0));
    // Five times wider, five times higher: the white middle is (50..150, 30..90).
    EXPECT_EQ(Get(Hidden, 100, 60), Pattern(Hidden, 100, 60));
    EXPECT_EQ(Get(Hidden, 51, 31), Pattern(Hidden, 51, 31));
    EXPECT_EQ(Get(Hidden, 148, 88), Pattern(Hidden, 148, 88));
    EXPECT_EQ(Get(Hidden, 0, 0), red);
    EXPECT_EQ(Get(Hidden, 45, 60), red);
    EXPECT_EQ(Get(Hidden, 100, 28), red);
    EXPECT_EQ(Get(Hidden, 199, 119), red);
    EXPECT_EQ(Get(Hidden, 250, 150), Pattern(Hidden, 250, 150));  // beyond the mask
    EXPECT_TRUE(Reports().empty());
}

// An overlay that cannot be read (a preset from another machine) fails the
// set-up with its path; nothing is left half made and the picture is drawn
// without an overlay.
TEST_F(CustomScopeTest, MissingOverlayIsReportedAndLeavesThePictureBare) {
    Open(32);
    const std::string path = folder_.file("gone.bmp");
    Set_Path(path);
    const int live = DD_Live_Surface_Count();
    EXPECT_EQ(Setup_Scope(200, 100, SCOPE_CUSTOM), 0);
    std::vector<std::string> reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], "Load_Custom_Scope():Load_SYSTEM_Bitmap " + path + " FAILED");
    EXPECT_EQ(reports.back(), "Setup_Scope: Load Custom_Scope FAILED");
    EXPECT_EQ(scope_surface, nullptr);
    EXPECT_EQ(DD_Live_Surface_Count(), live);
    EXPECT_EQ(scope_active, 0);
    EXPECT_EQ(plasma_settings.overlay_on, 0);
    Fill_Pattern(Hidden);
    EXPECT_EQ(Draw_Scope(Hidden, 0, 0), 1);
    EXPECT_EQ(Get(Hidden, 0, 0), Pattern(Hidden, 0, 0));

    // A path field with no terminator (a damaged preset) is read to its end only.
    platform_boxes.clear();
    std::memset(plasma_settings.custom_scope_path, 'a', sizeof plasma_settings.custom_scope_path);
    EXPECT_EQ(Setup_Scope(200, 100, SCOPE_CUSTOM), 0);
    reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2].rfind("Load_Custom_Scope():Load_SYSTEM_Bitmap aaaa", 0), 0u);
    EXPECT_EQ(reports.back(), "Setup_Scope: Load Custom_Scope FAILED");

    // A file that is no bitmap.
    platform_boxes.clear();
    const std::string text = folder_.file("notes.bmp");
    FILE* file = std::fopen(text.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("not a picture", file);
    std::fclose(file);
    Set_Path(text);
    EXPECT_EQ(Setup_Scope(200, 100, SCOPE_CUSTOM), 0);
    EXPECT_EQ(Reports().back(), "Setup_Scope: Load Custom_Scope FAILED");
    EXPECT_EQ(scope_surface, nullptr);

    // A 1 KB file that claims a picture larger than the largest mode is
    // refused from its headers; a claim within the largest mode loads.
    for (const auto& [width, height, refused] : {std::tuple{5700, 5700, true}, std::tuple{1281, 16, true},
                                                 std::tuple{16, 1025, true}, std::tuple{1280, 1024, false}}) {
        platform_boxes.clear();
        const std::string claim = folder_.file("claim.bmp");
        ASSERT_TRUE(Write_Claimed_Bitmap(claim, width, height));
        Set_Path(claim);
        EXPECT_EQ(Setup_Scope(200, 100, SCOPE_CUSTOM), refused ? 0 : 1) << width << " x " << height;
        if (refused) {
            EXPECT_TRUE(Reported("Load_Custom_Scope():" + claim + " is " + std::to_string(width) + " x " +
                                 std::to_string(height) + ", larger than the largest display mode"));
        }
        Shutdown_Scope();
    }
}

// A preset made elsewhere names an overlay that is not at its stored path:
// the installed overlay of the same file name stands in for it.
TEST_F(CustomScopeTest, AnOverlayMissingAtItsPathIsFoundInTheInstalledFolder) {
    Open(32);
    std::filesystem::create_directories(folder_.file("Calvorine/Data/Bmp/Overlays"));
    const std::string installed = Write_Overlay("Calvorine/Data/Bmp/Overlays/frame.bmp");
    Use_Windows_Directory(folder_.path());
    for (const std::string& stored : {std::string("/build/tree/demo/Calvorine/Data/Bmp/Overlays/frame.bmp"),
                                      std::string("C:\\WINDOWS\\Calvorine\\Data\\Bmp\\Overlays\\FRAME.BMP"),
                                      std::string("Calvorine/Data/Bmp/Overlays/frame.bmp"), installed}) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(Custom_Scope_File(stored), installed);
        Set_Path(stored);
        EXPECT_EQ(Setup_Scope(200, 120, SCOPE_CUSTOM), 1);
        Shutdown_Scope();
    }
    // A stored file that exists wins over the installed one; no name, nothing to find.
    const std::string own = Write_Overlay("own.bmp");
    EXPECT_EQ(Custom_Scope_File(own), own);
    EXPECT_EQ(Custom_Scope_File("/elsewhere/missing.bmp"), "/elsewhere/missing.bmp");
    EXPECT_EQ(Custom_Scope_File("/elsewhere/"), "/elsewhere/");
    EXPECT_TRUE(Reports().empty());
    Use_Windows_Directory("");
}

TEST_F(CustomScopeTest, ChooserStartsInTheOverlaysFolder) {
    Open(32);
    app.windows_prefix = folder_.path() + "/";
    const std::string overlays = folder_.path() + "/Calvorine/Data/Bmp/Overlays/";

    // Cancelled: reported, the stored path kept.
    Set_Path("/kept.bmp");
    EXPECT_EQ(Choose_Custom_Scope(), 0);
    EXPECT_EQ(Reports().back(), "Open File folder " + overlays + " filename  title name  FAILED");
    EXPECT_STREQ(plasma_settings.custom_scope_path, "/kept.bmp");
    ASSERT_EQ(platform_file_dialog_requests.size(), 1u);
    const File_Dialog_Request& request = platform_file_dialog_requests[0];
    EXPECT_EQ(request.initial_folder, overlays);
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.filter_index, 3);
    EXPECT_EQ(request.default_extension, "bmp");
    EXPECT_TRUE(request.hide_read_only);
    EXPECT_TRUE(request.create_prompt);
    ASSERT_EQ(request.filter_count, 4);
    const char* expected[4][2] = {{"Data Files (*.DAT)", "*.dat"},
                                  {"ASCII Files (*.ASC)", "*.asc"},
                                  {"Bitmap Files (*.BMP)", "*.bmp"},
                                  {"All Files (*.*)", "*.*"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(request.filters[i].description, expected[i][0]);
        EXPECT_STREQ(request.filters[i].pattern, expected[i][1]);
    }

    // Chosen: the full path is stored and the overlay can be set up from it.
    platform_boxes.clear();
    const std::string path = Write_Overlay("ring.bmp");
    platform_file_dialog_answer = path;
    EXPECT_EQ(Choose_Custom_Scope(), 1);
    EXPECT_EQ(std::string(plasma_settings.custom_scope_path), path);
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(Setup_Scope(100, 100, SCOPE_CUSTOM), 1);

    // A name typed without an extension gets ".bmp".
    platform_file_dialog_answer = folder_.file("plain");
    EXPECT_EQ(Choose_Custom_Scope(), 1);
    EXPECT_EQ(std::string(plasma_settings.custom_scope_path), folder_.file("plain.bmp"));
}

TEST(FileDialogTest, AnswersFitTheCallersBuffersOrAreRefused) {
    Platform_Reset_File_Dialog();
    File_Dialog_Request request;
    char path[16] = "old";
    char title[8] = "old";
    platform_file_dialog_answer = "/a/b/pic.bmp";
    EXPECT_EQ(Platform_Open_File_Dialog(request, path, sizeof path, title, sizeof title), 1);
    EXPECT_STREQ(path, "/a/b/pic.bmp");
    EXPECT_STREQ(title, "pic.bmp");

    // A path the buffer cannot hold would name another file: refused, buffers kept.
    platform_file_dialog_answer = "/a/very/long/folder/pic.bmp";
    std::strcpy(path, "old");
    EXPECT_EQ(Platform_Save_File_Dialog(request, path, sizeof path, title, sizeof title), 0);
    EXPECT_STREQ(path, "old");
    ASSERT_EQ(platform_file_dialog_requests.size(), 2u);
    EXPECT_TRUE(platform_file_dialog_requests[1].save);

    // The window layer's dialog answers through its hook.
    platform_file_dialog_hook = [](const File_Dialog_Request&, std::string* chosen) {
        *chosen = "/x.dat";
        return true;
    };
    EXPECT_EQ(Platform_Open_File_Dialog(request, path, sizeof path, title, sizeof title), 1);
    EXPECT_STREQ(path, "/x.dat");
    platform_file_dialog_hook = [](const File_Dialog_Request&, std::string*) { return false; };
    EXPECT_EQ(Platform_Open_File_Dialog(request, path, sizeof path, title, sizeof title), 0);
    Platform_Reset_File_Dialog();
}

}  // namespace

// ---------------------------------------------------------------------------
// Kept overlay pictures

// A kept picture stands in for its file only while the file is as it was: a
// file written anew is read again, so the mask follows it.
TEST_F(CustomScopeTest, AKeptOverlayFollowsItsFile) {
    Open(32, 320, 240);
    const std::string path = Write_Overlay("kept.bmp");
    Set_Path(path);
    ASSERT_EQ(Setup_Scope(200, 120, SCOPE_CUSTOM), 1);
    EXPECT_FALSE(Open_At(0, 0));
    EXPECT_TRUE(Open_At(100, 60));
    Shutdown_Scope();
    EXPECT_EQ(Kept_Custom_Scope_Pictures(), 1);

    // The same file again: the same mask, from the kept picture.
    ASSERT_EQ(Setup_Scope(200, 120, SCOPE_CUSTOM), 1);
    EXPECT_FALSE(Open_At(0, 0));
    EXPECT_EQ(Kept_Custom_Scope_Pictures(), 1);
    Shutdown_Scope();

    // Written anew, all white: the mask is all opening.
    Surface* white = Make(40, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) Put(white, x, y, White(white));
    ASSERT_EQ(Save_Bitmap(white, path.c_str()), 1);
    ASSERT_EQ(Setup_Scope(200, 120, SCOPE_CUSTOM), 1);
    EXPECT_TRUE(Open_At(0, 0));
    EXPECT_EQ(Open_Pixels(), 200 * 120);
    EXPECT_EQ(Kept_Custom_Scope_Pictures(), 1);
    EXPECT_TRUE(Reports().empty());
}

// The kept pictures together never hold more pixels than the largest mode
// shows: older ones make room for a new one.
TEST_F(CustomScopeTest, KeptOverlaysStayWithinTheLargestModesPixels) {
    Open(32, 320, 240);
    struct Step {
        const char* name;
        int width, height;
        int kept;  // pictures kept after it
    } steps[] = {
        {"a.bmp", 40, 24, 1},      {"b.bmp", 64, 48, 2},      {"c.bmp", 900, 700, 3},
        {"d.bmp", 1000, 700, 1},   // a, b and c make room for d, oldest first
        {"e.bmp", 1280, 1024, 1},  // exactly the largest mode: kept alone
        {"f.bmp", 40, 24, 1},      // the largest picture makes room for the smallest
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const std::string path = folder_.file(step.name);
        ASSERT_TRUE(Write_Test_Bitmap(path, step.width, step.height, [](int x, int) { return x % 2 ? 0xFFFFFFu : 0u; }));
        Set_Path(path);
        ASSERT_EQ(Setup_Scope(200, 120, SCOPE_CUSTOM), 1);
        Shutdown_Scope();
        EXPECT_EQ(Kept_Custom_Scope_Pictures(), step.kept);
    }
}
