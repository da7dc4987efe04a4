// Modal dialogs built from templates.
//
// A template names the dialog, gives its caption and size and lists its
// controls with their identifiers, kinds, texts and places (in dialog
// units: a quarter of the font's average width across, an eighth of its
// height down). Platform_Dialog_Box builds the dialog, runs it modally over
// the owner window and hands the program's dialog procedure the messages a
// classic dialog receives: WM_INITDIALOG, WM_HSCROLL, WM_COMMAND, WM_MOVE,
// WM_PAINT, WM_MOUSEMOVE and WM_LBUTTONDOWN.
//
// The state of the controls (scroll ranges and positions, texts, check
// marks, list entries and the selection) lives in the Dialog record, which
// the toolkit's widgets show. The procedure reads and writes it through the
// functions below only, so a procedure can be driven without a window
// system by sending it messages on a record made with Platform_Make_Dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/system.h"

struct Window;
struct Surface;

// Dialog messages (WM_COMMAND and WM_LBUTTONDOWN are in platform/window.h).
constexpr unsigned WM_MOVE = 0x0003;         // the dialog moved
constexpr unsigned WM_PAINT = 0x000F;        // the dialog is being drawn
constexpr unsigned WM_INITDIALOG = 0x0110;   // the dialog exists, not yet shown
constexpr unsigned WM_HSCROLL = 0x0114;      // wparam code | position << 16, lparam the scroll bar's identifier
constexpr unsigned WM_MOUSEMOVE = 0x0200;    // lparam dialog x | y << 16

// Scroll codes (the low word of WM_HSCROLL's wparam).
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;          // the thumb was let go at the position in the high word
constexpr int SB_THUMBTRACK = 5;             // the thumb is being dragged, at the position in the high word
constexpr int SB_LEFT = 6;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// The standard buttons' identifiers (IDOK is in platform/system.h).
constexpr int IDCANCEL = 2;

enum Control_Kind : int {
    CONTROL_TEXT = 1,            // static text
    CONTROL_BUTTON = 2,          // push button: WM_COMMAND with its identifier
    CONTROL_DEFAULT_BUTTON = 3,  // the push button Return presses
    CONTROL_CHECK_BOX = 4,       // check box that turns itself over, then WM_COMMAND
    CONTROL_SCROLL_BAR = 5,      // horizontal scroll bar: WM_HSCROLL, moved only by the program
    CONTROL_LIST_BOX = 6,        // single-selection list
    CONTROL_PICTURE = 7,         // a frame the program paints into (Platform_Show_Dialog_Picture)
    CONTROL_GROUP = 8,           // a titled frame around other controls
};

struct Dialog_Control {
    int id;                      // -1 for controls the program never addresses
    Control_Kind kind;
    const char* text;
    int x, y, width, height;     // dialog units
};

struct Dialog_Template {
    const char* name;            // the resource name, e.g. "CONTRASTBOX"
    const char* caption;
    int width, height;           // dialog units
    const Dialog_Control* controls;
    int control_count;
};

// One control's state.
struct Dialog_Control_State {
    const Dialog_Control* control = nullptr;
    int minimum = 0, maximum = 100;   // scroll range
    int position = 0;                 // scroll position, always within the range
    std::string text;
    bool checked = false;
    std::vector<std::string> entries; // list entries
    int selection = -1;               // selected entry, -1 none
};

struct Dialog;
// The program's dialog procedure: non-zero when it handled the message.
using Dialog_Procedure = intptr_t (*)(Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

struct Dialog {
    const Dialog_Template* dialog_template = nullptr;
    Dialog_Procedure procedure = nullptr;
    Window* owner = nullptr;
    std::vector<Dialog_Control_State> controls;
    bool ended = false;
    int result = 0;
    void* toolkit = nullptr;          // the window layer's widgets, null without them
};

// Runs the dialog modally and returns the value given to Platform_End_Dialog,
// or -1 when it could not be shown. The procedure receives WM_INITDIALOG first.
// Without a window system the headless driver (below) stands in for the user.
int Platform_Dialog_Box(const Dialog_Template& dialog_template, Window* owner, Dialog_Procedure procedure);
// Ends the dialog with a result; its messages stop once the procedure returns.
void Platform_End_Dialog(Dialog* dialog, int result);
// A dialog record without widgets, for driving a procedure by its messages.
Dialog Platform_Make_Dialog(const Dialog_Template& dialog_template, Dialog_Procedure procedure);
// Hands the procedure a message, as the dialog's window would (SendMessage).
intptr_t Platform_Send_Dialog_Message(Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// The controls (each false or -1 for an identifier the template lacks).
bool Platform_Set_Scroll_Range(Dialog* dialog, int id, int minimum, int maximum);
// Sets the position, brought into the range (SetScrollPos).
bool Platform_Set_Scroll_Pos(Dialog* dialog, int id, int position);
int Platform_Get_Scroll_Pos(Dialog* dialog, int id);
bool Platform_Set_Dialog_Item_Text(Dialog* dialog, int id, const char* text);
// The text of an unsigned number (SetDlgItemInt without a sign).
bool Platform_Set_Dialog_Item_Int(Dialog* dialog, int id, unsigned value);
std::string Platform_Get_Dialog_Item_Text(Dialog* dialog, int id);
bool Platform_Check_Dialog_Button(Dialog* dialog, int id, bool checked);
bool Platform_Is_Dialog_Button_Checked(Dialog* dialog, int id);
bool Platform_List_Add_String(Dialog* dialog, int id, const char* text);
bool Platform_List_Set_Selection(Dialog* dialog, int id, int index);
int Platform_List_Get_Selection(Dialog* dialog, int id);
// Shows `area` of a surface stretched over a picture control; false when
// the surface is unusable. Headless it only checks the surface.
bool Platform_Show_Dialog_Picture(Dialog* dialog, int id, const Surface* surface, int x, int y, int width,
                                  int height);
// The state of a control, or null.
Dialog_Control_State* Platform_Dialog_Control(Dialog* dialog, int id);

// The window layer's dialog: builds the widgets, runs the modal loop, and
// returns the result. Installed by the window layer.
using Dialog_Box_Hook = int (*)(Dialog* dialog);
extern Dialog_Box_Hook platform_dialog_box_hook;
// Shows a changed control on its widget (installed with the dialog hook).
using Dialog_Control_Hook = void (*)(Dialog* dialog, Dialog_Control_State* control);
extern Dialog_Control_Hook platform_dialog_control_hook;
// The picture shown on a control's widget (installed with the dialog hook).
using Dialog_Picture_Hook = bool (*)(Dialog* dialog, Dialog_Control_State* control, const Surface* surface, int x,
                                     int y, int width, int height);
extern Dialog_Picture_Hook platform_dialog_picture_hook;

// Headless: what the user does with each dialog opened without a window
// system. Tests set it; null ends such a dialog at once with IDCANCEL's result.
using Dialog_Driver = void (*)(Dialog* dialog);
extern Dialog_Driver platform_dialog_driver;
// The names of the dialogs opened so far, for tests.
extern std::vector<std::string> platform_opened_dialogs;
