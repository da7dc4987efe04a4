// Modify_Plasma: the one door through which preset fields change, and
// Refresh_Plasma, which applies a whole preset after a load.
#pragma once

// Parameter codes of Modify_Plasma (the field each one sets).
enum Plasma_Parameter : int {
    PLASMA_MULTI_COLOUR = 0,
    PLASMA_WIDTH = 1,
    PLASMA_HEIGHT = 2,
    PLASMA_CONTRAST = 3,
    PLASMA_SPEED = 4,
    PLASMA_RIPPLE_FREQUENCY = 5,
    PLASMA_INTERFERENCE = 6,
    PLASMA_SWAY = 7,
    PLASMA_COMPLEXITY = 8,
    PLASMA_PREVIEW_ACTIVE = 10,
    PLASMA_SYMMETRY = 11,
    PLASMA_COLOUR_BLUE = 12,
    PLASMA_COLOUR_GREEN = 13,
    PLASMA_COLOUR_RED = 14,
    PLASMA_COLOUR_LOGIC_AND = 15,
    PLASMA_OVERLAY_ON = 16,
    PLASMA_OVERLAY_SHAPE = 17,
    PLASMA_KALEIDOSCOPE_ON = 18,
    PLASMA_BRIGHTEN = 19,
    PLASMA_RED_SHIFT = 20,
    PLASMA_GREEN_SHIFT = 21,
    PLASMA_BLUE_SHIFT = 22,
    PLASMA_KALEIDOSCOPE_SWITCH = 23,
    PLASMA_KALEIDOSCOPE_GRANULARITY = 24,
    PLASMA_SLIDES_ON = 25,
    PLASMA_SLIDE_SPEED = 26,
    PLASMA_BACKGROUND_MODE = 29,
    PLASMA_BACKGROUND_VARIABLE = 30,
    PLASMA_BACKGROUND_BRIGHTNESS = 31,
    PLASMA_RESOLUTION = 32,
    PLASMA_ZONE_FREQUENCY = 33,
    PLASMA_ZONE_DURATION = 34,
    PLASMA_ZONE_MULTICOLOUR = 35,
    PLASMA_SHAPE_MODE = 36,
    PLASMA_SHAPE_SIZE = 37,
    PLASMA_SHAPE_FREQUENCY = 38,
    PLASMA_BLEND_MODE = 39,
    PLASMA_SLIDE_DIRECTION = 40,
    PLASMA_DIRECTION_CHANGE_FREQUENCY = 41,
};

// Clamps and stores one preset field by parameter code, switches what it
// switches, and with rebuild 1 rebuilds the plasma fields and clears Hidden.
// 1, or 0 after a report. Keys, menu commands, dialogs and Refresh_Plasma call it.
int Modify_Plasma(int code, float value, int rebuild);
// Applies the whole current preset after a load: every field through
// Modify_Plasma, then one rebuild. 1, or 0 after a report; an effect the
// preset switches on that will not set up makes it 0, the rest applied all the same.
int Refresh_Plasma();
