// fuzz_loaders: feeds damaged copies of the bundled presets and bitmaps to
// the program's own loaders and lets the result run, so that the sanitizer
// build sees every read and conversion a hostile file can cause.
//
//   fuzz_loaders DATA_FOLDER COUNT SEED
//
// DATA_FOLDER is a complete Calvorine folder (the demo data): its *.dat and
// *.bmp files are the corpus, and a copy of it is the data folder the
// program runs on. COUNT inputs are made from SEED, so a run is repeatable;
// the input that failed is named before it is tried. A damaged file may be
// refused (that is the point), but nothing may crash, leak a surface or
// leave a string running past its field.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/bitmap_files.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "platform/window.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "shell/frame_driver.h"
#include "slides/slide_objects.h"
#include "test_support.h"
#include "text/font.h"

namespace fs = std::filesystem;

namespace {

// Picture the effects draw into: small, so that many inputs run quickly.
constexpr int SCREEN_WIDTH = 160;
constexpr int SCREEN_HEIGHT = 120;
// Frames drawn with every preset that was applied.
constexpr int FRAMES_PER_PRESET = 3;

using Bytes = std::vector<uint8_t>;

Bytes Read_File(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

bool Write_File(const fs::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool Has_Extension(const fs::path& path, const char* extension) {
    std::string found = path.extension().string();
    for (char& c : found) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return found == extension;
}

// Values that sit on the edges of what the fields hold.
const uint64_t interesting_words[] = {
    0,
    1,
    0x7F,
    0x80,
    0xFF,
    0x7FFF,
    0xFFFF,
    0x7FFFFFFF,
    0x80000000,
    0xFFFFFFFF,
    0x7FF0000000000000ull,  // +infinity
    0xFFF0000000000000ull,  // -infinity
    0x7FF8000000000000ull,  // not a number
    0x7E37E43C8800759Cull,  // 1e300
    0x3FF0000000000000ull,  // 1.0
    0x7F800000,             // float +infinity
    0x7FC00000,             // float not a number
};

// One damage of a few kinds, as many times as the generator says.
void Mutate(Bytes* bytes, std::mt19937* generator) {
    std::mt19937& rng = *generator;
    const int changes = 1 + static_cast<int>(rng() % 8);
    for (int change = 0; change < changes; ++change) {
        if (bytes->empty()) bytes->push_back(0);
        const size_t at = rng() % bytes->size();
        switch (rng() % 7) {
        case 0:  // flip a bit
            (*bytes)[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
        case 1:  // a random byte
            (*bytes)[at] = static_cast<uint8_t>(rng());
            break;
        case 2:  // an edge value, little-endian, on a 4- or 8-byte boundary
        case 3: {
            const uint64_t value = interesting_words[rng() % std::size(interesting_words)];
            const size_t width = rng() % 2 ? 4 : 8;
            const size_t start = (at / width) * width;
            for (size_t k = 0; k < width && start + k < bytes->size(); ++k)
                (*bytes)[start + k] = static_cast<uint8_t>(value >> (8 * k));
            break;
        }
        case 4:  // a run of non-zero bytes (strings without an end)
            for (size_t k = at; k < bytes->size() && k < at + 1 + rng() % 4096; ++k) (*bytes)[k] = 'A' + k % 26;
            break;
        case 5:  // cut the file short
            if (rng() % 4 == 0) bytes->resize(at);
            break;
        default:  // grow it with noise
            for (int k = static_cast<int>(rng() % 64); k > 0; --k) bytes->push_back(static_cast<uint8_t>(rng()));
            break;
        }
    }
}

// The picture stands for the desktop: a window exactly its size at (0, 0).
Window fuzz_window;

// The program started as the render tool starts it, on a memory display.
bool Start_Program(const std::string& windows) {
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
    dd_config.desktop_bpp = app.system_bpp = app.screen_bpp = 32;
    app.client_width = SCREEN_WIDTH;
    app.client_height = SCREEN_HEIGHT;
    app.system_memory_surfaces = true;
    if (!Setup_Windowed_Direct_Draw(SCREEN_WIDTH, SCREEN_HEIGHT, 32)) return false;
    crt::srand(1);
    fixed_frame_seconds = 0.02;
    Start_Frame_Timer();
    return true;
}

void Stop_Program() {
    Release_Test_Effects();
    Shutdown_Direct_Draw();
}

int failures = 0;

void Expect(bool condition, const char* what, int input) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_loaders: input %d: %s\n", input, what);
    ++failures;
}

// A damaged preset: loaded, applied whole and drawn.
void Try_Preset(const fs::path& file, int input) {
    if (!Load_Plasma_Settings(file.c_str())) return;
    Refresh_Plasma();
    Expect(std::memchr(plasma_settings.title, 0, sizeof plasma_settings.title) != nullptr, "title not ended", input);
    Expect(std::memchr(plasma_settings.custom_scope_path, 0, sizeof plasma_settings.custom_scope_path) != nullptr,
           "overlay path not ended", input);
    for (int frame = 0; frame < FRAMES_PER_PRESET; ++frame) {
        if (!Compose_Frame()) break;
    }
}

// A damaged bitmap: read as a picture, as slide object 0 and as the overlay.
void Try_Bitmap(const fs::path& file, const std::string& objects_folder, int input) {
    int width = 0, height = 0;
    if (Surface* picture = Load_SYSTEM_Bitmap(file.c_str(), &width, &height)) {
        Expect(width >= 1 && height >= 1, "a picture without pixels", input);
        Release(picture);
    }

    fs::copy_file(file, objects_folder + "/0.bmp", fs::copy_options::overwrite_existing);
    Release_All_Objects();
    Load_All_Objects();
    Release_All_Objects();

    Set_Default_Plasma_Settings();
    std::snprintf(plasma_settings.custom_scope_path, sizeof plasma_settings.custom_scope_path, "%s", file.c_str());
    if (Setup_Scope(SCREEN_WIDTH, SCREEN_HEIGHT, SCOPE_CUSTOM)) Draw_Scope(Hidden, 0, 0);
    Shutdown_Scope();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: fuzz_loaders DATA_FOLDER COUNT SEED\n");
        return 2;
    }
    const fs::path corpus_folder = argv[1];
    const int count = std::atoi(argv[2]);
    const unsigned seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));

    std::vector<fs::path> presets, bitmaps;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(corpus_folder, error)) {
        if (!entry.is_regular_file()) continue;
        if (Has_Extension(entry.path(), ".dat")) presets.push_back(entry.path());
        if (Has_Extension(entry.path(), ".bmp")) bitmaps.push_back(entry.path());
    }
    if (presets.empty() || bitmaps.empty()) {
        std::fprintf(stderr, "fuzz_loaders: no presets or bitmaps in %s\n", corpus_folder.c_str());
        return 1;
    }
    // Sorted, so the same seed picks the same files on every machine.
    std::sort(presets.begin(), presets.end());
    std::sort(bitmaps.begin(), bitmaps.end());

    // The program runs on a copy: loading objects rewrites them in place.
    TempFolder windows;
    const std::string data = windows.path() + "/Calvorine";
    fs::copy(corpus_folder, data, fs::copy_options::recursive, error);
    if (error) {
        std::fprintf(stderr, "fuzz_loaders: cannot copy %s: %s\n", corpus_folder.c_str(), error.message().c_str());
        return 1;
    }
    const std::string objects_folder = data + "/Data/Bmp/Objects";
    // Object 0 is the damaged bitmap in turn; the bundled objects stay whole
    // for the presets, in a folder of their own.
    const fs::path input_file = windows.file("input");

    std::mt19937 generator(seed);
    if (!Start_Program(windows.path())) {
        std::fprintf(stderr, "fuzz_loaders: no display\n");
        return 1;
    }
    const Bytes object_0 = Read_File(objects_folder + "/0.bmp");
    const int baseline_surfaces = DD_Live_Surface_Count();
    for (int input = 0; input < count; ++input) {
        const bool preset = generator() % 2 == 0;
        const std::vector<fs::path>& pool = preset ? presets : bitmaps;
        const fs::path& source = pool[generator() % pool.size()];
        Bytes bytes = Read_File(source);
        Mutate(&bytes, &generator);
        const fs::path file = input_file.string() + (preset ? ".dat" : ".bmp");
        if (!Write_File(file, bytes)) {
            std::fprintf(stderr, "fuzz_loaders: cannot write %s\n", file.c_str());
            return 1;
        }
        std::fprintf(stderr, "fuzz_loaders: input %d from %s\n", input, source.filename().c_str());
        if (preset) {
            Try_Preset(file, input);
        } else {
            Try_Bitmap(file, objects_folder, input);
            Write_File(objects_folder + "/0.bmp", object_0);
        }
        Release_Test_Effects();
        Expect(DD_Live_Surface_Count() == baseline_surfaces, "surfaces left behind", input);
        Platform_Reset_Records();
    }
    Stop_Program();
    std::printf("fuzz_loaders: %d inputs from seed %u, %d failures\n", count, seed, failures);
    return failures == 0 ? 0 : 1;
}
