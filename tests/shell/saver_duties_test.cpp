// The running saver's duties: one saver at a time, the pointer jump that
// ends it, the input devices' failures and the password hooks.
#include "shell_fixture.h"

namespace {

class DutiesTest : public ShellTest {
protected:
    // The running saver at 640 x 480 with its mouse and the reference taken.
    void Start_Saver() {
        Prepare(SAVER, 640, 480);
        ASSERT_EQ(Setup_Direct_Input(), 1);
        ASSERT_EQ(Setup_Mouse(), 1);
        pointer_x = 320;
        pointer_y = 240;
        ASSERT_EQ(Mouse_Has_Moved(1), 0);
    }

    int Frame_With(int dx, int dy) {
        test_mouse_dx = dx;
        test_mouse_dy = dy;
        return Mouse_Has_Moved(0);
    }
};

}  // namespace

TEST_F(DutiesTest, OnlyAJumpWithinOneFrameEndsTheSaver) {
    Start_Saver();
    // 640 / 16 = 40: 17 counts move the pointer 34 pixels, 21 counts 42.
    EXPECT_EQ(Frame_With(17, 0), 0);
    EXPECT_EQ(Frame_With(-17, 0), 0);
    EXPECT_EQ(Frame_With(0, 15), 0);  // 30 down is not more than 480 / 16
    EXPECT_EQ(Frame_With(21, 0), 1);
    // The reference stays where the jump started.
    EXPECT_EQ(last_pointer_x, 320);
    EXPECT_EQ(pointer_x, 362);
    EXPECT_EQ(Frame_With(0, 0), 1);
}

TEST_F(DutiesTest, ASlowDriftAcrossTheWholeScreenNeverEndsTheSaver) {
    Start_Saver();
    for (int frame = 0; frame < 100; frame++) ASSERT_EQ(Frame_With(-10, -7), 0) << frame;
    // The pointer stopped at the corner and the drift still did not count.
    EXPECT_EQ(pointer_x, 0);
    EXPECT_EQ(pointer_y, 0);
    EXPECT_EQ(Frame_With(0, -16), 0);
}

TEST_F(DutiesTest, AFlickTowardsAnyCornerIsSeenFromTheStart) {
    for (auto [dx, dy] : {std::pair{300, 0}, std::pair{0, 300}, std::pair{-300, 0}, std::pair{0, -300}}) {
        Reset_Shell();
        Prepare(SAVER, 640, 480);
        // The whole set-up: the display, the mouse, and the pointer placed by Setup_Glimmerwheel.
        ASSERT_EQ(::Setup(), 1);
        EXPECT_EQ(pointer_x, 320);
        EXPECT_EQ(pointer_y, 240);
        ASSERT_EQ(Mouse_Has_Moved(1), 0);
        EXPECT_EQ(Frame_With(dx, dy), 1) << dx << "," << dy;
        Shutdown();
    }
}

TEST_F(DutiesTest, OutsideTheSaverThePointerIsNeverRead) {
    Start_Saver();
    app.saver_mode = CONFIGURE;
    EXPECT_EQ(Frame_With(500, 500), 0);
    EXPECT_EQ(pointer_x, 320);
}

TEST_F(DutiesTest, AnUnusableMouseIsReportedAndThePointerStaysPut) {
    Prepare(SAVER, 640, 480);
    // No input system: nothing to read and nothing to say.
    EXPECT_EQ(Read_Mouse(), 0);
    EXPECT_TRUE(platform_boxes.empty());

    ASSERT_EQ(Setup_Direct_Input(), 1);
    pointer_x = last_pointer_x = 100;
    test_mouse_dx = 300;
    EXPECT_EQ(Mouse_Has_Moved(0), 0);
    ASSERT_EQ(platform_boxes.size(), 3u);
    EXPECT_EQ(platform_boxes[0].text, "Read_Mouse():\n\nDIERR_NOTINITIALIZED\n\nHave you setup the mouse?");
    EXPECT_EQ(platform_boxes[1].text, "Update_Mouse():Unable to Read Mouse");
    EXPECT_EQ(platform_boxes[2].text, " Mouse_Has_Moved(): Update_Mouse FAILED");
    EXPECT_EQ(pointer_x, 100);

    ASSERT_EQ(Setup_Mouse(), 1);
    Platform_Reset_Records();
    // The pointer source went away: the device cannot be acquired again.
    pointer_delta_source = nullptr;
    mouse_device->acquired = false;
    EXPECT_EQ(Read_Mouse(), 0);
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text, "Read_Mouse():\n\nDIERR_INPUTLOST:\n\n Mouse has been lost");
    pointer_delta_source = Test_Mouse;
}

TEST_F(DutiesTest, TheInputDevicesRefuseToBeMadeTwiceOrWithoutWhatTheyNeed) {
    EXPECT_EQ(Setup_Mouse(), 0);
    ASSERT_EQ(Setup_Direct_Input(), 1);
    EXPECT_EQ(Setup_Direct_Input(), 0);
    EXPECT_EQ(Setup_Mouse(), 0) << "no window to cooperate with";
    ASSERT_EQ(platform_boxes.size(), 3u);
    EXPECT_EQ(platform_boxes[0].text, "Setup_Mouse():\n\nCreateDevice FAILED\nIs there a mouse plugged in?");
    EXPECT_EQ(platform_boxes[1].text, "Setup_Direct_Input():\n\nDirectInputCreate FAILED");
    EXPECT_EQ(platform_boxes[2].text, "Setup_Mouse():\n\nSetCooperativeLevel FAILED\n(NON_EXCLUSIVE BACKGROUND)");
    Release_Input_Devices();
    Release_Input_Devices();
    EXPECT_EQ(input_system, nullptr);
    EXPECT_EQ(mouse_device, nullptr);

    // Movement from before the mouse was acquired never counts.
    Prepare(SAVER, 640, 480);
    test_mouse_dx = 500;
    ASSERT_EQ(Setup_Direct_Input(), 1);
    ASSERT_EQ(Setup_Mouse(), 1);
    ASSERT_EQ(Read_Mouse(), 1);
    EXPECT_EQ(mouse_state.x, 0);
}

TEST_F(DutiesTest, OneSaverAtATime) {
    EXPECT_EQ(IsSaverRunning(), 0);
    ASSERT_TRUE(Platform_Claim_Saver_Running());
    EXPECT_EQ(IsSaverRunning(), 1);
    Platform_Release_Saver_Running();
    EXPECT_EQ(IsSaverRunning(), 0);

    // NT 4 looks at the window in front; with none there, a saver is assumed.
    Platform_Inject_Version(VERSION_NT4);
    EXPECT_EQ(IsSaverRunning(), 1);

    Platform_Inject_Version(VERSION_FAIL);
    EXPECT_EQ(IsSaverRunning(), 0);
    ASSERT_EQ(platform_boxes.size(), 2u);
    EXPECT_EQ(platform_boxes[1].text, "IsSaverRunning(): Determine Operating System FAILED");
}

TEST_F(DutiesTest, ThePasswordHooks) {
    EXPECT_EQ(Verify_Password(0), 1);
    EXPECT_TRUE(platform_boxes.empty());
    EXPECT_GE(platform_cursor_count, 0) << "the cursor is shown for the check";

    Platform_Inject_Version(VERSION_98);
    EXPECT_EQ(Verify_Password(0), 1);
    ASSERT_EQ(platform_boxes.size(), 1u);
    EXPECT_EQ(platform_boxes[0].text, "Unable to load PASSWORD.CPL. Aborting");

    Change_Password(1234);
    ASSERT_EQ(platform_boxes.size(), 2u);
    EXPECT_EQ(platform_boxes[1].text, "MPR.DLL not found: cannot change password.");
}
