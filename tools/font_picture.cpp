// The font 9 picture: each glyph is drawn in a golden face (a vertical gold
// gradient, with a darker rim where the cell has room for one), widened or
// condensed to fill the cell the font table gives it, at one common height.
#include "tools/font_picture.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "text/font.h"

// The font 9 glyphs are 34 pixels high; the picture holds seven rows.
static constexpr int GLYPH_HEIGHT = 34;
static constexpr int GLYPH_ROWS = 7;
// Where the baseline sits in each 34-pixel cell, and the face's pixel size:
// capitals rise about 20 pixels above it, descenders reach 6 below. Every
// letter and digit keeps this one size and baseline, however narrow its cell.
static constexpr int BASELINE = 26;
static constexpr int FACE_PIXEL_SIZE = 27;
// The ink of a glyph keeps this far from the top and bottom of its cell.
static constexpr double CELL_MARGIN = 0.5;
// Glyphs narrower than their cell are widened at most this much to fill it.
static constexpr double MOST_WIDENING = 1.6;
// Squeezing a letter into a narrow cell thins its upright strokes with it,
// and a stroke of one pixel or less is all anti-aliased edge: dim, and the
// first thing the title's fade turns to key. Squeezed strokes are thickened
// sideways back to at least this width, the counters giving up the room.
static constexpr double THINNEST_STROKE = 2.2;
// The flattened pen that thickens strokes sideways is this many times wider
// than high, so horizontal strokes keep their weight.
static constexpr double SIDEWAYS_PEN_RATIO = 8.0;
// The darker rim around the gold: none in cells narrower than RIM_MIN_WIDTH
// (it would swallow the fill), a thin one up to RIM_FULL_WIDTH. The rim lies
// outside the gold, so it never eats into the fill.
static constexpr int RIM_MIN_WIDTH = 9;
static constexpr int RIM_FULL_WIDTH = 12;
static constexpr double RIM_WIDTH = 1.0;
static constexpr double RIM_THIN_WIDTH = 0.6;
// Rimmed glyphs keep this much clear of the cell's sides as well.
static constexpr double SIDE_MARGIN = 0.25;

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

// The width of the face's upright strokes: across the middle of an 'l',
// clear of its serifs. Falls back to a bold face's usual share of the size.
static double Stroke_Width(const QFont& face) {
    QPainterPath path;
    path.addText(0, 0, face, QStringLiteral("l"));
    const QRectF ink = path.boundingRect();
    const double y = -QFontMetricsF(face).xHeight() / 2.0;
    constexpr double STEP = 1.0 / 32.0;
    int inside = 0;
    for (double x = ink.left(); x <= ink.right(); x += STEP) inside += path.contains(QPointF(x, y)) ? 1 : 0;
    return inside > 0 ? inside * STEP : 0.13 * FACE_PIXEL_SIZE;
}

// The glyph thickened by `grow` pixels on its left and right edges: stroked
// with a round pen squeezed flat (the path is stretched in height, stroked,
// and squeezed back) and joined with its own outline.
static QPainterPath Thicken_Sideways(const QPainterPath& glyph, double grow) {
    if (grow <= 0.0) return glyph;
    const QTransform stretch = QTransform::fromScale(1.0, SIDEWAYS_PEN_RATIO);
    QPainterPathStroker pen;
    pen.setWidth(2.0 * grow);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    const QPainterPath edge = stretch.inverted().map(pen.createStroke(stretch.map(glyph)));
    return glyph.united(edge).simplified();
}

// Draws one glyph into its cell: condensed or widened to the cell's width at
// the face's own height, its baseline at BASELINE, never outside the cell.
static void Draw_Glyph(QPainter& painter, const QFont& face, double stroke, const QString& character,
                       const GlyphMetrics& cell) {
    QPainterPath path;
    path.addText(0, 0, face, character);
    const QRectF ink = path.boundingRect();
    if (ink.isEmpty()) return;

    const double rim = cell.width < RIM_MIN_WIDTH ? 0.0 : cell.width < RIM_FULL_WIDTH ? RIM_THIN_WIDTH : RIM_WIDTH;
    const double side = rim > 0.0 ? rim + SIDE_MARGIN : 0.0;
    const double room = cell.width - 2.0 * side;

    // Fill the room across. When that leaves the upright strokes too thin,
    // squeeze harder and thicken them again, keeping the outer width:
    // scale_x * ink + 2 * grow = room, scale_x * stroke + 2 * grow = thinnest.
    double scale_x = std::min(room / ink.width(), MOST_WIDENING);
    double grow = 0.0;
    const double thinnest = std::min(THINNEST_STROKE, 0.75 * room);
    if (stroke * scale_x < thinnest && ink.width() > stroke) {
        scale_x = (room - thinnest) / (ink.width() - stroke);
        grow = (room - scale_x * ink.width()) / 2.0;
    }

    // Tall signs (brackets, bars) are shrunk about the baseline to keep
    // inside the cell; letters and digits all fit at the face's own height.
    const double room_above = BASELINE - CELL_MARGIN - rim;
    const double room_below = GLYPH_HEIGHT - BASELINE - CELL_MARGIN - rim;
    double scale_y = 1.0;
    if (-ink.top() > room_above) scale_y = std::min(scale_y, room_above / -ink.top());
    if (ink.bottom() > room_below) scale_y = std::min(scale_y, room_below / ink.bottom());

    QPainterPath glyph = Thicken_Sideways(QTransform::fromScale(scale_x, scale_y).map(path), grow);
    const QRectF placed = glyph.boundingRect();
    glyph.translate(cell.x + (cell.width - placed.width()) / 2.0 - placed.left(), cell.y + BASELINE);

    // Light at the top of the capitals, deep gold at the baseline.
    QLinearGradient gold(0, cell.y + BASELINE - 21, 0, cell.y + BASELINE + 6);
    gold.setColorAt(0.0, QColor(255, 246, 190));
    gold.setColorAt(0.35, QColor(250, 206, 80));
    gold.setColorAt(0.7, QColor(214, 150, 30));
    gold.setColorAt(1.0, QColor(150, 92, 12));

    painter.save();
    painter.setClipRect(QRect(cell.x, cell.y, cell.width, GLYPH_HEIGHT));
    // The rim is stroked twice as wide as it shows, and the gold laid over
    // its inner half.
    if (rim > 0.0)
        painter.strokePath(glyph, QPen(QColor(96, 56, 8), 2.0 * rim, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(glyph, gold);
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
        const double stroke = Stroke_Width(face);
        for (int index = 0; index < GLYPH_COUNT; ++index) {
            Draw_Glyph(painter, face, stroke, characters[index], glyph_table_c[index]);
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
