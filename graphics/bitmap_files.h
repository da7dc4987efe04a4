// Bitmap files: loading BMP files into surfaces and saving surfaces as
// uncompressed 24-bit BMP files.
#pragma once

#include <cstdio>

#include "platform/ddraw.h"
#include "platform/gdi.h"

// Loads a BMP file into a new surface made video memory first; null on failure (reported).
Surface* Load_Bitmap(const char* file_name, int* width, int* height);
// The width and height a BMP file claims, from its headers alone; 1, or 0
// (not reported) when it is not a bitmap. Loaders check it before loading.
int Read_Bitmap_Size(const char* file_name, int* width, int* height);
struct Replacement;

// Loads a BMP file into a new system-memory surface; null on failure (reported).
Surface* Load_SYSTEM_Bitmap(const char* file_name, int* width, int* height);
// Stretches a loaded bitmap's rectangle over the whole surface; the device-context answer.
HRESULT Copy_Bitmap_To_Surface(Surface* surface, Bitmap* bitmap, int sx, int sy, int width, int height);
// Writes the surface as a 24-bit BMP file, replacing the file only once it is whole; 1 or 0 (reported).
int Save_Bitmap(Surface* surface, const char* file_name);
// Writes the headers and pixels of the surface into a save's new file; 1 or 0.
int SaveBMPToFile(Surface* surface, Surface* front, Replacement* file);
