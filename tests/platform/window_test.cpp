// The window layer under the offscreen Qt platform: key codes, messages and
// their order, the cursor count, boxes, host facts, the saver lock, the
// conversion of every depth to the screen and the pointer deltas.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/pixel_format.h"
#include "platform/row_bands.h"
#include "platform/window.h"
#include "platform/window_qt.h"
#include "test_support.h"

static std::vector<Posted_Message> received;
static Point requested_min_track{0, 0};

static intptr_t Recording_Procedure(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam) {
    if (message == WM_GETMINMAXINFO && requested_min_track.x) {
        reinterpret_cast<MINMAXINFO*>(lparam)->min_track_size = requested_min_track;
    }
    received.push_back(Posted_Message{window, message, wparam, lparam});
    return 0;
}

// Everything on the queue now, oldest first, leaving out the messages that
// the window system sends on its own schedule (sizes, activation, focus).
static std::vector<Posted_Message> Drain(bool keep_all = false) {
    Platform_Pump_Events();
    std::vector<Posted_Message> messages;
    Posted_Message message;
    while (Platform_Peek_Message(&message, true)) {
        bool noise = message.message == WM_SIZE || message.message == WM_ACTIVATEAPP ||
                     message.message == WM_KILLFOCUS || message.message == WM_EXITSIZEMOVE;
        if (keep_all || !noise) messages.push_back(message);
    }
    return messages;
}

// The first message of a kind to arrive within a second, pumping meanwhile.
static std::optional<Posted_Message> Await(unsigned wanted) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 1000) {
        for (const Posted_Message& message : Drain(true)) {
            if (message.message == wanted) return message;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return std::nullopt;
}

class WindowTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(Platform_Start_Window_Layer(0, nullptr));
        ASSERT_TRUE(Platform_Register_Window_Class("Calvorine", Recording_Procedure));
        received.clear();
        requested_min_track = Point{0, 0};
    }
    void TearDown() override {
        Platform_Stop_Window_Layer();
        Platform_Inject_Version(VERSION_HOST);
        ProgramTest::TearDown();
    }
    Window* Open(Window_Kind kind = WINDOW_OVERLAPPED, int width = 400, int height = 300) {
        Window* window = Platform_Create_Window(kind, " Calvorine", 50, 40, width, height, 0);
        if (window) Platform_Show_Window(window, SW_SHOWNORMAL);
        Drain(true);
        return window;
    }
};

TEST(KeyTranslation, GivesTheVirtualKeysTheKeyTableUses) {
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_A, 0), unsigned('A'));
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_R, KEY_SHIFT), unsigned('R'));
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_T, 0), 0x54u);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_0, 0), unsigned('0'));
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_9, 0), unsigned('9'));
    // A shifted digit still is its digit key.
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Exclam, KEY_SHIFT), unsigned('1'));
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_ParenRight, KEY_SHIFT), unsigned('0'));
    // The keypad's keys are their own.
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_3, KEY_KEYPAD), VK_NUMPAD0 + 3);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Plus, KEY_KEYPAD), 0x6Bu);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Plus, KEY_SHIFT), VK_OEM_PLUS);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Minus, KEY_KEYPAD), VK_SUBTRACT);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Minus, 0), VK_OEM_MINUS);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Asterisk, KEY_KEYPAD), VK_MULTIPLY);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Enter, KEY_KEYPAD), VK_RETURN);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_F1, 0), VK_F1);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_F3, 0), 0x72u);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_F5, 0), 0x74u);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_F24, 0), VK_F24);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Escape, 0), VK_ESCAPE);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Space, 0), VK_SPACE);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Return, 0), VK_RETURN);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Left, 0), VK_LEFT);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Down, 0), VK_DOWN);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_PageUp, 0), VK_PRIOR);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Shift, KEY_SHIFT), VK_SHIFT);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Alt, KEY_ALT), VK_MENU);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Semicolon, 0), VK_OEM_1);
    // Keys without a Windows code still arrive, so that any key ends the saver.
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_Adiaeresis, 0), VK_UNMAPPED);
    EXPECT_EQ(Platform_Translate_Key(Qt::Key_unknown, 0), VK_UNMAPPED);
}

TEST(KeyPositions, TheDigitRowAndTheLettersGoByTheirPlace) {
    const std::pair<unsigned, unsigned> keys[] = {
        {0x02, '1'}, {0x08, '7'}, {0x0B, '0'}, {0x10, 'Q'}, {0x19, 'P'}, {0x1E, 'A'}, {0x26, 'L'}, {0x2C, 'Z'},
        {0x32, 'M'}, {0x01, 0},   {0x0C, 0},   {0x1C, 0},   {0x27, 0},   {0x33, 0},   {0x39, 0},   {0x47, 0},
    };
    for (const auto& [scan, key] : keys) EXPECT_EQ(Platform_Key_At_Position(scan), key) << std::hex << scan;
}

TEST_F(WindowTest, KeysFollowTheirPlaceOnAnyLayout) {
    Window* window = Open();
    ASSERT_NE(window, nullptr);
    QWidget* canvas = Platform_Qt_Canvas(window);
    struct Press {
        Qt::Key key;         // what the layout types
        quint32 x_key_code;  // where the key is (scan code + 8)
        Qt::KeyboardModifiers modifiers;
        unsigned expected;
    };
    const Press presses[] = {
        {Qt::Key_Ampersand, 0x02 + 8, Qt::NoModifier, '1'},  // AZERTY "&": the '1' key
        {Qt::Key_Egrave, 0x08 + 8, Qt::NoModifier, '7'},     // AZERTY "è"
        {Qt::Key_A, 0x10 + 8, Qt::NoModifier, 'Q'},          // AZERTY "a" sits where US has Q
        {Qt::Key_Z, 0x15 + 8, Qt::NoModifier, 'Y'},          // QWERTZ "z"
        {Qt::Key_7, 0x47 + 8, Qt::KeypadModifier, VK_NUMPAD0 + 7},
        {Qt::Key_Escape, 0x01 + 8, Qt::NoModifier, VK_ESCAPE},
        {Qt::Key_R, 0, Qt::NoModifier, 'R'},  // no key code: the toolkit's key
    };
    for (const Press& press : presses) {
        QKeyEvent event(QEvent::KeyPress, press.key, press.modifiers, press.x_key_code, 0, 0);
        QCoreApplication::sendEvent(canvas, &event);
    }
    std::vector<Posted_Message> messages = Drain();
    ASSERT_EQ(messages.size(), std::size(presses));
    for (size_t i = 0; i < messages.size(); ++i) {
        EXPECT_EQ(messages[i].message, WM_KEYDOWN);
        EXPECT_EQ(messages[i].wparam, uintptr_t(presses[i].expected)) << i;
    }
}

TEST_F(WindowTest, EventsBecomeMessagesInTheOrderTheyHappened) {
    Window* window = Open();
    ASSERT_NE(window, nullptr);
    QWidget* canvas = Platform_Qt_Canvas(window);
    QKeyEvent key_a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(canvas, &key_a);
    Platform_Post_Message(window, WM_COMMAND, 40001, 0);
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(10, 20), canvas->mapToGlobal(QPointF(10, 20)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &right);
    QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, "+");
    QCoreApplication::sendEvent(canvas, &plus);
    QCloseEvent close;
    QCoreApplication::sendEvent(Platform_Qt_Frame(window), &close);

    std::vector<Posted_Message> messages = Drain();
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].wparam, uintptr_t('A'));
    EXPECT_EQ(messages[0].lparam & 0xFFFF, 1);  // repeat count
    EXPECT_EQ(messages[1].message, WM_COMMAND);
    EXPECT_EQ(messages[2].message, WM_RBUTTONDOWN);
    EXPECT_EQ(messages[2].wparam, MK_RBUTTON);
    EXPECT_EQ(LOWORD(messages[2].lparam), 10);
    EXPECT_EQ(HIWORD(messages[2].lparam), 20);
    EXPECT_EQ(messages[3].wparam, uintptr_t(VK_ADD));
    EXPECT_EQ(messages[4].message, WM_CLOSE);
    for (const Posted_Message& message : messages) EXPECT_EQ(message.window, window);
    // The window manager's close only asks: the window stays until the program ends it.
    EXPECT_TRUE(Platform_Qt_Frame(window)->isVisible());

    // Dispatch hands them to the procedure; the quit message has no window and stays the loop's.
    received.clear();
    for (const Posted_Message& message : messages) Platform_Dispatch_Message(message);
    Platform_Post_Quit_Message(3);
    Posted_Message quit;
    ASSERT_TRUE(Platform_Wait_Message());
    ASSERT_TRUE(Platform_Peek_Message(&quit, true));
    EXPECT_EQ(quit.message, WM_QUIT);
    EXPECT_EQ(quit.wparam, 3u);
    EXPECT_EQ(Platform_Dispatch_Message(quit), 0);
    ASSERT_EQ(received.size(), 5u);
    EXPECT_EQ(received[4].message, WM_CLOSE);
}

TEST_F(WindowTest, WaitingTurnsALaterEventIntoAMessage) {
    Window* window = Open();
    ASSERT_NE(window, nullptr);
    QCoreApplication::postEvent(Platform_Qt_Canvas(window),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    ASSERT_TRUE(Platform_Wait_Message());
    std::vector<Posted_Message> messages = Drain();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].wparam, uintptr_t(VK_ESCAPE));
}

TEST_F(WindowTest, SizesAndTheEndOfAUserResize) {
    requested_min_track = Point{2 * 4 + 200, 2 * 4 + 19 + 19 + 256};
    Window* window = Open(WINDOW_OVERLAPPED, 400, 300);
    ASSERT_NE(window, nullptr);
    // The minimum the procedure asked for, less the frame and caption the window manager draws.
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().message, WM_GETMINMAXINFO);
    EXPECT_EQ(Platform_Qt_Frame(window)->minimumSize(), QSize(200, 19 + 256));

    EXPECT_EQ(window->client_width, 400);
    EXPECT_EQ(window->client_height, 300);
    EXPECT_TRUE(window->visible);

    // Our own placement: a size message, and no end-of-drag.
    ASSERT_TRUE(Platform_Place_Window(window, 60, 50, 500, 350));
    std::optional<Posted_Message> size = Await(WM_SIZE);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->wparam, SIZE_RESTORED);
    EXPECT_EQ(LOWORD(size->lparam), 500);
    EXPECT_EQ(HIWORD(size->lparam), 350);
    EXPECT_FALSE(Await(WM_EXITSIZEMOVE).has_value());

    // A size nobody here asked for is the user's drag: it ends with WM_EXITSIZEMOVE.
    Platform_Qt_Frame(window)->resize(450, 320);
    EXPECT_TRUE(Await(WM_EXITSIZEMOVE).has_value());
    EXPECT_EQ(window->client_width, 450);

    Platform_Show_Window(window, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(Platform_Is_Window_Maximised(window));
    size = Await(WM_SIZE);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->wparam, SIZE_MAXIMIZED);

    // Centring leaves the maximised state and centres the size the window returns to.
    ASSERT_TRUE(Platform_Centre_Window(window));
    EXPECT_FALSE(Platform_Is_Window_Maximised(window));
    Rect centred;
    ASSERT_TRUE(Platform_Get_Window_Rect(window, &centred));
    EXPECT_EQ(centred.right - centred.left, 450);
    EXPECT_EQ(centred.left + centred.right, Platform_System_Metric(SM_CXSCREEN));

    Drain(true);
    Platform_Show_Window(window, SW_MINIMIZE);
    size = Await(WM_SIZE);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->wparam, SIZE_MINIMIZED);
    EXPECT_TRUE(window->iconic);
    EXPECT_EQ(window->client_width, 0);  // a minimised window has no client area
}

TEST_F(WindowTest, FullScreenStandsForTheEmulatedScreenAndComesBack) {
    Window* window = Open(WINDOW_OVERLAPPED, 400, 300);
    ASSERT_NE(window, nullptr);
    Rect before;
    ASSERT_TRUE(Platform_Get_Window_Rect(window, &before));
    ASSERT_TRUE(Platform_Set_Window_Kind(window, WINDOW_POPUP));
    ASSERT_TRUE(Platform_Place_Window(window, 0, 0, 320, 240));
    EXPECT_EQ(Platform_Window_Kind(window), WINDOW_POPUP);
    EXPECT_EQ(window->client_width, 320);
    EXPECT_EQ(window->screen_x, 0);
    int desktop_width = 0, desktop_height = 0;
    ASSERT_TRUE(Platform_Desktop_Metrics(&desktop_width, &desktop_height, nullptr));
    EXPECT_EQ(Platform_Qt_Canvas(window)->size(), QSize(desktop_width, desktop_height));
    // A click on the real screen lands in the emulated screen's coordinates.
    Drain(true);
    QWidget* canvas = Platform_Qt_Canvas(window);
    QPointF middle(desktop_width / 2.0, desktop_height / 2.0);
    QMouseEvent click(QEvent::MouseButtonPress, middle, canvas->mapToGlobal(middle), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &click);
    std::vector<Posted_Message> messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(LOWORD(messages[0].lparam), 160);
    EXPECT_EQ(HIWORD(messages[0].lparam), 120);

    ASSERT_TRUE(Platform_Set_Window_Kind(window, WINDOW_OVERLAPPED));
    Rect after;
    ASSERT_TRUE(Platform_Get_Window_Rect(window, &after));
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(window->client_width, 400);
}

TEST_F(WindowTest, ActivationFocusAndTheForegroundWindow) {
    Window* window = Platform_Create_Window(WINDOW_POPUP, "", 0, 0, 320, 240, 0);
    ASSERT_NE(window, nullptr);
    Platform_Show_Window(window, SW_SHOWNORMAL);  // showing activates it
    std::optional<Posted_Message> activated = Await(WM_ACTIVATEAPP);
    ASSERT_TRUE(activated.has_value());
    EXPECT_EQ(activated->wparam, 1u);
    Foreground_Window front;
    ASSERT_TRUE(Platform_Get_Foreground_Window(&front));
    EXPECT_TRUE(front.own);
    EXPECT_TRUE(front.popup);
    EXPECT_TRUE(front.visible);
    EXPECT_EQ(front.width, Platform_System_Metric(SM_CXSCREEN));
    EXPECT_EQ(front.height, Platform_System_Metric(SM_CYSCREEN));

    // Another window taking the focus: the saver's window hears that it lost it.
    QWidget other;
    other.show();
    other.activateWindow();
    EXPECT_TRUE(Await(WM_KILLFOCUS).has_value());
    ASSERT_TRUE(Platform_Get_Foreground_Window(&front));
    EXPECT_FALSE(front.popup);
}

TEST_F(WindowTest, OnlyOneWindowAndNoChildOfAMissingParent) {
    Window* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Platform_Create_Window(WINDOW_OVERLAPPED, "", 0, 0, 10, 10, 0), nullptr);
    Platform_Destroy_Window(window);
    EXPECT_EQ(Platform_Main_Window(), nullptr);
    EXPECT_EQ(Platform_Create_Window(WINDOW_CHILD, "", 0, 0, 10, 10, 12345), nullptr);
    EXPECT_FALSE(Platform_Get_Foreign_Client_Rect(12345, nullptr, nullptr));
}

TEST_F(WindowTest, CursorFollowsTheShowCountAndTheShape) {
    Window* window = Open();
    ASSERT_NE(window, nullptr);
    Platform_Set_Cursor_Shape(window, CURSOR_ARROW);
    EXPECT_TRUE(Platform_Cursor_Visible());
    Platform_Show_Cursor(false);  // count -1
    Platform_Pump_Events();
    EXPECT_FALSE(Platform_Cursor_Visible());
    Platform_Show_Cursor(false);  // -2
    Platform_Show_Cursor(true);   // -1: still hidden
    Platform_Sync_Cursor();
    EXPECT_FALSE(Platform_Cursor_Visible());
    Platform_Show_Cursor(true);  // 0: shown again
    Platform_Sync_Cursor();
    EXPECT_TRUE(Platform_Cursor_Visible());
    Platform_Set_Cursor_Shape(window, CURSOR_NONE);
    EXPECT_FALSE(Platform_Cursor_Visible());
}

TEST_F(WindowTest, MessageBoxesHaveTheirCaptionAndIcon) {
    Window* window = Open();
    ASSERT_NE(window, nullptr);
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    } seen;
    auto answer = [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = Seen{box->windowTitle(), box->text(), box->icon()};
        box->accept();
    };
    QTimer::singleShot(0, answer);
    EXPECT_EQ(Platform_Message_Box(window, "Setup(): Clear Hidden FAILED", "Error", MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(seen.text, "Setup(): Clear Hidden FAILED");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    QTimer::singleShot(0, answer);
    EXPECT_EQ(Platform_Message_Box(window, "Hello", "Message", MB_OK), IDOK);
    EXPECT_EQ(seen.title, "Message");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    // The real box answered: nothing went to the headless record.
    EXPECT_TRUE(platform_boxes.empty());
}

TEST(VersionAnswer, EveryInjectedAnswerAndTheEnvironment) {
    Version_Info info;
    unsetenv("CALVORINE_TEST_VERSION");
    Platform_Inject_Version(VERSION_HOST);
    ASSERT_TRUE(Platform_Get_Version(&info));
    EXPECT_EQ(info.platform_id, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(info.major, 5);
    EXPECT_EQ(info.minor, 0);

    struct Case {
        Version_Answer answer;
        int platform_id, major, minor;
    };
    for (Case c :
         {Case{VERSION_95, VER_PLATFORM_WIN32_WINDOWS, 4, 0}, Case{VERSION_98, VER_PLATFORM_WIN32_WINDOWS, 4, 10},
          Case{VERSION_NT4, VER_PLATFORM_WIN32_NT, 4, 0}, Case{VERSION_WIN32S, VER_PLATFORM_WIN32s, 3, 10}}) {
        Platform_Inject_Version(c.answer);
        ASSERT_TRUE(Platform_Get_Version(&info));
        EXPECT_EQ(info.platform_id, c.platform_id);
        EXPECT_EQ(info.major, c.major);
        EXPECT_EQ(info.minor, c.minor);
    }
    Platform_Inject_Version(VERSION_UNKNOWN);
    ASSERT_TRUE(Platform_Get_Version(&info));
    EXPECT_NE(info.platform_id, VER_PLATFORM_WIN32_NT);
    EXPECT_NE(info.platform_id, VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_NE(info.platform_id, VER_PLATFORM_WIN32s);
    Platform_Inject_Version(VERSION_FAIL);
    EXPECT_FALSE(Platform_Get_Version(&info));

    // The environment speaks when nothing is injected; an injection overrides it.
    Platform_Inject_Version(VERSION_HOST);
    setenv("CALVORINE_TEST_VERSION", "98", 1);
    ASSERT_TRUE(Platform_Get_Version(&info));
    EXPECT_EQ(info.minor, 10);
    setenv("CALVORINE_TEST_VERSION", "fail", 1);
    EXPECT_FALSE(Platform_Get_Version(&info));
    Platform_Inject_Version(VERSION_NT4);
    ASSERT_TRUE(Platform_Get_Version(&info));
    EXPECT_EQ(info.major, 4);
    Platform_Inject_Version(VERSION_HOST);
    unsetenv("CALVORINE_TEST_VERSION");
}

// Runs a claim in a child process: its exit code says whether it got the flag.
static bool Child_Claims() {
    pid_t child = fork();
    if (child == 0) _exit(Platform_Claim_Saver_Running() ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SaverRunningFlag, HeldByOneLiveProcessAndFreedWhenItDies) {
    TempFolder runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    EXPECT_EQ(Platform_Saver_Lock_Path(), runtime.file("calvorine-saver.lock"));
    EXPECT_FALSE(Platform_Saver_Running());

    ASSERT_TRUE(Platform_Claim_Saver_Running());
    EXPECT_TRUE(Platform_Claim_Saver_Running());  // this process already holds it
    EXPECT_TRUE(Platform_Saver_Running());
    EXPECT_FALSE(Child_Claims());
    EXPECT_TRUE(Platform_Saver_Running());  // a child's failed claim took nothing from us
    Platform_Release_Saver_Running();
    EXPECT_FALSE(Platform_Saver_Running());
    EXPECT_TRUE(Child_Claims());  // and the child's claim died with it

    // A holder that dies without releasing leaves the flag free.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {
        char answer = Platform_Claim_Saver_Running() ? 'y' : 'n';
        (void)!write(ready[1], &answer, 1);
        pause();
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'y');
    EXPECT_FALSE(Platform_Claim_Saver_Running());
    EXPECT_TRUE(Platform_Saver_Running());
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(Platform_Claim_Saver_Running());
    Platform_Release_Saver_Running();
    close(ready[0]);
    close(ready[1]);
    unsetenv("XDG_RUNTIME_DIR");
}

// An idle daemon's resume ends the full-screen saver that named itself in the
// flag's file, and nothing else: not a holder that did not name itself (the
// configuration window), not a name left by a saver that has ended.
TEST(SaverRunningFlag, TheEndRequestReachesOnlyANamedLiveHolder) {
    TempFolder runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    EXPECT_FALSE(Platform_End_Running_Saver());  // no file yet
    EXPECT_FALSE(Platform_Name_Saver_Process());  // not held here

    struct Holder {
        const char* what;
        bool names_itself;
        bool ended;
    };
    const Holder holders[] = {{"the full-screen saver", true, true}, {"the configuration window", false, false}};
    for (const Holder& holder : holders) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) {
            // The window layer's own handler (an orderly end) is not the point here.
            signal(SIGTERM, SIG_DFL);
            const bool held = Platform_Claim_Saver_Running() && (!holder.names_itself || Platform_Name_Saver_Process());
            const char answer = held ? 'y' : 'n';
            (void)!write(ready[1], &answer, 1);
            pause();
            _exit(0);
        }
        char answer = 0;
        ASSERT_EQ(read(ready[0], &answer, 1), 1);
        ASSERT_EQ(answer, 'y') << holder.what;
        EXPECT_EQ(Platform_End_Running_Saver(), holder.ended) << holder.what;
        if (!holder.ended) kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << holder.what;
        EXPECT_EQ(WTERMSIG(status), holder.ended ? SIGTERM : SIGKILL) << holder.what;
        close(ready[0]);
        close(ready[1]);
    }

    // A name left in the file by a saver that has ended: nobody holds the
    // flag, so the process that has the number now is not asked.
    const pid_t bystander = fork();
    if (bystander == 0) {
        pause();
        _exit(0);
    }
    std::ofstream(runtime.file("calvorine-saver.lock")) << bystander << "\n";
    EXPECT_FALSE(Platform_End_Running_Saver());
    kill(bystander, SIGKILL);
    int status = 0;
    waitpid(bystander, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    // A saver that claims the flag anew has not named itself yet.
    ASSERT_TRUE(Platform_Claim_Saver_Running());
    std::ifstream left(runtime.file("calvorine-saver.lock"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(left), {}), "");
    EXPECT_TRUE(Platform_Name_Saver_Process());
    std::ifstream named(runtime.file("calvorine-saver.lock"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(named), {}), std::to_string(getpid()) + "\n");
    EXPECT_FALSE(Platform_End_Running_Saver()) << "a saver never ends itself this way";
    Platform_Release_Saver_Running();
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(SaverRunningFlag, WithoutARuntimeFolderTheLockIsInTheUsersOwnCache) {
    TempFolder home;
    const char* old_home = std::getenv("HOME");
    const std::string saved_home = old_home ? old_home : "";
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("XDG_CACHE_HOME");
    setenv("HOME", home.path().c_str(), 1);
    EXPECT_EQ(Platform_Saver_Lock_Path(), home.file(".cache/calvorine-saver.lock"));
    // The cache folder is made, private, on the first claim.
    ASSERT_TRUE(Platform_Claim_Saver_Running());
    struct stat info;
    ASSERT_EQ(stat(home.file(".cache").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(Platform_Saver_Running());
    Platform_Release_Saver_Running();

    // A link planted in place of the lock file is never followed.
    setenv("XDG_CACHE_HOME", home.file("other").c_str(), 1);
    EXPECT_EQ(Platform_Saver_Lock_Path(), home.file("other/calvorine-saver.lock"));
    ASSERT_EQ(mkdir(home.file("other").c_str(), 0700), 0);
    ASSERT_EQ(symlink(home.file("target").c_str(), home.file("other/calvorine-saver.lock").c_str()), 0);
    EXPECT_FALSE(Platform_Claim_Saver_Running());
    EXPECT_NE(access(home.file("target").c_str(), F_OK), 0);

    unsetenv("XDG_CACHE_HOME");
    setenv("HOME", saved_home.c_str(), 1);
}

TEST(WindowsDirectory, EnvironmentHomeAndOverride) {
    setenv("XDG_DATA_HOME", "/data/home/", 1);
    EXPECT_EQ(Platform_Windows_Directory(), "/data/home");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(Platform_Windows_Directory(), "/home/someone/.local/share");
    Platform_Set_Windows_Directory("/elsewhere/");
    EXPECT_EQ(Platform_Windows_Directory(), "/elsewhere");
    Platform_Set_Windows_Directory("");
    EXPECT_EQ(Platform_Windows_Directory(), "/home/someone/.local/share");
}

// A 2 x 1 surface of a depth with two pixel values.
static Surface Two_Pixels(int bpp, uint32_t green_mask, uint32_t first, uint32_t second) {
    Surface surface;
    surface.width = 2;
    surface.height = 1;
    surface.bits_per_pixel = bpp;
    surface.green_mask = green_mask;
    surface.pitch = 2 * Pixel_Bytes(bpp) + 3;  // padded rows must not matter
    surface.memory.assign(surface.pitch, 0xAB);
    Pixel_Write(&surface, 0, 0, first);
    Pixel_Write(&surface, 1, 0, second);
    return surface;
}

static QRgb Screen_Pixel(const Surface& surface, int x) {
    return Platform_Surface_Image(&surface, Rect{0, 0, surface.width, surface.height}).pixel(x, 0) & 0xFFFFFF;
}

TEST(SurfaceImage, EveryDepthBecomesTheRightScreenColour) {
    Palette palette;
    palette.entries[7] = PaletteEntry{12, 34, 56, 0};
    Surface eight = Two_Pixels(8, 0, 7, 0);
    eight.palette = &palette;
    EXPECT_EQ(Screen_Pixel(eight, 0), 0x0C2238u);
    eight.palette = nullptr;  // without an attached palette: the device's mapping palette
    const PaletteEntry& mapped = Pixel_Mapping_Palette()->entries[7];
    EXPECT_EQ(Screen_Pixel(eight, 0), uint32_t(mapped.red << 16 | mapped.green << 8 | mapped.blue));

    // The same two-byte value is a different colour in each layout: the mask decides, not the depth.
    Surface s555 = Two_Pixels(16, 0x03E0, 0x7C00, 0x03E0);
    EXPECT_EQ(Screen_Pixel(s555, 0), 0xFF0000u);
    EXPECT_EQ(Screen_Pixel(s555, 1), 0x00FF00u);
    Surface s565 = Two_Pixels(16, 0x07E0, 0xF800, 0x03E0);
    EXPECT_EQ(Screen_Pixel(s565, 0), 0xFF0000u);
    EXPECT_EQ(Screen_Pixel(s565, 1), 0x007D00u);  // 31 of 63 green levels
    Surface s15 = Two_Pixels(15, 0x03E0, 0x0010, 0x4210);
    EXPECT_EQ(Screen_Pixel(s15, 0), 0x000084u);
    EXPECT_EQ(Screen_Pixel(s15, 1), 0x848484u);

    Surface s24 = Two_Pixels(24, 0, 0x123456, 0xFF0000);  // bytes B, G, R in memory
    EXPECT_EQ(Screen_Pixel(s24, 0), 0x123456u);
    EXPECT_EQ(s24.memory[0], 0x56);
    EXPECT_EQ(Screen_Pixel(s24, 1), 0xFF0000u);
    Surface s32 = Two_Pixels(32, 0, 0xFF00FF00u, 0x00ABCDEFu);  // the X byte is ignored
    EXPECT_EQ(Screen_Pixel(s32, 0), 0x00FF00u);
    EXPECT_EQ(Screen_Pixel(s32, 1), 0xABCDEFu);

    // An area reaching past the surface is black there; a broken surface is all black.
    QImage part = Platform_Surface_Image(&s32, Rect{1, -1, 3, 1});
    ASSERT_EQ(part.size(), QSize(2, 2));
    EXPECT_EQ(part.pixel(0, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(part.pixel(0, 1) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(part.pixel(1, 1) & 0xFFFFFF, 0u);
    s32.memory.resize(3);
    EXPECT_EQ(Screen_Pixel(s32, 1), 0u);
}

// A window's part of the desktop is converted in row bands for big windows:
// the same image as one band, bars and all, at every pixel size.
TEST(SurfaceImage, BandsGiveTheImageOfOneBand) {
    for (int bpp : {8, 16, 32}) {
        Surface surface = Two_Pixels(bpp, 0x07E0, 0, 0);
        surface.width = 37;
        surface.height = 23;
        surface.pitch = 37 * Pixel_Bytes(bpp) + 5;
        surface.memory.assign(static_cast<size_t>(surface.pitch) * 23, 0);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x) Pixel_Write(&surface, x, y, uint32_t(x * 7919 + y * 104729) & 0xFFFFFF);
        const Rect area{-3, -2, 40, 30};  // past every edge
        row_band_threads = 1;
        const QImage one_band = Platform_Surface_Image(&surface, area);
        row_band_threads = 3;
        const QImage bands = Platform_Surface_Image(&surface, area);
        row_band_threads = 0;
        EXPECT_EQ(bands, one_band) << bpp;
        EXPECT_EQ(one_band.pixel(0, 0) & 0xFFFFFF, 0u) << bpp;
        EXPECT_EQ(one_band.pixel(3 + 36, 2 + 22), Platform_Surface_Image(&surface, Rect{36, 22, 37, 23}).pixel(0, 0));
    }
}

TEST_F(WindowTest, PresentationShowsTheWindowsPartOrTheScaledScreen) {
    Window* window = Open(WINDOW_OVERLAPPED, 40, 30);
    ASSERT_NE(window, nullptr);
    // The desktop primary: green everywhere except one red pixel at the client's origin.
    Surface desktop = Two_Pixels(32, 0, 0, 0);
    desktop.width = 200;
    desktop.height = 150;
    desktop.pitch = 800;
    desktop.memory.assign(800 * 150, 0);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) Pixel_Write(&desktop, x, y, 0x00FF00);
    Platform_Update_Window_Record(window);
    ASSERT_LE(window->screen_x + 2, 200);
    ASSERT_LE(window->screen_y + 2, 150);
    Pixel_Write(&desktop, window->screen_x, window->screen_y, 0xFF0000);
    Clipper clipper{window};
    desktop.clipper = &clipper;
    ASSERT_TRUE(Platform_Present(&desktop));
    QImage shown = Platform_Qt_Canvas(window)->grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(shown.pixel(1, 1) & 0xFFFFFF, 0x00FF00u);

    // Full screen: a 4 x 2 emulated mode fills the whole canvas.
    ASSERT_TRUE(Platform_Set_Window_Kind(window, WINDOW_POPUP));
    Surface mode = Two_Pixels(32, 0, 0xFF0000, 0x0000FF);
    ASSERT_TRUE(Platform_Present(&mode));
    QImage full = Platform_Qt_Canvas(window)->grab().toImage();
    EXPECT_EQ(full.pixel(full.width() / 4, full.height() / 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(full.pixel(full.width() * 3 / 4, full.height() / 2) & 0xFFFFFF, 0x0000FFu);
    EXPECT_FALSE(Platform_Present(nullptr));
}

TEST_F(WindowTest, PointerDeltasAreTheMovementSinceTheLastPoll) {
    QCursor::setPos(100, 100);
    Platform_Reset_Pointer_Delta();
    int dx = -1, dy = -1;
    Platform_Read_Pointer_Delta(&dx, &dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    QCursor::setPos(130, 90);
    Platform_Read_Pointer_Delta(&dx, &dy);
    EXPECT_EQ(dx, 30);
    EXPECT_EQ(dy, -10);
    Platform_Read_Pointer_Delta(&dx, &dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
}

TEST_F(WindowTest, StartInstallsTheRealServices) {
    EXPECT_NE(platform_message_box_hook, nullptr);
    EXPECT_NE(platform_sound_hook, nullptr);
    EXPECT_EQ(dd_vertical_blank_hook, &Platform_Wait_Vertical_Blank);
    int width = 0, height = 0, bpp = 0;
    ASSERT_TRUE(Platform_Desktop_Metrics(&width, &height, &bpp));
    EXPECT_EQ(dd_config.desktop_width, width);
    EXPECT_EQ(dd_config.desktop_height, height);
    EXPECT_EQ(dd_config.desktop_bpp, bpp);
    EXPECT_TRUE(bpp == 8 || bpp == 16 || bpp == 32);
    EXPECT_EQ(Platform_System_Metric(SM_CXSCREEN), width);

    // Consecutive waits are a frame apart: the wait really waits for the next frame.
    Platform_Wait_Vertical_Blank();
    auto start = std::chrono::steady_clock::now();
    Platform_Wait_Vertical_Blank();
    Platform_Wait_Vertical_Blank();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(16));
}
