// The About picture and the System Information dialog.
#include "shell/information_dialogs.h"

#include <cstdio>
#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "graphics/bitmap_files.h"
#include "graphics/display.h"
#include "platform/ddraw.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/window.h"
#include "resources/dialog_templates.h"
#include "shell/settings_dialogs.h"
#include "slides/slide_objects.h"

Surface* about_picture = nullptr;
static int about_width = 0, about_height = 0;

intptr_t About_Dialog_Procedure(Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t) {
    switch (message) {
    case WM_INITDIALOG: Dialog_Opens(); return 1;
    case WM_PAINT:
        // A picture whose memory is gone is simply not painted.
        if (!about_picture || about_picture->lost) return 1;
        if (!Platform_Show_Dialog_Picture(dialog, ABOUT_PICTURE, about_picture, 0, 0, about_width, about_height)) {
            Report_Error("About_Dialog_Box():StrecthBlt failed");
            return 0;
        }
        return 1;
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_LBUTTONDOWN:
        Platform_End_Dialog(dialog, IDOK);
        Dialog_Closes();
        return 1;
    case WM_COMMAND:
        // Escape and Return close it as a click does.
        if ((wparam & 0xFFFF) != IDOK && (wparam & 0xFFFF) != IDCANCEL) return 0;
        Platform_End_Dialog(dialog, IDOK);
        Dialog_Closes();
        return 1;
    default: return 0;
    }
}

int About_Dialog_Box() {
    const std::string path = Match_Path_Case(Windows_Directory() + "/" + DATA_FOLDER_NAME + "/Data/Bmp/About.bmp");
    if (File_Exists(path.c_str())) {
        about_picture = Load_SYSTEM_Bitmap(path.c_str(), &about_width, &about_height);
        if (about_picture && about_width > 0 && about_height > 0) {
            Platform_Dialog_Box(ABOUTBOX, app.main_window, About_Dialog_Procedure);
            Release(about_picture);
            about_picture = nullptr;
            return 1;
        }
        Release(about_picture);
        about_picture = nullptr;
    }
    Report_Message("Calvorine - a colour plasma screen saver with kaleidoscope, slides and scopes");
    return 0;
}

// Memory in megabytes of 1048576 bytes, two decimals.
static void Show_Megabytes(Dialog* dialog, int id, const char* format, double bytes) {
    char text[96];
    std::snprintf(text, sizeof text, format, bytes / 1048576.0);
    Platform_Set_Dialog_Item_Text(dialog, id, text);
}

intptr_t Info_Dialog_Procedure(Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t) {
    switch (message) {
    case WM_INITDIALOG: {
        Dialog_Opens();
        uint32_t total = 0, free = 0;
        if (Direct_Draw_Interface) DD_GetAvailableVidMem(Direct_Draw_Interface, &total, &free);
        Show_Megabytes(dialog, INFO_VIDEO_RAM, "Video ram free %.2lf Mb", free);
        Show_Megabytes(dialog, INFO_SYSTEM_RAM, "Total system ram %.2lf Mb",
                       static_cast<double>(Platform_Total_Physical_Memory()));
        double objects = 0.0;
        for (int type = 0; type < objects_loaded; type++) {
            if (const Surface* image = Get_Object_Image(type)) objects += static_cast<double>(image->memory.size());
        }
        Show_Megabytes(dialog, INFO_OBJECTS_RAM, "Objects occupy %.2lf Mb of system ram", objects);
        return 1;
    }
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_COMMAND:
        if ((wparam & 0xFFFF) != IDOK && (wparam & 0xFFFF) != IDCANCEL) return 0;
        Platform_End_Dialog(dialog, IDOK);
        Dialog_Closes();
        return 1;
    default: return 0;
    }
}

int Info_Dialog_Box() {
    Platform_Dialog_Box(INFOBOX, app.main_window, Info_Dialog_Procedure);
    return 1;
}
