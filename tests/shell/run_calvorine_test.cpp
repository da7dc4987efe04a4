// One frame of the saver: the random-preset countdown, presentation, and
// the pointer check that ends the running saver.
#include "shell_fixture.h"

namespace {

class RunCalvorineTest : public ShellTest {
protected:
    void Start(int mode) {
        Prepare(mode, 64, 48, 32);
        Open_Log();
        ASSERT_EQ(::Setup(), 1);
        ASSERT_EQ(Refresh_Plasma(), 1);
        fixed_frame_seconds = 0.5;
    }

    // Two presets in the data folder, named by their titles.
    void Two_Presets() {
        for (const char* title : {"First", "Second"}) {
            std::strcpy(plasma_settings.title, title);
            Save_Preset(std::string(title) + ".dat");
        }
        std::strcpy(plasma_settings.title, "Start");
    }
};

}  // namespace

TEST_F(RunCalvorineTest, TheCountdownShowsARandomPresetWhenItRunsOut) {
    Start(CONFIGURE);
    Two_Presets();
    plasma_settings.random_preset_interval = 2;
    plasma_settings.transition_speed = 7;
    Arm_Random_Preset_Timer();
    EXPECT_EQ(random_preset_seconds, 2);
    EXPECT_EQ(transition_step, 7);

    for (int frame = 0; frame < 3; frame++) ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_STREQ(plasma_settings.title, "Start");
    EXPECT_DOUBLE_EQ(random_preset_countdown, 0.5);
    ASSERT_EQ(Run_Calvorine(), 1);
    // The remembered pick starts at the first file, so the second is taken.
    EXPECT_STREQ(plasma_settings.title, "Second");
    EXPECT_DOUBLE_EQ(random_preset_countdown, 2.0);
    EXPECT_EQ(random_transition_kind, 2);
    for (int frame = 0; frame < 4; frame++) ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_STREQ(plasma_settings.title, "First");
}

TEST_F(RunCalvorineTest, AnIntervalOfZeroNeverStartsARandomPreset) {
    Start(CONFIGURE);
    Two_Presets();
    Arm_Random_Preset_Timer();
    ASSERT_EQ(random_preset_seconds, 0);
    for (int frame = 0; frame < 20; frame++) ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_STREQ(plasma_settings.title, "Start");
}

TEST_F(RunCalvorineTest, AppliedPresetsFillOnlyTheWorkingCopiesNotYetSet) {
    Prepare(CONFIGURE);
    transition_step = 0;
    plasma_settings.random_preset_interval = 30;
    plasma_settings.transition_speed = 12;
    ASSERT_EQ(Refresh_Plasma(), 1);
    EXPECT_EQ(random_preset_seconds, 30);
    EXPECT_EQ(transition_step, 12);
    plasma_settings.random_preset_interval = 90;
    plasma_settings.transition_speed = 3;
    ASSERT_EQ(Refresh_Plasma(), 1);
    EXPECT_EQ(random_preset_seconds, 30);
    EXPECT_EQ(transition_step, 12);
}

TEST_F(RunCalvorineTest, TheFrameReachesTheScreenAtTheWindowsPlace) {
    Start(CONFIGURE);
    ASSERT_EQ(Run_Calvorine(), 1);
    int pitch = 0;
    uint8_t* hidden = Lock_Surface(Hidden, &pitch);
    std::vector<uint8_t> frame(hidden, hidden + pitch * 48);
    Unlock_Surface(Hidden);
    uint8_t* screen = Lock_Surface(Visible, &pitch);
    std::vector<uint8_t> shown(screen, screen + pitch * 48);
    Unlock_Surface(Visible);
    EXPECT_EQ(shown, frame);
    EXPECT_NE(std::count(frame.begin(), frame.end(), 0), static_cast<long>(frame.size()));
}

TEST_F(RunCalvorineTest, InTheSaverAPointerJumpEndsTheFrameAndTheProgram) {
    Start(SAVER);
    ASSERT_EQ(Mouse_Has_Moved(1), 0);
    test_mouse_dx = 1;
    EXPECT_EQ(Run_Calvorine(), 1);
    // 64 / 16 = 4: three counts are six pixels.
    test_mouse_dx = 3;
    EXPECT_EQ(Run_Calvorine(), 0);
    EXPECT_NE(Log_Position("Run_Calvorine(): Mouse_Has_Moved returns SUCCESS - exitting saver"), -1);
}

TEST_F(RunCalvorineTest, AFailedPresentationEndsTheFrameWithThePresentersReport) {
    Start(MODE_NONE);
    Release(Visible);
    Visible = nullptr;
    EXPECT_EQ(Run_Calvorine(), 0);
    EXPECT_EQ(Log_Lines().back(), "Display_Hidden_Surface(): Hidden or Visible is NULL");
}
