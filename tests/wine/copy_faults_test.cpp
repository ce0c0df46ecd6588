// The copy engine's own defences, each alone, where the system does not
// provoke them one at a time: a write that is short, a write that fails
// and a close that fails (the expansion's file operations replaced by
// fakes), and the 128-byte limit of the path LZ32 keeps (LZOpenFileA
// replaced by a stand-in that records what it is given).  The run is
// silent and logged, so each failure's message is read from the log.
#include <windows.h>

#include <string.h>

#include "engine/copy_engine.h"
#include "engine/shared_folders.h"
#include "pages/location_page.h"
#include "shell/backdrop_style.h"
#include "shell/command_line.h"
#include "shell/install_log.h"
#include "shell/system_libraries.h"
#include "tests/wine/wine_test.h"

char ProgramPath[ProgramPathSize];
LOGFONTA MeterFont;  // no meter is painted here

namespace {

const int ProgramRow = 1;  // Quorvik.exe, into ProgramPath
char g_log[MAX_PATH];

// Everything the log holds, to compare its last message.
int LogEndsWith(const char* text) {
    char data[8192];
    DWORD got = 0;
    HANDLE f = CreateFileA(g_log, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return 0;
    ReadFile(f, data, sizeof data - 1, &got, NULL);
    CloseHandle(f);
    data[got] = '\0';
    size_t n = strlen(text);
    return got >= n && strcmp(data + got - n, text) == 0;
}

int Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

BOOL WINAPI ShortWrite(HANDLE f, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
    return WriteFile(f, data, size / 2, written, NULL);
}
// Claims every byte, so that only the result can tell.
BOOL WINAPI FailedWrite(HANDLE, LPCVOID, DWORD size, LPDWORD written, LPOVERLAPPED) {
    *written = size;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
BOOL WINAPI FailedClose(HANDLE handle) {
    CloseHandle(handle);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// Expands the program row with the given fakes: refused with the write
// message, and neither the program nor the new file left behind.
void ExpectWriteRefused(const char* what, ExpansionFileTable fakes) {
    char destination[MAX_PATH], newFile[MAX_PATH];
    JoinPath(destination, sizeof destination, ProgramPath, "Quorvik.exe", SingleByteCodePage);
    JoinPath(newFile, sizeof newFile, ProgramPath, "Kestrova.new", SingleByteCodePage);
    ExpansionFileTable real = ExpansionFiles;
    ExpansionFiles = fakes;
    copyIndex = ProgramRow;
    ok(CopyOneFile(NULL) == -1, "%s: the file was expanded\n", what);
    ExpansionFiles = real;
    ok(LogEndsWith("Not expanded: C:\\Faults\\Quorvik.exe\r\n"
                   "Unable to write destination file!\nInstallation will now be aborted.\r\n"),
       "%s: not logged with the write message\n", what);
    ok(!Exists(destination) && !Exists(newFile), "%s: a file was left\n", what);
}

char g_seen[MAX_PATH];
INT WINAPI RecordOpen(LPSTR path, LPOFSTRUCT, WORD) {
    lstrcpynA(g_seen, path, sizeof g_seen);
    return -1;
}

// Stages into a folder whose staged program path has `length` bytes and
// expands the row with LZOpenFileA recording: up to 127 bytes it is passed
// on whole, at 128 it is refused before LZ32 sees it.
void ExpectStagedPathLimit(size_t length, int passed) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    size_t pad = length - strlen(folder) - strlen("x\\Quorvik.ex_");
    size_t at = strlen(folder);
    memset(folder + at, 'p', pad);
    lstrcpyA(folder + at + pad, "x\\");
    CreateDirectoryA(folder, NULL);
    lstrcpyA(TempDir, folder);
    StageFiles(NULL);
    g_seen[0] = '\0';
    SystemFunctions.lzOpenFile = RecordOpen;
    copyIndex = ProgramRow;
    ok(CopyOneFile(NULL) == -1, "%lu bytes: expanded through the stand-in\n",
       (unsigned long)length);
    ok(LogEndsWith("Unable to open source file!\nInstallation will now be aborted.\r\n"),
       "%lu bytes: not logged with the source message\n", (unsigned long)length);
    ok((strlen(g_seen) == length) == (passed != 0) && (passed || g_seen[0] == '\0'),
       "%lu bytes: LZ32 was given \"%s\"\n", (unsigned long)length, g_seen);
}

}  // namespace

int main() {
    GetTempPathA(sizeof g_log, g_log);
    lstrcatA(g_log, "faults.log");
    CommandLineOptions.silent = 1;
    char missing[64];
    if (!ok(OpenInstallLog(g_log) && LoadSystemFunctions(missing, sizeof missing) &&
                ComputeSharedFolders() == SharedFoldersReady,
            "no log, system functions or folders\n"))
        return Summary("copy_faults");
    lstrcpyA(ProgramPath, "C:\\Faults");
    StageFiles(NULL);

    ExpectWriteRefused("short write", {ShortWrite, CloseHandle});
    ExpectWriteRefused("failed write", {FailedWrite, CloseHandle});
    ExpectWriteRefused("failed close", {WriteFile, FailedClose});
    // With the system's own operations the same row is expanded: the fakes
    // made the difference.
    copyIndex = ProgramRow;
    ok(CopyOneFile(NULL) == 1 && Exists("C:\\Faults\\Quorvik.exe"), "the real copy failed\n");

    ExpectStagedPathLimit(127, 1);
    ExpectStagedPathLimit(128, 0);
    CloseInstallLog();
    return Summary("copy_faults");
}
