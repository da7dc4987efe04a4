// The preset record's globals and its built-in defaults.
#include "plasma/plasma_settings.h"

#include <cmath>
#include <cstring>

#include "base/app_state.h"

PlasmaSettings plasma_settings;
PlasmaSettings plasma_settings_backup;

void Set_Default_Plasma_Settings() {
    PlasmaSettings& s = plasma_settings;
    std::memset(&s, 0, sizeof s);

    s.multi_colour = 1;
    s.resolution = 1;  // 640 x 480 x 32
    s.plasma_width = 128;
    s.plasma_height = 128;
    // At 32 bits the tables get the finer divisor: the deeper channels show the detail.
    s.contrast = app.screen_bpp == 32 ? 4 : 10;
    s.speed = 35.0;
    s.ripple_frequency = 5.4f;
    s.interference = 9.5f;
    s.sway = 1.6f;
    s.complexity = 50;
    s.blend_mode = 0;
    s.preview_active = 1;
    s.symmetry = 0;
    s.colour_blue = 127;
    s.colour_green = 127;
    s.colour_red = 127;
    s.colour_logic_and = 1;
    // A tile of about half the screen height, kept even.
    s.kaleidoscope_granularity = 2 * ((16 * (app.screen_height / 32)) / 4);
    s.brighten = 1;
    s.slide_speed = 10.0;

    int loaded = objects_loaded < 0 ? 0 : objects_loaded;
    if (loaded > MAX_SLIDE_OBJECTS) loaded = MAX_SLIDE_OBJECTS;
    for (int i = 0; i < loaded; ++i) {
        s.object_frequency[i] = 1;
        s.object_selected[i] = 1;
    }

    s.background_mode = 2;  // "Colour Gradient"
    s.background_variable = 1;
    s.background_brightness = 200;
    s.zone_frequency = 25;
    s.zone_duration = 6;
    s.zone_multicolour = 1;
    s.shape_mode = 0;
    s.shape_size = 7;
    s.shape_frequency = 100;
    s.slide_direction = 3;  // "Random"
    s.direction_change_frequency = 1000;
    s.vsync_setting = 1;
    s.slide_ignore_fps = 1;
}

// Largest magnitude kept for a real field that has no range of its own:
// far beyond anything a dialog can set, small enough that every step the
// effects derive from it stays a representable integer.
static constexpr double REAL_FIELD_LIMIT = 1.0e6;

// `value` when it is a number, else `fallback`; then no further out than [low, high].
static double Neutral_Real(double value, double fallback, double low, double high) {
    if (!std::isfinite(value)) value = fallback;
    return value < low ? low : (value > high ? high : value);
}

void Bound_Plasma_Settings() {
    PlasmaSettings& s = plasma_settings;
    // Strings from a file need not end inside their field.
    s.title[PRESET_TITLE_SIZE - 1] = '\0';
    s.custom_scope_path[CUSTOM_SCOPE_PATH_SIZE - 1] = '\0';

    // Not-a-number and infinities take the built-in default; the rest stays
    // where the conversions to whole numbers downstream are defined.
    s.speed = Neutral_Real(s.speed, 35.0, 1.0, 499.0);
    s.ripple_frequency = static_cast<float>(Neutral_Real(s.ripple_frequency, 5.4, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT));
    s.interference = static_cast<float>(Neutral_Real(s.interference, 9.5, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT));
    s.sway = static_cast<float>(Neutral_Real(s.sway, 1.6, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT));
    s.slide_speed = Neutral_Real(s.slide_speed, 10.0, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT);
    for (int i = 0; i < MAX_SLIDE_OBJECTS; ++i) {
        s.object_animation_speed[i] = Neutral_Real(s.object_animation_speed[i], 0.0, 0.0, 500.0);
        s.object_speed[i] = Neutral_Real(s.object_speed[i], 0.0, 0.0, 100.0);
    }
    s.random_colour_interval = Neutral_Real(s.random_colour_interval, 0.0, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT);
    s.sine_density = Neutral_Real(s.sine_density, 0.0, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT);
}
