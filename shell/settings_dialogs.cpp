// The settings dialogs.
#include "shell/settings_dialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/app_state.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma_settings.h"
#include "platform/window.h"
#include "preset/dialog_values.h"
#include "preset/preset_setter.h"
#include "resources/dialog_templates.h"

int32_t sway_position = 0, granularity_position = 0, slide_speed_position = 0, random_colour_position = 0;
int active_scalar_dialog = SCALAR_CONTRAST;

// ---------------------------------------------------------------------------
// Shared.

void Dialog_Opens() {
    if (app.display_mode != DISPLAY_FULL_SCREEN) return;
    Platform_Show_Cursor(true);
    if (Direct_Draw_Interface) DD_FlipToGDISurface(Direct_Draw_Interface);
}

void Dialog_Closes() {
    if (app.display_mode == DISPLAY_FULL_SCREEN) Platform_Show_Cursor(false);
}

int Repaint_Behind_Dialog() {
    if (kaleidoscope_active ? !Stretch_Kaleidoscope(Hidden, Visible) : !Display_Hidden_Surface()) return 0;
    if (app.main_window && app.main_window == Platform_Main_Window()) Platform_Present(Visible);
    return 1;
}

// ---------------------------------------------------------------------------
// The table.

// The kaleidoscope's tile and the slides' speed reach half the screen height, in steps of 16.
static int Screen_Limit() { return 16 * (app.screen_height / 32); }

static constexpr int Fixed_1() { return 1; }

static const Scalar_Dialog speed_row = {
    &SPEEDBOX,
    SPEED_SCROLL,
    SPEED_NUMBER,
    [] { return 1; },
    [] { return 499; },
    1,
    1,
    1,
    [] {
        static int32_t shown;
        shown = static_cast<int32_t>(dialog_values.speed);
        return &shown;
    },
    nullptr,
    [] { return 35; },
    [](int32_t working) { plasma_settings.speed = working; },
    [](int32_t* working) { *working = static_cast<int32_t>(plasma_settings.speed); },
    [] { return &plasma_settings.plasma_ignore_fps; },
    nullptr};

const Scalar_Dialog scalar_dialogs[SCALAR_DIALOG_COUNT] = {
    speed_row,
    {&CONTRASTBOX, CONTRAST_SCROLL, CONTRAST_NUMBER, Fixed_1, [] { return 60; }, 1, 1, 1,
     [] { return &dialog_values.contrast; }, nullptr, [] { return 4; },
     [](int32_t working) { Modify_Plasma(PLASMA_CONTRAST, static_cast<float>(working), 1); },
     [](int32_t* working) { *working = plasma_settings.contrast; }, nullptr, nullptr},
    {&SWAYBOX, SWAY_SCROLL, SWAY_NUMBER, Fixed_1, [] { return 1000; }, 1, 1, 1, [] { return &sway_position; },
     [](int32_t* working) { *working = static_cast<int32_t>(plasma_settings.sway * 10.0f); }, [] { return 16; },
     [](int32_t working) { Modify_Plasma(PLASMA_SWAY, static_cast<float>(working * 0.1), 0); }, nullptr, nullptr,
     nullptr},
    {&ANGLE_BBOX, INTERFERENCE_SCROLL, INTERFERENCE_NUMBER, [] { return 10; }, [] { return 120; }, 1, 1, 1,
     [] { return &dialog_values.interference; }, nullptr, [] { return 95; },
     [](int32_t working) { Modify_Plasma(PLASMA_INTERFERENCE, static_cast<float>(working / 10.0), 1); },
     [](int32_t* working) { *working = static_cast<int32_t>(plasma_settings.interference * 10.0f); }, nullptr, nullptr},
    {&ANGLE_ABOX, RIPPLE_SCROLL, RIPPLE_NUMBER, Fixed_1, [] { return 1000; }, 1, 1, 1,
     [] { return &dialog_values.ripple_frequency; }, nullptr, [] { return 54; },
     [](int32_t working) { Modify_Plasma(PLASMA_RIPPLE_FREQUENCY, static_cast<float>(working / 10.0), 1); },
     [](int32_t* working) { *working = static_cast<int32_t>(plasma_settings.ripple_frequency * 10.0f); }, nullptr,
     nullptr},
    {&CONSTANT_ABOX, COMPLEXITY_SCROLL, COMPLEXITY_NUMBER, Fixed_1, [] { return 999; }, 1, 1, 1,
     [] { return &dialog_values.complexity; }, nullptr, [] { return 50; },
     [](int32_t working) { Modify_Plasma(PLASMA_COMPLEXITY, static_cast<float>(working), 1); },
     [](int32_t* working) { *working = plasma_settings.complexity; }, nullptr, nullptr},
    {&GRANULARITYBOX, GRANULARITY_SCROLL, GRANULARITY_NUMBER, [] { return 80; }, Screen_Limit, 4, 4, 4,
     [] { return &granularity_position; },
     [](int32_t* working) { *working = plasma_settings.kaleidoscope_granularity; },
     [] { return 2 * (Screen_Limit() / 4); },
     [](int32_t working) { Modify_Plasma(PLASMA_KALEIDOSCOPE_GRANULARITY, static_cast<float>(working), 1); }, nullptr,
     nullptr, nullptr},
    {&SLIDESPEEDBOX, SLIDE_SPEED_SCROLL, SLIDE_SPEED_NUMBER, [] { return 0; }, Screen_Limit, 1, 1, 1,
     [] { return &slide_speed_position; },
     [](int32_t* working) { *working = static_cast<int32_t>(plasma_settings.slide_speed); }, [] { return 10; },
     [](int32_t working) { Modify_Plasma(PLASMA_SLIDE_SPEED, static_cast<float>(working), 1); }, nullptr,
     [] { return &plasma_settings.slide_ignore_fps; }, [] { plasma_settings.slide_ignore_fps = 1; }},
    // The arrows step a second, the page clicks a hundredth.
    {&RANDOMCOLOURBOX, RANDOM_COLOUR_SCROLL, RANDOM_COLOUR_NUMBER, [] { return 0; }, [] { return 60000; }, 100, 1, 1,
     [] { return &random_colour_position; },
     [](int32_t* working) { *working = static_cast<int32_t>(plasma_settings.random_colour_interval * 100.0); },
     [] { return 0; }, [](int32_t working) { plasma_settings.random_colour_interval = working * 0.01; }, nullptr,
     nullptr, nullptr},
};

// ---------------------------------------------------------------------------
// The procedure.

// SPEEDBOX's working value is dialog_values' speed, a real number shown truncated.
static int32_t Working(const Scalar_Dialog& row) {
    if (&row == &scalar_dialogs[SCALAR_SPEED]) return static_cast<int32_t>(dialog_values.speed);
    return *row.working();
}

static void Set_Working(const Scalar_Dialog& row, int32_t value) {
    if (&row == &scalar_dialogs[SCALAR_SPEED]) {
        dialog_values.speed = value;
    } else {
        *row.working() = value;
    }
}

// The bar, the number and, for the random colour, the interval in words.
static void Show_Working(Control_Dialog* dialog, const Scalar_Dialog& row) {
    const int32_t value = Working(row);
    Platform_Set_Scroll_Pos(dialog, row.scroll_id, value);
    Platform_Set_Dialog_Item_Int(dialog, row.number_id, static_cast<unsigned>(value));
    if (row.dialog_template == &RANDOMCOLOURBOX) {
        char text[64];
        std::snprintf(text, sizeof text, "change every %.2f seconds", value * 0.01);
        Platform_Set_Dialog_Item_Text(dialog, RANDOM_COLOUR_TEXT, text);
    }
}

// The value a scroll action asks for, kept inside the range.
static int32_t Scrolled(const Scalar_Dialog& row, int code, int thumb, int32_t value) {
    const int lowest = row.minimum(), highest = std::max(lowest, row.maximum());
    switch (code) {
    case SB_LINELEFT: value -= row.line_step; break;
    case SB_LINERIGHT: value += row.line_step; break;
    case SB_PAGELEFT: value -= row.page_step; break;
    case SB_PAGERIGHT: value += row.page_step; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: value = thumb - thumb % row.thumb_multiple; break;
    case SB_LEFT: value = lowest; break;
    case SB_RIGHT: value = highest; break;
    default: return value;
    }
    return std::clamp(value, lowest, highest);
}

intptr_t Scalar_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    const Scalar_Dialog& row = scalar_dialogs[active_scalar_dialog];
    switch (message) {
    case WM_INITDIALOG: {
        Dialog_Opens();
        if (row.open) row.open(row.working());
        Platform_Set_Scroll_Range(dialog, row.scroll_id, row.minimum(), row.maximum());
        Show_Working(dialog, row);
        if (row.ignore_fps) Platform_Check_Dialog_Button(dialog, ID_IGNORE_FPS, *row.ignore_fps() != 0);
        return 1;
    }
    case WM_HSCROLL: {
        if (lparam != row.scroll_id) return 0;
        const int code = static_cast<int>(wparam & 0xFFFF);
        const int thumb = static_cast<int>((wparam >> 16) & 0xFFFF);
        Set_Working(row, Scrolled(row, code, thumb, Working(row)));
        Show_Working(dialog, row);
        return 1;
    }
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_COMMAND:
        switch (static_cast<int>(wparam & 0xFFFF)) {
        case IDOK:
            Platform_End_Control_Dialog(dialog, IDOK);
            Dialog_Closes();
            row.store(Working(row));
            return 1;
        case IDCANCEL:
            if (row.cancel) {
                int32_t value = Working(row);
                row.cancel(&value);
                Set_Working(row, value);
            }
            Platform_End_Control_Dialog(dialog, IDCANCEL);
            Dialog_Closes();
            return 1;
        case ID_DEFAULT:
            Set_Working(row, row.default_value());
            if (row.on_default) row.on_default();
            Show_Working(dialog, row);
            if (row.ignore_fps) Platform_Check_Dialog_Button(dialog, ID_IGNORE_FPS, *row.ignore_fps() != 0);
            return 1;
        case ID_IGNORE_FPS_TEXT:
        case ID_IGNORE_FPS:
            if (!row.ignore_fps) return 0;
            // The text button turns the box over; the box has turned itself.
            if ((wparam & 0xFFFF) == ID_IGNORE_FPS_TEXT)
                Platform_Check_Dialog_Button(dialog, ID_IGNORE_FPS,
                                             !Platform_Is_Dialog_Button_Checked(dialog, ID_IGNORE_FPS));
            *row.ignore_fps() = Platform_Is_Dialog_Button_Checked(dialog, ID_IGNORE_FPS) ? 1 : 0;
            return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int Scalar_Dialog_Box(int kind) {
    if (kind < 0 || kind >= SCALAR_DIALOG_COUNT) return 0;
    active_scalar_dialog = kind;
    Platform_Control_Dialog_Box(*scalar_dialogs[kind].dialog_template, app.main_window, Scalar_Dialog_Procedure);
    return 1;
}
