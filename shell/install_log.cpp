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
    // earlier run wrote.
    LogFile = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, NULL);
    return LogFile != INVALID_HANDLE_VALUE;
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
