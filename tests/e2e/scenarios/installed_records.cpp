#include "installed_records.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "walkthrough.h"

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char ProductUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvik";
const char ClassKey[] = "CLSID\\{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}";
const char ServerKey[] = "CLSID\\{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}\\InProcServer32";
const char FindExtensionsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static";

// The Windows folder as the installer writes it: capitalised, "C:\Windows".
void InstallersWindowsFolder(char* out, int size) {
    WindowsFolder(out, size);
    for (int i = 1; out[i]; ++i) {
        char c = out[i];
        int starts = out[i - 1] == '\\' || out[i - 1] == ' ';
        out[i] = starts ? (char)(c >= 'a' && c <= 'z' ? c - 32 : c)
                        : (char)(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
}

void ProgramsFolder(char* out) {
    out[0] = '\0';
    CHECK(SHGetFolderPathA(NULL, CSIDL_COMMON_PROGRAMS, NULL, SHGFP_TYPE_CURRENT, out) == S_OK);
}

// A REG_SZ value with its terminator counted, as the records are written.
void ExpectValue(HKEY root, const char* key, const char* name, const char* data) {
    HKEY k;
    if (!CHECK(RegOpenKeyExA(root, key, 0, KEY_READ, &k) == ERROR_SUCCESS)) {
        DrvLog("  no key %s", key);
        return;
    }
    char got[512] = "";
    DWORD type = 0, size = sizeof got;
    CHECK(RegQueryValueExA(k, name, NULL, &type, (BYTE*)got, &size) == ERROR_SUCCESS);
    RegCloseKey(k);
    CHECK_EQ_INT(type, REG_SZ);
    CHECK_EQ_INT(size, strlen(data) + 1);
    CHECK_EQ_STR(got, data);
}

int KeyExists(HKEY root, const char* key) {
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return 0;
    RegCloseKey(k);
    return 1;
}

void ExpectUninstallRecord(const char* programPath, const char* group) {
    char windows[MAX_PATH], command[MAX_PATH];
    InstallersWindowsFolder(windows, sizeof windows);
    snprintf(command, sizeof command, "%s\\Zelmunin.exe", windows);
    ExpectValue(HKEY_LOCAL_MACHINE, ProductUninstallKey, "DisplayName", "Quorvik Uninstall");
    ExpectValue(HKEY_LOCAL_MACHINE, ProductUninstallKey, "UninstallString", command);
    char quiet[MAX_PATH + 8];
    snprintf(quiet, sizeof quiet, "\"%s\" /S", command);
    ExpectValue(HKEY_LOCAL_MACHINE, ProductUninstallKey, "QuietUninstallString", quiet);
    ExpectValue(HKEY_LOCAL_MACHINE, ProductUninstallKey, "Program Path", programPath);
    ExpectValue(HKEY_LOCAL_MACHINE, ProductUninstallKey, "Program Group", group);
}

void ExpectClassRecord() {
    ExpectValue(HKEY_CLASSES_ROOT, ClassKey, "", "Quorvik");
    ExpectValue(HKEY_CLASSES_ROOT, ServerKey, "", "Qvshell.dll");
    ExpectValue(HKEY_CLASSES_ROOT, ServerKey, "ThreadingModel", "Apartment");
}

void ExpectFindExtensionRecord() {
    char key[300];
    snprintf(key, sizeof key, "%s\\Quorvik", FindExtensionsKey);
    ExpectValue(HKEY_LOCAL_MACHINE, key, "", "{6A3F1D20-4B7C-4E21-8E52-0A1B2C3D4E5F}");
    strcat(key, "\\0");
    ExpectValue(HKEY_LOCAL_MACHINE, key, "", "&Quorvik...");
    strcat(key, "\\DefaultIcon");
    ExpectValue(HKEY_LOCAL_MACHINE, key, "", "Qvshell.dll,0");
}

namespace {

// One shortcut read back through the shell-link object.
void ExpectShortcut(const char* group, const char* caption, const char* target,
                    const char* folder) {
    char programs[MAX_PATH], link[MAX_PATH];
    ProgramsFolder(programs);
    snprintf(link, sizeof link, "%s\\%s\\%s.lnk", programs, group, caption);
    IShellLinkA* shellLink = NULL;
    IPersistFile* file = NULL;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link, -1, wide, MAX_PATH);
    if (!CHECK(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                          IID_IShellLinkA, (void**)&shellLink))))
        return;
    char got[MAX_PATH];
    if (CHECK(SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) &&
        CHECK(SUCCEEDED(file->Load(wide, STGM_READ)))) {
        CHECK(SUCCEEDED(shellLink->GetPath(got, sizeof got, NULL, SLGP_RAWPATH)));
        CHECK_EQ_STR(got, target);
        CHECK(SUCCEEDED(shellLink->GetWorkingDirectory(got, sizeof got)));
        CHECK_EQ_STR(got, folder);
        CHECK(SUCCEEDED(shellLink->GetDescription(got, sizeof got)));
        CHECK_EQ_STR(got, caption);
    } else {
        DrvLog("  no shortcut %s", link);
    }
    if (file) file->Release();
    shellLink->Release();
}

}  // namespace

void ExpectShortcuts(const char* group, const char* programPath) {
    char windows[MAX_PATH], target[MAX_PATH];
    InstallersWindowsFolder(windows, sizeof windows);
    CoInitialize(NULL);
    snprintf(target, sizeof target, "%s\\Zelmunin.exe", windows);
    ExpectShortcut(group, "Uninstall", target, windows);
    const char* rows[][2] = {{"Quorvik", "Quorvik.exe"},
                             {"Read Me", "Qvreader.exe"},
                             {"Help", "Quorvik.hlp"},
                             {"Notes", "Qvnotes.hlp"}};
    for (const auto& row : rows) {
        snprintf(target, sizeof target, "%s\\%s", programPath, row[1]);
        ExpectShortcut(group, row[0], target, programPath);
    }
    CoUninitialize();
}
