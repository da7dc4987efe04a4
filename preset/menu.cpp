// Menu 101 and its check marks.
#include "preset/menu.h"

#include "base/app_state.h"
#include "plasma/plasma_settings.h"

// Where the items sit; the menu bar builds its submenus from these chains.
// Each title's access letter is free among the items beside it, so that the
// whole menu can be worked from the keyboard.
static constexpr const char* PRESETS = "&Presets";
static constexpr const char* VIEW = "&View";
static constexpr const char* OVERLAY = "&View > &Overlay";
static constexpr const char* PLASMA = "P&lasma";
static constexpr const char* COLOUR = "P&lasma > C&olour";
static constexpr const char* SYMMETRY = "P&lasma > S&ymmetry";
static constexpr const char* KALEIDOSCOPE = "&Kaleidoscope";
static constexpr const char* SLIDES = "&Kaleidoscope > S&lides";
static constexpr const char* OBJECTS = "&Kaleidoscope > S&lides > Ob&jects";
static constexpr const char* ADVANCED = "&Kaleidoscope > S&lides > Ob&jects > &Advanced";
static constexpr const char* BLEND = "&Kaleidoscope > S&lides > Ob&jects > &Blend";
static constexpr const char* HELP = "&Help";

Menu_Item menu_101[MENU_ITEM_COUNT] = {
    {MENU_PRESETS_OPEN, "&Open", PRESETS, false, false},
    {MENU_PRESETS_SAVE, "&Save", PRESETS, false, false},
    {MENU_PRESETS_SAVE_AS, "Save &As", PRESETS, false, false},
    {MENU_PRESETS_RANDOM, "&Random", PRESETS, false, false},
    {MENU_PRESETS_EXIT, "E&xit", PRESETS, false, false},
    {MENU_VIEW_VSYNC, "&Vsync", VIEW, false, false},
    {MENU_VIEW_FPS, "&FPS", VIEW, false, false},
    {MENU_VIEW_FULLSCREEN, "Full &Screen", VIEW, false, false},
    {MENU_VIEW_RESOLUTION, "&Resolution", VIEW, false, false},
    {MENU_VIEW_PREVIEW_ACTIVE, "&Preview Active", VIEW, false, false},
    {MENU_VIEW_TITLES, "&Titles", VIEW, false, false},
    {MENU_VIEW_SCOPE_CIRCLE, "&Circle", OVERLAY, false, false},
    {MENU_VIEW_SCOPE_ELLIPSE, "&Ellipse", OVERLAY, false, false},
    {MENU_VIEW_SCOPE_DIAMOND, "&Diamond", OVERLAY, false, false},
    {MENU_VIEW_SCOPE_STAR, "&Star", OVERLAY, false, false},
    {MENU_VIEW_SCOPE_CUSTOM, "C&ustom", OVERLAY, false, false},
    {MENU_VIEW_SCOPE_OFF, "&Off", OVERLAY, false, false},
    {MENU_PLASMA_SPEED, "&Speed", PLASMA, false, false},
    {MENU_PLASMA_CONTRAST, "&Contrast", PLASMA, false, false},
    {MENU_PLASMA_RIPPLES, "&Ripples", PLASMA, false, false},
    {MENU_PLASMA_INTERFERENCE, "&Interference", PLASMA, false, false},
    {MENU_PLASMA_SWAY, "S&way", PLASMA, false, false},
    {MENU_PLASMA_COMPLEXITY, "Comple&xity", PLASMA, false, false},
    {MENU_COLOUR_SELECT, "&Select", COLOUR, false, false},
    {MENU_COLOUR_RANDOM, "&Random", COLOUR, false, false},
    {MENU_PLASMA_BRIGHTEN, "&Brighten", PLASMA, false, false},
    {MENU_PLASMA_MULTI_COLOUR, "&Multi-Colour", PLASMA, false, false},
    {MENU_PLASMA_DEFAULT, "&Default", PLASMA, false, false},
    {MENU_SYMMETRY_ASYMMETRIC, "&Asymmetric", SYMMETRY, false, false},
    {MENU_SYMMETRY_BIPOLAR, "&Bipolar", SYMMETRY, false, false},
    {MENU_SYMMETRY_FOUR_FOLD, "&Four-Fold", SYMMETRY, false, false},
    {MENU_SYMMETRY_EIGHT_FOLD, "&Eight-Fold", SYMMETRY, false, false},
    {MENU_SCOPE_ON, "&On", KALEIDOSCOPE, false, false},
    {MENU_SCOPE_STRETCH, "&Stretch", KALEIDOSCOPE, false, false},
    {MENU_SCOPE_GRANULARITY, "&Granularity", KALEIDOSCOPE, false, false},
    {MENU_SCOPE_SLIDES_ON, "&On", SLIDES, false, false},
    {MENU_SCOPE_SLIDES_SPEED, "&Speed", SLIDES, false, false},
    {MENU_SCOPE_SLIDES_BACKGROUND, "&Background", SLIDES, false, false},
    {MENU_SCOPE_SLIDES_FADE, "&Fade", SLIDES, false, false},
    {MENU_SCOPE_SLIDES_ZONES, "&Zones", SLIDES, false, false},
    {MENU_SCOPE_SLIDES_DIRECTION, "D&irection", SLIDES, false, false},
    {MENU_SCOPE_SLIDES_DEFAULT, "&Default", SLIDES, false, false},
    {MENU_SCOPE_SLIDES_OBJECTS_SELECT, "&Select", OBJECTS, false, false},
    {MENU_SCOPE_SLIDES_COMPACT, "&Compact Objects", OBJECTS, false, false},
    {MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT, "&Frame Convert", ADVANCED, false, false},
    {MENU_BLEND_HUE, "&Hue", BLEND, false, false},
    {MENU_BLEND_LIGHT, "&Light", BLEND, false, false},
    {MENU_BLEND_OFF, "&Off", BLEND, false, false},
    {MENU_HELP_INFORMATION, "&Instructions", HELP, false, false},
    {MENU_HELP_SYSTEM_INFO, "&System Info", HELP, false, false},
    {MENU_HELP_ABOUT, "&About", HELP, false, false},
};

Menu_Item* Find_Menu_Item(int id) {
    for (Menu_Item& item : menu_101) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

void Load_Menu() {
    for (Menu_Item& item : menu_101) {
        item.checked = false;
        item.grey = false;
    }
}

static void Check(int id, bool checked) {
    if (Menu_Item* item = Find_Menu_Item(id)) item->checked = checked;
}

static void Grey(int id, bool grey) {
    if (Menu_Item* item = Find_Menu_Item(id)) item->grey = grey;
}

int Update_Menu_Checks() {
    // The running saver and the preview have no menu.
    if (!app.menu) return 1;
    const PlasmaSettings& s = plasma_settings;

    Check(MENU_VIEW_FPS, app.show_fps);
    Check(MENU_VIEW_VSYNC, app.vsync);

    for (int id = MENU_SYMMETRY_ASYMMETRIC; id <= MENU_SYMMETRY_EIGHT_FOLD; id++) {
        Check(id, id == MENU_SYMMETRY_ASYMMETRIC + s.symmetry);
        Grey(id, false);
    }

    // The overlay cannot be drawn at 8 bits per pixel.
    const bool palette_display = app.screen_bpp == 8;
    for (int id = MENU_VIEW_SCOPE_CIRCLE; id <= MENU_VIEW_SCOPE_OFF; id++) {
        Grey(id, palette_display);
        Check(id, s.overlay_on ? id == MENU_VIEW_SCOPE_CIRCLE + s.overlay_shape : id == MENU_VIEW_SCOPE_OFF);
    }

    // The slides ride on the kaleidoscope, and their settings on the slides.
    static constexpr int slide_settings[] = {MENU_SCOPE_SLIDES_SPEED,          MENU_SCOPE_SLIDES_BACKGROUND,
                                             MENU_SCOPE_SLIDES_ZONES,          MENU_SCOPE_SLIDES_DEFAULT,
                                             MENU_SCOPE_SLIDES_OBJECTS_SELECT, MENU_SCOPE_SLIDES_DIRECTION};
    Check(MENU_SCOPE_ON, s.kaleidoscope_on);
    Grey(MENU_SCOPE_SLIDES_ON, !s.kaleidoscope_on);
    const bool slide_settings_grey = !s.kaleidoscope_on || !s.slides_on;
    for (int id : slide_settings) Grey(id, slide_settings_grey);
    // Compacting needs the objects the slides loaded; without the
    // kaleidoscope the item keeps whatever state it had.
    if (s.kaleidoscope_on) Grey(MENU_SCOPE_SLIDES_COMPACT, !s.slides_on);

    Check(MENU_PLASMA_BRIGHTEN, s.brighten);
    Grey(MENU_SCOPE_GRANULARITY, false);
    Check(MENU_SCOPE_SLIDES_ON, s.slides_on == 1);
    Check(MENU_PLASMA_MULTI_COLOUR, s.multi_colour);
    Check(MENU_VIEW_PREVIEW_ACTIVE, s.preview_active);

    Check(MENU_BLEND_OFF, s.blend_mode == 0);
    Check(MENU_BLEND_HUE, s.blend_mode == 1);
    Check(MENU_BLEND_LIGHT, s.blend_mode == 2);

    Check(MENU_SCOPE_STRETCH, s.kaleidoscope_stretch);
    Check(MENU_VIEW_TITLES, s.titles_on);

    // Brightening doubles channels that only 24 and 32 bits have room for;
    // the fade does nothing at 24 bits. Both come back when the depth allows.
    Grey(MENU_PLASMA_BRIGHTEN, app.screen_bpp < 17);
    Grey(MENU_SCOPE_SLIDES_FADE, app.screen_bpp == 24);
    Platform_Refresh_Menu(app.main_window);
    return 1;
}
