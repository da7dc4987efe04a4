#include "base/frame_clock.h"

#include <cstdio>

#include "base/app_state.h"
#include "platform/system.h"

bool high_resolution_clock = false;
int64_t counter_frequency = 0;
int64_t previous_count = 0;
uint32_t previous_milliseconds = 0;
double frame_seconds = 0.0;
int64_t frame_milliseconds = 0;
int32_t fps_frame_count = 0;
int64_t fps_accumulated_milliseconds = 0;
int64_t fps_value = 0;
double fixed_frame_seconds = 0.0;
char fps_text[64] = "";

void Start_Frame_Timer() {
    counter_frequency = Platform_Performance_Frequency();
    high_resolution_clock = counter_frequency > 0;
    if (high_resolution_clock) {
        previous_count = Platform_Performance_Counter();
    } else {
        previous_milliseconds = Platform_Tick_Count();
    }
}

// Averages the frame time over 16 frames and writes the figure right-aligned.
static void Update_Frame_Rate() {
    fps_frame_count++;
    if (fps_frame_count < FPS_FRAMES) {
        fps_accumulated_milliseconds += frame_milliseconds;
    } else {
        fps_accumulated_milliseconds += frame_milliseconds;
        // Frames quicker than a millisecond each add up to nothing: keep the last figure.
        if (fps_accumulated_milliseconds != 0) fps_value = FPS_FRAMES * 1000 / fps_accumulated_milliseconds;
        fps_frame_count = 0;
        fps_accumulated_milliseconds = 0;
    }
    int shown = static_cast<uint16_t>(fps_value);
    if (shown < 10) {
        snprintf(fps_text, sizeof fps_text, "fps   %d", shown);
    } else if (shown < 100) {
        snprintf(fps_text, sizeof fps_text, "fps  %d", shown);
    } else {
        snprintf(fps_text, sizeof fps_text, "fps %d", shown);
    }
}

void Time_Frame() {
    if (fixed_frame_seconds > 0.0) {
        frame_seconds = fixed_frame_seconds;
        frame_milliseconds = static_cast<int64_t>(frame_seconds * 1000.0);
    } else if (high_resolution_clock) {
        int64_t now = Platform_Performance_Counter();
        frame_seconds = static_cast<double>(now - previous_count) / static_cast<double>(counter_frequency);
        frame_milliseconds = static_cast<int64_t>(frame_seconds * 1000.0);
    } else {
        // Unsigned difference: the millisecond clock's wrap-around is harmless.
        uint32_t elapsed = Platform_Tick_Count() - previous_milliseconds;
        frame_milliseconds = elapsed;
        frame_seconds = elapsed * 0.001;
    }
    if (app.show_fps) Update_Frame_Rate();
    // A fresh reading, so the time spent counting belongs to the next frame.
    if (high_resolution_clock) {
        previous_count = Platform_Performance_Counter();
    } else {
        previous_milliseconds = Platform_Tick_Count();
    }
}
