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
        platform_control_dialog_driver = nullptr;
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
    Control_Dialog dialog = Platform_Make_Control_Dialog(INFOBOX, Info_Dialog_Procedure);
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
    platform_control_dialog_driver = [](Control_Dialog* dialog) {
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

TEST_F(InformationTest, TheObjectEditorWritesEachChangeIntoTheCurrentObject) {
    ASSERT_GE(objects_loaded, 2);
    PlasmaSettings& s = plasma_settings;
    current_object = 0;
    Control_Dialog dialog = Platform_Make_Control_Dialog(SLIDEOBJECTSBOX, Slide_Objects_Dialog_Procedure);
    Platform_Send_Dialog_Message(&dialog, WM_INITDIALOG, 0, 0);
    EXPECT_EQ(Platform_Dialog_Control(&dialog, OBJECTS_SELECTOR_SCROLL)->maximum, objects_loaded - 1);
    EXPECT_EQ(Platform_Send_Dialog_Message(&dialog, WM_PAINT, 0, 0), 1);
    auto scroll = [&](int id, int code, int thumb = 0) {
        return Platform_Send_Dialog_Message(&dialog, WM_HSCROLL, static_cast<uintptr_t>(code | (thumb << 16)), id);
    };
    auto press = [&](int id) { Platform_Send_Dialog_Message(&dialog, WM_COMMAND, id, 0); };

    // Every change lands in the current object at once; the speed pages by 10.
    scroll(OBJECTS_SPEED_SCROLL, SB_LEFT);
    scroll(OBJECTS_SPEED_SCROLL, SB_PAGERIGHT);
    EXPECT_EQ(s.object_speed[0], 10.0);
    scroll(OBJECTS_FREQUENCY_SCROLL, SB_RIGHT);
    scroll(OBJECTS_FREQUENCY_SCROLL, SB_LINERIGHT);
    EXPECT_EQ(s.object_frequency[0], 200);
    scroll(OBJECTS_ANIMATION_SCROLL, SB_THUMBTRACK, 321);
    EXPECT_EQ(s.object_animation_speed[0], 321.0);

    press(OBJECTS_DESELECT);
    EXPECT_EQ(s.object_selected[0], 0);
    EXPECT_EQ(s.object_frequency[0], 0);
    press(OBJECTS_SELECT);
    EXPECT_EQ(s.object_selected[0], 1);
    EXPECT_EQ(s.object_frequency[0], 1);
    EXPECT_TRUE(Platform_Is_Dialog_Button_Checked(&dialog, OBJECTS_SELECTED));

    // The next object brings its own values; All gives it the current ones.
    s.object_frequency[1] = 7;
    EXPECT_EQ(scroll(OBJECTS_SELECTOR_SCROLL, SB_LINERIGHT), 1);
    EXPECT_EQ(current_object, 1);
    EXPECT_EQ(Platform_Get_Scroll_Pos(&dialog, OBJECTS_FREQUENCY_SCROLL), 7);
    scroll(OBJECTS_SELECTOR_SCROLL, SB_RIGHT);
    EXPECT_EQ(current_object, objects_loaded - 1);
    press(OBJECTS_NONE);
    for (int type = 0; type < objects_loaded; type++) {
        EXPECT_EQ(s.object_selected[type], 0);
        EXPECT_EQ(s.object_speed[type], 0.0);
    }
    press(ID_DEFAULT);
    EXPECT_EQ(current_object, 0);
    for (int type = 0; type < objects_loaded; type++) {
        EXPECT_EQ(s.object_selected[type], 1);
        EXPECT_EQ(s.object_frequency[type], 1);
        EXPECT_EQ(s.object_animation_speed[type], 250.0);
        EXPECT_EQ(s.object_speed[type], 50.0);
    }
    scroll(OBJECTS_FREQUENCY_SCROLL, SB_THUMBPOSITION, 30);
    press(OBJECTS_ALL);
    for (int type = 0; type < objects_loaded; type++) EXPECT_EQ(s.object_frequency[type], 30);
    press(IDOK);
    EXPECT_TRUE(dialog.ended);
}
