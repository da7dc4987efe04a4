// The dialog templates.
#include "resources/dialog_templates.h"

#include <iterator>

// The templates are tables, one control a line, as a resource script lays
// them out.
// clang-format off

// The scalar dialogs share one shape: the scroll bar across the top with
// its two ends named, the number under it, the options, then OK, Cancel
// and Default.

static const Control_Template speedbox_controls[] = {
    {-1, DIALOG_TEXT, "Fast", 8, 8, 40, 9},
    {-1, DIALOG_TEXT, "Slow", 172, 8, 24, 9},
    {SPEED_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {SPEED_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {ID_IGNORE_FPS, DIALOG_CHECK_BOX, "", 8, 49, 12, 10},
    {ID_IGNORE_FPS_TEXT, DIALOG_BUTTON, "Ignore fps", 22, 48, 50, 12},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template SPEEDBOX = {"SPEEDBOX", "Plasma Speed", 200, 86, speedbox_controls, static_cast<int>(std::size(speedbox_controls))};

static const Control_Template contrastbox_controls[] = {
    {-1, DIALOG_TEXT, "High", 8, 8, 40, 9},
    {-1, DIALOG_TEXT, "Low", 172, 8, 24, 9},
    {CONTRAST_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {CONTRAST_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template CONTRASTBOX = {"CONTRASTBOX", "Plasma Contrast", 200, 86, contrastbox_controls, static_cast<int>(std::size(contrastbox_controls))};

static const Control_Template swaybox_controls[] = {
    {SWAY_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {SWAY_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template SWAYBOX = {"SWAYBOX", "Plasma Sway", 200, 86, swaybox_controls, static_cast<int>(std::size(swaybox_controls))};

static const Control_Template angle_bbox_controls[] = {
    {INTERFERENCE_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {INTERFERENCE_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template ANGLE_BBOX = {"ANGLE_BBOX", "Plasma Interference", 200, 86, angle_bbox_controls, static_cast<int>(std::size(angle_bbox_controls))};

static const Control_Template angle_abox_controls[] = {
    {RIPPLE_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {RIPPLE_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template ANGLE_ABOX = {"ANGLE_ABOX", "Plasma Ripple Frequency", 200, 86, angle_abox_controls, static_cast<int>(std::size(angle_abox_controls))};

static const Control_Template constant_abox_controls[] = {
    {COMPLEXITY_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {COMPLEXITY_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template CONSTANT_ABOX = {"CONSTANT_ABOX", "Plasma Complexity", 200, 86, constant_abox_controls, static_cast<int>(std::size(constant_abox_controls))};

static const Control_Template granularitybox_controls[] = {
    {-1, DIALOG_TEXT, "high", 8, 8, 40, 9},
    {-1, DIALOG_TEXT, "low", 172, 8, 24, 9},
    {GRANULARITY_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {GRANULARITY_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template GRANULARITYBOX = {"GRANULARITYBOX", "Kaleidoscope Granularity", 200, 86, granularitybox_controls, static_cast<int>(std::size(granularitybox_controls))};

static const Control_Template slidespeedbox_controls[] = {
    {SLIDE_SPEED_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {SLIDE_SPEED_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {ID_IGNORE_FPS, DIALOG_CHECK_BOX, "", 8, 49, 12, 10},
    {ID_IGNORE_FPS_TEXT, DIALOG_BUTTON, "Ignore fps", 22, 48, 50, 12},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template SLIDESPEEDBOX = {"SLIDESPEEDBOX", "Slide Speed", 200, 86, slidespeedbox_controls, static_cast<int>(std::size(slidespeedbox_controls))};

static const Control_Template randomcolourbox_controls[] = {
    {RANDOM_COLOUR_SCROLL, DIALOG_SCROLL_BAR, "", 8, 20, 184, 11},
    {RANDOM_COLOUR_NUMBER, DIALOG_TEXT, "", 88, 35, 40, 9},
    {RANDOM_COLOUR_TEXT, DIALOG_TEXT, "", 8, 49, 184, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 66, 50, 14},
};
const Control_Dialog_Template RANDOMCOLOURBOX = {"RANDOMCOLOURBOX", "Random Colour Interval", 200, 86, randomcolourbox_controls, static_cast<int>(std::size(randomcolourbox_controls))};

static const Control_Template resolutionbox_controls[] = {
    {RESOLUTION_LIST, DIALOG_LIST_BOX, "", 8, 8, 120, 120},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 136, 8, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 136, 26, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 44, 50, 14},
};
const Control_Dialog_Template RESOLUTIONBOX = {"RESOLUTIONBOX", "Fullscreen Resolution", 194, 136, resolutionbox_controls,
                                       static_cast<int>(std::size(resolutionbox_controls))};

static const Control_Template directionbox_controls[] = {
    {DIRECTION_LIST, DIALOG_LIST_BOX, "", 8, 8, 184, 42},
    {-1, DIALOG_TEXT, "Frequency of Direction Change", 8, 56, 150, 9},
    {-1, DIALOG_TEXT, "max", 8, 66, 20, 9},
    {-1, DIALOG_TEXT, "min", 176, 66, 20, 9},
    {DIRECTION_SCROLL, DIALOG_SCROLL_BAR, "", 8, 76, 184, 11},
    {DIRECTION_NUMBER, DIALOG_TEXT, "", 88, 90, 40, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 104, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 104, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 104, 50, 14},
};
const Control_Dialog_Template DIRECTIONBOX = {"DIRECTIONBOX", "Slide Direction", 200, 124, directionbox_controls,
                                      static_cast<int>(std::size(directionbox_controls))};

static const Control_Template zonebox_controls[] = {
    {-1, DIALOG_TEXT, "Frequency ", 8, 8, 80, 9},
    {ZONE_FREQUENCY_SCROLL, DIALOG_SCROLL_BAR, "", 8, 18, 150, 11},
    {ZONE_FREQUENCY_NUMBER, DIALOG_TEXT, "", 164, 19, 30, 9},
    {-1, DIALOG_TEXT, "Duration", 8, 34, 80, 9},
    {ZONE_DURATION_SCROLL, DIALOG_SCROLL_BAR, "", 8, 44, 150, 11},
    {ZONE_DURATION_NUMBER, DIALOG_TEXT, "", 164, 45, 30, 9},
    {ZONE_MULTICOLOUR, DIALOG_CHECK_BOX, "Multicolour Zones", 8, 60, 120, 10},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 14, 76, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 75, 76, 50, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 136, 76, 50, 14},
};
const Control_Dialog_Template ZONEBOX = {"ZONEBOX", "Homogenous Zones", 200, 96, zonebox_controls,
                                 static_cast<int>(std::size(zonebox_controls))};

static const Control_Template fadebox_controls[] = {
    {-1, DIALOG_TEXT, "Light", 8, 8, 80, 9},
    {FADE_LIGHT_SCROLL, DIALOG_SCROLL_BAR, "", 8, 18, 184, 11},
    {-1, DIALOG_TEXT, "Hue", 8, 34, 80, 9},
    {FADE_HUE_SCROLL, DIALOG_SCROLL_BAR, "", 8, 44, 184, 11},
    {-1, DIALOG_TEXT, "Saturation", 8, 60, 80, 9},
    {FADE_SATURATION_SCROLL, DIALOG_SCROLL_BAR, "", 8, 70, 184, 11},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 40, 88, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 110, 88, 50, 14},
};
const Control_Dialog_Template FADEBOX = {"FADEBOX", "Fade", 200, 108, fadebox_controls,
                                 static_cast<int>(std::size(fadebox_controls))};

static const Control_Template journeybox_controls[] = {
    {-1, DIALOG_TEXT, "Interval", 8, 8, 80, 9},
    {JOURNEY_INTERVAL_SCROLL, DIALOG_SCROLL_BAR, "", 8, 18, 150, 11},
    {JOURNEY_INTERVAL_NUMBER, DIALOG_TEXT, "", 164, 19, 30, 9},
    {-1, DIALOG_TEXT, "Transition Speed", 8, 34, 80, 9},
    {JOURNEY_TRANSITION_SCROLL, DIALOG_SCROLL_BAR, "", 8, 44, 150, 11},
    {JOURNEY_TRANSITION_NUMBER, DIALOG_TEXT, "", 164, 45, 30, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 40, 62, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 110, 62, 50, 14},
};
const Control_Dialog_Template JOURNEYBOX = {"JOURNEYBOX", "Random Presets", 200, 82, journeybox_controls,
                                    static_cast<int>(std::size(journeybox_controls))};

static const Control_Template colourbox_controls[] = {
    {-1, DIALOG_TEXT, "Blue", 8, 8, 40, 9},
    {COLOUR_BLUE_SCROLL, DIALOG_SCROLL_BAR, "", 8, 18, 130, 11},
    {COLOUR_BLUE_NUMBER, DIALOG_TEXT, "", 142, 19, 20, 9},
    {COLOUR_DARKEN_BLUE, DIALOG_CHECK_BOX, "darken", 164, 18, 40, 10},
    {-1, DIALOG_TEXT, "Green", 8, 34, 40, 9},
    {COLOUR_GREEN_SCROLL, DIALOG_SCROLL_BAR, "", 8, 44, 130, 11},
    {COLOUR_GREEN_NUMBER, DIALOG_TEXT, "", 142, 45, 20, 9},
    {COLOUR_DARKEN_GREEN, DIALOG_CHECK_BOX, "darken", 164, 44, 40, 10},
    {-1, DIALOG_TEXT, "Red", 8, 60, 40, 9},
    {COLOUR_RED_SCROLL, DIALOG_SCROLL_BAR, "", 8, 70, 130, 11},
    {COLOUR_RED_NUMBER, DIALOG_TEXT, "", 142, 71, 20, 9},
    {COLOUR_DARKEN_RED, DIALOG_CHECK_BOX, "darken", 164, 70, 40, 10},
    {COLOUR_INVERT, DIALOG_CHECK_BOX, "invert colour logic", 8, 88, 120, 10},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 40, 104, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 110, 104, 50, 14},
};
const Control_Dialog_Template COLOURBOX = {"COLOURBOX", "Plasma Colours", 210, 124, colourbox_controls,
                                   static_cast<int>(std::size(colourbox_controls))};

static const Control_Template introductionbox_controls[] = {
    {-1, DIALOG_TEXT, "Calvorine fills the screen with a moving colour plasma.", 8, 8, 224, 9},
    {-1, DIALOG_TEXT, "Every setting is in the menu: presets, the view, the plasma and the", 8, 22, 224, 9},
    {-1, DIALOG_TEXT, "kaleidoscope with its slides. Help > Instructions tells them all.", 8, 31, 224, 9},
    {-1, DIALOG_TEXT, "Escape ends the program and keeps the settings as the default preset.", 8, 45, 224, 9},
    {-1, DIALOG_TEXT, "Keys: 1 and 2 show and hide the frame rate, 6, 7 and 8 the symmetry,", 8, 54, 224, 9},
    {-1, DIALOG_TEXT, "R starts random presets, Space or Return leaves full screen.", 8, 63, 224, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 95, 80, 50, 14},
};
const Control_Dialog_Template INTRODUCTIONBOX = {"INTRODUCTIONBOX", "Welcome to Calvorine", 240, 100, introductionbox_controls,
                                         static_cast<int>(std::size(introductionbox_controls))};

static const Control_Template aboutbox_controls[] = {
    {ABOUT_PICTURE, DIALOG_PICTURE, "", 0, 0, 240, 180},
};
const Control_Dialog_Template ABOUTBOX = {"ABOUTBOX", "About Calvorine", 240, 180, aboutbox_controls,
                                  static_cast<int>(std::size(aboutbox_controls))};

static const Control_Template infobox_controls[] = {
    {INFO_VIDEO_RAM, DIALOG_TEXT, "", 8, 8, 184, 9},
    {INFO_SYSTEM_RAM, DIALOG_TEXT, "", 8, 20, 184, 9},
    {INFO_OBJECTS_RAM, DIALOG_TEXT, "", 8, 32, 184, 9},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 75, 48, 50, 14},
};
const Control_Dialog_Template INFOBOX = {"INFOBOX", "System Information", 200, 68, infobox_controls,
                                 static_cast<int>(std::size(infobox_controls))};

static const Control_Template backgroundbox_controls[] = {
    {BACKGROUND_LIST, DIALOG_LIST_BOX, "", 8, 8, 120, 62},
    {-1, DIALOG_TEXT, "Brightness", 8, 76, 80, 9},
    {BACKGROUND_SCROLL, DIALOG_SCROLL_BAR, "", 8, 86, 150, 11},
    {BACKGROUND_NUMBER, DIALOG_TEXT, "", 164, 87, 30, 9},
    {BACKGROUND_VARIABLE, DIALOG_CHECK_BOX, "variable", 8, 102, 80, 10},
    {BACKGROUND_SINE_WAVES, DIALOG_BUTTON, "Configure Sine Waves", 100, 100, 92, 14},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 136, 8, 56, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 136, 26, 56, 14},
};
const Control_Dialog_Template BACKGROUNDBOX = {"BACKGROUNDBOX", "Kaleidoscope Background", 200, 122, backgroundbox_controls,
                                       static_cast<int>(std::size(backgroundbox_controls))};

static const Control_Template sinewavebox_controls[] = {
    {-1, DIALOG_TEXT, "Pixels Plotted Per Frame", 8, 6, 120, 9},
    {SINE_PIXELS_SCROLL, DIALOG_SCROLL_BAR, "", 8, 16, 184, 11},
    {-1, DIALOG_TEXT, "Wave Amplitude", 8, 30, 120, 9},
    {SINE_AMPLITUDE_SCROLL, DIALOG_SCROLL_BAR, "", 8, 40, 184, 11},
    {-1, DIALOG_TEXT, "Wave Variance", 8, 54, 120, 9},
    {SINE_VARIANCE_SCROLL, DIALOG_SCROLL_BAR, "", 8, 64, 184, 11},
    {-1, DIALOG_TEXT, "Wave Density", 8, 78, 120, 9},
    {SINE_DENSITY_SCROLL, DIALOG_SCROLL_BAR, "", 8, 88, 184, 11},
    {-1, DIALOG_TEXT, "Band Width", 8, 102, 120, 9},
    {SINE_BAND_WIDTH_SCROLL, DIALOG_SCROLL_BAR, "", 8, 112, 184, 11},
    {SINE_MULTICOLOUR, DIALOG_CHECK_BOX, "", 8, 128, 12, 10},
    {SINE_MULTICOLOUR_TEXT, DIALOG_BUTTON, "Multicolour Waves", 22, 127, 80, 12},
    {SINE_CLEAR_SCREEN, DIALOG_CHECK_BOX, "", 108, 128, 12, 10},
    {SINE_CLEAR_SCREEN_TEXT, DIALOG_BUTTON, "Clear Screen ", 122, 127, 70, 12},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 40, 146, 50, 14},
    {IDCANCEL, DIALOG_BUTTON, "Cancel", 110, 146, 50, 14},
};
const Control_Dialog_Template SINEWAVEBOX = {"SINEWAVEBOX", "Sine Wave Configuration", 200, 166, sinewavebox_controls,
                                     static_cast<int>(std::size(sinewavebox_controls))};

static const Control_Template slideobjectsbox_controls[] = {
    {OBJECTS_PICTURE, DIALOG_PICTURE, "", 8, 8, 64, 64},
    {-1, DIALOG_TEXT, "Object", 80, 8, 60, 9},
    {OBJECTS_SELECTOR_SCROLL, DIALOG_SCROLL_BAR, "", 80, 18, 110, 11},
    {OBJECTS_SELECTOR_NUMBER, DIALOG_TEXT, "", 196, 19, 24, 9},
    {OBJECTS_SELECTED, DIALOG_CHECK_BOX, "selected", 80, 34, 60, 10},
    {-1, DIALOG_TEXT, "Object Frequency", 8, 80, 100, 9},
    {OBJECTS_FREQUENCY_SCROLL, DIALOG_SCROLL_BAR, "", 8, 90, 182, 11},
    {OBJECTS_FREQUENCY_NUMBER, DIALOG_TEXT, "", 196, 91, 24, 9},
    {-1, DIALOG_TEXT, "Animation Speed ", 8, 104, 100, 9},
    {OBJECTS_ANIMATION_SCROLL, DIALOG_SCROLL_BAR, "", 8, 114, 182, 11},
    {OBJECTS_ANIMATION_NUMBER, DIALOG_TEXT, "", 196, 115, 24, 9},
    {-1, DIALOG_TEXT, "Speed ", 8, 128, 100, 9},
    {OBJECTS_SPEED_SCROLL, DIALOG_SCROLL_BAR, "", 8, 138, 182, 11},
    {OBJECTS_SPEED_NUMBER, DIALOG_TEXT, "", 196, 139, 24, 9},
    {OBJECTS_SELECT, DIALOG_BUTTON, "Select", 8, 156, 40, 14},
    {OBJECTS_DESELECT, DIALOG_BUTTON, "De-Select", 52, 156, 40, 14},
    {OBJECTS_ALL, DIALOG_BUTTON, "All", 96, 156, 30, 14},
    {OBJECTS_NONE, DIALOG_BUTTON, "None", 130, 156, 30, 14},
    {ID_DEFAULT, DIALOG_BUTTON, "Default", 164, 156, 56, 14},
    {IDOK, DIALOG_DEFAULT_BUTTON, "OK", 164, 50, 56, 14},
};
const Control_Dialog_Template SLIDEOBJECTSBOX = {"SLIDEOBJECTSBOX", "Select Slide Objects", 228, 178, slideobjectsbox_controls,
                                         static_cast<int>(std::size(slideobjectsbox_controls))};
// clang-format on
