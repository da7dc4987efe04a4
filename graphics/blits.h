// The rectangle copies between surfaces. Argument order: source,
// destination, then coordinates. 1 success (also when clipped away), 0 failure.
#pragma once

#include "platform/ddraw.h"

int Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
int Clip_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
int Masked_Clip_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
int Masked_Clip_Blit_Ex(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h,
                        int clip_width, int clip_height);
int Clip_H_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
int Masked_H_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
int Clip_V_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
int Stretch_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int source_w, int source_h,
                 int dest_w, int dest_h);
int Fast_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h);
int Wait_For_Blitter(Surface* surface);
