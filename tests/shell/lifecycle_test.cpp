// Setup and Shutdown at every depth and in every mode, their failures, the
// work surface, and the switches between the configuration window and full
// screen on the real window layer (the offscreen platform).
#include "shell_fixture.h"

#include "graphics/surface.h"
#include "shell/frame_driver.h"
#include "slides/slide_objects.h"
#include "text/font.h"
#include "text/titles.h"

namespace {

class LifecycleTest : public ShellTest {
protected:
    void TearDown() override {
        ShellTest::TearDown();
        Platform_Stop_Window_Layer();
    }

    // The default preset asks for this resolution code.
    void Default_Resolution(int code) {
        Set_Default_Plasma_Settings();
        plasma_settings.resolution = code;
        Save_Preset("default.dat");
    }

    // The configuration window on the window layer, as the start-up makes it.
    void Open_Configuration_Window() {
        ASSERT_TRUE(Platform_Start_Window_Layer(0, nullptr));
        app.saver_mode = CONFIGURE;
        app.menu = menu_101;
        ASSERT_TRUE(Platform_Desktop_Metrics(&app.system_width, &app.system_height, &app.system_bpp));
        app.screen_width = app.system_width;
        app.screen_height = app.system_height;
        app.screen_bpp = app.system_bpp;
        app.windows_prefix = windows.path() + "/";
        const int side = 2 * app.screen_height / 3;
        app.main_window = Platform_Create_Window(WINDOW_OVERLAPPED, WINDOW_CAPTION, 0, 0, side, side, 0);
        ASSERT_NE(app.main_window, nullptr);
        ASSERT_EQ(Centre_Window(app.main_window), 1);
        Open_Log();
        ASSERT_EQ(::Setup(), 1);
        Display_Default_Plasma();
    }
};

}  // namespace

TEST_F(LifecycleTest, SetupAndShutdownLeaveNothingAliveAtAnyDepth) {
    for (int depth : {8, 15, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        Prepare(CONFIGURE, 64, 48, depth);
        ASSERT_EQ(::Setup(), 1);
        EXPECT_EQ(objects_loaded, 2);  // the data folder's two objects
        Display_Default_Plasma();
        EXPECT_NE(title_surface, nullptr);
        EXPECT_EQ(font_count, 1);
        ASSERT_EQ(Setup_Scratch_Pad(), 1);
        EXPECT_NE(Hidden, nullptr);
        EXPECT_FALSE(app.check_colour_depth);
        Shutdown();
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        EXPECT_EQ(Direct_Draw_Interface, nullptr);
        EXPECT_EQ(Scratch_Pad, nullptr);
        EXPECT_EQ(plasma_field_0.ring_table, nullptr);
        EXPECT_EQ(title_surface, nullptr);
        EXPECT_EQ(font_count, 0);
        EXPECT_EQ(Objects_Data[0].images, nullptr);
        Shutdown();
    }
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(LifecycleTest, TheSaverTakesThePresetsResolutionAndItsMouse) {
    Default_Resolution(11);  // 640 x 480 x 16
    Prepare(SAVER, 1024, 768, 32);
    ASSERT_EQ(::Setup(), 1);
    EXPECT_EQ(app.screen_width, 640);
    EXPECT_EQ(app.screen_height, 480);
    EXPECT_EQ(app.screen_bpp, 16);
    EXPECT_EQ(Hidden->width, 640);
    ASSERT_NE(mouse_device, nullptr);
    EXPECT_TRUE(mouse_device->acquired);
    EXPECT_EQ(pointer_x, 320);
    Shutdown();
    EXPECT_EQ(input_system, nullptr);
    EXPECT_EQ(mouse_device, nullptr);
    EXPECT_EQ(DD_Live_Surface_Count(), 0);
}

TEST_F(LifecycleTest, WithoutADefaultPresetTheSaverRunsAtTheDesktopsMode) {
    Prepare(SAVER, 320, 240, 24);
    ASSERT_EQ(::Setup(), 1);
    EXPECT_EQ(app.screen_width, 320);
    EXPECT_EQ(app.screen_bpp, 24);
    EXPECT_TRUE(platform_boxes.empty());

    // A default preset that cannot be read is reported, and has no
    // preference either: the saver still starts, at the desktop's mode
    // (the start-up then sets the file aside).
    Shutdown();
    FILE* file = fopen((folder + "/default.dat").c_str(), "wb");
    fputs("short", file);
    fclose(file);
    EXPECT_EQ(::Setup(), 1);
    EXPECT_EQ(app.screen_width, 320);
    EXPECT_EQ(app.screen_bpp, 24);
    ASSERT_FALSE(platform_boxes.empty());
    EXPECT_EQ(platform_boxes.back().text,
              "Grab_Preferred_Plasma_Screen_Dimensions(): Load_Plasma_Settings " + folder + "/default.dat FAILED");
}

TEST_F(LifecycleTest, SetupFailuresAreReportedWithTheirMode) {
    Default_Resolution(11);
    Prepare(SAVER, 1024, 768, 32);
    dd_faults.refused_depths = {16, 15};
    EXPECT_EQ(::Setup(), 0);
    EXPECT_EQ(platform_boxes.back().text, "Setup: \n\nSetup_Direct_Draw() Failed\nw 640 h 480 bpp 16");
    Shutdown();
    DD_Reset_Emulation();

    Prepare(SAVER, 1024, 768, 32);
    app.main_window = nullptr;
    EXPECT_EQ(::Setup(), 0);
    EXPECT_EQ(platform_boxes.back().text, "Setup: \n\nSetup_Mouse() Failed");
    Shutdown();

    Prepare(CONFIGURE, 64, 48, 32);
    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(::Setup(), 0);
    EXPECT_NE(platform_boxes.back().text.find("Setup: \n\nSetup_Windowed_Direct_Draw() Failed\nw 64 h 48 bpp 32"),
              std::string::npos);
}

TEST_F(LifecycleTest, TheScratchPadIsScreenSizedKeyedAndRebuiltWhole) {
    Prepare(CONFIGURE, 64, 48, 16);
    ASSERT_EQ(::Setup(), 1);
    ASSERT_EQ(Setup_Scratch_Pad(), 1);
    EXPECT_EQ(Scratch_Pad->width, 64);
    EXPECT_EQ(Scratch_Pad->height, 48);
    EXPECT_EQ(Scratch_Pad->colour_key, 0u);
    int alive = DD_Live_Surface_Count();
    ASSERT_EQ(Setup_Scratch_Pad(), 1);
    EXPECT_EQ(DD_Live_Surface_Count(), alive);

    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    EXPECT_EQ(Setup_Scratch_Pad(), 0);
    EXPECT_EQ(platform_boxes.back().text, "Setup_Scratch_Pad():\n\nUnable to Create Scratch Pad Surface");
    EXPECT_EQ(DD_Live_Surface_Count(), alive - 1);
}

TEST_F(LifecycleTest, FullScreenAndBackToTheWindowKeepThePreset) {
    Default_Resolution(16);  // 640 x 480 x 8
    Open_Configuration_Window();
    const int window_width = app.client_width;
    std::strcpy(plasma_settings.title, "Carried");
    plasma_settings.resolution = 11;  // 640 x 480 x 16

    Full_Screen_Step step = FULL_SCREEN_SETUP;
    ASSERT_EQ(Enter_Full_Screen(&step), 1);
    EXPECT_EQ(step, FULL_SCREEN_DONE);
    EXPECT_EQ(Platform_Window_Kind(app.main_window), WINDOW_POPUP);
    EXPECT_EQ(app.display_mode, DISPLAY_FULL_SCREEN);
    // The configuration's backup made the preset the default, so its own
    // resolution is the one set up.
    EXPECT_EQ(app.screen_bpp, 16);
    EXPECT_EQ(app.client_width, 640);
    EXPECT_EQ(Hidden->width, 640);
    EXPECT_STREQ(plasma_settings.title, "Carried");
    EXPECT_FALSE(Platform_Cursor_Visible());

    // Space in full screen brings the window back at the desktop's mode.
    Key(VK_SPACE);
    EXPECT_FALSE(Destroy_Posted());
    EXPECT_EQ(Platform_Window_Kind(app.main_window), WINDOW_OVERLAPPED);
    EXPECT_EQ(app.display_mode, DISPLAY_WINDOWED);
    EXPECT_EQ(app.screen_width, app.system_width);
    EXPECT_EQ(app.screen_bpp, app.system_bpp);
    EXPECT_EQ(app.client_width, window_width);
    EXPECT_EQ(Hidden->width, app.system_width);
    EXPECT_STREQ(plasma_settings.title, "Carried");
    EXPECT_TRUE(Platform_Cursor_Visible());

    // Return does the same, and so does losing the focus.
    ASSERT_EQ(Enter_Full_Screen(&step), 1);
    Key(VK_RETURN);
    EXPECT_EQ(app.display_mode, DISPLAY_WINDOWED);
    ASSERT_EQ(Enter_Full_Screen(&step), 1);
    Main_Window_Procedure(app.main_window, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(app.display_mode, DISPLAY_WINDOWED);
    EXPECT_EQ(Platform_Window_Kind(app.main_window), WINDOW_OVERLAPPED);

    // An invalid resolution changes nothing.
    plasma_settings.resolution = 20;
    EXPECT_EQ(Enter_Full_Screen(&step), 0);
    EXPECT_EQ(step, FULL_SCREEN_DECODE);
    EXPECT_EQ(app.display_mode, DISPLAY_WINDOWED);
    EXPECT_NE(Hidden, nullptr);
}

TEST_F(LifecycleTest, AFailedReturnToTheWindowEndsTheProgram) {
    Open_Configuration_Window();
    plasma_settings.resolution = 1;
    Full_Screen_Step step = FULL_SCREEN_DONE;
    ASSERT_EQ(Enter_Full_Screen(&step), 1);
    dd_faults.create_device = DDERR_GENERIC;
    Key(VK_RETURN);
    EXPECT_NE(Log_Position("VK_SPACE/VK_RETURN: Setup FAILED"), -1);
    EXPECT_TRUE(Destroy_Posted());
}

TEST_F(LifecycleTest, ARandomPresetWithAnotherResolutionRebuildsTheFullScreenDisplay) {
    Open_Configuration_Window();
    random_presets_change_mode = true;
    std::strcpy(plasma_settings.title, "Other");
    plasma_settings.resolution = 5;  // 320 x 240 x 24
    Save_Preset("Other.dat");
    Set_Default_Plasma_Settings();
    plasma_settings.resolution = 1;
    Full_Screen_Step step = FULL_SCREEN_DONE;
    ASSERT_EQ(Enter_Full_Screen(&step), 1);
    ASSERT_EQ(std::remove((folder + "/default.dat").c_str()), 0);

    Key(VK_ADD);
    EXPECT_STREQ(plasma_settings.title, "Other");
    EXPECT_EQ(app.display_mode, DISPLAY_FULL_SCREEN);
    EXPECT_EQ(Platform_Window_Kind(app.main_window), WINDOW_POPUP);
    ASSERT_NE(Hidden, nullptr);
    EXPECT_EQ(Hidden->width, app.screen_width);
    EXPECT_EQ(app.client_width, app.screen_width);
    EXPECT_FALSE(Destroy_Posted());
}

TEST_F(LifecycleTest, ARandomPresetKeepsItsOwnModeWhileTheDefaultAsksForAnother) {
    // The running saver never rewrites default.dat, so a rebuild for a random
    // preset must not fall back to the default's mode.
    Open_Configuration_Window();
    random_presets_change_mode = true;
    std::strcpy(plasma_settings.title, "Other");
    plasma_settings.resolution = 5;  // 320 x 240 x 24
    Save_Preset("Other.dat");
    Default_Resolution(1);  // 640 x 480 x 32
    Set_Default_Plasma_Settings();
    plasma_settings.resolution = 1;
    Full_Screen_Step step = FULL_SCREEN_DONE;
    ASSERT_EQ(Enter_Full_Screen(&step), 1);
    app.saver_mode = SAVER;

    // Picks alternate between the two files: at most two show "Other".
    Key(VK_ADD);
    if (std::strcmp(plasma_settings.title, "Other") != 0) Key(VK_ADD);
    ASSERT_STREQ(plasma_settings.title, "Other");
    EXPECT_EQ(app.screen_width, 320);
    EXPECT_EQ(app.screen_height, 240);
    EXPECT_EQ(app.screen_bpp, 24);
    ASSERT_NE(Hidden, nullptr);
    EXPECT_EQ(Hidden->bits_per_pixel, 24);
    EXPECT_EQ(Hidden->width, 320);
}
