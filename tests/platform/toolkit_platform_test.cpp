// Which toolkit platform the window layer starts on: the user's own choice,
// natively on a Wayland compositor, its X server only when the Wayland plugin
// is missing or the compositor does not answer, and nothing (a reported
// failure, never an abort) when no display can be had.
#include <gtest/gtest.h>

#include <string>

#include "platform/window_qt.h"

TEST(ToolkitPlatform, IsChosenFromTheSessionAndTheInstalledPlugins) {
    struct Case {
        const char* requested;
        bool wayland_reachable, wayland_plugin, x_display;
        const char* chosen;
    };
    const Case cases[] = {
        // Nothing asked for.
        {nullptr, true, true, true, "wayland;xcb"},  // a Wayland session with XWayland
        {nullptr, true, true, false, "wayland"},
        {nullptr, true, false, true, "xcb"},  // no plugin: through XWayland
        {nullptr, true, false, false, ""},    // no plugin and no X server: no display
        {nullptr, false, true, true, "xcb"},  // the compositor has gone
        {nullptr, false, true, false, ""},
        {nullptr, false, false, true, "xcb"},  // an X session
        {nullptr, false, false, false, ""},
        {"", true, true, true, "wayland;xcb"},
        // The user's own choice.
        {"xcb", true, true, true, "xcb"},
        {"offscreen", false, false, false, "offscreen"},
        {"wayland-egl", true, true, false, "wayland-egl"},
        // A Wayland that cannot start is no choice.
        {"wayland", true, false, true, "xcb"},
        {"wayland", true, false, false, ""},
        {"wayland", false, true, true, "xcb"},
    };
    for (const Case& c : cases) {
        Toolkit_Platform_Facts facts;
        facts.requested = c.requested;
        facts.wayland_reachable = c.wayland_reachable;
        facts.wayland_plugin = c.wayland_plugin;
        facts.x_display = c.x_display;
        EXPECT_EQ(Platform_Choose_Toolkit_Platform(facts), c.chosen)
            << (c.requested ? c.requested : "(none)") << " reachable " << c.wayland_reachable << " plugin "
            << c.wayland_plugin << " x " << c.x_display;
    }
}
