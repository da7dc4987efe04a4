// The font picture make-font and make-data draw: every glyph stays legible
// at its cell's width. Letters squeezed into narrow cells keep a solid gold
// body (the title's fade takes the dim edges and the dark rim first), and
// every letter keeps the face's one baseline and height.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "text/font.h"
#include "tools/font_picture.h"

namespace {

constexpr int GLYPH_HEIGHT = 34;
// Gold bright enough to outlast most of the title's fade.
constexpr int BRIGHT = 180;
// Cells narrower than this have no room for a rim around the gold.
constexpr int NARROW = 9;
// Ink at least this bright counts when finding a glyph's top and bottom.
constexpr int SOLID = 128;

int Brightness(QRgb pixel) { return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}); }

class FontPictureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "font_picture_test";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
        picture_ = new QImage(Draw_Font_Picture());
    }
    static void TearDownTestSuite() {
        delete picture_;
        picture_ = nullptr;
    }

    // Pixels of the glyph's cell at least `least` bright (key excluded).
    static int Count(int glyph, int least) {
        const GlyphMetrics& cell = glyph_table_c[glyph];
        int count = 0;
        for (int y = cell.y; y < cell.y + GLYPH_HEIGHT; ++y)
            for (int x = cell.x; x < cell.x + cell.width; ++x) {
                const int brightness = Brightness(picture_->pixel(x, y));
                if (brightness > 0 && brightness >= least) ++count;
            }
        return count;
    }

    // The first and last rows of the cell holding solid ink, or -1, -1.
    static std::pair<int, int> Rows(char character) {
        const GlyphMetrics& cell = glyph_table_c[Glyph_Index(character)];
        int top = -1, bottom = -1;
        for (int y = 0; y < GLYPH_HEIGHT; ++y)
            for (int x = cell.x; x < cell.x + cell.width; ++x)
                if (Brightness(picture_->pixel(x, cell.y + y)) >= SOLID) {
                    if (top < 0) top = y;
                    bottom = y;
                }
        return {top, bottom};
    }

    // Every character's row (first or last) lies within one pixel of the first one's.
    static void Expect_Level(const std::string& characters, bool tops) {
        const auto row = [tops](char c) { return tops ? Rows(c).first : Rows(c).second; };
        const int level = row(characters[0]);
        ASSERT_GE(level, 0) << characters[0];
        for (char c : characters) EXPECT_NEAR(row(c), level, 1) << (tops ? "top of " : "bottom of ") << c;
    }

    static QImage* picture_;
};

QImage* FontPictureTest::picture_ = nullptr;

TEST_F(FontPictureTest, EveryLetterAndDigitHasASolidGoldBodyHoweverNarrowItsCell) {
    ASSERT_EQ(picture_->width(), FONT_PICTURE_WIDTH);
    // Letters and digits are glyphs 0 to 61; the narrowest cells ('l' at 4,
    // 'c', 'e', 'i', 's' at 6) are the ones that matter. In those, bright
    // gold is a good share of the ink (a dark sliver has next to none);
    // wider glyphs have room for a rim as well.
    for (int glyph = 0; glyph < 62; ++glyph) {
        const int ink = Count(glyph, 1);
        const int bright = Count(glyph, BRIGHT);
        if (glyph_table_c[glyph].width < NARROW) {
            EXPECT_GE(bright * 5, ink * 2) << "glyph " << glyph << " is mostly dim edge";
        }
        EXPECT_GE(bright, 3 * glyph_table_c[glyph].width) << "glyph " << glyph << " is too thin";
    }
    // Signs in the narrowest cells (2 to 4 pixels) keep some bright gold too.
    for (char sign : {'|', '.', ':', ',', ';', '!'}) EXPECT_GE(Count(Glyph_Index(sign), BRIGHT), 4) << sign;
}

TEST_F(FontPictureTest, LettersAndDigitsStandOnOneBaselineAtOneHeight) {
    // Narrow or wide, lowercase letters keep the face's x-height and capitals
    // its cap height: none is shrunk to fit its cell.
    const std::string x_height = "acemnorsuvwxz";
    const std::string capitals = "ABCDEFGHIKLMNOPRSTUVWXYZ";
    const std::string on_baseline = x_height + capitals + "bdhiklt0123456789";
    Expect_Level(on_baseline, false);
    Expect_Level(x_height, true);
    Expect_Level(capitals, true);
    Expect_Level("bdhkl", true);
    Expect_Level("gpqy", false);
}

}  // namespace
