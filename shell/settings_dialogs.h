// The settings dialogs: each opener shows its dialog modally over the main
// window and returns 1 when it closes; the procedures edit the preset.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

// The scalar dialogs, one scroll bar each (the menu's Plasma, Colour,
// Kaleidoscope and Slides commands).
enum Scalar_Dialog_Kind : int {
    SCALAR_SPEED = 0,
    SCALAR_CONTRAST,
    SCALAR_SWAY,
    SCALAR_INTERFERENCE,
    SCALAR_RIPPLE_FREQUENCY,
    SCALAR_COMPLEXITY,
    SCALAR_GRANULARITY,
    SCALAR_SLIDE_SPEED,
    SCALAR_RANDOM_COLOUR,
    SCALAR_DIALOG_COUNT,
};

// One scalar dialog's description: its template, range and steps, where
// its working value comes from and goes to.
struct Scalar_Dialog {
    const Control_Dialog_Template* dialog_template;
    int scroll_id, number_id;
    int (*minimum)();
    int (*maximum)();
    int line_step, page_step;
    int thumb_multiple;              // a thumb position is rounded down to a multiple of this (1: none)
    int32_t* (*working)();           // the working value between openings
    void (*open)(int32_t* working);  // the working value when the dialog opens (null: kept)
    int (*default_value)();
    void (*store)(int32_t working);    // OK
    void (*cancel)(int32_t* working);  // Cancel (null: nothing)
    int32_t* (*ignore_fps)();          // the preset's "Ignore fps" field (null: no box)
    void (*on_default)();              // what Default changes at once besides the working value (may be null)
};

// The table, by Scalar_Dialog_Kind.
extern const Scalar_Dialog scalar_dialogs[SCALAR_DIALOG_COUNT];

// The working values of the scalar dialogs that do not keep them in dialog_values.
extern int32_t sway_position, granularity_position, slide_speed_position, random_colour_position;

// Opens a scalar dialog; 1.
int Scalar_Dialog_Box(int kind);
// The scalar dialogs' procedure (the open dialog's row is remembered at WM_INITDIALOG).
intptr_t Scalar_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
// The row a procedure works on: set by Scalar_Dialog_Box, and by tests that drive the procedure.
extern int active_scalar_dialog;

// Shared by every dialog: in full screen the cursor shows while a dialog is open.
void Dialog_Opens();
void Dialog_Closes();
// Shows the current frame again where a moved dialog uncovered it; 1 or 0.
int Repaint_Behind_Dialog();
