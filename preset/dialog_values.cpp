// The plasma dialogs' working values.
#include "preset/dialog_values.h"

#include "plasma/plasma_settings.h"

Dialog_Values dialog_values;

void Store_Dialog_Values() {
    const PlasmaSettings& s = plasma_settings;
    dialog_values.speed = s.speed;
    dialog_values.contrast = s.contrast;
    // The dialogs show these in tenths; the conversion truncates.
    dialog_values.interference = static_cast<int32_t>(s.interference * 10.0f);
    dialog_values.ripple_frequency = static_cast<int32_t>(s.ripple_frequency * 10.0f);
    dialog_values.complexity = s.complexity;
    dialog_values.blue = s.colour_blue;
    dialog_values.green = s.colour_green;
    dialog_values.red = s.colour_red;
    dialog_values.colour_logic = s.colour_logic_and;
}

void Reset_Dialog_Values() { dialog_values = Dialog_Values{}; }
