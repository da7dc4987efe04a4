#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

struct Result {
    int exit_code = -1;
    std::string out;
    std::string err;
};

std::vector<uint8_t> Read_Bytes(const std::string& path) {
    std::string text = Read_Text(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

uint32_t Little_32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

class RenderTest : public ::testing::Test {
protected:
    // A complete data folder: the font the title and frame rate are drawn
    // in, the About picture and slide objects.
    void SetUp() override { Make_Test_Data_Folder(root.path()); }

    // Runs the tool with the given arguments (each quoted for the shell).
    Result Run(const std::vector<std::string>& arguments) {
        std::string command = std::string("'") + CALVORINE_RENDER + "'";
        for (const std::string& argument : arguments) command += " '" + argument + "'";
        std::string out = root.file("stdout"), err = root.file("stderr");
        command += " >'" + out + "' 2>'" + err + "' </dev/null";
        int status = std::system(command.c_str());
        Result result;
        if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
        result.out = Read_Text(out);
        result.err = Read_Text(err);
        return result;
    }

    // A render in the test's own data folder.
    Result Render(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--data-dir", root.path()});
        return Run(arguments);
    }

    TempFolder root;
};

}  // namespace

TEST_F(RenderTest, BadCommandLinesGetTheUsageAndExitCodeTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--size"},
        {"--size", "640"},
        {"--size", "0x480"},
        {"--size", "64x-4"},
        {"--size", "64x48x"},
        {"--depth", "12"},
        {"--depth", "32bit"},
        {"--frames", "0"},
        {"--frames", "ten"},
        {"--frame-seconds", "0"},
        {"--frame-seconds", "nan"},
        {"--seed", "-1"},
        {"--seed", "4294967296"},
        {"--out", ""},
        {"--threads", "65"},
        {"--threads", "-1"},
        {"positional"},
        {"--size", "13x8", "--out", "x.bmp"},
    };
    for (const std::vector<std::string>& arguments : bad) {
        Result result = Render(arguments);
        EXPECT_EQ(result.exit_code, 2) << arguments[0];
        EXPECT_NE(result.err.find("usage: calvorine-render"), std::string::npos) << arguments[0];
        EXPECT_TRUE(result.out.empty());
    }
    // Nothing was started: no log was made.
    EXPECT_FALSE(std::ifstream(root.file("Calvorine/error_log.txt")).good());
}

TEST_F(RenderTest, TheSameSeedGivesTheSamePictureAtEveryDepth) {
    for (const char* depth : {"8", "15", "16", "24", "32"}) {
        std::vector<std::string> common = {"--size", "96x64", "--depth", depth, "--seed", "42", "--frames", "3"};
        auto with_out = [&](const std::string& name, std::vector<std::string> extra) {
            std::vector<std::string> arguments = common;
            arguments.insert(arguments.end(), extra.begin(), extra.end());
            arguments.insert(arguments.end(), {"--out", root.file(name)});
            return Render(arguments).exit_code;
        };
        ASSERT_EQ(with_out("first.bmp", {}), 0) << depth;
        ASSERT_EQ(with_out("second.bmp", {}), 0) << depth;
        ASSERT_EQ(with_out("later.bmp", {"--frames", "4"}), 0) << depth;
        ASSERT_EQ(with_out("reseeded.bmp", {"--seed", "43"}), 0) << depth;
        ASSERT_EQ(with_out("banded.bmp", {"--threads", "3"}), 0) << depth;
        std::vector<uint8_t> first = Read_Bytes(root.file("first.bmp"));
        EXPECT_EQ(first, Read_Bytes(root.file("second.bmp"))) << depth;
        // Drawn in row bands on three threads, every step of the frame gives the same bytes.
        EXPECT_EQ(first, Read_Bytes(root.file("banded.bmp"))) << depth;
        // The picture moves from frame to frame and depends on the seed.
        EXPECT_NE(first, Read_Bytes(root.file("later.bmp"))) << depth;
        EXPECT_NE(first, Read_Bytes(root.file("reseeded.bmp"))) << depth;
    }
}

TEST_F(RenderTest, ThePictureIsATwentyFourBitBitmapOfTheRequestedSize) {
    ASSERT_EQ(Render({"--size", "40x24", "--depth", "16", "--seed", "1", "--out", root.file("pic.bmp")}).exit_code, 0);
    std::vector<uint8_t> bmp = Read_Bytes(root.file("pic.bmp"));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Little_32(bmp, 18), 40u);     // width
    EXPECT_EQ(Little_32(bmp, 22), 24u);     // height
    EXPECT_EQ(bmp[28] | bmp[29] << 8, 24);  // bits per pixel
    EXPECT_EQ(bmp.size(), Little_32(bmp, 10) + 40 * 3 * 24);
    EXPECT_EQ(Little_32(bmp, 2), bmp.size());
    // Not a blank frame.
    bool coloured = false;
    for (size_t i = Little_32(bmp, 10); i < bmp.size(); i++) coloured |= bmp[i] != 0;
    EXPECT_TRUE(coloured);
    // The preset was applied whole, its title included.
    const std::string log = Read_Text(root.file("Calvorine/error_log.txt"));
    EXPECT_NE(log.find("Exitting Refresh_Plasma"), std::string::npos) << log;
    EXPECT_EQ(log.find("FAILED"), std::string::npos) << log;
}

TEST_F(RenderTest, AWrittenPresetRendersTheSamePictureAgain) {
    std::vector<std::string> picture = {"--size", "80x64", "--seed", "7", "--frames", "2"};
    auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments = picture;
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return Render(arguments);
    };
    ASSERT_EQ(run({"--write-preset", root.file("Calvorine/made.dat"), "--out", root.file("a.bmp")}).exit_code, 0);
    EXPECT_EQ(Read_Bytes(root.file("Calvorine/made.dat")).size(), 10136u);
    ASSERT_EQ(run({"--preset", root.file("Calvorine/made.dat"), "--out", root.file("b.bmp")}).exit_code, 0);
    EXPECT_EQ(Read_Bytes(root.file("a.bmp")), Read_Bytes(root.file("b.bmp")));

    // As default.dat it is the preset shown when none is named.
    std::rename(root.file("Calvorine/made.dat").c_str(), root.file("Calvorine/default.dat").c_str());
    ASSERT_EQ(run({"--out", root.file("c.bmp")}).exit_code, 0);
    EXPECT_EQ(Read_Bytes(root.file("a.bmp")), Read_Bytes(root.file("c.bmp")));
}

TEST_F(RenderTest, TheBuiltInPresetSelectsTheObjectsAsInTheSaver) {
    // No default.dat: the built-in defaults, made once the objects are loaded.
    ASSERT_EQ(Render({"--size", "64x48", "--write-preset", root.file("made.dat")}).exit_code, 0);
    std::vector<uint8_t> preset = Read_Bytes(root.file("made.dat"));
    ASSERT_EQ(preset.size(), 10136u);
    constexpr size_t FREQUENCY = 120, SELECTED = 1120;
    for (size_t object = 0; object < 3; object++) {
        const uint32_t expected = object < 2 ? 1 : 0;  // the test folder has objects 0 and 1
        EXPECT_EQ(Little_32(preset, FREQUENCY + 4 * object), expected) << object;
        EXPECT_EQ(Little_32(preset, SELECTED + 4 * object), expected) << object;
    }
}

TEST_F(RenderTest, EveryBundledDemoPresetRenders) {
    // The demo folder is made by make-data at build time. A copy is used:
    // the first load expands its objects in place.
    namespace fs = std::filesystem;
    fs::copy(CALVORINE_DEMO_PRESETS, root.file("Calvorine"),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    int presets = 0;
    for (const auto& entry : fs::directory_iterator(root.file("Calvorine"))) {
        std::string extension = entry.path().extension().string();
        if (extension != ".dat" && extension != ".DAT") continue;
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(fs::file_size(entry.path()), 10136u) << name;
        Result result = Render({"--preset", entry.path().string(), "--size", "320x240", "--frames", "3"});
        EXPECT_EQ(result.exit_code, 0) << name << result.err;
        EXPECT_EQ(Read_Text(root.file("Calvorine/error_log.txt")).find("FAILED"), std::string::npos) << name;
        ++presets;
    }
    EXPECT_GE(presets, 12);
}

TEST_F(RenderTest, FailuresAreReportedAndExitWithOne) {
    Result missing_folder = Run({"--data-dir", root.file("nowhere")});
    EXPECT_EQ(missing_folder.exit_code, 1);
    EXPECT_NE(missing_folder.err.find("WinMain(): calvorine folder doesn't exist - Please RE-INSTALL"),
              std::string::npos);

    Result missing_preset = Render({"--preset", root.file("absent.dat")});
    EXPECT_EQ(missing_preset.exit_code, 1);
    EXPECT_NE(missing_preset.err.find("error_log.txt"), std::string::npos);
    EXPECT_NE(
        Read_Text(root.file("Calvorine/error_log.txt"))
            .find("\tRead_Plasma_Settings_From_File(): Load_Plasma_Settings " + root.file("absent.dat") + " FAILED"),
        std::string::npos);

    EXPECT_EQ(Render({"--out", root.file("no/such/folder.bmp")}).exit_code, 1);

    // A preset that cannot be applied whole (here: no font for its title)
    // fails the run rather than rendering something else.
    ASSERT_EQ(std::remove(root.file("Calvorine/Data/Bmp/Font.bmp").c_str()), 0);
    Result no_font = Render({});
    EXPECT_EQ(no_font.exit_code, 1);
    EXPECT_NE(Read_Text(root.file("Calvorine/error_log.txt")).find("Refresh_Plasma(): Setup_Title FAILED"),
              std::string::npos);
}

TEST_F(RenderTest, APresetWhoseOverlayIsMissingFailsTheRun) {
    ASSERT_EQ(Render({"--size", "64x48", "--write-preset", root.file("made.dat")}).exit_code, 0);
    std::vector<uint8_t> preset = Read_Bytes(root.file("made.dat"));
    ASSERT_EQ(preset.size(), 10136u);
    constexpr size_t OVERLAY_ON = 68, OVERLAY_SHAPE = 72, CUSTOM_SCOPE_PATH = 8576;
    preset[OVERLAY_ON] = 1;
    preset[OVERLAY_SHAPE] = 4;
    const std::string missing = root.file("Calvorine/Data/Bmp/Overlays/gone.bmp");
    std::copy(missing.begin(), missing.end(), preset.begin() + CUSTOM_SCOPE_PATH);
    std::ofstream(root.file("overlay.dat"), std::ios::binary)
        .write(reinterpret_cast<const char*>(preset.data()), static_cast<std::streamsize>(preset.size()));

    Result result = Render({"--size", "64x48", "--preset", root.file("overlay.dat"), "--out", root.file("o.bmp")});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(Read_Text(root.file("Calvorine/error_log.txt")).find("Modify_Plasma(): Setup_Scope FAILED"),
              std::string::npos);
    EXPECT_FALSE(std::ifstream(root.file("o.bmp")).good());
}

TEST_F(RenderTest, TheBenchmarkPrintsOneLineOfFiguresAndOneForTheScreenPath) {
    Result result = Render({"--benchmark", "--frames", "5", "--size", "64x48", "--depth", "24"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    std::regex line(
        "benchmark: frames=5 seconds=[0-9]+\\.[0-9]+ fps=[0-9]+\\.[0-9] floor_fps=[0-9]+\\.[0-9] "
        "memory_floor_fps=[0-9]+\\.[0-9] size=64x48 depth=24\n");
    EXPECT_TRUE(std::regex_match(result.out, line)) << result.out;

    // A 4:3 picture on a 16:9 screen lands between bars at the sides.
    result = Render({"--benchmark", "--frames", "3", "--size", "64x48", "--present", "160x90"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    std::regex lines(
        "benchmark: [^\n]*\npresent: screen=160x90 area=120x90\\+20\\+0 scale_ms=[0-9]+\\.[0-9]+ "
        "frame_ms=[0-9]+\\.[0-9]+ fps=[0-9]+\\.[0-9]\n");
    EXPECT_TRUE(std::regex_match(result.out, lines)) << result.out;
    EXPECT_NE(Render({"--present", "160"}).exit_code, 0);
}
