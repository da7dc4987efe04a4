// Where the saver's files live: the data folder inside the Windows
// directory, and the folder services its file code uses (platform/files.h).
#pragma once

#include <string>

#include "platform/files.h"

// Name of the data folder inside the Windows directory.
constexpr const char* DATA_FOLDER_NAME = "Calvorine";

// The Windows directory, without a trailing separator.
std::string Windows_Directory();
// Makes the program use another Windows directory (the render tool's
// --data-dir, tests); an empty string goes back to the environment's.
void Set_Windows_Directory(const std::string& directory);
// The Windows directory followed by "/Calvorine".
std::string Data_Folder();
