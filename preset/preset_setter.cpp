// The one setter of preset fields, Modify_Plasma, with the effects each
// field switches on and off, and Refresh_Plasma, which applies a whole preset.
#include "preset/preset_setter.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_generator.h"
#include "plasma/plasma_settings.h"
#include "platform/system.h"
#include "preset/dialog_values.h"
#include "preset/menu.h"
#include "preset/random_preset_timer.h"
#include "preset/window_caption.h"
#include "slides/colour_slides.h"
#include "text/font.h"
#include "text/titles.h"

// ---------------------------------------------------------------------------
// The effects a preset switches on and off.

// Code 16. Releases the current overlay, stores the switch and, when on,
// sets the overlay up at the drawing area's size with a valid shape.
static int Switch_Overlay(int32_t on) {
    Shutdown_Scope();
    plasma_settings.overlay_on = on;
    if (on == 0) return 1;
    if (plasma_settings.overlay_shape < 0 || plasma_settings.overlay_shape > 4) plasma_settings.overlay_shape = 0;
    if (!Setup_Scope(app.client_width, app.client_height, plasma_settings.overlay_shape)) {
        Report_Error("Modify_Plasma(): Setup_Scope FAILED");
        plasma_settings.overlay_on = 0;
        return 0;
    }
    return 1;
}

// Codes 18 and 23. Rebuilds the kaleidoscope for the drawing area when on.
// Setup_Kaleidoscope comes back here through codes 1 and 2 to size the plasma
// to its tile.
static void Switch_Kaleidoscope(int32_t on) {
    Shutdown_Kaleidoscope();
    plasma_settings.kaleidoscope_on = on;
    if (on != 0 && !Setup_Kaleidoscope(app.client_width, app.client_height)) {
        Report_Error("Modify_Plasma(): Setup_Kaleidoscope FAILED");
        plasma_settings.kaleidoscope_on = 0;
    }
}

// Code 25. The slides ride on the kaleidoscope's tile, so switching them on
// switches the kaleidoscope on with a rebuilt plasma first.
static int Switch_Slides(int32_t on) {
    plasma_settings.slides_on = on;
    if (on != 1) {
        Shutdown_Colour_Slides();
        return 1;
    }
    Modify_Plasma(PLASMA_KALEIDOSCOPE_SWITCH, 1.0f, 1);
    Shutdown_Colour_Slides();
    if (!Setup_Colour_Slides(plasma_settings.plasma_width, plasma_settings.plasma_height,
                             plasma_settings.slide_speed)) {
        Report_Error("Modify_Plasma(): Setup_Colour_Slides FAILED");
        return 0;
    }
    return 1;
}

// Refresh_Plasma's first step: what depends on the plasma's size goes before
// the plasma itself.
static void Shut_Down_Preset_Effects() {
    Shutdown_Colour_Slides();
    Shutdown_Kaleidoscope();
    Shutdown_Plasma();
}

// Refresh_Plasma's last step: the title. An untitled preset is shown as "default".
static int Apply_Title() {
    if (plasma_settings.title[0] == '\0') std::strcpy(plasma_settings.title, "default");
    if (!Setup_Title(plasma_settings.title, PROGRAM_FONT)) {
        Report_Error("Refresh_Plasma(): Setup_Title FAILED");
        return 0;
    }
    Update_Window_Title(plasma_settings.title);
    return 1;
}

// ---------------------------------------------------------------------------
// Modify_Plasma

// trunc(value) as a 32-bit integer; out-of-range values saturate and a value
// that is not a number gives 0, where a plain conversion would be undefined.
static int32_t Truncate(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

static bool modify_plasma_traced = false;

int Modify_Plasma(int code, float value, int rebuild) {
    PlasmaSettings& s = plasma_settings;
    if (app.saver_mode == PREVIEW && s.preview_active == 0) return 1;
    Trace_Enter(modify_plasma_traced, "Modify_Plasma");

    const float v = value;
    const int32_t n = Truncate(value);
    switch (code) {
    case PLASMA_MULTI_COLOUR: s.multi_colour = n >= 1 ? 1 : 0; break;
    case PLASMA_WIDTH: Size_Plasma_Width(n); break;
    case PLASMA_HEIGHT: Size_Plasma_Height(n); break;
    case PLASMA_CONTRAST: s.contrast = n < 1 ? 1 : (n > 60 ? 60 : n); break;
    case PLASMA_SPEED:
        // The speed divides every phase step: never below 1, and a value that
        // is not a number counts as the lowest.
        s.speed = !(v >= 1.0f) ? 1.0 : (v > 499.0f ? 499.0 : static_cast<double>(v));
        break;
    case PLASMA_RIPPLE_FREQUENCY: s.ripple_frequency = v; break;
    case PLASMA_INTERFERENCE: s.interference = v; break;
    case PLASMA_SWAY: s.sway = v; break;
    case PLASMA_COMPLEXITY: s.complexity = n; break;
    case PLASMA_PREVIEW_ACTIVE: s.preview_active = n; break;
    case PLASMA_SYMMETRY: s.symmetry = n; break;
    case PLASMA_COLOUR_BLUE: s.colour_blue = static_cast<uint8_t>(n & 0xFF); break;
    case PLASMA_COLOUR_GREEN: s.colour_green = static_cast<uint8_t>(n & 0xFF); break;
    case PLASMA_COLOUR_RED: s.colour_red = static_cast<uint8_t>(n & 0xFF); break;
    case PLASMA_COLOUR_LOGIC_AND: s.colour_logic_and = n; break;
    case PLASMA_OVERLAY_ON:
        if (!Switch_Overlay(n)) return 0;
        break;
    case PLASMA_OVERLAY_SHAPE: s.overlay_shape = (n < 0 || n > 4) ? 0 : n; break;
    case PLASMA_KALEIDOSCOPE_ON:
    case PLASMA_KALEIDOSCOPE_SWITCH: Switch_Kaleidoscope(n); break;
    case PLASMA_BRIGHTEN: s.brighten = n; break;
    case PLASMA_RED_SHIFT: s.red_shift = n; break;
    case PLASMA_GREEN_SHIFT: s.green_shift = n; break;
    case PLASMA_BLUE_SHIFT: s.blue_shift = n; break;
    case PLASMA_KALEIDOSCOPE_GRANULARITY: s.kaleidoscope_granularity = n; break;
    case PLASMA_SLIDES_ON:
        if (!Switch_Slides(n)) return 0;
        break;
    case PLASMA_SLIDE_SPEED: s.slide_speed = v; break;
    case PLASMA_BACKGROUND_MODE: s.background_mode = n; break;
    case PLASMA_BACKGROUND_VARIABLE: s.background_variable = n; break;
    case PLASMA_BACKGROUND_BRIGHTNESS: s.background_brightness = n; break;
    case PLASMA_RESOLUTION: s.resolution = n; break;
    case PLASMA_ZONE_FREQUENCY: s.zone_frequency = n; break;
    case PLASMA_ZONE_DURATION: s.zone_duration = n; break;
    case PLASMA_ZONE_MULTICOLOUR: s.zone_multicolour = n; break;
    case PLASMA_SHAPE_MODE: s.shape_mode = n; break;
    case PLASMA_SHAPE_SIZE: s.shape_size = n; break;
    case PLASMA_SHAPE_FREQUENCY: s.shape_frequency = n; break;
    case PLASMA_BLEND_MODE: s.blend_mode = n; break;
    case PLASMA_SLIDE_DIRECTION: s.slide_direction = n; break;
    case PLASMA_DIRECTION_CHANGE_FREQUENCY: s.direction_change_frequency = n; break;
    default: break;  // 9, 27, 28 and everything from 42 on change nothing
    }

    if (rebuild == 1 && !Rebuild_Plasma()) return 0;
    Trace_Exit(modify_plasma_traced, "Modify_Plasma");
    return 1;
}

// ---------------------------------------------------------------------------
// Refresh_Plasma

static bool refresh_plasma_traced = false;

int Refresh_Plasma() {
    Trace_Enter(refresh_plasma_traced, "Refresh_Plasma");

    if (app.display_mode == DISPLAY_FULL_SCREEN || app.saver_mode == SAVER) {
        app.client_width = app.screen_width;
        app.client_height = app.screen_height;
    } else {
        Rect client;
        if (!app.main_window || !GetClientRect(app.main_window, &client)) {
            // The preview's host window may vanish at any time; that is not worth a report.
            if (app.saver_mode == PREVIEW) return 0;
            Report_Error("WM_SIZE: GetClientRect FAILED");
            return 0;
        }
        app.client_width = client.right - client.left;
        app.client_height = client.bottom - client.top;
    }

    Shut_Down_Preset_Effects();

    // The record may have come from any file.
    Bound_Plasma_Settings();

    // Every field once more through the one door, without rebuilding; the
    // plasma takes the drawing area's size, and the overlay comes last, after its shape.
    const PlasmaSettings& s = plasma_settings;
    // An effect that will not set up has been reported and is left off; the
    // rest is still applied, but the preset was not applied whole.
    bool whole = true;
    auto apply = [&whole](int code, double value) {
        if (!Modify_Plasma(code, static_cast<float>(value), 0)) whole = false;
    };
    apply(PLASMA_MULTI_COLOUR, s.multi_colour);
    apply(PLASMA_WIDTH, app.client_width);
    apply(PLASMA_HEIGHT, app.client_height);
    apply(PLASMA_CONTRAST, s.contrast);
    apply(PLASMA_SPEED, s.speed);
    apply(PLASMA_RIPPLE_FREQUENCY, s.ripple_frequency);
    apply(PLASMA_INTERFERENCE, s.interference);
    apply(PLASMA_SWAY, s.sway);
    apply(PLASMA_COMPLEXITY, s.complexity);
    apply(PLASMA_PREVIEW_ACTIVE, s.preview_active);
    apply(PLASMA_COLOUR_BLUE, s.colour_blue);
    apply(PLASMA_COLOUR_GREEN, s.colour_green);
    apply(PLASMA_COLOUR_RED, s.colour_red);
    apply(PLASMA_COLOUR_LOGIC_AND, s.colour_logic_and);
    const int32_t kaleidoscope_asked = s.kaleidoscope_on;
    apply(PLASMA_KALEIDOSCOPE_ON, s.kaleidoscope_on);
    if (kaleidoscope_asked != 0 && s.kaleidoscope_on == 0) whole = false;
    apply(PLASMA_BRIGHTEN, s.brighten);
    apply(PLASMA_RED_SHIFT, s.red_shift);
    apply(PLASMA_GREEN_SHIFT, s.green_shift);
    apply(PLASMA_BLUE_SHIFT, s.blue_shift);
    apply(PLASMA_KALEIDOSCOPE_GRANULARITY, s.kaleidoscope_granularity);
    apply(PLASMA_SLIDE_SPEED, s.slide_speed);
    apply(PLASMA_BACKGROUND_MODE, s.background_mode);
    apply(PLASMA_BACKGROUND_VARIABLE, s.background_variable);
    apply(PLASMA_BACKGROUND_BRIGHTNESS, s.background_brightness);
    apply(PLASMA_RESOLUTION, s.resolution);
    apply(PLASMA_ZONE_FREQUENCY, s.zone_frequency);
    apply(PLASMA_ZONE_DURATION, s.zone_duration);
    apply(PLASMA_ZONE_MULTICOLOUR, s.zone_multicolour);
    apply(PLASMA_SHAPE_MODE, s.shape_mode);
    apply(PLASMA_SHAPE_SIZE, s.shape_size);
    apply(PLASMA_SHAPE_FREQUENCY, s.shape_frequency);
    apply(PLASMA_BLEND_MODE, s.blend_mode);
    apply(PLASMA_SLIDE_DIRECTION, s.slide_direction);
    apply(PLASMA_DIRECTION_CHANGE_FREQUENCY, s.direction_change_frequency);
    apply(PLASMA_OVERLAY_SHAPE, s.overlay_shape);
    // 256 colours have no overlay at all: the screen's notice says so, and
    // the rest is the preset as it can be shown.
    if (!Modify_Plasma(PLASMA_OVERLAY_ON, static_cast<float>(s.overlay_on), 0) && app.screen_bpp != 8) whole = false;

    app.vsync = s.vsync_setting != 0;
    // The random-preset timer's working copies keep what the user set while
    // the saver runs; a timer never armed takes the preset's.
    if (random_preset_seconds == 0) random_preset_seconds = s.random_preset_interval;
    if (transition_step == 0) transition_step = s.transition_speed;

    // One rebuild at the final size, which also clears Hidden; a failure has
    // been reported and leaves the plasma undrawn until the next rebuild.
    if (!Modify_Plasma(PLASMA_SYMMETRY, static_cast<float>(s.symmetry), 1)) whole = false;
    if (!Modify_Plasma(PLASMA_SLIDES_ON, static_cast<float>(s.slides_on), 0)) whole = false;

    Store_Dialog_Values();
    Update_Menu_Checks();

    if (!Apply_Title()) return 0;
    if (!whole) {
        Report_Error("Refresh_Plasma(): the preset was not applied whole");
        return 0;
    }

    Trace_Exit(refresh_plasma_traced, "Refresh_Plasma");
    return 1;
}
