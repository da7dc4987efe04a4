// The help viewer without a window system: the file is read and kept.
#include "platform/help.h"

#include <fstream>
#include <sstream>

Help_Hook platform_help_hook = nullptr;
std::string platform_help_text;

bool Platform_Show_Help(Window* owner, const char* path) {
    if (!path) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::stringstream text;
    text << file.rdbuf();
    if (file.bad()) return false;
    platform_help_text = text.str();
    if (platform_help_hook) platform_help_hook(owner, platform_help_text);
    return true;
}
