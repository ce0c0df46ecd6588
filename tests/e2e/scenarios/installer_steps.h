// What many scenarios share: the installer's texts, its pages walked,
// unattended runs and their log, and what an installation leaves behind.
#pragma once

#include "driver.h"

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
extern const char UninstallKey[];  // the parent of the product's entry
extern const char ProductKey[];    // the product's uninstall entry
extern const char ClassKey[];
extern const char FindExtensionsKey[];
extern const char UninstallCaption[];
extern const char UninstallQuestion[];
extern const char Removed[];

enum PageControl {
    NoteText = 600,
    PathEdit = 300,
    FolderList = 301,
    ResetFolderButton = 302,
    GroupField = 500,
    ResetGroupButton = 501,
    ContinueButton = 2000,
};

// From the welcome page on with Continue and I Agree, to the page with
// this caption; NULL when a page did not come.
HWND WalkTo(DrvProcess* p, const char* caption);
HWND WaitForGroupPage(DrvProcess* p, HWND installing);
void ExpectExit(DrvProcess* p, DWORD code);
// The backdrop over the screen with its band and pictures; the page in the
// middle of what is right of the band, its own picture whole.
void ExpectBackdropAndPage(DrvProcess* p, HWND page);
// Exactly one abort message, then the end with exit code 0.
void ExpectAbortAndExit(DrvProcess* p);
// The stage list: the line of StageMask bit `bit` bright, every other one
// dull (0: all dull); counts logged when `report` is set.
int StageLit(unsigned int bit, int report);
void ExpectStageLit(unsigned int bit);

// An unattended run to its end, with no backdrop, page or message box
// shown: its exit code (99 when it did not end).
extern const char SilentLog[];
DWORD RunSilently(const char* program, const char* args);
// Whether the log holds `text`; when not, the whole log is logged.
int LogHolds(const char* text);

// A file of the build's product folder, beside the installer.
int ProductFile(const DrvContext* ctx, const char* name, char* out, int size);

void ProgramsFolder(char out[MAX_PATH]);
// Makes `link` a symbolic link to the folder `target`, from the host's
// side: Wine makes none itself, but lists one it finds as a reparse point.
int MakeHostLink(const char* link, const char* target);
int DeleteTree(const char* folder);

// Where the installer puts a payload row's file (the Windows folder or
// `installFolder`), where it stages a file (the temporary folder, '_'
// last), and a file of the Windows folder.
struct PayloadEntry;
void InstalledPath(const PayloadEntry& row, const char* installFolder, char* out, int size);
void StagedPath(const char* fileName, char* out, int size);
void WindowsFile(const char* name, char* out, int size);

// Every payload file in its folder, byte for byte as built.
void CheckInstalledFiles(const DrvContext* ctx, const char* installFolder);
int CountStagedFiles(void);
// The group's five shortcuts and the uninstall entry with every value.
void ExpectShortcuts(const char* group, const char* installFolder);
void ExpectUninstallEntry(const DrvContext* ctx, const char* installFolder, const char* group,
                          DWORD createdFolders);

// The uninstaller where the installer puts it; `answer` to its question
// (0: it does not ask), then the box `text` (NULL: none) and the exit `code`.
DrvProcess* StartUninstaller(const DrvContext* ctx, const char* args);
void Uninstall(const DrvContext* ctx, int answer, const char* text, int icon, DWORD code);
void ExpectProductGone(const char* installFolder, const char* group);
