// The plasma generator.
//
// Each field holds two byte tables of concentric rings, twice the plasma's
// size in each direction. A frame reads four W x H windows out of them at
// origins that wander with the field's phases, adds the four bytes and folds
// the sum into a triangle wave, so the per-pixel work is four loads, three
// additions and a fold; the colour mapping for a frame is a 256-entry table
// built before the rows are written (at 32 bits the same mapping is worked
// out in vector registers, sixteen sums at a time).
#include "plasma/plasma_generator.h"

#include "platform/row_bands.h"

#include "base/random.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/app_state.h"
#include "base/error_log.h"
#include "graphics/display.h"
#include "graphics/surface.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"

// The 8-bit writer stores four table bytes as one word, lowest byte leftmost.
static_assert(std::endian::native == std::endian::little);

PlasmaField plasma_field_0;
PlasmaField plasma_field_1;
PlasmaField plasma_field_2;
int last_shift_palette = -1;

// ---------------------------------------------------------------------------
// Building the tables

// The low 8 bits of trunc(value); values too large for an integer wrap the
// same way, and a value that is not a number gives 0.
static uint8_t Low_Byte(double value) {
    double whole = std::trunc(value);
    if (!std::isfinite(whole)) return 0;
    if (std::fabs(whole) >= 9.0e18) whole = std::fmod(whole, 256.0);
    return static_cast<uint8_t>(static_cast<int64_t>(whole) & 0xFF);
}

static void Fill_Tables(PlasmaField* field) {
    const int W = field->width;
    const int H = field->height;
    const size_t stride = 2 * static_cast<size_t>(W);
    const double ripple = plasma_settings.ripple_frequency;
    const double interference = plasma_settings.interference;
    const double complexity = plasma_settings.complexity;
    const double contrast = field->contrast;

    // Top-left quadrant: the ring centre lies just beyond its bottom-right corner.
    for (int r = 0; r < H; ++r) {
        uint8_t* ring = field->ring_table + r * stride;
        uint8_t* wave = field->wave_table + r * stride;
        const int64_t dy = H - r;
        for (int c = 0; c < W; ++c) {
            const int64_t dx = W - c;
            // The +16 keeps the distance away from zero next to the centre.
            const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy + 16)) - 4.0;
            ring[c] = Low_Byte(d * ripple / contrast);
            wave[c] = Low_Byte((std::sin(d / interference) + 1.0) * complexity / contrast);
        }
        for (int k = 0; k < W; ++k) {
            ring[W + k] = ring[W - 1 - k];
            wave[W + k] = wave[W - 1 - k];
        }
    }
    for (int k = 0; k < H; ++k) {
        std::memcpy(field->ring_table + (H + k) * stride, field->ring_table + (H - 1 - k) * stride, stride);
        std::memcpy(field->wave_table + (H + k) * stride, field->wave_table + (H - 1 - k) * stride, stride);
    }
}

static void Free_Tables(PlasmaField* field) {
    std::free(field->ring_table);
    std::free(field->wave_table);
    field->ring_table = nullptr;
    field->wave_table = nullptr;
    field->table_width = 0;
    field->table_height = 0;
}

// What the tables of each global field were built from. The three fields are
// always rebuilt together from one preset, so the second and third can copy
// the first's tables instead of working out every cell again.
struct TableRecipe {
    int32_t width, height, contrast, complexity;
    float ripple_frequency, interference;

    bool operator==(const TableRecipe&) const = default;
};

static TableRecipe recipes[3];

static TableRecipe* Recipe_Of(const PlasmaField* field) {
    if (field == &plasma_field_0) return &recipes[0];
    if (field == &plasma_field_1) return &recipes[1];
    if (field == &plasma_field_2) return &recipes[2];
    return nullptr;
}

// Copies another global field's tables when they were built from the same recipe.
static bool Copy_Matching_Tables(PlasmaField* field, const TableRecipe& recipe) {
    for (PlasmaField* other : {&plasma_field_0, &plasma_field_1, &plasma_field_2}) {
        if (other == field || !other->ring_table || !other->wave_table) continue;
        if (other->table_width != field->width || other->table_height != field->height) continue;
        if (!(*Recipe_Of(other) == recipe)) continue;
        const size_t bytes = 4 * static_cast<size_t>(field->width) * static_cast<size_t>(field->height);
        std::memcpy(field->ring_table, other->ring_table, bytes);
        std::memcpy(field->wave_table, other->wave_table, bytes);
        return true;
    }
    return false;
}

static bool setup_plasma_traced = false;

int Setup_Plasma(PlasmaField* field) {
    Trace_Enter(setup_plasma_traced, "Setup_Plasma");
    if (!field) return 0;

    field->width = plasma_settings.plasma_width;
    field->height = plasma_settings.plasma_height;
    field->contrast = plasma_settings.contrast;

    // Fresh phases: even ones start in [0, 2) and run forward, odd ones in (-2, 0].
    constexpr double PHASE_UNIT = 1.0 / 16384.0;
    for (int i = 0; i < 8; ++i) {
        const int r = crt::rand() % 65536;
        field->phase[i] = static_cast<float>(r * ((i % 2 == 0) ? PHASE_UNIT : -PHASE_UNIT));
    }

    const int bpp = app.screen_bpp;
    if (bpp != 8 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32) {
        snprintf(message_buffer, MESSAGE_BUFFER_SIZE, "Initialise_Plasma():\n\nUnsupported bpp %d", bpp);
        Report_Error(message_buffer);
        return 0;
    }

    // A rebuild normally follows Shutdown_Plasma; never leak tables if it did not.
    Free_Tables(field);

    // A size no allocation can satisfy (negative, or beyond the address space)
    // is reported as the allocation failing.
    const int64_t cells = 4 * static_cast<int64_t>(field->width) * static_cast<int64_t>(field->height);
    const bool size_ok = field->width >= 0 && field->height >= 0 && cells <= (int64_t{1} << 40);
    field->ring_table = size_ok ? static_cast<uint8_t*>(std::malloc(std::max<int64_t>(cells, 1))) : nullptr;
    if (!field->ring_table) {
        Report_Error("Setup_Plasma():\n\nUnable to allocate memory for plasma table 1");
        return 0;
    }
    field->wave_table = static_cast<uint8_t*>(std::malloc(std::max<int64_t>(cells, 1)));
    if (!field->wave_table) {
        Free_Tables(field);
        Report_Error("Setup_Plasma():\n\nUnable to allocate memory for plasma table 2");
        return 0;
    }
    field->table_width = field->width;
    field->table_height = field->height;

    if (bpp == 8) Choose_Plasma_Palette();

    const TableRecipe recipe = {field->width,
                                field->height,
                                field->contrast,
                                plasma_settings.complexity,
                                plasma_settings.ripple_frequency,
                                plasma_settings.interference};
    if (!Copy_Matching_Tables(field, recipe)) Fill_Tables(field);
    if (TableRecipe* kept = Recipe_Of(field)) *kept = recipe;

    Trace_Exit(setup_plasma_traced, "Setup_Plasma");
    return 1;
}

// ---------------------------------------------------------------------------
// One frame: phases, windows, block placement

// Per-frame phase steps; odd phases run backwards.
static const double phase_step[8] = {0.0425, -0.05, 0.15, -0.1, 0.2, -0.075, 0.175, -0.025};

static void Advance_Phases(PlasmaField* field, double divisor) {
    const double sway = plasma_settings.sway;
    for (int i = 0; i < 8; ++i)
        field->phase[i] = static_cast<float>(static_cast<double>(field->phase[i]) + sway * phase_step[i] / divisor);
}

// trunc(wave x half) + half, in 0..2 x half. A phase that has run off to
// infinity (a zero divisor) would make the wave not a number; such a
// window stays centred rather than wandering outside its table.
static int Origin(double wave, int half) {
    double offset = std::trunc(wave * half);
    if (!(offset >= -half && offset <= half)) offset = 0.0;
    return static_cast<int>(offset) + half;
}

// The four windows of one field for this frame, at the first plasma row.
struct Windows {
    const uint8_t* a;  // wave table
    const uint8_t* b;  // ring table
    const uint8_t* c;  // wave table
    const uint8_t* e;  // wave table
    size_t stride;     // bytes per table row, 2W
};

// Width and height a field can draw: its own, but never beyond its tables.
static void Drawable_Size(const PlasmaField* field, int* width, int* height) {
    *width = std::min(field->width, field->table_width);
    *height = std::min(field->height, field->table_height);
}

static Windows Frame_Windows(const PlasmaField* field, int width, int height) {
    const size_t stride = 2 * static_cast<size_t>(field->table_width);
    const int hw = width / 2;
    const int hh = height / 2;
    double p[8];
    for (int i = 0; i < 8; ++i) p[i] = field->phase[i];
    auto at = [&](int column, int row) { return static_cast<size_t>(column) + static_cast<size_t>(row) * stride; };
    Windows w;
    w.a = field->wave_table + at(Origin(std::sin(p[0]), hw), Origin(std::cos(p[1]), hh));
    w.b = field->ring_table + at(Origin(std::cos(p[2]), hw), Origin(std::sin(p[3]), hh));
    w.c = field->wave_table + at(Origin(std::cos(p[4]), hw), Origin(std::sin(p[5]), hh));
    w.e = field->wave_table + at(Origin(std::cos(p[6]), hw), Origin(std::sin(p[7]), hh));
    w.stride = stride;
    return w;
}

static bool Has_Tables(const PlasmaField* field) { return field && field->ring_table && field->wave_table; }

// The part of a W x H block at (x, y) that lies inside the locked surface,
// in plasma rows and four-pixel steps. Normally that is the whole block; a
// block reaching past the surface is cut rather than written out of bounds.
struct Block {
    int row_begin, row_end;
    int step_begin, step_end;
};

static Block Fit_Block(const Surface* dest, int pitch, int bytes_per_pixel, int x, int y, int width, int height) {
    const int surface_width = std::min(dest->width, pitch / bytes_per_pixel);
    const int surface_height = dest->height;
    Block block;
    block.row_begin = std::max(0, -y);
    block.row_end = std::min(height, surface_height - y);
    block.step_begin = x < 0 ? (-x + 3) / 4 : 0;
    const int room = surface_width - x;
    block.step_end = std::min(width / 4, room < 0 ? 0 : room / 4);
    return block;
}

static uint8_t* Pixel_At(uint8_t* pixels, int pitch, int bytes_per_pixel, int x, int y) {
    return pixels + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * bytes_per_pixel;
}

// ---------------------------------------------------------------------------
// Colour tables: the colour of every raw sum 0..255 for this frame

// The triangle fold of the deeper writers.
static int Fold_Deep(int v) { return v >= 128 ? 255 - v : v; }
// 15/16 bits fold on bit 5, so the low five bits run up and back down.
static int Fold_16(int v) { return (v & 32) ? 255 - v : v; }

static int Channel(int v, int colour, int shift) {
    const int mixed = plasma_settings.colour_logic_and ? (v & colour) : (v | colour);
    return (mixed & 0xFF) >> shift;
}

// Shift counts other than 0 and 1 are kept within a byte's width.
static int Shift_Of(int32_t shift) { return std::clamp<int32_t>(shift, 0, 8); }

enum ChannelIndex { BLUE = 0, GREEN = 1, RED = 2 };

// One 16-bit pixel replicated four times.
static uint64_t Replicate_16(uint32_t pixel) {
    const uint64_t p = pixel & 0xFFFF;
    return p | (p << 16) | (p << 32) | (p << 48);
}

// The part a channel adds to a 16-bit pixel. green_mask is the colour byte's
// mask for green: 31, or 63 for the multi-colour writer's six-bit green at 5-6-5.
static void Build_Lut_16(uint64_t lut[256], int channel, int green_mask) {
    const bool wide_green = format_565 != 0;
    int colour, shift, position;
    switch (channel) {
    case BLUE:
        colour = plasma_settings.colour_blue & 31;
        shift = Shift_Of(plasma_settings.blue_shift);
        position = 0;
        break;
    case GREEN:
        // Only 5-6-5 has a sixth green bit for the multi-colour mask to keep.
        colour = plasma_settings.colour_green & (wide_green ? green_mask : 31);
        shift = Shift_Of(plasma_settings.green_shift);
        position = wide_green ? 6 : 5;
        break;
    default:
        colour = plasma_settings.colour_red & 31;
        shift = Shift_Of(plasma_settings.red_shift);
        position = wide_green ? 11 : 10;
        break;
    }
    for (int v = 0; v < 256; ++v)
        lut[v] = Replicate_16(static_cast<uint32_t>(Channel(Fold_16(v), colour, shift)) << position);
}

// A channel's colour, shift and place in the packed 24/32-bit value P.
struct Deep_Channel {
    int colour, shift, position;
};

static Deep_Channel Deep_Channel_Of(int channel) {
    switch (channel) {
    case BLUE: return {plasma_settings.colour_blue, Shift_Of(plasma_settings.blue_shift), 0};
    case GREEN: return {plasma_settings.colour_green, Shift_Of(plasma_settings.green_shift), 8};
    default: return {plasma_settings.colour_red, Shift_Of(plasma_settings.red_shift), 16};
    }
}

// The part a channel adds to P (brighten included).
static void Build_Lut_32(uint32_t lut[256], int channel) {
    const Deep_Channel d = Deep_Channel_Of(channel);
    const int brighten = plasma_settings.brighten ? 1 : 0;
    for (int v = 0; v < 256; ++v)
        lut[v] = (static_cast<uint32_t>(Channel(Fold_Deep(v), d.colour, d.shift)) << d.position) << brighten;
}

// Four 24-bit pixels of the packed value P as three words.
struct Four_24 {
    uint32_t word[3];
};

static Four_24 Replicate_24(uint32_t p) {
    const uint32_t b0 = p & 0xFF, b1 = (p >> 8) & 0xFF, b2 = (p >> 16) & 0xFF;
    return {{b0 | (b1 << 8) | (b2 << 16) | (b0 << 24), b1 | (b2 << 8) | (b0 << 16) | (b1 << 24),
             b2 | (b0 << 8) | (b1 << 16) | (b2 << 24)}};
}

// ---------------------------------------------------------------------------
// The row loops

// Sum of the four windows at one table offset, cut to a byte.
static inline unsigned Sum_At(const Windows& w, size_t offset) {
    return (w.a[offset] + w.b[offset] + w.c[offset] + w.e[offset]) & 0xFF;
}

// The windows' rows lie a table row apart, too short a run for the
// hardware to fetch ahead: each row asks for the same columns two rows on.
static constexpr size_t PREFETCH_ROWS = 2;

// Fetching ahead never faults; the address is worked out as a number, as it
// may lie past the end of a table.
static inline void Fetch_Ahead(const uint8_t* row, size_t ahead) {
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(row) + ahead));
}

// Sum_At for a run of steps, into `sums`.
static void Row_Sums(const Windows& w, int begin, int end, uint8_t* sums) {
    const uint8_t* __restrict a = w.a;
    const uint8_t* __restrict b = w.b;
    const uint8_t* __restrict c = w.c;
    const uint8_t* __restrict e = w.e;
    const size_t ahead = PREFETCH_ROWS * w.stride;
    for (int t = begin; t < end; t += 64) {
        Fetch_Ahead(a + t, ahead);
        Fetch_Ahead(b + t, ahead);
        Fetch_Ahead(c + t, ahead);
        Fetch_Ahead(e + t, ahead);
    }
    for (int t = begin; t < end; ++t) sums[t] = static_cast<uint8_t>(a[t] + b[t] + c[t] + e[t]);
}

static inline void Next_Row(Windows& w) {
    w.a += w.stride;
    w.b += w.stride;
    w.c += w.stride;
    w.e += w.stride;
}

static inline void Skip_Rows(Windows& w, int rows) {
    const size_t bytes = static_cast<size_t>(rows) * w.stride;
    w.a += bytes;
    w.b += bytes;
    w.c += bytes;
    w.e += bytes;
}

// Locks dest; reports `lock_message` and gives null when the lock fails.
static uint8_t* Lock_Dest(Surface* dest, const char* lock_message, int* pitch) {
    uint8_t* pixels = dest ? Lock_Surface(dest, pitch) : nullptr;
    if (!pixels) Report_Error(lock_message);
    return pixels;
}

static const char* const LOCK_FAILED = "Process Plasma():\n\nUnable to Lock destination surface";

int Process_Plasma_8(PlasmaField* field, Surface* dest, double divisor, int x, int y) {
    if (!Has_Tables(field)) return 1;
    Advance_Phases(field, divisor);
    int width, height;
    Drawable_Size(field, &width, &height);
    Windows w = Frame_Windows(field, width, height);

    int pitch = 0;
    uint8_t* pixels = Lock_Dest(dest, LOCK_FAILED, &pitch);
    if (!pixels) return 0;
    const Block block = Fit_Block(dest, pitch, 1, x, y, width, height);
    // Rows are independent: each band starts its windows at its own first row.
    auto band = [&](int band_begin, int band_end) {
        Windows v = w;
        Skip_Rows(v, block.row_begin + band_begin);
        for (int j = block.row_begin + band_begin; j < block.row_begin + band_end; ++j, Next_Row(v)) {
            uint8_t* out = Pixel_At(pixels, pitch, 1, x, y + j);
            for (int t = block.step_begin; t < block.step_end; ++t) {
                // Four pixels at once: the carries between bytes are part of the look.
                uint32_t a, b, c, e;
                std::memcpy(&a, v.a + 4 * t, 4);
                std::memcpy(&b, v.b + 4 * t, 4);
                std::memcpy(&c, v.c + 4 * t, 4);
                std::memcpy(&e, v.e + 4 * t, 4);
                const uint32_t sum = a + b + c + e;
                // Bytes of 128 and more become 255 - b (all bits flipped); then
                // every byte, now below 128, doubles without reaching its neighbour.
                const uint32_t high = ((sum >> 7) & 0x01010101u) * 0xFFu;
                const uint32_t folded = (sum ^ high) << 1;
                std::memcpy(out + 4 * t, &folded, 4);
            }
        }
    };
    if (block.row_end > block.row_begin)
        Run_Row_Bands(block.row_end - block.row_begin, 4L * (block.step_end - block.step_begin), band);
    Unlock_Surface(dest);
    return 1;
}

// Writes rows of one value per four pixels, from one field or from three.
// `prepare` runs once the surface is locked (when format_565 is known);
// `store_row(out, blue, green, red, begin, end)` writes the steps of a row
// from the raw sums of each channel's field (one field passes the same sums
// three times).
template <int BYTES, typename Prepare, typename StoreRow>
static int Write_Deep(PlasmaField* const fields[3], int field_count, Surface* dest, const char* lock_message, int x,
                      int y, Prepare prepare, StoreRow store_row) {
    int width = 0, height = 0;
    Drawable_Size(fields[0], &width, &height);
    for (int f = 1; f < field_count; ++f) {
        int fw, fh;
        Drawable_Size(fields[f], &fw, &fh);
        width = std::min(width, fw);
        height = std::min(height, fh);
    }
    Windows w[3];
    for (int f = 0; f < field_count; ++f) w[f] = Frame_Windows(fields[f], width, height);

    int pitch = 0;
    uint8_t* pixels = Lock_Dest(dest, lock_message, &pitch);
    if (!pixels) return 0;
    prepare();
    const Block block = Fit_Block(dest, pitch, BYTES, x, y, width, height);
    // Rows are independent: each band starts the windows at its own first
    // row and sums into a buffer of its own thread.
    auto band = [&](int band_begin, int band_end) {
        Windows v[3];
        for (int f = 0; f < field_count; ++f) {
            v[f] = w[f];
            Skip_Rows(v[f], block.row_begin + band_begin);
        }
        static thread_local std::vector<uint8_t> row_sum_buffer;
        if (row_sum_buffer.size() < 3 * size_t(block.step_end)) row_sum_buffer.resize(3 * size_t(block.step_end));
        uint8_t* const row_sums = row_sum_buffer.data();
        for (int j = block.row_begin + band_begin; j < block.row_begin + band_end; ++j) {
            uint8_t* out = Pixel_At(pixels, pitch, BYTES, x, y + j);
            // Byte sums first, in a loop the compiler turns into vector adds
            // (the bytes wrap exactly as the sum's low eight bits), then the colours.
            Row_Sums(v[0], block.step_begin, block.step_end, row_sums);
            if (field_count == 1) {
                store_row(out, row_sums, row_sums, row_sums, block.step_begin, block.step_end);
            } else {
                uint8_t* const sums_1 = row_sums + block.step_end;
                uint8_t* const sums_2 = sums_1 + block.step_end;
                Row_Sums(v[1], block.step_begin, block.step_end, sums_1);
                Row_Sums(v[2], block.step_begin, block.step_end, sums_2);
                store_row(out, row_sums, sums_1, sums_2, block.step_begin, block.step_end);
            }
            for (int f = 0; f < field_count; ++f) Next_Row(v[f]);
        }
    };
    if (block.row_end > block.row_begin)
        Run_Row_Bands(block.row_end - block.row_begin, 4L * (block.step_end - block.step_begin), band);
    Unlock_Surface(dest);
    return 1;
}

// A row writer from per-step stores: `store_one` when the three channels
// share one field's sums, else `store_three`.
template <int BYTES, typename StoreOne, typename StoreThree>
static auto Steps_Row(StoreOne store_one, StoreThree store_three) {
    return [=](uint8_t* out, const uint8_t* blue, const uint8_t* green, const uint8_t* red, int begin, int end) {
        if (blue == green && green == red) {
            for (int t = begin; t < end; ++t) store_one(out + 4 * BYTES * t, blue[t]);
        } else {
            for (int t = begin; t < end; ++t) store_three(out + 4 * BYTES * t, blue[t], green[t], red[t]);
        }
    };
}

// The 16-bit writers: `green_mask` is 31 for the single-colour writer, 63 for the multi-colour one.
static int Plasma_16(PlasmaField* const fields[3], int field_count, Surface* dest, int x, int y, int green_mask) {
    uint64_t lut[3][256];
    uint64_t single[256];
    auto prepare = [&] {
        Build_Lut_16(lut[BLUE], BLUE, green_mask);
        Build_Lut_16(lut[GREEN], GREEN, green_mask);
        Build_Lut_16(lut[RED], RED, green_mask);
        for (int v = 0; v < 256; ++v) single[v] = lut[BLUE][v] | lut[GREEN][v] | lut[RED][v];
    };
    auto store_one = [&](uint8_t* out, unsigned v) { std::memcpy(out, &single[v], 8); };
    auto store_three = [&](uint8_t* out, unsigned v0, unsigned v1, unsigned v2) {
        const uint64_t four = lut[BLUE][v0] | lut[GREEN][v1] | lut[RED][v2];
        std::memcpy(out, &four, 8);
    };
    return Write_Deep<2>(fields, field_count, dest, LOCK_FAILED, x, y, prepare, Steps_Row<2>(store_one, store_three));
}

static void Build_Luts_32(uint32_t part[3][256], uint32_t single[256]) {
    Build_Lut_32(part[BLUE], BLUE);
    Build_Lut_32(part[GREEN], GREEN);
    Build_Lut_32(part[RED], RED);
    for (int v = 0; v < 256; ++v) single[v] = part[BLUE][v] | part[GREEN][v] | part[RED][v];
}

static int Plasma_24(PlasmaField* const fields[3], int field_count, Surface* dest, int x, int y,
                     const char* lock_message) {
    uint32_t part[3][256];
    Four_24 single[256];
    auto prepare = [&] {
        uint32_t whole[256];
        Build_Luts_32(part, whole);
        for (int v = 0; v < 256; ++v) single[v] = Replicate_24(whole[v]);
    };
    auto store_one = [&](uint8_t* out, unsigned v) { std::memcpy(out, single[v].word, 12); };
    auto store_three = [&](uint8_t* out, unsigned v0, unsigned v1, unsigned v2) {
        // Four copies of P's low three bytes: eight bytes, then four.
        const uint64_t p = (part[BLUE][v0] | part[GREEN][v1] | part[RED][v2]) & 0xFFFFFFu;
        const uint64_t first = p | (p << 24) | (p << 48);
        const uint32_t rest = static_cast<uint32_t>((p >> 16) | (p << 8));
        std::memcpy(out, &first, 8);
        std::memcpy(out + 8, &rest, 4);
    };
    return Write_Deep<3>(fields, field_count, dest, lock_message, x, y, prepare, Steps_Row<3>(store_one, store_three));
}

#if defined(__SSE2__)
// At 32 bits a channel's part is arithmetic on its sum byte (fold, mix with
// the colour, shift), so sixteen steps are worked out at once in vector
// registers instead of through the tables; the bytes are the tables' bytes.
struct Vector_Colours_32 {
    __m128i colour[3];  // the channel's colour byte in every lane
    __m128i keep[3];    // 0xFF >> shift in every lane: what a 16-bit shift leaves of a byte
    __m128i shift[3];
    __m128i brighten;
    bool logic_and;
};

static Vector_Colours_32 Vector_Colours() {
    Vector_Colours_32 c;
    for (int ch = 0; ch < 3; ++ch) {
        const Deep_Channel d = Deep_Channel_Of(ch);
        c.colour[ch] = _mm_set1_epi8(static_cast<char>(d.colour & 0xFF));
        c.keep[ch] = _mm_set1_epi8(static_cast<char>(0xFF >> d.shift));
        c.shift[ch] = _mm_cvtsi32_si128(d.shift);
    }
    c.brighten = _mm_cvtsi32_si128(plasma_settings.brighten ? 1 : 0);
    c.logic_and = plasma_settings.colour_logic_and != 0;
    return c;
}

static __m128i Vector_Channel(__m128i sums, const Vector_Colours_32& c, int ch) {
    // Bytes of 128 and more are negative as signed bytes: those flip to 255 - v.
    const __m128i folded = _mm_xor_si128(sums, _mm_cmplt_epi8(sums, _mm_setzero_si128()));
    const __m128i mixed = c.logic_and ? _mm_and_si128(folded, c.colour[ch]) : _mm_or_si128(folded, c.colour[ch]);
    return _mm_and_si128(_mm_srl_epi16(mixed, c.shift[ch]), c.keep[ch]);
}

// Four steps' pixels, one per lane, each written four times.
static void Store_Four_Steps(uint8_t* out, __m128i pixels) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi32(pixels, 0x00));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_shuffle_epi32(pixels, 0x55));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm_shuffle_epi32(pixels, 0xAA));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 48), _mm_shuffle_epi32(pixels, 0xFF));
}

// Writes whole runs of sixteen steps from `begin`; gives the first step left over.
static int Vector_Row_32(uint8_t* out, const uint8_t* blue, const uint8_t* green, const uint8_t* red, int begin,
                         int end, const Vector_Colours_32& c) {
    const __m128i zero = _mm_setzero_si128();
    int t = begin;
    for (; t + 16 <= end; t += 16) {
        auto sums = [t](const uint8_t* row) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + t)); };
        const __m128i b = Vector_Channel(sums(blue), c, BLUE);
        const __m128i g = Vector_Channel(sums(green), c, GREEN);
        const __m128i r = Vector_Channel(sums(red), c, RED);
        const __m128i blue_green[2] = {_mm_unpacklo_epi8(b, g), _mm_unpackhi_epi8(b, g)};
        const __m128i red_zero[2] = {_mm_unpacklo_epi8(r, zero), _mm_unpackhi_epi8(r, zero)};
        for (int half = 0; half < 2; ++half) {
            const __m128i low = _mm_unpacklo_epi16(blue_green[half], red_zero[half]);
            const __m128i high = _mm_unpackhi_epi16(blue_green[half], red_zero[half]);
            uint8_t* steps = out + 16 * (t + 8 * half);
            Store_Four_Steps(steps, _mm_sll_epi32(low, c.brighten));
            Store_Four_Steps(steps + 64, _mm_sll_epi32(high, c.brighten));
        }
    }
    return t;
}
#endif

static int Plasma_32(PlasmaField* const fields[3], int field_count, Surface* dest, int x, int y,
                     const char* lock_message) {
    // Two pixels per 64-bit word.
    uint64_t lut[3][256];
#if defined(__SSE2__)
    Vector_Colours_32 vector_colours;
#endif
    auto prepare = [&] {
        uint32_t part[256];
        for (int ch = 0; ch < 3; ++ch) {
            Build_Lut_32(part, ch);
            for (int v = 0; v < 256; ++v) lut[ch][v] = part[v] | (static_cast<uint64_t>(part[v]) << 32);
        }
#if defined(__SSE2__)
        vector_colours = Vector_Colours();
#endif
    };
    auto store_row = [&](uint8_t* out, const uint8_t* blue, const uint8_t* green, const uint8_t* red, int begin,
                         int end) {
        int t = begin;
#if defined(__SSE2__)
        t = Vector_Row_32(out, blue, green, red, begin, end, vector_colours);
#endif
        for (; t < end; ++t) {
            const uint64_t two = lut[BLUE][blue[t]] | lut[GREEN][green[t]] | lut[RED][red[t]];
            std::memcpy(out + 16 * t, &two, 8);
            std::memcpy(out + 16 * t + 8, &two, 8);
        }
    };
    return Write_Deep<4>(fields, field_count, dest, lock_message, x, y, prepare, store_row);
}

int Process_Plasma_16(PlasmaField* field, Surface* dest, double divisor, int x, int y) {
    if (!Has_Tables(field)) return 1;
    Advance_Phases(field, divisor);
    PlasmaField* const fields[3] = {field, field, field};
    return Plasma_16(fields, 1, dest, x, y, 31);
}

int Process_Plasma_24(PlasmaField* field, Surface* dest, double divisor, int x, int y) {
    if (!Has_Tables(field)) return 1;
    Advance_Phases(field, divisor);
    PlasmaField* const fields[3] = {field, field, field};
    return Plasma_24(fields, 1, dest, x, y, "Process Plasma_24():\n\nUnable to Lock destination surface");
}

int Process_Plasma_32(PlasmaField* field, Surface* dest, double divisor, int x, int y) {
    if (!Has_Tables(field)) return 1;
    Advance_Phases(field, divisor);
    PlasmaField* const fields[3] = {field, field, field};
    return Plasma_32(fields, 1, dest, x, y, "Process Plasma_32():\n\nUnable to Lock destination surface");
}

static bool Advance_Three(PlasmaField* f0, PlasmaField* f1, PlasmaField* f2, double d0, double d1, double d2) {
    if (!Has_Tables(f0) || !Has_Tables(f1) || !Has_Tables(f2)) return false;
    Advance_Phases(f0, d0);
    Advance_Phases(f1, d1);
    Advance_Phases(f2, d2);
    return true;
}

int Multi_Colour_Plasma_16(PlasmaField* field_0, PlasmaField* field_1, PlasmaField* field_2, Surface* dest,
                           double divisor_0, double divisor_1, double divisor_2, int x, int y) {
    if (!Advance_Three(field_0, field_1, field_2, divisor_0, divisor_1, divisor_2)) return 1;
    PlasmaField* const fields[3] = {field_0, field_1, field_2};
    return Plasma_16(fields, 3, dest, x, y, 63);
}

int Multi_Colour_Plasma_24(PlasmaField* field_0, PlasmaField* field_1, PlasmaField* field_2, Surface* dest,
                           double divisor_0, double divisor_1, double divisor_2, int x, int y) {
    if (!Advance_Three(field_0, field_1, field_2, divisor_0, divisor_1, divisor_2)) return 1;
    PlasmaField* const fields[3] = {field_0, field_1, field_2};
    return Plasma_24(fields, 3, dest, x, y, "Multi Plasma_24():\n\nUnable to Lock destination surface");
}

int Multi_Colour_Plasma_32(PlasmaField* field_0, PlasmaField* field_1, PlasmaField* field_2, Surface* dest,
                           double divisor_0, double divisor_1, double divisor_2, int x, int y) {
    if (!Advance_Three(field_0, field_1, field_2, divisor_0, divisor_1, divisor_2)) return 1;
    PlasmaField* const fields[3] = {field_0, field_1, field_2};
    return Plasma_32(fields, 3, dest, x, y, LOCK_FAILED);
}

// ---------------------------------------------------------------------------
// Palettes at 8 bits per pixel

// The shapes a ramp channel takes across one 64-entry band (q = 0..63).
enum Ramp : uint8_t {
    ZERO,       // 0
    UP,         // q
    DOWN,       // 63 - q
    QUARTER,    // q / 4
    UP_64,      // 64 + q
    UP_2,       // 2q
    DOWN_2,     // 126 - 2q
    HALF_UP,    // q / 2
    HALF_DOWN,  // 31 - q / 2
    UP_128,     // 128 + 2q
    DOWN_4,     // 252 - 4q
};

static int Ramp_Value(Ramp ramp, int q) {
    switch (ramp) {
    case ZERO: return 0;
    case UP: return q;
    case DOWN: return 63 - q;
    case QUARTER: return q / 4;
    case UP_64: return 64 + q;
    case UP_2: return 2 * q;
    case DOWN_2: return 126 - 2 * q;
    case HALF_UP: return q / 2;
    case HALF_DOWN: return 31 - q / 2;
    case UP_128: return 128 + 2 * q;
    case DOWN_4: return 252 - 4 * q;
    }
    return 0;
}

// Ten ramp palettes: four bands of 64 entries, each channel (red, green, blue) a ramp.
static const Ramp ramp_palette_table[10][4][3] = {
    {{UP, ZERO, ZERO}, {DOWN, UP, ZERO}, {ZERO, DOWN, UP}, {ZERO, ZERO, DOWN}},
    {{ZERO, QUARTER, ZERO}, {ZERO, UP, UP_64}, {ZERO, DOWN, UP}, {ZERO, ZERO, DOWN}},
    {{ZERO, ZERO, UP}, {ZERO, UP, DOWN}, {UP, DOWN, UP}, {DOWN, ZERO, DOWN}},
    {{UP_2, ZERO, ZERO}, {DOWN_2, UP_2, ZERO}, {ZERO, DOWN_2, UP_2}, {ZERO, ZERO, DOWN_2}},
    {{UP_2, ZERO, ZERO}, {DOWN_2, ZERO, DOWN_2}, {UP, ZERO, UP}, {DOWN, ZERO, DOWN}},
    {{UP, ZERO, HALF_UP}, {HALF_DOWN, ZERO, DOWN}, {DOWN, ZERO, HALF_DOWN}, {HALF_DOWN, ZERO, DOWN}},
    {{UP_2, ZERO, ZERO}, {DOWN_2, ZERO, UP}, {HALF_DOWN, HALF_DOWN, HALF_DOWN}, {ZERO, ZERO, DOWN}},
    {{UP_2, UP_2, ZERO}, {UP_128, UP_128, ZERO}, {DOWN_4, DOWN_4, ZERO}, {ZERO, ZERO, DOWN_2}},
    {{ZERO, UP_2, UP_2}, {ZERO, UP_128, UP_128}, {ZERO, DOWN_4, DOWN_4}, {DOWN_2, ZERO, ZERO}},
    {{ZERO, ZERO, UP_2}, {ZERO, UP_2, DOWN_2}, {UP_2, DOWN_2, UP_2}, {DOWN_2, ZERO, DOWN_2}},
};
constexpr int RAMP_PALETTE_COUNT = 10;

// Six right-shift counts per shift palette: red, green, blue for entries
// below 128, then red, green, blue for the rest. 0 switches a channel off.
static const uint8_t shift_palette_table[SHIFT_PALETTE_COUNT][6] = {
    {2, 0, 0, 2, 1, 0}, {2, 0, 0, 2, 0, 1}, {0, 0, 2, 1, 0, 2}, {3, 0, 2, 0, 1, 2}, {0, 2, 0, 1, 2, 0},
    {2, 2, 0, 1, 2, 0}, {2, 0, 2, 2, 5, 0}, {0, 0, 2, 0, 1, 2}, {0, 0, 2, 1, 0, 2}, {3, 3, 2, 1, 1, 1},
    {2, 2, 2, 1, 1, 0}, {2, 2, 3, 1, 2, 3}, {2, 3, 2, 1, 3, 2}, {3, 2, 1, 1, 2, 3}, {3, 2, 3, 2, 2, 2},
    {2, 2, 2, 2, 2, 2}, {3, 0, 1, 2, 1, 0}, {2, 0, 2, 1, 1, 2}, {2, 3, 3, 2, 3, 1}, {3, 2, 3, 2, 3, 1},
};

// The platform's flag that keeps an entry from being merged with the system colours.
constexpr uint8_t PALETTE_NO_COLLAPSE = 4;

static void Load_Palette_Entries() { Palette_SetEntries(display_palette, 0, 256, palette_entries); }

int Set_Shift_Palette(int index) {
    if (!display_palette) return 1;
    std::fill(std::begin(palette_entries), std::end(palette_entries), PaletteEntry{});
    if (index == -1) {
        do {
            index = crt::rand() % SHIFT_PALETTE_COUNT;
        } while (index == last_shift_palette);
    }
    if (index < 0 || index >= SHIFT_PALETTE_COUNT) index = 0;
    last_shift_palette = index;

    const uint8_t* shifts = shift_palette_table[index];
    for (int e = 0; e < 256; ++e) {
        const uint8_t* s = e < 128 ? shifts : shifts + 3;
        PaletteEntry& entry = palette_entries[e];
        entry.red = s[0] ? static_cast<uint8_t>(e >> s[0]) : 0;
        entry.green = s[1] ? static_cast<uint8_t>(e >> s[1]) : 0;
        entry.blue = s[2] ? static_cast<uint8_t>(e >> s[2]) : 0;
        entry.flags = PALETTE_NO_COLLAPSE;
    }
    Load_Palette_Entries();
    return 1;
}

int Choose_Plasma_Palette() {
    if (!display_palette) return 1;
    std::fill(std::begin(palette_entries), std::end(palette_entries), PaletteEntry{});
    const int k = crt::rand() % (RAMP_PALETTE_COUNT + 1);
    if (k == RAMP_PALETTE_COUNT) {
        Set_Shift_Palette(-1);
    } else {
        for (int band = 0; band < 4; ++band) {
            const Ramp* ramp = ramp_palette_table[k][band];
            for (int q = 0; q < 64; ++q) {
                PaletteEntry& entry = palette_entries[64 * band + q];
                entry.red = static_cast<uint8_t>(Ramp_Value(ramp[0], q));
                entry.green = static_cast<uint8_t>(Ramp_Value(ramp[1], q));
                entry.blue = static_cast<uint8_t>(Ramp_Value(ramp[2], q));
                entry.flags = 0;
            }
        }
    }
    Load_Palette_Entries();
    return 1;
}
