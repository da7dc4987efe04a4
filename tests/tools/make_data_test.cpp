// make-data: the data folder it builds is complete and every file in it is
// taken by the saver's own loaders: presets load and apply their effects,
// objects load and expand, overlays make masks whose openings are exactly
// the white of the picture, and the font has ink in every glyph cell.
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/data_folder.h"
#include "base/random.h"
#include "graphics/bitmap_files.h"
#include "graphics/graphics_fixture.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "preset/preset_files.h"
#include "slides/colour_slides.h"
#include "slides/slide_objects.h"
#include "text/font.h"
#include "text/titles.h"

#ifndef MAKE_DATA_PATH
#error "MAKE_DATA_PATH names the make-data program"
#endif

namespace fs = std::filesystem;

namespace {

constexpr uintmax_t PRESET_SIZE = 10136;

std::vector<uint8_t> Read_Bytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Width and height from a BMP file's info header.
std::pair<int32_t, int32_t> Bitmap_Size(const fs::path& path) {
    const std::vector<uint8_t> bytes = Read_Bytes(path);
    int32_t width = 0, height = 0;
    if (bytes.size() >= 26) {
        std::memcpy(&width, bytes.data() + 18, 4);
        std::memcpy(&height, bytes.data() + 22, 4);
    }
    return {width, height};
}

std::vector<fs::path> Files(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string ext = entry.path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (entry.is_regular_file() && ext == extension) found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

int Run_Make_Data(const std::string& arguments) {
    const std::string command = std::string(MAKE_DATA_PATH) + " " + arguments + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class MakeDataTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        ASSERT_EQ(Run_Make_Data("'" + windows_.path() + "'"), 0);
        Set_Windows_Directory(windows_.path());
        folder_ = fs::path(windows_.path()) / "Calvorine";
        bitmaps_ = folder_ / "Data" / "Bmp";
    }

    void TearDown() override {
        Shutdown_Scope();
        Release_Custom_Scope_Pictures();
        Shutdown_Colour_Slides();
        Shutdown_Kaleidoscope();
        Destroy_Title();
        Release_All_Fonts();
        Release_All_Objects();
        Shutdown_Plasma();
        objects_loaded = 0;
        any_object_animates = any_object_moves = 0;
        Set_Windows_Directory("");
        GraphicsTest::TearDown();
    }

    // The saver's windowed display at a depth, 640 x 480, as calvorine-render has it.
    void Start(int depth) {
        Open_Display(GraphicsFormat{depth, 0x07E0, 0, "x"}, 640, 480);
        app.saver_mode = MODE_NONE;
        window_.client_width = app.client_width = 640;
        window_.client_height = app.client_height = 480;
        crt::srand(11);
    }

    TempFolder windows_;
    fs::path folder_;
    fs::path bitmaps_;
};

}  // namespace

TEST_F(MakeDataTest, EveryFileOfTheFolderIsMade) {
    for (const fs::path& file :
         {bitmaps_ / "Font.bmp", bitmaps_ / "About.bmp", folder_ / "Data" / "Help.HLP", folder_ / "default.dat"}) {
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
    }
    EXPECT_TRUE(fs::is_directory(folder_ / "Data" / "Frame Converter"));
    EXPECT_GE(Files(folder_, ".dat").size(), 12u);
    EXPECT_GE(Files(bitmaps_ / "Overlays", ".bmp").size(), 4u);
    // Objects are numbered without a gap: loading stops at the first one missing.
    const size_t objects = Files(bitmaps_ / "Objects", ".bmp").size();
    EXPECT_GE(objects, 12u);
    for (size_t n = 0; n < objects; ++n) {
        EXPECT_TRUE(fs::exists(bitmaps_ / "Objects" / (std::to_string(n) + ".bmp"))) << n;
    }

    const auto [about_width, about_height] = Bitmap_Size(bitmaps_ / "About.bmp");
    EXPECT_GT(about_width, 0);
    EXPECT_EQ(about_width % 8, 0);
    EXPECT_GT(about_height, 0);

    // The help file tells the keys, the menus and every preset by name.
    std::ifstream help_file(folder_ / "Data" / "Help.HLP");
    const std::string help((std::istreambuf_iterator<char>(help_file)), std::istreambuf_iterator<char>());
    for (const char* topic : {"Escape", "keypad +", "Kaleidoscope", "Overlay", "Data/Bmp/Objects/", "default.dat"}) {
        EXPECT_NE(help.find(topic), std::string::npos) << topic;
    }
    for (const fs::path& preset : Files(folder_, ".dat")) {
        if (preset.filename() == "default.dat") continue;
        EXPECT_NE(help.find(preset.stem().string()), std::string::npos) << preset;
    }

    // Made again over itself, with a stale object beyond the new set: the
    // stale one goes, so the saver does not load it after the new ones.
    std::ofstream(bitmaps_ / "Objects" / (std::to_string(objects) + ".bmp")) << "stale";
    ASSERT_EQ(Run_Make_Data("'" + windows_.path() + "'"), 0);
    EXPECT_EQ(Files(bitmaps_ / "Objects", ".bmp").size(), objects);
}

TEST_F(MakeDataTest, PresetsAreWholeRecordsThatApplyEveryEffectTheyAskFor) {
    Start(32);
    std::set<int> symmetries, backgrounds, blends, shapes;
    bool kaleidoscope_alone = false, random_colours = false, palette_preset = false;
    for (const fs::path& preset : Files(folder_, ".dat")) {
        SCOPED_TRACE(preset.filename().string());
        EXPECT_EQ(fs::file_size(preset), PRESET_SIZE);
        platform_boxes.clear();
        ASSERT_EQ(Read_Plasma_Settings_From_File(preset.string().c_str()), 1);
        EXPECT_TRUE(platform_boxes.empty()) << Last_Report();

        const PlasmaSettings& s = plasma_settings;
        EXPECT_EQ(s.titles_on, 1);
        EXPECT_GT(std::strlen(s.title), 0u);
        EXPECT_STRNE(s.title, "default");
        EXPECT_EQ(kaleidoscope_active, s.kaleidoscope_on);
        EXPECT_EQ(slides_active, s.slides_on);
        EXPECT_EQ(scope_active, s.overlay_on);
        if (s.overlay_on && s.overlay_shape == SCOPE_CUSTOM) {
            // The custom overlay is named where this folder keeps it.
            EXPECT_EQ(fs::path(s.custom_scope_path).parent_path(), bitmaps_ / "Overlays");
        }

        if (!s.kaleidoscope_on) symmetries.insert(s.symmetry);
        if (s.kaleidoscope_on && !s.slides_on) kaleidoscope_alone = true;
        if (s.slides_on) {
            backgrounds.insert(s.background_mode);
            blends.insert(s.blend_mode);
        }
        if (s.overlay_on) shapes.insert(s.overlay_shape);
        if (s.random_colour_interval > 0.0) random_colours = true;
        if (s.resolution >= 15 && s.resolution <= 19) palette_preset = true;
    }
    EXPECT_EQ(symmetries, (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(kaleidoscope_alone);
    EXPECT_EQ(backgrounds, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(blends, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(shapes, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(random_colours);
    EXPECT_TRUE(palette_preset);
}

TEST_F(MakeDataTest, ObjectsLoadAndSingleFramesExpandIntoHueStrips) {
    Start(32);
    const size_t count = Files(bitmaps_ / "Objects", ".bmp").size();
    std::vector<std::pair<int32_t, int32_t>> made;
    for (size_t n = 0; n < count; ++n) made.push_back(Bitmap_Size(bitmaps_ / "Objects" / (std::to_string(n) + ".bmp")));

    ASSERT_EQ(Load_All_Objects(), 1);
    ASSERT_EQ(objects_loaded, static_cast<int>(count));
    int strips = 0;
    for (size_t n = 0; n < count; ++n) {
        SCOPED_TRACE("object " + std::to_string(n));
        const auto [width, height] = made[n];
        const ObjectData& entry = Objects_Data[n];
        EXPECT_EQ(height % width, 0);
        EXPECT_EQ(entry.frame_size, width);
        if (width == height) {
            // Written back by the saver's own writer: sides are multiples of 8.
            EXPECT_EQ(width % 8, 0);
            EXPECT_EQ(entry.frame_count, OBJECT_HUE_FRAMES);
            EXPECT_EQ(Bitmap_Size(bitmaps_ / "Objects" / (std::to_string(n) + ".bmp")),
                      std::make_pair(width, width * OBJECT_HUE_FRAMES));
        } else {
            // Strips loop: never the hue strips' count, which swings instead.
            EXPECT_NE(entry.frame_count, OBJECT_HUE_FRAMES);
            EXPECT_EQ(entry.frame_count, height / width);
            ++strips;
        }
        // Every frame shows something and keeps its corners clear.
        for (int frame = 0; frame < entry.frame_count; ++frame) {
            int ink = 0;
            for (int y = 0; y < width; ++y)
                for (int x = 0; x < width; ++x) ink += Get(entry.images, x, frame * width + y) != 0;
            EXPECT_GT(ink, width * width / 12) << "frame " << frame;
            EXPECT_EQ(Get(entry.images, 0, frame * width), 0u) << "frame " << frame;
        }
    }
    EXPECT_GE(strips, 3);

    // The expanded files load as they are the next time.
    Release_All_Objects();
    ASSERT_EQ(Load_All_Objects(), 1);
    EXPECT_EQ(objects_loaded, static_cast<int>(count));

    // A folder made already expanded holds exactly what the first load wrote.
    TempFolder expanded;
    ASSERT_EQ(Run_Make_Data("--expanded '" + expanded.path() + "'"), 0);
    for (size_t n = 0; n < count; ++n) {
        const std::string name = std::to_string(n) + ".bmp";
        EXPECT_EQ(Read_Bytes(fs::path(expanded.path()) / "Calvorine/Data/Bmp/Objects" / name),
                  Read_Bytes(bitmaps_ / "Objects" / name))
            << name;
    }
}

TEST_F(MakeDataTest, OverlayOpeningsAreExactlyTheirWhiteAtEveryDepth) {
    for (int depth : {32, 16, 15}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        Start(depth);
        for (const fs::path& overlay : Files(bitmaps_ / "Overlays", ".bmp")) {
            SCOPED_TRACE(overlay.filename().string());
            int width = 0, height = 0;
            Surface* picture = Load_SYSTEM_Bitmap(overlay.string().c_str(), &width, &height);
            ASSERT_NE(picture, nullptr);
            const uint32_t white = Colour_To_Pixel(picture, 0xFFFFFF);
            int open = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) open += Get(picture, x, y) == white;
            Release(picture);

            // The picture counted in the file's own colours: pure white only.
            int exact_white = 0;
            const std::vector<uint8_t> bytes = Read_Bytes(overlay);
            const int row = (3 * width + 3) & ~3;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const uint8_t* p = bytes.data() + 54 + y * row + 3 * x;
                    exact_white += p[0] == 255 && p[1] == 255 && p[2] == 255;
                }
            EXPECT_EQ(open, exact_white);
            EXPECT_GT(open, width * height / 20);
            EXPECT_LT(open, width * height * 3 / 4);

            std::snprintf(plasma_settings.custom_scope_path, sizeof plasma_settings.custom_scope_path, "%s",
                          overlay.string().c_str());
            plasma_settings.kaleidoscope_on = 0;
            EXPECT_EQ(Setup_Scope(640, 480, SCOPE_CUSTOM), 1);
            EXPECT_EQ(scope_active, 1);
            Shutdown_Scope();
        }
        // The display's shut-down lets the kept overlay pictures go.
        Release_Custom_Scope_Pictures();
        Restart();
    }
}

TEST_F(MakeDataTest, TheFontHasInkInEveryGlyphOfItsTable) {
    Start(32);
    ASSERT_EQ(Load_Font(PROGRAM_FONT), 1);
    const FontRecord& font = font_table[PROGRAM_FONT];
    for (int i = 0; i < GLYPH_COUNT; ++i) {
        const GlyphMetrics& g = glyph_table_c[i];
        int ink = 0;
        for (int y = g.y; y < g.y + font.glyph_height; ++y)
            for (int x = g.x; x < g.x + g.width; ++x) ink += Get(font.font_surface, x, y) != 0;
        EXPECT_GE(ink, 8) << "glyph " << i;
    }
}

TEST_F(MakeDataTest, AFolderMadeForAnotherWindowsDirectoryNamesItsOverlaysThere) {
    TempFolder out;
    ASSERT_EQ(Run_Make_Data("'" + out.path() + "' /usr/share/saver-home"), 0);
    int custom = 0;
    for (const fs::path& preset : Files(fs::path(out.path()) / "Calvorine", ".dat")) {
        ASSERT_EQ(Load_Plasma_Settings(preset.string().c_str()), 1);
        if (plasma_settings.overlay_shape != SCOPE_CUSTOM) continue;
        const fs::path overlay = plasma_settings.custom_scope_path;
        EXPECT_EQ(overlay.parent_path(), fs::path("/usr/share/saver-home/Calvorine/Data/Bmp/Overlays"));
        // The named picture is one the folder carries.
        EXPECT_TRUE(fs::is_regular_file(fs::path(out.path()) / "Calvorine/Data/Bmp/Overlays" / overlay.filename()));
        ++custom;
    }
    EXPECT_GE(custom, 1);
}

TEST(MakeData, AskedWronglyOrUnableToWriteItSaysSoAndFails) {
    EXPECT_EQ(Run_Make_Data(""), 2);
    EXPECT_EQ(Run_Make_Data("a b c"), 2);
    TempFolder root;
    std::ofstream(root.file("file")) << "a file where the folder should be";
    EXPECT_EQ(Run_Make_Data("'" + root.file("file") + "'"), 1);
}
