// Modal dialogs built from a template: a caption, a font and a list of
// controls (headings, text, group boxes and push buttons with their command
// identifiers), run with the program's dialog procedure.
//
// The procedure hears WM_INITDIALOG once and WM_COMMAND with the control's
// identifier for every button press; Escape and the window's close button
// are the command IDCANCEL, and Return presses the default button, as they
// always were. The dialog ends when the procedure calls
// Platform_End_Dialog; Platform_Dialog_Box then returns that result.
//
// Without the window layer no dialog can be shown: the answer is -1, unless
// a test has installed platform_dialog_hook, which plays the user's part.
#pragma once

#include <cstdint>

struct Window;

constexpr unsigned WM_INITDIALOG = 0x0110;
// Command identifiers of the standard buttons.
constexpr int IDCANCEL = 2;

enum Dialog_Control_Kind : int {
    CONTROL_HEADING = 1,         // a line of bold text
    CONTROL_TEXT = 2,            // a paragraph of text, wrapped
    CONTROL_GROUP = 3,           // opens a framed group: the text is its title
    CONTROL_GROUP_END = 4,       // closes the group
    CONTROL_DEFAULT_BUTTON = 5,  // a push button that Return presses
    CONTROL_BUTTON = 6,          // a push button
};

struct Dialog_Control {
    Dialog_Control_Kind kind;
    int id;            // the command of a button; -1 for the rest
    const char* text;  // '&' marks a button's mnemonic
};

struct Dialog_Template {
    const char* name;  // the resource's name, e.g. "REQUIREMENTSBOX"
    const char* caption;
    const char* font_name;  // the template's font; the desktop's sans-serif stands in
    int font_points;
    const Dialog_Control* controls;
    int control_count;
};

// A dialog while it runs.
struct Dialog {
    const Dialog_Template* dialog_template = nullptr;
    bool ended = false;
    intptr_t result = 0;
    void* widget = nullptr;  // the window layer's own
};

using Dialog_Procedure = intptr_t (*)(Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// DialogBoxParam: runs the dialog modally; the result given to
// Platform_End_Dialog, or -1 when it could not be shown.
intptr_t Platform_Dialog_Box(const Dialog_Template& dialog_template, Window* owner, Dialog_Procedure procedure,
                             intptr_t parameter);
// EndDialog: closes the dialog once the procedure returns; false for no dialog.
bool Platform_End_Dialog(Dialog* dialog, intptr_t result);

// Replaces the shown dialog (tests): gets the template and the procedure
// and returns what Platform_Dialog_Box returns.
using Dialog_Hook = intptr_t (*)(const Dialog_Template& dialog_template, Dialog_Procedure procedure,
                                 intptr_t parameter);
extern Dialog_Hook platform_dialog_hook;

// Plays a dialog without showing it: WM_INITDIALOG, then each command in
// turn until the procedure ends the dialog. The result, or -1 when the
// commands ran out first.
intptr_t Platform_Run_Dialog_Headless(const Dialog_Template& dialog_template, Dialog_Procedure procedure,
                                      intptr_t parameter, const int* commands, int command_count);
