#include "shell/frame_driver.h"

#include <string>

#include "graphics/bitmap_files.h"
#include "graphics/blits.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "plasma/preset_files.h"
#include "platform/window.h"
#include "shell/app_state.h"
#include "shell/error_log.h"
#include "shell/frame_clock.h"
#include "shell/saver_duties.h"
#include "text/font.h"
#include "text/titles.h"

bool about_shown = false;

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
        if (scope_active && !Draw_Scope(Hidden, 0, 0)) {
            Report_Error("Run_Calvorine(): Draw_Scope FAILED");
            return 0;
        }
        if (app.saver_mode != PREVIEW &&
            !Display_Title(Hidden, 0, 0, plasma_settings.title, PROGRAM_FONT, DISPLAY)) {
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
    if (!Display_Transition(TRANSITION_PIXELS_PER_SECOND)) {
        Report_Error("Run_Calvorine():Display_Transition FAILED");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// The random-preset timer.

int32_t random_preset_seconds = 0;
int32_t transition_step = 10;
double random_preset_countdown = 0.0;
int32_t random_transition_kind = 2;
bool random_preset_countdown_started = false;

void Arm_Random_Preset_Timer() {
    random_preset_seconds = plasma_settings.random_preset_interval;
    transition_step = plasma_settings.transition_speed;
}

// The way to a random preset when the countdown runs out: the closing
// transition, which shows the random preset once it has closed.
static void Start_Random_Transition() { Set_Transition_Mode(random_transition_kind); }

int Update_Random_Preset_Timer(int reset) {
    if (!random_preset_countdown_started || reset) {
        random_preset_countdown = random_preset_seconds;
        random_preset_countdown_started = true;
    }
    if (random_preset_seconds == 0) return 1;
    random_preset_countdown -= frame_seconds;
    if (random_preset_countdown > 0.0) return 1;
    Start_Random_Transition();
    random_transition_kind = 2;
    random_preset_countdown = random_preset_seconds;
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

static bool run_calvorine_traced = false;

int Run_Calvorine() {
    Trace_Enter(run_calvorine_traced, "Run_Calvorine");
    if (!Compose_Frame()) return 0;
    // The presenter has reported its own failure.
    if (!Present_Frame()) return 0;
    if (app.saver_mode == SAVER) {
        Update_Input();
        if (Mouse_Has_Moved(0)) {
            Report_Error("Run_Calvorine(): Mouse_Has_Moved returns SUCCESS - exitting saver");
            return 0;
        }
    }
    Trace_Exit(run_calvorine_traced, "Run_Calvorine");
    return 1;
}
