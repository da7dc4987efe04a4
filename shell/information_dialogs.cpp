// The About picture and the System Information dialog.
#include "shell/information_dialogs.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "base/error_log.h"
#include "graphics/bitmap_files.h"
#include "graphics/display.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/window.h"
#include "resources/dialog_templates.h"
#include "shell/settings_dialogs.h"
#include "slides/slide_objects.h"

Surface* about_picture = nullptr;
static int about_width = 0, about_height = 0;

// OK (Return) and Cancel (Escape) close an information dialog; other
// commands are not its own.
static intptr_t Close_On_Ok_Or_Cancel(Control_Dialog* dialog, uintptr_t wparam) {
    if ((wparam & 0xFFFF) != IDOK && (wparam & 0xFFFF) != IDCANCEL) return 0;
    Platform_End_Control_Dialog(dialog, IDOK);
    Dialog_Closes();
    return 1;
}

intptr_t About_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t) {
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
        Platform_End_Control_Dialog(dialog, IDOK);
        Dialog_Closes();
        return 1;
    case WM_COMMAND: return Close_On_Ok_Or_Cancel(dialog, wparam);  // as a click does
    default: return 0;
    }
}

int About_Dialog_Box() {
    const std::string path = Match_Path_Case(Windows_Directory() + "/" + DATA_FOLDER_NAME + "/Data/Bmp/About.bmp");
    if (File_Exists(path.c_str())) {
        about_picture = Load_SYSTEM_Bitmap(path.c_str(), &about_width, &about_height);
        const bool shown = about_picture && about_width > 0 && about_height > 0;
        if (shown) Platform_Control_Dialog_Box(ABOUTBOX, app.main_window, About_Dialog_Procedure);
        Release(about_picture);
        about_picture = nullptr;
        if (shown) return 1;
    }
    Report_Message("Calvorine - a colour plasma screen saver with kaleidoscope, slides and scopes");
    return 0;
}

// Memory in megabytes of 1048576 bytes, two decimals.
static void Show_Megabytes(Control_Dialog* dialog, int id, const char* format, double bytes) {
    char text[96];
    std::snprintf(text, sizeof text, format, bytes / 1048576.0);
    Platform_Set_Dialog_Item_Text(dialog, id, text);
}

intptr_t Info_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t) {
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
    case WM_COMMAND: return Close_On_Ok_Or_Cancel(dialog, wparam);
    default: return 0;
    }
}

int Info_Dialog_Box() {
    Platform_Control_Dialog_Box(INFOBOX, app.main_window, Info_Dialog_Procedure);
    return 1;
}

// ---------------------------------------------------------------------------
// Select Slide Objects.

int32_t current_object = 0;
static int32_t object_frequency_position = 0, object_animation_position = 0, object_speed_position = 0;

namespace {

struct Object_Bar {
    int scroll_id, number_id, maximum, page_step;
    int32_t* value;
};
const Object_Bar object_bars[] = {
    {OBJECTS_FREQUENCY_SCROLL, OBJECTS_FREQUENCY_NUMBER, 200, 1, &object_frequency_position},
    {OBJECTS_ANIMATION_SCROLL, OBJECTS_ANIMATION_NUMBER, 500, 1, &object_animation_position},
    {OBJECTS_SPEED_SCROLL, OBJECTS_SPEED_NUMBER, 100, 10, &object_speed_position},
};

// The working values into the current object's entries.
void Store_Current_Object() {
    PlasmaSettings& s = plasma_settings;
    s.object_frequency[current_object] = object_frequency_position;
    s.object_animation_speed[current_object] = object_animation_position;
    s.object_speed[current_object] = object_speed_position;
}

void Show_Objects(Control_Dialog* dialog) {
    for (const Object_Bar& bar : object_bars) {
        Platform_Set_Scroll_Pos(dialog, bar.scroll_id, *bar.value);
        Platform_Set_Dialog_Item_Int(dialog, bar.number_id, static_cast<unsigned>(*bar.value));
    }
    Platform_Set_Scroll_Pos(dialog, OBJECTS_SELECTOR_SCROLL, current_object);
    Platform_Set_Dialog_Item_Int(dialog, OBJECTS_SELECTOR_NUMBER, static_cast<unsigned>(current_object));
    Platform_Check_Dialog_Button(dialog, OBJECTS_SELECTED, plasma_settings.object_selected[current_object] != 0);
}

// The current object's values into the working values and the bars.
void Load_Current_Object(Control_Dialog* dialog) {
    const PlasmaSettings& s = plasma_settings;
    object_frequency_position = std::clamp(s.object_frequency[current_object], 0, 200);
    object_animation_position = std::clamp(static_cast<int32_t>(s.object_animation_speed[current_object]), 0, 500);
    object_speed_position = std::clamp(static_cast<int32_t>(s.object_speed[current_object]), 0, 100);
    Show_Objects(dialog);
}

// The current object's first frame, stretched over the picture; 1 or 0 after a report.
int Paint_Current_Object(Control_Dialog* dialog) {
    Surface* image = Get_Object_Image(current_object);
    if (!image) {
        Report_Formatted("Slide_Objects_Dialog_Box():Unable to find image for fx object #%d", current_object);
        return 0;
    }
    if (image->lost) {
        Report_Formatted("Slide_Objects_Dialog_Box():Image lost for fx object #%d", current_object);
        return 0;
    }
    if (image->width <= 0 || image->height <= 0) {
        Report_Formatted("Slide_Objects_Dialog_Box():Grab_Surface_Dimensions FAILED #%d", current_object);
        return 0;
    }
    const int side = std::min(image->width, image->height);
    if (!Platform_Show_Dialog_Picture(dialog, OBJECTS_PICTURE, image, 0, 0, side, side)) {
        Report_Error("Slide_Objects_Dialog_Box():StretchBlt failed");
        return 0;
    }
    return 1;
}

// A scroll code as the new value of a bar from lowest to highest.
int Scrolled_Value(uintptr_t wparam, int value, int highest, int page_step) {
    const int thumb = static_cast<int>((wparam >> 16) & 0xFFFF);
    switch (static_cast<int>(wparam & 0xFFFF)) {
    case SB_LINELEFT: value--; break;
    case SB_LINERIGHT: value++; break;
    case SB_PAGELEFT: value -= page_step; break;
    case SB_PAGERIGHT: value += page_step; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: value = thumb; break;
    case SB_LEFT: value = 0; break;
    case SB_RIGHT: value = highest; break;
    default: break;
    }
    return std::clamp(value, 0, std::max(highest, 0));
}

}  // namespace

intptr_t Slide_Objects_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam) {
    PlasmaSettings& s = plasma_settings;
    const int last = std::min(objects_loaded, MAX_SLIDE_OBJECTS) - 1;
    switch (message) {
    case WM_INITDIALOG:
        Dialog_Opens();
        current_object = std::clamp(current_object, 0, std::max(last, 0));
        Platform_Set_Scroll_Range(dialog, OBJECTS_SELECTOR_SCROLL, 0, std::max(last, 0));
        for (const Object_Bar& bar : object_bars) Platform_Set_Scroll_Range(dialog, bar.scroll_id, 0, bar.maximum);
        Load_Current_Object(dialog);
        return 1;
    case WM_PAINT: return last >= 0 ? Paint_Current_Object(dialog) : 1;
    case WM_MOVE: return Repaint_Behind_Dialog();
    case WM_HSCROLL:
        if (lparam == OBJECTS_SELECTOR_SCROLL) {
            current_object = Scrolled_Value(wparam, current_object, last, 1);
            Load_Current_Object(dialog);
            return last >= 0 ? Paint_Current_Object(dialog) : 1;
        }
        for (const Object_Bar& bar : object_bars) {
            if (lparam != bar.scroll_id) continue;
            *bar.value = Scrolled_Value(wparam, *bar.value, bar.maximum, bar.page_step);
            Store_Current_Object();
            Show_Objects(dialog);
            return 1;
        }
        return 0;
    case WM_COMMAND:
        switch (static_cast<int>(wparam & 0xFFFF)) {
        case IDOK:
        case IDCANCEL:
            // There is no Cancel: Escape keeps every change, as OK does.
            Store_Current_Object();
            Platform_End_Control_Dialog(dialog, IDOK);
            Dialog_Closes();
            return 1;
        case OBJECTS_SELECT:
            s.object_selected[current_object] = 1;
            if (object_frequency_position < 1) object_frequency_position = 1;
            Store_Current_Object();
            break;
        case OBJECTS_DESELECT:
            s.object_selected[current_object] = 0;
            object_frequency_position = 0;
            Store_Current_Object();
            break;
        case OBJECTS_ALL:
            for (int type = 0; type <= last; type++) {
                s.object_selected[type] = 1;
                s.object_frequency[type] = object_frequency_position;
                s.object_animation_speed[type] = object_animation_position;
                s.object_speed[type] = object_speed_position;
            }
            break;
        case OBJECTS_NONE:
            object_frequency_position = object_animation_position = object_speed_position = 0;
            for (int type = 0; type <= last; type++) {
                s.object_selected[type] = 0;
                s.object_frequency[type] = 0;
                s.object_animation_speed[type] = 0;
                s.object_speed[type] = 0;
            }
            break;
        case ID_DEFAULT:
            for (int type = 0; type <= last; type++) {
                s.object_selected[type] = 1;
                s.object_frequency[type] = 1;
                s.object_animation_speed[type] = 250;
                s.object_speed[type] = 50;
            }
            current_object = 0;
            Load_Current_Object(dialog);
            return last >= 0 ? Paint_Current_Object(dialog) : 1;
        case OBJECTS_SELECTED:
            // The box itself says whether the object rides on the slides.
            s.object_selected[current_object] = Platform_Is_Dialog_Button_Checked(dialog, OBJECTS_SELECTED) ? 1 : 0;
            return 1;
        default: return 0;
        }
        Show_Objects(dialog);
        return 1;
    default: return 0;
    }
}

int Slide_Objects_Dialog_Box() {
    Platform_Control_Dialog_Box(SLIDEOBJECTSBOX, app.main_window, Slide_Objects_Dialog_Procedure);
    return 1;
}
