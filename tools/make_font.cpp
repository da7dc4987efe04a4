// make-font: draws Font.bmp, the picture of the program's font 9, from the
// system's own fonts. Every glyph lies where the font table places it (x, y,
// width, 34 pixels high) on black, the picture's colour key, in a golden
// face: a vertical gold gradient with a darker outline. The picture is
// written as an uncompressed 24-bit BMP.
//
//   make-font OUTPUT.bmp
#include <QGuiApplication>

#include <cstdio>

#include "tools/bmp_writer.h"
#include "tools/font_picture.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-font OUTPUT.bmp\n");
        return 2;
    }
    // Fonts need a GUI application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    if (!Write_BMP(Draw_Font_Picture(), argv[1])) {
        std::fprintf(stderr, "make-font: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
