// Host services besides the display: message boxes, sounds, the cursor,
// clocks, memory facts, the window record and the message queue.
//
// Until the window layer is attached these run headless: a message box is
// recorded (and written to stderr) and answers OK at once, sounds are
// recorded, posted messages wait in the queue for whoever reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ddraw.h"
#include "platform/gdi.h"

// Message box styles and answers.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr int IDOK = 1;

// Sound flags.
constexpr unsigned SND_ASYNC = 0x1;
constexpr unsigned SND_FILENAME = 0x20000;

// Window messages the program posts and handles.
constexpr unsigned WM_DESTROY = 0x0002;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_QUIT = 0x0012;

// The program's one window, as far as presentation and boxes need it. The
// window layer keeps it in step with the real window; headless tests set it.
struct Window {
    int screen_x = 0, screen_y = 0;  // screen position of the client area's origin
    int client_width = 640, client_height = 480;
    bool iconic = false;  // minimised
    bool visible = true;
};

bool GetClientRect(Window* window, Rect* rect);
void ClientToScreen(Window* window, Point* point);
bool IsIconic(Window* window);

struct Posted_Message {
    Window* window;
    unsigned message;
    uintptr_t wparam;
    intptr_t lparam;
};

// Appends a message to the program's queue.
bool Platform_Post_Message(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);
// Takes the oldest message off the queue; false when it is empty.
bool Platform_Peek_Message(Posted_Message* message, bool remove);

struct Recorded_Box {
    std::string text;
    std::string caption;
    unsigned style;
};

// A modal box. Headless: recorded, written to stderr, answered IDOK.
int Platform_Message_Box(Window* owner, const char* text, const char* caption, unsigned style);
// Plays a sound file asynchronously; the default sound when the file is missing.
void Platform_Play_Sound(const char* path, unsigned flags);
// Raises or lowers the cursor's show count; returns the new count.
int Platform_Show_Cursor(bool show);

// What the headless implementations recorded, for tests.
extern std::vector<Recorded_Box> platform_boxes;
extern std::vector<std::string> platform_sounds;
extern int platform_cursor_count;
void Platform_Reset_Records();

// Hooks the window layer installs to replace the headless box and sound.
using Message_Box_Hook = int (*)(Window* owner, const char* text, const char* caption, unsigned style);
using Sound_Hook = void (*)(const char* path, unsigned flags);
extern Message_Box_Hook platform_message_box_hook;
extern Sound_Hook platform_sound_hook;

// Milliseconds since an arbitrary start (the tick count).
uint32_t Platform_Tick_Count();
// High-resolution counter and its ticks per second.
int64_t Platform_Performance_Counter();
int64_t Platform_Performance_Frequency();
// Total physical memory in bytes.
uint64_t Platform_Total_Physical_Memory();

// The niceness a running screen saver keeps: it yields to whatever else the
// machine is doing.
constexpr int SAVER_NICENESS = 10;
// Lowers every thread of the process (and the threads it starts later) to
// SAVER_NICENESS, leaving alone one already lower. Start-up calls it in
// saver mode, full screen and hosted. False when a thread could not be lowered.
bool Platform_Lower_Priority();
