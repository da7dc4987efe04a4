// Headless host services: the window record, the queue, boxes, sounds, the cursor and the clocks.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/system.h"
#include "test_support.h"

namespace {

using SystemTest = ProgramTest;

TEST_F(SystemTest, WindowRecordAnswersSizePositionAndState) {
    Window window;
    window.screen_x = 100;
    window.screen_y = 40;
    window.client_width = 320;
    window.client_height = 200;
    Rect rect{9, 9, 9, 9};
    ASSERT_TRUE(GetClientRect(&window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 320);
    EXPECT_EQ(rect.bottom, 200);
    Point point{5, 7};
    ClientToScreen(&window, &point);
    EXPECT_EQ(point.x, 105);
    EXPECT_EQ(point.y, 47);
    EXPECT_FALSE(IsIconic(&window));
    window.iconic = true;
    EXPECT_TRUE(IsIconic(&window));

    EXPECT_FALSE(GetClientRect(nullptr, &rect));
    EXPECT_FALSE(IsIconic(nullptr));
    ClientToScreen(nullptr, &point);
    EXPECT_EQ(point.x, 105);
}

TEST_F(SystemTest, MessagesComeOutOldestFirst) {
    Window window;
    Posted_Message message{};
    EXPECT_FALSE(Platform_Peek_Message(&message, true));
    ASSERT_TRUE(Platform_Post_Message(&window, WM_CLOSE, 1, -1));
    ASSERT_TRUE(Platform_Post_Message(&window, WM_DESTROY, 2, 0));
    ASSERT_TRUE(Platform_Post_Message(nullptr, WM_QUIT, 3, 0));

    // Looking without removing leaves the message at the front.
    ASSERT_TRUE(Platform_Peek_Message(&message, false));
    EXPECT_EQ(message.message, WM_CLOSE);
    ASSERT_TRUE(Platform_Peek_Message(&message, true));
    EXPECT_EQ(message.message, WM_CLOSE);
    EXPECT_EQ(message.window, &window);
    EXPECT_EQ(message.wparam, 1u);
    EXPECT_EQ(message.lparam, -1);
    ASSERT_TRUE(Platform_Peek_Message(&message, true));
    EXPECT_EQ(message.message, WM_DESTROY);
    ASSERT_TRUE(Platform_Peek_Message(&message, true));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.window, nullptr);
    EXPECT_FALSE(Platform_Peek_Message(&message, true));

    Platform_Post_Message(&window, WM_CLOSE, 0, 0);
    Platform_Reset_Records();
    EXPECT_FALSE(Platform_Peek_Message(&message, true));
}

TEST_F(SystemTest, BoxesAreRecordedAndPrintedUnlessHooked) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Platform_Message_Box(nullptr, "Setup(): Clear Hidden FAILED", "Error", MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(Platform_Message_Box(nullptr, nullptr, "Message", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Setup(): Clear Hidden FAILED\nMessage: \n");
    ASSERT_EQ(platform_boxes.size(), 2u);
    EXPECT_EQ(platform_boxes[0].text, "Setup(): Clear Hidden FAILED");
    EXPECT_EQ(platform_boxes[0].caption, "Error");
    EXPECT_EQ(platform_boxes[0].style, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(platform_boxes[1].text, "");

    static std::string hooked_text;
    platform_message_box_hook = [](Window*, const char* text, const char*, unsigned) {
        hooked_text = text;
        return 7;
    };
    EXPECT_EQ(Platform_Message_Box(nullptr, "to the window layer", "Error", MB_OK), 7);
    EXPECT_EQ(hooked_text, "to the window layer");
    EXPECT_EQ(platform_boxes.size(), 2u);
}

TEST_F(SystemTest, SoundsAndCursorAreRecordedAndReset) {
    Platform_Play_Sound("Include/Error.wav", SND_ASYNC | SND_FILENAME);
    ASSERT_EQ(platform_sounds.size(), 1u);
    EXPECT_EQ(platform_sounds[0], "Include/Error.wav");
    static unsigned hooked_flags = 0;
    platform_sound_hook = [](const char*, unsigned flags) { hooked_flags = flags; };
    Platform_Play_Sound("other.wav", SND_ASYNC);
    EXPECT_EQ(hooked_flags, SND_ASYNC);
    EXPECT_EQ(platform_sounds.size(), 1u);

    EXPECT_EQ(Platform_Show_Cursor(true), 1);
    EXPECT_EQ(Platform_Show_Cursor(true), 2);
    EXPECT_EQ(Platform_Show_Cursor(false), 1);
    EXPECT_EQ(platform_cursor_count, 1);

    Platform_Message_Box(nullptr, "x", "y", MB_OK);
    Platform_Reset_Records();
    EXPECT_TRUE(platform_sounds.empty());
    EXPECT_EQ(platform_cursor_count, 0);
    EXPECT_EQ(platform_sound_hook, nullptr);
    EXPECT_EQ(platform_message_box_hook, nullptr);
    testing::internal::CaptureStderr();
    Platform_Message_Box(nullptr, "after reset", "Error", MB_OK);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text, "after reset");
}

TEST_F(SystemTest, ClocksNeverStepBackAndAdvanceWithTime) {
    EXPECT_EQ(Platform_Performance_Frequency(), 1'000'000'000);
    int64_t counter = Platform_Performance_Counter();
    uint32_t ticks = Platform_Tick_Count();
    for (int i = 0; i < 1000; ++i) {
        int64_t next = Platform_Performance_Counter();
        ASSERT_GE(next, counter);
        counter = next;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(Platform_Performance_Counter() - counter, 20'000'000);
    EXPECT_GE(static_cast<uint32_t>(Platform_Tick_Count() - ticks), 20u);
    EXPECT_GT(Platform_Total_Physical_Memory(), 0u);
}

// The niceness a thread ends with, started at `start`, when the process is
// lowered while the thread runs; measured in a child, which leaves this
// process as it was. -1 when the child could not be run.
static int Niceness_After_Lowering(int start, bool ask_helper) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        setpriority(PRIO_PROCESS, 0, start);
        std::atomic<int> stage{0};
        std::atomic<int> helper_niceness{-1};
        // A thread already running, as the toolkit's are by then.
        std::thread helper([&] {
            stage = 1;
            while (stage != 2) std::this_thread::yield();
            helper_niceness = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
        });
        while (stage != 1) std::this_thread::yield();
        const bool lowered = Platform_Lower_Priority();
        stage = 2;
        helper.join();
        const int own = getpriority(PRIO_PROCESS, 0);
        _exit(!lowered ? 99 : ask_helper ? helper_niceness.load() : own);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST_F(SystemTest, TheSaverGivesWayButNeverRisesAboveANicenessItWasGiven) {
    const int now = getpriority(PRIO_PROCESS, 0);
    struct Case {
        int start, expected;
    };
    // A niceness can only be raised without privileges: every start is at
    // least this process's own.
    const Case cases[] = {{now, std::max(now, SAVER_NICENESS)}, {std::max(now, 3), std::max(now, SAVER_NICENESS)},
                          {std::max(now, 15), std::max(now, 15)}, {19, 19}};
    for (const Case& c : cases) {
        EXPECT_EQ(Niceness_After_Lowering(c.start, false), c.expected) << "from " << c.start;
        EXPECT_EQ(Niceness_After_Lowering(c.start, true), c.expected) << "another thread, from " << c.start;
    }
}

}  // namespace
