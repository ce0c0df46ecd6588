#include "system/readme_launch.h"

#include "engine/code_page.h"
#include "engine/paths.h"
#include "engine/payload_table.h"
#include "pages/location_page.h"

namespace {

const int ReadMeRow = 2;  // the third row: the read-me viewer

// Starts the viewer from ProgramPath and waits for it to end; one that
// cannot be started is passed over.
void RunViewer(STARTUPINFOA* startup) {
    // A path that does not fit is not started rather than started cut.
    char viewer[256];
    if (!JoinPath(viewer, sizeof viewer, ProgramPath, PayloadTable[ReadMeRow].fileName,
                  SystemLeadByte))
        return;
    // The program is named apart from its command line: read from a bare
    // command line, "C:\Tools\My Apps\..." would start C:\Tools\My.exe,
    // with our administrator rights.  The viewer's command line stays the
    // bare path, without quotation marks.
    char commandLine[sizeof viewer];
    lstrcpynA(commandLine, viewer, sizeof commandLine);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(viewer, commandLine, NULL, NULL, FALSE, 0, NULL, ProgramPath, startup,
                        &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

}  // namespace

void LaunchReadMe(HWND backdrop) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    ShowWindow(backdrop, SW_MINIMIZE);
    RunViewer(&startup);
    ShowWindow(backdrop, SW_RESTORE);
}
