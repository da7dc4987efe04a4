// Device-context drawing straight into a surface's pixels, and bitmap files.
//
// Shapes are rasterised here, row by row over the part that lies on the
// surface, so a shape far off the surface costs nothing and never writes
// outside it. Text is rendered by Qt into a small image and then written in
// the surface's format. Bitmap files are read with Qt's BMP reader after a
// check of their headers, so that a cut-off file is refused rather than shown
// half-filled.
#include "platform/gdi.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/device_context.h"
#include "platform/pixel_format.h"

// A loaded bitmap: rows top-down, each pixel 0x00RRGGBB.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// A device context has no background colour of its own: an opaque text
// background is the default background colour of a fresh context.
constexpr COLORREF TEXT_BACKGROUND = RGB(255, 255, 255);
constexpr int TEXT_PIXEL_SIZE = 13;
constexpr int TEXT_COVERED_ALPHA = 128;  // coverage from which a text pixel counts as ink

// Largest bitmap side accepted; a larger header is taken as damage, not as a picture.
constexpr int64_t BITMAP_MAX_SIDE = 16384;
constexpr int BMP_FILE_HEADER = 14;
constexpr uint32_t BMP_RGB = 0, BMP_RLE8 = 1, BMP_RLE4 = 2, BMP_BITFIELDS = 3, BMP_ALPHABITFIELDS = 6;

static Surface* Drawable_Surface(DeviceContext* dc) {
    if (!dc || !Pixel_Surface_Usable(dc->surface)) return nullptr;
    return dc->surface;
}

static bool Inside(const Surface* surface, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < surface->width && y < surface->height;
}

Surface* GDI_Surface_Of(DeviceContext* dc) { return dc ? dc->surface : nullptr; }

COLORREF GDI_GetPixel(DeviceContext* dc, int x, int y) {
    Surface* surface = Drawable_Surface(dc);
    if (!surface || !Inside(surface, x, y)) return CLR_INVALID;
    return Pixel_To_Colour(surface, Pixel_Read(surface, x, y));
}

COLORREF GDI_SetPixel(DeviceContext* dc, int x, int y, COLORREF colour) {
    Surface* surface = Drawable_Surface(dc);
    if (!surface || !Inside(surface, x, y)) return CLR_INVALID;
    uint32_t pixel = Colour_To_Pixel(surface, colour & 0x00FFFFFF);
    Pixel_Write(surface, x, y, pixel);
    // Answer the colour actually painted: the nearest one the format holds.
    return Pixel_To_Colour(surface, pixel);
}

void GDI_Select_Brush(DeviceContext* dc, COLORREF colour) {
    if (dc) dc->brush = colour & 0x00FFFFFF;
}

void GDI_Select_Pen(DeviceContext* dc, COLORREF colour) {
    if (dc) dc->pen = colour & 0x00FFFFFF;
}

void GDI_SetTextColor(DeviceContext* dc, COLORREF colour) {
    if (dc) dc->text_colour = colour & 0x00FFFFFF;
}

void GDI_SetBkMode(DeviceContext* dc, int mode) {
    if (dc && (mode == GDI_TRANSPARENT || mode == GDI_OPAQUE)) dc->background_mode = mode;
}

// Writes pixels first..last of row y, clipped to the surface.
static void Fill_Span(Surface* surface, int64_t y, int64_t first, int64_t last, uint32_t pixel) {
    if (y < 0 || y >= surface->height) return;
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, surface->width - 1);
    for (int64_t x = first; x <= last; ++x) Pixel_Write(surface, static_cast<int>(x), static_cast<int>(y), pixel);
}

// A straight line from a to b, both ends included. Only the steps along the
// major axis that land on the surface are visited, so far-away ends are cheap.
static void Draw_Line(Surface* surface, Point a, Point b, uint32_t pixel) {
    const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    const bool x_major = std::llabs(dx) >= std::llabs(dy);
    const int64_t major_from = x_major ? std::min(a.x, b.x) : std::min(a.y, b.y);
    const int64_t major_to = x_major ? std::max(a.x, b.x) : std::max(a.y, b.y);
    const int64_t major_limit = (x_major ? surface->width : surface->height) - 1;
    const int64_t major_delta = x_major ? dx : dy;
    const int64_t minor_delta = x_major ? dy : dx;
    const int64_t major_start = x_major ? a.x : a.y;
    const int64_t minor_start = x_major ? a.y : a.x;
    for (int64_t major = std::max<int64_t>(major_from, 0); major <= std::min(major_to, major_limit); ++major) {
        int64_t minor = minor_start;
        if (major_delta != 0) {
            double step = static_cast<double>(major - major_start) * static_cast<double>(minor_delta) /
                          static_cast<double>(major_delta);
            minor += static_cast<int64_t>(std::floor(step + 0.5));
        }
        int64_t x = x_major ? major : minor, y = x_major ? minor : major;
        if (Inside(surface, x, y)) Pixel_Write(surface, static_cast<int>(x), static_cast<int>(y), pixel);
    }
}

// Fills the polygon's inside by the non-zero winding rule, sampling each
// pixel at its centre. The winding rule fills a self-crossing star whole,
// centre included, which is what a mask shape wants.
static void Fill_Polygon(Surface* surface, const Point* points, int count, uint32_t pixel) {
    int64_t top = points[0].y, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min<int64_t>(top, points[i].y);
        bottom = std::max<int64_t>(bottom, points[i].y);
    }
    std::vector<std::pair<double, int>> crossings;
    const int64_t first_row = std::max<int64_t>(top, 0);
    const int64_t last_row = std::min<int64_t>(bottom, surface->height - 1);
    for (int64_t y = first_row; y <= last_row; ++y) {
        const double centre = static_cast<double>(y) + 0.5;
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % count];
            if (a.y == b.y) continue;
            const bool downward = a.y < b.y;
            const Point& low = downward ? a : b;
            const Point& high = downward ? b : a;
            if (centre < low.y || centre >= high.y) continue;
            double x = low.x +
                       (centre - low.y) * (static_cast<double>(high.x) - low.x) / (static_cast<double>(high.y) - low.y);
            crossings.emplace_back(x, downward ? 1 : -1);
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        double span_start = 0.0;
        for (const auto& [x, direction] : crossings) {
            int before = winding;
            winding += direction;
            if (before == 0 && winding != 0) {
                span_start = x;
            } else if (before != 0 && winding == 0) {
                // Pixels whose centres lie in [span_start, x); clamp before converting.
                double first = std::clamp(std::ceil(span_start - 0.5), -1.0, double(surface->width));
                double last = std::clamp(std::ceil(x - 0.5) - 1.0, -1.0, double(surface->width));
                Fill_Span(surface, y, static_cast<int64_t>(first), static_cast<int64_t>(last), pixel);
            }
        }
    }
}

bool GDI_Polygon(DeviceContext* dc, const Point* points, int count) {
    Surface* surface = Drawable_Surface(dc);
    if (!surface || !points || count < 2) return false;
    Fill_Polygon(surface, points, count, Colour_To_Pixel(surface, dc->brush));
    const uint32_t pen = Colour_To_Pixel(surface, dc->pen);
    for (int i = 0; i < count; ++i) Draw_Line(surface, points[i], points[(i + 1) % count], pen);
    return true;
}

bool GDI_Ellipse(DeviceContext* dc, int left, int top, int right, int bottom) {
    Surface* surface = Drawable_Surface(dc);
    if (!surface) return false;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (int64_t(right) - left < 1 || int64_t(bottom) - top < 1) return true;
    const double centre_x = (double(left) + right) / 2.0, centre_y = (double(top) + bottom) / 2.0;
    const double radius_x = (double(right) - left) / 2.0, radius_y = (double(bottom) - top) / 2.0;
    auto inside = [&](int64_t x, int64_t y) {
        double u = (static_cast<double>(x) + 0.5 - centre_x) / radius_x;
        double v = (static_cast<double>(y) + 0.5 - centre_y) / radius_y;
        return u * u + v * v <= 1.0;
    };
    const uint32_t brush = Colour_To_Pixel(surface, dc->brush);
    const uint32_t pen = Colour_To_Pixel(surface, dc->pen);
    const int64_t first_row = std::max(top, 0), last_row = std::min(bottom - 1, surface->height - 1);
    const int64_t first_column = std::max(left, 0), last_column = std::min(right - 1, surface->width - 1);
    for (int64_t y = first_row; y <= last_row; ++y) {
        for (int64_t x = first_column; x <= last_column; ++x) {
            if (!inside(x, y)) continue;
            // A pixel of the inside with a neighbour outside is on the outline.
            bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            Pixel_Write(surface, static_cast<int>(x), static_cast<int>(y), edge ? pen : brush);
        }
    }
    return true;
}

// Fonts need a GUI application object. The window layer normally makes one;
// headless programs and tests get one here, on the offscreen platform when no
// display is around. It lives until the process ends.
static bool Ensure_Gui_Application() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return true;
    if (QCoreApplication::instance()) return false;  // a non-GUI application owns the process
    static bool tried = false;
    if (tried) return false;
    tried = true;
    const bool platform_chosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (!platform_chosen) {
        // With a display, still fall back to offscreen when it cannot be reached.
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb;offscreen");
    }
    static int argc = 1;
    static char name[] = "calvorine";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    // Programs started from here choose their own platform.
    if (!platform_chosen) qunsetenv("QT_QPA_PLATFORM");
    return true;
}

static QFont Text_Font() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(TEXT_PIXEL_SIZE);
    // Whole pixels only: a text pixel is either ink or not, in every format.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

bool GDI_TextOut(DeviceContext* dc, int x, int y, const char* text, int length) {
    Surface* surface = Drawable_Surface(dc);
    if (!surface || length < 0 || (!text && length > 0)) return false;
    if (length == 0) return true;
    if (!Ensure_Gui_Application()) return false;

    // The program's texts are 8-bit Western text; Latin-1 covers what it writes.
    const QString string = QString::fromLatin1(text, length);
    const QFont font = Text_Font();
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(string);
    const int width = std::max(advance, metrics.boundingRect(string).right() + 1);
    const int height = metrics.height();
    if (width <= 0 || height <= 0) return true;

    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return false;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(0, metrics.ascent(), string);
    painter.end();

    const uint32_t ink = Colour_To_Pixel(surface, dc->text_colour);
    const uint32_t paper = Colour_To_Pixel(surface, TEXT_BACKGROUND);
    const bool opaque = dc->background_mode == GDI_OPAQUE;
    for (int row = 0; row < height; ++row) {
        const int64_t sy = int64_t(y) + row;
        if (sy < 0 || sy >= surface->height) continue;
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int column = 0; column < width; ++column) {
            const int64_t sx = int64_t(x) + column;
            if (sx < 0 || sx >= surface->width) continue;
            if (qAlpha(line[column]) >= TEXT_COVERED_ALPHA) {
                Pixel_Write(surface, static_cast<int>(sx), static_cast<int>(sy), ink);
            } else if (opaque && column < advance) {
                Pixel_Write(surface, static_cast<int>(sx), static_cast<int>(sy), paper);
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Bitmap files

static uint32_t Read_U16(const uint8_t* data, int64_t at) {
    return static_cast<uint32_t>(data[at] | data[at + 1] << 8);
}

static uint32_t Read_U32(const uint8_t* data, int64_t at) { return Read_U16(data, at) | Read_U16(data, at + 2) << 16; }

// Walks a run-length pixel stream; true when it reaches its end-of-bitmap mark inside the file.
static bool Run_Length_Complete(const uint8_t* data, int64_t size, int64_t at, bool four_bit) {
    while (at + 2 <= size) {
        const uint8_t count = data[at];
        const uint8_t value = data[at + 1];
        at += 2;
        if (count != 0 || value == 0) continue;  // a run, or the end of a line
        if (value == 1) return true;             // the end of the bitmap
        if (value == 2) {                        // a jump: two more bytes
            at += 2;
            continue;
        }
        int64_t bytes = four_bit ? (value + 1) / 2 : value;  // literal pixels, padded to a word
        at += (bytes + 1) & ~int64_t(1);
    }
    return false;
}

// Checks that the headers describe a bitmap this loader accepts and that the
// file holds all of its pixel data, so that a cut-off or damaged file is
// refused as a whole.
static bool Bitmap_File_Complete(const uint8_t* data, int64_t size) {
    if (size < BMP_FILE_HEADER + 12 || data[0] != 'B' || data[1] != 'M') return false;
    const int64_t pixel_offset = Read_U32(data, 10);
    const int64_t info_size = Read_U32(data, 14);
    int64_t width, height;
    uint32_t planes, bits, compression = BMP_RGB;
    if (info_size == 12) {  // the oldest header: 16-bit sizes
        width = Read_U16(data, 18);
        height = Read_U16(data, 20);
        planes = Read_U16(data, 22);
        bits = Read_U16(data, 24);
    } else if (info_size == 40 || info_size == 52 || info_size == 56 || info_size == 64 || info_size == 108 ||
               info_size == 124) {
        if (BMP_FILE_HEADER + info_size > size) return false;
        width = static_cast<int32_t>(Read_U32(data, 18));
        height = static_cast<int32_t>(Read_U32(data, 22));
        planes = Read_U16(data, 26);
        bits = Read_U16(data, 28);
        compression = Read_U32(data, 30);
    } else {
        return false;
    }
    height = std::llabs(height);
    if (width <= 0 || height == 0 || width > BITMAP_MAX_SIDE || height > BITMAP_MAX_SIDE || planes != 1) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (pixel_offset < BMP_FILE_HEADER + info_size || pixel_offset >= size) return false;
    switch (compression) {
    case BMP_RGB:
    case BMP_BITFIELDS:
    case BMP_ALPHABITFIELDS: {
        const int64_t row_bytes = (width * bits + 31) / 32 * 4;
        return size - pixel_offset >= row_bytes * height;
    }
    case BMP_RLE8: return bits == 8 && Run_Length_Complete(data, size, pixel_offset, false);
    case BMP_RLE4: return bits == 4 && Run_Length_Complete(data, size, pixel_offset, true);
    default: return false;
    }
}

bool GDI_Bitmap_Size(const char* path, int* width, int* height) {
    if (!path || !*path) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    // The file header and the size fields of every info header kind.
    uint8_t data[BMP_FILE_HEADER + 12] = {};
    if (!file.read(reinterpret_cast<char*>(data), sizeof data) || data[0] != 'B' || data[1] != 'M') return false;
    const int64_t info_size = Read_U32(data, 14);
    int64_t w, h;
    if (info_size == 12) {
        w = Read_U16(data, 18);
        h = Read_U16(data, 20);
    } else if (info_size >= 40) {
        w = static_cast<int32_t>(Read_U32(data, 18));
        h = static_cast<int32_t>(Read_U32(data, 22));
    } else {
        return false;
    }
    h = std::llabs(h);
    if (w <= 0 || h <= 0 || w > BITMAP_MAX_SIDE || h > BITMAP_MAX_SIDE) return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

Bitmap* GDI_LoadImage(const char* path) {
    if (!path || !*path) return nullptr;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return nullptr;
    const std::streamoff size = file.tellg();
    // Headers alone are 26 bytes; the side limit bounds any honest file well below 2 GB.
    if (size < BMP_FILE_HEADER + 12 || size > (int64_t(1) << 31) - 1) return nullptr;
    QByteArray data(static_cast<qsizetype>(size), '\0');
    file.seekg(0);
    if (!file.read(data.data(), size)) return nullptr;
    if (!Bitmap_File_Complete(reinterpret_cast<const uint8_t*>(data.constData()), data.size())) return nullptr;

    QImage image;
    if (!image.loadFromData(data, "BMP") || image.isNull()) return nullptr;
    // Alpha is not part of a bitmap as the program sees it: keep the colour
    // bits as stored. A picture already in one of the two 32-bit layouts
    // (every 24-bit file) has them as they are; converting it would only copy it.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return nullptr;

    auto* bitmap = new Bitmap;
    bitmap->width = image.width();
    bitmap->height = image.height();
    bitmap->pixels.resize(static_cast<size_t>(bitmap->width) * static_cast<size_t>(bitmap->height));
    for (int row = 0; row < bitmap->height; ++row) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int column = 0; column < bitmap->width; ++column) {
            bitmap->pixels[static_cast<size_t>(row) * bitmap->width + column] = line[column] & 0x00FFFFFF;
        }
    }
    return bitmap;
}

bool GDI_GetObject(Bitmap* bitmap, int* width, int* height) {
    if (!bitmap) return false;
    if (width) *width = bitmap->width;
    if (height) *height = bitmap->height;
    return true;
}

// For destination steps first..last along one axis, the source index each
// shows (nearest neighbour, sampled at the step's centre), or -1 outside the
// bitmap. Only steps that land on the surface are asked for.
static std::vector<int64_t> Source_Steps(int64_t first, int64_t last, int64_t destination_size, int64_t source_start,
                                         int64_t source_size, bool mirror, int64_t bitmap_size) {
    std::vector<int64_t> steps;
    steps.reserve(static_cast<size_t>(last - first + 1));
    const double scale = static_cast<double>(source_size) / static_cast<double>(destination_size);
    for (int64_t i = first; i <= last; ++i) {
        int64_t k = static_cast<int64_t>(std::floor((static_cast<double>(i) + 0.5) * scale));
        k = std::clamp<int64_t>(k, 0, source_size - 1);
        if (mirror) k = source_size - 1 - k;
        const int64_t source = source_start + k;
        steps.push_back((source >= 0 && source < bitmap_size) ? source : -1);
    }
    return steps;
}

bool GDI_StretchBlt(DeviceContext* dc, int dx, int dy, int dw, int dh, Bitmap* bitmap, int sx, int sy, int sw, int sh) {
    Surface* surface = Drawable_Surface(dc);
    if (!surface || !bitmap || dw == 0 || dh == 0 || sw == 0 || sh == 0) return false;

    // A negative extent mirrors along that axis; a rectangle is kept as a start and a positive size.
    int64_t dest_x = dx, dest_y = dy, dest_w = dw, dest_h = dh;
    int64_t src_x = sx, src_y = sy, src_w = sw, src_h = sh;
    const bool mirror_x = (dest_w < 0) != (src_w < 0);
    const bool mirror_y = (dest_h < 0) != (src_h < 0);
    if (dest_w < 0) dest_x += dest_w + 1, dest_w = -dest_w;
    if (dest_h < 0) dest_y += dest_h + 1, dest_h = -dest_h;
    if (src_w < 0) src_x += src_w + 1, src_w = -src_w;
    if (src_h < 0) src_y += src_h + 1, src_h = -src_h;

    // Only the part of the destination that lies on the surface is visited.
    const int64_t first_column = std::max<int64_t>(dest_x, 0);
    const int64_t last_column = std::min<int64_t>(dest_x + dest_w, surface->width) - 1;
    const int64_t first_row = std::max<int64_t>(dest_y, 0);
    const int64_t last_row = std::min<int64_t>(dest_y + dest_h, surface->height) - 1;
    if (first_column > last_column || first_row > last_row) return true;

    const std::vector<int64_t> columns =
        Source_Steps(first_column - dest_x, last_column - dest_x, dest_w, src_x, src_w, mirror_x, bitmap->width);
    const std::vector<int64_t> rows =
        Source_Steps(first_row - dest_y, last_row - dest_y, dest_h, src_y, src_h, mirror_y, bitmap->height);

    // At 8 bits each colour is searched in the palette once.
    const Palette* palette = Pixel_Mapping_Palette();
    std::unordered_map<uint32_t, uint8_t> nearest;
    // The other formats take the bitmap's 0x00RRGGBB as Colour_To_Pixel
    // would, row by row: this copy is most of the cost of loading a picture.
    const int bytes = Pixel_Bytes(surface->bits_per_pixel);
    const bool five_six_five = Pixel_Is_565(surface->green_mask);
    const auto to_pixel = [&](uint32_t rgb) -> uint32_t {
        const uint32_t red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
        switch (surface->bits_per_pixel) {
        case 8: {
            const COLORREF colour = RGB(red, green, blue);
            auto found = nearest.find(colour);
            if (found == nearest.end()) found = nearest.emplace(colour, Pixel_Nearest_Index(palette, colour)).first;
            return found->second;
        }
        case 15:
        case 16:
            if (five_six_five) return (red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3);
            return (red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3);
        case 24:
        case 32: return rgb & 0x00FFFFFF;
        default: return 0;
        }
    };
    for (int64_t y = first_row; y <= last_row; ++y) {
        const int64_t source_row = rows[static_cast<size_t>(y - first_row)];
        if (source_row < 0) continue;
        const uint32_t* line = bitmap->pixels.data() + static_cast<size_t>(source_row) * bitmap->width;
        uint8_t* out = surface->memory.data() + static_cast<size_t>(y) * static_cast<size_t>(surface->pitch);
        for (int64_t x = first_column; x <= last_column; ++x) {
            const int64_t source_column = columns[static_cast<size_t>(x - first_column)];
            if (source_column < 0) continue;
            Write_Pixel_Value(out + static_cast<size_t>(x) * static_cast<size_t>(bytes), bytes,
                              to_pixel(line[source_column]));
        }
    }
    return true;
}

void GDI_DeleteObject(Bitmap* bitmap) { delete bitmap; }
