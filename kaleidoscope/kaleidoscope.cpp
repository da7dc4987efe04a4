// The eight-fold kaleidoscope.
//
// One S x S tile is drawn at the top-left of the frame. The stamp blacks out
// one half of it along the main diagonal; the kept half is given a quarter
// turn into Scope_Rotated_90 and mirrored back over the tile, which together
// reflect it across the diagonal onto the black half (black is the colour
// key, so the kept half is not overwritten). Two mirrored copies then make
// the 2S x 2S picture of eight triangles.
//
// The quarter turn is an exact one done here on the locked surfaces rather
// than a rotation by an angle: a rotation by 1.57 radians truncated to pixels
// duplicates a row and a column through the middle of the tile and needs
// one-pixel corrections afterwards, and at 24 bits it goes pixel by pixel
// through device contexts. The exact turn makes the tile its own mirror
// image across the diagonal to the pixel, at the same cost at every depth.
#include "kaleidoscope/kaleidoscope.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/blits.h"
#include "graphics/display.h"
#include "graphics/pixel_effects.h"
#include "graphics/surface.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/gdi.h"
#include "platform/pixel_format.h"
#include "platform/row_bands.h"
#include "platform/system.h"
#include "slides/colour_slides.h"

Surface* Scope_Rotated_90 = nullptr;
Surface* Triangle_Stamp = nullptr;
int segment_width = 0;
int segment_height = 0;
int rotated_width = 0;
int rotated_height = 0;
int kaleidoscope_active = 0;
int rebuild_pending = 0;

// The quarter turn as an angle, for the size of Scope_Rotated_90: one pixel
// wider and higher than the tile for an even side, as the saver has always
// made it (the spare row and column stay black).
static constexpr float QUARTER_TURN = 1.57f;

// The smallest tile the kaleidoscope draws, whatever the screen.
static constexpr int SMALLEST_TILE_SIDE = 80;

static constexpr COLORREF WHITE = RGB(255, 255, 255);
static constexpr COLORREF BLACK = RGB(0, 0, 0);

int Kaleidoscope_Tile_Side() {
    // The largest tile is half the screen height, rounded down to 16 pixels,
    // so that the finished square (twice the tile) fits the screen.
    const int largest = 16 * (app.screen_height / 32);
    int side = plasma_settings.kaleidoscope_granularity;
    if (side >= largest) side = largest;
    if (side <= SMALLEST_TILE_SIDE) side = SMALLEST_TILE_SIDE;
    return side;
}

int Setup_Kaleidoscope(int, int) {
    if (Scope_Rotated_90 || Triangle_Stamp) {
        Report_Error("Setup_Kaleidoscope(): Scope_Rotated_90 && Triangle_Stamp should be NULL");
        return 0;
    }
    const int side = Kaleidoscope_Tile_Side();
    segment_width = side;
    segment_height = side;
    Rotated_Dimensions(side, side, &rotated_width, &rotated_height, QUARTER_TURN);

    if (!Create_SYSTEM_Surface(&Scope_Rotated_90, rotated_width, rotated_height)) {
        std::snprintf(message_buffer, sizeof message_buffer,
                      " Setup_Kaleidoscope():\n\nCreate Surface FAILED\nwidth %d height %d", rotated_width,
                      rotated_height);
        Report_Error(message_buffer);
        return 0;
    }
    if (!Create_Triangle_Stamp(side, side)) {
        std::snprintf(message_buffer, sizeof message_buffer,
                      " Setup_Kaleidoscope():\n\nCreate_Triangle_Stamp FAILED\nwidth %d height %d", side, side);
        Report_Error(message_buffer);
        return 0;
    }

    // The plasma is generated at the tile's size.
    Resize_Plasma(side, side);

    rebuild_pending = 1;
    kaleidoscope_active = 1;
    plasma_settings.kaleidoscope_on = 1;
    return 1;
}

void Shutdown_Kaleidoscope() {
    if (Triangle_Stamp) {
        Release(Triangle_Stamp);
        Triangle_Stamp = nullptr;
    }
    if (Scope_Rotated_90) {
        Release(Scope_Rotated_90);
        Scope_Rotated_90 = nullptr;
    }
    kaleidoscope_active = 0;
}

int Create_Triangle_Stamp(int width, int height) {
    if (!Create_SYSTEM_Surface(&Triangle_Stamp, width, height)) {
        std::snprintf(message_buffer, sizeof message_buffer,
                      " Create_Triangle_Stamp():\n\nCreate Surface FAILED\nwidth %d height %d", width, height);
        Report_Error(message_buffer);
        return 0;
    }
    DeviceContext* dc = nullptr;
    if (Surface_GetDC(Triangle_Stamp, &dc) != DD_OK) {
        Report_Error("Create_Triangle_Stamp()\n\n Unable to Acquire device context from surface");
        return 0;
    }
    // The lower-left half of the square, its diagonal edge included; the
    // rest stays the black the surface was created with.
    GDI_Select_Brush(dc, WHITE);
    GDI_Select_Pen(dc, WHITE);
    const Point triangle[3] = {{0, 0}, {width, height}, {0, height}};
    GDI_Polygon(dc, triangle, 3);
    Surface_ReleaseDC(Triangle_Stamp, dc);

    // Above 8 bits white is the key, so the stamp copies only its black half.
    // The key is white as this surface's format stores it: 0xFFFFFF would
    // miss the 0x7FFF of a 5-5-5 display. At 8 bits black (index 0) is the
    // key, and the white half is copied and then erased.
    const uint32_t key = app.screen_bpp == 8 ? 0 : Colour_To_Pixel(Triangle_Stamp, WHITE);
    return Set_Transparency(Triangle_Stamp, key);
}

int Erase_White_Triangle(Surface* surface, int x, int y, int width, int height) {
    DeviceContext* dc = nullptr;
    if (!surface || Surface_GetDC(surface, &dc) != DD_OK) {
        Report_Error("Create_Triangle_Stamp()\n\n Unable to Acquire device context from surface");
        return 0;
    }
    // A context's pen starts black, so the outline is black too.
    GDI_Select_Brush(dc, BLACK);
    const Point triangle[3] = {{x, y}, {x + width, y + height}, {x, y + height}};
    GDI_Polygon(dc, triangle, 3);
    Surface_ReleaseDC(surface, dc);
    return 1;
}

int Restore_All_Scope_Surfaces() {
    const bool rotated_lost = Scope_Rotated_90 && Surface_IsLost(Scope_Rotated_90) == DDERR_SURFACELOST;
    const bool stamp_lost = Triangle_Stamp && Surface_IsLost(Triangle_Stamp) == DDERR_SURFACELOST;
    if (!rotated_lost && !stamp_lost) return 1;
    // Restoring gives the memory back but not the stamp's triangle: build both anew.
    Shutdown_Kaleidoscope();
    kaleidoscope_active = 1;
    if (!Setup_Kaleidoscope(app.client_width, app.client_height)) {
        Report_Error("Restore_All_Scope_Surfaces(): Setup_Kaleidoscope FAILED");
        return 0;
    }
    return 1;
}

// The frame surface is usable: it exists and, if it was lost, has been restored.
static bool Usable_Dest(Surface* dest) {
    if (!dest) return false;
    if (Surface_IsLost(dest) != DDERR_SURFACELOST) return true;
    return Restore_All_Surfaces() && Surface_IsLost(dest) != DDERR_SURFACELOST;
}

// Gives the S x S tile at the top-left of dest a quarter turn clockwise into
// Scope_Rotated_90: turned (k, r) = tile (r, S - 1 - k). Mirroring that left
// to right puts tile (y, x) at (x, y). Tile pixels outside dest read as 0.
//
// At 8 bits the erase has blacked out the diagonal as well as the half below
// it, and a diagonal maps onto itself, so no mirror can bring it back. It is
// given the colour of the kept pixel beside it first, so that no black seam
// crosses the picture; any colour there keeps the tile symmetric.
// The tile turned a quarter: its picture, the turned surface's, and their sizes.
struct Turn {
    const uint8_t* tile;
    int tile_pitch;
    uint8_t* turned;
    int turned_pitch;
    int side, turned_side;
    int tile_width, tile_height;  // of the tile's surface
};

// Turned rows band_begin to band_end. One row of the turned picture is one
// column of the tile read upwards from its bottom: walk the tile's rows so
// that reads run along memory. Pixels of B bytes move as one word.
template <int B>
static void Turn_Band(const Turn& t, int band_begin, int band_end) {
    for (int k = 0; k < t.turned_side; ++k) {
        const int y = t.side - 1 - k;
        const bool row_inside = y < t.tile_height;
        const uint8_t* tile_row = t.tile + static_cast<size_t>(row_inside ? y : 0) * t.tile_pitch;
        for (int r = band_begin; r < band_end; ++r) {
            uint8_t* out = t.turned + static_cast<size_t>(r) * t.turned_pitch + static_cast<size_t>(k) * B;
            if (row_inside && r < t.tile_width)
                std::memcpy(out, tile_row + static_cast<size_t>(r) * B, B);
            else
                std::memset(out, 0, B);
        }
    }
}

#if defined(__SSE2__)
// The 32-bit turn in blocks of four by four pixels: four tile rows read at
// once and transposed in registers make four turned rows. Only for a band
// that lies wholly inside the tile's surface; the rest goes pixel by pixel.
static void Turn_Band_32(const Turn& t, int band_begin, int band_end) {
    if (t.side > t.tile_height || band_end > t.tile_width) {
        Turn_Band<4>(t, band_begin, band_end);
        return;
    }
    const int block_end = band_begin + (band_end - band_begin) / 4 * 4;
    const int k_end = t.turned_side / 4 * 4;
    for (int r = band_begin; r < block_end; r += 4) {
        uint8_t* out = t.turned + static_cast<size_t>(r) * t.turned_pitch;
        for (int k = 0; k < k_end; k += 4) {
            __m128i v[4];
            for (int j = 0; j < 4; ++j)
                v[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                    t.tile + static_cast<size_t>(t.side - 1 - k - j) * t.tile_pitch + static_cast<size_t>(r) * 4));
            const __m128i low_01 = _mm_unpacklo_epi32(v[0], v[1]), low_23 = _mm_unpacklo_epi32(v[2], v[3]);
            const __m128i high_01 = _mm_unpackhi_epi32(v[0], v[1]), high_23 = _mm_unpackhi_epi32(v[2], v[3]);
            const __m128i rows[4] = {_mm_unpacklo_epi64(low_01, low_23), _mm_unpackhi_epi64(low_01, low_23),
                                     _mm_unpacklo_epi64(high_01, high_23), _mm_unpackhi_epi64(high_01, high_23)};
            for (int i = 0; i < 4; ++i)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + static_cast<size_t>(i) * t.turned_pitch + k * 4),
                                 rows[i]);
        }
        // The last columns of these rows, fewer than four.
        for (int i = 0; i < 4; ++i)
            for (int k = k_end; k < t.turned_side; ++k)
                std::memcpy(out + static_cast<size_t>(i) * t.turned_pitch + static_cast<size_t>(k) * 4,
                            t.tile + static_cast<size_t>(t.side - 1 - k) * t.tile_pitch + static_cast<size_t>(r + i) * 4,
                            4);
    }
    if (block_end < band_end) Turn_Band<4>(t, block_end, band_end);
}
#endif

static int Turn_Tile(Surface* dest, int side, bool palette_mode) {
    int turned_pitch = 0, tile_pitch = 0;
    uint8_t* turned = Lock_Surface(Scope_Rotated_90, &turned_pitch);
    if (!turned) return 0;
    uint8_t* tile = Lock_Surface(dest, &tile_pitch);
    if (!tile) {
        Unlock_Surface(Scope_Rotated_90);
        return 0;
    }
    const int bytes = Pixel_Bytes(dest->bits_per_pixel);
    const int turned_side = std::min({side, Scope_Rotated_90->width, Scope_Rotated_90->height});
    if (bytes == 0 || bytes != Pixel_Bytes(Scope_Rotated_90->bits_per_pixel)) {
        Unlock_Surface(dest);
        Unlock_Surface(Scope_Rotated_90);
        return 0;
    }
    auto tile_pixel = [&](int x, int y) {
        return tile + static_cast<size_t>(y) * tile_pitch + static_cast<size_t>(x) * bytes;
    };

    if (palette_mode) {
        const int diagonal = std::min({side, dest->width, dest->height});
        for (int a = 0; a < diagonal; ++a) {
            // The kept half lies strictly above the diagonal: its neighbour to
            // the right, or above for the last one.
            const int x = a + 1 < diagonal ? a + 1 : a, y = a + 1 < diagonal ? a : a - 1;
            if (y >= 0) std::memcpy(tile_pixel(a, a), tile_pixel(x, y), static_cast<size_t>(bytes));
        }
    }

    // Big tiles are turned in bands of turned rows (tile columns) on every
    // core; each band writes only its own rows of the other surface.
    const Turn turn{tile, tile_pitch, turned, turned_pitch, side, turned_side, dest->width, dest->height};
    auto band = [&](int band_begin, int band_end) {
        switch (bytes) {
        case 1: Turn_Band<1>(turn, band_begin, band_end); break;
        case 2: Turn_Band<2>(turn, band_begin, band_end); break;
        case 3: Turn_Band<3>(turn, band_begin, band_end); break;
        default:
#if defined(__SSE2__)
            Turn_Band_32(turn, band_begin, band_end);
#else
            Turn_Band<4>(turn, band_begin, band_end);
#endif
            break;
        }
    };
    Run_Row_Bands(turned_side, turned_side, band);
    Unlock_Surface(dest);
    Unlock_Surface(Scope_Rotated_90);
    return 1;
}

int Draw_Kaleidoscope(Surface* dest, int, int) {
    if (!kaleidoscope_active) return 1;
    if (!Usable_Dest(dest)) {
        Report_Error("Draw_Kaleidoscope(): NULL or LOST DEST");
        return 0;
    }
    if (!Restore_All_Scope_Surfaces()) {
        Report_Error("Draw_Kaleidoscope(): Restore_All_Scope_Surfaces FAILED");
        return 0;
    }
    if (rebuild_pending) {
        Shutdown_Kaleidoscope();
        if (!Setup_Kaleidoscope(app.client_width, app.client_height)) {
            Report_Error("Draw_Kaleidoscope(): Setup_Kaleidoscope FAILED");
            return 0;
        }
        rebuild_pending = 0;
    }

    // The tile: the colour slides when they are running, else the plasma.
    if (!Draw_Slides(dest, 0, 0) && !Draw_Plasma(dest, 0, 0)) {
        Report_Error("Draw_Kaleidoscope():\n\nUnable to draw plasma");
        return 0;
    }

    const int side = segment_width;
    const bool palette_mode = app.screen_bpp == 8;
    if (!Masked_Clip_Blit(Triangle_Stamp, dest, 0, 0, 0, 0, side, side)) {
        Report_Error("Draw_Kaleidoscope():\n\nUnable to Stamp out half the plasma");
        return 0;
    }
    if (palette_mode && !Erase_White_Triangle(dest, 0, 0, side, side)) {
        Report_Error("Draw_Kaleidoscope(): Erase_White_Triangle FAILED");
        return 0;
    }
    if (!Turn_Tile(dest, side, palette_mode)) {
        Report_Error("Draw_Kaleidoscope():\n\nUnable to rotate quadrant 1 90 ");
        return 0;
    }
    if (!Masked_H_Blit(Scope_Rotated_90, dest, 0, 0, 0, 0, side, side)) {
        Report_Error("Draw_Kaleidoscope():\n\nUnable to h flip rotated 90 onto quadrant 2");
        return 0;
    }
    if (!Clip_H_Blit(dest, dest, 0, 0, side, 0, side, side)) {
        Report_Error("Draw_Kaleidoscope():\n\nUnable to h flip quadrants 1 & 2 to 3 & 4");
        return 0;
    }
    if (!Clip_V_Blit(dest, dest, 0, 0, 0, side, 2 * side, side)) {
        Report_Error("Draw_Kaleidoscope():\n\nUnable to v flip quads 1,2,3,4 to 5,6,7,8");
        return 0;
    }
    return 1;
}

static void Wait_For_Vertical_Blank_If_Asked() {
    if (app.vsync) DD_WaitForVerticalBlank(Direct_Draw_Interface, DDWAITVB_BLOCKBEGIN);
}

int Stretch_Kaleidoscope(Surface* source, Surface* dest) {
    if (!source || !dest) {
        Report_Error("Stretch_Kaleidoscope(): NULL source or dest");
        return 0;
    }
    if (Surface_IsLost(source) == DDERR_SURFACELOST ||
        (Surface_IsLost(dest) == DDERR_SURFACELOST && !Restore_All_Surfaces())) {
        Report_Error("Stretch_Kaleidoscope():Either source or dest is lost");
        return 0;
    }
    // The picture is 2S square; on a screen lower than 160 pixels (a preview
    // pane) the smallest tile makes it larger than the frame holds, and only
    // the part the frame holds can be shown.
    const int picture_width = std::min(2 * segment_width, source->width);
    const int picture_height = std::min(2 * segment_height, source->height);

    if (app.display_mode == DISPLAY_WINDOWED) {
        // In a window the picture always fills the client area.
        Rect client;
        if (!GetClientRect(app.main_window, &client)) {
            Report_Error("Stretch Kaleidoscope(): GetClientRect FAILED");
            return 0;
        }
        Point origin{};
        ClientToScreen(app.main_window, &origin);
        const int left = client.left + origin.x, top = client.top + origin.y;
        const int w = std::min(client.right - client.left, static_cast<int>(app.screen_width));
        const int h = std::min(client.bottom - client.top, static_cast<int>(app.screen_height));
        if (w < 1 || h < 1) return 1;
        Wait_For_Vertical_Blank_If_Asked();
        return Stretch_Blit(source, dest, 0, 0, left, top, picture_width, picture_height, w, h);
    }

    Wait_For_Vertical_Blank_If_Asked();
    if (plasma_settings.kaleidoscope_stretch)
        return Stretch_Blit(source, dest, 0, 0, 0, 0, picture_width, picture_height, app.screen_width,
                            app.screen_height);
    return Clip_Blit(source, dest, 0, 0, (app.screen_width - picture_width) / 2,
                     (app.screen_height - picture_height) / 2, picture_width, picture_height);
}
