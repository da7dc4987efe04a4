// Reading and writing one raw pixel word inside a locked surface. Rows may
// be padded to any pitch, so words are never assumed to be aligned.
#pragma once

#include <cstdint>
#include <cstring>

// The 16-bit word at p.
inline uint16_t Read_16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
// Stores a 16-bit word at p.
inline void Write_16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
// The 32-bit word at p.
inline uint32_t Read_32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
// Stores a 32-bit word at p.
inline void Write_32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
