// Which of the toolkit's platforms the window layer starts on. Qt ends the
// process when the platform it is told to use cannot start (a Wayland
// session without the Wayland plugin, a compositor that has gone), so the
// choice is made here from what can be checked first, and Qt is told exactly
// that.
#include "platform/window_qt.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <cstdlib>
#include <cstring>

std::string Platform_Choose_Toolkit_Platform(const Toolkit_Platform_Facts& facts) {
    const std::string requested = facts.requested ? facts.requested : "";
    const bool wayland_usable = facts.wayland_reachable && facts.wayland_plugin;
    // The user's own choice stands, unless it is a Wayland that cannot start:
    // then the same choice as without it.
    const bool asks_wayland = requested.compare(0, 7, "wayland") == 0;
    if (!requested.empty() && (!asks_wayland || wayland_usable)) return requested;
    // Natively on a Wayland compositor, through its X server (XWayland) only
    // when the plugin is missing or the compositor's connection fails.
    if (wayland_usable) return facts.x_display ? "wayland;xcb" : "wayland";
    return facts.x_display ? "xcb" : "";
}

// Whether a Wayland compositor answers at $WAYLAND_DISPLAY: a socket path,
// or a name in $XDG_RUNTIME_DIR.
static bool Wayland_Reachable() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name) return false;
    std::string path = name;
    if (path[0] != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime) return false;
        path = std::string(runtime) + "/" + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool answered = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return answered;
}

// Whether the toolkit's Wayland platform plugin is installed where it looks
// for plugins (QT_PLUGIN_PATH and its own folder).
static bool Wayland_Plugin_Installed() {
    for (const QString& folder : QCoreApplication::libraryPaths()) {
        const QDir platforms(folder + QStringLiteral("/platforms"));
        if (!platforms.entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty()) return true;
    }
    return false;
}

std::string Platform_Toolkit_Platform_For_This_Session() {
    const char* display = std::getenv("DISPLAY");
    Toolkit_Platform_Facts facts;
    facts.requested = std::getenv("QT_QPA_PLATFORM");
    facts.wayland_reachable = Wayland_Reachable();
    facts.wayland_plugin = Wayland_Plugin_Installed();
    facts.x_display = display && *display;
    return Platform_Choose_Toolkit_Platform(facts);
}
