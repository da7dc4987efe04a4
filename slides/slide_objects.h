// Slide objects: the small animated pictures that ride on the colour slides.
//
// Object files are numbered bitmaps in the data folder's Data/Bmp/Objects,
// each a strip of square frames stacked top to bottom. A single-frame file
// is expanded at load into a strip of 32 hue-turned copies and saved back
// so that later starts only load it; "Compact Objects" undoes that. The
// slides hold a queue of instances, each with its own place, velocity,
// frame and timers, drawn onto its slide in queue order every frame.
#pragma once

#include <cstdint>

#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"

// Frames of the hue strip a single-frame object is expanded into.
constexpr int OBJECT_HUE_FRAMES = 32;

// Animation modes of an instance.
constexpr int32_t ANIMATION_STILL = 0;      // not animated
constexpr int32_t ANIMATION_PING_PONG = 4;  // forward and back, turning at random at the ends (hue strips)
constexpr int32_t ANIMATION_LOOP = 5;       // forward, wrapping to frame 0

// One entry of the object table: a strip of frame_count square frames.
struct ObjectData {
    int32_t frame_size = 0;     // width of the strip and side of each frame
    int32_t strip_height = 0;   // height of the strip
    int32_t frame_count = 0;    // whole square frames in the strip
    Surface* images = nullptr;  // the strip, in system memory, colour key 0
};

// One object on one slide, in the doubly linked instance queue.
struct ObjectInstance {
    int32_t object_type = 0;        // index into Objects_Data
    int32_t animation_mode = 0;     // ANIMATION_STILL, ANIMATION_PING_PONG or ANIMATION_LOOP
    int32_t frame_count = 0;        // copied from the table
    int32_t frame = 0;              // current frame, 0 .. frame_count - 1
    float x = 0.0f, y = 0.0f;       // top-left position on the slide, in pixels
    int32_t dx = 0, dy = 0;         // velocity in pixels per movement unit
    double animation_timer = 0.0;   // seconds left until the next frame step
    double animation_period = 0.0;  // seconds per frame step; 0 not animated
    double move_speed = 0.0;        // movement factor; above 0 moves by itself
    bool reverse = false;           // ping-pong: stepping backwards
    int32_t frame_size = 0;         // copied from the table
    int32_t strip_height = 0;       // copied from the table
    Surface* slide = nullptr;       // the slide surface the instance belongs to
    ObjectInstance* next = nullptr;
    ObjectInstance* prev = nullptr;
};

// The object table, indexed by object type (file number).
extern ObjectData Objects_Data[MAX_SLIDE_OBJECTS];
// Entries of Objects_Data filled, 0..250 (also declared in plasma/plasma_settings.h for the defaults).
extern int objects_loaded;
// Megabytes the loaded strips occupy at the screen depth ("OBJECTS RAM" of the System Information dialog).
extern float objects_ram_mb;
// First and last instance of the queue; drawing walks from the head.
extern ObjectInstance* objects_queue_head;
extern ObjectInstance* objects_queue_tail;
// Some instance animates; cleared by Setup_Colour_Slides, set by Enqueue_Objects.
extern int any_object_animates;
// Some instance moves by itself; cleared by Setup_Colour_Slides, set by Enqueue_Objects.
extern int any_object_moves;

// Loads every object file from 0 up to the first missing number, expanding single frames (start-up, slides).
int Load_All_Objects();
// Most instances of one object type (the frequency dialog's top).
constexpr int MAX_OBJECT_FREQUENCY = 200;
// Instances the slides carry of a type: its preset frequency within 0 ..
// MAX_OBJECT_FREQUENCY, the same count for the set-up, the remix and the
// random pick (a preset file's larger number would ask for billions).
int Object_Copies(int type);
// Replaces entry type's strip by `frames` frames of w x w, frame k the first frame's hue turned by k x hue_step.
int Create_Objects_Hue_Gradient(int type, int width, int height, int frames, int hue_step);
// Turns every 32-frame object file back into its single first frame and reloads all (menu "Compact Objects").
int Compact_All_Objects();
// Empties the instance queue and releases every strip; 1 (shut-down, compaction, restore).
int Release_All_Objects();
// When a strip has lost its memory: reloads every object and rebuilds the slides (resize, draw).
int Restore_All_Objects();
// Appends one new instance of the type on the slide, placed and timed at random (slides set-up).
int Enqueue_Objects(int type, Surface* slide);
// Unlinks and frees the instance; 0 for no instance.
int Dequeue_Object(ObjectInstance* instance);
// Frees every instance; 1 (slides shut-down).
int Empty_Objects_Queue();
// `passes` times replaces about a third of the instances by fresh ones appended at the tail.
int Shuffle_Objects_Queue(int passes);
// Advances one instance (animation, movement) and draws it on the slide by blend_mode.
int Draw_Objects(Surface* slide, ObjectInstance* instance);
// Draws every instance of the slide in queue order; 0 at the first failure.
int Draw_All_Objects_Ex(Surface* slide);
// New random place and frame for each instance of the slide, then draws it.
int Scatter_Objects(Surface* slide, int width, int height);
// Gives the slide's instances types again by selection and frequency (slide repaint).
int Remix_Objects(Surface* slide, int width, int height);
// Turns every instance of the slide into the type, showing `frame` when zones are single-coloured.
int Make_Object_Zone(Surface* slide, int width, int height, int type, int frame);
// A random selected type weighted by frequency and a random frame of it; 0 when none is chosen.
int Pick_Random_Object(int* type, int* frame);
// The strip of the type, or null for a type outside the loaded ones.
Surface* Get_Object_Image(int type);
