// calvorine-saver: the screen saver program.
//
//   calvorine-saver [--data-dir DIR] [/s | /c[:N] | /p N | /l N | /a N | -S ...]
//   calvorine-saver [--data-dir DIR] --root | --window-id ID [--preset FILE] [--random] [--fps]
//   calvorine-saver --end
//   calvorine-saver -h | --help
//
// The switches are the ones the system has always started a saver with, in
// either case after '/' or '-'. --data-dir names the folder that holds
// Calvorine/ instead of $XDG_DATA_HOME (the demo and the tests use it); it
// must come before the switch. --root, --window-id and $XSCREENSAVER_WINDOW
// run the saver as a screen-saver daemon's hack (shell/hosted.h). --end asks
// the session's running full-screen saver to end, as a key would (an idle
// daemon's resume command), and exits 0 whether or not one ran.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "platform/window.h"
#include "shell/hosted.h"
#include "shell/saver_entry.h"

// The command line as the system hands it to a saver: the program's name
// (quoted when it holds blanks) and every argument after it.
static std::string Command_Line(const char* program, int argc, char** argv, int first) {
    std::string line = program;
    if (line.find_first_of(" \t") != std::string::npos) line = "\"" + line + "\"";
    for (int i = first; i < argc; i++) {
        line += ' ';
        line += argv[i];
    }
    return line;
}

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--end") == 0) {
        Platform_End_Running_Saver();
        return 0;
    }
    const bool data_dir_given = argc > 1 && std::strcmp(argv[1], "--data-dir") == 0;
    // Help is given at once: before any folder or display is looked at.
    std::string unknown;
    switch (Check_Saver_Arguments(argc, argv, data_dir_given ? 3 : 1, &unknown)) {
    case ARGUMENTS_HELP: std::fputs(SAVER_USAGE, stdout); return 0;
    case ARGUMENTS_UNKNOWN:
        std::fprintf(stderr, "calvorine-saver: unknown option %s\n%s", unknown.c_str(), SAVER_USAGE);
        return 2;
    default: break;
    }
    int first = 1;
    if (data_dir_given) {
        if (argc < 3 || !argv[2][0]) {
            fprintf(stderr, "calvorine-saver: --data-dir needs a folder\n");
            return 2;
        }
        Set_Windows_Directory(argv[2]);
        first = 3;
    }
    const char* program = argc > 0 ? argv[0] : "calvorine-saver";
    std::string command_line = Command_Line(program, argc, argv, first);

    uintptr_t host_window = 0;
    const Host_Request host = Parse_Host_Switches(argc, argv, first, std::getenv("XSCREENSAVER_WINDOW"), &host_window);
    if (host == HOST_INVALID) {
        fprintf(stderr, "calvorine-saver: --window-id needs a window number (decimal or 0x hex)\n");
        return 2;
    }
    if (host != HOST_NONE && !Parse_Hack_Options(argc, argv, first, &hack_options)) {
        fprintf(stderr, "calvorine-saver: --preset needs a preset file\n");
        return 2;
    }
    // The preview lives in another program's X window: X11 even in a Wayland session.
    if (host == HOST_NONE && Parse_Command_Line(command_line.c_str()) == PREVIEW) Platform_Prefer_X11();
    if (host != HOST_NONE) {
        Platform_Prefer_X11();
        // The hack is the running saver, drawn where the host says.
        command_line = Command_Line(program, 0, nullptr, 0) + " /s";
    }

    if (!Platform_Start_Window_Layer(argc, argv)) {
        fprintf(stderr, "calvorine-saver: no display to show the saver on\n");
        return 1;
    }
    if (host == HOST_ROOT) host_window = Platform_Root_Window();
    if (host != HOST_NONE) {
        if (!host_window) {
            fprintf(stderr, "calvorine-saver: no window to draw in\n");
            Platform_Stop_Window_Layer();
            return 1;
        }
        app.hosted = true;
        app.host_window = host_window;
    }
    int exit_code = Calvorine_Main(command_line.c_str());
    Platform_Stop_Window_Layer();
    return exit_code;
}
