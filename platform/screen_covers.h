// The full-screen saver on every monitor: the saver's own window covers the
// primary screen, and a frameless window of this layer covers each of the
// others (each RandR monitor of the X screen, each further X screen of the
// display, each further Wayland output). Every cover shows the same picture,
// scaled to its own monitor keeping the picture's shape, through the X server
// where it can scale and here otherwise. A cover takes no focus; its keys and
// button presses go to the saver's window, so input on any monitor ends the
// saver on all of them. Only the window layer (platform/window_qt.cpp) uses it.
#pragma once

struct Surface;
struct xcb_connection_t;
class QWidget;

// Covers every screen but the primary one, sending the covers' input to
// `input_target` (the saver's canvas). Screens that come or go while the
// covers are up get a cover or lose theirs. Nothing when they are up already.
void Open_Screen_Covers(QWidget* input_target);
// Takes every cover down; nothing when none is up.
void Close_Screen_Covers();
// True while the covers are up.
bool Screen_Covers_Open();
// True when `widget` is one of the covers (the saver's window losing the
// focus to one of them has not lost it to another program).
bool Is_Screen_Cover(const QWidget* widget);
// Shows the primary surface on every cover: through the X server of
// `connection` (null off X) where it scales, else scaled here.
void Present_On_Screen_Covers(const Surface* primary, xcb_connection_t* connection);
