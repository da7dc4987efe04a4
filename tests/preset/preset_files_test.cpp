#include "preset/preset_files.h"

#include <dirent.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/random.h"
#include "graphics/display.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "test_support.h"
#include "text/titles.h"

namespace {

constexpr size_t RECORD = sizeof(PlasmaSettings);

std::vector<uint8_t> Read_File(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

void Write_File(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Bytes that differ from place to place, so a shifted or truncated copy shows.
std::vector<uint8_t> Pattern(size_t size, uint8_t salt) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; i++) bytes[i] = static_cast<uint8_t>(i * 31 + salt + i / 251);
    return bytes;
}

// A preset file whose record is valid enough for Refresh_Plasma, told apart by its speed.
std::vector<uint8_t> Preset_Bytes(double speed, int resolution = 1) {
    Set_Default_Plasma_Settings();
    plasma_settings.speed = speed;
    plasma_settings.resolution = resolution;
    std::vector<uint8_t> bytes(RECORD);
    memcpy(bytes.data(), &plasma_settings, RECORD);
    return bytes;
}

std::vector<std::string> Box_Texts() {
    std::vector<std::string> texts;
    for (const Recorded_Box& box : platform_boxes) texts.push_back(box.text);
    return texts;
}

std::vector<std::string> Files_In(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* directory = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(directory)) {
            if (strcmp(entry->d_name, ".") && strcmp(entry->d_name, "..")) names.push_back(entry->d_name);
        }
        closedir(directory);
    }
    return names;
}

// Takes the power to write anywhere away from a root test run, so that a
// folder without write permission is unwritable for it too.
class Without_Override_Rights {
public:
    Without_Override_Rights() {
        if (geteuid() != 0) return;
        if (syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct reduced[2];
        memcpy(reduced, saved_, sizeof reduced);
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        changed_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~Without_Override_Rights() {
        if (changed_) syscall(SYS_capset, &header_, saved_);
    }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool changed_ = false;
};

// Files may grow to `limit` bytes while it lives: writes past it fail.
class File_Size_Limit {
public:
    explicit File_Size_Limit(rlim_t limit) {
        old_handler_ = signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit reduced = saved_;
        reduced.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &reduced);
    }
    ~File_Size_Limit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit saved_{};
    sighandler_t old_handler_;
};

class PresetFilesTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Set_Windows_Directory(windows.path());
        data = windows.path() + "/Calvorine";
        mkdir(data.c_str(), 0755);
        last_random_index = 0;
        window.client_width = 64;
        window.client_height = 48;
        app.main_window = &window;
        Set_Default_Plasma_Settings();
    }
    void TearDown() override {
        chmod(data.c_str(), 0755);
        Set_Windows_Directory("");
        ProgramTest::TearDown();
    }
    std::string Preset(const std::string& name) { return data + "/" + name; }

    TempFolder windows;
    std::string data;
    Window window;
};

// Presets that are shown, not only read: a display to draw on and the
// font and objects a shown preset needs.
class PresetDisplayTest : public PresetFilesTest {
protected:
    void SetUp() override {
        PresetFilesTest::SetUp();
        Make_Test_Data_Folder(windows.path());
        Use_Windows_Directory(windows.path());
        dd_config.desktop_width = app.screen_width = 64;
        dd_config.desktop_height = app.screen_height = 48;
        dd_config.desktop_bpp = app.screen_bpp = 32;
        ASSERT_EQ(Setup_Windowed_Direct_Draw(64, 48, 32), 1);
    }
    void TearDown() override {
        Release_Test_Effects();
        Shutdown_Direct_Draw();
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        Use_Windows_Directory("");
        PresetFilesTest::TearDown();
    }
};

int rebuild_calls = 0;
int rebuild_answer = 1;
int Fake_Rebuild() {
    rebuild_calls++;
    return rebuild_answer;
}

}  // namespace

// A record of the defaults whose strings, their tails and the reserves
// carry a pattern of bytes: every field in range, every byte telling.
std::vector<uint8_t> Patterned_Preset_Bytes(uint8_t salt) {
    std::vector<uint8_t> bytes = Preset_Bytes(123.0);
    const std::vector<uint8_t> pattern = Pattern(RECORD, salt);
    auto copy = [&](size_t offset, size_t size) { memcpy(bytes.data() + offset, pattern.data() + offset, size); };
    copy(offsetof(PlasmaSettings, title), PRESET_TITLE_SIZE - 1);
    copy(offsetof(PlasmaSettings, custom_scope_path), CUSTOM_SCOPE_PATH_SIZE - 1);
    copy(offsetof(PlasmaSettings, reserve_8384), sizeof PlasmaSettings::reserve_8384);
    copy(offsetof(PlasmaSettings, reserve_8540), sizeof PlasmaSettings::reserve_8540);
    return bytes;
}

TEST_F(PresetFilesTest, ARecordRoundTripsByteForByte) {
    std::vector<uint8_t> original = Patterned_Preset_Bytes(7);
    Write_File(Preset("a.dat"), original);
    ASSERT_EQ(Load_Plasma_Settings(Preset("a.dat").c_str()), 1);
    EXPECT_EQ(memcmp(&plasma_settings, original.data(), RECORD), 0);
    ASSERT_EQ(Save_Plasma_Settings_To_File(Preset("b.dat").c_str()), 1);
    EXPECT_EQ(Read_File(Preset("b.dat")), original);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(PresetFilesTest, ShortFilesFailAndKeepThePresetLongerOnesLoad) {
    std::vector<uint8_t> current = Pattern(RECORD, 1);
    memcpy(&plasma_settings, current.data(), RECORD);

    Write_File(Preset("short.dat"), Pattern(RECORD - 1, 2));
    EXPECT_EQ(Load_Plasma_Settings(Preset("short.dat").c_str()), 0);
    EXPECT_EQ(Box_Texts(), std::vector<std::string>{"Load_Plamsa_Settings():\n\nError reading " + Preset("short.dat")});
    EXPECT_EQ(memcmp(&plasma_settings, current.data(), RECORD), 0);

    // A missing file is for the caller to report.
    Platform_Reset_Records();
    EXPECT_EQ(Load_Plasma_Settings(Preset("missing.dat").c_str()), 0);
    EXPECT_TRUE(platform_boxes.empty());

    std::vector<uint8_t> longer = Patterned_Preset_Bytes(3);
    longer.push_back(0xA5);
    Write_File(Preset("long.dat"), longer);
    EXPECT_EQ(Load_Plasma_Settings(Preset("long.dat").c_str()), 1);
    EXPECT_EQ(memcmp(&plasma_settings, longer.data(), RECORD), 0);
}

TEST_F(PresetFilesTest, SavingToAnEmptyPathDoesNothing) {
    EXPECT_EQ(Save_Plasma_Settings_To_File(""), 0);
    EXPECT_EQ(Save_Plasma_Settings_To_File(nullptr), 0);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_TRUE(Files_In(data).empty());
}

TEST_F(PresetFilesTest, AFailingWriteKeepsTheOldPreset) {
    std::vector<uint8_t> old = Pattern(RECORD, 9);
    Write_File(Preset("keep.dat"), old);
    {
        File_Size_Limit limit(RECORD / 2);
        EXPECT_EQ(Save_Plasma_Settings_To_File(Preset("keep.dat").c_str()), 0);
    }
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{
                               "Save_Plasma_Settings_To_File():\n\n Saved incorrect file size 0",
                               "Save_Plasma_Settings_To_File():\n\n Error saving " + Preset("keep.dat"),
                           }));
    EXPECT_EQ(Read_File(Preset("keep.dat")), old);
    EXPECT_EQ(Files_In(data), std::vector<std::string>{"keep.dat"});
}

TEST_F(PresetFilesTest, AnUnwritableFolderKeepsTheOldPreset) {
    std::vector<uint8_t> old = Pattern(RECORD, 4);
    Write_File(Preset("keep.dat"), old);
    ASSERT_EQ(chmod(data.c_str(), 0555), 0);
    Without_Override_Rights no_override;
    std::string probe = Preset("probe");
    if (FILE* file = fopen(probe.c_str(), "wb")) {
        fclose(file);
        unlink(probe.c_str());
        GTEST_SKIP() << "this process writes into read-only folders";
    }
    EXPECT_EQ(Save_Plasma_Settings_To_File(Preset("keep.dat").c_str()), 0);
    EXPECT_EQ(Box_Texts(),
              std::vector<std::string>{"Save_Plasma_Settings_To_File():\n\n Error saving " + Preset("keep.dat")});
    EXPECT_EQ(Read_File(Preset("keep.dat")), old);
    // A folder that does not exist takes no preset either.
    Platform_Reset_Records();
    EXPECT_EQ(Save_Plasma_Settings_To_File((data + "/none/x.dat").c_str()), 0);
    EXPECT_EQ(platform_boxes.size(), 1u);
}

TEST_F(PresetFilesTest, SavingKeepsTheModeCaseAndLinkOfAnExistingPreset) {
    Write_File(Preset("Sunset.DAT"), Pattern(RECORD, 5));
    ASSERT_EQ(chmod(Preset("Sunset.DAT").c_str(), 0640), 0);
    std::vector<uint8_t> now = Pattern(RECORD, 6);
    memcpy(&plasma_settings, now.data(), RECORD);
    ASSERT_EQ(Save_Plasma_Settings_To_File(Preset("sunset.dat").c_str()), 1);
    EXPECT_EQ(Files_In(data), std::vector<std::string>{"Sunset.DAT"});
    EXPECT_EQ(Read_File(Preset("Sunset.DAT")), now);
    struct stat info;
    ASSERT_EQ(stat(Preset("Sunset.DAT").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // A linked preset is saved through the link, which stays.
    ASSERT_EQ(symlink(Preset("Sunset.DAT").c_str(), Preset("link.dat").c_str()), 0);
    plasma_settings.speed = 3.5;
    ASSERT_EQ(Save_Plasma_Settings_To_File(Preset("link.dat").c_str()), 1);
    ASSERT_EQ(lstat(Preset("link.dat").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    std::vector<uint8_t> through_link = Read_File(Preset("Sunset.DAT"));
    ASSERT_EQ(through_link.size(), RECORD);
    EXPECT_EQ(memcmp(through_link.data(), &plasma_settings, RECORD), 0);
}

TEST_F(PresetFilesTest, AFifoOrAFolderIsNeverReplacedByAPreset) {
    ASSERT_EQ(mkfifo(Preset("pipe.dat").c_str(), 0600), 0);
    ASSERT_EQ(symlink(Preset("pipe.dat").c_str(), Preset("to-pipe.dat").c_str()), 0);
    ASSERT_EQ(mkdir(Preset("folder.dat").c_str(), 0755), 0);
    for (const char* name : {"pipe.dat", "to-pipe.dat", "folder.dat"}) {
        Platform_Reset_Records();
        EXPECT_EQ(Save_Plasma_Settings_To_File(Preset(name).c_str()), 0) << name;
        EXPECT_EQ(Box_Texts(),
                  std::vector<std::string>{"Save_Plasma_Settings_To_File():\n\n Error saving " + Preset(name)});
    }
    struct stat info;
    ASSERT_EQ(lstat(Preset("pipe.dat").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(lstat(Preset("to-pipe.dat").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(Files_In(data).size(), 3u);
}

TEST_F(PresetFilesTest, RandomPicksAlternateBetweenTwoAndNeverStartWithTheFirst) {
    Write_File(Preset("a.dat"), Preset_Bytes(1.0));
    Write_File(Preset("B.DAT"), Preset_Bytes(2.0));
    // Sorted by name, "B.DAT" is the first match.
    for (unsigned seed : {1u, 2u, 3u, 77u}) {
        crt::srand(seed);
        last_random_index = 0;
        std::string path;
        ASSERT_EQ(Select_Random_Setting(&path), 1);
        EXPECT_EQ(path, Preset("a.dat")) << seed;
        for (int i = 0; i < 6; i++) {
            std::string next;
            ASSERT_EQ(Select_Random_Setting(&next), 1);
            EXPECT_NE(next, path);
            path = next;
        }
    }
}

TEST_F(PresetFilesTest, RandomPicksReachEveryPresetAndAOneFileFolderAlwaysGivesIt) {
    Write_File(Preset("only.dat"), Preset_Bytes(3.0));
    crt::srand(5);
    for (int i = 0; i < 4; i++) {
        std::string path;
        ASSERT_EQ(Select_Random_Setting(&path), 1);
        EXPECT_EQ(path, Preset("only.dat"));
    }
    for (const char* name : {"b.dat", "c.dat", "d.dat"}) Write_File(Preset(name), Preset_Bytes(4.0));
    Write_File(Preset("notes.txt"), {1, 2, 3});
    std::map<std::string, int> seen;
    for (int i = 0; i < 200; i++) {
        std::string path;
        ASSERT_EQ(Select_Random_Setting(&path), 1);
        seen[path]++;
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_GT(seen[Preset("only.dat")], 0);  // the last in order
}

TEST_F(PresetFilesTest, AFolderWithoutPresetsIsReportedAtEveryLevel) {
    EXPECT_EQ(Load_Random_Setting(), 0);
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{"Select_Random_Setting(): Count_Files_In_Folder FAILED",
                                                     "Load_Random_Setting(): Select_Random_Setting FAILED"}));
    Platform_Reset_Records();
    EXPECT_EQ(Display_A_Random_Setting(nullptr), 0);
    EXPECT_EQ(platform_boxes.back().text, "Display_A_Random_Setting(): Load_Random_Setting FAILED");
    int count = 9;
    EXPECT_EQ(Count_Files_In_Folder((data + "/*.DAT").c_str(), &count), 0);
    EXPECT_EQ(count, 0);
}

TEST_F(PresetFilesTest, ARandomPresetTooShortIsNamedInTheReport) {
    Write_File(Preset("cut.dat"), Pattern(100, 1));
    EXPECT_EQ(Load_Random_Setting(), 0);
    EXPECT_EQ(platform_boxes.back().text,
              "Load_Random_Setting():Load_Plasma_Settings FAILED Unable to read file " + Preset("cut.dat"));
}

TEST_F(PresetFilesTest, PreferredResolutionComesFromTheDefaultPreset) {
    int width = 1, height = 2, depth = 3;
    EXPECT_EQ(Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &depth), 0);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_EQ(app.windows_prefix, windows.path() + "/");

    Write_File(Preset("default.dat"), Preset_Bytes(35.0, 12));
    EXPECT_EQ(Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &depth), 1);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(depth, 16);

    // A code beyond the table is a damaged preset: it asks for the built-in
    // default's 640 x 480 x 32.
    Write_File(Preset("default.dat"), Preset_Bytes(35.0, 25));
    EXPECT_EQ(Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &depth), 1);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(depth, 32);

    Platform_Reset_Records();
    Write_File(Preset("default.dat"), Pattern(10, 0));
    EXPECT_EQ(Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &depth), 0);
    EXPECT_EQ(platform_boxes.back().text,
              "Grab_Preferred_Plasma_Screen_Dimensions(): Load_Plasma_Settings " + Preset("default.dat") + " FAILED");
}

TEST_F(PresetDisplayTest, TheDefaultPresetIsShownElseTheBuiltInOne) {
    Write_File(Preset("default.dat"), Preset_Bytes(123.0));
    Display_Default_Plasma();
    EXPECT_EQ(plasma_settings.speed, 123.0);
    EXPECT_EQ(plasma_settings.plasma_width, 64);  // applied: the plasma takes the window's size
    EXPECT_NE(title_surface, nullptr);            // and its title starts
    EXPECT_TRUE(platform_boxes.empty());

    Write_File(Preset("default.dat"), Pattern(RECORD - 1, 0));
    Platform_Reset_Records();
    Display_Default_Plasma();
    EXPECT_EQ(plasma_settings.speed, 35.0);
    std::string path = Preset("default.dat");
    EXPECT_EQ(Box_Texts(), (std::vector<std::string>{
                               "Load_Plamsa_Settings():\n\nError reading " + path,
                               "\tRead_Plasma_Settings_From_File(): Load_Plasma_Settings " + path + " FAILED",
                               "Load_Default_Plasma():\n\nUnable to read file " + path,
                           }));

    unlink(path.c_str());
    plasma_settings.speed = 7.0;
    Platform_Reset_Records();
    EXPECT_EQ(Load_Default_Plasma(), 0);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_EQ(plasma_settings.speed, 7.0);
}

TEST_F(PresetFilesTest, ConfigureModeBacksUpIntoTheDefaultPreset) {
    app.saver_mode = CONFIGURE;
    plasma_settings.speed = 250.0;
    EXPECT_EQ(Backup_Plasma_Settings(), 1);
    std::vector<uint8_t> saved = Read_File(Preset("default.dat"));
    ASSERT_EQ(saved.size(), RECORD);
    EXPECT_EQ(memcmp(saved.data(), &plasma_settings_backup, RECORD), 0);

    // Other modes never write the default preset.
    unlink(Preset("default.dat").c_str());
    app.saver_mode = SAVER;
    EXPECT_EQ(Backup_Plasma_Settings(), 1);
    EXPECT_TRUE(Files_In(data).empty());
}

TEST_F(PresetDisplayTest, RestoreBringsBackTheKeptPresetInEveryMode) {
    Write_File(Preset("default.dat"), Preset_Bytes(11.0));
    for (int mode : {SAVER, MODE_NONE, CONFIGURE}) {
        app.saver_mode = mode;
        Set_Default_Plasma_Settings();
        plasma_settings.speed = 99.0;
        Backup_Plasma_Settings();
        plasma_settings.speed = 5.0;
        EXPECT_EQ(Restore_Plasma_Settings(), 1);
        EXPECT_EQ(plasma_settings.speed, 99.0) << mode;
        EXPECT_EQ(plasma_settings.plasma_width, app.client_width) << mode;  // applied
    }
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(PresetDisplayTest, RandomPresetsRebuildTheFullScreenOnlyForANewResolution) {
    Write_File(Preset("a.dat"), Preset_Bytes(40.0, 1));
    Write_File(Preset("b.dat"), Preset_Bytes(50.0, 13));
    rebuild_calls = 0;
    rebuild_answer = 1;

    // Windowed: applied at the present size whatever it asks for.
    last_random_index = 1;  // the next pick is a.dat, then b.dat
    plasma_settings.resolution = 1;
    ASSERT_EQ(Display_A_Random_Setting(Fake_Rebuild), 1);
    ASSERT_EQ(Display_A_Random_Setting(Fake_Rebuild), 1);
    EXPECT_EQ(plasma_settings.speed, 50.0);
    EXPECT_EQ(rebuild_calls, 0);

    app.display_mode = DISPLAY_FULL_SCREEN;
    app.screen_width = 640;
    app.screen_height = 480;
    app.screen_bpp = 32;
    ASSERT_EQ(Display_A_Random_Setting(Fake_Rebuild), 1);  // a.dat, resolution 1 after 13
    EXPECT_EQ(rebuild_calls, 1);
    EXPECT_EQ(app.screen_width, 640);
    EXPECT_EQ(plasma_settings.speed, 40.0);
    ASSERT_EQ(Display_A_Random_Setting(Fake_Rebuild), 1);  // b.dat: 1024 x 768 x 16
    EXPECT_EQ(rebuild_calls, 2);
    EXPECT_EQ(app.screen_width, 1024);
    EXPECT_EQ(app.screen_bpp, 16);
    EXPECT_EQ(app.client_height, 768);
    EXPECT_EQ(plasma_settings.speed, 50.0);
    EXPECT_TRUE(platform_boxes.empty());

    rebuild_answer = 0;
    EXPECT_EQ(Display_A_Random_Setting(Fake_Rebuild), 0);
    EXPECT_EQ(platform_boxes.back().text, "Display_A_Random_Setting: Setup FAILED");
    Posted_Message message;
    ASSERT_TRUE(Platform_Peek_Message(&message, true));
    EXPECT_EQ(message.message, WM_DESTROY);
    EXPECT_EQ(message.window, &window);
}
