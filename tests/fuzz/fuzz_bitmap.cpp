// The bitmap loaders under a coverage-guided fuzzer: each input is a .BMP
// file, read as a picture and as the custom scope overlay (which loads and
// stretches it), then the overlay is drawn once.
#include <cstdio>
#include <string>

#include "base/app_state.h"
#include "fuzz/fuzz_program.h"
#include "graphics/bitmap_files.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"

namespace {
std::string input_path;
int baseline_surfaces = 0;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Start_Fuzz_Program(32);
    input_path = Fuzz_Data_Folder() + "/../input.bmp";
    Set_Default_Plasma_Settings();
    baseline_surfaces = DD_Live_Surface_Count();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Write_Fuzz_Input(input_path, data, size);
    int width = 0, height = 0;
    if (Surface* picture = Load_SYSTEM_Bitmap(input_path.c_str(), &width, &height)) {
        if (width < 1 || height < 1) __builtin_trap();
        Release(picture);
    }
    Read_Bitmap_Size(input_path.c_str(), &width, &height);
    std::snprintf(plasma_settings.custom_scope_path, sizeof plasma_settings.custom_scope_path, "%s",
                  input_path.c_str());
    if (Setup_Scope(app.client_width, app.client_height, SCOPE_CUSTOM)) Draw_Scope(Hidden, 0, 0);
    Shutdown_Scope();
    // Every input is a new picture: none is worth keeping.
    Release_Custom_Scope_Pictures();
    Expect_Live_Surfaces(baseline_surfaces, "a bitmap");
    Platform_Reset_Records();
    return 0;
}
