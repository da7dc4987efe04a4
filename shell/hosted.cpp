#include "shell/hosted.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/app_state.h"
#include "base/error_log.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "preset/random_preset_timer.h"

Hack_Options hack_options;

// The R key's pace: a new preset every minute, with a quick transition.
static constexpr int RANDOM_PRESET_SECONDS = 60;
static constexpr int RANDOM_TRANSITION_STEP = 4;

uintptr_t Read_Host_Window_Number(const char* text) {
    if (!text || !*text || *text == '-' || *text == '+') return 0;
    const bool hexadecimal = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    unsigned long long number = std::strtoull(text, &end, hexadecimal ? 16 : 10);
    // X window numbers have 29 bits; anything else names no window.
    constexpr unsigned long long LARGEST_WINDOW = 0xFFFFFFFFull;
    if (errno != 0 || !end || *end != '\0' || end == text || number == 0 || number > LARGEST_WINDOW) return 0;
    return static_cast<uintptr_t>(number);
}

static bool Is_Switch(const char* argument, const char* name) {
    // Both --name and -name, as the daemon's hacks have always accepted them.
    if (!argument || argument[0] != '-') return false;
    const char* bare = argument[1] == '-' ? argument + 2 : argument + 1;
    return std::strcmp(bare, name) == 0;
}

Host_Request Parse_Host_Switches(int argc, const char* const* argv, int first, const char* environment_window,
                                 uintptr_t* window) {
    *window = 0;
    bool root = false, given = false;
    for (int i = first; i < argc; i++) {
        if (Is_Switch(argv[i], "root")) {
            root = true;
        } else if (Is_Switch(argv[i], "window-id")) {
            if (i + 1 >= argc) return HOST_INVALID;
            *window = Read_Host_Window_Number(argv[++i]);
            if (*window == 0) return HOST_INVALID;
            given = true;
        }
    }
    if (given) return HOST_WINDOW;
    const bool environment_set = environment_window && *environment_window;
    // The daemon names its window in the environment: with --root, or alone.
    if (environment_set && (root || argc <= first)) {
        *window = Read_Host_Window_Number(environment_window);
        return *window ? HOST_WINDOW : HOST_INVALID;
    }
    return root ? HOST_ROOT : HOST_NONE;
}

bool Parse_Hack_Options(int argc, const char* const* argv, int first, Hack_Options* options) {
    for (int i = first; i < argc; i++) {
        if (Is_Switch(argv[i], "preset")) {
            if (i + 1 >= argc || !argv[i + 1][0]) return false;
            options->preset_path = argv[++i];
        } else if (Is_Switch(argv[i], "random")) {
            options->random_presets = true;
        } else if (Is_Switch(argv[i], "fps")) {
            options->show_fps = true;
        }
    }
    return true;
}

int Apply_Hack_Options(const Hack_Options& options) {
    int result = 1;
    if (!options.preset_path.empty()) {
        if (Load_Plasma_Settings(options.preset_path.c_str())) {
            Refresh_Plasma();
        } else {
            Report_Formatted("Apply_Hack_Options(): Load_Plasma_Settings %s FAILED", options.preset_path.c_str());
            Display_Default_Plasma();
            result = 0;
        }
    }
    if (options.show_fps) app.show_fps = true;
    if (options.random_presets) {
        random_preset_seconds = RANDOM_PRESET_SECONDS;
        transition_step = RANDOM_TRANSITION_STEP;
        Update_Random_Preset_Timer(1);
    }
    return result;
}

const char* const SAVER_USAGE =
    "Usage: calvorine-saver [--data-dir DIR] [/s | /c | /p N | /a N]\n"
    "       calvorine-saver [--data-dir DIR] --root | --window-id ID [--preset FILE] [--random] [--fps]\n"
    "       calvorine-saver --end\n"
    "\n"
    "  /s              the screen saver, full screen\n"
    "  /c              the configuration window (also without a switch)\n"
    "  /p N            the preview inside window N\n"
    "  /a N            the password change\n"
    "  --root          run as a screen-saver daemon's hack: draw into the window in\n"
    "                  $XSCREENSAVER_WINDOW, else into the root window\n"
    "  --window-id ID  run as a hack in window ID (decimal, or hexadecimal after 0x)\n"
    "  --preset FILE   the hack shows that preset instead of the default one\n"
    "  --random        the hack changes to a random preset every minute\n"
    "  --fps           the hack shows the frame rate\n"
    "  --data-dir DIR  the folder that holds Calvorine/ instead of $XDG_DATA_HOME\n"
    "                  (before everything else)\n"
    "  --end           end the session's running full-screen saver, as a key would\n"
    "                  (an idle daemon's resume command)\n"
    "  -h, --help      this text\n"
    "\n"
    "The switches also work after '-' and in either case (-S, /C).\n";

Argument_Check Check_Saver_Arguments(int argc, const char* const* argv, int first, std::string* unknown) {
    // The options that take a value, and those that stand alone.
    static constexpr const char* WITH_VALUE[] = {"window-id", "preset"};
    static constexpr const char* ALONE[] = {"root", "random", "fps"};
    Argument_Check found = ARGUMENTS_RUN;
    for (int i = first; i < argc; i++) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "-h") == 0 || Is_Switch(argument, "help")) return ARGUMENTS_HELP;
        bool known = false;
        for (const char* name : WITH_VALUE) {
            if (Is_Switch(argument, name)) {
                known = true;
                i++;
            }
        }
        for (const char* name : ALONE) known = known || Is_Switch(argument, name);
        // A single dash is the switches' own prefix (-s, -p 123); only a
        // double dash names an option.
        if (!known && found == ARGUMENTS_RUN && std::strncmp(argument, "--", 2) == 0) {
            found = ARGUMENTS_UNKNOWN;
            if (unknown) *unknown = argument;
        }
    }
    return found;
}
