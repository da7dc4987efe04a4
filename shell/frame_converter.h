// The frame converter: every bitmap of the converter folder becomes one
// frame of a new slide-object strip, shown on the screen as it goes.
#pragma once

#include <string>
#include <vector>

struct Surface;

// The converter folder's bitmaps in natural order of their names (2.bmp
// before 10.bmp, case ignored), so that a conversion is repeatable.
std::vector<std::string> Frame_Converter_Files();
// 1 when "a" comes before "b" in natural order: digit runs compare as numbers.
bool Natural_Order_Before(const std::string& a, const std::string& b);

// Converts the converter folder into an object file the user names; the
// source frames are deleted only once the strip is saved. Rebuilds the
// display afterwards. 1 when every step worked, 0 after a report.
int Frame_Convert();
// Asks where to save the strip (the objects folder, the next object
// number offered) and saves it. 1 saved or cancelled, 0 failed; *saved
// tells which.
int Save_Conversion(Surface* strip, bool* saved);
