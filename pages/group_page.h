// The program group page: it decides GroupName, the Start-menu folder that
// receives the product's shortcuts, and has them made.
#pragma once

#include <windows.h>

// At most 40 characters and the terminator.
constexpr int GroupNameSize = 41;
extern char GroupName[GroupNameSize];
