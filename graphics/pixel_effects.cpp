// Per-pixel effects: rotation, hue rotation, fades, blends and the colour
// model conversions they rest on.
//
// The colour arithmetic is single precision throughout and truncates on the
// way back to integers; the pictures the saver has always made depend on
// those exact roundings (a 5-bit field of 30 fades to 29 with no step at all).
#include "graphics/pixel_effects.h"
#include "platform/pixel_format.h"

#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/blits.h"
#include "graphics/surface.h"
#include "platform/gdi.h"
#include "platform/row_bands.h"

// 1/255, 1/31 and 1/63 as the single-precision constants the conversions use.
static constexpr float ONE_OVER_255 = 0.003921569f;
static constexpr float ONE_OVER_31 = 0.032258064f;
static constexpr float ONE_OVER_63 = 1.0f / 63.0f;
// 1/60 in single precision: hue degrees to the sextant of the colour wheel.
static constexpr float ONE_OVER_60 = 0.016666668f;
// One step of the hue shift: 1/256 of a turn.
static constexpr float HUE_SHIFT_UNIT = 0.00390625f;

// The integer HLS scale: hue, lightness and saturation run 0..HLSMAX.
static constexpr int HLSMAX = 252;
static constexpr int RGBMAX = 255;

static bool Surface_Usable(Surface* surface) {
    return surface != nullptr && Surface_IsLost(surface) != DDERR_SURFACELOST;
}

// The first byte of pixel (x, y) in a locked surface.
static inline uint8_t* Pixel_Address(uint8_t* pixels, int pitch, int x, int y, int bytes) {
    return pixels + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * bytes;
}

// A component in [0, 1] back to its field: multiplied by the field's
// maximum and truncated, held inside the field so it cannot spill over.
// The component is a stored single-precision value, but the product is
// formed in double precision, as the saver's pictures always were: a 5-bit
// field of 30 is stored as 0.9677419 and comes back as 29, where a
// single-precision product would round up to 30.
static inline uint32_t Component_To_Field(float component, int field_max) {
    const int value = static_cast<int>(static_cast<double>(component) * field_max);
    if (value < 0) return 0;
    if (value > field_max) return static_cast<uint32_t>(field_max);
    return static_cast<uint32_t>(value);
}

struct Components {
    float first, second, third;
};

// 32 bits: the first component is bits 0-7, the third bits 16-23.
static inline bool Zero_Colour_32(uint32_t pixel) { return (pixel & 0x00FFFFFFu) == 0; }
static inline Components Pixel_32_To_Components(uint32_t pixel) {
    return {static_cast<float>(pixel & 0xFF) * ONE_OVER_255, static_cast<float>((pixel >> 8) & 0xFF) * ONE_OVER_255,
            static_cast<float>((pixel >> 16) & 0xFF) * ONE_OVER_255};
}
static inline uint32_t Components_To_Pixel_32(const Components& c) {
    return Component_To_Field(c.third, 255) << 16 | Component_To_Field(c.second, 255) << 8 |
           Component_To_Field(c.first, 255);
}

// 15/16 bits: the first component is the top field, in either layout.
static inline Components Pixel_16_To_Components(uint16_t pixel, bool is_565) {
    if (is_565) {
        return {static_cast<float>((pixel >> 11) & 0x1F) * ONE_OVER_31,
                static_cast<float>((pixel >> 5) & 0x3F) * ONE_OVER_63, static_cast<float>(pixel & 0x1F) * ONE_OVER_31};
    }
    return {static_cast<float>((pixel >> 10) & 0x1F) * ONE_OVER_31,
            static_cast<float>((pixel >> 5) & 0x1F) * ONE_OVER_31, static_cast<float>(pixel & 0x1F) * ONE_OVER_31};
}
static inline uint16_t Components_To_Pixel_16(const Components& c, bool is_565) {
    if (is_565) {
        return static_cast<uint16_t>(Component_To_Field(c.first, 31) << 11 | Component_To_Field(c.second, 63) << 5 |
                                     Component_To_Field(c.third, 31));
    }
    return static_cast<uint16_t>(Component_To_Field(c.first, 31) << 10 | Component_To_Field(c.second, 31) << 5 |
                                 Component_To_Field(c.third, 31));
}

struct HSV {
    float h, s, v;
};
static inline HSV To_HSV(const Components& c) {
    HSV out;
    RGB_To_HSV(c.first, c.second, c.third, &out.h, &out.s, &out.v);
    return out;
}
static inline Components From_HSV(const HSV& hsv) {
    Components out;
    HSV_To_RGB(&out.first, &out.second, &out.third, hsv.h, hsv.s, hsv.v);
    return out;
}

// ---------------------------------------------------------------------------
// Colour models

void RGB_To_HSV(float first, float second, float third, float* h, float* s, float* v) {
    const float max = std::fmax(first, std::fmax(second, third));
    const float min = std::fmin(first, std::fmin(second, third));
    const float delta = max - min;
    *v = max;
    if (delta == 0.0f) {
        *s = 0.0f;
        *h = -1.0f;
        return;
    }
    *s = delta / max;
    float hue;
    if (first == max) {
        hue = (second - third) / delta;
    } else if (second == max) {
        hue = 2.0f + (third - first) / delta;
    } else {
        hue = 4.0f + (first - second) / delta;
    }
    hue *= 60.0f;
    if (hue < 0.0f) hue += 360.0f;
    *h = hue;
}

void HSV_To_RGB(float* first, float* second, float* third, float h, float s, float v) {
    if (s == 0.0f) {
        *first = *second = *third = v;
        return;
    }
    const float sextant = h * ONE_OVER_60;
    const int i = static_cast<int>(std::floor(sextant));
    const float f = sextant - static_cast<float>(i);
    const float p = v * (1.0f - s);
    const float q = v * (1.0f - s * f);
    const float t = v * (1.0f - s * (1.0f - f));
    switch (i) {
    case 0: *first = v, *second = t, *third = p; break;
    case 1: *first = q, *second = v, *third = p; break;
    case 2: *first = p, *second = v, *third = t; break;
    case 3: *first = p, *second = q, *third = v; break;
    case 4: *first = t, *second = p, *third = v; break;
    default: *first = v, *second = p, *third = q; break;  // 5, and hues outside the circle
    }
}

int Hue_To_RGB(int m1, int m2, int hue) {
    if (hue > HLSMAX) hue %= HLSMAX;
    if (hue < 0) hue += HLSMAX;
    // 64-bit products: the scale is small, but nothing stops a caller passing more.
    const long long low = m1, span = static_cast<long long>(m2) - m1;
    if (hue < HLSMAX / 6) return static_cast<int>(low + (span * hue + HLSMAX / 12) / (HLSMAX / 6));
    if (hue < HLSMAX / 2) return m2;
    if (hue < (HLSMAX * 2) / 3) {
        return static_cast<int>(low + (span * ((HLSMAX * 2) / 3 - hue) + HLSMAX / 12) / (HLSMAX / 6));
    }
    return m1;
}

uint32_t HLS_To_RGB(uint16_t hue, uint16_t lightness, uint16_t saturation) {
    long long red, green, blue;
    const long long l = lightness, s = saturation;
    if (saturation == 0) {
        red = green = blue = (l * RGBMAX) / HLSMAX;
    } else {
        const long long m2 =
            l <= HLSMAX / 2 ? (l * (HLSMAX + s) + HLSMAX / 2) / HLSMAX : l + s - (l * s + HLSMAX / 2) / HLSMAX;
        const long long m1 = 2 * l - m2;
        const int a = static_cast<int>(m1), b = static_cast<int>(m2);
        red = (static_cast<long long>(Hue_To_RGB(a, b, hue + HLSMAX / 3)) * RGBMAX + HLSMAX / 2) / HLSMAX;
        green = (static_cast<long long>(Hue_To_RGB(a, b, hue)) * RGBMAX + HLSMAX / 2) / HLSMAX;
        blue = (static_cast<long long>(Hue_To_RGB(a, b, hue - HLSMAX / 3)) * RGBMAX + HLSMAX / 2) / HLSMAX;
    }
    // Full 8-bit channels at every depth: the device context reduces them to
    // the surface's fields. Cutting them to five bits here first (255 AND 31)
    // turned every 15/16-bit gradient nearly black.
    return static_cast<uint32_t>(red & 0xFF) | static_cast<uint32_t>(green & 0xFF) << 8 |
           static_cast<uint32_t>(blue & 0xFF) << 16;
}

int Round_Float(float x) {
    const int whole = static_cast<int>(x);
    return x - static_cast<float>(whole) > 0.5f ? whole + 1 : whole;
}

// ---------------------------------------------------------------------------
// Rotation

// The rotated box of a w x h region: the extremes of its four corners.
struct Rotated_Box {
    float min_x, max_x, min_y, max_y;
    float c, s;
    int half_w, half_h;
    int width, height;
};

static Rotated_Box Rotate_Box(int w, int h, float angle) {
    Rotated_Box box;
    box.half_w = w >> 1;
    box.half_h = h >> 1;
    box.c = std::cos(angle);
    box.s = std::sin(angle);
    const float xs[4] = {static_cast<float>(-box.half_w), static_cast<float>(box.half_w),
                         static_cast<float>(-box.half_w), static_cast<float>(box.half_w)};
    const float ys[4] = {static_cast<float>(-box.half_h), static_cast<float>(-box.half_h),
                         static_cast<float>(box.half_h), static_cast<float>(box.half_h)};
    for (int k = 0; k < 4; ++k) {
        const float x = xs[k] * box.c - ys[k] * box.s;
        const float y = xs[k] * box.s + ys[k] * box.c;
        if (k == 0 || x < box.min_x) box.min_x = x;
        if (k == 0 || x > box.max_x) box.max_x = x;
        if (k == 0 || y < box.min_y) box.min_y = y;
        if (k == 0 || y > box.max_y) box.max_y = y;
    }
    box.width = static_cast<int>(box.max_x - box.min_x + 1.0f);
    box.height = static_cast<int>(box.max_y - box.min_y + 1.0f);
    return box;
}

int Rotated_Dimensions(int width, int height, int* out_width, int* out_height, float angle) {
    const Rotated_Box box = Rotate_Box(width, height, angle);
    if (out_width) *out_width = box.width;
    if (out_height) *out_height = box.height;
    return 1;
}

// Walks the box with the inverse mapping, calling visit(k, r, sx, sy) for
// every destination pixel with its region coordinates (sx, sy); a point
// outside the region comes with inside false. Returns false as soon as
// visit does. The walk never leaves the box, even when float steps would.
template <typename Visit>
static bool Walk_Rotated_Box(const Rotated_Box& box, int w, int h, Visit visit) {
    int r = 0;
    for (float y = box.min_y; y <= box.max_y && r < box.height; y += 1.0f, ++r) {
        int k = 0;
        for (float x = box.min_x; x <= box.max_x && k < box.width; x += 1.0f, ++k) {
            const int sx = static_cast<int>(x * box.c + y * box.s) + box.half_w;
            const int sy = static_cast<int>(y * box.c - x * box.s) + box.half_h;
            const bool inside = sx >= 0 && sx < w && sy >= 0 && sy < h;
            if (!visit(k, r, sx, sy, inside)) return false;
        }
    }
    return true;
}

int Rotate_Surface_Ex(Surface* source, Surface* dest, int w, int h, int* out_width, int* out_height, float angle,
                      int sx, int sy, int dx, int dy) {
    if (app.screen_bpp == 24) {
        if (Rotate_Generic_Surface_Ex(source, dest, w, h, out_width, out_height, angle, sx, sy, dx, dy)) return 1;
        Report_Error("Rotate_Surface_Ex(): Rotate_Generic_Surface_Ex FAILED");
        return 0;
    }
    const Rotated_Box box = Rotate_Box(w, h, angle);
    if (out_width) *out_width = box.width;
    if (out_height) *out_height = box.height;

    int dest_pitch = 0, source_pitch = 0;
    uint8_t* dest_pixels = Lock_Surface(dest, &dest_pitch);
    if (!dest_pixels) {
        Report_Error("Rotate_Surface_Ex():Unable to Lock dest surface");
        return 0;
    }
    uint8_t* source_pixels = Lock_Surface(source, &source_pitch);
    if (!source_pixels) {
        Report_Error("Rotate_Surface_Ex():Unable to Lock source image surface");
        Unlock_Surface(dest);
        return 0;
    }

    // Both surfaces are in the display's format. The box is expected to fit
    // the destination and the region the source; pixels that would fall
    // outside either surface are skipped (destination) or read as 0 (source)
    // rather than touching memory the surfaces do not own.
    const int bytes = Pixel_Bytes(dest->bits_per_pixel);
    if (bytes != 0 && bytes == Pixel_Bytes(source->bits_per_pixel)) {
        Walk_Rotated_Box(box, w, h, [&](int k, int r, int rx, int ry, bool inside) {
            const long long tx = static_cast<long long>(dx) + k, ty = static_cast<long long>(dy) + r;
            if (tx < 0 || ty < 0 || tx >= dest->width || ty >= dest->height) return true;
            uint8_t* out = Pixel_Address(dest_pixels, dest_pitch, static_cast<int>(tx), static_cast<int>(ty), bytes);
            const long long fx = static_cast<long long>(sx) + rx, fy = static_cast<long long>(sy) + ry;
            if (inside && fx >= 0 && fy >= 0 && fx < source->width && fy < source->height) {
                std::memcpy(
                    out, Pixel_Address(source_pixels, source_pitch, static_cast<int>(fx), static_cast<int>(fy), bytes),
                    static_cast<size_t>(bytes));
            } else {
                std::memset(out, 0, static_cast<size_t>(bytes));
            }
            return true;
        });
    }
    Unlock_Surface(source);
    Unlock_Surface(dest);
    return 1;
}

int Rotate_Generic_Surface_Ex(Surface* source, Surface* dest, int w, int h, int* out_width, int* out_height,
                              float angle, int sx, int sy, int dx, int dy) {
    const Rotated_Box box = Rotate_Box(w, h, angle);
    if (out_width) *out_width = box.width;
    if (out_height) *out_height = box.height;

    DeviceContext* source_dc = nullptr;
    DeviceContext* dest_dc = nullptr;
    if (source == nullptr || Surface_GetDC(source, &source_dc) != DD_OK) {
        Report_Error("Rotate_Generic_Surface_Ex(): source->GetDC FAILED");
        return 0;
    }
    if (dest == nullptr || Surface_GetDC(dest, &dest_dc) != DD_OK) {
        Report_Error("Rotate_Generic_Surface_Ex(): dest->GetDC FAILED");
        Surface_ReleaseDC(source, source_dc);
        return 0;
    }
    // The failure is reported after both contexts are back.
    enum class Failure { NONE, READ, WRITE, WRITE_ZERO } failure = Failure::NONE;
    int failed_x = 0, failed_y = 0;
    COLORREF failed_colour = 0;
    Walk_Rotated_Box(box, w, h, [&](int k, int r, int rx, int ry, bool inside) {
        const int tx = dx + k, ty = dy + r;
        if (inside) {
            const int fx = sx + rx, fy = sy + ry;
            const COLORREF colour = GDI_GetPixel(source_dc, fx, fy);
            if (colour == CLR_INVALID) {
                failure = Failure::READ;
                failed_x = fx;
                return false;
            }
            if (GDI_SetPixel(dest_dc, tx, ty, colour) == static_cast<COLORREF>(-1)) {
                failure = Failure::WRITE;
                failed_colour = colour;
                failed_x = tx;
                return false;
            }
        } else if (GDI_SetPixel(dest_dc, tx, ty, 0) == static_cast<COLORREF>(-1)) {
            failure = Failure::WRITE_ZERO;
            failed_x = tx;
            failed_y = ty;
            return false;
        }
        return true;
    });
    Surface_ReleaseDC(dest, dest_dc);
    Surface_ReleaseDC(source, source_dc);
    switch (failure) {
    case Failure::NONE: return 1;
    case Failure::READ: Report_Formatted("Rotate_Generic_Surface_Ex(): GetPixel @ (%d,&d) FAILED", failed_x); break;
    case Failure::WRITE:
        Report_Formatted("Rotate_Generic_Surface_Ex(): SetPixel %d @ (%d,&d) FAILED", static_cast<int>(failed_colour),
                         failed_x);
        break;
    case Failure::WRITE_ZERO:
        Report_Formatted("Rotate_Generic_Surface_Ex(): SetPixel 0 @ (%d,%d) on a (%dx%d) surface FAILED", failed_x,
                         failed_y, box.width, box.height);
        break;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Hue rotation

int Alter_Hue(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int shift) {
    if (!Surface_Usable(source) || !Surface_Usable(dest) || w <= 0 || h <= 0) return 0;
    Wait_For_Blitter(source);
    Wait_For_Blitter(dest);

    DeviceContext* dest_dc = nullptr;
    if (Surface_GetDC(dest, &dest_dc) != DD_OK) {
        Report_Error("Alter Hue() Unable to Acquire dest device context from surface");
        return 0;
    }
    // One context serves both when the hue turns in place.
    DeviceContext* source_dc = dest_dc;
    if (source != dest && Surface_GetDC(source, &source_dc) != DD_OK) {
        Report_Error("Alter Hue() Unable to Acquire source device context from surface");
        Surface_ReleaseDC(dest, dest_dc);
        return 0;
    }
    const float hue_shift = static_cast<float>(shift) * HUE_SHIFT_UNIT * 360.0f;
    // Column by column, as the hue strips are laid out.
    const char* failure = nullptr;
    int i = 0, j = 0;
    for (i = 0; i < w; ++i) {
        for (j = 0; j < h; ++j) {
            const COLORREF colour = GDI_GetPixel(source_dc, sx + i, sy + j);
            if (colour == CLR_INVALID) {
                failure = "Alter Hue() Unable to GetPixel at (%d,%d)\non surface of w = %d h = %d";
                break;
            }
            // A device-context colour is 0x00BBGGRR: red is the first component.
            HSV hsv = To_HSV({static_cast<float>(colour & 0xFF) * ONE_OVER_255,
                              static_cast<float>((colour >> 8) & 0xFF) * ONE_OVER_255,
                              static_cast<float>((colour >> 16) & 0xFF) * ONE_OVER_255});
            hsv.h += hue_shift;
            if (hsv.h > 360.0f) hsv.h -= 360.0f;
            const Components c = From_HSV(hsv);
            const COLORREF shifted = RGB(static_cast<int>(Component_To_Field(c.first, 255)),
                                         static_cast<int>(Component_To_Field(c.second, 255)),
                                         static_cast<int>(Component_To_Field(c.third, 255)));
            if (GDI_SetPixel(dest_dc, dx + i, dy + j, shifted) == static_cast<COLORREF>(-1)) {
                failure = "Alter Hue() Unable to SetPixel at (%d,%d)\non surface of w = %d h = %d";
                break;
            }
        }
        if (failure) break;
    }
    Surface_ReleaseDC(dest, dest_dc);
    if (source != dest) Surface_ReleaseDC(source, source_dc);
    if (failure) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE, failure, i, j, w, h);
        Report_Error(message_buffer);
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Fades

// Keeps a rectangle inside the surface: the fade is handed whole slide and
// title rectangles, and one that strays past an edge must not write outside
// the surface's memory.
static bool Inside_Surface(const Surface* surface, int* x, int* y, int* w, int* h) {
    int unused_x = 0, unused_y = 0;
    return Clip_Rectangle(&unused_x, &unused_y, x, y, w, h, surface->width, surface->height);
}

// The fade of one pixel's components (the zero colour never gets here).
static inline Components Fade_Components(const Components& c, float value_step, float hue_step, float saturation_step) {
    HSV hsv = To_HSV(c);
    hsv.v -= value_step;
    if (hsv.v < 0.0f) hsv.v = 0.0f;
    hsv.s -= saturation_step;
    if (hsv.s < 0.0f) hsv.s = 0.0f;
    hsv.h -= hue_step;
    if (hsv.h < 0.0f) hsv.h = 0.0f;
    return From_HSV(hsv);
}

int Fade_32(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step) {
    if (!Surface_Usable(surface) || w <= 0 || h <= 0) return 0;
    int pitch = 0;
    uint8_t* pixels = Lock_Surface(surface, &pitch);
    if (!pixels) {
        Report_Error("Fade_32(): Lock Surface FAILED");
        return 0;
    }
    if (surface->bits_per_pixel == 32 && Inside_Surface(surface, &x, &y, &w, &h)) {
        const float v_step = static_cast<float>(value_step) * ONE_OVER_255;
        const float s_step = static_cast<float>(saturation_step) * ONE_OVER_255;
        const float h_step = static_cast<float>(hue_step);
        // Each pixel fades on its own: big rectangles go in row bands on every core.
        auto band = [&](int band_begin, int band_end) {
            // Slides are drawn in runs of one colour: the last answer is kept.
            uint32_t last_in = 0, last_out = 0;
            for (int j = band_begin; j < band_end; ++j) {
                uint8_t* p = Pixel_Address(pixels, pitch, x, y + j, 4);
                for (int i = 0; i < w; ++i, p += 4) {
                    const uint32_t pixel = Read_32(p);
                    if (Zero_Colour_32(pixel)) continue;
                    if (pixel != last_in) {
                        last_in = pixel;
                        last_out = Components_To_Pixel_32(
                            Fade_Components(Pixel_32_To_Components(pixel), v_step, h_step, s_step));
                    }
                    Write_32(p, last_out);
                }
            }
        };
        Run_Row_Bands(h, w, band);
    }
    Unlock_Surface(surface);
    return 1;
}

int Fade_16(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step) {
    if (!Surface_Usable(surface) || w <= 0 || h <= 0) return 0;
    int pitch = 0;
    uint8_t* pixels = Lock_Surface(surface, &pitch);
    if (!pixels) {
        Report_Error("Fade_16(): Lock Surface FAILED");
        return 0;
    }
    const bool is_565 = format_565 == 1;
    if (Pixel_Bytes(surface->bits_per_pixel) == 2 && Inside_Surface(surface, &x, &y, &w, &h)) {
        const float v_step = static_cast<float>(value_step) * ONE_OVER_255;
        const float s_step = static_cast<float>(saturation_step) * ONE_OVER_255;
        const float h_step = static_cast<float>(hue_step);
        auto band = [&](int band_begin, int band_end) {
            uint16_t last_in = 0, last_out = 0;
            for (int j = band_begin; j < band_end; ++j) {
                uint8_t* p = Pixel_Address(pixels, pitch, x, y + j, 2);
                for (int i = 0; i < w; ++i, p += 2) {
                    const uint16_t pixel = Read_16(p);
                    if (pixel == 0) continue;
                    if (pixel != last_in) {
                        last_in = pixel;
                        last_out = Components_To_Pixel_16(
                            Fade_Components(Pixel_16_To_Components(pixel, is_565), v_step, h_step, s_step), is_565);
                    }
                    Write_16(p, last_out);
                }
            }
        };
        Run_Row_Bands(h, w, band);
    }
    Unlock_Surface(surface);
    return 1;
}

int Fade(Surface* surface, int x, int y, int w, int h, int value_step, int hue_step, int saturation_step) {
    const int depth = app.screen_bpp;
    if (depth == 15 || depth == 16) {
        if (Fade_16(surface, x, y, w, h, value_step, hue_step, saturation_step)) return 1;
        Report_Error("Fade(): Fade_16 FAILED");
        return 0;
    }
    if (depth == 32) {
        if (Fade_32(surface, x, y, w, h, value_step, hue_step, saturation_step)) return 1;
        Report_Error("Fade(): Fade_32 FAILED");
        return 0;
    }
    return 1;  // 8 and 24 bits have no fade
}

// ---------------------------------------------------------------------------
// Blends

enum class Blend_Mode { COLOUR, LIGHT };

// What a blend does with one pair of pixels, as components; the zero-colour
// cases are settled by the caller.
static inline Components Blend_Components(Blend_Mode mode, const Components& source, const Components& dest) {
    const HSV s = To_HSV(source);
    const HSV d = To_HSV(dest);
    HSV out;
    if (mode == Blend_Mode::COLOUR) {
        // Hues average as plain numbers, not around the circle.
        out = {(s.h + d.h) / 2.0f, (s.s + d.s) / 2.0f, (s.v + d.v) / 2.0f};
    } else {
        out = {d.h, d.s, s.v + d.v};
        if (out.v > 1.0f) out.v = 1.0f;
    }
    return From_HSV(out);
}

// One blend body at 16 or 32 bits: 1 done or clipped away, 0 failed (reported).
static int Blend_Body(Blend_Mode mode, int bits, Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w,
                      int h, int clip_width, int clip_height) {
    if (clip_width <= 0 || clip_height <= 0 || w <= 0 || h <= 0) return 0;
    if (!Clip_Rectangle(&sx, &sy, &dx, &dy, &w, &h, clip_width, clip_height)) return 1;
    // The clip area is the screen's or the slide's, not the surfaces': keep
    // both rectangles inside their surfaces as well, so a stray position never
    // reaches memory the surfaces do not own.
    if (dest && !Clip_Rectangle(&sx, &sy, &dx, &dy, &w, &h, dest->width, dest->height)) return 1;
    if (source && !Clip_Rectangle(&dx, &dy, &sx, &sy, &w, &h, source->width, source->height)) return 1;

    const char* dest_text = mode == Blend_Mode::COLOUR ? "Colour_Blend_Blit():Unable to Lock dest surface"
                            : bits == 16               ? "Light_Blend_Blit_16():Unable to Lock dest surface"
                                                       : "Light_Blend_Blit():Unable to Lock dest surface";
    const char* source_text = mode == Blend_Mode::COLOUR ? "Colour_Blend_Blit():Unable to Lock source image surface"
                              : bits == 16               ? "Light_Blend_Blit_16():Unable to Lock source image surface"
                                                         : "Light_Blend_Blit():Unable to Lock source image surface";
    int dest_pitch = 0, source_pitch = 0;
    uint8_t* dest_pixels = Lock_Surface(dest, &dest_pitch);
    if (!dest_pixels) {
        Report_Error(dest_text);
        return 0;
    }
    const bool is_565 = format_565 == 1;
    uint8_t* source_pixels = dest_pixels;
    source_pitch = dest_pitch;
    if (source != dest) {
        source_pixels = Lock_Surface(source, &source_pitch);
        if (!source_pixels) {
            Report_Error(source_text);
            Unlock_Surface(dest);
            return 0;
        }
    }

    const int bytes = bits / 8;
    if (Pixel_Bytes(dest->bits_per_pixel) == bytes && Pixel_Bytes(source->bits_per_pixel) == bytes) {
        for (int j = 0; j < h; ++j) {
            const uint8_t* s = Pixel_Address(source_pixels, source_pitch, sx, sy + j, bytes);
            uint8_t* d = Pixel_Address(dest_pixels, dest_pitch, dx, dy + j, bytes);
            for (int i = 0; i < w; ++i, s += bytes, d += bytes) {
                if (bits == 32) {
                    const uint32_t sp = Read_32(s), dp = Read_32(d);
                    if (Zero_Colour_32(sp)) continue;
                    if (Zero_Colour_32(dp)) {
                        // Light over black stays black at 32 bits; the colour blend copies.
                        if (mode == Blend_Mode::COLOUR) Write_32(d, sp);
                        continue;
                    }
                    Write_32(d, Components_To_Pixel_32(
                                    Blend_Components(mode, Pixel_32_To_Components(sp), Pixel_32_To_Components(dp))));
                } else {
                    const uint16_t sp = Read_16(s), dp = Read_16(d);
                    if (sp == 0) continue;
                    if (dp == 0) {
                        Write_16(d, sp);
                        continue;
                    }
                    Write_16(d, Components_To_Pixel_16(Blend_Components(mode, Pixel_16_To_Components(sp, is_565),
                                                                        Pixel_16_To_Components(dp, is_565)),
                                                       is_565));
                }
            }
        }
    }
    if (source != dest) Unlock_Surface(source);
    Unlock_Surface(dest);
    return 1;
}

// Both blends choose their body by screen depth; 8 and 24 bits have none.
static int Blend_By_Depth(Blend_Mode mode, Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h,
                          int clip_width, int clip_height) {
    const int depth = app.screen_bpp;
    const bool colour = mode == Blend_Mode::COLOUR;
    if (depth == 15 || depth == 16) {
        if (Blend_Body(mode, 16, source, dest, sx, sy, dx, dy, w, h, clip_width, clip_height)) return 1;
        Report_Error(colour ? "Colour_Blend_Blit(): 16 bit blend FAILED" : "Light_Blend_Blit(): 16 bit blend FAILED");
        return 0;
    }
    if (depth == 32) {
        if (Blend_Body(mode, 32, source, dest, sx, sy, dx, dy, w, h, clip_width, clip_height)) return 1;
        Report_Error(colour ? "Colour_Blend_Blit(): 32 bit blend FAILED" : "Light_Blend_Blit(): 32 bit blend FAILED");
        return 0;
    }
    return 1;
}

int Colour_Blend_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width,
                      int clip_height) {
    return Blend_By_Depth(Blend_Mode::COLOUR, source, dest, sx, sy, dx, dy, w, h, clip_width, clip_height);
}

int Light_Blend_Blit(Surface* source, Surface* dest, int sx, int sy, int dx, int dy, int w, int h, int clip_width,
                     int clip_height) {
    return Blend_By_Depth(Blend_Mode::LIGHT, source, dest, sx, sy, dx, dy, w, h, clip_width, clip_height);
}
