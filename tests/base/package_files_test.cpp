// The package's copy steps and the first-run set-up of a data folder from
// the system's package: everything arrives, or nothing is left behind.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/data_folder.h"
#include "base/package_files.h"
#include "platform/install_files.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// Every file under a folder, relative to it, with its contents.
std::vector<std::string> Tree(const std::string& folder) {
    std::vector<std::string> entries;
    for (auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string name = fs::relative(entry.path(), folder).string();
        entries.push_back(entry.is_directory() ? name + "/" : name + "=" + Read_Text(entry.path().string()));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

class PackageFilesTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Fail_File_Operation(FILE_COPY, "");
        const char* old = std::getenv("XDG_DATA_DIRS");
        had_data_dirs = old != nullptr;
        saved_data_dirs = old ? old : "";

        package = root.file("share/calvorine");
        // Include/Error.wav is not part of the package's data: never copied.
        Write_Test_Package(package, {"Welcome.DAT", "Mandala.DAT"});
        // The user's Windows directory does not exist yet on a new account.
        windows = root.file("home/.local/share");
        folder = windows + "/Calvorine";
    }

    void TearDown() override {
        platform_file_fault_hook = nullptr;
        if (had_data_dirs) {
            setenv("XDG_DATA_DIRS", saved_data_dirs.c_str(), 1);
        } else {
            unsetenv("XDG_DATA_DIRS");
        }
        ProgramTest::TearDown();
    }

    TempFolder root;
    std::string package, windows, folder, saved_data_dirs;
    bool had_data_dirs = false;
};

const std::vector<std::string> complete_folder = {
    "Data/",
    "Data/Bmp/",
    "Data/Bmp/About.bmp=about",
    "Data/Bmp/Font.bmp=font",
    "Data/Bmp/Objects/",
    "Data/Bmp/Objects/0.bmp=object 0",
    "Data/Bmp/Overlays/",
    "Data/Bmp/Overlays/Heart.bmp=heart",
    "Data/Frame Converter/",
    "Data/Help.HLP=help",
    "Mandala.DAT=mandala preset",
    "Welcome.DAT=welcome preset",
};

}  // namespace

TEST_F(PackageFilesTest, TheSystemPackageIsTheFirstDataFolderThatHasOne) {
    const std::string share = root.file("share"), empty = root.file("empty"), other = root.file("other");
    // A calvorine folder without its data is no package.
    fs::create_directories(empty + "/calvorine");
    Write_Text(other + "/calvorine/Calvorine/Other.DAT", "other");
    const struct {
        std::string dirs;
        std::string package;
    } cases[] = {
        {share, package},
        {share + "/", package},
        {empty + ":" + share + ":" + other, package},
        {other + ":" + share, other + "/calvorine"},
        // Relative entries are ignored, as their rules ask.
        {"relative/share:" + empty + "::" + other, other + "/calvorine"},
        {empty, ""},
        {root.file("nowhere"), ""},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.dirs);
        setenv("XDG_DATA_DIRS", each.dirs.c_str(), 1);
        EXPECT_EQ(System_Package_Folder(), each.package);
    }
}

TEST_F(PackageFilesTest, TheFirstRunSetsUpTheWholeFolderAndLeavesNothingBeside) {
    // A set-up of an earlier process with this id that died half-way.
    const std::string stale = windows + "/.Calvorine.setup-" + std::to_string(getpid());
    Write_Text(stale + "/Half.DAT", "half");
    std::string failure = "untouched";
    ASSERT_EQ(Set_Up_Data_Folder_From_Package(package, folder, &failure), 1) << failure;
    EXPECT_EQ(Tree(folder), complete_folder);
    std::vector<std::string> beside;
    for (auto& entry : fs::directory_iterator(windows)) beside.push_back(entry.path().filename().string());
    EXPECT_EQ(beside, std::vector<std::string>{"Calvorine"});
    EXPECT_EQ(failure, "untouched");
}

TEST_F(PackageFilesTest, AFailureHalfWayLeavesNothingHalfMade) {
    const struct {
        File_Operation operation;
        const char* path;
        std::string text;  // the start of the failure text
    } cases[] = {
        {FILE_COPY, "Mandala.DAT", "CopyFile " + package + "/Calvorine/Mandala.DAT to "},
        {FILE_CREATE_DIRECTORY, "Frame Converter", "CreateDirectory "},
        {FILE_COPY, "Help.HLP", "CopyFile Calvorine\\Data\\Help.HLP to "},
        {FILE_COPY, "Font.bmp", "CopyFile Calvorine\\Data\\Bmp\\Font.bmp to "},
        {FILE_COPY, "Heart.bmp", "CopyFile " + package + "/Calvorine/Data/Bmp/Overlays/Heart.bmp to "},
        {FILE_RENAME, "/Calvorine", "MoveFile " + windows + "/.Calvorine.setup-"},
        {FILE_CREATE_DIRECTORY, ".setup-", "CreateDirectory " + windows + "/.Calvorine.setup-"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.path);
        fs::remove_all(windows);
        Fail_File_Operation(each.operation, each.path);
        std::string failure;
        EXPECT_EQ(Set_Up_Data_Folder_From_Package(package, folder, &failure), 0);
        EXPECT_EQ(failure.rfind(each.text, 0), 0u) << failure;
        EXPECT_EQ(failure.substr(failure.size() - 7), " FAILED");
        EXPECT_FALSE(fs::exists(folder));
        EXPECT_TRUE(fs::is_empty(windows)) << Tree(windows).front();
    }

    // A package that lacks a part fails the same way.
    Fail_File_Operation(FILE_COPY, "");
    fs::remove_all(windows);
    fs::remove_all(package + "/Calvorine/Data/Bmp/Overlays");
    std::string failure;
    EXPECT_EQ(Set_Up_Data_Folder_From_Package(package, folder, &failure), 0);
    EXPECT_EQ(failure, "FindFirstFile Overlays.bmp returned INVALID_HANDLE_VALUE");
    EXPECT_TRUE(fs::is_empty(windows));
}

TEST_F(PackageFilesTest, AFolderMadeMeanwhileIsKeptAsItIs) {
    // Another start of the saver won the race: its folder stays untouched.
    Write_Text(folder + "/Own.DAT", "own preset");
    std::string failure;
    EXPECT_EQ(Set_Up_Data_Folder_From_Package(package, folder, &failure), 1) << failure;
    EXPECT_EQ(Tree(windows), (std::vector<std::string>{"Calvorine/", "Calvorine/Own.DAT=own preset"}));
}

TEST_F(PackageFilesTest, TheInstallersCopyOverwritesIntoAnExistingFolder) {
    Write_Text(folder + "/Mandala.DAT", "an older mandala");
    Write_Text(folder + "/Own.DAT", "own preset");
    std::string failure;
    ASSERT_EQ(Copy_Package_Files(package, folder, &failure), 1) << failure;
    std::vector<std::string> expected = complete_folder;
    expected.push_back("Own.DAT=own preset");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Tree(folder), expected);
}

// Calvorine in the user's XScreenSaver settings: by calvorine-setup
// --xscreensaver, and once by the first configuration run of a
// system-wide installation.
class XscreensaverListingTest : public PackageFilesTest {
protected:
    void SetUp() override {
        PackageFilesTest::SetUp();
        const char* old = std::getenv("HOME");
        saved_home = old ? old : "";
        home = root.file("home");
        setenv("HOME", home.c_str(), 1);
        Set_Windows_Directory(windows);
        // A system-wide installation: the programs in bin, the hack in libexec.
        program = root.file("usr/bin/calvorine-saver");
        hack = root.file("usr/libexec/xscreensaver/calvorine");
        Write_Text(program, "saver");
        Write_Text(hack, "hack");
        fs::permissions(hack, fs::perms::owner_all);
        fs::create_directories(folder);
    }

    void TearDown() override {
        setenv("HOME", saved_home.c_str(), 1);
        PackageFilesTest::TearDown();
    }

    std::string Settings() const { return home + "/.xscreensaver"; }

    std::string saved_home, home, program, hack;
};

const char* const user_settings =
    "timeout:\t0:05:00\n"
    "programs:\t\t\\\n"
    "\t\tabstractile -root\t\\n\\\n"
    "  -\t\tbinaryring -root\t\\n\n"
    "mode:\t\trandom\n";

TEST_F(XscreensaverListingTest, TheInstalledHackIsFoundBesideTheProgram) {
    fs::create_directories(root.file("usr/libexec/xscreensaver/folder"));
    Write_Text(root.file("opt/bin/calvorine-saver"), "saver");
    Write_Text(root.file("opt/libexec/xscreensaver/calvorine"), "not executable");
    const struct {
        std::string program, hack;
    } cases[] = {
        {program, hack},
        {root.file("usr/bin/calvorine-setup"), hack},
        {root.file("opt/bin/calvorine-saver"), ""},  // there, but it cannot be run
        {root.file("build/calvorine-saver"), ""},    // a build folder has no libexec
        {"calvorine-saver", ""},
        {"", ""},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.program);
        EXPECT_EQ(Installed_Hack_Program(each.program), each.hack);
    }
}

TEST_F(XscreensaverListingTest, TheCommandSelectsTheInstalledHackElseTheRegisteredSaver) {
    Write_Text(Settings(), user_settings);
    std::string listed, failure;
    ASSERT_EQ(Select_Calvorine_In_Xscreensaver(program, &listed, &failure), 1) << failure;
    EXPECT_EQ(listed, hack);
    EXPECT_EQ(Read_Text(Settings()), Xscreensaver_Select_Hack(user_settings, "Calvorine", hack + " --root"));
    EXPECT_EQ(Read_Text(Settings() + ".bak"), user_settings);
    // Once more: nothing changes, and the backup still holds the user's own settings.
    const std::string selected = Read_Text(Settings());
    ASSERT_EQ(Select_Calvorine_In_Xscreensaver(program, &listed, &failure), 1) << failure;
    EXPECT_EQ(Read_Text(Settings()), selected);
    EXPECT_EQ(Read_Text(Settings() + ".bak"), user_settings);

    // Unpacked from the release archive: the saver calvorine-setup registered.
    Write_Text(windows + "/system.ini", "[boot]\nSCRNSAVE.EXE=/home/u/.local/share/Calvorine.scr\n");
    ASSERT_EQ(Select_Calvorine_In_Xscreensaver(root.file("archive/calvorine-setup"), &listed, &failure), 1);
    EXPECT_EQ(listed, "/home/u/.local/share/Calvorine.scr");
    std::vector<std::string> programs;
    ASSERT_TRUE(Xscreensaver_Programs(Read_Text(Settings()), &programs));
    EXPECT_EQ(programs.size(), 3u);
    EXPECT_EQ(programs.back(), "\"Calvorine\"  /home/u/.local/share/Calvorine.scr --root");

    fs::remove(windows + "/system.ini");
    const std::string before = Read_Text(Settings());
    EXPECT_EQ(Select_Calvorine_In_Xscreensaver(root.file("archive/calvorine-setup"), &listed, &failure), 0);
    EXPECT_EQ(failure, "no installed Calvorine found: install the package or run calvorine-setup first");
    Fail_File_Operation(FILE_WRITE, ".xscreensaver");
    EXPECT_EQ(Select_Calvorine_In_Xscreensaver(program, &listed, &failure), 0);
    EXPECT_EQ(failure, "writing " + Settings() + " FAILED");
    EXPECT_EQ(Read_Text(Settings()), before);
}

TEST_F(XscreensaverListingTest, TheFirstConfigurationRunListsCalvorineOnce) {
    const std::string marker = folder + "/xscreensaver_listed.txt";
    const std::string ours = "\"Calvorine\"  " + hack + " --root";
    const std::string listed_already = Xscreensaver_Select_Hack(user_settings, "Calvorine", "/elsewhere/calvorine");
    const struct {
        const char* what;
        std::string program;
        const char* settings;  // null: no ~/.xscreensaver
        bool marked_before;
        Xscreensaver_Offer offer;
        bool marked_after;
        bool changed;
    } cases[] = {
        {"a build, not an installation", root.file("build/calvorine-saver"), user_settings, false, OFFER_NOTHING,
         false, false},
        {"XScreenSaver never ran", program, nullptr, false, OFFER_NOTHING, false, false},
        {"settings without Calvorine", program, user_settings, false, OFFER_LISTED, true, true},
        {"listed by the user already", program, listed_already.c_str(), false, OFFER_NOTHING, true, false},
        {"taken out again after an earlier run", program, user_settings, true, OFFER_NOTHING, true, false},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        fs::remove(Settings());
        fs::remove(Settings() + ".bak");
        fs::remove(marker);
        if (each.settings) Write_Text(Settings(), each.settings);
        if (each.marked_before) Write_Text(marker, "");
        std::string message;
        EXPECT_EQ(Offer_Xscreensaver_Listing(folder, each.program, &message), each.offer);
        EXPECT_EQ(fs::exists(marker), each.marked_after);
        if (!each.settings) {
            EXPECT_FALSE(fs::exists(Settings()));
            continue;
        }
        const std::string now = Read_Text(Settings());
        EXPECT_EQ(now != each.settings, each.changed);
        if (!each.changed) continue;
        std::vector<std::string> programs;
        ASSERT_TRUE(Xscreensaver_Programs(now, &programs));
        EXPECT_EQ(programs.back(), ours);
        EXPECT_EQ(Read_Text(Settings() + ".bak"), each.settings);
        EXPECT_NE(message.find("Calvorine is now XScreenSaver's display mode"), std::string::npos) << message;
        EXPECT_NE(message.find(Settings() + ".bak"), std::string::npos) << message;
    }

    // Settings that cannot be written are reported and stay as they were.
    fs::remove(marker);
    Write_Text(Settings(), user_settings);
    Fail_File_Operation(FILE_WRITE, ".xscreensaver");
    std::string message;
    EXPECT_EQ(Offer_Xscreensaver_Listing(folder, program, &message), OFFER_FAILED);
    EXPECT_EQ(message, "Offer_Xscreensaver_Listing(): writing " + Settings() + " FAILED");
    EXPECT_EQ(Read_Text(Settings()), user_settings);
    EXPECT_FALSE(fs::exists(marker));
}
