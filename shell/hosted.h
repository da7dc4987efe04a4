// Calvorine as a hack: the running saver drawn into a window that another
// program hands it (a screen-saver daemon's window, its settings' preview
// pane, or the root window), instead of a full-screen window of its own.
//
//   calvorine-saver --root              the daemon's window from $XSCREENSAVER_WINDOW, else the root window
//   calvorine-saver --window-id ID      that window (decimal or 0x hex); -window-id and -root too
//   XSCREENSAVER_WINDOW=ID calvorine-saver
//   ... [--preset FILE] [--random]     a preset instead of the default one; random presets every minute
//   ... [--fps]                        the frame rate in the picture, as the 1 key shows it in the window
//
// Hosted, the saver shows what /s shows (the default preset, random presets,
// titles) at the host window's size and follows its resizes; it reads no
// input and never ends on it, asks no password and takes no single-instance
// flag: the host does all of that. It ends on SIGTERM or SIGINT, in order,
// saving nothing.
#pragma once

#include <cstdint>
#include <string>

// What the command line asks for.
enum Host_Request : int {
    HOST_NONE = 0,     // not hosted: the ordinary switches apply
    HOST_WINDOW = 1,   // a given window
    HOST_ROOT = 2,     // the root window
    HOST_INVALID = 3,  // a host switch with a missing or unreadable window number
};

// Reads the host switches from argv[first..argc-1] and the value of
// $XSCREENSAVER_WINDOW (null when unset). --root with the variable set is
// the variable's window, as the daemon starts its hacks.
Host_Request Parse_Host_Switches(int argc, const char* const* argv, int first, const char* environment_window,
                                 uintptr_t* window);
// Reads a window number: decimal, or hexadecimal after 0x; 0 when unreadable.
uintptr_t Read_Host_Window_Number(const char* text);

// The hack's own options (the daemon's settings file offers them).
struct Hack_Options {
    std::string preset_path;      // shown instead of the default preset when not empty
    bool random_presets = false;  // a random preset every minute, with the quick transition
    bool show_fps = false;        // the frame rate in the picture
};
extern Hack_Options hack_options;

// Reads --preset FILE, --random and --fps (one or two dashes) from
// argv[first..argc-1]; false when --preset has no file.
bool Parse_Hack_Options(int argc, const char* const* argv, int first, Hack_Options* options);
// Applies the options after the default preset is shown: the named preset
// (a preset that cannot be read is reported and the default stays), and the
// random-preset timer. 1, or 0 when the preset could not be read.
int Apply_Hack_Options(const Hack_Options& options);

// What the command line asks for before anything is started.
enum Argument_Check : int {
    ARGUMENTS_RUN = 0,      // nothing against running
    ARGUMENTS_HELP = 1,     // -h, -help or --help: the usage on standard output, exit 0
    ARGUMENTS_UNKNOWN = 2,  // a --option the saver does not know: the usage on standard error, exit 2
};
// Looks through argv[first..argc-1] (after a leading --data-dir DIR) for a
// request for help and for unknown --options; the values of --window-id
// and --preset are never taken for options. The ordinary switches (/s,
// -c, -p N, ...) are the command line's own and pass. *unknown gets the
// first unknown option. Called by main before the display is opened.
Argument_Check Check_Saver_Arguments(int argc, const char* const* argv, int first, std::string* unknown);
// The usage text that --help prints.
extern const char* const SAVER_USAGE;
