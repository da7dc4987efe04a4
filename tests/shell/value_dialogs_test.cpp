// The list, multi-value and live dialogs driven by their messages.
#include "shell_fixture.h"

#include "preset/preset_setter.h"
#include "resources/dialog_templates.h"
#include "shell/value_dialogs.h"
#include "slides/sine_waves.h"

namespace {

class ValueDialogTest : public ShellTest {
protected:
    void Start() {
        Prepare(CONFIGURE, 64, 48);
        Open_Log();
        ASSERT_EQ(::Setup(), 1);
        ASSERT_EQ(Refresh_Plasma(), 1);
    }
    static Control_Dialog Open(const Control_Dialog_Template& dialog_template, Control_Dialog_Procedure procedure) {
        Control_Dialog dialog = Platform_Make_Control_Dialog(dialog_template, procedure);
        Platform_Send_Dialog_Message(&dialog, WM_INITDIALOG, 0, 0);
        return dialog;
    }
    static void Scroll(Control_Dialog* dialog, int id, int code, int thumb = 0) {
        Platform_Send_Dialog_Message(dialog, WM_HSCROLL, static_cast<uintptr_t>(code | (thumb << 16)), id);
    }
    static void Press(Control_Dialog* dialog, int id) { Platform_Send_Dialog_Message(dialog, WM_COMMAND, id, 0); }
};

}  // namespace

// Every bar of the multi-value dialogs: its range under every scroll code,
// what OK stores from a thumb position, and that Cancel stores nothing.
TEST_F(ValueDialogTest, EachBarKeepsItsRangeAndOkStoresItWhereCancelDoesNot) {
    Start();
    struct Row {
        const Control_Dialog_Template* dialog_template;
        Control_Dialog_Procedure procedure;
        int scroll_id, minimum, maximum;
        int32_t* field;
        int stored_from_10;  // what OK leaves in the field with the bar at 10
    };
    PlasmaSettings& s = plasma_settings;
    const Row rows[] = {
        {&ZONEBOX, Zone_Dialog_Procedure, ZONE_FREQUENCY_SCROLL, 0, 50, &s.zone_frequency, 40},
        {&ZONEBOX, Zone_Dialog_Procedure, ZONE_DURATION_SCROLL, 0, 50, &s.zone_duration, 10},
        {&FADEBOX, Fade_Dialog_Procedure, FADE_LIGHT_SCROLL, 0, 255, &s.fade_light, 10},
        {&FADEBOX, Fade_Dialog_Procedure, FADE_HUE_SCROLL, 0, 255, &s.fade_hue, 10},
        {&FADEBOX, Fade_Dialog_Procedure, FADE_SATURATION_SCROLL, 0, 255, &s.fade_saturation, 10},
        {&JOURNEYBOX, Journey_Dialog_Procedure, JOURNEY_INTERVAL_SCROLL, 0, 500, &s.random_preset_interval, 10},
        {&JOURNEYBOX, Journey_Dialog_Procedure, JOURNEY_TRANSITION_SCROLL, 1, 800, &s.transition_speed, 10},
        {&DIRECTIONBOX, Direction_Dialog_Procedure, DIRECTION_SCROLL, 1, 1000, &s.direction_change_frequency, 10},
        {&BACKGROUNDBOX, Background_Dialog_Procedure, BACKGROUND_SCROLL, 64, 200, &s.background_brightness, 64},
        {&SINEWAVEBOX, Sine_Wave_Dialog_Procedure, SINE_PIXELS_SCROLL, 1, 256, &s.sine_pixels_per_frame, 10},
        {&SINEWAVEBOX, Sine_Wave_Dialog_Procedure, SINE_AMPLITUDE_SCROLL, 0, 500, &s.sine_amplitude, 10},
        {&SINEWAVEBOX, Sine_Wave_Dialog_Procedure, SINE_VARIANCE_SCROLL, 1, 100, &s.sine_variance, 10},
        {&SINEWAVEBOX, Sine_Wave_Dialog_Procedure, SINE_BAND_WIDTH_SCROLL, 1, 256, &s.sine_band_width, 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.dialog_template->name) + " " + std::to_string(row.scroll_id));
        Control_Dialog dialog = Open(*row.dialog_template, row.procedure);
        for (int code : {SB_LEFT, SB_LINELEFT, SB_PAGELEFT}) {
            Scroll(&dialog, row.scroll_id, code);
            EXPECT_EQ(Platform_Get_Scroll_Pos(&dialog, row.scroll_id), row.minimum);
        }
        for (int code : {SB_RIGHT, SB_LINERIGHT, SB_PAGERIGHT}) {
            Scroll(&dialog, row.scroll_id, code);
            EXPECT_EQ(Platform_Get_Scroll_Pos(&dialog, row.scroll_id), row.maximum);
        }
        const int32_t kept = *row.field;
        Press(&dialog, IDCANCEL);
        EXPECT_TRUE(dialog.ended);
        EXPECT_EQ(*row.field, kept);

        Control_Dialog again = Open(*row.dialog_template, row.procedure);
        Scroll(&again, row.scroll_id, SB_THUMBPOSITION, 10);
        Press(&again, IDOK);
        EXPECT_EQ(*row.field, row.stored_from_10);
    }
    // The random presets' timer takes the new values at once.
    EXPECT_EQ(random_preset_seconds, plasma_settings.random_preset_interval);
    EXPECT_EQ(transition_step, plasma_settings.transition_speed);
}

TEST_F(ValueDialogTest, ZonesOpenFromThePresetAndTheirDefaultWaitsForOk) {
    Start();
    plasma_settings.zone_frequency = 45;
    plasma_settings.zone_multicolour = 0;
    Control_Dialog dialog = Open(ZONEBOX, Zone_Dialog_Procedure);
    EXPECT_EQ(Platform_Get_Scroll_Pos(&dialog, ZONE_FREQUENCY_SCROLL), 5);
    EXPECT_EQ(Platform_Get_Dialog_Item_Text(&dialog, ZONE_FREQUENCY_NUMBER), "5");
    Press(&dialog, ID_DEFAULT);
    EXPECT_EQ(plasma_settings.zone_frequency, 45);
    Press(&dialog, IDOK);
    EXPECT_EQ(plasma_settings.zone_frequency, 25);
    EXPECT_EQ(plasma_settings.zone_duration, 6);
    EXPECT_EQ(plasma_settings.zone_multicolour, 1);
}

TEST_F(ValueDialogTest, TheResolutionListStoresOnlyAChosenEntry) {
    Start();
    plasma_settings.resolution = 7;
    Control_Dialog dialog = Open(RESOLUTIONBOX, Resolution_Dialog_Procedure);
    const Control_State* list = Platform_Dialog_Control(&dialog, RESOLUTION_LIST);
    ASSERT_EQ(list->entries.size(), 20u);
    EXPECT_EQ(list->entries[0], "320  x 240  x 32");
    EXPECT_EQ(list->entries[19], "1280 x 1024 x 8");
    EXPECT_EQ(list->selection, 7);
    Press(&dialog, ID_DEFAULT);
    EXPECT_EQ(list->selection, 1);
    Press(&dialog, IDCANCEL);
    EXPECT_EQ(plasma_settings.resolution, 7);

    Control_Dialog chosen = Open(RESOLUTIONBOX, Resolution_Dialog_Procedure);
    Platform_List_Set_Selection(&chosen, RESOLUTION_LIST, 12);
    Press(&chosen, IDOK);
    EXPECT_EQ(plasma_settings.resolution, 12);

    // OK with nothing selected stores nothing.
    Control_Dialog none = Open(RESOLUTIONBOX, Resolution_Dialog_Procedure);
    Platform_List_Set_Selection(&none, RESOLUTION_LIST, -1);
    Press(&none, IDOK);
    EXPECT_EQ(plasma_settings.resolution, 12);
}

TEST_F(ValueDialogTest, TheDirectionsDefaultIsRandomAtOnce) {
    Start();
    plasma_settings.slide_direction = 1;
    Control_Dialog dialog = Open(DIRECTIONBOX, Direction_Dialog_Procedure);
    EXPECT_EQ(Platform_List_Get_Selection(&dialog, DIRECTION_LIST), 1);
    Press(&dialog, ID_DEFAULT);
    EXPECT_EQ(plasma_settings.slide_direction, 3);
    EXPECT_EQ(Platform_Get_Scroll_Pos(&dialog, DIRECTION_SCROLL), 1000);
    Platform_List_Set_Selection(&dialog, DIRECTION_LIST, 2);
    Press(&dialog, IDOK);
    EXPECT_EQ(plasma_settings.slide_direction, 2);
    EXPECT_EQ(plasma_settings.direction_change_frequency, 1000);
}

TEST_F(ValueDialogTest, TheColoursChangeLiveAndCancelPutsThemBackButKeepsTheLogic) {
    Start();
    PlasmaSettings& s = plasma_settings;
    s.colour_blue = 40;
    s.colour_red = 50;
    s.red_shift = 0;
    s.colour_logic_and = 1;
    Store_Dialog_Values();
    Control_Dialog dialog = Open(COLOURBOX, Colour_Dialog_Procedure);
    EXPECT_EQ(Platform_Get_Scroll_Pos(&dialog, COLOUR_BLUE_SCROLL), 40);
    EXPECT_TRUE(Platform_Is_Dialog_Button_Checked(&dialog, COLOUR_INVERT));

    for (int id : {COLOUR_BLUE_SCROLL, COLOUR_GREEN_SCROLL, COLOUR_RED_SCROLL}) {
        for (int code : {SB_LEFT, SB_LINELEFT, SB_PAGELEFT, SB_THUMBTRACK}) {
            Scroll(&dialog, id, code);
            EXPECT_EQ(Platform_Get_Scroll_Pos(&dialog, id), 0);
        }
        for (int code : {SB_RIGHT, SB_LINERIGHT, SB_PAGERIGHT}) {
            Scroll(&dialog, id, code);
            EXPECT_EQ(Platform_Get_Scroll_Pos(&dialog, id), 127);
        }
    }
    Scroll(&dialog, COLOUR_RED_SCROLL, SB_THUMBTRACK, 90);
    EXPECT_EQ(s.colour_red, 90);  // live, without OK
    EXPECT_EQ(dialog_values.red, 90);
    Platform_Check_Dialog_Button(&dialog, COLOUR_DARKEN_RED, true);
    Platform_Check_Dialog_Button(&dialog, COLOUR_INVERT, false);
    Platform_Send_Dialog_Message(&dialog, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(s.red_shift, 1);
    EXPECT_EQ(s.colour_logic_and, 0);
    Press(&dialog, IDCANCEL);
    EXPECT_EQ(s.colour_red, 50);
    EXPECT_EQ(s.colour_blue, 40);
    EXPECT_EQ(s.red_shift, 0);
    EXPECT_EQ(s.colour_logic_and, 0);  // the logic stays as last set
    EXPECT_EQ(dialog_values.red, 50);

    Control_Dialog ok = Open(COLOURBOX, Colour_Dialog_Procedure);
    Scroll(&ok, COLOUR_GREEN_SCROLL, SB_THUMBPOSITION, 12);
    Press(&ok, IDOK);
    EXPECT_EQ(s.colour_green, 12);
    EXPECT_EQ(dialog_values.green, 12);
    EXPECT_EQ(dialog_values.colour_logic, 0);
    EXPECT_EQ(Log_Position("Run_Calvorine(): Draw_Plasma() FAILED"), -1);
}

TEST_F(ValueDialogTest, TheMenuOpensEachDialog) {
    Start();
    Main_Window_Procedure(&window, WM_COMMAND, MENU_SCOPE_ON, 0);
    Main_Window_Procedure(&window, WM_COMMAND, MENU_SCOPE_SLIDES_ON, 0);
    platform_opened_dialogs.clear();
    for (int id : {MENU_COLOUR_SELECT, MENU_VIEW_RESOLUTION, MENU_PRESETS_RANDOM, MENU_SCOPE_SLIDES_FADE,
                   MENU_SCOPE_SLIDES_ZONES, MENU_SCOPE_SLIDES_DIRECTION})
        Main_Window_Procedure(&window, WM_COMMAND, static_cast<uintptr_t>(id), 0);
    EXPECT_EQ(platform_opened_dialogs, (std::vector<std::string>{"COLOURBOX", "RESOLUTIONBOX", "JOURNEYBOX", "FADEBOX",
                                                                 "ZONEBOX", "DIRECTIONBOX"}));
    platform_opened_dialogs.clear();
}

TEST_F(ValueDialogTest, TheBackgroundStoresItsChoiceAndItsButtonOpensTheSineWaves) {
    Start();
    plasma_settings.background_mode = 2;
    plasma_settings.background_variable = 0;
    platform_opened_dialogs.clear();
    platform_control_dialog_driver = [](Control_Dialog* dialog) {
        // The sine waves: density is kept as a phase step, and the waves start afresh.
        Platform_Send_Dialog_Message(dialog, WM_HSCROLL, SB_THUMBPOSITION | (500 << 16), SINE_DENSITY_SCROLL);
        Platform_Send_Dialog_Message(dialog, WM_COMMAND, SINE_CLEAR_SCREEN_TEXT, 0);
        Platform_Send_Dialog_Message(dialog, WM_COMMAND, IDOK, 0);
    };
    sine_rerandomise = 0;
    plasma_settings.sine_clear_screen = 0;
    Control_Dialog dialog = Open(BACKGROUNDBOX, Background_Dialog_Procedure);
    const Control_State* list = Platform_Dialog_Control(&dialog, BACKGROUND_LIST);
    ASSERT_EQ(list->entries.size(), 6u);
    EXPECT_EQ(list->entries[5], "Sine Waves");
    EXPECT_EQ(list->selection, 2);
    Press(&dialog, BACKGROUND_SINE_WAVES);
    EXPECT_EQ(platform_opened_dialogs, std::vector<std::string>{"SINEWAVEBOX"});
    EXPECT_NEAR(plasma_settings.sine_density, 0.1, 1e-9);
    EXPECT_EQ(plasma_settings.sine_clear_screen, 1);
    EXPECT_EQ(sine_rerandomise, 1);
    platform_control_dialog_driver = nullptr;
    platform_opened_dialogs.clear();

    Platform_List_Set_Selection(&dialog, BACKGROUND_LIST, 5);
    Platform_Check_Dialog_Button(&dialog, BACKGROUND_VARIABLE, true);
    Press(&dialog, IDOK);
    EXPECT_EQ(plasma_settings.background_mode, 5);
    EXPECT_EQ(plasma_settings.background_variable, 1);
}
