// make-data: builds the saver's whole data folder from nothing but this
// repository and the system's fonts, the way the installation package
// carries it:
//
//   OUT_DIR/Calvorine/*.DAT, default.dat      the presets
//   OUT_DIR/Calvorine/Data/Help.HLP           the help file
//   OUT_DIR/Calvorine/Data/Frame Converter/   empty, for the frame converter
//   OUT_DIR/Calvorine/Data/Bmp/Font.bmp       font 9
//   OUT_DIR/Calvorine/Data/Bmp/About.bmp      the About picture
//   OUT_DIR/Calvorine/Data/Bmp/Objects/N.bmp  the slide objects
//   OUT_DIR/Calvorine/Data/Bmp/Overlays/*.bmp the custom scope overlays
//
//   make-data [--expanded] [--relative-overlays] OUT_DIR [WINDOWS_DIR]
//
// A preset names its custom overlay by full path. WINDOWS_DIR is the
// Windows directory the folder will be used from (default: OUT_DIR itself),
// so that a folder made for installation elsewhere still finds its overlays.
// --relative-overlays names them from the Windows directory down instead
// ("Calvorine/Data/Bmp/Overlays/Heart.bmp"), for the installation package,
// whose Windows directory is not known before it is installed: the saver
// finds an overlay by its file name in the installed Overlays folder.
//
// The installation ships single-frame objects, which the saver expands into
// hue strips at its first start, showing each frame as it is made (a few
// seconds). --expanded does that expansion here, with the saver's own
// loader on a memory-only display, for folders that should start at once
// (the demo folder the tests copy).
//
// Every picture is drawn here with QPainter; nothing is fetched. The output
// is the same on every run.
#include <QBrush>
#include <QConicalGradient>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/data_folder.h"
#include "graphics/display.h"
#include "plasma/plasma_settings.h"
#include "platform/ddraw.h"
#include "platform/system.h"
#include "preset/preset_files.h"
#include "slides/slide_objects.h"
#include "tools/bmp_writer.h"
#include "tools/font_picture.h"

namespace fs = std::filesystem;

static constexpr double PI = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Slide objects
//
// An object frame is drawn in unit coordinates: the origin at the frame's
// centre, 1.0 at its edge, y growing downwards. The saver keys black away,
// so a drawing is made on a transparent ground and then turned into solid
// colour where it is mostly opaque and exact black elsewhere: a soft edge
// would leave a dark fringe, and a nearly black inside would turn
// transparent once the colour is reduced to 15 or 16 bits.

// One object file: `frames` square frames of `size` pixels; `phase` runs
// from 0 to 1 (exclusive) across the frames, so a strip loops seamlessly.
struct ObjectDesign {
    const char* name;
    int size;
    int frames;
    void (*draw)(QPainter& painter, double phase);
};

// Opacity below which an edge pixel becomes key, and below which a kept one
// is darkened by its coverage (a thin shaded rim instead of a jagged edge).
static constexpr int KEY_BELOW_ALPHA = 100;
static constexpr int SOLID_FROM_ALPHA = 176;
// Least brightness of a kept pixel: above the colour key at every depth.
static constexpr int LEAST_OBJECT_LEVEL = 24;

static QColor Hsv(int hue, int saturation, int value) {
    return QColor::fromHsv(((hue % 360) + 360) % 360, saturation, value);
}

// The transparent drawing turned into colour on a black key.
static QImage Key_Picture(const QImage& drawing) {
    QImage keyed(drawing.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawing.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(drawing.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < drawing.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            if (alpha < KEY_BELOW_ALPHA) {
                out[x] = qRgb(0, 0, 0);
                continue;
            }
            // Premultiplied: divide the coverage out, then shade the rim.
            const double keep = alpha >= SOLID_FROM_ALPHA ? 1.0 : alpha / 255.0;
            int r = static_cast<int>(qRed(in[x]) * 255.0 / alpha * keep);
            int g = static_cast<int>(qGreen(in[x]) * 255.0 / alpha * keep);
            int b = static_cast<int>(qBlue(in[x]) * 255.0 / alpha * keep);
            const int brightest = std::max({r, g, b});
            if (brightest < LEAST_OBJECT_LEVEL) {
                const double lift = brightest > 0 ? static_cast<double>(LEAST_OBJECT_LEVEL) / brightest : 0.0;
                r = brightest > 0 ? static_cast<int>(r * lift) : LEAST_OBJECT_LEVEL;
                g = brightest > 0 ? static_cast<int>(g * lift) : LEAST_OBJECT_LEVEL;
                b = brightest > 0 ? static_cast<int>(b * lift) : LEAST_OBJECT_LEVEL;
            }
            out[x] = qRgb(std::min(r, 255), std::min(g, 255), std::min(b, 255));
        }
    }
    return keyed;
}

// The strip of an object: its frames drawn one below the other.
static QImage Draw_Object(const ObjectDesign& design) {
    QImage strip(design.size, design.size * design.frames, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter out(&strip);
    for (int k = 0; k < design.frames; ++k) {
        QImage frame(design.size, design.size, QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::transparent);
        {
            QPainter painter(&frame);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.translate(design.size / 2.0, design.size / 2.0);
            painter.scale(design.size / 2.0, design.size / 2.0);
            design.draw(painter, static_cast<double>(k) / design.frames);
        }
        out.drawImage(0, k * design.size, Key_Picture(frame));
    }
    return strip;
}

static QPen Unit_Pen(const QColor& colour, double width) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

// A star of `points` points between the two radii, turned by `turn` radians.
static QPolygonF Star_Polygon(int points, double outer, double inner, double turn) {
    QPolygonF polygon;
    for (int i = 0; i < 2 * points; ++i) {
        const double radius = i % 2 == 0 ? outer : inner;
        const double angle = turn - PI / 2 + i * PI / points;
        polygon << QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return polygon;
}

static void Draw_Gold_Star(QPainter& p, double turn, const QColor& light, const QColor& mid, const QColor& deep,
                           const QColor& edge) {
    QRadialGradient fill(QPointF(-0.15, -0.2), 1.0);
    fill.setColorAt(0.0, light);
    fill.setColorAt(0.45, mid);
    fill.setColorAt(1.0, deep);
    p.setBrush(fill);
    p.setPen(Unit_Pen(edge, 0.09));
    p.drawPolygon(Star_Polygon(5, 0.92, 0.40, turn));
    // Ridges from the centre to each point catch the light.
    p.setPen(Unit_Pen(light, 0.05));
    for (int i = 0; i < 5; ++i) {
        const double angle = turn - PI / 2 + i * 2 * PI / 5;
        p.drawLine(QPointF(0, 0), QPointF(0.7 * std::cos(angle), 0.7 * std::sin(angle)));
    }
}

static void Object_Star(QPainter& p, double) {
    Draw_Gold_Star(p, 0.0, QColor(255, 250, 200), QColor(255, 200, 40), QColor(210, 110, 0), QColor(130, 60, 0));
}

static void Object_Ring(QPainter& p, double) {
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), 0.9, 0.9);
    ring.addEllipse(QPointF(0, 0), 0.52, 0.52);
    QRadialGradient glow(QPointF(0, 0), 0.9);
    glow.setColorAt(0.56, QColor(0, 90, 150));
    glow.setColorAt(0.72, QColor(180, 255, 255));
    glow.setColorAt(0.80, QColor(60, 210, 240));
    glow.setColorAt(1.0, QColor(0, 70, 130));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawPath(ring);
}

static void Object_Gem(QPainter& p, double) {
    // A brilliant seen from above: an octagonal table ringed by facets.
    constexpr int sides = 8;
    QPolygonF outer, table;
    for (int i = 0; i < sides; ++i) {
        const double angle = PI / sides + i * 2 * PI / sides;
        outer << QPointF(0.93 * std::cos(angle), 0.93 * std::sin(angle));
        table << QPointF(0.48 * std::cos(angle), 0.48 * std::sin(angle));
    }
    p.setPen(Unit_Pen(QColor(20, 40, 110), 0.05));
    for (int i = 0; i < sides; ++i) {
        const int j = (i + 1) % sides;
        QPolygonF facet;
        facet << outer[i] << outer[j] << table[j] << table[i];
        // Light from the top left: facets facing it are bright.
        const double facing = std::cos((i + 0.5) * 2 * PI / sides + PI / sides - 1.25 * PI);
        p.setBrush(QColor::fromRgbF(0.10 + 0.25 * (facing + 1) / 2, 0.25 + 0.35 * (facing + 1) / 2,
                                    0.65 + 0.35 * (facing + 1) / 2));
        p.drawPolygon(facet);
    }
    QLinearGradient shine(QPointF(-0.5, -0.5), QPointF(0.5, 0.5));
    shine.setColorAt(0.0, QColor(210, 235, 255));
    shine.setColorAt(1.0, QColor(70, 130, 240));
    p.setBrush(shine);
    p.drawPolygon(table);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawPolygon(Star_Polygon(4, 0.22, 0.05, 0.0).translated(-0.22, -0.22));
}

static void Object_Flower(QPainter& p, double) {
    constexpr int petals = 6;
    for (int i = 0; i < petals; ++i) {
        p.save();
        p.rotate(i * 360.0 / petals);
        QRadialGradient petal(QPointF(0, -0.2), 0.75);
        petal.setColorAt(0.0, QColor(255, 235, 245));
        petal.setColorAt(0.6, QColor(250, 120, 190));
        petal.setColorAt(1.0, QColor(200, 40, 130));
        p.setBrush(petal);
        p.setPen(Unit_Pen(QColor(140, 20, 90), 0.05));
        p.drawEllipse(QPointF(0, -0.52), 0.27, 0.42);
        p.restore();
    }
    QRadialGradient heart(QPointF(-0.08, -0.08), 0.35);
    heart.setColorAt(0.0, QColor(255, 250, 170));
    heart.setColorAt(1.0, QColor(230, 150, 0));
    p.setBrush(heart);
    p.setPen(Unit_Pen(QColor(150, 80, 0), 0.05));
    p.drawEllipse(QPointF(0, 0), 0.28, 0.28);
}

static void Object_Spiral(QPainter& p, double) {
    // An Archimedean spiral whose stroke runs through the colour circle.
    constexpr double turns = 2.6;
    constexpr int steps = 180;
    for (int i = 0; i < steps; ++i) {
        const double t0 = static_cast<double>(i) / steps, t1 = static_cast<double>(i + 1) / steps;
        auto at = [&](double t) {
            const double angle = t * turns * 2 * PI;
            const double radius = 0.08 + 0.78 * t;
            return QPointF(radius * std::cos(angle), radius * std::sin(angle));
        };
        p.setPen(Unit_Pen(Hsv(static_cast<int>(t0 * 330), 230, 255), 0.09 + 0.08 * t0));
        p.drawLine(at(t0), at(t1));
    }
}

static QPainterPath Heart_Path(double scale) {
    QPainterPath heart;
    heart.moveTo(0, 0.85 * scale);
    heart.cubicTo(-0.25 * scale, 0.62 * scale, -0.95 * scale, 0.22 * scale, -0.9 * scale, -0.3 * scale);
    heart.cubicTo(-0.85 * scale, -0.85 * scale, -0.18 * scale, -0.95 * scale, 0, -0.45 * scale);
    heart.cubicTo(0.18 * scale, -0.95 * scale, 0.85 * scale, -0.85 * scale, 0.9 * scale, -0.3 * scale);
    heart.cubicTo(0.95 * scale, 0.22 * scale, 0.25 * scale, 0.62 * scale, 0, 0.85 * scale);
    return heart;
}

static void Object_Heart(QPainter& p, double) {
    QRadialGradient fill(QPointF(-0.3, -0.35), 1.2);
    fill.setColorAt(0.0, QColor(255, 170, 180));
    fill.setColorAt(0.4, QColor(235, 30, 60));
    fill.setColorAt(1.0, QColor(140, 0, 20));
    p.setBrush(fill);
    p.setPen(Unit_Pen(QColor(100, 0, 15), 0.08));
    p.drawPath(Heart_Path(1.0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 225, 230));
    p.drawEllipse(QPointF(-0.45, -0.42), 0.14, 0.09);
}

static void Object_Moon(QPainter& p, double) {
    QPainterPath disc, bite, crescent;
    disc.addEllipse(QPointF(0, 0), 0.88, 0.88);
    bite.addEllipse(QPointF(0.42, -0.22), 0.74, 0.74);
    crescent = disc.subtracted(bite);
    QRadialGradient fill(QPointF(-0.4, 0.1), 1.0);
    fill.setColorAt(0.0, QColor(255, 252, 215));
    fill.setColorAt(0.7, QColor(245, 215, 120));
    fill.setColorAt(1.0, QColor(200, 150, 50));
    p.setBrush(fill);
    p.setPen(Unit_Pen(QColor(130, 90, 20), 0.06));
    p.drawPath(crescent);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 180, 90));
    p.drawEllipse(QPointF(-0.5, 0.22), 0.09, 0.09);
    p.drawEllipse(QPointF(-0.3, 0.55), 0.06, 0.06);
    p.drawEllipse(QPointF(-0.55, -0.15), 0.05, 0.05);
}

static void Object_Snowflake(QPainter& p, double) {
    for (int width = 0; width < 2; ++width) {
        // A darker, wider pass first outlines the white arms.
        const QPen pen = width == 0 ? Unit_Pen(QColor(40, 110, 200), 0.17) : Unit_Pen(QColor(215, 240, 255), 0.08);
        p.setPen(pen);
        for (int arm = 0; arm < 6; ++arm) {
            p.save();
            p.rotate(arm * 60.0);
            p.drawLine(QPointF(0, 0), QPointF(0, -0.88));
            for (double along : {0.38, 0.62}) {
                const double reach = along < 0.5 ? 0.26 : 0.18;
                p.drawLine(QPointF(0, -along), QPointF(-reach, -along - reach));
                p.drawLine(QPointF(0, -along), QPointF(reach, -along - reach));
            }
            p.restore();
        }
    }
    p.setPen(Unit_Pen(QColor(40, 110, 200), 0.05));
    p.setBrush(QColor(150, 210, 255));
    QPolygonF hexagon;
    for (int i = 0; i < 6; ++i) hexagon << QPointF(0.2 * std::cos(i * PI / 3), 0.2 * std::sin(i * PI / 3));
    p.drawPolygon(hexagon);
}

static void Object_Sun(QPainter& p, double) {
    constexpr int rays = 12;
    p.setPen(Unit_Pen(QColor(170, 70, 0), 0.05));
    for (int i = 0; i < rays; ++i) {
        const double angle = i * 2 * PI / rays;
        const double reach = i % 2 == 0 ? 0.95 : 0.75;
        QPolygonF ray;
        ray << QPointF(0.42 * std::cos(angle - 0.2), 0.42 * std::sin(angle - 0.2))
            << QPointF(reach * std::cos(angle), reach * std::sin(angle))
            << QPointF(0.42 * std::cos(angle + 0.2), 0.42 * std::sin(angle + 0.2));
        p.setBrush(i % 2 == 0 ? QColor(255, 190, 30) : QColor(255, 130, 20));
        p.drawPolygon(ray);
    }
    QRadialGradient disc(QPointF(-0.12, -0.15), 0.6);
    disc.setColorAt(0.0, QColor(255, 255, 200));
    disc.setColorAt(0.5, QColor(255, 210, 50));
    disc.setColorAt(1.0, QColor(240, 120, 0));
    p.setBrush(disc);
    p.drawEllipse(QPointF(0, 0), 0.5, 0.5);
}

static void Object_Orb(QPainter& p, double) {
    QRadialGradient glass(QPointF(-0.3, -0.35), 1.25, QPointF(-0.35, -0.4));
    glass.setColorAt(0.0, QColor(235, 255, 225));
    glass.setColorAt(0.25, QColor(90, 230, 110));
    glass.setColorAt(0.8, QColor(10, 120, 50));
    glass.setColorAt(1.0, QColor(0, 70, 30));
    p.setBrush(glass);
    p.setPen(Unit_Pen(QColor(0, 60, 25), 0.07));
    p.drawEllipse(QPointF(0, 0), 0.88, 0.88);
}

static void Draw_Sparkle(QPainter& p, double scale, double turn) {
    QRadialGradient glow(QPointF(0, 0), scale);
    glow.setColorAt(0.0, QColor(255, 255, 240));
    glow.setColorAt(0.35, QColor(255, 240, 150));
    glow.setColorAt(1.0, QColor(240, 170, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawPolygon(Star_Polygon(4, 0.95 * scale, 0.24 * scale, turn));
    p.drawPolygon(Star_Polygon(4, 0.6 * scale, 0.2 * scale, turn + PI / 4));
}

static void Object_Sparkle(QPainter& p, double) { Draw_Sparkle(p, 1.0, 0.0); }

static void Object_Planet(QPainter& p, double) {
    // The ring's far half lies behind the planet, its near half in front.
    const QRectF ring_box(-0.95, -0.3, 1.9, 0.6);
    p.save();
    p.rotate(-18);
    p.setBrush(Qt::NoBrush);
    p.setPen(Unit_Pen(QColor(120, 80, 40), 0.16));
    p.drawArc(ring_box, 0, 180 * 16);
    p.setPen(Unit_Pen(QColor(240, 210, 150), 0.09));
    p.drawArc(ring_box, 0, 180 * 16);
    p.restore();

    QLinearGradient bands(QPointF(0, -0.55), QPointF(0, 0.55));
    const QColor tones[] = {QColor(250, 200, 120), QColor(210, 120, 60),  QColor(240, 170, 90),
                            QColor(170, 80, 50),   QColor(230, 160, 100), QColor(150, 70, 60)};
    for (int i = 0; i < 6; ++i) bands.setColorAt(i / 5.0, tones[i]);
    p.setBrush(bands);
    p.setPen(Unit_Pen(QColor(90, 40, 20), 0.05));
    p.drawEllipse(QPointF(0, 0), 0.55, 0.55);
    // Shade the night side.
    QRadialGradient shade(QPointF(-0.25, -0.25), 0.8);
    shade.setColorAt(0.0, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, 120));
    p.setBrush(shade);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 0), 0.55, 0.55);

    p.save();
    p.rotate(-18);
    p.setBrush(Qt::NoBrush);
    p.setPen(Unit_Pen(QColor(120, 80, 40), 0.16));
    p.drawArc(ring_box, 180 * 16, 180 * 16);
    p.setPen(Unit_Pen(QColor(240, 210, 150), 0.09));
    p.drawArc(ring_box, 180 * 16, 180 * 16);
    p.restore();
}

static void Object_Butterfly(QPainter& p, double) {
    for (int side = -1; side <= 1; side += 2) {
        p.save();
        p.scale(side, 1);
        QRadialGradient wing(QPointF(0.45, -0.3), 0.7);
        wing.setColorAt(0.0, QColor(255, 230, 120));
        wing.setColorAt(0.6, QColor(250, 120, 20));
        wing.setColorAt(1.0, QColor(160, 40, 0));
        p.setBrush(wing);
        p.setPen(Unit_Pen(QColor(60, 20, 0), 0.06));
        QPainterPath upper;
        upper.moveTo(0.05, -0.05);
        upper.cubicTo(0.3, -0.9, 0.95, -0.9, 0.9, -0.35);
        upper.cubicTo(0.85, -0.05, 0.4, 0.05, 0.05, -0.05);
        p.drawPath(upper);
        QPainterPath lower;
        lower.moveTo(0.05, 0.0);
        lower.cubicTo(0.55, 0.05, 0.8, 0.4, 0.55, 0.7);
        lower.cubicTo(0.35, 0.9, 0.1, 0.5, 0.05, 0.0);
        p.drawPath(lower);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 250, 220));
        p.drawEllipse(QPointF(0.6, -0.45), 0.09, 0.09);
        p.drawEllipse(QPointF(0.42, 0.4), 0.07, 0.07);
        p.restore();
    }
    p.setBrush(QColor(70, 40, 30));
    p.setPen(Unit_Pen(QColor(40, 20, 10), 0.04));
    p.drawEllipse(QPointF(0, 0.05), 0.07, 0.5);
    p.setPen(Unit_Pen(QColor(70, 40, 30), 0.04));
    p.drawLine(QPointF(0, -0.4), QPointF(-0.2, -0.8));
    p.drawLine(QPointF(0, -0.4), QPointF(0.2, -0.8));
}

// Strips: their frames loop, so each drawing turns or pulses by a whole
// period across the strip.

static void Object_Spinning_Star(QPainter& p, double phase) {
    // A five-pointed star repeats after a fifth of a turn.
    const double turn = phase * 2 * PI / 5;
    QRadialGradient halo(QPointF(0, 0), 1.0);
    halo.setColorAt(0.0, QColor(200, 230, 255, 255));
    halo.setColorAt(0.5, QColor(120, 170, 255, 140));
    halo.setColorAt(1.0, QColor(60, 90, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(QPointF(0, 0), 0.75, 0.75);
    Draw_Gold_Star(p, turn, QColor(255, 255, 255), QColor(170, 210, 255), QColor(60, 100, 230), QColor(20, 40, 140));
}

static void Object_Pulsing_Ring(QPainter& p, double phase) {
    const double swell = std::sin(phase * 2 * PI);
    const double middle = 0.66 + 0.12 * swell;
    const double half_width = 0.15 + 0.04 * swell;
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), middle + half_width, middle + half_width);
    ring.addEllipse(QPointF(0, 0), middle - half_width, middle - half_width);
    const double outer = middle + half_width;
    QRadialGradient glow(QPointF(0, 0), outer);
    const int bright = static_cast<int>(200 + 55 * swell);
    glow.setColorAt((middle - half_width) / outer, QColor(20, 120, 40));
    glow.setColorAt(middle / outer, QColor(std::min(255, bright), 255, std::min(255, bright)));
    glow.setColorAt(1.0, QColor(20, 140, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawPath(ring);
}

static void Object_Rotating_Gem(QPainter& p, double phase) {
    // A hexagonal bipyramid turning about its upright axis; it looks the
    // same again after a sixth of a turn. Faces are painted far to near,
    // flat shaded by how squarely they face the light.
    constexpr int sides = 6;
    const double turn = phase * 2 * PI / sides;
    struct Face {
        QPolygonF outline;
        double depth;
        double light;
    };
    std::vector<Face> faces;
    const double tilt = 0.35;  // seen a little from above
    auto project = [&](double x, double y, double z) {
        const double y2 = y * std::cos(tilt) - z * std::sin(tilt);
        const double z2 = y * std::sin(tilt) + z * std::cos(tilt);
        return std::pair<QPointF, double>(QPointF(x, y2), z2);
    };
    const double radius = 0.78, apex = 0.92;
    for (int i = 0; i < sides; ++i) {
        const double a0 = turn + i * 2 * PI / sides, a1 = a0 + 2 * PI / sides;
        for (int half = -1; half <= 1; half += 2) {
            const auto p0 = project(radius * std::cos(a0), 0, radius * std::sin(a0));
            const auto p1 = project(radius * std::cos(a1), 0, radius * std::sin(a1));
            const auto tip = project(0, half * apex, 0);
            // Face normal (unnormalised) of a bipyramid facet, then tilted.
            const double mid = (a0 + a1) / 2;
            const double nx = std::cos(mid) * apex, ny = half * radius * std::cos(PI / sides),
                         nz = std::sin(mid) * apex;
            const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
            const double ty = (ny * std::cos(tilt) - nz * std::sin(tilt)) / length;
            const double tz = (ny * std::sin(tilt) + nz * std::cos(tilt)) / length;
            const double tx = nx / length;
            if (tz > 0.02) continue;  // facing away (the viewer looks along +z)
            // Lit from the upper left, in front (y grows downwards, the viewer is at -z).
            const double light = std::clamp(-0.45 * tx - 0.6 * ty - 0.65 * tz, 0.0, 1.0);
            Face face;
            face.outline << p0.first << p1.first << tip.first;
            face.depth = (p0.second + p1.second + tip.second) / 3;
            face.light = light;
            faces.push_back(face);
        }
    }
    std::sort(faces.begin(), faces.end(), [](const Face& a, const Face& b) { return a.depth > b.depth; });
    p.setPen(Unit_Pen(QColor(0, 70, 30), 0.04));
    for (const Face& face : faces) {
        const double l = face.light;
        const double glint = l * l * l * l;
        p.setBrush(QColor::fromRgbF(std::min(1.0, 0.02 + 0.75 * glint), std::min(1.0, 0.25 + 0.6 * l + 0.15 * glint),
                                    std::min(1.0, 0.1 + 0.3 * l + 0.5 * glint)));
        p.drawPolygon(face.outline);
    }
}

static void Object_Twinkle(QPainter& p, double phase) {
    const double scale = 0.7 + 0.3 * (0.5 + 0.5 * std::cos(phase * 2 * PI));
    Draw_Sparkle(p, scale, phase * PI / 2);
}

// The objects in file order; the presets pick them by these numbers.
enum ObjectNumber {
    OBJ_STAR,
    OBJ_RING,
    OBJ_GEM,
    OBJ_FLOWER,
    OBJ_SPIRAL,
    OBJ_HEART,
    OBJ_MOON,
    OBJ_SNOWFLAKE,
    OBJ_SUN,
    OBJ_ORB,
    OBJ_SPARKLE,
    OBJ_PLANET,
    OBJ_BUTTERFLY,
    OBJ_SPINNING_STAR,
    OBJ_PULSING_RING,
    OBJ_ROTATING_GEM,
    OBJ_TWINKLE,
    OBJECT_COUNT
};

// Single frames have sides that are multiples of 8: the saver writes their
// hue strips back with its own bitmap writer, which takes nothing else.
// Strips never have 32 frames, the hue strips' count, so they loop instead
// of swinging back and forth.
static const ObjectDesign object_designs[OBJECT_COUNT] = {
    {"star", 32, 1, Object_Star},
    {"ring", 40, 1, Object_Ring},
    {"gem", 48, 1, Object_Gem},
    {"flower", 40, 1, Object_Flower},
    {"spiral", 48, 1, Object_Spiral},
    {"heart", 32, 1, Object_Heart},
    {"moon", 40, 1, Object_Moon},
    {"snowflake", 48, 1, Object_Snowflake},
    {"sun", 56, 1, Object_Sun},
    {"orb", 24, 1, Object_Orb},
    {"sparkle", 24, 1, Object_Sparkle},
    {"planet", 64, 1, Object_Planet},
    {"butterfly", 40, 1, Object_Butterfly},
    {"spinning star", 32, 8, Object_Spinning_Star},
    {"pulsing ring", 40, 8, Object_Pulsing_Ring},
    {"rotating gem", 40, 12, Object_Rotating_Gem},
    {"twinkle", 24, 8, Object_Twinkle},
};

// ---------------------------------------------------------------------------
// Overlays
//
// The mask shows the picture through its pure white pixels only; every
// other colour covers it. Openings are therefore filled without smoothing,
// in exact white, and nothing else in a frame may come out white.

static constexpr int OVERLAY_WIDTH = 640;
static constexpr int OVERLAY_HEIGHT = 480;
// Frame colours are kept at or below this level so none turns into an opening.
static constexpr int BRIGHTEST_FRAME_LEVEL = 236;

struct OverlayDesign {
    const char* file;
    void (*draw)(QPainter& painter, const std::function<void(const QPainterPath&)>& open);
};

// Brings every frame pixel that is nearly white down, so that only the
// openings stay exact white (at 15 and 16 bits near-whites would become key).
static void Keep_Frame_Off_White(QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == 0xFFFFFF) continue;
            row[x] =
                qRgb(std::min(qRed(row[x]), BRIGHTEST_FRAME_LEVEL), std::min(qGreen(row[x]), BRIGHTEST_FRAME_LEVEL),
                     std::min(qBlue(row[x]), BRIGHTEST_FRAME_LEVEL));
        }
    }
}

// Draws an overlay: the design paints its frame and cuts its openings in
// exact white, without smoothing; whatever it paints afterwards (lead
// between panes) lies over the openings.
static QImage Draw_Overlay(const OverlayDesign& design) {
    QImage picture(OVERLAY_WIDTH, OVERLAY_HEIGHT, QImage::Format_RGB32);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        design.draw(painter, [&painter](const QPainterPath& opening) {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawPath(opening);
            painter.restore();
        });
    }
    Keep_Frame_Off_White(picture);
    return picture;
}

// Wood grain: dark bands that wander, for the keyhole's door.
static void Paint_Wood(QPainter& p, const QRect& area) {
    QImage wood(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < wood.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(wood.scanLine(y));
        for (int x = 0; x < wood.width(); ++x) {
            // Upright planks, each with its own long wavering grain.
            const int plank = x / 128;
            const double grain =
                std::sin(x * 0.07 + plank * 1.7 + 1.2 * std::sin(y * 0.006 + plank) + 0.4 * std::sin(y * 0.023));
            const double fine = std::sin(x * 0.45 + 0.8 * std::sin(y * 0.015 + plank * 2.3));
            const double seam = x % 128 < 3 ? 0.45 : 1.0;
            const double level = (0.62 + 0.18 * grain + 0.06 * fine) * seam;
            row[x] = qRgb(static_cast<int>(120 * level), static_cast<int>(62 * level), static_cast<int>(28 * level));
        }
    }
    p.drawImage(area.topLeft(), wood);
}

static void Draw_Screw(QPainter& p, QPointF centre, double radius, double slot_angle) {
    QRadialGradient head(centre + QPointF(-radius / 3, -radius / 3), radius * 1.4);
    head.setColorAt(0.0, QColor(236, 220, 160));
    head.setColorAt(1.0, QColor(120, 90, 30));
    p.setBrush(head);
    p.setPen(QPen(QColor(70, 50, 10), 1.2));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(60, 40, 10), radius / 3));
    const QPointF along(radius * 0.8 * std::cos(slot_angle), radius * 0.8 * std::sin(slot_angle));
    p.drawLine(centre - along, centre + along);
}

static void Overlay_Keyhole(QPainter& p, const std::function<void(const QPainterPath&)>& open) {
    Paint_Wood(p, QRect(0, 0, OVERLAY_WIDTH, OVERLAY_HEIGHT));
    // The brass escutcheon: a tall plate rounded at both ends.
    QPainterPath plate;
    plate.addRoundedRect(QRectF(185, 18, 270, 444), 135, 135);
    QLinearGradient brass(QPointF(185, 0), QPointF(455, 0));
    brass.setColorAt(0.0, QColor(140, 100, 30));
    brass.setColorAt(0.3, QColor(236, 200, 110));
    brass.setColorAt(0.55, QColor(200, 150, 50));
    brass.setColorAt(1.0, QColor(110, 75, 20));
    p.setBrush(brass);
    p.setPen(QPen(QColor(70, 45, 10), 4));
    p.drawPath(plate);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(236, 215, 150), 2));
    p.drawRoundedRect(QRectF(198, 31, 244, 418), 122, 122);
    Draw_Screw(p, QPointF(320, 45), 10, 0.6);
    Draw_Screw(p, QPointF(320, 437), 10, 2.2);

    QPainterPath hole;
    hole.addEllipse(QPointF(320, 175), 88, 88);
    QPolygonF slot;
    slot << QPointF(282, 215) << QPointF(358, 215) << QPointF(392, 405) << QPointF(248, 405);
    hole.addPolygon(slot);
    hole.setFillRule(Qt::WindingFill);
    hole = hole.simplified();
    // A dark bevel around the hole gives it depth.
    p.setPen(QPen(QColor(50, 30, 5), 12));
    p.drawPath(hole);
    open(hole);
}

static void Overlay_Porthole(QPainter& p, const std::function<void(const QPainterPath&)>& open) {
    // Riveted hull plates.
    QLinearGradient hull(QPointF(0, 0), QPointF(0, OVERLAY_HEIGHT));
    hull.setColorAt(0.0, QColor(70, 90, 105));
    hull.setColorAt(1.0, QColor(40, 52, 62));
    p.fillRect(QRect(0, 0, OVERLAY_WIDTH, OVERLAY_HEIGHT), hull);
    p.setPen(QPen(QColor(25, 32, 40), 3));
    for (int x : {160, 480}) p.drawLine(x, 0, x, OVERLAY_HEIGHT);
    for (int y : {120, 360}) p.drawLine(0, y, OVERLAY_WIDTH, y);
    auto rivet = [&](QPointF at, double radius) {
        QRadialGradient shine(at + QPointF(-radius / 2, -radius / 2), radius * 1.5);
        shine.setColorAt(0.0, QColor(170, 185, 195));
        shine.setColorAt(1.0, QColor(45, 55, 65));
        p.setBrush(shine);
        p.setPen(QPen(QColor(20, 26, 32), 1));
        p.drawEllipse(at, radius, radius);
    };
    for (int x : {160, 480}) {
        for (int y = 12; y < OVERLAY_HEIGHT; y += 24) rivet(QPointF(x + 9, y), 4);
    }
    for (int y : {120, 360}) {
        for (int x = 12; x < OVERLAY_WIDTH; x += 24) rivet(QPointF(x, y + 9), 4);
    }
    // The brass ring with its bolts.
    const QPointF centre(320, 240);
    QRadialGradient ring(centre, 236);
    ring.setColorAt(0.80, QColor(110, 70, 20));
    ring.setColorAt(0.87, QColor(236, 200, 120));
    ring.setColorAt(0.93, QColor(190, 140, 50));
    ring.setColorAt(1.0, QColor(100, 65, 15));
    p.setBrush(ring);
    p.setPen(QPen(QColor(50, 30, 5), 3));
    p.drawEllipse(centre, 236, 236);
    constexpr int bolts = 16;
    for (int i = 0; i < bolts; ++i) {
        const double angle = i * 2 * PI / bolts;
        QPointF at = centre + QPointF(218 * std::cos(angle), 218 * std::sin(angle));
        QRadialGradient bolt(at + QPointF(-3, -3), 11);
        bolt.setColorAt(0.0, QColor(236, 225, 180));
        bolt.setColorAt(1.0, QColor(120, 85, 25));
        p.setBrush(bolt);
        p.setPen(QPen(QColor(60, 40, 10), 1.5));
        p.drawEllipse(at, 8, 8);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 25, 5), 6));
    p.drawEllipse(centre, 200, 200);
    QPainterPath glass;
    glass.addEllipse(centre, 198, 198);
    open(glass);
}

static void Overlay_Heart(QPainter& p, const std::function<void(const QPainterPath&)>& open) {
    QRadialGradient velvet(QPointF(320, 240), 420);
    velvet.setColorAt(0.0, QColor(170, 20, 60));
    velvet.setColorAt(1.0, QColor(60, 0, 20));
    p.fillRect(QRect(0, 0, OVERLAY_WIDTH, OVERLAY_HEIGHT), velvet);
    // A scatter of small golden hearts, always the same.
    std::minstd_rand random(1999);
    std::uniform_real_distribution<double> x_at(0, OVERLAY_WIDTH), y_at(0, OVERLAY_HEIGHT), size(6, 14), tilt(-30, 30);
    QTransform middle;
    middle.translate(320, 250);
    const QPainterPath keep_clear = middle.map(Heart_Path(262));
    for (int i = 0; i < 90; ++i) {
        const QPointF at(x_at(random), y_at(random));
        const double s = size(random);
        const double angle = tilt(random);
        if (keep_clear.contains(at)) continue;
        p.save();
        p.translate(at);
        p.rotate(angle);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 170, 80, 150));
        p.drawPath(Heart_Path(s));
        p.restore();
    }
    p.save();
    p.translate(320, 250);
    const QPainterPath big = Heart_Path(230);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 70, 10), 16));
    p.drawPath(big);
    p.setPen(QPen(QColor(236, 196, 90), 8));
    p.drawPath(big);
    p.restore();
    QTransform place;
    place.translate(320, 250);
    open(place.map(Heart_Path(222)));
}

static void Overlay_Stained_Glass(QPainter& p, const std::function<void(const QPainterPath&)>& open) {
    // A stone wall of uneven blocks.
    std::minstd_rand random(1998);
    std::uniform_int_distribution<int> tone(-14, 14);
    constexpr int block_w = 80, block_h = 40;
    for (int row = 0; row * block_h < OVERLAY_HEIGHT; ++row) {
        const int shift = row % 2 == 0 ? 0 : block_w / 2;
        for (int x = -shift; x < OVERLAY_WIDTH; x += block_w) {
            const int t = tone(random);
            p.fillRect(QRect(x, row * block_h, block_w, block_h), QColor(118 + t, 112 + t, 100 + t));
            p.setPen(QPen(QColor(70, 66, 58), 3));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(x, row * block_h, block_w, block_h));
        }
    }
    // The pointed arch of the window and its stone surround.
    auto arch = [](double left, double right, double top, double bottom) {
        const double width = right - left;
        const double spring = top + width * 0.75;  // where the arch starts to curve
        QPainterPath path;
        path.moveTo(left, bottom);
        path.lineTo(left, spring);
        path.cubicTo(left, spring - width * 0.45, left + width * 0.3, top + width * 0.05, (left + right) / 2, top);
        path.cubicTo(right - width * 0.3, top + width * 0.05, right, spring - width * 0.45, right, spring);
        path.lineTo(right, bottom);
        path.closeSubpath();
        return path;
    };
    QLinearGradient stone(QPointF(150, 0), QPointF(490, 0));
    stone.setColorAt(0.0, QColor(150, 142, 125));
    stone.setColorAt(0.5, QColor(196, 188, 168));
    stone.setColorAt(1.0, QColor(140, 132, 115));
    p.setBrush(stone);
    p.setPen(QPen(QColor(70, 66, 58), 3));
    p.drawPath(arch(150, 490, 12, 470));
    const QPainterPath window = arch(180, 460, 40, 448);

    // Lead: two lancets under a rose, and a border of coloured panes.
    const QColor glass[] = {QColor(180, 20, 40), QColor(20, 60, 170), QColor(220, 160, 20), QColor(30, 130, 60)};
    p.setPen(Qt::NoPen);
    int colour = 0;
    for (int y = 448 - 30; y > 190; y -= 30) {
        for (double x : {180.0, 438.0}) {
            p.setBrush(glass[colour++ % 4]);
            p.drawRect(QRectF(x, y, 22, 30));
        }
    }
    // The rose: coloured petals around a clear centre.
    const QPointF rose(320, 150);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(rose);
        p.rotate(i * 45.0);
        p.setBrush(glass[i % 4]);
        p.drawEllipse(QPointF(0, -46), 16, 26);
        p.restore();
    }
    QPainterPath clear;
    QPainterPath lancets;
    lancets.addPath(arch(210, 312, 200, 440));
    lancets.addPath(arch(328, 430, 200, 440));
    clear.addPath(lancets);
    clear.addEllipse(rose, 22, 22);
    // The clear glass of the lancets is cut into diamond quarries by thin lead.
    open(clear);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 40, 48), 6));
    p.drawPath(window);
    p.drawPath(lancets);
    p.drawEllipse(rose, 22, 22);
    p.drawEllipse(rose, 74, 74);
    p.setPen(QPen(QColor(40, 40, 48), 3));
    p.save();
    p.setClipPath(lancets);
    for (int k = -20; k < 40; ++k) {
        const double x = 100 + k * 46.0;
        p.drawLine(QPointF(x, 200), QPointF(x + 240, 440));
        p.drawLine(QPointF(x + 240, 200), QPointF(x, 440));
    }
    p.restore();
    p.setRenderHint(QPainter::Antialiasing, true);
}

static const OverlayDesign overlay_designs[] = {
    {"Keyhole.bmp", Overlay_Keyhole},
    {"Porthole.bmp", Overlay_Porthole},
    {"Heart.bmp", Overlay_Heart},
    {"StainedGlass.bmp", Overlay_Stained_Glass},
};

// ---------------------------------------------------------------------------
// The About picture: a plasma of the saver's own kind behind the name.

static constexpr int ABOUT_WIDTH = 480;  // a multiple of 8, like every picture the saver may write
static constexpr int ABOUT_HEIGHT = 360;
static constexpr const char* VERSION_LINE = "Version 1.3 Beta";

static QImage Draw_About_Picture() {
    QImage picture(ABOUT_WIDTH, ABOUT_HEIGHT, QImage::Format_RGB32);
    const double cx = ABOUT_WIDTH / 2.0, cy = ABOUT_HEIGHT / 2.0;
    for (int y = 0; y < ABOUT_HEIGHT; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < ABOUT_WIDTH; ++x) {
            // Rings about two centres and two drifting waves, summed and
            // folded into the colour circle, as the plasma does.
            const double d1 = std::hypot(x - cx * 0.6, y - cy * 0.7);
            const double d2 = std::hypot(x - cx * 1.5, y - cy * 1.3);
            const double v = std::sin(d1 / 19.0) + std::sin(d2 / 23.0) + std::sin(x / 37.0 + std::sin(y / 29.0)) +
                             std::sin((x + y) / 41.0);
            const double hue = std::fmod(v * 75.0 + 720.0, 360.0);
            // Darker towards the edges and behind the name, so the text reads.
            const double edge = std::hypot((x - cx) / cx, (y - cy) / cy);
            const double band = std::exp(-std::pow((y - 150.0) / 70.0, 2));
            const double light = std::clamp(0.85 - 0.35 * edge * edge - 0.45 * band, 0.12, 1.0);
            row[x] = QColor::fromHsvF(hue / 360.0, 0.8, light).rgb();
        }
    }

    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QFont title_face(QStringLiteral("DejaVu Serif"));
    title_face.setPixelSize(76);
    title_face.setBold(true);
    title_face.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath title;
    title.addText(0, 0, title_face, QStringLiteral("Calvorine"));
    const QRectF ink = title.boundingRect();
    title.translate((ABOUT_WIDTH - ink.width()) / 2 - ink.left(), 175 - ink.bottom());

    // A soft dark glow, then the golden letters with a dark rim.
    for (int width = 22; width >= 6; width -= 4) {
        p.setPen(QPen(QColor(0, 0, 0, 40), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(title);
    }
    QLinearGradient gold(QPointF(0, title.boundingRect().top()), QPointF(0, title.boundingRect().bottom()));
    gold.setColorAt(0.0, QColor(255, 248, 200));
    gold.setColorAt(0.45, QColor(250, 200, 70));
    gold.setColorAt(0.55, QColor(220, 150, 30));
    gold.setColorAt(1.0, QColor(160, 90, 10));
    p.setPen(QPen(QColor(90, 50, 5), 2.5));
    p.setBrush(gold);
    p.drawPath(title);

    QFont line_face(QStringLiteral("DejaVu Sans"));
    line_face.setPixelSize(18);
    line_face.setHintingPreference(QFont::PreferNoHinting);
    auto centred_text = [&](const QString& text, const QFont& face, double baseline, const QColor& colour) {
        QPainterPath path;
        path.addText(0, 0, face, text);
        const QRectF box = path.boundingRect();
        path.translate((ABOUT_WIDTH - box.width()) / 2 - box.left(), baseline);
        p.setPen(QPen(QColor(0, 0, 0, 170), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(path);
    };
    centred_text(QStringLiteral("colour plasma screen saver"), line_face, 214, QColor(235, 240, 255));
    QFont version_face = line_face;
    version_face.setPixelSize(15);
    centred_text(QString::fromLatin1(VERSION_LINE), version_face, 330, QColor(255, 230, 150));

    // A thin gold frame.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 25, 0), 6));
    p.drawRect(QRectF(3, 3, ABOUT_WIDTH - 6, ABOUT_HEIGHT - 6));
    p.setPen(QPen(QColor(230, 190, 90), 2));
    p.drawRect(QRectF(6, 6, ABOUT_WIDTH - 12, ABOUT_HEIGHT - 12));
    return picture;
}

// ---------------------------------------------------------------------------
// Presets

// The full path of the custom overlays, as the presets store it.
static std::string overlay_folder;

// Everything the presets assume of the display when the built-in defaults
// are taken: the preferred 640 x 480 x 32 (contrast 4) and every object of
// this folder loaded (all selected once).
static constexpr int PRESET_SCREEN_HEIGHT = 480;
static constexpr int PRESET_SCREEN_BPP = 32;
// The largest kaleidoscope tile a 480-line display allows; larger screens
// stretch the same picture.
static constexpr int KALEIDOSCOPE_TILE = 240;
// Resolution codes: 640 x 480 at 32 and at 8 bits per pixel.
static constexpr int RESOLUTION_640_480_32 = 1;
static constexpr int RESOLUTION_640_480_8 = 16;

struct ObjectChoice {
    int type;
    int frequency;           // instances
    double animation_speed;  // hundredths of a second per frame; 0 still
    double speed;            // tenths of a pixel per movement unit; 0 carried by the slide only
};

struct PresetDesign {
    const char* file;   // name in the data folder
    const char* title;  // shown by the titles and in the window caption
    const char* note;   // one line for the help file
    void (*tune)(PlasmaSettings& s);
};

static void Set_Title(PlasmaSettings& s, const char* title) { std::snprintf(s.title, sizeof s.title, "%s", title); }

static void Choose_Objects(PlasmaSettings& s, std::initializer_list<ObjectChoice> choices) {
    for (int i = 0; i < OBJECT_COUNT; ++i) {
        s.object_selected[i] = 0;
        s.object_frequency[i] = 0;
        s.object_animation_speed[i] = 0.0;
        s.object_speed[i] = 0.0;
    }
    for (const ObjectChoice& choice : choices) {
        s.object_selected[choice.type] = 1;
        s.object_frequency[choice.type] = choice.frequency;
        s.object_animation_speed[choice.type] = choice.animation_speed;
        s.object_speed[choice.type] = choice.speed;
    }
}

static void Kaleidoscope(PlasmaSettings& s) {
    s.kaleidoscope_on = 1;
    s.kaleidoscope_stretch = 1;
    s.kaleidoscope_granularity = KALEIDOSCOPE_TILE;
    s.symmetry = 0;
}

static void Slides(PlasmaSettings& s, int background_mode) {
    Kaleidoscope(s);
    s.slides_on = 1;
    s.background_mode = background_mode;
}

static void Scope(PlasmaSettings& s, int shape) {
    s.overlay_on = 1;
    s.overlay_shape = shape;
}

static void Custom_Scope(PlasmaSettings& s, const char* overlay) {
    Scope(s, 4);
    std::snprintf(s.custom_scope_path, sizeof s.custom_scope_path, "%s/%s", overlay_folder.c_str(), overlay);
}

// The Sine Wave dialog's "Wave Density" is stored times this.
static constexpr double SINE_DENSITY_UNIT = 0.0002;

// The colour bytes mask a plasma value of 0..127: 127 lets a channel
// follow the plasma fully, 0 shuts it, and a channel shift halves it.
// Other masks cut the ramp into hard-edged bands.
static void Colour(PlasmaSettings& s, int red, int green, int blue) {
    s.colour_red = static_cast<uint8_t>(red);
    s.colour_green = static_cast<uint8_t>(green);
    s.colour_blue = static_cast<uint8_t>(blue);
}

static const PresetDesign preset_designs[] = {
    {"default.dat", "Welcome to Calvorine", "plasma slides in the kaleidoscope, with stars and flowers",
     [](PlasmaSettings& s) {
         // The moving plasma is drawn anew every frame, so butterflies may fly.
         Slides(s, 4);
         s.slide_speed = 12.0;
         Choose_Objects(s, {{OBJ_STAR, 8, 0, 0},
                            {OBJ_HEART, 6, 0, 0},
                            {OBJ_FLOWER, 6, 0, 0},
                            {OBJ_BUTTERFLY, 6, 0, 1},
                            {OBJ_GEM, 4, 0, 0},
                            {OBJ_SPINNING_STAR, 6, 6, 0},
                            {OBJ_SPARKLE, 8, 4, 0}});
     }},
    {"Classic Plasma.DAT", "Classic Plasma", "the plasma alone, no symmetry",
     [](PlasmaSettings& s) {
         s.symmetry = 0;
         s.speed = 30.0;
     }},
    {"Twin Flames.DAT", "Twin Flames", "a fiery plasma mirrored left to right",
     [](PlasmaSettings& s) {
         // One plasma for every channel: red at full, green at half: embers to flame.
         s.symmetry = 1;
         s.multi_colour = 0;
         Colour(s, 127, 127, 0);
         s.green_shift = 1;
         s.ripple_frequency = 4.0f;
         s.interference = 12.0f;
         s.speed = 28.0;
     }},
    {"Four Winds.DAT", "Four Winds", "four-fold symmetry in cool blues, through a diamond",
     [](PlasmaSettings& s) {
         s.symmetry = 2;
         Colour(s, 0, 127, 127);
         s.green_shift = 1;
         s.ripple_frequency = 7.0f;
         s.interference = 8.0f;
         Scope(s, 2);
     }},
    {"Mandala.DAT", "Mandala", "eight-fold symmetry seen through a star",
     [](PlasmaSettings& s) {
         s.symmetry = 3;
         s.ripple_frequency = 9.0f;
         s.interference = 5.0f;
         s.complexity = 70;
         s.speed = 40.0;
         Scope(s, 3);
     }},
    {"Crystal Kaleidoscope.DAT", "Crystal Kaleidoscope", "the plasma folded by the kaleidoscope, in a round lens",
     [](PlasmaSettings& s) {
         Kaleidoscope(s);
         s.ripple_frequency = 8.0f;
         s.interference = 6.0f;
         Scope(s, 0);
     }},
    {"Night Sky.DAT", "Night Sky", "stars, moons and planets on black slides",
     [](PlasmaSettings& s) {
         // Black slides are cleared every frame, so the objects may roam.
         Slides(s, 0);
         s.slide_speed = 8.0;
         Choose_Objects(s, {{OBJ_STAR, 16, 0, 1},
                            {OBJ_MOON, 4, 0, 0},
                            {OBJ_PLANET, 3, 0, 0},
                            {OBJ_SPARKLE, 16, 0, 0},
                            {OBJ_TWINKLE, 20, 8, 1},
                            {OBJ_SPINNING_STAR, 8, 7, 2}});
     }},
    {"Comet Trails.DAT", "Comet Trails", "roaming objects paint trails (gradual fill, hue blend)",
     [](PlasmaSettings& s) {
         // Gradual Fill never clears: the moving objects paint the picture.
         Slides(s, 1);
         s.slide_speed = 6.0;
         s.blend_mode = 1;
         Choose_Objects(s, {{OBJ_ORB, 8, 0, 3}, {OBJ_SPARKLE, 8, 0, 4}, {OBJ_RING, 4, 0, 2}, {OBJ_SUN, 2, 0, 2}});
     }},
    {"Rainbow Garden.DAT", "Rainbow Garden", "colour gradients carrying flowers and butterflies",
     [](PlasmaSettings& s) {
         // Painted backgrounds are not cleared: objects keep still on them.
         Slides(s, 2);
         s.slide_speed = 10.0;
         s.background_brightness = 130;
         s.zone_frequency = 10;
         s.zone_duration = 4;
         Choose_Objects(
             s, {{OBJ_FLOWER, 16, 0, 0}, {OBJ_BUTTERFLY, 10, 0, 0}, {OBJ_HEART, 6, 0, 0}, {OBJ_SPARKLE, 8, 10, 0}});
     }},
    {"Frozen Lake.DAT", "Frozen Lake", "snowflakes over a still plasma (light blend)",
     [](PlasmaSettings& s) {
         Slides(s, 3);
         s.slide_speed = 6.0;
         // The light blend adds the objects' light: it shows on a dim plasma.
         s.blend_mode = 2;
         s.multi_colour = 0;
         s.brighten = 0;
         Colour(s, 0, 127, 127);
         s.green_shift = 1;
         Choose_Objects(s, {{OBJ_SNOWFLAKE, 16, 0, 0}, {OBJ_TWINKLE, 10, 6, 0}});
     }},
    {"Liquid Jewels.DAT", "Liquid Jewels", "gems on a moving plasma (hue blend), in an ellipse",
     [](PlasmaSettings& s) {
         Slides(s, 4);
         s.slide_speed = 10.0;
         s.blend_mode = 1;
         Choose_Objects(s, {{OBJ_GEM, 8, 0, 0}, {OBJ_ROTATING_GEM, 10, 6, 0}, {OBJ_ORB, 8, 0, 0}});
         Scope(s, 1);
     }},
    {"Sine Seas.DAT", "Sine Seas", "sine waves with spirals and pulsing rings",
     [](PlasmaSettings& s) {
         Slides(s, 5);
         s.slide_speed = 10.0;
         s.sine_pixels_per_frame = 8;
         s.sine_amplitude = 60;
         s.sine_variance = 20;
         s.sine_density = 50 * SINE_DENSITY_UNIT;
         s.sine_band_width = 96;
         s.sine_multicolour = 1;
         s.sine_clear_screen = 1;
         Choose_Objects(s, {{OBJ_SPIRAL, 6, 0, 0}, {OBJ_PULSING_RING, 10, 6, 0}, {OBJ_RING, 6, 0, 0}});
     }},
    {"Through the Keyhole.DAT", "Through the Keyhole", "a four-fold plasma seen through a keyhole",
     [](PlasmaSettings& s) {
         s.symmetry = 2;
         s.ripple_frequency = 6.0f;
         Custom_Scope(s, "Keyhole.bmp");
     }},
    {"Ocean Porthole.DAT", "Ocean Porthole", "deep-sea colours through a riveted porthole",
     [](PlasmaSettings& s) {
         s.symmetry = 1;
         s.multi_colour = 0;
         Colour(s, 0, 127, 127);
         s.green_shift = 1;
         s.interference = 14.0f;
         s.speed = 45.0;
         Custom_Scope(s, "Porthole.bmp");
     }},
    {"Valentine.DAT", "Valentine", "a rosy eight-fold plasma inside a heart",
     [](PlasmaSettings& s) {
         s.symmetry = 3;
         s.multi_colour = 0;
         Colour(s, 127, 0, 127);
         s.blue_shift = 1;
         Custom_Scope(s, "Heart.bmp");
     }},
    {"Cathedral.DAT", "Cathedral", "the plasma as the light of a stained-glass window",
     [](PlasmaSettings& s) {
         s.symmetry = 1;
         s.speed = 50.0;
         s.ripple_frequency = 3.5f;
         Custom_Scope(s, "StainedGlass.bmp");
     }},
    {"Chameleon.DAT", "Chameleon", "the colours change at random every three seconds",
     [](PlasmaSettings& s) {
         s.symmetry = 2;
         s.random_colour_interval = 3.0;
     }},
    {"Retro 256.DAT", "Retro 256", "640 x 480 in 256 colours with changing palettes",
     [](PlasmaSettings& s) {
         s.resolution = RESOLUTION_640_480_8;
         s.contrast = 10;
         s.symmetry = 3;
         s.random_colour_interval = 5.0;
     }},
    {"Grand Tour.DAT", "Grand Tour", "a new preset every thirty seconds, with transitions",
     [](PlasmaSettings& s) {
         Slides(s, 4);
         Choose_Objects(s, {{OBJ_SPINNING_STAR, 10, 6, 0}, {OBJ_PULSING_RING, 8, 6, 0}, {OBJ_ROTATING_GEM, 8, 6, 0}});
         s.random_preset_interval = 30;
         s.transition_speed = 4;
     }},
};

// The built-in defaults as a 640 x 480 x 32 display with every object
// loaded gives them, then the preset's own changes.
static void Build_Preset(const PresetDesign& design) {
    app.screen_bpp = PRESET_SCREEN_BPP;
    app.screen_height = PRESET_SCREEN_HEIGHT;
    objects_loaded = OBJECT_COUNT;
    Set_Default_Plasma_Settings();
    objects_loaded = 0;
    PlasmaSettings& s = plasma_settings;
    s.resolution = RESOLUTION_640_480_32;
    s.titles_on = 1;
    Set_Title(s, design.title);
    design.tune(s);
}

// ---------------------------------------------------------------------------
// The help file: plain text, shown whole by the saver's help window.
// The help file's text lives in data/Help.txt; its line "{presets}" is
// replaced by one line per bundled preset. Empty when it cannot be read.
static std::string Help_Text() {
    std::ifstream source(HELP_TEMPLATE_PATH, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    if (!source && !source.eof()) return {};
    std::string presets;
    for (const PresetDesign& preset : preset_designs) {
        std::string name = preset.file;
        name = name.substr(0, name.rfind('.'));
        std::string line = "  " + name;
        if (line.size() < 24) line.resize(24, ' ');
        presets += line + preset.note + "\n";
    }
    const std::string marker = "{presets}\n";
    const size_t at = text.find(marker);
    if (at != std::string::npos) text.replace(at, marker.size(), presets);
    return text;
}

// ---------------------------------------------------------------------------

static bool Write_Picture(const QImage& picture, const fs::path& path) {
    if (Write_BMP(picture, path.string().c_str())) return true;
    std::fprintf(stderr, "make-data: cannot write %s\n", path.string().c_str());
    return false;
}

// Removes object files numbered from `first` on, up to the first gap: an
// older, larger set would otherwise still be loaded after the new one.
static void Remove_Objects_From(const fs::path& folder, int first) {
    for (int n = first;; ++n) {
        std::error_code error;
        if (!fs::remove(folder / (std::to_string(n) + ".bmp"), error)) break;
    }
}

// The display the objects are expanded on: the deepest format, so the
// strips keep every colour.
static constexpr int EXPANSION_WIDTH = 320;
static constexpr int EXPANSION_HEIGHT = 240;
static constexpr int EXPANSION_DEPTH = 32;

// Expands the single-frame objects of OUT_DIR's folder as the saver's first
// start would, and writes them back; false when the saver's loader failed
// (it reports on stderr).
static bool Expand_Objects(const fs::path& out) {
    static Window window;
    window.client_width = EXPANSION_WIDTH;
    window.client_height = EXPANSION_HEIGHT;
    dd_config.desktop_width = EXPANSION_WIDTH;
    dd_config.desktop_height = EXPANSION_HEIGHT;
    dd_config.desktop_bpp = EXPANSION_DEPTH;
    app.saver_mode = MODE_NONE;
    app.display_mode = DISPLAY_WINDOWED;
    app.main_window = &window;
    app.system_width = app.screen_width = app.client_width = EXPANSION_WIDTH;
    app.system_height = app.screen_height = app.client_height = EXPANSION_HEIGHT;
    app.system_bpp = app.screen_bpp = EXPANSION_DEPTH;
    app.system_memory_surfaces = true;
    Set_Windows_Directory(out.string());
    bool expanded =
        Setup_Windowed_Direct_Draw(EXPANSION_WIDTH, EXPANSION_HEIGHT, EXPANSION_DEPTH) == 1 && Load_All_Objects() == 1;
    Release_All_Objects();
    objects_loaded = 0;
    Shutdown_Direct_Draw();
    Set_Windows_Directory("");
    return expanded;
}

int main(int argc, char** argv) {
    std::vector<std::string> paths;
    bool expand = false;
    bool relative_overlays = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--expanded") == 0) {
            expand = true;
        } else if (std::strcmp(argv[i], "--relative-overlays") == 0) {
            relative_overlays = true;
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.empty() || paths.size() > 2 || paths[0].empty() || (paths.size() == 2 && paths[1].empty())) {
        std::fprintf(stderr, "usage: make-data [--expanded] [--relative-overlays] OUT_DIR [WINDOWS_DIR]\n");
        return 2;
    }
    // Fonts need a GUI application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    std::error_code error;
    const fs::path out = fs::absolute(paths[0], error);
    const fs::path windows = paths.size() == 2 ? fs::absolute(paths[1], error) : out;
    const fs::path folder = out / "Calvorine";
    const fs::path data = folder / "Data";
    const fs::path bitmaps = data / "Bmp";
    const fs::path objects = bitmaps / "Objects";
    const fs::path overlays = bitmaps / "Overlays";
    for (const fs::path& made : {objects, overlays, data / "Frame Converter"}) {
        fs::create_directories(made, error);
        if (error) {
            std::fprintf(stderr, "make-data: cannot create %s: %s\n", made.string().c_str(), error.message().c_str());
            return 1;
        }
    }
    overlay_folder = relative_overlays
                         ? std::string("Calvorine/Data/Bmp/Overlays")
                         : (windows / "Calvorine" / "Data" / "Bmp" / "Overlays").lexically_normal().string();

    if (!Write_Picture(Draw_Font_Picture(), bitmaps / "Font.bmp")) return 1;
    if (!Write_Picture(Draw_About_Picture(), bitmaps / "About.bmp")) return 1;
    for (int n = 0; n < OBJECT_COUNT; ++n) {
        if (!Write_Picture(Draw_Object(object_designs[n]), objects / (std::to_string(n) + ".bmp"))) return 1;
    }
    Remove_Objects_From(objects, OBJECT_COUNT);
    if (expand && !Expand_Objects(out)) {
        std::fprintf(stderr, "make-data: cannot expand the objects in %s\n", objects.string().c_str());
        return 1;
    }
    for (const OverlayDesign& overlay : overlay_designs) {
        if (!Write_Picture(Draw_Overlay(overlay), overlays / overlay.file)) return 1;
    }

    {
        const std::string help_text = Help_Text();
        if (help_text.empty()) {
            std::fprintf(stderr, "make-data: cannot read the help text %s\n", HELP_TEMPLATE_PATH);
            return 1;
        }
        std::ofstream help(data / "Help.HLP", std::ios::binary | std::ios::trunc);
        help << help_text;
        help.close();
        if (!help) {
            std::fprintf(stderr, "make-data: cannot write %s\n", (data / "Help.HLP").string().c_str());
            return 1;
        }
    }

    for (const PresetDesign& preset : preset_designs) {
        Build_Preset(preset);
        const std::string path = (folder / preset.file).string();
        if (!Save_Plasma_Settings_To_File(path.c_str())) {
            std::fprintf(stderr, "make-data: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
