// CreateFolderChain on real folders, under a fresh folder in the temporary
// folder.  Each check prints its line on failure; the exit code is the number
// of failures, so any failure fails the run.
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "engine/code_page.h"
#include "engine/folder_chain.h"
#include "engine/paths.h"

namespace {

int g_tests;
int g_failures;

void Check(int condition, int line, const char* format, ...) {
    ++g_tests;
    if (condition) return;
    ++g_failures;
    va_list args;
    va_start(args, format);
    printf("folder_chain_test.cpp:%d: Test failed: ", line);
    vprintf(format, args);
    printf("\n");
    va_end(args);
}
#define ok(condition, ...) Check((condition) ? 1 : 0, __LINE__, __VA_ARGS__)

int Cp932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

char g_base[MAX_PATH];  // our own folder, ending in a backslash

// g_base joined with a relative path; aborts the run if it cannot be formed.
const char* Under(const char* relative) {
    static char path[MAX_PATH];
    if (!JoinPath(path, sizeof path, g_base, relative, SystemLeadByte)) {
        printf("folder_chain_test: path too long: %s%s\n", g_base, relative);
        ExitProcess(2);
    }
    return path;
}

int IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Number of entries in a folder, "." and ".." included; -1 if unreadable.
int CountEntries(const char* folder) {
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, sizeof pattern, folder, "*", SystemLeadByte)) return -1;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    do ++count;
    while (FindNextFileA(find, &data));
    FindClose(find);
    return count;
}

void TestNewChain() {
    char path[MAX_PATH];
    lstrcpyA(path, Under("new\\a\\b"));
    ok(!Exists(Under("new")), "%s exists before the test", Under("new"));
    ok(CreateFolderChain(path, SystemLeadByte) == 1, "chain %s refused", path);
    ok(IsFolder(Under("new")), "%s not created", Under("new"));
    ok(IsFolder(Under("new\\a")), "%s not created", Under("new\\a"));
    ok(IsFolder(path), "%s not created", path);
}

void TestExistingChain() {
    char path[MAX_PATH];
    lstrcpyA(path, Under("old\\a"));
    ok(CreateFolderChain(path, SystemLeadByte) == 1, "chain %s refused", path);
    char file[MAX_PATH];
    lstrcpyA(file, Under("old\\a\\keep.txt"));
    HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    ok(h != INVALID_HANDLE_VALUE, "cannot create %s: %lu", file, GetLastError());
    DWORD written = 0;
    WriteFile(h, "kept", 4, &written, NULL);
    CloseHandle(h);

    // Again over what exists: nothing changes, nothing is reported.
    ok(CreateFolderChain(path, SystemLeadByte) == 1, "second run refused");
    ok(IsFolder(path), "%s gone", path);
    ok(CountEntries(path) == 3, "%s holds %d entries, expected 3", path, CountEntries(path));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ok(GetFileAttributesExA(file, GetFileExInfoStandard, &data) && data.nFileSizeLow == 4,
       "%s changed", file);
}

void TestTrailingBackslash() {
    char path[MAX_PATH];
    lstrcpyA(path, Under("trail\\x\\"));
    ok(CreateFolderChain(path, SystemLeadByte) == 1, "chain %s refused", path);
    ok(IsFolder(Under("trail")), "%s not created", Under("trail"));
    ok(IsFolder(Under("trail\\x")), "%s not created", Under("trail\\x"));
    ok(CountEntries(Under("trail\\x")) == 2, "%s not empty", Under("trail\\x"));
}

void TestDriveRoot() {
    char root[4] = {g_base[0], ':', '\\', '\0'};
    int before = CountEntries(root);
    ok(before > 2, "cannot list %s", root);
    ok(CreateFolderChain(root, SystemLeadByte) == 1, "root %s refused", root);
    ok(CountEntries(root) == before, "%s has %d entries, had %d", root, CountEntries(root), before);
    ok(IsFolder(root), "%s is no folder", root);
}

void TestLengthLimit() {
    // base\bbbb\ then 'b' up to 259 characters: accepted, and its first
    // folder made.  The same with 260 characters is refused before any request.
    char path[400];
    memset(path, 'b', sizeof path);
    size_t baseLen = strlen(g_base);
    memcpy(path, g_base, baseLen);
    path[baseLen + 4] = '\\';
    path[259] = '\0';
    ok(CreateFolderChain(path, SystemLeadByte) == 1, "259 characters refused");
    ok(IsFolder(Under("bbbb")), "first folder of a 259-character path not made");
    // The whole path was asked for too; it is removed here, as the tree walk
    // below cannot name a folder inside it.
    ok(RemoveDirectoryA(path), "259-character folder not made: %lu", GetLastError());

    memset(path, 'c', sizeof path);
    memcpy(path, g_base, baseLen);
    path[baseLen + 4] = '\\';
    path[260] = '\0';
    ok(CreateFolderChain(path, SystemLeadByte) == 0, "260 characters accepted");
    ok(!Exists(Under("cccc")), "part of a refused path made");

    // A path without a drive would make folders relative to the current one.
    ok(CreateFolderChain("kestrova-relative", SystemLeadByte) == 0, "relative path accepted");
    ok(!Exists("kestrova-relative"), "relative folder made");
}

// "表" is 0x95 0x5C in code page 932.  With the code page 932 rule the pair is
// one character, so the chain never asks for a folder cut after 0x95.
void TestDoubleBytePair() {
    char hyo[MAX_PATH];  // dbcs\x表  (the name ends in the byte of a backslash)
    char mid[MAX_PATH];  // dbcs\ab表cd
    char cut[MAX_PATH];  // dbcs\ab + 0x95, what a byte-wise split would ask for
    lstrcpyA(hyo, Under("dbcs\\x\x95\x5C"));
    lstrcpyA(mid, Under("dbcs\\ab\x95\x5C"
                        "cd"));
    lstrcpyA(cut, Under("dbcs\\ab\x95"));
    ok(CreateDirectoryA(Under("dbcs"), NULL), "cannot make %s", Under("dbcs"));

    ok(CreateFolderChain(hyo, Cp932) == 1, "chain x+pair refused");
    ok(CreateFolderChain(mid, Cp932) == 1, "chain ab+pair+cd refused");
    int entries = CountEntries(Under("dbcs"));
    if (GetACP() == 932) {
        ok(SystemLeadByte(0x95) != 0, "0x95 is no lead byte in code page 932");
        ok(IsFolder(hyo), "folder ending in the pair not made");
        ok(IsFolder(mid), "folder with the pair inside not made");
        ok(CountEntries(mid) == 2, "folder with the pair inside not empty");
        // Only the two folders: no extra one cut after the lead byte.
        ok(entries == 4, "dbcs holds %d entries, expected 4", entries);
    } else {
        // Here the system reads 0x5C as a separator, so a request for the whole
        // path names "x" + 0x95 (made) and "ab" + 0x95 + "\cd" (whose parent does
        // not exist).  A split chain would make "ab" + 0x95 and "cd" in it.
        ok(SystemLeadByte(0x95) == 0, "0x95 is a lead byte in code page %u", GetACP());
        ok(!Exists(cut), "the chain was split after the lead byte");
        ok(!Exists(mid), "the chain was split after the lead byte");
        ok(entries == 3, "dbcs holds %d entries, expected 3", entries);
    }
}

int MakeBase() {
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp) return 0;
    char name[64];
    wsprintfA(name, "kestrova-chain-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    if (!JoinPath(g_base, sizeof g_base - 1, temp, name, SystemLeadByte)) return 0;
    if (!CreateDirectoryA(g_base, NULL)) return 0;
    lstrcatA(g_base, "\\");
    return 1;
}

// Deletes everything under folder (which ends in a backslash), then folder.
void RemoveTree(const char* folder) {
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, sizeof pattern, folder, "*", SystemLeadByte)) return;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!lstrcmpA(data.cFileName, ".") || !lstrcmpA(data.cFileName, "..")) continue;
            char child[MAX_PATH];
            if (!JoinPath(child, sizeof child - 1, folder, data.cFileName, SystemLeadByte))
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                lstrcatA(child, "\\");
                RemoveTree(child);
            } else {
                DeleteFileA(child);
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder);
}

}  // namespace

int main() {
    if (!MakeBase()) {
        printf("folder_chain_test: cannot make a folder in the temporary folder\n");
        return 2;
    }
    TestNewChain();
    TestExistingChain();
    TestTrailingBackslash();
    TestDriveRoot();
    TestLengthLimit();
    TestDoubleBytePair();
    RemoveTree(g_base);
    ok(!Exists(g_base), "%s not removed", g_base);
    printf("folder_chain_test: code page %u, %d tests executed, %d failures\n", GetACP(), g_tests,
           g_failures);
    return g_failures ? 1 : 0;
}
