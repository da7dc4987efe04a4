// Scaling a composed picture to the screen for presentation: nearest
// neighbour, keeping the picture's shape (bars on the sides or above and
// below, as a monitor showing that mode would), into a 32-bit image.
#pragma once

#include <cstdint>

#include "platform/ddraw.h"

// `width` pixels of a surface row, starting at `source`, as 0xFFRRGGBB into
// `out`; an 8-bit surface's pixels go through `palette`.
void Convert_Surface_Pixels(const Surface* surface, const uint8_t* source, int width, const uint32_t* palette,
                            uint32_t* out);

// The colours of an 8-bit surface's palette (the display's own when the
// surface has none) as 0xFFRRGGBB.
void Surface_Palette_Colours(const Surface* surface, uint32_t colours[256]);

// The part of a screen a picture fills when scaled to it whole, keeping its shape.
struct Scaled_Area {
    int x, y, width, height;
};

// Where a source_width x source_height picture lands on a screen_width x
// screen_height screen: as large as fits, centred. Empty for empty sizes.
Scaled_Area Fit_Keeping_Shape(int source_width, int source_height, int screen_width, int screen_height);

// Draws a usable surface scaled into `area` of a 32-bit 0xFFRRGGBB image
// (`target` with `target_pitch` bytes a row, target_width x target_height
// pixels). Each source row is converted and widened once and copied to the
// target rows that repeat it; a 32-bit row is read without conversion. With
// clear_outside the rest of the image (the bars) is filled black. Big
// pictures are drawn in row bands on every core. False when nothing can be drawn.
bool Scale_Surface_To_Image(const Surface* surface, uint8_t* target, int target_pitch, int target_width,
                            int target_height, const Scaled_Area& area, bool clear_outside);
