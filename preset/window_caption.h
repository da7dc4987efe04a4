// The window caption: " Calvorine:   " and the current preset's name.
#pragma once

// The caption the window was last given (kept also when there is no real window to show it).
extern char window_caption[260];

// Captions the main window " Calvorine:   " and the preset's name (taken
// from a path with backslashes, which also renames the preset) or the title,
// slashes and all; 1 or 0 (reported). Refresh_Plasma and the start-up call it.
int Update_Window_Title(const char* text);
// Update_Window_Title for a file path of this system ('/' separates folders
// too), for the preset file commands (Open, Save As).
int Update_Window_Title_From_File(const char* path);
