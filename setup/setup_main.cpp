// calvorine-setup: the installer, run from the unpacked package's folder.
//
//   cd calvorine-1.3 && ./calvorine-setup
//   calvorine-setup --xscreensaver     Calvorine as the user's XScreenSaver display mode
//
// Other command-line arguments are ignored. Exit code 0 after an
// installation, a cancel or on an unsupported system; 1 after a failed
// installation step. --xscreensaver needs no display: it writes the user's
// ~/.xscreensaver (the installer's own last step) and exits 0, or 1 with
// the reason on standard error.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/package_files.h"
#include "platform/install_files.h"
#include "platform/window.h"
#include "setup/installer.h"

static constexpr const char* SETUP_USAGE =
    "Usage: calvorine-setup                 install Calvorine for this user from the unpacked package\n"
    "       calvorine-setup --xscreensaver  make Calvorine this user's XScreenSaver display mode\n"
    "       calvorine-setup --help          this text\n";

int main(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(SETUP_USAGE, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--xscreensaver") == 0) {
            const std::string settings = Platform_Xscreensaver_Settings_Path();
            const bool had_settings = Platform_Get_File_Attributes(settings.c_str()) != INVALID_FILE_ATTRIBUTES;
            std::string hack, failure;
            if (!Select_Calvorine_In_Xscreensaver(Platform_Program_Path(), &hack, &failure)) {
                std::fprintf(stderr, "calvorine-setup: %s\n", failure.c_str());
                return 1;
            }
            std::printf("calvorine-setup: Calvorine (%s) is now XScreenSaver's display mode in %s\n", hack.c_str(),
                        settings.c_str());
            if (had_settings) std::printf("calvorine-setup: the old settings are kept in %s.bak\n", settings.c_str());
            return 0;
        }
    }
#ifdef CALVORINE_BUILD_SAVER
    saver_build_output_path = CALVORINE_BUILD_SAVER;
#endif
    if (!Platform_Start_Window_Layer(argc, argv)) {
        std::fprintf(stderr, "calvorine-setup: no display to show the installer on\n");
        return 1;
    }
    int exit_code = Install_Calvorine();
    Platform_Stop_Window_Layer();
    return exit_code;
}
