// Per-pixel effects: rotation, hue rotation, fades, blends and the colour
// model conversions they rest on.
#pragma once

#include <cstdint>

#include "platform/ddraw.h"

// Rotates the w x h region at (sx, sy) by angle (radians) into the box at
// (dx, dy); the box size goes to out_width x out_height (kaleidoscope).
int Rotate_Surface_Ex(Surface* source, Surface* dest, int w, int h, int* out_width, int* out_height, float angle,
                      int sx, int sy, int dx, int dy);
// The same rotation through device contexts, pixel by pixel (depth 24).
int Rotate_Generic_Surface_Ex(Surface* source, Surface* dest, int w, int h, int* out_width, int* out_height,
                              float angle, int sx, int sy, int dx, int dy);
// Size of the box that holds a width x height region rotated by angle; always 1.
int Rotated_Dimensions(int width, int height, int* out_width, int* out_height, float angle);
// Copies the region turning every hue by shift/256 of a turn (object hue strips).
int Alter_Hue(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int shift);
// Lowers value, hue and saturation of a rectangle by the steps, by screen depth (slides, titles).
int Fade(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step);
// The fade on 15/16-bit pixels.
int Fade_16(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step);
// The fade on 32-bit pixels.
int Fade_32(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step);
// Lays the source over the destination averaging hue, saturation and value (blend mode "&Hue").
int Colour_Blend_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width,
                      int clip_height);
// Lays the source over the destination adding its value (blend mode "&Light").
int Light_Blend_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width,
                     int clip_height);
// Components in [0, 1] (first taken as red) to hue in degrees (-1 for greys), saturation, value.
void RGB_To_HSV(float first, float second, float third, float* h, float* s, float* v);
// Hue in degrees, saturation and value to components in [0, 1].
void HSV_To_RGB(float* first, float* second, float* third, float h, float s, float v);
// Hue, lightness, saturation on 0..252 to red | green << 8 | blue << 16 (slide gradients).
uint32_t HLS_To_RGB(uint16_t hue, uint16_t lightness, uint16_t saturation);
// One channel of HLS_To_RGB on the 0..252 scale; hue may run below 0 or above 252.
int Hue_To_RGB(int m1, int m2, int hue);
// x truncated toward zero, plus 1 when the fraction is above 0.5 (slide objects).
int Round_Float(float x);
