// The file services the installer uses, named as the system always named
// them: folder creation, attributes, copying, deleting, the profile-string
// writer of system.ini, the screen-saver-active switch and the shell's verbs.
//
// A folder's attribute word is FILE_ATTRIBUTE_DIRECTORY alone only when it
// is a plain directory this user may write into: one without write
// permission reads as read-only (also for root, whom the permission bits do
// not stop), so callers that want "a folder I can use" test for exactly 16.
//
// Tests make any operation on any path fail through platform_file_fault_hook.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// GetFileAttributes's bits.
constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// The operations a test can make fail.
enum File_Operation : int {
    FILE_CREATE_DIRECTORY = 1,
    FILE_COPY = 2,  // the path is the copy's target
    FILE_DELETE = 3,
    FILE_WRITE = 4,   // an atomic write of a whole file (profiles, ~/.xscreensaver)
    FILE_LINK = 5,    // the path is the link being made
    FILE_LAUNCH = 6,  // a shell verb on the path
    FILE_RENAME = 7,  // the path is the new name
};
// Answers true when the operation on that path is to fail.
using File_Fault_Hook = bool (*)(File_Operation operation, const char* path);
extern File_Fault_Hook platform_file_fault_hook;

// CreateDirectory: false when the folder could not be made (also when
// something of that name exists already).
bool Platform_Create_Directory(const char* path);
// Creates a folder and every missing folder above it (mkdir -p); true
// when the folder is there afterwards.
bool Platform_Create_Directory_Path(const char* path);
// GetFileAttributes: INVALID_FILE_ATTRIBUTES when nothing is there; a
// directory is FILE_ATTRIBUTE_DIRECTORY, plus FILE_ATTRIBUTE_READONLY when
// it cannot be written; anything else carries FILE_ATTRIBUTE_ARCHIVE.
uint32_t Platform_Get_File_Attributes(const char* path);
// CopyFile: the source's bytes and permission bits; an existing target is
// replaced whole (never left half written) unless fail_if_exists.
bool Platform_Copy_File(const char* source, const char* target, bool fail_if_exists);
// DeleteFile: false when the file was not there or could not be removed.
bool Platform_Delete_File(const char* path);
// The whole contents of a file; false when it cannot be read.
bool Platform_Read_File(const char* path, std::string* contents);
// Replaces a file with new contents atomically (a temporary file beside it,
// synced, then renamed over it), keeping the old one's permission bits.
// With a backup path, the old file is first copied there.
bool Platform_Write_File_Atomically(const char* path, const std::string& contents, const char* backup_path);
// Makes `link_path` a symbolic link to `target`, replacing an older link of
// that name (never a real file), and creating the link's folder if needed.
bool Platform_Link_File(const char* target, const char* link_path);
// Gives a file or folder a new name, which must not exist yet (a folder
// is never put over another one, not even an empty one).
bool Platform_Rename_No_Replace(const char* path, const char* new_path);
// Removes a folder with everything inside it (links are removed, never
// followed); true when nothing is left at the path.
bool Platform_Remove_Tree(const char* path);
// The system's data folders, most important first: $XDG_DATA_DIRS, or
// /usr/local/share and /usr/share when it is unset or empty. Relative
// entries are ignored, as their rules ask.
std::vector<std::string> Platform_System_Data_Directories();
// This process's id, for names that must not meet another process's.
long Platform_Process_Id();
// GetShortPathName: names here have no short forms; the path when it exists, else "".
std::string Platform_Short_Path_Name(const char* path);
// Whether a file is there and this user may run it.
bool Platform_Is_Executable(const char* path);
// The running program's own file (symbolic links resolved); "" when unknown.
std::string Platform_Program_Path();
// The user's home folder, without a trailing separator.
std::string Platform_Home_Directory();

// The profile file's text with `key` = `value` in [section]: the key's old
// line replaced in place, else added at the end of the section, else the
// section added at the end. Section and key names match ignoring case;
// every other line stays as it was.
std::string Profile_Set_String(const std::string& text, const char* section, const char* key, const char* value);
// The value of `key` in [section] of the profile's text; false when absent.
bool Profile_Get_String(const std::string& text, const char* section, const char* key, std::string* value);
// WritePrivateProfileString to a profile file by path, written atomically.
bool Platform_Write_Private_Profile_String(const char* section, const char* key, const char* value, const char* file);

// The XScreenSaver settings' text with the hack `name` running `command`
// as the one display mode: its entry added to (or replaced in) the
// programs: list, "mode: one" and "selected:" its index. Everything else
// stays. An empty text gives a minimal settings file.
std::string Xscreensaver_Select_Hack(const std::string& text, const std::string& name, const std::string& command);
// The hack entries of the programs: list as written ("-", "GL:" and the
// quoted name included), in order.
bool Xscreensaver_Programs(const std::string& text, std::vector<std::string>* programs);
// Whether the programs: list holds an entry with the quoted name `name`.
bool Xscreensaver_Lists_Hack(const std::string& text, const std::string& name);
// The XScreenSaver command line that runs a saver program as a hack on its window.
std::string Xscreensaver_Hack_Command(const std::string& program);
// The settings file: ~/.xscreensaver.
std::string Platform_Xscreensaver_Settings_Path();
// The most numbered backups of the settings (~/.xscreensaver.bak.1 to .bak.N).
constexpr int MOST_XSCREENSAVER_BACKUPS = 99;
// Where the next backup of the settings file goes: "SETTINGS.bak" while that
// name is free, else the first free "SETTINGS.bak.N"; empty when every name
// is taken. `taken` says whether a name is in use; no backup is ever replaced.
std::string Xscreensaver_Backup_Path(const std::string& settings, const std::function<bool(const std::string&)>& taken);

// Makes the saver program `saver` the user's XScreenSaver display mode:
// ~/.xscreensaver gets the "Calvorine" entry running it as a hack (added,
// or replacing the old one), "mode: one" and "selected:" it, with every
// other setting and program kept and the old file copied to the first free
// backup name (Xscreensaver_Backup_Path), named in `backup` when given;
// without a settings file a minimal one is written. Settings that select it
// already are left alone, and so are the backups. False when the settings
// cannot be read or written.
bool Platform_Select_Xscreensaver_Hack(const std::string& saver, std::string* backup = nullptr);

// SystemParametersInfo's set-screen-saver-active with the change written to
// the user's profile: on, the saver named by SCRNSAVE.EXE in [boot] of the
// Windows directory's system.ini becomes the user's XScreenSaver mode (the
// old ~/.xscreensaver kept as ~/.xscreensaver.bak, a later changed one as the
// first free ~/.xscreensaver.bak.N, no backup ever replaced); off changes nothing.
// False when there is no saver to switch on or the settings cannot be written.
bool Platform_Set_Screen_Saver_Active(bool active);

// Runs `work` in a process of its own, detached from this one (a session
// of its own, nobody's child here): it goes on when this process ends or
// its process group is signalled. Only files may be touched there: no
// window, no display. False when the process could not be made.
bool Platform_Run_Detached(void (*work)(void* data), void* data);

// ShellExecute with a verb: "config" starts the saver program with /c,
// detached from this process (it outlives the installer); "open" starts it
// without arguments. False when the program cannot be started.
bool Platform_Shell_Execute(const char* verb, const char* file);
