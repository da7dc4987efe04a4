// Per-pixel effects: rotation, hue rotation, fades, blends and the colour
// model conversions they rest on.
#pragma once

#include <cstdint>

#include "platform/ddraw.h"

int Rotate_Surface_Ex(Surface* source, Surface* dest, int w, int h, int* out_width, int* out_height, float angle,
                      int sx, int sy, int dx, int dy);
int Rotate_Generic_Surface_Ex(Surface* source, Surface* dest, int w, int h, int* out_width, int* out_height,
                              float angle, int sx, int sy, int dx, int dy);
int Rotated_Dimensions(int width, int height, int* out_width, int* out_height, float angle);
int Alter_Hue(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int shift);
int Fade(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step);
int Fade_16(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step);
int Fade_32(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step);
int Colour_Blend_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width,
                      int clip_height);
int Light_Blend_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width,
                     int clip_height);
void RGB_To_HSV(float first, float second, float third, float* h, float* s, float* v);
void HSV_To_RGB(float* first, float* second, float* third, float h, float s, float v);
uint32_t HLS_To_RGB(uint16_t hue, uint16_t lightness, uint16_t saturation);
uint16_t Hue_To_RGB(uint16_t m1, uint16_t m2, uint16_t hue);
int Round_Float(float x);
