#include "engine/checksum.h"

// Bit by bit rather than from a table: the installer stays small, and at
// 800 KB of product the time is far below the page's own pauses.
unsigned int Crc32Update(unsigned int crc, const unsigned char* data, size_t size) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}
