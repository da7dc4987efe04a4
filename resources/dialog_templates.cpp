// The dialog templates.
#include "resources/dialog_templates.h"

#include <iterator>

// The scalar dialogs share one shape: the scroll bar across the top with
// its two ends named, the number under it, the options, then OK, Cancel
// and Default.

static const Dialog_Control speedbox_controls[] = {
    {-1, CONTROL_TEXT, "Fast", 8, 8, 40, 9},
    {-1, CONTROL_TEXT, "Slow", 172, 8, 24, 9},
    {SPEED_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {SPEED_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {ID_IGNORE_FPS, CONTROL_CHECK_BOX, "", 8, 49, 12, 10},
    {ID_IGNORE_FPS_TEXT, CONTROL_BUTTON, "Ignore fps", 22, 48, 50, 12},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template SPEEDBOX = {"SPEEDBOX", "Plasma Speed", 200, 86, speedbox_controls, static_cast<int>(std::size(speedbox_controls))};

static const Dialog_Control contrastbox_controls[] = {
    {-1, CONTROL_TEXT, "High", 8, 8, 40, 9},
    {-1, CONTROL_TEXT, "Low", 172, 8, 24, 9},
    {CONTRAST_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {CONTRAST_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template CONTRASTBOX = {"CONTRASTBOX", "Plasma Contrast", 200, 86, contrastbox_controls, static_cast<int>(std::size(contrastbox_controls))};

static const Dialog_Control swaybox_controls[] = {
    {SWAY_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {SWAY_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template SWAYBOX = {"SWAYBOX", "Plasma Sway", 200, 86, swaybox_controls, static_cast<int>(std::size(swaybox_controls))};

static const Dialog_Control angle_bbox_controls[] = {
    {INTERFERENCE_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {INTERFERENCE_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template ANGLE_BBOX = {"ANGLE_BBOX", "Plasma Interference", 200, 86, angle_bbox_controls, static_cast<int>(std::size(angle_bbox_controls))};

static const Dialog_Control angle_abox_controls[] = {
    {RIPPLE_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {RIPPLE_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template ANGLE_ABOX = {"ANGLE_ABOX", "Plasma Ripple Frequency", 200, 86, angle_abox_controls, static_cast<int>(std::size(angle_abox_controls))};

static const Dialog_Control constant_abox_controls[] = {
    {COMPLEXITY_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {COMPLEXITY_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template CONSTANT_ABOX = {"CONSTANT_ABOX", "Plasma Complexity", 200, 86, constant_abox_controls, static_cast<int>(std::size(constant_abox_controls))};

static const Dialog_Control granularitybox_controls[] = {
    {-1, CONTROL_TEXT, "high", 8, 8, 40, 9},
    {-1, CONTROL_TEXT, "low", 172, 8, 24, 9},
    {GRANULARITY_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {GRANULARITY_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template GRANULARITYBOX = {"GRANULARITYBOX", "Kaleidoscope Granularity", 200, 86, granularitybox_controls, static_cast<int>(std::size(granularitybox_controls))};

static const Dialog_Control slidespeedbox_controls[] = {
    {SLIDE_SPEED_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {SLIDE_SPEED_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {ID_IGNORE_FPS, CONTROL_CHECK_BOX, "", 8, 49, 12, 10},
    {ID_IGNORE_FPS_TEXT, CONTROL_BUTTON, "Ignore fps", 22, 48, 50, 12},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template SLIDESPEEDBOX = {"SLIDESPEEDBOX", "Slide Speed", 200, 86, slidespeedbox_controls, static_cast<int>(std::size(slidespeedbox_controls))};

static const Dialog_Control randomcolourbox_controls[] = {
    {RANDOM_COLOUR_SCROLL, CONTROL_SCROLL_BAR, "", 8, 20, 184, 11},
    {RANDOM_COLOUR_NUMBER, CONTROL_TEXT, "", 88, 35, 40, 9},
    {RANDOM_COLOUR_TEXT, CONTROL_TEXT, "", 8, 49, 184, 9},
    {IDOK, CONTROL_DEFAULT_BUTTON, "OK", 14, 66, 50, 14},
    {IDCANCEL, CONTROL_BUTTON, "Cancel", 75, 66, 50, 14},
    {ID_DEFAULT, CONTROL_BUTTON, "Default", 136, 66, 50, 14},
};
const Dialog_Template RANDOMCOLOURBOX = {"RANDOMCOLOURBOX", "Random Colour Interval", 200, 86, randomcolourbox_controls, static_cast<int>(std::size(randomcolourbox_controls))};
