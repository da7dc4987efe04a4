// The list, multi-value and live settings dialogs.
#include "shell/value_dialogs.h"

#include <algorithm>
#include <iterator>

#include "base/app_state.h"
#include "base/resolution.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/window.h"
#include "preset/dialog_values.h"
#include "preset/preset_setter.h"
#include "preset/random_preset_timer.h"
#include "resources/dialog_templates.h"
#include "shell/settings_dialogs.h"
#include "slides/sine_waves.h"

// ---------------------------------------------------------------------------
// Scroll bars with a number beside them.

namespace {

struct Bar {
    int scroll_id, number_id;  // number_id -1: none
    int minimum, maximum;
    int32_t* value;  // the working value
};

void Show_Bar(Control_Dialog* dialog, const Bar& bar) {
    Platform_Set_Scroll_Pos(dialog, bar.scroll_id, *bar.value);
    if (bar.number_id >= 0) Platform_Set_Dialog_Item_Int(dialog, bar.number_id, static_cast<unsigned>(*bar.value));
}

void Open_Bar(Control_Dialog* dialog, const Bar& bar) {
    *bar.value = std::clamp(*bar.value, bar.minimum, bar.maximum);
    Platform_Set_Scroll_Range(dialog, bar.scroll_id, bar.minimum, bar.maximum);
    Show_Bar(dialog, bar);
}

// One WM_HSCROLL on whichever of the bars it names; true when it moved one.
// Line and page steps are 1 on these bars.
template <size_t N>
bool Scroll_Bars(Control_Dialog* dialog, const Bar (&bars)[N], uintptr_t wparam, intptr_t lparam) {
    for (const Bar& bar : bars) {
        if (lparam != bar.scroll_id) continue;
        int32_t value = *bar.value;
        const int thumb = static_cast<int>((wparam >> 16) & 0xFFFF);
        switch (static_cast<int>(wparam & 0xFFFF)) {
        case SB_LINELEFT:
        case SB_PAGELEFT: value--; break;
        case SB_LINERIGHT:
        case SB_PAGERIGHT: value++; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: value = thumb; break;
        case SB_LEFT: value = bar.minimum; break;
        case SB_RIGHT: value = bar.maximum; break;
        default: return false;
        }
        *bar.value = std::clamp(value, bar.minimum, bar.maximum);
        Show_Bar(dialog, bar);
        return true;
    }
    return false;
}

int Command_Of(uintptr_t wparam) { return static_cast<int>(wparam & 0xFFFF); }

void Close(Control_Dialog* dialog, int result) {
    Platform_End_Control_Dialog(dialog, result);
    Dialog_Closes();
}

// The list dialogs show the cursor in every display mode and repaint only in a window.
void List_Dialog_Opens() { Platform_Show_Cursor(true); }
void List_Dialog_Closes(Control_Dialog* dialog, int result) {
    Platform_End_Control_Dialog(dialog, result);
    Platform_Show_Cursor(false);
}
intptr_t List_Dialog_Moved() { return app.display_mode == DISPLAY_WINDOWED ? Repaint_Behind_Dialog() : 1; }

}  // namespace

// ---------------------------------------------------------------------------
// Fullscreen Resolution.

intptr_t Resolution_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t) {
    switch (message) {
    case WM_INITDIALOG:
        List_Dialog_Opens();
        for (int code = 0; code < RESOLUTION_COUNT; code++)
            Platform_List_Add_String(dialog, RESOLUTION_LIST, resolution_table[code].label);
        Platform_List_Set_Selection(dialog, RESOLUTION_LIST, plasma_settings.resolution);
        return 1;
    case WM_MOVE: return List_Dialog_Moved();
    case WM_COMMAND:
        switch (Command_Of(wparam)) {
        case IDOK: {
            const int chosen = Platform_List_Get_Selection(dialog, RESOLUTION_LIST);
            if (chosen >= 0 && chosen < RESOLUTION_COUNT)
                Modify_Plasma(PLASMA_RESOLUTION, static_cast<float>(chosen), 0);
            List_Dialog_Closes(dialog, IDOK);
            return 1;
        }
        case IDCANCEL: List_Dialog_Closes(dialog, IDCANCEL); return 1;
        case ID_DEFAULT:
            // 640 x 480 x 32, stored only by OK.
            Platform_List_Set_Selection(dialog, RESOLUTION_LIST, 1);
            return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int Resolution_Dialog_Box() {
    Platform_Control_Dialog_Box(RESOLUTIONBOX, app.main_window, Resolution_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Slide Direction.

static int32_t direction_frequency_position = 1000;
static const Bar direction_bars[] = {{DIRECTION_SCROLL, DIRECTION_NUMBER, 1, 1000, &direction_frequency_position}};

intptr_t Direction_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    static const char* const directions[] = {"Slide In", "Slide Out", "Alternate", "Random"};
    switch (message) {
    case WM_INITDIALOG:
        List_Dialog_Opens();
        for (const char* direction : directions) Platform_List_Add_String(dialog, DIRECTION_LIST, direction);
        Platform_List_Set_Selection(dialog, DIRECTION_LIST, plasma_settings.slide_direction);
        direction_frequency_position = plasma_settings.direction_change_frequency;
        Open_Bar(dialog, direction_bars[0]);
        return 1;
    case WM_HSCROLL: return Scroll_Bars(dialog, direction_bars, wparam, lparam);
    case WM_MOVE: return List_Dialog_Moved();
    case WM_COMMAND:
        switch (Command_Of(wparam)) {
        case IDOK: {
            List_Dialog_Closes(dialog, IDOK);
            Modify_Plasma(PLASMA_DIRECTION_CHANGE_FREQUENCY, static_cast<float>(direction_frequency_position), 1);
            const int chosen = Platform_List_Get_Selection(dialog, DIRECTION_LIST);
            if (chosen >= 0) Modify_Plasma(PLASMA_SLIDE_DIRECTION, static_cast<float>(chosen), 1);
            return 1;
        }
        case IDCANCEL: List_Dialog_Closes(dialog, IDCANCEL); return 1;
        case ID_DEFAULT: {
            constexpr int RANDOM_DIRECTION = 3;
            direction_frequency_position = 1000;
            Show_Bar(dialog, direction_bars[0]);
            Platform_List_Set_Selection(dialog, DIRECTION_LIST, RANDOM_DIRECTION);
            plasma_settings.slide_direction = RANDOM_DIRECTION;
            return 1;
        }
        default: return 0;
        }
    default: return 0;
    }
}

int Direction_Dialog_Box() {
    Platform_Control_Dialog_Box(DIRECTIONBOX, app.main_window, Direction_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Homogenous Zones.

static int32_t zone_frequency_position = 25, zone_duration_position = 6;
static const Bar zone_bars[] = {{ZONE_FREQUENCY_SCROLL, ZONE_FREQUENCY_NUMBER, 0, 50, &zone_frequency_position},
                                {ZONE_DURATION_SCROLL, ZONE_DURATION_NUMBER, 0, 50, &zone_duration_position}};

intptr_t Zone_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opens();
        // The bar shows how often zones come: the preset keeps the pause between them.
        zone_frequency_position = 50 - plasma_settings.zone_frequency;
        zone_duration_position = plasma_settings.zone_duration;
        for (const Bar& bar : zone_bars) Open_Bar(dialog, bar);
        Platform_Check_Dialog_Button(dialog, ZONE_MULTICOLOUR, plasma_settings.zone_multicolour != 0);
        return 1;
    case WM_HSCROLL: return Scroll_Bars(dialog, zone_bars, wparam, lparam);
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_COMMAND:
        switch (Command_Of(wparam)) {
        case IDOK:
            plasma_settings.zone_frequency = 50 - zone_frequency_position;
            plasma_settings.zone_duration = zone_duration_position;
            plasma_settings.zone_multicolour = Platform_Is_Dialog_Button_Checked(dialog, ZONE_MULTICOLOUR) ? 1 : 0;
            Close(dialog, IDOK);
            return 1;
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        case ID_DEFAULT:
            zone_frequency_position = 25;
            zone_duration_position = 6;
            for (const Bar& bar : zone_bars) Show_Bar(dialog, bar);
            Platform_Check_Dialog_Button(dialog, ZONE_MULTICOLOUR, true);
            return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int Zone_Dialog_Box() {
    Platform_Control_Dialog_Box(ZONEBOX, app.main_window, Zone_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Fade.

static int32_t fade_light_position = 0, fade_hue_position = 0, fade_saturation_position = 0;
static const Bar fade_bars[] = {{FADE_LIGHT_SCROLL, -1, 0, 255, &fade_light_position},
                                {FADE_HUE_SCROLL, -1, 0, 255, &fade_hue_position},
                                {FADE_SATURATION_SCROLL, -1, 0, 255, &fade_saturation_position}};

intptr_t Fade_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opens();
        fade_light_position = plasma_settings.fade_light;
        fade_hue_position = plasma_settings.fade_hue;
        fade_saturation_position = plasma_settings.fade_saturation;
        for (const Bar& bar : fade_bars) Open_Bar(dialog, bar);
        return 1;
    case WM_HSCROLL: return Scroll_Bars(dialog, fade_bars, wparam, lparam);
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_COMMAND:
        switch (Command_Of(wparam)) {
        case IDOK:
            plasma_settings.fade_light = fade_light_position;
            plasma_settings.fade_hue = fade_hue_position;
            plasma_settings.fade_saturation = fade_saturation_position;
            Close(dialog, IDOK);
            return 1;
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int Fade_Dialog_Box() {
    Platform_Control_Dialog_Box(FADEBOX, app.main_window, Fade_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Random Presets.

static int32_t journey_interval_position = 0, journey_transition_position = 1;
static const Bar journey_bars[] = {
    {JOURNEY_INTERVAL_SCROLL, JOURNEY_INTERVAL_NUMBER, 0, 500, &journey_interval_position},
    {JOURNEY_TRANSITION_SCROLL, JOURNEY_TRANSITION_NUMBER, 1, 800, &journey_transition_position}};

intptr_t Journey_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opens();
        // The timer's working copies, which the R key may have changed since the preset was read.
        journey_interval_position = random_preset_seconds;
        journey_transition_position = transition_step;
        for (const Bar& bar : journey_bars) Open_Bar(dialog, bar);
        return 1;
    case WM_HSCROLL: return Scroll_Bars(dialog, journey_bars, wparam, lparam);
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_COMMAND:
        switch (Command_Of(wparam)) {
        case IDOK:
            plasma_settings.random_preset_interval = random_preset_seconds = journey_interval_position;
            plasma_settings.transition_speed = transition_step = journey_transition_position;
            Update_Random_Preset_Timer(1);
            Close(dialog, IDOK);
            return 1;
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int Journey_Dialog_Box() {
    Platform_Control_Dialog_Box(JOURNEYBOX, app.main_window, Journey_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Plasma Colours.

namespace {

int32_t colour_blue_position = 127, colour_green_position = 127, colour_red_position = 127;
const Bar colour_bars[] = {{COLOUR_BLUE_SCROLL, COLOUR_BLUE_NUMBER, 0, 127, &colour_blue_position},
                           {COLOUR_GREEN_SCROLL, COLOUR_GREEN_NUMBER, 0, 127, &colour_green_position},
                           {COLOUR_RED_SCROLL, COLOUR_RED_NUMBER, 0, 127, &colour_red_position}};

// What Cancel puts back.
struct Kept_Colours {
    uint8_t blue, green, red;
    int32_t blue_shift, green_shift, red_shift;
};
Kept_Colours kept_colours;

void Apply_Boxes(Control_Dialog* dialog) {
    Modify_Plasma(PLASMA_COLOUR_LOGIC_AND, Platform_Is_Dialog_Button_Checked(dialog, COLOUR_INVERT) ? 1.0f : 0.0f, 0);
    Modify_Plasma(PLASMA_RED_SHIFT, Platform_Is_Dialog_Button_Checked(dialog, COLOUR_DARKEN_RED) ? 1.0f : 0.0f, 0);
    Modify_Plasma(PLASMA_GREEN_SHIFT, Platform_Is_Dialog_Button_Checked(dialog, COLOUR_DARKEN_GREEN) ? 1.0f : 0.0f, 0);
    Modify_Plasma(PLASMA_BLUE_SHIFT, Platform_Is_Dialog_Button_Checked(dialog, COLOUR_DARKEN_BLUE) ? 1.0f : 0.0f, 0);
}

void Apply_Bytes() {
    Modify_Plasma(PLASMA_COLOUR_BLUE, static_cast<float>(colour_blue_position), 0);
    Modify_Plasma(PLASMA_COLOUR_GREEN, static_cast<float>(colour_green_position), 0);
    Modify_Plasma(PLASMA_COLOUR_RED, static_cast<float>(colour_red_position), 0);
}

// The picture behind the dialog in its new colours; 1, or 0 after a report.
int Redraw_Behind_Dialog() {
    if (kaleidoscope_active ? !Draw_Kaleidoscope(Hidden, app.client_width, app.client_height)
                            : !Draw_Plasma(Hidden, 0, 0))
        return 0;
    return Repaint_Behind_Dialog();
}

void Keep_Working_Bytes() {
    dialog_values.blue = static_cast<uint8_t>(colour_blue_position);
    dialog_values.green = static_cast<uint8_t>(colour_green_position);
    dialog_values.red = static_cast<uint8_t>(colour_red_position);
}

intptr_t Colour_Message(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    switch (message) {
    case WM_INITDIALOG: {
        Dialog_Opens();
        const PlasmaSettings& s = plasma_settings;
        colour_blue_position = dialog_values.blue;
        colour_green_position = dialog_values.green;
        colour_red_position = dialog_values.red;
        kept_colours =
            Kept_Colours{s.colour_blue, s.colour_green, s.colour_red, s.blue_shift, s.green_shift, s.red_shift};
        for (const Bar& bar : colour_bars) Open_Bar(dialog, bar);
        Platform_Check_Dialog_Button(dialog, COLOUR_INVERT, s.colour_logic_and == 1);
        Platform_Check_Dialog_Button(dialog, COLOUR_DARKEN_BLUE, s.blue_shift != 0);
        Platform_Check_Dialog_Button(dialog, COLOUR_DARKEN_GREEN, s.green_shift != 0);
        Platform_Check_Dialog_Button(dialog, COLOUR_DARKEN_RED, s.red_shift != 0);
        return 1;
    }
    case WM_HSCROLL:
        if (!Scroll_Bars(dialog, colour_bars, wparam, lparam)) return 0;
        Apply_Bytes();
        Apply_Boxes(dialog);
        return Redraw_Behind_Dialog();
    case WM_MOUSEMOVE: Apply_Boxes(dialog); return Redraw_Behind_Dialog();
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_COMMAND:
        switch (Command_Of(wparam)) {
        case IDOK:
            Apply_Bytes();
            Apply_Boxes(dialog);
            dialog_values.colour_logic = Platform_Is_Dialog_Button_Checked(dialog, COLOUR_INVERT) ? 1 : 0;
            Close(dialog, IDOK);
            return 1;
        case IDCANCEL:
            // The colour logic stays as it was last set.
            Modify_Plasma(PLASMA_COLOUR_BLUE, kept_colours.blue, 0);
            Modify_Plasma(PLASMA_COLOUR_GREEN, kept_colours.green, 0);
            Modify_Plasma(PLASMA_COLOUR_RED, kept_colours.red, 0);
            Modify_Plasma(PLASMA_RED_SHIFT, static_cast<float>(kept_colours.red_shift), 0);
            Modify_Plasma(PLASMA_GREEN_SHIFT, static_cast<float>(kept_colours.green_shift), 0);
            Modify_Plasma(PLASMA_BLUE_SHIFT, static_cast<float>(kept_colours.blue_shift), 0);
            colour_blue_position = kept_colours.blue;
            colour_green_position = kept_colours.green;
            colour_red_position = kept_colours.red;
            Close(dialog, IDCANCEL);
            return 1;
        case COLOUR_INVERT:
        case COLOUR_DARKEN_BLUE:
        case COLOUR_DARKEN_GREEN:
        case COLOUR_DARKEN_RED:
            // A box clicked from the keyboard moves no mouse: it applies at once too.
            Apply_Boxes(dialog);
            return Redraw_Behind_Dialog();
        default: return 0;
        }
    default: return 0;
    }
}

}  // namespace

intptr_t Colour_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    const intptr_t answer = Colour_Message(dialog, message, wparam, lparam);
    Keep_Working_Bytes();
    return answer;
}

int Colour_Dialog_Box() {
    Platform_Control_Dialog_Box(COLOURBOX, app.main_window, Colour_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Kaleidoscope Background.

static int32_t background_brightness_position = 128;
static const Bar background_bars[] = {{BACKGROUND_SCROLL, BACKGROUND_NUMBER, 64, 200, &background_brightness_position}};

intptr_t Background_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    static const char* const backgrounds[] = {"No Background", "Gradual Fill",  "Colour Gradient",
                                              "Still Plasma",  "Moving Plasma", "Sine Waves"};
    switch (message) {
    case WM_INITDIALOG:
        List_Dialog_Opens();
        for (const char* background : backgrounds) Platform_List_Add_String(dialog, BACKGROUND_LIST, background);
        Platform_List_Set_Selection(dialog, BACKGROUND_LIST, plasma_settings.background_mode);
        background_brightness_position = plasma_settings.background_brightness;
        Open_Bar(dialog, background_bars[0]);
        Platform_Check_Dialog_Button(dialog, BACKGROUND_VARIABLE, plasma_settings.background_variable != 0);
        return 1;
    case WM_HSCROLL: return Scroll_Bars(dialog, background_bars, wparam, lparam);
    case WM_MOVE: return List_Dialog_Moved();
    case WM_COMMAND:
        switch (Command_Of(wparam)) {
        case IDOK: {
            const int chosen = Platform_List_Get_Selection(dialog, BACKGROUND_LIST);
            if (chosen >= 0 && chosen < static_cast<int>(std::size(backgrounds)))
                Modify_Plasma(PLASMA_BACKGROUND_MODE, static_cast<float>(chosen), 0);
            Modify_Plasma(PLASMA_BACKGROUND_BRIGHTNESS, static_cast<float>(background_brightness_position), 0);
            Modify_Plasma(PLASMA_BACKGROUND_VARIABLE,
                          Platform_Is_Dialog_Button_Checked(dialog, BACKGROUND_VARIABLE) ? 1.0f : 0.0f, 0);
            List_Dialog_Closes(dialog, IDOK);
            return 1;
        }
        case IDCANCEL: List_Dialog_Closes(dialog, IDCANCEL); return 1;
        case BACKGROUND_SINE_WAVES: Sine_Wave_Dialog_Box(); return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int Background_Dialog_Box() {
    Platform_Control_Dialog_Box(BACKGROUNDBOX, app.main_window, Background_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Sine Wave Configuration.

static int32_t sine_pixels_position = 1, sine_amplitude_position = 0, sine_variance_position = 1;
static int32_t sine_density_position = 1, sine_band_width_position = 1;
static const Bar sine_bars[] = {{SINE_PIXELS_SCROLL, -1, 1, 256, &sine_pixels_position},
                                {SINE_AMPLITUDE_SCROLL, -1, 0, 500, &sine_amplitude_position},
                                {SINE_VARIANCE_SCROLL, -1, 1, 100, &sine_variance_position},
                                {SINE_DENSITY_SCROLL, -1, 1, 1000, &sine_density_position},
                                {SINE_BAND_WIDTH_SCROLL, -1, 1, 256, &sine_band_width_position}};
// The wave density is kept in the preset as a phase step.
static constexpr double SINE_DENSITY_STEP = 0.0002;

intptr_t Sine_Wave_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    const PlasmaSettings& s = plasma_settings;
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opens();
        sine_pixels_position = s.sine_pixels_per_frame;
        sine_amplitude_position = s.sine_amplitude;
        sine_variance_position = s.sine_variance;
        sine_density_position = static_cast<int32_t>(s.sine_density / SINE_DENSITY_STEP + 0.5);
        sine_band_width_position = s.sine_band_width;
        for (const Bar& bar : sine_bars) Open_Bar(dialog, bar);
        Platform_Check_Dialog_Button(dialog, SINE_MULTICOLOUR, s.sine_multicolour != 0);
        Platform_Check_Dialog_Button(dialog, SINE_CLEAR_SCREEN, s.sine_clear_screen != 0);
        return 1;
    case WM_HSCROLL: return Scroll_Bars(dialog, sine_bars, wparam, lparam);
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_COMMAND:
        switch (Command_Of(wparam)) {
        case IDOK: {
            PlasmaSettings& out = plasma_settings;
            out.sine_pixels_per_frame = sine_pixels_position;
            out.sine_amplitude = sine_amplitude_position;
            out.sine_variance = sine_variance_position;
            out.sine_density = sine_density_position * SINE_DENSITY_STEP;
            out.sine_band_width = sine_band_width_position;
            out.sine_multicolour = Platform_Is_Dialog_Button_Checked(dialog, SINE_MULTICOLOUR) ? 1 : 0;
            out.sine_clear_screen = Platform_Is_Dialog_Button_Checked(dialog, SINE_CLEAR_SCREEN) ? 1 : 0;
            sine_rerandomise = 1;
            Close(dialog, IDOK);
            return 1;
        }
        case IDCANCEL: Close(dialog, IDCANCEL); return 1;
        // The texts beside the boxes turn them over too.
        case SINE_MULTICOLOUR_TEXT:
            Platform_Check_Dialog_Button(dialog, SINE_MULTICOLOUR,
                                         !Platform_Is_Dialog_Button_Checked(dialog, SINE_MULTICOLOUR));
            return 1;
        case SINE_CLEAR_SCREEN_TEXT:
            Platform_Check_Dialog_Button(dialog, SINE_CLEAR_SCREEN,
                                         !Platform_Is_Dialog_Button_Checked(dialog, SINE_CLEAR_SCREEN));
            return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int Sine_Wave_Dialog_Box() {
    Platform_Control_Dialog_Box(SINEWAVEBOX, app.main_window, Sine_Wave_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Welcome to Calvorine.

intptr_t Introduction_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t) {
    if (message == WM_INITDIALOG) return 1;
    if (message == WM_COMMAND && (Command_Of(wparam) == IDOK || Command_Of(wparam) == IDCANCEL)) {
        Platform_End_Control_Dialog(dialog, IDOK);
        return 1;
    }
    return 0;
}

int Introduction_Dialog_Box() {
    Platform_Control_Dialog_Box(INTRODUCTIONBOX, app.main_window, Introduction_Dialog_Procedure);
    return 1;
}
