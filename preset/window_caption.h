// The window caption: " Calvorine:   " and the current preset's name.
#pragma once

// The caption the window was last given (kept also when there is no real window to show it).
extern char window_caption[260];

// Captions the main window " Calvorine:   " and the preset's name (taken
// from a file path, which also renames the preset) or the title; 1 or 0 (reported).
int Update_Window_Title(const char* text);
