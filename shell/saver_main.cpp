// calvorine-saver: the screen saver program.
//
//   calvorine-saver [--data-dir DIR] [/s | /c[:N] | /p N | /l N | /a N | -S ...]
//
// The switches are the ones the system has always started a saver with, in
// either case after '/' or '-'. --data-dir names the folder that holds
// Calvorine/ instead of $XDG_DATA_HOME (the demo and the tests use it); it
// must come before the switch.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/window.h"
#include "base/data_folder.h"
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
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--data-dir") == 0) {
        if (argc < 3 || !argv[2][0]) {
            fprintf(stderr, "calvorine-saver: --data-dir needs a folder\n");
            return 2;
        }
        Set_Windows_Directory(argv[2]);
        first = 3;
    }
    const std::string command_line = Command_Line(argc > 0 ? argv[0] : "calvorine-saver", argc, argv, first);

    if (!Platform_Start_Window_Layer(argc, argv)) {
        fprintf(stderr, "calvorine-saver: no display to show the saver on\n");
        return 1;
    }
    int exit_code = Calvorine_Main(command_line.c_str());
    Platform_Stop_Window_Layer();
    return exit_code;
}
