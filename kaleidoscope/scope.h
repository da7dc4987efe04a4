// The scope overlay: a mask laid over the picture, black (opaque) outside an
// opening and white (transparent) inside it. Not available at 8 bits.
#pragma once

#include <string>

#include "platform/ddraw.h"

// Shapes of the opening, in the order of the Overlay menu.
constexpr int SCOPE_CIRCLE = 0;
constexpr int SCOPE_ELLIPSE = 1;
constexpr int SCOPE_DIAMOND = 2;
constexpr int SCOPE_STAR = 3;
constexpr int SCOPE_CUSTOM = 4;
// Setup_Scope's shape meaning "the shape of the last set-up".
constexpr int SCOPE_LAST_SHAPE = -1;

// The mask (system memory), or null.
extern Surface* scope_surface;
// Set while the overlay is set up; the frame driver then draws it.
extern int scope_active;
// Size of the mask.
extern int scope_width;
extern int scope_height;
// Shape of the last successful set-up; the ellipse at start.
extern int last_scope_shape;

// The custom overlays' pictures last loaded are kept (system memory, never
// more pixels together than the largest display mode): a preset shown again,
// or another with the same overlay, is not decoded again while the file
// stays as it was. How many are kept now:
int Kept_Custom_Scope_Pictures();
// Releases the kept overlay pictures; at the display's shut-down.
void Release_Custom_Scope_Pictures();

// Creates the mask for a width x height drawing area (the kaleidoscope's
// picture when it is on) in the given shape (-1: the last one).
int Setup_Scope(int width, int height, int shape);
// Releases the mask, clears scope_active and overlay_on; 1.
int Shutdown_Scope();
// Lays the mask over target at (0, 0) (x and y are not used); 1 when drawn or inactive.
int Draw_Scope(Surface* target, int x, int y);
// Paints the opening of shape 0..3 white on the W x H mask.
int Draw_GDI_Scope(int width, int height, int shape);
// The overlay file a preset's stored path names: the path itself when the
// file is there, else the file of the same name in the installed Overlays
// folder when that one is, else the path unchanged (whose load then fails).
std::string Custom_Scope_File(const std::string& stored_path);
// Stretches the bitmap named by custom_scope_path over the mask.
int Load_Custom_Scope(Surface* mask, int width, int height);
// Asks the user for an overlay bitmap; 1 and the path in custom_scope_path, 0 cancelled.
int Choose_Custom_Scope();
