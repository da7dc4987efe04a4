// The scalar settings dialogs, driven by their messages as the dialog's
// window would send them: ranges and steps under every scroll code,
// Default then OK, Cancel and reopening, and the dialogs opened from the menu.
#include "shell_fixture.h"

#include <cmath>
#include <functional>

#include "preset/preset_setter.h"
#include "resources/dialog_templates.h"
#include "shell/settings_dialogs.h"

namespace {

struct Scalar_Row {
    int kind;
    const char* caption;
    int minimum, maximum;  // on a 768-line screen
    int line_step, page_step;
    double default_stored;          // what Default then OK leaves in the preset
    std::function<double()> field;  // the preset field the dialog stores
    std::function<int()> shown;     // what the dialog shows for the preset's value
    int menu_id;
};

const Scalar_Row scalar_rows[] = {
    {SCALAR_SPEED, "Plasma Speed", 1, 499, 1, 1, 35, [] { return plasma_settings.speed; },
     [] { return int(plasma_settings.speed); }, MENU_PLASMA_SPEED},
    {SCALAR_CONTRAST, "Plasma Contrast", 1, 60, 1, 1, 4, [] { return double(plasma_settings.contrast); },
     [] { return plasma_settings.contrast; }, MENU_PLASMA_CONTRAST},
    {SCALAR_SWAY, "Plasma Sway", 1, 1000, 1, 1, 1.6f, [] { return double(plasma_settings.sway); },
     [] { return int(plasma_settings.sway * 10.0f); }, MENU_PLASMA_SWAY},
    {SCALAR_INTERFERENCE, "Plasma Interference", 10, 120, 1, 1, 9.5,
     [] { return double(plasma_settings.interference); }, [] { return int(plasma_settings.interference * 10.0f); },
     MENU_PLASMA_INTERFERENCE},
    {SCALAR_RIPPLE_FREQUENCY, "Plasma Ripple Frequency", 1, 1000, 1, 1, 5.4f,
     [] { return double(plasma_settings.ripple_frequency); },
     [] { return int(plasma_settings.ripple_frequency * 10.0f); }, MENU_PLASMA_RIPPLES},
    {SCALAR_COMPLEXITY, "Plasma Complexity", 1, 999, 1, 1, 50, [] { return double(plasma_settings.complexity); },
     [] { return plasma_settings.complexity; }, MENU_PLASMA_COMPLEXITY},
    {SCALAR_GRANULARITY, "Kaleidoscope Granularity", 80, 384, 4, 4, 192,
     [] { return double(plasma_settings.kaleidoscope_granularity); },
     [] { return plasma_settings.kaleidoscope_granularity; }, MENU_SCOPE_GRANULARITY},
    {SCALAR_SLIDE_SPEED, "Slide Speed", 0, 384, 1, 1, 10, [] { return plasma_settings.slide_speed; },
     [] { return int(plasma_settings.slide_speed); }, MENU_SCOPE_SLIDES_SPEED},
    {SCALAR_RANDOM_COLOUR, "Random Colour Interval", 0, 60000, 100, 1, 0,
     [] { return plasma_settings.random_colour_interval; },
     [] { return int(plasma_settings.random_colour_interval * 100.0); }, MENU_COLOUR_RANDOM},
};

class ScalarDialogTest : public ShellTest {
protected:
    void Start() {
        Prepare(CONFIGURE, 64, 768);
        Open_Log();
        ASSERT_EQ(::Setup(), 1);
        ASSERT_EQ(Refresh_Plasma(), 1);
    }

    // A dialog record of the row's template, initialised as on opening.
    Control_Dialog Open(const Scalar_Row& row) {
        active_scalar_dialog = row.kind;
        Control_Dialog dialog =
            Platform_Make_Control_Dialog(*scalar_dialogs[row.kind].dialog_template, Scalar_Dialog_Procedure);
        Platform_Send_Dialog_Message(&dialog, WM_INITDIALOG, 0, 0);
        return dialog;
    }
    static void Scroll(Control_Dialog* dialog, const Scalar_Row& row, int code, int thumb = 0) {
        Platform_Send_Dialog_Message(dialog, WM_HSCROLL, static_cast<uintptr_t>(code | (thumb << 16)),
                                     scalar_dialogs[row.kind].scroll_id);
    }
    static int Position(Control_Dialog* dialog, const Scalar_Row& row) {
        return Platform_Get_Scroll_Pos(dialog, scalar_dialogs[row.kind].scroll_id);
    }
    static int Number(Control_Dialog* dialog, const Scalar_Row& row) {
        return std::stoi(Platform_Get_Dialog_Item_Text(dialog, scalar_dialogs[row.kind].number_id));
    }
    static void Press(Control_Dialog* dialog, int id) { Platform_Send_Dialog_Message(dialog, WM_COMMAND, id, 0); }
};

}  // namespace

TEST_F(ScalarDialogTest, EveryScrollCodeStaysInsideTheRangeAndStepsAsTheDialogSays) {
    Start();
    for (const Scalar_Row& row : scalar_rows) {
        SCOPED_TRACE(row.caption);
        Control_Dialog dialog = Open(row);
        EXPECT_STREQ(dialog.dialog_template->caption, row.caption);
        const Control_State* bar = Platform_Dialog_Control(&dialog, scalar_dialogs[row.kind].scroll_id);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->minimum, row.minimum);
        EXPECT_EQ(bar->maximum, row.maximum);

        for (int code : {SB_LINELEFT, SB_PAGELEFT, SB_LEFT}) {
            Scroll(&dialog, row, SB_LEFT);
            Scroll(&dialog, row, code);
            EXPECT_EQ(Position(&dialog, row), row.minimum) << code;
        }
        for (int code : {SB_LINERIGHT, SB_PAGERIGHT, SB_RIGHT}) {
            Scroll(&dialog, row, SB_RIGHT);
            Scroll(&dialog, row, code);
            EXPECT_EQ(Position(&dialog, row), row.maximum) << code;
        }
        Scroll(&dialog, row, SB_LEFT);
        Scroll(&dialog, row, SB_LINERIGHT);
        EXPECT_EQ(Position(&dialog, row), row.minimum + row.line_step);
        Scroll(&dialog, row, SB_PAGERIGHT);
        EXPECT_EQ(Position(&dialog, row), row.minimum + row.line_step + row.page_step);
        EXPECT_EQ(Number(&dialog, row), Position(&dialog, row));
        const int middle = (row.minimum + row.maximum) / 2 + 1;
        for (int code : {SB_THUMBTRACK, SB_THUMBPOSITION}) {
            Scroll(&dialog, row, code, middle);
            const int expected = row.kind == SCALAR_GRANULARITY ? middle - middle % 4 : middle;
            EXPECT_EQ(Position(&dialog, row), expected);
            EXPECT_EQ(Number(&dialog, row), expected);
        }
        // A message of another scroll bar or an end-of-scroll changes nothing.
        const int before = Position(&dialog, row);
        Scroll(&dialog, row, SB_ENDSCROLL);
        Platform_Send_Dialog_Message(&dialog, WM_HSCROLL, SB_LEFT, 9999);
        EXPECT_EQ(Position(&dialog, row), before);
        Press(&dialog, IDCANCEL);
        EXPECT_TRUE(dialog.ended);
    }
}

TEST_F(ScalarDialogTest, DefaultThenOkStoresTheDialogsDefault) {
    Start();
    for (const Scalar_Row& row : scalar_rows) {
        SCOPED_TRACE(row.caption);
        Control_Dialog dialog = Open(row);
        Scroll(&dialog, row, SB_RIGHT);
        Press(&dialog, ID_DEFAULT);
        EXPECT_FALSE(dialog.ended);
        Press(&dialog, IDOK);
        EXPECT_TRUE(dialog.ended);
        EXPECT_EQ(dialog.result, IDOK);
        EXPECT_NEAR(row.field(), row.default_stored, 1e-4);
    }
}

TEST_F(ScalarDialogTest, CancelStoresNothingAndTheDialogReopensAtThePresetsValue) {
    Start();
    for (const Scalar_Row& row : scalar_rows) {
        SCOPED_TRACE(row.caption);
        const double kept = row.field();
        Control_Dialog dialog = Open(row);
        Scroll(&dialog, row, SB_RIGHT);
        Press(&dialog, IDCANCEL);
        EXPECT_EQ(dialog.result, IDCANCEL);
        EXPECT_EQ(row.field(), kept);
        Control_Dialog again = Open(row);
        EXPECT_EQ(Position(&again, row), std::clamp(row.shown(), row.minimum, row.maximum));
        Press(&again, IDCANCEL);
    }
}

TEST_F(ScalarDialogTest, OkStoresTheMovedValueThroughItsOwnConversion) {
    Start();
    struct Case {
        int kind, position;
        double stored;
    };
    const Case cases[] = {{SCALAR_SPEED, 120, 120},
                          {SCALAR_CONTRAST, 7, 7},
                          {SCALAR_SWAY, 25, 2.5},
                          {SCALAR_INTERFERENCE, 95, 9.5},
                          {SCALAR_RIPPLE_FREQUENCY, 33, 3.3},
                          {SCALAR_COMPLEXITY, 600, 600},
                          {SCALAR_GRANULARITY, 130, 128},
                          {SCALAR_SLIDE_SPEED, 77, 77},
                          {SCALAR_RANDOM_COLOUR, 150, 1.5}};
    for (const Case& c : cases) {
        const Scalar_Row& row = scalar_rows[c.kind];
        SCOPED_TRACE(row.caption);
        Control_Dialog dialog = Open(row);
        Scroll(&dialog, row, SB_THUMBPOSITION, c.position);
        if (c.kind == SCALAR_RANDOM_COLOUR) {
            EXPECT_EQ(Platform_Get_Dialog_Item_Text(&dialog, RANDOM_COLOUR_TEXT), "change every 1.50 seconds");
        }
        Press(&dialog, IDOK);
        EXPECT_NEAR(row.field(), c.stored, 1e-4);
    }
    // The plasma dialogs keep their working values for the next opening.
    EXPECT_EQ(dialog_values.contrast, 7);
    EXPECT_EQ(dialog_values.interference, 95);
}

TEST_F(ScalarDialogTest, IgnoreFpsTurnsOverAtOnceAndCancelKeepsIt) {
    Start();
    struct Case {
        int kind;
        int32_t* field;
    };
    for (Case c : {Case{SCALAR_SPEED, &plasma_settings.plasma_ignore_fps},
                   Case{SCALAR_SLIDE_SPEED, &plasma_settings.slide_ignore_fps}}) {
        *c.field = 0;
        Control_Dialog dialog = Open(scalar_rows[c.kind]);
        EXPECT_FALSE(Platform_Is_Dialog_Button_Checked(&dialog, ID_IGNORE_FPS));
        Press(&dialog, ID_IGNORE_FPS_TEXT);
        EXPECT_EQ(*c.field, 1);
        EXPECT_TRUE(Platform_Is_Dialog_Button_Checked(&dialog, ID_IGNORE_FPS));
        Press(&dialog, IDCANCEL);
        EXPECT_EQ(*c.field, 1);
    }
    // The slide speed's Default sets it at once.
    plasma_settings.slide_ignore_fps = 0;
    Control_Dialog dialog = Open(scalar_rows[SCALAR_SLIDE_SPEED]);
    Press(&dialog, ID_DEFAULT);
    EXPECT_EQ(plasma_settings.slide_ignore_fps, 1);
    EXPECT_TRUE(Platform_Is_Dialog_Button_Checked(&dialog, ID_IGNORE_FPS));
    Press(&dialog, IDCANCEL);
    EXPECT_EQ(plasma_settings.slide_ignore_fps, 1);
}

TEST_F(ScalarDialogTest, TheMenuOpensEachScalarDialog) {
    Start();
    platform_control_dialog_driver = [](Control_Dialog* dialog) {
        Platform_Send_Dialog_Message(dialog, WM_COMMAND, IDOK, 0);
    };
    for (const Scalar_Row& row : scalar_rows) {
        platform_opened_dialogs.clear();
        Main_Window_Procedure(&window, WM_COMMAND, static_cast<uintptr_t>(row.menu_id), 0);
        ASSERT_EQ(platform_opened_dialogs.size(), 1u) << row.caption;
        EXPECT_EQ(platform_opened_dialogs[0], scalar_dialogs[row.kind].dialog_template->name);
    }
    platform_control_dialog_driver = nullptr;
    platform_opened_dialogs.clear();
}

TEST_F(ScalarDialogTest, AFullScreenDialogShowsTheCursorWhileItIsOpen) {
    Start();
    app.display_mode = DISPLAY_FULL_SCREEN;
    Platform_Show_Cursor(false);
    const int hidden = platform_cursor_count;
    Control_Dialog dialog = Open(scalar_rows[SCALAR_CONTRAST]);
    EXPECT_EQ(platform_cursor_count, hidden + 1);
    Press(&dialog, IDOK);
    EXPECT_EQ(platform_cursor_count, hidden);
    app.display_mode = DISPLAY_WINDOWED;
    // Moving the dialog shows the frame again where it was.
    Control_Dialog moved = Open(scalar_rows[SCALAR_CONTRAST]);
    EXPECT_EQ(platform_cursor_count, hidden);
    EXPECT_EQ(Platform_Send_Dialog_Message(&moved, WM_MOVE, 0, 0), 1);
    Press(&moved, IDCANCEL);
}
