// The window caption, which names the current preset.
#include "preset/window_caption.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/app_state.h"
#include "base/error_log.h"
#include "plasma/plasma_settings.h"
#include "platform/window.h"

char window_caption[260] = "";

// The caption before the preset's name.
static constexpr const char* CAPTION_PREFIX = " Calvorine:   ";
// The caption shown when the window refuses the preset's.
static constexpr const char* CAPTION_FALLBACK = "Calvorine";
// A name taken from a file renames the preset only when it is shorter than this.
static constexpr size_t PRESET_NAME_LIMIT = 128;

static void Keep_Caption(const std::string& caption) {
    std::snprintf(window_caption, sizeof window_caption, "%s", caption.c_str());
}

// The last folder separator: the saver's own backslash and, in a file path
// from this system's file dialogs, the slash.
static const char* Last_Separator(const char* text, bool slash_separates) {
    const char* backslash = std::strrchr(text, '\\');
    const char* slash = slash_separates ? std::strrchr(text, '/') : nullptr;
    if (!backslash) return slash;
    if (!slash) return backslash;
    return std::max(backslash, slash);
}

// Update_Window_Title with or without the slash as a separator.
static int Caption_From(const char* text, bool slash_separates) {
    if (!text) text = "";
    std::string caption = CAPTION_PREFIX;
    const char* separator = Last_Separator(text, slash_separates);
    if (separator && separator - text > 1) {
        // The file's name without its extension names the preset; its first
        // character counts even when it is a full stop.
        const char* name = separator + 1;
        size_t length = 0;
        if (name[0]) length = 1 + std::strcspn(name + 1, ".");
        const std::string preset_name(name, length);
        if (preset_name.size() < PRESET_NAME_LIMIT) {
            std::snprintf(plasma_settings.title, sizeof plasma_settings.title, "%s", preset_name.c_str());
        }
        caption += preset_name;
    } else {
        caption += text;
    }
    // A name too long for the caption loses its end.
    if (caption.size() >= sizeof window_caption) caption.resize(sizeof window_caption - 1);
    Keep_Caption(caption);

    // Only the window the window layer shows has a caption; a headless
    // record (the render tool's, tests') keeps it in window_caption only.
    if (!app.main_window || app.main_window != Platform_Main_Window()) return 1;
    if (!Platform_Set_Window_Caption(app.main_window, caption.c_str())) {
        Report_Formatted("Update Window Title(): SetWindowText %s FAILED", caption.c_str());
        Platform_Set_Window_Caption(app.main_window, CAPTION_FALLBACK);
        Keep_Caption(CAPTION_FALLBACK);
        return 0;
    }
    return 1;
}

// A title is shown whole: "Dawn/Dusk v1.5 Mix" is a name, not a path.
int Update_Window_Title(const char* text) { return Caption_From(text, false); }

int Update_Window_Title_From_File(const char* path) { return Caption_From(path, true); }
