// Modal settings dialogs built from templates with scroll bars, check
// boxes, lists and pictures (the installer's text-and-button dialogs are
// platform/dialog_box.h).
//
// A template names the dialog, gives its caption and size and lists its
// controls with their identifiers, kinds, texts and places (in dialog
// units: a quarter of the font's average width across, an eighth of its
// height down). Platform_Control_Dialog_Box builds the dialog, runs it modally over
// the owner window and hands the program's dialog procedure the messages a
// classic dialog receives: WM_INITDIALOG, WM_HSCROLL, WM_COMMAND, WM_MOVE,
// WM_PAINT, WM_MOUSEMOVE and WM_LBUTTONDOWN.
//
// The state of the controls (scroll ranges and positions, texts, check
// marks, list entries and the selection) lives in the Control_Dialog record, which
// the toolkit's widgets show. The procedure reads and writes it through the
// functions below only, so a procedure can be driven without a window
// system by sending it messages on a record made with Platform_Make_Control_Dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_box.h"
#include "platform/system.h"

struct Window;
struct Surface;

// Dialog messages (WM_COMMAND and WM_LBUTTONDOWN are in platform/window.h).
constexpr unsigned WM_MOVE = 0x0003;       // the dialog moved
constexpr unsigned WM_PAINT = 0x000F;      // the dialog is being drawn
constexpr unsigned WM_HSCROLL = 0x0114;    // wparam code | position << 16, lparam the scroll bar's identifier
constexpr unsigned WM_MOUSEMOVE = 0x0200;  // lparam dialog x | y << 16

// Scroll codes (the low word of WM_HSCROLL's wparam).
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;  // the thumb was let go at the position in the high word
constexpr int SB_THUMBTRACK = 5;     // the thumb is being dragged, at the position in the high word
constexpr int SB_LEFT = 6;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// WM_INITDIALOG and IDCANCEL are the installer's dialogs' too (platform/dialog_box.h), IDOK is in platform/system.h.

enum Control_Kind : int {
    DIALOG_TEXT = 1,            // static text
    DIALOG_BUTTON = 2,          // push button: WM_COMMAND with its identifier
    DIALOG_DEFAULT_BUTTON = 3,  // the push button Return presses
    DIALOG_CHECK_BOX = 4,       // check box that turns itself over, then WM_COMMAND
    DIALOG_SCROLL_BAR = 5,      // horizontal scroll bar: WM_HSCROLL, moved only by the program
    DIALOG_LIST_BOX = 6,        // single-selection list
    DIALOG_PICTURE = 7,         // a frame the program paints into (Platform_Show_Dialog_Picture)
    DIALOG_GROUP = 8,           // a titled frame around other controls
};

struct Control_Template {
    int id;  // -1 for controls the program never addresses
    Control_Kind kind;
    const char* text;
    int x, y, width, height;  // dialog units
};

struct Control_Dialog_Template {
    const char* name;  // the resource name, e.g. "CONTRASTBOX"
    const char* caption;
    int width, height;  // dialog units
    const Control_Template* controls;
    int control_count;
};

// One control's state.
struct Control_State {
    const Control_Template* control = nullptr;
    int minimum = 0, maximum = 100;  // scroll range
    int position = 0;                // scroll position, always within the range
    std::string text;
    bool checked = false;
    std::vector<std::string> entries;  // list entries
    int selection = -1;                // selected entry, -1 none
};

struct Control_Dialog;
// The program's dialog procedure: non-zero when it handled the message.
using Control_Dialog_Procedure = intptr_t (*)(Control_Dialog* dialog, unsigned message, uintptr_t wparam,
                                              intptr_t lparam);

struct Control_Dialog {
    const Control_Dialog_Template* dialog_template = nullptr;
    Control_Dialog_Procedure procedure = nullptr;
    Window* owner = nullptr;
    std::vector<Control_State> controls;
    bool ended = false;
    int result = 0;
    void* toolkit = nullptr;  // the window layer's widgets, null without them
};

// Runs the dialog modally and returns the value given to Platform_End_Control_Dialog,
// or -1 when it could not be shown. The procedure receives WM_INITDIALOG first.
// Without a window system the headless driver (below) stands in for the user.
int Platform_Control_Dialog_Box(const Control_Dialog_Template& dialog_template, Window* owner,
                                Control_Dialog_Procedure procedure);
// Ends the dialog with a result; its messages stop once the procedure returns.
void Platform_End_Control_Dialog(Control_Dialog* dialog, int result);
// A dialog record without widgets, for driving a procedure by its messages.
Control_Dialog Platform_Make_Control_Dialog(const Control_Dialog_Template& dialog_template,
                                            Control_Dialog_Procedure procedure);
// Hands the procedure a message, as the dialog's window would (SendMessage).
intptr_t Platform_Send_Dialog_Message(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// The controls (each false or -1 for an identifier the template lacks).
bool Platform_Set_Scroll_Range(Control_Dialog* dialog, int id, int minimum, int maximum);
// Sets the position, brought into the range (SetScrollPos).
bool Platform_Set_Scroll_Pos(Control_Dialog* dialog, int id, int position);
int Platform_Get_Scroll_Pos(Control_Dialog* dialog, int id);
bool Platform_Set_Dialog_Item_Text(Control_Dialog* dialog, int id, const char* text);
// The text of an unsigned number (SetDlgItemInt without a sign).
bool Platform_Set_Dialog_Item_Int(Control_Dialog* dialog, int id, unsigned value);
std::string Platform_Get_Dialog_Item_Text(Control_Dialog* dialog, int id);
bool Platform_Check_Dialog_Button(Control_Dialog* dialog, int id, bool checked);
bool Platform_Is_Dialog_Button_Checked(Control_Dialog* dialog, int id);
bool Platform_List_Add_String(Control_Dialog* dialog, int id, const char* text);
bool Platform_List_Set_Selection(Control_Dialog* dialog, int id, int index);
int Platform_List_Get_Selection(Control_Dialog* dialog, int id);
// Shows `area` of a surface stretched over a picture control; false when
// the surface is unusable. Headless it only checks the surface.
bool Platform_Show_Dialog_Picture(Control_Dialog* dialog, int id, const Surface* surface, int x, int y, int width,
                                  int height);
// The state of a control, or null.
Control_State* Platform_Dialog_Control(Control_Dialog* dialog, int id);

// The window layer's dialog: builds the widgets, runs the modal loop, and
// returns the result. Installed by the window layer.
using Control_Dialog_Hook = int (*)(Control_Dialog* dialog);
extern Control_Dialog_Hook platform_control_dialog_hook;
// Shows a changed control on its widget (installed with the dialog hook).
using Control_Show_Hook = void (*)(Control_Dialog* dialog, Control_State* control);
extern Control_Show_Hook platform_control_show_hook;
// The picture shown on a control's widget (installed with the dialog hook).
using Control_Picture_Hook = bool (*)(Control_Dialog* dialog, Control_State* control, const Surface* surface, int x,
                                      int y, int width, int height);
extern Control_Picture_Hook platform_control_picture_hook;

// Headless: what the user does with each dialog opened without a window
// system. Tests set it; null ends such a dialog at once with IDCANCEL's result.
using Control_Dialog_Driver = void (*)(Control_Dialog* dialog);
extern Control_Dialog_Driver platform_control_dialog_driver;
// The names of the dialogs opened so far, for tests.
extern std::vector<std::string> platform_opened_dialogs;
