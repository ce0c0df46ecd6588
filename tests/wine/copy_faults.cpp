// The copy engine's own defences, each alone where the system would not
// provoke them, through fakes and wrapped LZ32 calls; silent and logged,
// each failure's message is read from the log.
#include <stdio.h>
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

// The program's row refused, its name then `message` ending the log, and
// no new file left behind.
void ExpectRefused(const char* message) {
    copyIndex = ProgramRow;
    CHECK(CopyOneFile(NULL) == -1);
    const std::string log = LogText(g_log),
                      want = "Not expanded: C:\\Faults\\Quorvik.exe\n" + WithoutReturns(message);
    if (!CHECK(log.size() >= want.size() &&
               log.compare(log.size() - want.size(), want.size(), want) == 0))
        Log("the log ends: %s", log.substr(log.size() > 300 ? log.size() - 300 : 0).c_str());
    CHECK(!FileExists("C:\\Faults\\Kestrova.new"));
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

// Another user owning the temporary folder could swap in a folder of
// other files after the check: done just before LZ32 is given the file,
// with another row's packed file under the program's staged name.
char g_swapped[MAX_PATH];
decltype(&LZInit) g_init;

INT WINAPI SwapThenInit(HFILE file) {
    char aside[MAX_PATH], decoy[MAX_PATH], staged[MAX_PATH];
    snprintf(aside, sizeof aside, "%s-aside", g_swapped);
    snprintf(decoy, sizeof decoy, "%s\\Qvreader.ex_", aside);
    snprintf(staged, sizeof staged, "%s\\Quorvik.ex_", g_swapped);
    CHECK(MoveFileA(g_swapped, aside) && CreateDirectoryA(g_swapped, NULL) &&
          CopyFileA(decoy, staged, TRUE));
    return g_init(file);
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

    const std::pair<const char*, ExpansionFileTable> faults[] = {
        {"a short write", {ShortWrite, CloseHandle}},
        {"a failed write", {FailedWrite, CloseHandle}},
        {"a failed close", {WriteFile, FailedClose}}};
    const ExpansionFileTable real = ExpansionFiles;
    for (const auto& [what, fakes] : faults) {
        Log("%s", what);
        ExpansionFiles = fakes;
        ExpectRefused("Unable to write destination file!\nInstallation will now be aborted.\r\n");
        ExpansionFiles = real;
        CHECK(!FileExists("C:\\Faults\\Quorvik.exe"));
    }
    // The system's own operations expand the row: the fakes made the difference.
    copyIndex = ProgramRow;
    CHECK(CopyOneFile(NULL) == 1 && FileExists("C:\\Faults\\Quorvik.exe"));

    // Only the row's size and checksum can tell these streams: refused, and
    // the copy already in place stays as it was.
    CHECK(CopyFileA("C:\\Faults\\Quorvik.exe", "C:\\Faults\\before", FALSE));
    g_read = SystemFunctions.lzRead;
    for (auto read : {FlippedRead, EarlyEnd, RunOn}) {
        SystemFunctions.lzRead = read;
        g_reads = 0;
        ExpectRefused("Unable to read source file!\nInstallation will now be aborted.\r\n");
        CHECK(SameFileContents("C:\\Faults\\Quorvik.exe", "C:\\Faults\\before"));
    }
    SystemFunctions.lzRead = g_read;

    // The file that was compared is the one expanded, whatever the staged
    // name has come to mean.
    REQUIRE(MakeWorkFolder("swapped", TempDir, sizeof TempDir));
    lstrcpynA(g_swapped, TempDir, lstrlenA(TempDir));
    REQUIRE(StageFiles(NULL) == 1);
    g_init = SystemFunctions.lzInit;
    SystemFunctions.lzInit = SwapThenInit;
    copyIndex = ProgramRow;
    CHECK(CopyOneFile(NULL) == 1);
    SystemFunctions.lzInit = g_init;
    CloseInstallLog();
    CommandLineOptions.silent = 0;
}
