#include "shell/install_log.h"

#include <windows.h>

#include "engine/code_page.h"
#include "engine/folder_chain.h"

namespace {

HANDLE LogFile = INVALID_HANDLE_VALUE;
// The folders above the log, held while it is open.
HeldFolders LogFolders;

// Holds every folder of the log's full path: a link on the way would take
// the appends to another folder than the one named.  `full` receives the
// path the system will open.
int HoldLogFolders(const char* path, char* full, DWORD fullSize) {
    char* name = NULL;
    DWORD length = GetFullPathNameA(path, fullSize, full, &name);
    if (length == 0 || length >= fullSize || !name || name == full) return 0;
    char folder[MAX_PATH];
    // The folder without the backslash before the name, unless it is a root.
    int folderLength = static_cast<int>(name - full);
    if (folderLength > 3) --folderLength;
    lstrcpynA(folder, full, folderLength + 1);
    return HoldFolderChain(folder, WalkExisting, SystemLeadByte, &LogFolders, NULL) == FolderHeld;
}

// wvsprintfA writes at most 1,024 bytes; room is kept for the line end.
const int LineSize = 1024;
const int LineLimit = 1000;
// "YYYY-MM-DD HH:MM:SS " and room to spare.
const int StampSize = 32;

}  // namespace

int OpenInstallLog(const char* path) {
    // Append-only: the run can add to the log but never rewrite what an
    // earlier run wrote.  The log may lie where other users can write, so
    // what is opened must be a plain file of one name: a link planted there
    // would turn our administrator's writes onto another file.  The tests
    // are made on the open handle, so nothing can be swapped in after them.
    char full[MAX_PATH];
    if (!HoldLogFolders(path, full, sizeof full)) {
        ReleaseFoldersFrom(&LogFolders, 0);
        return 0;
    }
    LogFile = CreateFileA(full, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, NULL,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (LogFile == INVALID_HANDLE_VALUE) {
        ReleaseFoldersFrom(&LogFolders, 0);
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(LogFile, &info) || info.nNumberOfLinks != 1 ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        CloseInstallLog();
        return 0;
    }
    return 1;
}

void LogLine(const char* format, ...) {
    if (LogFile == INVALID_HANDLE_VALUE) return;
    char text[LineSize];
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfA(text, format, arguments);
    va_end(arguments);
    if (length < 0) return;
    if (length > LineLimit) length = LineLimit;
    text[length] = '\0';
    SYSTEMTIME now;
    GetLocalTime(&now);
    // Each line of the text gets the time, those of a message of several
    // lines too, so that every line of the file can be read alone.
    char line[StampSize + LineSize];
    const int stamp = wsprintfA(line, "%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth,
                                now.wDay, now.wHour, now.wMinute, now.wSecond);
    for (const char* from = text;; ++from) {
        int used = stamp;
        for (; *from != '\0' && *from != '\n'; ++from) line[used++] = *from;
        line[used++] = '\r';
        line[used++] = '\n';
        DWORD written;
        WriteFile(LogFile, line, static_cast<DWORD>(used), &written, NULL);
        if (*from == '\0') break;
    }
}

void CloseInstallLog() {
    if (LogFile != INVALID_HANDLE_VALUE) CloseHandle(LogFile);
    LogFile = INVALID_HANDLE_VALUE;
    ReleaseFoldersFrom(&LogFolders, 0);
}
