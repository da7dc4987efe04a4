// The help viewer: the program's help file shown as plain text in a window
// of its own beside the saver's.
#pragma once

#include <string>

struct Window;

// Shows the help file at its start (WinHelp's contents). False when the file
// cannot be read; without a window system the file is only read.
bool Platform_Show_Help(Window* owner, const char* path);

// The window layer's viewer: shows the text, titled by the caption.
using Help_Hook = void (*)(Window* owner, const std::string& text);
extern Help_Hook platform_help_hook;
// The text last shown, for tests.
extern std::string platform_help_text;
