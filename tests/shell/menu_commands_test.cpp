// The menu's command table: each command's effect on the preset, the
// effects and the check marks, and the preset file dialogs behind Open,
// Save and Save As.
#include "shell_fixture.h"

#include <functional>

#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "preset/preset_setter.h"
#include "preset/window_caption.h"
#include "slides/colour_slides.h"

namespace {

class MenuCommandTest : public ShellTest {
protected:
    void Start(int depth = 32) {
        Prepare(CONFIGURE, 64, 48, depth);
        Open_Log();
        ASSERT_EQ(::Setup(), 1);
        ASSERT_EQ(Refresh_Plasma(), 1);
    }

    // The command as the window receives it from the menu bar.
    intptr_t Command(uintptr_t id) { return Main_Window_Procedure(&window, WM_COMMAND, id, 0); }
    bool Checked(int id) { return Find_Menu_Item(id)->checked; }
    bool Grey(int id) { return Find_Menu_Item(id)->grey; }
};

}  // namespace

// The switches: each command turns its setting over and back, and the
// item's check mark follows at once.
TEST_F(MenuCommandTest, EachSwitchTurnsItsSettingOverAndItsCheckFollows) {
    Start();
    struct Row {
        int id;
        std::function<bool()> on;
    };
    const Row rows[] = {
        {MENU_VIEW_VSYNC, [] { return app.vsync && plasma_settings.vsync_setting == 1; }},
        {MENU_VIEW_FPS, [] { return app.show_fps; }},
        {MENU_VIEW_PREVIEW_ACTIVE, [] { return plasma_settings.preview_active != 0; }},
        {MENU_VIEW_TITLES, [] { return plasma_settings.titles_on != 0; }},
        {MENU_SCOPE_STRETCH, [] { return plasma_settings.kaleidoscope_stretch != 0; }},
        {MENU_PLASMA_BRIGHTEN, [] { return plasma_settings.brighten != 0; }},
        {MENU_PLASMA_MULTI_COLOUR, [] { return plasma_settings.multi_colour != 0; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        const bool before = row.on();
        EXPECT_EQ(Command(row.id), 0);
        EXPECT_NE(row.on(), before);
        EXPECT_EQ(Checked(row.id), row.on());
        EXPECT_EQ(Command(row.id), 0);
        EXPECT_EQ(row.on(), before);
        EXPECT_EQ(Checked(row.id), before);
    }
    // Multi-colour off takes the dialogs' colours from the preset again.
    plasma_settings.multi_colour = 1;
    plasma_settings.colour_red = 9;
    Command(MENU_PLASMA_MULTI_COLOUR);
    EXPECT_EQ(plasma_settings.multi_colour, 0);
    EXPECT_EQ(dialog_values.red, 9);
}

TEST_F(MenuCommandTest, TheChoiceItemsSetTheirFieldAndCheckOnlyTheChosenOne) {
    Start();
    struct Row {
        int id;
        std::function<bool()> chosen;
        int first, last;  // the items of the same choice
    };
    const Row rows[] = {
        {MENU_BLEND_HUE, [] { return plasma_settings.blend_mode == 1; }, MENU_BLEND_HUE, MENU_BLEND_OFF},
        {MENU_BLEND_LIGHT, [] { return plasma_settings.blend_mode == 2; }, MENU_BLEND_HUE, MENU_BLEND_OFF},
        {MENU_BLEND_OFF, [] { return plasma_settings.blend_mode == 0; }, MENU_BLEND_HUE, MENU_BLEND_OFF},
        {MENU_SYMMETRY_EIGHT_FOLD, [] { return plasma_settings.symmetry == 3; }, MENU_SYMMETRY_ASYMMETRIC,
         MENU_SYMMETRY_EIGHT_FOLD},
        {MENU_SYMMETRY_BIPOLAR, [] { return plasma_settings.symmetry == 1 && plasma_settings.plasma_width == 32; },
         MENU_SYMMETRY_ASYMMETRIC, MENU_SYMMETRY_EIGHT_FOLD},
        {MENU_SYMMETRY_ASYMMETRIC, [] { return plasma_settings.symmetry == 0 && plasma_settings.plasma_width == 64; },
         MENU_SYMMETRY_ASYMMETRIC, MENU_SYMMETRY_EIGHT_FOLD},
        {MENU_VIEW_SCOPE_DIAMOND, [] { return scope_active && plasma_settings.overlay_shape == 2; },
         MENU_VIEW_SCOPE_CIRCLE, MENU_VIEW_SCOPE_OFF},
        {MENU_VIEW_SCOPE_CIRCLE, [] { return scope_active && plasma_settings.overlay_shape == 0; },
         MENU_VIEW_SCOPE_CIRCLE, MENU_VIEW_SCOPE_OFF},
        {MENU_VIEW_SCOPE_OFF, [] { return !scope_active && !plasma_settings.overlay_on; }, MENU_VIEW_SCOPE_CIRCLE,
         MENU_VIEW_SCOPE_OFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(Command(row.id), 0);
        EXPECT_TRUE(row.chosen());
        for (int id = row.first; id <= row.last; id++) {
            if (Find_Menu_Item(id)) {
                EXPECT_EQ(Checked(id), id == row.id) << id;
            }
        }
    }
    EXPECT_EQ(Log_Position("MENU_VIEW_SCOPE_OFF: Setup Scope FAILED"), -1);
}

TEST_F(MenuCommandTest, TheSymmetryTakesTheSlidesAndTheKaleidoscopeDownFirst) {
    Start();
    Command(MENU_SCOPE_ON);
    Command(MENU_SCOPE_SLIDES_ON);
    ASSERT_EQ(slides_active, 1);
    Command(MENU_SYMMETRY_FOUR_FOLD);
    EXPECT_EQ(plasma_settings.slides_on, 0);
    EXPECT_EQ(plasma_settings.kaleidoscope_on, 0);
    EXPECT_EQ(kaleidoscope_active, 0);
    EXPECT_EQ(plasma_settings.symmetry, 2);
    EXPECT_FALSE(Checked(MENU_SCOPE_ON));
    EXPECT_TRUE(Grey(MENU_SCOPE_SLIDES_ON));
}

TEST_F(MenuCommandTest, TheKaleidoscopeComesAndGoesWithTheSlidesAndTheOverlayFollowing) {
    Start();
    plasma_settings.symmetry = 3;
    Command(MENU_VIEW_SCOPE_ELLIPSE);
    ASSERT_EQ(scope_active, 1);
    Command(MENU_SCOPE_ON);
    EXPECT_EQ(kaleidoscope_active, 1);
    EXPECT_EQ(plasma_settings.symmetry, 0);
    EXPECT_TRUE(Checked(MENU_SCOPE_ON));
    EXPECT_FALSE(Grey(MENU_SCOPE_SLIDES_ON));
    EXPECT_TRUE(Grey(MENU_SCOPE_SLIDES_SPEED));
    EXPECT_EQ(scope_active, 1);
    EXPECT_EQ(plasma_settings.overlay_shape, 1);

    // Slides on: they start from the dialogs' start values.
    dialog_values.contrast = 33;
    Command(MENU_SCOPE_SLIDES_ON);
    EXPECT_EQ(slides_active, 1);
    EXPECT_TRUE(Checked(MENU_SCOPE_SLIDES_ON));
    EXPECT_FALSE(Grey(MENU_SCOPE_SLIDES_SPEED));
    EXPECT_FALSE(Grey(MENU_SCOPE_SLIDES_OBJECTS_SELECT));
    EXPECT_EQ(dialog_values.contrast, plasma_settings.contrast);
    EXPECT_EQ(Run_Calvorine(), 1);

    // Kaleidoscope off takes the slides with it and gives the plasma the window.
    Command(MENU_SCOPE_ON);
    EXPECT_EQ(kaleidoscope_active, 0);
    EXPECT_EQ(slides_active, 0);
    EXPECT_EQ(plasma_settings.plasma_width, 64);
    EXPECT_EQ(plasma_settings.plasma_height, 48);
    EXPECT_TRUE(Grey(MENU_SCOPE_SLIDES_ON));
    EXPECT_EQ(scope_active, 1);
    EXPECT_EQ(Run_Calvorine(), 1);
    EXPECT_EQ(Log_Position("MENU_SCOPE_GRANULARITY: Setup Scope FAILED"), -1);
}

TEST_F(MenuCommandTest, TheDefaultsRestoreTheBuiltInPresetAndTheDialogValues) {
    Start();
    plasma_settings.contrast = 50;
    plasma_settings.blend_mode = 2;
    dialog_values.red = 3;
    Command(MENU_PLASMA_DEFAULT);
    PlasmaSettings defaults = plasma_settings;
    Set_Default_Plasma_Settings();
    EXPECT_EQ(plasma_settings.contrast, defaults.contrast);
    EXPECT_EQ(defaults.blend_mode, plasma_settings.blend_mode);
    EXPECT_EQ(dialog_values.red, defaults.colour_red);
    EXPECT_TRUE(Checked(MENU_BLEND_OFF) == (defaults.blend_mode == 0));

    // The slides' default switches the slides on over the built-in preset.
    Command(MENU_SCOPE_ON);
    Command(MENU_SCOPE_SLIDES_DEFAULT);
    EXPECT_EQ(plasma_settings.slides_on, 1);
    EXPECT_TRUE(Checked(MENU_SCOPE_SLIDES_ON));
}

TEST_F(MenuCommandTest, ExitAndCompactObjectsEndTheProgramTheLatterAfterItsMessage) {
    Start();
    EXPECT_EQ(Command(MENU_PRESETS_EXIT), 0);
    EXPECT_TRUE(Destroy_Posted());

    platform_message_box_hook = [](Window*, const char* text, const char*, unsigned) {
        EXPECT_NE(std::string(text).find("Calvorine will now exit."), std::string::npos);
        return 1;
    };
    Command(MENU_SCOPE_SLIDES_COMPACT);
    platform_message_box_hook = nullptr;
    EXPECT_TRUE(Destroy_Posted());
    EXPECT_EQ(Log_Position("MENU_SCOPE_SLIDES_COMPACT: Compact_All_Objects() FAILED"), -1);
}

TEST_F(MenuCommandTest, TheRunningSaverIgnoresTheSystemsSaverCommandAndUnknownIdsGoToTheSystem) {
    Prepare(SAVER);
    EXPECT_EQ(Menu_Command(SC_SCREENSAVE), 1);
    Prepare(CONFIGURE);
    EXPECT_EQ(Menu_Command(SC_SCREENSAVE), 0);
    EXPECT_EQ(Menu_Command(40000), 0);
}

TEST_F(MenuCommandTest, FullScreenFromTheMenuAndBackByKey) {
    Start();
    plasma_settings.resolution = 11;  // 640 x 480 x 16
    Command(MENU_VIEW_FULLSCREEN);
    EXPECT_EQ(app.display_mode, DISPLAY_FULL_SCREEN);
    EXPECT_EQ(app.screen_width, 640);
    EXPECT_EQ(app.screen_bpp, 16);
    Key(VK_SPACE);
    EXPECT_EQ(app.display_mode, DISPLAY_WINDOWED);
    EXPECT_EQ(app.screen_width, 64);

    plasma_settings.resolution = 20;
    Command(MENU_VIEW_FULLSCREEN);
    EXPECT_EQ(app.display_mode, DISPLAY_WINDOWED);
    EXPECT_GE(Log_Position("MENU_VIEW_FULLSCREEN: Decode_Resolution FAILED"), 0);
    EXPECT_FALSE(Destroy_Posted());
}

// ---------------------------------------------------------------------------
// Presets: the file dialogs.

TEST_F(MenuCommandTest, SaveAsAsksForANameInTheDataFolderAndCaptionsTheWindow) {
    Start();
    platform_file_dialog_answer = folder + "/Mine";
    Command(MENU_PRESETS_SAVE_AS);
    ASSERT_EQ(platform_file_dialog_requests.size(), 1u);
    const File_Dialog_Request& request = platform_file_dialog_requests[0];
    EXPECT_TRUE(request.save);
    EXPECT_TRUE(request.overwrite_prompt);
    EXPECT_EQ(request.initial_folder, folder + "/");
    ASSERT_EQ(request.filter_count, 4);
    EXPECT_STREQ(request.filters[0].description, "Data Files (*.DAT)");
    EXPECT_STREQ(request.filters[1].description, "ASCII Files (*.ASC)");
    EXPECT_STREQ(request.filters[2].pattern, "*.bmp");
    EXPECT_STREQ(request.filters[3].description, "All Files (*.*)");
    EXPECT_EQ(request.filter_index, 1);
    EXPECT_EQ(request.default_extension, "dat");
    // The typed name gets the filter's extension.
    EXPECT_EQ(File_Size(folder + "/Mine.dat"), 10136);
    EXPECT_STREQ(current_file, (folder + "/Mine.dat").c_str());
    EXPECT_NE(std::string(window_caption).find("Mine"), std::string::npos);

    // Save then writes there without asking.
    plasma_settings.contrast = 17;
    Command(MENU_PRESETS_SAVE);
    EXPECT_EQ(platform_file_dialog_requests.size(), 1u);
    plasma_settings.contrast = 5;
    ASSERT_EQ(Load_Plasma_Settings((folder + "/Mine.dat").c_str()), 1);
    EXPECT_EQ(plasma_settings.contrast, 17);
}

TEST_F(MenuCommandTest, SaveWithoutAFileOrWhereItCannotWriteActsAsSaveAs) {
    Start();
    // No file yet, and the dialog cancelled: nothing is written, nothing reported.
    Command(MENU_PRESETS_SAVE);
    ASSERT_EQ(platform_file_dialog_requests.size(), 1u);
    EXPECT_TRUE(platform_file_dialog_requests[0].save);
    EXPECT_STREQ(current_file, "");

    // The last file's folder has gone: the failure is reported, then Save As.
    std::snprintf(current_file, sizeof current_file, "%s/gone/old.dat", folder.c_str());
    platform_file_dialog_answer = folder + "/new.dat";
    Command(MENU_PRESETS_SAVE);
    EXPECT_GE(Log_Position("Unable to write file " + folder + "/gone/old.dat"), 0);
    ASSERT_EQ(platform_file_dialog_requests.size(), 2u);
    EXPECT_EQ(platform_file_dialog_requests[1].initial_name, "old.dat");
    EXPECT_EQ(File_Size(folder + "/new.dat"), 10136);
    EXPECT_STREQ(current_file, (folder + "/new.dat").c_str());

    // Save As into a folder that does not exist reports and keeps the caption.
    const std::string caption = window_caption;
    platform_file_dialog_answer = folder + "/gone/other.dat";
    Command(MENU_PRESETS_SAVE_AS);
    EXPECT_GE(Log_Position("Unable to write file " + folder + "/gone/other.dat"), 0);
    EXPECT_EQ(std::string(window_caption), caption);
}

TEST_F(MenuCommandTest, OpenLoadsAndAppliesThePresetOrReportsAndKeepsTheCurrentOne) {
    Start();
    plasma_settings.contrast = 21;
    plasma_settings.blend_mode = 2;
    plasma_settings.colour_green = 44;
    Save_Preset("Green.dat");
    Set_Default_Plasma_Settings();
    Refresh_Plasma();

    platform_file_dialog_answer = folder + "/Green.dat";
    Command(MENU_PRESETS_OPEN);
    ASSERT_EQ(platform_file_dialog_requests.size(), 1u);
    EXPECT_FALSE(platform_file_dialog_requests[0].save);
    EXPECT_TRUE(platform_file_dialog_requests[0].hide_read_only);
    EXPECT_EQ(platform_file_dialog_requests[0].initial_folder, folder + "/");
    EXPECT_EQ(plasma_settings.contrast, 21);
    EXPECT_TRUE(Checked(MENU_BLEND_LIGHT));
    EXPECT_EQ(dialog_values.green, 44);
    EXPECT_EQ(dialog_values.contrast, 21);
    EXPECT_NE(std::string(window_caption).find("Green"), std::string::npos);

    // A short file is refused whole.
    FILE* file = fopen((folder + "/Short.dat").c_str(), "wb");
    fputs("short", file);
    fclose(file);
    platform_file_dialog_answer = folder + "/Short.dat";
    Command(MENU_PRESETS_OPEN);
    EXPECT_GE(Log_Position("Unable to read file " + folder + "/Short.dat"), 0);
    EXPECT_EQ(plasma_settings.contrast, 21);

    // Cancelled: nothing at all.
    platform_file_dialog_answer.clear();
    Command(MENU_PRESETS_OPEN);
    EXPECT_EQ(plasma_settings.contrast, 21);
}

TEST_F(MenuCommandTest, ARandomColourChangeReachesTheMenuAndTheDialogValues) {
    Start();
    plasma_settings.random_colour_interval = 0.5;
    bool saw_brighten_on = false, saw_brighten_off = false;
    for (int frame = 0; frame < 16; frame++) {
        random_colour_countdown = -1.0;  // the change is due in this frame
        ASSERT_EQ(Run_Calvorine(), 1);
        EXPECT_FALSE(random_colour_changed);
        EXPECT_EQ(Checked(MENU_PLASMA_BRIGHTEN), plasma_settings.brighten != 0);
        EXPECT_EQ(dialog_values.red, plasma_settings.colour_red);
        EXPECT_EQ(dialog_values.green, plasma_settings.colour_green);
        EXPECT_EQ(dialog_values.blue, plasma_settings.colour_blue);
        (plasma_settings.brighten ? saw_brighten_on : saw_brighten_off) = true;
    }
    EXPECT_TRUE(saw_brighten_on && saw_brighten_off);
}

TEST_F(MenuCommandTest, OpenAndSaveAsNameThePresetAndTheCaptionAfterTheFileAlone) {
    Start();
    Save_Preset("Green.dat");
    const struct {
        int command;
        std::string answer;
        const char* name;
    } cases[] = {
        {MENU_PRESETS_OPEN, folder + "/Green.dat", "Green"},
        {MENU_PRESETS_SAVE_AS, folder + "/My Sunset.v2.DAT", "My Sunset"},
        {MENU_PRESETS_SAVE_AS, folder + "/Plain", "Plain"},
        {MENU_PRESETS_OPEN, folder + "/Plain.dat", "Plain"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.answer);
        platform_file_dialog_answer = each.answer;
        Command(each.command);
        EXPECT_EQ(std::string(window_caption), std::string(" Calvorine:   ") + each.name);
        EXPECT_STREQ(plasma_settings.title, each.name);
    }
}
