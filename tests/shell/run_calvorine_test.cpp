// One frame of the saver: the random-preset countdown, presentation, and
// the pointer check that ends the running saver.
#include "shell_fixture.h"

#include "kaleidoscope/kaleidoscope.h"
#include "kaleidoscope/scope.h"
#include "preset/preset_setter.h"
#include "preset/random_preset_timer.h"
#include "slides/colour_slides.h"
#include "text/titles.h"

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

    // Records of the log that report a failure.
    int Failures_Logged() {
        int failures = 0;
        for (const std::string& line : Log_Lines()) failures += line.find("FAILED") != std::string::npos;
        return failures;
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
    // Steps timed by the frame: at 384 pixels a second a 0.5-second frame
    // closes the 48-pixel picture at once.
    plasma_settings.slide_ignore_fps = 0;
    Two_Presets();
    plasma_settings.random_preset_interval = 2;
    plasma_settings.transition_speed = 7;
    Arm_Random_Preset_Timer();
    EXPECT_EQ(random_preset_seconds, 2);
    EXPECT_EQ(transition_step, 7);

    for (int frame = 0; frame < 3; frame++) ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_STREQ(plasma_settings.title, "Start");
    EXPECT_DOUBLE_EQ(random_preset_countdown, 0.5);
    EXPECT_EQ(transition_mode, NO_TRANSITION);
    // The countdown runs out: the closing transition starts, closes within
    // the frame and shows the random preset. The remembered pick starts at
    // the first file, so the second is taken.
    ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_STREQ(plasma_settings.title, "Second");
    EXPECT_TRUE(preset_switched);
    EXPECT_DOUBLE_EQ(random_preset_countdown, 2.0);
    EXPECT_EQ(random_transition_kind, 2);
    // One black frame, then the window opens on the new preset.
    ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_EQ(transition_mode, OPEN_TRANSITION);
    EXPECT_FALSE(preset_switched);
    ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_EQ(transition_mode, NO_TRANSITION);
    EXPECT_EQ(Scratch_Pad, nullptr);
    for (int frame = 0; frame < 2; frame++) ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_STREQ(plasma_settings.title, "First");
    EXPECT_EQ(Failures_Logged(), 0);
}

TEST_F(RunCalvorineTest, WithFixedStepsTheRandomPresetArrivesOnceTheWindowHasClosed) {
    Start(CONFIGURE);
    Two_Presets();
    ASSERT_EQ(plasma_settings.slide_ignore_fps, 1);
    plasma_settings.random_preset_interval = 5;
    plasma_settings.transition_speed = 7;
    Arm_Random_Preset_Timer();
    fixed_frame_seconds = 0.25;

    for (int frame = 0; frame < 19; frame++) ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_EQ(transition_mode, NO_TRANSITION);
    // The twentieth frame starts closing, 7 pixels of height a frame.
    ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_EQ(transition_mode, CLOSE_TRANSITION);
    EXPECT_DOUBLE_EQ(transition_height, 41.0);
    EXPECT_STREQ(plasma_settings.title, "Start");
    ASSERT_NE(Scratch_Pad, nullptr);

    // 41, 34, 27, 20, 13, 6, then 2 a frame once both sides are below 16.
    int closing_frames = 1;
    while (transition_mode == CLOSE_TRANSITION && closing_frames < 30) {
        EXPECT_STREQ(plasma_settings.title, "Start");
        ASSERT_EQ(Run_Calvorine(), 1);
        closing_frames++;
    }
    EXPECT_EQ(closing_frames, 9);
    EXPECT_STREQ(plasma_settings.title, "Second");
    EXPECT_TRUE(preset_switched);

    // A black frame, then the window opens by 7 a frame to the whole picture.
    ASSERT_EQ(Run_Calvorine(), 1);
    EXPECT_EQ(transition_mode, OPEN_TRANSITION);
    int pitch = 0;
    const uint8_t* pixels = Lock_Surface(Hidden, &pitch);
    ASSERT_NE(pixels, nullptr);
    const std::vector<uint8_t> black(pixels, pixels + static_cast<size_t>(pitch) * Hidden->height);
    Unlock_Surface(Hidden);
    EXPECT_EQ(std::count(black.begin(), black.end(), 0), static_cast<long>(black.size()));
    int opening_frames = 0;
    while (transition_mode == OPEN_TRANSITION && opening_frames < 30) {
        ASSERT_EQ(Run_Calvorine(), 1);
        opening_frames++;
    }
    EXPECT_EQ(opening_frames, 7);
    EXPECT_EQ(transition_mode, NO_TRANSITION);
    EXPECT_EQ(Scratch_Pad, nullptr);
    EXPECT_STREQ(plasma_settings.title, "Second");
    EXPECT_EQ(Failures_Logged(), 0);
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
    ASSERT_EQ(::Setup(), 1);
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

TEST_F(RunCalvorineTest, TheKaleidoscopeWithSlidesAndScopeIsDrawnAndPresented) {
    Prepare(CONFIGURE, 320, 240, 32);
    Open_Log();
    ASSERT_EQ(::Setup(), 1);
    plasma_settings.slides_on = 1;
    plasma_settings.overlay_on = 1;
    plasma_settings.overlay_shape = 0;
    plasma_settings.titles_on = 1;
    ASSERT_EQ(Refresh_Plasma(), 1);
    ASSERT_EQ(kaleidoscope_active, 1);
    ASSERT_EQ(slides_active, 1);
    ASSERT_EQ(scope_active, 1);
    fixed_frame_seconds = 0.02;
    for (int frame = 0; frame < 5; frame++) ASSERT_EQ(Run_Calvorine(), 1) << frame;

    // The unstretched picture is the kaleidoscope's square, centred; the
    // circle of the scope leaves the corners black and the middle lit.
    int pitch = 0;
    uint8_t* screen = Lock_Surface(Visible, &pitch);
    ASSERT_NE(screen, nullptr);
    auto pixel = [&](int x, int y) {
        uint32_t value;
        std::memcpy(&value, screen + static_cast<size_t>(y) * pitch + 4 * x, 4);
        return value & 0xFFFFFF;
    };
    const uint32_t corner = pixel(0, 0), far_corner = pixel(319, 239);
    int lit = 0;
    for (int y = 100; y < 140; y++)
        for (int x = 140; x < 180; x++) lit += pixel(x, y) != 0;
    Unlock_Surface(Visible);
    EXPECT_EQ(corner, 0u);
    EXPECT_EQ(far_corner, 0u);
    EXPECT_GT(lit, 800);
    EXPECT_EQ(Failures_Logged(), 0);
}
