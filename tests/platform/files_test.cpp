#include "base/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/files.h"
#include "test_support.h"

namespace {

class DataFolderTest : public ProgramTest {
protected:
    void TearDown() override {
        Set_Windows_Directory("");
        ProgramTest::TearDown();
    }
    void Touch(const std::string& path) {
        FILE* file = fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr) << path;
        fclose(file);
    }
    TempFolder folder;
};

// Restores an environment variable when the test ends.
class Saved_Variable {
public:
    explicit Saved_Variable(const char* name) : name_(name) {
        const char* value = getenv(name);
        had_ = value != nullptr;
        if (had_) value_ = value;
    }
    ~Saved_Variable() {
        if (had_)
            setenv(name_, value_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    std::string value_;
};

std::vector<std::string> All_Matches(const std::string& pattern) {
    std::vector<std::string> names;
    std::string name;
    File_Search* search = Find_First_File(pattern.c_str(), &name);
    if (!search) return names;
    do names.push_back(name);
    while (Find_Next_File(search, &name));
    Find_Close(search);
    return names;
}

}  // namespace

TEST_F(DataFolderTest, WindowsDirectoryFollowsTheEnvironmentUnlessTheProgramSetsOne) {
    Saved_Variable data_home("XDG_DATA_HOME");
    Saved_Variable home("HOME");
    setenv("XDG_DATA_HOME", "/srv/data/", 1);
    EXPECT_EQ(Windows_Directory(), "/srv/data");
    EXPECT_EQ(Data_Folder(), "/srv/data/Calvorine");
    // A relative XDG_DATA_HOME is not a valid one; the home default applies.
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(Windows_Directory(), "/home/someone/.local/share");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(Windows_Directory(), "/home/someone/.local/share");
    Set_Windows_Directory(folder.path() + "/");
    EXPECT_EQ(Data_Folder(), folder.path() + "/Calvorine");
}

TEST_F(DataFolderTest, WildcardsIgnoreCase) {
    EXPECT_TRUE(Wildcard_Match("*.DAT", "default.dat"));
    EXPECT_TRUE(Wildcard_Match("*.DAT", "Sunset.Dat"));
    EXPECT_TRUE(Wildcard_Match("*.DAT", ".dat"));
    EXPECT_TRUE(Wildcard_Match("a*b*c", "aXbYbZc"));
    EXPECT_TRUE(Wildcard_Match("?.bmp", "1.BMP"));
    EXPECT_FALSE(Wildcard_Match("*.DAT", "default.dat~"));
    EXPECT_FALSE(Wildcard_Match("*.DAT", "notes.data"));
    EXPECT_FALSE(Wildcard_Match("?.bmp", "12.bmp"));
}

TEST_F(DataFolderTest, SearchesGiveRegularFilesInOneSortedOrder) {
    for (const char* name : {"b.dat", "A.DAT", "c.Dat", "readme.txt"}) Touch(folder.file(name));
    ASSERT_EQ(mkdir(folder.file("folder.dat").c_str(), 0755), 0);
    EXPECT_EQ(All_Matches(folder.path() + "/*.DAT"), (std::vector<std::string>{"A.DAT", "b.dat", "c.Dat"}));
    EXPECT_TRUE(All_Matches(folder.path() + "/*.BMP").empty());
    EXPECT_TRUE(All_Matches(folder.path() + "/missing/*.DAT").empty());
    Find_Close(nullptr);
}

TEST_F(DataFolderTest, PathsAreFoundWhateverTheirCase) {
    ASSERT_EQ(mkdir(folder.file("Calvorine").c_str(), 0755), 0);
    Touch(folder.file("Calvorine/DEFAULT.DAT"));
    EXPECT_EQ(Match_Path_Case(folder.path() + "/calvorine/default.dat"), folder.path() + "/Calvorine/DEFAULT.DAT");
    // A file about to be made keeps its own name in the folder as it is on disk.
    EXPECT_EQ(Match_Path_Case(folder.path() + "/CALVORINE/new.dat"), folder.path() + "/Calvorine/new.dat");
    EXPECT_EQ(File_Exists((folder.path() + "/calvorine/Default.dat").c_str()), 1);
    EXPECT_EQ(Folder_Exists((folder.path() + "/CALVORINE").c_str()), 1);
    EXPECT_EQ(All_Matches(folder.path() + "/calvorine/*.dat"), (std::vector<std::string>{"DEFAULT.DAT"}));
}

TEST_F(DataFolderTest, FoldersAreNotFilesAndFilesAreNotFolders) {
    Touch(folder.file("plain"));
    EXPECT_EQ(File_Exists(folder.file("plain").c_str()), 1);
    EXPECT_EQ(Folder_Exists(folder.file("plain").c_str()), 0);
    EXPECT_EQ(File_Exists(folder.path().c_str()), 0);
    EXPECT_EQ(Folder_Exists(folder.path().c_str()), 1);
    EXPECT_EQ(File_Exists(folder.file("absent").c_str()), 0);
    EXPECT_EQ(File_Exists(""), 0);
}

TEST(ReplacementNames, OnlyTheSaversOwnNewFilesHaveTheirForm) {
    const struct {
        const char* name;
        int expected;
    } cases[] = {
        {".default.dat.Ab3dE9", 1}, {".Mandala.DAT.x0Y1z2", 1}, {".7.bmp.QQQQQQ", 1}, {".a.BMP.000000", 1},
        {"default.dat.Ab3dE9", 0},   // not hidden
        {".default.dat.Ab3dE", 0},   // five letters
        {".default.dat.Ab3dE99", 0}, // seven
        {".default.dat.Ab-dE9", 0},  // not a letter or digit
        {".notes.txt.Ab3dE9", 0},    // neither a preset nor a picture
        {"..dat.Ab3dE9", 0},         // no name before the extension
        {".default.dat", 0},         {".calvorine-Ab3dE9", 0}, {"", 0}, {".", 0},
    };
    for (const auto& each : cases) EXPECT_EQ(Is_Replacement_Name(each.name), each.expected) << each.name;
}

TEST(ReplacementNames, TheStartUpSweepTakesOnlyAbandonedOnesOfThisFolder) {
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string stale = folder.file(".default.dat.Ab3dE9"), other = folder.file(".Mine.DAT.zzzzzz");
    std::ofstream(stale) << "a save killed half-way";
    std::ofstream(other) << "another";
    fs::create_directories(folder.file("Data"));
    std::ofstream(folder.file("Data/.default.dat.Ab3dE9")) << "below";
    std::ofstream(folder.file("outside.DAT")) << "the target";
    fs::create_symlink(folder.file("outside.DAT"), folder.file(".link.DAT.abcdef"));
    // A save going on now holds its new file.
    Replacement* running = Begin_Replacement(folder.file("Live.DAT"));
    ASSERT_NE(running, nullptr);

    EXPECT_EQ(Remove_Stale_Replacements(folder.path()), 2);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_FALSE(fs::exists(other));
    EXPECT_TRUE(fs::exists(folder.file("Data/.default.dat.Ab3dE9")));
    EXPECT_TRUE(fs::is_symlink(folder.file(".link.DAT.abcdef")));
    EXPECT_TRUE(fs::exists(folder.file("outside.DAT")));

    // The running save still completes.
    ASSERT_TRUE(Replacement_Write(running, "12345", 5));
    EXPECT_EQ(Commit_Replacement(running), 1);
    EXPECT_EQ(fs::file_size(folder.file("Live.DAT")), 5u);
    EXPECT_EQ(Remove_Stale_Replacements(folder.path()), 0);
    EXPECT_EQ(Remove_Stale_Replacements(folder.file("missing")), 0);
}
