// Titles, transitions and the window caption: the title's fade in, hold,
// fade out and end at each depth, pausing it, its failures; the closing
// window, the random preset it loads, the black frame and the opening; the
// caption named after a preset file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_generator.h"
#include "plasma/plasma_settings.h"
#include "preset/preset_files.h"
#include "preset/random_preset_timer.h"
#include "preset/window_caption.h"
#include "shell/frame_driver.h"
#include "shell/lifecycle.h"
#include "text_fixture.h"

namespace {

constexpr uint32_t GROUND_32 = 0x00203040;  // a dark picture under the title

class TitleTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        Set_Default_Plasma_Settings();
        plasma_settings.titles_on = 1;
        frame_seconds = 0.01;
    }

    // One frame: the picture, then the title over it. The title's state afterwards.
    int32_t Frame(uint32_t ground, const char* text = "Hi") {
        Fill(Hidden, ground);
        EXPECT_EQ(Display_Title(Hidden, 0, 0, text, 9, DISPLAY), 1);
        return title_state;
    }

    // Runs the title to its end; the number of frames that began in each state.
    std::vector<int> Frames_Per_State(uint32_t ground) {
        std::vector<int> frames(4, 0);
        for (int frame = 0; frame < 2000 && title_state != TITLE_DONE; ++frame) {
            ++frames[title_state];
            Frame(ground);
        }
        return frames;
    }
};

class TitleEveryFormat : public TitleTest, public ::testing::WithParamInterface<GraphicsFormat> {};

TEST_P(TitleEveryFormat, FadesInHoldsTwoSecondsFadesOutAndEnds) {
    Open(GetParam());
    Install_Font();
    ASSERT_EQ(Setup_Title("Hi", 9), 1);
    const bool low_depth = GetParam().depth < 24;
    EXPECT_EQ(fade_floor, low_depth ? 8 : 0);
    EXPECT_EQ(title_state, TITLE_FADE_IN);
    EXPECT_EQ(fade_in_level, 256);
    EXPECT_EQ(fade_out_level, fade_floor);
    EXPECT_EQ(title_width, 128);
    EXPECT_EQ(title_height, 34);

    const uint32_t ground = Colour_To_Pixel(Hidden, 0x00403020);
    const std::vector<int> frames = Frames_Per_State(ground);
    // One fade step of 2 per frame from 256 to below the floor and back above 256.
    EXPECT_EQ(frames[TITLE_FADE_IN], low_depth ? 125 : 129);
    EXPECT_GE(frames[TITLE_HOLD], 200);
    EXPECT_LE(frames[TITLE_HOLD], 201);
    EXPECT_EQ(frames[TITLE_FADE_OUT], low_depth ? 125 : 129);
    EXPECT_EQ(title_state, TITLE_DONE);
    EXPECT_EQ(fade_out_level, 0);

    // Once done the picture is left alone.
    Frame(ground);
    EXPECT_EQ(Get(Hidden, 15, 20), ground);
    EXPECT_TRUE(platform_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, TitleEveryFormat, ::testing::ValuesIn(every_graphics_format), Graphics_Format_Name);

TEST_F(TitleTest, BrightensFromDarkAndDarkensAgainWhereTheFadeWorks) {
    Open({16, 0x07E0, 0, "Depth16"});
    Install_Font();
    ASSERT_EQ(Setup_Title("Hi", 9), 1);
    const uint32_t ground = Colour_To_Pixel(Hidden, 0x00203040);
    // A point inside the H, whose glyph colour is green-heavy.
    // 0 while the picture shows through.
    auto green = [ground] { return Get(Hidden, 15, 20) == ground ? 0u : (Get(Hidden, 15, 20) >> 5) & 0x3F; };

    Frame(ground);  // fully dark: nothing shows
    EXPECT_EQ(Get(Hidden, 15, 20), ground);
    std::vector<uint32_t> rising;
    while (title_state == TITLE_FADE_IN) {
        Frame(ground);
        rising.push_back(green());
    }
    for (size_t i = 1; i < rising.size(); ++i) EXPECT_GE(rising[i], rising[i - 1]) << i;
    const uint32_t held = green();
    EXPECT_GE(held, 30u);  // glyph 43's green is 39 of 63, a little dimmed
    while (title_state == TITLE_HOLD) {
        Frame(ground);
        EXPECT_EQ(green(), held);
    }
    uint32_t previous = held;
    while (title_state == TITLE_FADE_OUT) {
        Frame(ground);
        const uint32_t now = green();
        EXPECT_LE(now, previous);
        previous = now;
    }
    EXPECT_EQ(previous, 0u);
}

TEST_F(TitleTest, AtTwentyFourBitsTheTitleShowsUnfadedFromTheFirstFrame) {
    Open({24, 0x07E0, 0, "Depth24"});
    Install_Font();
    ASSERT_EQ(Setup_Title("Hi", 9), 1);
    Frame(GROUND_32);
    EXPECT_EQ(Get(Hidden, 15, 20), Glyph_Colour(43));
    // The glyph's key pixel, the gap after it and the rest of the line let the picture through.
    EXPECT_EQ(Get(Hidden, 0, 0), GROUND_32);
    EXPECT_EQ(Get(Hidden, 18, 20), GROUND_32);
    EXPECT_EQ(Get(Hidden, 100, 20), GROUND_32);
}

TEST_F(TitleTest, TitlesSwitchedOffFreezeTheClockUntilSwitchedOnAgain) {
    Open(depth_32);
    Install_Font();
    ASSERT_EQ(Setup_Title("Hi", 9), 1);
    while (title_state != TITLE_HOLD) Frame(GROUND_32);
    for (int i = 0; i < 50; ++i) Frame(GROUND_32);
    const double elapsed = title_elapsed;

    plasma_settings.titles_on = 0;
    for (int i = 0; i < 500; ++i) EXPECT_EQ(Frame(GROUND_32), TITLE_HOLD);
    EXPECT_EQ(title_elapsed, elapsed);
    EXPECT_EQ(Get(Hidden, 15, 20), GROUND_32);

    plasma_settings.titles_on = 1;
    int frames_left = 0;
    while (Frame(GROUND_32) == TITLE_HOLD) ++frames_left;
    EXPECT_GE(frames_left, 148);  // the 2 seconds less the half second already held
    EXPECT_LE(frames_left, 151);
}

TEST_F(TitleTest, SetupReplacesTheTitleAndRefusesAnEmptyOne) {
    Open(depth_32);
    Install_Font();
    ASSERT_EQ(Setup_Title("Hi", 9), 1);
    for (int i = 0; i < 300; ++i) Frame(GROUND_32);
    const int live = DD_Live_Surface_Count();
    ASSERT_EQ(Setup_Title("Again", 9), 1);  // starts over, surface replaced not added
    EXPECT_EQ(title_state, TITLE_FADE_IN);
    EXPECT_EQ(title_elapsed, 0.0);
    EXPECT_EQ(DD_Live_Surface_Count(), live);

    EXPECT_EQ(Setup_Title("", 9), 0);
    EXPECT_EQ(Reports(), std::vector<std::string>{"Setup_Title():strlen of title is 0 "});
    EXPECT_EQ(title_surface, nullptr);  // the old title has ended
    EXPECT_EQ(Display_Title(Hidden, 0, 0, "Hi", 9, DISPLAY), 1);

    ASSERT_EQ(Destroy_Title(), 1);
    EXPECT_EQ(Destroy_Title(), 1);
}

TEST_F(TitleTest, TheSurfaceSpansTheVisibleWidthAndAtMostTheScreenHeight) {
    Open(depth_32, 64, 24);
    Install_Font();
    app.client_width = 200;
    ASSERT_EQ(Setup_Title("Hi", 9), 1);
    EXPECT_EQ(title_width, 64);
    EXPECT_EQ(title_height, 24);
    EXPECT_EQ(title_surface->width, 64);
    EXPECT_EQ(title_surface->height, 24);
    while (title_state != TITLE_DONE) Frame(GROUND_32);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(TitleTest, DisplayFailuresAreReported) {
    Open(depth_32);
    Install_Font();
    ASSERT_EQ(Setup_Title("Hi", 9), 1);
    EXPECT_EQ(Display_Title(Hidden, 0, 0, "", 9, DISPLAY), 0);
    EXPECT_EQ(Display_Title(Hidden, 0, 0, nullptr, 9, DISPLAY), 0);
    EXPECT_EQ(Reports(), (std::vector<std::string>{"Display_Title(): title must be a valid string",
                                                   "Display_Title(): title must be a valid string"}));
    platform_boxes.clear();
    EXPECT_EQ(Display_Title(Hidden, 0, 0, "Hi", 12, DISPLAY), 0);
    EXPECT_EQ(Reports(), (std::vector<std::string>{"Draw_Text():Illegal Font # 12",
                                                   "Display_Title(); Draw_Text Hi in FADE TITLE IN FAILED"}));
    platform_boxes.clear();
    EXPECT_EQ(Display_Title(nullptr, 0, 0, "Hi", 9, DISPLAY), 0);
    EXPECT_EQ(Reports().back(), "Display_Title(): Masked_Clip_Blit (title in) FAILED");
}

TEST_F(TitleTest, ATitleLongerThanTheFontTakesIsDrawnUpToItsLimit) {
    Open(depth_32);
    Install_Font();
    const std::string title(2000, 'W');
    ASSERT_EQ(Setup_Title(title.c_str(), 9), 1);
    for (int i = 0; i < 200; ++i) Frame(GROUND_32, title.c_str());
    EXPECT_EQ(title_state, TITLE_HOLD);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(TitleTest, CreateFailuresLeaveNoTitle) {
    Open(depth_32);
    EXPECT_EQ(Setup_Title("Hi", 9), 0);
    EXPECT_EQ(Reports(), (std::vector<std::string>{
                             "Load_Font():font file " + Font_Path() + " not found",
                             "Calculate_Message_Dimensions():Invalid Font Surface - surface is NULL & Unable to "
                             "Load the font_num 9",
                             "Display_Title(): Calculate_Message_Dimensions FAILED",
                             "Setup_Title(): Display_Title CREATE FAILED",
                         }));
    EXPECT_EQ(title_surface, nullptr);

    Install_Font();
    ASSERT_EQ(Load_Font(9), 1);
    platform_boxes.clear();
    const int live = DD_Live_Surface_Count();
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Setup_Title("Hi", 9), 0);
    dd_faults.create_surface = DD_OK;
    const std::vector<std::string> reports = Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2], "Display_Title(): Create_SYSTEM_Surface FAILED");
    EXPECT_EQ(reports.back(), "Setup_Title(): Display_Title CREATE FAILED");
    EXPECT_EQ(title_surface, nullptr);
    EXPECT_EQ(DD_Live_Surface_Count(), live);
}

// ---------------------------------------------------------------------------
// Transitions.

class TransitionTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        Shutdown_Plasma();
        Set_Default_Plasma_Settings();
        plasma_settings.kaleidoscope_on = 0;
        plasma_settings.slide_ignore_fps = 0;
        frame_seconds = 0.025;  // 9.6 pixels of height per frame at 384 per second
        last_random_index = 0;
        segment_width = segment_height = 0;
    }

    void TearDown() override {
        Shutdown_Plasma();
        plasma_field_0 = plasma_field_1 = plasma_field_2 = PlasmaField{};
        segment_width = segment_height = 0;
        TextTest::TearDown();
    }

    // One frame: the picture drawn anew, then the transition step.
    int Frame() {
        Fill_Pattern(Hidden);
        // The frame driver's order: a closed window brings a random preset.
        const int result = Display_Transition(TRANSITION_PIXELS_PER_SECOND, transition_step);
        if (result == TRANSITION_CLOSED) Display_A_Random_Setting(nullptr);
        return result != 0;
    }

    // True when Hidden shows the pattern inside [x0, x1) x [y0, y1) and black
    // elsewhere within width x height.
    bool Shows_Window(int x0, int y0, int x1, int y1, int width, int height) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
                const uint32_t expected = inside ? Pattern(Hidden, x, y) : 0;
                if (Get(Hidden, x, y) != expected) {
                    ADD_FAILURE() << "pixel (" << x << "," << y << ")";
                    return false;
                }
            }
        }
        return true;
    }

    int Black_Pixels() {
        int count = 0;
        for (int y = 0; y < app.client_height; ++y)
            for (int x = 0; x < app.client_width; ++x) count += Get(Hidden, x, y) == 0;
        return count;
    }

    // Two presets in the data folder, told apart by their titles.
    void Write_Presets() {
        const std::string folder = windows_.path() + "/Calvorine";
        for (const char* name : {"first", "second"}) {
            Set_Default_Plasma_Settings();
            plasma_settings.slide_ignore_fps = 0;  // steps timed by the frame clock
            std::strcpy(plasma_settings.title, name);
            ASSERT_EQ(Save_Plasma_Settings_To_File((folder + "/" + name + ".DAT").c_str()), 1);
        }
        Set_Default_Plasma_Settings();
        plasma_settings.slide_ignore_fps = 0;
        std::strcpy(plasma_settings.title, "current");
    }
};

TEST_F(TransitionTest, ModesStartReverseAndStop) {
    Open(depth_32);
    EXPECT_EQ(Set_Transition_Mode(OPEN_TRANSITION), 1);
    EXPECT_EQ(transition_width, 1.0);
    EXPECT_EQ(transition_height, 1.0);
    EXPECT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);  // reverses where it is
    EXPECT_EQ(transition_width, 1.0);
    ASSERT_EQ(Set_Transition_Mode(NO_TRANSITION), 1);
    ASSERT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);
    EXPECT_EQ(transition_width, 128.0);
    EXPECT_EQ(transition_height, 96.0);
    Frame();
    Frame();
    const double width = transition_width, height = transition_height;
    EXPECT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);  // already closing: nothing changes
    EXPECT_EQ(Set_Transition_Mode(OPEN_TRANSITION), 1);
    EXPECT_EQ(transition_width, width);
    EXPECT_EQ(transition_height, height);
    Frame();
    EXPECT_GT(transition_height, height);

    EXPECT_EQ(Set_Transition_Mode(3), 0);
    EXPECT_EQ(transition_mode, NO_TRANSITION);
    EXPECT_EQ(Reports(), std::vector<std::string>{"Set_Transition_Mode(): INVALID mode 3"});
    Release_Scratch_Pad();
}

TEST_F(TransitionTest, ClosingKeepsACentredWindowAndBlacksOutTheRest) {
    Open(depth_32);
    ASSERT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);
    ASSERT_EQ(Frame(), 1);
    // 128 x 96 less 12.8 x 9.6: a 115 x 86 window at (6, 5).
    EXPECT_DOUBLE_EQ(transition_height, 86.4);
    EXPECT_TRUE(Shows_Window(6, 5, 121, 91, 128, 96));
    EXPECT_NE(Scratch_Pad, nullptr);
    ASSERT_EQ(Frame(), 1);
    EXPECT_TRUE(Shows_Window(13, 10, 115, 86, 128, 96));
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(TransitionTest, ClosedWindowLoadsARandomPresetShowsOneBlackFrameAndOpens) {
    Open(depth_32);
    Install_Font();
    Write_Presets();
    crt::srand(7);
    ASSERT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);

    int closing_frames = 0;
    while (transition_mode == CLOSE_TRANSITION && closing_frames < 50) {
        ASSERT_EQ(Frame(), 1);
        ++closing_frames;
    }
    EXPECT_EQ(closing_frames, 10);  // 96 pixels at 9.6 a frame
    EXPECT_TRUE(preset_switched);
    EXPECT_EQ(transition_mode, NO_TRANSITION);
    // Two presets and none picked before: the pick is never the first match.
    EXPECT_STREQ(plasma_settings.title, "second");
    EXPECT_EQ(Scratch_Pad, nullptr);

    ASSERT_EQ(Frame(), 1);
    EXPECT_EQ(Black_Pixels(), 128 * 96);
    EXPECT_FALSE(preset_switched);
    EXPECT_EQ(transition_mode, OPEN_TRANSITION);
    EXPECT_EQ(transition_width, 1.0);

    int opening_frames = 0;
    int black = Black_Pixels();
    while (transition_mode == OPEN_TRANSITION && opening_frames < 50) {
        ASSERT_EQ(Frame(), 1);
        ++opening_frames;
        const int now = Black_Pixels();
        EXPECT_LT(now, black);
        black = now;
    }
    EXPECT_EQ(opening_frames, 10);
    EXPECT_EQ(black, 0);
    EXPECT_EQ(transition_width, 128.0);
    EXPECT_EQ(transition_height, 96.0);
    EXPECT_EQ(Scratch_Pad, nullptr);

    // Without a transition the picture is left as drawn.
    ASSERT_EQ(Frame(), 1);
    EXPECT_EQ(Black_Pixels(), 0);
    EXPECT_EQ(Scratch_Pad, nullptr);
    EXPECT_TRUE(platform_boxes.empty()) << Reports().front();
}

TEST_F(TransitionTest, FixedStepsSlowDownForTheLastSixteenPixels) {
    Open(depth_32);
    plasma_settings.slide_ignore_fps = 1;
    transition_step = 4;
    ASSERT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);
    int slow_steps = 0;
    while (transition_height > 4.0) {
        const double width = transition_width, height = transition_height;
        ASSERT_EQ(Frame(), 1);
        const double expected = (width < 16.0 && height < 16.0) ? 2.0 : 4.0;
        EXPECT_DOUBLE_EQ(height - transition_height, expected);
        EXPECT_NEAR(width - transition_width, expected * 128.0 / 96.0, 1e-9);
        slow_steps += expected == 2.0;
    }
    EXPECT_GE(slow_steps, 2);
    Release_Scratch_Pad();
}

TEST_F(TransitionTest, TheKaleidoscopesTileIsThePicture) {
    Open(depth_32);
    plasma_settings.kaleidoscope_on = 1;
    segment_width = segment_height = 24;
    ASSERT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);
    for (int i = 0; i < 6; ++i) ASSERT_EQ(Frame(), 1);
    // 48 x 48 tile; the window is 70 x 38 by now, as wide as the tile.
    EXPECT_TRUE(Shows_Window(0, 5, 48, 43, 48, 48));
    for (int x = 48; x < 128; x += 7)
        for (int y = 0; y < 96; y += 5) ASSERT_EQ(Get(Hidden, x, y), Pattern(Hidden, x, y));

    // The black frame clears the screen around a centred tile, not a stretched one.
    Set_Transition_Mode(NO_TRANSITION);
    Release_Scratch_Pad();
    Fill_Pattern(Visible);
    plasma_settings.kaleidoscope_stretch = 1;
    preset_switched = true;
    ASSERT_EQ(Frame(), 1);
    EXPECT_NE(Get(Visible, 100, 80), 0u);
    Set_Transition_Mode(NO_TRANSITION);
    plasma_settings.kaleidoscope_stretch = 0;
    preset_switched = true;
    ASSERT_EQ(Frame(), 1);
    EXPECT_EQ(Get(Visible, 100, 80), 0u);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(TransitionTest, NoWorkSurfaceMeansAFailedStep) {
    Open(depth_32);
    ASSERT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(Reports().back(), "Display_Transition(): Setup_Scratch_Pad() FAILED");
    dd_faults.create_surface = DD_OK;

    Set_Transition_Mode(NO_TRANSITION);
    preset_switched = true;
    Surface* hidden = Hidden;
    Hidden = nullptr;
    EXPECT_EQ(Display_Transition(TRANSITION_PIXELS_PER_SECOND, transition_step), 0);
    Hidden = hidden;
    EXPECT_EQ(Reports().back(), "Display_Transition(): Clear in NO_TRANSITION FAILED");
}

// ---------------------------------------------------------------------------
// The window caption.

using CaptionTest = TextTest;

TEST_F(CaptionTest, APresetFileNamesThePresetAndTheCaption) {
    Set_Default_Plasma_Settings();
    std::strcpy(plasma_settings.title, "old");
    EXPECT_EQ(Update_Window_Title("C:\\WINDOWS\\Calvorine\\My.Preset.dat"), 1);
    EXPECT_STREQ(window_caption, " Calvorine:   My");
    EXPECT_STREQ(plasma_settings.title, "My");

    // A path from this system's file dialogs.
    EXPECT_EQ(Update_Window_Title_From_File("/home/someone/.local/share/Calvorine/Blue Lagoon.DAT"), 1);
    EXPECT_STREQ(window_caption, " Calvorine:   Blue Lagoon");
    EXPECT_STREQ(plasma_settings.title, "Blue Lagoon");
    EXPECT_EQ(Update_Window_Title_From_File("C:\\WINDOWS\\Calvorine\\Dusk.dat"), 1);
    EXPECT_STREQ(plasma_settings.title, "Dusk");

    // A name starting with a full stop keeps that one character.
    EXPECT_EQ(Update_Window_Title("C:\\x\\.dat"), 1);
    EXPECT_STREQ(plasma_settings.title, ".dat");
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(CaptionTest, ATitleOrAnEarlySeparatorIsShownWholeAndRenamesNothing) {
    Set_Default_Plasma_Settings();
    std::strcpy(plasma_settings.title, "kept");
    // A title with slashes is a name, not a path.
    for (const char* text :
         {"Sunset", "\\x.dat", "a\\x.dat", "/x.dat", "", "Dawn/Dusk v1.5 Mix", "/home/someone/Blue Lagoon.DAT"}) {
        EXPECT_EQ(Update_Window_Title(text), 1);
        EXPECT_EQ(std::string(window_caption), std::string(" Calvorine:   ") + text);
        EXPECT_STREQ(plasma_settings.title, "kept");
    }
}

TEST_F(CaptionTest, LongNamesRenameNothingAndTheCaptionIsCut) {
    Set_Default_Plasma_Settings();
    std::strcpy(plasma_settings.title, "kept");
    const std::string name_128(128, 'n');
    EXPECT_EQ(Update_Window_Title(("C:\\p\\" + name_128 + ".dat").c_str()), 1);
    EXPECT_STREQ(plasma_settings.title, "kept");
    EXPECT_EQ(std::string(window_caption), " Calvorine:   " + name_128);

    const std::string name_127(127, 'm');
    EXPECT_EQ(Update_Window_Title(("C:\\p\\" + name_127 + ".dat").c_str()), 1);
    EXPECT_EQ(std::string(plasma_settings.title), name_127);

    const std::string name_300(300, 'z');
    EXPECT_EQ(Update_Window_Title(("C:\\p\\" + name_300).c_str()), 1);
    EXPECT_EQ(std::strlen(window_caption), 259u);
    EXPECT_EQ(std::string(window_caption), (" Calvorine:   " + name_300).substr(0, 259));
}

TEST_F(CaptionTest, AWindowWithoutTheWindowLayerIsLeftAlone) {
    Window headless;
    app.main_window = &headless;
    EXPECT_EQ(Update_Window_Title("default"), 1);
    app.main_window = nullptr;
    EXPECT_EQ(Update_Window_Title("default"), 1);
    EXPECT_STREQ(window_caption, " Calvorine:   default");
    EXPECT_TRUE(platform_boxes.empty());
}

}  // namespace
