#include "probe.h"

#include <shlobj.h>
#include <ctype.h>
#include <string.h>

#include <algorithm>

#include "check.h"

int FileExists(const char* path) {
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int FolderExists(const char* path) {
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FileText(const char* path) {
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE f = CreateFileA(path, GENERIC_READ, shareAll, NULL, OPEN_EXISTING, 0, NULL);
    std::string text(f == INVALID_HANDLE_VALUE ? 0 : GetFileSize(f, NULL), '\0');
    DWORD got = 0;
    if (!text.empty()) ReadFile(f, &text[0], (DWORD)text.size(), &got, NULL);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    text.resize(got);
    return text;
}

int PlantFile(const char* path, DWORD size, const char* mark) {
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    int ok = f != INVALID_HANDLE_VALUE;
    const DWORD markSize = (DWORD)strlen(mark);
    for (DWORD done = 0; ok && done < size;) {
        DWORD n = size - done < markSize ? size - done : markSize, written = 0;
        ok = WriteFile(f, mark, n, &written, NULL) && written == n;
        done += n;
    }
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    return ok;
}

int SameFileContents(const char* a, const char* b) {
    const std::string textA = FileText(a), textB = FileText(b);
    auto at = std::mismatch(textA.begin(), textA.end(), textB.begin(), textB.end()).first;
    if (FileExists(a) && FileExists(b) && textA == textB) return 1;
    Log("%s (%u bytes) and %s (%u bytes) differ at byte %u", a, (unsigned)textA.size(), b,
        (unsigned)textB.size(), (unsigned)(at - textA.begin()));
    return 0;
}

void ExpectShortcut(const char* linkFile, const char* target, const char* folder,
                    const char* description) {
    WCHAR wide[MAX_PATH];
    char text[3][MAX_PATH] = {};
    HRESULT com = CoInitialize(NULL);
    IShellLinkA* link = NULL;
    IPersistFile* file = NULL;
    int read = MultiByteToWideChar(CP_ACP, 0, linkFile, -1, wide, MAX_PATH) &&
               SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                          IID_IShellLinkA, (void**)&link)) &&
               SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)) &&
               SUCCEEDED(file->Load(wide, STGM_READ));
    if (read) {
        link->GetPath(text[0], MAX_PATH, NULL, SLGP_RAWPATH);
        link->GetWorkingDirectory(text[1], MAX_PATH);
        link->GetDescription(text[2], MAX_PATH);
    }
    if (file) file->Release();
    if (link) link->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    if (!CHECK(read)) {
        Log("  no shortcut %s", linkFile);
        return;
    }
    CHECK_EQ_STR(text[0], target);
    CHECK_EQ_STR(text[1], folder);
    CHECK_EQ_STR(text[2], description);
}

int KeyExists(HKEY root, const char* key) {
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return 0;
    RegCloseKey(k);
    return 1;
}

static int ReadValue(HKEY root, const char* key, const char* name, DWORD* type, BYTE* data,
                     DWORD* size) {
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) {
        Log("  no key %s", key);
        return 0;
    }
    LONG rc = RegQueryValueExA(k, name, NULL, type, data, size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) Log("  no value \"%s\" in %s", name, key);
    return rc == ERROR_SUCCESS;
}

void ExpectRegText(HKEY root, const char* key, const char* name, const char* want) {
    char got[512] = "";
    DWORD type = 0, size = sizeof got - 1;
    if (!CHECK(ReadValue(root, key, name, &type, (BYTE*)got, &size))) return;
    CHECK_EQ_INT(type, REG_SZ);
    CHECK_EQ_INT(size, strlen(want) + 1);
    CHECK_EQ_STR(got, want);
}

void ExpectRegNumber(HKEY root, const char* key, const char* name, DWORD want) {
    DWORD got = 0, type = 0, size = sizeof got;
    if (!CHECK(ReadValue(root, key, name, &type, (BYTE*)&got, &size))) return;
    CHECK_EQ_INT(type, REG_DWORD);
    CHECK_EQ_INT(got, want);
}

std::string WithoutReturns(const char* text) {
    std::string kept = text;
    kept.erase(std::remove(kept.begin(), kept.end(), '\r'), kept.end());
    return kept;
}

// "YYYY-MM-DD HH:MM:SS ": digits, and these marks where they stand.
static int StartsWithTime(const std::string& line) {
    const char shape[] = "0000-00-00 00:00:00 ";
    if (line.size() < sizeof shape) return 0;
    for (size_t i = 0; i + 1 < sizeof shape; ++i)
        if (shape[i] == '0' ? !isdigit((unsigned char)line[i]) : line[i] != shape[i]) return 0;
    return 1;
}

std::string LogText(const char* path) {
    const std::string log = FileText(path);
    std::string lines;
    for (size_t at = 0; at < log.size();) {
        size_t end = log.find('\n', at);
        end = end == std::string::npos ? log.size() : end + 1;
        const std::string line = log.substr(at, end - at);
        if (CHECK(StartsWithTime(line)))
            lines += WithoutReturns(line.substr(20).c_str());
        else
            Log("  a log line without its time: %s", line.c_str());
        at = end;
    }
    return lines;
}
