// The plain-text log that /LOG= asks for, of the installer and of the
// uninstaller: one line for each thing the run does, appended to the file,
// so that several runs can share one log.
#pragma once

// Opens `path` for appending (it is made when missing).  Returns 1, or 0
// when it cannot be written, is not a plain file of a single name (a hard
// link, a symbolic link or a folder), or a folder on its way is a link or
// junction.  Its folders are held until CloseInstallLog.
int OpenInstallLog(const char* path);

// One line, formatted as wsprintfA formats, with the local time before it
// ("2026-12-08 15:20:04 ") and CR LF after it; a text of several lines
// gives as many, each with the time.  Nothing when no log is open.  A text
// longer than 1,000 characters is cut there.
void LogLine(const char* format, ...);

void CloseInstallLog();
