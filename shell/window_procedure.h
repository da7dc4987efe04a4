// The window procedure of the class "Calvorine": keys, sizing, activation
// and focus, the end of the saver on user input, and the orderly shut-down
// on the destroy message.
#pragma once

#include <cstdint>

struct Window;

// The client size at the last effect resize; -1 until the procedure's
// first message, which takes the client size of that moment.
extern int32_t last_client_width, last_client_height;

// Handles one window message; 0 for every message it handles, else the
// platform's default answer. Registered for the class by the entry code.
intptr_t Main_Window_Procedure(Window* window, unsigned message, uintptr_t wparam, intptr_t lparam);
