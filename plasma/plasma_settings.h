// The preset record: every visual setting of the saver in one place.
//
// The record is also the byte image of a .DAT preset file (10136 bytes,
// little-endian, no header), so its layout is frozen: every field sits at
// a fixed offset and the gaps between them are named reserves that stay
// zero. Presets written by every earlier version must keep loading.
#pragma once

#include <cstddef>
#include <cstdint>

// Most slide objects a preset can describe.
constexpr int MAX_SLIDE_OBJECTS = 250;
// Size of the preset title, NUL included.
constexpr int PRESET_TITLE_SIZE = 2192;
// Size of the custom scope bitmap path, NUL included.
constexpr int CUSTOM_SCOPE_PATH_SIZE = 1560;

struct PlasmaSettings {
    int32_t multi_colour;                              // three fields give blue, green, red (code 0)
    int32_t resolution;                                // preferred full-screen resolution code 0..19 (32)
    int32_t plasma_width;                              // plasma field width in pixels (1)
    int32_t plasma_height;                             // plasma field height in pixels (2)
    int32_t contrast;                                  // table divisor 1..60 (3)
    uint8_t reserve_20[4];                             // zero
    double speed;                                      // plasma step divisor 1..499, higher is slower (4)
    float ripple_frequency;                            // ring-table multiplier (5)
    float interference;                                // wave-table distance divisor (6)
    float sway;                                        // phase step multiplier (7)
    int32_t complexity;                                // wave-table amplitude (8)
    int32_t blend_mode;                                // slide-object blend: 0 off, 1 hue, 2 light (39)
    int32_t preview_active;                            // animate inside the settings preview (10)
    int32_t symmetry;                                  // 0 none, 1 bipolar, 2 four-fold, 3 eight-fold (11)
    uint8_t colour_blue;                               // blue colour byte (12)
    uint8_t colour_green;                              // green colour byte (13)
    uint8_t colour_red;                                // red colour byte (14)
    uint8_t reserve_63;                                // zero
    int32_t colour_logic_and;                          // 1: colour AND plasma, 0: OR (15)
    int32_t overlay_on;                                // scope overlay shown (16)
    int32_t overlay_shape;                             // 0 circle, 1 ellipse, 2 diamond, 3 star, 4 custom (17)
    int32_t kaleidoscope_on;                           // kaleidoscope folding (18, 23)
    int32_t kaleidoscope_stretch;                      // stretch the kaleidoscope over the screen (menu)
    int32_t kaleidoscope_granularity;                  // requested kaleidoscope tile side (24)
    int32_t brighten;                                  // double every channel at 24/32 bits (19)
    int32_t red_shift;                                 // red channel right shift 0..1 (20)
    int32_t green_shift;                               // green channel right shift (21)
    int32_t blue_shift;                                // blue channel right shift (22)
    int32_t slides_on;                                 // colour slides (25)
    uint8_t reserve_108[4];                            // zero
    double slide_speed;                                // slide speed (26)
    int32_t object_frequency[MAX_SLIDE_OBJECTS];       // per object: instances 0..200
    int32_t object_selected[MAX_SLIDE_OBJECTS];        // per object: selected for the slides
    double object_animation_speed[MAX_SLIDE_OBJECTS];  // per object: animation speed 0..500
    double object_speed[MAX_SLIDE_OBJECTS];            // per object: speed 0..100
    int32_t background_mode;                           // kaleidoscope background 0..5 (29)
    int32_t background_variable;                       // background brightness varies (30)
    int32_t background_brightness;                     // colour-gradient brightness 64..200 (31)
    int32_t zone_frequency;                            // homogenous-zone frequency, 50 minus dialog position (33)
    int32_t zone_duration;                             // homogenous-zone duration 0..50 (34)
    int32_t zone_multicolour;                          // "Multicolour Zones" (35)
    int32_t shape_mode;                                // shape list index; kept, nothing draws it (36)
    int32_t shape_size;                                // kept, nothing draws it (37)
    int32_t shape_frequency;                           // kept, nothing draws it (38)
    int32_t slide_direction;                           // 0 in, 1 out, 2 alternate, 3 random (40)
    int32_t direction_change_frequency;                // direction change frequency 1..1000 (41)
    int32_t vsync_setting;                             // the preset's copy of View > Vsync (menu)
    int32_t slide_ignore_fps;                          // animate per frame instead of per second
    int32_t plasma_ignore_fps;                         // Plasma Speed dialog's box; stored only
    char title[PRESET_TITLE_SIZE];                     // NUL-terminated preset title
    double random_colour_interval;                     // seconds between random colour changes, 0 off
    double sine_density;                               // sine-wave phase step
    uint8_t reserve_8384[104];                         // zero
    int32_t reserve_8488;                              // written 0 by the defaults, read by nothing
    int32_t fade_light;                                // fade "Light" 0..255
    int32_t fade_hue;                                  // fade "Hue" 0..255
    int32_t fade_saturation;                           // fade "Saturation" 0..255
    int32_t random_preset_interval;                    // "Random Presets" interval 0..500
    int32_t transition_speed;                          // "Transition Speed" 1..800
    int32_t titles_on;                                 // titles shown (View > Titles)
    int32_t sine_pixels_per_frame;                     // sine waves: pixels per frame
    int32_t sine_variance;                             // sine waves: variance
    int32_t sine_amplitude;                            // sine waves: amplitude
    int32_t sine_clear_screen;                         // sine waves: clear the screen
    int32_t sine_multicolour;                          // sine waves: multicolour
    int32_t sine_band_width;                           // sine waves: band width
    uint8_t reserve_8540[36];                          // zero
    char custom_scope_path[CUSTOM_SCOPE_PATH_SIZE];    // NUL-terminated custom scope bitmap path
};

// The file layout, checked field by field so a stray member cannot shift it.
static_assert(sizeof(PlasmaSettings) == 10136);
static_assert(offsetof(PlasmaSettings, resolution) == 4);
static_assert(offsetof(PlasmaSettings, plasma_width) == 8);
static_assert(offsetof(PlasmaSettings, plasma_height) == 12);
static_assert(offsetof(PlasmaSettings, contrast) == 16);
static_assert(offsetof(PlasmaSettings, speed) == 24);
static_assert(offsetof(PlasmaSettings, ripple_frequency) == 32);
static_assert(offsetof(PlasmaSettings, interference) == 36);
static_assert(offsetof(PlasmaSettings, sway) == 40);
static_assert(offsetof(PlasmaSettings, complexity) == 44);
static_assert(offsetof(PlasmaSettings, blend_mode) == 48);
static_assert(offsetof(PlasmaSettings, preview_active) == 52);
static_assert(offsetof(PlasmaSettings, symmetry) == 56);
static_assert(offsetof(PlasmaSettings, colour_blue) == 60);
static_assert(offsetof(PlasmaSettings, colour_green) == 61);
static_assert(offsetof(PlasmaSettings, colour_red) == 62);
static_assert(offsetof(PlasmaSettings, colour_logic_and) == 64);
static_assert(offsetof(PlasmaSettings, overlay_on) == 68);
static_assert(offsetof(PlasmaSettings, overlay_shape) == 72);
static_assert(offsetof(PlasmaSettings, kaleidoscope_on) == 76);
static_assert(offsetof(PlasmaSettings, kaleidoscope_stretch) == 80);
static_assert(offsetof(PlasmaSettings, kaleidoscope_granularity) == 84);
static_assert(offsetof(PlasmaSettings, brighten) == 88);
static_assert(offsetof(PlasmaSettings, red_shift) == 92);
static_assert(offsetof(PlasmaSettings, green_shift) == 96);
static_assert(offsetof(PlasmaSettings, blue_shift) == 100);
static_assert(offsetof(PlasmaSettings, slides_on) == 104);
static_assert(offsetof(PlasmaSettings, slide_speed) == 112);
static_assert(offsetof(PlasmaSettings, object_frequency) == 120);
static_assert(offsetof(PlasmaSettings, object_selected) == 1120);
static_assert(offsetof(PlasmaSettings, object_animation_speed) == 2120);
static_assert(offsetof(PlasmaSettings, object_speed) == 4120);
static_assert(offsetof(PlasmaSettings, background_mode) == 6120);
static_assert(offsetof(PlasmaSettings, background_variable) == 6124);
static_assert(offsetof(PlasmaSettings, background_brightness) == 6128);
static_assert(offsetof(PlasmaSettings, zone_frequency) == 6132);
static_assert(offsetof(PlasmaSettings, zone_duration) == 6136);
static_assert(offsetof(PlasmaSettings, zone_multicolour) == 6140);
static_assert(offsetof(PlasmaSettings, shape_mode) == 6144);
static_assert(offsetof(PlasmaSettings, shape_size) == 6148);
static_assert(offsetof(PlasmaSettings, shape_frequency) == 6152);
static_assert(offsetof(PlasmaSettings, slide_direction) == 6156);
static_assert(offsetof(PlasmaSettings, direction_change_frequency) == 6160);
static_assert(offsetof(PlasmaSettings, vsync_setting) == 6164);
static_assert(offsetof(PlasmaSettings, slide_ignore_fps) == 6168);
static_assert(offsetof(PlasmaSettings, plasma_ignore_fps) == 6172);
static_assert(offsetof(PlasmaSettings, title) == 6176);
static_assert(offsetof(PlasmaSettings, random_colour_interval) == 8368);
static_assert(offsetof(PlasmaSettings, sine_density) == 8376);
static_assert(offsetof(PlasmaSettings, reserve_8488) == 8488);
static_assert(offsetof(PlasmaSettings, fade_light) == 8492);
static_assert(offsetof(PlasmaSettings, fade_hue) == 8496);
static_assert(offsetof(PlasmaSettings, fade_saturation) == 8500);
static_assert(offsetof(PlasmaSettings, random_preset_interval) == 8504);
static_assert(offsetof(PlasmaSettings, transition_speed) == 8508);
static_assert(offsetof(PlasmaSettings, titles_on) == 8512);
static_assert(offsetof(PlasmaSettings, sine_pixels_per_frame) == 8516);
static_assert(offsetof(PlasmaSettings, sine_variance) == 8520);
static_assert(offsetof(PlasmaSettings, sine_amplitude) == 8524);
static_assert(offsetof(PlasmaSettings, sine_clear_screen) == 8528);
static_assert(offsetof(PlasmaSettings, sine_multicolour) == 8532);
static_assert(offsetof(PlasmaSettings, sine_band_width) == 8536);
static_assert(offsetof(PlasmaSettings, custom_scope_path) == 8576);
static_assert(sizeof(float) == 4 && sizeof(double) == 8);

// The current preset: every Part reads it, Modify_Plasma writes it.
extern PlasmaSettings plasma_settings;
// The copy that carries the preset across a rebuild of the display
// (written by Backup_Plasma_Settings, read by Restore_Plasma_Settings).
extern PlasmaSettings plasma_settings_backup;

// Slide objects loaded so far; the defaults select exactly these. Set by the
// slide-object loader, 0 until it has run.
extern int objects_loaded;

// Fills plasma_settings with the built-in defaults (contrast and granularity
// follow the display's depth and height at this moment).
void Set_Default_Plasma_Settings();

// Brings every field of the current record into its range: the strings end
// inside their fields, whole numbers and switches lie where the dialogs, the
// menu and Modify_Plasma keep them, and reals that are not numbers or lie
// beyond what the effects can use are brought back (to the default, or to
// the nearest usable value). A value already in range is left exactly as it
// is, and bounding twice changes nothing. Called by Load_Plasma_Settings on
// every preset read and by Refresh_Plasma for the fields written directly.
void Bound_Plasma_Settings();
