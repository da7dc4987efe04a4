#include "preset/preset_files.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/random.h"
#include "base/resolution.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/files.h"
#include "platform/system.h"
#include "preset/preset_setter.h"

int32_t last_random_index = 0;

// The Windows directory and a separator, kept in windows_prefix for the
// paths that are built from it.
static const std::string& Refresh_Windows_Prefix() {
    app.windows_prefix = Windows_Directory() + "/";
    return app.windows_prefix;
}

// default.dat in the data folder, built from windows_prefix.
static std::string Default_Preset_Path() {
    if (app.windows_prefix.empty()) Refresh_Windows_Prefix();
    return app.windows_prefix + DATA_FOLDER_NAME + "/default.dat";
}

PlasmaSettings shown_plasma_settings;
bool plasma_settings_shown = false;
bool shown_frame_failed = false;

void Note_Plasma_Settings_Shown() {
    // Only a configuration run writes default.dat: the running saver keeps
    // its frames free of the copy.
    if (app.saver_mode != CONFIGURE) return;
    memcpy(&shown_plasma_settings, &plasma_settings, sizeof plasma_settings);
    plasma_settings_shown = true;
}

void Note_Frame_Failed() { shown_frame_failed = true; }

// Save_Plasma_Settings_To_File of any record.
static int Save_Record_To_File(const char* path, const PlasmaSettings& record) {
    if (!path || !path[0]) return 0;

    // Save over an existing preset whose name differs only in case rather
    // than leave two presets that every search takes for the same file.
    // A preset linked from elsewhere is replaced where it really lives, so
    // the link survives; a device or a FIFO is never replaced by a file.
    std::string target;
    if (!Resolve_Save_Target(Match_Path_Case(path), &target)) {
        Report_Formatted("Save_Plasma_Settings_To_File():\n\n Error saving %s", path);
        return 0;
    }

    // A read-only preset stays as it is, as the direct write used to leave it.
    if (!Save_Target_Writable(target)) {
        Report_Formatted("Save_Plasma_Settings_To_File():\n\n Error saving %s", path);
        return 0;
    }

    // The preset is written to a file of its own and renamed over the target
    // only when every byte is on disk: a full disk or a crash half-way never
    // leaves a damaged preset in place of a good one.
    Replacement* file = Begin_Replacement(target);
    if (!file) {
        Report_Formatted("Save_Plasma_Settings_To_File():\n\n Error saving %s", path);
        return 0;
    }
    if (!Replacement_Write(file, &record, sizeof record)) {
        Abandon_Replacement(file);
        Report_Formatted("Save_Plasma_Settings_To_File():\n\n Saved incorrect file size %d", 0);
        Report_Formatted("Save_Plasma_Settings_To_File():\n\n Error saving %s", path);
        return 0;
    }
    if (!Commit_Replacement(file)) {
        Report_Formatted("Save_Plasma_Settings_To_File():\n\n Error saving %s", path);
        return 0;
    }
    return 1;
}

int Save_Plasma_Settings_To_File(const char* path) { return Save_Record_To_File(path, plasma_settings); }

int Save_Default_Plasma() {
    const PlasmaSettings* keep = &plasma_settings;
    if (plasma_settings_shown) {
        keep = &shown_plasma_settings;
    } else if (shown_frame_failed) {
        // Nothing has been shown at all: the default preset stays as it was.
        return 1;
    }
    return Save_Record_To_File(Default_Preset_Path().c_str(), *keep);
}

int Load_Plasma_Settings(const char* path) {
    if (!path || !path[0]) return 0;
    FILE* file = fopen(Match_Path_Case(path).c_str(), "rb");
    if (!file) return 0;

    // Read into a record of its own: a short file must not leave the current
    // preset half overwritten, since nothing would apply or repair it.
    // Bytes past the record are ignored.
    PlasmaSettings loaded;
    memset(&loaded, 0, sizeof loaded);
    size_t read = fread(&loaded, sizeof loaded, 1, file);
    fclose(file);
    if (read != 1) {
        Report_Formatted("Load_Plamsa_Settings():\n\nError reading %s", path);
        return 0;
    }
    memcpy(&plasma_settings, &loaded, sizeof plasma_settings);
    // A file from anywhere: every field is brought into its range here, on
    // the one path all presets come in by (Open, default.dat, random
    // presets, a host's preset), so that whatever the bytes, the preset draws.
    Bound_Plasma_Settings();
    return 1;
}

int Read_Plasma_Settings_From_File(const char* path) {
    if (!Load_Plasma_Settings(path)) {
        Report_Formatted("\tRead_Plasma_Settings_From_File(): Load_Plasma_Settings %s FAILED", path ? path : "");
        return 0;
    }
    // Every field goes through Modify_Plasma again, which clamps what a
    // file may hold out of range; its own failures are reported there.
    Refresh_Plasma();
    return 1;
}

// A default preset that cannot be read or applied is moved out of the way
// rather than tried (and failed) at every start, and rather than lost: the
// user finds it beside the new one as default.dat.bad.
static void Set_Aside_Default_Plasma(const std::string& path) {
    const std::string on_disk = Match_Path_Case(path);
    if (!Set_File_Aside(on_disk, path + ".bad")) Report_Formatted("Unable to write file %s.bad", path.c_str());
}

int Load_Default_Plasma() {
    Refresh_Windows_Prefix();
    std::string path = Default_Preset_Path();
    if (!File_Exists(path.c_str())) return 0;
    int applied = 0;
    const bool loaded_whole = Load_Plasma_Settings(path.c_str());
    if (loaded_whole) {
        applied = Refresh_Plasma();
    } else {
        Report_Formatted("\tRead_Plasma_Settings_From_File(): Load_Plasma_Settings %s FAILED", path.c_str());
    }
    if (!applied) {
        Report_Formatted("Load_Default_Plasma():\n\nUnable to read file %s", path.c_str());
        // A preview's host window may vanish while the preset is applied;
        // that says nothing about the file.
        if (!loaded_whole || app.saver_mode != PREVIEW) Set_Aside_Default_Plasma(path);
        return 0;
    }
    return 1;
}

int Backup_Plasma_Settings() {
    memcpy(&plasma_settings_backup, &plasma_settings, sizeof plasma_settings);
    if (app.saver_mode == CONFIGURE && !Save_Default_Plasma())
        Report_Formatted("Unable to write file %s", Default_Preset_Path().c_str());
    return 1;
}

int Restore_Plasma_Settings() {
    // The kept copy itself is applied. Reading default.dat here instead
    // would bring the same preset back only in CONFIGURE mode, where the
    // backup has just been saved there; elsewhere (a random preset in the
    // running saver, a window without the configure switch, a save that
    // failed) it would silently swap the preset for the default one.
    memcpy(&plasma_settings, &plasma_settings_backup, sizeof plasma_settings);
    Refresh_Plasma();
    return 1;
}

void Display_Default_Plasma() {
    if (!Load_Default_Plasma()) {
        Set_Default_Plasma_Settings();
        Refresh_Plasma();
    }
}

int Grab_Preferred_Plasma_Screen_Dimensions(int* width, int* height, int* depth) {
    Refresh_Windows_Prefix();
    std::string path = Default_Preset_Path();
    if (!File_Exists(path.c_str())) return 0;
    if (!Load_Plasma_Settings(path.c_str())) {
        Report_Formatted("Grab_Preferred_Plasma_Screen_Dimensions(): Load_Plasma_Settings %s FAILED", path.c_str());
        return 0;
    }
    if (!Decode_Resolution(plasma_settings.resolution, width, height, depth)) {
        Report_Error("Grab_Preferred_Plasma_Screen_Dimensions(): Decode _Resolution FAILED");
        return 0;
    }
    return 1;
}

int Count_Files_In_Folder(const char* pattern, int* count) {
    *count = 0;
    std::string name;
    File_Search* search = Find_First_File(pattern, &name);
    if (!search) return 0;
    do {
        (*count)++;
    } while (Find_Next_File(search, &name));
    Find_Close(search);
    return 1;
}

int Select_Random_Setting(std::string* path) {
    std::string folder = Windows_Directory() + "/" + DATA_FOLDER_NAME + "/";
    std::string pattern = folder + "*.DAT";

    int count = 0;
    if (!Count_Files_In_Folder(pattern.c_str(), &count)) {
        Report_Error("Select_Random_Setting(): Count_Files_In_Folder FAILED");
        return 0;
    }
    std::string name;
    File_Search* search = Find_First_File(pattern.c_str(), &name);
    if (!search) {
        Report_Error("Load_Random_Setting(): FindFirstFile searching for *.DAT returned INVALID_HANDLE_VALUE");
        return 0;
    }

    int pick = crt::rand() % count;
    while (count > 1 && pick == last_random_index) pick = crt::rand() % count;
    last_random_index = pick;

    // Should a preset vanish between the count and this search, the pick
    // stops at the last file still there rather than naming a missing one.
    for (int position = 0; position < pick; position++) {
        if (!Find_Next_File(search, &name)) break;
    }
    Find_Close(search);
    *path = folder + name;
    return 1;
}

int Load_Random_Setting() {
    std::string path;
    if (!Select_Random_Setting(&path)) {
        Report_Error("Load_Random_Setting(): Select_Random_Setting FAILED");
        return 0;
    }
    if (!Load_Plasma_Settings(path.c_str())) {
        Report_Formatted("Load_Random_Setting():Load_Plasma_Settings FAILED Unable to read file %s", path.c_str());
        return 0;
    }
    return 1;
}

int Display_A_Random_Setting(Full_Screen_Rebuild rebuild) {
    int old_resolution = plasma_settings.resolution;
    if (!Load_Random_Setting()) {
        Report_Error("Display_A_Random_Setting(): Load_Random_Setting FAILED");
        return 0;
    }
    if (app.display_mode == DISPLAY_WINDOWED || plasma_settings.resolution == old_resolution || !rebuild ||
        app.hosted) {
        // Without a way to change the display mode the preset is shown at
        // the present one, as in a window; a host's window keeps its size.
        Refresh_Plasma();
        return 1;
    }

    int width, height, bpp;
    if (!Decode_Resolution(plasma_settings.resolution, &width, &height, &bpp)) {
        Report_Error("Display_A_Random_Setting(): Decode_Resolution FAILED");
        return 0;
    }
    app.screen_width = width;
    app.screen_height = height;
    app.screen_bpp = bpp;
    Backup_Plasma_Settings();
    app.display_mode = DISPLAY_FULL_SCREEN;
    app.client_width = app.screen_width;
    app.client_height = app.screen_height;
    if (!rebuild()) {
        Report_Error("Display_A_Random_Setting: Setup FAILED");
        Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0);
        return 0;
    }
    // Restoring applies the preset to the new display as well.
    if (!Restore_Plasma_Settings()) {
        Report_Error("Display_A_Random_Setting(): Restore_Plasma_Settings FAILED");
        return 0;
    }
    return 1;
}
