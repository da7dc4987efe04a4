// What the coverage-guided fuzz targets share: the program started as the
// render tool starts it, on a small memory display, over a private copy of
// the bundled data folder, and the one file each input is written to so
// that it reaches the program through its own loaders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Copies the bundled data folder (compiled in as CALVORINE_DEMO_FOLDER)
// into a temporary Windows directory and starts the program on it at
// 160 x 120 x `depth`. Ends the process with a message when it cannot.
void Start_Fuzz_Program(int depth);

// The private data folder (".../Calvorine").
const std::string& Fuzz_Data_Folder();

// Writes the input to `path`, replacing what was there; ends the process
// with a message when it cannot, since nothing after it would mean anything.
void Write_Fuzz_Input(const std::string& path, const uint8_t* data, size_t size);

// Ends the process with a message when the display holds another number of
// surfaces than `expected`: an input made the program lose track of one.
void Expect_Live_Surfaces(int expected, const char* after);
