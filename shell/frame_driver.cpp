#include "shell/frame_driver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/app_state.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "graphics/bitmap_files.h"
#include "graphics/blits.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/window.h"
#include "preset/dialog_values.h"
#include "preset/menu.h"
#include "preset/preset_files.h"
#include "preset/random_preset_timer.h"
#include "shell/lifecycle.h"
#include "shell/saver_duties.h"
#include "text/font.h"
#include "text/titles.h"

bool about_shown = false;
long frames_shown = 0;

// The display settings' preview stays still when the preset says so, and
// while random presets are on, whose mode changes a preview cannot follow.
static bool Preview_Shows_About() {
    return app.saver_mode == PREVIEW &&
           (!plasma_settings.preview_active || plasma_settings.random_preset_interval != 0);
}

// Puts the About picture over the whole drawing area, once per run.
static int Show_About_Picture() {
    if (about_shown) return 1;
    std::string path = app.windows_prefix + "Calvorine/Data/Bmp/About.bmp";
    int width = 0, height = 0;
    Surface* about = Load_SYSTEM_Bitmap(path.c_str(), &width, &height);
    if (!about) {
        Report_Error("Run_Calvorine(): Could not load about_bitmap");
        return 0;
    }
    if (!Stretch_Blit(about, Hidden, 0, 0, 0, 0, width, height, app.client_width, app.client_height)) {
        Report_Error("Run_Calvorine(): Strecth_Blit of About bitmap FAILED");
    }
    Release(about);
    about_shown = true;
    return 1;
}

bool random_presets_change_mode = false;

int Show_A_Random_Preset() {
    return Display_A_Random_Setting(random_presets_change_mode ? Rebuild_Full_Screen_Display : nullptr);
}

// One frame of the transition at its usual speed; when the window has just
// closed, a random preset for it to open on. 1, or 0 (reported).
static int Run_Transition() {
    const int result = Display_Transition(TRANSITION_PIXELS_PER_SECOND, transition_step);
    // Reports its own failure; the old preset then opens again.
    if (result == TRANSITION_CLOSED) Show_A_Random_Preset();
    return result != 0;
}

int Compose_Frame() {
    Time_Frame();

    if (Preview_Shows_About()) {
        if (!Show_About_Picture()) return 0;
    } else {
        Update_Random_Preset_Timer(0);
        if (kaleidoscope_active) {
            if (!Draw_Kaleidoscope(Hidden, app.client_width, app.client_height)) {
                Report_Error("Run_Calvorine():  Draw_Kaleidoscope FAILED");
                return 0;
            }
        } else if (!Draw_Plasma(Hidden, 0, 0)) {
            Report_Error("Run_Calvorine(): Draw_Plasma() FAILED");
            return 0;
        }
        // The random colour changed the preset under the menu and the dialogs.
        if (random_colour_changed) {
            random_colour_changed = false;
            Store_Dialog_Values();
            Update_Menu_Checks();
        }
        if (scope_active && !Draw_Scope(Hidden, 0, 0)) {
            Report_Error("Run_Calvorine(): Draw_Scope FAILED");
            return 0;
        }
        if (app.saver_mode != PREVIEW && !Display_Title(Hidden, 0, 0, plasma_settings.title, PROGRAM_FONT, DISPLAY)) {
            Report_Error("Calvorine(): Display_Title FAILED");
            return 0;
        }
    }

    // The bitmap font carries the frame rate above 8 bits; the device
    // context's text stands in at 8 bits or when the font fails.
    if (app.show_fps) {
        if (app.screen_bpp == 8 || !Draw_Text(Hidden, 0, 40, PROGRAM_FONT, fps_text)) Display_GDI_FPS();
    }
    Draw_Screen_Notice();
    if (!Run_Transition()) {
        Report_Error("Run_Calvorine():Display_Transition FAILED");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// The frame driver.

// Copies the frame to Visible and shows Visible in the program's window.
// Windows without the window layer behind them (the render tool's, tests')
// have nothing to show on.
static int Present_Frame() {
    if (kaleidoscope_active ? !Stretch_Kaleidoscope(Hidden, Visible) : !Display_Hidden_Surface()) return 0;
    if (app.main_window && app.main_window == Platform_Main_Window()) Platform_Present(Visible);
    return 1;
}

bool Frame_Report_Wanted() {
    static const bool wanted = [] {
        const char* report = std::getenv("CALVORINE_FRAME_REPORT");
        return report && *report && *report != '0';
    }();
    return wanted;
}

// Once a second, the frames shown and the seconds since the first, so that
// the benchmark can tell a steady stretch from the start and the end.
static void Report_Frames_Each_Second() {
    if (!Frame_Report_Wanted()) return;
    static int64_t first = 0, next = 0;
    static long first_frame = 0;
    const int64_t now = Platform_Performance_Counter(), frequency = Platform_Performance_Frequency();
    if (first == 0 || frequency <= 0) {
        first = now;
        next = now + frequency;
        first_frame = frames_shown;
        return;
    }
    if (now < next) return;
    next += frequency;
    std::fprintf(stderr, "calvorine-saver: frames=%ld seconds=%.3f\n", frames_shown - first_frame,
                 static_cast<double>(now - first) / static_cast<double>(frequency));
}

static bool run_calvorine_traced = false;

int Run_Calvorine() {
    Trace_Enter(run_calvorine_traced, "Run_Calvorine");
    // The presenter has reported its own failure.
    if (!Compose_Frame() || !Present_Frame()) {
        Note_Frame_Failed();
        return 0;
    }
    ++frames_shown;
    Note_Plasma_Settings_Shown();
    Report_Frames_Each_Second();
    if (app.saver_mode == SAVER && !app.hosted) {
        Update_Input();
        if (Mouse_Has_Moved(0)) {
            Report_Error("Run_Calvorine(): Mouse_Has_Moved returns SUCCESS - exitting saver");
            return 0;
        }
    }
    Trace_Exit(run_calvorine_traced, "Run_Calvorine");
    return 1;
}
