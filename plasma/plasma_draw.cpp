// Drawing the plasma, folding it into symmetry, the random-colour tick, and
// the one setter of preset fields.
#include "plasma/plasma_draw.h"

#include "shell/random.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "graphics/blits.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_generator.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "shell/app_state.h"
#include "shell/error_log.h"
#include "shell/frame_driver.h"
#include "shell/menu.h"
#include "shell/frame_clock.h"
#include "slides/colour_slides.h"
#include "text/font.h"
#include "text/titles.h"

double random_colour_countdown = 0.0;
int32_t random_colour_ceiling = 0;

static const char* const BAD_DEST = "Draw_Plasma() NULL OR LOST DEST";

// ---------------------------------------------------------------------------
// Drawing

static bool Plasma_Fields_Ready(bool all_three)
{
    auto ready = [](const PlasmaField& f) { return f.ring_table && f.wave_table; };
    if (!ready(plasma_field_0)) return false;
    return !all_three || (ready(plasma_field_1) && ready(plasma_field_2));
}

// Mirrors the W x H block at (x, y) into the preset's symmetry with copies
// inside dest: two-fold to the right, four-fold downward, eight-fold doubles both.
static int Fold_Symmetry(Surface* dest, int x, int y, int W, int H)
{
    const int symmetry = plasma_settings.symmetry;
    if (symmetry < 1 || symmetry > 3) return 1;
    if (!Clip_H_Blit(dest, dest, x, y, x + W, y, W, H)) {
        Report_Error("Draw_Plasma(): Clip_H_Blit FAILED");
        return 0;
    }
    if (symmetry == 1) return 1;
    if (!Clip_V_Blit(dest, dest, x, y, x, y + H, 2 * W, H)) {
        Report_Error("Draw_Plasma(): Clip_V_Blit FAILED");
        return 0;
    }
    if (symmetry == 2) return 1;
    if (!Clip_H_Blit(dest, dest, x, y, x + 2 * W, y, 2 * W, 2 * H)) {
        Report_Error("Draw_Plasma(): Clip_H_Blit FAILED");
        return 0;
    }
    if (!Clip_V_Blit(dest, dest, x, y, x, y + 2 * H, 4 * W, 2 * H)) {
        Report_Error("Draw_Plasma(): Clip_V_Blit FAILED");
        return 0;
    }
    return 1;
}

static bool draw_plasma_traced = false;

int Draw_Plasma(Surface* dest, int x, int y)
{
    Trace_Enter(draw_plasma_traced, "Draw_Plasma");
    if (!dest) {
        Report_Error(BAD_DEST);
        return 0;
    }
    if (Surface_IsLost(dest) == DDERR_SURFACELOST) {
        // Hidden is one of the global surfaces and comes back with them.
        const bool restored = dest == Hidden ? Restore_All_Surfaces() != 0 : Surface_Restore(dest) == DD_OK;
        if (!restored) {
            Report_Error(BAD_DEST);
            return 0;
        }
    }

    Update_Random_Colour();

    // At 100 frames per second the per-second divisor equals `speed`.
    const double divisor =
        plasma_settings.slide_ignore_fps ? plasma_settings.speed : plasma_settings.speed / frame_seconds * 0.01;

    const int W = plasma_settings.plasma_width;
    const int H = plasma_settings.plasma_height;
    if (x + W > app.screen_width) x = app.screen_width - W;
    if (y + H > app.screen_height) y = app.screen_height - H;

    const int multi = plasma_settings.multi_colour;
    const bool known_mode = multi == 0 || multi == 1;
    const char* failed = nullptr;
    switch (app.screen_bpp) {
    case 8:
        if (!Plasma_Fields_Ready(false)) return 1;
        if (!Process_Plasma_8(&plasma_field_0, dest, divisor, x, y)) failed = "Draw_Plasma(): Process_Plasma_8 FAILED";
        break;
    case 15:
    case 16:
        if (!known_mode) break;
        if (!Plasma_Fields_Ready(multi == 1)) return 1;
        if (multi == 0) {
            if (!Process_Plasma_16(&plasma_field_0, dest, divisor, x, y))
                failed = "Draw_Plasma(): Process_Plasma_16 FAILED";
        } else if (!Multi_Colour_Plasma_16(&plasma_field_0, &plasma_field_1, &plasma_field_2, dest, divisor, divisor,
                                           divisor, x, y)) {
            failed = "Draw_Plasma(): Multi_Colour_Plasma_16 FAILED";
        }
        break;
    case 24:
        if (!known_mode) break;
        if (!Plasma_Fields_Ready(multi == 1)) return 1;
        if (multi == 0) {
            if (!Process_Plasma_24(&plasma_field_0, dest, divisor, x, y))
                failed = "Draw_Plasma(): Process_Plasma_24 FAILED";
        } else if (!Multi_Colour_Plasma_24(&plasma_field_0, &plasma_field_1, &plasma_field_2, dest, divisor, divisor,
                                           divisor, x, y)) {
            failed = "Draw_Plasma(): Multi_Colour_Plasma_24 FAILED";
        }
        break;
    case 32:
        if (!known_mode) break;
        if (!Plasma_Fields_Ready(multi == 1)) return 1;
        if (multi == 0) {
            if (!Process_Plasma_32(&plasma_field_0, dest, divisor, x, y))
                failed = "Draw_Plasma(): Process_Plasma_32 FAILED";
        } else if (!Multi_Colour_Plasma_32(&plasma_field_0, &plasma_field_1, &plasma_field_2, dest, divisor, divisor,
                                           divisor, x, y)) {
            failed = "Draw_Plasma(): Multi_Colour_Plasma_32 FAILED";
        }
        break;
    default:
        break;
    }
    if (failed) {
        Report_Error(failed);
        return 0;
    }

    if (!Fold_Symmetry(dest, x, y, W, H)) return 0;

    Trace_Exit(draw_plasma_traced, "Draw_Plasma");
    return 1;
}

// ---------------------------------------------------------------------------
// Random colour

static bool update_random_colour_traced = false;

void Update_Random_Colour()
{
    if (plasma_settings.random_colour_interval <= 0.0) return;
    Trace_Enter(update_random_colour_traced, "Update_Random_Colour");

    const int bpp = app.screen_bpp;
    if (random_colour_ceiling == 0) {
        if (bpp == 15 || bpp == 16) random_colour_ceiling = 31;
        if (bpp == 24 || bpp == 32) random_colour_ceiling = 127;
    }

    random_colour_countdown -= frame_seconds;
    if (random_colour_countdown >= 0.0) return;

    if (bpp == 8) {
        Choose_Plasma_Palette();
        random_colour_countdown = plasma_settings.random_colour_interval;
        Trace_Exit(update_random_colour_traced, "Update_Random_Colour");
        return;
    }

    // Without a ceiling (the first tick came at 8 bits, or at a depth with no
    // colour bytes) no draw could ever light a channel: wait for the next tick.
    if (random_colour_ceiling != 0) {
        const uint8_t on = static_cast<uint8_t>(random_colour_ceiling);
        do {
            plasma_settings.colour_blue = static_cast<uint8_t>(on * (crt::rand() & 1));
            plasma_settings.colour_green = static_cast<uint8_t>(on * (crt::rand() & 1));
            plasma_settings.colour_red = static_cast<uint8_t>(on * (crt::rand() & 1));
        } while (plasma_settings.colour_blue == 0 && plasma_settings.colour_green == 0 &&
                 plasma_settings.colour_red == 0);
        plasma_settings.red_shift = crt::rand() & 1;
        plasma_settings.green_shift = crt::rand() & 1;
        plasma_settings.blue_shift = crt::rand() & 1;
        plasma_settings.brighten = crt::rand() & 1;
        // The menu's check marks and the dialogs' saved values follow these
        // fields; the window and dialog code refreshes them here once it exists.
    }
    random_colour_countdown = plasma_settings.random_colour_interval;
    Trace_Exit(update_random_colour_traced, "Update_Random_Colour");
}

// ---------------------------------------------------------------------------
// The effects a preset switches on and off.

// Code 16. Releases the current overlay, stores the switch and, when on,
// sets the overlay up at the drawing area's size with a valid shape.
static int Switch_Overlay(int32_t on)
{
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
static void Switch_Kaleidoscope(int32_t on)
{
    Shutdown_Kaleidoscope();
    plasma_settings.kaleidoscope_on = on;
    if (on != 0 && !Setup_Kaleidoscope(app.client_width, app.client_height)) {
        Report_Error("Modify_Plasma(): Setup_Kaleidoscope FAILED");
        plasma_settings.kaleidoscope_on = 0;
    }
}

// Code 25. The slides ride on the kaleidoscope's tile, so switching them on
// switches the kaleidoscope on with a rebuilt plasma first.
static int Switch_Slides(int32_t on)
{
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
static void Shut_Down_Preset_Effects()
{
    Shutdown_Colour_Slides();
    Shutdown_Kaleidoscope();
    Shutdown_Plasma();
}

// Refresh_Plasma's last step: the title. An untitled preset is shown as "default".
static int Apply_Title()
{
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
static int32_t Truncate(float value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// A plasma side: divided for the symmetry, a multiple of 4, no more than the
// screen, at least 16.
static int32_t Plasma_Side(int32_t n, int divide_by, int32_t screen_side)
{
    n /= divide_by;
    n = (n / 4) * 4;
    if (n > screen_side) n = screen_side;
    if (n < 17) n = 16;
    return n;
}

static bool modify_plasma_traced = false;

int Modify_Plasma(int code, float value, int rebuild)
{
    PlasmaSettings& s = plasma_settings;
    if (app.saver_mode == PREVIEW && s.preview_active == 0) return 1;
    Trace_Enter(modify_plasma_traced, "Modify_Plasma");

    const float v = value;
    const int32_t n = Truncate(value);
    switch (code) {
    case PLASMA_MULTI_COLOUR: s.multi_colour = n >= 1 ? 1 : 0; break;
    case PLASMA_WIDTH: {
        const int divide_by = (s.symmetry == 1 || s.symmetry == 2) ? 2 : (s.symmetry == 3 ? 4 : 1);
        s.plasma_width = Plasma_Side(n, divide_by, app.screen_width);
        plasma_field_0.width = s.plasma_width;
        break;
    }
    case PLASMA_HEIGHT: {
        // The bipolar fold mirrors sideways only, so the height stays whole.
        const int divide_by = s.symmetry == 2 ? 2 : (s.symmetry == 3 ? 4 : 1);
        s.plasma_height = Plasma_Side(n, divide_by, app.screen_height);
        plasma_field_0.height = s.plasma_height;
        break;
    }
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

    if (rebuild == 1) {
        Shutdown_Plasma();
        if (!Setup_Plasma(&plasma_field_0) || !Setup_Plasma(&plasma_field_1) || !Setup_Plasma(&plasma_field_2)) {
            Report_Error("Modify_Plasma():\n\nUnable to RE-Initialise Plasma");
            return 0;
        }
        if (Hidden && !Clear(Hidden)) {
            Report_Error("Modify_Plasma():Clear Hidden FAILED");
            return 0;
        }
    }
    Trace_Exit(modify_plasma_traced, "Modify_Plasma");
    return 1;
}

// ---------------------------------------------------------------------------
// Refresh_Plasma and Shutdown_Plasma

static bool refresh_plasma_traced = false;

int Refresh_Plasma()
{
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

    // Every field once more through the one door, without rebuilding; the
    // plasma takes the drawing area's size, and the overlay comes last, after its shape.
    const PlasmaSettings& s = plasma_settings;
    auto apply = [](int code, double value) { Modify_Plasma(code, static_cast<float>(value), 0); };
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
    apply(PLASMA_KALEIDOSCOPE_ON, s.kaleidoscope_on);
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
    apply(PLASMA_OVERLAY_ON, s.overlay_on);

    app.vsync = s.vsync_setting != 0;
    // The random-preset timer's working copies keep what the user set while
    // the saver runs; a timer never armed takes the preset's.
    if (random_preset_seconds == 0) random_preset_seconds = s.random_preset_interval;
    if (transition_step == 0) transition_step = s.transition_speed;

    // One rebuild at the final size, which also clears Hidden; a failure has
    // been reported and leaves the plasma undrawn until the next rebuild.
    Modify_Plasma(PLASMA_SYMMETRY, static_cast<float>(s.symmetry), 1);
    Modify_Plasma(PLASMA_SLIDES_ON, static_cast<float>(s.slides_on), 0);

    // The dialogs' saved values (Store_Dialog_Values) are refreshed from the
    // new preset here once the dialogs exist.
    Update_Menu_Checks();

    if (!Apply_Title()) return 0;

    Trace_Exit(refresh_plasma_traced, "Refresh_Plasma");
    return 1;
}

static bool shutdown_plasma_traced = false;

void Shutdown_Plasma()
{
    Trace_Enter(shutdown_plasma_traced, "Shutdown_Plasma");
    for (PlasmaField* field : {&plasma_field_0, &plasma_field_1, &plasma_field_2}) {
        if (field->ring_table) std::free(field->ring_table);
        if (field->wave_table) std::free(field->wave_table);
        field->ring_table = nullptr;
        field->wave_table = nullptr;
        field->table_width = 0;
        field->table_height = 0;
    }
    Trace_Exit(shutdown_plasma_traced, "Shutdown_Plasma");
}
