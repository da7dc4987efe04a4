// The application-wide state: one record for the whole run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct Window;

// How the command line started the saver.
enum Saver_Mode : int {
    MODE_NONE = 0,        // an unrecognised switch: behaves as CONFIGURE, with the differences of the entry code
    CONFIGURE = 1,        // configuration window with the menu
    CHANGE_PASSWORD = 2,  // the password-change dialog alone
    PREVIEW = 3,          // live preview inside a given window
    SAVER = 4,            // the running screen saver
};

constexpr int DISPLAY_FULL_SCREEN = 1;
constexpr int DISPLAY_WINDOWED = 2;

// Operating-system codes.
constexpr int OS_UNKNOWN = 0;
constexpr int OS_WIN32S = 1;
constexpr int OS_WINDOWS_95 = 2;
constexpr int OS_WINDOWS_98 = 3;
constexpr int OS_WINDOWS_NT = 4;
constexpr int OS_WINDOWS_2000 = 5;

struct AppState {
    int saver_mode = MODE_NONE;
    int operating_system = OS_UNKNOWN;
    uintptr_t preview_parent = 0;  // window number from /p or /a
    bool hosted = false;           // SAVER drawn into a host's window (a screen-saver daemon's)
    uintptr_t host_window = 0;     // that window's X number
    std::string windows_prefix;    // the Windows directory and a separator
    void* instance = nullptr;
    Window* main_window = nullptr;
    void* menu = nullptr;
    void* arrow_cursor = nullptr;
    int32_t screen_width = 1024, screen_height = 768, screen_bpp = 32;
    int32_t client_width = 0, client_height = 0;
    int32_t system_width = 0, system_height = 0, system_bpp = 0;
    int display_mode = DISPLAY_WINDOWED;
    bool check_colour_depth = true;
    bool running = true;
    bool shutdown_done = false;
    bool show_fps = false;
    bool system_memory_surfaces = false;
    bool vsync = true;  // wait for the vertical blank before each presentation copy

    // The error log and the one-line notice.
    bool error_log_enabled = false;
    std::string error_log_path;
    FILE* error_log_file = nullptr;
    bool screen_notice_pending = false;
    std::string screen_notice_text;
};

// The one application state, defined in base/app_state.cpp.
extern AppState app;

// Puts the whole record back to its start-of-program values (tests, and a
// fresh start of the saver's entry code). An open log file is closed first.
void Reset_App_State();
