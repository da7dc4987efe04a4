// calvorine-render: the saver's frame pipeline without a screen.
//
// It starts as the saver does (data folder, error log, display set-up, the
// default or a given preset, all through the saver's own functions), on the
// memory-only display at the size and depth asked for, draws frames with a
// fixed frame clock, and writes what was asked: the last picture as a BMP,
// the preset as a .DAT file, and benchmark figures. With the same seed,
// options and data the pictures are the same to the byte.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/bitmap_files.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/present_scale.h"
#include "platform/row_bands.h"
#include "platform/system.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "shell/frame_driver.h"
#include "shell/lifecycle.h"

// Exit codes.
constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;  // set-up, a frame or an output failed (reported)
constexpr int EXIT_USAGE = 2;   // the command line was wrong

// Largest picture side: far beyond any display the presets know, small
// enough that a mistyped size cannot ask for gigabytes.
constexpr long MAX_SIDE = 16384;
// The floor measurement clears Hidden at least this long for a steady figure.
constexpr double FLOOR_MIN_SECONDS = 0.25;

struct Options {
    std::string data_dir;  // empty: the environment's Windows directory
    std::string preset;    // empty: default.dat, else the built-in defaults
    int width = 640;
    int height = 480;
    int depth = 32;
    long frames = 1;
    double frame_seconds = 0.02;
    bool seeded = false;
    unsigned seed = 0;
    std::string out;
    std::string write_preset;
    bool benchmark = false;
    int present_width = 0;  // --present: the screen the frames are scaled to (0: none)
    int present_height = 0;
    int threads = 0;  // --threads: threads for big pictures (0: one per core)
};

static const char usage_text[] =
    "usage: calvorine-render [options]\n"
    "  --data-dir DIR        Windows directory holding Calvorine/ (default $XDG_DATA_HOME or ~/.local/share)\n"
    "  --preset FILE         preset to show (default: Calvorine/default.dat, else the built-in one)\n"
    "  --size WxH            picture size (default 640x480)\n"
    "  --depth N             bits per pixel: 8, 15, 16, 24 or 32 (default 32)\n"
    "  --frames N            frames to draw (default 1)\n"
    "  --frame-seconds S     fixed duration of every frame (default 0.02)\n"
    "  --seed N              seed of the random generator (default: the tick count)\n"
    "  --out FILE            write the last frame as a 24-bit BMP file (sides multiples of 8)\n"
    "  --write-preset FILE   write the preset after the last frame\n"
    "  --benchmark           print frame rate figures\n"
    "  --present WxH         also scale every frame to a WxH screen image as the window does,\n"
    "                        keeping its shape (with --benchmark: the whole screen path's figures)\n"
    "  --threads N           threads that draw big pictures in row bands: 1 to 64, or 0 for one\n"
    "                        per core (default 0); the picture is the same whatever the number\n";

static int Usage(const char* problem, const char* argument) {
    if (argument) {
        fprintf(stderr, "calvorine-render: %s: %s\n", problem, argument);
    } else {
        fprintf(stderr, "calvorine-render: %s\n", problem);
    }
    fputs(usage_text, stderr);
    return EXIT_USAGE;
}

// A whole decimal number in [low, high]; nothing else may follow it.
static bool Parse_Long(const char* text, long low, long high, long* value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    long parsed = strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

static bool Parse_Size(const char* text, int* width, int* height) {
    const char* cross = strchr(text, 'x');
    if (!cross) return false;
    std::string width_text(text, cross);
    long w, h;
    if (!Parse_Long(width_text.c_str(), 1, MAX_SIDE, &w) || !Parse_Long(cross + 1, 1, MAX_SIDE, &h)) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

static bool Parse_Seconds(const char* text, double* seconds) {
    if (!text || !*text) return false;
    char* end = nullptr;
    double parsed = strtod(text, &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed <= 0.0 || parsed > 3600.0) return false;
    *seconds = parsed;
    return true;
}

// 0 when the options are good, else the exit code (the usage was printed).
static int Parse_Options(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; i++) {
        std::string option = argv[i];
        bool takes_value = option != "--benchmark";
        if (takes_value && i + 1 >= argc) {
            bool known = option == "--data-dir" || option == "--preset" || option == "--size" || option == "--depth" ||
                         option == "--frames" || option == "--frame-seconds" || option == "--seed" ||
                         option == "--out" || option == "--write-preset" || option == "--present" ||
                         option == "--threads";
            return Usage(known ? "missing value for" : "unknown option", argv[i]);
        }
        const char* value = takes_value ? argv[++i] : nullptr;
        long number = 0;
        if (option == "--benchmark") {
            options->benchmark = true;
        } else if (option == "--data-dir") {
            if (!*value) return Usage("empty folder for", "--data-dir");
            options->data_dir = value;
        } else if (option == "--preset") {
            if (!*value) return Usage("empty file name for", "--preset");
            options->preset = value;
        } else if (option == "--size") {
            if (!Parse_Size(value, &options->width, &options->height)) return Usage("bad size (WxH)", value);
        } else if (option == "--depth") {
            if (!Parse_Long(value, 0, 64, &number) ||
                (number != 8 && number != 15 && number != 16 && number != 24 && number != 32)) {
                return Usage("bad depth (8, 15, 16, 24 or 32)", value);
            }
            options->depth = static_cast<int>(number);
        } else if (option == "--frames") {
            if (!Parse_Long(value, 1, 100000000, &number)) return Usage("bad frame count", value);
            options->frames = number;
        } else if (option == "--frame-seconds") {
            if (!Parse_Seconds(value, &options->frame_seconds)) return Usage("bad frame duration", value);
        } else if (option == "--seed") {
            if (!Parse_Long(value, 0, 4294967295L, &number)) return Usage("bad seed", value);
            options->seeded = true;
            options->seed = static_cast<unsigned>(number);
        } else if (option == "--out") {
            if (!*value) return Usage("empty file name for", "--out");
            options->out = value;
        } else if (option == "--present") {
            if (!Parse_Size(value, &options->present_width, &options->present_height)) {
                return Usage("bad screen size (WxH)", value);
            }
        } else if (option == "--threads") {
            if (!Parse_Long(value, 0, 64, &number)) return Usage("bad thread count (0 to 64)", value);
            options->threads = static_cast<int>(number);
        } else if (option == "--write-preset") {
            if (!*value) return Usage("empty file name for", "--write-preset");
            options->write_preset = value;
        } else {
            return Usage("unknown option", argv[i]);
        }
    }
    // Pictures are written as rows of whole 8-pixel groups; say so before
    // anything runs rather than after the frames.
    if (!options->out.empty() && (options->width % 8 != 0 || options->height % 8 != 0)) {
        std::string size = std::to_string(options->width) + "x" + std::to_string(options->height);
        return Usage("--out needs a width and height that are multiples of 8, not", size.c_str());
    }
    return 0;
}

// The picture stands for the desktop: a window exactly its size at (0, 0).
static Window render_window;

static double Seconds_Now() {
    return static_cast<double>(Platform_Performance_Counter()) / static_cast<double>(Platform_Performance_Frequency());
}

// The saver's start-up as far as the picture needs it: the data folder, the
// error log, the preferred resolution read (and, as outside the running
// saver, overridden by the desktop's), the display and its surfaces.
static bool Start(const Options& options) {
    if (!options.data_dir.empty()) Set_Windows_Directory(options.data_dir);
    std::string folder = Data_Folder();
    if (!Folder_Exists(folder.c_str())) {
        Report_Error("WinMain(): calvorine folder doesn't exist - Please RE-INSTALL");
        return false;
    }

    app.error_log_enabled = true;
    app.show_fps = false;
    app.error_log_path = folder + "/error_log.txt";
    if (!Stamp_Date_And_Title_To_Saver_Error_Log_File("Calvorine Error Log File\r\n")) {
        app.error_log_enabled = false;
        Report_Error("Setup(): Stamp_Date_And_Title_To_Saver_Error_Log_File FAILED");
        return false;
    }

    dd_config.desktop_width = options.width;
    dd_config.desktop_height = options.height;
    dd_config.desktop_bpp = options.depth;
    app.saver_mode = MODE_NONE;  // never saves default.dat
    app.display_mode = DISPLAY_WINDOWED;
    app.system_width = app.screen_width = options.width;
    app.system_height = app.screen_height = options.height;
    app.system_bpp = app.screen_bpp = options.depth;
    snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "System Width %d System Height %d System_Bpp %d", app.system_width,
             app.system_height, app.system_bpp);
    Report_Error(message_buffer);

    int width, height, bpp;
    Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &bpp);

    render_window.screen_x = render_window.screen_y = 0;
    render_window.client_width = options.width;
    render_window.client_height = options.height;
    app.main_window = &render_window;
    app.client_width = options.width;
    app.client_height = options.height;

    app.system_memory_surfaces = true;
    if (!Setup_Windowed_Direct_Draw(app.screen_width, app.screen_height, app.screen_bpp)) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "Setup: \n\nSetup_Windowed_Direct_Draw() Failed\nw %d h %d bpp %d", app.screen_width,
                 app.screen_height, app.screen_bpp);
        Report_Error(message_buffer);
        return false;
    }
    if (!Clear(Hidden)) {
        Report_Error("Setup(): Clear Hidden FAILED");
        return false;
    }
    if (!Set_Transparency(Hidden, 0)) {
        Report_Error("Setup(): Set_Transparency FAILED");
        return false;
    }
    Log_Memory_Statistics();
    crt::srand(options.seeded ? options.seed : Platform_Tick_Count());
    // The slide objects come before any preset, as in the saver: the
    // built-in defaults select the objects loaded by then.
    if (!Setup_Glimmerwheel()) {
        Report_Error("Setup():\n\nCould not Setup_Glimmerwheel");
        return false;
    }
    Start_Frame_Timer();
    fixed_frame_seconds = options.frame_seconds;
    return true;
}

// The preset through the functions the saver uses: Open for a given file,
// the start-up's default preset otherwise.
// Applies the preset as the saver's start-up does (the given file, else the
// default preset, else the built-in defaults), but a preset that cannot be
// applied whole (a missing font for its title, an effect that will not set
// up) fails the run instead of rendering something else.
static bool Show_Preset(const Options& options) {
    Set_Default_Plasma_Settings();
    std::string path = options.preset;
    if (path.empty()) {
        path = Data_Folder() + "/default.dat";
        if (!File_Exists(path.c_str())) return Refresh_Plasma() == 1;
    }
    if (!Load_Plasma_Settings(path.c_str())) {
        Report_Formatted("\tRead_Plasma_Settings_From_File(): Load_Plasma_Settings %s FAILED", path.c_str());
        return false;
    }
    return Refresh_Plasma() == 1;
}

// Clears of Hidden per second: what a frame that draws nothing would cost.
static double Measure_Floor(long frames) {
    double start = Seconds_Now();
    double elapsed = 0.0;
    long clears = 0;
    while (clears < frames || elapsed < FLOOR_MIN_SECONDS) {
        if (!Clear(Hidden)) return 0.0;
        clears++;
        elapsed = Seconds_Now() - start;
    }
    return elapsed > 0.0 ? clears / elapsed : 0.0;
}

// One frame's memset over a working set larger than the caches, per second:
// what a frame that only writes its pixels to memory would cost.
static double Measure_Memory_Floor(long frames, size_t frame_bytes) {
    constexpr size_t LARGER_THAN_CACHES = size_t(256) << 20;
    const size_t slots = std::max<size_t>(2, (LARGER_THAN_CACHES + frame_bytes - 1) / std::max<size_t>(frame_bytes, 1));
    std::vector<uint8_t> memory(slots * frame_bytes, 0);
    double start = Seconds_Now();
    double elapsed = 0.0;
    long fills = 0;
    while (fills < frames || elapsed < FLOOR_MIN_SECONDS) {
        std::memset(memory.data() + (fills % slots) * frame_bytes, static_cast<int>(fills & 0xFF), frame_bytes);
        fills++;
        elapsed = Seconds_Now() - start;
    }
    // Keeps the fills from being optimised away.
    volatile uint8_t sink = memory[memory.size() / 2];
    (void)sink;
    return elapsed > 0.0 ? fills / elapsed : 0.0;
}

// The frame as the saver shows it: the kaleidoscope's own presenter when it
// folds the picture, else the copy of Hidden.
static int Present_Frame() {
    return kaleidoscope_active ? Stretch_Kaleidoscope(Hidden, Visible) : Display_Hidden_Surface();
}

static void Stop() {
    Release_Custom_Scope_Pictures();
    Shutdown_Plasma();
    Shutdown_Direct_Draw();
    Close_Error_Log_File();
}

// The way out after a reported failure: the reports are in the log when it is on.
static int Fail(const char* what) {
    if (app.error_log_enabled) {
        fprintf(stderr, "calvorine-render: %s failed; see %s\n", what, app.error_log_path.c_str());
    } else {
        fprintf(stderr, "calvorine-render: %s failed\n", what);
    }
    Stop();
    return EXIT_FAILED;
}

int main(int argc, char** argv) {
    // Text is rendered through Qt; there is no screen to connect to.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    Options options;
    if (int code = Parse_Options(argc, argv, &options)) return code;
    row_band_threads = options.threads;

    if (!Start(options)) return Fail("set-up");
    if (!Show_Preset(options)) return Fail("loading the preset");

    double floor_fps = options.benchmark ? Measure_Floor(options.frames) : 0.0;
    double memory_floor_fps = 0.0;
    if (options.benchmark) {
        const size_t frame_bytes = static_cast<size_t>(Hidden->pitch) * static_cast<size_t>(Hidden->height);
        memory_floor_fps = Measure_Memory_Floor(options.frames, frame_bytes);
    }
    if (options.benchmark && !Clear(Hidden)) return Fail("clearing Hidden");

    // The screen image the window would show, kept for the whole run as the window keeps its own.
    const bool presenting = options.present_width > 0;
    std::vector<uint32_t> screen;
    Scaled_Area area{};
    if (presenting) {
        screen.assign(static_cast<size_t>(options.present_width) * options.present_height, 0xFF000000u);
        area = Fit_Keeping_Shape(options.width, options.height, options.present_width, options.present_height);
    }
    double scale_seconds = 0.0;

    double start = Seconds_Now();
    for (long frame = 0; frame < options.frames; frame++) {
        if (!Compose_Frame()) return Fail("a frame");
        if (!Present_Frame()) return Fail("presenting a frame");
        if (presenting) {
            const double scale_start = Seconds_Now();
            if (!Scale_Surface_To_Image(Visible, reinterpret_cast<uint8_t*>(screen.data()), options.present_width * 4,
                                        options.present_width, options.present_height, area, frame == 0)) {
                return Fail("scaling a frame to the screen");
            }
            scale_seconds += Seconds_Now() - scale_start;
        }
    }
    double seconds = Seconds_Now() - start;

    if (!options.out.empty() && !Save_Bitmap(Hidden, options.out.c_str())) return Fail("writing the picture");
    if (!options.write_preset.empty() && !Save_Plasma_Settings_To_File(options.write_preset.c_str())) {
        return Fail("writing the preset");
    }
    if (options.benchmark) {
        printf("benchmark: frames=%ld seconds=%.3f fps=%.1f floor_fps=%.1f memory_floor_fps=%.1f size=%dx%d depth=%d\n",
               options.frames, seconds, seconds > 0.0 ? options.frames / seconds : 0.0, floor_fps, memory_floor_fps,
               options.width, options.height, options.depth);
        if (presenting) {
            printf("present: screen=%dx%d area=%dx%d+%d+%d scale_ms=%.3f frame_ms=%.3f fps=%.1f\n",
                   options.present_width, options.present_height, area.width, area.height, area.x, area.y,
                   1000.0 * scale_seconds / options.frames, 1000.0 * seconds / options.frames,
                   seconds > 0.0 ? options.frames / seconds : 0.0);
        }
    }
    Stop();
    return EXIT_OK;
}
