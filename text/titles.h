// The frame-level effects over the composed picture: the preset's title,
// which fades in at the top left, holds for two seconds and fades out once
// per preset; the transition, a centred window that closes over the picture,
// lets its caller load a random preset and opens again on it.
#pragma once

#include <cstdint>

#include "platform/ddraw.h"

// Title states.
constexpr int32_t TITLE_FADE_IN = 0;
constexpr int32_t TITLE_FADE_OUT = 1;
constexpr int32_t TITLE_HOLD = 2;
constexpr int32_t TITLE_DONE = 3;

// Display_Title phases.
constexpr int DISPLAY = 0;
constexpr int CREATE = 1;
constexpr int DESTROY = 2;

// Transition modes.
constexpr int32_t NO_TRANSITION = 0;
constexpr int32_t OPEN_TRANSITION = 1;
constexpr int32_t CLOSE_TRANSITION = 2;

// The speed the frame driver hands Display_Transition, in pixels per second.
constexpr double TRANSITION_PIXELS_PER_SECOND = 384.0;

// System-memory surface the title is drawn into each frame.
extern Surface* title_surface;
// Width of title_surface: the smaller of client_width and screen_width, at least 0.
extern int32_t title_width;
// Height of title_surface: the smaller of the glyph height and screen_height, at least 0.
extern int32_t title_height;
// TITLE_FADE_IN, TITLE_FADE_OUT, TITLE_HOLD or TITLE_DONE.
extern int32_t title_state;
// Seconds since the last fade step or since the hold began.
extern double title_elapsed;
// Fade amount while fading in; starts at 256 (fully dark).
extern int32_t fade_in_level;
// Fade amount while fading out; starts at fade_floor.
extern int32_t fade_out_level;
// Fade amount while holding: 8 below 24 bits per pixel, else 0.
extern int32_t fade_floor;

// NO_TRANSITION, OPEN_TRANSITION or CLOSE_TRANSITION.
extern int32_t transition_mode;
// Size of the visible window, centred in the picture.
extern double transition_width;
extern double transition_height;
// A closing transition has loaded the new preset; the next frame starts opening.
extern bool preset_switched;

// One phase of the title: DISPLAY draws it onto the destination at (x, y)
// for this frame (the frame driver: Hidden, 0, 0, the preset's title, font 9),
// CREATE starts a new title, DESTROY releases its surface; 1 or 0 (reported).
int Display_Title(Surface* destination, int x, int y, const char* text, int font_number, int phase);
// Ends the current title and starts a new one (Refresh_Plasma, the T key); 1 or 0 (reported).
int Setup_Title(const char* text, int font_number);
// Releases the title's surface (Shutdown); 1 or 0 (reported).
int Destroy_Title();
// Starts, reverses or stops a transition; 1, or 0 for an unknown mode (reported, transitions stop).
int Set_Transition_Mode(int32_t mode);
// Display_Transition's answer when the window has just closed: the caller
// shows the next preset, which the following frames open on.
constexpr int TRANSITION_CLOSED = 2;
// One frame's transition step applied to Hidden: speed pixels per second, or
// fixed_step pixels a frame when the preset ignores the frame rate. 1,
// TRANSITION_CLOSED, or 0 (reported).
int Display_Transition(double speed, int32_t fixed_step);
