// What the end-to-end tests share: each runs a short shell scenario (most
// under a fresh Xvfb server) that prints "name value" lines, and checks those
// lines, the pictures it took and the files the programs left behind.
#pragma once

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

inline bool Installed(const char* program) {
    return std::system((std::string("command -v ") + program + " > /dev/null 2>&1").c_str()) == 0;
}

// Where xvfb-run starts looking for a free display. Test programs run side by
// side, and two servers that pick the same number at once would collide, so
// each program starts from its own thousand and its process id spreads them.
inline int First_Display_Number(int base) {
    static int runs = 0;
    return base + static_cast<int>(getpid() % 100) * 10 + runs++ % 10;
}

// Everything a scenario printed, and its "name value" lines in order.
class Scenario_Output {
public:
    // Runs the shell command to its end and keeps what it prints.
    bool Run_Command(const std::string& command) {
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return false;
        char buffer[4096];
        std::string line;
        while (std::fgets(buffer, sizeof buffer, pipe)) {
            text += buffer;
            line += buffer;
            if (line.back() != '\n') continue;
            line.pop_back();
            const size_t blank = line.find(' ');
            if (blank != 0 && !line.empty()) {
                lines.emplace_back(line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1));
            }
            line.clear();
        }
        pclose(pipe);
        return true;
    }

    // The last value printed under the name, or "(nothing)".
    std::string Said(const std::string& name) const {
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            if (line->first == name) return line->second;
        }
        return "(nothing)";
    }

    bool Has(const std::string& name) const { return Said(name) != "(nothing)"; }

    std::vector<std::string> All(const std::string& name) const {
        std::vector<std::string> values;
        for (const auto& [key, value] : lines) {
            if (key == name) values.push_back(value);
        }
        return values;
    }

    std::string text;
    std::vector<std::pair<std::string, std::string>> lines;
};

inline long File_Size(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    return file ? static_cast<long>(file.tellg()) : -1;
}

// The log's records without their line ends, blank lines left out.
inline std::vector<std::string> Log_Lines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// Distinct colours in a rectangle of a picture, sampled every 4 pixels.
inline size_t Colours(const QImage& image, int left, int top, int width, int height) {
    std::set<QRgb> colours;
    for (int y = top; y < top + height && y < image.height(); y += 4) {
        for (int x = left; x < left + width && x < image.width(); x += 4) colours.insert(image.pixel(x, y) & 0xFFFFFF);
    }
    return colours.size();
}

// Whether two pictures agree in a rectangle, sampled every 2 pixels.
inline bool Same(const QImage& a, const QImage& b, int left, int top, int width, int height) {
    for (int y = top; y < top + height; y += 2) {
        for (int x = left; x < left + width; x += 2) {
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
        }
    }
    return true;
}
