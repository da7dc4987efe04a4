// The picture of the program's font 9 (Data/Bmp/Font.bmp), drawn from the
// system's own fonts: every glyph where the font table places it, on black,
// the picture's colour key. Shared by make-font and make-data.
#pragma once

#include <QImage>

// Width of the font picture: the widest glyph row ends at 306, and a
// multiple of 8 keeps the picture usable by the program's own bitmap writer.
constexpr int FONT_PICTURE_WIDTH = 320;

// Draws the font picture (needs a QGuiApplication for the fonts); names the
// face it fell back to on stderr when DejaVu Serif is missing.
QImage Draw_Font_Picture();
