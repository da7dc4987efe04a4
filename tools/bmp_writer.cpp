// The tools' BMP writer: plain 24-bit files that every BMP reader takes,
// the saver's own loader included.
#include "tools/bmp_writer.h"

#include <cstdint>
#include <cstdio>
#include <vector>

static void Put_16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

static void Put_32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

bool Write_BMP(const QImage& source, const char* path) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width(), height = image.height();
    const uint32_t row_size = (3u * width + 3u) & ~3u;
    const uint32_t pixel_bytes = row_size * height;
    std::vector<uint8_t> bytes;
    bytes.reserve(54 + pixel_bytes);
    bytes.push_back('B');
    bytes.push_back('M');
    Put_32(bytes, 54 + pixel_bytes);
    Put_32(bytes, 0);
    Put_32(bytes, 54);
    Put_32(bytes, 40);
    Put_32(bytes, width);
    Put_32(bytes, height);
    Put_16(bytes, 1);
    Put_16(bytes, 24);
    Put_32(bytes, 0);
    Put_32(bytes, pixel_bytes);
    Put_32(bytes, 2835);
    Put_32(bytes, 2835);
    Put_32(bytes, 0);
    Put_32(bytes, 0);
    for (int y = height - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            bytes.push_back(static_cast<uint8_t>(qBlue(row[x])));
            bytes.push_back(static_cast<uint8_t>(qGreen(row[x])));
            bytes.push_back(static_cast<uint8_t>(qRed(row[x])));
        }
        for (uint32_t pad = 3u * width; pad < row_size; ++pad) bytes.push_back(0);
    }
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
