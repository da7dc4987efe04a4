// One saver at a time, the pointer check that ends the running saver, and
// the password hooks.
//
// The mouse is read as the saver always read it: a device that reports
// relative movement, polled once per frame, whose movement is doubled onto
// a virtual pointer. Here the movement comes from the window layer's
// pointer deltas; the threshold, the doubling and the order of the checks
// are the saver's own.
#include "shell/saver_duties.h"

#include <cstdlib>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/display.h"
#include "platform/window.h"
#include "shell/saver_entry.h"

Input_System* input_system = nullptr;
Mouse_Device* mouse_device = nullptr;
Mouse_State mouse_state;
int32_t pointer_x = 0, pointer_y = 0;
int32_t last_pointer_x = 0, last_pointer_y = 0;
Pointer_Delta_Source pointer_delta_source = Platform_Read_Pointer_Delta;

// The interface version the saver was written against.
constexpr uint32_t INPUT_INTERFACE_VERSION = 0x0700;
// The pointer must move more than this fraction of the screen in one frame.
constexpr int32_t JUMP_FRACTION = 16;
// Movement is doubled onto the virtual pointer.
constexpr int32_t POINTER_GAIN = 2;

int IsSaverRunning() {
    if (!Determine_Operating_System()) {
        Report_Error("IsSaverRunning(): Determine Operating System FAILED");
        return 0;
    }
    if (app.operating_system != OS_WINDOWS_NT) {
        // The running flag is per session and dies with its holder, so asking
        // changes nothing: no need to switch it off and back as Windows did.
        return Platform_Saver_Running() ? 1 : 0;
    }
    // NT 4 has no such flag: a saver is what covers the screen in front.
    Foreground_Window front;
    if (!Platform_Get_Foreground_Window(&front)) return 1;
    int screen_width = Platform_System_Metric(SM_CXSCREEN);
    int screen_height = Platform_System_Metric(SM_CYSCREEN);
    return front.popup && front.visible && front.width == screen_width && front.height == screen_height ? 1 : 0;
}

int Setup_Direct_Input() {
    static bool traced_once = false;
    Trace_Enter(traced_once, "Setup_Direct_Input");
    // An input system made earlier and never released would be lost here.
    if (input_system || !pointer_delta_source) {
        Report_Error("Setup_Direct_Input():\n\nDirectInputCreate FAILED");
        return 0;
    }
    input_system = new Input_System{INPUT_INTERFACE_VERSION};
    Trace_Exit(traced_once, "Setup_Direct_Input");
    return 1;
}

// Starts reading the device. The first acquisition takes the pointer's
// present place as the reference, so movement from before the saver
// started never counts; acquiring again changes nothing.
static bool Acquire_Mouse() {
    if (!mouse_device || !pointer_delta_source) return false;
    if (!mouse_device->acquired) {
        int dx = 0, dy = 0;
        pointer_delta_source(&dx, &dy);
        mouse_device->acquired = true;
    }
    return true;
}

int Setup_Mouse() {
    // This function's trace has always been written in lower case.
    static bool traced_once = false;
    const bool tracing = app.error_log_enabled && !traced_once;
    if (tracing) Report_Error("entering setup_mouse");

    if (!input_system || mouse_device) {
        Report_Error("Setup_Mouse():\n\nCreateDevice FAILED\nIs there a mouse plugged in?");
        return 0;
    }
    mouse_device = new Mouse_Device;
    mouse_device->data_format_set = true;
    if (!app.main_window) {
        Report_Error("Setup_Mouse():\n\nSetCooperativeLevel FAILED\n(NON_EXCLUSIVE BACKGROUND)");
        return 0;
    }
    mouse_device->owner = app.main_window;
    if (!Acquire_Mouse()) {
        Report_Error("Setup_Mouse():\n\nUnable to Acquire Mouse");
        return 0;
    }
    if (tracing && app.error_log_enabled) {
        Report_Error("exitting setup_mouse");
        traced_once = true;
    }
    return 1;
}

void Release_Input_Devices() {
    if (mouse_device) {
        mouse_device->acquired = false;
        delete mouse_device;
        mouse_device = nullptr;
    }
    delete input_system;
    input_system = nullptr;
}

int Read_Mouse() {
    if (!input_system) return 0;
    if (!mouse_device || !mouse_device->data_format_set || !mouse_device->owner) {
        Report_Error("Read_Mouse():\n\nDIERR_NOTINITIALIZED\n\nHave you setup the mouse?");
        return 0;
    }
    if (!Acquire_Mouse()) {
        Report_Error("Read_Mouse():\n\nDIERR_INPUTLOST:\n\n Mouse has been lost");
        return 0;
    }
    int dx = 0, dy = 0;
    pointer_delta_source(&dx, &dy);
    mouse_state.x = dx;
    mouse_state.y = dy;
    mouse_state.wheel = 0;
    return 1;
}

// A coordinate moved by `movement` and kept inside 0 .. size - 1.
static int32_t Move_Within(int32_t position, int32_t movement, int32_t size) {
    int64_t moved = static_cast<int64_t>(position) + static_cast<int64_t>(POINTER_GAIN) * movement;
    if (moved < 0) return 0;
    if (moved >= size) return size - 1;
    return static_cast<int32_t>(moved);
}

int Update_Mouse() {
    if (!Read_Mouse()) {
        Report_Error("Update_Mouse():Unable to Read Mouse");
        return 0;
    }
    pointer_x = Move_Within(pointer_x, mouse_state.x, app.screen_width);
    pointer_y = Move_Within(pointer_y, mouse_state.y, app.screen_height);
    return 1;
}

int Update_Input() {
    // The saver never made a keyboard or game-controller device: keys reach
    // it as window messages. The mouse is all there is to read.
    Update_Mouse();
    return 1;
}

int Mouse_Has_Moved(int reset) {
    if (app.saver_mode != SAVER) return 0;
    if (!Update_Mouse()) Report_Error(" Mouse_Has_Moved(): Update_Mouse FAILED");
    if (!reset) {
        // The reference follows every quiet frame, so only a jump within one
        // frame counts: a slow drift across the whole screen never does.
        if (std::abs(pointer_x - last_pointer_x) > app.screen_width / JUMP_FRACTION ||
            std::abs(pointer_y - last_pointer_y) > app.screen_height / JUMP_FRACTION) {
            return 1;
        }
    }
    last_pointer_x = pointer_x;
    last_pointer_y = pointer_y;
    return 0;
}

int Verify_Password(uintptr_t) {
    // The check's dialog must be seen over a full-screen saver.
    if (app.display_mode == DISPLAY_FULL_SCREEN && Direct_Draw_Interface) DD_FlipToGDISurface(Direct_Draw_Interface);
    Platform_Show_Cursor(true);

    Version_Info version;
    if (Platform_Get_Version(&version) && version.platform_id == VER_PLATFORM_WIN32_NT) {
        // The NT family guards the password itself (here: the desktop's locker).
        return 1;
    }
    // The older systems' password library is not part of this platform:
    // the saver ends without a check, as it did where the library was missing.
    Report_Error("Unable to load PASSWORD.CPL. Aborting");
    return 1;
}

void Change_Password(uintptr_t) {
    // Passwords belong to the desktop's locker here; there is no password
    // provider library to hand the change to.
    Report_Error("MPR.DLL not found: cannot change password.");
}
