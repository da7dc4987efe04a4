// The window procedure: what each window message and each key does.
#include "shell/window_procedure.h"

#include <cstdio>
#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/window.h"
#include "preset/menu.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "preset/random_preset_timer.h"
#include "shell/frame_driver.h"
#include "shell/lifecycle.h"
#include "shell/menu_commands.h"
#include "shell/saver_duties.h"
#include "slides/colour_slides.h"
#include "slides/slide_objects.h"
#include "text/font.h"
#include "text/titles.h"

int32_t last_client_width = -1, last_client_height = -1;
// The size kind of the last size message; none before the first message.
static constexpr uintptr_t NO_SIZE_KIND = UINTPTR_MAX;
static uintptr_t last_size_kind = NO_SIZE_KIND;

// The effects' own flags say whether each is set up.
static bool Kaleidoscope_Active() { return kaleidoscope_active != 0; }
static bool Slides_Active() { return slides_active != 0; }

// Every way to end the program goes through the destroy message.
static void Post_Destroy() { Platform_Post_Message(app.main_window, WM_DESTROY, 0, 0); }

// ---------------------------------------------------------------------------
// The shut-down.

static void Destroy_Handler() {
    // The quit message is on its way; a second destroy finds nothing to do.
    if (app.shutdown_done) return;
    // A host guards its own screen: a hosted saver asks for no password.
    if (app.saver_mode == SAVER && !app.hosted && !Verify_Password(app.preview_parent)) return;
    if (app.saver_mode != PREVIEW) Platform_Release_Saver_Running();

    // The configuration run's settings become the next run's default preset:
    // the last one shown, never one that has not drawn a frame.
    std::string prefix = app.windows_prefix.empty() ? Windows_Directory() + "/" : app.windows_prefix;
    std::string default_path = prefix + DATA_FOLDER_NAME + "/default.dat";
    if (app.saver_mode == CONFIGURE && !Save_Default_Plasma()) {
        std::string text = "Unable to write file " + default_path;
        Report_Error(text.c_str());
    }

    Shutdown();
    Close_Error_Log_File();
    Platform_Post_Quit_Message(0);
    app.shutdown_done = true;
}

// ---------------------------------------------------------------------------
// Sizing.

// The effects follow a new drawing area once the user has finished sizing.
static void Resize_Effects() {
    if (Kaleidoscope_Active() && !Slides_Active()) {
        Shutdown_Kaleidoscope();
        if (!Setup_Kaleidoscope(app.client_width, app.client_height))
            Report_Error("WM_SIZE: Setup_Kaleidoscope FAILED");
    } else if (Slides_Active()) {
        Restore_All_Objects();
        Modify_Plasma(PLASMA_SLIDES_ON, 0.0f, 0);
        Modify_Plasma(PLASMA_SLIDES_ON, 1.0f, 0);
    } else {
        Modify_Plasma(PLASMA_WIDTH, static_cast<float>(app.client_width), 0);
        Modify_Plasma(PLASMA_HEIGHT, static_cast<float>(app.client_height), 1);
    }
    if (scope_active) {
        Shutdown_Scope();
        if (!Setup_Scope(app.client_width, app.client_height, -1)) Report_Error("WM_SIZE: Setup_Scope FAILED");
    }
}

// The host's window changed size: the display is built anew at the new
// size, with the preset carried across.
static void Follow_Host_Size(Window* window) {
    Rect client;
    if (!GetClientRect(window, &client)) return;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0 || (width == app.screen_width && height == app.screen_height)) return;
    Backup_Plasma_Settings();
    app.screen_width = width;
    app.screen_height = height;
    if (!Rebuild_Full_Screen_Display()) {
        Report_Error("WM_SIZE: Setup FAILED");
        Post_Destroy();
        return;
    }
    if (!Restore_Plasma_Settings()) {
        Report_Error("WM_SIZE: Restore_Plasma_Settings FAILED");
        Post_Destroy();
    }
}

static void On_Size(Window* window, uintptr_t kind) {
    if (app.saver_mode == PREVIEW) return;
    if (app.hosted) {
        Follow_Host_Size(window);
        return;
    }
    if (app.display_mode == DISPLAY_WINDOWED && app.saver_mode != SAVER) {
        Rect client;
        if (!GetClientRect(window, &client)) {
            Report_Error("WM_SIZE: GetClientRect FAILED");
            return;
        }
        app.client_width = client.right - client.left;
        app.client_height = client.bottom - client.top;
    } else {
        app.client_width = app.screen_width;
        app.client_height = app.screen_height;
    }
    // Maximising, and restoring a maximised or minimised window, end no
    // drag: the effects follow at once. A restored window that keeps getting
    // new sizes is being dragged; the window layer sends the end of the
    // sizing when the drag stops, and the effects are rebuilt once, then.
    const bool kind_changed = kind != last_size_kind;
    last_size_kind = kind;
    if (kind == SIZE_MAXIMIZED || (kind == SIZE_RESTORED && kind_changed))
        Platform_Send_Message(window, WM_EXITSIZEMOVE, 0, 0);
}

static void On_Exit_Size_Move() {
    if (app.saver_mode == PREVIEW) return;
    if (app.client_width == last_client_width && app.client_height == last_client_height) return;
    last_client_width = app.client_width;
    last_client_height = app.client_height;
    Resize_Effects();
}

// Back to the configuration window; a failure ends the program.
static void Return_To_Window() {
    Full_Screen_Step failed_step = FULL_SCREEN_DONE;
    if (Leave_Full_Screen(&failed_step)) return;
    if (failed_step == FULL_SCREEN_RESTORE) {
        Report_Error("VK_SPACE/VK_RETURN: Restore_Plasma_Settings FAILED");
    } else {
        Report_Error("VK_SPACE/VK_RETURN: Setup FAILED");
    }
    Post_Destroy();
}

static void On_Kill_Focus() {
    if (app.hosted) return;
    if (app.saver_mode == SAVER) {
        Post_Destroy();
    } else if (app.display_mode == DISPLAY_FULL_SCREEN) {
        // Another window came in front of a full-screen configuration.
        Return_To_Window();
    }
}

// ---------------------------------------------------------------------------
// The keys.

// Keys 6, 7 and 8: the symmetry, which the slides and the kaleidoscope
// would fold over again, so both go first.
static void Key_Symmetry(int symmetry) {
    if (plasma_settings.slides_on) Modify_Plasma(PLASMA_SLIDES_ON, 0.0f, 0);
    if (Kaleidoscope_Active()) Modify_Plasma(PLASMA_KALEIDOSCOPE_ON, 0.0f, 0);
    Modify_Plasma(PLASMA_SYMMETRY, static_cast<float>(symmetry), 0);
    Refresh_Plasma();
}

static void On_Key(unsigned key) {
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        if (app.display_mode == DISPLAY_FULL_SCREEN) {
            if (app.saver_mode == SAVER) {
                Post_Destroy();
            } else {
                Return_To_Window();
            }
        }
        break;
    case VK_ESCAPE: Post_Destroy(); break;
    case '1': app.show_fps = true; break;
    case '2': app.show_fps = false; break;
    case '3':
    case '4':
        // A circle (3) or an ellipse (4) over the picture.
        Shutdown_Scope();
        if (app.screen_bpp != 8 && !Setup_Scope(app.client_width, app.client_height, static_cast<int>(key - '3'))) {
            Report_Error(key == '3' ? "WM_KEYDOWN: '3' Setup_Scope FAILED" : "WM_KEYDOWN: '4' Setup_Scope_FAILED");
        }
        break;
    case '5':
        if (scope_active) Shutdown_Scope();
        break;
    case '6':
    case '7':
    case '8': Key_Symmetry(static_cast<int>(key - '6')); break;
    case '9':
        if (!Kaleidoscope_Active()) {
            Clear(Visible);
            Clear(Hidden);
            Modify_Plasma(PLASMA_SYMMETRY, 0.0f, 0);
            Modify_Plasma(PLASMA_KALEIDOSCOPE_ON, 1.0f, 0);
            Refresh_Plasma();
        }
        break;
    case '0':
        if (Kaleidoscope_Active()) {
            Shutdown_Kaleidoscope();
            Modify_Plasma(PLASMA_WIDTH, static_cast<float>(app.client_width), 0);
            Modify_Plasma(PLASMA_KALEIDOSCOPE_ON, 0.0f, 0);
            Modify_Plasma(PLASMA_HEIGHT, static_cast<float>(app.client_height), 0);
            Refresh_Plasma();
        }
        break;
    case 'R':
    case VK_F3:
        // A new random preset every minute, with a quick transition.
        random_preset_seconds = 60;
        transition_step = 4;
        Update_Random_Preset_Timer(1);
        Refresh_Plasma();
        break;
    case VK_ADD:
        Clear(Hidden);
        Show_A_Random_Preset();
        Clear(Visible);
        break;
    case 'T':
    case VK_F5:
        if (!Setup_Title(plasma_settings.title, PROGRAM_FONT)) {
            Report_Formatted("Setup_Title() %s FAILED", plasma_settings.title);
        }
        break;
    default:
        // Any key without a command of its own ends the running saver.
        if (app.saver_mode == SAVER) Post_Destroy();
        break;
    }
    Update_Menu_Checks();
}

// ---------------------------------------------------------------------------
// The procedure.

intptr_t Main_Window_Procedure(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam) {
    if (last_client_width < 0) {
        last_client_width = app.client_width;
        last_client_height = app.client_height;
        last_size_kind = NO_SIZE_KIND;
    }
    // Once shut down, nothing is left to react with: the quit message is
    // already waiting behind whatever came before it.
    if (app.shutdown_done && message != WM_GETMINMAXINFO) return 0;

    switch (message) {
    case WM_DESTROY: Destroy_Handler(); return 0;
    case WM_SIZE: On_Size(window, wparam); return 0;
    case WM_EXITSIZEMOVE: On_Exit_Size_Move(); return 0;
    case WM_KILLFOCUS: On_Kill_Focus(); return 0;
    case WM_CLOSE: Post_Destroy(); return 0;
    case WM_ACTIVATEAPP:
        // A preview and a hosted saver draw whether or not they are active.
        app.running = app.saver_mode == PREVIEW || app.hosted || wparam == 1 || wparam == 2;
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
        if (!info) return 0;
        // Room for the menu and a usable picture below it.
        constexpr int MIN_CLIENT_WIDTH = 200;
        constexpr int MIN_CLIENT_HEIGHT = 256;
        info->min_track_size.x = 2 * Platform_System_Metric(SM_CXFRAME) + MIN_CLIENT_WIDTH;
        info->min_track_size.y = 2 * Platform_System_Metric(SM_CYFRAME) + Platform_System_Metric(SM_CYMENU) +
                                 Platform_System_Metric(SM_CYCAPTION) + MIN_CLIENT_HEIGHT;
        return 0;
    }
    case WM_KEYDOWN:
        if (app.saver_mode != PREVIEW && !app.hosted) On_Key(static_cast<unsigned>(wparam));
        return 0;
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        // The menu's commands, and the system asking for a screen saver
        // while this one runs.
        if (Menu_Command(wparam)) return 0;
        return Platform_Default_Window_Procedure(window, message, wparam, lparam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (app.saver_mode == SAVER && !app.hosted) Post_Destroy();
        return 0;
    default: return Platform_Default_Window_Procedure(window, message, wparam, lparam);
    }
}
