// The eight-fold kaleidoscope: one square tile of the plasma (or of the
// colour slides) is made symmetric about its diagonal and mirrored twice into
// a square of twice the tile's side, then presented centred or stretched.
#pragma once

#include "platform/ddraw.h"

// Receives the quarter turn of the tile each frame (system memory).
extern Surface* Scope_Rotated_90;
// The tile-sized mask: white below the diagonal (diagonal included), black above.
extern Surface* Triangle_Stamp;
// Side of the square tile in pixels (the two are always equal).
extern int segment_width;
extern int segment_height;
// Size of Scope_Rotated_90.
extern int rotated_width;
extern int rotated_height;
// Set while the kaleidoscope is set up; the frame driver then draws and presents it.
extern int kaleidoscope_active;
// Set by every Setup_Kaleidoscope: the next draw builds both surfaces again first.
extern int rebuild_pending;

// The tile side for the current screen height and granularity (80 .. 16 x floor(H / 32)).
int Kaleidoscope_Tile_Side();

// Creates both surfaces, sizes the plasma to the tile and marks the
// kaleidoscope active. The client size is accepted for the callers and not used.
int Setup_Kaleidoscope(int client_width, int client_height);
// Releases both surfaces and clears kaleidoscope_active; safe with nothing set up.
void Shutdown_Kaleidoscope();
// Draws the whole picture (2S x 2S) at the top-left of dest (Hidden) for one
// frame; succeeds at once when not active. The client size is not used.
int Draw_Kaleidoscope(Surface* dest, int client_width, int client_height);
// Presents the picture from source (Hidden) on dest (Visible): centred or
// stretched in full screen, always stretched into the client area in a window.
int Stretch_Kaleidoscope(Surface* source, Surface* dest);
// Creates Triangle_Stamp (w x h) and paints its lower-left triangle white.
int Create_Triangle_Stamp(int width, int height);
// Paints the lower-left triangle of the rectangle black (the 8-bit stamp).
int Erase_White_Triangle(Surface* surface, int x, int y, int width, int height);
// Rebuilds both kaleidoscope surfaces when either has lost its memory.
int Restore_All_Scope_Surfaces();
