// Reading back what an installation left in the system: the registry
// records with their types and lengths, and the group's shortcuts through
// the shell-link object.
#pragma once

#include <windows.h>

extern const char UninstallKey[];
extern const char ProductUninstallKey[];
extern const char ClassKey[];
extern const char ServerKey[];
extern const char FindExtensionsKey[];

// The Windows folder as the installer writes it: capitalised, "C:\Windows".
void InstallersWindowsFolder(char* out, int size);
// The Start menu's Programs folder for all users.
void ProgramsFolder(char* out);

// A REG_SZ value with its terminator counted, as the records are written.
void ExpectValue(HKEY root, const char* key, const char* name, const char* data);
int KeyExists(HKEY root, const char* key);

void ExpectUninstallRecord(const char* programPath, const char* group);
void ExpectClassRecord();
void ExpectFindExtensionRecord();
// The group's five shortcuts, each with its target, folder and caption.
void ExpectShortcuts(const char* group, const char* programPath);
