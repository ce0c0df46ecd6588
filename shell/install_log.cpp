#include "shell/install_log.h"

#include <windows.h>

namespace {

HANDLE LogFile = INVALID_HANDLE_VALUE;

// wvsprintfA writes at most 1,024 bytes; room is kept for the line end.
const int LineSize = 1024;
const int LineLimit = 1000;

}  // namespace

int OpenInstallLog(const char* path) {
    // Append-only: the run can add to the log but never rewrite what an
    // earlier run wrote.  The log may lie where other users can write, so
    // what is opened must be a plain file of one name: a link planted there
    // would turn our administrator's writes onto another file.  The tests
    // are made on the open handle, so nothing can be swapped in after them.
    LogFile = CreateFileA(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, NULL,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (LogFile == INVALID_HANDLE_VALUE) return 0;
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
    char line[LineSize];
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfA(line, format, arguments);
    va_end(arguments);
    if (length < 0) return;
    if (length > LineLimit) length = LineLimit;
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written;
    WriteFile(LogFile, line, static_cast<DWORD>(length), &written, NULL);
}

void CloseInstallLog() {
    if (LogFile == INVALID_HANDLE_VALUE) return;
    CloseHandle(LogFile);
    LogFile = INVALID_HANDLE_VALUE;
}
