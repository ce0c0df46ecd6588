// The program group page: it decides GroupName, the Start-menu folder that
// receives the product's shortcuts, and has them made.
#pragma once

#include <windows.h>

// At most 40 characters and the terminator.
constexpr int GroupNameSize = 41;
extern char GroupName[GroupNameSize];

// The failures that end the installation at the group step, each shown
// with ShowFailure.
extern const char StartMenuMissing[];
extern const char ShortcutsFailed[];
// A name no folder can have, or with a part such as "..": the page stays.
extern const char GroupNameRefused[];
