// The program's entry: the command line, the start-up in its fixed order,
// the main loop, and the small services around them (which system this is,
// the desktop's size, the window's place and style).
#pragma once

#include <cstdint>

struct Window;

// The name of the saver's window class.
constexpr const char* WINDOW_CLASS_NAME = "Calvorine";
// The icon resource of the configuration window.
constexpr int PROGRAM_ICON_RESOURCE = 110;
// The caption of the configuration window (with its leading blank).
constexpr const char* WINDOW_CAPTION = " Calvorine";

// Reads the saver's mode from the whole command line (program name first);
// sets preview_parent for the preview and password-change switches.
int Parse_Command_Line(const char* command_line);
// Sets app.operating_system from the platform's version answer; 1, or 0
// after a report when the platform cannot say.
int Determine_Operating_System();
// The desktop's width, height and bits per pixel; 1, or 0 after a report.
int Grab_Current_Screen_Dimensions(int* width, int* height, int* bpp);
// Places the window in the middle of the screen as a square two thirds of
// the screen high, and reads its client size; 1, or 0 after a report.
int Centre_Window(Window* window);
// Restyles main_window for app.display_mode: full screen or the configuration window; 1.
int Apply_Display_Mode_To_Window();
// The whole program after the platform is up: start-up, main loop, end.
// Returns the exit code (0 on every early exit, else the quit message's).
int Calvorine_Main(const char* command_line);
// The main loop: messages first, a frame whenever none waits and the
// window is active; returns the quit message's code.
int Run_Main_Loop();
