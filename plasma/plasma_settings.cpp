// The preset record's globals and its built-in defaults.
#include "plasma/plasma_settings.h"

#include <cmath>
#include <cstring>

#include "base/app_state.h"

PlasmaSettings plasma_settings;
PlasmaSettings plasma_settings_backup;

// The resolution codes 0..19, and the built-in 640 x 480 x 32.
static constexpr int32_t RESOLUTION_CODES = 20;
static constexpr int32_t DEFAULT_RESOLUTION = 1;

void Set_Default_Plasma_Settings() {
    PlasmaSettings& s = plasma_settings;
    std::memset(&s, 0, sizeof s);

    s.multi_colour = 1;
    s.resolution = DEFAULT_RESOLUTION;
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

// A whole field inside [low, high]: the nearer end when it lies outside.
static void Bound_Whole(int32_t* field, int32_t low, int32_t high) {
    if (*field < low) *field = low;
    if (*field > high) *field = high;
}

// A switch stored as 0 or 1: read as on when not 0, or (the slides and the
// objects' selection) on only at exactly 1.
static void Bound_Switch(int32_t* field) { *field = *field != 0 ? 1 : 0; }
static void Bound_Switch_Exactly_One(int32_t* field) { *field = *field == 1 ? 1 : 0; }

// The ranges of the whole fields, as the dialogs, the menu and Modify_Plasma
// keep them. Each reader copes with its own field too; bounding them here
// once means a preset from any file is one the program itself could have
// written, so that what is saved after it loads back unchanged.
struct Whole_Range {
    int32_t PlasmaSettings::* field;
    int32_t low, high;
};
static const Whole_Range whole_ranges[] = {
    {&PlasmaSettings::plasma_width, 16, 16384},         // sized again to the drawing area when applied
    {&PlasmaSettings::plasma_height, 16, 16384},
    {&PlasmaSettings::contrast, 1, 60},
    {&PlasmaSettings::complexity, 0, 999},
    {&PlasmaSettings::blend_mode, 0, 2},                // off, hue, light
    {&PlasmaSettings::symmetry, 0, 3},                  // none, bipolar, four-fold, eight-fold
    {&PlasmaSettings::kaleidoscope_granularity, 0, 16384},
    {&PlasmaSettings::red_shift, 0, 8},                 // a shift of a byte
    {&PlasmaSettings::green_shift, 0, 8},
    {&PlasmaSettings::blue_shift, 0, 8},
    {&PlasmaSettings::background_mode, 0, 5},
    {&PlasmaSettings::background_brightness, 0, 255},   // a lightness
    {&PlasmaSettings::zone_frequency, 0, 50},
    {&PlasmaSettings::zone_duration, 0, 50},
    {&PlasmaSettings::slide_direction, 0, 3},           // in, out, alternate, random
    {&PlasmaSettings::direction_change_frequency, 1, 1000},
    {&PlasmaSettings::fade_light, 0, 255},
    {&PlasmaSettings::fade_hue, 0, 255},
    {&PlasmaSettings::fade_saturation, 0, 255},
    {&PlasmaSettings::random_preset_interval, 0, 500},  // seconds, 0 off
    {&PlasmaSettings::transition_speed, 0, 800},        // 0: the running speed is kept
    {&PlasmaSettings::sine_pixels_per_frame, 0, 256},
    {&PlasmaSettings::sine_variance, 0, 100},
    {&PlasmaSettings::sine_amplitude, 0, 500},
    {&PlasmaSettings::sine_band_width, 0, 256},
};

// The switches, each as its readers test it.
static int32_t PlasmaSettings::* const switches[] = {
    &PlasmaSettings::preview_active,   &PlasmaSettings::colour_logic_and,  &PlasmaSettings::overlay_on,
    &PlasmaSettings::kaleidoscope_on,  &PlasmaSettings::kaleidoscope_stretch, &PlasmaSettings::brighten,
    &PlasmaSettings::background_variable, &PlasmaSettings::zone_multicolour, &PlasmaSettings::vsync_setting,
    &PlasmaSettings::slide_ignore_fps, &PlasmaSettings::plasma_ignore_fps, &PlasmaSettings::titles_on,
    &PlasmaSettings::sine_clear_screen, &PlasmaSettings::sine_multicolour,
};

// Most instances of one slide object, as its dialog sets them.
static constexpr int32_t OBJECT_FREQUENCY_LIMIT = 200;

void Bound_Plasma_Settings() {
    PlasmaSettings& s = plasma_settings;
    // Strings from a file need not end inside their field.
    s.title[PRESET_TITLE_SIZE - 1] = '\0';
    s.custom_scope_path[CUSTOM_SCOPE_PATH_SIZE - 1] = '\0';

    // A code the resolution table does not hold asks for the built-in one.
    if (s.resolution < 0 || s.resolution >= RESOLUTION_CODES) s.resolution = DEFAULT_RESOLUTION;
    // As Modify_Plasma stores them: 1 from 1 up, else 0; a shape outside
    // circle, ellipse, diamond, star and custom is the circle.
    s.multi_colour = s.multi_colour >= 1 ? 1 : 0;
    if (s.overlay_shape < 0 || s.overlay_shape > 4) s.overlay_shape = 0;
    for (const Whole_Range& range : whole_ranges) Bound_Whole(&(s.*range.field), range.low, range.high);
    for (int32_t PlasmaSettings::* field : switches) Bound_Switch(&(s.*field));
    // The slides and the objects' selection are on only at exactly 1.
    Bound_Switch_Exactly_One(&s.slides_on);

    // Not-a-number and infinities take the built-in default; the rest stays
    // where the conversions to whole numbers downstream are defined.
    s.speed = Neutral_Real(s.speed, 35.0, 1.0, 499.0);
    s.ripple_frequency = static_cast<float>(Neutral_Real(s.ripple_frequency, 5.4, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT));
    s.interference = static_cast<float>(Neutral_Real(s.interference, 9.5, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT));
    s.sway = static_cast<float>(Neutral_Real(s.sway, 1.6, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT));
    s.slide_speed = Neutral_Real(s.slide_speed, 10.0, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT);
    for (int i = 0; i < MAX_SLIDE_OBJECTS; ++i) {
        Bound_Whole(&s.object_frequency[i], 0, OBJECT_FREQUENCY_LIMIT);
        Bound_Switch_Exactly_One(&s.object_selected[i]);
        s.object_animation_speed[i] = Neutral_Real(s.object_animation_speed[i], 0.0, 0.0, 500.0);
        s.object_speed[i] = Neutral_Real(s.object_speed[i], 0.0, 0.0, 100.0);
    }
    // Seconds between colour changes: the dialog's 0 to 600, 0 and below off.
    s.random_colour_interval = Neutral_Real(s.random_colour_interval, 0.0, 0.0, REAL_FIELD_LIMIT);
    s.sine_density = Neutral_Real(s.sine_density, 0.0, -REAL_FIELD_LIMIT, REAL_FIELD_LIMIT);
}
