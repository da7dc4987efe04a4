// Menu 101, the configuration window's menu: its items with their
// identifiers and texts, and the check marks and grey states that
// Update_Menu_Checks keeps in step with the preset. The menu bar shows this
// model; the commands behind the identifiers are the menu commands' own.
#pragma once

#include "platform/menu_bar.h"

// The menu's resource number.
constexpr int MENU_RESOURCE_ID = 101;

// Identifiers of the menu's items.
enum Menu_Id : int {
    MENU_PRESETS_OPEN = 40001,
    MENU_PRESETS_SAVE = 40002,
    MENU_PRESETS_EXIT = 40004,
    MENU_VIEW_VSYNC = 40007,
    MENU_VIEW_FPS = 40008,
    MENU_PLASMA_SPEED = 40014,
    MENU_PLASMA_CONTRAST = 40015,
    MENU_PLASMA_RIPPLES = 40019,
    MENU_PLASMA_INTERFERENCE = 40020,
    MENU_PLASMA_SWAY = 40021,
    MENU_SYMMETRY_ASYMMETRIC = 40022,
    MENU_SYMMETRY_BIPOLAR = 40023,
    MENU_SYMMETRY_FOUR_FOLD = 40024,
    MENU_SYMMETRY_EIGHT_FOLD = 40025,
    MENU_VIEW_FULLSCREEN = 40026,
    MENU_PLASMA_DEFAULT = 40027,
    MENU_COLOUR_SELECT = 40028,
    MENU_PLASMA_COMPLEXITY = 40029,
    MENU_PRESETS_SAVE_AS = 40034,
    MENU_HELP_INFORMATION = 40035,
    MENU_HELP_ABOUT = 40036,
    MENU_PLASMA_BRIGHTEN = 40037,
    MENU_SCOPE_STRETCH = 40038,
    MENU_SCOPE_GRANULARITY = 40039,
    MENU_SCOPE_SLIDES_ON = 40041,
    MENU_SCOPE_SLIDES_SPEED = 40042,
    MENU_SCOPE_SLIDES_BACKGROUND = 40044,
    MENU_SCOPE_SLIDES_ZONES = 40045,
    MENU_SCOPE_SLIDES_DEFAULT = 40047,
    MENU_PLASMA_MULTI_COLOUR = 40048,
    MENU_VIEW_RESOLUTION = 40049,
    MENU_VIEW_PREVIEW_ACTIVE = 40051,
    MENU_SCOPE_SLIDES_COMPACT = 40053,
    MENU_SCOPE_SLIDES_OBJECTS_SELECT = 40054,
    MENU_SCOPE_SLIDES_DIRECTION = 40056,
    MENU_SCOPE_ON = 40058,
    MENU_VIEW_SCOPE_CIRCLE = 40059,
    MENU_VIEW_SCOPE_ELLIPSE = 40060,
    MENU_VIEW_SCOPE_DIAMOND = 40061,
    MENU_VIEW_SCOPE_STAR = 40062,
    MENU_VIEW_SCOPE_CUSTOM = 40063,
    MENU_VIEW_SCOPE_OFF = 40064,
    MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT = 40065,
    MENU_HELP_SYSTEM_INFO = 40066,
    MENU_COLOUR_RANDOM = 40067,
    MENU_SCOPE_SLIDES_FADE = 40068,
    MENU_PRESETS_RANDOM = 40069,
    MENU_VIEW_TITLES = 40070,
    MENU_BLEND_HUE = 40071,
    MENU_BLEND_LIGHT = 40072,
    MENU_BLEND_OFF = 40073,
};

// Number of items of menu 101.
constexpr int MENU_ITEM_COUNT = 51;
// The items in menu order (defined in preset/menu.cpp); app.menu points here
// in the configuration modes.
extern Menu_Item menu_101[MENU_ITEM_COUNT];

// The item with that identifier, or null.
Menu_Item* Find_Menu_Item(int id);
// Puts every item back unchecked and enabled (a fresh load of the menu).
void Load_Menu();
// Brings the check marks and grey states up to date from the preset and the
// state, and shows them on the window's menu bar (keys, menu commands, the
// random colour change, Refresh_Plasma); 1.
int Update_Menu_Checks();
