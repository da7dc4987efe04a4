// Setup and Shutdown, and the rebuilds between windowed and full-screen
// presentation. Every rebuild is the same four moves: keep the preset,
// release everything, build everything at the new size, bring the preset back.
#include "shell/lifecycle.h"

#include <cstdio>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "base/resolution.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/window.h"
#include "preset/preset_files.h"
#include "preset/preset_setter.h"
#include "shell/saver_duties.h"
#include "shell/saver_entry.h"
#include "slides/colour_slides.h"
#include "slides/slide_objects.h"
#include "text/font.h"
#include "text/titles.h"

// The running saver and every full-screen set-up show the preset's own
// resolution. A data folder without default.dat has no preference: the
// display keeps the mode it was going to have, as it does for a preset that
// cannot be read outside the saver. A default.dat that cannot be read has
// none either: it has been reported, and the start-up sets it aside and
// shows the built-in preset, rather than a damaged file ending every start.
static int Read_Preferred_Resolution() {
    std::string path = Windows_Directory() + "/" + DATA_FOLDER_NAME + "/default.dat";
    if (!File_Exists(path.c_str())) return 1;
    int width = app.screen_width, height = app.screen_height, bpp = app.screen_bpp;
    if (!Grab_Preferred_Plasma_Screen_Dimensions(&width, &height, &bpp)) return 1;
    // A hosted saver's size is its host window's; only the depth is the preset's.
    if (!app.hosted) {
        app.screen_width = width;
        app.screen_height = height;
    }
    app.screen_bpp = bpp;
    return 1;
}

static bool Depth_Supported(int bpp) { return bpp == 8 || bpp == 15 || bpp == 16 || bpp == 24 || bpp == 32; }

// Set by the full-screen rebuilds, which have just decoded the mode of the
// preset being shown: Setup keeps that mode instead of reading the default
// preset's, which would put a random preset of another resolution on the
// default's mode (in the running saver the default file is never updated).
static bool keep_decoded_resolution = false;

int Setup() {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Setup");

    const bool keep_resolution = keep_decoded_resolution;
    keep_decoded_resolution = false;
    if (!keep_resolution && (app.display_mode == DISPLAY_FULL_SCREEN || app.saver_mode == SAVER)) {
        if (!Read_Preferred_Resolution()) {
            Report_Error("Setup(): Grab_Preferred_Plasma_Screen_Dimensions FAILED");
            return 0;
        }
    }
    app.system_memory_surfaces = true;

    if (app.display_mode == DISPLAY_FULL_SCREEN) {
        if (!Setup_Direct_Draw(app.screen_width, app.screen_height, app.screen_bpp)) {
            snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "Setup: \n\nSetup_Direct_Draw() Failed\nw %d h %d bpp %d",
                     app.screen_width, app.screen_height, app.screen_bpp);
            Report_Error(message_buffer);
            return 0;
        }
    } else if (!Setup_Windowed_Direct_Draw(app.screen_width, app.screen_height, app.screen_bpp)) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                 "Setup: \n\nSetup_Windowed_Direct_Draw() Failed\nw %d h %d bpp %d", app.screen_width,
                 app.screen_height, app.screen_bpp);
        Report_Error(message_buffer);
        return 0;
    }

    if (app.check_colour_depth && app.saver_mode == CONFIGURE && !Depth_Supported(app.screen_bpp)) {
        Report_Error(
            "Setup():\n\nThis application is designed to run in TRUE (32 bit) colour mode.\n16bit and 8 bit colour "
            "modes are also supported\n\nPlease adjust your system settings and try again\n");
        return 0;
    }

    if (app.display_mode == DISPLAY_FULL_SCREEN && !Clear(Visible)) {
        Report_Error("Setup(): Clear Visible FAILED");
        return 0;
    }
    if (!Clear(Hidden)) {
        Report_Error("Setup(): Clear Hidden FAILED");
        return 0;
    }
    if (!Set_Transparency(Hidden, 0)) {
        Report_Error("Setup(): Set_Transparency FAILED");
        return 0;
    }

    // A hosted saver leaves the input to its host.
    if (app.saver_mode == SAVER && !app.hosted) {
        if (!Setup_Direct_Input()) {
            Report_Error("Setup: \n\n Setup_Direct_Input() Failed");
            return 0;
        }
        if (!Setup_Mouse()) {
            Report_Error("Setup: \n\nSetup_Mouse() Failed");
            return 0;
        }
    }

    crt::srand(Platform_Tick_Count());

    if (!Setup_Glimmerwheel()) {
        Report_Error("Setup():\n\nCould not Setup_Glimmerwheel");
        return 0;
    }
    app.check_colour_depth = false;
    Trace_Exit(traced_once, "Setup");
    return 1;
}

int Setup_Glimmerwheel() {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Setup_Glimmerwheel");
    // The first frame after every set-up measures from here.
    Start_Frame_Timer();
    // A still preview shows the About picture and needs nothing else.
    if (app.saver_mode == PREVIEW && !plasma_settings.preview_active) {
        Trace_Exit(traced_once, "Setup_Glimmerwheel");
        return 1;
    }
    // The virtual pointer starts in the middle of the screen. Started in a
    // corner, where its moves are clamped, a flick towards that corner
    // would never count as a jump and the saver would not end.
    pointer_x = app.screen_width / 2;
    pointer_y = app.screen_height / 2;
    if (!Load_All_Objects()) {
        Report_Error("Setup_Glimmerwheel(): Load_All_Objects FAILED");
        return 0;
    }
    Trace_Exit(traced_once, "Setup_Glimmerwheel");
    return 1;
}

void Release_All_Effects() {
    // The effects go before the plasma they draw on.
    Destroy_Title();
    Release_All_Fonts();
    Shutdown_Colour_Slides();
    Shutdown_Scope();
    Release_Custom_Scope_Pictures();
    Shutdown_Kaleidoscope();
    Release_All_Objects();
    Shutdown_Plasma();
    Release_Scratch_Pad();
}

void Shutdown() {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Shutdown");
    Release_All_Effects();
    Release_All_Fonts();  // gone already; harmless
    Release_Input_Devices();
    Shutdown_Direct_Draw();
    Trace_Exit(traced_once, "Shutdown");
}

// Places a full-screen window over the desktop when the new mode is wider
// than the desktop itself.
static void Cover_Desktop_If_Wider() {
    if (app.screen_width <= app.system_width) return;
    if (Platform_Is_Window_Maximised(app.main_window)) Centre_Window(app.main_window);
    Platform_Place_Window(app.main_window, 0, 0, app.screen_width, app.screen_height);
    Platform_Show_Window(app.main_window, SW_SHOW);
}

static int Fail_At(Full_Screen_Step step, Full_Screen_Step* failed_step) {
    if (failed_step) *failed_step = step;
    return 0;
}

int Enter_Full_Screen(Full_Screen_Step* failed_step) {
    if (failed_step) *failed_step = FULL_SCREEN_DONE;
    int width, height, bpp;
    if (!Decode_Resolution(plasma_settings.resolution, &width, &height, &bpp)) {
        return Fail_At(FULL_SCREEN_DECODE, failed_step);
    }
    app.screen_width = width;
    app.screen_height = height;
    app.screen_bpp = bpp;
    Backup_Plasma_Settings();
    Shutdown();
    app.display_mode = DISPLAY_FULL_SCREEN;
    app.system_memory_surfaces = true;
    app.client_width = app.screen_width;
    app.client_height = app.screen_height;
    Apply_Display_Mode_To_Window();
    keep_decoded_resolution = true;
    if (!Setup()) return Fail_At(FULL_SCREEN_SETUP, failed_step);
    Cover_Desktop_If_Wider();
    if (!Restore_Plasma_Settings()) return Fail_At(FULL_SCREEN_RESTORE, failed_step);
    Refresh_Plasma();
    return 1;
}

int Leave_Full_Screen(Full_Screen_Step* failed_step) {
    if (failed_step) *failed_step = FULL_SCREEN_DONE;
    Backup_Plasma_Settings();
    Shutdown();
    app.screen_width = app.system_width;
    app.screen_height = app.system_height;
    app.screen_bpp = app.system_bpp;
    app.display_mode = DISPLAY_WINDOWED;
    app.system_memory_surfaces = true;
    Apply_Display_Mode_To_Window();
    Platform_Set_Foreground_Window(app.main_window);
    app.running = true;
    if (!Setup()) return Fail_At(FULL_SCREEN_SETUP, failed_step);
    if (!Restore_Plasma_Settings()) return Fail_At(FULL_SCREEN_RESTORE, failed_step);
    Platform_Set_Cursor_Shape(app.main_window, CURSOR_ARROW);
    Platform_Show_Cursor(true);
    Platform_Send_Message(app.main_window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(app.client_width, app.client_height));
    return 1;
}

int Rebuild_Full_Screen_Display() {
    Shutdown();
    app.display_mode = DISPLAY_FULL_SCREEN;
    app.client_width = app.screen_width;
    app.client_height = app.screen_height;
    Apply_Display_Mode_To_Window();
    keep_decoded_resolution = true;
    if (!Setup()) return 0;
    if (app.screen_width > app.system_width) {
        if (Platform_Is_Window_Maximised(app.main_window)) Platform_Show_Window(app.main_window, SW_RESTORE);
        Platform_Place_Window(app.main_window, 0, 0, app.screen_width, app.screen_height);
    }
    return 1;
}
