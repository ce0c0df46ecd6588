// CRC-32 as zip and PNG use it (reflected, polynomial 0xEDB88320), so that
// the build's value can be checked with any common tool.  Pure: the
// installer, the build's table generator and the unit tests share it.
#ifndef KESTROVA_ENGINE_CHECKSUM_H
#define KESTROVA_ENGINE_CHECKSUM_H

#include <stddef.h>

// The CRC-32 of everything passed so far, `crc` being that of what came
// before (0 for nothing): the bytes may come in pieces of any size.
//   Crc32Update(0, "123456789", 9) -> 0xCBF43926
unsigned int Crc32Update(unsigned int crc, const unsigned char* data, size_t size);

#endif  // KESTROVA_ENGINE_CHECKSUM_H
