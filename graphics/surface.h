// Surfaces: creation (video memory first), locking, clearing, the colour
// key, dimensions, loss and restoration, and device-context text.
#pragma once

#include <cstdint>

#include "platform/ddraw.h"
#include "platform/gdi.h"

// The global surfaces: the screen, the frame being composed and the work surface.
extern Surface* Visible;
extern Surface* Hidden;
extern Surface* Scratch_Pad;

// Set by every Lock_Surface: 1 when the locked surface is 5-6-5.
extern int format_565;

// Creates a surface in video memory when it fits, else in system memory (with a notice).
int Create_Surface(Surface** surface, int width, int height);
// Creates a system-memory surface; refuses a handle that is not null.
int Create_SYSTEM_Surface(Surface** surface_to_create, int width, int height);
// Restores the memory of Visible, Hidden and Scratch_Pad when lost; 0 when one cannot be.
int Restore_All_Surfaces();
// Locks the whole surface: the first pixel, or null. Sets format_565 and the pitch.
uint8_t* Lock_Surface(Surface* surface, int* pitch = nullptr);
void Unlock_Surface(Surface* surface);
// (Re)creates the screen-sized work surface Scratch_Pad; 1, or 0 after a report.
int Setup_Scratch_Pad();
// Releases Scratch_Pad; safe when there is none.
void Release_Scratch_Pad();
// Fills the whole surface with 0.
int Clear(Surface* surface);
// Sets the source colour key (a pixel value of the surface's format).
int Set_Transparency(Surface* surface, uint32_t key);
int Grab_Surface_Dimensions(Surface* surface, int* width, int* height);
int Get_Available_Video_Memory(uint32_t* total, uint32_t* free);
int Wide_Surfaces_Supported();
// Text through the surface's device context, transparent background.
int Draw_GDI_Text(Surface* surface, int x, int y, COLORREF colour, const char* text);
// Draws the frames-per-second text at (0, 0) on Hidden when show_fps is on.
void Display_GDI_FPS();
