// make-sound writes the installer's error sound: a short, audible PCM WAVE.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "test_support.h"

#ifndef MAKE_SOUND_PATH
#error "MAKE_SOUND_PATH names the make-sound program"
#endif

namespace {

uint32_t Word(const std::vector<uint8_t>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; i++) value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

}  // namespace

TEST(MakeSound, TheErrorSoundIsAShortAudibleWave) {
    TempFolder folder;
    const std::string path = folder.file("Error.wav");
    ASSERT_EQ(std::system((std::string(MAKE_SOUND_PATH) + " '" + path + "'").c_str()), 0);
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(Word(bytes, 4, 4), bytes.size() - 8);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Word(bytes, 20, 2), 1u);  // PCM
    EXPECT_EQ(Word(bytes, 22, 2), 1u);  // mono
    const uint32_t rate = Word(bytes, 24, 4);
    EXPECT_EQ(Word(bytes, 34, 2), 16u);  // bits per sample
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    const uint32_t data_size = Word(bytes, 40, 4);
    ASSERT_EQ(data_size, bytes.size() - 44);
    const double seconds = data_size / 2.0 / rate;
    EXPECT_GT(seconds, 0.1);
    EXPECT_LT(seconds, 1.0);
    // Loud enough to hear, never clipped, and silent again at its end.
    int peak = 0;
    for (size_t at = 44; at + 1 < bytes.size(); at += 2) {
        const int sample = static_cast<int16_t>(Word(bytes, at, 2));
        peak = std::max(peak, std::abs(sample));
    }
    EXPECT_GT(peak, 8000);
    EXPECT_LT(peak, 32767);
    EXPECT_LT(std::abs(static_cast<int16_t>(Word(bytes, bytes.size() - 2, 2))), 1000);
}
