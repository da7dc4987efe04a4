// Bitmap files: loading BMP files into surfaces and saving surfaces as
// uncompressed 24-bit BMP files.
#pragma once

#include <cstdio>

#include "platform/ddraw.h"
#include "platform/gdi.h"

Surface* Load_Bitmap(const char* file_name, int* width, int* height);
Surface* Load_SYSTEM_Bitmap(const char* file_name, int* width, int* height);
HRESULT Copy_Bitmap_To_Surface(Surface* surface, Bitmap* bitmap, int sx, int sy, int width, int height);
int Save_Bitmap(Surface* surface, const char* file_name);
int SaveBMPToFile(Surface* surface, Surface* front, FILE* file);
