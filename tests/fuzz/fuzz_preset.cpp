// The preset loader under a coverage-guided fuzzer: each input is a preset
// file, read and applied as Presets > Open applies one, then drawn for two
// frames. Whatever the bytes, the preset that results must draw.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/app_state.h"
#include "fuzz/fuzz_program.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/system.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "shell/frame_driver.h"
#include "slides/colour_slides.h"
#include "slides/slide_objects.h"
#include "text/titles.h"

namespace {

constexpr int FRAMES = 2;
std::string input_path;
int baseline_surfaces = 0;

// What a preset set up, released; the objects and fonts stay loaded, as
// they do in the running program from one preset to the next.
void Release_Preset_Effects() {
    Destroy_Title();
    Shutdown_Colour_Slides();
    Shutdown_Scope();
    Shutdown_Kaleidoscope();
    Shutdown_Plasma();
    Release_Scratch_Pad();
    transition_mode = NO_TRANSITION;
    transition_width = transition_height = 0.0;
    preset_switched = false;
}

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "fuzz-preset: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Start_Fuzz_Program(32);
    Load_All_Objects();
    input_path = Fuzz_Data_Folder() + "/../input.dat";
    // One bundled preset first, so that the fonts are loaded and the count
    // of surfaces that stay from one input to the next is known.
    const std::string warm_up = Fuzz_Data_Folder() + "/default.dat";
    if (Load_Plasma_Settings(warm_up.c_str())) Refresh_Plasma();
    Release_Preset_Effects();
    baseline_surfaces = DD_Live_Surface_Count() - Kept_Custom_Scope_Pictures();
    Platform_Reset_Records();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Write_Fuzz_Input(input_path, data, size);
    if (Load_Plasma_Settings(input_path.c_str())) {
        if (!std::memchr(plasma_settings.title, 0, sizeof plasma_settings.title)) Finding("title not ended");
        if (!std::memchr(plasma_settings.custom_scope_path, 0, sizeof plasma_settings.custom_scope_path))
            Finding("overlay path not ended");
        Refresh_Plasma();
        for (int frame = 0; frame < FRAMES; ++frame) {
            if (!Compose_Frame()) Finding("a frame of the loaded preset failed");
        }
    }
    Release_Preset_Effects();
    // The overlay pictures kept for the next preset are the program's too.
    Expect_Live_Surfaces(baseline_surfaces + Kept_Custom_Scope_Pictures(), "a preset");
    // The recorded reports would only grow.
    Platform_Reset_Records();
    return 0;
}
