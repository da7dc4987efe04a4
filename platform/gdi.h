// Device-context drawing on surfaces and loaded bitmaps.
//
// A device context is taken on a surface with Surface_GetDC and given back
// with Surface_ReleaseDC; between the two it draws straight into the
// surface's pixels in the surface's format. Colours are COLORREF values
// (0x00BBGGRR); at 8 bits they map to the nearest entry of the device's
// current palette and read back as that entry's colour.
#pragma once

#include <cstdint>

struct DeviceContext;
struct Surface;

using COLORREF = uint32_t;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr int GDI_TRANSPARENT = 1;
constexpr int GDI_OPAQUE = 2;

struct Point {
    int x = 0, y = 0;
};

// The surface a context draws into.
Surface* GDI_Surface_Of(DeviceContext* dc);

// Colour of one pixel, or CLR_INVALID outside the surface.
COLORREF GDI_GetPixel(DeviceContext* dc, int x, int y);
// Writes one pixel; returns the colour written or (COLORREF)-1 outside the surface.
COLORREF GDI_SetPixel(DeviceContext* dc, int x, int y, COLORREF colour);

// Pen and brush of the filled shapes (solid colours; the saver uses white and black).
void GDI_Select_Brush(DeviceContext* dc, COLORREF colour);
void GDI_Select_Pen(DeviceContext* dc, COLORREF colour);
// Filled polygon, outline included. Returns false on a bad argument.
bool GDI_Polygon(DeviceContext* dc, const Point* points, int count);
// Filled ellipse inside left, top, right, bottom (right and bottom exclusive).
bool GDI_Ellipse(DeviceContext* dc, int left, int top, int right, int bottom);

void GDI_SetTextColor(DeviceContext* dc, COLORREF colour);
void GDI_SetBkMode(DeviceContext* dc, int mode);
// Text with its top-left corner at (x, y) in the default font.
bool GDI_TextOut(DeviceContext* dc, int x, int y, const char* text, int length);

// A bitmap file read into memory ("device-independent section").
struct Bitmap;
// Reads any BMP kind; null when the file cannot be read or is not a bitmap.
Bitmap* GDI_LoadImage(const char* path);
// The picture size a BMP file's headers claim, read without its pixels, so
// a caller can refuse a size before anything is allocated; false when the
// file is not a bitmap the loader would take.
bool GDI_Bitmap_Size(const char* path, int* width, int* height);
bool GDI_GetObject(Bitmap* bitmap, int* width, int* height);
// Copies (and scales) a rectangle of the bitmap into the context's surface,
// converting to its format. Parts outside the surface are dropped.
bool GDI_StretchBlt(DeviceContext* dc, int dx, int dy, int dw, int dh, Bitmap* bitmap, int sx, int sy, int sw, int sh);
void GDI_DeleteObject(Bitmap* bitmap);
