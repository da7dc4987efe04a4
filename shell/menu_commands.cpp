// The menu commands: what each item of menu 101 does to the preset, the
// effects and the window, and the preset file dialogs behind Open and Save.
#include "shell/menu_commands.h"

#include <cstring>
#include <iterator>
#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_settings.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/help.h"
#include "platform/menu_bar.h"
#include "platform/system.h"
#include "platform/window.h"
#include "preset/dialog_values.h"
#include "preset/menu.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "preset/window_caption.h"
#include "shell/frame_converter.h"
#include "shell/information_dialogs.h"
#include "shell/lifecycle.h"
#include "shell/settings_dialogs.h"
#include "shell/value_dialogs.h"
#include "slides/colour_slides.h"
#include "slides/slide_objects.h"

char current_file[FILE_DIALOG_BUFFER_SIZE] = "";

// ---------------------------------------------------------------------------
// The file dialogs.

static const File_Filter file_filters[] = {
    {"Data Files (*.DAT)", "*.dat"},
    {"ASCII Files (*.ASC)", "*.asc"},
    {"Bitmap Files (*.BMP)", "*.bmp"},
    {"All Files (*.*)", "*.*"},
};
// The default extension of each filter, by its index from 1. "All Files"
// appends nothing: a name typed there is taken as it stands.
static const char* const file_filter_extensions[] = {"dat", "asc", "bmp", ""};

static File_Dialog_Request file_dialog;
static char file_title[FILE_DIALOG_BUFFER_SIZE] = "";

void Init_File_Dialog(Window* owner, const char* initial_folder, int filter_index) {
    constexpr int filter_count = static_cast<int>(std::size(file_filters));
    if (filter_index < 1 || filter_index > filter_count) filter_index = 1;
    file_dialog = File_Dialog_Request{};
    file_dialog.owner = owner;
    file_dialog.filters = file_filters;
    file_dialog.filter_count = filter_count;
    file_dialog.filter_index = filter_index;
    file_dialog.initial_folder = initial_folder ? initial_folder : "";
    file_dialog.default_extension = file_filter_extensions[filter_index - 1];
}

// The dialog's first offer is the name now in the path buffer.
static File_Dialog_Request Request_For(Window* owner, const char* path) {
    File_Dialog_Request request = file_dialog;
    request.owner = owner;
    const char* slash = std::strrchr(path, '/');
    request.initial_name = slash ? slash + 1 : path;
    return request;
}

int Open_File_Dialog(Window* owner, char* path, char* title) {
    File_Dialog_Request request = Request_For(owner, path);
    request.hide_read_only = true;
    request.create_prompt = true;
    return Platform_Open_File_Dialog(request, path, FILE_DIALOG_BUFFER_SIZE, title, FILE_DIALOG_BUFFER_SIZE);
}

int Save_File_Dialog(Window* owner, char* path, char* title) {
    File_Dialog_Request request = Request_For(owner, path);
    request.hide_read_only = true;
    request.overwrite_prompt = true;
    return Platform_Save_File_Dialog(request, path, FILE_DIALOG_BUFFER_SIZE, title, FILE_DIALOG_BUFFER_SIZE);
}

// Where Open and Save As start: the data folder, with the presets.
static std::string Preset_Folder() { return Windows_Directory() + "/" + DATA_FOLDER_NAME + "/"; }

// ---------------------------------------------------------------------------
// Presets.

static void Post_Destroy() { Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0); }

static void Command_Open() {
    Init_File_Dialog(app.main_window, Preset_Folder().c_str(), 1);
    if (!Open_File_Dialog(app.main_window, current_file, file_title)) return;
    if (!Read_Plasma_Settings_From_File(current_file)) {
        Report_Formatted("Unable to read file %s", current_file);
        return;
    }
    Update_Window_Title_From_File(current_file);
    Update_Menu_Checks();
    Store_Dialog_Values();
}

static void Command_Save_As() {
    Init_File_Dialog(app.main_window, Preset_Folder().c_str(), 1);
    if (!Save_File_Dialog(app.main_window, current_file, file_title)) return;
    if (!Save_Plasma_Settings_To_File(current_file)) {
        Report_Formatted("Unable to write file %s", current_file);
        return;
    }
    Update_Window_Title_From_File(current_file);
}

// Save without a file yet, or where the last file can no longer be
// written, asks for a name as Save As does.
static void Command_Save() {
    if (current_file[0] != '\0') {
        if (Save_Plasma_Settings_To_File(current_file)) return;
        Report_Formatted("Unable to write file %s", current_file);
    }
    Command_Save_As();
}

// ---------------------------------------------------------------------------
// View.

static void Command_Full_Screen() {
    Full_Screen_Step failed_step = FULL_SCREEN_DONE;
    if (Enter_Full_Screen(&failed_step)) return;
    switch (failed_step) {
    case FULL_SCREEN_DECODE: Report_Error("MENU_VIEW_FULLSCREEN: Decode_Resolution FAILED"); break;
    case FULL_SCREEN_SETUP:
        Report_Error("MENU_VIEW_FULLSCREEN: Setup FAILED");
        Post_Destroy();
        break;
    case FULL_SCREEN_RESTORE: Report_Error("MENU_VIEW_FULLSCREEN: Restore_Plasma_Settings FAILED"); break;
    default: break;
    }
}

// The overlay in one of its shapes, or none (Off).
static void Command_Overlay(int shape) {
    Shutdown_Scope();
    if (shape < 0) return;
    if (!Setup_Scope(app.client_width, app.client_height, shape))
        Report_Error("MENU_VIEW_SCOPE_OFF: Setup Scope FAILED");
}

static void Command_Custom_Overlay() {
    if (!Choose_Custom_Scope()) return;
    constexpr int CUSTOM_SHAPE = 4;
    Command_Overlay(CUSTOM_SHAPE);
}

// ---------------------------------------------------------------------------
// Plasma.

static void Command_Brighten() {
    const bool on = plasma_settings.brighten == 0;
    Modify_Plasma(PLASMA_BRIGHTEN, on ? 1.0f : 0.0f, 0);
    if (Menu_Item* item = Find_Menu_Item(MENU_PLASMA_BRIGHTEN)) item->checked = plasma_settings.brighten != 0;
    Platform_Refresh_Menu(app.main_window);
}

static void Command_Multi_Colour() {
    if (!plasma_settings.multi_colour) {
        Modify_Plasma(PLASMA_MULTI_COLOUR, 1.0f, 0);
    } else {
        Modify_Plasma(PLASMA_MULTI_COLOUR, 0.0f, 0);
        Store_Dialog_Values();
    }
}

static void Command_Plasma_Default() {
    Set_Default_Plasma_Settings();
    Reset_Dialog_Values();
    Refresh_Plasma();
}

// The symmetry folds the plain plasma: the slides and the kaleidoscope go first.
static void Command_Symmetry(int symmetry) {
    if (plasma_settings.slides_on) Modify_Plasma(PLASMA_SLIDES_ON, 0.0f, 0);
    if (kaleidoscope_active) Modify_Plasma(PLASMA_KALEIDOSCOPE_SWITCH, 0.0f, 0);
    Modify_Plasma(PLASMA_SYMMETRY, static_cast<float>(symmetry), 0);
    Refresh_Plasma();
}

// ---------------------------------------------------------------------------
// Kaleidoscope.

// The overlay follows a new picture size in its last shape.
static void Renew_Scope() {
    if (!scope_active) return;
    Shutdown_Scope();
    if (!Setup_Scope(app.client_width, app.client_height, -1))
        Report_Error("MENU_SCOPE_GRANULARITY: Setup Scope FAILED");
}

static void Command_Kaleidoscope_On() {
    if (!kaleidoscope_active) {
        // The kaleidoscope folds the picture itself.
        if (plasma_settings.symmetry != 0) Modify_Plasma(PLASMA_SYMMETRY, 0.0f, 0);
        Modify_Plasma(PLASMA_KALEIDOSCOPE_ON, 1.0f, 1);
    } else {
        Shutdown_Kaleidoscope();
        if (slides_active) Modify_Plasma(PLASMA_SLIDES_ON, 0.0f, 0);
        Modify_Plasma(PLASMA_KALEIDOSCOPE_ON, 0.0f, 0);
        Modify_Plasma(PLASMA_WIDTH, static_cast<float>(app.client_width), 0);
        Modify_Plasma(PLASMA_HEIGHT, static_cast<float>(app.client_height), 1);
    }
    Renew_Scope();
}

static void Command_Slides_On() {
    if (slides_active) {
        Modify_Plasma(PLASMA_SLIDES_ON, 0.0f, 0);
        return;
    }
    Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0);
    Reset_Dialog_Values();
    Refresh_Plasma();
}

static void Command_Slides_Default() {
    Set_Default_Plasma_Settings();
    Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0);
    Reset_Dialog_Values();
    Refresh_Plasma();
}

// A new tile size: the kaleidoscope is built again at it, with the slides
// and the overlay that ride on it. Without the kaleidoscope the preset
// keeps the size for the next time it comes on.
static void Command_Granularity() {
    Scalar_Dialog_Box(SCALAR_GRANULARITY);
    if (!kaleidoscope_active) return;
    Shutdown_Kaleidoscope();
    if (!Setup_Kaleidoscope(app.client_width, app.client_height)) return;
    if (slides_active) Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0);
    Renew_Scope();
}

// ---------------------------------------------------------------------------
// Help.

static void Command_Instructions() {
    const std::string path = Match_Path_Case(Windows_Directory() + "/" + DATA_FOLDER_NAME + "/Data/Help.HLP");
    if (!Platform_Show_Help(app.main_window, path.c_str())) Report_Error("MENU_HELP_INFORMATION: Win Help() FAILED");
}

static void Command_Compact_Objects() {
    if (!Compact_All_Objects()) Report_Error("MENU_SCOPE_SLIDES_COMPACT: Compact_All_Objects() FAILED");
    Report_Message(
        "All objects have been compacted into their single frame equivalents\n"
        "Calvorine will now exit. The next time Calvorine is run,\n"
        "all object files will be (re)expanded.");
    Post_Destroy();
}

// ---------------------------------------------------------------------------
// The command table.

static int32_t Toggled(int32_t flag) { return flag ? 0 : 1; }

int Menu_Command(uintptr_t id) {
    // The system asking for a screen saver while this one runs.
    if (app.saver_mode == SAVER && id == SC_SCREENSAVE) return 1;

    PlasmaSettings& s = plasma_settings;
    switch (id) {
    // Commands that change a setting themselves, then show it in the menu.
    case MENU_PRESETS_OPEN: Command_Open(); return 1;
    case MENU_VIEW_VSYNC:
        app.vsync = !app.vsync;
        s.vsync_setting = app.vsync ? 1 : 0;
        break;
    case MENU_VIEW_FPS: app.show_fps = !app.show_fps; break;
    case MENU_VIEW_SCOPE_CIRCLE:
    case MENU_VIEW_SCOPE_ELLIPSE:
    case MENU_VIEW_SCOPE_DIAMOND:
    case MENU_VIEW_SCOPE_STAR: Command_Overlay(static_cast<int>(id - MENU_VIEW_SCOPE_CIRCLE)); break;
    case MENU_VIEW_SCOPE_OFF: Command_Overlay(-1); break;
    case MENU_VIEW_SCOPE_CUSTOM: Command_Custom_Overlay(); break;
    case MENU_VIEW_PREVIEW_ACTIVE: s.preview_active = Toggled(s.preview_active); break;
    case MENU_VIEW_TITLES: s.titles_on = Toggled(s.titles_on); break;
    case MENU_PLASMA_MULTI_COLOUR: Command_Multi_Colour(); break;
    case MENU_PLASMA_DEFAULT: Command_Plasma_Default(); break;
    case MENU_SYMMETRY_ASYMMETRIC:
    case MENU_SYMMETRY_BIPOLAR:
    case MENU_SYMMETRY_FOUR_FOLD:
    case MENU_SYMMETRY_EIGHT_FOLD: Command_Symmetry(static_cast<int>(id - MENU_SYMMETRY_ASYMMETRIC)); break;
    case MENU_SCOPE_ON: Command_Kaleidoscope_On(); break;
    case MENU_SCOPE_STRETCH: s.kaleidoscope_stretch = Toggled(s.kaleidoscope_stretch); break;
    case MENU_SCOPE_SLIDES_ON: Command_Slides_On(); break;
    case MENU_SCOPE_SLIDES_DEFAULT: Command_Slides_Default(); break;
    case MENU_BLEND_HUE: s.blend_mode = 1; break;
    case MENU_BLEND_LIGHT: s.blend_mode = 2; break;
    case MENU_BLEND_OFF: s.blend_mode = 0; break;

    // Commands that leave the check marks alone.
    case MENU_PRESETS_SAVE: Command_Save(); return 1;
    case MENU_PRESETS_SAVE_AS: Command_Save_As(); return 1;
    case MENU_PRESETS_EXIT: Post_Destroy(); return 1;
    case MENU_VIEW_FULLSCREEN: Command_Full_Screen(); return 1;
    case MENU_PLASMA_BRIGHTEN: Command_Brighten(); return 1;
    case MENU_SCOPE_SLIDES_COMPACT: Command_Compact_Objects(); return 1;
    case MENU_PLASMA_SPEED: Scalar_Dialog_Box(SCALAR_SPEED); return 1;
    case MENU_PLASMA_CONTRAST: Scalar_Dialog_Box(SCALAR_CONTRAST); return 1;
    case MENU_PLASMA_RIPPLES: Scalar_Dialog_Box(SCALAR_RIPPLE_FREQUENCY); return 1;
    case MENU_PLASMA_INTERFERENCE: Scalar_Dialog_Box(SCALAR_INTERFERENCE); return 1;
    case MENU_PLASMA_SWAY: Scalar_Dialog_Box(SCALAR_SWAY); return 1;
    case MENU_PLASMA_COMPLEXITY: Scalar_Dialog_Box(SCALAR_COMPLEXITY); return 1;
    case MENU_COLOUR_RANDOM: Scalar_Dialog_Box(SCALAR_RANDOM_COLOUR); return 1;
    case MENU_SCOPE_GRANULARITY: Command_Granularity(); return 1;
    case MENU_COLOUR_SELECT: Colour_Dialog_Box(); return 1;
    case MENU_HELP_INFORMATION: Command_Instructions(); return 1;
    case MENU_HELP_SYSTEM_INFO: Info_Dialog_Box(); return 1;
    case MENU_HELP_ABOUT: About_Dialog_Box(); return 1;
    case MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT:
        if (!Frame_Convert()) Report_Error("MENU_SCOPE_SLIDES_OBJECTS_ADVANCED_FRAME_CONVERT: Frame Convert FAILED");
        return 1;
    case MENU_VIEW_RESOLUTION: Resolution_Dialog_Box(); return 1;
    case MENU_PRESETS_RANDOM: Journey_Dialog_Box(); return 1;
    case MENU_SCOPE_SLIDES_FADE: Fade_Dialog_Box(); return 1;
    case MENU_SCOPE_SLIDES_ZONES: Zone_Dialog_Box(); return 1;
    case MENU_SCOPE_SLIDES_DIRECTION: Direction_Dialog_Box(); return 1;
    case MENU_SCOPE_SLIDES_OBJECTS_SELECT:
        Slide_Objects_Dialog_Box();
        Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0);
        return 1;
    case MENU_SCOPE_SLIDES_BACKGROUND:
        Background_Dialog_Box();
        Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0);
        return 1;
    case MENU_SCOPE_SLIDES_SPEED:
        Scalar_Dialog_Box(SCALAR_SLIDE_SPEED);
        Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0);
        return 1;
    default: return 0;
    }
    Update_Menu_Checks();
    return 1;
}
