// The installer's file services on POSIX: folders, attributes, copies,
// atomic writes, links, system.ini, ~/.xscreensaver and the shell's verbs.
#include "platform/install_files.h"

#include <fcntl.h>
#include <ftw.h>
#include <pwd.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/files.h"

File_Fault_Hook platform_file_fault_hook = nullptr;

static bool Faulted(File_Operation operation, const char* path) {
    return platform_file_fault_hook && platform_file_fault_hook(operation, path ? path : "");
}

bool Platform_Create_Directory(const char* path) {
    if (!path || !*path || Faulted(FILE_CREATE_DIRECTORY, path)) return false;
    return mkdir(path, 0755) == 0;
}

bool Platform_Rename_No_Replace(const char* path, const char* new_path) {
    if (!path || !new_path || !*new_path || Faulted(FILE_RENAME, new_path)) return false;
    return renameat2(AT_FDCWD, path, AT_FDCWD, new_path, RENAME_NOREPLACE) == 0;
}

static int Remove_Entry(const char* path, const struct stat*, int, struct FTW*) { return remove(path) == 0 ? 0 : 1; }

bool Platform_Remove_Tree(const char* path) {
    if (!path || !*path) return false;
    struct stat info;
    if (lstat(path, &info) != 0) return errno == ENOENT;
    // Depth first, without following links out of the tree.
    return nftw(path, Remove_Entry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

std::vector<std::string> Platform_System_Data_Directories() {
    const char* value = std::getenv("XDG_DATA_DIRS");
    std::string list = value && *value ? value : "/usr/local/share:/usr/share";
    std::vector<std::string> directories;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string entry = list.substr(start, end - start);
        while (entry.size() > 1 && entry.back() == '/') entry.pop_back();
        if (!entry.empty() && entry[0] == '/') directories.push_back(entry);
        start = end + 1;
    }
    return directories;
}

long Platform_Process_Id() { return static_cast<long>(getpid()); }

uint32_t Platform_Get_File_Attributes(const char* path) {
    struct stat info;
    if (!path || stat(path, &info) != 0) return INVALID_FILE_ATTRIBUTES;
    if (!S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_ARCHIVE;
    // The owner's write bit counts even for root, who could write anyway:
    // a folder the user made read-only stays read-only to the installer.
    bool writable = (info.st_mode & S_IWUSR) && access(path, W_OK | X_OK) == 0;
    return FILE_ATTRIBUTE_DIRECTORY | (writable ? 0 : FILE_ATTRIBUTE_READONLY);
}

static bool Write_All(int descriptor, const char* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(descriptor, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool Platform_Read_File(const char* path, std::string* contents) {
    if (!path || !contents) return false;
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    struct stat info;
    if (fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(descriptor);
        return false;
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t got = read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            close(descriptor);
            return false;
        }
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    close(descriptor);
    *contents = std::move(text);
    return true;
}

// The folder part of a path ("." for a bare name).
static std::string Folder_Of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes the bytes to a new temporary file beside `path` with the given
// permission bits and renames it over `path`: a reader sees the old file or
// the new one, never a part of either.
static bool Replace_With(const std::string& path, const std::string& contents, mode_t mode) {
    std::string temporary = Folder_Of(path) + "/.calvorine-XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    int descriptor = mkstemp(name.data());
    if (descriptor < 0) return false;
    bool written = Write_All(descriptor, contents.data(), contents.size()) && fchmod(descriptor, mode) == 0 &&
                   fsync(descriptor) == 0;
    written = close(descriptor) == 0 && written;
    if (!written || rename(name.data(), path.c_str()) != 0) {
        unlink(name.data());
        return false;
    }
    return true;
}

bool Platform_Copy_File(const char* source, const char* target, bool fail_if_exists) {
    if (!source || !target || Faulted(FILE_COPY, target)) return false;
    struct stat info;
    if (stat(source, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (fail_if_exists && access(target, F_OK) == 0) return false;
    struct stat existing;
    // A folder of the target's name is not replaced by a file.
    if (stat(target, &existing) == 0 && S_ISDIR(existing.st_mode)) return false;
    std::string contents;
    if (!Platform_Read_File(source, &contents)) return false;
    return Replace_With(target, contents, info.st_mode & 07777);
}

bool Platform_Delete_File(const char* path) {
    if (!path || Faulted(FILE_DELETE, path)) return false;
    struct stat info;
    if (lstat(path, &info) != 0 || S_ISDIR(info.st_mode)) return false;
    return unlink(path) == 0;
}

bool Platform_Write_File_Atomically(const char* path, const std::string& contents, const char* backup_path) {
    if (!path || Faulted(FILE_WRITE, path)) return false;
    mode_t mode = 0644;
    struct stat info;
    if (stat(path, &info) == 0) {
        if (!S_ISREG(info.st_mode)) return false;
        mode = info.st_mode & 07777;
        if (backup_path && !Platform_Copy_File(path, backup_path, false)) return false;
    }
    return Replace_With(path, contents, mode);
}

// Creates every missing folder of a path, as mkdir -p.
static bool Make_Folders(const std::string& folder) {
    struct stat info;
    if (folder.empty() || stat(folder.c_str(), &info) == 0) return !folder.empty() && S_ISDIR(info.st_mode);
    std::string parent = Folder_Of(folder);
    if (parent != folder && !Make_Folders(parent)) return false;
    return mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

bool Platform_Create_Directory_Path(const char* path) {
    if (!path || !*path || Faulted(FILE_CREATE_DIRECTORY, path)) return false;
    return Make_Folders(path);
}

bool Platform_Link_File(const char* target, const char* link_path) {
    if (!target || !link_path || Faulted(FILE_LINK, link_path)) return false;
    struct stat info;
    if (lstat(link_path, &info) == 0 && !S_ISLNK(info.st_mode)) return false;
    if (!Make_Folders(Folder_Of(link_path))) return false;
    // A new link beside the old one, renamed over it: never a moment without one.
    std::string temporary = std::string(link_path) + ".calvorine-new";
    unlink(temporary.c_str());
    if (symlink(target, temporary.c_str()) != 0) return false;
    if (rename(temporary.c_str(), link_path) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string Platform_Short_Path_Name(const char* path) {
    if (!path || access(path, F_OK) != 0) return {};
    return path;
}

bool Platform_Is_Executable(const char* path) {
    struct stat status;
    return path && stat(path, &status) == 0 && S_ISREG(status.st_mode) && access(path, X_OK) == 0;
}

std::string Platform_Program_Path() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

std::string Platform_Home_Directory() {
    const char* home = std::getenv("HOME");
    std::string path;
    if (home && *home) {
        path = home;
    } else if (const passwd* entry = getpwuid(getuid())) {
        path = entry->pw_dir;
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// ---------------------------------------------------------------------------
// Profiles (system.ini).

static std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

static bool Same_Ignoring_Case(const std::string& a, const char* b) {
    size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; i++) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

static std::vector<std::string> Lines_Of(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The section's name when the line opens one ("[boot]"), else "".
static bool Section_Name(const std::string& line, std::string* name) {
    std::string trimmed = Trimmed(line);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') return false;
    *name = Trimmed(trimmed.substr(1, trimmed.size() - 2));
    return true;
}

// The key of a "key=value" line, else false.
static bool Key_Of(const std::string& line, std::string* key) {
    std::string trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed[0] == ';') return false;
    size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return false;
    *key = Trimmed(trimmed.substr(0, equals));
    return true;
}

std::string Profile_Set_String(const std::string& text, const char* section, const char* key, const char* value) {
    // The file's own line ends are kept: system.ini has always had CR LF.
    const bool crlf = text.find("\r\n") != std::string::npos;
    const std::string end_of_line = crlf ? "\r" : "";
    std::vector<std::string> lines = Lines_Of(text);
    const std::string entry = std::string(key) + "=" + value + end_of_line;

    bool in_section = false;
    int section_end = -1;  // the line after the section's last key, where a new key goes
    for (size_t i = 0; i < lines.size(); i++) {
        std::string name, line_key;
        if (Section_Name(lines[i], &name)) {
            if (in_section) break;
            in_section = Same_Ignoring_Case(name, section);
            if (in_section) section_end = static_cast<int>(i) + 1;
            continue;
        }
        if (!in_section) continue;
        if (Key_Of(lines[i], &line_key)) {
            if (Same_Ignoring_Case(line_key, key)) {
                lines[i] = entry;
                section_end = -2;
                break;
            }
            section_end = static_cast<int>(i) + 1;
        }
    }
    if (section_end >= 0) {
        lines.insert(lines.begin() + section_end, entry);
    } else if (section_end == -1) {
        if (!lines.empty() && !Trimmed(lines.back()).empty()) lines.push_back(end_of_line);
        lines.push_back("[" + std::string(section) + "]" + end_of_line);
        lines.push_back(entry);
    }
    std::string result;
    for (const std::string& line : lines) result += line + "\n";
    return result;
}

bool Profile_Get_String(const std::string& text, const char* section, const char* key, std::string* value) {
    bool in_section = false;
    for (const std::string& line : Lines_Of(text)) {
        std::string name, line_key;
        if (Section_Name(line, &name)) {
            in_section = Same_Ignoring_Case(name, section);
            continue;
        }
        if (in_section && Key_Of(line, &line_key) && Same_Ignoring_Case(line_key, key)) {
            std::string trimmed = Trimmed(line);
            if (value) *value = Trimmed(trimmed.substr(trimmed.find('=') + 1));
            return true;
        }
    }
    return false;
}

bool Platform_Write_Private_Profile_String(const char* section, const char* key, const char* value, const char* file) {
    if (!section || !key || !value || !file) return false;
    std::string text;
    if (access(file, F_OK) == 0 && !Platform_Read_File(file, &text)) return false;
    return Platform_Write_File_Atomically(file, Profile_Set_String(text, section, key, value), nullptr);
}

// ---------------------------------------------------------------------------
// XScreenSaver's settings.

// Where the programs: resource lies in the settings' lines.
struct Programs_Resource {
    size_t first_line = 0, last_line = 0;  // inclusive
    std::string value;                     // the lines joined, continuations removed
};

static bool Find_Programs(const std::vector<std::string>& lines, Programs_Resource* found) {
    for (size_t i = 0; i < lines.size(); i++) {
        std::string trimmed = Trimmed(lines[i]);
        if (trimmed.rfind("programs:", 0) != 0) continue;
        found->first_line = i;
        std::string value = trimmed.substr(std::strlen("programs:"));
        size_t line = i;
        // A resource goes on while its line ends in a backslash.
        while (!value.empty() && value.back() == '\\' && line + 1 < lines.size()) {
            value.pop_back();
            value += "\n" + lines[++line];
        }
        if (!value.empty() && value.back() == '\\') value.pop_back();
        found->last_line = line;
        found->value = value;
        return true;
    }
    return false;
}

// The entries of the programs: value: separated by the two characters \n.
static std::vector<std::string> Split_Programs(const std::string& value) {
    std::vector<std::string> entries;
    size_t start = 0;
    for (;;) {
        size_t end = value.find("\\n", start);
        std::string entry = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Joined lines meet where the continuation was; the entry's own spacing stays.
        for (char& c : entry) {
            if (c == '\n') c = ' ';
        }
        entry = Trimmed(entry);
        if (!entry.empty()) entries.push_back(entry);
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return entries;
}

bool Xscreensaver_Programs(const std::string& text, std::vector<std::string>* programs) {
    Programs_Resource resource;
    if (!Find_Programs(Lines_Of(text), &resource)) return false;
    if (programs) *programs = Split_Programs(resource.value);
    return true;
}

// The entry's quoted name, if it has one ("Calvorine" in  - GL: "Calvorine" x).
static std::string Entry_Name(const std::string& entry) {
    size_t open = entry.find('"');
    if (open == std::string::npos) return {};
    size_t close = entry.find('"', open + 1);
    if (close == std::string::npos) return {};
    return entry.substr(open + 1, close - open - 1);
}

static bool Is_Our_Entry(const std::string& entry, const std::string& name) { return Entry_Name(entry) == name; }

bool Xscreensaver_Lists_Hack(const std::string& text, const std::string& name) {
    std::vector<std::string> programs;
    if (!Xscreensaver_Programs(text, &programs)) return false;
    for (const std::string& entry : programs) {
        if (Is_Our_Entry(entry, name)) return true;
    }
    return false;
}

// Quotes a path for the shell that XScreenSaver starts hacks with.
static std::string Shell_Quoted(const std::string& path) {
    bool plain = !path.empty();
    for (char c : path) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && std::strchr("/._-+,", c) == nullptr) plain = false;
    }
    if (plain) return path;
    std::string quoted = "'";
    for (char c : path) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string Xscreensaver_Hack_Command(const std::string& program) { return Shell_Quoted(program) + " --root"; }

// Sets "name:\tvalue" in place of the resource's old line, else appends it.
static void Set_Resource(std::vector<std::string>& lines, const char* name, const std::string& value) {
    const std::string prefix = std::string(name) + ":";
    const std::string line = prefix + "\t\t" + value;
    for (std::string& existing : lines) {
        if (Trimmed(existing).rfind(prefix, 0) == 0) {
            existing = line;
            return;
        }
    }
    lines.push_back(line);
}

std::string Xscreensaver_Select_Hack(const std::string& text, const std::string& name, const std::string& command) {
    std::vector<std::string> lines = Lines_Of(text);
    const std::string ours = "\"" + name + "\"  " + command;

    Programs_Resource resource;
    std::vector<std::string> entries;
    const bool had_programs = Find_Programs(lines, &resource);
    if (had_programs) entries = Split_Programs(resource.value);
    size_t selected = entries.size();
    for (size_t i = 0; i < entries.size(); i++) {
        if (Is_Our_Entry(entries[i], name)) {
            selected = i;
            break;
        }
    }
    if (selected == entries.size()) {
        entries.push_back(ours);
    } else {
        entries[selected] = ours;
    }

    std::vector<std::string> programs{"programs:\t\t\t\t\t\t\t\t      \\"};
    for (size_t i = 0; i < entries.size(); i++) {
        programs.push_back("\t\t" + entries[i] + (i + 1 < entries.size() ? "\t\t    \\n\\" : "\t\t    \\n"));
    }
    if (had_programs) {
        lines.erase(lines.begin() + static_cast<long>(resource.first_line),
                    lines.begin() + static_cast<long>(resource.last_line) + 1);
        lines.insert(lines.begin() + static_cast<long>(resource.first_line), programs.begin(), programs.end());
    } else {
        lines.push_back("");
        lines.insert(lines.end(), programs.begin(), programs.end());
    }
    Set_Resource(lines, "mode", "one");
    Set_Resource(lines, "selected", std::to_string(selected));

    std::string result;
    for (const std::string& line : lines) result += line + "\n";
    return result;
}

std::string Platform_Xscreensaver_Settings_Path() { return Platform_Home_Directory() + "/.xscreensaver"; }

bool Platform_Select_Xscreensaver_Hack(const std::string& saver, std::string* backup_used) {
    if (backup_used) backup_used->clear();
    if (saver.empty()) return false;
    std::string settings = Platform_Xscreensaver_Settings_Path();
    std::string text;
    bool exists = access(settings.c_str(), F_OK) == 0;
    if (exists && !Platform_Read_File(settings.c_str(), &text)) return false;
    const std::string selected = Xscreensaver_Select_Hack(text, "Calvorine", Xscreensaver_Hack_Command(saver));
    // Selected already: nothing to write and nothing to back up.
    if (exists && selected == text) return true;
    // The copy goes to the first free backup name: the first backup holds
    // the user's own settings from before any installation, and no later
    // one ever replaces it.
    std::string backup;
    if (exists) {
        backup = Xscreensaver_Backup_Path(settings, [](const std::string& path) {
            struct stat info;
            return lstat(path.c_str(), &info) == 0;
        });
        if (backup.empty()) return false;
    }
    if (!Platform_Write_File_Atomically(settings.c_str(), selected, backup.empty() ? nullptr : backup.c_str()))
        return false;
    if (backup_used) *backup_used = backup;
    return true;
}

bool Platform_Set_Screen_Saver_Active(bool active) {
    if (!active) return true;
    // The saver the system starts is the one registered in system.ini.
    std::string ini_text, saver;
    std::string ini = Platform_Windows_Directory() + "/system.ini";
    if (!Platform_Read_File(ini.c_str(), &ini_text) || !Profile_Get_String(ini_text, "boot", "SCRNSAVE.EXE", &saver) ||
        saver.empty()) {
        return false;
    }
    return Platform_Select_Xscreensaver_Hack(saver);
}

std::string Xscreensaver_Backup_Path(const std::string& settings, const std::function<bool(const std::string&)>& taken) {
    std::string path = settings + ".bak";
    for (int number = 1; taken(path); number++) {
        if (number > MOST_XSCREENSAVER_BACKUPS) return {};
        path = settings + ".bak." + std::to_string(number);
    }
    return path;
}

// ---------------------------------------------------------------------------
// Shell verbs.

bool Platform_Run_Detached(void (*work)(void* data), void* data) {
    if (!work) return false;
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        // The display connection and the log are the parent's: held open
        // here, the server would keep the parent's windows after it ended.
        for (int descriptor = 3; descriptor < 1024; descriptor++) close(descriptor);
        work(data);
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Platform_Shell_Execute(const char* verb, const char* file) {
    if (!verb || !file || Faulted(FILE_LAUNCH, file)) return false;
    const bool config = std::strcmp(verb, "config") == 0;
    if (!config && std::strcmp(verb, "open") != 0) return false;
    if (access(file, X_OK) != 0) return false;
    // Exec failures are reported back through a pipe that closes on a successful exec.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        // A grandchild in a session of its own: the started program is
        // nobody's child here and outlives this process.
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        signal(SIGPIPE, SIG_DFL);
        for (int descriptor = 3; descriptor < 1024; descriptor++) {
            if (descriptor != report[1]) close(descriptor);
        }
        if (config) {
            execl(file, file, "/c", static_cast<char*>(nullptr));
        } else {
            execl(file, file, static_cast<char*>(nullptr));
        }
        int failed = errno;
        (void)!write(report[1], &failed, sizeof failed);
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    int failed = 0;
    ssize_t got;
    do {
        got = read(report[0], &failed, sizeof failed);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}
