// Checks the prefix that wine-scenario.sh gives a test: made from the
// template (the X11 driver's Managed value), fresh (a marker that this
// check leaves behind is absent), with the Wine settings and the test's own
// environment passed in, and with the shell folders that later steps rely
// on.
#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace {

int g_failed;

void Expect(int ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++g_failed;
}

int RegistryValueIs(HKEY root, const char* key, const char* name, const char* want) {
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return 0;
    char value[64];
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(handle, name, NULL, &type, (BYTE*)value, &size);
    RegCloseKey(handle);
    return rc == ERROR_SUCCESS && type == REG_SZ && size <= sizeof value &&
           strncmp(value, want, size) == 0 && strlen(want) + 1 == size;
}

int EnvironmentHas(const char* name, const char* part) {
    char value[1024];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value && strstr(value, part) != NULL;
}

int ShellFolderExists(int csidl) {
    char path[MAX_PATH];
    if (SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path) != S_OK) {
        return 0;
    }
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int PathExists(const char* folder, const char* rest) {
    char path[MAX_PATH];
    int n = snprintf(path, sizeof path, "%s\\%s", folder, rest);
    if (n < 0 || n >= (int)sizeof path) return 0;
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(void) {
    Expect(RegistryValueIs(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed", "N"),
           "HKCU\\Software\\Wine\\X11 Driver Managed is \"N\"");
    Expect(EnvironmentHas("KESTROVA_RUNNER_CHECK", "passed"),
           "the test's environment reaches the program");
    Expect(EnvironmentHas("WINEDLLOVERRIDES", "winedbg.exe=d"), "Wine's debugger is switched off");

    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    Expect(n > 0 && n < sizeof windows, "the Windows folder is known");
    if (n > 0 && n < sizeof windows) {
        const char* marker = "Temp\\kestrova-runner-check";
        Expect(!PathExists(windows, marker), "the prefix is fresh (no marker)");
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\%s", windows, marker);
        HANDLE file =
            CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        Expect(file != INVALID_HANDLE_VALUE, "a marker can be written");
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        Expect(!PathExists(windows, "Start Menu\\Programs"),
               "the Windows folder has no Start Menu\\Programs");
    }
    Expect(ShellFolderExists(CSIDL_COMMON_PROGRAMS), "the all-users Programs folder exists");
    Expect(ShellFolderExists(CSIDL_PROGRAMS), "the user's Programs folder exists");

    printf("runner_check: %s\n", g_failed ? "FAILED" : "all checks hold");
    return g_failed ? 1 : 0;
}
