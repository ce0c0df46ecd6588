// The process entry: make library loading safe, make sure no other run of
// the installer or uninstaller is under way, read the command line, then
// either run
// the installation silently or create the backdrop (the welcome page runs
// inside its creation) and run the only message loop.
#include <windows.h>

#include "engine/code_page.h"
#include "shell/backdrop_window.h"
#include "shell/command_line.h"
#include "shell/exit_codes.h"
#include "shell/install_log.h"
#include "shell/installer_messages.h"
#include "shell/machine_lock.h"
#include "shell/product_identity.h"
#include "shell/silent_install.h"
#include "shell/system_libraries.h"

namespace {

// Before the command line is read: only whether it asks for silence.
int ReportAlreadyRunning(const char* arguments) {
    if (!MentionsSilent(arguments)) {
        char text[64];
        wsprintfA(text, "%s is already running.", InstallerName);
        MessageBoxA(NULL, text, InstallerName, MB_ICONWARNING);
    }
    return ExitAnotherRunUnderWay;
}

int ReportMissingSystemPart(const char* missing) {
    char text[160];
    wsprintfA(text, "A part of Windows that %s needs is missing:\n%.64s", InstallerName, missing);
    ShowMessage(NULL, text, MB_ICONERROR);
    return ExitMissingSystemPart;
}

// Nothing has been changed yet; a silent run says nothing.
int ReportBadCommandLine(const char* reason) {
    if (!CommandLineOptions.silent) MessageBoxA(NULL, reason, InstallerName, MB_ICONERROR);
    return ExitBadCommandLine;
}

// Reads the options; returns -1 to go on, else the exit code.
int TakeCommandLine(const char* arguments) {
    if (!ParseInstallOptions(arguments, &CommandLineOptions, SystemLeadByte))
        return ReportBadCommandLine(CommandLineOptions.error);
    if (CommandLineOptions.usage) {
        MessageBoxA(NULL, UsageText, InstallerName, MB_ICONINFORMATION);
        return ExitInstalled;
    }
    if (CommandLineOptions.logPath[0] != '\0' && !OpenInstallLog(CommandLineOptions.logPath))
        return ReportBadCommandLine("/LOG= names a file that cannot be written.");
    LogLine("%s %s setup, options: %.900s", ProductName, ProductVersion, arguments);
    return -1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int showCommand) {
    RestrictLibrarySearch();
    if (!TakeMachineLock()) return ReportAlreadyRunning(arguments);
    int end = TakeCommandLine(arguments);
    if (end != -1) return end;
    char missing[64];
    if (!LoadSystemFunctions(missing, sizeof missing)) return ReportMissingSystemPart(missing);
    if (CommandLineOptions.silent) return RunSilentInstall();

    HWND window = CreateBackdropWindow(instance);
    if (!window) return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// No C runtime: the installer needs none of its start-up work, and reads
// its own command line.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup(void) {
    char own[MAX_PATH];
    DWORD ownLength = GetModuleFileNameA(NULL, own, sizeof own);
    LPSTR arguments = const_cast<LPSTR>(
        SkipProgramName(GetCommandLineA(), ownLength > 0 && ownLength < sizeof own ? own : NULL));
    int code = WinMain(GetModuleHandleA(NULL), NULL, arguments, SW_SHOWDEFAULT);
    LogLine("Exit code %d", code);
    CloseInstallLog();
    ExitProcess(static_cast<UINT>(code));
}
