// Sine-wave bands: every column of a surface gets a short vertical band whose
// height is the sum of three sine terms. The amplitudes take a bounded random
// walk and the phase moves on every pass, so the bands drift slowly. The
// colour slides draw them on the shown slides when their background is
// "Sine Waves"; the SINEWAVEBOX dialog edits the settings in the preset.
#pragma once

struct Surface;

// Terms of one wave and waves of the multi-wave drawers.
constexpr int SINE_TERMS = 3;
constexpr int SINE_WAVES = 3;

// The walk of one drawer. Each drawer keeps its own for the whole run; the
// single-wave drawers use the first three terms, the multi-wave ones all nine.
struct WaveState {
    double term_amplitude[SINE_WAVES * SINE_TERMS] = {};  // a0, a1, a2 of each wave, in pixels
    double term_step[SINE_WAVES * SINE_TERMS] = {};       // s0, s1, s2 of each wave: walk steps
    double wave_phase = 0.0;                              // t, advanced once per pass
    unsigned amplitude_drawn = 0;                         // bit per amplitude drawn at its first use
    unsigned step_drawn = 0;                              // bit per step drawn at its first use
};

// The five walks: one per drawer, never shared (the GDI one serves depths 8 and 24).
extern WaveState sine_wave_16_state;
extern WaveState multi_sine_wave_16_state;
extern WaveState sine_wave_32_state;
extern WaveState multi_sine_wave_32_state;
extern WaveState sine_wave_gdi_state;

// Set when the sine-wave dialog closes with OK: the next drawer to run draws fresh amplitudes and steps.
extern int sine_rerandomise;

// Draws the bands on the surface (a slide) by screen depth; 1, or 0 after a report (colour slides).
int Sine_Wave(Surface* surface, int width, int height);
// One red wave on a 15/16-bit surface, replacing the pixels; 1 or 0.
int Sine_Wave_16(Surface* surface, int width, int height);
// Red, green and blue waves on a 15/16-bit surface (green and blue OR-ed in); 1 or 0.
int Multi_Sine_Wave_16(Surface* surface, int width, int height);
// One red wave on a 32-bit surface, replacing the pixels; 1 or 0.
int Sine_Wave_32(Surface* surface, int width, int height);
// Red, green and blue waves on a 32-bit surface, each replacing its own byte; 1 or 0.
int Multi_Sine_Wave_32(Surface* surface, int width, int height);
