// The switches that make the saver a hack in another program's window.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/window.h"
#include "shell/hosted.h"
#include "test_support.h"

TEST(HostSwitches, TheWindowComesFromTheSwitchesOrTheDaemonsVariable) {
    const struct {
        std::vector<const char*> arguments;
        const char* environment;
        Host_Request request;
        uintptr_t window;
    } cases[] = {
        {{}, nullptr, HOST_NONE, 0},
        {{"/s"}, nullptr, HOST_NONE, 0},
        {{"/s"}, "0x400001", HOST_NONE, 0},       // an ordinary switch wins over the variable
        {{}, "0x400001", HOST_WINDOW, 0x400001},  // the variable alone
        {{"--root"}, nullptr, HOST_ROOT, 0},
        {{"-root"}, nullptr, HOST_ROOT, 0},
        {{"--root"}, "4194305", HOST_WINDOW, 4194305},  // the daemon: -root and the variable
        {{"--window-id", "123"}, nullptr, HOST_WINDOW, 123},
        {{"-window-id", "0x1A00003"}, nullptr, HOST_WINDOW, 0x1A00003},
        {{"--window-id", "0X10"}, "99", HOST_WINDOW, 16},
        {{"--window-id"}, nullptr, HOST_INVALID, 0},
        {{"--window-id", "12abc"}, nullptr, HOST_INVALID, 0},
        {{"--window-id", "0"}, nullptr, HOST_INVALID, 0},
        {{"--window-id", "-5"}, nullptr, HOST_INVALID, 0},
        {{"--window-id", "0x100000000"}, nullptr, HOST_INVALID, 0},
        {{}, "not a window", HOST_INVALID, 0},
        {{"--rooted"}, nullptr, HOST_NONE, 0},
    };
    for (const auto& each : cases) {
        std::vector<const char*> argv{"calvorine-saver"};
        argv.insert(argv.end(), each.arguments.begin(), each.arguments.end());
        SCOPED_TRACE(testing::PrintToString(argv) + " env " + (each.environment ? each.environment : "unset"));
        uintptr_t window = 99;
        EXPECT_EQ(Parse_Host_Switches(static_cast<int>(argv.size()), argv.data(), 1, each.environment, &window),
                  each.request);
        if (each.request != HOST_INVALID) {
            EXPECT_EQ(window, each.window);
        }
    }
}

TEST(HackOptions, ThePresetAndTheRandomSwitchAreRead) {
    const struct {
        std::vector<const char*> arguments;
        bool valid;
        const char* preset;
        bool random;
    } cases[] = {
        {{"--root"}, true, "", false},
        {{"--root", "--preset", "/p/Mandala.DAT"}, true, "/p/Mandala.DAT", false},
        {{"-preset", "a b.DAT", "-random", "--window-id", "7"}, true, "a b.DAT", true},
        {{"--random"}, true, "", true},
        {{"--preset"}, false, "", false},
        {{"--preset", ""}, false, "", false},
    };
    for (const auto& each : cases) {
        std::vector<const char*> argv{"calvorine-saver"};
        argv.insert(argv.end(), each.arguments.begin(), each.arguments.end());
        SCOPED_TRACE(testing::PrintToString(argv));
        Hack_Options options;
        EXPECT_EQ(Parse_Hack_Options(static_cast<int>(argv.size()), argv.data(), 1, &options), each.valid);
        if (!each.valid) continue;
        EXPECT_EQ(options.preset_path, each.preset);
        EXPECT_EQ(options.random_presets, each.random);
    }
}

TEST(HostSwitches, AWaylandSessionHostsThroughX11) {
    const char* saved_platform = std::getenv("QT_QPA_PLATFORM");
    const char* saved_wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string platform = saved_platform ? saved_platform : "";
    const std::string wayland = saved_wayland ? saved_wayland : "";
    const struct {
        const char* platform;  // null: unset
        const char* wayland;
        const char* chosen;  // null: unset
    } cases[] = {
        {nullptr, "wayland-0", "xcb"}, {"wayland", "wayland-0", "xcb"},         {"wayland-egl", nullptr, "xcb"},
        {nullptr, nullptr, nullptr},   {"offscreen", "wayland-0", "offscreen"}, {"xcb", nullptr, "xcb"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(std::string(each.platform ? each.platform : "unset") + " / " +
                     (each.wayland ? each.wayland : "unset"));
        each.platform ? setenv("QT_QPA_PLATFORM", each.platform, 1) : unsetenv("QT_QPA_PLATFORM");
        each.wayland ? setenv("WAYLAND_DISPLAY", each.wayland, 1) : unsetenv("WAYLAND_DISPLAY");
        Platform_Prefer_X11();
        const char* chosen = std::getenv("QT_QPA_PLATFORM");
        EXPECT_STREQ(chosen, each.chosen);
    }
    saved_platform ? setenv("QT_QPA_PLATFORM", platform.c_str(), 1) : unsetenv("QT_QPA_PLATFORM");
    saved_wayland ? setenv("WAYLAND_DISPLAY", wayland.c_str(), 1) : unsetenv("WAYLAND_DISPLAY");
}
