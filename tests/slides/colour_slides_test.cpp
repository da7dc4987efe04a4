// Colour slides: scrolling and wrapping in both directions at every depth,
// standing still, turns only at slide boundaries with an unbroken picture,
// the gradient and its joins, zones, fades, the sine-wave background, lost
// slides, set-up and its failures, and the failure texts of a frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/graphics_fixture.h"
#include "graphics/pixel_effects.h"
#include "plasma/plasma_settings.h"
#include "slides/colour_slides.h"
#include "slides/sine_waves.h"
#include "slides/slide_objects.h"

namespace {

constexpr int W = 40;         // slide side in most tests
constexpr uint32_t MARK = 7;  // Hidden before each frame: a column still 7 was not drawn

class SlidesTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        crt::srand(3);
        objects_loaded = 0;
        Set_Default_Plasma_Settings();
        PlasmaSettings& s = plasma_settings;
        s.background_mode = 1;  // "Gradual Fill": the slides keep what is painted on them
        s.slide_speed = 100.0;
        s.slide_ignore_fps = 1;  // 10 pixels a frame
        s.slide_direction = 0;
        s.fade_light = s.fade_hue = s.fade_saturation = 0;
        s.zone_duration = 0;
        s.blend_mode = 0;
        frame_seconds = 0.01;
        slide_moving_right = 0;
        direction_timer = 0.0;
        gradient_restart = 1;
        last_end_hue = last_end_light = 0;
        zone_countdown = 0;
        sine_wave_32_state = WaveState{};
    }

    void TearDown() override {
        Shutdown_Colour_Slides();
        Release_All_Objects();
        objects_loaded = 0;
        GraphicsTest::TearDown();
    }

    // `types` 8 x 8 single-frame objects, each a filled square, none selected.
    void Load_Objects(int types) {
        for (int t = 0; t < types; ++t) {
            ObjectData& entry = Objects_Data[t];
            ASSERT_EQ(Create_SYSTEM_Surface(&entry.images, 8, 8), 1);
            Fill(entry.images, 0x11 * (t + 1));
            entry.frame_size = 8;
            entry.strip_height = 8;
            entry.frame_count = 1;
            plasma_settings.object_selected[t] = 1;
            plasma_settings.object_frequency[t] = 0;
            plasma_settings.object_animation_speed[t] = 0.0;
            plasma_settings.object_speed[t] = 0.0;
        }
        objects_loaded = types;
    }

    // Ends this display (slides and objects first) and starts afresh.
    void Restart_All() {
        Shutdown_Colour_Slides();
        Release_All_Objects();
        objects_loaded = 0;
        Restart();
    }

    void Open(const GraphicsFormat& format) {
        Open_Display(format, 128, 96);
        Load_Objects(2);
    }

    // Each slide painted in a colour of its own, so the target tells which is where.
    static uint32_t Mark_Of(int i) { return 33u * (i + 1); }
    static void Mark_Slides() {
        for (int i = 0; i < SLIDE_COUNT; ++i) Fill(slides[i], Mark_Of(i));
    }
    // The slide shown in a column of Hidden after a frame, or -1 (not drawn) / -2 (another colour).
    static int Shown(int x) {
        const uint32_t v = Get(Hidden, x, 5);
        if (v == MARK) return -1;
        for (int i = 0; i < SLIDE_COUNT; ++i)
            if (v == Mark_Of(i)) return i;
        return -2;
    }
    static std::vector<int> Frame(int x0 = 0) {
        Fill(Hidden, MARK);
        EXPECT_EQ(Draw_Slides(Hidden, x0, 0), 1) << Last_Report();
        std::vector<int> shown(2 * W + 8);
        for (int x = 0; x < static_cast<int>(shown.size()); ++x) shown[x] = Shown(x);
        return shown;
    }
    static std::vector<int> Span(int slide, int count) { return std::vector<int>(count, slide); }
    static std::vector<int> Cols(const std::vector<int>& shown, int from, int count) {
        return std::vector<int>(shown.begin() + from, shown.begin() + from + count);
    }
    static std::vector<int> Order() { return {slide_order[0], slide_order[1], slide_order[2]}; }
    static int Instances_On(Surface* slide, int* type_mismatch = nullptr, int type = -1) {
        int n = 0;
        for (ObjectInstance* o = objects_queue_head; o; o = o->next) {
            if (o->slide != slide) continue;
            ++n;
            if (type_mismatch && o->object_type != type) ++*type_mismatch;
        }
        return n;
    }
};

class SlidesDepthTest : public SlidesTest, public ::testing::WithParamInterface<GraphicsFormat> {};

TEST_P(SlidesDepthTest, ScrollLeftAndWrapRepaintingTheSpare) {
    Open(GetParam());
    plasma_settings.background_mode = 0;  // a slide coming back is cleared
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    Mark_Slides();
    std::vector<int> f = Frame();
    EXPECT_EQ(Cols(f, 0, W), Span(0, W));
    EXPECT_EQ(Cols(f, W, W), Span(1, W));
    EXPECT_EQ(f[2 * W], -1);
    f = Frame();  // 10 pixels further left
    EXPECT_EQ(Cols(f, 0, 30), Span(0, 30));
    EXPECT_EQ(Cols(f, 30, W), Span(1, W));
    for (int i = 0; i < 3; ++i) f = Frame();
    EXPECT_EQ(Cols(f, 0, W), Span(1, W));  // slide 0 at -40, gone but not yet past the wrap test
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2}));
    f = Frame();  // -50: the spare is repainted and joins on the right
    EXPECT_EQ(Order(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Cols(f, 0, 30), Span(1, 30));
    EXPECT_EQ(Get(Hidden, 30, 5), 0u);  // slide 2 came back cleared
    EXPECT_FLOAT_EQ(slide_offset_x, -20.0f);
}

TEST_P(SlidesDepthTest, ScrollRightAndWrap) {
    Open(GetParam());
    plasma_settings.slide_direction = 1;  // "Slide Out"
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    Mark_Slides();
    std::vector<int> f = Frame();
    EXPECT_EQ(Cols(f, 0, W), Span(2, W));  // position 2 at the offset, position 1 to its left
    EXPECT_EQ(f[W], -1);
    f = Frame();
    EXPECT_EQ(Cols(f, 0, 10), Span(1, 10));
    EXPECT_EQ(Cols(f, 10, W), Span(2, W));
    f = Frame();
    f = Frame();
    f = Frame();  // offset 40: wrap first
    EXPECT_EQ(Order(), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(Cols(f, 0, W), Span(1, W));
    EXPECT_FLOAT_EQ(slide_offset_x, 10.0f);
}

INSTANTIATE_TEST_SUITE_P(Depths, SlidesDepthTest, ::testing::ValuesIn(every_graphics_format), Graphics_Format_Name);

TEST_F(SlidesTest, RotationsTurnTheOrderBothWays) {
    Rotate_Slides_Left();
    EXPECT_EQ(Order(), (std::vector<int>{1, 2, 0}));
    Rotate_Slides_Right();
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2}));
    Rotate_Slides_Right();
    EXPECT_EQ(Order(), (std::vector<int>{2, 0, 1}));
    Rotate_Slides_Right();
    Rotate_Slides_Right();
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2}));
}

TEST_F(SlidesTest, SpeedZeroStandsStillOnTheFirstSlideWithEveryObject) {
    Open(every_graphics_format[5]);
    plasma_settings.slide_speed = 0.0;
    plasma_settings.slide_direction = 1;  // ignored while the slides stand still
    plasma_settings.object_frequency[0] = 3;
    plasma_settings.object_frequency[1] = 2;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 0.0), 1);
    EXPECT_EQ(Instances_On(slides[0]), 5);
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) EXPECT_FALSE(o->dx == 0 && o->dy == 0);
    plasma_settings.object_frequency[0] = plasma_settings.object_frequency[1] = 0;
    Shutdown_Colour_Slides();
    ASSERT_EQ(Setup_Colour_Slides(W, W, 0.0), 1);
    Mark_Slides();
    for (int i = 0; i < 4; ++i) {
        std::vector<int> f = Frame();
        EXPECT_EQ(Cols(f, 0, W), Span(0, W));
        EXPECT_EQ(f[W], -1);
    }
    EXPECT_EQ(slide_offset_x, 0.0f);
    EXPECT_EQ(slide_moving_right, 0);
}

TEST_F(SlidesTest, TheStepFollowsTheSetUpSpeedWholeAndTheSecondSlideOnlyAMovingOne) {
    Open(every_graphics_format[5]);
    struct Case {
        const char* name;
        double setup_speed;  // slide_step_speed
        double speed_now;    // the preset's slide_speed at the frame
        int ignore_fps;
        float offset_after;  // after one frame from 0
        bool second_shown;
    };
    const Case cases[] = {
        {"per frame", 100.0, 100.0, 1, -10.0f, true},
        {"per second", 100.0, 100.0, 0, -1.0f, true},     // frame_seconds 0.01
        {"stopped later", 100.0, 0.0, 1, -10.0f, false},  // the set-up speed still steps
        {"faster than a slide", 1000.0, 1000.0, 1, -100.0f, true},
    };
    for (const Case& c : cases) {
        Shutdown_Colour_Slides();
        plasma_settings.slide_speed = c.setup_speed;
        plasma_settings.slide_ignore_fps = c.ignore_fps;
        ASSERT_EQ(Setup_Colour_Slides(W, W, c.setup_speed), 1) << c.name;
        plasma_settings.slide_speed = c.speed_now;
        slide_offset_x = -5.0f;  // part-way: the second slide would show from x 35
        Mark_Slides();
        std::vector<int> f = Frame();
        EXPECT_EQ(f[W - 5 + 2], c.second_shown ? 1 : -1) << c.name;
        EXPECT_FLOAT_EQ(slide_offset_x, -5.0f + c.offset_after) << c.name;
    }
}

TEST_F(SlidesTest, AWrapMovesTheOffsetBeforeTheSpareIsRepainted) {
    Open(every_graphics_format[5]);
    plasma_settings.background_mode = 2;  // the spare is repainted with a gradient
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    slide_offset_x = -45.0f;                                            // the first slide has gone: this frame wraps
    Partial_HLS_Gradient(slides[slide_order[2]], 0, 0, W, W, 1, 0, 1);  // a gradient under way on the spare
    dd_faults.get_dc = DDERR_GENERIC;
    Fill(Hidden, MARK);
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);
    dd_faults.get_dc = DD_OK;
    EXPECT_TRUE(Reported("Draw_Slides_Left(): Paint On Slide FAILED"));
    EXPECT_FLOAT_EQ(slide_offset_x, -5.0f);
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2}));
}

TEST_F(SlidesTest, TheRemixGivesEachTypeAsManyInstancesAsTheSetUp) {
    Open(every_graphics_format[5]);
    plasma_settings.slide_speed = 0.0;
    plasma_settings.object_frequency[0] = 5000;  // from a file: far past the dialog's 200
    plasma_settings.object_frequency[1] = 3;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 0.0), 1);
    auto count = [](int type) {
        int n = 0;
        for (ObjectInstance* o = objects_queue_head; o; o = o->next) n += o->object_type == type;
        return n;
    };
    EXPECT_EQ(count(0), MAX_OBJECT_FREQUENCY);
    EXPECT_EQ(count(1), 3);
    ASSERT_EQ(Remix_Objects(slides[0], W, W), 1);
    EXPECT_EQ(count(0), MAX_OBJECT_FREQUENCY);
    EXPECT_EQ(count(1), 3);
}

TEST_F(SlidesTest, MovingSlidesShareTheInstancesOut) {
    Open(every_graphics_format[5]);
    plasma_settings.object_frequency[0] = 4;
    plasma_settings.object_frequency[1] = 2;
    plasma_settings.object_selected[1] = 0;  // not selected: no instances
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    EXPECT_EQ(Instances_On(slides[0]), 2);
    EXPECT_EQ(Instances_On(slides[1]), 1);
    EXPECT_EQ(Instances_On(slides[2]), 1);
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) EXPECT_EQ(o->object_type, 0);
    // A frequency beyond the dialog's 200 from a damaged preset is held there.
    Shutdown_Colour_Slides();
    EXPECT_EQ(objects_queue_head, nullptr);
    plasma_settings.object_frequency[0] = 2000000000;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    EXPECT_EQ(Instances_On(slides[0]) + Instances_On(slides[1]) + Instances_On(slides[2]), 200);
}

// Alternating every second with frames of a quarter second: every turn waits
// for a slide boundary, the picture never breaks (each frame is the last one
// moved by one step) and the tile is always covered.
TEST_F(SlidesTest, AlternateTurnsOnlyAtSlideBoundariesWithoutABreak) {
    Open(every_graphics_format[5]);
    plasma_settings.slide_direction = 2;
    plasma_settings.direction_change_frequency = 1;
    plasma_settings.slide_speed = 70.0;  // 7 pixels a frame: boundaries fall between frames
    frame_seconds = 0.25;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 70.0), 1);
    Mark_Slides();
    std::vector<int> previous;
    int previous_right = 0, turns = 0;
    for (int frame = 0; frame < 80; ++frame) {
        const bool at_boundary =
            slide_moving_right ? std::trunc(slide_offset_x) >= W : std::trunc(slide_offset_x) + W < 0;
        const double timer = direction_timer + frame_seconds;
        const int was_right = slide_moving_right;
        const std::vector<int> f = Frame();
        if (slide_moving_right != was_right) {
            ++turns;
            EXPECT_TRUE(at_boundary) << "frame " << frame;
            EXPECT_GT(std::trunc(timer), 1.0);
            EXPECT_EQ(direction_timer, 0.0);
        }
        for (int x = 0; x < W; ++x) ASSERT_GE(f[x], 0) << "frame " << frame << " column " << x;
        if (!previous.empty()) {
            const int shift = previous_right ? -7 : 7;  // where last frame's step took the picture
            for (int x = 7; x < W - 7; ++x) ASSERT_EQ(f[x], previous[x + shift]) << "frame " << frame << " x " << x;
        }
        previous = f;
        previous_right = slide_moving_right;
    }
    EXPECT_GE(turns, 4);
}

TEST_F(SlidesTest, RandomTurnsRestartTheTimerWithinHalfTheInterval) {
    Open(every_graphics_format[5]);
    plasma_settings.slide_direction = 3;
    plasma_settings.direction_change_frequency = 10;
    frame_seconds = 3.0;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    int turns = 0;
    for (int frame = 0; frame < 60; ++frame) {
        const int was_right = slide_moving_right;
        ASSERT_EQ(Draw_Slides(Hidden, 0, 0), 1);
        if (slide_moving_right != was_right) {
            ++turns;
            EXPECT_GE(direction_timer, 0.0);
            EXPECT_LT(direction_timer, 5.0);
            EXPECT_EQ(direction_timer, std::floor(direction_timer));
        }
    }
    EXPECT_GE(turns, 3);
}

// The user changing "Slide In" to "Slide Out" part-way through a slide: the
// picture carries on from where it was, now moving the other way.
TEST_F(SlidesTest, ChangingDirectionMidSlideKeepsThePicture) {
    Open(every_graphics_format[5]);
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    Mark_Slides();
    Frame();
    const std::vector<int> before = Frame();  // then the picture moves 10 to the left
    plasma_settings.slide_direction = 1;
    std::vector<int> after = Frame();
    for (int x = 0; x < W - 10; ++x) EXPECT_EQ(after[x], before[x + 10]) << x;
    for (int x = 0; x < W; ++x) EXPECT_GE(after[x], 0);
    const std::vector<int> later = Frame();  // and now 10 to the right
    for (int x = 10; x < W; ++x) EXPECT_EQ(later[x], after[x - 10]) << x;
    plasma_settings.slide_direction = 0;
    after = Frame();
    for (int x = 0; x < W; ++x) EXPECT_GE(after[x], 0);
}

// ---------------------------------------------------------------------------
// The gradient

TEST_F(SlidesTest, GradientRunsOverSeveralCalls) {
    Open(every_graphics_format[5]);
    plasma_settings.background_mode = 2;
    plasma_settings.background_brightness = 150;
    Surface* a = Make(100, 20);
    last_end_hue = 17;
    EXPECT_EQ(Partial_HLS_Gradient(a, 0, 0, 100, 20, 1, 0, 10), 0);  // ten columns: not finished
    EXPECT_EQ(gradient_start_hue, 17);
    EXPECT_GE(std::abs(int(gradient_end_hue) - 17), 32);
    EXPECT_EQ(hue_interval, std::max(1, 100 / std::abs(int(gradient_end_hue) - 17)));
    EXPECT_EQ(gradient_light, 150);
    EXPECT_EQ(gradient_column, 10);
    EXPECT_EQ(Get(a, 0, 0), Colour_To_Pixel(a, HLS_To_RGB(17, 150, 100)));
    EXPECT_EQ(Get(a, 0, 19), Get(a, 0, 0));
    EXPECT_NE(Get(a, 9, 7), 0u);
    EXPECT_EQ(Get(a, 10, 7), 0u);
    EXPECT_EQ(Partial_HLS_Gradient(a, 0, 0, 100, 20, 1, 0, 500), 1);
    EXPECT_EQ(gradient_restart, 1);
    EXPECT_NE(Get(a, 99, 7), 0u);
    if (std::abs(int(gradient_end_hue) - 17) <= 100) {
        EXPECT_EQ(last_end_hue, gradient_end_hue);
    }
}

// Hues whose colour at a lightness is this pixel.
std::vector<int> Hues_Of(Surface* s, uint32_t pixel, int light) {
    std::vector<int> hues;
    for (int h = 0; h < 256; ++h)
        if (Colour_To_Pixel(s, HLS_To_RGB(h, light, 100)) == pixel) hues.push_back(h);
    return hues;
}

bool Joined(Surface* left, Surface* right, int light) {
    for (int l : Hues_Of(left, Pixel_Read(left, left->width - 1, 0), light))
        for (int r : Hues_Of(right, Pixel_Read(right, 0, 0), light))
            if (std::abs(l - r) <= 1) return true;
    return false;
}

// Slides narrower than the hue's travel (at least 32) never reach the planned
// end; the next gradient still starts where the last one got to.
TEST_F(SlidesTest, GradientsJoinEvenWhenTooSteepToFinish) {
    Open(every_graphics_format[5]);
    plasma_settings.background_mode = 2;
    plasma_settings.background_brightness = 150;
    Surface* s[4] = {Make(20, 4), Make(20, 4), Make(20, 4), Make(20, 4)};
    for (int i = 0; i < 4; ++i) {
        const int start = static_cast<int>(last_end_hue);
        ASSERT_EQ(Partial_HLS_Gradient(s[i], 0, 0, 20, 4, 1, 0, 20), 1);
        EXPECT_EQ(Get(s[i], 0, 0), Colour_To_Pixel(s[i], HLS_To_RGB(start, 150, 100)));
        EXPECT_EQ(std::abs(static_cast<int>(last_end_hue) - start), 20);  // one unit a column
        if (i > 0) {
            EXPECT_TRUE(Joined(s[i - 1], s[i], 150)) << i;
        }
    }
}

TEST_F(SlidesTest, GradientLightnessWandersAndNeverHangs) {
    Open(every_graphics_format[5]);
    plasma_settings.background_mode = 2;
    plasma_settings.background_brightness = 200;
    Surface* a = Make(50, 4);
    for (int i = 0; i < 20; ++i) {
        const uint32_t start = last_end_light;
        ASSERT_EQ(Partial_HLS_Gradient(a, 0, 0, 50, 4, 1, 1, 50), 1);
        EXPECT_EQ(gradient_light_start, start);
        EXPECT_GE(std::abs(int(gradient_light_end) - int(start)), 33);
        EXPECT_LE(gradient_light_end, 200);
        EXPECT_EQ(last_end_light, gradient_light);  // the next one starts where this got to
    }
    // Dimmed below what a 33-step move allows: the farther end is taken.
    plasma_settings.background_brightness = 20;
    last_end_light = 10;
    ASSERT_EQ(Partial_HLS_Gradient(a, 0, 0, 50, 4, 1, 1, 50), 1);
    EXPECT_EQ(gradient_light_end, 20);
    plasma_settings.background_brightness = -5;  // a damaged preset
    ASSERT_EQ(Partial_HLS_Gradient(a, 0, 0, 50, 4, 1, 1, 50), 1);
    EXPECT_EQ(gradient_light_end, 0);
}

TEST_F(SlidesTest, GradientRefusalsAndFailures) {
    Open(every_graphics_format[5]);
    Surface* a = Make(30, 30);
    plasma_settings.background_mode = 1;
    EXPECT_EQ(Partial_HLS_Gradient(a, 0, 0, 30, 30, 1, 0, 30), 1);  // not the gradient background
    EXPECT_EQ(Get(a, 0, 0), 0u);
    plasma_settings.background_mode = 2;
    EXPECT_EQ(Partial_HLS_Gradient(nullptr, 0, 0, 30, 30, 1, 0, 30), 0);
    EXPECT_EQ(Partial_HLS_Gradient(a, 0, 0, 30, 30, 1, 0, 0), 0);  // no columns: started, nothing painted
    EXPECT_EQ(gradient_restart, 0);
    EXPECT_EQ(Get(a, 0, 0), 0u);
    dd_faults.get_dc = DDERR_GENERIC;
    EXPECT_EQ(Partial_HLS_Gradient(a, 0, 0, 30, 30, 1, 0, 30), 0);
    EXPECT_EQ(Last_Report(), "Partial_HLS_Gradient() Unable to Acquire device context from surface");
    dd_faults.get_dc = DD_OK;
    EXPECT_EQ(Partial_HLS_Gradient(a, 0, 0, 30, 31, 1, 0, 30), 0);  // one row more than the surface
    EXPECT_EQ(Last_Report(), "Partial_HLS_Gradient:set pixel failed at x0 y30\nwidth = 30 height = 31");
    EXPECT_EQ(a->lock_count, 0);
}

// The gradient's colour is the HLS colour as the depth stores it.
TEST_P(SlidesDepthTest, GradientColourAtEveryDepth) {
    Open(GetParam());
    plasma_settings.background_mode = 2;
    plasma_settings.background_variable = 0;
    plasma_settings.background_brightness = 120;
    last_end_hue = 40;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    EXPECT_EQ(Get(slides[0], 0, 0), Colour_To_Pixel(slides[0], HLS_To_RGB(40, 120, 100)));
    EXPECT_EQ(gradient_restart, 1);  // all three painted whole during set-up
}

TEST_F(SlidesTest, SetupPaintsThreeJoinedGradientsAndTheSpareGetsANewOne) {
    Open(every_graphics_format[5]);
    plasma_settings.background_mode = 2;
    plasma_settings.background_variable = 0;
    plasma_settings.background_brightness = 120;
    ASSERT_EQ(Setup_Colour_Slides(100, 100, 100.0), 1);
    for (int i = 0; i < SLIDE_COUNT; ++i)
        for (int x = 0; x < 100; ++x) ASSERT_NE(Get(slides[i], x, 50), 0u) << i << " " << x;
    for (int i = 0; i + 1 < SLIDE_COUNT; ++i) EXPECT_TRUE(Joined(slides[i], slides[i + 1], 120)) << i;
    // At the first wrap a new gradient begins on the new spare and goes on a
    // few columns a frame (speed 100 x 0.01 s + 2 = 3).
    for (int f = 0; f < 12 && slide_order[0] == 0; ++f) ASSERT_EQ(Draw_Slides(Hidden, 0, 0), 1);
    ASSERT_EQ(Order(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(gradient_restart, 0);
    EXPECT_EQ(gradient_column, 1);
    ASSERT_EQ(Draw_Slides(Hidden, 0, 0), 1);
    EXPECT_EQ(gradient_column, 4);
}

// ---------------------------------------------------------------------------
// Zones, fades, moving backgrounds

TEST_F(SlidesTest, ZonesTurnASlidesObjectsIntoOneType) {
    Open(every_graphics_format[5]);
    plasma_settings.object_frequency[0] = 6;
    plasma_settings.object_frequency[1] = 6;
    plasma_settings.zone_duration = 5;
    plasma_settings.zone_frequency = 2000000000;  // no new zone by chance
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    const int on_slide = Instances_On(slides[0]);
    ASSERT_GT(on_slide, 0);

    zone_countdown = 3;
    zone_type = 1;
    zone_frame = 0;
    ASSERT_EQ(Paint_On_Slide(0), 1);
    EXPECT_EQ(zone_countdown, 2);
    int wrong = 0;
    EXPECT_EQ(Instances_On(slides[0], &wrong, 1), on_slide);
    EXPECT_EQ(wrong, 0);

    // The zone over: the objects are remixed by frequency again.
    zone_countdown = 1;
    ASSERT_EQ(Paint_On_Slide(0), 1);
    EXPECT_EQ(zone_countdown, 0);
    wrong = 0;
    Instances_On(slides[0], &wrong, 1);
    EXPECT_GT(wrong, 0);

    // Always a chance of a zone: once one is picked the whole slide takes it.
    plasma_settings.zone_frequency = 0;
    bool started = false;
    for (int attempt = 0; attempt < 30 && !started; ++attempt) {
        zone_countdown = 0;
        zone_type = -1;
        ASSERT_EQ(Paint_On_Slide(0), 1);
        if (zone_type < 0) continue;
        started = true;
        EXPECT_GE(zone_countdown, 0);
        EXPECT_LT(zone_countdown, 5);
        wrong = 0;
        Instances_On(slides[0], &wrong, zone_type);
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_TRUE(started);

    // Without zones a repaint only scatters: types stay, places change.
    plasma_settings.zone_duration = 0;
    std::vector<int> types;
    std::vector<float> xs;
    for (ObjectInstance* o = objects_queue_head; o; o = o->next)
        if (o->slide == slides[1]) types.push_back(o->object_type), xs.push_back(o->x + 1000 * o->y);
    ASSERT_EQ(Paint_On_Slide(1), 1);
    int moved = 0;
    size_t k = 0;
    for (ObjectInstance* o = objects_queue_head; o; o = o->next) {
        if (o->slide != slides[1]) continue;
        EXPECT_EQ(o->object_type, types[k]);
        moved += o->x + 1000 * o->y != xs[k];
        ++k;
    }
    EXPECT_GT(moved, 0);
}

TEST_F(SlidesTest, FadeDarkensTheFirstSlideOnlyWhenAsked) {
    for (int format : {5, 2, 0}) {  // 32, 16, 8 (no fade at 8 bits)
        Restart_All();
        Open(every_graphics_format[format]);
        ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
        const uint32_t grey = format == 5 ? 0x808080u : format == 2 ? 0x8410u : 100u;
        for (int i = 0; i < SLIDE_COUNT; ++i) Fill(slides[i], grey);
        ASSERT_EQ(Draw_Slides(Hidden, 0, 0), 1);
        EXPECT_EQ(Get(slides[0], 5, 5), grey);  // all three 0: no fade
        plasma_settings.fade_light = 40;
        ASSERT_EQ(Draw_Slides(Hidden, 0, 0), 1);
        if (format == 0) {
            EXPECT_EQ(Get(slides[0], 5, 5), grey);
        } else {
            EXPECT_NE(Get(slides[0], 5, 5), grey);
            EXPECT_EQ(Get(Hidden, 5, 5), Get(slides[0], 5, 5));  // faded before it is shown
        }
        EXPECT_EQ(Get(slides[1], 5, 5), grey);
        plasma_settings.fade_light = 0;
    }
}

TEST_F(SlidesTest, SineWaveBackgroundIsDrawnOnBothShownSlides) {
    Open(every_graphics_format[5]);
    PlasmaSettings& s = plasma_settings;
    s.background_mode = 5;
    s.sine_pixels_per_frame = 1;
    s.sine_amplitude = 0;
    s.sine_variance = 0;
    s.sine_band_width = 4;
    s.sine_clear_screen = 0;
    s.sine_multicolour = 0;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    ASSERT_EQ(Draw_Slides(Hidden, 0, 0), 1);
    const int row = (2 * W) / 5 + 2;  // the band's peak row
    EXPECT_EQ(Get(slides[0], 3, row), 128u << 16);
    EXPECT_EQ(Get(slides[1], 3, row), 128u << 16);
    EXPECT_EQ(Get(slides[2], 3, row), 0u);
    EXPECT_EQ(Get(Hidden, 3, row), 128u << 16);
}

// ---------------------------------------------------------------------------
// Lost slides, set-up and failures

TEST_F(SlidesTest, LostSlidesAreRestoredAndRepainted) {
    Open(every_graphics_format[5]);
    plasma_settings.background_mode = 0;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    Mark_Slides();
    slides[1]->lost = true;
    Fill(Hidden, MARK);
    ASSERT_EQ(Draw_Slides(Hidden, 0, 0), 1);
    EXPECT_FALSE(slides[1]->lost);
    EXPECT_EQ(Get(slides[1], 0, 0), 0u);  // repainted: cleared for "No Background"
    EXPECT_EQ(Get(slides[0], 0, 0), Mark_Of(0));
    EXPECT_EQ(Get(Hidden, W + 1, 3), 0u);

    // Everything lost at once, the target too.
    DD_Lose_All_Surfaces();
    ASSERT_EQ(Draw_Slides(Hidden, 0, 0), 1);
    for (Surface* slide : slides) EXPECT_FALSE(slide->lost);
    EXPECT_FALSE(Hidden->lost);

    dd_faults.restore_fails = true;
    slides[2]->lost = true;
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);
    EXPECT_EQ(Last_Report(), "Draw_Slides(): Draw_Slides_Left FAILED");
    dd_faults.restore_fails = false;
    EXPECT_EQ(Restore_All_Lost_Slides(), 1);
    EXPECT_EQ(slides_active, 1);
}

TEST_F(SlidesTest, ARepaintFailureAfterARestoreIsReported) {
    Open(every_graphics_format[5]);
    plasma_settings.background_mode = 2;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    Partial_HLS_Gradient(slides[2], 0, 0, W, W, 1, 0, 1);  // a gradient under way
    slides[1]->lost = true;
    dd_faults.get_dc = DDERR_GENERIC;
    EXPECT_EQ(Restore_All_Lost_Slides(), 0);
    EXPECT_TRUE(Reported("Partial_HLS_Gradient() Unable to Acquire device context from surface"));
    EXPECT_EQ(Last_Report(), "Restore_All_Lost_Slides(): Paint_On_Slide 1 FAILED");
}

TEST_F(SlidesTest, SetupRefusalsAndFailuresLeaveNothingBehind) {
    Open(every_graphics_format[5]);
    const int surfaces = DD_Live_Surface_Count();
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);  // off: the kaleidoscope draws the plasma
    EXPECT_EQ(Setup_Colour_Slides(0, 10, 1.0), 0);
    EXPECT_EQ(Last_Report(), "Setup_Colour_Slides(): INVALID width 0 height 10");

    dd_faults.create_surface = DDERR_OUTOFMEMORY;
    dd_faults.create_surface_after = 1;
    EXPECT_EQ(Setup_Colour_Slides(W, 30, 1.0), 0);
    EXPECT_EQ(Last_Report(), "Setup_Colour_Slides():Error Creating slide # 1\nwidth 40 height 30");
    EXPECT_EQ(DD_Live_Surface_Count(), surfaces);
    EXPECT_EQ(slides[0], nullptr);
    dd_faults.create_surface = DD_OK;

    plasma_settings.object_frequency[1] = 2;
    Objects_Data[1].frame_count = 0;  // a type this installation cannot show
    EXPECT_EQ(Setup_Colour_Slides(W, W, 1.0), 0);
    EXPECT_EQ(Last_Report(), "Setup_Colour_Slides(): Enqueue_Objects_Ex FAILED i 1 j 0");
    EXPECT_EQ(objects_queue_head, nullptr);
    EXPECT_EQ(DD_Live_Surface_Count(), surfaces);
    Objects_Data[1].frame_count = 1;

    ASSERT_EQ(Setup_Colour_Slides(W, W, 1.0), 1);
    EXPECT_EQ(slides_active, 1);
    EXPECT_EQ(DD_Live_Surface_Count(), surfaces + 3);
    platform_boxes.clear();
    EXPECT_EQ(Setup_Colour_Slides(W, W, 1.0), 0);  // already up: refused without a word
    EXPECT_TRUE(platform_boxes.empty());
    Shutdown_Colour_Slides();
    Shutdown_Colour_Slides();  // safe twice
    EXPECT_EQ(DD_Live_Surface_Count(), surfaces);
    EXPECT_EQ(objects_queue_head, nullptr);
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);
}

TEST_F(SlidesTest, SetupWithoutObjectFilesIsRefused) {
    Open_Display(every_graphics_format[5], 128, 96);
    TempFolder folder;
    app.windows_prefix = folder.path() + "/";
    EXPECT_EQ(Setup_Colour_Slides(W, W, 1.0), 0);
    EXPECT_EQ(Last_Report(), "Setup_Colour_Slides(): INVALID Number of Objects Loaded 0");
    EXPECT_EQ(slides[0], nullptr);
}

TEST_F(SlidesTest, FrameFailuresAreReportedByDirection) {
    Open(every_graphics_format[5]);
    plasma_settings.background_mode = 5;
    plasma_settings.sine_pixels_per_frame = 1;
    ASSERT_EQ(Setup_Colour_Slides(W, W, 100.0), 1);
    dd_faults.lock_answer = DDERR_INVALIDPARAMS;
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);
    EXPECT_TRUE(Reported("Draw_Slides_Left SIN WAVE to slide 0 FAILED"));
    EXPECT_EQ(Last_Report(), "Draw_Slides(): Draw_Slides_Left FAILED");
    plasma_settings.slide_direction = 1;
    platform_boxes.clear();
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);
    EXPECT_TRUE(Reported("Draw_Slides_Right SIN WAVE to slide 1 FAILED"));
    EXPECT_EQ(Last_Report(), "Draw_Slides(): Draw_Slides_Right FAILED");

    // A fade that cannot lock its slide.
    plasma_settings.background_mode = 1;
    plasma_settings.fade_hue = 3;
    plasma_settings.slide_direction = 0;
    platform_boxes.clear();
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);
    EXPECT_TRUE(Reported("Fade(): Fade_32 FAILED"));
    EXPECT_TRUE(Reported("Draw_Slides_Left(): Fade FAILED"));
    dd_faults.lock_answer = DD_OK;
    plasma_settings.fade_hue = 0;

    // A copy the device refuses: the left routine names it, the right one leaves it to the copy.
    dd_faults.blt_answer = DDERR_GENERIC;
    slide_offset_x = -10.0f;  // the first slide in view
    platform_boxes.clear();
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);
    EXPECT_TRUE(Reported("Draw_Slides_Left(): Clip Blit 1 FAILED"));
    plasma_settings.slide_direction = 1;
    platform_boxes.clear();
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 0);
    ASSERT_EQ(platform_boxes.size(), 2u);
    EXPECT_EQ(platform_boxes[1].text, "Draw_Slides(): Draw_Slides_Right FAILED");
    dd_faults.blt_answer = DD_OK;
    EXPECT_EQ(Draw_Slides(Hidden, 0, 0), 1);
}

}  // namespace
