// The composition of one frame in Hidden, shared by the saver's frame
// driver and the render tool. Presenting the frame (Hidden to Visible) and
// the saver's input check are the caller's.
#pragma once

#include <cstdint>

// The About picture has been put on Hidden in a preview that shows it
// instead of the effects; it stays there for every later frame.
extern bool about_shown;

// One frame, in the frame's order: the frame clock, the random-preset
// timer and the background (the plasma with its fold), or the About picture
// in a still preview, then the frame-rate text and the one-line notice. 1, or 0 after a report when the
// frame cannot be drawn and the program must end.
int Compose_Frame();

// The random-preset timer.
// Working interval in seconds (0: off), armed from random_preset_interval.
extern int32_t random_preset_seconds;
// Working copy of transition_speed, the transitions' fixed step.
extern int32_t transition_step;
// Seconds left until the next random preset.
extern double random_preset_countdown;
// The transition the timer starts when it expires (the closing one).
extern int32_t random_transition_kind;
// The countdown has been started (its first update, or a reset, did it).
extern bool random_preset_countdown_started;

// Copies the preset's random interval and transition speed into the working
// copies (start-up, the "Random Presets" dialog).
void Arm_Random_Preset_Timer();
// Counts the frame off the countdown and starts the way to a random preset
// when it runs out; with reset the countdown starts again first. 1.
int Update_Random_Preset_Timer(int reset);

// Draws one frame with Compose_Frame, shows it, and in the running saver
// checks the pointer. 1, or 0 when the program must end (reported).
int Run_Calvorine();
