// The command line, the operating-system check, the start-up's early exits
// and the main loop's ending, headless.
#include "preset/preset_setter.h"
#include "shell_fixture.h"

#include <sys/stat.h>

namespace {

class EntryTest : public ShellTest {};

struct Form {
    const char* line;
    int mode;
    uintptr_t parent;
};

}  // namespace

TEST_F(EntryTest, EveryFormOfTheCommandLine) {
    const Form forms[] = {
        {"calvorine-saver /p 1234", PREVIEW, 1234},
        {"calvorine-saver -P:1234", PREVIEW, 1234},
        {"calvorine-saver /l1234", PREVIEW, 1234},
        {"calvorine-saver /p: :  77 88", PREVIEW, 77},
        {"calvorine-saver /p", PREVIEW, 0},
        {"calvorine-saver /p 12ab", PREVIEW, 12},
        {"calvorine-saver /p 99999999999999999999999999", PREVIEW, UINTPTR_MAX},
        {"calvorine-saver /s", SAVER, 0},
        {"calvorine-saver /S", SAVER, 0},
        {"calvorine-saver -s", SAVER, 0},
        {"calvorine-saver s", SAVER, 0},
        {"calvorine-saver /c:1234", CONFIGURE, 0},
        {"calvorine-saver /c", CONFIGURE, 0},
        {"calvorine-saver -C 55", CONFIGURE, 0},
        {"calvorine-saver", CONFIGURE, 0},
        {"calvorine-saver    ", CONFIGURE, 0},
        {"", CONFIGURE, 0},
        {"calvorine-saver /a 4321", CHANGE_PASSWORD, 4321},
        {"calvorine-saver -A:4321", CHANGE_PASSWORD, 4321},
        {"calvorine-saver /x", MODE_NONE, 0},
        {"calvorine-saver /", MODE_NONE, 0},
        {"calvorine-saver --data-dir", MODE_NONE, 0},
        // A quoted program path is skipped whole, blanks and all.
        {"\"C:\\Program Files\\Calvorine.scr\" /s", SAVER, 0},
        {"\"/opt/my saver/calvorine-saver\" /p 5", PREVIEW, 5},
        {"\"/opt/my saver/calvorine-saver\"", CONFIGURE, 0},
        {"\"unterminated /s", CONFIGURE, 0},
        {"calvorine-saver\t/s", SAVER, 0},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.line);
        app.preview_parent = 0;
        EXPECT_EQ(Parse_Command_Line(form.line), form.mode);
        EXPECT_EQ(app.preview_parent, form.parent);
    }
    EXPECT_EQ(Parse_Command_Line(nullptr), CONFIGURE);
}

TEST_F(EntryTest, EveryVersionAnswerHasItsCode) {
    const std::pair<Version_Answer, int> answers[] = {
        {VERSION_HOST, OS_WINDOWS_2000}, {VERSION_95, OS_WINDOWS_95}, {VERSION_98, OS_WINDOWS_98},
        {VERSION_NT4, OS_WINDOWS_NT},    {VERSION_WIN32S, OS_WIN32S}, {VERSION_UNKNOWN, OS_UNKNOWN},
    };
    for (auto [answer, code] : answers) {
        Platform_Inject_Version(answer);
        app.operating_system = -1;
        EXPECT_EQ(Determine_Operating_System(), 1);
        EXPECT_EQ(app.operating_system, code);
    }
    Platform_Inject_Version(VERSION_FAIL);
    app.operating_system = OS_WINDOWS_98;
    EXPECT_EQ(Determine_Operating_System(), 0);
    EXPECT_EQ(app.operating_system, OS_WINDOWS_98);
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text, "Determine_Operating_System(): GetVersionEx FAILED");
}

TEST_F(EntryTest, AMissingDataFolderStopsTheConfigurationLoudlyAndTheSaverSilently) {
    Set_Windows_Directory(windows.file("nowhere"));
    EXPECT_EQ(Calvorine_Main("calvorine-saver /c"), 0);
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text, "WinMain(): calvorine folder doesn't exist - Please RE-INSTALL");
    EXPECT_EQ(platform_boxes[0].caption, "Error");

    Platform_Reset_Records();
    Reset_App_State();
    EXPECT_EQ(Calvorine_Main("calvorine-saver /s"), 0);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(EntryTest, ALogThatCannotBeMadeStopsTheConfigurationLoudlyAndTheSaverSilently) {
    // A folder where the log file should be: the log cannot be created.
    ASSERT_EQ(mkdir((folder + "/error_log.txt").c_str(), 0755), 0);
    EXPECT_EQ(Calvorine_Main("calvorine-saver /c"), 0);
    ASSERT_EQ(platform_boxes.size(), 2u);
    EXPECT_EQ(platform_boxes[0].text, "Save_Error_Log_To_File() CreateFile FILE FAILED");
    EXPECT_EQ(platform_boxes[1].text, "Setup(): Stamp_Date_And_Title_To_Saver_Error_Log_File FAILED");

    // Over the running saver or inside the preview no box appears.
    for (const char* line : {"calvorine-saver /s", "calvorine-saver /p 1234"}) {
        Platform_Reset_Records();
        Reset_App_State();
        Platform_Inject_Version(VERSION_98);
        EXPECT_EQ(Calvorine_Main(line), 0) << line;
        EXPECT_TRUE(platform_boxes.empty()) << line;
        EXPECT_TRUE(platform_sounds.empty()) << line;
        Platform_Release_Saver_Running();
    }
    Platform_Inject_Version(VERSION_HOST);
}

// The system's installation package, under the test's system data folder.
static std::string Make_System_Package(const std::string& system) {
    const std::string package = system + "/calvorine";
    Make_Test_Data_Folder(package);
    std::ofstream(package + "/Calvorine/Welcome.DAT") << "welcome preset";
    std::ofstream(package + "/Calvorine/Data/Help.HLP") << "help";
    std::ofstream(package + "/Calvorine/Data/Bmp/Overlays/Heart.bmp") << "heart";
    return package;
}

TEST_F(EntryTest, AMissingDataFolderIsSetUpFromTheSystemPackageAndTheLogSaysSo) {
    const std::string package = Make_System_Package(windows.file("system"));
    const std::string home = windows.file("new-user/.local/share");
    Set_Windows_Directory(home);
    // The start-up goes on past the data folder and ends at the screen.
    EXPECT_EQ(Calvorine_Main("calvorine-saver /c"), 0);
    EXPECT_EQ(File_Size(home + "/Calvorine/Welcome.DAT"), 14);
    EXPECT_TRUE(Folder_Exists((home + "/Calvorine/Data/Frame Converter").c_str()));
    std::ifstream log(home + "/Calvorine/error_log.txt");
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("WinMain(): calvorine folder set up from " + package), std::string::npos) << text;
    for (const Recorded_Box& box : platform_boxes) EXPECT_EQ(box.text.find("RE-INSTALL"), std::string::npos);
}

TEST_F(EntryTest, ABrokenSystemPackageStillEndsInTheReinstallMessage) {
    const std::string package = Make_System_Package(windows.file("system"));
    std::remove((package + "/Calvorine/Data/Help.HLP").c_str());
    const std::string home = windows.file("new-user/.local/share");
    Set_Windows_Directory(home);
    EXPECT_EQ(Calvorine_Main("calvorine-saver /c"), 0);
    ASSERT_EQ(platform_boxes.size(), 2u);
    EXPECT_EQ(platform_boxes[0].text.rfind("WinMain(): CopyFile Calvorine\\Data\\Help.HLP to ", 0), 0u)
        << platform_boxes[0].text;
    EXPECT_EQ(platform_boxes[1].text, "WinMain(): calvorine folder doesn't exist - Please RE-INSTALL");
    EXPECT_FALSE(Folder_Exists((home + "/Calvorine").c_str()));

    // The hack says nothing on the screen it does not own.
    Platform_Reset_Records();
    Reset_App_State();
    EXPECT_EQ(Calvorine_Main("calvorine-saver /s"), 0);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_FALSE(Folder_Exists((home + "/Calvorine").c_str()));
}

TEST_F(EntryTest, ThePreviewOfTheNtFiveFamilyEndsBeforeTheLog) {
    EXPECT_EQ(Calvorine_Main("calvorine-saver /p 1234"), 0);
    EXPECT_EQ(File_Size(folder + "/error_log.txt"), -1);
    EXPECT_TRUE(platform_boxes.empty());
}

TEST_F(EntryTest, ASecondSaverLeavesAtOnce) {
    ASSERT_TRUE(Platform_Claim_Saver_Running());
    EXPECT_EQ(Calvorine_Main("calvorine-saver /s"), 0);
    // It never got as far as the log.
    EXPECT_EQ(File_Size(folder + "/error_log.txt"), -1);
}

TEST_F(EntryTest, WithoutAScreenTheStartUpEndsWithItsReport) {
    // No window system is running in this test: the desktop cannot be measured.
    EXPECT_EQ(Calvorine_Main("calvorine-saver /c"), 0);
    int failed = Log_Position("Grab_Current_Screen_Dimensions(): FAILED");
    EXPECT_NE(failed, -1);
    EXPECT_EQ(Log_Position("WinMain(): Grab_Current_Screen_Dimensions FAILED"), failed + 1);
    EXPECT_EQ(Log_Position("Saver_Mode = CONFIGURE"), -1);
}

TEST_F(EntryTest, AQuitBeforeTheShutDownRunsTheShutDownFirst) {
    Prepare(CONFIGURE);
    Open_Log();
    ASSERT_EQ(::Setup(), 1);
    app.running = false;
    Platform_Post_Quit_Message(7);
    EXPECT_EQ(Run_Main_Loop(), 0);
    EXPECT_TRUE(app.shutdown_done);
    EXPECT_EQ(Direct_Draw_Interface, nullptr);
    EXPECT_EQ(File_Size(folder + "/default.dat"), static_cast<long>(sizeof(PlasmaSettings)));
}

TEST_F(EntryTest, AFailedFrameEndsTheLoopInAnOrderlyWay) {
    Prepare(MODE_NONE);
    Open_Log();
    ASSERT_EQ(::Setup(), 1);
    ASSERT_EQ(Refresh_Plasma(), 1);
    Release(Hidden);
    Hidden = nullptr;
    EXPECT_EQ(Run_Main_Loop(), 0);
    EXPECT_TRUE(app.shutdown_done);
    int failed = Log_Position("Run_Calvorine(): Draw_Plasma() FAILED");
    EXPECT_NE(failed, -1);
    EXPECT_GT(Log_Position("Exitting Shutdown"), failed);
    // No default preset outside the configuration switch.
    EXPECT_EQ(File_Size(folder + "/default.dat"), -1);
}
