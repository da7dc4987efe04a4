// The installer played without a screen: the dialogs are answered by a
// hook, the system's version is injected, and file operations are made to
// fail where a test says. Each test builds a small package folder, works
// from inside it as the installer does, and installs into a temporary
// Windows directory and home.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog_box.h"
#include "platform/install_files.h"
#include "platform/system.h"
#include "platform/window.h"
#include "setup/installer.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// The dialogs' answers, in order, and the dialogs that were shown.
std::vector<int> answers;
std::vector<std::string> shown;

intptr_t Answer_Dialog(const Dialog_Template& dialog_template, Dialog_Procedure procedure, intptr_t parameter) {
    shown.push_back(dialog_template.name);
    int answer = CONSENT_ACCEPT;
    if (!answers.empty()) {
        answer = answers.front();
        answers.erase(answers.begin());
    }
    return Platform_Run_Dialog_Headless(dialog_template, procedure, parameter, &answer, 1);
}

class InstallerTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        answers.clear();
        shown.clear();
        Fail_File_Operation(FILE_COPY, "");
        platform_dialog_hook = Answer_Dialog;
        saver_build_output_path.clear();
        Platform_Inject_Version(VERSION_HOST);

        package = root.file("package");
        windows = root.file("windows");
        home = root.file("home");
        marker = root.file("config-started.txt");
        fs::create_directories(home);
        // The saver stands in as a script that says how it was started.
        Write_Text(package + "/Calvorine.dat", "#!/bin/sh\necho \"$@\" > '" + marker + "'\n");
        chmod((package + "/Calvorine.dat").c_str(), 0755);
        Write_Test_Package(package, {"Classic.DAT", "Mandala.DAT"});
        Write_Text(package + "/Calvorine/Data/Bmp/Objects/1.bmp", "object 1");

        const char* old_home = std::getenv("HOME");
        saved_home = old_home ? old_home : "";
        setenv("HOME", home.c_str(), 1);
        Use_Windows_Directory(windows);
        char here[4096];
        saved_directory = getcwd(here, sizeof here) ? here : "/";
        ASSERT_EQ(chdir(package.c_str()), 0);
    }

    void TearDown() override {
        if (chdir(saved_directory.c_str()) != 0) ADD_FAILURE() << "cannot return to " << saved_directory;
        setenv("HOME", saved_home.c_str(), 1);
        Use_Windows_Directory("");
        platform_dialog_hook = nullptr;
        platform_file_fault_hook = nullptr;
        Platform_Inject_Version(VERSION_HOST);
        // Read-only folders must go with the temporary tree.
        std::error_code ignored;
        for (auto& entry : fs::recursive_directory_iterator(root.path(), ignored)) {
            if (entry.is_directory(ignored))
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        ProgramTest::TearDown();
    }

    std::string Installed(const std::string& name) { return windows + "/Calvorine/" + name; }

    // The error box's text, then the "Message" box, as every failed step shows them.
    void Expect_Failure_Boxes(const std::string& text) {
        ASSERT_EQ(platform_boxes.size(), 2u);
        EXPECT_EQ(platform_boxes[0].caption, "Error");
        EXPECT_EQ(platform_boxes[0].text, text);
        EXPECT_EQ(platform_boxes[1].caption, "Message");
        EXPECT_EQ(platform_boxes[1].text, "An error occurred attempting to install Calvorine");
        ASSERT_FALSE(platform_sounds.empty());
        EXPECT_EQ(platform_sounds[0], "Include/Error.wav");
    }

    // The started saver's arguments, once the detached process has written them.
    // The stand-in's shell makes the file before it writes the line: wait
    // for the whole line (up to 5 seconds, for slow machines).
    std::string Config_Arguments() {
        std::string line = Read_Text(marker);
        for (int i = 0; i < 250 && (line.empty() || line.back() != '\n'); i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            line = Read_Text(marker);
        }
        return line;
    }

    TempFolder root;
    std::string package, windows, home, marker;
    std::string saved_home, saved_directory;
};

}  // namespace

TEST_F(InstallerTest, AFullInstallationCopiesRegistersAndOpensTheConfiguration) {
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);

    EXPECT_EQ(shown, (std::vector<std::string>{"REQUIREMENTSBOX", "WARNINGBOX", "DISCLAIMERBOX", "SUCCESSBOX"}));
    EXPECT_TRUE(platform_boxes.empty()) << platform_boxes[0].text;
    const std::string saver = windows + "/Calvorine.scr";
    EXPECT_EQ(access(saver.c_str(), X_OK), 0);
    EXPECT_EQ(Read_Text(Installed("Classic.DAT")), "classic preset");
    EXPECT_EQ(Read_Text(Installed("Mandala.DAT")), "mandala preset");
    EXPECT_EQ(Read_Text(Installed("Data/Help.HLP")), "help");
    EXPECT_EQ(Read_Text(Installed("Data/Bmp/About.bmp")), "about");
    EXPECT_EQ(Read_Text(Installed("Data/Bmp/Font.bmp")), "font");
    EXPECT_EQ(Read_Text(Installed("Data/Bmp/Objects/1.bmp")), "object 1");
    EXPECT_EQ(Read_Text(Installed("Data/Bmp/Overlays/Heart.bmp")), "heart");
    EXPECT_TRUE(fs::is_directory(Installed("Data/Frame Converter")));

    EXPECT_EQ(Read_Text(windows + "/system.ini"), "[boot]\nSCRNSAVE.EXE=" + saver + "\n");
    const std::string settings = Read_Text(home + "/.xscreensaver");
    EXPECT_NE(settings.find("mode:\t\tone\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("selected:\t\t0\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("\"Calvorine\"  " + saver + " --root"), std::string::npos) << settings;
    EXPECT_FALSE(fs::exists(home + "/.xscreensaver.bak"));
    EXPECT_EQ(fs::read_symlink(home + "/.local/bin/calvorine-saver").string(), saver);
    EXPECT_EQ(Config_Arguments(), "/c\n");
}

TEST_F(InstallerTest, DecliningAnyConsentEndsWithoutTouchingTheDisk) {
    const std::vector<std::string> dialogs{"REQUIREMENTSBOX", "WARNINGBOX", "DISCLAIMERBOX"};
    for (size_t declined = 0; declined < dialogs.size(); declined++) {
        SCOPED_TRACE(dialogs[declined]);
        shown.clear();
        answers.assign(declined, CONSENT_ACCEPT);
        answers.push_back(CONSENT_DECLINE);
        EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
        EXPECT_TRUE(install_cancelled);
        EXPECT_EQ(shown, std::vector<std::string>(dialogs.begin(), dialogs.begin() + static_cast<long>(declined) + 1));
        EXPECT_FALSE(fs::exists(windows));
        EXPECT_TRUE(fs::is_empty(home));
        EXPECT_TRUE(platform_boxes.empty());
        EXPECT_FALSE(fs::exists(marker));
    }
}

TEST_F(InstallerTest, ADialogThatCannotBeShownIsNoConsent) {
    platform_dialog_hook = nullptr;  // no window layer in this test: nothing can be shown
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
    EXPECT_TRUE(install_cancelled);
    EXPECT_FALSE(fs::exists(windows));
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text, "DialogBoxParam REQUIREMENTSBOX FAILED");
}

TEST_F(InstallerTest, OnlyWindows95And98And2000AreAccepted) {
    const struct {
        Version_Answer answer;
        bool accepted;
    } cases[] = {
        {VERSION_95, true},      {VERSION_98, true},       {VERSION_HOST, true},  {VERSION_NT4, false},
        {VERSION_WIN32S, false}, {VERSION_UNKNOWN, false}, {VERSION_FAIL, false},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(static_cast<int>(each.answer));
        Platform_Inject_Version(each.answer);
        shown.clear();
        platform_boxes.clear();
        answers = {CONSENT_DECLINE};
        EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
        if (each.accepted) {
            EXPECT_EQ(shown, std::vector<std::string>{"REQUIREMENTSBOX"});
            EXPECT_TRUE(platform_boxes.empty());
        } else {
            EXPECT_TRUE(shown.empty());
            // Only the refusal: no "Message" box follows it.
            ASSERT_FALSE(platform_boxes.empty());
            EXPECT_EQ(platform_boxes.back().caption, "Error");
            EXPECT_EQ(platform_boxes.back().text, "Calvorine only runs on Windows 95, 98 and 2000");
        }
    }
}

TEST_F(InstallerTest, AnExistingFolderIsReusedAndAnUnwritableOneFailsItsStep) {
    fs::create_directories(Installed("Data/Bmp"));
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);

    // A read-only Data folder: the saver and the presets are in, the help file is not.
    fs::remove_all(windows);
    fs::create_directories(Installed("Data"));
    chmod(Installed("Data").c_str(), 0555);
    platform_boxes.clear();
    EXPECT_EQ(Install_Calvorine(), INSTALL_FAILED);
    Expect_Failure_Boxes("CreateDirectory " + Installed("Data") + " FAILED");
    EXPECT_TRUE(fs::exists(windows + "/Calvorine.scr"));
    EXPECT_TRUE(fs::exists(Installed("Mandala.DAT")));
    EXPECT_FALSE(fs::exists(Installed("Data/Help.HLP")));
    EXPECT_FALSE(fs::exists(windows + "/system.ini"));

    // A file where the data folder should be fails the first folder step.
    fs::permissions(Installed("Data"), fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(windows);
    Write_Text(windows + "/Calvorine", "not a folder");
    platform_boxes.clear();
    EXPECT_EQ(Install_Calvorine(), INSTALL_FAILED);
    Expect_Failure_Boxes("CreateDirectory " + windows + "/Calvorine FAILED");
    EXPECT_FALSE(fs::exists(windows + "/Calvorine.scr"));
}

TEST_F(InstallerTest, APackageWithoutOverlaysFailsAfterTheCopiesAndBeforeRegistration) {
    fs::remove_all(package + "/Calvorine/Data/Bmp/Overlays");
    EXPECT_EQ(Install_Calvorine(), INSTALL_FAILED);
    Expect_Failure_Boxes("FindFirstFile Overlays.bmp returned INVALID_HANDLE_VALUE");
    EXPECT_TRUE(fs::exists(windows + "/Calvorine.scr"));
    EXPECT_TRUE(fs::exists(Installed("Classic.DAT")));
    EXPECT_TRUE(fs::exists(Installed("Data/Help.HLP")));
    EXPECT_TRUE(fs::exists(Installed("Data/Bmp/Font.bmp")));
    EXPECT_TRUE(fs::exists(Installed("Data/Bmp/Objects/0.bmp")));
    EXPECT_TRUE(fs::is_directory(Installed("Data/Bmp/Overlays")));
    EXPECT_FALSE(fs::exists(windows + "/system.ini"));
    EXPECT_FALSE(fs::exists(home + "/.xscreensaver"));
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "SUCCESSBOX"), 0);
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(InstallerTest, EachFailedCopyNamesItsStep) {
    const struct {
        File_Operation operation;
        const char* path;
        std::string text;
    } cases[] = {
        {FILE_COPY, "Calvorine.scr", "CopyFile to " + windows + "/Calvorine.scr FAILED"},
        {FILE_LINK, "calvorine-saver",
         "Link " + home + "/.local/bin/calvorine-saver to " + windows + "/Calvorine.scr FAILED"},
        {FILE_COPY, "Mandala.DAT", "CopyFile Calvorine/Mandala.DAT to " + windows + "/Calvorine/Mandala.DAT FAILED"},
        {FILE_CREATE_DIRECTORY, "Frame Converter", "CreateDirectory " + Installed("Data/Frame Converter") + " FAILED"},
        {FILE_COPY, "Help.HLP", "CopyFile Calvorine\\Data\\Help.HLP to " + Installed("Data/Help.HLP") + " FAILED"},
        {FILE_COPY, "About.bmp",
         "CopyFile Calvorine\\Data\\Bmp\\About.bmp to " + Installed("Data/Bmp/About.bmp") + " FAILED"},
        {FILE_COPY, "Font.bmp",
         "CopyFile Calvorine\\Data\\Bmp\\Font.bmp to " + Installed("Data/Bmp/Font.bmp") + " FAILED"},
        {FILE_COPY, "1.bmp",
         "CopyFile Calvorine/Data/Bmp/Objects/1.bmp to " + Installed("Data/Bmp/Objects/1.bmp") + " FAILED"},
        {FILE_COPY, "Heart.bmp",
         "CopyFile Calvorine/Data/Bmp/Overlays/Heart.bmp to " + Installed("Data/Bmp/Overlays/Heart.bmp") + " FAILED"},
        {FILE_WRITE, "system.ini", "WritePrivateProfileString SCRNSAVE.EXE to " + windows + "/system.ini FAILED"},
        {FILE_WRITE, ".xscreensaver", "SystemParametersInfo SPI_SETSCREENSAVEACTIVE FAILED"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.path);
        fs::remove_all(windows);
        // Settings that already select the saver are left as they are, so
        // each case starts without the ones an earlier case wrote.
        fs::remove(home + "/.xscreensaver");
        platform_boxes.clear();
        platform_sounds.clear();
        Fail_File_Operation(each.operation, each.path);
        EXPECT_EQ(Install_Calvorine(), INSTALL_FAILED);
        Expect_Failure_Boxes(each.text);
        EXPECT_EQ(std::count(shown.begin(), shown.end(), "SUCCESSBOX"), 0);
    }
}

TEST_F(InstallerTest, ReinstallingOverwritesAndRemovesTheDefaultPresetAndTheIntroductionMarker) {
    Write_Text(Installed("Classic.DAT"), "an older classic preset, longer than the new one");
    Write_Text(Installed("default.dat"), "the user's default");
    Write_Text(Installed("no_intro.txt"), "");
    Write_Text(Installed("Data/Bmp/Font.bmp"), "an older font");
    Write_Text(windows + "/Calvorine.scr", "an older saver");

    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
    EXPECT_EQ(Read_Text(Installed("Classic.DAT")), "classic preset");
    EXPECT_EQ(Read_Text(Installed("Data/Bmp/Font.bmp")), "font");
    EXPECT_EQ(Read_Text(windows + "/Calvorine.scr"), Read_Text(package + "/Calvorine.dat"));
    EXPECT_FALSE(fs::exists(Installed("default.dat")));
    EXPECT_FALSE(fs::exists(Installed("no_intro.txt")));
}

TEST_F(InstallerTest, TheBuiltSaverRefreshesThePackageFirst) {
    Write_Text(root.file("built-saver"), "#!/bin/sh\necho built \"$@\" > '" + marker + "'\n");
    chmod(root.file("built-saver").c_str(), 0755);
    saver_build_output_path = root.file("built-saver");
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
    EXPECT_EQ(Read_Text(package + "/Calvorine.dat"), Read_Text(root.file("built-saver")));
    EXPECT_EQ(Read_Text(windows + "/Calvorine.scr"), Read_Text(root.file("built-saver")));
    EXPECT_EQ(Config_Arguments(), "built /c\n");

    // A build output path that does not exist changes nothing.
    saver_build_output_path = root.file("nothing-here");
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
}

TEST_F(InstallerTest, RegistrationKeepsEverythingElseInSystemIniAndTheXscreensaverSettings) {
    const std::string ini =
        "[boot]\r\nshell=Explorer.exe\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n\r\n[drivers]\r\nwave=mmdrv.dll\r\n";
    Write_Text(windows + "/system.ini", ini);
    const std::string settings =
        "timeout:\t0:10:00\n"
        "lock:\t\tTrue\n"
        "mode:\t\trandom\n"
        "selected:\t\t3\n"
        "programs:\t\t\t\t\\\n"
        "\t\t\t\tmaze -root\t\t\t\\n\\\n"
        "  GL:\t\t\t\tsuperquadrics -root\t\\n\\\n"
        "-\t\t\"Calvorine\"  /old/Calvorine.scr --root\t\\n\\\n"
        "\t\t\t\tdeco -root\t\t\t\\n\n"
        "pointerHysteresis:\t10\n";
    Write_Text(home + "/.xscreensaver", settings);

    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
    const std::string saver = windows + "/Calvorine.scr";
    EXPECT_EQ(Read_Text(windows + "/system.ini"),
              "[boot]\r\nshell=Explorer.exe\r\nSCRNSAVE.EXE=" + saver + "\r\n\r\n[drivers]\r\nwave=mmdrv.dll\r\n");

    EXPECT_EQ(Read_Text(home + "/.xscreensaver.bak"), settings);
    const std::string written = Read_Text(home + "/.xscreensaver");
    std::vector<std::string> programs;
    ASSERT_TRUE(Xscreensaver_Programs(written, &programs));
    EXPECT_EQ(programs, (std::vector<std::string>{"maze -root", "GL:\t\t\t\tsuperquadrics -root",
                                                  "\"Calvorine\"  " + saver + " --root", "deco -root"}));
    for (const char* kept :
         {"timeout:\t0:10:00\n", "lock:\t\tTrue\n", "pointerHysteresis:\t10\n", "mode:\t\tone\n", "selected:\t\t2\n"}) {
        EXPECT_NE(written.find(kept), std::string::npos) << kept << " in\n" << written;
    }
    EXPECT_EQ(written.find("random"), std::string::npos);
}

TEST_F(InstallerTest, TheConsentProcedureAnswersOnlyItsTwoButtons) {
    Dialog dialog;
    install_cancelled = false;
    EXPECT_EQ(Consent_Dialog_Procedure(&dialog, WM_INITDIALOG, 0, 0), 1);
    EXPECT_EQ(Consent_Dialog_Procedure(&dialog, WM_COMMAND, 3, 0), 0);
    EXPECT_FALSE(dialog.ended);
    EXPECT_EQ(Consent_Dialog_Procedure(&dialog, WM_COMMAND, CONSENT_ACCEPT, 0), 1);
    EXPECT_TRUE(dialog.ended);
    EXPECT_FALSE(install_cancelled);
    Dialog second;
    EXPECT_EQ(Consent_Dialog_Procedure(&second, WM_COMMAND, CONSENT_DECLINE, 0), 1);
    EXPECT_TRUE(second.ended);
    EXPECT_TRUE(install_cancelled);
    // The flag stays set: a later dialog's first button does not clear it.
    Dialog third;
    Consent_Dialog_Procedure(&third, WM_COMMAND, CONSENT_ACCEPT, 0);
    EXPECT_TRUE(install_cancelled);
}

TEST(InstallerDialogs, TheTemplatesCarryTheirCaptionsAndButtons) {
    const struct {
        const Dialog_Template* dialog_template;
        const char* caption;
        const char* accept;
        const char* decline;
    } cases[] = {
        {&REQUIREMENTSBOX, "Install Calvorine Screensaver", "&Install", "&Don't Install"},
        {&WARNINGBOX, "WARNING!", "&Continue ", "&Quit"},
        {&DISCLAIMERBOX, "Important:- Please Read Before Continuing.", "I &Agree", "&Cancel"},
        {&SUCCESSBOX, "Install Successful", "OK", nullptr},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.caption);
        EXPECT_STREQ(each.dialog_template->caption, each.caption);
        EXPECT_STREQ(each.dialog_template->font_name, "MS Sans Serif");
        EXPECT_EQ(each.dialog_template->font_points, 8);
        std::string accept, decline;
        for (int i = 0; i < each.dialog_template->control_count; i++) {
            const Dialog_Control& control = each.dialog_template->controls[i];
            if (control.kind == CONTROL_DEFAULT_BUTTON && control.id == CONSENT_ACCEPT) accept = control.text;
            if (control.kind == CONTROL_BUTTON && control.id == CONSENT_DECLINE) decline = control.text;
        }
        EXPECT_EQ(accept, each.accept);
        EXPECT_EQ(decline, each.decline ? each.decline : "");
    }
}

TEST_F(InstallerTest, ReinstallingNeverReplacesTheBackupOfTheUsersOwnSettings) {
    const std::string own = "timeout:\t0:10:00\nmode:\t\trandom\nprograms:\t\tmaze -root\n";
    Write_Text(home + "/.xscreensaver", own);
    // Three installations: the second finds its own choice already made;
    // before the third the user picked another mode again.
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
    const std::string installed = Read_Text(home + "/.xscreensaver");
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
    EXPECT_EQ(Read_Text(home + "/.xscreensaver"), installed);
    EXPECT_FALSE(fs::exists(home + "/.xscreensaver.bak.1")) << "nothing changed, nothing backed up";
    std::string changed = installed + "lock:\t\tTrue\n";
    changed.replace(changed.find("mode:\t\tone"), std::strlen("mode:\t\tone"), "mode:\t\tblank");
    Write_Text(home + "/.xscreensaver", changed);
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);

    EXPECT_EQ(Read_Text(home + "/.xscreensaver.bak"), own);
    EXPECT_EQ(Read_Text(home + "/.xscreensaver.bak.1"), changed);
    EXPECT_FALSE(fs::exists(home + "/.xscreensaver.bak.2"));
}

TEST(XscreensaverBackups, TheFirstFreeNameAndNoneWhenAllAreTaken) {
    const struct {
        int taken;  // .bak, then .bak.1 to .bak.(taken - 1)
        const char* expected;
    } cases[] = {
        {0, "/h/.xscreensaver.bak"},
        {1, "/h/.xscreensaver.bak.1"},
        {3, "/h/.xscreensaver.bak.3"},
        {MOST_XSCREENSAVER_BACKUPS, "/h/.xscreensaver.bak.99"},
        {MOST_XSCREENSAVER_BACKUPS + 1, ""},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.taken);
        auto taken = [&](const std::string& path) {
            if (path == "/h/.xscreensaver.bak") return each.taken >= 1;
            const int number = std::stoi(path.substr(std::string("/h/.xscreensaver.bak.").size()));
            return number < each.taken;
        };
        EXPECT_EQ(Xscreensaver_Backup_Path("/h/.xscreensaver", taken), each.expected);
    }
}

TEST_F(InstallerTest, AFailedInstallationLeavesTheSaversNameWhereItPointed) {
    // Each step after the saver's copy that can fail.
    const struct {
        File_Operation operation;
        const char* path;
    } cases[] = {
        {FILE_COPY, "Mandala.DAT"},
        {FILE_COPY, "Help.HLP"},
        {FILE_COPY, "Heart.bmp"},
        {FILE_WRITE, "system.ini"},
        {FILE_WRITE, ".xscreensaver"},
    };
    const std::string link = home + "/.local/bin/calvorine-saver";
    for (const auto& each : cases) {
        SCOPED_TRACE(each.path);
        fs::remove_all(windows);
        fs::remove_all(home + "/.local");
        fs::create_directories(home + "/.local/bin");
        fs::create_symlink("/usr/bin/calvorine-saver", link);
        Fail_File_Operation(each.operation, each.path);
        EXPECT_EQ(Install_Calvorine(), INSTALL_FAILED);
        EXPECT_EQ(fs::read_symlink(link).string(), "/usr/bin/calvorine-saver");
    }
    // The same installation without the fault moves it.
    Fail_File_Operation(FILE_COPY, "");
    EXPECT_EQ(Install_Calvorine(), INSTALL_DONE);
    EXPECT_EQ(fs::read_symlink(link).string(), windows + "/Calvorine.scr");
}
