#include "shell/system_libraries.h"

#include "engine/code_page.h"
#include "engine/paths.h"

SystemFunctionTable SystemFunctions;

namespace {

// Both are absent from older headers and systems, so they are spelled out.
const DWORD SearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);

HMODULE LoadFromSystemFolder(const char* libraryName) {
#ifdef KESTROVA_TEST_BARE_NAMES
    // A test build only: the name alone, left to the restricted search
    // order, so that a test can show that the restriction holds by itself.
    return LoadLibraryA(libraryName);
#endif
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) return NULL;
    char path[MAX_PATH];
    if (!JoinPath(path, sizeof path, folder, libraryName, SystemLeadByte)) return NULL;
    return LoadLibraryA(path);
}

void CopyName(char* out, int outSize, const char* name) {
    if (outSize > 0) lstrcpynA(out, name, outSize);
}

// Resolves one export into `slot`; typed by the slot, so no cast at the
// call sites can lose the calling convention.
template <typename Fn>
int Resolve(HMODULE module, const char* name, Fn* slot, char* missing, int missingSize) {
    FARPROC address = GetProcAddress(module, name);
    if (!address) {
        CopyName(missing, missingSize, name);
        return 0;
    }
    *slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(address));
    return 1;
}

}  // namespace

void RestrictLibrarySearch() {
#ifdef KESTROVA_TEST_UNRESTRICTED_SEARCH
    // A test build only: the system's own search order, so that a test can
    // show that loading by full path holds by itself.
    return;
#endif
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC address = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : NULL;
    if (address) {
        SetDefaultDllDirectoriesFn setDirectories =
            reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(address));
        if (setDirectories(SearchSystem32)) return;
    }
    // Without it (Windows 7 lacking its update) the search order cannot be
    // narrowed to the system folder, but an empty library folder at least
    // takes the current folder out of it.
    SetDllDirectoryA("");
}

int LoadSystemFunctions(char* missing, int missingSize) {
#ifdef KESTROVA_TEST_STATIC_LZ32
    // A test build only: lz32 imported the ordinary way, found by the search
    // order, so the planted-library test can show that it would catch this.
    SystemFunctions.lzInit = LZInit;
    SystemFunctions.lzRead = LZRead;
    SystemFunctions.lzClose = LZClose;
#endif
    HMODULE lz = LoadFromSystemFolder("lz32.dll");
    if (!lz) {
        CopyName(missing, missingSize, "lz32.dll");
        return 0;
    }
    HMODULE controls = LoadFromSystemFolder("comctl32.dll");
    if (!controls) {
        CopyName(missing, missingSize, "comctl32.dll");
        return 0;
    }
#ifndef KESTROVA_TEST_STATIC_LZ32
    if (!Resolve(lz, "LZInit", &SystemFunctions.lzInit, missing, missingSize) ||
        !Resolve(lz, "LZRead", &SystemFunctions.lzRead, missing, missingSize) ||
        !Resolve(lz, "LZClose", &SystemFunctions.lzClose, missing, missingSize))
        return 0;
#endif
    return Resolve(controls, "ImageList_Draw", &SystemFunctions.imageListDraw, missing,
                   missingSize) &&
           Resolve(controls, "ImageList_GetImageCount", &SystemFunctions.imageListCount, missing,
                   missingSize);
}
