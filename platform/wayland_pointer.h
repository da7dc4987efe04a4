// Relative pointer motion on Wayland, for the window layer's pointer delta
// (platform/window_qt.cpp): the compositor's relative pointer where it
// offers one.
#pragma once

// Binds the compositor's relative pointer on the toolkit's connection, once;
// true when the compositor offers it (the motion comes once the seat has a
// pointer). False off Wayland.
bool Wayland_Relative_Pointer_Start();
// Adds the relative motion since the last call to *dx and *dy; true while a
// relative pointer delivers it (the pointer's own motion is then not needed).
bool Wayland_Relative_Pointer_Take(double* dx, double* dy);
