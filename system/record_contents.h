// What the product's registry records hold, free of Windows calls: the
// fixed texts, the key paths under their parents and the uninstall command.
#pragma once

#include <stddef.h>

#include "engine/paths.h"
#include "engine/payload_table.h"

// The one working buffer in which a key path or the command is composed.
constexpr int RecordBufferSize = 256;

// Parents, each only ever opened: a system without one gets no records
// under it.
inline constexpr char UninstallParentKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char ClassParentKey[] = "CLSID";
inline constexpr char FindExtensionParentKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static";

// The class of the product's shell find-extension library.
inline constexpr char ClassIdentifier[] = "{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}";
inline constexpr char ServerSuffix[] = "\\InProcServer32";
// No folder: the library lies in the Windows folder, where the system looks.
inline constexpr char ServerLibrary[] = "Qvshell.dll";
inline constexpr char ThreadingModel[] = "Apartment";
inline constexpr char MenuSuffix[] = "\\0";
inline constexpr char IconSuffix[] = "\\DefaultIcon";
inline constexpr char MenuText[] = "&Quorvik...";
inline constexpr char IconLocation[] = "Qvshell.dll,0";
inline constexpr char DisplayNameFormat[] = "%s Uninstall";

// The values of the uninstall entry that the uninstaller reads back.
inline constexpr char ProgramPathValue[] = "Program Path";
inline constexpr char ProgramGroupValue[] = "Program Group";
// How many of the deepest folders of the install path the installer made
// itself (REG_DWORD): the uninstaller removes those, and only when empty.
inline constexpr char CreatedFoldersValue[] = "Created Folders";
// 1 when the installer made the group's folder (REG_DWORD): an existing
// group, such as the system's StartUp, is never the uninstaller's to remove.
inline constexpr char CreatedGroupValue[] = "Created Group";

// The keys that hold values, each named below its parent.
enum RecordKey {
    UninstallEntryKey,  // the product name, below the uninstall parent
    ClassKey,           // the class identifier, below CLSID
    ServerKey,          // ClassKey\InProcServer32
    FindExtensionKey,   // the product name, below the find-extension parent
    MenuKey,            // FindExtensionKey\0
    IconKey,            // MenuKey\DefaultIcon
};

// Writes the key's path below its parent.  Returns 1, or 0 with `out`
// empty when it would not fit in outSize bytes.
int ComposeRecordKey(char* out, size_t outSize, RecordKey key);

// The same command in double quotation marks whatever it holds, followed
// by " /S": what a deployment tool runs to remove the product unattended.
// Returns 1, or 0 with `out` empty when it would not fit.
int ComposeQuietUninstallCommand(char* out, size_t outSize, const char* windowsDir,
                                 const char* fileName, LeadBytePredicate isLead);

// The size that the system's list of installed programs shows: the
// expanded bytes of the first `installCount` rows, in KB rounded up.
unsigned long EstimatedSizeKb(const PayloadEntry* rows, int installCount);

// The command that removes the product: the uninstaller's path in the
// Windows folder, in double quotation marks when it holds a blank, since
// the system reads a bare command line only up to its first blank and
// would run whatever program that names.  Without a blank it stays bare.
// Returns 1, or 0 with `out` empty when it would not fit in outSize bytes.
int ComposeUninstallCommand(char* out, size_t outSize, const char* windowsDir, const char* fileName,
                            LeadBytePredicate isLead);
