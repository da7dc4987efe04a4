// Sine-wave bands.
//
// Each pass moves the phase on and paints, in every column, a band whose top
// row is the sum of three sine terms around a rest line 40 percent of the way
// down. The terms' amplitudes walk at random inside 0..A, so the shape keeps
// changing. The 15/16- and 32-bit drawers write straight into the locked
// surface; depths 8 and 24 go through single red pixels of the device context.
#include "slides/sine_waves.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/app_state.h"
#include "base/error_log.h"
#include "base/random.h"
#include "graphics/surface.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/gdi.h"
#include "platform/pixel_format.h"
#include "platform/row_bands.h"

WaveState sine_wave_16_state;
WaveState multi_sine_wave_16_state;
WaveState sine_wave_32_state;
WaveState multi_sine_wave_32_state;
WaveState sine_wave_gdi_state;
int sine_rerandomise = 0;

// Degrees to radians, held in single precision as the waves always used it.
static constexpr float DEGREES_TO_RADIANS = 0.017453292f;
// The sine-wave dialog's largest "Pixels Plotted Per Frame". A preset file may
// hold any number; more passes than this would only stall the frame.
static constexpr int MAX_SINE_PASSES = 256;
// The device-context drawer's fixed settings: passes per call, the modulus of
// its steps, and its phase step per column of width.
static constexpr int GDI_SINE_PASSES = 32;
static constexpr int GDI_SINE_VARIANCE = 4;
static constexpr double GDI_PHASE_PER_COLUMN = 0.003125 * 0.005;
static constexpr COLORREF GDI_SINE_RED = 0x0000FF;
// Phase factor of the middle term: the third wave of the multi-wave drawers
// turns slower than the others so the three never lock together.
static constexpr double MIDDLE_TERM_RATE = 0.5;
static constexpr double THIRD_WAVE_MIDDLE_TERM_RATE = 1.0 / 3.0;

// ---------------------------------------------------------------------------
// The walk

// rand() mod A, or 0 when the bound is not above 0: an amplitude setting of 0
// lays the band flat on the rest line instead of dividing by zero.
static double Draw_Amplitude(int bound) { return bound > 0 ? static_cast<double>(crt::rand() % bound) : 0.0; }

// rand() mod V times the scale, or 0 when V is not above 0 (the built-in
// default): the amplitudes then keep their values and the waves do not walk.
static double Draw_Step(int variance, double scale) {
    return variance > 0 ? static_cast<double>(crt::rand() % variance) * scale : 0.0;
}

static void Draw_Terms(WaveState& state, int waves, int bound, int variance, bool all) {
    for (int i = 0; i < waves * SINE_TERMS; ++i) {
        if (all || !(state.amplitude_drawn & (1u << i))) {
            state.term_amplitude[i] = Draw_Amplitude(bound);
            state.amplitude_drawn |= 1u << i;
        }
    }
    for (int i = 0; i < waves * SINE_TERMS; ++i) {
        if (all || !(state.step_drawn & (1u << i))) {
            state.term_step[i] = Draw_Step(variance, 0.1);
            state.step_drawn |= 1u << i;
        }
    }
}

// One step of one wave's walk, then its bounds. The amplitude itself is never
// clamped; a term out of bounds only gets a step back, and the first term
// falls back ten times faster than it climbs.
static void Walk(WaveState& state, int wave, int bound, int variance) {
    double* a = state.term_amplitude + wave * SINE_TERMS;
    double* s = state.term_step + wave * SINE_TERMS;
    if (bound <= 0) {
        a[0] = a[1] = a[2] = 0.0;
        return;
    }
    const int term = crt::rand() % 4;  // 3 leaves the wave alone this pass
    if (term < SINE_TERMS) a[term] += s[term];
    const double limit = bound;
    if (a[0] > limit) s[0] = Draw_Step(variance, -0.1);
    if (a[0] < 0.0) s[0] = Draw_Step(variance, 0.01);
    if (a[1] > limit) s[1] = Draw_Step(variance, -0.01);
    if (a[1] < 0.0) s[1] = Draw_Step(variance, 0.01);
    if (a[2] > limit) s[2] = Draw_Step(variance, -0.01);
    if (a[2] < 0.0) s[2] = Draw_Step(variance, 0.01);
}

// ---------------------------------------------------------------------------
// Column angles
//
// The three terms read sin(8xD + 4t), sin(xD + kt) and sin(4xD + t). Each is
// expanded as sin(a)cos(b) + cos(a)sin(b), so the column's half is looked up
// and only the phase's half is computed per pass: six sines per pass instead
// of three per column.

struct ColumnAngles {
    double sin_1, cos_1;  // of x D
    double sin_4, cos_4;  // of 4x D
    double sin_8, cos_8;  // of 8x D
};

static std::vector<ColumnAngles> column_angles;

// Makes sure the table covers `width` columns; it only grows, so frames after
// the first allocate nothing.
static const ColumnAngles* Column_Angles(int width) {
    const size_t have = column_angles.size();
    if (have < static_cast<size_t>(width)) {
        column_angles.resize(width);
        for (size_t x = have; x < column_angles.size(); ++x) {
            const double a = static_cast<double>(x) * DEGREES_TO_RADIANS;
            column_angles[x] = {std::sin(a),       std::cos(a),       std::sin(4.0 * a),
                                std::cos(4.0 * a), std::sin(8.0 * a), std::cos(8.0 * a)};
        }
    }
    return column_angles.data();
}

struct PhaseAngles {
    double sin_4t, cos_4t;  // of 4t
    double sin_kt, cos_kt;  // of k t
    double sin_t, cos_t;    // of t
};

static PhaseAngles Phase_Angles(double t, double k) {
    return {std::sin(4.0 * t), std::cos(4.0 * t), std::sin(k * t), std::cos(k * t), std::sin(t), std::cos(t)};
}

// a0 sin(8xD + 4t) + a1 sin(xD + kt) + a2 sin(4xD + t) for one column.
static inline double Wave_Height(const double* a, const ColumnAngles& c, const PhaseAngles& p) {
    return a[0] * (c.sin_8 * p.cos_4t + c.cos_8 * p.sin_4t) + a[1] * (c.sin_1 * p.cos_kt + c.cos_1 * p.sin_kt) +
           a[2] * (c.sin_4 * p.cos_t + c.cos_4 * p.sin_t);
}

// The band's first row: trunc(height) + c. False when the band misses the
// surface altogether (including heights that are not numbers).
static inline bool Band_Top(double wave_height, int rest_line, int band, int surface_height, int64_t* top) {
    const double y = std::trunc(wave_height) + rest_line;
    if (!(y < surface_height) || !(y + band > 0)) return false;
    *top = static_cast<int64_t>(y);
    return true;
}

// ---------------------------------------------------------------------------
// Band levels
//
// Row j of a band of B rows is dark at both edges and peaks near the middle
// at about half the channel: j q below B / 2, (B - j) q from there on. A band
// one row high would work out one past the channel's top and lose its colour
// bits, so levels are held at the top instead: such a band is full red.

enum Channel { RED = 0, GREEN = 1, BLUE = 2 };

static inline uint32_t Held(float level, uint32_t top) {
    const uint32_t value = static_cast<uint32_t>(level);
    return value > top ? top : value;
}

// The value channel c stores for row j of a band of `band` rows: 15/16 bits
// scale by 32.0 / B in single precision (the 5-6-5 green doubled first), 32
// bits by 256 / B in integers.
static uint32_t Stored_Level(int bytes, bool six_green_bits, int band, int64_t j, Channel c) {
    const int64_t distance = j < band / 2 ? j : band - j;
    if (bytes == 4) {
        const int64_t level = distance * (256 / (band > 1 ? band : 1));
        const uint32_t held = level > 255 ? 255u : static_cast<uint32_t>(level);
        return held << (c == RED ? 16 : c == GREEN ? 8 : 0);
    }
    const float raw = static_cast<float>(distance) * (32.0f / static_cast<float>(band > 1 ? band : 1));
    switch (c) {
    case RED: return Held(raw, 31) << (six_green_bits ? 11 : 10);
    case GREEN: return (six_green_bits ? Held(raw * 2.0f, 63) : Held(raw, 31)) << 5;
    default: return Held(raw, 31);
    }
}

// The stored values of every row of the band, worked out once per call; the
// table only grows, and rows beyond it (absurd band widths) are computed.
static constexpr int LEVEL_TABLE_ROWS = 4096;

struct LevelTable {
    std::vector<uint32_t> value[3];
    int rows = 0;
    int bytes = 0;
    bool six_green_bits = false;
    int band = 0;
};

static LevelTable levels;

static void Prepare_Levels(int bytes, bool six_green_bits, int band) {
    levels.rows = band < 0 ? 0 : band > LEVEL_TABLE_ROWS ? LEVEL_TABLE_ROWS : band;
    levels.bytes = bytes;
    levels.six_green_bits = six_green_bits;
    levels.band = band;
    for (int c = RED; c <= BLUE; ++c) {
        levels.value[c].resize(levels.rows);
        for (int j = 0; j < levels.rows; ++j)
            levels.value[c][j] = Stored_Level(bytes, six_green_bits, band, j, static_cast<Channel>(c));
    }
}

// How a band row meets the pixel already there: the red wave replaces it;
// green and blue are OR-ed in at 15/16 bits and replace their own byte at 32.
enum class Meet { REPLACE_16, OR_16, REPLACE_32, KEEP_RED_BLUE_32, KEEP_RED_GREEN_32 };

template <Meet meet>
static inline void Store(uint8_t* p, uint32_t level) {
    if constexpr (meet == Meet::REPLACE_16) {
        Write_16(p, static_cast<uint16_t>(level));
    } else if constexpr (meet == Meet::OR_16) {
        Write_16(p, static_cast<uint16_t>(Read_16(p) | level));
    } else if constexpr (meet == Meet::REPLACE_32) {
        Write_32(p, level);
    } else if constexpr (meet == Meet::KEEP_RED_BLUE_32) {
        Write_32(p, (Read_32(p) & 0x00FF00FFu) | level);
    } else {
        Write_32(p, (Read_32(p) & 0x00FFFF00u) | level);
    }
}

static inline uint32_t Level_Of(const uint32_t* table, int64_t j, Channel c) {
    return j < levels.rows ? table[j] : Stored_Level(levels.bytes, levels.six_green_bits, levels.band, j, c);
}

// A column whose band misses the surface.
static constexpr int64_t NO_BAND = INT64_MIN;
// Walking one column down touches a new cache line per row. When the pitch is
// a multiple of this many bytes those lines all fall into a few cache sets and
// evict each other, so such surfaces are painted in blocks of columns, row by row.
static constexpr int ALIASING_PITCH = 1024;
static constexpr int COLUMN_BLOCK = 8;

// The band's first row in every column, for every wave of every pass of the
// call: worked out first, in order, then painted. The table only grows.
static std::vector<int64_t> band_tops;

template <Meet meet>
static inline void Paint_Column(uint8_t* pixels, int pitch, int x, int64_t top, int band, int row_begin, int row_end,
                                const uint32_t* table, Channel c) {
    constexpr int bytes = meet == Meet::REPLACE_16 || meet == Meet::OR_16 ? 2 : 4;
    const int64_t first = top < row_begin ? row_begin : top;
    const int64_t end = top + band < row_end ? top + band : row_end;
    uint8_t* p = pixels + first * pitch + static_cast<int64_t>(x) * bytes;
    for (int64_t y = first; y < end; ++y, p += pitch) Store<meet>(p, Level_Of(table, y - top, c));
}

// Paints one wave's bands, rows top .. top + band - 1 of each column that lie
// in rows [row_begin, row_end) of the surface: rows above are skipped and the
// last row ends the band. A column only meets its own band, so the order in
// which rows and columns are painted does not change the picture.
template <Meet meet>
static void Paint_Bands(uint8_t* pixels, int pitch, int width, int band, int row_begin, int row_end,
                        const int64_t* tops, Channel c) {
    constexpr int bytes = meet == Meet::REPLACE_16 || meet == Meet::OR_16 ? 2 : 4;
    const uint32_t* table = levels.value[c].data();
    if (pitch % ALIASING_PITCH != 0) {
        for (int x = 0; x < width; ++x)
            if (tops[x] != NO_BAND) Paint_Column<meet>(pixels, pitch, x, tops[x], band, row_begin, row_end, table, c);
        return;
    }
    for (int bx = 0; bx < width; bx += COLUMN_BLOCK) {
        const int ex = bx + COLUMN_BLOCK < width ? bx + COLUMN_BLOCK : width;
        int64_t low = INT64_MAX, high = INT64_MIN, rows = 0;
        for (int x = bx; x < ex; ++x) {
            if (tops[x] == NO_BAND) continue;
            const int64_t first = tops[x] < row_begin ? row_begin : tops[x];
            const int64_t end = tops[x] + band < row_end ? tops[x] + band : row_end;
            if (end <= first) continue;
            low = first < low ? first : low;
            high = end > high ? end : high;
            rows += end - first;
        }
        if (rows == 0) continue;
        if ((high - low) * (ex - bx) > 4 * rows) {
            // Steep waves spread the block's bands far apart: column by column.
            for (int x = bx; x < ex; ++x)
                if (tops[x] != NO_BAND)
                    Paint_Column<meet>(pixels, pitch, x, tops[x], band, row_begin, row_end, table, c);
            continue;
        }
        for (int64_t y = low; y < high; ++y) {
            uint8_t* row = pixels + y * pitch;
            for (int x = bx; x < ex; ++x) {
                if (tops[x] == NO_BAND) continue;
                const int64_t j = y - tops[x];
                if (j < 0 || j >= band) continue;
                Store<meet>(row + static_cast<int64_t>(x) * bytes, Level_Of(table, j, c));
            }
        }
    }
}

// ---------------------------------------------------------------------------
// The four direct drawers

// The surface can take this drawer's pixels: present, not lost, a size to
// draw on and the drawer's pixel size. Nothing is reported here.
static bool Drawable(Surface* surface, int width, int height, int bytes) {
    if (!surface || Surface_IsLost(surface) == DDERR_SURFACELOST) return false;
    if (width < 1 || height < 1) return false;
    return Pixel_Bytes(surface->bits_per_pixel) == bytes;
}

// The settings every direct drawer reads at the start of a call.
struct WaveSettings {
    int passes, bound, variance, band;
    double density;
};

static WaveSettings Read_Settings() {
    WaveSettings s;
    s.passes = plasma_settings.sine_pixels_per_frame;
    if (s.passes > MAX_SINE_PASSES) s.passes = MAX_SINE_PASSES;
    s.bound = plasma_settings.sine_amplitude;
    s.variance = plasma_settings.sine_variance;
    s.band = plasma_settings.sine_band_width;
    s.density = plasma_settings.sine_density;
    return s;
}

// One pass of the walk for `waves` waves: first use, the dialog's request for
// fresh terms, one step of each wave, and the phase.
static void Advance(WaveState& state, int waves, const WaveSettings& s) {
    Draw_Terms(state, waves, s.bound, s.variance, false);
    if (sine_rerandomise) {
        sine_rerandomise = 0;
        Draw_Terms(state, waves, s.bound, s.variance, true);
    }
    for (int w = 0; w < waves; ++w) Walk(state, w, s.bound, s.variance);
    state.wave_phase += s.density;
}

// Works out one wave's band tops for every column of one pass, into `tops`.
static void Find_Band_Tops(const double* amplitudes, const ColumnAngles* columns, const PhaseAngles& phase, int width,
                           int rest_line, int band, int height, int64_t* tops) {
    for (int x = 0; x < width; ++x) {
        int64_t top;
        tops[x] = Band_Top(Wave_Height(amplitudes, columns[x], phase), rest_line, band, height, &top) ? top : NO_BAND;
    }
}

// One drawer: `waves` waves (1, or red, green and blue) of `bytes`-byte
// pixels. Each pass moves the walk on and paints wave 1, then 2, then 3;
// the third wave's middle term turns at a third of the phase. The walk and
// the band tops of every pass come first; then the passes are painted in
// order, big surfaces in row bands on every core, each band running every
// pass over its own rows, so each pixel sees the same writes in the same order.
template <int waves, int bytes>
static int Draw_Waves(Surface* surface, int width, int height, WaveState& state, const char* lock_failure) {
    if (!Drawable(surface, width, height, bytes)) return 0;
    if (width > surface->width) width = surface->width;
    if (height > surface->height) height = surface->height;
    const WaveSettings s = Read_Settings();
    const int rest_line = (2 * height) / 5;
    const ColumnAngles* columns = Column_Angles(width);
    const int passes = s.passes > 0 ? s.passes : 0;
    const size_t wave_tops = static_cast<size_t>(width);
    const size_t pass_tops = waves * wave_tops;
    if (band_tops.size() < passes * pass_tops) band_tops.resize(passes * pass_tops);

    if (plasma_settings.sine_clear_screen) Clear(surface);
    int pitch = 0;
    uint8_t* pixels = Lock_Surface(surface, &pitch);
    if (!pixels) {
        Report_Error(lock_failure);
        return 0;
    }
    Prepare_Levels(bytes, format_565 != 0, s.band);
    for (int pass = 0; pass < passes; ++pass) {
        int64_t* tops = band_tops.data() + pass * pass_tops;
        Advance(state, waves, s);
        const PhaseAngles phase = Phase_Angles(state.wave_phase, MIDDLE_TERM_RATE);
        Find_Band_Tops(state.term_amplitude, columns, phase, width, rest_line, s.band, height, tops);
        if constexpr (waves == SINE_WAVES) {
            Find_Band_Tops(state.term_amplitude + SINE_TERMS, columns, phase, width, rest_line, s.band, height,
                           tops + wave_tops);
            const PhaseAngles third = Phase_Angles(state.wave_phase, THIRD_WAVE_MIDDLE_TERM_RATE);
            Find_Band_Tops(state.term_amplitude + 2 * SINE_TERMS, columns, third, width, rest_line, s.band, height,
                           tops + 2 * wave_tops);
        }
    }
    auto paint = [&](int row_begin, int row_end) {
        constexpr Meet red = bytes == 2 ? Meet::REPLACE_16 : Meet::REPLACE_32;
        constexpr Meet green = bytes == 2 ? Meet::OR_16 : Meet::KEEP_RED_BLUE_32;
        constexpr Meet blue = bytes == 2 ? Meet::OR_16 : Meet::KEEP_RED_GREEN_32;
        for (int pass = 0; pass < passes; ++pass) {
            const int64_t* tops = band_tops.data() + pass * pass_tops;
            Paint_Bands<red>(pixels, pitch, width, s.band, row_begin, row_end, tops, RED);
            if constexpr (waves == SINE_WAVES) {
                Paint_Bands<green>(pixels, pitch, width, s.band, row_begin, row_end, tops + wave_tops, GREEN);
                Paint_Bands<blue>(pixels, pitch, width, s.band, row_begin, row_end, tops + 2 * wave_tops, BLUE);
            }
        }
    };
    Run_Row_Bands(height, width, paint);
    Unlock_Surface(surface);
    return 1;
}

int Sine_Wave_16(Surface* surface, int width, int height) {
    return Draw_Waves<1, 2>(surface, width, height, sine_wave_16_state, "Sine_Wave_16(): Lock Surface FAILED");
}

int Multi_Sine_Wave_16(Surface* surface, int width, int height) {
    return Draw_Waves<SINE_WAVES, 2>(surface, width, height, multi_sine_wave_16_state,
                                     "Multi_Sine_Wave_16(): Lock Surface FAILED");
}

int Sine_Wave_32(Surface* surface, int width, int height) {
    return Draw_Waves<1, 4>(surface, width, height, sine_wave_32_state, "Sine_Wave_32(): Lock Surface FAILED");
}

int Multi_Sine_Wave_32(Surface* surface, int width, int height) {
    return Draw_Waves<SINE_WAVES, 4>(surface, width, height, multi_sine_wave_32_state,
                                     "Multi_Sine_Wave_32(): Lock Surface FAILED");
}

// ---------------------------------------------------------------------------
// Depths 8 and 24: single red pixels through the device context, with fixed
// settings, because per-pixel device-context calls cost too much for bands.

static int GDI_Sine_Wave(Surface* surface, int width, int height) {
    if (plasma_settings.sine_clear_screen && surface) Clear(surface);
    DeviceContext* dc = nullptr;
    if (!surface || Surface_GetDC(surface, &dc) != DD_OK) {
        Report_Error("Sine_Wave() Unable to Acquire dest device context from surface");
        return 0;
    }
    const int rest_line = (2 * height) / 5;
    const int bound = height / 3;
    WaveState& state = sine_wave_gdi_state;
    Draw_Terms(state, 1, bound, GDI_SINE_VARIANCE, false);
    const double phase_step = width * GDI_PHASE_PER_COLUMN;
    const ColumnAngles* columns = Column_Angles(width > 0 ? width : 0);
    for (int pass = 0; pass < GDI_SINE_PASSES; ++pass) {
        Walk(state, 0, bound, GDI_SINE_VARIANCE);
        state.wave_phase += phase_step;
        const PhaseAngles phase = Phase_Angles(state.wave_phase, MIDDLE_TERM_RATE);
        for (int x = 0; x < width; ++x) {
            int64_t top;
            if (!Band_Top(Wave_Height(state.term_amplitude, columns[x], phase), rest_line, 1, height, &top)) continue;
            const int y = static_cast<int>(top);
            if (GDI_SetPixel(dc, x, y, GDI_SINE_RED) == CLR_INVALID) {
                snprintf(message_buffer, MESSAGE_BUFFER_SIZE,
                         "Sine_Wave() Unable to SetPixel at (%d,%d)\non surface of w = %d h = %d", x, y, width, height);
                Report_Error(message_buffer);
                Surface_ReleaseDC(surface, dc);
                return 0;
            }
        }
    }
    Surface_ReleaseDC(surface, dc);
    return 1;
}

int Sine_Wave(Surface* surface, int width, int height) {
    const bool multicolour = plasma_settings.sine_multicolour != 0;
    switch (app.screen_bpp) {
    case 32:
        if (multicolour) {
            if (Multi_Sine_Wave_32(surface, width, height)) return 1;
            Report_Error("Sine_Wave(): MULTI_Sine_Wave_32 FAILED");
            return 0;
        }
        if (Sine_Wave_32(surface, width, height)) return 1;
        Report_Error("Sine_Wave(): Sine_Wave_32 FAILED");
        return 0;
    case 15:
    case 16:
        if (multicolour) {
            if (Multi_Sine_Wave_16(surface, width, height)) return 1;
            Report_Error("Sine_Wave(): MULTI_Sine_Wave_16 FAILED");
            return 0;
        }
        if (Sine_Wave_16(surface, width, height)) return 1;
        Report_Error("Sine_Wave(): Sine_Wave_16 FAILED");
        return 0;
    default: return GDI_Sine_Wave(surface, width, height);
    }
}
