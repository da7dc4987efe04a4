// Presets from anywhere: whatever 10136 bytes a preset file holds, the
// loader brings every field into its range, the preset draws at every depth,
// and what is saved afterwards loads back to the very same record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <functional>
#include <iterator>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/display.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/window.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "preset/random_preset_timer.h"
#include "shell/frame_driver.h"
#include "slides/slide_objects.h"
#include "test_support.h"
#include "text/titles.h"

namespace {

constexpr size_t RECORD = sizeof(PlasmaSettings);
constexpr int WIDTH = 160;
constexpr int HEIGHT = 120;
// Frames drawn before the closing transition starts, and at most while it runs.
constexpr int FRAMES = 3;
constexpr int TRANSITION_FRAMES = 40;

using Bytes = std::vector<uint8_t>;

void Write_File(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The kinds of record a foreign file may hold.
enum class Fill { Bytes_00, Bytes_FF, Random, Random_Reals, Defaults_Damaged };

struct Foreign_Preset {
    const char* name;
    Fill fill;
    unsigned seed;
};

// Random bytes, but every real of the record a chosen edge value: not a
// number, an infinity, the largest or a tiny denormal, or a negative.
void Put_Edge_Reals(PlasmaSettings* s, std::mt19937* rng) {
    const double doubles[] = {NAN, INFINITY, -INFINITY, 1e308, -1e308, 4.9e-324, -1.0, 0.0};
    const float floats[] = {NAN, INFINITY, -INFINITY, 3.4e38f, -3.4e38f, 1e-45f, -1.0f, 0.0f};
    auto d = [&] { return doubles[(*rng)() % std::size(doubles)]; };
    auto f = [&] { return floats[(*rng)() % std::size(floats)]; };
    s->speed = d();
    s->slide_speed = d();
    s->random_colour_interval = d();
    s->sine_density = d();
    s->ripple_frequency = f();
    s->interference = f();
    s->sway = f();
    for (int i = 0; i < MAX_SLIDE_OBJECTS; ++i) {
        s->object_animation_speed[i] = d();
        s->object_speed[i] = d();
    }
}

Bytes Make_Record(const Foreign_Preset& preset) {
    Bytes bytes(RECORD);
    std::mt19937 rng(preset.seed);
    switch (preset.fill) {
    case Fill::Bytes_00: break;
    case Fill::Bytes_FF: std::memset(bytes.data(), 0xFF, RECORD); break;
    case Fill::Random:
        for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(rng());
        break;
    case Fill::Random_Reals: {
        PlasmaSettings s;
        for (size_t i = 0; i < RECORD; ++i) reinterpret_cast<uint8_t*>(&s)[i] = static_cast<uint8_t>(rng());
        Put_Edge_Reals(&s, &rng);
        std::memcpy(bytes.data(), &s, RECORD);
        break;
    }
    case Fill::Defaults_Damaged: {
        // A good preset with a few whole fields set to the edges of an int.
        Set_Default_Plasma_Settings();
        std::memcpy(bytes.data(), &plasma_settings, RECORD);
        const uint32_t edges[] = {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x00010000u};
        for (int k = 0; k < 40; ++k) {
            const size_t at = (rng() % (RECORD / 4)) * 4;
            const uint32_t value = edges[rng() % std::size(edges)];
            std::memcpy(bytes.data() + at, &value, 4);
        }
        break;
    }
    }
    return bytes;
}

const Foreign_Preset foreign_presets[] = {
    {"all_00", Fill::Bytes_00, 0},
    {"all_FF", Fill::Bytes_FF, 0},
    {"random_1", Fill::Random, 1},
    {"random_2", Fill::Random, 2},
    {"random_3", Fill::Random, 3},
    {"random_4", Fill::Random, 4},
    {"random_5", Fill::Random, 5},
    {"random_6", Fill::Random, 6},
    {"edge_reals_1", Fill::Random_Reals, 11},
    {"edge_reals_2", Fill::Random_Reals, 12},
    {"edge_reals_3", Fill::Random_Reals, 13},
    {"damaged_defaults_1", Fill::Defaults_Damaged, 21},
    {"damaged_defaults_2", Fill::Defaults_Damaged, 22},
    {"damaged_defaults_3", Fill::Defaults_Damaged, 23},
};

// The program as the render tool starts it, on a memory display of the
// given depth, with a data folder of its own.
class MemoryDisplayTest : public ::testing::Test {
protected:
    void Start(int depth) {
        Reset_Program_State();
        data = Make_Test_Data_Folder(windows.path());
        Use_Windows_Directory(windows.path());
        window.client_width = WIDTH;
        window.client_height = HEIGHT;
        app.main_window = &window;
        app.error_log_enabled = false;
        app.saver_mode = MODE_NONE;
        app.display_mode = DISPLAY_WINDOWED;
        dd_config.desktop_width = app.system_width = app.screen_width = WIDTH;
        dd_config.desktop_height = app.system_height = app.screen_height = HEIGHT;
        dd_config.desktop_bpp = app.system_bpp = app.screen_bpp = depth;
        app.client_width = WIDTH;
        app.client_height = HEIGHT;
        app.system_memory_surfaces = true;
        ASSERT_EQ(Setup_Windowed_Direct_Draw(WIDTH, HEIGHT, depth), 1);
        ASSERT_EQ(Load_All_Objects(), 1);
        crt::srand(1);
        fixed_frame_seconds = 0.02;
        Start_Frame_Timer();
    }

    void TearDown() override {
        Release_Test_Effects();
        Release_All_Objects();
        Shutdown_Direct_Draw();
        Use_Windows_Directory("");
        Reset_Program_State();
    }

    TempFolder windows;
    std::string data;
    Window window;
};

class ForeignPresetTest : public MemoryDisplayTest,
                          public ::testing::WithParamInterface<std::tuple<Foreign_Preset, int>> {
protected:
    void SetUp() override { Start(std::get<1>(GetParam())); }
};

TEST_P(ForeignPresetTest, LoadsClampedDrawsAndSavesTheSameRecord) {
    const Foreign_Preset& preset = std::get<0>(GetParam());
    // The only preset of the data folder, so the random preset at the end of
    // the transition is this one again.
    const std::string file = data + "/Foreign.DAT";
    Write_File(file, Make_Record(preset));

    ASSERT_EQ(Load_Plasma_Settings(file.c_str()), 1);
    // The loader's record is already in range: bounding it again changes nothing.
    PlasmaSettings loaded = plasma_settings;
    Bound_Plasma_Settings();
    EXPECT_EQ(std::memcmp(&loaded, &plasma_settings, RECORD), 0) << "the loader left a field out of range";
    EXPECT_NE(std::memchr(plasma_settings.title, 0, PRESET_TITLE_SIZE), nullptr);
    EXPECT_NE(std::memchr(plasma_settings.custom_scope_path, 0, CUSTOM_SCOPE_PATH_SIZE), nullptr);

    // Applied (an overlay bitmap the path does not name is reported and left
    // off) and drawn, then through a whole closing transition, the random
    // preset it leads to and the opening one, as the random-preset timer runs it.
    Refresh_Plasma();
    for (int frame = 0; frame < FRAMES; ++frame) ASSERT_EQ(Compose_Frame(), 1) << "frame " << frame;
    transition_step = plasma_settings.transition_speed;
    ASSERT_EQ(Set_Transition_Mode(CLOSE_TRANSITION), 1);
    for (int frame = 0; frame < TRANSITION_FRAMES; ++frame) {
        ASSERT_EQ(Compose_Frame(), 1) << "transition frame " << frame;
    }

    const std::string saved = windows.file("saved.dat");
    ASSERT_EQ(Save_Plasma_Settings_To_File(saved.c_str()), 1);
    const PlasmaSettings shown = plasma_settings;
    ASSERT_EQ(Load_Plasma_Settings(saved.c_str()), 1);
    EXPECT_EQ(std::memcmp(&shown, &plasma_settings, RECORD), 0) << "the saved preset loads to another record";
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, ForeignPresetTest,
                         ::testing::Combine(::testing::ValuesIn(foreign_presets), ::testing::Values(8, 16, 32)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace

namespace {

Bytes Read_Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

Bytes Record_Bytes(const PlasmaSettings& record) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
    return Bytes(bytes, bytes + RECORD);
}

// The built-in defaults, with one field changed so that they tell apart.
Bytes Defaults_With_Speed(double speed) {
    Set_Default_Plasma_Settings();
    plasma_settings.speed = speed;
    return Record_Bytes(plasma_settings);
}

class DefaultPresetTest : public MemoryDisplayTest {
protected:
    void SetUp() override { Start(32); }

    std::string Default_Path() const { return data + "/default.dat"; }

    std::vector<std::string> Reports() const {
        std::vector<std::string> texts;
        for (const Recorded_Box& box : platform_boxes) texts.push_back(box.text);
        return texts;
    }
};

struct Bad_Default {
    const char* name;
    std::function<Bytes()> bytes;
    const char* report;  // the last report, after the path
};

TEST_F(DefaultPresetTest, ABadDefaultPresetIsReportedKeptAsideAndTheBuiltInOneShown) {
    const Bad_Default bad_defaults[] = {
        {"too short", [] { return Bytes(100, 0x5A); }, "Load_Default_Plasma():\n\nUnable to read file "},
        {"cannot be applied",
         [] {
             // A custom overlay whose bitmap is nowhere.
             Set_Default_Plasma_Settings();
             plasma_settings.overlay_on = 1;
             plasma_settings.overlay_shape = 4;
             std::strcpy(plasma_settings.custom_scope_path, "/nowhere/Overlay.bmp");
             return Record_Bytes(plasma_settings);
         },
         "Load_Default_Plasma():\n\nUnable to read file "},
    };
    for (const Bad_Default& bad : bad_defaults) {
        SCOPED_TRACE(bad.name);
        Platform_Reset_Records();
        const Bytes written = bad.bytes();
        Write_File(Default_Path(), written);
        // An older bad preset gives way to the newer one.
        Write_File(Default_Path() + ".bad", Bytes(RECORD, 0x11));

        // The start-up's order: the preferred resolution, then the preset.
        int width = 0, height = 0, depth = 0;
        Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &depth);
        Display_Default_Plasma();

        ASSERT_FALSE(Reports().empty());
        const std::string expected = std::string(bad.report) + Default_Path();
        EXPECT_TRUE(std::find_if(Reports().begin(), Reports().end(), [&](const std::string& text) {
                        return text.rfind(expected, 0) == 0;
                    }) != Reports().end())
            << "no report " << expected;
        EXPECT_FALSE(Exists(Default_Path()));
        EXPECT_EQ(Read_Bytes(Default_Path() + ".bad"), written);
        // The built-in defaults, shown.
        EXPECT_EQ(plasma_settings.speed, 35.0);
        EXPECT_EQ(plasma_settings.overlay_on, 0);
        EXPECT_EQ(Compose_Frame(), 1);
        Release_Test_Effects();
    }
}

TEST_F(DefaultPresetTest, AGoodDefaultPresetStaysWhereItIs) {
    const Bytes good = Defaults_With_Speed(77.0);
    Write_File(Default_Path(), good);
    int width = 0, height = 0, depth = 0;
    EXPECT_EQ(Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &depth), 1);
    Display_Default_Plasma();
    EXPECT_EQ(plasma_settings.speed, 77.0);
    EXPECT_EQ(Read_Bytes(Default_Path()), good);
    EXPECT_FALSE(Exists(Default_Path() + ".bad"));
    EXPECT_TRUE(Reports().empty());
}

struct Kept_Default {
    const char* name;
    bool shown;         // a frame is shown with speed 41
    bool frame_fails;   // then a frame fails
    double kept_speed;  // default.dat's speed afterwards (0: the old file stays)
};

TEST_F(DefaultPresetTest, TheConfigurationRunKeepsTheLastPresetThatWasShown) {
    const Kept_Default cases[] = {
        {"nothing shown yet: the current preset", false, false, 42.0},
        {"shown, then changed unseen: the one shown", true, false, 41.0},
        {"shown, then a frame fails: the one shown", true, true, 41.0},
        {"a frame fails before any is shown: the old file", false, true, 0.0},
    };
    const Bytes old_file = Defaults_With_Speed(99.0);
    for (const Kept_Default& kept : cases) {
        SCOPED_TRACE(kept.name);
        // Each case a run of its own.
        plasma_settings_shown = false;
        shown_frame_failed = false;
        app.saver_mode = CONFIGURE;
        Write_File(Default_Path(), old_file);

        Set_Default_Plasma_Settings();
        plasma_settings.speed = 41.0;
        ASSERT_EQ(Refresh_Plasma(), 1);
        if (kept.shown) {
            ASSERT_EQ(Run_Calvorine(), 1);
        }
        // A preset that was never drawn, as a damaged Open would leave it.
        plasma_settings.speed = 42.0;
        if (kept.frame_fails) Note_Frame_Failed();

        ASSERT_EQ(Save_Default_Plasma(), 1);
        const Bytes saved = Read_Bytes(Default_Path());
        ASSERT_EQ(saved.size(), RECORD);
        PlasmaSettings record;
        std::memcpy(&record, saved.data(), RECORD);
        EXPECT_EQ(record.speed, kept.kept_speed != 0.0 ? kept.kept_speed : 99.0);
        Release_Test_Effects();
    }
}

}  // namespace
