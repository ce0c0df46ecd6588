#include "engine/code_page.h"

#include <windows.h>

int SystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) ? 1 : 0; }
