// calvorine-setup: the installer, run from the unpacked package's folder.
//
//   cd calvorine-1.3 && ./calvorine-setup
//
// Command-line arguments are ignored. Exit code 0 after an installation, a
// cancel or on an unsupported system; 1 after a failed installation step.
#include <cstdio>

#include "platform/window.h"
#include "setup/installer.h"

int main(int argc, char** argv) {
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
