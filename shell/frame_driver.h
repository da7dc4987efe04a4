// The composition of one frame in Hidden, shared by the saver's frame
// driver and the render tool. Presenting the frame (Hidden to Visible) and
// the saver's input check are the caller's.
#pragma once

// The About picture has been put on Hidden in a preview that shows it
// instead of the effects; it stays there for every later frame.
extern bool about_shown;

// One frame, in the frame's order: the frame clock, the background (the
// plasma with its fold, or the About picture in a still preview), the
// frame-rate text and the one-line notice. 1, or 0 after a report when the
// frame cannot be drawn and the program must end.
int Compose_Frame();
