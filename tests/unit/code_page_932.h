// The lead-byte rule of code page 932 (Japanese), where the second byte of
// a character can be a backslash: "表" is 0x95 0x5C and "ソ" 0x83 0x5C.
#pragma once
#include <string>

inline int Cp932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

inline const std::string kHyo = "\x95\x5C";
inline const std::string kSo = "\x83\x5C";
