// Zelmunin: the Quorvik uninstall program.
//
// This version looks up the installation that Setup recorded and ends; it
// removes nothing yet and asks nothing, so it can run unattended.
#include <windows.h>

namespace {

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvik";

// Reads the install folder that Setup recorded.  0 if Quorvik is not
// recorded as installed or the folder does not fit.
int FindInstallation(char* folder, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD length = size;
    const LONG status = RegQueryValueExA(key, "Program Path", NULL, &type,
                                         reinterpret_cast<BYTE*>(folder), &length);
    RegCloseKey(key);
    // A stored value need not end with its terminator.
    if (status != ERROR_SUCCESS || type != REG_SZ || length == 0 || length > size) return 0;
    if (folder[length - 1] != '\0') {
        if (length == size) return 0;
        folder[length] = '\0';
    }
    return 1;
}

}  // namespace

// No C runtime: the uninstaller needs none of its start-up work.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup(void) {
    char folder[MAX_PATH];
    FindInstallation(folder, sizeof folder);
    ExitProcess(0);
}
