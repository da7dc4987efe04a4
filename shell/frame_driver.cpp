#include "shell/frame_driver.h"

#include <string>

#include "graphics/bitmap_files.h"
#include "graphics/blits.h"
#include "graphics/surface.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "shell/app_state.h"
#include "shell/error_log.h"
#include "shell/frame_clock.h"

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
        if (!Draw_Plasma(Hidden, 0, 0)) {
            Report_Error("Run_Calvorine(): Draw_Plasma() FAILED");
            return 0;
        }
    }

    // Display_GDI_FPS draws only while show_fps is on.
    Display_GDI_FPS();
    Draw_Screen_Notice();
    return 1;
}
