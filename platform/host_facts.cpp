// Facts about the host that the saver asks the system for: which Windows it
// runs on and whether a screen saver already runs. None of them needs the
// window system.
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/window.h"

static Version_Answer injected_version = VERSION_HOST;

// The environment's answer, for end-to-end runs of the real program.
static Version_Answer Environment_Version() {
    const char* name = std::getenv("CALVORINE_TEST_VERSION");
    if (!name) return VERSION_HOST;
    if (std::strcmp(name, "95") == 0) return VERSION_95;
    if (std::strcmp(name, "98") == 0) return VERSION_98;
    if (std::strcmp(name, "nt4") == 0) return VERSION_NT4;
    if (std::strcmp(name, "win32s") == 0) return VERSION_WIN32S;
    if (std::strcmp(name, "unknown") == 0) return VERSION_UNKNOWN;
    if (std::strcmp(name, "fail") == 0) return VERSION_FAIL;
    return VERSION_HOST;
}

bool Platform_Get_Version(Version_Info* info) {
    Version_Answer answer = injected_version != VERSION_HOST ? injected_version : Environment_Version();
    if (answer == VERSION_FAIL || !info) return false;
    // A platform id no family uses: the 16-bit host's CE id is as foreign to the saver as any.
    constexpr int UNKNOWN_PLATFORM_ID = 3;
    switch (answer) {
    case VERSION_95: *info = Version_Info{VER_PLATFORM_WIN32_WINDOWS, 4, 0}; break;
    case VERSION_98: *info = Version_Info{VER_PLATFORM_WIN32_WINDOWS, 4, 10}; break;
    case VERSION_NT4: *info = Version_Info{VER_PLATFORM_WIN32_NT, 4, 0}; break;
    case VERSION_WIN32S: *info = Version_Info{VER_PLATFORM_WIN32s, 3, 10}; break;
    case VERSION_UNKNOWN: *info = Version_Info{UNKNOWN_PLATFORM_ID, 1, 0}; break;
    default: *info = Version_Info{VER_PLATFORM_WIN32_NT, 5, 0}; break;
    }
    return true;
}

void Platform_Inject_Version(Version_Answer answer) { injected_version = answer; }

// The descriptor that holds the lock while this process claims the flag,
// and the process that claimed it: a forked child inherits the descriptor but
// is not the saver that holds the flag.
static int saver_lock_fd = -1;
static pid_t saver_lock_owner = 0;

// True when this very process holds the flag. A descriptor inherited through
// fork is dropped without unlocking: the lock belongs to the parent.
static bool Holding_Saver_Lock() {
    if (saver_lock_fd < 0) return false;
    if (saver_lock_owner == getpid()) return true;
    close(saver_lock_fd);
    saver_lock_fd = -1;
    return false;
}

// The user's cache folder: $XDG_CACHE_HOME, else ~/.cache (from the
// password database when HOME is unset).
static std::string Cache_Folder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') return cache;
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* entry = getpwuid(getuid());
        home = entry ? entry->pw_dir : nullptr;
    }
    return std::string(home ? home : "") + "/.cache";
}

std::string Platform_Saver_Lock_Path() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/calvorine-saver.lock";
    // Not /tmp: another user could make the file there first and hold it, and
    // this user's saver would never start. The cache folder is the user's own.
    return Cache_Folder() + "/calvorine-saver.lock";
}

// Opens the lock file without following a planted link. Close-on-exec keeps
// a child (the sound player) from holding the lock after the saver is gone.
// The folder is made (private) when it does not exist yet.
static int Open_Lock_File() {
    const std::string path = Platform_Saver_Lock_Path();
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) mkdir(path.substr(0, slash).c_str(), 0700);
    return open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

bool Platform_Claim_Saver_Running() {
    if (Holding_Saver_Lock()) return true;
    int fd = Open_Lock_File();
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    saver_lock_fd = fd;
    saver_lock_owner = getpid();
    // Whoever held it before may have named itself: this holder has not yet.
    [[maybe_unused]] const int emptied = ftruncate(fd, 0);
    return true;
}

bool Platform_Name_Saver_Process() {
    if (!Holding_Saver_Lock()) return false;
    const std::string pid = std::to_string(getpid()) + "\n";
    return ftruncate(saver_lock_fd, 0) == 0 &&
           pwrite(saver_lock_fd, pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
}

bool Platform_End_Running_Saver() {
    const int fd = open(Platform_Saver_Lock_Path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    // A name in a file that nobody holds is a saver that has ended.
    const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0;
    char text[24] = {};
    const ssize_t length = held ? pread(fd, text, sizeof text - 1, 0) : 0;
    close(fd);
    if (length <= 0) return false;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    if (end == text || *end != '\n' || pid <= 1 || pid == getpid()) return false;
    return kill(static_cast<pid_t>(pid), SIGTERM) == 0;
}

void Platform_Release_Saver_Running() {
    if (!Holding_Saver_Lock()) return;
    flock(saver_lock_fd, LOCK_UN);
    close(saver_lock_fd);
    saver_lock_fd = -1;
}

bool Platform_Saver_Running() {
    if (Holding_Saver_Lock()) return true;
    int fd = Open_Lock_File();
    // A lock file that cannot even be opened cannot be held by anyone.
    if (fd < 0) return false;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);  // closing drops the probe's own lock, if it got one
    return held;
}
