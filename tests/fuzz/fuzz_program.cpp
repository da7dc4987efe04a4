#include "fuzz/fuzz_program.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

#include "base/app_state.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/display.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shell/lifecycle.h"
#include "test_support.h"

#ifndef CALVORINE_DEMO_FOLDER
#error "CALVORINE_DEMO_FOLDER names the bundled data folder, the fuzz targets' seeds and data"
#endif

namespace fs = std::filesystem;

namespace {

constexpr int SCREEN_WIDTH = 160;
constexpr int SCREEN_HEIGHT = 120;

// The picture stands for the desktop: a window exactly its size at (0, 0).
Window fuzz_window;
std::string windows_folder;
std::string data_folder;

// The boxes nobody answers: a fuzzer makes thousands of reports a second,
// and writing each out would cost more than the input itself.
int Silent_Box(Window*, const char*, const char*, unsigned) { return IDOK; }

// What the program releases at its end, released at the fuzzer's, and the
// private data folder removed.
void Stop_Fuzz_Program() {
    Release_All_Effects();
    Shutdown_Direct_Draw();
    std::error_code ignored;
    fs::remove_all(windows_folder, ignored);
}

[[noreturn]] void Give_Up(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz: %s %s\n", what, detail.c_str());
    std::_Exit(2);
}

}  // namespace

void Start_Fuzz_Program(int depth) {
    // A folder that outlives every input; the process's end is the run's end.
    char pattern[] = "/tmp/calvorine-fuzz-XXXXXX";
    const char* windows = mkdtemp(pattern);
    if (!windows) Give_Up("cannot make a folder in", "/tmp");
    windows_folder = windows;
    data_folder = windows_folder + "/Calvorine";
    std::error_code error;
    fs::copy(CALVORINE_DEMO_FOLDER, data_folder, fs::copy_options::recursive, error);
    if (error) Give_Up("cannot copy", CALVORINE_DEMO_FOLDER);

    Reset_Program_State();
    Use_Windows_Directory(windows);
    fuzz_window.client_width = SCREEN_WIDTH;
    fuzz_window.client_height = SCREEN_HEIGHT;
    app.main_window = &fuzz_window;
    app.error_log_enabled = false;
    app.saver_mode = MODE_NONE;
    app.display_mode = DISPLAY_WINDOWED;
    dd_config.desktop_width = app.system_width = app.screen_width = SCREEN_WIDTH;
    dd_config.desktop_height = app.system_height = app.screen_height = SCREEN_HEIGHT;
    dd_config.desktop_bpp = app.system_bpp = app.screen_bpp = depth;
    app.client_width = SCREEN_WIDTH;
    app.client_height = SCREEN_HEIGHT;
    app.system_memory_surfaces = true;
    if (!Setup_Windowed_Direct_Draw(SCREEN_WIDTH, SCREEN_HEIGHT, depth)) Give_Up("no display at depth", std::to_string(depth));
    crt::srand(1);
    fixed_frame_seconds = 0.02;
    Start_Frame_Timer();
    platform_message_box_hook = Silent_Box;
    // libFuzzer ends the process with exit(); the leak check comes after.
    std::atexit(Stop_Fuzz_Program);
}

const std::string& Fuzz_Data_Folder() { return data_folder; }

void Write_Fuzz_Input(const std::string& path, const uint8_t* data, size_t size) {
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (file < 0) Give_Up("cannot write", path);
    size_t written = 0;
    while (written < size) {
        const ssize_t step = write(file, data + written, size - written);
        if (step <= 0) Give_Up("cannot write", path);
        written += static_cast<size_t>(step);
    }
    close(file);
}

void Expect_Live_Surfaces(int expected, const char* after) {
    const int live = DD_Live_Surface_Count();
    if (live != expected) {
        std::fprintf(stderr, "fuzz: %d surfaces live after %s, %d expected\n", live, after, expected);
        std::abort();
    }
}
