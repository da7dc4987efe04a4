// The slide-object loader under a coverage-guided fuzzer: each input is the
// one object bitmap of a data folder (Objects/0.bmp), loaded, converted and
// drawn onto a slide as the colour slides draw their objects.
#include <filesystem>
#include <string>

#include "base/app_state.h"
#include "fuzz/fuzz_program.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "slides/slide_objects.h"

namespace fs = std::filesystem;

namespace {
std::string object_path;
int baseline_surfaces = 0;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Start_Fuzz_Program(32);
    // Only object 0: the loader stops at the first number that is missing.
    const fs::path objects = Fuzz_Data_Folder() + "/Data/Bmp/Objects";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(objects, error)) fs::remove(entry.path(), error);
    object_path = (objects / "0.bmp").string();
    baseline_surfaces = DD_Live_Surface_Count();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The loader may convert the file in place; each input starts from its own bytes.
    Write_Fuzz_Input(object_path, data, size);
    if (Load_All_Objects() && objects_loaded > 0) {
        Set_Default_Plasma_Settings();
        // A few instances on the slide, placed and drawn as a scatter does.
        for (int copy = 0; copy < 3; ++copy) Enqueue_Objects(0, Hidden);
        Scatter_Objects(Hidden, app.client_width, app.client_height);
        Draw_All_Objects_Ex(Hidden);
        Empty_Objects_Queue();
    }
    Release_All_Objects();
    objects_loaded = 0;
    Expect_Live_Surfaces(baseline_surfaces, "an object");
    Platform_Reset_Records();
    return 0;
}
