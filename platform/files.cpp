// The file system as the saver sees it: the Windows directory, folder and
// file tests, names matched ignoring case, and sorted wildcard searches.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

struct File_Search {
    std::vector<std::string> names;  // every match, sorted
    size_t next = 0;                 // index of the match Find_Next_File gives
};

static std::string windows_directory_override;

static std::string Without_Trailing_Separators(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string Platform_Windows_Directory() {
    if (!windows_directory_override.empty()) return windows_directory_override;
    // A relative XDG_DATA_HOME is invalid by its own rules and is ignored.
    const char* data_home = getenv("XDG_DATA_HOME");
    if (data_home && data_home[0] == '/') return Without_Trailing_Separators(data_home);
    const char* home = getenv("HOME");
    std::string home_path;
    if (home && home[0]) {
        home_path = home;
    } else if (const passwd* entry = getpwuid(getuid())) {
        home_path = entry->pw_dir;
    }
    if (home_path.empty()) home_path = ".";
    return Without_Trailing_Separators(home_path) + "/.local/share";
}

void Platform_Set_Windows_Directory(const std::string& directory) {
    windows_directory_override = directory.empty() ? directory : Without_Trailing_Separators(directory);
}

int Folder_Exists(const char* path) {
    struct stat info;
    if (!path || stat(Match_Path_Case(path).c_str(), &info) != 0) return 0;
    return S_ISDIR(info.st_mode) ? 1 : 0;
}

int File_Exists(const char* path) {
    if (!path || !path[0]) return 0;
    std::string found = Match_Path_Case(path);
    struct stat info;
    // A folder opens for reading here but never reads as a file.
    if (stat(found.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return 0;
    int descriptor = open(found.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return 0;
    close(descriptor);
    return 1;
}

static bool Same_Ignoring_Case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); i++) {
        if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// The entry of `folder` whose name equals `name` ignoring case (the first in
// byte order when several do), or an empty string.
static std::string Entry_Ignoring_Case(const std::string& folder, const std::string& name) {
    DIR* directory = opendir(folder.empty() ? "/" : folder.c_str());
    if (!directory) return {};
    std::string best;
    while (const dirent* entry = readdir(directory)) {
        std::string candidate = entry->d_name;
        if (Same_Ignoring_Case(candidate, name) && (best.empty() || candidate < best)) best = candidate;
    }
    closedir(directory);
    return best;
}

static std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string Match_Path_Case(const std::string& path) {
    struct stat info;
    if (path.empty() || lstat(path.c_str(), &info) == 0) return path;

    // Walk the names one by one; from the first that matches nothing, the
    // rest is kept as given (a file about to be created, say).
    std::string result = path[0] == '/' ? "/" : "";
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        std::string joined = Join(result, component);
        if (component != "." && component != ".." && lstat(joined.c_str(), &info) != 0) {
            std::string found = Entry_Ignoring_Case(result.empty() ? "." : result, component);
            if (found.empty()) return Join(result, path.substr(end - component.size()));
            joined = Join(result, found);
        }
        result = joined;
    }
    return result;
}

int Wildcard_Match(const char* pattern, const char* name) {
    // Greedy match with one back-track point: the most recent '*'.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && tolower(static_cast<unsigned char>(*pattern)) ==
                                                       tolower(static_cast<unsigned char>(*name)))) {
            pattern++;
            name++;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return 0;
        }
    }
    while (*pattern == '*') pattern++;
    return *pattern == '\0' ? 1 : 0;
}

File_Search* Find_First_File(const char* pattern, std::string* name) {
    if (!pattern) return nullptr;
    std::string whole = pattern;
    size_t slash = whole.rfind('/');
    std::string folder = slash == std::string::npos ? "." : whole.substr(0, slash);
    std::string wildcard = slash == std::string::npos ? whole : whole.substr(slash + 1);
    if (folder.empty()) folder = "/";
    folder = Match_Path_Case(folder);

    DIR* directory = opendir(folder.c_str());
    if (!directory) return nullptr;
    auto* search = new File_Search;
    while (const dirent* entry = readdir(directory)) {
        if (!Wildcard_Match(wildcard.c_str(), entry->d_name)) continue;
        struct stat info;
        std::string full = folder + "/" + entry->d_name;
        if (stat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode)) search->names.push_back(entry->d_name);
    }
    closedir(directory);
    if (search->names.empty()) {
        delete search;
        return nullptr;
    }
    std::sort(search->names.begin(), search->names.end());
    *name = search->names[0];
    search->next = 1;
    return search;
}

int Find_Next_File(File_Search* search, std::string* name) {
    if (!search || search->next >= search->names.size()) return 0;
    *name = search->names[search->next++];
    return 1;
}

void Find_Close(File_Search* search) { delete search; }

int Resolve_Save_Target(const std::string& path, std::string* target) {
    // As many links as the system itself follows before it gives up.
    constexpr int MOST_LINKS = 40;
    std::string current = path;
    for (int links = 0; links <= MOST_LINKS; ++links) {
        struct stat info;
        if (lstat(current.c_str(), &info) != 0) {
            // Nothing there yet (or nothing we may look at): the save itself
            // will make the file or report why it cannot.
            *target = current;
            return 1;
        }
        if (S_ISREG(info.st_mode)) {
            *target = current;
            return 1;
        }
        if (!S_ISLNK(info.st_mode)) return 0;
        std::vector<char> buffer(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t length = readlink(current.c_str(), buffer.data(), buffer.size());
        if (length < 0 || static_cast<size_t>(length) >= buffer.size()) return 0;
        std::string pointed(buffer.data(), static_cast<size_t>(length));
        if (pointed.empty()) return 0;
        if (pointed[0] != '/') {
            const size_t slash = current.rfind('/');
            if (slash != std::string::npos) pointed = current.substr(0, slash + 1) + pointed;
        }
        current = pointed;
    }
    return 0;
}

int Save_Target_Writable(const std::string& target) {
    struct stat info;
    if (stat(target.c_str(), &info) != 0) return 1;
    return !S_ISDIR(info.st_mode) && access(target.c_str(), W_OK) == 0 ? 1 : 0;
}

struct Replacement {
    std::string target;
    std::string temporary;
    int descriptor = -1;
};

Replacement* Begin_Replacement(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // Hidden and ending in random letters, so a leftover from a crash is
    // never taken for a preset or a picture.
    const std::string pattern = folder + "." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int descriptor = mkostemp(buffer.data(), O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    // Held until the file is renamed or dropped: the lock dies with a killed
    // saver, and the start-up sweep takes only files nobody holds.
    flock(descriptor, LOCK_EX);

    // mkostemp makes the file private; give it the mode the target has, or
    // the one a plain new file would get.
    struct stat info;
    mode_t mode;
    if (stat(target.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(descriptor, mode);
    return new Replacement{target, buffer.data(), descriptor};
}

bool Replacement_Write(Replacement* replacement, const void* data, size_t size) {
    if (!replacement || replacement->descriptor < 0) return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(replacement->descriptor, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

int Commit_Replacement(Replacement* replacement) {
    if (!replacement) return 0;
    bool whole = fsync(replacement->descriptor) == 0;
    whole = close(replacement->descriptor) == 0 && whole;
    replacement->descriptor = -1;
    if (whole) whole = rename(replacement->temporary.c_str(), replacement->target.c_str()) == 0;
    if (!whole) unlink(replacement->temporary.c_str());
    delete replacement;
    return whole ? 1 : 0;
}

void Abandon_Replacement(Replacement* replacement) {
    if (!replacement) return;
    if (replacement->descriptor >= 0) close(replacement->descriptor);
    unlink(replacement->temporary.c_str());
    delete replacement;
}

// The characters mkstemp puts in place of XXXXXX.
static constexpr size_t REPLACEMENT_SUFFIX = 6;

int Is_Replacement_Name(const std::string& name) {
    // "." + target + "." + six letters or digits, for a preset or a picture.
    if (name.size() < 1 + 1 + 1 + REPLACEMENT_SUFFIX || name[0] != '.') return 0;
    const size_t dot = name.size() - REPLACEMENT_SUFFIX - 1;
    if (name[dot] != '.') return 0;
    for (size_t i = dot + 1; i < name.size(); i++) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return 0;
    }
    const std::string target = name.substr(1, dot - 1);
    return Wildcard_Match("?*.dat", target.c_str()) || Wildcard_Match("?*.bmp", target.c_str()) ? 1 : 0;
}

int Remove_Stale_Replacements(const std::string& folder) {
    DIR* directory = opendir(folder.c_str());
    if (!directory) return 0;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(directory)) {
        if (Is_Replacement_Name(entry->d_name)) names.push_back(entry->d_name);
    }
    closedir(directory);
    int removed = 0;
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        // Never a link, nothing of another user's, nothing a running save holds.
        const int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) continue;
        struct stat opened, named;
        if (fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == geteuid() &&
            flock(descriptor, LOCK_EX | LOCK_NB) == 0 && lstat(path.c_str(), &named) == 0 &&
            named.st_ino == opened.st_ino && named.st_dev == opened.st_dev && unlink(path.c_str()) == 0) {
            removed++;
        }
        close(descriptor);
    }
    return removed;
}

FILE* Platform_Open_Log_File(const char* path, bool create, bool* replaced_link) {
    if (replaced_link) *replaced_link = false;
    if (!path || !*path) return nullptr;
    // Never through a link: a log written through one would truncate and
    // rewrite whatever it points at. Not waiting for a FIFO's reader either.
    const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int descriptor = open(path, create ? flags | O_CREAT | O_TRUNC : flags, 0644);
    if (descriptor < 0 && create && errno == ELOOP) {
        // The link itself goes (its target stays untouched) and a fresh log takes its name.
        struct stat info;
        if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode) && unlink(path) == 0) {
            descriptor = open(path, flags | O_CREAT | O_EXCL, 0644);
            if (descriptor >= 0 && replaced_link) *replaced_link = true;
        }
    }
    if (descriptor < 0) return nullptr;
    struct stat info;
    // A FIFO or a socket would stall or swallow the log; a device is the user's choice.
    if (fstat(descriptor, &info) != 0 || (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode))) {
        close(descriptor);
        return nullptr;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(descriptor, create ? "w+b" : "r+b");
    if (!file) close(descriptor);
    return file;
}

int Set_File_Aside(const std::string& path, const std::string& aside) {
    if (path.empty() || aside.empty()) return 0;
    struct stat info;
    // Only a file (or a link to one) is moved, and only over another file or
    // over nothing: a folder of that name stays where it is.
    if (lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return 0;
    if (lstat(aside.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return 0;
    return rename(path.c_str(), aside.c_str()) == 0 ? 1 : 0;
}

std::string File_Identity(const std::string& path) {
    struct stat info;
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return "";
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" + std::to_string(info.st_size) + ":" +
           std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + ":" +
           std::to_string(info.st_ctim.tv_sec) + "." + std::to_string(info.st_ctim.tv_nsec);
}
