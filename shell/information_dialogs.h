// The About picture and the System Information dialog.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

struct Surface;

// Shows the About picture in its dialog, closed by a click; without the
// picture a one-line About text in the information box, and 0. Else 1.
int About_Dialog_Box();
intptr_t About_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
// The picture the About dialog paints while it is open.
extern Surface* about_picture;

// Free display memory, total memory and the slide objects' memory; 1.
int Info_Dialog_Box();
intptr_t Info_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

// The per-object editor ("Select Slide Objects"); every change stays. 1.
int Slide_Objects_Dialog_Box();
intptr_t Slide_Objects_Dialog_Procedure(Control_Dialog* dialog, unsigned message, uintptr_t wparam, intptr_t lparam);
// The object the editor shows.
extern int32_t current_object;
