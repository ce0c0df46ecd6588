#include "engine/copy_engine.h"

#include "engine/checksum.h"
#include "engine/code_page.h"
#include "engine/install_folder.h"
#include "engine/message_pump.h"
#include "engine/paths.h"
#include "engine/payload_table.h"
#include "engine/progress_meter.h"
#include "engine/shared_folders.h"
#include "pages/location_page.h"
#include "shell/install_log.h"
#include "shell/installer_messages.h"
#include "shell/system_libraries.h"

int copyIndex;
int createdFolderCount;

namespace {

// Our own functions, so that the table is filled when the program is
// loaded: the address of an imported function is only known at run time.
BOOL WINAPI SystemWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                            LPOVERLAPPED overlapped) {
    return WriteFile(file, data, size, written, overlapped);
}
BOOL WINAPI SystemCloseHandle(HANDLE handle) { return CloseHandle(handle); }

}  // namespace

ExpansionFileTable ExpansionFiles = {SystemWriteFile, SystemCloseHandle};

const char OpenSourceFailed[] = "Unable to open source file!\nInstallation will now be aborted.";
const char OpenDestinationFailed[] =
    "Unable to open destination file!\nInstallation will now be aborted.";
const char ReadSourceFailed[] = "Unable to read source file!\nInstallation will now be aborted.";
const char WriteDestinationFailed[] =
    "Unable to write destination file!\nInstallation will now be aborted.";

namespace {

const int PhaseLabelId = 400;
const int SourceLabelId = 401;
const int DestinationCaptionId = 403;
const int DestinationLabelId = 404;

const DWORD FilePause = 100;
const DWORD PhaseEndPause = 1000;
const DWORD CopyingEndPause = 2000;

const int ReadSize = 32;
const int CompareSize = 512;
// What each file is expanded into, beside its destination, until it is
// whole and checked: a failure then never touches a previous copy.
const char NewFileName[] = "Kestrova.new";

// The row's packed resource and its size in the executable, or NULL when
// it is missing.
const unsigned char* RowResource(const PayloadEntry& row, DWORD* size) {
    HINSTANCE instance = GetModuleHandleA(NULL);
    HRSRC resource = FindResourceA(instance, row.resourceName, MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : NULL;
    const void* data = loaded ? LockResource(loaded) : NULL;
    *size = data ? SizeofResource(instance, resource) : 0;
    return static_cast<const unsigned char*>(data);
}

// A file of our own, never one that was there: whatever stands under the
// name (a file planted by another user, or a link to a system file) is
// removed first and never opened, so an elevated write cannot be turned
// onto it.  Should something take the name again in between, creation
// fails and the caller reports it.
HANDLE CreateFreshFile(const char* path, DWORD share) {
    DeleteFileA(path);
    return CreateFileA(path, GENERIC_WRITE, share, NULL, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
}

// Writes the row's packed resource, unchanged, to the staged path.  Silent:
// a file that could not be written whole is caught when it is compared
// with the resource before expansion.
void StageRow(const PayloadEntry& row, const char* stagedPath) {
    DWORD size = 0;
    const unsigned char* data = RowResource(row, &size);
    if (size > row.packedSize) size = row.packedSize;

    HANDLE file = CreateFreshFile(stagedPath, FILE_SHARE_READ);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    if (size > 0) WriteFile(file, data, size, &written, NULL);
    CloseHandle(file);
    LogLine("Staged %s", stagedPath);
}

// 1 when the file behind `held` is exactly the row's first packedSize
// resource bytes, 0 otherwise.  The temporary folder is open to other
// users: what LZ32 reads must be what the installer carries.
int StagedMatchesResource(HANDLE held, const PayloadEntry& row) {
    DWORD size = 0;
    const unsigned char* data = RowResource(row, &size);
    if (!data || size < row.packedSize) return 0;
    unsigned char buffer[CompareSize];
    DWORD compared = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(held, buffer, CompareSize, &got, NULL)) return 0;
        if (got == 0) break;
        if (got > row.packedSize - compared) return 0;  // longer than the resource
        for (DWORD i = 0; i < got; ++i)
            if (buffer[i] != data[compared + i]) return 0;
        compared += got;
    }
    return compared == row.packedSize;
}

// Opens the staged file so that nobody can write, rename or delete it
// until it is closed: held from the comparison until LZ32 is done with it.
HANDLE HoldStaged(const char* stagedPath) {
    return CreateFileA(stagedPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
}

// Expands everything that LZ32 gives for `source` into `file`.  Returns
// NULL, or the failure's message.  More bytes than the row's size end it
// at once; whatever came out must be the row's size and checksum.
const char* ExpandInto(HWND page, INT source, HANDLE file, const PayloadEntry& row) {
    unsigned int expanded = 0;
    unsigned int crc = 0;
    char buffer[ReadSize];
    INT got;
    do {
        got = SystemFunctions.lzRead(source, buffer, ReadSize);
        if (got < 0) return ReadSourceFailed;
        MeterReadStep(page);
        // expanded never exceeds unpackedSize, so the difference cannot wrap.
        if (static_cast<unsigned int>(got) > row.unpackedSize - expanded) return ReadSourceFailed;
        DWORD written = 0;
        if (got > 0 &&
            (!ExpansionFiles.writeFile(file, buffer, static_cast<DWORD>(got), &written, NULL) ||
             written != static_cast<DWORD>(got)))
            return WriteDestinationFailed;
        crc = Crc32Update(crc, reinterpret_cast<unsigned char*>(buffer), static_cast<size_t>(got));
        expanded += static_cast<unsigned int>(got);
    } while (got == ReadSize);
    if (expanded != row.unpackedSize || crc != row.checksum) return ReadSourceFailed;
    return NULL;
}

// LZ32 is given its own duplicate of the held handle, which LZClose
// closes: it reads the very file that was compared, never the staged name
// again, which another user could point elsewhere in between.  The
// duplicate shares the position, which the comparison left at the end.
INT OpenHeldForExpansion(HANDLE held) {
    HANDLE process = GetCurrentProcess();
    HANDLE duplicate;
    if (!DuplicateHandle(process, held, process, &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return -1;
    // LZ32 takes a file handle of the old kind, an int, which holds every
    // handle value the system gives out.
    INT source = -1;
    if (SetFilePointer(duplicate, 0, NULL, FILE_BEGIN) == 0)
        source = SystemFunctions.lzInit(static_cast<HFILE>(reinterpret_cast<INT_PTR>(duplicate)));
    if (source < 0) CloseHandle(duplicate);
    return source;
}

// Expands the held staged file into `newPath`, then puts it in place of
// `destinationPath`.  Returns NULL, or the failure's message; on failure
// the new file is gone and the destination is as it was.
const char* ExpandAndReplace(HWND page, HANDLE held, const char* newPath,
                             const char* destinationPath, const PayloadEntry& row) {
    INT source = OpenHeldForExpansion(held);
    if (source < 0) return OpenSourceFailed;
    HANDLE file = CreateFreshFile(newPath, 0);
    if (file == INVALID_HANDLE_VALUE) {
        SystemFunctions.lzClose(source);
        return OpenDestinationFailed;
    }
    const char* failure = ExpandInto(page, source, file, row);
    SystemFunctions.lzClose(source);
    // Closing flushes: a full disk may show only here.
    if (!ExpansionFiles.closeHandle(file) && !failure) failure = WriteDestinationFailed;
    if (!failure &&
        !MoveFileExA(newPath, destinationPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = OpenDestinationFailed;
    if (failure) DeleteFileA(newPath);
    return failure;
}

// Checks the staged file against the row's resource and expands it through
// LZ32 into its destination.  Returns 1, or -1 after the failure has been
// shown.
int ExpandFile(HWND page, const char* stagedPath, const char* newPath, const char* destinationPath,
               const PayloadEntry& row) {
    const char* failure = NULL;
    HANDLE held = HoldStaged(stagedPath);
    if (held == INVALID_HANDLE_VALUE)
        failure = OpenSourceFailed;
    else if (!StagedMatchesResource(held, row))
        failure = ReadSourceFailed;
    else
        failure = ExpandAndReplace(page, held, newPath, destinationPath, row);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    if (failure) {
        LogLine("Not expanded: %s", destinationPath);
        ShowFailure(page, failure);
        return -1;
    }
    LogLine("Expanded %s to %s", stagedPath, destinationPath);
    return 1;
}

}  // namespace

int CopyOneFile(HWND page) {
    const PayloadEntry& row = PayloadTable[copyIndex];
    const char* folder = PayloadFolderPath(RowFolder(row.flags));
    char stagedPath[MAX_PATH];
    char destinationPath[MAX_PATH];
    char newPath[MAX_PATH];
    // A path that does not fit is left empty, and refused only once the
    // labels name the row it belongs to.
    int stagedFits =
        StagedName(stagedPath, sizeof stagedPath, TempDir, row.fileName, SystemLeadByte);
    int destinationFits =
        JoinPath(destinationPath, sizeof destinationPath, folder, row.fileName, SystemLeadByte) &&
        JoinPath(newPath, sizeof newPath, folder, NewFileName, SystemLeadByte);
    SetDlgItemTextA(page, PhaseLabelId, "Copying:");
    SetDlgItemTextA(page, SourceLabelId, stagedPath);
    SetDlgItemTextA(page, DestinationLabelId, destinationPath);
    ++copyIndex;
    if (!stagedFits) {
        ShowFailure(page, OpenSourceFailed);
        return -1;
    }
    if (!destinationFits) {
        ShowFailure(page, OpenDestinationFailed);
        return -1;
    }
    return ExpandFile(page, stagedPath, newPath, destinationPath, row);
}

namespace {

void FakeStepsForOneFile(HWND page) {
    const int steps = FakeStepsPerFile(installCount);
    for (int i = 0; i < steps; ++i) MeterFakeStep(page);
}

}  // namespace

void EndPageAfterFailure(HWND page) {
    copyIndex = -1;
    SendMessageA(page, WM_RESTORE_METER, 0, 0);
    EndDialog(page, ShowAbortMessage(page));
}

int StageFiles(HWND page) {
    const char* refusal = PrepareInstallFolder(&createdFolderCount);
    if (refusal) {
        LogLine("Install folder refused: %s: %s", ProgramPath, refusal);
        ShowFailure(page, OpenDestinationFailed);
        return -1;
    }
    SetUpProgressStep(&Progress, PayloadTable, installCount);
    for (int i = 0; i < installCount; ++i) {
        const PayloadEntry& row = PayloadTable[i];
        char stagedPath[MAX_PATH];
        // A staged path that does not fit is not written; the copying
        // phase refuses it with its message.
        int fits = StagedName(stagedPath, sizeof stagedPath, TempDir, row.fileName, SystemLeadByte);
        SetDlgItemTextA(page, SourceLabelId, row.fileName);
        SetDlgItemTextA(page, DestinationLabelId, stagedPath);
        if (fits) StageRow(row, stagedPath);
        FakeStepsForOneFile(page);
        PumpMessages(page, FilePause);
    }
    return 1;
}

void RemoveStagedFiles(HWND page) {
    SetDlgItemTextA(page, PhaseLabelId, "Removing:");
    SetDlgItemTextA(page, DestinationCaptionId, "");
    SetDlgItemTextA(page, DestinationLabelId, "");
    for (int i = 0; i < installCount; ++i) {
        char stagedPath[MAX_PATH];
        if (StagedName(stagedPath, sizeof stagedPath, TempDir, PayloadTable[i].fileName,
                       SystemLeadByte)) {
            SetDlgItemTextA(page, SourceLabelId, stagedPath);
            DeleteFileA(stagedPath);
        }
        FakeStepsForOneFile(page);
        PumpMessages(page, FilePause);
    }
}

void StagePayload(HWND page) {
    KillTimer(page, StagingTimer);
    if (StageFiles(page) == -1) {
        EndPageAfterFailure(page);
        return;
    }
    PumpMessages(page, PhaseEndPause);
    MeterReset(CopyingColour);
    SetTimer(page, CopyingTimer, PhaseDelay, NULL);
}

void CopyNextFile(HWND page) {
    KillTimer(page, CopyingTimer);
    if (copyIndex != installCount && CopyOneFile(page) == -1) {
        EndPageAfterFailure(page);
        return;
    }
    if (copyIndex == installCount) {
        PumpMessages(page, CopyingEndPause);
        MeterReset(RemovingColour);
        SetTimer(page, RemovingTimer, PhaseDelay, NULL);
    } else {
        SetTimer(page, CopyingTimer, PhaseDelay, NULL);
    }
}

void RemoveStaged(HWND page) {
    KillTimer(page, RemovingTimer);
    RemoveStagedFiles(page);
    PumpMessages(page, PhaseEndPause);
    SendMessageA(page, WM_RESTORE_METER, 0, 0);
    EndDialog(page, 1);
}
