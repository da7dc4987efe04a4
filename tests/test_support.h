// Shared fixture: every test starts from a fresh program state and a fresh
// emulated display device, and leaves no surface behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/install_files.h"

// Fresh application state, device emulation, recorded boxes and sounds.
void Reset_Program_State();

// A temporary folder, removed with its contents at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Ink of every glyph cell in the test font picture (0x00RRGGBB), on black.
constexpr uint32_t TEST_FONT_INK = 0x00F0C040;
// Colour (0x00RRGGBB) of the test About picture.
constexpr uint32_t TEST_ABOUT_COLOUR = 0x00306090;
// Side of the square test slide objects, in pixels.
constexpr int TEST_OBJECT_SIDE = 8;

// Writes an uncompressed 24-bit BMP whose pixel (x, y) is colour(x, y)
// (0x00RRGGBB); false when the file cannot be written.
bool Write_Test_Bitmap(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& colour);

// Writes a run-length (RLE8) BMP of about 1 KB whose headers claim
// width x height but whose pixel data is only the end-of-bitmap mark: a
// small file that asks for a large picture. False when it cannot be written.
bool Write_Claimed_Bitmap(const std::string& path, int32_t width, int32_t height);

// Lays out a complete data folder inside the Windows directory given:
// Calvorine/Data/Bmp/Font.bmp (every glyph cell of font 9 inked), About.bmp,
// Objects/0.bmp and 1.bmp (small square objects) and an empty Overlays
// folder. Gives the data folder's path.
std::string Make_Test_Data_Folder(const std::string& windows_directory);

// Points the program at a Windows directory: the data folder's services,
// the window layer's and windows_prefix. An empty path goes back to the
// environment's.
void Use_Windows_Directory(const std::string& windows_directory);

// Releases every effect a preset set up (title, fonts, slides, scope,
// kaleidoscope, objects, plasma, work surface) and puts the transition and
// the object table's counts back at their start, so nothing reaches the
// next test.
void Release_Test_Effects();

// A whole file as text ("" when it cannot be read).
std::string Read_Text(const std::string& path);

// Writes the text into the file, making its folders on the way.
void Write_Text(const std::string& path, const std::string& text);

// Lays out a small installation package under `package`: Calvorine/ with the
// presets named (each holding "<stem in lower case> preset"), Data/Help.HLP,
// Data/Bmp/About.bmp and Font.bmp, Objects/0.bmp and Overlays/Heart.bmp,
// and Include/Error.wav beside it, every file a few words of text.
void Write_Test_Package(const std::string& package, const std::vector<std::string>& presets);

// From now on the file operation fails on every path that contains
// path_part; an empty part lets everything through again. Installs the
// platform's fault hook; put platform_file_fault_hook back to nullptr at the
// end of the test.
void Fail_File_Operation(File_Operation operation, const std::string& path_part);

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { Reset_Program_State(); }
    void TearDown() override { Reset_Program_State(); }
};
