// The saver's shell on the memory-only display: a complete data folder of
// its own (font, About picture, objects), a headless window record, the log
// switched on, the mouse fed by the test, and every shell global back at its
// start for each test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_generator.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/file_dialog.h"
#include "platform/system.h"
#include "platform/window.h"
#include "preset/dialog_values.h"
#include "preset/menu.h"
#include "preset/preset_files.h"
#include "preset/random_preset_timer.h"
#include "shell/frame_driver.h"
#include "shell/lifecycle.h"
#include "shell/menu_commands.h"
#include "shell/saver_duties.h"
#include "shell/saver_entry.h"
#include "shell/window_procedure.h"
#include "test_support.h"

// The movement the test's mouse reports at the next reading.
inline int test_mouse_dx = 0, test_mouse_dy = 0;
inline void Test_Mouse(int* dx, int* dy) {
    *dx = test_mouse_dx;
    *dy = test_mouse_dy;
    test_mouse_dx = test_mouse_dy = 0;
}

class ShellTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Reset_Shell();
        setenv("XDG_RUNTIME_DIR", windows.path().c_str(), 1);
        // No system-wide installation of the machine running the tests
        // reaches a test: the system's data folders are the test's own.
        const char* data_dirs = std::getenv("XDG_DATA_DIRS");
        had_data_dirs = data_dirs != nullptr;
        saved_data_dirs = data_dirs ? data_dirs : "";
        setenv("XDG_DATA_DIRS", windows.file("system").c_str(), 1);
        folder = Make_Test_Data_Folder(windows.path());
        Use_Windows_Directory(windows.path());
        pointer_delta_source = Test_Mouse;
        Platform_Register_Window_Class(WINDOW_CLASS_NAME, Main_Window_Procedure);
        Set_Default_Plasma_Settings();
    }

    void TearDown() override {
        Shutdown();
        Platform_Release_Saver_Running();
        EXPECT_EQ(DD_Live_Surface_Count(), 0);
        Reset_Shell();
        pointer_delta_source = Platform_Read_Pointer_Delta;
        Platform_Inject_Version(VERSION_HOST);
        Use_Windows_Directory("");
        if (had_data_dirs) {
            setenv("XDG_DATA_DIRS", saved_data_dirs.c_str(), 1);
        } else {
            unsetenv("XDG_DATA_DIRS");
        }
        ProgramTest::TearDown();
    }

    static void Reset_Shell() {
        Release_Input_Devices();
        mouse_state = Mouse_State{};
        pointer_x = pointer_y = last_pointer_x = last_pointer_y = 0;
        test_mouse_dx = test_mouse_dy = 0;
        last_client_width = last_client_height = -1;
        random_preset_seconds = 0;
        transition_step = 10;
        random_preset_countdown = 0.0;
        random_transition_kind = 2;
        random_preset_countdown_started = false;
        about_shown = false;
        fixed_frame_seconds = 0.0;
        last_random_index = 0;
        random_presets_change_mode = false;
        Release_Test_Effects();
        plasma_field_0 = plasma_field_1 = plasma_field_2 = PlasmaField{};
        Load_Menu();
        current_file[0] = '\0';
        Reset_Dialog_Values();
        Platform_Reset_File_Dialog();
    }

    // The log on, in the data folder, freshly stamped.
    void Open_Log() {
        app.error_log_enabled = true;
        app.error_log_path = folder + "/error_log.txt";
        ASSERT_EQ(Stamp_Date_And_Title_To_Saver_Error_Log_File("Calvorine Error Log File\r\n"), 1);
    }

    // The log's records, one per line.
    std::vector<std::string> Log_Lines() {
        std::ifstream file(folder + "/error_log.txt", std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        std::vector<std::string> lines;
        std::string line;
        std::istringstream records(text.str());
        while (std::getline(records, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) lines.push_back(line);
        }
        return lines;
    }

    // Position of a record in the log, -1 when it is not there.
    int Log_Position(const std::string& record) {
        std::vector<std::string> lines = Log_Lines();
        for (size_t i = 0; i < lines.size(); i++) {
            if (lines[i] == record) return static_cast<int>(i);
        }
        return -1;
    }

    // The desktop and the window record for a mode, as the start-up leaves them.
    void Prepare(int mode, int width = 64, int height = 48, int depth = 32) {
        app.saver_mode = mode;
        dd_config.desktop_width = app.system_width = app.screen_width = width;
        dd_config.desktop_height = app.system_height = app.screen_height = height;
        dd_config.desktop_bpp = app.system_bpp = app.screen_bpp = depth;
        window.client_width = app.client_width = width;
        window.client_height = app.client_height = height;
        app.main_window = &window;
        app.windows_prefix = windows.path() + "/";
        app.display_mode = mode == SAVER ? DISPLAY_FULL_SCREEN : DISPLAY_WINDOWED;
        if (mode == CONFIGURE || mode == MODE_NONE) app.menu = menu_101;
    }

    // Writes the current preset as `name` in the data folder.
    void Save_Preset(const std::string& name) {
        ASSERT_EQ(Save_Plasma_Settings_To_File((folder + "/" + name).c_str()), 1);
    }

    bool Destroy_Posted() {
        Posted_Message message;
        while (Platform_Peek_Message(&message, true)) {
            if (message.message == WM_DESTROY) return true;
        }
        return false;
    }

    intptr_t Key(unsigned key) { return Main_Window_Procedure(&window, WM_KEYDOWN, key, 1); }

    long File_Size(const std::string& path) {
        FILE* file = fopen(path.c_str(), "rb");
        if (!file) return -1;
        fseek(file, 0, SEEK_END);
        long size = ftell(file);
        fclose(file);
        return size;
    }

    TempFolder windows;
    std::string folder;
    std::string saved_data_dirs;  // the environment's system data folders, put back at the end
    bool had_data_dirs = false;
    Window window;
};
