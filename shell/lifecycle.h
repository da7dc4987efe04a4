// Building and releasing the display, the input and the effects for the
// current mode and resolution, and the two rebuilds between windowed and
// full-screen presentation.
#pragma once

// Which step of a presentation switch failed, for the caller's report.
enum Full_Screen_Step : int {
    FULL_SCREEN_DONE = 0,
    FULL_SCREEN_DECODE = 1,   // the preset's resolution code is not valid
    FULL_SCREEN_SETUP = 2,    // the display could not be set up again
    FULL_SCREEN_RESTORE = 3,  // the kept preset could not be brought back
};

// Builds the display, the saver's input and the effects; 1, or 0 after a report.
int Setup();
// The effects' part of Setup: the frame timer, the pointer, the slide objects; 1 or 0.
int Setup_Glimmerwheel();
// Releases every effect that exists (first part of Shutdown).
void Release_All_Effects();
// Releases everything Setup built, in a fixed order; safe to call repeatedly.
void Shutdown();
// Rebuilds the display full screen at the preset's resolution, keeping the
// preset. 1, or 0 with the failed step for the caller's report.
int Enter_Full_Screen(Full_Screen_Step* failed_step);
// Rebuilds the display in the configuration window at the desktop's mode,
// keeping the preset. 1, or 0 with the failed step for the caller's report.
int Leave_Full_Screen(Full_Screen_Step* failed_step);
// The display rebuild of a random preset that asks for another full-screen
// resolution (the window's Full_Screen_Rebuild); 1, or 0 with no display left.
int Rebuild_Full_Screen_Display();
