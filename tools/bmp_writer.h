// Writing pictures drawn with QPainter as Windows bitmaps, for the tools
// that make the installation's data files.
#pragma once

#include <QImage>

// Writes the image as an uncompressed 24-bit bottom-up BMP, rows padded to
// four bytes; true when the whole file was written.
bool Write_BMP(const QImage& image, const char* path);
