// The plain-text log that /LOG= asks for: one line for each thing the run
// does, appended to the file, so that several runs can share one log.
#pragma once

// Opens `path` for appending (it is made when missing).  Returns 1, or 0
// when it cannot be written, is not a plain file of a single name (a hard
// link, a symbolic link or a folder), or a folder on its way is a link or
// junction.  Its folders are held until CloseInstallLog.
int OpenInstallLog(const char* path);

// One line, formatted as wsprintfA formats, with CR LF added; nothing when
// no log is open.  A line longer than 1,000 characters is cut there.
void LogLine(const char* format, ...);

void CloseInstallLog();
