// The installer's file services: attributes, copies, atomic writes with a
// backup, links, the profile writer and the XScreenSaver settings editor.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/install_files.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(Files, AttributesTellAUsableFolderFromEverythingElse) {
    TempFolder folder;
    const std::string plain = folder.file("plain"), locked = folder.file("locked"), file = folder.file("file");
    ASSERT_TRUE(Platform_Create_Directory(plain.c_str()));
    EXPECT_FALSE(Platform_Create_Directory(plain.c_str()));  // already there
    ASSERT_TRUE(Platform_Create_Directory(locked.c_str()));
    chmod(locked.c_str(), 0555);
    std::ofstream(file) << "x";
    EXPECT_EQ(Platform_Get_File_Attributes(plain.c_str()), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(Platform_Get_File_Attributes(locked.c_str()), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Platform_Get_File_Attributes(file.c_str()), FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(Platform_Get_File_Attributes(folder.file("missing").c_str()), INVALID_FILE_ATTRIBUTES);
    chmod(locked.c_str(), 0755);
}

TEST(Files, ACopyReplacesTheTargetWholeAndKeepsTheModeBits) {
    TempFolder folder;
    const std::string source = folder.file("source"), target = folder.file("target");
    std::ofstream(source) << "new";
    chmod(source.c_str(), 0751);
    std::ofstream(target) << "an older and longer file";
    ASSERT_TRUE(Platform_Copy_File(source.c_str(), target.c_str(), false));
    EXPECT_EQ(Read(target), "new");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0751u);
    EXPECT_FALSE(Platform_Copy_File(source.c_str(), target.c_str(), true));
    EXPECT_FALSE(Platform_Copy_File(folder.file("missing").c_str(), target.c_str(), false));
    // Nothing is left behind by the copies: only the two files.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

TEST(Files, AnAtomicWriteKeepsABackupAndThePermissions) {
    TempFolder folder;
    const std::string path = folder.file("settings"), backup = folder.file("settings.bak");
    ASSERT_TRUE(Platform_Write_File_Atomically(path.c_str(), "first", backup.c_str()));
    EXPECT_FALSE(fs::exists(backup));  // nothing to back up the first time
    chmod(path.c_str(), 0600);
    ASSERT_TRUE(Platform_Write_File_Atomically(path.c_str(), "second", backup.c_str()));
    EXPECT_EQ(Read(path), "second");
    EXPECT_EQ(Read(backup), "first");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(Files, ALinkReplacesAnOlderLinkButNeverAFile) {
    TempFolder folder;
    const std::string link = folder.file("bin/deeper/calvorine-saver");
    ASSERT_TRUE(Platform_Link_File("/first", link.c_str()));
    ASSERT_TRUE(Platform_Link_File("/second", link.c_str()));
    EXPECT_EQ(fs::read_symlink(link).string(), "/second");
    const std::string file = folder.file("bin/real");
    std::ofstream(file) << "mine";
    EXPECT_FALSE(Platform_Link_File("/second", file.c_str()));
    EXPECT_EQ(Read(file), "mine");
}

TEST(Profiles, AKeyIsSetInItsSectionAndNothingElseMoves) {
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[boot]\nSCRNSAVE.EXE=/s\n"},
        {"[boot]\nshell=x\n", "[boot]\nshell=x\nSCRNSAVE.EXE=/s\n"},
        {"[Boot]\nscrnsave.exe = old\nshell=x\n", "[Boot]\nSCRNSAVE.EXE=/s\nshell=x\n"},
        {"[boot]\nshell=x\n\n[drivers]\nwave=y\n", "[boot]\nshell=x\nSCRNSAVE.EXE=/s\n\n[drivers]\nwave=y\n"},
        {"[drivers]\nwave=y\n", "[drivers]\nwave=y\n\n[boot]\nSCRNSAVE.EXE=/s\n"},
        {"[boot]\r\nshell=x\r\n", "[boot]\r\nshell=x\r\nSCRNSAVE.EXE=/s\r\n"},
        {"[drivers]\nSCRNSAVE.EXE=not this one\n[boot]\n; a comment\n",
         "[drivers]\nSCRNSAVE.EXE=not this one\n[boot]\nSCRNSAVE.EXE=/s\n; a comment\n"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.before);
        EXPECT_EQ(Profile_Set_String(each.before, "boot", "SCRNSAVE.EXE", "/s"), each.after);
        std::string value;
        ASSERT_TRUE(Profile_Get_String(each.after, "BOOT", "scrnsave.exe", &value));
        EXPECT_EQ(value, "/s");
    }
    EXPECT_FALSE(Profile_Get_String("[drivers]\nSCRNSAVE.EXE=x\n", "boot", "SCRNSAVE.EXE", nullptr));
}

TEST(XscreensaverSettings, TheHackBecomesTheOneModeAndOtherProgramsStay) {
    const std::string command = Xscreensaver_Hack_Command("/home/a b/.local/share/Calvorine.scr");
    EXPECT_EQ(command, "'/home/a b/.local/share/Calvorine.scr' --root");

    // No settings yet: a minimal file with our hack alone.
    std::string minimal = Xscreensaver_Select_Hack("", "Calvorine", "/x/Calvorine.scr --root");
    std::vector<std::string> programs;
    ASSERT_TRUE(Xscreensaver_Programs(minimal, &programs));
    EXPECT_EQ(programs, std::vector<std::string>{"\"Calvorine\"  /x/Calvorine.scr --root"});
    EXPECT_NE(minimal.find("mode:\t\tone\n"), std::string::npos);
    EXPECT_NE(minimal.find("selected:\t\t0\n"), std::string::npos);

    // Selecting again replaces the entry instead of adding a second one.
    const std::string with_others = "programs:  maze -root \\n\\\n  - \"Calvorine\" /old --root \\n\\\n  deco -root\n";
    std::string again = Xscreensaver_Select_Hack(with_others, "Calvorine", "/x/Calvorine.scr --root");
    ASSERT_TRUE(Xscreensaver_Programs(again, &programs));
    EXPECT_EQ(programs,
              (std::vector<std::string>{"maze -root", "\"Calvorine\"  /x/Calvorine.scr --root", "deco -root"}));
    EXPECT_NE(again.find("selected:\t\t1\n"), std::string::npos);
    EXPECT_EQ(Xscreensaver_Select_Hack(again, "Calvorine", "/x/Calvorine.scr --root"), again);

    // A list without our hack gets it at the end.
    std::string appended = Xscreensaver_Select_Hack("programs: maze -root\nlock: False\n", "Calvorine", "/x --root");
    ASSERT_TRUE(Xscreensaver_Programs(appended, &programs));
    EXPECT_EQ(programs, (std::vector<std::string>{"maze -root", "\"Calvorine\"  /x --root"}));
    EXPECT_NE(appended.find("lock: False\n"), std::string::npos);
    EXPECT_NE(appended.find("selected:\t\t1\n"), std::string::npos);
}

namespace {
// The detached work: waits for the go-ahead file, then writes its process
// and its parent beside it.
struct Detached_Report {
    std::string go, report;
};
void Report_Detached(void* data) {
    const Detached_Report& paths = *static_cast<const Detached_Report*>(data);
    for (int i = 0; i < 500 && access(paths.go.c_str(), F_OK) != 0; i++) usleep(10000);
    std::ofstream(paths.report) << getpid() << " " << getppid() << " " << getsid(0);
}
}  // namespace

TEST(DetachedWork, RunsInAProcessOfItsOwnWithoutHoldingUpTheCaller) {
    TempFolder folder;
    Detached_Report paths{folder.file("go"), folder.file("report")};
    ASSERT_TRUE(Platform_Run_Detached(Report_Detached, &paths));
    // Back before the work could finish: it waits for this file.
    EXPECT_FALSE(std::filesystem::exists(paths.report));
    std::ofstream(paths.go) << "go";
    for (int i = 0; i < 500 && Read_Text(paths.report).empty(); i++) usleep(10000);
    std::ifstream report(paths.report);
    long pid = 0, parent = 0, session = 0;
    ASSERT_TRUE(report >> pid >> parent >> session);
    EXPECT_NE(pid, getpid());
    EXPECT_NE(parent, getpid());  // nobody's child here: no zombie to reap
    EXPECT_NE(session, getsid(0));  // a session of its own: a signal to ours misses it
    EXPECT_FALSE(Platform_Run_Detached(nullptr, nullptr));
}
