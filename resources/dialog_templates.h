// The dialog templates of the settings dialogs: resource names, captions,
// controls with their identifiers, kinds, texts and places.
#pragma once

#include "platform/dialog.h"

// Identifiers the dialogs share.
constexpr int ID_DEFAULT = 3;            // "Default"
constexpr int ID_IGNORE_FPS_TEXT = 4;    // the text button beside the "Ignore fps" box
constexpr int ID_IGNORE_FPS = 1056;      // the "Ignore fps" box

// The scalar dialogs: one scroll bar and the number beside it.
extern const Dialog_Template SPEEDBOX;
extern const Dialog_Template CONTRASTBOX;
extern const Dialog_Template SWAYBOX;
extern const Dialog_Template ANGLE_BBOX;
extern const Dialog_Template ANGLE_ABOX;
extern const Dialog_Template CONSTANT_ABOX;
extern const Dialog_Template GRANULARITYBOX;
extern const Dialog_Template SLIDESPEEDBOX;
extern const Dialog_Template RANDOMCOLOURBOX;

// Controls of the scalar dialogs.
constexpr int SPEED_SCROLL = 1002, SPEED_NUMBER = 1001;
constexpr int CONTRAST_SCROLL = 1004, CONTRAST_NUMBER = 1003;
constexpr int SWAY_SCROLL = 1006, SWAY_NUMBER = 1005;
constexpr int INTERFERENCE_SCROLL = 1008, INTERFERENCE_NUMBER = 1007;
constexpr int RIPPLE_SCROLL = 1010, RIPPLE_NUMBER = 1009;
constexpr int COMPLEXITY_SCROLL = 1025, COMPLEXITY_NUMBER = 1024;
constexpr int GRANULARITY_SCROLL = 1027, GRANULARITY_NUMBER = 1026;
constexpr int SLIDE_SPEED_SCROLL = 1029, SLIDE_SPEED_NUMBER = 1028;
constexpr int RANDOM_COLOUR_SCROLL = 1062, RANDOM_COLOUR_NUMBER = 1061, RANDOM_COLOUR_TEXT = 1063;
