#include "base/resolution.h"

#include <cstdio>

#include "base/error_log.h"

const Resolution_Entry resolution_table[RESOLUTION_COUNT] = {
    {320, 240, 32, "320  x 240  x 32"},   {640, 480, 32, "640  x 480  x 32"},   {800, 600, 32, "800  x 600  x 32"},
    {1024, 768, 32, "1024 x 768  x 32"},  {1280, 1024, 32, "1280 x 1024 x 32"}, {320, 240, 24, "320  x 240  x 24"},
    {640, 480, 24, "640  x 480  x 24"},   {800, 600, 24, "800  x 600  x 24"},   {1024, 768, 24, "1024 x 768  x 24"},
    {1280, 1024, 24, "1280 x 1024 x 24"}, {320, 240, 16, "320  x 240  x 16"},   {640, 480, 16, "640  x 480  x 16"},
    {800, 600, 16, "800  x 600  x 16"},   {1024, 768, 16, "1024 x 768  x 16"},  {1280, 1024, 16, "1280 x 1024 x 16"},
    {320, 240, 8, "320  x 240  x 8"},     {640, 480, 8, "640  x 480  x 8"},     {800, 600, 8, "800  x 600  x 8"},
    {1024, 768, 8, "1024 x 768  x 8"},    {1280, 1024, 8, "1280 x 1024 x 8"},
};

int Decode_Resolution(int resolution, int* width, int* height, int* bpp) {
    // A preset file is never validated on load, so any number can arrive here.
    if (resolution < 0 || resolution >= RESOLUTION_COUNT) {
        char text[64];
        snprintf(text, sizeof text, "Decode_Resolution(): Invalid resolution %d", resolution);
        Report_Error(text);
        return 0;
    }
    const Resolution_Entry& entry = resolution_table[resolution];
    *width = entry.width;
    *height = entry.height;
    *bpp = entry.bpp;
    return 1;
}
