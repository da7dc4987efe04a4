// The preferred full-screen resolutions a preset can ask for, and the table
// the resolution dialog offers them from.
//
// code = 5 x depth index (32, 24, 16, 8 bits) + size index (320 x 240,
// 640 x 480, 800 x 600, 1024 x 768, 1280 x 1024).
#pragma once

// Number of resolution codes; valid codes are 0 .. RESOLUTION_COUNT - 1.
constexpr int RESOLUTION_COUNT = 20;

// The largest mode of the table: no picture the program shows can use more.
constexpr int LARGEST_MODE_WIDTH = 1280;
constexpr int LARGEST_MODE_HEIGHT = 1024;

// One row of the table: the mode and the text the resolution dialog shows for it.
struct Resolution_Entry {
    int width;
    int height;
    int bpp;
    const char* label;  // blank-padded so the columns line up in the dialog's list
};

// The twenty modes in code order (defined in base/resolution.cpp).
extern const Resolution_Entry resolution_table[RESOLUTION_COUNT];

// Fills width, height and bpp for a resolution code; 1, or 0 with
// "Decode_Resolution(): Invalid resolution %d" and the out-values untouched.
int Decode_Resolution(int resolution, int* width, int* height, int* bpp);
