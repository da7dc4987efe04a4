// The random-preset timer, which starts the closing transition that leads
// to a random preset.
#include "preset/random_preset_timer.h"

#include "base/frame_clock.h"
#include "plasma/plasma_settings.h"
#include "text/titles.h"

int32_t random_preset_seconds = 0;
int32_t transition_step = 10;
double random_preset_countdown = 0.0;
int32_t random_transition_kind = 2;
bool random_preset_countdown_started = false;

void Arm_Random_Preset_Timer() {
    random_preset_seconds = plasma_settings.random_preset_interval;
    transition_step = plasma_settings.transition_speed;
}

// The way to a random preset when the countdown runs out: the closing
// transition, which shows the random preset once it has closed.
static void Start_Random_Transition() { Set_Transition_Mode(random_transition_kind); }

int Update_Random_Preset_Timer(int reset) {
    if (!random_preset_countdown_started || reset) {
        random_preset_countdown = random_preset_seconds;
        random_preset_countdown_started = true;
    }
    if (random_preset_seconds == 0) return 1;
    random_preset_countdown -= frame_seconds;
    if (random_preset_countdown > 0.0) return 1;
    Start_Random_Transition();
    random_transition_kind = 2;
    random_preset_countdown = random_preset_seconds;
    return 1;
}
