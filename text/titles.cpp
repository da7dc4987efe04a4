// Titles and transitions.
//
// The title is drawn into its own surface each frame, faded there by the
// current amount and laid over the picture with its colour key, so every
// frame's fade starts from the undimmed glyphs. The transition keeps a
// centred window of the picture and blacks out the rest by way of
// Scratch_Pad, which exists only while a transition runs.
#include "text/titles.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/app_state.h"
#include "base/error_log.h"
#include "base/frame_clock.h"
#include "graphics/blits.h"
#include "graphics/pixel_effects.h"
#include "graphics/surface.h"
#include "kaleidoscope/kaleidoscope.h"
#include "plasma/plasma_settings.h"
#include "text/font.h"

Surface* title_surface = nullptr;
int32_t title_width = 0;
int32_t title_height = 0;
int32_t title_state = TITLE_DONE;
double title_elapsed = 0.0;
int32_t fade_in_level = 256;
int32_t fade_out_level = 0;
int32_t fade_floor = 0;

int32_t transition_mode = NO_TRANSITION;
double transition_width = 0.0;
double transition_height = 0.0;
bool preset_switched = false;

// The fade amount of a fully dark title.
static constexpr int32_t FADE_DARK = 256;
// Each fade step changes the amount by this much.
static constexpr int32_t FADE_STEP = 2;
// Below 24 bits per pixel the title holds a little dimmed: the fade amount
// it holds at and fades in to and out from.
static constexpr int32_t FADE_FLOOR_LOW_DEPTH = 8;
// Seconds between two fade steps (at most one step per frame).
static constexpr double FADE_STEP_SECONDS = 0.005;
// Seconds the title holds at full brightness.
static constexpr double TITLE_HOLD_SECONDS = 2.0;
// A fixed-step closing window slows to this step for its last pixels, so
// that its end can be seen.
static constexpr double CLOSING_FINAL_STEP = 2.0;
static constexpr double CLOSING_FINAL_SIZE = 16.0;

// ---------------------------------------------------------------------------
// The title.

// The failure texts of one title state's three operations.
struct Title_Step_Texts {
    const char* draw;  // with %s for the text
    const char* fade;
    const char* blit;
};

static const Title_Step_Texts fade_in_texts = {
    "Display_Title(); Draw_Text %s in FADE TITLE IN FAILED",
    "Display_Title(): Fade (title in) FAILED",
    "Display_Title(): Masked_Clip_Blit (title in) FAILED",
};
static const Title_Step_Texts hold_texts = {
    "Display_Title(); Draw_Text %s in FADE TITLE DISPLAY FAILED",
    "Display_Title(): Fade (title display) FAILED",
    "Display_Title(): Masked_Clip_Blit (title display) FAILED",
};
static const Title_Step_Texts fade_out_texts = {
    "Display_Title(); Draw_Text %s in FADE TITLE OUT FAILED",
    "Display_Title(): Fade (title out) FAILED",
    "Display_Title(): Masked_Clip_Blit (title out) FAILED",
};

// Draws the text into title_surface, fades it by the amount and lays it
// over the destination at (x, y).
static int Show_Title(Surface* destination, int x, int y, const char* text, int font_number, int32_t amount,
                      const Title_Step_Texts& texts) {
    if (!Draw_Text(title_surface, 0, 0, font_number, text)) {
        Report_Formatted(texts.draw, text);
        return 0;
    }
    if (!Fade(title_surface, 0, 0, title_width, title_height, amount, 0, 0)) {
        Report_Error(texts.fade);
        return 0;
    }
    if (!Masked_Clip_Blit(title_surface, destination, 0, 0, x, y, title_width, title_height)) {
        Report_Error(texts.blit);
        return 0;
    }
    return 1;
}

// No screen shows more than the font's longest text, so a longer title (a
// preset file can carry one of up to 2191 characters) is drawn up to that
// length instead of failing every frame and ending the saver.
static const char* Drawable_Title(const char* text) {
    static char shortened[MAX_TEXT_LENGTH + 1];
    if (std::strlen(text) <= static_cast<size_t>(MAX_TEXT_LENGTH)) return text;
    std::memcpy(shortened, text, MAX_TEXT_LENGTH);
    shortened[MAX_TEXT_LENGTH] = '\0';
    return shortened;
}

static void Release_Title_Surface() {
    Release(title_surface);
    title_surface = nullptr;
}

static bool create_traced = false;

static int Create_Title(const char* text, int font_number) {
    Trace_Enter(create_traced, "Display_Title CREATE");
    Release_Title_Surface();

    fade_floor = app.screen_bpp < 24 ? FADE_FLOOR_LOW_DEPTH : 0;
    title_elapsed = 0.0;
    title_state = TITLE_FADE_IN;
    fade_in_level = FADE_DARK;
    fade_out_level = fade_floor;

    int text_width = 0, text_height = 0;
    if (!Calculate_Message_Dimensions(font_number, text, &text_width, &text_height)) {
        Report_Error("Display_Title(): Calculate_Message_Dimensions FAILED");
        return 0;
    }
    // The surface spans the whole width the title may run to, whatever the
    // text measures.
    title_width = std::max(0, std::min(app.client_width, app.screen_width));
    title_height = std::max(0, std::min(text_height, app.screen_height));
    if (!Create_SYSTEM_Surface(&title_surface, title_width, title_height)) {
        // A surface made but not cleared or keyed is of no use either.
        Release_Title_Surface();
        Report_Error("Display_Title(): Create_SYSTEM_Surface FAILED");
        return 0;
    }
    Trace_Exit(create_traced, "Display_Title CREATE");
    return 1;
}

static bool display_traced = false;

static int Draw_Title_Frame(Surface* destination, int x, int y, const char* text, int font_number) {
    if (title_state == TITLE_DONE) return 1;
    // Titles switched off pause the title where it is: its clock stands still.
    if (!plasma_settings.titles_on) return 1;
    Trace_Enter(display_traced, "Display_Title DISPLAY");
    if (!title_surface) return 1;
    if (!text || !text[0]) {
        Report_Error("Display_Title(): title must be a valid string");
        return 0;
    }
    text = Drawable_Title(text);

    title_elapsed += frame_seconds;

    if (title_state == TITLE_FADE_IN) {
        if (!Show_Title(destination, x, y, text, font_number, fade_in_level, fade_in_texts)) return 0;
        if (title_elapsed > FADE_STEP_SECONDS) {
            title_elapsed = 0.0;
            fade_in_level -= FADE_STEP;
            if (fade_in_level < fade_floor) {
                title_state = TITLE_HOLD;
                fade_in_level = FADE_DARK;
            }
        }
    }
    if (title_state == TITLE_HOLD) {
        if (!Show_Title(destination, x, y, text, font_number, fade_floor, hold_texts)) return 0;
        if (title_elapsed > TITLE_HOLD_SECONDS) {
            title_elapsed = 0.0;
            title_state = TITLE_FADE_OUT;
        }
    }
    if (title_state == TITLE_FADE_OUT) {
        if (!Show_Title(destination, x, y, text, font_number, fade_out_level, fade_out_texts)) return 0;
        if (title_elapsed > FADE_STEP_SECONDS) {
            title_elapsed = 0.0;
            fade_out_level += FADE_STEP;
            if (fade_out_level > FADE_DARK) {
                title_state = TITLE_DONE;
                fade_out_level = 0;
            }
        }
    }
    Trace_Exit(display_traced, "Display_Title DISPLAY");
    return 1;
}

int Display_Title(Surface* destination, int x, int y, const char* text, int font_number, int phase) {
    switch (phase) {
    case DISPLAY: return Draw_Title_Frame(destination, x, y, text, font_number);
    case CREATE: return Create_Title(text, font_number);
    case DESTROY: Release_Title_Surface(); return 1;
    default: return 0;
    }
}

int Destroy_Title() {
    if (!Display_Title(nullptr, 0, 0, nullptr, PROGRAM_FONT, DESTROY)) {
        Report_Error("Setup_Title(): Display_Title DESTROY FAILED");
        return 0;
    }
    return 1;
}

int Setup_Title(const char* text, int font_number) {
    Destroy_Title();
    if (!text || !text[0]) {
        Report_Formatted("Setup_Title():strlen of title is 0 %s", text ? text : "");
        return 0;
    }
    if (!Display_Title(nullptr, 0, 0, text, font_number, CREATE)) {
        Report_Error("Setup_Title(): Display_Title CREATE FAILED");
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Transitions.

int Set_Transition_Mode(int32_t mode) {
    if (mode == transition_mode) return 1;
    switch (mode) {
    case NO_TRANSITION: break;
    case OPEN_TRANSITION:
        // A closing window turns round where it is.
        if (transition_mode != CLOSE_TRANSITION) transition_width = transition_height = 1.0;
        break;
    case CLOSE_TRANSITION:
        if (transition_mode != OPEN_TRANSITION) {
            transition_width = app.client_width;
            transition_height = app.client_height;
        }
        break;
    default:
        Report_Formatted("Set_Transition_Mode(): INVALID mode %d", mode);
        transition_mode = NO_TRANSITION;
        return 0;
    }
    transition_mode = mode;
    return 1;
}

// The picture the transition works on: the kaleidoscope's square when it
// draws into Hidden, else the client area.
static bool Kaleidoscope_Picture() {
    return plasma_settings.kaleidoscope_on && segment_width > 0 && segment_height > 0;
}

static void Picture_Size(int* width, int* height) {
    if (Kaleidoscope_Picture()) {
        *width = 2 * segment_width;
        *height = 2 * segment_height;
    } else {
        *width = app.client_width;
        *height = app.client_height;
    }
}

// Keeps the centred transition_width x transition_height window of Hidden
// and turns the rest of the picture black.
static int Apply_Transition_Window() {
    if (!Scratch_Pad && !Setup_Scratch_Pad()) {
        Report_Error("Display_Transition(): Setup_Scratch_Pad() FAILED");
        return 0;
    }
    if (!Clear(Scratch_Pad)) {
        Report_Error("Display_Transition(): Setup_Scratch_Pad() FAILED");
        return 0;
    }
    // The preset just loaded may have switched the kaleidoscope.
    int picture_width = 0, picture_height = 0;
    Picture_Size(&picture_width, &picture_height);
    if (picture_width <= 0 || picture_height <= 0) return 1;
    // A window started at the client size is never wider than the picture
    // it shows (the client may have shrunk, or the picture be the tile).
    const int w = std::min(static_cast<int>(transition_width), picture_width);
    const int h = std::min(static_cast<int>(transition_height), picture_height);
    const int x = (picture_width - w) / 2;
    const int y = (picture_height - h) / 2;
    if (Kaleidoscope_Picture()) {
        if (!Clip_Blit(Hidden, Scratch_Pad, x, y, x, y, w, h)) {
            Report_Error("Display_Transition(): Clip_Blit 1 () FAILED");
            return 0;
        }
        if (!Clip_Blit(Scratch_Pad, Hidden, 0, 0, 0, 0, picture_width, picture_height)) {
            Report_Error("Display_Transition(): Clip_Blit 2 () FAILED");
            return 0;
        }
    } else {
        if (!Fast_Blit(Hidden, Scratch_Pad, x, y, x, y, w, h)) {
            Report_Error("Display_Transition(): Fast_Blit 1 () FAILED");
            return 0;
        }
        if (!Fast_Blit(Scratch_Pad, Hidden, 0, 0, 0, 0, picture_width, picture_height)) {
            Report_Error("Display_Transition(): Fast_Blit 2 () FAILED");
            return 0;
        }
    }
    return 1;
}

int Display_Transition(double speed, int32_t fixed_step) {
    if (transition_mode == NO_TRANSITION) {
        if (!preset_switched) return 1;
        // The new preset is in: one black frame, then the window opens on it.
        preset_switched = false;
        Set_Transition_Mode(OPEN_TRANSITION);
        if (!Clear(Hidden)) {
            Report_Error("Display_Transition(): Clear in NO_TRANSITION FAILED");
            return 0;
        }
        // A centred kaleidoscope leaves the rest of the screen as it was.
        if (plasma_settings.kaleidoscope_on && !plasma_settings.kaleidoscope_stretch && !Clear(Visible)) {
            Report_Error("Display_Transition(): Clear Visible in NO_TRANSITION FAILED");
            return 0;
        }
        return 1;
    }

    bool closed = false;
    double step = 0.0;
    if (plasma_settings.slide_ignore_fps) {
        step = fixed_step;
        if (transition_mode == CLOSE_TRANSITION && transition_width < CLOSING_FINAL_SIZE &&
            transition_height < CLOSING_FINAL_SIZE)
            step = CLOSING_FINAL_STEP;
    } else {
        step = frame_seconds * speed;
    }
    int picture_width = 0, picture_height = 0;
    Picture_Size(&picture_width, &picture_height);
    // The width moves by W / H per unit of height, keeping the picture's shape.
    const double aspect = picture_height > 0 ? static_cast<double>(picture_width) / picture_height : 1.0;

    if (transition_mode == CLOSE_TRANSITION) {
        transition_width -= step * aspect;
        transition_height -= step;
        if (transition_width < 1.0 && transition_height < 1.0) {
            transition_width = transition_height = 1.0;
            preset_switched = true;
            Set_Transition_Mode(NO_TRANSITION);
            closed = true;
        } else {
            transition_width = std::max(transition_width, 1.0);
            transition_height = std::max(transition_height, 1.0);
        }
    } else if (transition_mode == OPEN_TRANSITION) {
        transition_width += step * aspect;
        transition_height += step;
        if (transition_width > picture_width && transition_height > picture_height) {
            transition_width = picture_width;
            transition_height = picture_height;
            Set_Transition_Mode(NO_TRANSITION);
        } else {
            transition_width = std::min(transition_width, static_cast<double>(picture_width));
            transition_height = std::min(transition_height, static_cast<double>(picture_height));
        }
    }

    if (!Apply_Transition_Window()) return 0;
    if (transition_mode == NO_TRANSITION) Release_Scratch_Pad();
    return closed ? TRANSITION_CLOSED : 1;
}
