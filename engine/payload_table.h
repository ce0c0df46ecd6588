// The product files that the installer carries.  The rows and counts are
// generated at build time from product/payload.rows and the built files, so
// the sizes always match what is embedded.
#pragma once

struct PayloadEntry {
    char fileName[14];          // as installed, no folder
    unsigned int flags;         // FlagWindowsDir, FlagShellNewDir, or 0: the install folder
    char resourceName[20];      // RT_RCDATA resource holding the SZDD stream
    char shortcutCaption[40];   // "-" past shortcutCount
    unsigned int unpackedSize;  // bytes after expansion
    unsigned int packedSize;    // bytes of the whole SZDD stream
    unsigned int checksum;      // CRC-32 of the expanded file (engine/checksum.h)
};

enum PayloadFlags {
    FlagWindowsDir = 1,
    FlagShellNewDir = 2,
};

// The folder a row's file is installed into, and where its shortcut points
// and works: the Windows folder wins over ShellNew when both are flagged.
enum PayloadFolder {
    RowInInstallFolder,
    RowInWindowsFolder,
    RowInShellNewFolder,
};
inline PayloadFolder RowFolder(unsigned int flags) {
    if (flags & FlagWindowsDir) return RowInWindowsFolder;
    if (flags & FlagShellNewDir) return RowInShellNewFolder;
    return RowInInstallFolder;
}

// The rows without their measured sizes: where each file goes and what its
// shortcut is called.  The uninstaller is itself one of the measured files,
// so it is built with this part alone, generated from the same rows.
struct PayloadPlace {
    char fileName[14];
    unsigned int flags;
    char shortcutCaption[40];
};

// A program links one of the two generated tables, each of which defines
// the counts below.
extern const PayloadEntry PayloadTable[];
extern const PayloadPlace PayloadPlaces[];
extern const int PayloadRowCount;
extern const int installCount;   // leading rows that are staged, expanded and removed
extern const int shortcutCount;  // leading rows that get a Start-menu shortcut
