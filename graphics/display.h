// The display device: set-up full screen or in a window, presentation of
// each frame (Hidden copied to Visible) and shut-down.
#pragma once

#include "platform/ddraw.h"

extern DirectDrawDevice* Direct_Draw;
extern DirectDrawDevice* Direct_Draw_Interface;
extern Palette* display_palette;
extern Clipper* window_clipper;
// 256 entries filled by the plasma engine's 8-bit palettes; display_palette is made from it.
extern PaletteEntry palette_entries[256];

int Setup_Direct_Draw(int width, int height, int depth);
int Setup_Windowed_Direct_Draw(int width, int height, int depth);
int Shutdown_Direct_Draw();
int Display_Hidden_Surface();
int Display_Stretched_Hidden_Surface();

// Writes the video and system memory sizes to the log, once.
void Log_Memory_Statistics();
// Draws a pending on-screen notice onto Hidden and clears it.
void Draw_Screen_Notice();
