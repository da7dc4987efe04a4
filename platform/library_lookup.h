// Functions of a shared library already in the process (loaded by Qt's X
// plugin), looked up at run time so that the layer needs no X library of
// its own at build time.
#pragma once

#include <dlfcn.h>

// Sets *function to the library's `name`; false when it has none.
template <typename Function>
bool Look_Up(void* library, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(dlsym(library, name));
    return *function != nullptr;
}
