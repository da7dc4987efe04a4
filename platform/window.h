// The window layer: the program's one window on the real screen, the window
// messages it receives, the cursor, the real message box and sound, the
// facts about the desktop and the host, and the presentation of the primary
// surface.
//
// The program sees Windows-style names and numbers (messages, virtual keys,
// show commands) because its window procedure was written against them; the
// layer turns the window system's events into those messages on the one
// queue of platform/system.h. Nothing here exposes the toolkit underneath.
//
// Every message reaches the program through the queue (Platform_Pump_Events,
// Platform_Wait_Message, Platform_Peek_Message, Platform_Dispatch_Message);
// only WM_GETMINMAXINFO and the program's own Platform_Send_Message calls go
// straight to the window procedure, as sent messages always did.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ddraw.h"
#include "platform/system.h"

// ---------------------------------------------------------------------------
// Window messages (WM_DESTROY, WM_CLOSE and WM_QUIT are in platform/system.h).

constexpr unsigned WM_SIZE = 0x0005;           // wparam SIZE_*, lparam client width | height << 16
constexpr unsigned WM_KILLFOCUS = 0x0008;      // the window lost the keyboard focus
constexpr unsigned WM_ACTIVATEAPP = 0x001C;    // wparam 1: the application became active, 0: inactive
constexpr unsigned WM_GETMINMAXINFO = 0x0024;  // sent; lparam points to a MINMAXINFO to fill
constexpr unsigned WM_KEYDOWN = 0x0100;        // wparam a VK_ code, lparam repeat count | scan code << 16
constexpr unsigned WM_COMMAND = 0x0111;        // wparam the menu item's id, lparam 0
constexpr unsigned WM_SYSCOMMAND = 0x0112;     // wparam SC_*
constexpr unsigned WM_LBUTTONDOWN = 0x0201;    // wparam MK_* flags, lparam client x | y << 16
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_MBUTTONDOWN = 0x0207;
constexpr unsigned WM_EXITSIZEMOVE = 0x0232;  // the user finished moving or sizing the window

// WM_SIZE kinds.
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
constexpr uintptr_t SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND commands.
constexpr uintptr_t SC_SCREENSAVE = 0xF140;  // the system asks the foreground window to start the saver

// Mouse button flags in the wparam of the button messages.
constexpr uintptr_t MK_LBUTTON = 0x0001;
constexpr uintptr_t MK_RBUTTON = 0x0002;
constexpr uintptr_t MK_SHIFT = 0x0004;
constexpr uintptr_t MK_CONTROL = 0x0008;
constexpr uintptr_t MK_MBUTTON = 0x0010;

// Packs two 16-bit halves into an lparam, as the size and mouse messages carry them.
constexpr intptr_t MAKELPARAM(int low, int high) {
    return static_cast<intptr_t>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
// The low and high 16-bit halves of an lparam.
constexpr int LOWORD(intptr_t value) { return static_cast<int>(value & 0xFFFF); }
constexpr int HIWORD(intptr_t value) { return static_cast<int>((value >> 16) & 0xFFFF); }

// ---------------------------------------------------------------------------
// Virtual-key codes of WM_KEYDOWN. Letters and digits are their upper-case
// ASCII codes ('A'..'Z', '0'..'9'), whatever the shift state.

constexpr unsigned VK_BACK = 0x08;
constexpr unsigned VK_TAB = 0x09;
constexpr unsigned VK_CLEAR = 0x0C;
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_SHIFT = 0x10;
constexpr unsigned VK_CONTROL = 0x11;
constexpr unsigned VK_MENU = 0x12;  // Alt
constexpr unsigned VK_PAUSE = 0x13;
constexpr unsigned VK_CAPITAL = 0x14;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_SPACE = 0x20;
constexpr unsigned VK_PRIOR = 0x21;  // Page Up
constexpr unsigned VK_NEXT = 0x22;   // Page Down
constexpr unsigned VK_END = 0x23;
constexpr unsigned VK_HOME = 0x24;
constexpr unsigned VK_LEFT = 0x25;
constexpr unsigned VK_UP = 0x26;
constexpr unsigned VK_RIGHT = 0x27;
constexpr unsigned VK_DOWN = 0x28;
constexpr unsigned VK_SNAPSHOT = 0x2C;
constexpr unsigned VK_INSERT = 0x2D;
constexpr unsigned VK_DELETE = 0x2E;
constexpr unsigned VK_HELP = 0x2F;
constexpr unsigned VK_LWIN = 0x5B;
constexpr unsigned VK_APPS = 0x5D;
constexpr unsigned VK_NUMPAD0 = 0x60;  // VK_NUMPAD0 + n for keypad digit n
constexpr unsigned VK_MULTIPLY = 0x6A;
constexpr unsigned VK_ADD = 0x6B;       // keypad plus
constexpr unsigned VK_SUBTRACT = 0x6D;  // keypad minus
constexpr unsigned VK_DECIMAL = 0x6E;
constexpr unsigned VK_DIVIDE = 0x6F;
constexpr unsigned VK_F1 = 0x70;  // VK_F1 + n - 1 for Fn, up to F24
constexpr unsigned VK_F2 = 0x71;
constexpr unsigned VK_F3 = 0x72;
constexpr unsigned VK_F4 = 0x73;
constexpr unsigned VK_F5 = 0x74;
constexpr unsigned VK_F10 = 0x79;
constexpr unsigned VK_F12 = 0x7B;
constexpr unsigned VK_F24 = 0x87;
constexpr unsigned VK_NUMLOCK = 0x90;
constexpr unsigned VK_SCROLL = 0x91;
constexpr unsigned VK_OEM_1 = 0xBA;     // ;:
constexpr unsigned VK_OEM_PLUS = 0xBB;  // =+ on the main keyboard
constexpr unsigned VK_OEM_COMMA = 0xBC;
constexpr unsigned VK_OEM_MINUS = 0xBD;  // -_ on the main keyboard
constexpr unsigned VK_OEM_PERIOD = 0xBE;
constexpr unsigned VK_OEM_2 = 0xBF;    // /?
constexpr unsigned VK_OEM_3 = 0xC0;    // `~
constexpr unsigned VK_OEM_4 = 0xDB;    // [{
constexpr unsigned VK_OEM_5 = 0xDC;    // backslash |
constexpr unsigned VK_OEM_6 = 0xDD;    // ]}
constexpr unsigned VK_OEM_7 = 0xDE;    // '"
constexpr unsigned VK_OEM_102 = 0xE2;  // the extra key of European keyboards
// A key the window system knows and Windows has no code for. It still
// arrives as WM_KEYDOWN so that any key ends the running saver.
constexpr unsigned VK_UNMAPPED = 0xFF;

// Modifier state of a key press, for Platform_Translate_Key.
constexpr unsigned KEY_SHIFT = 0x1;
constexpr unsigned KEY_CONTROL = 0x2;
constexpr unsigned KEY_ALT = 0x4;
constexpr unsigned KEY_KEYPAD = 0x8;  // the key is on the numeric keypad

// The virtual-key code of a toolkit key number (a Qt::Key value) with its
// modifiers; VK_UNMAPPED for keys without a Windows code. The key handler
// and the tests use it.
unsigned Platform_Translate_Key(int toolkit_key, unsigned modifiers);
// The virtual-key code of the digit-row and letter keys by their place on the
// keyboard (the PC scan code: the X key code less 8), as a US layout names
// them, so the keys act the same on every layout; 0 for every other key.
unsigned Platform_Key_At_Position(unsigned scan_code);

// ---------------------------------------------------------------------------
// The window procedure and the message loop.

// The program's window procedure: returns 0 for a message it handled.
using Window_Procedure = intptr_t (*)(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);

// The class every window of the run belongs to: its name and procedure.
// False (nothing registered) when the name is empty or the procedure null.
bool Platform_Register_Window_Class(const char* class_name, Window_Procedure procedure);

// Turns every window-system event waiting now into queued messages, without
// blocking. The main loop calls it before each look at the queue.
void Platform_Pump_Events();
// Blocks until a message is on the queue, turning window-system events into
// messages meanwhile. False when there is no window system to wait on.
bool Platform_Wait_Message();
// Hands a queued message to the registered window procedure and returns its
// answer; messages without a window (WM_QUIT) and unregistered classes give 0.
intptr_t Platform_Dispatch_Message(const Posted_Message& message);
// Calls the window procedure at once with a message (SendMessage).
intptr_t Platform_Send_Message(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);
// What the system does with a message the program leaves alone (0 for all of ours).
intptr_t Platform_Default_Window_Procedure(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);
// Posts WM_QUIT with the exit code in wparam; the loop ends on it.
void Platform_Post_Quit_Message(int exit_code);

// What the window procedure fills in for WM_GETMINMAXINFO. Only the minimum
// tracking size is honoured: the window cannot be made smaller than it.
struct MINMAXINFO {
    Point reserved;
    Point max_size;
    Point max_position;
    Point min_track_size;  // the smallest outer size, frame and caption included
    Point max_track_size;
};

// ---------------------------------------------------------------------------
// The window.

enum Window_Kind : int {
    WINDOW_OVERLAPPED = 1,  // caption, frame, minimise/maximise boxes and a menu-bar slot (configuration)
    WINDOW_POPUP = 2,       // no frame, top-most, covering the whole real screen (saver, full screen)
    WINDOW_CHILD = 3,       // inside another program's window (the preview)
    WINDOW_HOSTED = 4,      // filling another program's window and following its size, taking
                            // no input (a screen-saver host's window, or the root window)
};

// Show commands (ShowWindow's numbers).
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// Creates the run's window, hidden until shown. Overlapped: x, y, width and
// height are the window's outer rectangle on the screen (menu bar included);
// the client area is what lies below the menu bar. Pop-up: the window covers
// the real screen and its client area stands for the emulated screen of
// width x height at (0, 0). Child: placed at (x, y) inside the window
// `parent_id` (an X window number); null when that window does not exist.
// Null too when a window already exists or there is no window system. The
// registered class's procedure receives WM_GETMINMAXINFO before this returns.
Window* Platform_Create_Window(Window_Kind kind, const char* caption, int x, int y, int width, int height,
                               uintptr_t parent_id);
// A hosted window is created like a child, at (x, y) of the window
// `parent_id`; it is resized whenever that window is, with a WM_SIZE.
// Destroys the window and its record; no message is sent. Accepts null.
void Platform_Destroy_Window(Window* window);
// The run's window, or null.
Window* Platform_Main_Window();
// The kind the window has now.
Window_Kind Platform_Window_Kind(Window* window);
// Restyles the window between overlapped and pop-up (full screen and back);
// the menu bar is shown only while overlapped. A child cannot change kind.
bool Platform_Set_Window_Kind(Window* window, Window_Kind kind);
// ShowWindow: one of the SW_ commands; true when the window was visible before.
bool Platform_Show_Window(Window* window, int show_command);
// Sets the caption of an overlapped window.
bool Platform_Set_Window_Caption(Window* window, const char* caption);
// SetWindowPos: moves and sizes the window (outer rectangle, as at creation),
// leaving the maximised state; a pop-up stays over the whole real screen and
// only takes the new emulated size.
bool Platform_Place_Window(Window* window, int x, int y, int width, int height);
// Sets the size of the client area, keeping the window's position.
bool Platform_Set_Client_Size(Window* window, int width, int height);
// The outer rectangle in screen coordinates (GetWindowRect).
bool Platform_Get_Window_Rect(Window* window, Rect* rect);
// True while the window is maximised (IsZoomed).
bool Platform_Is_Window_Maximised(Window* window);
// Centres the window on the screen at its present size, out of the maximised
// state.
bool Platform_Centre_Window(Window* window);
// Brings the window to the front and gives it the keyboard focus.
bool Platform_Set_Foreground_Window(Window* window);
// Reads the real window's geometry and state into its record now (the layer
// also does so on every move, resize and show).
void Platform_Update_Window_Record(Window* window);

// The client rectangle of another program's window `window_id` and the
// screen position of its origin (the preview's parent). False when the window
// does not exist or the window system cannot say.
bool Platform_Get_Foreign_Client_Rect(uintptr_t window_id, Rect* client, Point* screen_origin);

// The root window of the default screen (the desktop behind every window);
// 0 without an X display.
uintptr_t Platform_Root_Window();

// SIGTERM, SIGINT and SIGHUP end the program in order: the window layer
// turns them into the destroy message. A signal ignored when the program
// started (a background job's SIGINT) stays ignored, unless this is called:
// a host ends its hack with SIGTERM or SIGINT however it started it. False
// when the signals cannot be watched.
bool Platform_End_On_Ignored_Signals();
// Whether a termination signal has come: the end is on its way, modal boxes
// and dialogs no longer wait for the user (each answers as cancelled), and
// callers between two boxes stop rather than open the next.
bool Platform_Termination_Requested();

// Makes the window layer use the X11 platform when it starts (a host hands
// over X windows, which a Wayland session's own platform cannot draw into).
void Platform_Prefer_X11();

// Gives the window the program's icon (resource 110): the window manager
// shows it in the caption and the task list.
bool Platform_Set_Window_Icon(Window* window, int icon_resource);

// The foreground window as far as the desktop lets this program see it.
struct Foreground_Window {
    bool own = false;    // a window of this program: the fields below are facts
    bool popup = false;  // frameless pop-up
    bool visible = false;
    int width = 0, height = 0;  // outer size
};
// False when no window is in front. The window of another program is
// reported as an ordinary framed window of unknown size, since the window
// system does not describe it to us.
bool Platform_Get_Foreground_Window(Foreground_Window* window);

// ---------------------------------------------------------------------------
// Cursor.

enum Cursor_Shape : int {
    CURSOR_NONE = 0,   // no cursor over the window (SetCursor(NULL))
    CURSOR_ARROW = 1,  // the standard arrow
};
// Sets the cursor shape over the window.
void Platform_Set_Cursor_Shape(Window* window, Cursor_Shape shape);
// Applies the show count of Platform_Show_Cursor to the real cursor: hidden
// while the count is below 0 or the shape is CURSOR_NONE. The layer does it
// after every dispatch, pump, wait and presentation; callers that need it at
// once may call it.
void Platform_Sync_Cursor();
// True when the real cursor is shown over the window now.
bool Platform_Cursor_Visible();

// ---------------------------------------------------------------------------
// Screen and input.

// The desktop's size and colour depth. A 24-bit X screen keeps its pixels in
// 32 bits and reports 32, a 15-bit one reports 16. False without a screen.
bool Platform_Desktop_Metrics(int* width, int* height, int* bits_per_pixel);

// System metrics (GetSystemMetrics's numbers).
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFRAME = 32;  // sizing frame width
constexpr int SM_CYFRAME = 33;  // sizing frame height
// One system metric in pixels; 0 for an unknown index. The frame and caption
// are drawn by the window manager here, so they count as the classic sizes.
int Platform_System_Metric(int index);

// The pointer's movement in screen pixels since the last call (or the last
// reset); (0, 0) at the first call. The saver polls it once per frame.
void Platform_Read_Pointer_Delta(int* dx, int* dy);
// Takes the pointer's present position as the reference for the next delta.
void Platform_Reset_Pointer_Delta();

// ---------------------------------------------------------------------------
// Presentation.

// Shows the primary surface on the real screen. Full screen (no clipper on
// the primary): the emulated mode is scaled to the whole window. Windowed
// (a clipper bound to the window): the primary stands for the desktop and the
// window shows the part under its client area. Every depth is converted: 8
// bits through the primary's palette, 15/16 by its green mask, 24 B-G-R, 32
// X-R-G-B. Pending window-system events are turned into messages afterwards.
// False when there is no window or the surface is unusable.
bool Platform_Present(Surface* primary);

// ---------------------------------------------------------------------------
// Start and end of the window layer.

// Starts the window system for the process (once) and installs the real
// message box, the error sound and the vertical-blank wait; the emulated
// desktop of the display device takes the real screen's size and depth.
// False when no display can be reached (nothing is installed then).
bool Platform_Start_Window_Layer(int argc, char** argv);
// Destroys the window and removes what the start installed. The toolkit
// itself stays up until the process ends: widgets of other parts may outlive
// this call.
void Platform_Stop_Window_Layer();
// The steady pacing of the vertical-blank wait: returns at the next frame of
// the display's refresh rate (60 Hz when the screen does not say).
void Platform_Wait_Vertical_Blank();

// ---------------------------------------------------------------------------
// Host facts (platform/host_facts.cpp): the version answer, the
// screen-saver-running flag and the Windows directory.

// Version platform ids (GetVersionEx's).
constexpr int VER_PLATFORM_WIN32s = 0;
constexpr int VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr int VER_PLATFORM_WIN32_NT = 2;

struct Version_Info {
    int platform_id = VER_PLATFORM_WIN32_NT;
    int major = 5;
    int minor = 0;
};

// Answers the version query can be made to give, for tests of every branch.
enum Version_Answer : int {
    VERSION_HOST = 0,     // the port's own answer: NT 5.0
    VERSION_95 = 1,       // 9x family 4.0
    VERSION_98 = 2,       // 9x family 4.10
    VERSION_NT4 = 3,      // NT 4.0
    VERSION_WIN32S = 4,   // the 16-bit host's Win32s 3.10
    VERSION_UNKNOWN = 5,  // a platform id of no known family
    VERSION_FAIL = 6,     // the query fails
};

// GetVersionEx: false when the query fails. The answer is the injected one,
// else the one named by CALVORINE_TEST_VERSION (95, 98, nt4, win32s,
// unknown, fail), else NT 5.0.
bool Platform_Get_Version(Version_Info* info);
// Makes Platform_Get_Version give an answer; VERSION_HOST goes back to the
// environment's or the port's own.
void Platform_Inject_Version(Version_Answer answer);

// Claims the per-session screen-saver-running flag for this process's life:
// a lock file under $XDG_RUNTIME_DIR (or /tmp) held with flock, so a saver
// that dies never blocks the next one. True when this process holds it
// (already or now), false when another live process does or the file cannot
// be had.
bool Platform_Claim_Saver_Running();
// Gives the flag up; nothing when not held.
void Platform_Release_Saver_Running();
// True when some process, this one included, holds the flag.
bool Platform_Saver_Running();
// Names this process in the flag's file while it holds the flag, so that
// Platform_End_Running_Saver can end it: the full-screen saver does, the
// configuration window does not. False when the flag is not held here.
bool Platform_Name_Saver_Process();
// Asks the full-screen saver that holds the flag to end (SIGTERM, on which it
// ends in order as on a key): an idle daemon's way to end the saver it
// started. True when such a saver runs and was asked.
bool Platform_End_Running_Saver();
// The lock file's path: in $XDG_RUNTIME_DIR, else in the user's own cache
// folder ($XDG_CACHE_HOME or ~/.cache), never in a folder others can write.
std::string Platform_Saver_Lock_Path();
