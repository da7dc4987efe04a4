// The font 9 picture: each glyph is drawn in a golden face (a vertical gold
// gradient with a darker outline), widened or narrowed to fill the cell the
// font table gives it.
#include "tools/font_picture.h"

#include <QFont>
#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "text/font.h"

// The font 9 glyphs are 34 pixels high; the picture holds seven rows.
static constexpr int GLYPH_HEIGHT = 34;
static constexpr int GLYPH_ROWS = 7;
// Where the baseline sits in each 34-pixel cell, and the face's pixel size:
// capitals rise about 20 pixels above it, descenders reach 6 below.
static constexpr int BASELINE = 26;
static constexpr int FACE_PIXEL_SIZE = 27;
// The ink of a glyph keeps this far from the top and bottom of its cell.
static constexpr double CELL_MARGIN = 0.5;
// Narrow letters may be widened at most this much to fill their cell.
static constexpr double MOST_WIDENING = 1.6;
// Outline pen widths; glyphs narrower than OUTLINE_NARROW_WIDTH take the
// thin one and those narrower than OUTLINE_MIN_WIDTH none, which would
// swallow their fill.
static constexpr int OUTLINE_MIN_WIDTH = 3;
static constexpr int OUTLINE_NARROW_WIDTH = 6;
static constexpr double OUTLINE_WIDTH = 1.25;
static constexpr double OUTLINE_THIN_WIDTH = 0.8;

// What each glyph shows: the first character that reaches it, and for the
// glyphs no character reaches (and the catch-all one) a fitting sign.
static std::vector<QString> Glyph_Characters() {
    std::vector<QString> characters(GLYPH_COUNT);
    for (int c = 33; c < 127; ++c) {
        const int index = Glyph_Index(static_cast<char>(c));
        if (index != DEFAULT_GLYPH && characters[index].isEmpty()) characters[index] = QString(QChar(c));
    }
    // The catch-all glyph stands for apostrophes, minus signs, hyphens and
    // the rest: a short dash reads acceptably for all of them.
    characters[DEFAULT_GLYPH] = QStringLiteral("-");
    const struct {
        int index;
        const char* sign;
    } unreachable[] = {{62, "*"}, {70, "-"}, {87, "'"}, {90, "~"}};
    for (const auto& glyph : unreachable) characters[glyph.index] = QString::fromLatin1(glyph.sign);
    return characters;
}

// Draws one glyph's outline path into its cell: widened or narrowed to the
// cell's width, its baseline at BASELINE, never outside the cell.
static void Draw_Glyph(QPainter& painter, const QFont& face, const QString& character, const GlyphMetrics& cell) {
    QPainterPath path;
    path.addText(0, 0, face, character);
    const QRectF ink = path.boundingRect();
    if (ink.isEmpty()) return;

    const bool outlined = cell.width >= OUTLINE_MIN_WIDTH;
    const double pen_width = cell.width < OUTLINE_NARROW_WIDTH ? OUTLINE_THIN_WIDTH : OUTLINE_WIDTH;
    const double inset = outlined ? pen_width / 2.0 + 0.25 : 0.0;
    const double room = cell.width - 2.0 * inset;
    const double scale_x = std::min(room / ink.width(), MOST_WIDENING);

    // Tall signs (brackets, bars) are shrunk about the baseline to keep inside the cell.
    const double room_above = BASELINE - CELL_MARGIN - inset;
    const double room_below = GLYPH_HEIGHT - BASELINE - CELL_MARGIN - inset;
    double scale_y = 1.0;
    if (-ink.top() > room_above) scale_y = std::min(scale_y, room_above / -ink.top());
    if (ink.bottom() > room_below) scale_y = std::min(scale_y, room_below / ink.bottom());

    QTransform place;
    place.translate(cell.x + (cell.width - ink.width() * scale_x) / 2.0 - ink.left() * scale_x, cell.y + BASELINE);
    place.scale(scale_x, scale_y);
    const QPainterPath glyph = place.map(path);

    // Light at the top of the capitals, deep gold at the baseline.
    QLinearGradient gold(0, cell.y + BASELINE - 21, 0, cell.y + BASELINE + 6);
    gold.setColorAt(0.0, QColor(255, 246, 190));
    gold.setColorAt(0.35, QColor(250, 206, 80));
    gold.setColorAt(0.7, QColor(214, 150, 30));
    gold.setColorAt(1.0, QColor(150, 92, 12));

    painter.save();
    painter.setClipRect(QRect(cell.x, cell.y, cell.width, GLYPH_HEIGHT));
    painter.setPen(outlined ? QPen(QColor(96, 56, 8), pen_width) : Qt::NoPen);
    painter.setBrush(gold);
    painter.drawPath(glyph);
    painter.restore();
}

QImage Draw_Font_Picture() {
    QFont face(QStringLiteral("DejaVu Serif"));
    face.setPixelSize(FACE_PIXEL_SIZE);
    face.setBold(true);
    face.setHintingPreference(QFont::PreferNoHinting);
    const QFontInfo found(face);
    if (!found.family().contains(QStringLiteral("DejaVu"), Qt::CaseInsensitive)) {
        std::fprintf(stderr, "font picture: DejaVu Serif not found, drawing with %s\n", qPrintable(found.family()));
    }

    QImage picture(FONT_PICTURE_WIDTH, GLYPH_ROWS * GLYPH_HEIGHT, QImage::Format_RGB32);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        const std::vector<QString> characters = Glyph_Characters();
        for (int index = 0; index < GLYPH_COUNT; ++index) {
            Draw_Glyph(painter, face, characters[index], glyph_table_c[index]);
        }
    }
    // The faintest anti-aliased edge pixels would lay a grimy fringe over
    // the picture below the text: they become key.
    for (int y = 0; y < picture.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int brightest = std::max({qRed(row[x]), qGreen(row[x]), qBlue(row[x])});
            if (brightest > 0 && brightest < 24) row[x] = qRgb(0, 0, 0);
        }
    }

    return picture;
}
