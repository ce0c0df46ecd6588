#include "engine/copy_engine.h"

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "engine/message_pump.h"
#include "engine/paths.h"
#include "engine/payload_table.h"
#include "engine/progress_meter.h"
#include "engine/shared_folders.h"
#include "pages/location_page.h"
#include "shell/installer_messages.h"
#include "shell/system_libraries.h"

int copyIndex;

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
// LZOpenFileA keeps the path in an OFSTRUCT, which holds 128 bytes.
const int LzPathLimit = OFS_MAXPATHNAME;

// Writes the row's packed resource, unchanged, to the staged path.  Silent
// by design: a file that could not be written whole is caught when it is
// expanded, by its length.
void StageRow(const PayloadEntry& row, const char* stagedPath) {
    HINSTANCE instance = GetModuleHandleA(NULL);
    HRSRC resource = FindResourceA(instance, row.resourceName, MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : NULL;
    const void* data = loaded ? LockResource(loaded) : NULL;
    DWORD size = data ? SizeofResource(instance, resource) : 0;
    if (size > row.packedSize) size = row.packedSize;

    HANDLE file = CreateFileA(stagedPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    if (size > 0) WriteFile(file, data, size, &written, NULL);
    CloseHandle(file);
}

// Expands one staged file into its destination through LZ32.  Returns 1,
// or -1 after the failure has been shown.  A file counts as done only when
// every byte was written and exactly `expectedSize` bytes came out.
int ExpandFile(HWND page, const char* stagedPath, const char* destinationPath,
               unsigned int expectedSize) {
    OFSTRUCT openInfo;
    INT source = -1;
    if (lstrlenA(stagedPath) < LzPathLimit)
        source = SystemFunctions.lzOpenFile(const_cast<LPSTR>(stagedPath), &openInfo, OF_READ);
    if (source < 0) {
        ShowFailure(page, OpenSourceFailed);
        return -1;
    }
    HANDLE destination =
        CreateFileA(destinationPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (destination == INVALID_HANDLE_VALUE) {
        SystemFunctions.lzClose(source);
        ShowFailure(page, OpenDestinationFailed);
        return -1;
    }
    const char* failure = NULL;
    unsigned int expanded = 0;
    char buffer[ReadSize];
    INT got;
    do {
        got = SystemFunctions.lzRead(source, buffer, ReadSize);
        if (got < 0) {
            failure = ReadSourceFailed;
            break;
        }
        MeterReadStep(page);
        DWORD written = 0;
        if (got > 0 && (!WriteFile(destination, buffer, static_cast<DWORD>(got), &written, NULL) ||
                        written != static_cast<DWORD>(got))) {
            failure = WriteDestinationFailed;
            break;
        }
        expanded += static_cast<unsigned int>(got);
    } while (got == ReadSize);
    if (!failure && expanded != expectedSize) failure = ReadSourceFailed;

    SystemFunctions.lzClose(source);
    // Closing flushes: a full disk may show only here.
    if (!CloseHandle(destination) && !failure) failure = WriteDestinationFailed;
    if (failure) {
        ShowFailure(page, failure);
        return -1;
    }
    return 1;
}

int CopyOneFile(HWND page) {
    const PayloadEntry& row = PayloadTable[copyIndex];
    char stagedPath[MAX_PATH];
    char destinationPath[MAX_PATH];
    // A path that does not fit is left empty, and refused only once the
    // labels name the row it belongs to.
    int stagedFits =
        StagedName(stagedPath, sizeof stagedPath, TempDir, row.fileName, SystemLeadByte);
    int destinationFits =
        JoinPath(destinationPath, sizeof destinationPath, PayloadFolderPath(RowFolder(row.flags)),
                 row.fileName, SystemLeadByte);
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
    return ExpandFile(page, stagedPath, destinationPath, row.unpackedSize);
}

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

void StagePayload(HWND page) {
    KillTimer(page, StagingTimer);
    CreateFolderChain(ProgramPath, SystemLeadByte);
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
    PumpMessages(page, PhaseEndPause);
    SendMessageA(page, WM_RESTORE_METER, 0, 0);
    EndDialog(page, 1);
}
