// The dialog templates of the settings dialogs: resource names, captions,
// controls with their identifiers, kinds, texts and places.
#pragma once

#include "platform/dialog.h"

// Identifiers the dialogs share.
constexpr int ID_DEFAULT = 3;          // "Default"
constexpr int ID_IGNORE_FPS_TEXT = 4;  // the text button beside the "Ignore fps" box
constexpr int ID_IGNORE_FPS = 1056;    // the "Ignore fps" box

// The scalar dialogs: one scroll bar and the number beside it.
extern const Control_Dialog_Template SPEEDBOX;
extern const Control_Dialog_Template CONTRASTBOX;
extern const Control_Dialog_Template SWAYBOX;
extern const Control_Dialog_Template ANGLE_BBOX;
extern const Control_Dialog_Template ANGLE_ABOX;
extern const Control_Dialog_Template CONSTANT_ABOX;
extern const Control_Dialog_Template GRANULARITYBOX;
extern const Control_Dialog_Template SLIDESPEEDBOX;
extern const Control_Dialog_Template RANDOMCOLOURBOX;

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

// The list, multi-value and live dialogs.
extern const Control_Dialog_Template RESOLUTIONBOX;
extern const Control_Dialog_Template DIRECTIONBOX;
extern const Control_Dialog_Template ZONEBOX;
extern const Control_Dialog_Template FADEBOX;
extern const Control_Dialog_Template JOURNEYBOX;
extern const Control_Dialog_Template COLOURBOX;
extern const Control_Dialog_Template INTRODUCTIONBOX;

constexpr int RESOLUTION_LIST = 1040;
constexpr int DIRECTION_LIST = 1058, DIRECTION_SCROLL = 1054, DIRECTION_NUMBER = 1055;
constexpr int ZONE_FREQUENCY_SCROLL = 1041, ZONE_FREQUENCY_NUMBER = 1042;
constexpr int ZONE_DURATION_SCROLL = 1043, ZONE_DURATION_NUMBER = 1044, ZONE_MULTICOLOUR = 1046;
constexpr int FADE_LIGHT_SCROLL = 1064, FADE_HUE_SCROLL = 1066, FADE_SATURATION_SCROLL = 1068;
constexpr int JOURNEY_INTERVAL_SCROLL = 1066, JOURNEY_INTERVAL_NUMBER = 1068;
constexpr int JOURNEY_TRANSITION_SCROLL = 1067, JOURNEY_TRANSITION_NUMBER = 1069;
constexpr int COLOUR_BLUE_SCROLL = 1012, COLOUR_BLUE_NUMBER = 1014;
constexpr int COLOUR_GREEN_SCROLL = 1011, COLOUR_GREEN_NUMBER = 1016;
constexpr int COLOUR_RED_SCROLL = 1013, COLOUR_RED_NUMBER = 1015;
constexpr int COLOUR_INVERT = 1018, COLOUR_DARKEN_BLUE = 1019, COLOUR_DARKEN_GREEN = 1020, COLOUR_DARKEN_RED = 1021;

// The information dialogs.
extern const Control_Dialog_Template ABOUTBOX;
extern const Control_Dialog_Template INFOBOX;

constexpr int ABOUT_PICTURE = 1023;
constexpr int INFO_VIDEO_RAM = 1051, INFO_SYSTEM_RAM = 1052, INFO_OBJECTS_RAM = 1053;

// The kaleidoscope's background and its sine waves.
extern const Control_Dialog_Template BACKGROUNDBOX;
extern const Control_Dialog_Template SINEWAVEBOX;

constexpr int BACKGROUND_LIST = 1036, BACKGROUND_SCROLL = 1037, BACKGROUND_NUMBER = 1038;
constexpr int BACKGROUND_VARIABLE = 1039, BACKGROUND_SINE_WAVES = 1079;
constexpr int SINE_PIXELS_SCROLL = 1069, SINE_AMPLITUDE_SCROLL = 1071, SINE_VARIANCE_SCROLL = 1073;
constexpr int SINE_DENSITY_SCROLL = 1075, SINE_BAND_WIDTH_SCROLL = 1081;
constexpr int SINE_MULTICOLOUR = 1077, SINE_MULTICOLOUR_TEXT = 1078;
constexpr int SINE_CLEAR_SCREEN = 1079, SINE_CLEAR_SCREEN_TEXT = 1080;

// The per-object editor.
extern const Control_Dialog_Template SLIDEOBJECTSBOX;

constexpr int OBJECTS_FREQUENCY_SCROLL = 1030, OBJECTS_FREQUENCY_NUMBER = 1031, OBJECTS_PICTURE = 1032;
constexpr int OBJECTS_SELECTOR_SCROLL = 1033, OBJECTS_SELECTOR_NUMBER = 1034, OBJECTS_SELECTED = 1035;
constexpr int OBJECTS_ANIMATION_SCROLL = 1036, OBJECTS_ANIMATION_NUMBER = 1037;
constexpr int OBJECTS_SPEED_SCROLL = 1038, OBJECTS_SPEED_NUMBER = 1039;
constexpr int OBJECTS_SELECT = 4, OBJECTS_DESELECT = 5, OBJECTS_ALL = 6, OBJECTS_NONE = 7;
