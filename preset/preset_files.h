// Preset files: the current preset saved and loaded whole as a .DAT file,
// the user's default preset, the backup that carries a preset across a
// rebuild of the display, the preferred resolution read before the display
// exists, and random presets picked from the data folder.
//
// Every operation returns 1 for success and 0 for failure, and reports its
// own failures through Report_Error.
#pragma once

#include <cstdint>
#include <string>

#include "plasma/plasma_settings.h"

// Position, among the data folder's presets, of the last random pick; 0 at
// start, kept for the whole run so that two picks in a row differ.
extern int32_t last_random_index;

// Rebuilds the display at screen_width x screen_height x screen_bpp in full
// screen (shut-down, window restyle, set-up, placement), for a random preset
// that asks for another resolution. The window code passes its own; 1 or 0,
// and on 0 the display no longer exists.
using Full_Screen_Rebuild = int (*)();

// The last preset a frame was drawn and shown with (copied after every
// shown frame by the frame driver), and whether there has been one this run.
extern PlasmaSettings shown_plasma_settings;
extern bool plasma_settings_shown;
// A frame could not be drawn or shown (set by the frame driver).
extern bool shown_frame_failed;
// The frame driver, after each frame it has shown: the current preset draws
// (kept in configuration runs only, the ones that write default.dat).
void Note_Plasma_Settings_Shown();
// The frame driver, when a frame fails and the program is to end.
void Note_Frame_Failed();

// Writes the current preset to `path`; the file is replaced whole or not at all.
int Save_Plasma_Settings_To_File(const char* path);
// Writes default.dat as a configuration run leaves it: the last preset
// shown, so that a preset that never drew (a damaged file, a frame that
// failed) does not become the next start's. Before the first frame it is
// the current preset, unless a frame has failed: then default.dat is left
// as it was. 1, or 0 when the file could not be written (reported).
int Save_Default_Plasma();
// Reads `path` into the current preset with every field brought into its
// range; a file too short leaves the preset as it was.
int Load_Plasma_Settings(const char* path);
// Load_Plasma_Settings, then Refresh_Plasma to apply it.
int Read_Plasma_Settings_From_File(const char* path);
// Reads and applies default.dat; 0 silently when there is none. One that
// cannot be read or applied is reported and renamed default.dat.bad.
int Load_Default_Plasma();
// Keeps a copy of the current preset; in CONFIGURE mode also saves it as default.dat.
int Backup_Plasma_Settings();
// Brings the kept copy back as the current preset and applies it.
int Restore_Plasma_Settings();
// Applies default.dat, or the built-in defaults when it cannot be read.
void Display_Default_Plasma();
// Reads default.dat and decodes its preferred resolution; before the display exists.
int Grab_Preferred_Plasma_Screen_Dimensions(int* width, int* height, int* depth);
// Counts the files matching a wildcard path; 0 (count 0) when none match.
int Count_Files_In_Folder(const char* pattern, int* count);
// Picks a random *.DAT of the data folder, never the previous pick when there are two or more.
int Select_Random_Setting(std::string* path);
// Select_Random_Setting, then Load_Plasma_Settings of it (not applied).
int Load_Random_Setting();
// Loads a random preset and applies it, rebuilding a full-screen display with
// `rebuild` when the preset asks for another resolution. Null: the display
// cannot change its mode and the preset is shown at the present one.
int Display_A_Random_Setting(Full_Screen_Rebuild rebuild);
