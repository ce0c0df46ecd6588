// The copy engine's own defences, each alone where the system would not
// provoke them: a short, failed write or close (through fakes), a stream
// changed, cut or running on (LZRead wrapped), and the 128-byte limit of
// the path LZ32 keeps (LZOpenFileA replaced by a recording stand-in).
// Silent and logged, each failure's message is read from the log.
#include <string.h>

#include <initializer_list>

#include "engine/copy_engine.h"
#include "engine/shared_folders.h"
#include "pages/location_page.h"
#include "shell/command_line.h"
#include "shell/install_log.h"
#include "shell/system_libraries.h"
#include "tests/wine/windows_units.h"

namespace {

const int ProgramRow = 1;  // Quorvik.exe, into ProgramPath
char g_log[MAX_PATH];

int LogEndsWith(const char* text) {
    const std::string log = FileText(g_log);
    const size_t length = strlen(text);
    if (log.size() >= length && log.compare(log.size() - length, length, text) == 0) return 1;
    Log("the log ends: %s", log.substr(log.size() > 300 ? log.size() - 300 : 0).c_str());
    return 0;
}

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

// The system's LZRead, around which the wrapped reads below go.
decltype(&LZRead) g_read;
int g_reads;

INT WINAPI FlippedRead(INT file, LPSTR buffer, INT size) {
    INT got = g_read(file, buffer, size);
    if (++g_reads == 3 && got > 0) buffer[0] ^= 0x01;
    return got;
}
INT WINAPI EarlyEnd(INT file, LPSTR buffer, INT size) {
    INT got = g_read(file, buffer, size);
    return ++g_reads == 3 && got > 1 ? got / 2 : got;
}
INT WINAPI RunOn(INT file, LPSTR buffer, INT size) {
    g_read(file, buffer, size);
    return size;
}

char g_seen[MAX_PATH];
INT WINAPI RecordOpen(LPSTR path, LPOFSTRUCT, WORD) {
    lstrcpynA(g_seen, path, sizeof g_seen);
    return -1;
}

// Stages into a folder whose staged program path has `length` bytes:
// up to 127 LZ32 is given it whole, at 128 it is refused before LZ32.
void ExpectStagedPathLimit(size_t length, int passed) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    size_t at = strlen(folder), pad = length - at - strlen("x\\Quorvik.ex_");
    memset(folder + at, 'p', pad);
    lstrcpyA(folder + at + pad, "x\\");
    CreateDirectoryA(folder, NULL);
    lstrcpyA(TempDir, folder);
    StageFiles(NULL);
    g_seen[0] = '\0';
    copyIndex = ProgramRow;
    CHECK(CopyOneFile(NULL) == -1);
    CHECK(LogEndsWith("Unable to open source file!\nInstallation will now be aborted.\r\n"));
    if (!CHECK(passed ? strlen(g_seen) == length : g_seen[0] == '\0'))
        Log("  %u bytes: LZ32 was given \"%s\"", (unsigned)length, g_seen);
}

}  // namespace

void TestCopyFaults(void) {
    char missing[64];
    GetTempPathA(sizeof g_log, g_log);
    lstrcatA(g_log, "faults.log");
    CommandLineOptions.silent = 1;
    REQUIRE(OpenInstallLog(g_log) && LoadSystemFunctions(missing, sizeof missing) &&
            ComputeSharedFolders() == SharedFoldersReady);
    lstrcpyA(ProgramPath, "C:\\Faults");
    StageFiles(NULL);

    const struct {
        const char* what;
        ExpansionFileTable fakes;
    } faults[] = {{"a short write", {ShortWrite, CloseHandle}},
                  {"a failed write", {FailedWrite, CloseHandle}},
                  {"a failed close", {WriteFile, FailedClose}}};
    const ExpansionFileTable real = ExpansionFiles;
    for (const auto& fault : faults) {
        Log("%s", fault.what);
        ExpansionFiles = fault.fakes;
        copyIndex = ProgramRow;
        CHECK(CopyOneFile(NULL) == -1);
        ExpansionFiles = real;
        CHECK(LogEndsWith("Not expanded: C:\\Faults\\Quorvik.exe\r\n"
                          "Unable to write destination file!\nInstallation will now be aborted.\r\n"));
        CHECK(!FileExists("C:\\Faults\\Quorvik.exe") && !FileExists("C:\\Faults\\Kestrova.new"));
    }
    // With the system's own operations the same row is expanded: the fakes
    // made the difference.
    copyIndex = ProgramRow;
    CHECK(CopyOneFile(NULL) == 1 && FileExists("C:\\Faults\\Quorvik.exe"));

    // Only the row's size and checksum can tell these streams: refused, and
    // the copy already in place stays as it was.
    CHECK(CopyFileA("C:\\Faults\\Quorvik.exe", "C:\\Faults\\before", FALSE));
    g_read = SystemFunctions.lzRead;
    for (auto read : {FlippedRead, EarlyEnd, RunOn}) {
        SystemFunctions.lzRead = read;
        g_reads = 0;
        copyIndex = ProgramRow;
        CHECK(CopyOneFile(NULL) == -1);
        CHECK(LogEndsWith("Not expanded: C:\\Faults\\Quorvik.exe\r\n"
                          "Unable to read source file!\nInstallation will now be aborted.\r\n"));
        CHECK(SameFileContents("C:\\Faults\\Quorvik.exe", "C:\\Faults\\before"));
        CHECK(!FileExists("C:\\Faults\\Kestrova.new"));
    }
    SystemFunctions.lzRead = g_read;

    auto lzOpenFile = SystemFunctions.lzOpenFile;
    SystemFunctions.lzOpenFile = RecordOpen;
    ExpectStagedPathLimit(127, 1);
    ExpectStagedPathLimit(128, 0);
    SystemFunctions.lzOpenFile = lzOpenFile;
    CloseInstallLog();
    CommandLineOptions.silent = 0;
}
