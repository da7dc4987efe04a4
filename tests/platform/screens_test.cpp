// Two screens: while the saver's picture covers the primary screen, every
// other screen is covered black, and only then. The offscreen platform is
// given two screens side by side before the toolkit starts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/pixel_format.h"
#include "platform/system.h"
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

// Starts the window layer on two screens side by side (once: the toolkit stays up).
void Start_Two_Screens() {
    if (!QCoreApplication::instance()) {
        static TempFolder folder;
        const std::string config = folder.file("screens.json");
        std::ofstream(config) << R"({"screens": [
            {"name": "primary", "x": 0, "y": 0, "width": 640, "height": 480, "logicalDpi": 96},
            {"name": "second", "x": 640, "y": 0, "width": 800, "height": 600, "logicalDpi": 96}]})";
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    }
    ASSERT_TRUE(Platform_Start_Window_Layer(0, nullptr));
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    ASSERT_TRUE(Platform_Register_Window_Class("Calvorine", Quiet_Procedure));
}

// The messages waiting now, by kind.
std::vector<unsigned> Waiting_Messages() {
    std::vector<unsigned> messages;
    Posted_Message message{};
    while (Platform_Peek_Message(&message, true)) messages.push_back(message.message);
    return messages;
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

// The other screen shows the saver's picture, scaled to its own shape, and
// what is done there reaches the saver as if done on its own window.
TEST(OtherScreens, ShowThePictureInTheirOwnShapeAndPassTheirInputOn) {
    Start_Two_Screens();
    Window* window = Platform_Create_Window(WINDOW_POPUP, "", 0, 0, 640, 480, 0);
    ASSERT_NE(window, nullptr);
    Platform_Show_Window(window, SW_SHOW);
    std::vector<QWidget*> covers = Covers(window);
    ASSERT_EQ(covers.size(), 1u);
    ASSERT_EQ(covers[0]->size(), QSize(800, 600));

    // A 2:1 mode, red on the left and blue on the right: 800 x 400 on the
    // 4:3 screen, between black bars of 100 above and below.
    Surface mode;
    mode.width = 4;
    mode.height = 2;
    mode.bits_per_pixel = 32;
    mode.pitch = 16;
    mode.memory.assign(32, 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) Pixel_Write(&mode, x, y, x < 2 ? 0xFF0000 : 0x0000FF);
    }
    ASSERT_TRUE(Platform_Present(&mode));
    const QImage shown = covers[0]->grab().toImage();
    struct Spot {
        int x, y;
        QRgb colour;
    };
    const Spot spots[] = {{200, 300, 0xFF0000}, {600, 300, 0x0000FF}, {10, 110, 0xFF0000}, {790, 490, 0x0000FF},
                          {400, 50, 0x000000},  {400, 95, 0x000000},  {400, 550, 0x000000}};
    for (const Spot& spot : spots) {
        EXPECT_EQ(shown.pixel(spot.x, spot.y) & 0xFFFFFF, spot.colour) << spot.x << ", " << spot.y;
    }

    // A key and a button there are the saver's own.
    Waiting_Messages();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(covers[0], &key);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(400, 300), QPointF(1040, 300), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(covers[0], &click);
    const std::vector<unsigned> messages = Waiting_Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), WM_KEYDOWN), messages.end());
    EXPECT_NE(std::find(messages.begin(), messages.end(), WM_LBUTTONDOWN), messages.end());

    Platform_Destroy_Window(window);
    EXPECT_TRUE(Covers(nullptr).empty());
    Platform_Stop_Window_Layer();
}
