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
// Its two halves, for a saver that draws from the package in place while
// the copy runs in a process of its own. Begin makes the hidden folder
// beside `folder` (and the folders above it) and gives its path, "" with
// the failure in *failure. Finish copies the package into it and renames
// it to `folder`, removing it on failure; 1 or 0 as above.
std::string Begin_Data_Folder_Set_Up(const std::string& folder, std::string* failure);
int Finish_Data_Folder_Set_Up(const std::string& package, const std::string& building, const std::string& folder,
                              std::string* failure);

// The XScreenSaver hack of the system-wide installation that `program`
// (a program's file, as /usr/bin/calvorine-setup) belongs to:
// <prefix>/libexec/xscreensaver/calvorine beside <prefix>/bin, when it is
// there and can be run; else "".
std::string Installed_Hack_Program(const std::string& program);

// Makes Calvorine the user's XScreenSaver display mode (the switch-on of
// the installer: every other setting and program kept, the old settings
// in ~/.xscreensaver.bak) with the installed hack of `program`'s
// installation, else the saver the installer registered in system.ini.
// 1 with the hack's file in *hack; 0 with the reason in *failure.
// calvorine-setup --xscreensaver.
int Select_Calvorine_In_Xscreensaver(const std::string& program, std::string* hack, std::string* failure);

// What the first configuration run did about XScreenSaver.
enum Xscreensaver_Offer : int {
    OFFER_NOTHING = 0,  // not a system-wide installation, no settings yet, or done before
    OFFER_LISTED = 1,   // Calvorine was put in the settings: *message says so
    OFFER_FAILED = 2,   // it could not be: *message has the failure
};
// A system-wide installation never edits a user's files itself; the
// user's first configuration run does, once: when `program` belongs to a
// system-wide installation and ~/.xscreensaver exists without Calvorine,
// Calvorine is selected there. The marker "xscreensaver_listed.txt" in the
// data folder `folder` records that this was settled (listed by us or
// found listed), so that a user who takes it out again is not overruled.
// Called by the saver in configuration mode.
Xscreensaver_Offer Offer_Xscreensaver_Listing(const std::string& folder, const std::string& program,
                                              std::string* message);
