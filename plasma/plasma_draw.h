// Drawing the plasma with its symmetry folds, the random-colour tick, and
// the sizing and rebuilding of the plasma fields.
#pragma once

#include <cstdint>

struct Surface;

// Seconds left until the next random colour change; kept across presets.
extern double random_colour_countdown;
// Value a channel gets when the random colour switches it on (31 or 127), set on first use.
extern int32_t random_colour_ceiling;
// Set by the random-colour tick when it changed the preset's colours; the
// frame driver clears it after bringing the menu and dialog values along.
extern bool random_colour_changed;

// Draws one plasma frame into dest at (x, y) and folds it into the preset's
// symmetry; runs the random-colour tick. 1, or 0 after a report. Called by
// the frame driver on Hidden, by the kaleidoscope, slides and dialogs.
int Draw_Plasma(Surface* dest, int x, int y);
// The random-colour tick: every random_colour_interval seconds new colour
// bytes, shifts and brighten (a new palette at 8 bits). Called by Draw_Plasma.
void Update_Random_Colour();
// Sizes plasma field 0 for a drawing area this wide or high: divided for
// the preset's symmetry, a multiple of 4, within the screen, at least 16;
// the preset keeps the result (Modify_Plasma codes 1 and 2).
void Size_Plasma_Width(int32_t width);
void Size_Plasma_Height(int32_t height);
// Rebuilds the three plasma fields and clears Hidden; 1, or 0 after a report.
int Rebuild_Plasma();
// The plasma sized to a width x height area and rebuilt, as the kaleidoscope
// needs for its tile; nothing in a still preview. 1, or 0 after a report.
int Resize_Plasma(int width, int height);
// Frees the tables of all three plasma fields; safe when none exist.
void Shutdown_Plasma();
