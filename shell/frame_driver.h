// The composition of one frame in Hidden, shared by the saver's frame
// driver and the render tool. Presenting the frame (Hidden to Visible) and
// the saver's input check are the caller's.
#pragma once

#include <cstdint>

// The About picture has been put on Hidden in a preview that shows it
// instead of the effects; it stays there for every later frame.
extern bool about_shown;

// Frames Run_Calvorine has shown since the program started.
extern long frames_shown;
// For the on-screen benchmark: CALVORINE_FRAME_REPORT is set (and not 0), and
// the saver reports the frames it shows on standard error, once a second
// while it runs and for the whole run at its end.
bool Frame_Report_Wanted();

// One frame, in the frame's order: the frame clock, the random-preset
// timer and the background (the plasma with its fold), or the About picture
// in a still preview, then the frame-rate text and the one-line notice. 1, or 0 after a report when the
// frame cannot be drawn and the program must end.
int Compose_Frame();

// A random preset that asks for another resolution rebuilds the full-screen
// display (the saver's own window); off, it is shown at the present mode
// (the render tool, tests).
extern bool random_presets_change_mode;
// Loads and applies a random preset, as the transition and the + key do; 1 or 0 (reported).
int Show_A_Random_Preset();

// Draws one frame with Compose_Frame, shows it, and in the running saver
// checks the pointer. 1, or 0 when the program must end (reported).
int Run_Calvorine();
