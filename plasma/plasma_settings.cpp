// The preset record's globals and its built-in defaults.
#include "plasma/plasma_settings.h"

#include <cstring>

#include "base/app_state.h"

PlasmaSettings plasma_settings;
PlasmaSettings plasma_settings_backup;

void Set_Default_Plasma_Settings()
{
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
