// What makes the program a screen saver: one saver at a time, the pointer
// read once per frame to notice the user, and the password hooks.
#pragma once

#include <cstdint>

struct Window;

// The input system, made by Setup_Direct_Input in the running saver only.
struct Input_System {
    uint32_t version = 0;  // the interface version asked for
};

// The system mouse as the saver reads it: relative axes, shared with every
// other program, read also while the window is not in front.
struct Mouse_Device {
    bool data_format_set = false;  // relative axes, 16-byte state
    Window* owner = nullptr;       // the window the cooperation was set with
    bool acquired = false;         // being read
};

// One reading of the mouse: the movement since the last reading.
struct Mouse_State {
    int32_t x = 0;            // movement across
    int32_t y = 0;            // movement down
    int32_t wheel = 0;        // wheel movement (none on this platform's source)
    uint8_t buttons[4] = {};  // button bytes (the saver learns of buttons from the window)
};

// The input system, or null.
extern Input_System* input_system;
// The mouse device, or null.
extern Mouse_Device* mouse_device;
// The last state read by Read_Mouse.
extern Mouse_State mouse_state;
// The virtual pointer, kept inside the screen by Update_Mouse.
extern int32_t pointer_x, pointer_y;
// The pointer at the last check that saw no jump.
extern int32_t last_pointer_x, last_pointer_y;

// Where the mouse's movement comes from: the window layer's pointer deltas
// (Platform_Read_Pointer_Delta); tests put a source of their own here.
using Pointer_Delta_Source = void (*)(int* dx, int* dy);
extern Pointer_Delta_Source pointer_delta_source;

// 1 when a screen saver already runs (start-up in SAVER mode), else 0.
int IsSaverRunning();

// Creates the input system (Setup, SAVER mode); 1 or 0 after a report.
int Setup_Direct_Input();
// Creates, configures and acquires the mouse (Setup, SAVER mode); 1 or 0 after a report.
int Setup_Mouse();
// Stops reading the mouse and releases it, then the input system (Shutdown); safe when none exist.
void Release_Input_Devices();
// Reads the mouse's movement into mouse_state; 1, or 0 (reported when the device is unusable).
int Read_Mouse();
// Read_Mouse and move the virtual pointer by twice the movement, kept on the screen; 1 or 0.
int Update_Mouse();
// Reads every input device once per frame (the frame driver); 1.
int Update_Input();
// SAVER mode: 1 when the pointer jumped more than a sixteenth of the screen
// since the last check, else 0. With reset it only takes the reference.
int Mouse_Has_Moved(int reset);

// 1 when the saver may end, 0 when it must go on (the destroy handler in SAVER
// mode); the owner is a window number, as the command line gave it.
int Verify_Password(uintptr_t owner);
// Runs the platform's password change for the /a switch.
void Change_Password(uintptr_t owner);
