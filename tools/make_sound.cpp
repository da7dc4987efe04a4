// make-sound: writes the installer's error sound, a short falling two-note
// chime, as a 16-bit mono PCM WAVE file. Nothing is fetched; the output is
// the same on every run.
//
//   make-sound OUT.wav
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

static constexpr int SAMPLE_RATE = 22050;
static constexpr double NOTE_SECONDS = 0.14;
static constexpr double FIRST_NOTE_HZ = 880.0;    // A5
static constexpr double SECOND_NOTE_HZ = 659.25;  // E5
static constexpr double LOUDNESS = 0.45;          // of full scale
static constexpr double PI = 3.14159265358979323846;

static void Put(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sound OUT.wav\n");
        return 2;
    }
    const int note_samples = static_cast<int>(NOTE_SECONDS * SAMPLE_RATE);
    std::vector<int16_t> samples;
    for (double frequency : {FIRST_NOTE_HZ, SECOND_NOTE_HZ}) {
        for (int n = 0; n < note_samples; ++n) {
            const double t = static_cast<double>(n) / SAMPLE_RATE;
            // A quick attack and an exponential decay, so that no note clicks.
            const double envelope = std::min(1.0, n / 200.0) * std::exp(-6.0 * t / NOTE_SECONDS);
            const double tone = std::sin(2 * PI * frequency * t) + 0.3 * std::sin(4 * PI * frequency * t);
            samples.push_back(static_cast<int16_t>(32767.0 * LOUDNESS * envelope * tone / 1.3));
        }
    }
    const uint32_t data_size = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    std::vector<uint8_t> bytes;
    for (char c : {'R', 'I', 'F', 'F'}) bytes.push_back(static_cast<uint8_t>(c));
    Put(bytes, 36 + data_size, 4);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) bytes.push_back(static_cast<uint8_t>(c));
    Put(bytes, 16, 4);  // the format chunk's size
    Put(bytes, 1, 2);   // PCM
    Put(bytes, 1, 2);   // mono
    Put(bytes, SAMPLE_RATE, 4);
    Put(bytes, SAMPLE_RATE * 2, 4);  // bytes per second
    Put(bytes, 2, 2);                // bytes per sample frame
    Put(bytes, 16, 2);               // bits per sample
    for (char c : {'d', 'a', 't', 'a'}) bytes.push_back(static_cast<uint8_t>(c));
    Put(bytes, data_size, 4);
    for (int16_t sample : samples) Put(bytes, static_cast<uint16_t>(sample), 2);

    FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::fprintf(stderr, "make-sound: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "make-sound: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
