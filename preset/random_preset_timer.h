// The random-preset timer: it counts the frames off the preset's interval
// and then starts the closing transition, after which the frame driver
// shows a random preset.
#pragma once

#include <cstdint>

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
