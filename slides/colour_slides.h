// The colour slides: three pictures the size of the kaleidoscope's tile that
// scroll sideways through the tile like slides through a projector, each with
// a background (gradient, plasma, sine waves or the objects' own trails) and
// its slide objects. A slide that has scrolled out is repainted off-screen and
// joins the queue again on the other side.
#pragma once

#include <cstdint>

struct Surface;

// Number of slides: two shown side by side and one spare off-screen.
constexpr int SLIDE_COUNT = 3;

// The three slides, system-memory surfaces of slide_width x slide_height; null when off.
extern Surface* slides[SLIDE_COUNT];
// Which slide is at which position: left shows 0 then 1 (spare 2), right shows 2 then 1 (spare 0).
extern int32_t slide_order[SLIDE_COUNT];
// Size of every slide.
extern int32_t slide_width;
extern int32_t slide_height;
// Position of the first shown slide on the target; y stays 0.
extern float slide_offset_x;
extern float slide_offset_y;
// The speed given to Setup_Colour_Slides, used for scrolling.
extern double slide_step_speed;
// The slides are set up and drawn in place of the plasma.
extern int slides_active;
// Current direction in the alternating and random modes: 0 left, 1 right.
extern int slide_moving_right;
// Seconds since the last direction change (alternating and random modes).
extern double direction_timer;
// The homogenous zone under way: repaints left, object type and frame.
extern int32_t zone_countdown;
extern int32_t zone_type;
extern int32_t zone_frame;

// The colour gradient, one for all slides, kept across shut-downs so colours carry on.
extern int gradient_restart;          // the next Partial_HLS_Gradient starts a new gradient
extern uint8_t gradient_start_hue;    // hue at the left edge
extern uint8_t gradient_end_hue;      // hue at the right edge
extern uint8_t gradient_hue;          // hue of the next column
extern uint8_t gradient_light_start;  // lightness at the left edge
extern uint8_t gradient_light_end;    // lightness at the right edge
extern uint8_t gradient_light;        // lightness of the next column
extern uint8_t gradient_saturation;   // always 100
extern int32_t gradient_column;       // next column to paint
extern int32_t hue_interval;          // columns per one-unit change of hue
extern int32_t light_interval;        // columns per one-unit change of lightness
extern uint32_t last_end_hue;         // end hue of the last finished gradient
extern uint32_t last_end_light;       // end lightness of the last finished gradient

// Creates the slides, their object instances and first pictures; 1, or 0 after a report
// (Modify_Plasma code 25, Refresh_Plasma, the Kaleidoscope menu, Restore_All_Objects).
int Setup_Colour_Slides(int width, int height, double speed);
// Empties the object queue, releases the slides and clears slides_active; safe when off.
void Shutdown_Colour_Slides();
// Draws the slides onto target in the preset's direction; 0 when off or failed, and the
// kaleidoscope then draws the plasma (Draw_Kaleidoscope, every frame, at (0, 0)).
int Draw_Slides(Surface* target, int x0, int y0);
// Scrolls the slides to the left one frame; 1 or 0.
int Draw_Slides_Left(Surface* target, int x0, int y0);
// Scrolls the slides to the right one frame; 1 or 0.
int Draw_Slides_Right(Surface* target, int x0, int y0);
// Repaints slide i (0..2): its background and objects; 1 or 0.
int Paint_On_Slide(int i);
// Restores and repaints every lost slide; 1 when all are usable.
int Restore_All_Lost_Slides();
// Positions 0, 1, 2 receive the slides that were at 1, 2, 0.
void Rotate_Slides_Left();
// Positions 0, 1, 2 receive the slides that were at 2, 0, 1.
void Rotate_Slides_Right();
// Paints up to `columns` columns of the hue ramp (starting a new one when none is under way);
// 1 when the ramp is finished (or there is nothing to do), 0 when not yet or failed.
int Partial_HLS_Gradient(Surface* surface, int x0, int y0, int width, int height, int continue_hue,
                         int variable_lightness, int columns);
