// Running the installer unattended and reading its log.
#pragma once

#include "../driver/driver.h"

// Where the silent scenarios ask for the log.
extern const char SilentLog[];

// Starts `installer` with `args` and waits for its end; the exit code and,
// unless NULL, the time from start to exit.  NULL when it did not start.
DrvProcess* RunInstaller(const char* installer, const char* args, DWORD* exitCode, DWORD* elapsed);

// Whether the log holds `text`; logs the whole log when it does not.
int LogHolds(const char* text);
