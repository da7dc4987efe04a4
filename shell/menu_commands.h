// The configuration window's menu commands and the preset file dialogs.
#pragma once

#include <cstdint>

struct Window;

// Size of the file dialogs' path and title buffers.
constexpr int FILE_DIALOG_BUFFER_SIZE = 260;

// The preset file last opened or saved; empty at start.
extern char current_file[FILE_DIALOG_BUFFER_SIZE];

// Carries out one menu command (WM_COMMAND) by its identifier; also takes
// the system's start-screen-saver command, which the running saver ignores.
// 1 when the command is one of the menu's, 0 when the platform's default
// handling should have it. Called by Main_Window_Procedure.
int Menu_Command(uintptr_t id);

// Prepares the file dialogs: owner, starting folder, the four filters with
// `filter_index` (1 presets, 2 ASCII, 3 bitmaps, 4 all) pre-selected and its
// default extension. The start-up, Open and Save As call it.
void Init_File_Dialog(Window* owner, const char* initial_folder, int filter_index);
// The open and save dialogs on the prepared record: the chosen full path
// into `path`, its bare name into `title` (each FILE_DIALOG_BUFFER_SIZE
// bytes; `path` also offers its present name); non-zero when a file was
// chosen, 0 when cancelled. The save dialog asks before overwriting.
int Open_File_Dialog(Window* owner, char* path, char* title);
int Save_File_Dialog(Window* owner, char* path, char* title);
