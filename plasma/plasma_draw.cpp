// Drawing the plasma, folding it into symmetry, the random-colour tick, and
// sizing and rebuilding the plasma fields.
#include "plasma/plasma_draw.h"

#include "base/random.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/app_state.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "graphics/blits.h"
#include "graphics/surface.h"
#include "plasma/plasma_generator.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"

double random_colour_countdown = 0.0;
int32_t random_colour_ceiling = 0;
bool random_colour_changed = false;

static const char* const BAD_DEST = "Draw_Plasma() NULL OR LOST DEST";

// ---------------------------------------------------------------------------
// Drawing

static bool Plasma_Fields_Ready(bool all_three) {
    auto ready = [](const PlasmaField& f) { return f.ring_table && f.wave_table; };
    if (!ready(plasma_field_0)) return false;
    return !all_three || (ready(plasma_field_1) && ready(plasma_field_2));
}

// Mirrors the W x H block at (x, y) into the preset's symmetry with copies
// inside dest: two-fold to the right, four-fold downward, eight-fold doubles both.
static int Fold_Symmetry(Surface* dest, int x, int y, int W, int H) {
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

int Draw_Plasma(Surface* dest, int x, int y) {
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
    default: break;
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

void Update_Random_Colour() {
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
        // fields: the frame driver brings them up to date after the draw.
        random_colour_changed = true;
    }
    random_colour_countdown = plasma_settings.random_colour_interval;
    Trace_Exit(update_random_colour_traced, "Update_Random_Colour");
}

// ---------------------------------------------------------------------------
// Sizing and rebuilding the plasma fields

// A plasma side: divided for the symmetry, a multiple of 4, no more than the
// screen, at least 16.
static int32_t Plasma_Side(int32_t n, int divide_by, int32_t screen_side) {
    n /= divide_by;
    n = (n / 4) * 4;
    if (n > screen_side) n = screen_side;
    if (n < 17) n = 16;
    return n;
}

void Size_Plasma_Width(int32_t width) {
    PlasmaSettings& s = plasma_settings;
    const int divide_by = (s.symmetry == 1 || s.symmetry == 2) ? 2 : (s.symmetry == 3 ? 4 : 1);
    s.plasma_width = Plasma_Side(width, divide_by, app.screen_width);
    plasma_field_0.width = s.plasma_width;
}

void Size_Plasma_Height(int32_t height) {
    PlasmaSettings& s = plasma_settings;
    // The bipolar fold mirrors sideways only, so the height stays whole.
    const int divide_by = s.symmetry == 2 ? 2 : (s.symmetry == 3 ? 4 : 1);
    s.plasma_height = Plasma_Side(height, divide_by, app.screen_height);
    plasma_field_0.height = s.plasma_height;
}

int Rebuild_Plasma() {
    Shutdown_Plasma();
    if (!Setup_Plasma(&plasma_field_0) || !Setup_Plasma(&plasma_field_1) || !Setup_Plasma(&plasma_field_2)) {
        Report_Error("Modify_Plasma():\n\nUnable to RE-Initialise Plasma");
        return 0;
    }
    if (Hidden && !Clear(Hidden)) {
        Report_Error("Modify_Plasma():Clear Hidden FAILED");
        return 0;
    }
    return 1;
}

int Resize_Plasma(int width, int height) {
    // A still preview changes nothing, as with every other setting.
    if (app.saver_mode == PREVIEW && plasma_settings.preview_active == 0) return 1;
    Size_Plasma_Width(width);
    Size_Plasma_Height(height);
    return Rebuild_Plasma();
}

static bool shutdown_plasma_traced = false;

void Shutdown_Plasma() {
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
