// The frame clock: how long the last frame took, which scales every
// animation step, and the frames-per-second counter behind fps_text.
#pragma once

#include <cstdint>

// The platform's high-resolution counter is in use (chosen by Start_Frame_Timer).
extern bool high_resolution_clock;
// Counts per second of the high-resolution counter.
extern int64_t counter_frequency;
// Counter value taken after the last frame's measurement.
extern int64_t previous_count;
// Millisecond clock value taken after the last measurement (coarse clock).
extern uint32_t previous_milliseconds;
// Duration of the last frame in seconds; every animation multiplies its steps by it.
extern double frame_seconds;
// The same in whole milliseconds.
extern int64_t frame_milliseconds;
// Frames counted since the last frame-rate update, 0..15.
extern int32_t fps_frame_count;
// Sum of frame_milliseconds over those frames.
extern int64_t fps_accumulated_milliseconds;
// Last computed frames per second.
extern int64_t fps_value;
// Frames averaged for one frame-rate figure.
constexpr int32_t FPS_FRAMES = 16;

// When above 0, every frame lasts exactly this many seconds instead of the
// measured time: the render tool's reproducible pictures. 0 in the saver.
extern double fixed_frame_seconds;

// The frames-per-second text ("fps  60"), kept up to date by Time_Frame.
extern char fps_text[64];

// Chooses the clock and starts measuring from now; run at every set-up.
void Start_Frame_Timer();
// Measures the frame just ended into frame_seconds and frame_milliseconds
// and, while show_fps is on, updates the frame rate and fps_text. First in every frame.
void Time_Frame();
