// The list, multi-value and live settings dialogs, and the welcome notice.
// Each opener shows its dialog modally over the main window and returns 1.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

int Resolution_Dialog_Box();    // "Fullscreen Resolution"
int Direction_Dialog_Box();     // "Slide Direction"
int Zone_Dialog_Box();          // "Homogenous Zones"
int Fade_Dialog_Box();          // "Fade"
int Journey_Dialog_Box();       // "Random Presets"
int Colour_Dialog_Box();        // "Plasma Colours": the picture follows every change at once
int Introduction_Dialog_Box();  // "Welcome to Calvorine"
int Background_Dialog_Box();    // "Kaleidoscope Background"
int Sine_Wave_Dialog_Box();     // "Sine Wave Configuration", also from the background's button

// Their procedures, for driving them by messages.
intptr_t Resolution_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t Direction_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t Zone_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t Fade_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t Journey_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t Colour_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t Background_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t Sine_Wave_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
intptr_t Introduction_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
