// The switches that make the saver a hack in another program's window.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/app_state.h"
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

TEST(SaverArguments, HelpAndUnknownOptionsAreFoundBeforeAnythingStarts) {
    const struct {
        std::vector<const char*> arguments;
        Argument_Check check;
        const char* unknown;
    } cases[] = {
        {{}, ARGUMENTS_RUN, ""},
        {{"/s"}, ARGUMENTS_RUN, ""},
        {{"-S"}, ARGUMENTS_RUN, ""},
        {{"/p", "123"}, ARGUMENTS_RUN, ""},
        {{"--root", "--preset", "a.DAT", "--random", "--fps"}, ARGUMENTS_RUN, ""},
        {{"-root", "-window-id", "0x10", "-fps"}, ARGUMENTS_RUN, ""},
        {{"--preset", "--help"}, ARGUMENTS_RUN, ""},         // a preset file of that name
        {{"--window-id", "--bogus"}, ARGUMENTS_RUN, ""},     // the window number's own error
        {{"-h"}, ARGUMENTS_HELP, ""},
        {{"--help"}, ARGUMENTS_HELP, ""},
        {{"-help"}, ARGUMENTS_HELP, ""},
        {{"--root", "--help"}, ARGUMENTS_HELP, ""},
        {{"--bogus", "--help"}, ARGUMENTS_HELP, "--bogus"},  // help wins
        {{"--bogus"}, ARGUMENTS_UNKNOWN, "--bogus"},
        {{"--root", "--rooted", "--x"}, ARGUMENTS_UNKNOWN, "--rooted"},
        {{"/s", "--data-dir", "d"}, ARGUMENTS_UNKNOWN, "--data-dir"},  // only before everything else
        {{"--"}, ARGUMENTS_UNKNOWN, "--"},
    };
    for (const auto& each : cases) {
        std::vector<const char*> argv{"calvorine-saver"};
        argv.insert(argv.end(), each.arguments.begin(), each.arguments.end());
        SCOPED_TRACE(testing::PrintToString(argv));
        std::string unknown;
        EXPECT_EQ(Check_Saver_Arguments(static_cast<int>(argv.size()), argv.data(), 1, &unknown), each.check);
        EXPECT_EQ(unknown, each.unknown);
    }
    // Every option the saver knows is in the usage text.
    for (const char* option : {"--root", "--window-id", "--preset", "--random", "--fps", "--data-dir", "--help"}) {
        EXPECT_NE(std::string(SAVER_USAGE).find(option), std::string::npos) << option;
    }
}

TEST(HackOptions, TheFrameRateSwitchShowsTheFrameRate) {
    const char* argv[] = {"calvorine-saver", "--root", "--fps"};
    Hack_Options options;
    ASSERT_TRUE(Parse_Hack_Options(3, argv, 1, &options));
    EXPECT_TRUE(options.show_fps);
    app.show_fps = false;
    EXPECT_EQ(Apply_Hack_Options(options), 1);
    EXPECT_TRUE(app.show_fps);
    app.show_fps = false;
}
