// Reading back what the installer and the uninstaller leave in the system
// and planting what they meet, for every Windows test.
#pragma once

#include <windows.h>

#include <string>

int FileExists(const char* path);  // a file, not a folder
int FolderExists(const char* path);

// The file's bytes, empty when it cannot be read.  Opened with every
// sharing, so that a log still being written can be read.
std::string FileText(const char* path);

// Writes `size` bytes of `mark`, repeated, over `path`.
int PlantFile(const char* path, DWORD size, const char* mark);

// Whether two files hold the same bytes; logs how they differ.
int SameFileContents(const char* a, const char* b);

// A saved shortcut read back through the shell-link object: its target,
// working folder and description.
void ExpectShortcut(const char* linkFile, const char* target, const char* folder,
                    const char* description);

int KeyExists(HKEY root, const char* key);
// A REG_SZ value whose size counts its terminator, as the records are written.
void ExpectRegText(HKEY root, const char* key, const char* name, const char* want);
void ExpectRegNumber(HKEY root, const char* key, const char* name, DWORD want);

// A log written with /LOG=, each line's time ("2026-12-08 15:20:04 ")
// checked and taken off, and its line ends made plain "\n" as a message's
// own are: what is expected of it goes through WithoutReturns.
std::string LogText(const char* path);
std::string WithoutReturns(const char* text);
