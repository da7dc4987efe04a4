// End to end on a real X screen: the window probe presents known pictures
// through the window layer under Xvfb and photographs the screen; the
// photographs must show each picture where the user would see it.
#include <QImage>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "test_support.h"

#ifndef WINDOW_PROBE_PATH
#error "WINDOW_PROBE_PATH names the window-probe program"
#endif

static bool Installed(const char* program) {
    std::string command = std::string("command -v ") + program + " > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The probe's output and exit status.
static std::string Run_Command(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    *status = pclose(pipe);
    return output;
}

struct Shot {
    int left, top, width, height;
};

constexpr QRgb RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, WHITE = 0xFFFFFF, YELLOW = 0xFFFF00;

static QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

// The four quadrants of the probe's picture inside a rectangle of the screen.
static void Expect_Quadrants(const QImage& image, int left, int top, int width, int height, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(At(image, left + width / 4, top + height / 4), RED);
    EXPECT_EQ(At(image, left + 3 * width / 4, top + height / 4), GREEN);
    EXPECT_EQ(At(image, left + width / 4, top + 3 * height / 4), BLUE);
    EXPECT_EQ(At(image, left + 3 * width / 4, top + 3 * height / 4), WHITE);
    // The picture reaches the client area's corners.
    EXPECT_EQ(At(image, left, top), RED);
    EXPECT_EQ(At(image, left + width - 1, top + height - 1), WHITE);
}

// The X servers the probe runs on: one that scales full-screen pictures
// itself; one without shared memory (as a remote display), which still
// scales them, the picture going up in plain puts; and one without RENDER,
// where the window layer scales them instead. The photographs are the same.
struct Server {
    const char* name;
    const char* options;
    bool scales;
};
void PrintTo(const Server& server, std::ostream* out) { *out << server.name; }

class WindowProbe : public ::testing::TestWithParam<Server> {};

TEST_P(WindowProbe, PicturesReachTheRealScreen) {
    if (!Installed("xvfb-run")) GTEST_SKIP() << "xvfb-run is not installed";
    if (!Installed("import")) GTEST_SKIP() << "import (ImageMagick) is not installed";
    const Server& server = GetParam();
    TempFolder folder;
    int status = -1;
    std::string output = Run_Command(std::string("QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 800x600x24 -noreset") +
                                         server.options + "' " WINDOW_PROBE_PATH " " + folder.path() + " 2>/dev/null",
                                     &status);
    EXPECT_EQ(status, 0) << output;

    std::map<std::string, Shot> shots;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word, name;
        Shot shot{};
        if (words >> word >> name >> shot.left >> shot.top >> shot.width >> shot.height && word == "shot") {
            shots[name] = shot;
        }
    }
    ASSERT_EQ(shots.size(), 6u) << output;
    // On an X server with RENDER the server scales full-screen pictures; a
    // framed window shows its own part of the desktop.
    for (const auto& [name, shot] : shots) {
        const bool by_server = server.scales && name.rfind("fullscreen", 0) == 0;
        EXPECT_NE(output.find("scaled-by-server " + name + (by_server ? " 1" : " 0")), std::string::npos)
            << name << "\n"
            << output;
    }
    EXPECT_NE(output.find("activated: WM_ACTIVATEAPP 1"), std::string::npos) << output;
    EXPECT_NE(output.find("parent gone: WM_DESTROY"), std::string::npos) << output;

    for (const auto& [name, shot] : shots) {
        QImage image(QString::fromStdString(folder.file(name + ".png")));
        ASSERT_FALSE(image.isNull()) << name;
        ASSERT_EQ(image.size(), QSize(800, 600)) << name;
        if (name == "fullscreen32wide") {
            // 320 x 200 keeps its shape on the 4:3 screen: 800 x 500, black bars above and below.
            Expect_Quadrants(image, 0, 50, 800, 500, name);
            for (int x : {0, 400, 799}) {
                EXPECT_EQ(At(image, x, 0), 0u);
                EXPECT_EQ(At(image, x, 49), 0u);
                EXPECT_EQ(At(image, x, 550), 0u);
                EXPECT_EQ(At(image, x, 599), 0u);
            }
            continue;
        }
        if (name.rfind("fullscreen", 0) == 0) {
            // The emulated 320 x 240 mode fills the whole real screen.
            Expect_Quadrants(image, 0, 0, 800, 600, name);
            continue;
        }
        Expect_Quadrants(image, shot.left, shot.top, shot.width, shot.height, name);
        // The desktop primary around the window is not the window's to show.
        SCOPED_TRACE(name);
        EXPECT_NE(At(image, shot.left - 3, shot.top + shot.height / 2), YELLOW);
        EXPECT_NE(At(image, shot.left + shot.width + 3, shot.top + shot.height / 2), YELLOW);
        EXPECT_NE(At(image, shot.left + shot.width / 2, shot.top + shot.height + 3), YELLOW);
    }
    // The windowed picture is where the window was put, the preview inside its parent.
    EXPECT_EQ(shots["windowed32"].left, 100);
    EXPECT_EQ(shots["windowed32"].top, 80);
    EXPECT_EQ(shots["preview24"].left, 500);
    EXPECT_EQ(shots["preview24"].width, 200);
}

INSTANTIATE_TEST_SUITE_P(Servers, WindowProbe,
                         ::testing::Values(Server{"Scaling", "", true},
                                           Server{"WithoutSharedMemory", " -extension MIT-SHM", true},
                                           Server{"WithoutRender", " -extension RENDER", false}),
                         [](const auto& info) { return std::string(info.param.name); });
