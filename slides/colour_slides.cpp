// The colour slides.
//
// Three slides take turns: two are shown side by side at the reference
// offset, the third waits off-screen. Moving left, the slide at position 0
// leaves on the left; once it is gone completely it becomes the spare, and
// the old spare, repainted, comes in on the right. Moving right is the
// mirror image. Backgrounds that move (plasma, sine waves) are redrawn on the
// shown slides every frame; the others are painted when a slide comes back,
// and the objects draw their trails over them.
#include "slides/colour_slides.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/error_log.h"
#include "base/frame_clock.h"
#include "base/random.h"
#include "graphics/blits.h"
#include "graphics/pixel_effects.h"
#include "graphics/surface.h"
#include "plasma/plasma_draw.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/gdi.h"
#include "platform/pixel_format.h"
#include "slides/sine_waves.h"
#include "slides/slide_objects.h"

Surface* slides[SLIDE_COUNT] = {};
int32_t slide_order[SLIDE_COUNT] = {0, 1, 2};
int32_t slide_width = 0;
int32_t slide_height = 0;
float slide_offset_x = 0.0f;
float slide_offset_y = 0.0f;
double slide_step_speed = 0.0;
int slides_active = 0;
int slide_moving_right = 0;
double direction_timer = 0.0;
int32_t zone_countdown = 0;
int32_t zone_type = 0;
int32_t zone_frame = 0;

int gradient_restart = 1;
uint8_t gradient_start_hue = 0;
uint8_t gradient_end_hue = 0;
uint8_t gradient_hue = 0;
uint8_t gradient_light_start = 0;
uint8_t gradient_light_end = 0;
uint8_t gradient_light = 0;
uint8_t gradient_saturation = 100;
int32_t gradient_column = 0;
int32_t hue_interval = 1;
int32_t light_interval = 1;
uint32_t last_end_hue = 0;
uint32_t last_end_light = 0;

// Background modes of the "Kaleidoscope Background" dialog.
static constexpr int BACKGROUND_NONE = 0;
static constexpr int BACKGROUND_GRADIENT = 2;
static constexpr int BACKGROUND_STILL_PLASMA = 3;
static constexpr int BACKGROUND_MOVING_PLASMA = 4;
static constexpr int BACKGROUND_SINE_WAVES = 5;
// Direction modes of the "Slide Direction" dialog.
static constexpr int DIRECTION_IN = 0;
static constexpr int DIRECTION_OUT = 1;
static constexpr int DIRECTION_ALTERNATE = 2;
// Positions in slide_order.
static constexpr int POSITION_0 = 0;
static constexpr int POSITION_1 = 1;
static constexpr int POSITION_2 = 2;
// Passes of the object shuffle after the instances are made.
static constexpr int SETUP_SHUFFLE_PASSES = 25;
// Hue and lightness of the gradient must move at least this far, so that
// every slide shows a visible ramp.
static constexpr int MIN_HUE_TRAVEL = 32;
static constexpr int MIN_LIGHT_TRAVEL = 33;
// Top of the HLS scale: brighter settings would wrap the lightness byte.
static constexpr int HLS_TOP = 252;
static constexpr uint8_t GRADIENT_SATURATION = 100;
// Step factor per frame when the preset ignores the frame rate.
static constexpr double FIXED_STEP_FACTOR = 0.1;

// How the slides are arranged now: -1 not drawn since set-up (the arrangement
// at offset 0 serves both directions), 0 for left, 1 for right.
static int arranged_direction = -1;

static bool Is_Lost(Surface* surface) { return Surface_IsLost(surface) == DDERR_SURFACELOST; }

// trunc(value) as an int, saturating instead of overflowing.
static int Whole(double value) {
    if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int>(value);
}

static Surface* At(int position) { return slides[slide_order[position]]; }

// ---------------------------------------------------------------------------
// The colour gradient

// A new lightness end for a wandering gradient: at least MIN_LIGHT_TRAVEL away
// from the start, within 0..brightness. When no such value exists (a low
// brightness after a bright gradient) the farther end of the range is taken
// instead of drawing for ever.
static int Draw_Light_End(int start, int brightness) {
    if (start - MIN_LIGHT_TRAVEL < 0 && start + MIN_LIGHT_TRAVEL > brightness)
        return start > brightness - start ? 0 : brightness;
    int end;
    do end = crt::rand() % (brightness + 1);
    while (std::abs(start - end) < MIN_LIGHT_TRAVEL);
    return end;
}

static void Start_Gradient(int x0, int width, int continue_hue, int variable_lightness) {
    const int start_hue = continue_hue == 1 ? static_cast<int>(last_end_hue & 0xFF) : crt::rand() % 256;
    int end_hue;
    do end_hue = crt::rand() % 256;
    while (std::abs(start_hue - end_hue) < MIN_HUE_TRAVEL);

    int brightness = plasma_settings.background_brightness;
    if (brightness < 0) brightness = 0;
    if (brightness > HLS_TOP) brightness = HLS_TOP;
    int start_light = gradient_light;
    int end_light = gradient_light_end;
    if (variable_lightness == 0) {
        start_light = brightness;
    } else if (variable_lightness == 1) {
        start_light = static_cast<int>(last_end_light & 0xFF);
        end_light = Draw_Light_End(start_light, brightness);
    }

    const int hue_travel = std::abs(start_hue - end_hue);
    const int light_travel = std::abs(start_light - end_light);
    // Columns per unit of travel; a lightness that stays put never steps.
    hue_interval = std::max(1, width / hue_travel);
    light_interval = light_travel == 0 ? std::max(1, width) : std::max(1, width / light_travel);

    gradient_start_hue = static_cast<uint8_t>(start_hue);
    gradient_end_hue = static_cast<uint8_t>(end_hue);
    gradient_light_start = static_cast<uint8_t>(start_light);
    gradient_light_end = static_cast<uint8_t>(end_light);
    gradient_hue = gradient_start_hue;
    gradient_light = gradient_light_start;
    gradient_saturation = GRADIENT_SATURATION;
    gradient_column = x0;
    gradient_restart = 0;
}

static uint8_t One_Step_Toward(uint8_t value, uint8_t target) {
    if (value < target) return static_cast<uint8_t>(value + 1);
    if (value > target) return static_cast<uint8_t>(value - 1);
    return value;
}

int Partial_HLS_Gradient(Surface* surface, int x0, int y0, int width, int height, int continue_hue,
                         int variable_lightness, int columns) {
    if (plasma_settings.background_mode != BACKGROUND_GRADIENT) return 1;
    if (!surface) return 0;
    if (gradient_restart) Start_Gradient(x0, width, continue_hue, variable_lightness);

    DeviceContext* dc = nullptr;
    if (Surface_GetDC(surface, &dc) != DD_OK) {
        Report_Error("Partial_HLS_Gradient() Unable to Acquire device context from surface");
        return 0;
    }
    if (columns < 1) {
        Surface_ReleaseDC(surface, dc);
        return 0;
    }
    // The context's pixels are written directly: one colour per column,
    // converted once, where a call per pixel would search the palette per pixel.
    for (int n = 0; n < columns; ++n) {
        if (gradient_column >= x0 + width) break;
        const COLORREF colour = HLS_To_RGB(gradient_hue, gradient_light, gradient_saturation) & 0x00FFFFFFu;
        const uint32_t pixel = Colour_To_Pixel(surface, colour);
        for (int y = y0; y < y0 + height; ++y) {
            if (gradient_column < 0 || gradient_column >= surface->width || y < 0 || y >= surface->height) {
                Report_Formatted("Partial_HLS_Gradient:set pixel failed at x%d y%d\nwidth = %d height = %d",
                                 gradient_column, y, width, height);
                Surface_ReleaseDC(surface, dc);
                return 0;
            }
            Pixel_Write(surface, gradient_column, y, pixel);
        }
        if (gradient_column % hue_interval == 0) gradient_hue = One_Step_Toward(gradient_hue, gradient_end_hue);
        if (variable_lightness == 1 && gradient_column % light_interval == 0)
            gradient_light = One_Step_Toward(gradient_light, gradient_light_end);
        ++gradient_column;
    }
    Surface_ReleaseDC(surface, dc);
    if (gradient_column < x0 + width) return 0;
    // The next gradient starts where this one has got to. A ramp steeper than
    // one unit per column cannot reach its planned end on the slide, and
    // starting the next one from that end would leave a seam between slides.
    gradient_restart = 1;
    last_end_hue = gradient_hue;
    last_end_light = gradient_light;
    return 1;
}

// ---------------------------------------------------------------------------
// Painting a slide

// A slide coming back into view: its background when that is painted once,
// then its objects, remixed or turned into a homogenous zone.
int Paint_On_Slide(int i) {
    if (i < 0 || i >= SLIDE_COUNT) return 0;
    Surface* slide = slides[i];
    if (!slide) return 0;
    if (Is_Lost(slide) && Surface_Restore(slide) != DD_OK) return 0;

    switch (plasma_settings.background_mode) {
    case BACKGROUND_NONE: Clear(slide); break;
    case BACKGROUND_GRADIENT:
        // Finish the gradient begun on this slide while it waited off-screen.
        if (!gradient_restart &&
            !Partial_HLS_Gradient(slide, 0, 0, slide_width, slide_height, 1, plasma_settings.background_variable,
                                  slide_width > slide_height ? slide_width : slide_height))
            return 0;
        break;
    case BACKGROUND_STILL_PLASMA:
        if (!Draw_Plasma(slide, 0, 0)) {
            Report_Error("Draw_Kaleidoscope():Unable to draw plasma");
            return 0;
        }
        break;
    default: break;  // gradual fill, moving plasma and sine waves are drawn while shown
    }

    if (plasma_settings.slide_speed != 0.0 && plasma_settings.zone_duration != 0) {
        // The zone counts repaints, not seconds.
        if (zone_countdown > 0) --zone_countdown;
        if (zone_countdown > 0) {
            Make_Object_Zone(slide, slide_width, slide_height, zone_type, zone_frame);
        } else {
            Remix_Objects(slide, slide_width, slide_height);
            const int64_t chance = static_cast<int64_t>(plasma_settings.zone_frequency) + 1;
            int type = 0, frame = 0;
            if (crt::rand() % (chance > 1 ? chance : 1) == 0 && Pick_Random_Object(&type, &frame)) {
                const int duration = plasma_settings.zone_duration;
                zone_countdown = crt::rand() % (duration > 1 ? duration : 1);
                zone_type = type;
                zone_frame = frame;
                Make_Object_Zone(slide, slide_width, slide_height, zone_type, zone_frame);
            }
        }
        Draw_All_Objects_Ex(slide);
        return 1;
    }
    Scatter_Objects(slide, slide_width, slide_height);
    return 1;
}

int Restore_All_Lost_Slides() {
    for (int i = 0; i < SLIDE_COUNT; ++i) {
        if (!slides[i] || !Is_Lost(slides[i])) continue;
        if (Surface_Restore(slides[i]) != DD_OK) return 0;
        if (!Paint_On_Slide(i)) {
            Report_Formatted("Restore_All_Lost_Slides(): Paint_On_Slide %d FAILED", i);
            return 0;
        }
    }
    return 1;
}

void Rotate_Slides_Left() {
    const int32_t first = slide_order[POSITION_0];
    slide_order[POSITION_0] = slide_order[POSITION_1];
    slide_order[POSITION_1] = slide_order[POSITION_2];
    slide_order[POSITION_2] = first;
}

void Rotate_Slides_Right() {
    const int32_t last = slide_order[POSITION_2];
    slide_order[POSITION_2] = slide_order[POSITION_1];
    slide_order[POSITION_1] = slide_order[POSITION_0];
    slide_order[POSITION_0] = last;
}

// ---------------------------------------------------------------------------
// One frame in either direction

// What differs between the two directions: where the slides sit and what the
// failures say (a null text: the failure is not reported here).
struct Direction {
    int first;          // position drawn at slide_offset_x and faded
    int second;         // position drawn beside it
    int spare;          // position waiting off-screen
    int background_a;   // positions whose moving background and objects are drawn
    int background_b;   // ... this one only while the slides move
    int second_offset;  // -1 or +1 slide widths from the first
    const char* plasma_a;
    const char* plasma_b;
    const char* sine_a;
    const char* sine_b;
    const char* objects;
    const char* fade;
    const char* blit_1;
    const char* blit_2;
};

static const Direction LEFT = {
    POSITION_0,
    POSITION_1,
    POSITION_2,
    POSITION_0,
    POSITION_1,
    +1,
    "Draw_Slides_LeftUnable to draw plasma",
    "Draw_Slides_Left:Unable to draw plasma",
    "Draw_Slides_Left SIN WAVE to slide 0 FAILED",
    "Draw_Slides_Left SIN WAVE to slide 1 FAILED",
    "Draw_Slides_Left: Draw_All_Objects_Ex FAILED",
    "Draw_Slides_Left(): Fade FAILED",
    "Draw_Slides_Left(): Clip Blit 1 FAILED",
    "Draw_Slides_Left(): Clip Blit 2 FAILED",
};

static const Direction RIGHT = {
    POSITION_2,
    POSITION_1,
    POSITION_0,
    POSITION_1,
    POSITION_2,
    -1,
    "Draw_Kaleidoscope():Unable to draw plasma",
    "Draw_Kaleidoscope():Unable to draw plasma",
    "Draw_Slides_Right SIN WAVE to slide 1 FAILED",
    "Draw_Slides_Right SIN WAVE to slide 2 FAILED",
    "Draw_Slides_Right: Draw_All_Objects_Ex FAILED",
    "Draw_Slides_Right(): Fade FAILED",
    nullptr,
    nullptr,
};

static int Fail(const char* text) {
    if (text) Report_Error(text);
    return 0;
}

// The slides, the target and everything they need are usable.
static bool Ready(Surface* target) {
    if (!slides_active || !Restore_All_Lost_Slides()) return false;
    if (!target) return false;
    if (!Is_Lost(target)) return true;
    if (Restore_All_Surfaces() && !Is_Lost(target)) return true;
    return Surface_Restore(target) == DD_OK;
}

static double Gradient_Columns_Per_Frame() {
    const double columns = frame_seconds * plasma_settings.slide_speed + 2.0;
    if (!(columns >= 0.0)) return 0.0;
    return columns > slide_width ? slide_width : columns;
}

// Pixels the slides move this frame: the speed they were set up with, per
// tenth of a second or per second of the frame. A step is never cut: one
// frame of a fast slide may pass more than a slide, and the wraps then catch
// up one per frame (the offset is only ever read through Whole, which
// saturates, so no speed can make it undefined).
static double Slide_Step() {
    return plasma_settings.slide_ignore_fps ? slide_step_speed * FIXED_STEP_FACTOR : slide_step_speed * frame_seconds;
}

// The moving backgrounds and the objects of the shown slides.
static int Draw_Shown_Slides(const Direction& d) {
    Surface* a = At(d.background_a);
    Surface* b = At(d.background_b);
    const double speed = plasma_settings.slide_speed;
    const int mode = plasma_settings.background_mode;
    if (mode == BACKGROUND_MOVING_PLASMA || mode == BACKGROUND_SINE_WAVES) {
        if (mode == BACKGROUND_MOVING_PLASMA) {
            if (!Draw_Plasma(a, 0, 0)) return Fail(d.plasma_a);
            if (speed != 0.0 && !Draw_Plasma(b, 0, 0)) return Fail(d.plasma_b);
        } else {
            if (!Sine_Wave(a, slide_width, slide_height)) return Fail(d.sine_a);
            if (speed != 0.0 && !Sine_Wave(b, slide_width, slide_height)) return Fail(d.sine_b);
        }
        if (!Draw_All_Objects_Ex(a)) return Fail(d.objects);
        if (speed != 0.0 && !Draw_All_Objects_Ex(b)) return Fail(d.objects);
        return 1;
    }
    // Still backgrounds keep their picture unless something on them changes.
    if (!any_object_moves && !any_object_animates) return 1;
    if (mode == BACKGROUND_NONE) {
        Clear(a);
        Clear(b);
    }
    if (!Draw_All_Objects_Ex(a)) return Fail(d.objects);
    if (speed > 0.0 && !Draw_All_Objects_Ex(b)) return Fail(d.objects);
    return 1;
}

// Moving left, the first slide has gone completely; moving right, likewise
// on the right.
static bool Wrap_Due_Left(int x0) { return Whole(slide_offset_x) + slide_width < x0; }
static bool Wrap_Due_Right(int x0) { return Whole(slide_offset_x) >= slide_width + x0; }

// The offset moves back by a slide, the spare coming into view is repainted
// (a failure ends the frame, and with it the program), and the new spare
// starts the next gradient, which is then painted a few columns a frame.
static int Wrap_Left() {
    slide_offset_x += static_cast<float>(slide_width);
    if (!Paint_On_Slide(slide_order[LEFT.spare])) return 0;
    Rotate_Slides_Left();
    Partial_HLS_Gradient(At(LEFT.spare), 0, 0, slide_width, slide_height, 1, plasma_settings.background_variable, 1);
    return 1;
}

static void Wrap_Right() {
    Paint_On_Slide(slide_order[RIGHT.spare]);
    slide_offset_x -= static_cast<float>(slide_width);
    Rotate_Slides_Right();
    Partial_HLS_Gradient(At(RIGHT.spare), 0, 0, slide_width, slide_height, 1, plasma_settings.background_variable, 1);
}

static int Draw_Direction(Surface* target, int x0, int y0, const Direction& d) {
    if (!Ready(target)) return 0;
    arranged_direction = d.second_offset > 0 ? 0 : 1;

    if (!gradient_restart)
        Partial_HLS_Gradient(At(d.spare), 0, 0, slide_width, slide_height, 1, plasma_settings.background_variable,
                             Whole(Gradient_Columns_Per_Frame()));

    if (!Draw_Shown_Slides(d)) return 0;

    if (&d == &LEFT) {
        if (Wrap_Due_Left(x0) && !Wrap_Left()) return Fail("Draw_Slides_Left(): Paint On Slide FAILED");
    } else if (Wrap_Due_Right(x0)) {
        Wrap_Right();
    }

    const PlasmaSettings& s = plasma_settings;
    if ((s.fade_light != 0 || s.fade_hue != 0 || s.fade_saturation != 0) &&
        !Fade(At(d.first), x0, y0, slide_width, slide_height, s.fade_light, s.fade_hue, s.fade_saturation))
        return Fail(d.fade);

    const int x = Whole(slide_offset_x);
    const int y = Whole(slide_offset_y);
    if (!Clip_Blit(At(d.first), target, 0, 0, x, y, slide_width, slide_height)) return Fail(d.blit_1);
    // Moving left the second slide follows only while the slides move.
    const bool second_shown = &d == &RIGHT || s.slide_speed > 0.0;
    if (second_shown &&
        !Clip_Blit(At(d.second), target, 0, 0, x + d.second_offset * slide_width, y, slide_width, slide_height))
        return Fail(d.blit_2);

    const double step = Slide_Step();
    slide_offset_x += static_cast<float>(&d == &LEFT ? -step : step);
    return 1;
}

int Draw_Slides_Left(Surface* target, int x0, int y0) { return Draw_Direction(target, x0, y0, LEFT); }

int Draw_Slides_Right(Surface* target, int x0, int y0) { return Draw_Direction(target, x0, y0, RIGHT); }

// Re-expresses the arrangement for the other direction without moving the
// picture: the two slides in view stay where they are and the spare stays
// spare. A wrap that is due is made first, so the pair covers the tile.
static int Rearrange(int moving_right, int x0) {
    if (arranged_direction < 0 || arranged_direction == moving_right) return 1;
    if (moving_right) {
        if (Wrap_Due_Left(x0) && !Wrap_Left()) return Fail("Draw_Slides_Left(): Paint On Slide FAILED");
        slide_offset_x += static_cast<float>(slide_width);
        Rotate_Slides_Right();
    } else {
        if (Wrap_Due_Right(x0)) Wrap_Right();
        slide_offset_x -= static_cast<float>(slide_width);
        Rotate_Slides_Left();
    }
    arranged_direction = moving_right;
    return 1;
}

int Draw_Slides(Surface* target, int x0, int y0) {
    const PlasmaSettings& s = plasma_settings;
    int mode = s.slide_direction;
    if (!(s.slide_speed > 0.0)) mode = DIRECTION_IN;
    if (!slides_active) return 0;

    int moving_right = mode == DIRECTION_OUT ? 1 : 0;
    if (mode >= DIRECTION_ALTERNATE) {
        direction_timer += frame_seconds;
        // Turn only where one slide ends and the next begins, never mid-slide.
        if (std::trunc(direction_timer) > s.direction_change_frequency) {
            const bool at_boundary = slide_moving_right ? Wrap_Due_Right(x0) : Wrap_Due_Left(x0);
            if (at_boundary) {
                slide_moving_right = !slide_moving_right;
                const int half = s.direction_change_frequency / 2;
                direction_timer = mode == DIRECTION_ALTERNATE ? 0.0 : crt::rand() % (half > 1 ? half : 1);
            }
        }
        moving_right = slide_moving_right;
    }

    if (!Rearrange(moving_right, x0)) return 0;
    if (moving_right) {
        if (Draw_Slides_Right(target, x0, y0)) return 1;
        return Fail("Draw_Slides(): Draw_Slides_Right FAILED");
    }
    if (Draw_Slides_Left(target, x0, y0)) return 1;
    return Fail("Draw_Slides(): Draw_Slides_Left FAILED");
}

// ---------------------------------------------------------------------------
// Set-up and shut-down

void Shutdown_Colour_Slides() {
    Empty_Objects_Queue();
    for (Surface*& slide : slides) {
        Release(slide);
        slide = nullptr;
    }
    slides_active = 0;
}

// A set-up that fails part-way gives back what it made, so the next set-up
// is not refused for slides that were never shown.
static int Abandon_Setup() {
    Shutdown_Colour_Slides();
    return 0;
}

int Setup_Colour_Slides(int width, int height, double speed) {
    any_object_animates = 0;
    any_object_moves = 0;
    gradient_restart = 1;
    if (slides_active || slides[0] || slides[1] || slides[2]) return 0;
    if (width < 1 || height < 1) {
        Report_Formatted("Setup_Colour_Slides(): INVALID width %d height %d", width, height);
        return 0;
    }
    if (objects_loaded < 1 && !Load_All_Objects()) {
        Report_Formatted("Setup_Colour_Slides(): INVALID Number of Objects Loaded %d", objects_loaded);
        return 0;
    }

    slide_width = width;
    slide_height = height;
    slide_step_speed = speed;
    slide_offset_x = 0.0f;
    slide_offset_y = 0.0f;
    arranged_direction = -1;

    for (int i = 0; i < SLIDE_COUNT; ++i) {
        if (slides[i]) {
            Report_Error("Setup_Colour_Slides(): Colour Slide should be NULL");
            return Abandon_Setup();
        }
        slide_order[i] = i;
        if (!Create_SYSTEM_Surface(&slides[i], width, height)) {
            Report_Formatted("Setup_Colour_Slides():Error Creating slide # %d\nwidth %d height %d", i, width, height);
            return Abandon_Setup();
        }
        // Each gradient starts from the end hue of the one before, so the
        // three slides join in colour. A whole slide's columns finish it.
        if (plasma_settings.background_mode == BACKGROUND_GRADIENT &&
            !Partial_HLS_Gradient(slides[i], 0, 0, width, height, 1, plasma_settings.background_variable, width)) {
            Report_Error("Setup_Colour_Slides(): Partial_HLS_Gradient FAILED");
            return Abandon_Setup();
        }
    }

    // One instance per unit of frequency; moving slides share them out in turn.
    const int types = objects_loaded < MAX_SLIDE_OBJECTS ? objects_loaded : MAX_SLIDE_OBJECTS;
    int s = 0;
    for (int t = 0; t < types; ++t) {
        // An object whose file could not be loaded has nothing to show.
        if (plasma_settings.object_selected[t] != 1 || Get_Object_Image(t) == nullptr) continue;
        const int copies = Object_Copies(t);
        for (int j = 0; j < copies; ++j) {
            if (!Enqueue_Objects(t, slides[s])) {
                Report_Formatted("Setup_Colour_Slides(): Enqueue_Objects_Ex FAILED i %d j %d", t, j);
                return Abandon_Setup();
            }
            if (plasma_settings.slide_speed > 0.0) s = (s + 1) % SLIDE_COUNT;
        }
    }
    if (!Shuffle_Objects_Queue(SETUP_SHUFFLE_PASSES)) {
        Report_Error("Setup_Colour_Slides(): Shuffle_Objects_Queue FAILED");
        return Abandon_Setup();
    }

    for (int i = 0; i < SLIDE_COUNT; ++i) {
        if (!Paint_On_Slide(i)) Report_Formatted("Setup_Colour_Slides():Paint_On_Slide(%d) FAILED", i);
    }
    zone_countdown = 0;
    slides_active = 1;
    return 1;
}
