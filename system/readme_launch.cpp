#include "system/readme_launch.h"

#include "engine/code_page.h"
#include "engine/paths.h"
#include "engine/payload_table.h"
#include "pages/location_page.h"

namespace {

const int ReadMeRow = 2;  // the third row: the read-me viewer

}  // namespace

void LaunchReadMe(HWND backdrop) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    ShowWindow(backdrop, SW_MINIMIZE);

    // The bare path, no quotation marks: CreateProcessA is given no
    // application name and finds the program from the command line.  A
    // path that does not fit is not started rather than started cut.
    char commandLine[256];
    PROCESS_INFORMATION process;
    if (JoinPath(commandLine, sizeof commandLine, ProgramPath, PayloadTable[ReadMeRow].fileName,
                 SystemLeadByte) &&
        CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, ProgramPath, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    ShowWindow(backdrop, SW_RESTORE);
}
