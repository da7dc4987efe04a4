#include "test_support.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "platform/window.h"
#include "preset/preset_files.h"
#include "shell/lifecycle.h"
#include "slides/slide_objects.h"
#include "text/font.h"
#include "text/titles.h"

// Height of every glyph of font 9, the one picture the data folder holds.
static constexpr int FONT_9_GLYPH_HEIGHT = 34;

void Reset_Program_State() {
    Reset_App_State();
    DD_Reset_Emulation();
    Platform_Reset_Records();
    Reset_Trace_Flags();
    // No preset has been shown in a fresh run.
    plasma_settings_shown = false;
    shown_frame_failed = false;
}

TempFolder::TempFolder() {
    char pattern[] = "/tmp/calvorine-test-XXXXXX";
    char* made = mkdtemp(pattern);
    path_ = made ? made : "/tmp";
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (path_ != "/tmp") std::filesystem::remove_all(path_, ignored);
}

bool Write_Claimed_Bitmap(const std::string& path, int32_t width, int32_t height) {
    constexpr uint32_t PALETTE = 256 * 4, OFFSET = 54 + PALETTE;
    std::vector<uint8_t> bytes(OFFSET + 2, 0);
    auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, OFFSET, 4);
    put(14, 40, 4);  // info header size
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);          // planes
    put(28, 8, 2);          // bits per pixel
    put(30, 1, 4);          // RLE8
    bytes[OFFSET + 1] = 1;  // 0, 1: end of bitmap
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool Write_Test_Bitmap(const std::string& path, int width, int height,
                       const std::function<uint32_t(int, int)>& colour) {
    const size_t row_size = (3 * static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
    std::vector<uint8_t> bytes(54 + row_size * static_cast<size_t>(height), 0);
    auto put = [&bytes](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    // Rows are stored bottom up, each pixel as blue, green, red.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            put(54 + static_cast<size_t>(height - 1 - y) * row_size + 3 * static_cast<size_t>(x), colour(x, y), 3);
        }
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Font 9's picture: each glyph cell of its table solid ink, black around them.
static bool Write_Test_Font(const std::string& path) {
    const int width = 320, height = 7 * FONT_9_GLYPH_HEIGHT;
    std::vector<uint8_t> inked(static_cast<size_t>(width) * height, 0);
    for (const GlyphMetrics& glyph : glyph_table_c) {
        for (int y = glyph.y; y < glyph.y + FONT_9_GLYPH_HEIGHT && y < height; ++y) {
            for (int x = glyph.x; x < glyph.x + glyph.width && x < width; ++x) {
                inked[static_cast<size_t>(y) * width + x] = 1;
            }
        }
    }
    return Write_Test_Bitmap(path, width, height, [&](int x, int y) {
        return inked[static_cast<size_t>(y) * width + x] ? TEST_FONT_INK : 0u;
    });
}

std::string Make_Test_Data_Folder(const std::string& windows_directory) {
    namespace fs = std::filesystem;
    const std::string data = windows_directory + "/Calvorine";
    const std::string bitmaps = data + "/Data/Bmp";
    std::error_code error;
    fs::create_directories(bitmaps + "/Objects", error);
    fs::create_directories(bitmaps + "/Overlays", error);
    if (error) ADD_FAILURE() << "cannot lay out " << bitmaps << ": " << error.message();

    const int side = TEST_OBJECT_SIDE;
    // A red disc and a green cross, keyed on black like every object.
    const auto disc = [side](int x, int y) -> uint32_t {
        const int dx = 2 * x + 1 - side, dy = 2 * y + 1 - side;
        return dx * dx + dy * dy <= side * side ? 0x00E02010u : 0u;
    };
    const auto cross = [side](int x, int y) -> uint32_t { return x == side / 2 || y == side / 2 ? 0x0020E040u : 0u; };
    const bool written =
        Write_Test_Font(bitmaps + "/Font.bmp") &&
        Write_Test_Bitmap(bitmaps + "/About.bmp", 16, 16, [](int, int) { return TEST_ABOUT_COLOUR; }) &&
        Write_Test_Bitmap(bitmaps + "/Objects/0.bmp", side, side, disc) &&
        Write_Test_Bitmap(bitmaps + "/Objects/1.bmp", side, side, cross);
    if (!written) ADD_FAILURE() << "cannot write the pictures of " << bitmaps;
    return data;
}

void Use_Windows_Directory(const std::string& windows_directory) {
    Set_Windows_Directory(windows_directory);
    app.windows_prefix = windows_directory.empty() ? std::string() : windows_directory + "/";
}

void Release_Test_Effects() {
    Release_All_Effects();
    objects_loaded = 0;
    objects_ram_mb = 0.0f;
    any_object_animates = any_object_moves = 0;
    transition_mode = NO_TRANSITION;
    transition_width = transition_height = 0.0;
    preset_switched = false;
}

std::string Read_Text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void Write_Text(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

static File_Operation failing_operation = FILE_COPY;
static std::string failing_path_part;

static bool Fail_Where_Asked(File_Operation operation, const char* path) {
    return !failing_path_part.empty() && operation == failing_operation &&
           std::string(path).find(failing_path_part) != std::string::npos;
}

void Fail_File_Operation(File_Operation operation, const std::string& path_part) {
    failing_operation = operation;
    failing_path_part = path_part;
    platform_file_fault_hook = Fail_Where_Asked;
}

void Write_Test_Package(const std::string& package, const std::vector<std::string>& presets) {
    for (const std::string& preset : presets) {
        std::string stem = preset.substr(0, preset.find('.'));
        for (char& c : stem) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        Write_Text(package + "/Calvorine/" + preset, stem + " preset");
    }
    Write_Text(package + "/Calvorine/Data/Help.HLP", "help");
    Write_Text(package + "/Calvorine/Data/Bmp/About.bmp", "about");
    Write_Text(package + "/Calvorine/Data/Bmp/Font.bmp", "font");
    Write_Text(package + "/Calvorine/Data/Bmp/Objects/0.bmp", "object 0");
    Write_Text(package + "/Calvorine/Data/Bmp/Overlays/Heart.bmp", "heart");
    Write_Text(package + "/Include/Error.wav", "sound");
}
