// Steps that many scenarios share: getting the installer to a page with the
// default answers, and looking at what an installation left behind.
#pragma once

#include "../driver/driver.h"

// Captions and texts the installer shows.
extern const char WelcomeCaption[];
extern const char AgreementCaption[];
extern const char LocationCaption[];
extern const char InstallingCaption[];
extern const char GroupCaption[];
extern const char ShortcutsCreated[];
extern const char AbortText[];
extern const char FinishQuestion[];
extern const char ClosingText[];
extern const char DefaultFolder[];

// Starts the installer and waits for the welcome page.
DrvProcess* StartInstaller(const DrvContext* ctx, HWND* welcome);

// From the start to the given page with Continue / I Agree; NULL when a
// page did not come.
HWND WalkToAgreement(DrvProcess* p);
HWND WalkToLocation(DrvProcess* p);
// On to the installing page, with `folder` typed first unless it is NULL.
HWND WalkToInstalling(DrvProcess* p, const char* folder);

// Waits for the installing page to end and for the group page; NULL when
// it did not come.
HWND WaitForGroupPage(DrvProcess* p, HWND installing);
// Continue on the group page, and the success box captioned `group`.
void AcceptGroup(DrvProcess* p, HWND groupPage, const char* group);

// Continue on the group page with `group`, then No to the read-me
// question and OK to the closing message; checks the exit code is 0 and
// that no abort message came.
void FinishWithGroup(DrvProcess* p, HWND groupPage, const char* group);

// Waits for the installing page to end, accepts the default group and
// answers the finish sequence (No to the read-me question, OK to the
// closing message); checks the exit code is 0.
void FinishAfterInstalling(DrvProcess* p, HWND installing);

// Waits for the process to end and checks its exit code.
void ExpectExit(DrvProcess* p, DWORD expected);

// A whole installation through the pages with the default answers, into
// `folder` unless it is NULL.
void InstallThroughThePages(const DrvContext* ctx, const char* folder);

// Answers the abort message (exactly one must come) and checks that the
// installer ends with code 0.
void ExpectAbortAndExit(DrvProcess* p);

// Samples the backdrop's stage list on the screen: the line of StageMask
// bit `bit` must be drawn in the bright colour and every other line in the
// dull one (bit 0: every line dull).
void ExpectStageLit(unsigned int bit);

// The folder that holds the installer, with the product files under
// "product" beside it.
int ProductFilePath(const DrvContext* ctx, const char* fileName, char* out, int size);

// Whether two files have the same bytes; logs the first difference.
int SameFileContents(const char* a, const char* b);
int FileExists(const char* path);
int EndsWithSeparator(const char* folder);

// The Windows and temporary folders as the installer sees them.
void WindowsFolder(char* out, int size);
void TempFolder(char* out, int size);

// Every payload row and the folder kind it goes to: 1 = the Windows folder,
// 0 = the install folder.
struct InstalledFile {
    const char* name;
    int inWindowsFolder;
};
extern const InstalledFile InstalledFiles[8];

// Checks that every product file is in its folder, byte for byte.
void CheckInstalledFiles(const DrvContext* ctx, const char* installFolder);
// Counts the staged copies (name with '_' last) left in the temporary folder.
int CountStagedFiles();
