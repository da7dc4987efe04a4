// The rectangle copies between surfaces. Argument order: source,
// destination, then coordinates. 1 success (also when clipped away), 0 failure.
#pragma once

#include "platform/ddraw.h"

// Plain copy of w x h, not clipped (slide objects).
int Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
// Copy clipped to the screen size (slides, kaleidoscope, transitions, windowed presentation).
int Clip_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
// Copy clipped to the screen size; source pixels equal to the source's colour key are skipped.
int Masked_Clip_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
// As Masked_Clip_Blit, clipped to the given area instead of the screen (objects on slides, text).
int Masked_Clip_Blit_Ex(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width,
                        int clip_height);
// Copy clipped to the screen size, mirrored left-right (symmetry folds).
int Clip_H_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
// Keyed copy clipped to the screen size, mirrored left-right (kaleidoscope).
int Masked_H_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
// Copy clipped to the screen size, mirrored up-down (symmetry folds).
int Clip_V_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
// The source rectangle scaled to the destination rectangle, not clipped.
int Stretch_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int source_w, int source_h, int dest_w,
                 int dest_h);
// Plain copy without key, effect or clipping, for rectangles known to fit (full-screen presentation).
int Fast_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
// Waits until the last copy on the surface has finished; 1 done, 0 failed (reported).
int Wait_For_Blitter(Surface* surface);

// Clips a destination rectangle to (0, 0)-(clip_width, clip_height), moving
// the source origin by what is cut off the left and top. False when nothing
// is left. Shared by the clipping copies and the blends.
bool Clip_Rectangle(int* sx, int* sy, int* dx, int* dy, int* w, int* h, int clip_width, int clip_height);
