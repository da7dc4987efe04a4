// The plasma generator: two tables of concentric rings per field, read
// through four moving windows, summed and folded into colours.
#pragma once

#include <cstdint>

struct Surface;

// One animated plasma layer: its ring tables and its eight animation phases.
struct PlasmaField {
    uint8_t* ring_table = nullptr;  // 2W x 2H bytes, value grows with the distance from the centre
    uint8_t* wave_table = nullptr;  // 2W x 2H bytes, value follows a sine of the distance
    int32_t width = 0;              // W, taken from plasma_width when built
    int32_t height = 0;             // H, taken from plasma_height when built
    int32_t contrast = 0;           // table divisor taken from the preset when built
    float phase[8] = {};            // animation phases in radians; never wrapped
    // The size the tables were built for. Modify_Plasma may change `width`
    // before the next rebuild; the writers never read beyond these.
    int32_t table_width = 0;
    int32_t table_height = 0;
};

// The three layers: field 0 alone in single colour; blue, green, red in multi-colour.
extern PlasmaField plasma_field_0;
extern PlasmaField plasma_field_1;
extern PlasmaField plasma_field_2;

// The shift palette loaded last (-1 before the first), so a random pick never repeats it.
extern int last_shift_palette;

// Number of shift palettes Set_Shift_Palette knows.
constexpr int SHIFT_PALETTE_COUNT = 20;

// (Re)builds one field from the preset: size, contrast, fresh phases and both
// tables; picks a palette at 8 bits. 1, or 0 after a report. Called by Modify_Plasma.
int Setup_Plasma(PlasmaField* field);

// Advance the field's phases by the divisor's step and write one W x H
// single-colour block into dest at (x, y). 1, or 0 when dest cannot be locked.
int Process_Plasma_8(PlasmaField* field, Surface* dest, double divisor, int x, int y);
// As Process_Plasma_8 for 15/16 bits (layout by format_565).
int Process_Plasma_16(PlasmaField* field, Surface* dest, double divisor, int x, int y);
// As Process_Plasma_8 for 24 bits (blue, green, red bytes).
int Process_Plasma_24(PlasmaField* field, Surface* dest, double divisor, int x, int y);
// As Process_Plasma_8 for 32 bits (X-R-G-B).
int Process_Plasma_32(PlasmaField* field, Surface* dest, double divisor, int x, int y);

// Advance all three fields, each by its divisor, and write one block whose
// blue comes from field 0, green from field 1, red from field 2.
int Multi_Colour_Plasma_16(PlasmaField* field_0, PlasmaField* field_1, PlasmaField* field_2, Surface* dest,
                           double divisor_0, double divisor_1, double divisor_2, int x, int y);
// As Multi_Colour_Plasma_16 for 24 bits.
int Multi_Colour_Plasma_24(PlasmaField* field_0, PlasmaField* field_1, PlasmaField* field_2, Surface* dest,
                           double divisor_0, double divisor_1, double divisor_2, int x, int y);
// As Multi_Colour_Plasma_16 for 32 bits.
int Multi_Colour_Plasma_32(PlasmaField* field_0, PlasmaField* field_1, PlasmaField* field_2, Surface* dest,
                           double divisor_0, double divisor_1, double divisor_2, int x, int y);

// 8 bits only: fills palette_entries with a random plasma palette and loads it
// into display_palette; does nothing without a palette. Always 1.
int Choose_Plasma_Palette();
// 8 bits only: builds and loads shift palette `index` (0..19; -1 a random
// one other than the last; anything else 0). Does nothing without a palette. Always 1.
int Set_Shift_Palette(int index);
