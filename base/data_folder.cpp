#include "base/data_folder.h"

std::string Windows_Directory() { return Platform_Windows_Directory(); }

void Set_Windows_Directory(const std::string& directory) { Platform_Set_Windows_Directory(directory); }

std::string Data_Folder() { return Windows_Directory() + "/" + DATA_FOLDER_NAME; }
