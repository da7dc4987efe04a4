// The font loader under a coverage-guided fuzzer: each input is the data
// folder's Font.bmp, loaded as the program's font, measured and drawn with.
#include <string>

#include "base/app_state.h"
#include "fuzz/fuzz_program.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "text/font.h"

namespace {
std::string font_path;
int baseline_surfaces = 0;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Start_Fuzz_Program(32);
    font_path = Font_Picture_Path(PROGRAM_FONT);
    baseline_surfaces = DD_Live_Surface_Count();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Write_Fuzz_Input(font_path, data, size);
    if (Load_Font(PROGRAM_FONT)) {
        int width = 0, height = 0;
        Calculate_Message_Dimensions(PROGRAM_FONT, "Calvorine 0123 !?", &width, &height);
        Draw_Text(Hidden, 0, 0, PROGRAM_FONT, "Calvorine 0123 !?");
    }
    Release_All_Fonts();
    Expect_Live_Surfaces(baseline_surfaces, "a font");
    Platform_Reset_Records();
    return 0;
}
