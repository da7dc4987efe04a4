// The installation package's data files: what calvorine-setup copies into
// the data folder, and the saver's own first-run set-up of a user's data
// folder from the package a system-wide installation keeps under
// $XDG_DATA_DIRS/calvorine.
//
// A package folder holds "Calvorine/*.DAT", "Calvorine/Data/Help.HLP",
// "Calvorine/Data/Bmp/{About,Font}.bmp" and the "*.bmp" of
// "Calvorine/Data/Bmp/Objects" and "Calvorine/Data/Bmp/Overlays".
#pragma once

#include <string>

// Makes sure a folder is there: 1 when it was created or already is a
// plain folder this user can write into, else 0.
int Ensure_Install_Folder(const std::string& path);

// Copies the package's presets, help file, pictures, objects and overlays
// into the data folder `folder` (which exists), making its Data, Frame
// Converter, Bmp, Objects and Overlays folders on the way, in the
// installer's order; every copy overwrites. `package` "" is the current
// folder. 1 when done; 0 with the failed step's text in *failure, leaving
// what was copied before it.
int Copy_Package_Files(const std::string& package, const std::string& folder, std::string* failure);

// The system's installation package: the first system data folder (most
// important first) with a "calvorine/Calvorine" folder, as that
// "calvorine" folder; "" when there is none. Called by the saver at start.
std::string System_Package_Folder();

// Sets up the data folder `folder`, which does not exist, from a package:
// the files are copied into a hidden folder beside it, which is renamed to
// `folder` only when complete, so that a failure half-way leaves nothing
// behind. 1 when `folder` is there afterwards (also when another start of
// the saver made it meanwhile); 0 with the failed step's text in *failure.
int Set_Up_Data_Folder_From_Package(const std::string& package, const std::string& folder, std::string* failure);
