// Two screens: while the saver's picture covers the primary screen, every
// other screen is covered black, and only then. The offscreen platform is
// given two screens side by side before the toolkit starts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/window.h"
#include "platform/window_qt.h"
#include "test_support.h"

namespace {

intptr_t Quiet_Procedure(Window*, unsigned, uintptr_t, intptr_t) { return 0; }

// The visible top-level windows that are not the saver's own.
std::vector<QWidget*> Covers(Window* window) {
    std::vector<QWidget*> covers;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget != static_cast<QWidget*>(Platform_Qt_Frame(window))) covers.push_back(widget);
    }
    return covers;
}

}  // namespace

TEST(OtherScreens, AreCoveredBlackWhileTheSaverCoversThePrimaryOne) {
    TempFolder folder;
    const std::string config = folder.file("screens.json");
    std::ofstream(config) << R"({"screens": [
        {"name": "primary", "x": 0, "y": 0, "width": 640, "height": 480, "logicalDpi": 96},
        {"name": "second", "x": 640, "y": 0, "width": 800, "height": 600, "logicalDpi": 96}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    ASSERT_TRUE(Platform_Start_Window_Layer(0, nullptr));
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    ASSERT_TRUE(Platform_Register_Window_Class("Calvorine", Quiet_Procedure));

    // A window on the desktop leaves the other screen alone.
    Window* window = Platform_Create_Window(WINDOW_OVERLAPPED, "Calvorine", 10, 10, 300, 200, 0);
    ASSERT_NE(window, nullptr);
    Platform_Show_Window(window, SW_SHOW);
    EXPECT_TRUE(Covers(window).empty());

    // Full screen: the picture on the primary screen, black on the other.
    Platform_Set_Window_Kind(window, WINDOW_POPUP);
    Platform_Show_Window(window, SW_SHOW);
    std::vector<QWidget*> covers = Covers(window);
    ASSERT_EQ(covers.size(), 1u);
    EXPECT_EQ(covers[0]->geometry(), QRect(640, 0, 800, 600));
    EXPECT_EQ(covers[0]->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(covers[0]->autoFillBackground());
    EXPECT_EQ(Platform_Qt_Frame(window)->geometry(), QRect(0, 0, 640, 480));

    // Back in a window, and after the end, the other screen is free again.
    Platform_Set_Window_Kind(window, WINDOW_OVERLAPPED);
    EXPECT_TRUE(Covers(window).empty());
    Platform_Set_Window_Kind(window, WINDOW_POPUP);
    Platform_Show_Window(window, SW_SHOW);
    EXPECT_EQ(Covers(window).size(), 1u);
    Platform_Destroy_Window(window);
    EXPECT_TRUE(Covers(nullptr).empty());
    Platform_Stop_Window_Layer();
}
