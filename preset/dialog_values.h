// The plasma dialogs' working values, kept between openings so that a
// dialog reopens where it was left. They follow the preset at every
// Refresh_Plasma and every random colour change, and go back to their
// start values with Plasma > Default.
#pragma once

#include <cstdint>

struct Dialog_Values {
    double speed = 35.0;                         // Plasma Speed
    int32_t contrast = 4;                        // Plasma Contrast
    int32_t interference = 95;                   // Plasma Interference x 10
    int32_t ripple_frequency = 54;               // Plasma Ripple Frequency x 10
    int32_t complexity = 50;                     // Plasma Complexity
    uint8_t blue = 127, green = 127, red = 127;  // Plasma Colours
    int32_t colour_logic = 1;                    // Plasma Colours: "invert colour logic"
};

// The one record, defined in preset/dialog_values.cpp.
extern Dialog_Values dialog_values;

// Copies the current preset into dialog_values (Refresh_Plasma, the random
// colour change, Presets > Open, Multi-Colour off).
void Store_Dialog_Values();
// Puts dialog_values back to its start values (Plasma > Default, the slides' defaults).
void Reset_Dialog_Values();
