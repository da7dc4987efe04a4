// The open and save file dialogs.
//
// The program fills a request (filters, starting folder, default extension,
// options) and gets back the chosen file's full path and its bare name.
// Headless, no dialog is shown: the answer is "cancelled" unless a test has
// set one. The window layer installs a hook that shows the real dialog.
#pragma once

#include <string>
#include <vector>

struct Window;

// One entry of a dialog's filter list: what the user reads and the pattern.
struct File_Filter {
    const char* description;  // e.g. "Bitmap Files (*.BMP)"
    const char* pattern;      // e.g. "*.bmp"
};

// What a file dialog is asked to show.
struct File_Dialog_Request {
    Window* owner = nullptr;
    const File_Filter* filters = nullptr;
    int filter_count = 0;
    int filter_index = 1;           // the pre-selected filter, counted from 1
    std::string initial_folder;     // where the dialog starts
    std::string initial_name;       // the file name the dialog offers first (may be empty)
    std::string default_extension;  // appended to a typed name without one ("bmp")
    bool hide_read_only = false;    // no read-only check box
    bool create_prompt = false;     // offer to create a file that does not exist
    bool overwrite_prompt = false;  // ask before replacing an existing file (save)
    bool save = false;              // a save dialog rather than an open dialog
};

// Runs the dialog. On a choice returns 1 and writes the full path into
// path (size bytes, always terminated) and the name without folders into
// title (title_size bytes); on cancel or failure returns 0 and leaves both
// buffers as they were.
int Platform_Open_File_Dialog(const File_Dialog_Request& request, char* path, int size, char* title, int title_size);
// As Platform_Open_File_Dialog with the request's save flag set.
int Platform_Save_File_Dialog(const File_Dialog_Request& request, char* path, int size, char* title, int title_size);

// The window layer's dialog: returns true with the chosen full path, false when cancelled.
using File_Dialog_Hook = bool (*)(const File_Dialog_Request& request, std::string* chosen);
extern File_Dialog_Hook platform_file_dialog_hook;

// Headless answer for tests: the full path the next dialogs "choose"; empty means cancelled.
extern std::string platform_file_dialog_answer;
// Every request the dialogs were given, for tests.
extern std::vector<File_Dialog_Request> platform_file_dialog_requests;
// Forgets the answer, the recorded requests and the hook.
void Platform_Reset_File_Dialog();
