// Help > Instructions, System Info and About.
#include "shell_fixture.h"

#include "platform/help.h"
#include "preset/preset_setter.h"
#include "resources/dialog_templates.h"
#include "shell/information_dialogs.h"

namespace {

class InformationTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Prepare(CONFIGURE, 64, 48);
        Open_Log();
        ASSERT_EQ(::Setup(), 1);
        ASSERT_EQ(Refresh_Plasma(), 1);
        platform_opened_dialogs.clear();
    }
    void TearDown() override {
        platform_dialog_driver = nullptr;
        platform_message_box_hook = nullptr;
        platform_help_text.clear();
        ShellTest::TearDown();
    }
    void Command(int id) { Main_Window_Procedure(&window, WM_COMMAND, static_cast<uintptr_t>(id), 0); }
};

std::vector<unsigned> about_answers;
std::string boxed_text;

}  // namespace

TEST_F(InformationTest, InstructionsShowTheHelpFileOrSayTheyCannot) {
    Command(MENU_HELP_INFORMATION);
    EXPECT_GE(Log_Position("MENU_HELP_INFORMATION: Win Help() FAILED"), 0);
    FILE* file = fopen((folder + "/Data/Help.HLP").c_str(), "wb");
    fputs("MENUS\nPresets > Open\n", file);
    fclose(file);
    Command(MENU_HELP_INFORMATION);
    EXPECT_EQ(platform_help_text, "MENUS\nPresets > Open\n");
}

TEST_F(InformationTest, SystemInfoNamesTheThreeMemories) {
    Dialog dialog = Platform_Make_Dialog(INFOBOX, Info_Dialog_Procedure);
    Platform_Send_Dialog_Message(&dialog, WM_INITDIALOG, 0, 0);
    EXPECT_EQ(Platform_Get_Dialog_Item_Text(&dialog, INFO_VIDEO_RAM).rfind("Video ram free ", 0), 0u);
    EXPECT_EQ(Platform_Get_Dialog_Item_Text(&dialog, INFO_SYSTEM_RAM).rfind("Total system ram ", 0), 0u);
    const std::string objects = Platform_Get_Dialog_Item_Text(&dialog, INFO_OBJECTS_RAM);
    EXPECT_EQ(objects.rfind("Objects occupy ", 0), 0u);
    EXPECT_NE(objects.find(" Mb of system ram"), std::string::npos);
    Platform_Send_Dialog_Message(&dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(dialog.ended);
    Command(MENU_HELP_SYSTEM_INFO);
    EXPECT_EQ(platform_opened_dialogs, std::vector<std::string>{"INFOBOX"});
}

TEST_F(InformationTest, TheAboutPicturePaintsAndAClickClosesIt) {
    platform_dialog_driver = [](Dialog* dialog) {
        about_answers.clear();
        about_answers.push_back(static_cast<unsigned>(Platform_Send_Dialog_Message(dialog, WM_PAINT, 0, 0)));
        EXPECT_NE(about_picture, nullptr);
        Platform_Send_Dialog_Message(dialog, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        EXPECT_TRUE(dialog->ended);
    };
    Command(MENU_HELP_ABOUT);
    EXPECT_EQ(platform_opened_dialogs, std::vector<std::string>{"ABOUTBOX"});
    EXPECT_EQ(about_answers, std::vector<unsigned>{1});
    EXPECT_EQ(about_picture, nullptr);  // released after the dialog

    // Without the picture: the one-line About text instead, and 0.
    ASSERT_EQ(std::remove((folder + "/Data/Bmp/About.bmp").c_str()), 0);
    app.error_log_enabled = false;
    platform_message_box_hook = [](Window*, const char* text, const char*, unsigned) {
        boxed_text = text;
        return 1;
    };
    platform_opened_dialogs.clear();
    EXPECT_EQ(About_Dialog_Box(), 0);
    EXPECT_TRUE(platform_opened_dialogs.empty());
    EXPECT_NE(boxed_text.find("Calvorine"), std::string::npos);
}
