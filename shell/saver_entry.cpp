// The program's entry: the command line, the start-up in its fixed order,
// the main loop, and the small services around them.
#include "shell/saver_entry.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/package_files.h"
#include "graphics/display.h"
#include "plasma/plasma_settings.h"
#include "platform/files.h"
#include "platform/install_files.h"
#include "platform/window.h"
#include "preset/menu.h"
#include "preset/preset_files.h"
#include "preset/random_preset_timer.h"
#include "preset/window_caption.h"
#include "shell/frame_driver.h"
#include "shell/hosted.h"
#include "shell/lifecycle.h"
#include "shell/menu_commands.h"
#include "shell/saver_duties.h"
#include "shell/value_dialogs.h"
#include "shell/window_procedure.h"
#include "text/titles.h"

// ---------------------------------------------------------------------------
// The command line.

static bool Is_Blank(char c) { return c == ' ' || c == '\t'; }

static const char* Skip_Blanks(const char* p) {
    while (Is_Blank(*p)) p++;
    return p;
}

static const char* Skip_Blanks_And_Colons(const char* p) {
    while (Is_Blank(*p) || *p == ':') p++;
    return p;
}

// The leading digits as a window number; none give 0. A number too large
// for a window handle stays at the largest, which names no window.
static uintptr_t Read_Window_Number(const char* p) {
    uintptr_t number = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        uintptr_t digit = static_cast<uintptr_t>(*p - '0');
        if (number > (UINTPTR_MAX - digit) / 10) return UINTPTR_MAX;
        number = number * 10 + digit;
    }
    return number;
}

int Parse_Command_Line(const char* command_line) {
    const char* p = command_line ? command_line : "";
    // The program's own name comes first, quoted when it holds blanks.
    if (*p == '"') {
        p++;
        while (*p && *p != '"') p++;
    } else {
        while (*p && !Is_Blank(*p)) p++;
    }
    if (*p) p++;
    p = Skip_Blanks(p);
    if (!*p) return CONFIGURE;

    if (*p == '-' || *p == '/') p++;
    switch (std::tolower(static_cast<unsigned char>(*p))) {
    case 'p':
    case 'l': app.preview_parent = Read_Window_Number(Skip_Blanks_And_Colons(p + 1)); return PREVIEW;
    case 's': return SAVER;
    case 'c':
        // The display settings name their window here; the configuration
        // window is a top-level window of its own all the same.
        return CONFIGURE;
    case 'a': app.preview_parent = Read_Window_Number(Skip_Blanks_And_Colons(p + 1)); return CHANGE_PASSWORD;
    default: return MODE_NONE;
    }
}

// ---------------------------------------------------------------------------
// System facts, the window's place and style.

int Determine_Operating_System() {
    Version_Info version;
    if (!Platform_Get_Version(&version)) {
        Report_Error("Determine_Operating_System(): GetVersionEx FAILED");
        return 0;
    }
    switch (version.platform_id) {
    case VER_PLATFORM_WIN32s: app.operating_system = OS_WIN32S; break;
    case VER_PLATFORM_WIN32_WINDOWS: app.operating_system = version.minor == 0 ? OS_WINDOWS_95 : OS_WINDOWS_98; break;
    case VER_PLATFORM_WIN32_NT: app.operating_system = version.major <= 4 ? OS_WINDOWS_NT : OS_WINDOWS_2000; break;
    default: app.operating_system = OS_UNKNOWN; break;
    }
    return 1;
}

int Grab_Current_Screen_Dimensions(int* width, int* height, int* bpp) {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Grab_Current_Screen_Dimensions");
    int desktop_width = 0, desktop_height = 0, desktop_bpp = 0;
    if (!Platform_Desktop_Metrics(&desktop_width, &desktop_height, &desktop_bpp)) {
        Report_Error("Grab_Current_Screen_Dimensions(): FAILED");
        return 0;
    }
    *width = desktop_width;
    *height = desktop_height;
    *bpp = desktop_bpp;
    Trace_Exit(traced_once, "Grab_Current_Screen_Dimensions");
    return 1;
}

int Centre_Window(Window* window) {
    const int side = 2 * app.screen_height / 3;
    const int left = (app.screen_width - side) / 2;
    const int top = (app.screen_height - side) / 2;
    const int right = (side + app.screen_width) / 2;
    const int bottom = (side + app.screen_height) / 2;
    // Placing also makes this the window's normal place, out of any maximised state.
    Platform_Place_Window(window, left, top, right - left, bottom - top);
    Rect client;
    if (!GetClientRect(window, &client)) {
        Report_Error("Centre_Window: GetClientRect FAILED");
        return 0;
    }
    app.client_width = client.right - client.left;
    app.client_height = client.bottom - client.top;
    return 1;
}

int Apply_Display_Mode_To_Window() {
    Window* window = app.main_window;
    if (app.display_mode == DISPLAY_FULL_SCREEN) {
        // Frameless and on top, without the menu (the window layer hides
        // the menu bar of a pop-up) and without a pointer.
        Platform_Set_Window_Kind(window, WINDOW_POPUP);
        Platform_Place_Window(window, 0, 0, app.screen_width, app.screen_height);
        Platform_Show_Window(window, SW_SHOW);
        Platform_Set_Cursor_Shape(window, CURSOR_NONE);
        Platform_Show_Cursor(false);
    } else {
        Platform_Set_Window_Kind(window, WINDOW_OVERLAPPED);
        Platform_Show_Window(window, SW_SHOW);
        Centre_Window(window);
        Platform_Set_Cursor_Shape(window, CURSOR_ARROW);
        Platform_Show_Cursor(true);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Start-up.

// Creates the empty marker that says the introduction has been shown.
static void Mark_Introduction_Shown(const std::string& path) {
    // Hidden by its attribute on Windows; here the marker is simply present.
    FILE* marker = fopen(path.c_str(), "wb");
    if (!marker) {
        std::string text = "Win_Main(): CreateFile " + path + " FAILED";
        Report_Error(text.c_str());
        return;
    }
    fclose(marker);
}

// The operating system's line in the log.
static void Report_Operating_System() {
    switch (app.operating_system) {
    case OS_UNKNOWN: Report_Error("OS_UNKNOWN"); break;
    case OS_WINDOWS_95: Report_Error("Windows 95"); break;
    case OS_WINDOWS_98: Report_Error("Windows 98"); break;
    case OS_WINDOWS_NT: Report_Error("Windows NT"); break;
    case OS_WINDOWS_2000: Report_Error("Windows 2000"); break;
    default: break;  // the 16-bit host has no line of its own
    }
}

// Creates the window for the mode; false after a report.
static bool Create_Main_Window() {
    Window* window = nullptr;
    if (app.saver_mode == PREVIEW) {
        Rect parent_client;
        Point parent_origin;
        if (!Platform_Get_Foreign_Client_Rect(app.preview_parent, &parent_client, &parent_origin)) {
            // The host window gives its size and place in one answer here.
            Report_Error("Win_Main(): GetClientRect for Preview Window FAILED");
        }
        app.client_width = parent_client.right - parent_client.left;
        app.client_height = parent_client.bottom - parent_client.top;
        window =
            Platform_Create_Window(WINDOW_CHILD, "", 0, 0, app.client_width, app.client_height, app.preview_parent);
        if (!window) {
            Report_Error("WinMain(): Unable to create preview window");
            return false;
        }
    } else if (app.hosted) {
        // The host's window, filled whole; the host shows and hides it.
        app.client_width = app.screen_width;
        app.client_height = app.screen_height;
        window = Platform_Create_Window(WINDOW_HOSTED, "", 0, 0, app.screen_width, app.screen_height, app.host_window);
        if (!window) {
            Report_Error("WinMain():\n\nUnable to create window for app");
            return false;
        }
        app.display_mode = DISPLAY_FULL_SCREEN;
        Platform_Set_Cursor_Shape(window, CURSOR_NONE);
        Platform_Show_Cursor(false);
    } else if (app.saver_mode == SAVER) {
        app.client_width = app.screen_width;
        app.client_height = app.screen_height;
        window = Platform_Create_Window(WINDOW_POPUP, "", 0, 0, app.screen_width, app.screen_height, 0);
        if (!window) {
            Report_Error("WinMain():\n\nUnable to create window for app");
            return false;
        }
        app.display_mode = DISPLAY_FULL_SCREEN;
        Platform_Set_Cursor_Shape(window, CURSOR_NONE);
        Platform_Show_Cursor(false);
    } else {
        Load_Menu();
        app.menu = menu_101;
        const int side = 2 * app.screen_height / 3;
        app.client_width = app.client_height = side;
        window = Platform_Create_Window(WINDOW_OVERLAPPED, WINDOW_CAPTION, (app.screen_width - side) / 2,
                                        (app.screen_height - side) / 2, side, side, 0);
        if (!window) {
            Report_Error("WinMain():\n\nUnable to create window for app");
            return false;
        }
        Platform_Set_Menu(window, menu_101, MENU_ITEM_COUNT);
        Platform_Set_Cursor_Shape(window, CURSOR_ARROW);
        Platform_Show_Cursor(true);
        if (app.saver_mode == CONFIGURE) Platform_Set_Window_Icon(window, PROGRAM_ICON_RESOURCE);
    }
    app.main_window = window;
    return true;
}

// The host window's size as the screen's; 1, or 0 after a report.
static int Read_Host_Window_Size() {
    Rect client;
    Point origin;
    if (!Platform_Get_Foreign_Client_Rect(app.host_window, &client, &origin) || client.right <= client.left ||
        client.bottom <= client.top) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "WinMain(): GetClientRect for Host Window 0x%lx FAILED",
                 static_cast<unsigned long>(app.host_window));
        Report_Error(message_buffer);
        return 0;
    }
    app.screen_width = client.right - client.left;
    app.screen_height = client.bottom - client.top;
    return 1;
}

// What the detached copy of a first run needs; it lives in the copy's
// own process, so plain strings do.
struct Data_Folder_Copy {
    std::string package, building, folder;
};

static void Copy_Data_Folder(void* data) {
    const Data_Folder_Copy& copy = *static_cast<const Data_Folder_Copy*>(data);
    std::string failure;
    Finish_Data_Folder_Set_Up(copy.package, copy.building, copy.folder, &failure);
}

// Starts the copy of the package into the folder being built, renamed to
// the data folder when complete; when no process can be made for it, the
// copy is done here and now.
static void Start_Data_Folder_Copy(const std::string& package, const std::string& building,
                                   const std::string& folder) {
    Data_Folder_Copy copy{package, building, folder};
    if (!Platform_Run_Detached(Copy_Data_Folder, &copy)) Copy_Data_Folder(&copy);
}

// An early exit once the log is open: the record so far stays on the disk.
static int Leave_Early() {
    Close_Error_Log_File();
    return 0;
}

int Calvorine_Main(const char* command_line) {
    app.saver_mode = Parse_Command_Line(command_line);
    const bool silent = app.saver_mode == SAVER || app.saver_mode == PREVIEW;

    // A host runs one hack at a time itself: no single-instance check.
    if (app.saver_mode == SAVER && !app.hosted && IsSaverRunning()) return 0;
    // A running saver, full screen or hosted, gives way to the rest of the machine.
    if (app.saver_mode == SAVER) Platform_Lower_Priority();

    Determine_Operating_System();
    // The display settings of the NT 5 family run no previews.
    if (app.saver_mode == PREVIEW && app.operating_system == OS_WINDOWS_2000) return 0;

    const std::string folder = Data_Folder();
    // A system-wide installation keeps the package: a user who never ran
    // the installer gets the data folder from it, without being asked.
    std::string set_up_from, building;
    if (!Folder_Exists(folder.c_str())) {
        const std::string package = System_Package_Folder();
        std::string failure;
        if (!package.empty() && silent) {
            // The running saver must not keep the screen black while a slow
            // disk takes the copy: it draws from the package in place, logs
            // into the folder being built, and the copy goes on beside it
            // once the log is there.
            building = Begin_Data_Folder_Set_Up(folder, &failure);
            if (!building.empty()) {
                Set_Windows_Directory(package);
                set_up_from = package;
            }
        } else if (!package.empty()) {
            if (Set_Up_Data_Folder_From_Package(package, folder, &failure)) {
                set_up_from = package;
            } else if (!silent) {
                Report_Error(("WinMain(): " + failure).c_str());
            }
        }
    }
    if (building.empty() && !Folder_Exists(folder.c_str())) {
        if (!silent) Report_Error("WinMain(): calvorine folder doesn't exist - Please RE-INSTALL");
        return 0;
    }

    app.error_log_enabled = true;
    app.show_fps = false;
    app.error_log_path = (building.empty() ? folder : building) + "/error_log.txt";
    if (!Stamp_Date_And_Title_To_Saver_Error_Log_File("Calvorine Error Log File\r\n")) {
        if (!silent) Report_Error("Setup(): Stamp_Date_And_Title_To_Saver_Error_Log_File FAILED");
        if (!building.empty()) Platform_Remove_Tree(building.c_str());
        return Leave_Early();
    }
    // The open log moves with the folder when the copy renames it.
    if (!building.empty()) Start_Data_Folder_Copy(set_up_from, building, folder);
    Report_Operating_System();
    // Saves killed half-way leave their new files behind; nothing else ever
    // takes them away.
    if (const int stale = Remove_Stale_Replacements(folder)) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "WinMain(): %d unfinished saves removed", stale);
        Report_Error(message_buffer);
    }
    if (!set_up_from.empty()) {
        const std::string text = "WinMain(): calvorine folder set up from " + set_up_from;
        Report_Error(text.c_str());
    }

    int width = 0, height = 0, bpp = 0;
    if (!Grab_Current_Screen_Dimensions(&width, &height, &bpp)) {
        Report_Error("WinMain(): Grab_Current_Screen_Dimensions FAILED");
        return Leave_Early();
    }
    app.system_width = app.screen_width = width;
    app.system_height = app.screen_height = height;
    app.system_bpp = app.screen_bpp = bpp;
    snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "System Width %d System Height %d System_Bpp %d", app.system_width,
             app.system_height, app.system_bpp);
    Report_Error(message_buffer);

    // Also reads the data folder's prefix (windows_prefix); the answer is
    // only used by the running saver.
    Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &bpp);
    if (app.saver_mode == SAVER) {
        app.screen_width = width;
        app.screen_height = height;
        app.screen_bpp = bpp;
    }
    // A hosted saver draws at its host window's size, in the preset's depth.
    if (app.hosted && !Read_Host_Window_Size()) return Leave_Early();

    switch (app.saver_mode) {
    case PREVIEW: Report_Error("Saver_Mode = PREVIEW"); break;
    case SAVER: Report_Error("Saver_Mode = SAVER"); break;
    case CHANGE_PASSWORD: Change_Password(app.preview_parent); return Leave_Early();
    default: Report_Error("Saver_Mode = CONFIGURE"); break;
    }

    if (!Platform_Register_Window_Class(WINDOW_CLASS_NAME, Main_Window_Procedure)) {
        Report_Error("Win_Main(): RegisterClass FAILED");
        return Leave_Early();
    }
    if (!Create_Main_Window()) return Leave_Early();
    // A host ends its hack with a signal, perhaps while it is still setting
    // up, and started it however it liked: the shut-down runs in order at
    // the loop's first look.
    if (app.hosted) Platform_End_On_Ignored_Signals();

    if (app.saver_mode == CONFIGURE) {
        if (!Centre_Window(app.main_window)) {
            Report_Error("WinMain: Centre_Window FAILED");
            return Leave_Early();
        }
        const std::string marker = folder + "/no_intro.txt";
        if (!File_Exists(marker.c_str())) {
            Introduction_Dialog_Box();
            Mark_Introduction_Shown(marker);
        }
        // The package leaves the users' files alone; their first
        // configuration run puts Calvorine in XScreenSaver's list.
        std::string listing;
        switch (Offer_Xscreensaver_Listing(folder, Platform_Program_Path(), &listing)) {
        case OFFER_LISTED:
            Report_Error(("WinMain(): " + listing).c_str());
            Report_Message(listing.c_str());
            break;
        case OFFER_FAILED: Report_Error(listing.c_str()); break;
        default: break;
        }
    }

    random_presets_change_mode = true;
    if (!Setup()) {
        Report_Error("WinMain:Could not setup application");
        Shutdown();
        return Leave_Early();
    }
    Log_Memory_Statistics();
    if (app.saver_mode == SAVER && !app.hosted) Mouse_Has_Moved(1);
    if (app.saver_mode != PREVIEW && !app.hosted) Platform_Claim_Saver_Running();
    // The running saver can be ended from outside (an idle daemon's resume).
    if (app.saver_mode == SAVER && !app.hosted) Platform_Name_Saver_Process();

    Display_Default_Plasma();
    Update_Window_Title(plasma_settings.title);
    Arm_Random_Preset_Timer();
    if (app.hosted) Apply_Hack_Options(hack_options);
    const std::string preset_folder = app.windows_prefix + DATA_FOLDER_NAME + "/";
    Init_File_Dialog(app.main_window, preset_folder.c_str(), 1);

    Platform_Show_Window(app.main_window, SW_SHOWNORMAL);
    const long frames_before = frames_shown;
    const double started = static_cast<double>(Platform_Performance_Counter());
    const int exit_code = Run_Main_Loop();
    // For the on-screen benchmark: what was shown, counted by the program itself.
    if (Frame_Report_Wanted()) {
        const double frequency = static_cast<double>(Platform_Performance_Frequency());
        const double seconds =
            frequency > 0.0 ? (static_cast<double>(Platform_Performance_Counter()) - started) / frequency : 0.0;
        const long frames = frames_shown - frames_before;
        std::fprintf(stderr, "calvorine-saver: frames=%ld seconds=%.3f fps=%.1f\n", frames, seconds,
                     seconds > 0.0 ? frames / seconds : 0.0);
    }
    return exit_code;
}

// ---------------------------------------------------------------------------
// The main loop.

int Run_Main_Loop() {
    for (;;) {
        Platform_Pump_Events();
        Posted_Message message;
        if (Platform_Peek_Message(&message, true)) {
            if (message.message == WM_QUIT) {
                if (app.shutdown_done) return static_cast<int>(message.wparam);
                // A quit before the shut-down: the shut-down runs first.
                Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0);
            }
            Platform_Dispatch_Message(message);
            continue;
        }
        // After the shut-down only its quit message is still to come.
        if (app.running && !app.shutdown_done) {
            if (!Run_Calvorine()) Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0);
            continue;
        }
        if (!Platform_Wait_Message()) {
            Report_Error("WinMain(): WaitMessage FAILED");
            Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0);
        }
    }
}
