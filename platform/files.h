// The file system as the saver sees it.
//
// The "Windows directory" of the saver is $XDG_DATA_HOME when it is an
// absolute path, else $HOME (or the password entry's home) followed by
// "/.local/share", unless the program names another one. Paths are built
// with '/'. Names are matched as the saver has always matched them, ignoring
// case, so "DEFAULT.DAT" copied from an old installation is still the
// default preset and "*.DAT" finds "a.dat".
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The Windows directory, without a trailing separator.
std::string Platform_Windows_Directory();
// Makes the program use another Windows directory (--data-dir, tests); an
// empty string goes back to the environment's.
void Platform_Set_Windows_Directory(const std::string& directory);

// 1 when the path names a directory, else 0.
int Folder_Exists(const char* path);
// 1 when the path names a file that can be opened for reading, else 0.
int File_Exists(const char* path);

// The path as it exists on disk when it differs from an existing one only in
// the case of its names; the path unchanged when nothing matches.
std::string Match_Path_Case(const std::string& path);

// Where a save to `path` may put its new file: the regular file there, the
// file a chain of symbolic links ends in (a link is followed, never replaced),
// or the name itself when nothing exists yet. 0 when that is anything else (a
// device, a FIFO, a socket, a folder) or the links loop: such a path is never
// replaced by a file. Used by the preset and bitmap savers.
int Resolve_Save_Target(const std::string& path, std::string* target);
// 1 when a save may replace `target`: nothing is there yet, or a file the user may write.
int Save_Target_Writable(const std::string& target);

// A file a save writes into before it replaces its target, so that a full
// disk or a crash half-way never leaves a damaged file in place of a good one.
struct Replacement;
// Opens a new, empty file beside `target` (hidden, named after it, never
// ending in the target's extension), with the target's permissions or those
// of a plain new file; null when the folder takes no new file.
Replacement* Begin_Replacement(const std::string& target);
// Appends bytes to the new file; false when they could not all be written.
bool Replacement_Write(Replacement* replacement, const void* data, size_t size);
// Puts every byte on disk and renames the new file over the target; 1, or 0
// with the target untouched and the new file gone. Ends the replacement.
int Commit_Replacement(Replacement* replacement);
// Drops the new file, leaving the target as it was; accepts null.
void Abandon_Replacement(Replacement* replacement);
// 1 when a file name has the form Begin_Replacement gives a preset's or a
// picture's new file (".Mandala.DAT.a1B2c3").
int Is_Replacement_Name(const std::string& name);
// Removes the new files of saves that never ended (the saver was killed)
// from one folder, not below it: only names of that form, regular files of
// this user that no running save holds. The count removed. Start-up calls it
// on the data folder.
int Remove_Stale_Replacements(const std::string& folder);

// Opens the error log for reading and writing, never through a symbolic
// link, and only a file or a device (never a FIFO or a socket): `create` makes it anew (emptied), else it
// must exist. A link in its place is removed, the log made fresh under the
// name, and `replaced_link` set, so that the log can say so. Null on failure.
FILE* Platform_Open_Log_File(const char* path, bool create, bool* replaced_link);

// Renames the file at `path` to `aside`, replacing an older file of that name
// (a link is moved as the link it is); 1, or 0 with both names as they were.
// Never moves a folder nor puts a file over one.
int Set_File_Aside(const std::string& path, const std::string& aside);

// What tells this file's present contents from any other's as far as the
// file system can say (device, file number, size, change times), for a cache
// of something read from it; "" when no regular file is there.
std::string File_Identity(const std::string& path);

// 1 when the name matches the wildcard pattern ('*' any run, '?' one
// character), ignoring ASCII case.
int Wildcard_Match(const char* pattern, const char* name);

// A search over the files of one folder matching a wildcard, in a stable
// order (byte order of the names) so that counting and picking agree.
struct File_Search;
// Opens a search on "folder/pattern" and gives the first match's name;
// null when the folder cannot be read or nothing matches. Only regular
// files match: a folder called "x.dat" is not a preset.
File_Search* Find_First_File(const char* pattern, std::string* name);
// The next match's name; 0 when there is none.
int Find_Next_File(File_Search* search, std::string* name);
// Ends a search; accepts null.
void Find_Close(File_Search* search);
