// The lead-byte rule of the system's ANSI code page, for the path utilities
// (engine/paths.h) and everything else that walks 8-bit path strings.
#ifndef KESTROVA_ENGINE_CODE_PAGE_H
#define KESTROVA_ENGINE_CODE_PAGE_H

// Nonzero when `byte` starts a two-byte character of the ANSI code page
// (IsDBCSLeadByte); always 0 on a single-byte code page.
int SystemLeadByte(unsigned char byte);

#endif  // KESTROVA_ENGINE_CODE_PAGE_H
