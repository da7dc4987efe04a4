// The window procedure: the key table, sizing, activation, the saver's
// ending on input, and the destroy handler's order.
#include "shell_fixture.h"

#include "kaleidoscope/kaleidoscope.h"
#include "preset/preset_setter.h"
#include "preset/random_preset_timer.h"

namespace {

class ProcedureTest : public ShellTest {
protected:
    // A mode's display set up and the built-in preset shown.
    void Start(int mode, int depth = 32) {
        Prepare(mode, 64, 48, depth);
        Open_Log();
        ASSERT_EQ(::Setup(), 1);
        ASSERT_EQ(Refresh_Plasma(), 1);
    }

    int Queued_Quit_Code() {
        Posted_Message message;
        while (Platform_Peek_Message(&message, true)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wparam);
        }
        return -1;
    }
};

}  // namespace

TEST_F(ProcedureTest, EscapeEndsEveryModeButThePreview) {
    for (int mode : {CONFIGURE, MODE_NONE, SAVER}) {
        Prepare(mode);
        EXPECT_EQ(Key(VK_ESCAPE), 0);
        EXPECT_TRUE(Destroy_Posted()) << mode;
    }
    Prepare(PREVIEW);
    Key(VK_ESCAPE);
    Key('A');
    EXPECT_FALSE(Destroy_Posted());
}

TEST_F(ProcedureTest, InTheSaverKeysWithACommandKeepItRunningAndOthersEndIt) {
    Start(SAVER);
    for (unsigned key : {unsigned('1'), unsigned('3'), unsigned('4'), unsigned('5'), unsigned('T'), VK_F5}) {
        Key(key);
        EXPECT_FALSE(Destroy_Posted()) << key;
    }
    EXPECT_TRUE(app.show_fps);
    for (unsigned key : {unsigned('A'), VK_UNMAPPED, VK_SHIFT, VK_SPACE, VK_RETURN}) {
        Key(key);
        EXPECT_TRUE(Destroy_Posted()) << key;
    }
    for (unsigned message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_KILLFOCUS}) {
        Main_Window_Procedure(&window, message, 0, 0);
        EXPECT_TRUE(Destroy_Posted()) << message;
    }
    // The system asking for a saver while this one runs changes nothing.
    EXPECT_EQ(Main_Window_Procedure(&window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_FALSE(Destroy_Posted());
}

TEST_F(ProcedureTest, InTheWindowOnlyEscapeAndCloseEnd) {
    Start(CONFIGURE);
    for (unsigned key : {unsigned('A'), VK_SPACE, VK_RETURN, VK_UNMAPPED}) Key(key);
    for (unsigned message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_KILLFOCUS}) {
        Main_Window_Procedure(&window, message, 0, 0);
    }
    EXPECT_FALSE(Destroy_Posted());
    EXPECT_EQ(app.display_mode, DISPLAY_WINDOWED);
    Main_Window_Procedure(&window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Destroy_Posted());
}

TEST_F(ProcedureTest, TheKeysChangeThePresetAndTheMenuFollows) {
    Start(CONFIGURE);
    Key('1');
    EXPECT_TRUE(app.show_fps);
    EXPECT_TRUE(Find_Menu_Item(MENU_VIEW_FPS)->checked);
    Key('2');
    EXPECT_FALSE(app.show_fps);
    EXPECT_FALSE(Find_Menu_Item(MENU_VIEW_FPS)->checked);

    // 6, 7, 8: asymmetric, bipolar and four-fold; the plasma shrinks to be folded.
    plasma_settings.slides_on = 1;
    Key('7');
    EXPECT_EQ(plasma_settings.symmetry, 1);
    EXPECT_EQ(plasma_settings.slides_on, 0);
    EXPECT_EQ(plasma_settings.plasma_width, 32);
    EXPECT_EQ(plasma_settings.plasma_height, 48);
    EXPECT_TRUE(Find_Menu_Item(MENU_SYMMETRY_BIPOLAR)->checked);
    Key('8');
    EXPECT_EQ(plasma_settings.symmetry, 2);
    EXPECT_EQ(plasma_settings.plasma_height, 24);
    Key('6');
    EXPECT_EQ(plasma_settings.symmetry, 0);
    EXPECT_EQ(plasma_settings.plasma_width, 64);
    EXPECT_TRUE(Find_Menu_Item(MENU_SYMMETRY_ASYMMETRIC)->checked);

    // 9 sets the kaleidoscope up over an asymmetric plasma sized to its tile;
    // 0 takes it down and gives the plasma the whole window back. Each does
    // nothing when the kaleidoscope already is as it asks.
    Key('0');
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 0);
    EXPECT_EQ(plasma_settings.plasma_width, 64);
    plasma_settings.symmetry = 3;
    Key('9');
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 1);
    EXPECT_EQ(kaleidoscope_active, 1);
    EXPECT_EQ(plasma_settings.symmetry, 0);
    // The smallest tile is wider than this small window: the plasma stays within the screen.
    EXPECT_EQ(segment_width, 80);
    EXPECT_EQ(plasma_settings.plasma_width, 64);
    EXPECT_EQ(Run_Calvorine(), 1);  // and the frame shows what fits
    EXPECT_TRUE(Find_Menu_Item(MENU_SCOPE_ON)->checked);
    plasma_settings.symmetry = 2;
    Key('9');
    EXPECT_EQ(plasma_settings.symmetry, 2);
    plasma_settings.symmetry = 0;
    Key('0');
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 0);
    EXPECT_EQ(kaleidoscope_active, 0);
    EXPECT_EQ(plasma_settings.plasma_width, 64);
    EXPECT_EQ(plasma_settings.plasma_height, 48);
    EXPECT_FALSE(Find_Menu_Item(MENU_SCOPE_ON)->checked);
    EXPECT_EQ(Log_Position("Modify_Plasma(): Setup_Kaleidoscope FAILED"), -1);
}

TEST_F(ProcedureTest, RStartsRandomPresetsEveryMinute) {
    Start(CONFIGURE);
    frame_seconds = 0.25;
    for (unsigned key : {unsigned('R'), VK_F3}) {
        random_preset_seconds = 0;
        transition_step = 10;
        random_preset_countdown = 3.0;
        Key(key);
        EXPECT_EQ(random_preset_seconds, 60);
        EXPECT_EQ(transition_step, 4);
        EXPECT_DOUBLE_EQ(random_preset_countdown, 59.75);
    }
}

TEST_F(ProcedureTest, KeypadPlusShowsARandomPreset) {
    Start(CONFIGURE);
    std::strcpy(plasma_settings.title, "Elsewhere");
    Save_Preset("Elsewhere.dat");
    Set_Default_Plasma_Settings();
    std::strcpy(plasma_settings.title, "Here");
    Key(VK_ADD);
    EXPECT_STREQ(plasma_settings.title, "Elsewhere");
    EXPECT_NE(plasma_field_0.ring_table, nullptr);
}

TEST_F(ProcedureTest, TheEffectsFollowTheWindowOnceItsSizeSettles) {
    Start(CONFIGURE);
    Main_Window_Procedure(&window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(64, 48));
    window.client_width = 40;
    window.client_height = 30;
    // A drag in progress, as the window layer reports it: one restored size
    // after another. The effects wait for its end.
    window.client_width = 52;
    Main_Window_Procedure(&window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(52, 30));
    EXPECT_EQ(plasma_settings.plasma_width, 64);
    window.client_width = 40;
    Main_Window_Procedure(&window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(40, 30));
    EXPECT_EQ(plasma_settings.plasma_width, 64);
    EXPECT_EQ(plasma_field_0.table_width, 64);
    Main_Window_Procedure(&window, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(app.client_width, 40);
    EXPECT_EQ(plasma_settings.plasma_width, 40);
    EXPECT_EQ(plasma_settings.plasma_height, 28);
    EXPECT_EQ(plasma_field_0.table_width, 40);

    // The same size again rebuilds nothing.
    plasma_settings.plasma_width = 12;
    Main_Window_Procedure(&window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(40, 30));
    Main_Window_Procedure(&window, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(plasma_settings.plasma_width, 12);

    // Maximising, and restoring after it, take effect at once.
    window.client_width = 60;
    Main_Window_Procedure(&window, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(60, 30));
    EXPECT_EQ(plasma_settings.plasma_width, 60);
    window.client_width = 48;
    Main_Window_Procedure(&window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(48, 30));
    EXPECT_EQ(plasma_settings.plasma_width, 48);
}

TEST_F(ProcedureTest, ActivationSwitchesTheFramesExceptInThePreview) {
    Prepare(CONFIGURE);
    Main_Window_Procedure(&window, WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(app.running);
    Main_Window_Procedure(&window, WM_ACTIVATEAPP, 1, 0);
    EXPECT_TRUE(app.running);
    app.saver_mode = PREVIEW;
    Main_Window_Procedure(&window, WM_ACTIVATEAPP, 0, 0);
    EXPECT_TRUE(app.running);
}

TEST_F(ProcedureTest, TheWindowKeepsRoomForTheMenuAndAPicture) {
    MINMAXINFO info{};
    Main_Window_Procedure(&window, WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info));
    EXPECT_EQ(info.min_track_size.x, 2 * 4 + 200);
    EXPECT_EQ(info.min_track_size.y, 2 * 4 + 19 + 19 + 256);
}

TEST_F(ProcedureTest, TheConfigurationEndsByKeepingThePresetThenReleasingThenClosingTheLog) {
    Start(CONFIGURE);
    ASSERT_TRUE(Platform_Claim_Saver_Running());
    std::strcpy(plasma_settings.title, "Kept");
    Main_Window_Procedure(&window, WM_DESTROY, 0, 0);

    EXPECT_TRUE(app.shutdown_done);
    EXPECT_FALSE(Platform_Saver_Running());
    EXPECT_EQ(DD_Live_Surface_Count(), 0);
    EXPECT_EQ(app.error_log_file, nullptr);
    EXPECT_EQ(Queued_Quit_Code(), 0);
    ASSERT_EQ(File_Size(folder + "/default.dat"), static_cast<long>(sizeof(PlasmaSettings)));
    Set_Default_Plasma_Settings();
    ASSERT_EQ(Load_Plasma_Settings((folder + "/default.dat").c_str()), 1);
    EXPECT_STREQ(plasma_settings.title, "Kept");
    EXPECT_EQ(Log_Lines().back(), "Exitting Shutdown");

    // The handler runs once: nothing more is reported or posted.
    Main_Window_Procedure(&window, WM_DESTROY, 0, 0);
    Key('1');
    EXPECT_EQ(Queued_Quit_Code(), -1);
    EXPECT_FALSE(app.show_fps);
}

TEST_F(ProcedureTest, AFailedSaveOfTheDefaultIsLoggedBeforeTheShutDown) {
    Start(CONFIGURE);
    ASSERT_EQ(std::system(("mkdir '" + folder + "/default.dat'").c_str()), 0);
    Main_Window_Procedure(&window, WM_DESTROY, 0, 0);
    int failed = Log_Position("Unable to write file " + folder + "/default.dat");
    ASSERT_NE(failed, -1);
    EXPECT_LT(failed, Log_Position("Entering Shutdown"));
    EXPECT_EQ(Queued_Quit_Code(), 0);
}

TEST_F(ProcedureTest, TheSaverAsksForThePasswordFirstAndKeepsNoDefault) {
    Platform_Inject_Version(VERSION_98);
    Start(SAVER);
    Main_Window_Procedure(&window, WM_DESTROY, 0, 0);
    int asked = Log_Position("Unable to load PASSWORD.CPL. Aborting");
    ASSERT_NE(asked, -1);
    EXPECT_LT(asked, Log_Position("Entering Shutdown"));
    EXPECT_EQ(File_Size(folder + "/default.dat"), -1);
    EXPECT_EQ(Queued_Quit_Code(), 0);
}
